#include <gtest/gtest.h>

#include <cstring>

#include "TempDir.h"
#include "platform/PlatformError.h"
#include "platform/Locale.h"
#include "player/Options.h"
#include "player/Playlist.h"
#include "player/Strings.h"

namespace {

struct OptionsTest : ::testing::Test {
  TTempDir Dir;
  std::string Name = Dir / "!options.ini";
  TOptions Options{Name};
  TPlaylist List;
};

TEST_F(OptionsTest, DefaultsWithoutAFileAreWrittenBackAtExit) {
  EXPECT_EQ(Options.ReadDevice(), 0);
  EXPECT_FALSE(Options.ReadShuffle());
  EXPECT_EQ(Options.ReadVolume(), 10);
  EXPECT_EQ(Options.ReadVisualization(), 0);
  EXPECT_FALSE(Options.ReadPlaying());
  EXPECT_EQ(Options.RestorePlaylist(List), 0);
  EXPECT_EQ(List.Count(), 0);
  EXPECT_EQ(List.CurrentIndex, -1);

  Options.WriteSettings(0, false, 10, false, 0);
  Options.StorePlaylist(List, 100);
  EXPECT_EQ(ReadText(Name), "[options]\nlng=0\nrnd=0\nvol=10\nmuz=0\nvis=0\nplp=-1\npos=100\n");
}

TEST_F(OptionsTest, NarrowingOfStoredValues) {
  WriteText(Name, "[options]\nlng=5\nvol=266\nvis=12\npos=200\nplp=0x1\nrnd=2\nmuz=1\ndev=2\n");
  EXPECT_EQ(Options.ReadLanguage(), 0) << "lng 5 gives English";
  EXPECT_EQ(Options.ReadVolume(), 10) << "low 8 bits of 266";
  EXPECT_EQ(Options.ReadVisualization(), 0) << "vis 12 selects visualization 0";
  EXPECT_TRUE(Options.ReadShuffle());
  EXPECT_TRUE(Options.ReadPlaying());
  EXPECT_EQ(Options.ReadDevice(), 2);
  EXPECT_EQ(Options.RestorePlaylist(List), -56) << "pos 200 taken as signed 8 bits";
  EXPECT_EQ(List.CurrentIndex, 1);
  WriteText(Name, "[options]\nvis=263\n");
  EXPECT_EQ(Options.ReadVisualization(), 7) << "low 8 bits of 263";
}

TEST_F(OptionsTest, PlaylistRoundTripKeepsOrderAndStoresADuplicateOnce) {
  for (const char* p : {"/m/b.mp3", "/m/a=1.mp3", "/m/b.mp3", "/M/B.mp3", "/m/ends="}) List.AddTrack(p, "");
  List.CurrentIndex = 3;
  Options.WriteSettings(1, true, 7, true, 3);
  Options.StorePlaylist(List, 42);

  TPlaylist restored;
  EXPECT_EQ(Options.RestorePlaylist(restored), 42);
  EXPECT_EQ(restored.TrackPaths, (std::vector<std::string>{"/m/b.mp3", "/m/a=1.mp3", "/M/B.mp3", "/m/ends="}));
  EXPECT_EQ(restored.TrackNames[1], "a=1");
  EXPECT_EQ(restored.CurrentIndex, 2) << "plp names the same path after the duplicate was dropped";
  EXPECT_EQ(Options.ReadLanguage(), 1);
  EXPECT_EQ(Options.ReadVolume(), 7);
  EXPECT_EQ(Options.ReadVisualization(), 3);
}

TEST_F(OptionsTest, CurrentIndexFollowsItsPathWhenDuplicatesCollapse) {
  for (const char* p : {"/m/a.mp3", "/m/b.mp3", "/m/a.mp3", "/m/c.mp3"}) List.AddTrack(p, "");
  List.CurrentIndex = 2;
  Options.StorePlaylist(List, 0);
  TPlaylist restored;
  Options.RestorePlaylist(restored);
  EXPECT_EQ(restored.CurrentIndex, 0);
  List.CurrentIndex = 9;  // a stale index is stored as it is
  Options.StorePlaylist(List, 0);
  EXPECT_EQ(Options.File().ReadInteger("options", "plp", 0), 9);
}

TEST_F(OptionsTest, StoringAnEmptyPlaylistRemovesTheSection) {
  WriteText(Name, "[options]\nvol=3\n[playlist]\n/m/a.mp3=\n");
  Options.StorePlaylist(List, 100);
  EXPECT_EQ(ReadText(Name).find("[playlist]"), std::string::npos);
  EXPECT_EQ(Options.ReadVolume(), 3);
}

TEST_F(OptionsTest, SettingErrorsPropagateWhilePlaylistErrorsAreSwallowed) {
  TOptions nowhere(Dir / "missing/!options.ini");
  EXPECT_THROW(nowhere.WriteSettings(0, false, 10, false, 0), EPlatformError);
  List.AddTrack("/m/a.mp3", "");
  EXPECT_NO_THROW(nowhere.StorePlaylist(List, 50));
  TPlaylist restored;
  restored.CurrentIndex = 4;
  EXPECT_EQ(nowhere.RestorePlaylist(restored), 0);
  EXPECT_EQ(restored.CurrentIndex, -1) << "a missing file gives the default plp";
}

struct LanguageTest : ::testing::Test {
  void SetEnv(const char* all, const char* messages, const char* lang) {
    for (auto [name, value] : {std::pair{"LC_ALL", all}, {"LC_MESSAGES", messages}, {"LANG", lang}}) {
      if (value) setenv(name, value, 1);
      else unsetenv(name);
    }
  }
};

TEST_F(LanguageTest, FollowsTheFirstSetLocaleVariable) {
  SetEnv(nullptr, nullptr, "ru_RU.UTF-8");
  EXPECT_EQ(LanguageFromSetting(-1), 1);
  EXPECT_EQ(LanguageFromSetting(0), 0) << "a stored choice wins over the system";
  SetEnv("", "", "ru_UA");
  EXPECT_EQ(LanguageFromSetting(-1), 1) << "empty variables count as unset";
  SetEnv("C", nullptr, "ru_RU.UTF-8");
  EXPECT_EQ(LanguageFromSetting(-1), 0) << "LC_ALL comes first";
  SetEnv(nullptr, "en_GB.UTF-8", "ru_RU.UTF-8");
  EXPECT_EQ(LanguageFromSetting(-1), 0);
  SetEnv(nullptr, nullptr, nullptr);
  EXPECT_EQ(LanguageFromSetting(-1), 0);
  SetEnv(nullptr, nullptr, "ru_RU.UTF-8");
  EXPECT_EQ(LanguageFromSetting(5), 0) << "any other value is English";
}

TEST(StringsTable, RussianRowIsWindows1251Bytes) {
  EXPECT_STREQ(Strings[0][0], "Sound Files");
  EXPECT_STREQ(Strings[0][24], "  Add  ");
  EXPECT_STREQ(Strings[0][28], "All Supported");
  EXPECT_STREQ(Strings[1][2], "\xC2\xFB\xF5\xEE\xE4");  // Выход
  EXPECT_STREQ(Strings[1][6], "?");
  EXPECT_STREQ(Strings[1][7], "\xC3\xF0\xEE\xEC\xEA\xEE\xF1\xF2\xFC: ");  // Громкость:
  EXPECT_STREQ(Strings[1][22], "\xCF\xEB\xE5\xE9\xCB\xE8\xF1\xF2");        // ПлейЛист
  EXPECT_STREQ(Strings[1][27], "\xD1\xEB\xF3\xF7\xE0\xE9\xED\xEE ");      // Случайно
  EXPECT_EQ(Cp1251ToUtf8(Strings[1][3]), "\xD0\x9C\xD1\x83\xD0\xB7\xD1\x8B\xD0\xBA\xD0\xB0");  // Музыка
  EXPECT_EQ(Cp1251ToUtf8(std::string("a\x98z")), "a\xEF\xBF\xBDz");
}

}  // namespace
