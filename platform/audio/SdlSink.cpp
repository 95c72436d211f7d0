#include "platform/audio/SdlSink.h"

#include <SDL2/SDL.h>

#include <cstring>

#include "platform/audio/AudioOutput.h"

namespace {
constexpr int kCallbackFrames = 1024;

// Drivers that play nothing run the callback on a timer: a buffer starts "playing" when its
// callback returns. Real devices still hold the previous buffer then.
bool DriverHasHardwareBuffer() {
  const char* driver = SDL_GetCurrentAudioDriver();
  return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "disk") != 0;
}
}  // namespace

std::unique_ptr<TSdlSink> TSdlSink::Open(TAudioOutput& output, int id, std::string& error) {
  std::unique_ptr<TSdlSink> sink(new TSdlSink(output, id));
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = SDL_GetError();
    return nullptr;
  }
  sink->FSubsystem = true;
  SDL_AudioSpec want{};
  SDL_AudioSpec have{};
  want.freq = output.Rate();
  want.format = AUDIO_F32SYS;
  want.channels = static_cast<Uint8>(output.Channels());
  want.samples = kCallbackFrames;
  want.callback = &TSdlSink::Callback;
  want.userdata = sink.get();
  // No allowed changes: SDL converts to whatever the hardware wants behind the callback.
  sink->FDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (sink->FDevice == 0) {
    error = SDL_GetError();
    return nullptr;
  }
  sink->FQueuedFrames = DriverHasHardwareBuffer() ? have.samples : 0;
  SDL_PauseAudioDevice(sink->FDevice, 0);
  return sink;
}

TSdlSink::~TSdlSink() {
  if (FDevice != 0) SDL_CloseAudioDevice(FDevice);
  if (FSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool TSdlSink::Failed() const { return SDL_GetAudioDeviceStatus(FDevice) == SDL_AUDIO_STOPPED; }

void SDLCALL TSdlSink::Callback(void* self, Uint8* stream, int bytes) {
  auto* sink = static_cast<TSdlSink*>(self);
  TAudioOutput& output = sink->FOutput;
  int frames = bytes / static_cast<int>(sizeof(float)) / output.Channels();
  int64_t start = output.Render(sink->FId, reinterpret_cast<float*>(stream), frames);
  // This buffer is heard from now on, after whatever the device still holds.
  output.Report(sink->FId, TOutputTiming{start - sink->FQueuedFrames, output.NowNs()});
}
