// The real renderer on a virtual display. Without $DISPLAY the first test starts this program
// again under xvfb-run with only the display tests selected, and reports their result.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <memory>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "tests/unit/XvfbRerun.h"
#include "engine/core/zrnEvents.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnGlfwLayer.h"
#include "engine/device/zrnMagnifiedQuads.h"
#include "engine/device/zrnUnseenQuads.h"
#include "engine/device/zrnOpenGL.h"
#include "engine/assets/zrnTexture.h"
#include "engine/device/zrnOpenGLTexture.h"

namespace {
bool HaveDisplay() {
  const char* d = std::getenv("DISPLAY");
  return d && *d;
}

std::array<float, 3> PixelAt(int x, int yFromTop, int height) {
  std::array<float, 3> rgb{};
  glReadPixels(x, height - 1 - yFromTop, 1, 1, GL_RGB, GL_FLOAT, rgb.data());
  return rgb;
}

void AddQuad(TZRNVertexList& list, float x0, float y0, float x1, float y1, TColor4f color) {
  const float xs[4] = {x0, x1, x1, x0};
  const float ys[4] = {y0, y0, y1, y1};
  for (int i = 0; i < 4; ++i) {
    TVertex& v = list[list.Alloc(1)];
    v = TVertex{};
    v.Color = color;
    v.Position = {xs[i], ys[i], 0};
  }
}

// A side x side RGBA texture with trilinear filtering, filled by fill, bound for additive drawing.
std::unique_ptr<TZRNTexture> BoundMipmappedTexture(TZRNDevice& device, int32_t side, const std::function<void(uint8_t*)>& fill) {
  auto texture = device.CreateTexture();
  texture->Width = texture->Height = side;
  texture->Format = pfRGBA;
  texture->Size = side * side * 4;
  texture->Data = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(texture->Size)));
  fill(texture->Data);
  texture->Settings->Mipmaps = true;
  texture->Settings->MinFilter = tfLinearMipmapLinear;
  texture->Settings->MagFilter = tfLinear;
  texture->Build();
  device.SetTexture(texture.get(), 0);
  device.SetRenderState(rsBlend, rvBlendAdditive);
  return texture;
}

// A white soft glow inside each 64 x 64 cell of a 128 x 128 texture, fading to nothing well
// before the cell's edge.
void SoftGlowCells(uint8_t* data) {
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) {
      const double r = std::hypot(x % 64 + 0.5 - 32, y % 64 + 0.5 - 32) / 24;
      uint8_t* p = data + (y * 128 + x) * 4;
      p[0] = p[1] = p[2] = 255;
      p[3] = static_cast<uint8_t>(255 * std::max(0.0, 1 - r) * std::max(0.0, 1 - r));
    }
}

// The 1024 x 768 window's pixels after clearing it and drawing.
std::vector<uint8_t> DrawnFrame(TZRNDevice& device, const std::function<void()>& draw) {
  device.Clear();
  draw();
  std::vector<uint8_t> pixels(1024 * 768 * 3);
  glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

// All the quads in one draw, past every shortcut of the renderer.
void DrawDirectly(const TZRNVertexList& quads) {
  const auto* base = reinterpret_cast<const char*>(quads.List);
  glVertexPointer(3, GL_FLOAT, sizeof(TVertex), base + offsetof(TVertex, Position));
  glColorPointer(4, GL_FLOAT, sizeof(TVertex), base + offsetof(TVertex, Color));
  glNormalPointer(GL_FLOAT, sizeof(TVertex), base + offsetof(TVertex, Normal));
  glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), base + offsetof(TVertex, TexCoord));
  glDrawArrays(GL_QUADS, 0, quads.Count);
}

void DrainEvents() {
  TZRNEvent e{};
  while (Events().Pop(e)) {
  }
}

class OpenGLOnDisplay : public testing::Test {
 protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "run by OpenGLWindow.AllDisplayTestsPassUnderXvfb";
  }
};
}  // namespace

TEST(OpenGLWindow, AllDisplayTestsPassUnderXvfb) {
  if (HaveDisplay()) GTEST_SKIP() << "a display exists; the display tests run directly";
  int status = -1;
  const std::string output = RunSelfUnderXvfb("OpenGLOnDisplay.*", status);
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(output.find("[  PASSED  ]"), std::string::npos) << output;
  EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
}

