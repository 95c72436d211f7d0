// The hot-key handler: the shared repeat gate, edge keys, which keys act when, step order.
#include "player/Visualizer.h"
#include "tests/unit/menu/MenuFixture.h"

namespace {

constexpr int32_t keyUp = 283, keyDown = 284, keyRight = 286, keyEsc = 257, keyF1 = 258, keyTab = 293;
constexpr int32_t keyPageUp = 298, keyPageDown = 299, keyHome = 300, keyEnd = 301, keyDelete = 297;

using HotKeys = MenuFixture;

}  // namespace

TEST_F(HotKeys, HeldUpRaisesTheVolumeEveryThirteenFramesUpToTen) {
  app->Playing = true;
  app->Volume = 7;
  Key(keyUp, true);
  Frames(1);
  EXPECT_EQ(app->Volume, 8);
  Frames(12);
  EXPECT_EQ(app->Volume, 8) << "the gate stays shut for 12 frames";
  Frames(1);
  EXPECT_EQ(app->Volume, 9);
  Frames(13);
  EXPECT_EQ(app->Volume, 10);
  Frames(100);
  EXPECT_EQ(app->Volume, 10);
}

TEST_F(HotKeys, VolumeAndPositionKeysDoNothingWhilePaused) {
  app->Playing = false;
  app->Volume = 5;
  Key(keyUp, true);
  Key(keyRight, true);
  Frames(30);
  EXPECT_EQ(app->Volume, 5);
  EXPECT_FALSE(app->KeyGate.EverActed()) << "no action, so the gate was never started";
}

TEST_F(HotKeys, UpWinsOverDown) {
  app->Playing = true;
  app->Volume = 5;
  Key(keyUp, true);
  Key(keyDown, true);
  Frames(1);
  EXPECT_EQ(app->Volume, 6);
}

TEST_F(HotKeys, AHeldKeyRepeatsAtTheSamePaceAtAnyFrameRate) {
  // Five steps in the first second: at 0, 0.22, 0.43, 0.65 and 0.87 s (at 14 Hz on whole frames).
  for (const int fps : {14, 60, 144}) {
    SCOPED_TRACE(fps);
    SetUp();
    frameNs = 1'000'000'000 / fps;
    app->Playing = true;
    app->Volume = 10;
    Key(keyDown, true);
    Frames(fps);
    EXPECT_EQ(app->Volume, 5);
  }
}

TEST_F(HotKeys, ASecondPressHalfASecondLaterActsAtFourteenFramesASecond) {
  frameNs = 1'000'000'000 / 14;
  app->Playing = true;
  app->Volume = 10;
  for (int press = 0; press < 3; ++press) {
    Key(keyDown, true);
    Frames(2);
    Key(keyDown, false);
    Frames(5);  // 0.5 s in all
  }
  EXPECT_EQ(app->Volume, 7);
}

TEST_F(HotKeys, APressAndReleaseBetweenTwoFramesActsOnce) {
  app->Playing = true;
  app->Volume = 5;
  Key(keyUp, true);
  Key(keyUp, false);
  Frames(30);
  EXPECT_EQ(app->Volume, 6) << "a repeating key";
  Key(keyTab, true);
  Key(keyTab, false);
  Frames(30);
  EXPECT_EQ(app->MenuPage, 3) << "an edge key";
}

TEST_F(HotKeys, HeldTabTogglesThePlaylistPageOnce) {
  Key(keyTab, true);
  Frames(1);
  EXPECT_EQ(app->MenuPage, 3);
  Frames(60);
  EXPECT_EQ(app->MenuPage, 3) << "a held edge key acts once";
  Key(keyTab, false);
  Key(keyTab, true);
  Frames(1);
  EXPECT_EQ(app->MenuPage, 0);
}

TEST_F(HotKeys, F1TogglesTheHelpPage) {
  app->MenuPage = 1;
  Key(keyF1, true);
  Frames(1);
  EXPECT_EQ(app->MenuPage, 2);
  Key(keyF1, false);
  Key(keyF1, true);
  Frames(13);
  EXPECT_EQ(app->MenuPage, 0);
}

TEST_F(HotKeys, PageUpAndDownWrapThroughTheVisualizations) {
  Key(keyPageUp, true);
  Frames(1);
  EXPECT_EQ(app->Visualizer->Visualization, 0) << "-1 from 0 is 255, which selects 0";
  Key(keyPageUp, false);
  app->SetVisualization(VisualizationCount - 1);
  Key(keyPageDown, true);
  Frames(13);
  EXPECT_EQ(app->Visualizer->Visualization, 0);
  Frames(13);
  EXPECT_EQ(app->Visualizer->Visualization, 1) << "Page Down repeats while held";
}

TEST_F(HotKeys, PageKeysDoNothingWhileTheMenuIsOpen) {
  app->SetVisualization(3);
  app->MenuPage = 1;
  Key(keyPageDown, true);
  Frames(5);
  EXPECT_EQ(app->Visualizer->Visualization, 3);
  EXPECT_EQ(app->MenuPage, 1);
}

TEST_F(HotKeys, TrackKeysNeedTwoEntries) {
  AddEntries(1);
  Key('B', true);
  Key('Z', true);
  Key(315, true);
  Frames(20);
  EXPECT_EQ(app->Playlist->CurrentIndex, -1);
  EXPECT_FALSE(app->Playing);
  EXPECT_FALSE(app->KeyGate.EverActed());

  AddEntries(1);
  Frames(1);
  EXPECT_EQ(app->Playlist->CurrentIndex, 0) << "next of none (-1) is the first entry";
  EXPECT_TRUE(app->Playing);
}

