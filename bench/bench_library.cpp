// A music collection of 10,000 files in 500 folders added as a folder, and stored at exit
// (goals: each under 0.5 s). One file in ten has no extension and is told by its content.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "player/Demo.h"
#include "player/Options.h"
#include "player/Playlist.h"

namespace {

constexpr int kFolders = 500;
constexpr int kFilesPerFolder = 20;

struct TCollection {
  std::string Dir;
  TCollection() {
    char pattern[] = "/tmp/snv_bench_library_XXXXXX";
    Dir = mkdtemp(pattern);
    for (int a = 0; a < kFolders; ++a) {
      const std::string album = Dir + "/Artist " + std::to_string(a / 10) + "/Album " + std::to_string(a);
      std::filesystem::create_directories(album);
      std::ofstream(album + "/cover.jpg") << "\xFF\xD8\xFF\xE0";
      for (int t = 1; t <= kFilesPerFolder; ++t) {
        const std::string name = std::to_string(t) + " - Track " + std::to_string(t);
        if (t % 10 == 0) std::ofstream(album + "/" + name) << "OggS";
        else std::ofstream(album + "/" + name + ".mp3") << "ID3";
      }
    }
  }
  ~TCollection() { std::filesystem::remove_all(Dir); }
};

const TCollection& Collection() {
  static const TCollection collection;
  return collection;
}

// As the command line and a drop add it: each file also looked up among the entries before it.
void BM_AddFolderTree(benchmark::State& state) {
  const TCollection& music = Collection();
  for (auto _ : state) {
    TDemo demo;
    demo.Playlist = MakeOwned<TPlaylist>();
    demo.AddNamedFiles({music.Dir});
    if (demo.Playlist->Count() != kFolders * kFilesPerFolder) state.SkipWithError("files lost");
  }
  state.SetItemsProcessed(state.iterations() * kFolders * kFilesPerFolder);
}
BENCHMARK(BM_AddFolderTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_StoreFolderTree(benchmark::State& state) {
  const TCollection& music = Collection();
  TPlaylist list;
  list.AddFolder(music.Dir, false);
  TOptions options(music.Dir + "/!options.ini");
  options.WriteSettings(0, false, 10, false, 0);
  for (auto _ : state) options.StorePlaylist(list, 50);
  state.SetItemsProcessed(state.iterations() * list.Count());
}
BENCHMARK(BM_StoreFolderTree)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
