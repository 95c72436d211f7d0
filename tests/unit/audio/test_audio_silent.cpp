// The engine without an output device: SDL is pointed at a driver that does not exist, and a
// hand-stepped clock stands in for time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "tests/unit/audio/AudioTestFiles.h"

namespace {

class SilentAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "snv_no_such_driver", 1);
    Engine.SetLogHook([this](const std::string& line) { Logged.push_back(line); });
    ASSERT_TRUE(Engine.Init(AUDIO_DEVICE_DEFAULT, 44100, AUDIO_DEVICE_MONO));
    ASSERT_FALSE(Engine.HasOutputDevice());
    ASSERT_TRUE(WriteIndexWav(Stereo, 44100, 2));  // 1 s
    ASSERT_TRUE(WriteIndexWav(Mono, 22050, 1));    // 0.5 s
  }

  int64_t Position(uint32_t h) { return Engine.ChannelGetPosition(h, AUDIO_POS_BYTE); }
  int64_t Length(uint32_t h) { return Engine.ChannelGetLength(h, AUDIO_POS_BYTE); }

  std::shared_ptr<TManualAudioClock> Clock = std::make_shared<TManualAudioClock>();
  TAudioEngine Engine{Clock};
  std::vector<std::string> Logged;
  TTempDir Dir;
  std::string Stereo = Dir.File("stereo.wav");
  std::string Mono = Dir.File("mono.wav");
};

TEST_F(SilentAudio, FallbackIsLoggedOnceAndTracksStillPlay) {
  ASSERT_EQ(Logged.size(), 1u);
  EXPECT_NE(Logged[0].find("no output device"), std::string::npos) << Logged[0];
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  ASSERT_NE(h, 0u);
  EXPECT_TRUE(Engine.ChannelPlay(h, false));
  Engine.ChannelGetData(h, std::vector<char>(48).data(), 48);
  EXPECT_EQ(Logged.size(), 1u);
  EXPECT_FALSE(Engine.Init(AUDIO_DEVICE_DEFAULT, 44100, 0)) << "already started";
}

TEST_F(SilentAudio, LengthsAreExactInTheStreamsOwnFormat) {
  uint32_t stereo = Engine.StreamCreateFile(Stereo, 0);
  uint32_t mono = Engine.StreamCreateFile(Mono, 0);
  EXPECT_EQ(Length(stereo), 44100 * 2 * 2);
  EXPECT_EQ(Length(mono), 22050 * 2);
  EXPECT_EQ(Position(stereo), 0);
  EXPECT_EQ(Engine.ChannelGetLength(stereo, 1), -1) << "only byte mode";
}

TEST_F(SilentAudio, PositionFollowsTheClockOnlyWhilePlaying) {
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  Clock->AdvanceMs(300);
  EXPECT_EQ(Position(h), 0) << "not started yet";
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_STOPPED);
  Engine.ChannelPlay(h, false);
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_PLAYING);
  Clock->AdvanceMs(250);
  EXPECT_EQ(Position(h), 11025 * 4);

  EXPECT_TRUE(Engine.ChannelPause(h));
  EXPECT_FALSE(Engine.ChannelPause(h)) << "already paused";
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_PAUSED);
  Clock->AdvanceMs(500);
  EXPECT_EQ(Position(h), 11025 * 4);

  EXPECT_TRUE(Engine.ChannelPlay(h, false));  // resumes where it paused
  Clock->AdvanceMs(100);
  EXPECT_EQ(Position(h), (11025 + 4410) * 4);

  EXPECT_TRUE(Engine.ChannelPlay(h, true));  // restart
  EXPECT_EQ(Position(h), 0);
  Clock->AdvanceMs(10);
  EXPECT_EQ(Position(h), 441 * 4);

  EXPECT_TRUE(Engine.ChannelStop(h));
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_STOPPED);
  EXPECT_EQ(Position(h), 0);
  Clock->AdvanceMs(100);
  EXPECT_EQ(Position(h), 0);
}

TEST_F(SilentAudio, AutoFreeAtTheEndInvalidatesTheHandle) {
  uint32_t h = Engine.StreamCreateFile(Mono, AUDIO_STREAM_AUTOFREE);
  Engine.ChannelPlay(h, false);
  Clock->AdvanceMs(499);
  EXPECT_EQ(Length(h), 22050 * 2);
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_PLAYING);
  Clock->AdvanceMs(1);
  EXPECT_EQ(Length(h), -1);
  EXPECT_EQ(Position(h), -1);
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_STOPPED);
  EXPECT_FALSE(Engine.ChannelPlay(h, false));
  EXPECT_FALSE(Engine.ChannelSetPosition(h, 0, AUDIO_POS_BYTE));
  EXPECT_FALSE(Engine.StreamFree(h));
  std::vector<int16_t> buffer(24, 7);
  EXPECT_EQ(Engine.ChannelGetData(h, buffer.data(), 48), -1);
  EXPECT_EQ(buffer, std::vector<int16_t>(24, 7)) << "a failed capture leaves the buffer alone";
}

