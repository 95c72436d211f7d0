// Keyboard and mouse state as the hot keys and the menu read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/device/zrnInput.h"

namespace {
TZRNEvent Key(TZRNEventType kind, int32_t key) {
  TZRNEvent e = MakeEvent(kind);
  e.Keyboard.Key = key;
  return e;
}
TZRNEvent Button(TZRNEventType kind, int32_t button) {
  TZRNEvent e = MakeEvent(kind);
  e.Mouse.Button = button;
  return e;
}
TZRNEvent Move(int32_t x, int32_t y) {
  TZRNEvent e = MakeEvent(ZRN_MOUSE_MOVED);
  e.Mouse.X = x;
  e.Mouse.Y = y;
  return e;
}
constexpr TZRNInputState isButton2 = static_cast<TZRNInputState>(isButton1 + 1);
}  // namespace

TEST(InputStates, FortyBitsInFiveBytesWithTheDocumentedLayout) {
  TZRNInputStates set;
  set.Include(isButton1);   // state 7: byte 0, bit 7
  set.Include(isButton32);  // state 38: byte 4, bit 6
  const uint8_t expected[5] = {0x80, 0, 0, 0, 0x40};
  EXPECT_EQ(std::memcmp(set.Bits, expected, 5), 0);
  EXPECT_STREQ(ZRNInputStateNames[isButton32], "isButton32");
  EXPECT_STREQ(ZRNInputStateNames[isAlt], "isAlt");
}

TEST(Keyboard, ReleasingOneOfTwoHeldKeysClearsTheState) {
  TZRNInput input;
  input.HandleEvent(Key(ZRN_KEY_PRESSED, 'W'));
  input.HandleEvent(Key(ZRN_KEY_PRESSED, 283));
  input.Update();
  EXPECT_TRUE(input.States.Contains(isUp));
  input.HandleEvent(Key(ZRN_KEY_RELEASED, 'W'));
  // The merged set only changes in Update.
  EXPECT_TRUE(input.States.Contains(isUp));
  input.Update();
  EXPECT_FALSE(input.States.Contains(isUp));
  EXPECT_TRUE(input.Keyboard->Keys[283]);
  EXPECT_FALSE(input.Keyboard->Keys['W']);
}

TEST(Keyboard, APressIsSeenByOneUpdateEvenWhenReleasedBeforeIt) {
  // Events before each Update ('+' press, '-' release of Up), and whether that Update shows Up.
  struct Case {
    std::vector<std::string> events;
    std::vector<bool> shown;
  };
  const Case cases[] = {
      {{"+-", ""}, {true, false}},             // a tap between two frames
      {{"+-+", "", "-", ""}, {true, true, false, false}},  // tapped, then pressed again: held
      {{"+-", "+", "", "-", ""}, {true, true, true, false, false}},  // pressed again once seen
      {{"+", "", "-", ""}, {true, true, false, false}},  // a held key lets go at once once seen
  };
  for (const Case& c : cases) {
    TZRNInput input;
    for (size_t i = 0; i < c.events.size(); ++i) {
      for (const char e : c.events[i]) input.HandleEvent(Key(e == '+' ? ZRN_KEY_PRESSED : ZRN_KEY_RELEASED, 283));
      input.Update();
      EXPECT_EQ(input.States.Contains(isUp), c.shown[i]) << "update " << i << " of " << c.events.size();
    }
  }
}

TEST(Keyboard, RebindingTakesSpaceAwayFromButton1ButNotTheMouse) {
  TZRNInput input;
  input.Keyboard->SetBinding(isButton1, Binding(298));
  input.HandleEvent(Key(ZRN_KEY_PRESSED, ' '));
  input.HandleEvent(Button(ZRN_MOUSE_PRESSED, 0));
  input.Update();
  EXPECT_FALSE(input.States.Contains(isButton1));
  EXPECT_TRUE(input.Mouse->States.Contains(isButton1));
  input.HandleEvent(Key(ZRN_KEY_PRESSED, 298));
  input.Update();
  EXPECT_TRUE(input.States.Contains(isButton1));
  // The mouse is not merged into the input's set.
  input.HandleEvent(Button(ZRN_MOUSE_PRESSED, 1));
  input.Update();
  EXPECT_FALSE(input.States.Contains(isButton2));
  EXPECT_TRUE(input.Mouse->States.Contains(isButton2));
}

TEST(Keyboard, DefaultBindingsAndUnboundZeros) {
  TZRNKeyboard keyboard;
  keyboard.HandleEvent(Key(ZRN_KEY_PRESSED, 307));  // keypad 5
  keyboard.HandleEvent(Key(ZRN_KEY_PRESSED, 288));  // right Shift
  EXPECT_TRUE(keyboard.States.Contains(isButton2));
  EXPECT_TRUE(keyboard.States.Contains(isShift));
}

