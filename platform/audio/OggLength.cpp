#include "platform/audio/OggLength.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr size_t kHeaderBytes = 27;
constexpr int64_t kTailBytes = 256 * 1024;  // several pages of any stream

bool ReadAt(int fd, int64_t offset, size_t bytes, std::string& out) {
  out.resize(bytes);
  size_t done = 0;
  while (done < bytes) {
    const ssize_t n = pread(fd, out.data() + done, bytes - done, static_cast<off_t>(offset + done));
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  out.resize(done);
  return done == bytes;
}

int64_t Little64(const std::string& s, size_t at) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
  return static_cast<int64_t>(v);
}

// Opus counts its granules from before the pre-skip the decoder drops.
int64_t OpusPreSkip(int fd) {
  std::string head;
  ReadAt(fd, 0, 512, head);
  const size_t at = head.find("OpusHead");
  if (at == std::string::npos) return -1;
  if (at + 12 > head.size()) return 0;
  return static_cast<unsigned char>(head[at + 10]) | (static_cast<unsigned char>(head[at + 11]) << 8);
}

}  // namespace

int64_t OggDecodableFrames(int fd) {
  // fstat, not lseek: the decoder reads from the same descriptor.
  struct stat st {};
  if (fstat(fd, &st) != 0 || st.st_size <= 0) return -1;
  const int64_t size = st.st_size;
  const int64_t start = std::max<int64_t>(0, size - kTailBytes);
  std::string tail;
  if (!ReadAt(fd, start, static_cast<size_t>(size - start), tail)) return -1;
  size_t end = tail.size();
  while (true) {
    const size_t page = end == 0 ? std::string::npos : tail.rfind("OggS", end - 1);
    if (page == std::string::npos) return -1;
    end = page;
    if (page + kHeaderBytes > tail.size()) continue;
    const size_t segments = static_cast<unsigned char>(tail[page + 26]);
    if (page + kHeaderBytes + segments > tail.size()) continue;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += static_cast<unsigned char>(tail[page + kHeaderBytes + i]);
    if (page + kHeaderBytes + segments + body > tail.size()) continue;  // cut off: not complete
    const int64_t granule = Little64(tail, page + 6);
    if (granule < 0) continue;  // a page where no packet ends
    const int64_t preSkip = OpusPreSkip(fd);
    return std::max<int64_t>(0, granule - std::max<int64_t>(0, preSkip));
  }
}
