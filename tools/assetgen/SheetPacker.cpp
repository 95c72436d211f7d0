#include "tools/assetgen/SheetPacker.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace assetgen {

namespace {

// Copies the sprite and repeats its outermost rows and columns into the gutter.
void Blit(RgbaPicture& sheet, const RgbaPicture& sprite, int32_t x0, int32_t y0, int32_t gutter) {
  for (int32_t y = -gutter; y < sprite.Height + gutter; ++y) {
    int32_t sy = std::clamp(y, 0, sprite.Height - 1);
    for (int32_t x = -gutter; x < sprite.Width + gutter; ++x) {
      int32_t sx = std::clamp(x, 0, sprite.Width - 1);
      const uint8_t* from = sprite.At(sx, sy);
      uint8_t* to = sheet.At(x0 + x, y0 + y);
      std::copy(from, from + 4, to);
    }
  }
}

int32_t NextPowerOfTwo(int32_t v) {
  int32_t p = 1;
  while (p < v) p *= 2;
  return p;
}

}  // namespace

Sheet PackSheet(const std::vector<Sprite>& sprites, int32_t width, int32_t gutter) {
  std::vector<size_t> order(sprites.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return sprites[a].Picture.Height > sprites[b].Picture.Height;
  });

  Sheet sheet;
  sheet.Placements.resize(sprites.size());
  int32_t x = gutter, y = gutter, shelfHeight = 0;
  for (size_t i : order) {
    const RgbaPicture& p = sprites[i].Picture;
    if (p.Width + 2 * gutter > width) throw std::runtime_error("sprite wider than the sheet: " + sprites[i].Name);
    if (x + p.Width + gutter > width) {
      y += shelfHeight + 2 * gutter;
      x = gutter;
      shelfHeight = 0;
    }
    sheet.Placements[i] = {&sprites[i], x, y};
    x += p.Width + 2 * gutter;
    shelfHeight = std::max(shelfHeight, p.Height);
  }
  int32_t height = NextPowerOfTwo(y + shelfHeight + gutter);
  sheet.Picture = RgbaPicture(width, height);
  for (const Placement& place : sheet.Placements) Blit(sheet.Picture, place.Source->Picture, place.X, place.Y, gutter);
  return sheet;
}

}  // namespace assetgen
