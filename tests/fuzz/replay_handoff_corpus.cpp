// Replays the hand-off seed corpus through the parsers, without libFuzzer.
// Usage: replay_handoff_corpus CORPUS_DIR
#include <cstdio>

#include "CorpusFiles.h"

#include "FuzzHandOff.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  const int replayed =
      ReplayCorpusFiles(argv[1], [](const std::vector<uint8_t>& bytes) { FuzzHandOffInput(bytes.data(), bytes.size()); });
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
