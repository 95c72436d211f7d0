#pragma once
// The repeat gate shared by every hot key. It measures time, not frames, so a held key repeats at
// the same pace whatever the frame rate: 13 frames' worth at 60 Hz.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

class THotKeyGate {
 public:
  using Clock = std::function<int64_t()>;  // monotonic nanoseconds

  // 13 frames at 60 Hz, less half a frame so that jitter at 60 Hz never costs a 14th frame.
  static constexpr int64_t ShutNanoseconds = 1'000'000'000LL * 25 / 120;

  explicit THotKeyGate(Clock clock = SteadyNanoseconds) : Now(std::move(clock)) {}

  // Reads the clock once per handler pass: every key in a pass sees the same moment.
  void BeginPass() { PassTime = Now(); }
  bool Open() const { return !LastAction || PassTime - *LastAction >= ShutNanoseconds; }
  void Acted() { LastAction = PassTime; }
  bool EverActed() const { return LastAction.has_value(); }

 private:
  static int64_t SteadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  Clock Now;
  int64_t PassTime = 0;
  std::optional<int64_t> LastAction;
};
