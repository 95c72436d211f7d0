#pragma once
// Hands the bytes of every regular file in a corpus directory to `replay`; returns how many there
// were (0 when the directory is missing), so the replay programs fail on an empty corpus.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

template <typename TReplay>
int ReplayCorpusFiles(const std::filesystem::path& dir, TReplay replay) {
  int count = 0;
  if (!std::filesystem::is_directory(dir)) return 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    replay(bytes);
    ++count;
  }
  return count;
}
