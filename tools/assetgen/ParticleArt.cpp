#include "tools/assetgen/ParticleArt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace assetgen {

namespace {

using Shape = std::function<double(double x, double y)>;  // pixels from the cell centre -> alpha

double Gauss(double d, double sigma) { return std::exp(-0.5 * (d / sigma) * (d / sigma)); }

double Smoothstep(double edge0, double edge1, double v) {
  double t = std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// A thin ray along `along`, tapering with distance, thinner at its tip.
double Ray(double along, double across, double length, double width) {
  double a = std::abs(along);
  if (a >= length) return 0.0;
  double taper = 1.0 - a / length;
  return std::exp(-std::abs(across) / (width * (0.4 + 0.6 * taper))) * taper * taper;
}

double Rays(double x, double y, int count, double rotation, double length, double width) {
  double sum = 0.0;
  for (int i = 0; i < count; ++i) {
    double angle = rotation + M_PI * i / count;
    double c = std::cos(angle), s = std::sin(angle);
    sum += Ray(x * c + y * s, -x * s + y * c, length, width);
  }
  return sum;
}

// Deterministic lattice noise for the smoke puff.
double Hash(int x, int y) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double ValueNoise(double x, double y) {
  int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
  double fx = x - xi, fy = y - yi;
  double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  double top = Hash(xi, yi) + (Hash(xi + 1, yi) - Hash(xi, yi)) * sx;
  double bottom = Hash(xi, yi + 1) + (Hash(xi + 1, yi + 1) - Hash(xi, yi + 1)) * sx;
  return top + (bottom - top) * sy;
}

double Fbm(double x, double y) {
  double sum = 0.0, amplitude = 0.5;
  for (int octave = 0; octave < 4; ++octave) {
    sum += ValueNoise(x, y) * amplitude;
    x *= 2.03;
    y *= 2.03;
    amplitude *= 0.5;
  }
  return sum;
}

double Hexagon(double x, double y) {
  double ax = std::abs(x), ay = std::abs(y);
  return std::max(ax * 0.8660254 + ay * 0.5, ay);
}

const std::array<Shape, 16> Cells{{
    // 0: soft dot
    [](double x, double y) { return Gauss(std::hypot(x, y), 13.0); },
    // 1: thin ring with a faint fill
    [](double x, double y) {
      double r = std::hypot(x, y);
      return std::exp(-std::pow((r - 40.0) / 4.5, 2)) + 0.12 * Gauss(r, 28.0);
    },
    // 2: bokeh hexagon, brighter towards its rim
    [](double x, double y) {
      double h = Hexagon(x, y);
      return (0.45 + 0.4 * Smoothstep(20.0, 42.0, h)) * (1.0 - Smoothstep(42.0, 45.0, h));
    },
    // 3: smoke puff
    [](double x, double y) {
      double r = std::hypot(x, y);
      double n = Fbm(x / 22.0 + 7.3, y / 22.0 + 1.9);
      return std::clamp((n - 0.25) * 1.6, 0.0, 1.0) * (1.0 - Smoothstep(20.0, 56.0, r)) * 0.85;
    },
    // 4: horizontal streak
    [](double x, double y) { return Ray(x, y, 60.0, 2.2) + 0.6 * Gauss(std::hypot(x, y), 5.0); },
    // 5: plus-shaped glint
    [](double x, double y) { return Rays(x, y, 2, 0.0, 46.0, 1.4) + 0.8 * Gauss(std::hypot(x, y), 4.0); },
    // 6: small round glow: a bright core in a soft halo
    [](double x, double y) {
      double r = std::hypot(x, y);
      return Gauss(r, 6.5) + 0.5 * Gauss(r, 15.0) + 0.14 * Gauss(r, 24.0);
    },
    // 7: double ring
    [](double x, double y) {
      double r = std::hypot(x, y);
      return std::exp(-std::pow((r - 24.0) / 3.0, 2)) * 0.9 + std::exp(-std::pow((r - 44.0) / 6.0, 2)) * 0.35;
    },
    // 8: soft rounded square
    [](double x, double y) {
      double d = std::pow(std::pow(std::abs(x), 4) + std::pow(std::abs(y), 4), 0.25);
      return 0.75 * (1.0 - Smoothstep(30.0, 46.0, d));
    },
    // 9: soft four-pointed sparkle with shorter diagonal rays
    [](double x, double y) {
      double r = std::hypot(x, y);
      return Rays(x, y, 2, 0.0, 58.0, 2.0) + 0.45 * Rays(x, y, 2, M_PI / 4, 30.0, 1.6) + Gauss(r, 5.5) +
             0.35 * Gauss(r, 15.0);
    },
    // 10: six-pointed star
    [](double x, double y) {
      double r = std::hypot(x, y);
      return Rays(x, y, 3, M_PI / 2, 52.0, 1.8) + 0.9 * Gauss(r, 5.0) + 0.25 * Gauss(r, 16.0);
    },
    // 11: large soft orb with a faint halo ring and rays: a lens flare
    [](double x, double y) {
      double r = std::hypot(x, y);
      return 0.8 * Gauss(r, 20.0) + 0.7 * Gauss(r, 7.0) + 0.14 * std::exp(-std::pow((r - 50.0) / 4.0, 2)) +
             0.12 * Rays(x, y, 4, M_PI / 8, 60.0, 1.5);
    },
    // 12: a cluster of small dots
    [](double x, double y) {
      static const double dots[][3] = {{-18, -10, 6}, {14, -22, 4.5}, {22, 12, 7}, {-8, 24, 4}, {0, 0, 8}, {-30, 18, 3.5}};
      double sum = 0.0;
      for (const auto& d : dots) sum += Gauss(std::hypot(x - d[0], y - d[1]), d[2]);
      return sum;
    },
    // 13: halo: a wide soft ring around a small core
    [](double x, double y) {
      double r = std::hypot(x, y);
      return 0.4 * std::exp(-std::pow((r - 40.0) / 9.0, 2)) + 0.9 * Gauss(r, 4.5);
    },
    // 14: diagonal spark
    [](double x, double y) { return Rays(x, y, 1, M_PI / 4, 58.0, 1.6) + 0.7 * Gauss(std::hypot(x, y), 4.0); },
    // 15: large soft disc
    [](double x, double y) { return 0.6 * (1.0 - Smoothstep(38.0, 56.0, std::hypot(x, y))); },
}};

constexpr int Supersampling = 4;

}  // namespace

RgbaPicture DrawParticleSheet() {
  RgbaPicture sheet(ParticleSheetSize, ParticleSheetSize);
  const double half = ParticleCellSize / 2.0;
  for (int32_t y = 0; y < ParticleSheetSize; ++y) {
    for (int32_t x = 0; x < ParticleSheetSize; ++x) {
      int cell = (y / ParticleCellSize) * 4 + x / ParticleCellSize;
      double sum = 0.0;
      for (int sy = 0; sy < Supersampling; ++sy) {
        for (int sx = 0; sx < Supersampling; ++sx) {
          double cx = (x % ParticleCellSize) + (sx + 0.5) / Supersampling - half;
          double cy = (y % ParticleCellSize) + (sy + 0.5) / Supersampling - half;
          // Every sprite fades out before the cell's edge, so neighbours never bleed in.
          double window = 1.0 - Smoothstep(50.0, 62.0, std::hypot(cx, cy));
          sum += std::clamp(Cells[cell](cx, cy), 0.0, 1.0) * window;
        }
      }
      uint8_t* px = sheet.At(x, y);
      px[0] = px[1] = px[2] = 255;
      px[3] = static_cast<uint8_t>(std::lround(255.0 * sum / (Supersampling * Supersampling)));
    }
  }
  return sheet;
}

}  // namespace assetgen
