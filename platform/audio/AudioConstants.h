#pragma once
// Values of the audio call interface, shared by the engine and the player's calls into it.
#include <cstdint>

constexpr int AUDIO_DEVICE_DEFAULT = -1;
constexpr int AUDIO_DEVICE_NONE = 0;  // no sound: the silent clock
constexpr uint32_t AUDIO_DEVICE_MONO = 2;
constexpr uint32_t AUDIO_STREAM_AUTOFREE = 0x40000;  // free the stream when it has played to its end
constexpr uint32_t AUDIO_ATTRIB_VOL = 2;             // 0.0..1.0
constexpr uint32_t AUDIO_POS_BYTE = 0;               // bytes of decoded 16-bit data
// ChannelIsActive results.
constexpr uint32_t AUDIO_ACTIVE_STOPPED = 0;  // also: no such stream
constexpr uint32_t AUDIO_ACTIVE_PLAYING = 1;
constexpr uint32_t AUDIO_ACTIVE_PAUSED = 3;
