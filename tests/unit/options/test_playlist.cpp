#include <gtest/gtest.h>

#include <set>

#include "player/Playlist.h"

namespace {

// A playlist whose PlayTrack hook records the calls and does what the player's does to it.
struct PlaylistTest : ::testing::Test {
  TPlaylist List;
  std::vector<int32_t> Played;
  int Cleared = 0;

  void SetUp() override {
    List.PlayTrack = [this](int32_t i) {
      Played.push_back(i);
      List.SetCurrent(i);
      if (i >= 0 && i < List.Count()) List.EnsureCurrentVisible();
    };
    List.OnCleared = [this] { ++Cleared; };
  }
  void Fill(int n) {
    for (int i = 0; i < n; ++i) List.AddTrack("/m/" + std::to_string(i) + ".mp3", "");
  }
};

TEST_F(PlaylistTest, AddTrackResolvesRelativePathsAgainstTheBase) {
  List.AddTrack("song.mp3", "/home/u/lists/");
  List.AddTrack("../Music/a.mp3", "/home/u/lists/");
  List.AddTrack("/abs/b.ogg", "/home/u/lists/");
  List.AddTrack("kept/as/stored.mp3", "");
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{"/home/u/lists/song.mp3", "/home/u/lists/../Music/a.mp3",
                                                       "/abs/b.ogg", "kept/as/stored.mp3"}));
  EXPECT_EQ(List.TrackNames, (std::vector<std::string>{"song", "a", "b", "stored"}));
}

TEST(TrackDisplayName, RemovesEveryOccurrenceOfTheExtensionAndCutsTo255) {
  EXPECT_EQ(TrackDisplayName("/m/song.mp3"), "song");
  EXPECT_EQ(TrackDisplayName("/m/a.mp3 b.mp3"), "a b");
  EXPECT_EQ(TrackDisplayName("/m.d/noext"), "noext");
  EXPECT_EQ(TrackDisplayName("/m/v1.2.ogg"), "v1.2");
  EXPECT_EQ(TrackDisplayName(std::string(300, 'x') + ".wav").size(), 255u);
}

TEST_F(PlaylistTest, DeletingBeforeOrAtTheCurrentEntry) {
  Fill(5);
  List.PlayTrack(3);
  List.DeleteTrack(1);
  EXPECT_EQ(List.CurrentIndex, 2) << "the same track stays current";
  EXPECT_EQ(List.TrackPaths[2], "/m/3.mp3");
  EXPECT_EQ(Played, (std::vector<int32_t>{3}));
  List.DeleteTrack(3);  // after the current one
  EXPECT_EQ(List.CurrentIndex, 2);
  List.DeleteTrack(2);  // the current one: playback stops
  EXPECT_EQ(Played, (std::vector<int32_t>{3, -1}));
  EXPECT_EQ(List.CurrentIndex, -1);
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{"/m/0.mp3", "/m/2.mp3"}));
  EXPECT_EQ(List.TrackNames, (std::vector<std::string>{"0", "2"}));
}

// Nothing selected (index -1): only the selection is cleared; the current entry must not move.
TEST_F(PlaylistTest, DeletingNothingKeepsTheCurrentEntry) {
  Fill(3);
  List.PlayTrack(2);
  List.SelectedIndex = -1;
  List.DeleteTrack(-1);
  List.DeleteTrack(7);
  EXPECT_EQ(List.CurrentIndex, 2);
  EXPECT_EQ(List.Count(), 3);
}

TEST_F(PlaylistTest, DeleteShrinksVisibleRowsAndKeepsTopIndexInRange) {
  Fill(6);
  List.VisibleRows = 6;
  List.SelectedIndex = 4;
  List.DeleteTrack(0);
  EXPECT_EQ(List.VisibleRows, 5);
  EXPECT_EQ(List.SelectedIndex, -1);
  List.VisibleRows = 2;
  List.TopIndex = 4;
  List.DeleteTrack(4);  // 4 entries left, at most TopIndex 2
  EXPECT_EQ(List.TopIndex, 2);
}

