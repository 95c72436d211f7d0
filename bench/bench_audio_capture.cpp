// What a visualization frame pays for its capture: the newest 2048 bytes of an MP3 track on the
// player's thread, with the track moving on by one frame (16 ms) between captures, and after a
// seek to somewhere else.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio/AudioEngine.h"

namespace {

std::string MakeTrack() {
  static std::string path;
  if (path.empty()) {
    std::string dir = (std::filesystem::temp_directory_path() / "snv_bench_audio").string();
    std::filesystem::create_directories(dir);
    path = dir + "/track.mp3";
    std::string cmd = "sox -n -r 44100 -c 2 -b 16 -t wav - synth 10 sine 440 2>/dev/null | lame --quiet - " + path;
    if (std::system(cmd.c_str()) != 0) path.clear();
  }
  return path;
}

struct TSilentTrack {
  std::shared_ptr<TManualAudioClock> Clock = std::make_shared<TManualAudioClock>();
  TAudioEngine Engine{Clock};
  uint32_t Handle = 0;
  explicit TSilentTrack(const std::string& path) {
    Engine.Init(AUDIO_DEVICE_NONE, 44100, AUDIO_DEVICE_MONO);
    Handle = Engine.StreamCreateFile(path, 0);
    Engine.ChannelPlay(Handle, false);
  }
};

void BM_CaptureWhilePlaying(benchmark::State& state) {
  std::string path = MakeTrack();
  if (path.empty()) return state.SkipWithError("sox or lame missing");
  TSilentTrack track(path);
  std::vector<char> buffer(2048);
  for (auto _ : state) {
    track.Clock->AdvanceMs(16);
    if (track.Engine.ChannelIsActive(track.Handle) != AUDIO_ACTIVE_PLAYING) track.Engine.ChannelPlay(track.Handle, true);
    benchmark::DoNotOptimize(track.Engine.ChannelGetData(track.Handle, buffer.data(), 2048));
  }
}
BENCHMARK(BM_CaptureWhilePlaying)->Unit(benchmark::kMicrosecond);

void BM_CaptureAfterSeek(benchmark::State& state) {
  std::string path = MakeTrack();
  if (path.empty()) return state.SkipWithError("sox or lame missing");
  TSilentTrack track(path);
  std::vector<char> buffer(2048);
  int64_t length = track.Engine.ChannelGetLength(track.Handle, AUDIO_POS_BYTE);
  int64_t step = length / 7 / 4 * 4;
  int64_t at = 0;
  for (auto _ : state) {
    at = (at + step) % length;
    track.Engine.ChannelSetPosition(track.Handle, at, AUDIO_POS_BYTE);
    benchmark::DoNotOptimize(track.Engine.ChannelGetData(track.Handle, buffer.data(), 2048));
  }
}
BENCHMARK(BM_CaptureAfterSeek)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
