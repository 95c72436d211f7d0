// Until the platform audio engine is wired in, every call fails the way a missing device does.
#include "player/AudioBridge.h"

namespace audio {
namespace {
class SilentBackend : public IBackend {
 public:
  bool Init(int, uint32_t, uint32_t) override { return false; }
  void Free() override {}
  void SetMasterVolume(float) override {}
  uint32_t StreamCreateFile(const std::string&, uint32_t) override { return 0; }
  bool StreamFree(uint32_t) override { return false; }
  bool ChannelPlay(uint32_t, bool) override { return false; }
  bool ChannelPause(uint32_t) override { return false; }
  bool ChannelStop(uint32_t) override { return false; }
  int ChannelIsActive(uint32_t) override { return 0; }
  bool ChannelSetAttribute(uint32_t, int, float) override { return false; }
  int64_t ChannelGetPosition(uint32_t, int) override { return -1; }
  int64_t ChannelGetLength(uint32_t, int) override { return -1; }
  bool ChannelSetPosition(uint32_t, int64_t, int) override { return false; }
  int32_t ChannelGetData(uint32_t, void*, uint32_t) override { return -1; }
};

IBackend* Installed = nullptr;
}  // namespace

IBackend& Backend() {
  static SilentBackend platform;
  return Installed ? *Installed : platform;
}

void SetBackend(IBackend* backend) { Installed = backend; }
}  // namespace audio
