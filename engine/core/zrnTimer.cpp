#include "engine/core/zrnTimer.h"

#include <chrono>

namespace {
int64_t SteadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

TZRNTimer::TZRNTimer() : TZRNTimer(SteadyNanoseconds, 1000000000) {}

TZRNTimer::TZRNTimer(CounterFn counter, int64_t frequency) : Frequency(frequency), ReadCounter(std::move(counter)) {
  StartCounter = ReadCounter();
  StartTime = GetTime();
  LastTime = StartTime;
  RateTime = 0;
}

double TZRNTimer::GetTime() {
  Counter = ReadCounter();
  const long double ticks = static_cast<long double>(Counter - StartCounter);
  return static_cast<double>(ticks / static_cast<long double>(Frequency));
}

void TZRNTimer::Update() {
  const double t = GetTime();
  FrameTime = t - LastTime;
  RateFrames += 1;
  RateTime += FrameTime;
  if (RateTime > 0.5) {
    FrameRate = static_cast<int32_t>(RateFrames / RateTime);
    RateFrames = 0;
    RateTime = 0;
  }
  LastTime = t;
  FrameCount += 1;
}

double TZRNTimer::Interval(bool reset) {
  const double d = GetTime() - IntervalMark;
  if (reset) IntervalMark = GetTime();
  return d;
}
