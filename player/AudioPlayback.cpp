// Volume, pause, position in percent and seeking of the one playing stream.
#include <cmath>

#include "player/AudioBridge.h"
#include "player/Demo.h"

void TDemo::StartAudio() {
  Audio->Init(AUDIO_DEVICE_DEFAULT, 44100, AUDIO_DEVICE_MONO);
  Audio->SetMasterVolume(1.0f);
}

void TDemo::StopAudio() { Audio->Free(); }

void TDemo::SetPaused(bool paused) {
  if (CurrentFile.empty()) return;
  Playing = !paused;
  if (paused) {
    Audio->ChannelPause(Stream);
  } else {
    Audio->ChannelPlay(Stream, false);
  }
}

void TDemo::SetVolume(int8_t value, bool absolute) {
  if (absolute) {
    Volume = static_cast<uint8_t>(value);
  } else {
    if ((value < 0 && Volume == 0) || (value > 0 && Volume == 10)) return;
    if (value == 0) {
      Volume = Volume == 0 ? 10 : 0;
    } else {
      Volume = static_cast<uint8_t>(Volume + value);
    }
  }
  if (Volume > 10) Volume = 10;
  Audio->ChannelSetAttribute(Stream, AUDIO_ATTRIB_VOL, static_cast<float>(Volume) / 10.0f);
}

uint16_t TDemo::GetPositionPercent() {
  const int64_t position = Audio->ChannelGetPosition(Stream, AUDIO_POS_BYTE);
  const int64_t length = Audio->ChannelGetLength(Stream, AUDIO_POS_BYTE);
  const double ratio = static_cast<double>(position + 2) / static_cast<double>(length) * 100.0;
  // Without a stream both queries fail (-1), giving -100, which reads as a large unsigned value.
  const int64_t r = std::isfinite(ratio) ? static_cast<int64_t>(ratio) : -1;
  const uint16_t asWord = static_cast<uint16_t>(r);
  return asWord > 99 ? 100 : asWord;
}

void TDemo::SeekPercent(int8_t step) {
  const double target = step == 0 ? 0.0 : static_cast<double>(GetPositionPercent()) + step;
  const int64_t length = Audio->ChannelGetLength(Stream, AUDIO_POS_BYTE);
  const auto bytes = static_cast<int64_t>(static_cast<double>(length) * (target / 100.0));
  // A target outside the track is refused by the audio layer; the position stays.
  Audio->ChannelSetPosition(Stream, bytes, AUDIO_POS_BYTE);
}

void TDemo::Capture(void* buffer, uint32_t bytes) { Audio->ChannelGetData(Stream, buffer, bytes); }
