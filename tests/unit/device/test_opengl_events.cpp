// GLFW 3 callbacks as the engine sees them: 2.x key codes, shared modifier flag, wheel position.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <string>
#include <vector>

#include "engine/core/zrnTemplate.h"
#include "engine/device/zrnGlfwLayer.h"

namespace {
std::vector<TZRNEvent> Drain(TZRNEvents& queue) {
  std::vector<TZRNEvent> out;
  TZRNEvent e{};
  while (queue.Pop(e)) out.push_back(e);
  return out;
}
}  // namespace

TEST(GlfwKeyTranslation, PrintableKeysAreTheirUpperCaseCharacter) {
  EXPECT_EQ(ZRNTranslateGlfwKey(GLFW_KEY_W), 'W');
  EXPECT_EQ(ZRNTranslateGlfwKey(GLFW_KEY_SPACE), 32);
  EXPECT_EQ(ZRNTranslateGlfwKey(GLFW_KEY_0), '0');
  EXPECT_EQ(ZRNTranslateGlfwKey(GLFW_KEY_MINUS), '-');
  EXPECT_EQ(ZRNTranslateGlfwKey(GLFW_KEY_GRAVE_ACCENT), '`');
}

TEST(GlfwKeyTranslation, SpecialKeysGetTheOldCodes) {
  const struct {
    int glfw3;
    int32_t old;
  } table[] = {
      {GLFW_KEY_ESCAPE, 257},      {GLFW_KEY_F1, 258},         {GLFW_KEY_F12, 269},
      {GLFW_KEY_F25, 282},         {GLFW_KEY_UP, 283},         {GLFW_KEY_DOWN, 284},
      {GLFW_KEY_LEFT, 285},        {GLFW_KEY_RIGHT, 286},      {GLFW_KEY_LEFT_SHIFT, 287},
      {GLFW_KEY_RIGHT_SHIFT, 288}, {GLFW_KEY_LEFT_CONTROL, 289}, {GLFW_KEY_RIGHT_CONTROL, 290},
      {GLFW_KEY_LEFT_ALT, 291},    {GLFW_KEY_RIGHT_ALT, 292},  {GLFW_KEY_TAB, 293},
      {GLFW_KEY_ENTER, 294},       {GLFW_KEY_BACKSPACE, 295},  {GLFW_KEY_INSERT, 296},
      {GLFW_KEY_DELETE, 297},      {GLFW_KEY_PAGE_UP, 298},    {GLFW_KEY_PAGE_DOWN, 299},
      {GLFW_KEY_HOME, 300},        {GLFW_KEY_END, 301},        {GLFW_KEY_KP_0, 302},
      {GLFW_KEY_KP_5, 307},        {GLFW_KEY_KP_9, 311},       {GLFW_KEY_KP_DIVIDE, 312},
      {GLFW_KEY_KP_MULTIPLY, 313}, {GLFW_KEY_KP_SUBTRACT, 314}, {GLFW_KEY_KP_ADD, 315},
      {GLFW_KEY_KP_DECIMAL, 316},  {GLFW_KEY_KP_EQUAL, 317},   {GLFW_KEY_KP_ENTER, 318},
      {GLFW_KEY_NUM_LOCK, 319},    {GLFW_KEY_CAPS_LOCK, 320},  {GLFW_KEY_SCROLL_LOCK, 321},
      {GLFW_KEY_PAUSE, 322},       {GLFW_KEY_LEFT_SUPER, 323}, {GLFW_KEY_RIGHT_SUPER, 324},
      {GLFW_KEY_MENU, 325},
  };
  for (const auto& row : table) EXPECT_EQ(ZRNTranslateGlfwKey(row.glfw3), row.old) << "GLFW 3 key " << row.glfw3;
  EXPECT_EQ(ZRNTranslateGlfwKey(GLFW_KEY_PRINT_SCREEN), ZRN_KEY_UNKNOWN);
  EXPECT_EQ(ZRNTranslateGlfwKey(GLFW_KEY_UNKNOWN), ZRN_KEY_UNKNOWN);
}

TEST(GlfwCallbacks, KeysCarryTheSharedModifierFlag) {
  TZRNEvents queue(16);
  TZRNGlfwEventTranslator t(queue);
  t.Key(GLFW_KEY_LEFT_SHIFT, GLFW_PRESS);
  t.Key(GLFW_KEY_RIGHT_SHIFT, GLFW_PRESS);
  t.Key(GLFW_KEY_LEFT_CONTROL, GLFW_PRESS);
  t.Key(GLFW_KEY_RIGHT_SHIFT, GLFW_RELEASE);
  t.Key(GLFW_KEY_A, GLFW_PRESS);
  const auto events = Drain(queue);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].Kind, ZRN_KEY_PRESSED);
  EXPECT_EQ(events[0].Keyboard.Key, 287);
  EXPECT_EQ(events[0].Keyboard.Shift, ssShift);
  EXPECT_EQ(events[2].Keyboard.Shift, ssShift | ssCtrl);
  // Releasing the right Shift clears the flag although the left one is still held.
  EXPECT_EQ(events[3].Kind, ZRN_KEY_RELEASED);
  EXPECT_EQ(events[3].Keyboard.Key, 288);
  EXPECT_EQ(events[3].Keyboard.Shift, ssCtrl);
  EXPECT_EQ(events[4].Keyboard.Key, 'A');
  EXPECT_EQ(events[4].Keyboard.Shift, ssCtrl);
}

