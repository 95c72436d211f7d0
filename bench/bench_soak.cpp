// Ten simulated minutes (36,000 frames at 60 Hz) in each visualization, one after the other as a
// listener would switch; resident memory after the first minute and at the end of each.
// Targets: <= 150 MB, and no growth after the first minute.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>

#include "bench/VisHarness.h"

namespace {

double ResidentMB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

TFrameHarness& Player() {
  static TFrameHarness harness(DemoTrack(), 1920, 1080);
  return harness;
}

void BM_Soak(benchmark::State& state) {
  const auto visualization = static_cast<uint8_t>(state.range(0));
  constexpr int minute = 3600, tenMinutes = 36000;
  TFrameHarness& player = Player();
  double firstMinute = 0, end = 0;
  for (auto _ : state) {
    player.Select(visualization);
    for (int f = 1; f <= tenMinutes; ++f) {
      player.RunFrame();
      if (f == minute) firstMinute = ResidentMB();
    }
    end = ResidentMB();
  }
  state.counters["rss_1min_MB"] = firstMinute;
  state.counters["rss_10min_MB"] = end;
  state.counters["growth_MB"] = end - firstMinute;
  // Under a megabyte of drift counts as none: allocator and page-cache noise.
  const bool met = end <= 150.0 && end - firstMinute < 1.0;
  state.SetLabel(std::string(Visualizations[visualization].Name) + (met ? " meets" : " MISSES") +
                 " <=150MB, no growth" + (DemoTrack().Real ? ", demo track" : ", synthetic signal"));
}

}  // namespace

BENCHMARK(BM_Soak)->DenseRange(0, 7)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
