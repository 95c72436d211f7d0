#include "platform/audio/AudioEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/audio/AudioFileStream.h"
#include "platform/audio/AudioOutput.h"

namespace {
constexpr uint32_t kDefaultRate = 44100;
}

TAudioEngine& AudioEngine() {
  static TAudioEngine engine;
  return engine;
}

TAudioEngine::TAudioEngine(std::shared_ptr<IAudioClock> clock)
    : FClock(clock ? std::move(clock) : std::make_shared<TSteadyAudioClock>()) {}

TAudioEngine::~TAudioEngine() { Free(); }

void TAudioEngine::SetLogHook(TLogHook hook) {
  std::lock_guard<std::mutex> lock(FMutex);
  FLog = std::move(hook);
}

void TAudioEngine::Log(const std::string& line) {
  if (FLog) FLog(line);
}

bool TAudioEngine::Init(int device, uint32_t freq, uint32_t flags) {
  std::lock_guard<std::mutex> lock(FMutex);
  if (FStarted) return false;
  if (device != AUDIO_DEVICE_DEFAULT && device != AUDIO_DEVICE_NONE && device != 1) return false;
  if (device != AUDIO_DEVICE_NONE) {
    std::string error;
    int rate = static_cast<int>(freq > 0 && freq <= 384000 ? freq : kDefaultRate);
    FOutput = TAudioOutput::Open(rate, (flags & AUDIO_DEVICE_MONO) ? 1 : 2, error);
    if (!FOutput) Log("Audio: no output device (" + error + "); playing on a silent clock");
    else FOutput->SetMasterVolume(FMasterVolume);
  }
  if (const char* probe = std::getenv("SONAVARIUM_AV_PROBE"); probe && *probe) FProbe = TAvProbe::Open(probe);
  FStarted = true;
  return true;
}

bool TAudioEngine::Free() {
  std::lock_guard<std::mutex> lock(FMutex);
  if (!FStarted) return false;
  while (!FStreams.empty()) Destroy(FStreams.begin());
  FOutput.reset();
  FProbe.reset();
  FStarted = false;
  return true;
}

bool TAudioEngine::IsStarted() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FStarted;
}

bool TAudioEngine::HasOutputDevice() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FOutput != nullptr;
}

bool TAudioEngine::SetVolume(float volume) {
  std::lock_guard<std::mutex> lock(FMutex);
  if (!FStarted || std::isnan(volume)) return false;
  FMasterVolume = std::clamp(volume, 0.0f, 1.0f);
  if (FOutput) FOutput->SetMasterVolume(FMasterVolume);
  return true;
}

float TAudioEngine::GetVolume() const {
  std::lock_guard<std::mutex> lock(FMutex);
  return FStarted ? FMasterVolume : -1.0f;
}

void TAudioEngine::Destroy(std::map<uint32_t, std::unique_ptr<TAudioFileStream>>::iterator it) {
  if (FOutput) FOutput->Detach(it->second.get());
  FStreams.erase(it);  // joins the decoder thread
}

void TAudioEngine::Settle() {
  for (auto it = FStreams.begin(); it != FStreams.end();) {
    auto next = std::next(it);
    if (it->second->HasEnded()) {
      if (it->second->AutoFree())
        Destroy(it);
      else
        it->second->StopAtEnd();
    }
    it = next;
  }
}

TAudioFileStream* TAudioEngine::Find(uint32_t handle) {
  if (!FStarted || handle == 0) return nullptr;
  Settle();
  auto it = FStreams.find(handle);
  return it == FStreams.end() ? nullptr : it->second.get();
}

uint32_t TAudioEngine::StreamCreateFile(const std::string& path, uint32_t flags) {
  std::lock_guard<std::mutex> lock(FMutex);
  if (!FStarted) return 0;
  Settle();
  std::unique_ptr<TAudioFileStream> stream =
      TAudioFileStream::Create(path, (flags & AUDIO_STREAM_AUTOFREE) != 0, FOutput.get(), *FClock);
  if (!stream) return 0;
  do {
    ++FLastHandle;
  } while (FLastHandle == 0 || FStreams.count(FLastHandle));
  if (FOutput) FOutput->Attach(stream.get());
  FStreams.emplace(FLastHandle, std::move(stream));
  return FLastHandle;
}

bool TAudioEngine::StreamFree(uint32_t handle) {
  std::lock_guard<std::mutex> lock(FMutex);
  if (!Find(handle)) return false;
  Destroy(FStreams.find(handle));
  return true;
}

bool TAudioEngine::ChannelPlay(uint32_t handle, bool restart) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream) return false;
  stream->Play(restart);
  return true;
}

bool TAudioEngine::ChannelPause(uint32_t handle) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  return stream && stream->Pause();
}

bool TAudioEngine::ChannelStop(uint32_t handle) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream) return false;
  stream->Stop();
  return true;
}

uint32_t TAudioEngine::ChannelIsActive(uint32_t handle) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream) return AUDIO_ACTIVE_STOPPED;
  switch (stream->State()) {
    case TAudioFileStream::EState::Playing: return AUDIO_ACTIVE_PLAYING;
    case TAudioFileStream::EState::Paused: return AUDIO_ACTIVE_PAUSED;
    default: return AUDIO_ACTIVE_STOPPED;
  }
}

bool TAudioEngine::ChannelSetAttribute(uint32_t handle, uint32_t attribute, float value) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || attribute != AUDIO_ATTRIB_VOL || std::isnan(value)) return false;
  stream->SetVolume(std::clamp(value, 0.0f, 1.0f));
  return true;
}

bool TAudioEngine::ChannelGetAttribute(uint32_t handle, uint32_t attribute, float* value) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || attribute != AUDIO_ATTRIB_VOL || !value) return false;
  *value = stream->Volume();
  return true;
}

int64_t TAudioEngine::ChannelGetLength(uint32_t handle, uint32_t mode) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || mode != AUDIO_POS_BYTE) return -1;
  return stream->LengthFrames() * stream->Channels() * 2;
}

int64_t TAudioEngine::ChannelGetPosition(uint32_t handle, uint32_t mode) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || mode != AUDIO_POS_BYTE) return -1;
  return stream->PositionFrames() * stream->Channels() * 2;
}

bool TAudioEngine::ChannelSetPosition(uint32_t handle, int64_t position, uint32_t mode) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || mode != AUDIO_POS_BYTE || position < 0) return false;
  int64_t frame = position / (stream->Channels() * 2);
  if (frame >= stream->LengthFrames() && frame != 0) return false;
  stream->SetPositionFrames(frame);
  return true;
}

int64_t TAudioEngine::ChannelGetData(uint32_t handle, void* buffer, uint32_t length) {
  std::lock_guard<std::mutex> lock(FMutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || !buffer) return -1;
  const int64_t frameBytes = stream->Channels() * 2;
  const int64_t frames = length / frameBytes;
  // Decode into a buffer of our own first: a failed read leaves the caller's untouched.
  static thread_local std::vector<int16_t> samples;
  samples.resize(static_cast<size_t>(frames * stream->Channels()));
  int64_t first = 0;
  int64_t heard = 0;
  if (!stream->Capture(frames, samples.data(), &first, &heard)) return -1;
  if (FProbe) FProbe->Append(FClock->NowNs(), first, heard, FOutput ? FOutput->LatencyUsNow() : 0);
  std::memcpy(buffer, samples.data(), static_cast<size_t>(frames * frameBytes));
  return frames * frameBytes;
}
