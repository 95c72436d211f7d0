#pragma once
// A half-resolution colour layer for large additive sprites. A software rasterizer spends nearly
// all of a particle frame filling soft glows many times over; drawn at half size they cost a
// quarter, and because they are smooth, magnified textures, adding the layer back with linear
// filtering gives a picture that cannot be told from drawing them at full size.
#include <cstdint>
#include <vector>

#include "engine/core/zrnTypes.h"
#include "engine/device/zrnCoveredTiles.h"

class TZRNGlowLayer {
 public:
  TZRNGlowLayer() = default;
  ~TZRNGlowLayer();
  TZRNGlowLayer(const TZRNGlowLayer&) = delete;
  TZRNGlowLayer& operator=(const TZRNGlowLayer&) = delete;

  // Whether this OpenGL context can draw into a texture; false leaves everything to the window.
  bool Available();
  // Makes the layer the target of drawing, for a picture the size of the current viewport: the
  // same matrices then land on it at half scale. The bound texture is sampled from its full-size
  // level with edge texels clamped, the cheapest path in software: the quads drawn here are
  // minified twice at most, and the sprites' cells end in transparent texels.
  // False when the layer cannot be made.
  bool Target();
  // Back to the window, with the texture's own wrapping.
  void Untarget();
  // Records which part of the picture quads (four vertices each) cover, given the matrix that
  // takes them to clip space (column-major, as OpenGL stores it).
  void Cover(const TVertex* vertices, int32_t count, const float* modelViewProjection);
  // Adds what was drawn since the last call to the window's picture, additively and with linear
  // filtering, over the part the quads covered, and leaves the layer empty.
  void Compose();
  // Forgets the layer's OpenGL objects; call while their context is still current.
  void Release();

 private:
  bool Allocate(int32_t width, int32_t height);

  uint32_t FrameBuffer = 0;
  uint32_t Texture = 0;
  int32_t Width = 0, Height = 0;            // the picture's size
  int32_t LayerWidth = 0, LayerHeight = 0;  // the layer's
  TZRNCoveredTiles Tiles;  // what was drawn
  bool Empty = true;
  bool Probed = false, Supported = false, Core = false;
  // Saved by Target for Untarget.
  int32_t SavedFrameBuffer = 0;
  int32_t SavedViewport[4] = {};
  int32_t SavedSampling[3] = {};  // wrap s, wrap t, minification filter
};