TEST_F(SilentAudio, WithoutAutoFreeTheStreamStopsAtItsEnd) {
  uint32_t h = Engine.StreamCreateFile(Mono, 0);
  Engine.ChannelPlay(h, false);
  Clock->AdvanceMs(600);
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_STOPPED);
  EXPECT_EQ(Position(h), Length(h));
  Engine.ChannelPlay(h, false);  // plays again from the start
  Clock->AdvanceMs(100);
  EXPECT_EQ(Position(h), 4410 * 2);
}

TEST_F(SilentAudio, SeekingIsExactAndRefusedOutsideTheTrack) {
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  Engine.ChannelPlay(h, false);
  Clock->AdvanceMs(100);
  EXPECT_TRUE(Engine.ChannelSetPosition(h, 30000 * 4, AUDIO_POS_BYTE));
  EXPECT_EQ(Position(h), 30000 * 4);
  EXPECT_TRUE(Engine.ChannelSetPosition(h, 1001 * 4 + 3, AUDIO_POS_BYTE)) << "rounds down to a frame";
  EXPECT_EQ(Position(h), 1001 * 4);
  EXPECT_FALSE(Engine.ChannelSetPosition(h, -4, AUDIO_POS_BYTE));
  EXPECT_FALSE(Engine.ChannelSetPosition(h, Length(h), AUDIO_POS_BYTE));
  EXPECT_FALSE(Engine.ChannelSetPosition(h, Length(h) * 101 / 100, AUDIO_POS_BYTE));
  EXPECT_EQ(Position(h), 1001 * 4) << "a refused seek keeps the position";
  Clock->AdvanceMs(10);
  EXPECT_EQ(Position(h), (1001 + 441) * 4);
  EXPECT_TRUE(Engine.ChannelSetPosition(h, 0, AUDIO_POS_BYTE));
  EXPECT_EQ(Position(h), 0);
}

TEST_F(SilentAudio, CaptureIsCentredOnTheClocksPosition) {
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  std::vector<int16_t> buffer(1025 * 2, 0);  // one entry more than captured, as a sentinel
  buffer.back() = 1234;
  Engine.ChannelPlay(h, false);

  // Before the start of the track there is silence.
  Clock->AdvanceMs(5);  // 220.5 -> 220 frames: the window is [220 - 256, 220 + 256)
  ASSERT_EQ(Engine.ChannelGetData(h, buffer.data(), 2048), 2048);
  for (int f = 0; f < 256 - 220; ++f) ASSERT_EQ(buffer[f * 2], 0) << f;
  EXPECT_EQ(FrameIndexOf(&buffer[(256 - 220) * 2]), 0);
  EXPECT_EQ(FrameIndexOf(&buffer[511 * 2]), 220 + 255);
  EXPECT_EQ(buffer[2048 / 2], 0) << "the sentinel area beyond 2048 bytes";

  for (int64_t ms : {100, 1, 7, 300}) {  // forward in steps, decoding on from the last capture
    Clock->AdvanceMs(ms);
    int64_t heard = Position(h) / 4;
    ASSERT_EQ(Engine.ChannelGetData(h, buffer.data(), 48), 48);
    for (int f = 0; f < 12; ++f) ASSERT_EQ(FrameIndexOf(&buffer[f * 2]), heard - 6 + f);
  }
  // Jumps back and far forward.
  for (int64_t to : {int64_t{5000}, int64_t{40000}, int64_t{600}}) {
    ASSERT_TRUE(Engine.ChannelSetPosition(h, to * 4, AUDIO_POS_BYTE));
    ASSERT_EQ(Engine.ChannelGetData(h, buffer.data(), 2048), 2048);
    EXPECT_EQ(FrameIndexOf(&buffer[0]), to - 256);
    EXPECT_EQ(FrameIndexOf(&buffer[511 * 2]), to + 255);
  }
  EXPECT_EQ(buffer.back(), 1234);
  EXPECT_EQ(Engine.ChannelGetData(h, buffer.data(), 7), 4) << "whole frames only";

  // Far more than a visualization asks for.
  ASSERT_TRUE(Engine.ChannelSetPosition(h, 43000 * 4, AUDIO_POS_BYTE));
  std::vector<int16_t> large(20000 * 2);
  ASSERT_EQ(Engine.ChannelGetData(h, large.data(), 80000), 80000);
  for (int f = 0; f < 20000; ++f)  // past the track's 44100 frames: silence
    ASSERT_EQ(FrameIndexOf(&large[f * 2]), 33000 + f < 44100 ? 33000 + f : 0) << f;
}