TEST(GlfwCallbacks, RepeatsAndUnknownKeysAreNotReported) {
  TZRNEvents queue(16);
  TZRNGlfwEventTranslator t(queue);
  t.Key(GLFW_KEY_PAGE_DOWN, GLFW_REPEAT);
  t.Key(GLFW_KEY_PRINT_SCREEN, GLFW_PRESS);
  t.Key(GLFW_KEY_UNKNOWN, GLFW_PRESS);
  EXPECT_EQ(queue.Count, 0);
  t.Key(GLFW_KEY_PAGE_DOWN, GLFW_PRESS);
  const auto events = Drain(queue);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].Keyboard.Key, 299);
}

TEST(GlfwCallbacks, MouseButtonsUseTheLastCursorPositionAndModifiers) {
  TZRNEvents queue(16);
  TZRNGlfwEventTranslator t(queue);
  t.MouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);  // before any motion
  t.CursorPos(-467.0, -348.0);
  t.Key(GLFW_KEY_LEFT_ALT, GLFW_PRESS);
  t.MouseButton(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
  const auto events = Drain(queue);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].Kind, ZRN_MOUSE_PRESSED);
  EXPECT_EQ(events[0].Mouse.X, 0);
  EXPECT_EQ(events[0].Mouse.Y, 0);
  EXPECT_EQ(events[0].Mouse.Button, 0);
  EXPECT_EQ(events[1].Kind, ZRN_MOUSE_MOVED);
  EXPECT_EQ(events[1].Mouse.X, -467);
  EXPECT_EQ(events[1].Mouse.Y, -348);
  EXPECT_EQ(events[3].Kind, ZRN_MOUSE_RELEASED);
  EXPECT_EQ(events[3].Mouse.X, -467);
  EXPECT_EQ(events[3].Mouse.Y, -348);
  EXPECT_EQ(events[3].Mouse.Button, 1);
  EXPECT_EQ(events[3].Mouse.Shift, ssAlt);
}

TEST(GlfwCallbacks, ScrollOffsetsAddUpToAnAbsoluteWheelPosition) {
  TZRNEvents queue(16);
  TZRNGlfwEventTranslator t(queue);
  t.Scroll(0, 1);
  t.Scroll(0, 1);
  t.Scroll(0, -3);
  t.Scroll(0, 0.5);  // half a notch: no change yet
  t.Scroll(0, 0.5);
  const auto events = Drain(queue);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].Kind, ZRN_MOUSE_WHEEL);
  EXPECT_EQ(events[0].Mouse.Button, 1);
  EXPECT_EQ(events[1].Mouse.Button, 2);
  EXPECT_EQ(events[2].Mouse.Button, -1);
  EXPECT_EQ(events[3].Mouse.Button, 0);
}

TEST(GlfwCallbacks, WindowEventsAndHugeVirtualPositions) {
  TZRNEvents queue(16);
  TZRNGlfwEventTranslator t(queue);
  t.WindowSize(640, 480);
  t.WindowClose();
  t.CursorPos(1e12, -1e12);
  t.Char(0x44F);
  const auto events = Drain(queue);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].Kind, ZRN_DEVICE_RESIZED);
  EXPECT_EQ(events[0].Device.Width, 640);
  EXPECT_EQ(events[0].Device.Height, 480);
  EXPECT_EQ(events[1].Kind, ZRN_EVENT_QUIT);
  EXPECT_EQ(events[2].Mouse.X, INT32_MAX);
  EXPECT_EQ(events[2].Mouse.Y, INT32_MIN);
  EXPECT_EQ(events[3].Kind, ZRN_KEY_CHAR);
}

TEST(GlfwCallbacks, DroppedPathsReachTheApplicationOneDropAtATime) {
  struct TApp : TZRNApplication {
    void Init() override {}
    void Update() override {}
    void Render() override {}
    void Shutdown() override {}
  } app;
  std::vector<std::vector<std::string>> drops;
  app.OnFilesDropped = [&](const std::vector<std::string>& paths) { drops.push_back(paths); };
  TZRNGlfwEventTranslator t(Events());
  const char* first[] = {"/music/a b.ogg", "", "/music/album"};
  const char* second[] = {"/x.wav"};
  t.Drop(3, first);
  t.Drop(0, nullptr);
  t.Drop(1, second);
  // A full queue loses the drop with its event, and nothing of it lingers.
  while (Events().Count < Events().Capacity) Events().Push(MakeEvent(ZRN_KEY_PRESSED));
  t.Drop(1, second);
  TZRNEvent e{};
  while (Events().Pop(e)) app.HandleEvent(e);
  EXPECT_EQ(drops, (std::vector<std::vector<std::string>>{{"/music/a b.ogg", "/music/album"}, {"/x.wav"}}));
  EXPECT_TRUE(Events().DroppedFiles.empty());
}

TEST(QuitRequest, BecomesOneQuitEventWhenTheQueueHasRoom) {
  TZRNEvents queue(2);
  ZRNQuitRequested = 1;
  queue.Push(MakeEvent(ZRN_KEY_PRESSED));
  queue.Push(MakeEvent(ZRN_KEY_PRESSED));
  ZRNDeliverQuitRequest(queue);  // full: the request waits
  EXPECT_EQ(queue.Count, 2);
  EXPECT_EQ(ZRNQuitRequested, 1);
  TZRNEvent e{};
  queue.Pop(e);
  queue.Pop(e);
  ZRNDeliverQuitRequest(queue);
  ZRNDeliverQuitRequest(queue);
  ASSERT_EQ(queue.Count, 1);
  ASSERT_TRUE(queue.Pop(e));
  EXPECT_EQ(e.Kind, ZRN_EVENT_QUIT);
  EXPECT_EQ(ZRNQuitRequested, 0);
}
