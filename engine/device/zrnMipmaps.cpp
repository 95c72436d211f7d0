#include "engine/device/zrnMipmaps.h"

#include <algorithm>

std::vector<TZRNMipLevel> BuildMipmapChain(const uint8_t* pixels, int32_t width, int32_t height,
                                           int32_t bytesPerPixel) {
  std::vector<TZRNMipLevel> levels;
  if (!pixels || width <= 0 || height <= 0 || bytesPerPixel <= 0) return levels;
  const uint8_t* src = pixels;
  int32_t w = width, h = height;
  while (w > 1 || h > 1) {
    TZRNMipLevel next{std::max(1, w / 2), std::max(1, h / 2), {}};
    next.Pixels.resize(static_cast<size_t>(next.Width) * next.Height * bytesPerPixel);
    for (int32_t y = 0; y < next.Height; ++y) {
      // Odd sizes: the last row or column is averaged with itself.
      const int32_t y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
      for (int32_t x = 0; x < next.Width; ++x) {
        const int32_t x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
        for (int32_t c = 0; c < bytesPerPixel; ++c) {
          const auto at = [&](int32_t px, int32_t py) {
            return static_cast<uint32_t>(src[(static_cast<size_t>(py) * w + px) * bytesPerPixel + c]);
          };
          const uint32_t sum = at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1);
          next.Pixels[(static_cast<size_t>(y) * next.Width + x) * bytesPerPixel + c] = static_cast<uint8_t>((sum + 2) / 4);
        }
      }
    }
    levels.push_back(std::move(next));
    src = levels.back().Pixels.data();
    w = levels.back().Width;
    h = levels.back().Height;
  }
  return levels;
}