TEST(Keyboard, CodesBeyondTheKeyTableChangeStatesOnly) {
  TZRNKeyboard keyboard;
  keyboard.SetBinding(isButton32, Binding(70000));
  keyboard.HandleEvent(Key(ZRN_KEY_PRESSED, 70000));
  keyboard.HandleEvent(Key(ZRN_KEY_PRESSED, 65535));
  EXPECT_TRUE(keyboard.States.Contains(isButton32));
  EXPECT_EQ(std::count(keyboard.Keys.begin(), keyboard.Keys.end(), true), 0);
  keyboard.HandleEvent(Key(ZRN_KEY_PRESSED, 65534));
  EXPECT_TRUE(keyboard.Keys[65534]);
}

TEST(Keyboard, DisabledKeyboardKeepsItsStatesFrozen) {
  TZRNInput input;
  input.HandleEvent(Key(ZRN_KEY_PRESSED, 'D'));
  input.Keyboard->SetEnabled(false);
  input.HandleEvent(Key(ZRN_KEY_RELEASED, 'D'));
  input.HandleEvent(Key(ZRN_KEY_PRESSED, 'A'));
  input.Update();
  EXPECT_TRUE(input.States.Contains(isRight));
  EXPECT_FALSE(input.States.Contains(isLeft));
  EXPECT_TRUE(input.Keyboard->Keys['D']);
  EXPECT_FALSE(input.Keyboard->Keys['A']);
}

TEST(Mouse, ButtonsUpToEightOnly) {
  TZRNMouse mouse;
  mouse.HandleEvent(Button(ZRN_MOUSE_PRESSED, 7));
  mouse.HandleEvent(Button(ZRN_MOUSE_PRESSED, 8));
  mouse.HandleEvent(Button(ZRN_MOUSE_PRESSED, -1));
  TZRNInputStates expected;
  expected.Include(static_cast<TZRNInputState>(isButton1 + 7));
  EXPECT_EQ(mouse.States, expected);
  mouse.HandleEvent(Button(ZRN_MOUSE_RELEASED, 7));
  EXPECT_TRUE(mouse.States.Empty());
}

TEST(Mouse, FollowsTheWindowPositionAtSensitivityOne) {
  TZRNInput input;
  input.HandleEvent(Move(-512, -384));
  input.HandleEvent(Move(-467, -348));
  EXPECT_EQ(input.Mouse->X, -467);
  EXPECT_EQ(input.Mouse->Y, -348);
}

TEST(Mouse, BoundsClampEveryMove) {
  TZRNMouse mouse;
  mouse.SetBounds(0, 0, 799, 599);
  mouse.HandleEvent(Move(-50, -20));
  EXPECT_EQ(mouse.X, 0);
  EXPECT_EQ(mouse.Y, 0);
  // Motion is relative to the last window position, not to the clamped one.
  mouse.HandleEvent(Move(-40, -10));
  EXPECT_EQ(mouse.X, 10);
  EXPECT_EQ(mouse.Y, 10);
  mouse.HandleEvent(Move(5000, 5000));
  EXPECT_EQ(mouse.X, 799);
  EXPECT_EQ(mouse.Y, 599);
}

TEST(Mouse, SensitivityRoundsHalvesToEven) {
  TZRNMouse mouse;
  mouse.Sensitivity = 0.5f;
  mouse.HandleEvent(Move(3, 0));
  EXPECT_EQ(mouse.X, 2);  // 1.5 -> 2
  mouse.HandleEvent(Move(4, 0));
  EXPECT_EQ(mouse.X, 2);  // 0.5 -> 0
  mouse.HandleEvent(Move(9, 0));
  EXPECT_EQ(mouse.X, 4);  // 2.5 -> 2
}

TEST(Mouse, WheelAndDisabledMouse) {
  TZRNMouse mouse;
  mouse.HandleEvent(Button(ZRN_MOUSE_WHEEL, -3));
  EXPECT_EQ(mouse.Wheel, -3);
  mouse.SetEnabled(false);
  mouse.HandleEvent(Button(ZRN_MOUSE_WHEEL, 5));
  mouse.HandleEvent(Move(100, 100));
  EXPECT_EQ(mouse.Wheel, -3);
  EXPECT_EQ(mouse.X, 0);
}

TEST(Input, ResetRestoresBindingsAndBounds) {
  TZRNInput input;
  input.Keyboard->SetBinding(isUp, Binding('I'));
  input.Mouse->SetBounds(2, 2, 100, 100);
  input.Mouse->Sensitivity = 3;
  input.Reset();
  ASSERT_EQ(input.Devices.size(), 2u);
  EXPECT_EQ(input.Devices[0].get(), input.Keyboard);
  EXPECT_EQ(input.Devices[1].get(), input.Mouse);
  EXPECT_TRUE(input.Keyboard->Merged);
  EXPECT_FALSE(input.Mouse->Merged);
  EXPECT_EQ(input.Mouse->Sensitivity, 1.0f);
  EXPECT_EQ(input.Mouse->MaxX, 0);
  input.HandleEvent(Key(ZRN_KEY_PRESSED, 'W'));
  input.Update();
  EXPECT_TRUE(input.States.Contains(isUp));
}
