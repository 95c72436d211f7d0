// The player's audio calls go to the platform audio engine unless a test installed a backend.
#include "player/AudioBridge.h"

#include "platform/Log.h"
#include "platform/audio/AudioEngine.h"

namespace audio {
namespace {
class PlatformBackend : public IBackend {
 public:
  bool Init(int device, uint32_t frequency, uint32_t flags) override {
    Engine.SetLogHook([](const std::string& line) { LogLine(line); });
    return Engine.Init(device, frequency, flags);
  }
  void Free() override { Engine.Free(); }
  void SetMasterVolume(float volume) override { Engine.SetVolume(volume); }
  uint32_t StreamCreateFile(const std::string& path, uint32_t flags) override {
    return Engine.StreamCreateFile(path, flags);
  }
  bool StreamFree(uint32_t h) override { return Engine.StreamFree(h); }
  bool ChannelPlay(uint32_t h, bool restart) override { return Engine.ChannelPlay(h, restart); }
  bool ChannelPause(uint32_t h) override { return Engine.ChannelPause(h); }
  bool ChannelStop(uint32_t h) override { return Engine.ChannelStop(h); }
  uint32_t ChannelIsActive(uint32_t h) override { return Engine.ChannelIsActive(h); }
  bool ChannelSetAttribute(uint32_t h, uint32_t attribute, float value) override {
    return Engine.ChannelSetAttribute(h, attribute, value);
  }
  int64_t ChannelGetPosition(uint32_t h, uint32_t mode) override {
    return Engine.ChannelGetPosition(h, mode);
  }
  int64_t ChannelGetLength(uint32_t h, uint32_t mode) override {
    return Engine.ChannelGetLength(h, mode);
  }
  bool ChannelSetPosition(uint32_t h, int64_t position, uint32_t mode) override {
    return Engine.ChannelSetPosition(h, position, mode);
  }
  int64_t ChannelBytesPerSecond(uint32_t h) override { return Engine.ChannelBytesPerSecond(h); }
  int32_t ChannelGetData(uint32_t h, void* buffer, uint32_t bytes) override {
    return static_cast<int32_t>(Engine.ChannelGetData(h, buffer, bytes));
  }

 private:
  TAudioEngine Engine;
};

}  // namespace

std::unique_ptr<IBackend> MakePlatformBackend() { return std::make_unique<PlatformBackend>(); }
}  // namespace audio
