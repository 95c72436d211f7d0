// Trimming additive quads to the texels that can still add something at their colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/device/zrnFaintTexels.h"

namespace {
constexpr int32_t Side = 64;

// A white disc whose opacity falls from 255 at the centre of the left 32 x 32 cell to 0 at radius
// 12 texels; the right half of the texture is a solid, opaque block.
std::vector<uint8_t> SoftDiscTexture() {
  std::vector<uint8_t> pixels(Side * Side * 4, 0);
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x) {
      uint8_t* p = &pixels[static_cast<size_t>((y * Side + x) * 4)];
      const double r = std::hypot(x + 0.5 - 16, y + 0.5 - 16);
      const bool disc = x < 32 && y < 32;
      p[0] = p[1] = p[2] = 255;
      p[3] = disc ? static_cast<uint8_t>(std::max(0.0, 255 * (1 - r / 12))) : (x >= 32 ? 255 : 0);
    }
  return pixels;
}

struct TQuadCase {
  const char* Name;
  float HalfSize, Degrees, Share;
  bool LeftCell, TwoColours;
  int ExpectedQuads;
  int Low, High;  // expected texel span of the result on both axes; 0, 0 when the quad is kept whole
};

void AddCase(std::vector<TVertex>& out, const TQuadCase& c) {
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  const float cs = std::cos(c.Degrees * 3.14159265f / 180), sn = std::sin(c.Degrees * 3.14159265f / 180);
  const float u0 = c.LeftCell ? 0.0f : 0.5f;
  for (int k = 0; k < 4; ++k) {
    TVertex v{};
    v.Color = {c.Share, c.Share, c.Share, 1};
    if (c.TwoColours && k == 2) v.Color.Green = 0;
    v.TexCoord = {u0 + (corners[k][0] + 1) / 4, (corners[k][1] + 1) / 4};
    const float x = corners[k][0] * c.HalfSize, y = corners[k][1] * c.HalfSize;
    v.Position = {500 + x * cs - y * sn, 400 + x * sn + y * cs, 0};
    out.push_back(v);
  }
}
}  // namespace

TEST(FaintTexels, QuadsAreCutToWhatCanShowAndStillSampleAsBefore) {
  const std::vector<uint8_t> pixels = SoftDiscTexture();
  TZRNTexelWeights weights;
  weights.Build(pixels.data(), Side, Side, pfRGBA);

  // The disc reaches texels 4..27; a bright quad keeps them with a margin of 1 + 2 texels per pixel
  // (here a quarter), a dim one only those over half a step at its colour, and a faint one none.
  const TQuadCase cases[] = {
      {"bright, upright", 64, 0, 1.0f, true, false, 1, 2, 30},
      {"bright, turned", 64, 30, 1.0f, true, false, 1, 2, 30},
      {"dim: opacities under 32 add nothing", 64, 0, 1.0f / 64, true, false, 1, 4, 28},
      {"too faint for any texel", 64, 0, 0.001f, true, false, 0, 0, 0},
      {"minified: the margin reaches the cell's edge", 8, 0, 1.0f, true, false, 1, 0, 0},
      {"a solid cell is kept whole", 64, 0, 1.0f, false, false, 1, 0, 0},
      {"two colours interpolate: kept whole", 64, 0, 1.0f, true, true, 1, 0, 0},
  };
  for (const TQuadCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<TVertex> quad, kept;
    AddCase(quad, c);
    ZRNTrimFaintQuads(quad.data(), 4, weights, kept);
    ASSERT_EQ(kept.size(), static_cast<size_t>(c.ExpectedQuads) * 4);
    if (kept.empty()) continue;
    if (c.Low == 0 && c.High == 0) {
      EXPECT_EQ(0, std::memcmp(kept.data(), quad.data(), 4 * sizeof(TVertex)));
      continue;
    }
    // Every new corner lies where the original quad puts its texture coordinate.
    const float cs = std::cos(c.Degrees * 3.14159265f / 180), sn = std::sin(c.Degrees * 3.14159265f / 180);
    float low = 1e9f, high = -1e9f;
    for (const TVertex& v : kept) {
      const float x = (v.TexCoord.X * 4 - 1) * c.HalfSize, y = (v.TexCoord.Y * 4 - 1) * c.HalfSize;
      EXPECT_NEAR(v.Position.X, 500 + x * cs - y * sn, 1e-3f);
      EXPECT_NEAR(v.Position.Y, 400 + x * sn + y * cs, 1e-3f);
      EXPECT_EQ(v.Color.Red, c.Share);
      low = std::min({low, v.TexCoord.X * Side, v.TexCoord.Y * Side});
      high = std::max({high, v.TexCoord.X * Side, v.TexCoord.Y * Side});
    }
    EXPECT_NEAR(low, static_cast<float>(c.Low), 1e-3f);
    EXPECT_NEAR(high, static_cast<float>(c.High), 1e-3f);
  }

  // Other shapes go through as they came, with a trailing partial quad.
  std::vector<TVertex> trail;
  AddCase(trail, cases[0]);
  trail[2].Position.X += 40;  // no longer a parallelogram
  trail.push_back(trail[0]);
  std::vector<TVertex> kept;
  ZRNTrimFaintQuads(trail.data(), 5, weights, kept);
  ASSERT_EQ(kept.size(), 5u);
  EXPECT_EQ(0, std::memcmp(kept.data(), trail.data(), 5 * sizeof(TVertex)));
}
