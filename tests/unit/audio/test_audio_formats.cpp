// Every format the player offers, made with the usual command-line encoders, decoded for real.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/audio/AudioEngine.h"
#include "tests/unit/audio/AudioTestFiles.h"

namespace {

struct TFormat {
  const char* Name;
  const char* Extension;
  int Channels;
  const char* Encode;  // shell command; $IN is a 16-bit WAV, $OUT the file to make
};

std::ostream& operator<<(std::ostream& os, const TFormat& f) { return os << f.Name; }

const TFormat kFormats[] = {
    {"wav_stereo", "wav", 2, "cp $IN $OUT"},
    {"wav_mono", "wav", 1, "cp $IN $OUT"},
    {"mp3_stereo", "mp3", 2, "lame --quiet $IN $OUT"},
    {"mp3_mono", "mp3", 1, "lame --quiet $IN $OUT"},
    {"ogg_stereo", "ogg", 2, "oggenc -Q $IN -o $OUT"},
    {"ogg_mono", "ogg", 1, "oggenc -Q $IN -o $OUT"},
    {"flac_stereo", "flac", 2, "sox $IN $OUT"},
    {"flac_mono", "flac", 1, "sox $IN $OUT"},
    {"aiff_stereo", "aiff", 2, "sox $IN $OUT"},
    {"m4a_aac_stereo", "m4a", 2, "ffmpeg -loglevel error -i $IN -c:a aac $OUT"},
    {"m4a_alac_mono", "m4a", 1, "ffmpeg -loglevel error -i $IN -c:a alac $OUT"},
    // Told by content, whatever the name says.
    {"ogg_named_oga", "oga", 2, "oggenc -Q $IN -o $OUT"},
    {"mp3_upper_case", "MP3", 2, "lame --quiet $IN $OUT"},
    {"m4a_named_mp3", "mp3", 2, "ffmpeg -loglevel error -i $IN -c:a aac -f ipod $OUT"},
    {"flac_no_extension", "", 1, "sox $IN -t flac $OUT"},
};

std::string Substitute(std::string text, const std::string& key, const std::string& value) {
  for (size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
  return text;
}

class FormatDecoding : public ::testing::TestWithParam<TFormat> {
 protected:
  void SetUp() override {
    const TFormat& format = GetParam();
    std::string wav = SilenceThenToneWav(Dir, "source.wav", format.Channels);
    ASSERT_FALSE(wav.empty());
    Path = Dir.File(*format.Extension ? std::string("track.") + format.Extension : std::string("track"));
    ASSERT_TRUE(RunShell(Substitute(Substitute(format.Encode, "$IN", wav), "$OUT", Path)));
    ASSERT_TRUE(Engine.Init(AUDIO_DEVICE_NONE, 44100, AUDIO_DEVICE_MONO));
  }
  int Peak(uint32_t h) {
    std::vector<int16_t> samples(1024);
    EXPECT_EQ(Engine.ChannelGetData(h, samples.data(), 2048), 2048);
    return PeakOf(samples.data(), samples.size());
  }

  TTempDir Dir;
  std::string Path;
  std::shared_ptr<TManualAudioClock> Clock = std::make_shared<TManualAudioClock>();
  TAudioEngine Engine{Clock};
};

TEST_P(FormatDecoding, ExactLengthAndTheRightHalfAtEachPosition) {
  const int channels = GetParam().Channels;
  uint32_t h = Engine.StreamCreateFile(Path, AUDIO_STREAM_AUTOFREE);
  ASSERT_NE(h, 0u);
  ASSERT_EQ(Engine.ChannelGetLength(h, AUDIO_POS_BYTE), 44100 * channels * 2);
  ASSERT_TRUE(Engine.ChannelPlay(h, false));
  Clock->AdvanceMs(250);
  EXPECT_LT(Peak(h), 300) << "silent half";
  Clock->AdvanceMs(500);
  EXPECT_GT(Peak(h), 20000) << "tone half";
  // Seeks back and forth land on the right half, decoding exactly from there.
  ASSERT_TRUE(Engine.ChannelSetPosition(h, 11025 * channels * 2, AUDIO_POS_BYTE));
  EXPECT_EQ(Engine.ChannelGetPosition(h, AUDIO_POS_BYTE), 11025 * channels * 2);
  EXPECT_LT(Peak(h), 300);
  ASSERT_TRUE(Engine.ChannelSetPosition(h, 40000 * channels * 2, AUDIO_POS_BYTE));
  EXPECT_GT(Peak(h), 20000);
  Clock->AdvanceMs(100);
  EXPECT_EQ(Engine.ChannelGetLength(h, AUDIO_POS_BYTE), -1) << "ended and freed";
}

INSTANTIATE_TEST_SUITE_P(AllFormats, FormatDecoding, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.Name); });

// Opus in Ogg always decodes at 48 kHz, so it also takes the resampling path.
TEST(OpusDecoding, PlaysThroughTheDeviceAndFreesItself) {
  TTempDir dir;
  std::string path = dir.File("track.ogg");
  const double kTwoPi = 6.283185307179586;
  ASSERT_TRUE(WriteSamples(path, SF_FORMAT_OGG | SF_FORMAT_OPUS, 14400, 2, 48000, [&](int64_t f, int) {
    return static_cast<int16_t>(f < 7200 ? 0 : 26000 * std::sin(kTwoPi * 440 * f / 48000));
  }));  // 300 ms
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TAudioEngine engine;
  ASSERT_TRUE(engine.Init(AUDIO_DEVICE_DEFAULT, 44100, AUDIO_DEVICE_MONO));
  uint32_t h = engine.StreamCreateFile(path, AUDIO_STREAM_AUTOFREE);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(engine.ChannelGetLength(h, AUDIO_POS_BYTE), 14400 * 4);
  engine.ChannelPlay(h, false);
  std::vector<int16_t> samples(1024);
  int loudest = 0;
  auto start = std::chrono::steady_clock::now();
  while (engine.ChannelGetData(h, samples.data(), 2048) == 2048 &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
    int64_t position = engine.ChannelGetPosition(h, AUDIO_POS_BYTE) / 4;
    int peak = PeakOf(samples.data(), samples.size());
    if (position > 0 && position < 7200 - 600) {
      EXPECT_LT(peak, 1000) << position;
    }
    loudest = std::max(loudest, peak);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GT(loudest, 20000);
  EXPECT_EQ(engine.ChannelGetLength(h, AUDIO_POS_BYTE), -1);
}

}  // namespace
