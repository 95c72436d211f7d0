#pragma once
// Packs sprites into one texture picture; the placements become the image's patterns.
#include <vector>

#include "tools/assetgen/Raster.h"

namespace assetgen {

struct Placement {
  const Sprite* Source = nullptr;
  int32_t X = 0;
  int32_t Y = 0;
};

struct Sheet {
  RgbaPicture Picture;
  std::vector<Placement> Placements;  // in the order the sprites were given
};

// Shelf packing, tallest first, with a gutter around each sprite whose pixels repeat the
// sprite's edge, so linear filtering never pulls in a neighbour. The height is rounded up to a
// power of two. The same sprites always give the same sheet.
Sheet PackSheet(const std::vector<Sprite>& sprites, int32_t width, int32_t gutter = 2);

}  // namespace assetgen
