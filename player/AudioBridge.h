#pragma once
// The audio calls the player makes, with the semantics it relies on: a 0 or stale handle fails
// harmlessly, a self-freeing stream fails every query once it has played to its end.
// Tests replace the backend to observe the calls.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/AudioConstants.h"

namespace audio {
class IBackend {
 public:
  virtual ~IBackend() = default;
  virtual bool Init(int device, uint32_t frequency, uint32_t flags) = 0;
  virtual void Free() = 0;
  virtual void SetMasterVolume(float volume) = 0;
  virtual uint32_t StreamCreateFile(const std::string& path, uint32_t flags) = 0;
  virtual bool StreamFree(uint32_t handle) = 0;
  virtual bool ChannelPlay(uint32_t handle, bool restart) = 0;
  virtual bool ChannelPause(uint32_t handle) = 0;
  virtual bool ChannelStop(uint32_t handle) = 0;
  virtual uint32_t ChannelIsActive(uint32_t handle) = 0;
  virtual bool ChannelSetAttribute(uint32_t handle, uint32_t attribute, float value) = 0;
  virtual int64_t ChannelGetPosition(uint32_t handle, uint32_t mode) = 0;
  virtual int64_t ChannelGetLength(uint32_t handle, uint32_t mode) = 0;
  virtual bool ChannelSetPosition(uint32_t handle, int64_t position, uint32_t mode) = 0;
  virtual int32_t ChannelGetData(uint32_t handle, void* buffer, uint32_t bytes) = 0;
  // Bytes per second of sound in the units of the byte positions; -1 without a stream.
  virtual int64_t ChannelBytesPerSecond(uint32_t handle) { return -1; }
};

// A backend on an audio engine of its own.
std::unique_ptr<IBackend> MakePlatformBackend();
}  // namespace audio
