// Draws the player's three particle cells and a few canvas lines through the OpenGL renderer and
// saves the picture to SNV_PREVIEW_OUT, or to screenshots/particles.png in the build. Without a
// display the test program runs itself again under Xvfb.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <FreeImage.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnImage.h"
#include "engine/device/zrnCanvas.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnOpenGL.h"
#include "engine/particles/zrnParticles.h"
#include "tests/unit/XvfbRerun.h"

namespace {
constexpr int32_t Width = 800;
constexpr int32_t Height = 600;

// A 4 x 4 sheet of soft dots, used when the player's particle image is not built.
void MakeSoftDots(TZRNImage& image) {
  constexpr int32_t Size = 256, CellSize = 64;
  TZRNTexture& texture = *image.Texture;
  texture.SetSize(Size, Size, pfRGBA);
  for (int32_t y = 0; y < Size; ++y) {
    for (int32_t x = 0; x < Size; ++x) {
      const float dx = float(x % CellSize) - CellSize / 2.0f + 0.5f;
      const float dy = float(y % CellSize) - CellSize / 2.0f + 0.5f;
      const float d = std::sqrt(dx * dx + dy * dy) / (CellSize / 2.0f);
      const float a = d >= 1 ? 0 : (1 - d) * (1 - d);
      uint8_t* px = texture.Data + (y * Size + x) * 4;
      px[0] = px[1] = px[2] = 255;
      px[3] = static_cast<uint8_t>(a * 255);
    }
  }
  image.Width = image.Height = Size;
  texture.Build();
}

struct TCellBurst {
  uint16_t Cell;
  float SizeMin, SizeMax, X, Y;
  int Channel;  // 0 red, 1 green, 2 blue
};

TZRNParticleEffect* AddPlayerEffect(TZRNParticleManager& manager, const TCellBurst& burst) {
  TZRNParticleEffect* e = manager.Effects->Add();
  e->Quota = 16;
  e->SetTextureName("Particles");
  e->SetCellLayout(2);
  e->SetCell(burst.Cell);
  e->Blending = pbAdditive;
  e->SetMode(pmPlaneXY);
  e->EmitAmount = 1;
  e->EmitCount = 1;
  e->EmissionPoints->Add(0, 0);
  e->SetLifeMin(1.6f);
  e->SetLifeMax(2.2f);
  e->Size = {burst.SizeMin, burst.SizeMax};
  e->Speed = {-8, 8};
  e->Direction = {0, 360};
  e->Spin = {-150, 150};
  TZRNParticleGraphs& g = *e->Graphs;
  g.Red.Keys.Add(0, 0);
  g.Green.Keys.Add(0, 0);
  g.Blue.Keys.Add(0, 0);
  (burst.Channel == 0 ? g.Red : burst.Channel == 1 ? g.Green : g.Blue).Keys.Add(0.1f, 1.0f);
  g.Alpha.Keys.Add(0, 0.3f);
  g.Alpha.Keys.Add(0.5f, 0.9f);
  g.Alpha.Keys.Add(1.0f, 0);
  g.Size.Keys.Add(0, 0.1f);
  g.Size.Keys.Add(0.9f, 3.2f);
  return e;
}

// The player's particle picture, or soft dots when it is not built.
void LoadParticleSheet(TZRNImageList& images) {
  for (const std::string& path : {std::string(SNV_BINARY_DIR) + "/pm.dat", std::string(SNV_SOURCE_DIR) + "/data/pm.dat"}) {
    if (!std::filesystem::exists(path)) continue;
    TZRNImage* image = images.LoadImage(path);
    if (!images.Find("Particles")) image->Name = "Particles";
    return;
  }
  TZRNImage* image = images.Add();
  image->Name = "Particles";
  MakeSoftDots(*image);
}

// The finished back buffer, BGRA, rows bottom-up.
std::vector<uint8_t> ReadBack(int32_t width, int32_t height) {
  glFinish();
  std::vector<uint8_t> pixels(static_cast<size_t>(width * height * 4));
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

bool SavePng(const std::vector<uint8_t>& pixels, int32_t width, int32_t height, const std::string& out) {
  FIBITMAP* bgra = FreeImage_ConvertFromRawBits(const_cast<uint8_t*>(pixels.data()), width, height, width * 4, 32,
                                                FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);
  if (!bgra) return false;
  FIBITMAP* rgb = FreeImage_ConvertTo24Bits(bgra);
  std::filesystem::create_directories(std::filesystem::path(out).parent_path());
  const bool saved = rgb && FreeImage_Save(FIF_PNG, rgb, out.c_str(), 0);
  if (rgb) FreeImage_Unload(rgb);
  FreeImage_Unload(bgra);
  return saved;
}

// Peak signal-to-noise ratio of two BGRA pictures over their colour channels, in dB.
double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double squares = 0;
  size_t samples = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (i % 4 == 3) continue;
    const double d = double(a[i]) - double(b[i]);
    squares += d * d;
    ++samples;
  }
  return squares == 0 ? 1e9 : 10 * std::log10(255.0 * 255.0 * double(samples) / squares);
}

