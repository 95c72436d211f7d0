#pragma once
// Digests of what a recording renderer received, compared with a file kept beside the tests: one
// line per block of frames, so a difference names the recording and where it starts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/device/zrnRecordingRenderer.h"

// FNV-1a over every field of every call; textures are numbered in order of first appearance so
// the digest does not depend on addresses.
class TGoldenDigest {
 public:
  void Add(const TZRNRecordingRenderer& recorder) {
    for (const TZRNRecordedCall& call : recorder.Calls) {
      Mix(call.Kind);
      Mix(call.A);
      Mix(call.B);
      Mix(call.C);
      Mix(call.D);
      Mix(TextureNumber(call.Texture));
      Mix(call.Primitive);
      Mix(call.Count);
      // Normals are not hashed: the 2D paths leave them unset, and no renderer reads them.
      for (const TVertex& v : call.Vertices) {
        Mix(v.TexCoord);
        Mix(v.Color);
        Mix(v.Position);
      }
      Mix(call.Matrix);
      MixBytes(call.Text.data(), call.Text.size());
    }
  }
  uint64_t Take() {
    const uint64_t value = Hash;
    Hash = Basis;
    return value;
  }

 private:
  static constexpr uint64_t Basis = 14695981039346656037ull;
  template <typename T>
  void Mix(const T& value) {
    MixBytes(&value, sizeof(value));
  }
  void MixBytes(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) Hash = (Hash ^ bytes[i]) * 1099511628211ull;
  }
  uint32_t TextureNumber(const TZRNTexture* texture) {
    if (!texture) return 0;
    auto [it, added] = Textures.emplace(texture, static_cast<uint32_t>(Textures.size() + 1));
    return it->second;
  }
  uint64_t Hash = Basis;
  std::map<const TZRNTexture*, uint32_t> Textures;
};

// Lines "<recording> <last frame of the block> <digest>" as the current code draws them.
class TGoldenLines {
 public:
  void Add(const std::string& recording, int frame, uint64_t digest) {
    char hex[17];
    std::snprintf(hex, sizeof(hex), "%016llx", static_cast<unsigned long long>(digest));
    Lines.push_back(recording + " " + std::to_string(frame) + " " + hex);
  }

  // Compares with the stored file; SNV_WRITE_GOLDEN=1 rewrites it instead (and still fails, so
  // a rewrite is never taken for a pass).
  void Check(const std::string& fileName) const {
    const std::string path = std::string(SNV_SOURCE_DIR) + "/tests/unit/golden/" + fileName;
    const char* write = std::getenv("SNV_WRITE_GOLDEN");
    if (write && std::string(write) == "1") {
      std::ofstream out(path);
      for (const std::string& line : Lines) out << line << "\n";
      FAIL() << "wrote " << path;
    }
    std::ifstream in(path);
    ASSERT_TRUE(in) << "missing " << path;
    std::vector<std::string> stored;
    for (std::string line; std::getline(in, line);) stored.push_back(line);
    ASSERT_EQ(stored.size(), Lines.size()) << fileName;
    for (size_t i = 0; i < Lines.size(); ++i)
      ASSERT_EQ(Lines[i], stored[i]) << "first difference in " << fileName << " line " << i + 1;
  }

 private:
  std::vector<std::string> Lines;
};
