#pragma once
// Single-producer single-consumer ring of float frames between the decoder thread and the
// output callback. Positions are running frame counts, so the consumer's count is also the
// number of frames played since the last Reset.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

class TFrameRing {
 public:
  TFrameRing(int64_t capacityFrames, int channels)
      : FData(static_cast<size_t>(capacityFrames * channels)), FCapacity(capacityFrames), FChannels(channels) {}

  int64_t Capacity() const { return FCapacity; }
  int Channels() const { return FChannels; }
  int64_t ReadPos() const { return FRead.load(std::memory_order_acquire); }
  int64_t Available() const { return FWrite.load(std::memory_order_acquire) - FRead.load(std::memory_order_acquire); }
  int64_t Free() const { return FCapacity - Available(); }

  // Producer: appends up to `frames` frames; returns how many fitted.
  int64_t Write(const float* src, int64_t frames) {
    int64_t w = FWrite.load(std::memory_order_relaxed);
    frames = std::min(frames, FCapacity - (w - FRead.load(std::memory_order_acquire)));
    for (int64_t done = 0; done < frames;) {
      int64_t at = (w + done) % FCapacity;
      int64_t n = std::min(frames - done, FCapacity - at);
      std::copy_n(src + done * FChannels, n * FChannels, FData.data() + at * FChannels);
      done += n;
    }
    FWrite.store(w + frames, std::memory_order_release);
    return frames;
  }

  // Consumer: adds up to `frames` frames scaled by gain onto dst; returns how many were read.
  int64_t ReadAdd(float* dst, int64_t frames, float gain) {
    int64_t r = FRead.load(std::memory_order_relaxed);
    frames = std::min(frames, FWrite.load(std::memory_order_acquire) - r);
    for (int64_t done = 0; done < frames;) {
      int64_t at = (r + done) % FCapacity;
      int64_t n = std::min(frames - done, FCapacity - at);
      const float* src = FData.data() + at * FChannels;
      float* out = dst + done * FChannels;
      for (int64_t i = 0; i < n * FChannels; ++i) out[i] += src[i] * gain;
      done += n;
    }
    FRead.store(r + frames, std::memory_order_release);
    return frames;
  }

  // Only while neither side runs (the caller holds both the decoder's and the device's lock).
  void Reset() {
    FRead.store(0);
    FWrite.store(0);
  }

 private:
  std::vector<float> FData;
  int64_t FCapacity;
  int FChannels;
  std::atomic<int64_t> FRead{0};
  std::atomic<int64_t> FWrite{0};
};