TEST_F(PlaylistTest, ClearStopsPlaybackAndResetsTheView) {
  Fill(4);
  List.PlayTrack(2);
  List.SelectedIndex = 1;
  List.TopIndex = 1;
  List.VisibleRows = 3;
  List.ClearPlaylist();
  EXPECT_EQ(Played.back(), -1);
  EXPECT_EQ(List.Count(), 0);
  EXPECT_TRUE(List.TrackNames.empty());
  EXPECT_EQ(List.CurrentIndex, -1);
  EXPECT_EQ(List.SelectedIndex, -1);
  EXPECT_EQ(List.TopIndex, 0);
  EXPECT_EQ(List.VisibleRows, 0);
  EXPECT_EQ(Cleared, 1);
}

TEST_F(PlaylistTest, SequentialNextAndPreviousWrapAround) {
  Fill(5);
  List.PlayTrack(4);
  List.NextTrack(+1);
  EXPECT_EQ(List.CurrentIndex, 0);
  List.NextTrack(-1);
  EXPECT_EQ(List.CurrentIndex, 4);
  List.NextTrack(-1);
  EXPECT_EQ(List.CurrentIndex, 3);
  EXPECT_EQ(Played, (std::vector<int32_t>{4, 0, 4, 3}));
  TPlaylist empty;
  empty.NextTrack(+1);
  EXPECT_EQ(empty.CurrentIndex, -1);
}

TEST_F(PlaylistTest, ShuffleNeverRepeatsTheCurrentEntryAndReachesAllOthers) {
  Fill(4);
  List.Shuffle = true;
  List.PlayTrack(0);
  std::set<int32_t> seen;
  for (int i = 0; i < 400; ++i) {
    const int32_t before = List.CurrentIndex;
    List.NextTrack(+1);
    ASSERT_NE(List.CurrentIndex, before);
    ASSERT_GE(List.CurrentIndex, 0);
    ASSERT_LT(List.CurrentIndex, 4);
    seen.insert(List.CurrentIndex);
  }
  EXPECT_EQ(seen.size(), 4u);
}

TEST_F(PlaylistTest, ShuffleWithOneEntryStartsItAgain) {
  Fill(1);
  List.Shuffle = true;
  List.PlayTrack(0);
  List.NextTrack(+1);
  EXPECT_EQ(Played, (std::vector<int32_t>{0, 0}));
}

TEST_F(PlaylistTest, ScrollingLimits) {
  Fill(25);
  List.VisibleRows = 10;
  List.ScrollPlaylist(100);
  EXPECT_EQ(List.TopIndex, 15);
  List.ScrollPlaylist(-3);
  EXPECT_EQ(List.TopIndex, 12);
  List.ScrollPlaylist(-100);
  EXPECT_EQ(List.TopIndex, 0);
  // End key: TopIndex := N - 1, then clamped.
  List.TopIndex = 24;
  List.ScrollPlaylist(0);
  EXPECT_EQ(List.TopIndex, 15);

  TPlaylist small;
  for (int i = 0; i < 5; ++i) small.AddTrack("/s/" + std::to_string(i), "");
  small.VisibleRows = 5;
  for (int16_t step : {1, 7, -2, 30}) {
    small.ScrollPlaylist(step);
    EXPECT_EQ(small.TopIndex, 0);
  }
  small.VisibleRows = 0;  // nothing shown yet: the last entry may be on top
  small.ScrollPlaylist(30);
  EXPECT_EQ(small.TopIndex, 4);
}

TEST_F(PlaylistTest, EnsureCurrentVisible) {
  Fill(40);
  List.VisibleRows = 10;
  List.PlayTrack(30);
  EXPECT_EQ(List.TopIndex, 21);
  List.PlayTrack(25);  // already visible
  EXPECT_EQ(List.TopIndex, 21);
  List.PlayTrack(5);
  EXPECT_EQ(List.TopIndex, 5);
  List.VisibleRows = 2;  // too few rows to scroll down to it
  List.PlayTrack(30);
  EXPECT_EQ(List.TopIndex, 5);
}

TEST_F(PlaylistTest, TheViewReachesEntriesBeyondSixteenBits) {
  Fill(100000);
  List.VisibleRows = 20;
  List.TopIndex = List.Count() - 1;  // End
  List.ScrollPlaylist(0);
  EXPECT_EQ(List.TopIndex, 99980);
  List.PlayTrack(70000);
  EXPECT_EQ(List.TopIndex, 70000);
  List.PlayTrack(99999);
  EXPECT_EQ(List.TopIndex, 99980);
}

}  // namespace
