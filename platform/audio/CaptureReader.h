#pragma once
// Delivers the source frames just before a given frame position, decoded from a file handle of
// its own on the caller's thread, so the player thread never touches the decoder thread's state.
// Positions move forward frame by frame while a track plays, so it mostly decodes ahead from
// where it stopped and seeks only on jumps.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/SoundDecoder.h"

class TCaptureReader {
 public:
  explicit TCaptureReader(std::string path) : FPath(std::move(path)) {}

  // Fills dst with the `frames` frames that end at `endFrame` (16-bit interleaved); frames
  // outside the track or that the file fails to deliver read as silence.
  // False when the file cannot be opened.
  bool Read(int64_t endFrame, int64_t frames, int16_t* dst);

 private:
  void Restart(int64_t frame);
  void DecodeUpTo(int64_t frame);

  std::string FPath;
  std::unique_ptr<ISoundDecoder> FFile;
  int FChannels = 0;
  std::vector<int16_t> FWindow;  // frames [FStart, FEnd), FEnd is where the decoder stands
  int64_t FCapacity = 0;
  int64_t FStart = 0;
  int64_t FEnd = 0;
  bool FExhausted = false;  // the decoder delivered less than the file announced
};
