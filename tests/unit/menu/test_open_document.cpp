// Finding the README beside the program and handing it to xdg-open.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/OpenDocument.h"

namespace fs = std::filesystem;

namespace {

class TempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("snv_opendoc_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "build");
  }
  void TearDown() override { fs::remove_all(root); }
  static void Write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }
  fs::path root;
};

}  // namespace

TEST_F(TempTree, ReadmeBesideTheProgramWins) {
  Write(root / "README.md", "up");
  Write(root / "build" / "README.md", "here");
  EXPECT_EQ(FindReadme((root / "build").string() + "/"), (root / "build" / "README.md").string());
}

TEST_F(TempTree, ReadmeOneDirectoryUp) {
  Write(root / "README.md", "up");
  EXPECT_EQ(FindReadme((root / "build").string() + "/"), (root / "README.md").string());
}

TEST_F(TempTree, NoReadmeGivesEmpty) {
  fs::create_directory(root / "build" / "README.md");  // a directory is not a document
  EXPECT_EQ(FindReadme((root / "build").string() + "/"), "");
  EXPECT_FALSE(OpenDocument(""));
}

TEST_F(TempTree, SpawnsXdgOpenWithThePathAsOneArgument) {
  // A stand-in xdg-open records its arguments; a path with spaces and a quote must arrive whole.
  const fs::path bin = root / "bin";
  fs::create_directory(bin);
  const fs::path log = root / "args.txt";
  Write(bin / "xdg-open", "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" > '" + log.string() + "'\n");
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  const char* oldPath = getenv("PATH");
  const std::string saved = oldPath ? oldPath : "";
  setenv("PATH", (bin.string() + ":" + saved).c_str(), 1);

  const std::string document = (root / "my \"docs\" $HOME.md").string();
  const bool started = OpenDocument(document);
  setenv("PATH", saved.c_str(), 1);
  ASSERT_TRUE(started);

  std::string line;
  for (int i = 0; i < 200 && line.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ifstream in(log);
    std::getline(in, line);
  }
  EXPECT_EQ(line, "1|" + document);
}

TEST_F(TempTree, MissingViewerReportsFailure) {
  const char* oldPath = getenv("PATH");
  const std::string saved = oldPath ? oldPath : "";
  setenv("PATH", (root / "empty").string().c_str(), 1);
  const bool started = OpenDocument("/tmp/whatever.md");
  setenv("PATH", saved.c_str(), 1);
  EXPECT_FALSE(started);
}
