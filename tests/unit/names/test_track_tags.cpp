// Tags read from files made by the usual encoders, the order in which a row falls back to the file
// name, tags arriving off the frame loop, and files whose tags are broken or hostile.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <taglib/id3v2tag.h>
#include <taglib/wavfile.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/TextConvert.h"
#include "platform/TrackTags.h"
#include "player/Playlist.h"

namespace {

namespace fs = std::filesystem;

class TrackTags : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/snv_tags_XXXXXX";
    Dir = std::string(mkdtemp(pattern)) + "/";
    Shell("sox -n -r 44100 -c 2 -b 16 tone.wav synth 1 sine 440 vol 0.5");
    Shell("lame --quiet tone.wav plain.mp3");
  }
  static void TearDownTestSuite() { fs::remove_all(Dir); }

  // Runs a command in the test directory; the tools are installed by scripts/setup.
  static void Shell(const std::string& command) {
    ASSERT_EQ(std::system(("cd '" + Dir + "' && " + command).c_str()), 0) << command;
  }
  static std::string Bytes(const std::string& name) {
    std::ifstream in(Dir + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Dir + name, std::ios::binary) << bytes;
  }

  static std::string Dir;
};
std::string TrackTags::Dir;

// ID3v2.3 pieces: frame sizes are plain big-endian, the tag size is 7 bits a byte.
std::string BigEndian(uint32_t n) {
  return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
}
std::string SevenBits(uint32_t n) {
  return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F), static_cast<char>((n >> 7) & 0x7F),
          static_cast<char>(n & 0x7F)};
}
std::string Frame(const std::string& id, const std::string& body, uint32_t declared) {
  return id + BigEndian(declared) + std::string(2, '\0') + body;
}
std::string Frame(const std::string& id, const std::string& body) {
  return Frame(id, body, static_cast<uint32_t>(body.size()));
}
std::string TextFrame(const std::string& id, const std::string& latin1) { return Frame(id, '\0' + latin1); }
std::string Tag(const std::string& frames, uint32_t declared) { return std::string("ID3\3\0\0", 6) + SevenBits(declared) + frames; }
std::string Tag(const std::string& frames) { return Tag(frames, static_cast<uint32_t>(frames.size())); }

TEST_F(TrackTags, EachFormatsTagsAndLength) {
  const struct {
    const char* What;
    const char* File;
    std::string Make;
    TTrackTags Expected;
  } cases[] = {
      {"ID3v1 in MP3", "v1.mp3", "lame --quiet --id3v1-only --tt Morning --ta 'The Band' --tl First tone.wav v1.mp3",
       {"Morning", "The Band", "First"}},
      {"ID3v2 in UTF-16 in MP3", "v2.mp3",
       "lame --quiet --id3v2-only --id3v2-utf16 --tt 'Северный ветер' --ta 'Полярная звезда' --tl 'Зима' tone.wav v2.mp3",
       {"Северный ветер", "Полярная звезда", "Зима"}},
      {"Vorbis comments in Ogg Vorbis", "t.ogg", "oggenc -Q -t 'Café' -a 'Señor' -l 'Días' -o t.ogg tone.wav",
       {"Café", "Señor", "Días"}},
      {"Vorbis comments in Opus", "t.opus", "opusenc --quiet --title '東京' --artist 'Ночь' --album 'Opus' tone.wav t.opus",
       {"東京", "Ночь", "Opus"}},
      {"Vorbis comments in FLAC", "t.flac",
       "ffmpeg -loglevel error -y -i tone.wav -metadata title='Река' -metadata artist='Лес' -metadata album='Поле' t.flac",
       {"Река", "Лес", "Поле"}},
      {"RIFF INFO in WAV", "info.wav",
       "ffmpeg -loglevel error -y -i tone.wav -metadata title='River' -metadata artist='Forest' -metadata album='Field' "
       "info.wav",
       {"River", "Forest", "Field"}},
      {"ID3v2 in WAV", "id3.wav", "cp tone.wav id3.wav", {"Степь", "Ветер", ""}},
      {"no tags", "tone.wav", "true", {}},
  };
  for (const auto& c : cases) {
    Shell(c.Make);
    if (std::string(c.File) == "id3.wav") {
      TagLib::RIFF::WAV::File wav((Dir + c.File).c_str());
      wav.ID3v2Tag()->setTitle(TagLib::String("Степь", TagLib::String::UTF8));
      wav.ID3v2Tag()->setArtist(TagLib::String("Ветер", TagLib::String::UTF8));
      ASSERT_TRUE(wav.save(TagLib::RIFF::WAV::File::ID3v2));
    }
    const TTrackTags tags = ReadTrackTags(Dir + c.File);
    EXPECT_EQ(tags.Title, c.Expected.Title) << c.What;
    EXPECT_EQ(tags.Artist, c.Expected.Artist) << c.What;
    EXPECT_EQ(tags.Album, c.Expected.Album) << c.What;
    EXPECT_NEAR(static_cast<double>(tags.LengthMs), 1000.0, 120.0) << c.What;
  }
}

