#include <cmath>
#include <string>

#include "tools/assetgen/GuiArt.h"
#include "tools/assetgen/Palette.h"

namespace assetgen {

namespace {

constexpr int32_t CursorWidth = 24;
constexpr int32_t CursorHeight = 30;
constexpr double CursorTip = 4.0;  // margin around the tip, room for the glow

// The classic arrow outline, tip at the origin, about 13 x 21 pixels.
void ArrowPath(cairo_t* cr) {
  static const double points[][2] = {{0, 0},     {0, 18.5}, {4.6, 14.4}, {7.7, 21.0},
                                     {10.5, 19.8}, {7.5, 13.4}, {13.2, 13.2}};
  cairo_move_to(cr, points[0][0], points[0][1]);
  for (const auto& p : points) cairo_line_to(cr, p[0], p[1]);
  cairo_close_path(cr);
}

RgbaPicture DrawCursor(double glow, int32_t scale) {
  SurfacePtr surface = MakeSurface(CursorWidth, CursorHeight, scale);
  CairoPtr owner = MakeContext(surface.get());
  cairo_t* cr = owner.get();

  // Glow layer: the arrow's outline in cyan, blurred; its strength breathes over the frames.
  SurfacePtr halo = MakeSurface(CursorWidth, CursorHeight, scale);
  {
    CairoPtr h = MakeContext(halo.get());
    cairo_translate(h.get(), CursorTip, CursorTip);
    ArrowPath(h.get());
    cairo_set_line_width(h.get(), 3.0);
    cairo_set_line_join(h.get(), CAIRO_LINE_JOIN_ROUND);
    SetColour(h.get(), AccentCyan, glow);
    cairo_stroke(h.get());
  }
  BlurSurface(halo.get(), 3 * scale);
  cairo_set_source_surface(cr, halo.get(), 0, 0);
  cairo_paint(cr);

  cairo_translate(cr, CursorTip, CursorTip);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  ArrowPath(cr);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 6, 21);
  cairo_pattern_add_color_stop_rgba(fill, 0.0, 1, 1, 1, 1);
  AddStop(fill, 1.0, {0.78, 0.92, 1.0}, 1.0);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  SetColour(cr, Ink, 0.95);
  cairo_set_line_width(cr, 1.3);
  cairo_stroke(cr);
  return ToRgba(surface.get());
}

constexpr int32_t MarkWidth = 22;
constexpr int32_t MarkHeight = 20;

RgbaPicture DrawEqualiser(const double (&levels)[4], int32_t scale) {
  SurfacePtr surface = MakeSurface(MarkWidth, MarkHeight, scale);
  CairoPtr owner = MakeContext(surface.get());
  cairo_t* cr = owner.get();
  const double barWidth = 3.2, gap = 1.9, floor = 18.0, top = 2.0;
  const double left = (MarkWidth - (4 * barWidth + 3 * gap)) / 2.0;
  auto bars = [&](cairo_t* c) {
    for (int i = 0; i < 4; ++i) {
      double x = left + i * (barWidth + gap);
      double height = (floor - top) * levels[i];
      double r = barWidth / 2;
      cairo_new_sub_path(c);
      cairo_arc(c, x + r, floor - height + r, r, M_PI, 2 * M_PI);
      cairo_line_to(c, x + barWidth, floor);
      cairo_line_to(c, x, floor);
      cairo_close_path(c);
    }
  };
  SurfacePtr halo = MakeSurface(MarkWidth, MarkHeight, scale);
  {
    CairoPtr h = MakeContext(halo.get());
    bars(h.get());
    SetColour(h.get(), AccentCyan, 0.7);
    cairo_fill(h.get());
  }
  BlurSurface(halo.get(), 2 * scale);
  cairo_set_source_surface(cr, halo.get(), 0, 0);
  cairo_paint(cr);

  bars(cr);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, floor, 0, top);
  AddStop(fill, 0.0, AccentCyan);
  AddStop(fill, 0.6, AccentBlue);
  AddStop(fill, 1.0, AccentPink);
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
  return ToRgba(surface.get());
}

}  // namespace

std::vector<Sprite> DrawCursorFrames(int32_t scale) {
  std::vector<Sprite> frames;
  const double glow[4] = {0.35, 0.6, 0.85, 0.6};
  for (int i = 0; i < 4; ++i) {
    Sprite s{"Cursor" + std::to_string(i + 1), DrawCursor(glow[i], scale), static_cast<int32_t>(CursorTip) * scale,
             static_cast<int32_t>(CursorTip) * scale};
    BleedColourIntoTransparency(s.Picture, 3 * scale);
    frames.push_back(std::move(s));
  }
  return frames;
}

std::vector<Sprite> DrawPlayMarkFrames(int32_t scale) {
  static const double levels[4][4] = {
      {0.45, 0.95, 0.60, 0.80}, {0.80, 0.55, 1.00, 0.45}, {0.60, 0.80, 0.50, 1.00}, {1.00, 0.40, 0.85, 0.60}};
  std::vector<Sprite> frames;
  for (int i = 0; i < 4; ++i) {
    Sprite s{"Play" + std::to_string(i + 1), DrawEqualiser(levels[i], scale), MarkWidth / 2 * scale,
             MarkHeight / 2 * scale};
    BleedColourIntoTransparency(s.Picture, 3 * scale);
    frames.push_back(std::move(s));
  }
  return frames;
}

std::vector<Sprite> DrawGuiSprites(const FreeTypeLibrary& freeType, int32_t scale) {
  std::vector<Sprite> all = DrawCursorFrames(scale);
  for (Sprite& s : DrawPlayMarkFrames(scale)) all.push_back(std::move(s));
  all.push_back(DrawLogo(freeType, scale));
  for (Sprite& s : DrawButtonPieces(scale)) all.push_back(std::move(s));
  return all;
}

}  // namespace assetgen
