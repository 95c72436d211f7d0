// Widget layout, drawing and press tracking against the recording renderer.
#include "tests/unit/menu/MenuFixture.h"

namespace {

using Widgets = MenuFixture;

constexpr float NormalV = NormalRowY / 1000.0f, HoverV = HoverRowY / 1000.0f, DownV = DownRowY / 1000.0f;

// A 100 px caption: a 128 px button at the first layout place, (34, 26) .. (162, 70).
const std::string Caption100 = "abcdefghij";

}  // namespace

TEST_F(Widgets, ButtonsFollowTheLayoutAndTheirCaptionWidths) {
  app->BeginLayout();
  app->MenuButton(Caption100);          // S = 0 at x 34
  app->MenuButton("abcdefghijkl");      // 120 px: S = 1 at x 180
  app->MenuButton("ab");                // 20 px: S = -1 at x 146*2 + 64 + 34
  app->MenuButton("x");                 // x 146*3 + 0 + 34
  std::vector<DrawnQuad> q = GuiQuads();
  ASSERT_EQ(q.size(), 3u + 4u + 2u + 2u);
  const float lefts[] = {34, 66, 130, 180, 212, 276, 340, 390, 422, 472, 504};
  const float rights[] = {66, 130, 162, 212, 276, 340, 372, 422, 454, 504, 536};
  for (size_t i = 0; i < q.size(); ++i) {
    EXPECT_EQ(q[i].Left, lefts[i]) << i;
    EXPECT_EQ(q[i].Right, rights[i]) << i;
    EXPECT_EQ(q[i].Top, 26.0f);
    EXPECT_EQ(q[i].Bottom, 70.0f);
    EXPECT_FLOAT_EQ(q[i].V1, NormalV);
    EXPECT_EQ(q[i].Color, clrWhite);
  }
  EXPECT_EQ(app->WidgetCounter, 4);
  // A button that would start past width - 128 opens a new row at x 34.
  app->LayoutCol = 5;
  app->LayoutExtraCols = 0;  // x 764
  ResetRecording();
  app->MenuButton("c");
  EXPECT_EQ(app->LayoutRow, 1);
  EXPECT_EQ(GuiQuads().front().Left, 34.0f);
  EXPECT_EQ(GuiQuads().front().Top, 88.0f);
}

TEST_F(Widgets, ButtonDrawsWithAlphaBlendingAndTheCaptionWithShadows) {
  app->BeginLayout();
  app->MenuButton(Caption100);
  auto blends = rec->CallsOf(TZRNCallKind::SetBlendMode);
  ASSERT_EQ(blends.size(), 1u);
  EXPECT_EQ(blends[0]->B, rvBlendAlpha);
  auto depth = rec->CallsOf(TZRNCallKind::SetDepthTest);
  ASSERT_EQ(depth.size(), 1u);
  EXPECT_EQ(depth[0]->B, rvDepthTestOff);
  for (const TZRNRecordedCall* draw : rec->CallsOf(TZRNCallKind::DrawPrimitives))
    EXPECT_EQ(draw->Primitive, ptQuads);

  // TX = R(34 + 64 - 50) - 2 = 46, TY = R(26 + 22 - 10) + 2 = 40.
  std::vector<DrawnText> t = Texts();
  ASSERT_EQ(t.size(), 3u) << "no highlight when not hovered";
  EXPECT_EQ(t[0].Text, Caption100);
  EXPECT_EQ(t[0].X, 45.0f);
  EXPECT_EQ(t[0].Y, 39.0f);
  EXPECT_EQ(t[0].Color, clrBlack);
  EXPECT_EQ(t[1].X, 47.0f);
  EXPECT_EQ(t[1].Y, 41.0f);
  EXPECT_EQ(t[1].Color, clrBlack);
  EXPECT_EQ(t[2].X, 46.0f);
  EXPECT_EQ(t[2].Y, 40.0f);
  EXPECT_EQ(t[2].Color, clrGray);
}

TEST_F(Widgets, CaptionPositionRoundsHalvesToEven) {
  app->BeginLayout();
  app->MenuButton("!");  // T = 5, W = 64: 34 + 32 - 2.5 = 63.5 -> 64
  app->MenuButton("a!");  // T = 15 at x 116: 116 + 32 - 7.5 = 140.5 -> 140
  std::vector<DrawnText> t = Texts();
  ASSERT_EQ(t.size(), 6u);
  EXPECT_EQ(t[2].X, 62.0f);
  EXPECT_EQ(t[5].X, 138.0f);
}