// Sum of one channel over a square of the picture (rows bottom-up, BGRA).
double ChannelSum(const std::vector<uint8_t>& pixels, int cx, int cy, int half, int channel, int width = Width,
                  int height = Height) {
  static constexpr int Offset[3] = {2, 1, 0};
  double sum = 0;
  for (int y = cy - half; y < cy + half; ++y)
    for (int x = cx - half; x < cx + half; ++x)
      sum += pixels[static_cast<size_t>(((height - 1 - y) * width + x) * 4 + Offset[channel])];
  return sum;
}
}  // namespace

TEST(ParticlePreviewRun, PassesUnderXvfb) { EXPECT_DISPLAY_TESTS_PASS("ParticlePreview.*"); }

TEST(ParticlePreview, DrawsThePlayersCellsAndCanvasLines) {
  if (!DisplayAvailable()) GTEST_SKIP() << "run by ParticlePreviewRun.PassesUnderXvfb";
  const char* setOut = std::getenv("SNV_PREVIEW_OUT");
  const std::string out = setOut ? setOut : std::string(SNV_BINARY_DIR) + "/screenshots/particles.png";

  TZRNDevice device;
  device.Initialize("Particles", Width, Height, false);
  TZRNImageList images(&device);
  LoadParticleSheet(images);

  TZRNParticleManager manager(&device);
  manager.Images = &images;
  manager.SetCapacity(4000);
  // Cells 11 ("kaos"), 6 ("osc"), 9 ("spir") with their sizes; red, green and blue.
  const TCellBurst bursts[] = {{11, 24, 32, 160, 300, 0}, {6, 8, 12, 400, 300, 1}, {9, 12, 16, 640, 300, 2}};
  manager.Random.SeedRandomTable(5);
  for (const TCellBurst& burst : bursts) {
    TZRNParticleEffect* effect = AddPlayerEffect(manager, burst);
    effect->Prepare();
    for (int i = 0; i < 120; ++i) {
      const float angle = float(i) * 0.35f, radius = float(i) * 0.8f;
      manager.SpawnAt(effect, TVector3f{burst.X + std::cos(angle) * radius, burst.Y + std::sin(angle) * radius, 0});
    }
  }
  for (int frame = 0; frame < 24; ++frame) manager.Update(1 / 60.0f);

  TZRNCanvas canvas(&device);
  const TColor4f lineColours[] = {{1, 1, 1, 1}, {1, 0.5f, 0, 1}, {0, 1, 1, 1}};
  for (int i = 0; i < 3; ++i) {
    canvas.Pen->Color = lineColours[i];
    canvas.Line(40, 60.0f + i * 20, 760, 60.0f + i * 20);
  }
  canvas.Line(40, 500, 760, 560);

  device.Clear();
  EXPECT_EQ(manager.Render(), 3 * 120 * 4);
  canvas.Flush(false);
  const std::vector<uint8_t> pixels = ReadBack(Width, Height);
  device.Flip();
  EXPECT_TRUE(SavePng(pixels, Width, Height, out));

  // Each burst shows in its own colour; the lines are drawn over the black background.
  for (int b = 0; b < 3; ++b) {
    const int cx = int(bursts[b].X), cy = int(bursts[b].Y);
    const double own = ChannelSum(pixels, cx, cy, 40, bursts[b].Channel);
    EXPECT_GT(own, 40 * 40 * 4 * 20.0) << "burst " << b << " is too dark";
    for (int other = 0; other < 3; ++other) {
      if (other == b) continue;
      EXPECT_GT(own, 4 * ChannelSum(pixels, cx, cy, 40, other)) << "burst " << b;
    }
  }
  EXPECT_GT(ChannelSum(pixels, 400, 60, 1, 0), 200.0) << "white line";
  EXPECT_EQ(ChannelSum(pixels, 400, 70, 1, 0) + ChannelSum(pixels, 400, 70, 1, 1), 0.0) << "between lines";
  EXPECT_GT(ChannelSum(pixels, 400, 100, 1, 2), 200.0) << "cyan line";
}

