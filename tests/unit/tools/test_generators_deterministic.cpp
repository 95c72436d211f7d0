#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<char> Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path FreshDirectory(const std::string& name) {
  // Tests run in parallel processes: the process id keeps their directories apart.
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("snv_gen_" + name + "_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

int RunTool(const std::string& command) { return std::system(("ASAN_OPTIONS=detect_leaks=0 " + command).c_str()); }

}  // namespace

// Generated files are not committed, so every build must reproduce them exactly.
TEST(Generators, AssetGeneratorWritesTheSameBytesOnEveryRun) {
  const std::string tool = std::string(SNV_BINARY_DIR) + "/tools/snv_assetgen";
  std::filesystem::path first = FreshDirectory("a"), second = FreshDirectory("b");
  ASSERT_EQ(RunTool(tool + " " + first.string()), 0);
  ASSERT_EQ(RunTool(tool + " " + second.string()), 0);
  for (const char* file : {"pi.dat", "pm.dat", "ff.dat"}) {
    std::vector<char> a = Bytes(first / file), b = Bytes(second / file);
    EXPECT_GT(a.size(), 1000u) << file;
    EXPECT_TRUE(a == b) << file << " differs between two runs";
    EXPECT_TRUE(a == Bytes(std::filesystem::path(SNV_BINARY_DIR) / file)) << file << " differs from the build's copy";
    EXPECT_FALSE(std::filesystem::exists(first / (std::string(file) + ".part"))) << "temporary file left behind";
  }
  std::filesystem::remove_all(first);
  std::filesystem::remove_all(second);
}

TEST(Generators, DemoTrackIsTheSameOnEveryRun) {
  const std::string tool = std::string(SNV_BINARY_DIR) + "/tools/snv_demotrack";
  std::filesystem::path dir = FreshDirectory("demo");
  ASSERT_EQ(RunTool(tool + " " + (dir / "demo.ogg").string()), 0);
  std::vector<char> fresh = Bytes(dir / "demo.ogg");
  EXPECT_GT(fresh.size(), 100000u);
  EXPECT_TRUE(fresh == Bytes(std::filesystem::path(SNV_BINARY_DIR) / "demo.ogg"));
  std::filesystem::remove_all(dir);
}

TEST(Generators, ReportFailureWhenTheOutputCannotBeWritten) {
  EXPECT_NE(RunTool(std::string(SNV_BINARY_DIR) + "/tools/snv_assetgen /nonexistent/dir 2>/dev/null"), 0);
  EXPECT_NE(RunTool(std::string(SNV_BINARY_DIR) + "/tools/snv_demotrack /nonexistent/dir/demo.ogg 2>/dev/null"), 0);
}
