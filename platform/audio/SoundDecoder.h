#pragma once
// What a playing track and its capture read from, whichever library decodes the file: 16-bit
// interleaved frames at the file's own rate and channel count, with exact seeks by frame.
#include <cstdint>
#include <memory>
#include <string>

class ISoundDecoder {
 public:
  virtual ~ISoundDecoder() = default;
  virtual int Channels() const = 0;
  virtual int SampleRate() const = 0;
  virtual int64_t Frames() const = 0;
  // Reads up to `frames` frames into dst (frames * Channels() samples); returns the frames read.
  virtual int64_t Read(int16_t* dst, int64_t frames) = 0;
  // False when the frame cannot be reached; reads then deliver nothing until the next seek.
  virtual bool Seek(int64_t frame) = 0;
};

// Longer files (over 290 days at 44.1 kHz) are refused: their byte positions would overflow.
constexpr int64_t kMaxSoundFrames = int64_t{1} << 40;

// The decoder for the file's content (not its name): FFmpeg for MP4-family files (AAC, ALAC), raw
// AAC and MP3s without a length header, libsndfile for everything else. nullptr when the file cannot be decoded.
std::unique_ptr<ISoundDecoder> OpenSoundDecoder(const std::string& path);