TEST_F(TrackTags, RowsShowArtistAndTitleThenTitleThenTheFileName) {
  Shell("lame --quiet --id3v2-only --tt 'Северный ветер' --ta 'Полярная звезда' tone.wav both.mp3");
  Shell("lame --quiet --id3v2-only --tt '  Only a title  ' tone.wav title.mp3");
  Shell("lame --quiet --id3v2-only --ta 'Only an artist' tone.wav artist.mp3");
  Shell("lame --quiet --id3v2-only --tt '   ' --ta 'Blank title' tone.wav blank.mp3");
  const std::vector<std::string> files = {"both.mp3", "title.mp3", "artist.mp3", "blank.mp3", "plain.mp3", "missing.mp3"};
  TPlaylist list;
  for (const std::string& f : files) list.AddTrack(Dir + f, "");
  EXPECT_EQ(list.TrackNames, (std::vector<std::string>{"both", "title", "artist", "blank", "plain", "missing"}))
      << "file names until the tags arrive";
  list.WaitForTags();
  EXPECT_TRUE(list.ApplyTags());
  EXPECT_EQ(list.TrackNames, (std::vector<std::string>{FontTextFromUtf8("Полярная звезда - Северный ветер"),
                                                       "Only a title", "artist", "blank", "plain", "missing"}));
  EXPECT_EQ(list.TrackTags[0].Artist, "Полярная звезда") << "tags stay UTF-8 for other users";
  EXPECT_EQ(list.TrackTags[2].Artist, "Only an artist");
  EXPECT_FALSE(list.ApplyTags()) << "nothing new";
  EXPECT_EQ(list.TrackPaths[0], Dir + "both.mp3") << "the playlist still holds paths";
}

TEST_F(TrackTags, TagsFindTheirRowAfterDeletionsAndAreDroppedAfterClearing) {
  Shell("lame --quiet --id3v2-only --tt One tone.wav one.mp3");
  Shell("lame --quiet --id3v2-only --tt Two tone.wav two.mp3");
  TPlaylist list;
  for (const char* f : {"one.mp3", "two.mp3", "one.mp3", "two.mp3"}) list.AddTrack(Dir + f, "");
  list.DeleteTrack(0);
  list.DeleteTrack(1);
  list.WaitForTags();
  list.ApplyTags();
  EXPECT_EQ(list.TrackNames, (std::vector<std::string>{"Two", "Two"}));

  list.AddTrack(Dir + "one.mp3", "");
  list.WaitForTags();
  list.ClearPlaylist();
  list.AddTrack(Dir + "plain.mp3", "");
  list.WaitForTags();
  list.ApplyTags();
  EXPECT_EQ(list.TrackNames, (std::vector<std::string>{"plain"})) << "a result for a cleared entry lands nowhere";
}

