// The player's audio calls go to the platform audio engine unless a test installed a backend.
#include "player/AudioBridge.h"

#include "platform/Log.h"
#include "platform/audio/AudioEngine.h"

namespace audio {
namespace {
class PlatformBackend : public IBackend {
 public:
  bool Init(int device, uint32_t frequency, uint32_t flags) override {
    AudioEngine().SetLogHook([](const std::string& line) { LogLine(line); });
    return AudioEngine().Init(device, frequency, flags);
  }
  void Free() override { AudioEngine().Free(); }
  void SetMasterVolume(float volume) override { AudioEngine().SetVolume(volume); }
  uint32_t StreamCreateFile(const std::string& path, uint32_t flags) override {
    return AudioEngine().StreamCreateFile(path, flags);
  }
  bool StreamFree(uint32_t h) override { return AudioEngine().StreamFree(h); }
  bool ChannelPlay(uint32_t h, bool restart) override { return AudioEngine().ChannelPlay(h, restart); }
  bool ChannelPause(uint32_t h) override { return AudioEngine().ChannelPause(h); }
  bool ChannelStop(uint32_t h) override { return AudioEngine().ChannelStop(h); }
  int ChannelIsActive(uint32_t h) override { return static_cast<int>(AudioEngine().ChannelIsActive(h)); }
  bool ChannelSetAttribute(uint32_t h, int attribute, float value) override {
    return AudioEngine().ChannelSetAttribute(h, static_cast<uint32_t>(attribute), value);
  }
  int64_t ChannelGetPosition(uint32_t h, int mode) override {
    return AudioEngine().ChannelGetPosition(h, static_cast<uint32_t>(mode));
  }
  int64_t ChannelGetLength(uint32_t h, int mode) override {
    return AudioEngine().ChannelGetLength(h, static_cast<uint32_t>(mode));
  }
  bool ChannelSetPosition(uint32_t h, int64_t position, int mode) override {
    return AudioEngine().ChannelSetPosition(h, position, static_cast<uint32_t>(mode));
  }
  int64_t ChannelBytesPerSecond(uint32_t h) override { return AudioEngine().ChannelBytesPerSecond(h); }
  int32_t ChannelGetData(uint32_t h, void* buffer, uint32_t bytes) override {
    return static_cast<int32_t>(AudioEngine().ChannelGetData(h, buffer, bytes));
  }
};

IBackend* Installed = nullptr;
}  // namespace

IBackend& Backend() {
  static PlatformBackend platform;
  return Installed ? *Installed : platform;
}

void SetBackend(IBackend* backend) { Installed = backend; }
}  // namespace audio
