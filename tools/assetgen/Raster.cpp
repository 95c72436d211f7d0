#include "tools/assetgen/Raster.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace assetgen {

SurfacePtr MakeSurface(int32_t width, int32_t height, int32_t scale) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale, height * scale));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cairo surface failed");
  if (scale != 1) cairo_surface_set_device_scale(surface.get(), scale, scale);
  return surface;
}

CairoPtr MakeContext(cairo_surface_t* surface) {
  CairoPtr cr(cairo_create(surface));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_GOOD);
  return cr;
}

RgbaPicture ToRgba(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  int32_t w = cairo_image_surface_get_width(surface);
  int32_t h = cairo_image_surface_get_height(surface);
  int32_t stride = cairo_image_surface_get_stride(surface);
  const uint8_t* data = cairo_image_surface_get_data(surface);
  RgbaPicture out(w, h);
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
    for (int32_t x = 0; x < w; ++x) {
      uint32_t argb = row[x];
      uint32_t a = argb >> 24;
      uint8_t* px = out.At(x, y);
      px[3] = static_cast<uint8_t>(a);
      if (a == 0) continue;
      for (int c = 0; c < 3; ++c) {
        uint32_t premultiplied = (argb >> (16 - 8 * c)) & 0xFF;
        px[c] = static_cast<uint8_t>(std::min<uint32_t>(255, (premultiplied * 255 + a / 2) / a));
      }
    }
  }
  return out;
}

RgbaPicture Crop(const RgbaPicture& source, int32_t x, int32_t y, int32_t width, int32_t height) {
  RgbaPicture out(width, height);
  for (int32_t row = 0; row < height; ++row) {
    std::memcpy(out.At(0, row), source.At(x, y + row), size_t(width) * 4);
  }
  return out;
}

namespace {

// One horizontal box pass over four interleaved byte channels; the result is transposed so the
// next call blurs the other direction.
void BoxPassTransposed(const std::vector<uint32_t>& in, std::vector<uint32_t>& out, int32_t w, int32_t h,
                       int32_t radius) {
  int32_t span = 2 * radius + 1;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* row = &in[size_t(y) * w];
    for (int c = 0; c < 4; ++c) {
      int shift = 8 * c;
      int32_t sum = 0;
      auto sample = [&](int32_t x) -> int32_t { return (x < 0 || x >= w) ? 0 : (row[x] >> shift) & 0xFF; };
      for (int32_t x = -radius; x <= radius; ++x) sum += sample(x);
      for (int32_t x = 0; x < w; ++x) {
        uint32_t v = static_cast<uint32_t>((sum + span / 2) / span);
        uint32_t& target = out[size_t(x) * h + y];
        if (c == 0) target = 0;
        target |= v << shift;
        sum += sample(x + radius + 1) - sample(x - radius);
      }
    }
  }
}

}  // namespace

void BlurSurface(cairo_surface_t* surface, int32_t radius) {
  if (radius <= 0) return;
  cairo_surface_flush(surface);
  int32_t w = cairo_image_surface_get_width(surface);
  int32_t h = cairo_image_surface_get_height(surface);
  int32_t stride = cairo_image_surface_get_stride(surface);
  uint8_t* data = cairo_image_surface_get_data(surface);
  std::vector<uint32_t> a(size_t(w) * h), b(size_t(w) * h);
  for (int32_t y = 0; y < h; ++y) std::memcpy(&a[size_t(y) * w], data + size_t(y) * stride, size_t(w) * 4);
  // Three passes each way; every pass transposes, so six passes end in the original orientation.
  int32_t pw = w, ph = h;
  for (int pass = 0; pass < 6; ++pass) {
    BoxPassTransposed(a, b, pw, ph, std::max(1, radius / 2));
    std::swap(a, b);
    std::swap(pw, ph);
  }
  for (int32_t y = 0; y < h; ++y) std::memcpy(data + size_t(y) * stride, &a[size_t(y) * w], size_t(w) * 4);
  cairo_surface_mark_dirty(surface);
}

void BleedColourIntoTransparency(RgbaPicture& picture, int32_t passes) {
  int32_t w = picture.Width, h = picture.Height;
  std::vector<uint8_t> filled(size_t(w) * h, 0);
  for (size_t i = 0; i < filled.size(); ++i) filled[i] = picture.Pixels[i * 4 + 3] > 0;
  for (int32_t pass = 0; pass < passes; ++pass) {
    std::vector<uint8_t> next = filled;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        if (filled[size_t(y) * w + x]) continue;
        int32_t sum[3] = {0, 0, 0}, count = 0;
        for (int32_t dy = -1; dy <= 1; ++dy) {
          for (int32_t dx = -1; dx <= 1; ++dx) {
            int32_t nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || !filled[size_t(ny) * w + nx]) continue;
            const uint8_t* n = picture.At(nx, ny);
            for (int c = 0; c < 3; ++c) sum[c] += n[c];
            ++count;
          }
        }
        if (count == 0) continue;
        uint8_t* px = picture.At(x, y);
        for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
        next[size_t(y) * w + x] = 1;
      }
    }
    filled.swap(next);
  }
}

}  // namespace assetgen
