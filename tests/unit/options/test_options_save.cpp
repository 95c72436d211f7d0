// Saving the session: one replacement of the whole file, and the files that must not be lost
// (unreadable, read-only, byte-order mark, temporaries of an interrupted save).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "TempDir.h"
#include "engine/core/zrnClasses.h"
#include "player/Options.h"
#include "player/Playlist.h"

namespace {

constexpr uid_t Nobody = 65534;

bool HasTemporary(const std::string& dir) {
  for (const std::string& name : DirectoryEntries(dir)) {
    if (name.find(".tmp") != std::string::npos) return true;
  }
  return false;
}

struct SaveTest : ::testing::Test {
  TTempDir Dir;
  std::string Name = Dir / "!options.ini";
  std::vector<std::string> Reports;
  std::function<void(const std::string&)> Report = [this](const std::string& line) { Reports.push_back(line); };
  TPlaylist List;
  const std::string Old = "[options]\nvol=3\nplp=0\npos=20\n[playlist]\n/m/old.mp3=\n";

  void Save(TOptions& options) { options.SaveSession(1, true, 7, true, 2, List, 55); }
};

TEST_F(SaveTest, TheSessionIsStoredWholeByOneReplacement) {
  WriteText(Name, Old);
  struct stat before {};
  stat(Name.c_str(), &before);
  for (const char* p : {"/m/a.mp3", "/m/b.mp3"}) List.AddTrack(p, "");
  List.CurrentIndex = 1;
  TOptions options(Name, Report);
  Save(options);
  EXPECT_EQ(ReadText(Name), "[options]\nvol=7\nplp=1\npos=55\nlng=1\nrnd=1\nmuz=1\nvis=2\n[playlist]\n/m/a.mp3=\n/m/b.mp3=\n");
  struct stat after {};
  stat(Name.c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino) << "replaced by a rename, not rewritten in place";
  EXPECT_FALSE(HasTemporary(Dir.Path));
  EXPECT_TRUE(Reports.empty());
}

TEST_F(SaveTest, AByteOrderMarkIsSkippedWhenReadingAndKeptWhenWriting) {
  WriteText(Name, "\xEF\xBB\xBF" + Old);
  TOptions options(Name, Report);
  EXPECT_EQ(options.ReadVolume(), 3);
  EXPECT_EQ(options.RestorePlaylist(List), 20);
  EXPECT_EQ(List.CurrentIndex, 0);
  Save(options);
  const std::string saved = ReadText(Name);
  EXPECT_EQ(saved.rfind("\xEF\xBB\xBF[options]\n", 0), 0u) << saved;
  EXPECT_EQ(saved.find("[options]", 4), std::string::npos) << "a single options section";
}

TEST_F(SaveTest, TemporariesOfEndedSavesAreRemovedAndOthersKept) {
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string stale = Name + ".tmp" + std::to_string(ended) + "_3";
  const std::string live = Name + ".tmp" + std::to_string(getppid()) + "_0";
  const std::string foreign = Dir / "notes.tmp1_1";
  for (const std::string& f : {stale, live, foreign}) WriteText(f, "x");
  WriteText(Name, Old);
  TOptions options(Name, Report);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(live)) << "a running process may be saving";
  EXPECT_TRUE(std::filesystem::exists(foreign));
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_NE(Reports[0].find(stale), std::string::npos);
}

TEST_F(SaveTest, FilesThatCannotBeReadOrWrittenKeepTheirContent) {
  // name, file mode, folder mode, what the save must do; run where permissions bind.
  enum class Outcome { Untouched, Refused, RewrittenInPlace };
  const struct {
    const char* Name;
    mode_t FileMode, DirMode;
    Outcome Expected;
  } cases[] = {
      {"unreadable file", 0200, 0755, Outcome::Untouched},
      {"read-only file", 0444, 0755, Outcome::Refused},
      {"read-only folder, writable file", 0644, 0555, Outcome::RewrittenInPlace},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    const std::string name = dir / "!options.ini";
    WriteText(name, Old);
    ASSERT_EQ(getuid() == 0 ? chown(name.c_str(), Nobody, Nobody) : 0, 0);
    chmod(name.c_str(), c.FileMode);
    chmod(dir.Path.c_str(), c.DirMode);
    const int status = AsUnprivileged(dir.Path, [&] {
      std::vector<std::string> reports;
      TOptions options(name, [&](const std::string& line) { reports.push_back(line); });
      if (options.Unreadable() != (c.Expected == Outcome::Untouched)) return 1;
      TPlaylist list;
      list.AddTrack("/m/new.mp3", "");
      bool refused = false;
      try {
        options.SaveSession(0, false, 9, false, 0, list, 0);
      } catch (const std::exception&) {
        refused = true;
      }
      if (refused != (c.Expected == Outcome::Refused)) return 2;
      if (reports.empty()) return 3;  // every such case is reported
      return 0;
    });
    EXPECT_EQ(status, 0);
    chmod(dir.Path.c_str(), 0755);
    chmod(name.c_str(), 0644);
    const std::string now = ReadText(name);
    if (c.Expected == Outcome::RewrittenInPlace) {
      EXPECT_NE(now.find("/m/new.mp3="), std::string::npos) << now;
    } else {
      EXPECT_EQ(now, Old);
    }
    EXPECT_FALSE(HasTemporary(dir.Path));
  }
}

TEST_F(SaveTest, SomethingOtherThanAFileIsNeitherReadNorReplaced) {
  std::filesystem::create_directory(Name);
  TOptions options(Name, Report);
  EXPECT_TRUE(options.Unreadable());
  EXPECT_NO_THROW(Save(options));
  EXPECT_TRUE(std::filesystem::is_directory(Name));
  EXPECT_EQ(Reports.size(), 1u);
}

}  // namespace
