#include "platform/audio/OutputTiming.h"

#include <algorithm>

namespace {
constexpr int64_t kNsPerSecond = 1000000000;
constexpr int64_t kUsPerSecond = 1000000;
}  // namespace

TOutputTiming TimingFromLatency(int64_t writtenFrames, int64_t latencyUs, int rate, int64_t nowNs) {
  int64_t latencyFrames = std::max<int64_t>(0, latencyUs) * rate / kUsPerSecond;
  return {writtenFrames - latencyFrames, nowNs};
}

int64_t HeardOutputFrame(const TOutputTiming& timing, int64_t nowNs, int rate, int64_t writtenFrames) {
  if (timing.AtNs == 0) return std::min<int64_t>(0, writtenFrames);
  int64_t moved = std::max<int64_t>(0, nowNs - timing.AtNs) * rate / kNsPerSecond;
  return std::max(timing.HeardFrame, std::min(timing.HeardFrame + moved, writtenFrames));
}

int64_t LatencyUsOf(int64_t writtenFrames, int64_t heardFrame, int rate) {
  if (rate <= 0) return 0;
  return std::max<int64_t>(0, writtenFrames - heardFrame) * kUsPerSecond / rate;
}
