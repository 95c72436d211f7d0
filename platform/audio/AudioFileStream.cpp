#include "platform/audio/AudioFileStream.h"

#include <algorithm>
#include <chrono>

#include "platform/audio/AudioOutput.h"

namespace {
constexpr int64_t kDecodeBlockFrames = 1024;
constexpr int64_t kRingSeconds = 2;
constexpr int64_t kConvertFrames = 4096;
constexpr int64_t kNsPerSecond = 1000000000;
constexpr int64_t kPrefillDivisor = 10;  // a tenth of a second is decoded before anything plays
}  // namespace

std::unique_ptr<TAudioFileStream> TAudioFileStream::Create(const std::string& path, bool autoFree,
                                                           TAudioOutput* output, const IAudioClock& clock) {
  std::unique_ptr<ISoundDecoder> file = OpenSoundDecoder(path);
  if (!file) return nullptr;
  std::unique_ptr<TAudioFileStream> stream(new TAudioFileStream(std::move(file), path, autoFree, output, clock));
  if (output) {
    if (stream->FChannels > 8) return nullptr;  // beyond any layout SDL converts
    stream->FConverter = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(stream->FChannels), stream->FSampleRate,
                                            AUDIO_F32SYS, static_cast<Uint8>(output->Channels()), output->Rate());
    if (!stream->FConverter) return nullptr;  // a channel layout SDL cannot convert
    stream->FRing = std::make_unique<TFrameRing>(kRingSeconds * output->Rate(), output->Channels());
    stream->FMixes = std::make_unique<TAtomicMixRecord[]>(kMixHistory);
    stream->FDecodeBuffer.resize(static_cast<size_t>(kDecodeBlockFrames * stream->FChannels));
    stream->FConvertBuffer.resize(static_cast<size_t>(kConvertFrames * output->Channels()));
    stream->Prefill();
    stream->FDecoder = std::thread([s = stream.get()] { s->DecodeLoop(); });
  }
  return stream;
}

TAudioFileStream::TAudioFileStream(std::unique_ptr<ISoundDecoder> file, const std::string& path, bool autoFree,
                                   TAudioOutput* output, const IAudioClock& clock)
    : FFile(std::move(file)),
      FCapture(path),
      FAutoFree(autoFree),
      FOutput(output),
      FClock(clock),
      FChannels(FFile->Channels()),
      FSampleRate(FFile->SampleRate()),
      FLength(FFile->Frames()) {}

TAudioFileStream::~TAudioFileStream() {
  if (FDecoder.joinable()) {
    {
      std::lock_guard<std::mutex> lock(FWakeMutex);
      FQuit.store(true);
      FWakeRequested = true;
    }
    FWake.notify_one();
    FDecoder.join();
  }
  if (FConverter) SDL_FreeAudioStream(FConverter);
}

// ---- player thread ----

int64_t TAudioFileStream::HeardOutputFrames() const {
  int64_t ring = 0;
  FOutput->Snapshot([&] {
    const int64_t mixes = FMixCount.load();
    const int64_t count = std::min(mixes, kMixHistory);
    const int64_t oldest = mixes - count;
    auto recordAt = [&](int64_t i) {
      const TAtomicMixRecord& r = FMixes[static_cast<size_t>((oldest + i) % kMixHistory)];
      return TMixRecord{r.OutputStart.load(), r.RingStart.load(), r.Frames.load()};
    };
    ring = HeardRingFrame(recordAt, count, FOutput->HeardFrameNow());
  });
  return ring;
}

int64_t TAudioFileStream::PositionFrames() const {
  if (FState.load() != EState::Playing) return FBase;
  int64_t played;
  if (FOutput)
    played = HeardOutputFrames() * FSampleRate / FOutput->Rate();
  else
    played = std::max<int64_t>(0, FClock.NowNs() - FStartedNs) * FSampleRate / kNsPerSecond;
  return std::min(FLength, FBase + played);
}

bool TAudioFileStream::HasEnded() const {
  if (FState.load() != EState::Playing) return false;
  if (!FOutput) return PositionFrames() >= FLength;
  if (!FDrained.load()) return false;
  return HeardOutputFrames() >= FRing->ReadPos();
}

void TAudioFileStream::Reposition(int64_t frame) {
  FBase = frame;
  FStartedNs = FClock.NowNs();
  if (!FOutput) return;
  {
    std::lock_guard<std::mutex> decoding(FDecodeMutex);
    {
      TAudioOutput::TLock device(*FOutput);
      FRing->Reset();
      FMixCount.store(0);
      FDecodedAll.store(false);
      FDrained.store(false);
    }
    FEndRead = !FFile->Seek(frame);
    SDL_AudioStreamClear(FConverter);
    Prefill();
  }
  {
    std::lock_guard<std::mutex> lock(FWakeMutex);
    FWakeRequested = true;
  }
  FWake.notify_one();
}