TEST_F(OpenGLOnDisplay, OpensAFullScreenWindowAtTheDesktopSize) {
  TZRNDevice device;
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ZRNPrimaryScreenSize(w, h));
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 768);
  bool listed = false;
  for (const auto& mode : device.Display->Modes) listed |= std::strcmp(mode.Name, "1024x768x24") == 0;
  EXPECT_TRUE(listed) << "the virtual screen's mode is among the enumerated modes";

  device.Initialize("Sonavarium", w, h, true);
  EXPECT_TRUE(ZRNOpenGLLoaded);
  EXPECT_NE(ZRNNativeWindowHandle(), 0u);
  EXPECT_EQ(device.Width(), 1024);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1024);
  EXPECT_EQ(viewport[3], 768);
  EXPECT_NE(dynamic_cast<TZRNOpenGLTexture*>(device.CreateTexture().get()), nullptr);

  device.Renderer->Close();
  EXPECT_FALSE(ZRNOpenGLLoaded);
  EXPECT_EQ(ZRNNativeWindowHandle(), 0u);
}

TEST_F(OpenGLOnDisplay, DrawsInWindowPixelsWithTheChosenBlending) {
  TZRNDevice device;
  device.Initialize("Sonavarium", 1024, 768, true);
  device.Clear();
  TZRNVertexList quads;
  AddQuad(quads, 100, 100, 200, 200, {1, 0, 0, 1});
  device.DrawPrimitives(ptQuads, quads);
  // Top-left origin, Y down: the quad sits 100..200 pixels from the top.
  auto inside = PixelAt(150, 150, 768);
  EXPECT_FLOAT_EQ(inside[0], 1.0f);
  EXPECT_FLOAT_EQ(inside[1], 0.0f);
  auto outside = PixelAt(150, 650, 768);
  EXPECT_FLOAT_EQ(outside[0], 0.0f);

  quads.Clear();
  AddQuad(quads, 100, 100, 200, 200, {0, 1, 0, 0.5f});
  device.SetRenderState(rsBlend, rvBlendAdditive);
  device.DrawPrimitives(ptQuads, quads);
  inside = PixelAt(150, 150, 768);
  EXPECT_FLOAT_EQ(inside[0], 1.0f);
  EXPECT_NEAR(inside[1], 0.5f, 0.01f);

  device.SetRenderState(rsBlend, rvBlendAlpha);
  device.DrawPrimitives(ptQuads, quads);  // (1, .5, 0) * .5 + (0, 1, 0) * .5
  inside = PixelAt(150, 150, 768);
  EXPECT_NEAR(inside[0], 0.5f, 0.01f);
  EXPECT_NEAR(inside[1], 0.75f, 0.01f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // An empty list is a valid draw.
  quads.Clear();
  device.DrawPrimitives(ptQuads, quads);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(OpenGLOnDisplay, FlipKeepsToTheRefreshRateAndDeliversQuitRequests) {
  TZRNDevice device;
  device.Initialize("Sonavarium", 1024, 768, true);
  device.Flip();
  DrainEvents();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 30; ++i) device.Flip();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Xvfb has no vertical sync; without the cap these 30 frames take a few milliseconds.
  EXPECT_GE(seconds, 0.4);

  ZRNQuitRequested = 1;
  device.Flip();
  bool quit = false;
  TZRNEvent e{};
  while (Events().Pop(e)) quit |= e.Kind == ZRN_EVENT_QUIT;
  EXPECT_TRUE(quit);
  EXPECT_EQ(ZRNQuitRequested, 0);
}

TEST_F(OpenGLOnDisplay, KeysAndButtonsFromTheServerArriveWithOldCodes) {
  TZRNDevice device;
  device.Initialize("Sonavarium", 1024, 768, true);
  std::vector<TZRNEvent> events;
  auto pump = [&] {
    for (int i = 0; i < 20; ++i) {
      device.Flip();
      TZRNEvent e{};
      while (Events().Pop(e)) events.push_back(e);
    }
  };
  auto lastMove = [&] {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
      if (it->Kind == ZRN_MOUSE_MOVED) return std::make_pair(it->Mouse.X, it->Mouse.Y);
    }
    return std::make_pair(INT32_MIN, INT32_MIN);
  };
  pump();
  events.clear();
  // X button 3 is the right button, GLFW's button 1.
  ASSERT_EQ(std::system("xdotool keydown Next sleep 0.1 keyup Next mousedown 3 sleep 0.1 mouseup 3 "
                        "mousemove_relative -- 45 36 >/dev/null 2>&1"),
            0);
  pump();
  bool pressed = false, released = false, button = false;
  for (const TZRNEvent& e : events) {
    pressed |= e.Kind == ZRN_KEY_PRESSED && e.Keyboard.Key == 299;
    released |= e.Kind == ZRN_KEY_RELEASED && e.Keyboard.Key == 299;
    button |= e.Kind == ZRN_MOUSE_PRESSED && e.Mouse.Button == 1;
  }
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(released);
  EXPECT_TRUE(button);
  const auto before = lastMove();
  ASSERT_NE(before.first, INT32_MIN) << "no motion reported";

  // The captured pointer returns to the centre after each poll, so a large move up-left
  // travels 512 x 384 before the screen edge stops it; the reported position is unbounded.
  ASSERT_EQ(std::system("xdotool mousemove_relative -- -600 -500 >/dev/null 2>&1"), 0);
  pump();
  const auto after = lastMove();
  EXPECT_EQ(after.first - before.first, -512);
  EXPECT_EQ(after.second - before.second, -384);
}

