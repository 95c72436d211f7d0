#include "platform/audio/SoundFile.h"

#include <sndfile.h>

std::unique_ptr<TSoundFile> TSoundFile::Open(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return nullptr;
  if (info.channels < 1 || info.samplerate < 1 || info.frames < 0 || !info.seekable) {
    sf_close(file);
    return nullptr;
  }
  // Lossy decoders deliver floats that can overshoot full scale; clip instead of wrapping.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return std::unique_ptr<TSoundFile>(new TSoundFile(file, info.channels, info.samplerate, info.frames));
}

TSoundFile::~TSoundFile() { sf_close(FFile); }

int64_t TSoundFile::Read(int16_t* dst, int64_t frames) {
  if (frames <= 0) return 0;
  sf_count_t got = sf_readf_short(FFile, dst, frames);
  return got < 0 ? 0 : got;
}

bool TSoundFile::Seek(int64_t frame) { return sf_seek(FFile, frame, SEEK_SET) == frame; }
