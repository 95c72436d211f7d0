// Replays the checked-in corpus of the session-file fuzzers, without libFuzzer.
// Usage: replay_session_corpus CORPUS_DIR (with subdirectories options/, playlist/, section/).
#include <cstdio>
#include <filesystem>

#include "CorpusFiles.h"

#include "FuzzSessionFiles.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  const struct {
    const char* Dir;
    void (*Read)(const uint8_t*, size_t);
  } targets[] = {{"options", FuzzOptionsFile}, {"playlist", FuzzPlaylistImport}, {"section", FuzzPlaylistSection}};
  for (const auto& t : targets) {
    const int here = ReplayCorpusFiles(fs::path(argv[1]) / t.Dir,
                                       [&](const std::vector<uint8_t>& bytes) { t.Read(bytes.data(), bytes.size()); });
    std::printf("%s: %d inputs\n", t.Dir, here);
    if (here == 0) return 1;
  }
  return 0;
}