// Additive quads: those that add nothing are left out, and those whose mipmapped texture is
// magnified are drawn with a cheaper filter. The pixels must be the very ones OpenGL gives for all
// the quads in one draw.
TEST_F(OpenGLOnDisplay, AdditiveQuadsKeepTheirPixelsThroughTheShortcuts) {
  TZRNDevice device;
  device.Initialize("Sonavarium", 1024, 768, true);
  auto texture = BoundMipmappedTexture(device, 64, [](uint8_t* data) {
    for (uint32_t i = 0; i < 64 * 64 * 4; ++i) data[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
  });

  // Half-sizes in pixels of quads showing all 64 texels, turned by 30 degrees: 4x, 1.5x and 1.02x
  // magnified; 1x, 0.5x and a quad magnified 4x one way and minified the other stay trilinear;
  // the last two have no colour or no opacity.
  struct Shape {
    float X, Y, HalfWidth, HalfHeight;
    TColor4f Color;
  };
  constexpr TColor4f tint{0.6f, 0.5f, 0.4f, 0.7f};
  const Shape shapes[] = {{300, 300, 128, 128, tint}, {380, 360, 48, 48, tint},  {700, 200, 32.64f, 32.64f, tint},
                          {700, 400, 32, 32, tint},   {850, 600, 16, 16, tint},  {300, 620, 128, 16, tint},
                          {320, 320, 64, 64, {0, 0, 0, 0.9f}}, {400, 300, 64, 64, {1, 1, 1, 0}}};
  TZRNVertexList quads;
  const float c = std::cos(0.5235988f), s = std::sin(0.5235988f);
  for (const Shape& shape : shapes) {
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& k : corners) {
      TVertex& v = quads[quads.Alloc(1)];
      v = TVertex{};
      v.Color = shape.Color;
      v.TexCoord = {(k[0] + 1) / 2, (k[1] + 1) / 2};
      const float x = k[0] * shape.HalfWidth, y = k[1] * shape.HalfHeight;
      v.Position = {shape.X + x * c - y * s, shape.Y + x * s + y * c, 0};
    }
  }
  std::vector<TVertex> seen, magnified, rest;
  ZRNKeepSeenQuads(quads.List, quads.Count, seen);
  EXPECT_EQ(seen.size(), 6u * 4);
  ZRNSplitMagnifiedQuads(seen.data(), static_cast<int32_t>(seen.size()), 64, 64, magnified, rest);
  EXPECT_EQ(magnified.size(), 3u * 4);
  EXPECT_EQ(rest.size(), 3u * 4);
  // Up to two texels a pixel, as the glow layer takes them: the 1x quad joins, and so does the
  // turned 4x-by-0.5x one (at 30 degrees no screen axis reads two texels); 0.5x just misses.
  ZRNSplitMagnifiedQuads(seen.data(), static_cast<int32_t>(seen.size()), 64, 64, magnified, rest, 2.0f);
  EXPECT_EQ(magnified.size(), 5u * 4);
  ZRNSplitMagnifiedQuads(seen.data(), static_cast<int32_t>(seen.size()), 64, 64, magnified, rest);

  const std::vector<uint8_t> shortcut = DrawnFrame(device, [&] { device.DrawPrimitives(ptQuads, quads); });
  const std::vector<uint8_t> direct = DrawnFrame(device, [&] { DrawDirectly(quads); });
  EXPECT_TRUE(shortcut == direct);
  EXPECT_GT(std::count_if(direct.begin(), direct.end(), [](uint8_t b) { return b != 0; }), 100000);
  GLint minification = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minification);
  EXPECT_EQ(minification, GL_LINEAR_MIPMAP_LINEAR) << "the texture's own filter is back";
}

