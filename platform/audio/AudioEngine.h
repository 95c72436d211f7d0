#pragma once
// The player's audio engine: one output device, file streams addressed by 32-bit handles, and
// the calls the player makes on them. Every call with a 0, stale or freed handle fails
// harmlessly (false, -1 or 0). Handles come from a running counter, so a stale handle does not
// address a newer stream until about four billion streams later.
//
// Without an output device (SDL cannot open one, or device 0 is asked for) streams play on a
// silent clock: positions advance in real time, tracks end and free themselves, captures
// return the frames at the clock's position.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/audio/AudioClock.h"
#include "platform/audio/AudioConstants.h"

class TAudioOutput;
class TAudioFileStream;

class TAudioEngine {
 public:
  using TLogHook = std::function<void(const std::string&)>;

  // clock drives the silent path; the steady clock when null.
  explicit TAudioEngine(std::shared_ptr<IAudioClock> clock = nullptr);
  ~TAudioEngine();
  TAudioEngine(const TAudioEngine&) = delete;
  TAudioEngine& operator=(const TAudioEngine&) = delete;

  // Receives the engine's few diagnostic lines (default: dropped).
  void SetLogHook(TLogHook hook);

  // device: AUDIO_DEVICE_DEFAULT (or 1) for the default device, AUDIO_DEVICE_NONE for silence.
  // flags: AUDIO_DEVICE_MONO for one output channel. False if already started or the device
  // number is unknown; a default device that cannot be opened falls back to the silent clock.
  bool Init(int device, uint32_t freq, uint32_t flags);
  // Frees every stream and closes the device. False if not started.
  bool Free();
  bool HasOutputDevice() const;

  // Master volume 0..1 (clamped; NaN refused).
  bool SetVolume(float volume);
  float GetVolume() const;

  // 0 when not started or the file cannot be decoded.
  uint32_t StreamCreateFile(const std::string& path, uint32_t flags);
  bool StreamFree(uint32_t handle);

  // Plays on from the current position, or from the start when restart is set or the stream
  // stopped at its end.
  bool ChannelPlay(uint32_t handle, bool restart);
  // False unless playing.
  bool ChannelPause(uint32_t handle);
  // Stops and rewinds to the start.
  bool ChannelStop(uint32_t handle);
  uint32_t ChannelIsActive(uint32_t handle);
  // Only AUDIO_ATTRIB_VOL; the value is clamped to 0..1, NaN refused.
  bool ChannelSetAttribute(uint32_t handle, uint32_t attribute, float value);
  bool ChannelGetAttribute(uint32_t handle, uint32_t attribute, float* value);

  // Mode AUDIO_POS_BYTE only: frames x channels x 2 in the stream's own format; -1 on failure.
  int64_t ChannelGetLength(uint32_t handle, uint32_t mode);
  // The position the listener hears now.
  int64_t ChannelGetPosition(uint32_t handle, uint32_t mode);
  // Refused (false, position unchanged) outside the track; rounds down to a whole frame.
  bool ChannelSetPosition(uint32_t handle, int64_t position, uint32_t mode);

  // Copies the newest `length` bytes heard (whole 16-bit interleaved frames that end at the play
  // position) into buffer; returns the bytes copied, or -1 with the buffer untouched.
  int64_t ChannelGetData(uint32_t handle, void* buffer, uint32_t length);

 private:
  TAudioFileStream* Find(uint32_t handle);
  void Settle();  // frees or stops the streams that have played to their end
  void Destroy(std::map<uint32_t, std::unique_ptr<TAudioFileStream>>::iterator it);
  void Log(const std::string& line);

  mutable std::mutex Mutex;
  std::shared_ptr<IAudioClock> Clock;
  TLogHook LogHook;
  bool Started = false;
  float MasterVolume = 1.0f;
  std::unique_ptr<TAudioOutput> Output;
  std::map<uint32_t, std::unique_ptr<TAudioFileStream>> Streams;
  uint32_t LastHandle = 0;
};
