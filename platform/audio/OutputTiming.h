#pragma once
// Arithmetic that turns what an output reports about its latency into the frame the listener
// hears now, and that frame into a stream position and a capture window. Pure functions, so
// they can be checked with made-up values.
#include <cstdint>

// Output frames count every frame the active output has been given since it opened.
struct TOutputTiming {
  int64_t HeardFrame = 0;  // the output frame leaving the speaker at AtNs
  int64_t AtNs = 0;        // 0: nothing reported yet
};

// What an output with `latencyUs` between its newest written frame and the speaker reports.
TOutputTiming TimingFromLatency(int64_t writtenFrames, int64_t latencyUs, int rate, int64_t nowNs);

// The frame heard at nowNs: the report moved on in real time, but never past what was written
// (an output that stalls stops there) nor back before the report.
int64_t HeardOutputFrame(const TOutputTiming& timing, int64_t nowNs, int rate, int64_t writtenFrames);

// Frames between the newest written and the heard one, in microseconds.
int64_t LatencyUsOf(int64_t writtenFrames, int64_t heardFrame, int rate);

// One output buffer's worth of one stream: the stream's ring frames [RingStart, RingStart +
// Frames) went out as output frames [OutputStart, OutputStart + Frames).
struct TMixRecord {
  int64_t OutputStart = 0;
  int64_t RingStart = 0;
  int64_t Frames = 0;
};

// The stream's ring frames heard by output frame `heard`, given `count` records that
// recordAt(0..count-1) returns oldest first. Before the oldest record: its start (history that
// no longer reaches that far back). With no records (nothing mixed since the ring was reset): 0.
template <class RecordAt>
int64_t HeardRingFrame(RecordAt&& recordAt, int64_t count, int64_t heard) {
  if (count <= 0) return 0;
  // The newest record that started at or before `heard`.
  int64_t lo = 0;
  int64_t hi = count - 1;
  TMixRecord first = recordAt(0);
  if (heard < first.OutputStart) return first.RingStart;
  while (lo < hi) {
    int64_t mid = (lo + hi + 1) / 2;
    if (recordAt(mid).OutputStart <= heard)
      lo = mid;
    else
      hi = mid - 1;
  }
  TMixRecord r = recordAt(lo);
  int64_t into = heard - r.OutputStart;
  return r.RingStart + (into < r.Frames ? into : r.Frames);
}

// The first frame of a capture of `frames` frames centred on the heard frame.
inline int64_t CaptureWindowStart(int64_t heardFrame, int64_t frames) { return heardFrame - frames / 2; }
