#pragma once
// One palette for every GUI piece: cool glass over the black visualization, cyan-to-violet accents.
#include <cairo.h>

namespace assetgen {

struct Rgb {
  double R, G, B;
};

inline constexpr Rgb AccentCyan{0.22, 0.88, 1.00};
inline constexpr Rgb AccentBlue{0.33, 0.50, 1.00};
inline constexpr Rgb AccentViolet{0.55, 0.36, 1.00};
inline constexpr Rgb AccentPink{1.00, 0.33, 0.85};
inline constexpr Rgb GlassTop{0.125, 0.145, 0.235};
inline constexpr Rgb GlassBottom{0.055, 0.066, 0.118};
inline constexpr Rgb Ink{0.03, 0.04, 0.08};

inline void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.R, c.G, c.B, alpha); }
inline void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.R, c.G, c.B, alpha);
}

}  // namespace assetgen
