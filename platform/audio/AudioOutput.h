#pragma once
// The output: mixes the attached streams in a fixed float format for whichever sink is active
// and keeps the timing that sink reports, so that positions mean the frame leaving the speaker.
// The sound server is preferred; when it goes away mid-play a clock takes over at once and the
// server is tried again every second. Rendering never decodes, allocates, does I/O or waits on
// a decoder's lock.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/AudioClock.h"
#include "platform/audio/OutputSink.h"
#include "platform/audio/OutputTiming.h"

class TAudioFileStream;
class TPulseSink;

class TAudioOutput {
 public:
  // nullptr (and the reason in `error`) when no output can be opened.
  static std::unique_ptr<TAudioOutput> Open(int rate, int channels, std::string& error);
  ~TAudioOutput();
  TAudioOutput(const TAudioOutput&) = delete;
  TAudioOutput& operator=(const TAudioOutput&) = delete;

  int Rate() const { return FRate; }
  int Channels() const { return FChannels; }
  bool OnSoundServer() const { return FOnServer.load(); }

  void Attach(TAudioFileStream* stream);
  void Detach(TAudioFileStream* stream);
  void SetMasterVolume(float volume) { FMaster.store(volume); }

  // Rendering does not run while a lock is held.
  class TLock {
   public:
    explicit TLock(const TAudioOutput& output) : FGuard(output.FMixMutex) {}

   private:
    std::lock_guard<std::mutex> FGuard;
  };

  // Runs `read` so that every value rendering and timing reports write comes from between the
  // same two of them. Spins only while one runs.
  template <class F>
  void Snapshot(F&& read) const {
    for (;;) {
      uint32_t before = FSequence.load();
      if (before & 1u) {
        std::this_thread::yield();
        continue;
      }
      read();
      if (FSequence.load() == before) return;
    }
  }

  // Inside Snapshot: the output frame heard now.
  int64_t HeardFrameNow() const;
  // The latency in use now, in microseconds.
  int64_t LatencyUsNow() const;
  int64_t NowNs() const { return FClock.NowNs(); }
  int64_t Written() const { return FWritten.load(); }

  // Sinks only. Fills `out` with the next `frames` frames (silence unless sink `id` is the
  // active one) and returns the output frame the buffer starts at.
  int64_t Render(int id, float* out, int frames);
  // The active sink's news of when its frames are heard; others are ignored.
  void Report(int id, TOutputTiming timing);
  // The same from a latency behind the newest frame written.
  void ReportLatency(int id, int64_t latencyUs, int64_t nowNs);
  // Wakes the supervisor at once when a sink fails.
  void SinkFailed();

 private:
  TAudioOutput(int rate, int channels) : FRate(rate), FChannels(channels) {}
  // Makes sink `id` the one that renders; the heard frame does not go back at the change.
  void SwitchTo(int id);
  void Keep(std::unique_ptr<IOutputSink> sink);
  bool WaitUntilPlaying(const TPulseSink& server);
  void Supervise();

  const int FRate;
  const int FChannels;
  mutable std::mutex FMixMutex;
  std::vector<TAudioFileStream*> FStreams;  // changed only under TLock
  std::atomic<float> FMaster{1.0f};
  std::atomic<uint32_t> FSequence{0};
  std::atomic<int> FActive{0};
  std::atomic<int64_t> FWritten{0};
  std::atomic<int64_t> FHeard{0};
  std::atomic<int64_t> FHeardAtNs{0};
  std::atomic<int64_t> FHeardFloor{0};
  std::atomic<bool> FOnServer{false};
  TSteadyAudioClock FClock;

  // The supervisor owns the sink once it runs.
  std::unique_ptr<IOutputSink> FSink;
  int FLastId = 0;
  bool FServerAllowed = false;
  std::mutex FWakeMutex;
  std::condition_variable FWake;
  bool FWakeRequested = false;
  bool FQuit = false;
  std::thread FSupervisor;
};