TEST_F(TrackTags, BrokenAndHostileTagsNeverCrashAndLeaveTheFileName) {
  const std::string audio = Bytes("plain.mp3");
  const std::string megabyteTitle(1 << 20, 'T');
  const struct {
    const char* What;
    std::string Bytes;
    std::string Title;
  } cases[] = {
      {"a frame cut off by the end of the file", Tag(TextFrame("TIT2", "Cut"), 4000).substr(0, 16), ""},
      {"a frame larger than its tag", Tag(Frame("TIT2", std::string("\0Big", 4), 0x0FFFFFFF) + TextFrame("TPE1", "A")) + audio, ""},
      {"a tag larger than the file", Tag(TextFrame("TIT2", "Short"), 0x0FFFFFFF) + audio, ""},
      {"a frame of size zero", Tag(Frame("TIT2", "", 0) + TextFrame("TPE1", "Zero")) + audio, ""},
      {"garbage frame names", Tag(std::string(64, '\xFF')) + audio, ""},
      {"a megabyte-long title", Tag(TextFrame("TIT2", megabyteTitle)) + audio, megabyteTitle},
      {"empty file", "", ""},
      {"only the tag header", "ID3", ""},
      {"FLAC block longer than the file", std::string("fLaC\x80\xFF\xFF\xFF", 8) + "xx", ""},
  };
  TFontTextConverter converter;
  for (const auto& c : cases) {
    const auto* data = reinterpret_cast<const uint8_t*>(c.Bytes.data());
    EXPECT_EQ(ReadTrackTags(data, c.Bytes.size()).Title, c.Title) << c.What;
    Write("hostile.mp3", c.Bytes);
    const TTrackTags fromFile = ReadTrackTags(Dir + "hostile.mp3");
    EXPECT_EQ(fromFile.Title, c.Title) << c.What;
    EXPECT_LE(converter.Convert(TagTitle(fromFile), 255).size(), 255u) << c.What;
  }
}

TEST_F(TrackTags, AHundredMegabytePictureIsPassedOver) {
  // A sparse file: the picture's bytes cost no disk.
  const uint32_t pictureSize = 100u << 20;
  const std::string picture = Frame("APIC", std::string("\0image/png\0\3\0", 13), pictureSize);
  const std::string title = TextFrame("TIT2", "After the picture");
  const uint32_t tagSize = static_cast<uint32_t>(picture.size() - 13) + pictureSize + static_cast<uint32_t>(title.size());
  {
    std::ofstream out(Dir + "picture.mp3", std::ios::binary);
    out << Tag(picture, tagSize);
    out.seekp(static_cast<std::streamoff>(10 + picture.size() - 13 + pictureSize));
    out << title << Bytes("plain.mp3");
  }
  const TTrackTags tags = ReadTrackTags(Dir + "picture.mp3");
  EXPECT_EQ(tags.Title, "After the picture");
  EXPECT_NEAR(static_cast<double>(tags.LengthMs), 1000.0, 120.0);
}

TEST_F(TrackTags, OnlyRegularFilesAreRead) {
  ASSERT_EQ(mkfifo((Dir + "pipe.mp3").c_str(), 0600), 0);
  fs::create_directories(Dir + "folder.mp3");
  for (const char* name : {"pipe.mp3", "folder.mp3", "absent.mp3"}) {
    EXPECT_EQ(ReadTrackTags(Dir + name).Title, "") << name << " (a pipe would block the reader for good)";
  }
}

TEST(TagTitle, ArtistAndTitleThenTitleElseNothing) {
  const struct {
    TTrackTags Tags;
    std::string Title;
  } cases[] = {
      {{"Song", "Band", "Album"}, "Band - Song"},
      {{"Song", "", "Album"}, "Song"},
      {{"", "Band", "Album"}, ""},
      {{"", "", ""}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(TagTitle(c.Tags), c.Title) << c.Tags.Title << "/" << c.Tags.Artist;
}

}  // namespace
