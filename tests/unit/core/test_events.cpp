#include <gtest/gtest.h>

#include "engine/core/zrnEvents.h"

TEST(EventQueue, DropsTheSeventeenthEventAndKeepsOrder) {
  TZRNEvents queue(16);
  for (int i = 0; i < 17; ++i) {
    TZRNEvent e = MakeEvent(ZRN_KEY_PRESSED);
    e.Keyboard.Key = i;
    queue.Push(e);
  }
  EXPECT_EQ(queue.Count, 16);
  TZRNEvent out{};
  for (int i = 0; i < 16; ++i) {
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.Keyboard.Key, i);
  }
  out.Keyboard.Key = 1234;
  EXPECT_FALSE(queue.Pop(out));
  EXPECT_EQ(out.Keyboard.Key, 1234) << "Pop on an empty queue must leave the record alone";
}

TEST(EventQueue, WrapsAroundTheEndOfTheSlots) {
  TZRNEvents queue(16);
  TZRNEvent out{};
  for (int i = 0; i < 40; ++i) {
    TZRNEvent e = MakeEvent(ZRN_MOUSE_WHEEL);
    e.Mouse.Button = i;
    queue.Push(e);
    e.Mouse.Button = i + 1000;
    queue.Push(e);
    ASSERT_TRUE(queue.Pop(out));
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.Mouse.Button, i + 1000);
  }
  EXPECT_EQ(queue.Count, 0);
}
