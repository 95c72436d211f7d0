// Additive sprites drawn on the CPU: which quads it takes, and what it adds up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/device/zrnSoftSplat.h"

namespace {
constexpr int32_t Side = 64, PictureWidth = 200, PictureHeight = 120;
constexpr float Identity[8] = {1, 0, 0, 0, 0, 1, 0, 0};

// White, with opacity falling from the middle of the 64 x 64 texture to nothing at radius 30.
std::vector<uint8_t> GlowTexture(uint8_t red = 255) {
  std::vector<uint8_t> pixels(Side * Side * 4);
  for (int y = 0; y < Side; ++y)
    for (int x = 0; x < Side; ++x) {
      uint8_t* p = &pixels[static_cast<size_t>((y * Side + x) * 4)];
      p[0] = red;
      p[1] = p[2] = 255;
      p[3] = static_cast<uint8_t>(255 * std::max(0.0, 1 - std::hypot(x + 0.5 - 32, y + 0.5 - 32) / 30));
    }
  return pixels;
}

struct TQuad {
  float X, Y, Half, Degrees;
  TColor4f Colour{1, 0.5f, 0.25f, 1};
};

std::vector<TVertex> QuadOf(const TQuad& q) {
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  const float cs = std::cos(q.Degrees * 3.14159265f / 180), sn = std::sin(q.Degrees * 3.14159265f / 180);
  std::vector<TVertex> quad;
  for (const auto& k : corners) {
    TVertex v{};
    v.Color = q.Colour;
    v.TexCoord = {(k[0] + 1) / 2, (k[1] + 1) / 2};
    const float x = k[0] * q.Half, y = k[1] * q.Half;
    v.Position = {q.X + x * cs - y * sn, q.Y + x * sn + y * cs, 0};
    quad.push_back(v);
  }
  return quad;
}

void AddQuad(TZRNSoftLayer& layer, const std::vector<TZRNSplatTexture>& levels, const TQuad& q) {
  TZRNSplat splat;
  bool empty = false;
  const std::vector<TVertex> quad = QuadOf(q);
  EXPECT_TRUE(ZRNSplatOf(quad.data(), Identity, PictureWidth, PictureHeight, levels, splat, empty));
  if (!empty) layer.Add(splat);
}

// Every code this processor runs.
std::vector<TZRNSplatCode> Codes() {
  std::vector<TZRNSplatCode> codes;
  for (TZRNSplatCode code : {TZRNSplatCode::Plain, TZRNSplatCode::Avx2, TZRNSplatCode::Avx512})
    if (code <= TZRNSoftLayer::Fastest()) codes.push_back(code);
  return codes;
}

std::vector<uint8_t> Drawn(const std::vector<TZRNSplatTexture>& levels, const std::vector<TQuad>& quads,
                           TZRNSplatCode code = TZRNSoftLayer::Fastest()) {
  TZRNSoftLayer layer;
  layer.Code = code;
  layer.Resize(PictureWidth, PictureHeight);
  for (const TQuad& q : quads) AddQuad(layer, levels, q);
  TZRNCoreTeam team;
  int32_t first = 0, end = 0;
  layer.Resolve(team, first, end);
  std::vector<uint8_t> picture(PictureWidth * PictureHeight * 4, 0);
  for (int32_t y = first; y < end; ++y) std::copy_n(layer.Row(y), PictureWidth * 4, picture.begin() + y * PictureWidth * 4);
  return picture;
}

const uint8_t* At(const std::vector<uint8_t>& picture, int x, int y) { return &picture[static_cast<size_t>((y * PictureWidth + x) * 4)]; }
}  // namespace

