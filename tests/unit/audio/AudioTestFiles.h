#pragma once
// Sound files made at test time in a private temporary directory.
#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class TTempDir {
 public:
  TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "snv_audio_XXXXXX").string();
    FPath = mkdtemp(pattern.data());
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  std::string File(const std::string& name) const { return (std::filesystem::path(FPath) / name).string(); }

 private:
  std::string FPath;
};

// Writes a 16-bit file of `frames` frames; sample(frame, channel) gives each value.
inline bool WriteSamples(const std::string& path, int format, int64_t frames, int channels, int rate,
                         const std::function<int16_t(int64_t, int)>& sample) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<int16_t> data(static_cast<size_t>(frames * channels));
  for (int64_t f = 0; f < frames; ++f)
    for (int c = 0; c < channels; ++c) data[static_cast<size_t>(f * channels + c)] = sample(f, c);
  bool ok = sf_writef_short(file, data.data(), frames) == frames;
  sf_close(file);
  return ok;
}

// Every frame carries its own index: left = index mod 32768, right = index / 32768; a mono file
// carries the index mod 32768. Lossless, so a captured frame tells exactly where it came from.
inline int16_t IndexSample(int64_t frame, int channel) {
  return static_cast<int16_t>(channel == 0 ? frame % 32768 : frame / 32768);
}
inline int64_t FrameIndexOf(const int16_t* frame) { return frame[0] + int64_t{frame[1]} * 32768; }

inline bool WriteIndexWav(const std::string& path, int64_t frames, int channels, int rate = 44100) {
  return WriteSamples(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, frames, channels, rate, IndexSample);
}

inline bool RunShell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Silent for the first half, then a loud tone (0.8 of full scale): lossy codecs keep that
// difference, so a capture tells which half it came from.
inline std::string SilenceThenToneWav(const TTempDir& dir, const std::string& name, int channels,
                                      double seconds = 1.0) {
  std::string path = dir.File(name);
  std::string half = std::to_string(seconds / 2);
  std::string cmd = "sox -D -n -r 44100 -c " + std::to_string(channels) + " -b 16 " + path + " synth " + half +
                    " sine 440 vol 0.8 pad " + half + " 0";
  return RunShell(cmd) ? path : std::string();
}

inline int PeakOf(const int16_t* samples, size_t count) {
  int peak = 0;
  for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(int{samples[i]}));
  return peak;
}