TEST_F(SilentAudio, MonoCaptureHoldsConsecutiveSamples) {
  uint32_t h = Engine.StreamCreateFile(Mono, AUDIO_STREAM_AUTOFREE);
  Engine.ChannelPlay(h, false);
  Clock->AdvanceMs(200);
  std::vector<int16_t> buffer(24);
  ASSERT_EQ(Engine.ChannelGetData(h, buffer.data(), 48), 48);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(buffer[i], 8820 - 12 + i);
}

TEST_F(SilentAudio, StaleAndZeroHandlesFailHarmlessly) {
  uint32_t first = Engine.StreamCreateFile(Stereo, 0);
  ASSERT_TRUE(Engine.StreamFree(first));
  uint32_t second = Engine.StreamCreateFile(Stereo, 0);
  EXPECT_NE(second, first) << "a freed handle is not handed out again";
  for (uint32_t h : {0u, first, 0xDEADBEEFu}) {
    EXPECT_FALSE(Engine.ChannelPlay(h, false));
    EXPECT_FALSE(Engine.ChannelPause(h));
    EXPECT_FALSE(Engine.ChannelStop(h));
    EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_STOPPED);
    EXPECT_FALSE(Engine.ChannelSetAttribute(h, AUDIO_ATTRIB_VOL, 0.5f));
    EXPECT_EQ(Length(h), -1);
    EXPECT_EQ(Position(h), -1);
    EXPECT_FALSE(Engine.ChannelSetPosition(h, 0, AUDIO_POS_BYTE));
    EXPECT_FALSE(Engine.StreamFree(h));
  }
  EXPECT_EQ(Length(second), 44100 * 4) << "the live stream is untouched";
}

TEST_F(SilentAudio, FilesThatCannotBeDecodedGiveNoHandle) {
  EXPECT_EQ(Engine.StreamCreateFile(Dir.File("missing.mp3"), AUDIO_STREAM_AUTOFREE), 0u);
  std::string text = Dir.File("text.wav");
  ASSERT_TRUE(RunShell("echo 'RIFF but not really' > " + text));
  EXPECT_EQ(Engine.StreamCreateFile(text, AUDIO_STREAM_AUTOFREE), 0u);
}

TEST_F(SilentAudio, VolumeAttributeIsClampedToZeroToOne) {
  uint32_t h = Engine.StreamCreateFile(Stereo, 0);
  float v = -1;
  ASSERT_TRUE(Engine.ChannelGetAttribute(h, AUDIO_ATTRIB_VOL, &v));
  EXPECT_EQ(v, 1.0f);
  EXPECT_TRUE(Engine.ChannelSetAttribute(h, AUDIO_ATTRIB_VOL, 0.3f));
  Engine.ChannelGetAttribute(h, AUDIO_ATTRIB_VOL, &v);
  EXPECT_EQ(v, 0.3f);
  EXPECT_TRUE(Engine.ChannelSetAttribute(h, AUDIO_ATTRIB_VOL, 1.7f));
  Engine.ChannelGetAttribute(h, AUDIO_ATTRIB_VOL, &v);
  EXPECT_EQ(v, 1.0f);
  EXPECT_TRUE(Engine.ChannelSetAttribute(h, AUDIO_ATTRIB_VOL, -0.2f));
  Engine.ChannelGetAttribute(h, AUDIO_ATTRIB_VOL, &v);
  EXPECT_EQ(v, 0.0f);
  EXPECT_FALSE(Engine.ChannelSetAttribute(h, AUDIO_ATTRIB_VOL, NAN));
  EXPECT_FALSE(Engine.ChannelSetAttribute(h, 1, 0.5f)) << "only the volume attribute";
  EXPECT_TRUE(Engine.SetVolume(0.5f));
  EXPECT_EQ(Engine.GetVolume(), 0.5f);
}

TEST(AudioEngineLifecycle, NothingWorksBeforeInitOrAfterFree) {
  TTempDir dir;
  std::string path = dir.File("a.wav");
  ASSERT_TRUE(WriteIndexWav(path, 4410, 1));
  TAudioEngine engine(std::make_shared<TManualAudioClock>());
  EXPECT_EQ(engine.StreamCreateFile(path, 0), 0u);
  EXPECT_FALSE(engine.SetVolume(1.0f));
  EXPECT_FALSE(engine.Free());
  EXPECT_FALSE(engine.Init(5, 44100, 0)) << "unknown device";
  ASSERT_TRUE(engine.Init(AUDIO_DEVICE_NONE, 44100, 0));
  uint32_t h = engine.StreamCreateFile(path, 0);
  ASSERT_NE(h, 0u);
  EXPECT_TRUE(engine.Free());
  EXPECT_EQ(engine.ChannelGetLength(h, AUDIO_POS_BYTE), -1);
  ASSERT_TRUE(engine.Init(AUDIO_DEVICE_NONE, 44100, 0));
  EXPECT_EQ(engine.ChannelGetLength(h, AUDIO_POS_BYTE), -1) << "streams do not outlive Free";
  EXPECT_NE(engine.StreamCreateFile(path, 0), h);
}

}  // namespace