TEST(SoftSplat, TakesOnlyQuadsItDrawsAsOpenGLWould) {
  const std::vector<uint8_t> white = GlowTexture(), tinted = GlowTexture(200);
  std::vector<TZRNSplatTexture> levels(1);
  ASSERT_TRUE(levels[0].Build(white.data(), Side, Side, pfRGBA));
  EXPECT_FALSE(TZRNSplatTexture().Build(tinted.data(), Side, Side, pfRGBA)) << "a tinted texture needs its colour";
  EXPECT_FALSE(TZRNSplatTexture().Build(white.data(), Side, Side, pfRGB));

  struct TCase {
    const char* Name;
    void (*Change)(std::vector<TVertex>&);
    bool Taken, Empty;
  } const cases[] = {
      {"plain", [](std::vector<TVertex>&) {}, true, false},
      {"two colours", [](std::vector<TVertex>& q) { q[2].Color.Green = 0; }, false, false},
      {"not a parallelogram", [](std::vector<TVertex>& q) { q[2].Position.X += 5; }, false, false},
      {"texture turned within the quad", [](std::vector<TVertex>& q) { q[1].TexCoord = {0.8f, 0.2f}; q[3].TexCoord = {0.2f, 0.8f}; }, false, false},
      {"wrapping texture", [](std::vector<TVertex>& q) { q[1].TexCoord.X = q[2].TexCoord.X = 2; }, false, false},
      {"no area", [](std::vector<TVertex>& q) { for (TVertex& v : q) v.Position = q[0].Position; }, true, true},
      {"off the picture", [](std::vector<TVertex>& q) { for (TVertex& v : q) v.Position.X += 1000; }, true, true},
      {"transparent", [](std::vector<TVertex>& q) { for (TVertex& v : q) v.Color.Alpha = 0; }, true, true},
  };
  for (const TCase& c : cases) {
    std::vector<TVertex> quad = QuadOf({100, 60, 20, 30});
    c.Change(quad);
    TZRNSplat splat;
    bool empty = false;
    EXPECT_EQ(ZRNSplatOf(quad.data(), Identity, PictureWidth, PictureHeight, levels, splat, empty), c.Taken) << c.Name;
    if (c.Taken) {
      EXPECT_EQ(empty, c.Empty) << c.Name;
    }
  }
}

TEST(SoftSplat, AddsSpritesAsBlendingIntoAnEightBitPictureWould) {
  const std::vector<uint8_t> white = GlowTexture();
  std::vector<TZRNSplatTexture> levels(1);
  ASSERT_TRUE(levels[0].Build(white.data(), Side, Side, pfRGBA));

  // A magnified upright sprite: its middle pixel reads the four middle texels (opacity 246 or so).
  const std::vector<uint8_t> one = Drawn(levels, {{100, 60, 32, 0}});
  const uint8_t* middle = At(one, 100, 60);
  EXPECT_NEAR(middle[0], 249, 3);
  EXPECT_NEAR(middle[1], 125, 2);
  EXPECT_NEAR(middle[2], 62, 2);
  EXPECT_EQ(At(one, 100, 60 + 31)[0], 0) << "the texture is clear at its edge";
  EXPECT_EQ(At(one, 100, 60 + 33)[0], 0) << "outside the quad";

  // Ten on top of each other saturate rather than wrap; the sum of ten faint ones keeps each
  // one's rounding, as blending into the picture one at a time does.
  const std::vector<uint8_t> ten = Drawn(levels, std::vector<TQuad>(10, TQuad{100, 60, 32, 0}));
  EXPECT_EQ(At(ten, 100, 60)[0], 255);
  TQuad faint{100, 60, 32, 0, {0.0015f, 0.0015f, 0.0015f, 1}};  // 0.37 of a step at the middle
  EXPECT_EQ(At(Drawn(levels, std::vector<TQuad>(10, faint)), 100, 60)[0], 0);

  // Plain and vector code draw the same, turned and partly off the picture included.
  const std::vector<TQuad> mixed = {{30, 20, 40, 30}, {180, 100, 25, 75}, {100, 60, 12, 10}, {60, 90, 50, -20}};
  const std::vector<uint8_t> plain = Drawn(levels, mixed, TZRNSplatCode::Plain);
  EXPECT_GT(std::count_if(plain.begin(), plain.end(), [](uint8_t b) { return b > 10; }), 10000);
  for (TZRNSplatCode code : Codes()) {
    const std::vector<uint8_t> vector = Drawn(levels, mixed, code);
    int largest = 0;
    for (size_t i = 0; i < vector.size(); ++i) largest = std::max(largest, std::abs(int(vector[i]) - int(plain[i])));
    EXPECT_LE(largest, 1) << "code " << int(code);
  }
}

