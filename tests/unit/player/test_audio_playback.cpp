#include <gtest/gtest.h>

#include "player/Demo.h"
#include "tests/unit/player/FakeAudio.h"

namespace {
struct Playback : ::testing::Test {
  FakeAudio Audio;
  TDemo Demo{&Audio};
  void Load(int64_t length) {
    Demo.Stream = Audio.StreamCreateFile("/music/a.ogg", AUDIO_STREAM_AUTOFREE);
    Demo.CurrentFile = "/music/a.ogg";
    Demo.Playing = true;
    Audio.Length = length;
    Audio.Calls.clear();
  }
};
}  // namespace

TEST_F(Playback, RelativeVolumeStepsStopAtTheEndsWithoutCallingTheLibrary) {
  Demo.Volume = 0;
  Demo.SetVolume(-1, false);
  Demo.Volume = 10;
  Demo.SetVolume(1, false);
  EXPECT_TRUE(Audio.Calls.empty());
  Demo.SetVolume(-1, false);
  EXPECT_EQ(Demo.Volume, 9);
  EXPECT_FLOAT_EQ(Audio.LastVolume, 0.9f);
}

TEST_F(Playback, StepZeroTogglesMuteWithoutRememberingTheLevel) {
  Demo.Volume = 7;
  Demo.SetVolume(0, false);
  EXPECT_EQ(Demo.Volume, 0);
  Demo.SetVolume(0, false);
  EXPECT_EQ(Demo.Volume, 10);
  Demo.SetVolume(25, true);
  EXPECT_EQ(Demo.Volume, 10);
  Demo.SetVolume(static_cast<int8_t>(-3), true);  // 253 as an unsigned byte, clamped
  EXPECT_EQ(Demo.Volume, 10);
}

TEST_F(Playback, PositionPercentRoundsDownUntilTheVeryEnd) {
  Load(1000000);
  Audio.Position = 499998;
  EXPECT_EQ(Demo.GetPositionPercent(), 50);
  Audio.Position = 989998;
  EXPECT_EQ(Demo.GetPositionPercent(), 99);
  Audio.Position = 999998;
  EXPECT_EQ(Demo.GetPositionPercent(), 100);
  Audio.Position = 0;
  EXPECT_EQ(Demo.GetPositionPercent(), 0);
}

TEST_F(Playback, WithoutAStreamThePositionIsComplete) {
  Demo.Stream = 0;
  EXPECT_EQ(Demo.GetPositionPercent(), 100);
  Demo.SeekPercent(1);
  EXPECT_EQ(Audio.Count("ChannelSetPosition refused"), 1u);
}

TEST_F(Playback, SeekingMovesByWholePercentsAndZeroRestarts) {
  Load(1000000);
  Audio.Position = 250000;
  Demo.SeekPercent(1);
  EXPECT_EQ(Audio.Position, 260000);
  Demo.SeekPercent(-1);
  EXPECT_EQ(Audio.Position, 250000);
  Demo.SeekPercent(0);
  EXPECT_EQ(Audio.Position, 0);
  Demo.SeekPercent(-1);  // -1 % lies before the track: refused, position stays
  EXPECT_EQ(Audio.LastSeek, -10000);
  EXPECT_EQ(Audio.Position, 0);
}

TEST_F(Playback, SeekingReachesPositionsPastTwoGigabytes) {
  const int64_t fourHours = int64_t{4} * 3600 * 44100 * 4;  // bytes of 16-bit stereo
  Load(fourHours);
  Demo.SeekPercent(90);  // resuming at 90 %
  EXPECT_EQ(Audio.Position, fourHours / 10 * 9);
  EXPECT_EQ(Demo.GetPositionPercent(), 90);
}

TEST_F(Playback, PauseAndResumeNeedALoadedTrack) {
  Demo.SetPaused(true);
  EXPECT_TRUE(Audio.Calls.empty());
  Load(100);
  Demo.SetPaused(true);
  EXPECT_FALSE(Demo.Playing);
  Demo.SetPaused(false);
  EXPECT_TRUE(Demo.Playing);
  EXPECT_EQ(Audio.Count("ChannelPause"), 1u);
  EXPECT_EQ(Audio.Count("ChannelPlay"), 1u);
}
