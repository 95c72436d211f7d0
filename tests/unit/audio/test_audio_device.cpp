// Real decoding and output through SDL's dummy and disk drivers, in real time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "tests/unit/audio/AudioTestFiles.h"

namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The heard position never runs ahead of the wall clock by more than one device buffer (23 ms).
// It may fall behind: playback starts with the next buffer, and on a loaded machine the driver's
// thread wakes late and the device itself runs slow. On a quiet machine it lags by about 15 ms.
void ExpectHeardAfter(double positionMs, double elapsedMs) {
  EXPECT_LE(positionMs, elapsedMs + 25);
  EXPECT_GE(positionMs, elapsedMs * 0.5 - 30);
}
// How late an end may be seen when other processes keep both cores busy.
constexpr double kLateMs = 1000;

class DeviceAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(Engine.Init(AUDIO_DEVICE_DEFAULT, 44100, AUDIO_DEVICE_MONO));
    ASSERT_TRUE(Engine.HasOutputDevice());
    ASSERT_TRUE(WriteIndexWav(Stereo, 44100, 2));
  }
  int64_t PositionFrames(uint32_t h, int channels = 2) {
    int64_t bytes = Engine.ChannelGetPosition(h, AUDIO_POS_BYTE);
    return bytes < 0 ? bytes : bytes / (2 * channels);
  }
  static double FramesToMs(int64_t frames, int rate = 44100) { return frames * 1000.0 / rate; }

  TAudioEngine Engine;
  TTempDir Dir;
  std::string Stereo = Dir.File("stereo.wav");
};

TEST_F(DeviceAudio, PositionAdvancesInRealTime) {
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(Engine.ChannelGetLength(h, AUDIO_POS_BYTE), 44100 * 4);
  SleepMs(50);
  EXPECT_EQ(PositionFrames(h), 0) << "decoding ahead does not move the position";
  auto start = Clock::now();
  ASSERT_TRUE(Engine.ChannelPlay(h, false));
  int64_t last = 0;
  for (int i = 0; i < 6; ++i) {
    SleepMs(50);
    int64_t now = PositionFrames(h);
    EXPECT_GE(now, last);
    ExpectHeardAfter(FramesToMs(now), MsSince(start));
    last = now;
  }
}

TEST_F(DeviceAudio, CaptureIsTheAudioAtThePlayPosition) {
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  Engine.ChannelPlay(h, false);
  std::vector<int16_t> buffer(1024);
  int checked = 0;
  for (int i = 0; i < 8; ++i) {
    SleepMs(30);
    int64_t before = PositionFrames(h);
    ASSERT_EQ(Engine.ChannelGetData(h, buffer.data(), 2048), 2048);
    int64_t after = PositionFrames(h);
    if (before < 512) continue;  // the start is padded with silence, which looks like frame 0
    int64_t first = FrameIndexOf(&buffer[0]);
    EXPECT_GE(first + 256, before) << "the window is centred on the heard frame";
    EXPECT_LE(first + 256, after);
    for (int f = 0; f < 512; ++f) ASSERT_EQ(FrameIndexOf(&buffer[f * 2]), first + f);
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST_F(DeviceAudio, PauseHoldsThePositionAndResumeGoesOnFromIt) {
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  Engine.ChannelPlay(h, false);
  SleepMs(150);
  ASSERT_TRUE(Engine.ChannelPause(h));
  int64_t held = PositionFrames(h);
  ExpectHeardAfter(FramesToMs(held), 150);
  SleepMs(150);
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_PAUSED);
  EXPECT_EQ(PositionFrames(h), held);
  std::vector<int16_t> buffer(24);
  ASSERT_EQ(Engine.ChannelGetData(h, buffer.data(), 48), 48);
  EXPECT_EQ(FrameIndexOf(&buffer[0]), held - 6);

  auto resumed = Clock::now();
  ASSERT_TRUE(Engine.ChannelPlay(h, false));
  SleepMs(150);
  ExpectHeardAfter(FramesToMs(PositionFrames(h) - held), MsSince(resumed));

  ASSERT_TRUE(Engine.ChannelStop(h));
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_STOPPED);
  EXPECT_EQ(PositionFrames(h), 0);
}

TEST_F(DeviceAudio, SeekWhilePlayingIsExactAndPlaysOnFromThere) {
  uint32_t h = Engine.StreamCreateFile(Stereo, AUDIO_STREAM_AUTOFREE);
  Engine.ChannelPlay(h, false);
  SleepMs(60);
  ASSERT_TRUE(Engine.ChannelSetPosition(h, 30000 * 4, AUDIO_POS_BYTE));
  auto seeked = Clock::now();
  // The device may take a buffer's worth of frames between the seek and this query.
  const int64_t afterSeek = PositionFrames(h);
  EXPECT_GE(afterSeek, 30000);
  EXPECT_LE(afterSeek, 30000 + 44100 / 20);
  EXPECT_FALSE(Engine.ChannelSetPosition(h, 44100 * 4, AUDIO_POS_BYTE));
  SleepMs(100);
  int64_t pos = PositionFrames(h);
  ExpectHeardAfter(FramesToMs(pos - 30000), MsSince(seeked));
  std::vector<int16_t> buffer(24);
  ASSERT_EQ(Engine.ChannelGetData(h, buffer.data(), 48), 48);
  EXPECT_GE(FrameIndexOf(&buffer[0]), pos - 12);
  EXPECT_LT(FrameIndexOf(&buffer[22]), pos + 44100 / 10);
}

