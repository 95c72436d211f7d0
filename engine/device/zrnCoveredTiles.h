#pragma once
// Which parts of the picture a layer's sprites reached, in tiles, and adding the layer back over
// just those: most of a particle frame's screen is empty, and composing it would cost as much
// as a sprite covering it.
#include <cstdint>
#include <vector>

class TZRNCoveredTiles {
 public:
  // For a picture of width x height pixels; forgets what was covered.
  void Resize(int32_t width, int32_t height);
  // Marks the tiles a rectangle of the picture touches (pixels, y up), clipped to the picture.
  void Cover(float left, float bottom, float right, float top);
  void CoverAll();
  // One quad per run of covered tiles in a row, as x, y, u, v per corner (u, v over the
  // picture), and forgets them.
  std::vector<float> TakeQuads();

 private:
  int32_t Width = 0, Height = 0, Columns = 0, Rows = 0;
  std::vector<uint8_t> Covered;
};

// A width x height RGBA texture for a layer, clamped at its edges, with filter (an OpenGL filter
// enum) both ways and pixels to start from (none: undefined). The bound texture stays bound.
uint32_t ZRNMakeLayerTexture(int32_t width, int32_t height, int32_t filter, const void* pixels);

// Adds texture, a layer standing for the whole width x height picture, to the window's
// picture over quads from TZRNCoveredTiles, with the texture's own filtering.
void ZRNAddLayer(uint32_t texture, const std::vector<float>& quads, int32_t width, int32_t height);
