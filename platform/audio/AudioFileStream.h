#pragma once
// One playing file. With an output device a decoder thread converts the file into a bounded
// ring that the device callback drains; without one, a clock stands in for the device. Either
// way, positions are in the file's own frames and mean what the listener hears now.
#include <SDL2/SDL_audio.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/AudioClock.h"
#include "platform/audio/CaptureReader.h"
#include "platform/audio/FrameRing.h"
#include "platform/audio/OutputTiming.h"
#include "platform/audio/SoundDecoder.h"

class TAudioOutput;

class TAudioFileStream {
 public:
  enum class EState : int { Stopped, Playing, Paused };

  // output == nullptr plays on `clock` in silence. nullptr when the file cannot be decoded.
  static std::unique_ptr<TAudioFileStream> Create(const std::string& path, bool autoFree, TAudioOutput* output,
                                                  const IAudioClock& clock);
  ~TAudioFileStream();
  TAudioFileStream(const TAudioFileStream&) = delete;
  TAudioFileStream& operator=(const TAudioFileStream&) = delete;

  int Channels() const { return FChannels; }
  int SampleRate() const { return FSampleRate; }
  int64_t LengthFrames() const { return FLength; }
  bool AutoFree() const { return FAutoFree; }
  EState State() const { return FState.load(); }

  int64_t PositionFrames() const;
  void SetPositionFrames(int64_t frame);  // the caller has checked 0 <= frame <= length
  void Play(bool restart);
  bool Pause();
  void Stop();
  // True once the last frame has been heard while playing.
  bool HasEnded() const;
  // What a stream that does not free itself does at its end: stop there.
  void StopAtEnd();

  void SetVolume(float volume) { FVolume.store(volume); }
  float Volume() const { return FVolume.load(); }

  // The `frames` frames centred on the frame heard now, 16-bit interleaved; `first` and
  // `heard` receive the window's first frame and the heard frame.
  bool Capture(int64_t frames, int16_t* dst, int64_t* first = nullptr, int64_t* heard = nullptr);

  // Output rendering only; `outputStart` is the output frame `out` starts at.
  void MixInto(float* out, int frames, float master, int64_t outputStart);

 private:
  TAudioFileStream(std::unique_ptr<ISoundDecoder> file, const std::string& path, bool autoFree,
                   TAudioOutput* output, const IAudioClock& clock);
  void Reposition(int64_t frame);
  int64_t HeardOutputFrames() const;
  void DecodeLoop();
  bool DecodeStep();  // under FDecodeMutex (or before the decoder thread starts)
  void Prefill();

  std::unique_ptr<ISoundDecoder> FFile;  // the decoder thread's once it runs
  TCaptureReader FCapture;
  const bool FAutoFree;
  TAudioOutput* const FOutput;
  const IAudioClock& FClock;
  const int FChannels;
  const int FSampleRate;
  const int64_t FLength;

  std::atomic<EState> FState{EState::Stopped};
  std::atomic<float> FVolume{1.0f};
  int64_t FBase = 0;        // source frame where playback (re)started; player thread only
  int64_t FStartedNs = 0;   // silent clock: when FBase started playing

  // Device path.
  std::unique_ptr<TFrameRing> FRing;
  SDL_AudioStream* FConverter = nullptr;
  // Which ring frames went out as which output frames, for as far back as an output's latency
  // reaches; cleared with the ring.
  struct TAtomicMixRecord {
    std::atomic<int64_t> OutputStart{0};
    std::atomic<int64_t> RingStart{0};
    std::atomic<int64_t> Frames{0};
  };
  static constexpr int64_t kMixHistory = 1024;
  std::unique_ptr<TAtomicMixRecord[]> FMixes;
  std::atomic<int64_t> FMixCount{0};
  std::atomic<bool> FDecodedAll{false};         // everything up to the end is in the ring
  std::atomic<bool> FDrained{false};            // ...and the callback has taken it all
  std::mutex FDecodeMutex;                      // the decoder's state: file, converter, ring input
  bool FEndRead = false;
  std::vector<int16_t> FDecodeBuffer;
  std::vector<float> FConvertBuffer;
  std::mutex FWakeMutex;
  std::condition_variable FWake;
  bool FWakeRequested = false;
  std::atomic<bool> FQuit{false};
  std::thread FDecoder;
};
