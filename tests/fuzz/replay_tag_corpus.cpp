// Replays every file below the given directories through the tag reader, without libFuzzer.
// Usage: replay_tag_corpus DIR... (each must hold at least one file).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/TextConvert.h"
#include "platform/TrackTags.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIR...\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  TFontTextConverter converter;
  for (int i = 1; i < argc; ++i) {
    int here = 0;
    for (const auto& entry : fs::recursive_directory_iterator(argv[i])) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::string shown = converter.Convert(TagTitle(ReadTrackTags(bytes.data(), bytes.size())), 255);
      if (shown.size() > 255) {
        std::fprintf(stderr, "%s: a title of %zu characters\n", entry.path().c_str(), shown.size());
        return 1;
      }
      ++here;
    }
    std::printf("%s: %d inputs\n", argv[i], here);
    if (here == 0) return 1;
  }
  return 0;
}
