// AAC and ALAC through FFmpeg: frame counts, 16-bit samples and seeks exactly as libsndfile's.
#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/MpegLengthHeader.h"
#include "platform/audio/SoundContent.h"
#include "platform/audio/SoundDecoder.h"
#include "tests/unit/audio/AudioTestFiles.h"

namespace {

constexpr int64_t kFrames = 50000;  // not a multiple of any codec's block

std::string Encode(const TTempDir& dir, const std::string& wav, const std::string& name, const std::string& codec) {
  const std::string path = dir.File(name);
  return RunShell("ffmpeg -loglevel error -i " + wav + " -c:a " + codec + " " + path) ? path : std::string();
}

std::vector<int16_t> ReadFrames(ISoundDecoder& decoder, int64_t frames) {
  std::vector<int16_t> samples(static_cast<size_t>(frames * decoder.Channels()));
  samples.resize(static_cast<size_t>(decoder.Read(samples.data(), frames) * decoder.Channels()));
  return samples;
}

TEST(FfmpegDecoder, AlacGivesBackEverySampleAndSeeksToTheExactFrame) {
  TTempDir dir;
  ASSERT_TRUE(WriteIndexWav(dir.File("index.wav"), kFrames, 2));
  const std::string path = Encode(dir, dir.File("index.wav"), "index.m4a", "alac");
  ASSERT_FALSE(path.empty());
  auto decoder = OpenSoundDecoder(path);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->Channels(), 2);
  EXPECT_EQ(decoder->SampleRate(), 44100);
  ASSERT_EQ(decoder->Frames(), kFrames);
  const std::vector<int16_t> all = ReadFrames(*decoder, kFrames + 100);
  ASSERT_EQ(all.size(), static_cast<size_t>(kFrames * 2));
  for (int64_t f = 0; f < kFrames; ++f) ASSERT_EQ(FrameIndexOf(&all[static_cast<size_t>(f * 2)]), f);
  for (int64_t target : {kFrames - 1, int64_t{4095}, int64_t{4096}, int64_t{0}, int64_t{33333}}) {
    ASSERT_TRUE(decoder->Seek(target));
    const std::vector<int16_t> some = ReadFrames(*decoder, 10);
    ASSERT_FALSE(some.empty()) << target;
    EXPECT_EQ(FrameIndexOf(some.data()), target);
  }
}

// A VBR MP3 without a length header (lame -t) whose quiet start makes the bit-rate estimate far
// too short: its frames are counted, and it plays and seeks to the real end.
TEST(FfmpegDecoder, AacAndHeaderlessMp3LengthsAreCountedAndSeeksMatchPlayingThrough) {
  TTempDir dir;
  const std::string wav = SilenceThenToneWav(dir, "tone.wav", 2, 1.5);
  ASSERT_FALSE(wav.empty());
  struct TCase {
    const char* Name;
    const char* Codec;  // nullptr: made by lame
    double Slack;       // frames the counted length may be over: 0 when the file states it exactly
  };
  const std::string mp3 = dir.File("tone.mp3");
  ASSERT_TRUE(RunShell("lame --quiet -t -V 2 " + wav + " " + mp3));
  // Raw AAC states no length: its last block is counted whole. An MP3 without a header keeps the
  // encoder's and decoder's delays and its last frame's padding.
  for (const TCase& c : {TCase{"tone.m4a", "aac", 0}, TCase{"tone.aac", "aac", 2048}, TCase{"tone.mp3", nullptr, 3 * 1152},
                       TCase{"tone.mp2", "mp2", 2 * 1152}}) {
    SCOPED_TRACE(c.Name);
    const std::string path = c.Codec ? Encode(dir, wav, c.Name, c.Codec) : mp3;
    ASSERT_FALSE(path.empty());
    auto decoder = OpenSoundDecoder(path);
    ASSERT_NE(decoder, nullptr);
    if (c.Slack == 0) EXPECT_EQ(decoder->Frames(), 66150);
    else EXPECT_NEAR(static_cast<double>(decoder->Frames()), 66150 + c.Slack / 2, c.Slack / 2);
    const std::vector<int16_t> through = ReadFrames(*decoder, decoder->Frames());
    ASSERT_EQ(static_cast<int64_t>(through.size()), decoder->Frames() * 2) << "every announced frame decodes";
    EXPECT_LT(PeakOf(through.data(), 2 * 30000), 300) << "silent first half";
    EXPECT_GT(PeakOf(through.data() + 2 * 40000, 2 * 1000), 20000) << "loud second half";
    for (int64_t target : {int64_t{40000}, int64_t{1}, int64_t{1024}, int64_t{9000}, int64_t{50001}, decoder->Frames() - 5}) {
      ASSERT_TRUE(decoder->Seek(target));
      const std::vector<int16_t> some = ReadFrames(*decoder, 5);
      ASSERT_EQ(some.size(), 10u) << target;
      EXPECT_TRUE(std::equal(some.begin(), some.end(), through.begin() + target * 2)) << target;
    }
  }
}

