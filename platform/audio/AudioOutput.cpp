#include "platform/audio/AudioOutput.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/audio/AudioFileStream.h"

namespace {
constexpr int kCallbackFrames = 1024;
}

std::unique_ptr<TAudioOutput> TAudioOutput::Open(int rate, int channels, std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<TAudioOutput> output(new TAudioOutput(rate, channels));
  SDL_AudioSpec want{};
  SDL_AudioSpec have{};
  want.freq = rate;
  want.format = AUDIO_F32SYS;
  want.channels = static_cast<Uint8>(channels);
  want.samples = kCallbackFrames;
  want.callback = &TAudioOutput::Callback;
  want.userdata = output.get();
  // No allowed changes: SDL converts to whatever the hardware wants behind the callback.
  output->FDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (output->FDevice == 0) {
    error = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  output->FBufferFrames = have.samples;
  SDL_PauseAudioDevice(output->FDevice, 0);
  return output;
}

TAudioOutput::~TAudioOutput() {
  SDL_CloseAudioDevice(FDevice);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// The list is rebuilt outside the lock and swapped in under it, so that neither the callback
// nor the lock's holder allocates while the callback waits.
void TAudioOutput::Attach(TAudioFileStream* stream) {
  std::vector<TAudioFileStream*> streams = FStreams;
  streams.push_back(stream);
  TLock lock(*this);
  FStreams.swap(streams);
}

void TAudioOutput::Detach(TAudioFileStream* stream) {
  std::vector<TAudioFileStream*> streams = FStreams;
  streams.erase(std::remove(streams.begin(), streams.end(), stream), streams.end());
  TLock lock(*this);
  FStreams.swap(streams);
}

void SDLCALL TAudioOutput::Callback(void* self, Uint8* stream, int bytes) {
  auto* output = static_cast<TAudioOutput*>(self);
  std::memset(stream, 0, static_cast<size_t>(bytes));
  output->Mix(reinterpret_cast<float*>(stream), bytes / static_cast<int>(sizeof(float)) / output->FChannels);
}

void TAudioOutput::Mix(float* out, int frames) {
  FSequence.fetch_add(1);
  float master = FMaster.load();
  for (TAudioFileStream* stream : FStreams) stream->MixInto(out, frames, master);
  FLastCallbackNs.store(FClock.NowNs());
  FSequence.fetch_add(1);
}
