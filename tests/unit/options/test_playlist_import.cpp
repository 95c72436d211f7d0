#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "engine/core/zrnClasses.h"
#include "player/Playlist.h"

namespace {

struct ImportTest : ::testing::Test {
  TTempDir Dir;
  TPlaylist List;
  std::vector<int32_t> Played;
  void SetUp() override {
    List.PlayTrack = [this](int32_t i) {
      Played.push_back(i);
      List.SetCurrent(i);
    };
  }
};

TEST_F(ImportTest, M3uSkipsCommentAndEmptyLinesAndResolvesAgainstItsFolder) {
  WriteText(Dir / "list.m3u", "#EXTM3U\n#EXTINF:123,Artist - Title\nsong.mp3\n\n");
  List.AddFromFile(Dir / "list.m3u", true);
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{Dir / "song.mp3"}));
  EXPECT_EQ(List.TrackNames, (std::vector<std::string>{"song"}));
  EXPECT_EQ(Played, (std::vector<int32_t>{0}));
}

TEST_F(ImportTest, M3u8FromWindowsWithCarriageReturnsBackslashesAndByteOrderMark) {
  WriteText(Dir / "win.m3u8",
            "\xEF\xBB\xBF#EXTM3U\r\n"
            "..\\Music\\Band\\a.mp3\r\n"
            " #not a comment.mp3\r\n"
            "/abs/x.ogg\r\n");
  List.AddFromFile(Dir / "win.m3u8", false);
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{Dir / "../Music/Band/a.mp3", "/abs/x.ogg"}));
  EXPECT_EQ(List.TrackNames, (std::vector<std::string>{"a", "x"}));
  EXPECT_TRUE(Played.empty());
}

TEST_F(ImportTest, FileUrisAreDecodedToPaths) {
  WriteText(Dir / "uris.m3u",
            "file:///home/u/My%20Music/caf%C3%A9.mp3\n"
            "FILE://localhost/srv/a%2Bb%25.ogg\n"
            "file:///bad%zz.mp3\n"
            "file:///nul%00.mp3\n"
            "file://host-only\n");
  List.AddFromFile(Dir / "uris.m3u", false);
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{"/home/u/My Music/caf\xC3\xA9.mp3", "/srv/a+b%.ogg",
                                                       "/bad%zz.mp3"}));
}

TEST_F(ImportTest, WplTakesTheSrcAttributeWithEntitiesDecoded) {
  WriteText(Dir / "list.wpl",
            "<?wpl version=\"1.0\"?>\r\n"
            "<smil><head><title>Mix</title></head><body><seq>\r\n"
            "      <media src=\"..\\Music\\a.mp3\"/>\r\n"
            "      <media tid=\"{1234}\" src = \"Rock &amp; Roll&#39;s &#x4E2D;.mp3\"/>\r\n"
            "      <media src='single.ogg'/>\r\n"
            "src=\"first-character-rule.mp3\"\r\n"
            "      <media src=\"\"/>\r\n"
            "</seq></body></smil>\r\n");
  List.AddFromFile(Dir / "list.wpl", true);
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{Dir / "../Music/a.mp3", Dir / "Rock & Roll's \xE4\xB8\xAD.mp3",
                                                       Dir / "single.ogg"}));
  EXPECT_EQ(Played, (std::vector<int32_t>{0}));
}

TEST(DecodeXmlText, LeavesUnknownOrBrokenReferencesAlone) {
  EXPECT_EQ(DecodeXmlText("a&lt;b&gt;&quot;&apos;&amp;amp;"), "a<b>\"'&amp;");
  EXPECT_EQ(DecodeXmlText("&nbsp; & x; &#xZZ; &#0; &#1114112;"), "&nbsp; & x; &#xZZ; &#0; &#1114112;");
  EXPECT_EQ(DecodeXmlText("&#233;&#x1F3B5;"), "\xC3\xA9\xF0\x9F\x8E\xB5");
}

TEST_F(ImportTest, PlaylistExtensionsAreRecognisedInAnyLetterCase) {
  WriteText(Dir / "UPPER.M3U", "one.mp3\ntwo.mp3\n");
  List.AddFromFile(Dir / "UPPER.M3U", false);
  WriteText(Dir / "Mixed.Wpl", "  <media src=\"three.mp3\"/>\n");
  List.AddFromFile(Dir / "Mixed.Wpl", false);
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{Dir / "one.mp3", Dir / "two.mp3", Dir / "three.mp3"}));
}