TEST_F(Widgets, HoverAndPressLooks) {
  MoveMouse(100, 50);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
  EXPECT_FLOAT_EQ(GuiQuads()[0].V1, HoverV);
  std::vector<DrawnText> t = Texts();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[3].Color, clrWhite);
  EXPECT_EQ(t[3].X, 47.0f);

  ResetRecording();
  MouseButton(true);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
  EXPECT_FLOAT_EQ(GuiQuads()[0].V1, DownV);
  EXPECT_EQ(app->PressedWidget, 1);
}

TEST_F(Widgets, PressThenReleaseOutsideDoesNotActivate) {
  MoveMouse(100, 50);
  MouseButton(true);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
  MoveMouse(300, 300);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
  EXPECT_TRUE(app->Input->Mouse->States.Empty()) << "sliding off cancels the press";
  EXPECT_EQ(app->PressedWidget, 0);
  MouseButton(false);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
  // Coming back with the button up is only a hover.
  MoveMouse(100, 50);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
}

TEST_F(Widgets, PressOutsideThenMoveOntoTheButtonAndReleaseActivates) {
  MoveMouse(300, 300);
  MouseButton(true);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
  MoveMouse(100, 50);
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100));
  MouseButton(false);
  app->BeginLayout();
  EXPECT_TRUE(app->MenuButton(Caption100));
  app->BeginLayout();
  EXPECT_FALSE(app->MenuButton(Caption100)) << "one release, one activation";
}

TEST_F(Widgets, RectangleEdgesCount) {
  MoveMouse(162, 70);  // bottom-right corner, inclusive
  MouseButton(true);
  app->BeginLayout();
  app->MenuButton(Caption100);
  MouseButton(false);
  app->BeginLayout();
  EXPECT_TRUE(app->MenuButton(Caption100));
}

TEST_F(Widgets, LabelsShortenLongTextsFromTheFront) {
  std::string path;
  for (int i = 0; i < 100; ++i) path += static_cast<char>('a' + i % 26);
  app->BeginLayout();
  app->MenuLabel(path, clrWhite, true);
  std::vector<DrawnText> t = Texts();
  ASSERT_EQ(t.size(), 3u);
  // 74 bytes are 740 px, the most that fits in 800 - 52.
  EXPECT_EQ(t[2].Text, "..." + path.substr(29));
  // New half row: Y = 44 + 26, TY = R(70 + 22 - 10) = 82.
  EXPECT_EQ(t[0].X, 34.0f);
  EXPECT_EQ(t[0].Y, 80.0f);
  EXPECT_EQ(t[1].X, 38.0f);
  EXPECT_EQ(t[1].Y, 84.0f);
  EXPECT_EQ(t[2].X, 36.0f);
  EXPECT_EQ(t[2].Y, 82.0f);
  EXPECT_EQ(t[2].Color, clrWhite);
  EXPECT_EQ(app->LayoutExtraRows, 1);
  EXPECT_EQ(app->WidgetCounter, 1);
}

TEST_F(Widgets, LabelsInTheRowMoveTheLayoutOn) {
  app->BeginLayout();
  app->MenuLabel("abc", clrWhite, false);  // 30 px at 34: room for more
  EXPECT_EQ(app->LayoutCol, 1);
  EXPECT_EQ(app->LayoutX(), 180);
  app->MenuLabel(std::string(20, 'x'), clrWhite, false);  // 200 px at 180: two columns more
  EXPECT_EQ(app->LayoutCol, 3);

  app->BeginLayout();
  app->LayoutCol = 4;  // x 618: 100 px fit, less than a column stays free
  app->MenuLabel(Caption100, clrWhite, false);
  EXPECT_EQ(app->LayoutRow, 1);
  EXPECT_EQ(app->LayoutCol, 0);

  app->BeginLayout();
  app->LayoutCol = 5;  // x 764: 100 px do not fit, the label moves to a new half row
  ResetRecording();
  app->MenuLabel(Caption100, clrWhite, false);
  EXPECT_EQ(app->LayoutExtraRows, 1);
  EXPECT_EQ(app->LayoutCol, 5);
  ASSERT_EQ(Texts().size(), 3u);
  EXPECT_EQ(Texts()[2].X, 36.0f);
}

TEST_F(Widgets, TinyScreenLabelStillEnds) {
  Build(40, 40);
  app->BeginLayout();
  app->MenuLabel("a long label", clrWhite, true);
  ASSERT_EQ(Texts().size(), 3u);
  EXPECT_EQ(Texts()[2].Text, "...");
}

