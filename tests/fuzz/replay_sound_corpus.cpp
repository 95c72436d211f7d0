// Replays a corpus of sound files through the decoders without libFuzzer, each file also cut
// short at several lengths and with bytes flipped along it, as damaged files come.
// Usage: replay_sound_corpus CORPUS_DIR
#include <cstdio>

#include "CorpusFiles.h"

#include "SoundFileFuzzEntry.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  const int replayed = ReplayCorpusFiles(argv[1], [](const std::vector<uint8_t>& bytes) {
    FuzzSoundFile(bytes.data(), bytes.size());
    for (size_t cut : {size_t{4}, size_t{12}, size_t{64}, size_t{600}, bytes.size() / 3, bytes.size() - 1}) {
      if (cut < bytes.size()) FuzzSoundFile(bytes.data(), cut);
    }
    for (size_t step : {size_t{7}, size_t{101}, size_t{997}}) {
      std::vector<uint8_t> damaged = bytes;
      for (size_t i = step; i < damaged.size(); i += step * 13) damaged[i] ^= static_cast<uint8_t>(0x5A + i);
      FuzzSoundFile(damaged.data(), damaged.size());
    }
  });
  std::printf("replayed %d sound files\n", replayed);
  if (replayed == 0) {
    std::fprintf(stderr, "no sound files in %s\n", argv[1]);
    return 1;
  }
  return 0;
}
