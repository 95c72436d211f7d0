#include "platform/audio/AudioEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio/AudioFileStream.h"
#include "platform/audio/AudioOutput.h"

namespace {
constexpr uint32_t kDefaultRate = 44100;
}

TAudioEngine::TAudioEngine(std::shared_ptr<IAudioClock> clock)
    : Clock(clock ? std::move(clock) : std::make_shared<TSteadyAudioClock>()) {}

TAudioEngine::~TAudioEngine() { Free(); }

void TAudioEngine::SetLogHook(TLogHook hook) {
  std::lock_guard<std::mutex> lock(Mutex);
  LogHook = std::move(hook);
}

void TAudioEngine::Log(const std::string& line) {
  if (LogHook) LogHook(line);
}

bool TAudioEngine::Init(int device, uint32_t freq, uint32_t flags) {
  std::lock_guard<std::mutex> lock(Mutex);
  if (Started) return false;
  if (device != AUDIO_DEVICE_DEFAULT && device != AUDIO_DEVICE_NONE && device != 1) return false;
  if (device != AUDIO_DEVICE_NONE) {
    std::string error;
    int rate = static_cast<int>(freq > 0 && freq <= 384000 ? freq : kDefaultRate);
    Output = TAudioOutput::Open(rate, (flags & AUDIO_DEVICE_MONO) ? 1 : 2, error);
    if (!Output) Log("Audio: no output device (" + error + "); playing on a silent clock");
    else Output->SetMasterVolume(MasterVolume);
  }
  Started = true;
  return true;
}

bool TAudioEngine::Free() {
  std::lock_guard<std::mutex> lock(Mutex);
  if (!Started) return false;
  while (!Streams.empty()) Destroy(Streams.begin());
  Output.reset();
  Started = false;
  return true;
}

bool TAudioEngine::HasOutputDevice() const {
  std::lock_guard<std::mutex> lock(Mutex);
  return Output != nullptr;
}

bool TAudioEngine::SetVolume(float volume) {
  std::lock_guard<std::mutex> lock(Mutex);
  if (!Started || std::isnan(volume)) return false;
  MasterVolume = std::clamp(volume, 0.0f, 1.0f);
  if (Output) Output->SetMasterVolume(MasterVolume);
  return true;
}

float TAudioEngine::GetVolume() const {
  std::lock_guard<std::mutex> lock(Mutex);
  return Started ? MasterVolume : -1.0f;
}

void TAudioEngine::Destroy(std::map<uint32_t, std::unique_ptr<TAudioFileStream>>::iterator it) {
  if (Output) Output->Detach(it->second.get());
  Streams.erase(it);  // joins the decoder thread
}

void TAudioEngine::Settle() {
  for (auto it = Streams.begin(); it != Streams.end();) {
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
  if (!Started || handle == 0) return nullptr;
  Settle();
  auto it = Streams.find(handle);
  return it == Streams.end() ? nullptr : it->second.get();
}

uint32_t TAudioEngine::StreamCreateFile(const std::string& path, uint32_t flags) {
  std::lock_guard<std::mutex> lock(Mutex);
  if (!Started) return 0;
  Settle();
  std::unique_ptr<TAudioFileStream> stream =
      TAudioFileStream::Create(path, (flags & AUDIO_STREAM_AUTOFREE) != 0, Output.get(), *Clock);
  if (!stream) return 0;
  do {
    ++LastHandle;
  } while (LastHandle == 0 || Streams.count(LastHandle));
  if (Output) Output->Attach(stream.get());
  Streams.emplace(LastHandle, std::move(stream));
  return LastHandle;
}

bool TAudioEngine::StreamFree(uint32_t handle) {
  std::lock_guard<std::mutex> lock(Mutex);
  if (!Find(handle)) return false;
  Destroy(Streams.find(handle));
  return true;
}

bool TAudioEngine::ChannelPlay(uint32_t handle, bool restart) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream) return false;
  stream->Play(restart);
  return true;
}

bool TAudioEngine::ChannelPause(uint32_t handle) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  return stream && stream->Pause();
}

bool TAudioEngine::ChannelStop(uint32_t handle) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream) return false;
  stream->Stop();
  return true;
}

uint32_t TAudioEngine::ChannelIsActive(uint32_t handle) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream) return AUDIO_ACTIVE_STOPPED;
  switch (stream->State()) {
    case TAudioFileStream::EState::Playing: return AUDIO_ACTIVE_PLAYING;
    case TAudioFileStream::EState::Paused: return AUDIO_ACTIVE_PAUSED;
    default: return AUDIO_ACTIVE_STOPPED;
  }
}

bool TAudioEngine::ChannelSetAttribute(uint32_t handle, uint32_t attribute, float value) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || attribute != AUDIO_ATTRIB_VOL || std::isnan(value)) return false;
  stream->SetVolume(std::clamp(value, 0.0f, 1.0f));
  return true;
}

bool TAudioEngine::ChannelGetAttribute(uint32_t handle, uint32_t attribute, float* value) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || attribute != AUDIO_ATTRIB_VOL || !value) return false;
  *value = stream->Volume();
  return true;
}

int64_t TAudioEngine::ChannelGetLength(uint32_t handle, uint32_t mode) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || mode != AUDIO_POS_BYTE) return -1;
  return stream->LengthFrames() * stream->Channels() * 2;
}

int64_t TAudioEngine::ChannelGetPosition(uint32_t handle, uint32_t mode) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || mode != AUDIO_POS_BYTE) return -1;
  return stream->PositionFrames() * stream->Channels() * 2;
}

bool TAudioEngine::ChannelSetPosition(uint32_t handle, int64_t position, uint32_t mode) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || mode != AUDIO_POS_BYTE || position < 0) return false;
  int64_t frame = position / (stream->Channels() * 2);
  if (frame >= stream->LengthFrames() && frame != 0) return false;
  stream->SetPositionFrames(frame);
  return true;
}

int64_t TAudioEngine::ChannelGetData(uint32_t handle, void* buffer, uint32_t length) {
  std::lock_guard<std::mutex> lock(Mutex);
  TAudioFileStream* stream = Find(handle);
  if (!stream || !buffer) return -1;
  const int64_t frameBytes = stream->Channels() * 2;
  const int64_t frames = length / frameBytes;
  // Decode into a buffer of our own first: a failed read leaves the caller's untouched.
  static thread_local std::vector<int16_t> samples;
  samples.resize(static_cast<size_t>(frames * stream->Channels()));
  if (!stream->Capture(frames, samples.data())) return -1;
  std::memcpy(buffer, samples.data(), static_cast<size_t>(frames * frameBytes));
  return frames * frameBytes;
}
