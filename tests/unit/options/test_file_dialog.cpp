#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/PlatformError.h"
#include "platform/FileDialog.h"
#include "player/Main.h"
#include "player/Playlist.h"

namespace {

// Puts scripted stand-ins for the choosers first (and alone) on PATH; each records its arguments
// NUL-separated and answers with a fixed output and exit status.
struct FileDialogTest : ::testing::Test {
  TTempDir Dir;
  std::string SavedPath = getenv("PATH") ? getenv("PATH") : "";
  std::string SavedDesktop = getenv("XDG_CURRENT_DESKTOP") ? getenv("XDG_CURRENT_DESKTOP") : "";
  uint8_t SavedLanguage = Language;

  void SetUp() override {
    ASSERT_EQ(mkdir((Dir / "bin").c_str(), 0755), 0);
    setenv("PATH", (Dir / "bin").c_str(), 1);
    unsetenv("XDG_CURRENT_DESKTOP");
  }
  void TearDown() override {
    setenv("PATH", SavedPath.c_str(), 1);
    if (SavedDesktop.empty()) unsetenv("XDG_CURRENT_DESKTOP");
    else setenv("XDG_CURRENT_DESKTOP", SavedDesktop.c_str(), 1);
    Language = SavedLanguage;
  }
  void StandIn(const std::string& name, const std::string& output, int status) {
    const std::string script = Dir / ("bin/" + name);
    WriteText(script, "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + Dir / (name + ".args") + "'\nprintf '%s' '" + output +
                          "'\nexit " + std::to_string(status) + "\n");
    chmod(script.c_str(), 0755);
  }
  std::vector<std::string> ArgumentsOf(const std::string& name) {
    const std::string text = ReadText(Dir / (name + ".args"));
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t nul; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1) {
      args.push_back(text.substr(start, nul - start));
    }
    return args;
  }
  std::vector<TFileFilter> Filters() { return {{"Sound Files", {"*.mp3", "*.ogg"}}, {"All Files", {"*"}}}; }
};

TEST_F(FileDialogTest, ZenityGetsTheFourFiltersInOrderAndTheChosenFileIsAddedAndPlayed) {
  const std::string chosen = Dir / "my song.mp3";
  WriteText(chosen, "x");
  StandIn("zenity", chosen + "\n", 0);
  TPlaylist list;
  std::vector<int32_t> played;
  list.PlayTrack = [&](int32_t i) { played.push_back(i); };
  std::vector<std::string> log;
  list.LogLine = [&](const std::string& line) { log.push_back(line); };
  Language = 0;
  list.AddFilesDialog(true);
  EXPECT_EQ(ArgumentsOf("zenity"),
            (std::vector<std::string>{"--file-selection", "--title=Sonavarium",
                                      "--file-filter=All Supported | *.mp3 *.ogg *.wav *.m3u *.m3u8 *.wpl",
                                      "--file-filter=Sound Files | *.mp3 *.ogg *.wav",
                                      "--file-filter=Playlists | *.m3u *.m3u8 *.wpl", "--file-filter=All Files | *"}));
  EXPECT_EQ(list.TrackPaths, (std::vector<std::string>{chosen}));
  EXPECT_EQ(played, (std::vector<int32_t>{0}));
  EXPECT_TRUE(log.empty());
}

TEST_F(FileDialogTest, RussianFilterNamesReachTheChooserAsUtf8) {
  StandIn("zenity", "", 1);
  TPlaylist list;
  Language = 1;
  list.AddFilesDialog(false);
  const std::vector<std::string> args = ArgumentsOf("zenity");
  ASSERT_EQ(args.size(), 6u);
  EXPECT_EQ(args[2],
            "--file-filter=\xD0\x92\xD1\x81\xD0\xB5 \xD0\x9F\xD0\xBE\xD0\xB4\xD0\xB4\xD0\xB5\xD1\x80\xD0\xB6\xD0\xB8"
            "\xD0\xB2\xD0\xB0\xD0\xB5\xD0\xBC\xD1\x8B\xD0\xB5 | *.mp3 *.ogg *.wav *.m3u *.m3u8 *.wpl");  // Все Поддерживаемые
  EXPECT_EQ(list.Count(), 0) << "cancelled";
}

TEST_F(FileDialogTest, AttachesToTheOwnerWindowAndTellsCancelFromFailure) {
  StandIn("zenity", "", 1);
  EXPECT_EQ(OpenFileDialog("T", Filters(), 0x2A00005), std::nullopt);
  const std::vector<std::string> args = ArgumentsOf("zenity");
  ASSERT_FALSE(args.empty());
  EXPECT_EQ(args.back(), "--attach=44040197");
  StandIn("zenity", "", 5);
  EXPECT_THROW(OpenFileDialog("T", Filters(), 0), EPlatformError);
  StandIn("zenity", "/a path/with\nline break.mp3\n", 0);
  EXPECT_EQ(OpenFileDialog("T", Filters(), 0), std::optional<std::string>("/a path/with\nline break.mp3"));
}

TEST_F(FileDialogTest, AChooserThatCannotAttachIsRunAgainAlone) {
  const std::string script = Dir / "bin/zenity";
  WriteText(script,
            "#!/bin/sh\n"
            "for a in \"$@\"; do case \"$a\" in --attach=*) exit 255;; esac; done\n"
            "echo /alone.mp3\n");
  chmod(script.c_str(), 0755);
  EXPECT_EQ(OpenFileDialog("T", Filters(), 99), std::optional<std::string>("/alone.mp3"));
}

TEST_F(FileDialogTest, KdialogWhenItIsTheOneInstalledOrTheDesktopIsKde) {
  StandIn("kdialog", "/k/chosen.ogg\n", 0);
  EXPECT_EQ(OpenFileDialog("Sonavarium", Filters(), 77), std::optional<std::string>("/k/chosen.ogg"));
  EXPECT_EQ(ArgumentsOf("kdialog"),
            (std::vector<std::string>{"--title", "Sonavarium", "--attach", "77", "--getopenfilename", ":sonavarium",
                                      "*.mp3 *.ogg|Sound Files\n*|All Files"}));
  StandIn("zenity", "/z.mp3\n", 0);
  EXPECT_EQ(OpenFileDialog("T", Filters(), 0), std::optional<std::string>("/z.mp3"));
  setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
  EXPECT_EQ(OpenFileDialog("T", Filters(), 0), std::optional<std::string>("/k/chosen.ogg"));
}

TEST_F(FileDialogTest, NoChooserInstalledIsLoggedAndNotRaised) {
  TPlaylist list;
  std::vector<std::string> log;
  list.LogLine = [&](const std::string& line) { log.push_back(line); };
  EXPECT_NO_THROW(list.AddFilesDialog(true));
  EXPECT_EQ(log, (std::vector<std::string>{"Error in OpenFileDialog"}));
  EXPECT_THROW(OpenFileDialog("T", Filters(), 0), EPlatformError);
}

}  // namespace
