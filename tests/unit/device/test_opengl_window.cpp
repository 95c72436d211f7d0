// The real renderer on a virtual display. Without $DISPLAY the first test starts this program
// again under xvfb-run with only the display tests selected, and reports their result.
#include <gtest/gtest.h>

#include <epoxy/gl.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "tests/unit/XvfbRerun.h"
#include "engine/core/zrnEvents.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnGlfwLayer.h"
#include "engine/device/zrnOpenGL.h"
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
