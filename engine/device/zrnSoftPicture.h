#pragma once
// Sprites drawn on the CPU into a picture of the window's size, large soft ones at half the size
// and enlarged into it, then uploaded and added to the window over the tiles they reached.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/core/zrnCoreTeam.h"
#include "engine/core/zrnTypes.h"
#include "engine/device/zrnCoveredTiles.h"
#include "engine/device/zrnSoftSplat.h"

class TZRNSoftPicture {
 public:
  TZRNSoftPicture() = default;
  ~TZRNSoftPicture() = default;  // the context, and its texture, go with the window
  TZRNSoftPicture(const TZRNSoftPicture&) = delete;
  TZRNSoftPicture& operator=(const TZRNSoftPicture&) = delete;

  // Queues the quads (four vertices each) that can be drawn here, given the matrix that takes
  // them to clip space (column-major) and the bound texture's levels (one level: the quads read
  // level 0; more: each quad reads the nearest level to its scale); halfSize puts them on the
  // half-size picture. The others are copied to rest. False, with all of them in rest, when the
  // current viewport cannot have such a picture.
  bool Splat(const TVertex* vertices, int32_t count, const float* modelViewProjection,
             std::span<const TZRNSplatTexture> levels, bool halfSize, std::vector<TVertex>& rest);
  bool Empty() const { return Full.Empty() && Half.Empty(); }
  // Draws what was queued and adds it to the window's picture.
  void Compose();
  // Forgets the texture; call while its context is still current.
  void Release();

 private:
  bool Fit();

  uint32_t Texture = 0;
  int32_t Width = 0, Height = 0;  // the window's picture
  TZRNSoftLayer Full, Half;
  TZRNCoveredTiles Tiles;
  std::unique_ptr<TZRNCoreTeam> Team;  // started with the first picture
};
