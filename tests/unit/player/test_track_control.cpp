#include <gtest/gtest.h>

#include "player/Demo.h"
#include "player/Playlist.h"
#include "tests/unit/player/FakeAudio.h"

namespace {
struct TrackControl : ::testing::Test {
  FakeAudio Audio;
  TDemo Demo{&Audio};
  void SetUp() override {
    Demo.Playlist = MakeOwned<TPlaylist>();
    Demo.Playlist->PlayTrack = [this](int32_t i) { Demo.PlayTrack(i); };
    for (const char* p : {"/m/a.ogg", "/m/bad.ogg", "/m/c.ogg"}) Demo.Playlist->AddTrack(p, "");
  }
};
}  // namespace

TEST_F(TrackControl, PlayingAnEntryLoadsItWithTheCurrentVolume) {
  Demo.Volume = 4;
  Demo.PlayTrack(0);
  EXPECT_TRUE(Demo.Playing);
  EXPECT_EQ(Demo.CurrentFile, "/m/a.ogg");
  EXPECT_EQ(Demo.Playlist->CurrentIndex, 0);
  EXPECT_FLOAT_EQ(Audio.LastVolume, 0.4f);
  EXPECT_TRUE(Audio.Playing);
}

TEST_F(TrackControl, AnInvalidIndexStopsAndUnloads) {
  Demo.PlayTrack(0);
  const uint32_t first = Demo.Stream;
  Demo.PlayTrack(-1);
  EXPECT_FALSE(Demo.Playing);
  EXPECT_TRUE(Demo.CurrentFile.empty());
  EXPECT_EQ(Audio.Count("ChannelStop"), 1u);
  EXPECT_EQ(Audio.Live, 0u) << "stream " << first << " must be freed";
}

TEST_F(TrackControl, TheEndOfATrackMovesOnAndAnUnplayableFileIsSkippedNextFrame) {
  Demo.PlayTrack(0);
  Audio.Length = 1000;
  Demo.CheckTrackEnd();
  EXPECT_EQ(Demo.Playlist->CurrentIndex, 0) << "a live stream is not at its end";
  Audio.Live = 0;  // the stream freed itself at its end
  Demo.CheckTrackEnd();
  EXPECT_EQ(Demo.Playlist->CurrentIndex, 1);
  EXPECT_TRUE(Demo.Playing) << "playing even though the file could not be opened";
  Demo.CheckTrackEnd();
  EXPECT_EQ(Demo.Playlist->CurrentIndex, 2);
  EXPECT_EQ(Demo.CurrentFile, "/m/c.ogg");
}

TEST_F(TrackControl, WhilePausedTheEndIsNotProbed) {
  Demo.PlayTrack(0);
  Demo.SetPaused(true);
  Audio.Live = 0;
  Demo.CheckTrackEnd();
  EXPECT_EQ(Demo.Playlist->CurrentIndex, 0);
}

TEST_F(TrackControl, DeletingTheCurrentEntryStopsPlayback) {
  Demo.PlayTrack(2);
  Demo.Playlist->DeleteTrack(0);
  EXPECT_EQ(Demo.Playlist->CurrentIndex, 1);
  EXPECT_TRUE(Demo.Playing);
  Demo.Playlist->DeleteTrack(1);
  EXPECT_FALSE(Demo.Playing);
  EXPECT_EQ(Demo.Playlist->CurrentIndex, -1);
}

TEST_F(TrackControl, APlaylistInWhichNothingPlaysStopsAfterOnePassOnTheMainPage) {
  TDemo& d = Demo;
  d.Playlist->ClearPlaylist();
  for (const char* p : {"/m/bad1.ogg", "/m/bad2.ogg", "/m/bad3.ogg"}) d.Playlist->AddTrack(p, "");
  d.MenuPage = 0;
  d.PlayTrack(0);
  for (int frame = 0; frame < 10; ++frame) d.CheckTrackEnd();
  EXPECT_EQ(Audio.Count("StreamCreateFile /m/bad"), 3u) << "one pass, then no more retries";
  EXPECT_FALSE(d.Playing);
  EXPECT_TRUE(d.CurrentFile.empty());
  EXPECT_EQ(d.MenuPage, 1);
  // A playable entry added later plays, and the count of failures starts over.
  d.Playlist->AddTrack("/m/good.ogg", "");
  d.PlayTrack(3);
  EXPECT_TRUE(d.Playing);
}
