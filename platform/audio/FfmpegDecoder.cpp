#include "platform/audio/FfmpegDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// Decoded ahead of a seek target so that the decoder's overlap from the previous block is
// rebuilt and the frames at the target come out as they do when playing through.
constexpr int64_t kSeekPrerollFrames = 8192;
constexpr int kMaxChannels = 8;

struct TFormatCloser {
  void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
struct TCodecFreer {
  void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
};
struct TResamplerFreer {
  void operator()(SwrContext* p) const { swr_free(&p); }
};
struct TPacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct TFrameFreer {
  void operator()(AVFrame* p) const { av_frame_free(&p); }
};
struct TDictionaryFreer {
  void operator()(AVDictionary* p) const { av_dict_free(&p); }
};

class TFfmpegDecoder final : public ISoundDecoder {
 public:
  bool Open(const std::string& path);

  int Channels() const override { return FChannels; }
  int SampleRate() const override { return FRate; }
  int64_t Frames() const override { return FFrames; }
  int64_t Read(int16_t* dst, int64_t frames) override;
  bool Seek(int64_t frame) override;

 private:
  int64_t CountFrames();
  bool SeekBefore(int64_t frame);
  bool DecodeNext();
  bool Convert();

  std::unique_ptr<AVFormatContext, TFormatCloser> Format;
  std::unique_ptr<AVCodecContext, TCodecFreer> Codec;
  std::unique_ptr<SwrContext, TResamplerFreer> Resampler;
  std::unique_ptr<AVPacket, TPacketFreer> Packet{av_packet_alloc()};
  std::unique_ptr<AVFrame, TFrameFreer> Frame{av_frame_alloc()};
  AVStream* Stream = nullptr;
  int FChannels = 0;
  int FRate = 0;
  int64_t FFrames = 0;

  int64_t Position = 0;      // the frame Read delivers next
  int64_t DecodedEnd = 0;    // the frame after the last one decoded
  bool NeedTimestamp = false;  // after a seek: the next decoded block tells where it starts
  bool Draining = false;
  bool Ended = false;
  std::vector<int16_t> Pending;  // the block decoded last, converted
  int64_t PendingStart = 0;      // its first frame
};

int64_t Rescale(int64_t value, AVRational from, int rate) { return av_rescale_q(value, from, AVRational{1, rate}); }

// The floating-point MPEG decoders: the fixed-point ones round differently after a seek than
// when playing through, so a seek would not land on the very samples playing gives.
const AVCodec* DecoderFor(AVCodecID id) {
  switch (id) {
    case AV_CODEC_ID_AAC:
    case AV_CODEC_ID_ALAC: return avcodec_find_decoder(id);
    case AV_CODEC_ID_MP3: return avcodec_find_decoder_by_name("mp3float");
    case AV_CODEC_ID_MP2: return avcodec_find_decoder_by_name("mp2float");
    default: return nullptr;
  }
}

bool TFfmpegDecoder::Open(const std::string& path) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
  if (!Packet || !Frame) return false;
  // Only the containers and codecs this decoder is for: less of FFmpeg meets outside files.
  AVDictionary* options = nullptr;
  av_dict_set(&options, "format_whitelist", "mov,aac,mp3", 0);
  av_dict_set(&options, "codec_whitelist", "aac,alac,mp3float,mp2float", 0);
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  std::unique_ptr<AVDictionary, TDictionaryFreer> optionsOwner(options);
  AVFormatContext* format = nullptr;
  AVDictionary* openOptions = nullptr;
  av_dict_copy(&openOptions, options, 0);
  // "file:" keeps a colon in the name from being read as another protocol.
  const int opened = avformat_open_input(&format, ("file:" + path).c_str(), nullptr, &openOptions);
  av_dict_free(&openOptions);
  if (opened < 0) return false;
  Format.reset(format);
  if (avformat_find_stream_info(format, nullptr) < 0) return false;
  const int index = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (index < 0) return false;
  Stream = format->streams[index];
  const AVCodecParameters* parameters = Stream->codecpar;
  const AVCodec* codec = DecoderFor(parameters->codec_id);
  if (!codec) return false;
  Codec.reset(avcodec_alloc_context3(codec));
  if (!Codec || avcodec_parameters_to_context(Codec.get(), parameters) < 0) return false;
  Codec->pkt_timebase = Stream->time_base;
  AVDictionary* codecOptions = nullptr;
  av_dict_copy(&codecOptions, options, 0);
  const int codecOpened = avcodec_open2(Codec.get(), codec, &codecOptions);
  av_dict_free(&codecOptions);
  if (codecOpened < 0) return false;
  FChannels = parameters->ch_layout.nb_channels;
  FRate = parameters->sample_rate;
  if (FChannels < 1 || FChannels > kMaxChannels || FRate < 1) return false;
  for (unsigned i = 0; i < format->nb_streams; ++i) {
    if (static_cast<int>(i) != index) format->streams[i]->discard = AVDISCARD_ALL;
  }
  FFrames = CountFrames();
  return FFrames > 0 && Seek(0);
}

