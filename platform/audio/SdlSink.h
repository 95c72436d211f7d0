#pragma once
// Output through SDL's audio device (ALSA and the other drivers SDL knows), in float frames.
#include <SDL2/SDL_audio.h>

#include <memory>
#include <string>

#include "platform/audio/OutputSink.h"

class TAudioOutput;

class TSdlSink final : public IOutputSink {
 public:
  // nullptr (and SDL's reason in `error`) when no device opens.
  static std::unique_ptr<TSdlSink> Open(TAudioOutput& output, int id, std::string& error);
  ~TSdlSink() override;
  TSdlSink(const TSdlSink&) = delete;
  TSdlSink& operator=(const TSdlSink&) = delete;

  bool Failed() const override;

 private:
  TSdlSink(TAudioOutput& output, int id) : FOutput(output), FId(id) {}
  static void SDLCALL Callback(void* self, Uint8* stream, int bytes);

  TAudioOutput& FOutput;
  const int FId;
  SDL_AudioDeviceID FDevice = 0;
  bool FSubsystem = false;
  int FQueuedFrames = 0;  // the device's own buffer ahead of the one a callback fills
};
