#include "platform/audio/MpegLengthHeader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr size_t kFrameHeaderBytes = 4;
constexpr size_t kId3HeaderBytes = 10;
constexpr size_t kVbriOffset = kFrameHeaderBytes + 32;

bool IsFrameSync(const uint8_t* p) {
  // 11 set sync bits, a known version, a layer, a usable bit rate and sampling rate.
  const int version = (p[1] >> 3) & 3, layer = (p[1] >> 1) & 3;
  const int bitrate = p[2] >> 4, rate = (p[2] >> 2) & 3;
  return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0 && version != 1 && layer != 0 && bitrate != 0x0F && rate != 3;
}

// Where a Xing or Info header starts: after the frame header and the side information, whose
// size depends on the MPEG version and on whether the frame is mono.
size_t XingOffset(const uint8_t* frame) {
  const bool mpeg1 = ((frame[1] >> 3) & 3) == 3;
  const bool mono = (frame[3] >> 6) == 3;
  const size_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  return kFrameHeaderBytes + sideInfo;
}

bool TagAt(const uint8_t* data, size_t size, size_t offset, const char* tag) {
  return offset + 4 <= size && std::memcmp(data + offset, tag, 4) == 0;
}

}  // namespace

bool MpegFrameStatesLength(const uint8_t* data, size_t size) {
  for (size_t i = 0; i + kFrameHeaderBytes <= size; ++i) {
    if (!IsFrameSync(data + i)) continue;
    const size_t xing = i + XingOffset(data + i);
    return TagAt(data, size, xing, "Xing") || TagAt(data, size, xing, "Info") ||
           TagAt(data, size, i + kVbriOffset, "VBRI");
  }
  return false;
}

bool MpegFileStatesLength(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  uint8_t head[kId3HeaderBytes] = {};
  off_t start = 0;
  if (pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) && std::memcmp(head, "ID3", 3) == 0) {
    // The tag's size is stored in four 7-bit bytes; a footer adds another header's length.
    const off_t body = (off_t{head[6] & 0x7F} << 21) | (off_t{head[7] & 0x7F} << 14) | (off_t{head[8] & 0x7F} << 7) |
                       off_t{head[9] & 0x7F};
    start = static_cast<off_t>(kId3HeaderBytes) + body + ((head[5] & 0x10) ? static_cast<off_t>(kId3HeaderBytes) : 0);
  }
  uint8_t frame[kMpegHeaderSearchBytes];
  const ssize_t got = pread(fd, frame, sizeof frame, start);
  close(fd);
  return got > 0 && MpegFrameStatesLength(frame, static_cast<size_t>(got));
}
