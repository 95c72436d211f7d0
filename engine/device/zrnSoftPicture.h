#pragma once
// Sprites drawn on the CPU into a picture of the window's size, or a fraction of it, then
// uploaded and added to the window over the tiles they reached.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/core/zrnTypes.h"
#include "engine/device/zrnCoveredTiles.h"
#include "engine/device/zrnSoftSplat.h"

class TZRNSoftPicture {
 public:
  // shrink 1: the window's size, added texel for pixel; 2: half the size, added with linear
  // filtering.
  explicit TZRNSoftPicture(int32_t shrink) : Shrink(shrink) {}
  ~TZRNSoftPicture() = default;  // the context, and its texture, go with the window
  TZRNSoftPicture(const TZRNSoftPicture&) = delete;
  TZRNSoftPicture& operator=(const TZRNSoftPicture&) = delete;

  // Queues the quads (four vertices each) that can be drawn here, given the matrix that takes
  // them to clip space (column-major) and the bound texture's levels (one level: the quads read
  // level 0; more: each quad reads the nearest level to its scale). The others are copied to
  // rest. False, with all of them in rest, when the current viewport cannot have such a picture.
  bool Splat(const TVertex* vertices, int32_t count, const float* modelViewProjection,
             std::span<const TZRNSplatTexture> levels, std::vector<TVertex>& rest);
  bool Empty() const { return Soft.Empty(); }
  // Draws what was queued and adds it to the window's picture.
  void Compose();
  // Forgets the texture; call while its context is still current.
  void Release();

 private:
  bool Fit();

  int32_t Shrink;
  uint32_t Texture = 0;
  int32_t Width = 0, Height = 0;  // the window's picture
  TZRNSoftLayer Soft;
  TZRNCoveredTiles Tiles;
};
