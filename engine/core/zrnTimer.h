#pragma once
// Frame timer: frame time, a frames-per-second figure refreshed about twice a second, a stopwatch.
#include <cstdint>
#include <functional>

class TZRNTimer {
 public:
  using CounterFn = std::function<int64_t()>;
  // Default: std::chrono::steady_clock in nanoseconds. Tests inject a hand-stepped counter.
  TZRNTimer();
  TZRNTimer(CounterFn counter, int64_t frequency);

  double GetTime();
  void Update();
  double Interval(bool reset);

  double StartTime = 0;
  double LastTime = 0;
  double FrameTime = 0;
  int32_t FrameRate = 0;
  int64_t FrameCount = 0;
  double RateTime = 0;
  int32_t RateFrames = 0;
  double IntervalMark = 0;
  int64_t Frequency = 0;
  int64_t Counter = 0;
  int64_t StartCounter = 0;

 private:
  CounterFn ReadCounter;
};
