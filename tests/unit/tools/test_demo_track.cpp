#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct DecodedTrack {
  SF_INFO Info{};
  std::vector<short> Samples;  // interleaved
};

DecodedTrack Decode(const std::string& path) {
  DecodedTrack track;
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &track.Info);
  if (!file) return track;
  track.Samples.resize(static_cast<size_t>(track.Info.frames) * track.Info.channels);
  sf_count_t got = sf_readf_short(file, track.Samples.data(), track.Info.frames);
  track.Samples.resize(static_cast<size_t>(got) * track.Info.channels);
  sf_close(file);
  return track;
}

const DecodedTrack& DemoTrack() {
  static const DecodedTrack track = Decode(std::string(SNV_BINARY_DIR) + "/demo.ogg");
  return track;
}

}  // namespace

TEST(DemoTrack, IsA45SecondStereoOggVorbisAt44100) {
  const DecodedTrack& t = DemoTrack();
  ASSERT_FALSE(t.Samples.empty()) << "build/demo.ogg is missing or unreadable";
  EXPECT_EQ(t.Info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_OGG);
  EXPECT_EQ(t.Info.format & SF_FORMAT_SUBMASK, SF_FORMAT_VORBIS);
  EXPECT_EQ(t.Info.channels, 2);
  EXPECT_EQ(t.Info.samplerate, 44100);
  double seconds = static_cast<double>(t.Info.frames) / t.Info.samplerate;
  EXPECT_NEAR(seconds, 45.0, 1.0);

  // The container carries a fixed serial number (bytes 14..17 of the first page) so that every
  // build writes the same bytes; decoding above proves the rewritten page checksums are valid.
  std::ifstream in(std::string(SNV_BINARY_DIR) + "/demo.ogg", std::ios::binary);
  char head[18] = {};
  in.read(head, sizeof head);
  EXPECT_EQ(std::string(head, 4), "OggS");
  EXPECT_EQ(std::string(head + 14, 4), "1VNS");
}

// The visualizations test raw 16-bit sums against fixed thresholds: the peaks must come near full
// scale on both channels at once, but a limiter, not hard clipping, must keep them there.
TEST(DemoTrack, PeaksNearFullScaleOnBothChannelsWithoutClipping) {
  const DecodedTrack& t = DemoTrack();
  ASSERT_EQ(t.Info.channels, 2);
  size_t frames = t.Samples.size() / 2;
  ASSERT_GT(frames, 0u);
  int peak = 0;
  double bestFrameSum = 0.0;
  size_t clipped = 0;
  size_t loudPositive = 0;  // frames whose signed sum reads above 0.3 the way the spiral does
  for (size_t i = 0; i < frames; ++i) {
    int l = t.Samples[2 * i], r = t.Samples[2 * i + 1];
    peak = std::max({peak, std::abs(l), std::abs(r)});
    bestFrameSum = std::max(bestFrameSum, (std::abs(l) + std::abs(r)) / 65534.0);
    clipped += (std::abs(l) >= 32767) + (std::abs(r) >= 32767);
    if ((l + r) / 131070.0 > 0.3) ++loudPositive;
  }
  EXPECT_GE(peak, static_cast<int>(0.88 * 32767)) << "normalised too quietly";
  EXPECT_GE(bestFrameSum, 0.8) << "no frame is loud on both channels at once";
  EXPECT_LT(static_cast<double>(clipped) / t.Samples.size(), 1e-4) << "too many clipped samples";
  EXPECT_GT(loudPositive, 1000u);
  // A DC offset would shift every level the visualizations read.
  double sum = 0.0;
  for (short s : t.Samples) sum += s;
  EXPECT_LT(std::abs(sum / t.Samples.size()), 0.01 * 32767);
}

// Beats: the short-time energy must pulse, roughly twice a second (120 BPM), over most of the track.
TEST(DemoTrack, HasRegularBeatsAndQuieterSections) {
  const DecodedTrack& t = DemoTrack();
  ASSERT_EQ(t.Info.channels, 2);
  const size_t window = static_cast<size_t>(t.Info.samplerate / 50);  // 20 ms
  std::vector<double> energy;
  for (size_t start = 0; start + window <= t.Samples.size() / 2; start += window) {
    double e = 0.0;
    for (size_t i = start; i < start + window; ++i) {
      double m = (t.Samples[2 * i] + t.Samples[2 * i + 1]) / 65536.0;
      e += m * m;
    }
    energy.push_back(e / window);
  }
  ASSERT_GT(energy.size(), 2000u);
  size_t onsets = 0;
  size_t lastOnset = 0;
  std::vector<size_t> gaps;
  for (size_t i = 2; i < energy.size(); ++i) {
    if (energy[i] > 2.5 * energy[i - 2] && energy[i] > 1e-3 && i - lastOnset >= 10) {
      if (lastOnset) gaps.push_back(i - lastOnset);
      lastOnset = i;
      ++onsets;
    }
  }
  EXPECT_GE(onsets, 40u) << "too few clear beats";
  ASSERT_FALSE(gaps.empty());
  std::sort(gaps.begin(), gaps.end());
  size_t medianGap = gaps[gaps.size() / 2];
  EXPECT_NEAR(static_cast<double>(medianGap), 25.0, 3.0) << "beats are not half a second apart";

  // Sections differ: the loudest second is much louder than the quietest one (intro, breakdown).
  std::vector<double> perSecond;
  for (size_t s = 0; s + 50 <= energy.size(); s += 50) {
    double e = 0.0;
    for (size_t i = s; i < s + 50; ++i) e += energy[i];
    perSecond.push_back(e);
  }
  auto [lo, hi] = std::minmax_element(perSecond.begin(), perSecond.end() - 1);
  EXPECT_GT(*hi, 3.0 * *lo);
}
