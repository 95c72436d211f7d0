#include "SoundFileFuzzEntry.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio/SoundDecoder.h"

namespace {

// Bounds the work per input: a tiny file may claim hours of sound.
constexpr int64_t kMaxFramesRead = 1 << 18;

class TMemoryFile {
 public:
  TMemoryFile(const uint8_t* data, size_t size) : Fd(memfd_create("sound", MFD_CLOEXEC)) {
    if (Fd >= 0 && write(Fd, data, size) != static_cast<ssize_t>(size)) {
      close(Fd);
      Fd = -1;
    }
  }
  ~TMemoryFile() {
    if (Fd >= 0) close(Fd);
  }
  TMemoryFile(const TMemoryFile&) = delete;
  TMemoryFile& operator=(const TMemoryFile&) = delete;
  std::string Path() const { return Fd < 0 ? std::string() : "/proc/self/fd/" + std::to_string(Fd); }

 private:
  int Fd;
};

int64_t ReadSome(ISoundDecoder& decoder, std::vector<int16_t>& buffer, int64_t frames) {
  int64_t total = 0;
  while (total < frames) {
    const int64_t got = decoder.Read(buffer.data(), std::min<int64_t>(4096, frames - total));
    if (got <= 0) break;
    total += got;
  }
  return total;
}

}  // namespace

void FuzzSoundFile(const uint8_t* data, size_t size) {
  const TMemoryFile file(data, size);
  if (file.Path().empty()) return;
  std::unique_ptr<ISoundDecoder> decoder = OpenSoundDecoder(file.Path());
  if (!decoder) return;
  const int64_t frames = decoder->Frames();
  if (frames < 0 || frames > kMaxSoundFrames || decoder->Channels() < 1 || decoder->SampleRate() < 1) {
    std::fprintf(stderr, "a decoder opened with %lld frames, %d channels at %d Hz\n", static_cast<long long>(frames),
                 decoder->Channels(), decoder->SampleRate());
    std::abort();
  }
  std::vector<int16_t> buffer(static_cast<size_t>(4096 * decoder->Channels()));
  ReadSome(*decoder, buffer, kMaxFramesRead);
  for (int64_t target : {frames / 2, frames - 1, int64_t{0}, frames, frames + 1, int64_t{-1}}) {
    if (decoder->Seek(target)) ReadSome(*decoder, buffer, 8192);
  }
}