void TAudioFileStream::SetPositionFrames(int64_t frame) { Reposition(frame); }

void TAudioFileStream::Play(bool restart) {
  EState state = FState.load();
  if (restart || (state == EState::Stopped && FBase >= FLength)) {
    Reposition(0);
  } else if (state == EState::Playing) {
    return;
  } else {
    FStartedNs = FClock.NowNs();
  }
  FState.store(EState::Playing);
}

bool TAudioFileStream::Pause() {
  if (FState.load() != EState::Playing) return false;
  int64_t heard = PositionFrames();
  FState.store(EState::Paused);
  // Drop what was decoded ahead so that resuming continues from the frame heard last.
  Reposition(heard);
  return true;
}

void TAudioFileStream::Stop() {
  FState.store(EState::Stopped);
  Reposition(0);
}

void TAudioFileStream::StopAtEnd() {
  FState.store(EState::Stopped);
  Reposition(FLength);
}

bool TAudioFileStream::Capture(int64_t frames, int16_t* dst, int64_t* first, int64_t* heard) {
  const int64_t now = PositionFrames();
  const int64_t start = CaptureWindowStart(now, frames);
  if (first) *first = start;
  if (heard) *heard = now;
  return FCapture.Read(start + frames, frames, dst);
}

// ---- output callback ----

void TAudioFileStream::MixInto(float* out, int frames, float master, int64_t outputStart) {
  if (FState.load() != EState::Playing) return;
  const int64_t ringStart = FRing->ReadPos();
  int64_t got = FRing->ReadAdd(out, frames, FVolume.load() * master);
  if (got > 0) {
    const int64_t n = FMixCount.load();
    TAtomicMixRecord& r = FMixes[static_cast<size_t>(n % kMixHistory)];
    r.OutputStart.store(outputStart);
    r.RingStart.store(ringStart);
    r.Frames.store(got);
    FMixCount.store(n + 1);
  }
  // FDecodedAll is set only after the last write, so an empty ring after it means the end.
  if (got < frames && FDecodedAll.load() && FRing->Available() == 0) FDrained.store(true);
}

// ---- decoder thread ----

bool TAudioFileStream::DecodeStep() {
  const int outFrameBytes = static_cast<int>(sizeof(float)) * FRing->Channels();
  int pending = SDL_AudioStreamAvailable(FConverter);
  if (pending > 0) {
    int64_t room = std::min<int64_t>(FRing->Free(), kConvertFrames);
    if (room == 0) return false;
    int bytes = std::min<int>(pending, static_cast<int>(room) * outFrameBytes);
    int got = SDL_AudioStreamGet(FConverter, FConvertBuffer.data(), bytes);
    if (got <= 0) return false;
    FRing->Write(FConvertBuffer.data(), got / outFrameBytes);
    return true;
  }
  if (FEndRead) {
    FDecodedAll.store(true);
    return false;
  }
  if (FRing->Free() < kConvertFrames) return false;  // keeps the ring at its bound
  int64_t got = FFile->Read(FDecodeBuffer.data(), kDecodeBlockFrames);
  if (got > 0 &&
      SDL_AudioStreamPut(FConverter, FDecodeBuffer.data(), static_cast<int>(got * FChannels * sizeof(int16_t))) != 0)
    got = 0;  // conversion failed: end the track here rather than stall
  if (got < kDecodeBlockFrames) {
    SDL_AudioStreamFlush(FConverter);
    FEndRead = true;
  }
  return true;
}

void TAudioFileStream::Prefill() {
  // On the caller's thread: a starved decoder thread must not make a track start with a gap.
  const int64_t wanted = FOutput->Rate() / kPrefillDivisor;
  while (FRing->Available() < wanted && DecodeStep()) {
  }
}

void TAudioFileStream::DecodeLoop() {
  while (!FQuit.load()) {
    bool progressed;
    {
      std::lock_guard<std::mutex> decoding(FDecodeMutex);
      progressed = DecodeStep();
    }
    if (!progressed) {
      std::unique_lock<std::mutex> lock(FWakeMutex);
      FWake.wait_for(lock, std::chrono::milliseconds(10), [this] { return FWakeRequested; });
      FWakeRequested = false;
    }
  }
}