// Quads trimmed to the texels that can show at their colour give the pixels of the whole quads, but
// for rounding in the last bit where a texel's share is about half a step.
TEST_F(OpenGLOnDisplay, FaintPartsOfAdditiveQuadsAreLeftOutUnseen) {
  TZRNDevice device;
  device.Initialize("Sonavarium", 1024, 768, true);
  // A soft glow inside each 64 x 64 cell, fading to nothing well before the cell's edge.
  auto texture = BoundMipmappedTexture(device, 128, SoftGlowCells);

  TZRNVertexList quads;
  for (int i = 0; i < 60; ++i) {
    const float half = 10.0f + static_cast<float>(i % 7) * 25, angle = static_cast<float>(i) * 0.7f;
    const float share = i % 3 == 0 ? 1.0f : 0.4f / static_cast<float>(1 + i % 5);
    const float cx = 120 + static_cast<float>((i * 149) % 780), cy = 100 + static_cast<float>((i * 97) % 560);
    const float u0 = static_cast<float>(i % 2) * 0.5f;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& k : corners) {
      TVertex& v = quads[quads.Alloc(1)];
      v = TVertex{};
      v.Color = {share, share * 0.8f, share * 0.5f, 1};
      v.TexCoord = {u0 + (k[0] + 1) / 4, (k[1] + 1) / 4};
      const float x = k[0] * half, y = k[1] * half;
      v.Position = {cx + x * std::cos(angle) - y * std::sin(angle), cy + x * std::sin(angle) + y * std::cos(angle), 0};
    }
  }
  const std::vector<uint8_t> trimmed = DrawnFrame(device, [&] { device.DrawPrimitives(ptQuads, quads); });
  const std::vector<uint8_t> whole = DrawnFrame(device, [&] { DrawDirectly(quads); });
  int largest = 0;
  size_t differing = 0;
  for (size_t i = 0; i < whole.size(); ++i) {
    const int d = std::abs(int(trimmed[i]) - int(whole[i]));
    largest = std::max(largest, d);
    differing += d != 0;
  }
  EXPECT_LE(largest, 1);
  EXPECT_LT(differing, whole.size() / 1000);
  EXPECT_GT(std::count_if(whole.begin(), whole.end(), [](uint8_t b) { return b != 0; }), 50000);
}

// Software OpenGL leaves white sprites between the particle layer's calls to the CPU: small ones
// at full size, from the mipmap level OpenGL would read, large ones on the half-size picture. The
// window must show what OpenGL draws through the same layers, to within rounding.
TEST_F(OpenGLOnDisplay, SpritesDrawnOnTheCpuLookAsOpenGLDrawsThem) {
  TZRNDevice device;
  device.Initialize("Sonavarium", 1024, 768, true);
  auto& renderer = dynamic_cast<TZRNOpenGLRenderer&>(*device.Renderer);
  auto texture = BoundMipmappedTexture(device, 128, SoftGlowCells);
  TZRNVertexList quads;
  const float halves[] = {3, 5, 8, 12, 20, 35, 60, 110};  // levels 3 down to 0, then the half-size picture
  for (int i = 0; i < 96; ++i) {
    const float half = halves[i % 8], angle = static_cast<float>(i) * 0.7f, share = 0.3f + static_cast<float>(i % 4) * 0.2f;
    const float cx = 60 + static_cast<float>((i * 149) % 900), cy = 50 + static_cast<float>((i * 97) % 660);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& k : corners) {
      TVertex& v = quads[quads.Alloc(1)];
      v = TVertex{};
      v.Color = {share, share * 0.8f, 1 - share, 0.9f};
      v.TexCoord = {static_cast<float>(i % 2) * 0.5f + (k[0] + 1) / 4, (k[1] + 1) / 4};
      const float x = k[0] * half, y = k[1] * half;
      v.Position = {cx + x * std::cos(angle) - y * std::sin(angle), cy + x * std::sin(angle) + y * std::cos(angle), 0};
    }
  }
  auto drawn = [&](bool cpu) {
    renderer.UseGlowLayer = true;
    renderer.SplatOnCpu = cpu;
    return DrawnFrame(device, [&] {
      device.BeginGlowLayer();
      device.DrawPrimitives(ptQuads, quads);
      device.EndGlowLayer();
    });
  };
  const std::vector<uint8_t> opengl = drawn(false), cpu = drawn(true);
  int largest = 0;
  size_t differing = 0;
  for (size_t i = 0; i < opengl.size(); ++i) {
    const int d = std::abs(int(cpu[i]) - int(opengl[i]));
    largest = std::max(largest, d);
    differing += d > 1;
  }
  // OpenGL rounds each sprite's share to 8 bits twice (colour times texel, then times opacity);
  // the CPU once. Small sprites agree within 1, the few brightest pixels of large ones within 3.
  EXPECT_LE(largest, 3);
  EXPECT_LT(differing, opengl.size() / 200);
  EXPECT_GT(std::count_if(opengl.begin(), opengl.end(), [](uint8_t b) { return b != 0; }), 100000);
}
