#pragma once
// Time source of the silent playback path. Injectable so tests can step time by hand.
#include <atomic>
#include <chrono>
#include <cstdint>

class IAudioClock {
 public:
  virtual ~IAudioClock() = default;
  // Monotonic time in nanoseconds; only differences matter.
  virtual int64_t NowNs() const = 0;
};

class TSteadyAudioClock final : public IAudioClock {
 public:
  int64_t NowNs() const override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// Stands still until told to move.
class TManualAudioClock final : public IAudioClock {
 public:
  int64_t NowNs() const override { return Now.load(); }
  void AdvanceNs(int64_t ns) { Now.fetch_add(ns); }
  void AdvanceMs(int64_t ms) { AdvanceNs(ms * 1000000); }

 private:
  std::atomic<int64_t> Now{0};
};
