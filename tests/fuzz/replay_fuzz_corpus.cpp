// Replays every file of a corpus directory through the fuzzed loaders, without libFuzzer.
// Usage: replay_fuzz_corpus CORPUS_DIR (with subdirectories texture/, image/, font/).
#include <cstdio>
#include <filesystem>

#include "CorpusFiles.h"

#include "FuzzEntryPoints.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  const struct {
    const char* Dir;
    void (*Load)(const uint8_t*, size_t);
  } targets[] = {{"texture", FuzzTextureBlock}, {"image", FuzzImageFile}, {"font", FuzzFontFile}};
  int replayed = 0;
  for (const auto& t : targets) {
    const fs::path dir = fs::path(argv[1]) / t.Dir;
    const int here = ReplayCorpusFiles(dir, [&](const std::vector<uint8_t>& bytes) { t.Load(bytes.data(), bytes.size()); });
    std::printf("%s: %d inputs\n", t.Dir, here);
    if (here == 0) {
      std::fprintf(stderr, "no inputs in %s\n", dir.c_str());
      return 1;
    }
    replayed += here;
  }
  std::printf("replayed %d inputs\n", replayed);
  return 0;
}
