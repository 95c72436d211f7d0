#pragma once
// Time source of the silent playback path. Injectable so tests can step time by hand.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

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

// Steady time that leaves out the spans the process was stopped (SIGSTOP, Ctrl+Z): a listener
// hears nothing while it is, so the silent position must not move either. A stop is known by the
// SIGCONT that ends it; the span from the previous reading to the continuation is left out, so
// the error is at most the time between two readings.
class TRunningAudioClock final : public IAudioClock {
 public:
  TRunningAudioClock();
  int64_t NowNs() const override;

 private:
  TSteadyAudioClock FSteady;
  mutable std::mutex FMutex;
  mutable int64_t FLastRaw = 0;
  mutable int64_t FStopped = 0;
  mutable uint64_t FContinuesSeen = 0;
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
