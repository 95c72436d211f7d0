#include <cmath>
#include <string>

#include "tools/assetgen/GuiArt.h"
#include "tools/assetgen/Palette.h"

namespace assetgen {

namespace {

constexpr double EmblemX = 37.0, EmblemY = 36.0, EmblemRadius = 24.0;
constexpr double TitleLeft = 70.0, TitleRight = 230.0, TitleBaseline = 41.0;
constexpr double TaglineBaseline = 56.0;
const char* const Title = "Sonavarium";
const char* const Tagline = "MUSIC VISUALIZER";

// A sound orb: glass disc, gradient ring and three interleaved waves.
void DrawEmblem(cairo_t* cr, int32_t scale) {
  SurfacePtr glow = MakeSurface(LogoWidth, LogoHeight, scale);
  {
    CairoPtr g = MakeContext(glow.get());
    cairo_arc(g.get(), EmblemX, EmblemY, EmblemRadius, 0, 2 * M_PI);
    cairo_set_line_width(g.get(), 5.0);
    SetColour(g.get(), AccentViolet, 0.8);
    cairo_stroke(g.get());
  }
  BlurSurface(glow.get(), 5 * scale);
  cairo_set_source_surface(cr, glow.get(), 0, 0);
  cairo_paint(cr);

  cairo_arc(cr, EmblemX, EmblemY, EmblemRadius, 0, 2 * M_PI);
  cairo_pattern_t* glass = cairo_pattern_create_radial(EmblemX - 8, EmblemY - 10, 2, EmblemX, EmblemY, EmblemRadius);
  AddStop(glass, 0.0, GlassTop, 0.95);
  AddStop(glass, 1.0, GlassBottom, 0.95);
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);

  cairo_arc(cr, EmblemX, EmblemY, EmblemRadius - 1.2, 0, 2 * M_PI);
  cairo_pattern_t* ring = cairo_pattern_create_linear(EmblemX - EmblemRadius, EmblemY - EmblemRadius,
                                                      EmblemX + EmblemRadius, EmblemY + EmblemRadius);
  AddStop(ring, 0.0, AccentCyan);
  AddStop(ring, 0.5, AccentViolet);
  AddStop(ring, 1.0, AccentPink);
  cairo_set_source(cr, ring);
  cairo_set_line_width(cr, 2.6);
  cairo_stroke(cr);
  cairo_pattern_destroy(ring);

  const struct {
    Rgb Colour;
    double Amplitude, Frequency, Phase;
  } waves[] = {{AccentPink, 7.0, 0.42, 1.2}, {AccentViolet, 10.0, 0.30, 0.4}, {AccentCyan, 12.5, 0.36, 0.0}};
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (const auto& wave : waves) {
    for (int i = 0; i <= 64; ++i) {
      double u = -16.0 + 32.0 * i / 64.0;
      double envelope = std::cos(u / 16.0 * M_PI / 2.0);
      double y = EmblemY + std::sin(u * wave.Frequency * 2.0 + wave.Phase) * wave.Amplitude * envelope * envelope;
      if (i == 0) cairo_move_to(cr, EmblemX + u, y);
      else cairo_line_to(cr, EmblemX + u, y);
    }
    SetColour(cr, wave.Colour, 0.95);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);
  }
}

}  // namespace

void DrawIconEmblem(cairo_t* cr, double size) {
  // The emblem with its glow spans about 64 logo pixels around its centre.
  constexpr double Span = 64.0;
  cairo_save(cr);
  cairo_scale(cr, size / Span, size / Span);
  cairo_translate(cr, Span / 2 - EmblemX, Span / 2 - EmblemY);
  DrawEmblem(cr, 1);
  cairo_restore(cr);
}

namespace {

void DrawTitle(cairo_t* cr, cairo_font_face_t* bold, cairo_font_face_t* regular, int32_t scale) {
  // Size the name so it spans the room beside the emblem exactly.
  UseFont(cr, bold, 30.0);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, Title, &ext);
  double size = 30.0 * (TitleRight - TitleLeft) / ext.x_advance;
  UseFont(cr, bold, size);
  cairo_text_extents(cr, Title, &ext);
  double x = TitleLeft - ext.x_bearing;

  SurfacePtr shadow = MakeSurface(LogoWidth, LogoHeight, scale);
  {
    CairoPtr s = MakeContext(shadow.get());
    UseFont(s.get(), bold, size);
    cairo_move_to(s.get(), x, TitleBaseline + 1.5);
    cairo_text_path(s.get(), Title);
    cairo_set_source_rgba(s.get(), 0, 0, 0, 0.85);
    cairo_fill(s.get());
  }
  BlurSurface(shadow.get(), 3 * scale);
  cairo_set_source_surface(cr, shadow.get(), 0, 0);
  cairo_paint(cr);

  cairo_move_to(cr, x, TitleBaseline);
  cairo_text_path(cr, Title);
  cairo_pattern_t* fill = cairo_pattern_create_linear(TitleLeft, 0, TitleRight, 0);
  AddStop(fill, 0.0, {0.62, 0.96, 1.0});
  AddStop(fill, 0.5, {0.82, 0.76, 1.0});
  AddStop(fill, 1.0, {1.0, 0.70, 0.93});
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);

  // The tagline is letter-spaced to the same width as the name.
  UseFont(cr, regular, 9.0);
  std::string tag = Tagline;
  double natural = 0.0;
  for (char c : tag) {
    char one[2] = {c, 0};
    cairo_text_extents(cr, one, &ext);
    natural += ext.x_advance;
  }
  cairo_text_extents_t last;
  char lastChar[2] = {tag.back(), 0};
  cairo_text_extents(cr, lastChar, &last);
  double spacing = ((TitleRight - TitleLeft) - (natural - last.x_advance + last.width + last.x_bearing)) /
                   static_cast<double>(tag.size() - 1);
  double pen = TitleLeft + 1.0;
  cairo_set_source_rgba(cr, 0.85, 0.90, 1.0, 0.8);
  for (char c : tag) {
    char one[2] = {c, 0};
    cairo_move_to(cr, pen, TaglineBaseline);
    cairo_show_text(cr, one);
    cairo_text_extents(cr, one, &ext);
    pen += ext.x_advance + spacing;
  }
}

}  // namespace

Sprite DrawLogo(const FreeTypeLibrary& freeType, int32_t scale) {
  CairoFontFacePtr bold = LoadCairoFace(freeType, SansBoldFontPath);
  CairoFontFacePtr regular = LoadCairoFace(freeType, SansFontPath);
  SurfacePtr surface = MakeSurface(LogoWidth, LogoHeight, scale);
  {
    CairoPtr cr = MakeContext(surface.get());
    DrawEmblem(cr.get(), scale);
    DrawTitle(cr.get(), bold.get(), regular.get(), scale);
  }
  Sprite logo{"LOGO", ToRgba(surface.get()), LogoWidth * scale, 0};
  BleedColourIntoTransparency(logo.Picture, 3 * scale);
  return logo;
}

}  // namespace assetgen
