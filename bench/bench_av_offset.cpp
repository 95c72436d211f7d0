// How far the frame the player takes as heard now lies from the frame the sound server plays
// now, through a server of its own with a float null sink. The track codes each frame's index
// in its samples; a recording of the sink's monitor, with the recording latency the server
// reports, tells which frame left the sink at each moment. The offset beyond the server's own
// reporting accuracy is the target (5 ms); the spread shows that accuracy.
#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/AudioEngine.h"

namespace {
constexpr int kRate = 44100;
constexpr int kSeconds = 12;
constexpr int kBlockFrames = 128;
constexpr char kSink[] = "snv_bench_av";
constexpr double kImplausibleRecordLatencyMs = 50;

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool WriteIndexTrack(const std::string& path) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<int16_t> frames(static_cast<size_t>(kRate) * kSeconds * 2);
  for (int64_t i = 0; i < int64_t{kRate} * kSeconds; ++i) {
    frames[static_cast<size_t>(i * 2)] = static_cast<int16_t>(i % 32768);
    frames[static_cast<size_t>(i * 2 + 1)] = static_cast<int16_t>(i / 32768);
  }
  bool ok = sf_writef_short(file, frames.data(), int64_t{kRate} * kSeconds) == int64_t{kRate} * kSeconds;
  sf_close(file);
  return ok;
}

// A server with a private runtime directory, killed at the end.
struct TServer {
  std::filesystem::path Dir;
  bool Up = false;
  TServer() {
    char pattern[] = "/tmp/snv_bench_av.XXXXXX";
    if (!mkdtemp(pattern)) return;
    Dir = pattern;
    std::filesystem::create_directories(Dir / "home");
    setenv("XDG_RUNTIME_DIR", Dir.c_str(), 1);
    setenv("HOME", (Dir / "home").c_str(), 1);
    unsetenv("SDL_AUDIODRIVER");
    std::string cmd = std::string("pulseaudio -n --daemonize=yes --exit-idle-time=-1 --log-target=file:") +
                      (Dir / "pulse.log").string() + " -L 'module-null-sink sink_name=" + kSink +
                      " format=float32le rate=44100 channels=2' -L module-native-protocol-unix";
    Up = std::system(cmd.c_str()) == 0;
    for (int i = 0; Up && i < 50 && std::system("pactl info >/dev/null 2>&1") != 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ~TServer() {
    if (Up) std::system(("kill -KILL $(cat " + (Dir / "pulse/pid").string() + ") 2>/dev/null").c_str());
    std::error_code ignored;
    std::filesystem::remove_all(Dir, ignored);
  }
};

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}
}  // namespace

int main() {
  TServer server;
  if (!server.Up) {
    std::puts("A/V offset: no PulseAudio server could be started (packages pulseaudio, pulseaudio-utils)");
    return 1;
  }
  const std::string track = (server.Dir / "index.wav").string();
  if (!WriteIndexTrack(track)) return 1;

  TAudioEngine engine;
  if (!engine.Init(AUDIO_DEVICE_DEFAULT, kRate, 0)) return 1;
  uint32_t stream = engine.StreamCreateFile(track, 0);
  if (!stream || !engine.ChannelPlay(stream, false)) return 1;

  pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, kRate, 2};
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.fragsize = kBlockFrames * 8;
  int error = 0;
  const std::string monitor = std::string(kSink) + ".monitor";
  pa_simple* rec = pa_simple_new(nullptr, "snv_bench_av", PA_STREAM_RECORD, monitor.c_str(), "monitor", &spec,
                                 nullptr, &attr, &error);
  if (!rec) {
    std::printf("A/V offset: cannot record the monitor: %s\n", pa_strerror(error));
    return 1;
  }
  std::vector<float> block(kBlockFrames * 2);
  std::vector<double> offsetsMs;
  std::vector<double> latenciesMs;
  // The first seconds are left out: a sink that just started runs with a long latency.
  const int64_t from = NowNs() + int64_t{2} * 1000000000;
  const int64_t until = from + int64_t{kSeconds - 5} * 1000000000;
  while (NowNs() < until) {
    if (pa_simple_read(rec, block.data(), block.size() * sizeof(float), &error) < 0) break;
    pa_usec_t recordLatency = pa_simple_get_latency(rec, &error);
    int64_t at = NowNs();
    int64_t playerHeard = engine.ChannelGetPosition(stream, AUDIO_POS_BYTE) / 4;
    // The last frame read left the sink recordLatency ago.
    const float* last = &block[(kBlockFrames - 1) * 2];
    int64_t low = std::lround(last[0] * 32768.0f);
    int64_t high = std::lround(last[1] * 32768.0f);
    int64_t sinkFrame = low + high * 32768;
    if (at < from || sinkFrame == 0) continue;
    double sinkNow = static_cast<double>(sinkFrame) + static_cast<double>(recordLatency) * kRate / 1e6 +
                     static_cast<double>(NowNs() - at) * kRate / 1e9;
    offsetsMs.push_back((static_cast<double>(playerHeard) - sinkNow) * 1000.0 / kRate);
    latenciesMs.push_back(static_cast<double>(recordLatency) / 1000.0);
  }
  pa_simple_free(rec);
  engine.Free();
  if (offsetsMs.size() < 100) {
    std::puts("A/V offset: too few samples from the monitor");
    return 1;
  }
  // Now and then the server reports a recording latency of hundreds of milliseconds for a block
  // that the track's own index shows to be current; those reports are left out and counted.
  std::vector<double> trusted;
  std::vector<double> magnitudes;
  for (size_t i = 0; i < offsetsMs.size(); ++i) {
    if (latenciesMs[i] > kImplausibleRecordLatencyMs) continue;
    trusted.push_back(offsetsMs[i]);
    magnitudes.push_back(std::fabs(offsetsMs[i]));
  }
  if (trusted.size() < 100) {
    std::puts("A/V offset: too few samples with a plausible recording latency");
    return 1;
  }
  std::printf(
      "A/V offset (player's heard frame minus the sink's; positive: picture ahead), %zu of %zu samples:\n"
      "  median %+.2f ms, 5%%..95%% %+.2f..%+.2f ms, median |offset| %.2f ms   target: <= 5 ms beyond the "
      "server's reporting accuracy\n"
      "  left out: %zu samples whose recording latency the server put above %.0f ms\n",
      trusted.size(), offsetsMs.size(), Percentile(trusted, 0.5), Percentile(trusted, 0.05),
      Percentile(trusted, 0.95), Percentile(magnitudes, 0.5), offsetsMs.size() - trusted.size(),
      kImplausibleRecordLatencyMs);
  return 0;
}
