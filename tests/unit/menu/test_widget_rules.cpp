// Caption widths and the press tracking shared by buttons, rows and the logo.
#include <gtest/gtest.h>

#include "player/Widgets.h"

TEST(CaptionPieces, WidthsFromTheCaption) {
  EXPECT_EQ(CaptionPieces(100), 0);
  EXPECT_EQ(CaptionButtonWidth(CaptionPieces(100)), 128);
  EXPECT_EQ(CaptionPieces(113), 1);
  EXPECT_EQ(CaptionButtonWidth(CaptionPieces(113)), 192);
  EXPECT_EQ(CaptionPieces(47), -1);
  EXPECT_EQ(CaptionButtonWidth(CaptionPieces(47)), 64);
  EXPECT_EQ(CaptionPieces(0), -1);
  // Boundaries: 48 + 16 = 64 needs the end pieces, 112 + 16 = 128 just fits them.
  EXPECT_EQ(CaptionPieces(48), 0);
  EXPECT_EQ(CaptionPieces(112), 0);
  EXPECT_EQ(CaptionPieces(176), 1);
  EXPECT_EQ(CaptionPieces(177), 2);
}


TEST(TrackPress, ReleaseOverThePressedWidgetActivates) {
  int32_t pressed = 0;
  TPressOutcome a = TrackPress(true, true, 3, 0, pressed);
  EXPECT_EQ(a.Look, TWidgetLook::Pressed);
  EXPECT_FALSE(a.Activated);
  EXPECT_EQ(pressed, 3);
  TPressOutcome b = TrackPress(true, false, 3, 0, pressed);
  EXPECT_TRUE(b.Activated);
  EXPECT_EQ(b.Look, TWidgetLook::Hover);
  EXPECT_EQ(pressed, 0);
  // Hovering afterwards does not activate again.
  EXPECT_FALSE(TrackPress(true, false, 3, 0, pressed).Activated);
}

TEST(TrackPress, SlidingOffCancels) {
  int32_t pressed = 0;
  TrackPress(true, true, 3, 0, pressed);
  TPressOutcome off = TrackPress(false, true, 3, 0, pressed);
  EXPECT_TRUE(off.Cancel);
  EXPECT_EQ(off.Look, TWidgetLook::Normal);
  EXPECT_EQ(pressed, 0);
  // Released outside: nothing.
  TPressOutcome released = TrackPress(false, false, 3, 0, pressed);
  EXPECT_FALSE(released.Activated);
  EXPECT_FALSE(released.Cancel);
}

TEST(TrackPress, PressedElsewhereThenMovedOntoTheWidgetActivatesOnRelease) {
  // A press on empty space leaves nothing pressed; arriving with the button still down claims it.
  int32_t pressed = 0;
  EXPECT_EQ(TrackPress(false, true, 5, 0, pressed).Look, TWidgetLook::Normal);
  EXPECT_EQ(TrackPress(true, true, 5, 0, pressed).Look, TWidgetLook::Pressed);
  EXPECT_TRUE(TrackPress(true, false, 5, 0, pressed).Activated);
}

TEST(TrackPress, AWidgetPressedByAnotherShowsHoverAndReleasesTheClaim) {
  int32_t pressed = 7;
  TPressOutcome o = TrackPress(true, true, 5, 0, pressed);
  EXPECT_EQ(o.Look, TWidgetLook::Hover);
  EXPECT_FALSE(o.Activated);
  EXPECT_EQ(pressed, 0);
}

TEST(TrackPress, RowsUseMinusOneForNone) {
  int32_t pressed = -1;
  EXPECT_EQ(TrackPress(true, true, 0, -1, pressed).Look, TWidgetLook::Pressed);
  EXPECT_EQ(pressed, 0);
  EXPECT_TRUE(TrackPress(true, false, 0, -1, pressed).Activated);
  EXPECT_EQ(pressed, -1);
}
