// Folders of music: natural order and which files below a folder count.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <random>

#include "TempDir.h"
#include "platform/FolderScan.h"
#include "platform/NaturalOrder.h"

namespace {

TEST(NaturalOrder, NumbersByValueLettersWithoutCase) {
  const std::vector<std::string> sorted = {
      "01 - intro", "1 - intro", "2 - x", "10 - y", "Track 9", "track 10", "track 10b", "Track 100",
      "x2y",        "x10",       "Zebra", "zebra",  "zebras",  "\xD0\xAF"};
  for (size_t i = 0; i + 1 < sorted.size(); ++i) {
    EXPECT_TRUE(NaturalLess(sorted[i], sorted[i + 1])) << sorted[i] << " < " << sorted[i + 1];
    EXPECT_FALSE(NaturalLess(sorted[i + 1], sorted[i])) << sorted[i + 1] << " !< " << sorted[i];
  }
  EXPECT_FALSE(NaturalLess("same", "same"));
  std::vector<std::string> shuffled = sorted;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
  std::sort(shuffled.begin(), shuffled.end(), [](const auto& a, const auto& b) { return NaturalLess(a, b); });
  EXPECT_EQ(shuffled, sorted);
}

TEST(FolderScan, SoundFilesInNaturalOrderWithoutHiddenLoopsListsOrOtherFiles) {
  TTempDir dir;
  const std::string root = dir.Path + "Music";
  for (const char* folder : {"", "/CD 1", "/cd 10", "/.hidden", "/empty"}) {
    ASSERT_EQ(mkdir((root + folder).c_str(), 0755), 0) << folder;
  }
  const std::pair<const char*, const char*> files[] = {
      {"10 - y.mp3", "x"},        {"2 - x.MP3", "x"},          {"CD 1/01.flac", "x"},
      {"cd 10/01.opus", "x"},     {"cover.jpg", "\xFF\xD8\xFF\xE0"}, {"notes", "hello"},
      {"untitled", "OggS\0\2"},   {"list.m3u", "2 - x.MP3\n"}, {"old.wpl", "<smil/>"},
      {".hidden/secret.mp3", "x"}, {".dot.mp3", "x"},        {"Ögg.oga", "x"},
  };
  for (const auto& [name, content] : files) WriteText(root + "/" + name, content);
  ASSERT_EQ(symlink(root.c_str(), (root + "/loop").c_str()), 0);
  ASSERT_EQ(symlink("../CD 1", (root + "/cd 10/up").c_str()), 0);
  ASSERT_EQ(symlink("missing.mp3", (root + "/dangling.mp3").c_str()), 0);
  const std::vector<std::string> expected = {
      root + "/2 - x.MP3", root + "/10 - y.mp3", root + "/CD 1/01.flac", root + "/cd 10/01.opus",
      root + "/untitled",  root + "/Ögg.oga",
  };
  EXPECT_EQ(SoundFilesBelow(root), expected);
  EXPECT_EQ(SoundFilesBelow(root + "/"), expected) << "a trailing slash";
  EXPECT_TRUE(SoundFilesBelow(root + "/empty").empty());
  EXPECT_TRUE(SoundFilesBelow(root + "/absent").empty());
}

}  // namespace