TEST_F(DeviceAudio, TrackFreesItselfWhenItHasBeenHeardToTheEnd) {
  std::string shortFile = Dir.File("short.wav");
  ASSERT_TRUE(WriteIndexWav(shortFile, 11025, 2));  // 250 ms
  uint32_t h = Engine.StreamCreateFile(shortFile, AUDIO_STREAM_AUTOFREE);
  auto start = Clock::now();
  Engine.ChannelPlay(h, false);
  int64_t lastLength = 0;
  while (MsSince(start) < 2000 && (lastLength = Engine.ChannelGetLength(h, AUDIO_POS_BYTE)) >= 0) SleepMs(2);
  double ended = MsSince(start);
  EXPECT_EQ(lastLength, -1);
  EXPECT_GE(ended, 250 - 5);
  EXPECT_LE(ended, 250 + kLateMs);
  EXPECT_EQ(Engine.ChannelGetPosition(h, AUDIO_POS_BYTE), -1);
  EXPECT_EQ(Engine.ChannelIsActive(h), AUDIO_ACTIVE_STOPPED);
  EXPECT_FALSE(Engine.ChannelPlay(h, false));
}

TEST_F(DeviceAudio, OtherRatesAndChannelCountsPlayAtTheirOwnSpeed) {
  std::string mono = Dir.File("mono22k.wav");
  ASSERT_TRUE(WriteIndexWav(mono, 22050, 1, 22050));  // 1 s
  std::string quad = Dir.File("48k4ch.wav");
  ASSERT_TRUE(WriteSamples(quad, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 9600, 4, 48000,
                           [](int64_t f, int c) { return static_cast<int16_t>(f + c); }));  // 200 ms
  uint32_t m = Engine.StreamCreateFile(mono, AUDIO_STREAM_AUTOFREE);
  uint32_t q = Engine.StreamCreateFile(quad, AUDIO_STREAM_AUTOFREE);
  ASSERT_NE(m, 0u);
  ASSERT_NE(q, 0u);
  EXPECT_EQ(Engine.ChannelGetLength(m, AUDIO_POS_BYTE), 22050 * 2);
  EXPECT_EQ(Engine.ChannelGetLength(q, AUDIO_POS_BYTE), 9600 * 4 * 2);
  auto start = Clock::now();
  Engine.ChannelPlay(m, false);
  Engine.ChannelPlay(q, false);
  SleepMs(120);
  ExpectHeardAfter(FramesToMs(PositionFrames(m, 1), 22050), MsSince(start));
  ExpectHeardAfter(FramesToMs(PositionFrames(q, 4), 48000), MsSince(start));
  std::vector<int16_t> four(4 * 3);
  ASSERT_EQ(Engine.ChannelGetData(q, four.data(), 24), 24);
  EXPECT_EQ(four[1] - four[0], 1) << "channels stay interleaved in the stream's own layout";
  EXPECT_EQ(four[4] - four[0], 1);
  while (MsSince(start) < 1500 && Engine.ChannelGetLength(q, AUDIO_POS_BYTE) >= 0) SleepMs(5);
  EXPECT_GE(MsSince(start), 195);
  EXPECT_LE(MsSince(start), 200 + kLateMs);
  EXPECT_GE(Engine.ChannelGetLength(m, AUDIO_POS_BYTE), 0) << "the other stream plays on";
}

// The disk driver writes what the callback produced: mono float at 44.1 kHz.
TEST(DiskAudio, OutputIsTheDownmixedTrackAtItsVolume) {
  TTempDir dir;
  std::string out = dir.File("out.raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  std::string track = dir.File("steady.wav");
  ASSERT_TRUE(WriteSamples(track, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 6615, 2, 44100,
                           [](int64_t, int c) { return static_cast<int16_t>(c == 0 ? 16384 : 8192); }));
  {
    TAudioEngine engine;
    ASSERT_TRUE(engine.Init(AUDIO_DEVICE_DEFAULT, 44100, AUDIO_DEVICE_MONO));
    ASSERT_TRUE(engine.HasOutputDevice());
    ASSERT_TRUE(engine.SetVolume(0.8f));
    uint32_t h = engine.StreamCreateFile(track, AUDIO_STREAM_AUTOFREE);
    ASSERT_TRUE(engine.ChannelSetAttribute(h, AUDIO_ATTRIB_VOL, 0.5f));
    SleepMs(40);  // some silence first
    engine.ChannelPlay(h, false);
    auto start = Clock::now();
    while (MsSince(start) < 2000 && engine.ChannelGetLength(h, AUDIO_POS_BYTE) >= 0) SleepMs(5);
    SleepMs(40);
  }
  std::ifstream in(out, std::ios::binary);
  std::vector<float> samples;
  float s;
  while (in.read(reinterpret_cast<char*>(&s), sizeof s)) samples.push_back(s);
  ASSERT_GT(samples.size(), 6615u);
  const float expected = (0.5f + 0.25f) / 2 * 0.5f * 0.8f;
  size_t loud = 0;
  size_t firstLoud = samples.size();
  size_t lastLoud = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    if (samples[i] == 0.0f) continue;
    ASSERT_NEAR(samples[i], expected, 1e-4f) << i;
    ++loud;
    firstLoud = std::min(firstLoud, i);
    lastLoud = i;
  }
  EXPECT_EQ(loud, 6615u) << "every frame exactly once";
  EXPECT_EQ(lastLoud - firstLoud + 1, 6615u) << "without gaps";
  EXPECT_GT(firstLoud, 0u);
}

}  // namespace