TEST(SoftSplat, ResolveClearsWhatTheLastPictureShowed) {
  const std::vector<uint8_t> white = GlowTexture();
  std::vector<TZRNSplatTexture> levels(1);
  ASSERT_TRUE(levels[0].Build(white.data(), Side, Side, pfRGBA));
  TZRNSoftLayer layer;
  layer.Resize(PictureWidth, PictureHeight);
  TZRNCoreTeam team;
  int32_t first = 0, end = 0;
  AddQuad(layer, levels, {100, 20, 10, 0});
  layer.Resolve(team, first, end);
  EXPECT_LE(first, 10);
  EXPECT_GE(end, 30);
  // The next picture lies higher up: the rows the first one used come back clear.
  AddQuad(layer, levels, {100, 100, 10, 0});
  layer.Resolve(team, first, end);
  ASSERT_LE(first, 10);
  ASSERT_GE(end, 110);
  EXPECT_EQ(layer.Row(20)[100 * 4], 0);
  EXPECT_GT(layer.Row(100)[100 * 4], 200);
  // Nothing queued and nothing shown: nothing to write.
  layer.Resolve(team, first, end);
  layer.Resolve(team, first, end);
  EXPECT_EQ(end, first);
}

TEST(SoftSplat, HalfSizePictureIsAddedEnlargedAsALinearFilterDrawsIt) {
  const std::vector<uint8_t> white = GlowTexture();
  std::vector<TZRNSplatTexture> levels(1);
  ASSERT_TRUE(levels[0].Build(white.data(), Side, Side, pfRGBA));
  constexpr int32_t W = 201, H = 121;  // odd: the half-size picture's last pixels stand for one
  TZRNCoreTeam team;
  for (TZRNSplatCode code : Codes()) {
    TZRNSoftLayer half, full;
    half.Code = full.Code = code;
    half.Resize((W + 1) / 2, (H + 1) / 2);
    full.Resize(W, H);
    // Sprites across the middle and over every edge, one at full size on top of them.
    for (const TQuad& q : std::vector<TQuad>{{50, 30, 20, 15}, {0, 0, 12, 0}, {100, 60, 14, 40}, {70, 10, 30, 0}}) {
      TZRNSplat splat;
      bool empty = false;
      const std::vector<TVertex> quad = QuadOf(q);
      ASSERT_TRUE(ZRNSplatOf(quad.data(), Identity, half.Width(), half.Height(), levels, splat, empty));
      half.Add(splat);
    }
    TZRNSplat splat;
    bool empty = false;
    const std::vector<TVertex> quad = QuadOf({100, 60, 20, 0, {1, 1, 1, 1}});
    ASSERT_TRUE(ZRNSplatOf(quad.data(), Identity, W, H, levels, splat, empty));
    full.Add(splat);
    int32_t first = 0, end = 0;
    half.Resolve(team, first, end);
    full.Resolve(team, first, end, &half);
    ASSERT_EQ(first, 0);
    ASSERT_EQ(end, H);
    // Each pixel is the half-size picture read at its centre with clamped edges, weights in 16ths.
    auto at = [&](int32_t x, int32_t y, int c) {
      return half.Row(std::clamp(y, 0, half.Height() - 1))[4 * std::clamp(x, 0, half.Width() - 1) + c];
    };
    int wrong = 0, saturated = 0;
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x)
        for (int c = 0; c < 4; ++c) {
          const int32_t i = x / 2, j = y / 2, di = x % 2 ? 1 : -1, dj = y % 2 ? 1 : -1;
          const int sum = 9 * at(i, j, c) + 3 * at(i + di, j, c) + 3 * at(i, j + dj, c) + at(i + di, j + dj, c);
          const int sprite = std::abs(x - 100) < 30 && std::abs(y - 60) < 30 ? 0 : -1;  // the full-size one's square
          const int drawn = full.Row(y)[4 * x + c];
          if (sprite < 0 && drawn != (sum + 8) / 16) ++wrong;
          if (sprite == 0 && drawn < std::min((sum + 8) / 16, 255)) ++wrong;
          saturated += drawn == 255;
        }
    EXPECT_EQ(wrong, 0) << "code " << int(code);
    EXPECT_GT(saturated, 0) << "the full-size sprite adds to the enlargement";
    // With nothing drawn at either size, every row the enlargement reached comes back clear.
    half.Resolve(team, first, end);
    full.Resolve(team, first, end, &half);
    EXPECT_EQ(end - first, H);
    int left = 0;
    for (int32_t y = 0; y < H; ++y) left += std::count_if(full.Row(y), full.Row(y) + 4 * W, [](uint8_t b) { return b; });
    EXPECT_EQ(left, 0);
  }
}