TEST_F(Widgets, RowsThatDoNotFitEndTheList) {
  AddEntries(30);
  app->MenuPage = 3;
  app->BeginLayout();
  app->LayoutOffsetX = 24;
  app->LayoutOffsetY = 12;
  app->Playlist->VisibleRows = 0;
  int drawn = 0;
  // Row k lies at 44 k + 26 + 12 - k; it fits while y + 22 <= 600 - 18: k <= 12.
  for (int i = 0; i < 30; ++i) {
    app->LayoutOffsetY = static_cast<int16_t>(app->LayoutOffsetY - 1);
    app->PlaylistRow(app->Playlist->TrackNames[i], i);
    if (app->LayoutOverflow) break;
    ++drawn;
  }
  EXPECT_EQ(drawn, 12);
  EXPECT_EQ(app->Playlist->VisibleRows, 12);
  std::vector<DrawnText> t = Texts();
  ASSERT_EQ(t.size(), 36u) << "the overflowing row is not drawn";
  EXPECT_EQ(t.back().Text, "t11");
  // Row 1: y 81, TY = R(81 + 11 - 10) + 2 = 84, text at x 24 + 18.
  EXPECT_EQ(t[2].X, 42.0f);
  EXPECT_EQ(t[2].Y, 84.0f);
}

TEST_F(Widgets, FirstClickSelectsSecondActivates) {
  AddEntries(3);
  app->MenuPage = 3;
  auto row = [this](int index) {
    app->BeginLayout();
    app->LayoutOffsetX = 24;
    app->LayoutOffsetY = 11;
    bool activated = false;
    for (int i = 0; i <= index; ++i) activated = app->PlaylistRow(app->Playlist->TrackNames[i], i);
    return activated;
  };
  // Row 0 covers x 42 .. 106, y 81 .. 103.
  MoveMouse(60, 90);
  MouseButton(true);
  EXPECT_FALSE(row(0));
  EXPECT_EQ(app->PressedRow, 0);
  MouseButton(false);
  EXPECT_FALSE(row(0));
  EXPECT_EQ(app->Playlist->SelectedIndex, 0);
  EXPECT_EQ(app->PressedRow, -1);
  ResetRecording();
  EXPECT_FALSE(row(0));
  std::vector<DrawnText> t = Texts();
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[3].Color, clrWhite) << "the selected row is highlighted";

  MouseButton(true);
  EXPECT_FALSE(row(0));
  MouseButton(false);
  EXPECT_TRUE(row(0));
}

TEST_F(Widgets, CurrentRowShowsThePlayMarkAndMovesItsText) {
  AddEntries(2);
  app->Playlist->CurrentIndex = 0;
  app->MenuPage = 3;
  app->BeginLayout();
  app->LayoutOffsetX = 24;
  app->LayoutOffsetY = 11;
  app->PlaylistRow(app->Playlist->TrackNames[0], 0);
  std::vector<DrawnQuad> q = GuiQuads();
  ASSERT_EQ(q.size(), 1u);
  // Mark at (24 + 36, 81 + 11 - 1), pivot (8, 8).
  EXPECT_EQ(q[0].Left, 52.0f);
  EXPECT_EQ(q[0].Top, 83.0f);
  ASSERT_EQ(Texts().size(), 3u);
  EXPECT_EQ(Texts()[2].X, 82.0f);
  // The row's rectangle grows by 40 to the right: x 146 now hovers it.
  MoveMouse(145, 90);
  ResetRecording();
  app->BeginLayout();
  app->LayoutOffsetX = 24;
  app->LayoutOffsetY = 11;
  app->PlaylistRow(app->Playlist->TrackNames[0], 0);
  ASSERT_EQ(Texts().size(), 4u);
  EXPECT_EQ(Texts()[3].Color, clrSkyBlue);
}

TEST_F(Widgets, LogoButtonLooksAndShift) {
  Build(1024, 768);
  const TRectf logo{1024 - 240, 1024, 0, 72};
  app->BeginLayout();
  EXPECT_FALSE(app->ImageButton(*app->LogoAnimations, logo));
  std::vector<DrawnQuad> q = GuiQuads();
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q[0].Left, 1024.0f - 240.0f);
  EXPECT_EQ(q[0].Top, 0.0f);
  EXPECT_EQ(q[0].Color, Color4f(0.5f, 0.5f, 0.5f, 1.0f));

  MoveMouse(900, 30);
  MouseButton(true);
  ResetRecording();
  app->BeginLayout();
  EXPECT_FALSE(app->ImageButton(*app->LogoAnimations, logo));
  q = GuiQuads();
  ASSERT_EQ(q.size(), 1u);
  // Shift R(2 * 1.28) = 3.
  EXPECT_EQ(q[0].Left, 1024.0f - 240.0f + 3.0f);
  EXPECT_EQ(q[0].Top, 3.0f);
  EXPECT_EQ(q[0].Color, clrWhite);
  MouseButton(false);
  app->BeginLayout();
  EXPECT_TRUE(app->ImageButton(*app->LogoAnimations, logo));
}
