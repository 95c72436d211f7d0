#include <cmath>
#include <string>

#include "tools/assetgen/GuiArt.h"
#include "tools/assetgen/Palette.h"

namespace assetgen {

namespace {

enum class Look { Normal, Hover, Down };

constexpr double Radius = 11.0;
constexpr int32_t FullWidth = 2 * ButtonEndWidth + ButtonMiddleWidth;

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

// Every effect below varies only vertically inside the middle 64 columns, which is what lets
// the middle piece repeat without seams.
void DrawButton(cairo_t* cr, Look look, int32_t scale) {
  const double x = 2.0, w = FullWidth - 4.0;
  const double y = look == Look::Down ? 4.0 : 3.0;
  const double h = 37.0;

  // Soft shadow under the body, drawn on its own layer and blurred.
  if (look != Look::Down) {
    SurfacePtr shadow = MakeSurface(FullWidth, ButtonHeight, scale);
    CairoPtr s = MakeContext(shadow.get());
    RoundedRect(s.get(), x + 1, y + 2.5, w - 2, h, Radius);
    cairo_set_source_rgba(s.get(), 0, 0, 0, 0.65);
    cairo_fill(s.get());
    BlurSurface(shadow.get(), 3 * scale);
    cairo_set_source_surface(cr, shadow.get(), 0, 0);
    cairo_paint(cr);
  }

  // Hover glows in the accent colour around the whole body.
  if (look == Look::Hover) {
    SurfacePtr glow = MakeSurface(FullWidth, ButtonHeight, scale);
    CairoPtr g = MakeContext(glow.get());
    RoundedRect(g.get(), x, y, w, h, Radius);
    cairo_set_line_width(g.get(), 3.0);
    SetColour(g.get(), AccentCyan, 0.9);
    cairo_stroke(g.get());
    BlurSurface(glow.get(), 3 * scale);
    cairo_set_source_surface(cr, glow.get(), 0, 0);
    cairo_paint(cr);
  }

  // Body.
  RoundedRect(cr, x, y, w, h, Radius);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
  switch (look) {
    case Look::Normal:
      AddStop(fill, 0.0, GlassTop, 0.90);
      AddStop(fill, 1.0, GlassBottom, 0.94);
      break;
    case Look::Hover:
      AddStop(fill, 0.0, {0.20, 0.36, 0.78}, 0.96);
      AddStop(fill, 0.55, {0.17, 0.22, 0.60}, 0.96);
      AddStop(fill, 1.0, {0.22, 0.13, 0.50}, 0.96);
      break;
    case Look::Down:
      // Pressed turns to the violet end of the accent range and darkens: lit from below, sunk in.
      AddStop(fill, 0.0, {0.09, 0.04, 0.20}, 0.97);
      AddStop(fill, 1.0, {0.33, 0.14, 0.52}, 0.97);
      break;
  }
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);

  // Rim: a light top edge fading down (glass), or an accent line for the active looks.
  cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + h);
  switch (look) {
    case Look::Normal:
      cairo_pattern_add_color_stop_rgba(rim, 0.0, 1, 1, 1, 0.30);
      cairo_pattern_add_color_stop_rgba(rim, 0.5, 1, 1, 1, 0.10);
      cairo_pattern_add_color_stop_rgba(rim, 1.0, 1, 1, 1, 0.06);
      break;
    case Look::Hover:
      AddStop(rim, 0.0, {0.70, 0.96, 1.0}, 1.0);
      AddStop(rim, 1.0, AccentCyan, 0.75);
      break;
    case Look::Down:
      AddStop(rim, 0.0, AccentViolet, 0.55);
      AddStop(rim, 1.0, AccentPink, 0.95);
      break;
  }
  cairo_set_source(cr, rim);
  cairo_set_line_width(cr, look == Look::Normal ? 1.0 : 1.4);
  cairo_stroke(cr);
  cairo_pattern_destroy(rim);

  // Gloss on the upper half of a raised button; an inner shadow at the top of a pressed one.
  cairo_save(cr);
  RoundedRect(cr, x + 1, y + 1, w - 2, h - 2, Radius - 1);
  cairo_clip(cr);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, y, 0, y + h);
  if (look == Look::Down) {
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 0, 0, 0, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 0.28, 0, 0, 0, 0.0);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
  } else {
    double strength = look == Look::Hover ? 0.20 : 0.09;
    cairo_pattern_add_color_stop_rgba(shade, 0.0, 1, 1, 1, strength);
    cairo_pattern_add_color_stop_rgba(shade, 0.48, 1, 1, 1, strength * 0.35);
    cairo_pattern_add_color_stop_rgba(shade, 0.5, 1, 1, 1, 0.0);
    cairo_set_source(cr, shade);
    cairo_rectangle(cr, 0, y, FullWidth, h / 2);
    cairo_fill(cr);
  }
  cairo_pattern_destroy(shade);
  cairo_restore(cr);
}

}  // namespace

std::vector<Sprite> DrawButtonPieces(int32_t scale) {
  std::vector<Sprite> pieces;
  const struct {
    Look Kind;
    const char* Name;
  } looks[] = {{Look::Normal, "BtnNormal"}, {Look::Hover, "BtnHover"}, {Look::Down, "BtnDown"}};
  for (const auto& look : looks) {
    SurfacePtr surface = MakeSurface(FullWidth, ButtonHeight, scale);
    DrawButton(MakeContext(surface.get()).get(), look.Kind, scale);
    RgbaPicture whole = ToRgba(surface.get());
    const int32_t starts[3] = {0, ButtonEndWidth, ButtonEndWidth + ButtonMiddleWidth};
    const int32_t widths[3] = {ButtonEndWidth, ButtonMiddleWidth, ButtonEndWidth};
    for (int i = 0; i < 3; ++i) {
      Sprite piece;
      piece.Name = std::string(look.Name) + std::to_string(i + 1);
      piece.Picture = Crop(whole, starts[i] * scale, 0, widths[i] * scale, ButtonHeight * scale);
      BleedColourIntoTransparency(piece.Picture, 3 * scale);
      pieces.push_back(std::move(piece));
    }
  }
  return pieces;
}

}  // namespace assetgen
