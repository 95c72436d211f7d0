#include "platform/audio/SoundDecoder.h"

#include "platform/audio/FfmpegDecoder.h"
#include "platform/audio/SoundContent.h"
#include "platform/audio/SoundFile.h"

namespace {

class TSndfileDecoder final : public ISoundDecoder {
 public:
  explicit TSndfileDecoder(std::unique_ptr<TSoundFile> file) : File(std::move(file)) {}
  int Channels() const override { return File->Channels(); }
  int SampleRate() const override { return File->SampleRate(); }
  int64_t Frames() const override { return File->Frames(); }
  int64_t Read(int16_t* dst, int64_t frames) override { return File->Read(dst, frames); }
  bool Seek(int64_t frame) override { return File->Seek(frame); }

 private:
  std::unique_ptr<TSoundFile> File;
};

}  // namespace

std::unique_ptr<ISoundDecoder> OpenSoundDecoder(const std::string& path) {
  const ESoundContent content = SniffSoundFile(path);
  if (content == ESoundContent::Mp4 || content == ESoundContent::Adts) return OpenFfmpegDecoder(path);
  std::unique_ptr<TSoundFile> file = TSoundFile::Open(path);
  if (!file) return nullptr;
  return std::make_unique<TSndfileDecoder>(std::move(file));
}
