#include <gtest/gtest.h>
#include <sys/wait.h>

#include "TempDir.h"
#include "platform/PlatformError.h"
#include "platform/IniFile.h"

namespace {

struct IniFileTest : ::testing::Test {
  TTempDir Dir;
  std::string Name = Dir / "!options.ini";
  TIniFile Ini{Name, {"playlist"}};
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesDefaults) {
  EXPECT_EQ(Ini.ReadInteger("options", "vol", 10), 10);
  EXPECT_TRUE(Ini.ReadBool("options", "rnd", true));
  EXPECT_TRUE(Ini.ReadSection("playlist").empty());
  WriteText(Name, "[other]\nvol=3\n");
  EXPECT_EQ(Ini.ReadInteger("options", "vol", 10), 10) << "a key of another section must not be found";
}

TEST_F(IniFileTest, SectionsAndKeysMatchWithoutRegardToCase) {
  WriteText(Name, "[OPTIONS]\r\n  Vol = 7 \r\nLNG=1\r\n");
  EXPECT_EQ(Ini.ReadInteger("options", "vol", 10), 7);
  EXPECT_EQ(Ini.ReadInteger("Options", "lng", -1), 1);
}

TEST_F(IniFileTest, IntegerAndBooleanFormats) {
  WriteText(Name,
            "[options]\nhex=0x1F\nhex2=0X10\nneg=-5\nplus=+4\nword=abc\ntail=12abc\nempty=\nbig=99999999999\n"
            "allbits=0xFFFFFFFF\nyes=1\nno=0\nseven=7\n");
  EXPECT_EQ(Ini.ReadInteger("options", "hex", 0), 31);
  EXPECT_EQ(Ini.ReadInteger("options", "hex2", 0), 16);
  EXPECT_EQ(Ini.ReadInteger("options", "neg", 0), -5);
  EXPECT_EQ(Ini.ReadInteger("options", "plus", 0), 4);
  EXPECT_EQ(Ini.ReadInteger("options", "word", 42), 42);
  EXPECT_EQ(Ini.ReadInteger("options", "tail", 42), 42);
  EXPECT_EQ(Ini.ReadInteger("options", "empty", 42), 42);
  EXPECT_EQ(Ini.ReadInteger("options", "big", 42), 42);
  EXPECT_EQ(Ini.ReadInteger("options", "allbits", 0), -1);
  EXPECT_TRUE(Ini.ReadBool("options", "yes", false));
  EXPECT_FALSE(Ini.ReadBool("options", "no", true));
  EXPECT_TRUE(Ini.ReadBool("options", "seven", false));
  EXPECT_TRUE(Ini.ReadBool("options", "word", true));
  EXPECT_FALSE(Ini.ReadBool("options", "word", false));
}

TEST_F(IniFileTest, WritesCreateAndReplaceKeepingTheRestOfTheFile) {
  Ini.WriteInteger("options", "lng", 0);
  EXPECT_EQ(ReadText(Name), "[options]\nlng=0\n");
  WriteText(Name, "; hand-made\n[Options]\nVol=7\nlng=1\n\n[extra]\nkeep=me\n");
  Ini.WriteInteger("options", "VOL", 3);  // replaces "Vol=7" in place, case ignored
  Ini.WriteBool("options", "rnd", true);  // new key: at the end of its section, before the blank line
  Ini.WriteString("extra", "more", "x");
  EXPECT_EQ(ReadText(Name), "; hand-made\n[Options]\nVOL=3\nlng=1\nrnd=1\n\n[extra]\nkeep=me\nmore=x\n");
  EXPECT_EQ(Ini.ReadInteger("options", "vol", 10), 3);
}

TEST_F(IniFileTest, ReadSectionInFileOrderAndEraseSection) {
  WriteText(Name, "[options]\nvol=1\n[playlist]\n/b.mp3=\n/a.mp3=\n[tail]\nx=1\n");
  EXPECT_EQ(Ini.ReadSection("playlist"), (std::vector<std::string>{"/b.mp3", "/a.mp3"}));
  Ini.EraseSection("PLAYLIST");
  EXPECT_EQ(ReadText(Name), "[options]\nvol=1\n[tail]\nx=1\n");
}

TEST_F(IniFileTest, WritesLeaveNoTemporaryFileAndFollowSymbolicLinks) {
  const std::string target = Dir / "real.ini";
  ASSERT_EQ(symlink(target.c_str(), Name.c_str()), 0);
  for (int i = 0; i < 20; ++i) Ini.WriteInteger("options", "vol", i);
  Ini.ReplaceSection("playlist", {"/a.mp3"});
  Ini.EraseSection("playlist");
  EXPECT_EQ(DirectoryEntries(Dir.Path).size(), 2u) << "only the link and its target may remain";
  EXPECT_EQ(ReadText(target), "[options]\nvol=19\n");
  struct stat st {};
  ASSERT_EQ(lstat(Name.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST_F(IniFileTest, RefusedWriteRaisesUnableToWriteWithTheFullName) {
  TIniFile missingDir(Dir / "no/such/dir/!options.ini");
  try {
    missingDir.WriteInteger("options", "vol", 1);
    FAIL() << "write into a missing directory succeeded";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + Dir.Path + "no/such/dir/!options.ini");
  }
}

// Root ignores permissions, so the permission cases run in a child that drops to "nobody".
TEST_F(IniFileTest, ReadOnlyDirectoryOrFileRefusesTheWriteAndKeepsTheFile) {
  const std::string roDir = Dir / "ro";
  ASSERT_EQ(mkdir(roDir.c_str(), 0755), 0);
  const std::string inRoDir = roDir + "/!options.ini";
  WriteText(inRoDir, "[options]\nvol=4\n");
  const std::string roFile = Dir / "ro.ini";
  WriteText(roFile, "[options]\nvol=5\n");
  chmod(Dir.Path.c_str(), 0777);
  chmod(roFile.c_str(), 0444);
  chmod(roDir.c_str(), 0555);
  chmod(inRoDir.c_str(), 0666);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
    int failures = 0;
    for (const std::string& file : {inRoDir, roFile}) {
      TIniFile ini(file, {"playlist"});
      try {
        ini.WriteInteger("options", "vol", 9);
        ++failures;
      } catch (const EPlatformError& e) {
        if (std::string(e.what()) != "Unable to write to " + file) ++failures;
      }
      try {
        ini.ReplaceSection("playlist", {"/a.mp3"});
        ++failures;
      } catch (const EPlatformError&) {
      }
      if (ini.ReadInteger("options", "vol", 0) == 9) ++failures;
    }
    _exit(failures);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadText(inRoDir), "[options]\nvol=4\n");
  EXPECT_EQ(ReadText(roFile), "[options]\nvol=5\n");
  EXPECT_EQ(DirectoryEntries(roDir).size(), 1u);
}

TEST_F(IniFileTest, PlaylistPathsWithEqualsSignsComeBackWhole) {
  Ini.ReplaceSection("playlist", {"/m/a=b.mp3", "/m/ends=", "/m/plain.mp3"});
  EXPECT_EQ(Ini.ReadSection("playlist"), (std::vector<std::string>{"/m/a=b.mp3", "/m/ends=", "/m/plain.mp3"}));
  // A file written the old way ("path=") reads the same.
  WriteText(Name, "[playlist]\n/old/x=y.mp3=\n/old/z.mp3=\n");
  EXPECT_EQ(Ini.ReadSection("playlist"), (std::vector<std::string>{"/old/x=y.mp3", "/old/z.mp3"}));
}

TEST_F(IniFileTest, PlaylistKeysCompareExactlyWhileOptionKeysIgnoreCase) {
  Ini.WriteInteger("options", "vol", 5);
  Ini.ReplaceSection("playlist", {"/Music/a.mp3", "/music/A.mp3", "/Music/a.mp3", " /lead.mp3"});
  EXPECT_EQ(Ini.ReadSection("playlist"), (std::vector<std::string>{"/Music/a.mp3", "/music/A.mp3", " /lead.mp3"}));
  Ini.WriteString("playlist", "/MUSIC/a.mp3", "");
  EXPECT_EQ(Ini.ReadSection("playlist").size(), 4u);
  Ini.WriteString("playlist", "/music/A.mp3", "");
  EXPECT_EQ(Ini.ReadSection("playlist").size(), 4u);
  Ini.WriteInteger("options", "VOL", 6);
  EXPECT_EQ(ReadText(Name).find("vol=5"), std::string::npos);
}

TEST_F(IniFileTest, ReplaceSectionKeepsItsPlaceAndRemovesAnEmptySection) {
  WriteText(Name, "[playlist]\n/old.mp3=\n[options]\nvol=3\n[PlayList]\n/again.mp3=\n");
  Ini.ReplaceSection("playlist", {"/new1.mp3", "/new2.mp3"});
  EXPECT_EQ(ReadText(Name), "[playlist]\n/new1.mp3=\n/new2.mp3=\n[options]\nvol=3\n");
  Ini.ReplaceSection("playlist", {});
  EXPECT_EQ(ReadText(Name), "[options]\nvol=3\n");
}

TEST_F(IniFileTest, KeysThatWouldBreakTheFileAreNotWritten) {
  Ini.WriteInteger("options", "vol", 3);
  Ini.ReplaceSection("playlist", {"/a.mp3", "/evil\n[options]\nvol=0", "[x].mp3", "", "/b.mp3"});
  EXPECT_EQ(Ini.ReadSection("playlist"), (std::vector<std::string>{"/a.mp3", "/b.mp3"}));
  EXPECT_EQ(Ini.ReadInteger("options", "vol", 10), 3);
  EXPECT_THROW(Ini.WriteString("options", "a\nb", "1"), EPlatformError);
  EXPECT_THROW(Ini.WriteString("options", "k", "1\n[playlist]"), EPlatformError);
  EXPECT_EQ(Ini.ReadInteger("options", "vol", 10), 3);
}

TEST_F(IniFileTest, PlaylistSectionHasNoSizeLimit) {
  std::vector<std::string> paths;
  for (int i = 0; i < 3000; ++i) {
    paths.push_back("/home/someone/Music/A rather long folder name/track number " + std::to_string(i) + ".mp3");
  }
  Ini.ReplaceSection("playlist", paths);
  EXPECT_EQ(Ini.ReadSection("playlist"), paths);  // about 270 KB of keys
}

}  // namespace