// Which MP3s state their length: found behind an ID3v2 tag, in mono and in MPEG-2 frames.
TEST(FfmpegDecoder, Mp3LengthHeadersAreFoundWhereLameWritesThem) {
  TTempDir dir;
  const std::string wav = SilenceThenToneWav(dir, "tone.wav", 2, 0.5);
  ASSERT_FALSE(wav.empty());
  struct TCase {
    const char* LameOptions;
    bool StatesLength;
  };
  const TCase cases[] = {{"", true},
                         {"-V 2", true},
                         {"-m m", true},
                         {"-m m --resample 22.05 -b 64", true},
                         {"--resample 16 -V 4", true},
                         {"--id3v2-only --tt Title -V 2", true},
                         {"-t", false},
                         {"-t -V 2 --id3v2-only --tt Title", false},
                         {"-t -m m --resample 22.05", false}};
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.LameOptions);
    const std::string mp3 = dir.File("case" + std::to_string(n++) + ".mp3");
    ASSERT_TRUE(RunShell("lame --quiet " + std::string(c.LameOptions) + " " + wav + " " + mp3));
    EXPECT_EQ(MpegFileStatesLength(mp3), c.StatesLength);
  }
  EXPECT_FALSE(MpegFileStatesLength(dir.File("missing.mp3")));
}

TEST(FfmpegDecoder, OtherContentIsRefused) {
  TTempDir dir;
  ASSERT_TRUE(WriteIndexWav(dir.File("index.wav"), 1000, 1));
  const std::string mp4 = dir.File("video.mp4");
  ASSERT_TRUE(RunShell("ffmpeg -loglevel error -f lavfi -i color=c=black:s=32x32:d=0.2 -c:v mpeg4 " + mp4));
  EXPECT_EQ(OpenSoundDecoder(mp4), nullptr) << "an MP4 without sound";
  EXPECT_NE(OpenSoundDecoder(dir.File("index.wav")), nullptr);
}

TEST(SoundContent, IsToldByTheFirstBytes) {
  struct TCase {
    std::vector<uint8_t> Head;
    ESoundContent Content;
  };
  auto bytes = [](const char* text, size_t size) { return std::vector<uint8_t>(text, text + size); };
  const TCase cases[] = {
      {bytes("RIFF\0\0\0\0WAVE", 12), ESoundContent::Wave},
      {bytes("RIFF\0\0\0\0AVI ", 12), ESoundContent::Unknown},
      {bytes("FORM\0\0\0\0AIFC", 12), ESoundContent::Aiff},
      {bytes("OggS\0\2", 6), ESoundContent::Ogg},
      {bytes("fLaC", 4), ESoundContent::Flac},
      {bytes("ID3\4\0", 5), ESoundContent::Mpeg},
      {{0xFF, 0xFB, 0x90, 0x64}, ESoundContent::Mpeg},  // MPEG-1 layer III, 128 kbit/s
      {{0xFF, 0xFB, 0xF0, 0x64}, ESoundContent::Unknown},  // bit rate index 15 is invalid
      {{0xFF, 0xF1, 0x50, 0x80}, ESoundContent::Adts},
      {bytes("\0\0\0\x20" "ftypM4A ", 12), ESoundContent::Mp4},
      {bytes("#EXTM3U\n", 8), ESoundContent::Unknown},
      {bytes("RIF", 3), ESoundContent::Unknown},
      {{}, ESoundContent::Unknown},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(SniffSoundContent(c.Head.data(), c.Head.size()), c.Content)
        << std::string(c.Head.begin(), c.Head.end());
  }
}

}  // namespace
