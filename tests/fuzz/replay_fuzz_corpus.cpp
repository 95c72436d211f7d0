// Replays every file of a corpus directory through the fuzzed loaders, without libFuzzer.
// Usage: replay_fuzz_corpus CORPUS_DIR (with subdirectories texture/, image/, font/).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

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
    int here = 0;
    if (fs::is_directory(dir)) {
      for (const auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        t.Load(bytes.data(), bytes.size());
        ++here;
      }
    }
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
