#pragma once
// The output device, opened through SDL's audio subsystem in a fixed float format. Its callback
// mixes the attached streams from their rings; it never decodes, allocates, does I/O or waits
// on a decoder's lock.
#include <SDL2/SDL_audio.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/AudioClock.h"

class TAudioFileStream;

class TAudioOutput {
 public:
  // nullptr (and the reason in `error`) when no device can be opened.
  static std::unique_ptr<TAudioOutput> Open(int rate, int channels, std::string& error);
  ~TAudioOutput();
  TAudioOutput(const TAudioOutput&) = delete;
  TAudioOutput& operator=(const TAudioOutput&) = delete;

  int Rate() const { return FRate; }
  int Channels() const { return FChannels; }
  int BufferFrames() const { return FBufferFrames; }

  void Attach(TAudioFileStream* stream);
  void Detach(TAudioFileStream* stream);
  void SetMasterVolume(float volume) { FMaster.store(volume); }

  // The callback does not run while a lock is held.
  class TLock {
   public:
    explicit TLock(const TAudioOutput& output) : FDevice(output.FDevice) { SDL_LockAudioDevice(FDevice); }
    ~TLock() { SDL_UnlockAudioDevice(FDevice); }
    TLock(const TLock&) = delete;
    TLock& operator=(const TLock&) = delete;

   private:
    SDL_AudioDeviceID FDevice;
  };

  // Runs `read` on values the callback writes so that they all come from the same callback,
  // and returns that callback's time (0 before the first one). Spins only while a callback runs.
  template <class F>
  int64_t Snapshot(F&& read) const {
    for (;;) {
      uint32_t before = FSequence.load();
      if (before & 1u) {
        std::this_thread::yield();
        continue;
      }
      read();
      int64_t at = FLastCallbackNs.load();
      if (FSequence.load() == before) return at;
    }
  }

  int64_t NowNs() const { return FClock.NowNs(); }

 private:
  TAudioOutput(int rate, int channels) : FRate(rate), FChannels(channels) {}
  static void SDLCALL Callback(void* self, Uint8* stream, int bytes);
  void Mix(float* out, int frames);

  SDL_AudioDeviceID FDevice = 0;
  int FRate;
  int FChannels;
  int FBufferFrames = 0;
  std::vector<TAudioFileStream*> FStreams;  // changed only under TLock
  std::atomic<float> FMaster{1.0f};
  std::atomic<uint32_t> FSequence{0};
  std::atomic<int64_t> FLastCallbackNs{0};
  TSteadyAudioClock FClock;
};