TEST(ParticleLayerRun, PassesUnderXvfb) { EXPECT_DISPLAY_TESTS_PASS("ParticleLayer.*", "1920x1080x24"); }

// Software OpenGL draws the large additive sprites on a half-resolution layer, and the CPU draws
// white sprites in OpenGL's place. The player's "kaos" and "spir" clouds at 1920 x 1080, in the
// state a few seconds of spawning leave them, must look as they do drawn at full size by OpenGL:
// the three pictures go to screenshots/ to be seen side by side.
TEST(ParticleLayer, LooksLikeFullResolution) {
  if (!DisplayAvailable()) GTEST_SKIP() << "run by ParticleLayerRun.PassesUnderXvfb";
  constexpr int32_t W = 1920, H = 1080;
  TZRNDevice device;
  device.Initialize("Particles", W, H, false);
  auto& renderer = dynamic_cast<TZRNOpenGLRenderer&>(*device.Renderer);
  TZRNImageList images(&device);
  LoadParticleSheet(images);
  TZRNParticleManager manager(&device);
  manager.Images = &images;
  manager.SetCapacity(20000);
  manager.Random.SeedRandomTable(7);
  // Sizes as the player scales them for a 1920-pixel-wide screen; spawned along spirals.
  const TCellBurst clouds[] = {{11, 58, 77, 560, 540, 0}, {9, 29, 38, 1360, 540, 2}};
  std::vector<TZRNParticleEffect*> effects;
  for (const TCellBurst& cloud : clouds) {
    for (int channel = 0; channel < 3; ++channel) {
      TCellBurst tinted = cloud;
      tinted.Channel = channel;
      effects.push_back(AddPlayerEffect(manager, tinted));
      effects.back()->Prepare();
    }
  }
  float angle = 0;
  for (int frame = 0; frame < 60; ++frame) {
    for (int i = 0; i < 40; ++i, angle += 0.02f) {
      const float radius = std::fmod(angle * 40, 420.0f);
      for (int c = 0; c < 2; ++c)
        manager.SpawnAt(effects[static_cast<size_t>(c * 3 + i % 3)],
                        TVector3f{clouds[c].X + std::cos(angle) * radius, clouds[c].Y + std::sin(angle) * radius, 0});
    }
    manager.Update(1 / 30.0f);
  }

  auto draw = [&](bool layer, bool cpu) {
    renderer.UseGlowLayer = layer;
    renderer.SplatOnCpu = cpu;
    device.Clear();
    manager.Render();
    return ReadBack(W, H);
  };
  const std::vector<uint8_t> full = draw(false, false), layered = draw(true, false), splatted = draw(true, true);
  EXPECT_TRUE(SavePng(full, W, H, std::string(SNV_BINARY_DIR) + "/screenshots/glow_full.png"));
  EXPECT_TRUE(SavePng(layered, W, H, std::string(SNV_BINARY_DIR) + "/screenshots/glow_layer.png"));
  EXPECT_TRUE(SavePng(splatted, W, H, std::string(SNV_BINARY_DIR) + "/screenshots/glow_cpu.png"));
  EXPECT_NE(full, layered) << "nothing went through the layer";
  EXPECT_NE(layered, splatted) << "nothing was drawn on the CPU";
  EXPECT_GE(Psnr(full, layered), 40.0);
  EXPECT_GE(Psnr(full, splatted), 40.0);
  EXPECT_GE(Psnr(layered, splatted), 50.0) << "the CPU draws what OpenGL draws, to within rounding";

  // A quad drawn with another blending inside the layer's span lands over what came before it.
  device.Clear();
  device.BeginGlowLayer();
  manager.Render();
  device.SetTexture(nullptr, 0);
  device.SetRenderState(rsBlend, rvBlendAlpha);
  TZRNVertexList cover;
  for (const auto& corner : {TVector3f{460, 440, 0}, TVector3f{660, 440, 0}, TVector3f{660, 640, 0}, TVector3f{460, 640, 0}}) {
    TVertex& v = cover[cover.Alloc(1)];
    v = TVertex{};
    v.Color = {0, 0, 0, 1};
    v.Position = corner;
  }
  device.DrawPrimitives(ptQuads, cover);
  device.EndGlowLayer();
  const std::vector<uint8_t> covered = ReadBack(W, H);
  EXPECT_EQ(ChannelSum(covered, 560, 540, 90, 0, W, H) + ChannelSum(covered, 560, 540, 90, 1, W, H), 0.0);
  EXPECT_GT(ChannelSum(covered, 560, 540, 200, 0, W, H), 0.0) << "the cloud around the cover is drawn";
}
