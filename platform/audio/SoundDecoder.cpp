#include "platform/audio/SoundDecoder.h"

#include "platform/audio/FfmpegDecoder.h"
#include "platform/audio/MpegLengthHeader.h"
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
  // FFmpeg for what libsndfile cannot decode, and for MP3s without a length header, which
  // libsndfile would stop playing at its estimate while FFmpeg counts their frames.
  const bool ffmpeg = content == ESoundContent::Mp4 || content == ESoundContent::Adts ||
                      (content == ESoundContent::Mpeg && !MpegFileStatesLength(path));
  std::unique_ptr<ISoundDecoder> decoder = ffmpeg ? OpenFfmpegDecoder(path) : nullptr;
  if (!decoder) {
    if (std::unique_ptr<TSoundFile> file = TSoundFile::Open(path)) decoder = std::make_unique<TSndfileDecoder>(std::move(file));
  }
  // A damaged header can claim an endless length (libsndfile reports "unknown" as the largest
  // count), which positions in bytes cannot hold.
  if (decoder && decoder->Frames() > kMaxSoundFrames) return nullptr;
  return decoder;
}
