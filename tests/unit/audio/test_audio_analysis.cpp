#include <gtest/gtest.h>

#include "player/AudioAnalysis.h"

namespace {
uint32_t Entry(int16_t low, int16_t high) {
  return static_cast<uint16_t>(low) | (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16);
}
}  // namespace

TEST(AudioAnalysis, SilenceIsZero) {
  EXPECT_EQ(SampleLevel(0), 0.0f);
  EXPECT_EQ(SampleValue(0), 0.0f);
}

TEST(AudioAnalysis, FullScaleExtremes) {
  EXPECT_EQ(SampleValue(Entry(32767, 32767)), static_cast<float>(65534.0L / 131070.0L));
  EXPECT_EQ(SampleLevel(Entry(32767, 32767)), static_cast<float>(65534.0L / 131070.0L));
  EXPECT_NEAR(SampleValue(Entry(32767, 32767)), 0.4999924f, 1e-7f);
  EXPECT_EQ(SampleValue(Entry(-32768, -32768)), static_cast<float>(-65536.0L / 131070.0L));
  EXPECT_NEAR(SampleValue(Entry(-32768, -32768)), -0.5000076f, 1e-7f);
  EXPECT_EQ(SampleLevel(Entry(-32768, -32768)), static_cast<float>(65536.0L / 131070.0L));
}

TEST(AudioAnalysis, MinusOneReadsAsFullLevel) {
  EXPECT_EQ(SampleLevel(Entry(-1, -1)), 1.0f);
  EXPECT_EQ(SampleValue(Entry(-1, -1)), static_cast<float>(-2.0L / 131070.0L));
}

TEST(AudioAnalysis, HalvesAreLowBitsFirstAndSummed) {
  // Only the low half set, then only the high half: the sum does not care which.
  EXPECT_EQ(SampleValue(Entry(1000, 0)), SampleValue(Entry(0, 1000)));
  EXPECT_EQ(SampleValue(Entry(1000, -1000)), 0.0f);
  EXPECT_EQ(SampleLevel(0x0000FFFFu), static_cast<float>(65535.0L / 131070.0L));
  EXPECT_EQ(SampleValue(0x00007FFFu), static_cast<float>(32767.0L / 131070.0L));
  EXPECT_EQ(SampleValue(0x80000000u), static_cast<float>(-32768.0L / 131070.0L));
}
