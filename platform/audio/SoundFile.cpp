#include "platform/audio/SoundFile.h"

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/RegularFile.h"
#include "platform/audio/OggLength.h"

namespace {

bool IsFloatData(int format) {
  const int subtype = format & SF_FORMAT_SUBMASK;
  return subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
}

bool IsOgg(int format) { return (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG; }

}  // namespace

std::unique_ptr<TSoundFile> TSoundFile::Open(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return nullptr;
  };
  // A pipe or a device would block the open or never end.
  const int fd = OpenRegularFile(path);
  if (fd < 0) return fail(errno == EINVAL ? "not a regular file" : std::strerror(errno));
  SF_INFO info{};
  SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
  if (!file) return fail(sf_strerror(nullptr));
  int64_t frames = info.frames;
  // A cut-off Ogg file has no known end; its last complete page tells how far it decodes.
  if (frames == SF_COUNT_MAX && IsOgg(info.format)) frames = OggDecodableFrames(fd);
  if (info.channels < 1 || info.samplerate < 1 || frames < 0 || frames == SF_COUNT_MAX || !info.seekable) {
    sf_close(file);
    return fail(frames < 0 || frames == SF_COUNT_MAX ? "unknown length" : "unusable format");
  }
  // Lossy decoders deliver floats that can overshoot full scale; clip instead of wrapping.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return std::unique_ptr<TSoundFile>(
      new TSoundFile(file, info.channels, info.samplerate, frames, IsFloatData(info.format)));
}

TSoundFile::~TSoundFile() { sf_close(FFile); }

int64_t TSoundFile::Read(int16_t* dst, int64_t frames) {
  if (frames <= 0) return 0;
  if (!FFloatData) {
    const sf_count_t got = sf_readf_short(FFile, dst, frames);
    return got < 0 ? 0 : got;
  }
  // Float samples are read as shorts without scaling to full range, which rounds them all to
  // silence: scale them ourselves.
  FFloatBuffer.resize(static_cast<size_t>(frames * FChannels));
  const sf_count_t got = sf_readf_float(FFile, FFloatBuffer.data(), frames);
  if (got <= 0) return 0;
  const size_t samples = static_cast<size_t>(got * FChannels);
  for (size_t i = 0; i < samples; ++i) {
    const float v = FFloatBuffer[i];
    dst[i] = std::isnan(v) ? int16_t{0} : static_cast<int16_t>(std::lrint(std::clamp(v, -1.0f, 32767.0f / 32768.0f) * 32768.0f));
  }
  return got;
}

bool TSoundFile::Seek(int64_t frame) { return sf_seek(FFile, frame, SEEK_SET) == frame; }