TEST_F(ImportTest, SoundFilesAreAddedAsTheyAreAndRelativeNamesMadeAbsolute) {
  WriteText(Dir / "tune.ogg", "x");
  List.AddFromFile(Dir / "tune.ogg", true);
  ASSERT_EQ(chdir(Dir.Path.c_str()), 0);
  List.AddFromFile("tune.ogg", false);
  EXPECT_EQ(List.TrackPaths.size(), 2u);
  EXPECT_EQ(List.TrackPaths[1], Dir / "tune.ogg");
  EXPECT_EQ(List.TrackNames[0], "tune");
  ASSERT_EQ(chdir("/"), 0);
}

TEST_F(ImportTest, MissingFileOrFolderAddsNothingAndPlaysNothing) {
  List.AddFromFile(Dir / "gone.mp3", true);
  List.AddFromFile(Dir.Path, true);
  EXPECT_EQ(List.Count(), 0);
  EXPECT_TRUE(Played.empty());
}

TEST_F(ImportTest, PlayingAnEmptyImportStopsTheTrack) {
  List.AddTrack("/m/playing.mp3", "");
  List.PlayTrack(0);
  WriteText(Dir / "empty.m3u", "#EXTM3U\n");
  List.AddFromFile(Dir / "empty.m3u", true);
  EXPECT_EQ(Played, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(List.Count(), 1);
}

TEST_F(ImportTest, OnlyRegularTextFilesOfASaneSizeAreRead) {
  std::vector<std::string> log;
  List.LogLine = [&](const std::string& line) { log.push_back(line); };
  ASSERT_EQ(mkfifo((Dir / "pipe.m3u").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((Dir / "pipe.wav").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", Dir / "zero.m3u");
  std::filesystem::create_symlink("/dev/urandom", Dir / "random.wpl");
  WriteText(Dir / "binary.m3u", std::string("a.mp3\n\0\x01\x02junk\n", 14));
  WriteText(Dir / "huge.m3u", "a.mp3\n");
  std::filesystem::resize_file(Dir / "huge.m3u", (64 << 20) + 1);
  for (const char* name : {"pipe.m3u", "pipe.wav", "zero.m3u", "random.wpl", "binary.m3u", "huge.m3u"}) {
    SCOPED_TRACE(name);
    log.clear();
    List.AddFromFile(Dir / name, true);  // must return, not block or grow without end
    EXPECT_EQ(List.Count(), 0);
    EXPECT_EQ(log.size(), 1u);
  }
  EXPECT_TRUE(Played.empty());
}

TEST_F(ImportTest, AnUnreadablePlaylistIsSkippedWithALogLine) {
  WriteText(Dir / "locked.m3u", "a.mp3\n");
  chmod((Dir / "locked.m3u").c_str(), 0);
  const int status = AsUnprivileged(Dir.Path, [&] {
    std::vector<std::string> log;
    List.LogLine = [&](const std::string& line) { log.push_back(line); };
    try {
      List.AddFromFile(Dir / "locked.m3u", true);
    } catch (...) {
      return 1;
    }
    return log.size() == 1 && List.Count() == 0 ? 0 : 2;
  });
  EXPECT_EQ(status, 0);
}

TEST_F(ImportTest, Utf16AndLatin1PlaylistsGiveUtf8Paths) {
  const std::string cafe = "caf\xC3\xA9.mp3";  // UTF-8
  WriteText(Dir / cafe, "");
  // "café.mp3" in UTF-16 little- and big-endian with their byte-order marks, and in Latin-1.
  auto utf16 = [](bool bigEndian, const std::u16string& text) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
      const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
      out += bigEndian ? high : low;
      out += bigEndian ? low : high;
    }
    return out;
  };
  WriteText(Dir / "le.m3u", utf16(false, u"#EXTM3U\r\ncaf\u00E9.mp3\r\n"));
  WriteText(Dir / "be.m3u8", utf16(true, u"caf\u00E9.mp3\n"));
  WriteText(Dir / "latin1.m3u", "caf\xE9.mp3\nna\xEFve.mp3\n");
  for (const char* name : {"le.m3u", "be.m3u8", "latin1.m3u"}) List.AddFromFile(Dir / name, false);
  EXPECT_EQ(List.TrackPaths, (std::vector<std::string>{Dir / cafe, Dir / cafe, Dir / cafe, Dir / "na\xEFve.mp3"}))
      << "a Latin-1 name that exists as no file is kept as written";
}

}  // namespace
