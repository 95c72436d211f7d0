// From an output's reported latency to the frame heard now and the captured window around it.
#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/OutputTiming.h"

namespace {
constexpr int kRate = 44100;
constexpr int64_t kMs = 1000000;
}  // namespace

TEST(OutputTiming, HeardFrameFollowsTheReportedLatencyInRealTime) {
  struct Case {
    const char* what;
    int64_t written, latencyUs, reportNs, nowNs, writtenNow, heard;
  };
  const Case cases[] = {
      {"at the report: written minus latency", 44100, 40000, 5 * kMs, 5 * kMs, 44100, 44100 - 1764},
      {"a Bluetooth-sized latency", 441000, 250000, kMs, kMs, 441000, 441000 - 11025},
      {"10 ms later it moved on 441 frames", 44100, 40000, 5 * kMs, 15 * kMs, 44541, 44100 - 1764 + 441},
      {"never past the frames written (a stalled output)", 44100, 10000, kMs, 1000 * kMs, 44100, 44100},
      {"a clock that went back does not move it back", 44100, 10000, 9 * kMs, 2 * kMs, 44100, 44100 - 441},
      {"a negative latency counts as none", 1000, -5000, kMs, kMs, 1000, 1000},
  };
  for (const Case& c : cases) {
    TOutputTiming t = TimingFromLatency(c.written, c.latencyUs, kRate, c.reportNs);
    int64_t heard = HeardOutputFrame(t, c.nowNs, kRate, c.writtenNow);
    EXPECT_EQ(heard, c.heard) << c.what;
    if (c.latencyUs >= 0 && c.nowNs == c.reportNs && c.heard < c.written) {
      EXPECT_NEAR(LatencyUsOf(c.writtenNow, heard, kRate), c.latencyUs, 23) << c.what;
    }
  }
  EXPECT_EQ(HeardOutputFrame(TOutputTiming{}, 5 * kMs, kRate, 4096), 0) << "nothing heard before any report";
}

TEST(OutputTiming, HeardRingFrameMapsOutputFramesThroughTheMixes) {
  // The stream started at output frame 1000, missed the buffer at 1512 (ring empty), then got
  // only 100 of 512 frames at 2024 (its end).
  const std::vector<TMixRecord> mixes = {{1000, 0, 512}, {2024, 512, 100}};
  auto at = [&](int64_t i) { return mixes[static_cast<size_t>(i)]; };
  struct Case {
    int64_t heard, ring;
  };
  const Case cases[] = {{0, 0}, {999, 0}, {1000, 0}, {1300, 300}, {1511, 511}, {1800, 512},
                        {2024, 512}, {2100, 588}, {2124, 612}, {9000, 612}};
  for (const Case& c : cases) EXPECT_EQ(HeardRingFrame(at, 2, c.heard), c.ring) << "heard " << c.heard;
  EXPECT_EQ(HeardRingFrame(at, 0, 5000), 0) << "no mixes since the ring was reset";
  // History that no longer reaches back to the heard frame: the oldest known start.
  const std::vector<TMixRecord> late = {{5000, 7000, 256}};
  EXPECT_EQ(HeardRingFrame([&](int64_t) { return late[0]; }, 1, 100), 7000);
}

TEST(OutputTiming, CaptureWindowIsCentredOnTheHeardFrame) {
  struct Case {
    int64_t heard, frames, first;
  };
  const Case cases[] = {{10000, 1024, 9488}, {10000, 24, 9988}, {100, 1024, -412}, {0, 1, 0}};
  for (const Case& c : cases) {
    int64_t first = CaptureWindowStart(c.heard, c.frames);
    EXPECT_EQ(first, c.first);
    EXPECT_LE(first, c.heard);
    EXPECT_GT(first + c.frames, c.heard) << "the window holds the heard frame";
  }
}
