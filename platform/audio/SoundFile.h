#pragma once
// A decodable sound file (libsndfile): 16-bit interleaved reads and exact seeks by frame.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sf_private_tag;

class TSoundFile {
 public:
  // nullptr when the file cannot be opened or has no usable format (why, in *error). Only
  // regular files are opened.
  static std::unique_ptr<TSoundFile> Open(const std::string& path, std::string* error = nullptr);
  ~TSoundFile();
  TSoundFile(const TSoundFile&) = delete;
  TSoundFile& operator=(const TSoundFile&) = delete;

  int Channels() const { return FChannels; }
  int SampleRate() const { return FRate; }
  int64_t Frames() const { return FFrames; }

  // Reads up to `frames` frames into dst (frames * Channels() samples); returns the frames read.
  int64_t Read(int16_t* dst, int64_t frames);
  bool Seek(int64_t frame);

 private:
  TSoundFile(sf_private_tag* file, int channels, int rate, int64_t frames, bool floatData)
      : FFile(file), FChannels(channels), FRate(rate), FFrames(frames), FFloatData(floatData) {}
  sf_private_tag* FFile;
  int FChannels;
  int FRate;
  int64_t FFrames;
  bool FFloatData;
  std::vector<float> FFloatBuffer;
};