int64_t TFfmpegDecoder::CountFrames() {
  // An MP4 track states its length after the encoder's delay and padding are cut.
  if (std::strstr(Format->iformat->name, "mov") && Stream->duration > 0)
    return Rescale(Stream->duration, Stream->time_base, FRate);
  // Raw AAC and MP3 state none that can be trusted: add up the packets.
  int64_t total = 0;
  while (av_read_frame(Format.get(), Packet.get()) >= 0) {
    if (Packet->stream_index == Stream->index) total += Packet->duration;
    av_packet_unref(Packet.get());
  }
  return Rescale(total, Stream->time_base, FRate);
}

bool TFfmpegDecoder::SeekBefore(int64_t frame) {
  const int64_t start = Stream->start_time == AV_NOPTS_VALUE ? 0 : Stream->start_time;
  if (frame > 0) {
    const int64_t timestamp = start + av_rescale_q(frame, AVRational{1, FRate}, Stream->time_base);
    if (av_seek_frame(Format.get(), Stream->index, timestamp, AVSEEK_FLAG_BACKWARD) >= 0) return true;
  }
  // The very start, including any packet before the first timestamp (the encoder's delay).
  return av_seek_frame(Format.get(), Stream->index, INT64_MIN, 0) >= 0 ||
         avformat_seek_file(Format.get(), -1, INT64_MIN, 0, 0, AVSEEK_FLAG_BYTE) >= 0;
}

bool TFfmpegDecoder::Seek(int64_t frame) {
  if (frame < 0 || frame > FFrames) return false;
  avcodec_flush_buffers(Codec.get());
  Pending.clear();
  Draining = false;
  Ended = !SeekBefore(frame - kSeekPrerollFrames);
  NeedTimestamp = true;
  Position = frame;
  return !Ended;
}

bool TFfmpegDecoder::Convert() {
  AVFrame& frame = *Frame;
  if (frame.ch_layout.nb_channels != FChannels || frame.sample_rate != FRate) return false;
  if (!Resampler) {
    SwrContext* resampler = nullptr;
    if (swr_alloc_set_opts2(&resampler, &frame.ch_layout, AV_SAMPLE_FMT_S16, FRate, &frame.ch_layout,
                            static_cast<AVSampleFormat>(frame.format), FRate, 0, nullptr) < 0)
      return false;
    Resampler.reset(resampler);
    if (swr_init(resampler) < 0) return false;
  }
  Pending.resize(static_cast<size_t>(frame.nb_samples) * static_cast<size_t>(FChannels));
  uint8_t* out[] = {reinterpret_cast<uint8_t*>(Pending.data())};
  const int got = swr_convert(Resampler.get(), out, frame.nb_samples, const_cast<const uint8_t**>(frame.extended_data),
                              frame.nb_samples);
  if (got < 0) return false;
  Pending.resize(static_cast<size_t>(got) * static_cast<size_t>(FChannels));
  return true;
}

bool TFfmpegDecoder::DecodeNext() {
  while (!Ended) {
    const int received = avcodec_receive_frame(Codec.get(), Frame.get());
    if (received == 0) {
      if (NeedTimestamp) {
        const int64_t timestamp = Frame->best_effort_timestamp;
        if (timestamp == AV_NOPTS_VALUE) break;
        const int64_t start = Stream->start_time == AV_NOPTS_VALUE ? 0 : Stream->start_time;
        DecodedEnd = Rescale(timestamp - start, Stream->time_base, FRate);
        NeedTimestamp = false;
      }
      const bool converted = Convert();
      av_frame_unref(Frame.get());
      if (!converted) break;
      PendingStart = DecodedEnd;
      DecodedEnd += static_cast<int64_t>(Pending.size()) / FChannels;
      return true;
    }
    if (received != AVERROR(EAGAIN)) break;  // the end, or a decoder that gave up
    if (Draining) break;
    if (av_read_frame(Format.get(), Packet.get()) < 0) {
      Draining = true;
      avcodec_send_packet(Codec.get(), nullptr);
      continue;
    }
    if (Packet->stream_index == Stream->index) avcodec_send_packet(Codec.get(), Packet.get());  // bad packets are skipped
    av_packet_unref(Packet.get());
  }
  Ended = true;
  Pending.clear();
  return false;
}

int64_t TFfmpegDecoder::Read(int16_t* dst, int64_t frames) {
  frames = std::min(frames, FFrames - Position);
  int64_t done = 0;
  while (done < frames) {
    const int64_t pendingEnd = PendingStart + static_cast<int64_t>(Pending.size()) / FChannels;
    if (Position >= PendingStart && Position < pendingEnd) {
      const int64_t n = std::min(frames - done, pendingEnd - Position);
      std::memcpy(dst + done * FChannels, Pending.data() + (Position - PendingStart) * FChannels,
                  static_cast<size_t>(n * FChannels) * sizeof(int16_t));
      done += n;
      Position += n;
      continue;
    }
    if (!DecodeNext()) break;
    // A seek that landed after its target cannot be made exact any more: go on from there.
    if (PendingStart > Position) Position = PendingStart;
  }
  return done;
}

}  // namespace

std::unique_ptr<ISoundDecoder> OpenFfmpegDecoder(const std::string& path) {
  auto decoder = std::make_unique<TFfmpegDecoder>();
  if (!decoder->Open(path)) return nullptr;
  return decoder;
}
