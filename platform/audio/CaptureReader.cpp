#include "platform/audio/CaptureReader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int64_t kMinWindowFrames = 8192;
constexpr int64_t kMaxDecodeAhead = 44100;  // farther jumps seek instead of decoding through
}  // namespace

void TCaptureReader::Restart(int64_t frame) {
  FExhausted = !FFile->Seek(frame);
  FStart = FEnd = frame;
}

void TCaptureReader::DecodeUpTo(int64_t frame) {
  const int64_t chunk = FCapacity / 2;
  while (FEnd < frame && !FExhausted) {
    int64_t want = std::min(chunk, frame - FEnd);
    int64_t held = FEnd - FStart;
    if (held + want > FCapacity) {
      int64_t drop = held + want - FCapacity;
      std::memmove(FWindow.data(), FWindow.data() + drop * FChannels,
                   static_cast<size_t>((held - drop) * FChannels) * sizeof(int16_t));
      FStart += drop;
      held -= drop;
    }
    int64_t got = FFile->Read(FWindow.data() + held * FChannels, want);
    FEnd += got;
    if (got < want) FExhausted = true;
  }
}

bool TCaptureReader::Read(int64_t endFrame, int64_t frames, int16_t* dst) {
  if (!FFile) {
    FFile = OpenSoundDecoder(FPath);
    if (!FFile) return false;
    FChannels = FFile->Channels();
    FStart = FEnd = 0;
  }
  if (frames <= 0) return true;
  // A window may reach past the end (it is centred on the frame heard): silence there.
  endFrame = std::max<int64_t>(endFrame, 0);
  if (frames * 2 > FCapacity) {
    FCapacity = std::max(kMinWindowFrames, frames * 2);
    FWindow.assign(static_cast<size_t>(FCapacity * FChannels), 0);
    Restart(FStart);  // the window was dropped with the old buffer
  }
  int64_t first = std::max<int64_t>(0, endFrame - frames);
  if (first < FStart || first > FEnd + kMaxDecodeAhead) Restart(first);
  DecodeUpTo(endFrame);

  std::memset(dst, 0, static_cast<size_t>(frames * FChannels) * sizeof(int16_t));
  int64_t lead = first - (endFrame - frames);  // frames before the track's start
  int64_t have = std::max<int64_t>(0, std::min(endFrame, FEnd) - first);
  if (have > 0)
    std::memcpy(dst + lead * FChannels, FWindow.data() + (first - FStart) * FChannels,
                static_cast<size_t>(have * FChannels) * sizeof(int16_t));
  return true;
}
