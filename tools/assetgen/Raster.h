#pragma once
// Pictures as the generator passes them around: straight-alpha RGBA, rows top to bottom.
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace assetgen {

struct RgbaPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Pixels;  // Width * Height * 4 bytes: red, green, blue, alpha

  RgbaPicture() = default;
  RgbaPicture(int32_t width, int32_t height) : Width(width), Height(height), Pixels(size_t(width) * height * 4, 0) {}
  uint8_t* At(int32_t x, int32_t y) { return &Pixels[(size_t(y) * Width + x) * 4]; }
  const uint8_t* At(int32_t x, int32_t y) const { return &Pixels[(size_t(y) * Width + x) * 4]; }
};

// A named piece of the GUI sheet with its pivot.
struct Sprite {
  std::string Name;
  RgbaPicture Picture;
  int32_t PivotX = 0;
  int32_t PivotY = 0;
};

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// A surface of width x height design units at `scale` pixels per unit: drawing code works in
// design units at every scale, which is what makes the double-resolution set crisp.
SurfacePtr MakeSurface(int32_t width, int32_t height, int32_t scale = 1);
CairoPtr MakeContext(cairo_surface_t* surface);

// Cairo stores premultiplied ARGB in native words; textures want straight RGBA bytes.
RgbaPicture ToRgba(cairo_surface_t* surface);
RgbaPicture Crop(const RgbaPicture& source, int32_t x, int32_t y, int32_t width, int32_t height);

// Blurs a premultiplied ARGB32 surface in place (three box passes, close to a Gaussian).
void BlurSurface(cairo_surface_t* surface, int32_t radius);

// Gives fully transparent pixels the colour of their visible neighbours, so linear filtering
// at sprite edges blends towards the sprite's own colour instead of a dark fringe.
void BleedColourIntoTransparency(RgbaPicture& picture, int32_t passes);

}  // namespace assetgen
