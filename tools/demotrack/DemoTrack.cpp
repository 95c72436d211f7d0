// Writes the bundled demo track: a 45 s stereo Ogg Vorbis song that exercises every visualization.
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tools/demotrack/Arrangement.h"
#include "tools/demotrack/Master.h"
#include "tools/demotrack/OggSerial.h"

namespace {

constexpr uint64_t Seed = 0x50AA7A2105ull;
constexpr uint32_t OggSerialNumber = 0x534E5631;  // "SNV1"

struct SndFileCloser {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

// Opened before the song is rendered, so an unwritable path fails at once.
SndFilePtr CreateOgg(const std::string& path) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(demotrack::SampleRate);
  info.channels = 2;
  info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  SndFilePtr file(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!file) {
    std::fprintf(stderr, "demotrack: cannot create %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return nullptr;
  }
  double quality = 0.6;
  sf_command(file.get(), SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof(quality));
  sf_set_string(file.get(), SF_STR_TITLE, "Sonavarium Demo");
  sf_set_string(file.get(), SF_STR_ARTIST, "Sonavarium");
  return file;
}

bool WriteFrames(SNDFILE* file, const demotrack::StereoBuffer& mix) {
  constexpr size_t Chunk = 4096;
  std::vector<float> interleaved(Chunk * 2);
  for (size_t start = 0; start < mix.Frames(); start += Chunk) {
    size_t count = std::min(Chunk, mix.Frames() - start);
    for (size_t i = 0; i < count; ++i) {
      interleaved[2 * i] = static_cast<float>(mix.L[start + i]);
      interleaved[2 * i + 1] = static_cast<float>(mix.R[start + i]);
    }
    if (sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(count)) != static_cast<sf_count_t>(count)) {
      std::fprintf(stderr, "demotrack: writing failed: %s\n", sf_strerror(file));
      return false;
    }
  }
  return true;
}

bool MakeReproducible(const std::string& path) {
  std::vector<uint8_t> bytes;
  {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (!demotrack::SetOggSerial(bytes, OggSerialNumber)) {
    std::fprintf(stderr, "demotrack: %s is not a sequence of Ogg pages\n", path.c_str());
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool WriteDemoTrack(const std::string& path) {
  SndFilePtr file = CreateOgg(path);
  if (!file) return false;
  demotrack::StereoBuffer mix = demotrack::ComposeDemoTrack(Seed);
  demotrack::Master(mix);
  bool written = WriteFrames(file.get(), mix);
  if (sf_close(file.release()) != 0) written = false;
  return written && MakeReproducible(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.ogg\n", argv[0]);
    return 2;
  }
  std::string output = argv[1];
  // Write beside the target and rename, so an interrupted build never leaves half a file behind.
  std::string temporary = output + ".part";
  if (!WriteDemoTrack(temporary)) {
    std::remove(temporary.c_str());
    return 1;
  }
  std::error_code error;
  std::filesystem::rename(temporary, output, error);
  if (error) {
    std::fprintf(stderr, "demotrack: cannot rename to %s: %s\n", output.c_str(), error.message().c_str());
    return 1;
  }
  return 0;
}