TEST_F(HotKeys, SpaceWithoutATrackStartsTheGateAndEndsTheHandler) {
  // Esc in the same frame would open the menu, but the Space step ends the handler first.
  Key(' ', true);
  Key(keyEsc, true);
  Frames(1);
  EXPECT_TRUE(app->KeyGate.EverActed());
  EXPECT_FALSE(app->Playing);
  EXPECT_EQ(app->MenuPage, 0);
  Key(' ', false);
  Frames(12);
  EXPECT_EQ(app->MenuPage, 0) << "the gate started by Space is still shut";
  Frames(1);
  EXPECT_EQ(app->MenuPage, 1);
}

TEST_F(HotKeys, OneEscPressCannotCloseAndReopenTheMenu) {
  app->MenuPage = 1;
  app->MenuLatch = true;
  Key(keyEsc, true);
  Frames(1);
  EXPECT_EQ(app->MenuPage, 0);
  EXPECT_TRUE(app->MenuLatch) << "latched before Esc closed the menu, so Esc cannot reopen it";
  Frames(30);
  EXPECT_FALSE(app->MenuLatch);
  EXPECT_EQ(app->MenuPage, 0) << "Esc is an edge key";
  Key(keyEsc, false);
  Key(keyEsc, true);
  Frames(1);
  EXPECT_EQ(app->MenuPage, 1);
  EXPECT_FALSE(app->MenuLatch) << "latched only from the next frame on";
  Frames(1);
  EXPECT_TRUE(app->MenuLatch);
}

TEST_F(HotKeys, WheelTurnsWhileThePageIsHiddenScrollInOneStep) {
  AddEntries(20);
  app->Playlist->VisibleRows = 5;
  Wheel(-1);
  Frames(1);
  Wheel(-4);
  Frames(1);
  EXPECT_EQ(app->Playlist->TopIndex, 0);
  app->MenuPage = 3;
  Frames(1);
  EXPECT_EQ(app->Playlist->TopIndex, 4) << "turning backwards scrolls down";
  Wheel(-2);  // forward by two: towards the top
  Frames(1);
  EXPECT_EQ(app->Playlist->TopIndex, 2);
  EXPECT_FALSE(app->KeyGate.EverActed()) << "the wheel does not use the gate";
}

TEST_F(HotKeys, ALongTurnWhileHiddenStillScrollsTheRightWay) {
  AddEntries(300);
  app->Playlist->VisibleRows = 10;
  Wheel(-200);  // 200 notches backwards: a byte would wrap to -56
  app->MenuPage = 3;
  Frames(1);
  EXPECT_EQ(app->Playlist->TopIndex, 127);
  Wheel(0);
  Frames(1);
  EXPECT_EQ(app->Playlist->TopIndex, 0);
}

TEST_F(HotKeys, HomeEndAndDeleteOnThePlaylistPage) {
  AddEntries(25);
  app->Playlist->VisibleRows = 10;
  Key(keyEnd, true);
  Frames(1);
  EXPECT_EQ(app->Playlist->TopIndex, 0) << "only on the playlist page";
  app->MenuPage = 3;
  Frames(13);
  EXPECT_EQ(app->Playlist->TopIndex, 15);
  Key(keyEnd, false);
  Key(keyHome, true);
  Frames(13);
  EXPECT_EQ(app->Playlist->TopIndex, 0);
  Key(keyHome, false);

  app->Playlist->SelectedIndex = 3;
  Key(keyDelete, true);
  Frames(13);
  EXPECT_EQ(app->Playlist->Count(), 24);
  EXPECT_EQ(app->Playlist->TrackPaths[3], "/music/t4.mp3");
  Frames(13);
  EXPECT_EQ(app->Playlist->Count(), 24) << "Delete is an edge key and the selection is gone";
}

TEST(KeyBindings, EachBoundStateHasExactlyTheOneKey) {
  TZRNInput input;
  BindHotKeys(*input.Keyboard);
  auto press = [&input](int32_t key, bool down) {
    TZRNEvent e = MakeEvent(down ? ZRN_KEY_PRESSED : ZRN_KEY_RELEASED);
    e.Keyboard.Key = key;
    e.Keyboard.Shift = 0;
    input.HandleEvent(e);
    input.Update();
  };
  press(' ', true);
  EXPECT_TRUE(input.States.Contains(hkPlayPause));
  EXPECT_FALSE(input.States.Contains(isButton1)) << "Space no longer drives isButton1";
  press(' ', false);
  press(294, true);  // Enter: its default state is now Page Down's alone
  EXPECT_TRUE(input.States.Empty());
  press(294, false);
  press(298, true);
  EXPECT_TRUE(input.States.Contains(hkPreviousVisualization));
  press(298, false);
  press('W', true);
  EXPECT_TRUE(input.States.Contains(isUp)) << "arrow states keep their defaults";
  press('W', false);
  const std::pair<int32_t, TZRNInputState> table[] = {
      {299, hkNextVisualization}, {314, hkPreviousTrackKeypad}, {315, hkNextTrackKeypad},
      {'Z', hkPreviousTrack},     {'B', hkNextTrack},           {300, hkPlaylistTop},
      {301, hkPlaylistBottom},    {296, hkAddFiles},            {297, hkDeleteEntry},
      {'P', hkPlaylistPageP},     {293, hkPlaylistPageTab},     {295, hkRestartBackspace},
      {'X', hkRestartX},          {258, hkHelpPage},            {257, hkMenu}};
  for (const auto& [key, state] : table) {
    press(key, true);
    EXPECT_TRUE(input.States.Contains(state)) << key;
    int held = 0;
    for (int s = 0; s < ZRNInputStateCount; ++s) held += input.States.Contains(static_cast<TZRNInputState>(s));
    EXPECT_EQ(held, 1) << key;
    press(key, false);
  }
}
