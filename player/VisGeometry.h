#pragma once
// Small pure helpers shared by the visualizations; kept apart so they can be checked on their own.
#include <cmath>
#include <cstdint>

#include "engine/core/zrnTypes.h"

// A point of the spiral: the angle is radius + offset (radians), the distance radius x amplitude.
// Worked in extended precision, kept as singles, like every other stored coordinate.
inline TVector2f SpiralPoint(float radius, float angle, float amplitude, uint16_t centerX, uint16_t centerY) {
  const long double a = static_cast<long double>(radius) + static_cast<long double>(angle);
  const long double r = radius, m = amplitude;
  return {static_cast<float>(std::cos(a) * r * m + centerX), static_cast<float>(std::sin(a) * r * m + centerY)};
}

// 0, 1 or 2: one for each axis on which the point lies outside the screen.
inline int OffscreenCount(float x, float y, int32_t width, int32_t height) {
  int n = 0;
  if (x < 0 || x > static_cast<float>(width)) ++n;
  if (y < 0 || y > static_cast<float>(height)) ++n;
  return n;
}

inline bool LeftScreen(const TVector2f& p, int32_t width, int32_t height) {
  return OffscreenCount(p.X, p.Y, width, height) == 2;
}

// Fading copies of a trace: 1 in the middle, 0.3 less for each step away (negative far out).
inline float TraceAlpha(int32_t offset) {
  return static_cast<float>(1.0L - std::fabs(0.3L * offset));
}

// The scrolling strip's colour wheel over 0..360: green -> blue -> red -> green.
inline TColor4f TrackColor(int16_t phase) {
  if (phase <= 120) {
    const long double t = phase / 120.0L;
    return {0.0f, static_cast<float>(1 - t), static_cast<float>(t), 1.0f};
  }
  if (phase <= 240) {
    const long double t = (phase - 120) / 120.0L;
    return {static_cast<float>(t), 0.0f, static_cast<float>(1 - t), 1.0f};
  }
  const long double t = (phase - 240) / 120.0L;
  return {static_cast<float>(1 - t), static_cast<float>(t), 0.0f, 1.0f};
}

// Quarter of the screen a loud spiral point lies in: 1 top left, 2 top right, 3 bottom right,
// 4 bottom left; 0 on a centre line.
inline int SpiralQuadrant(float x, float y, uint16_t centerX, uint16_t centerY) {
  const float cx = centerX, cy = centerY;
  if (x < cx && y < cy) return 1;
  if (x > cx && y < cy) return 2;
  if (x > cx && y > cy) return 3;
  if (x < cx && y > cy) return 4;
  return 0;
}
