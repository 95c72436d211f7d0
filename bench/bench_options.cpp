// Storing and restoring a playlist of 10,000 entries in the options file (goal: store < 0.5 s).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "player/Options.h"
#include "player/Playlist.h"

namespace {

struct TScratch {
  std::string Dir;
  TScratch() {
    char pattern[] = "/tmp/snv_bench_options_XXXXXX";
    Dir = mkdtemp(pattern);
  }
  ~TScratch() { std::filesystem::remove_all(Dir); }
};

void FillPlaylist(TPlaylist& list, int count) {
  for (int i = 0; i < count; ++i) {
    list.AddTrack("/home/listener/Music/Some Artist/Some Album (" + std::to_string(i / 12) + ")/" +
                      std::to_string(i % 12) + " - Track number " + std::to_string(i) + ".mp3",
                  "");
  }
}

void BM_StorePlaylist(benchmark::State& state) {
  TScratch scratch;
  TOptions options(scratch.Dir + "/!options.ini");
  options.WriteSettings(0, false, 10, false, 0);
  TPlaylist list;
  FillPlaylist(list, static_cast<int>(state.range(0)));
  list.CurrentIndex = 5;
  for (auto _ : state) options.StorePlaylist(list, 50);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StorePlaylist)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RestorePlaylist(benchmark::State& state) {
  TScratch scratch;
  TOptions options(scratch.Dir + "/!options.ini");
  TPlaylist list;
  FillPlaylist(list, static_cast<int>(state.range(0)));
  options.StorePlaylist(list, 50);
  for (auto _ : state) {
    TPlaylist restored;
    benchmark::DoNotOptimize(options.RestorePlaylist(restored));
    if (restored.Count() != state.range(0)) state.SkipWithError("entries lost");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RestorePlaylist)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
