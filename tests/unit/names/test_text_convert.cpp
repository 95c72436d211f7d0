// File names and tags in UTF-8 turned into the font's single-byte text.
#include <gtest/gtest.h>

#include <string>

#include "platform/TextConvert.h"
#include "player/Playlist.h"
#include "player/Widgets.h"

namespace {

struct TCase {
  const char* What;
  std::string Utf8;
  std::string Font;
};

TEST(FontText, ConvertsExactlyTransliteratesOrShowsOnePlaceholderPerCharacter) {
  const TCase cases[] = {
      {"Cyrillic", "Звёздная пыль", "\xC7\xE2\xB8\xE7\xE4\xED\xE0\xFF \xEF\xFB\xEB\xFC"},
      {"Ukrainian letters of the code page", "Їжак і ґанок", "\xAF\xE6\xE0\xEA \xB3 \xB4\xE0\xED\xEE\xEA"},
      {"accents", "Café del Mar – Señor naïve", "Cafe del Mar \x96 Senor naive"},
      {"close forms", "Straße Œuvre æ ø", "Strasse OEuvre ae o"},
      {"quotes of the code page", "“Live” «Live» …", "\x93Live\x94 \xABLive\xBB \x85"},
      {"CJK", "東京ラブ", "????"},
      {"outside the basic plane", "a🎵b", "a?b"},
      {"Latin-1 bytes from an old disk", "Caf\xE9 \xE0 la cr\xE8me", "Caf? ? la cr?me"},
      {"a sequence cut short at the end", "ab\xE2\x82", "ab?"},
      {"a sequence cut short inside", "a\xE2\x82z", "a?z"},
      {"stray continuation bytes", "\x80\xBFok", "??ok"},
      {"control characters", "a\tb\nc\x7F", "a?b?c?"},
      {"soft hyphen", "to\xC2\xADgether", "to-gether"},
      {"empty", "", ""},
  };
  TFontTextConverter converter;
  for (const TCase& c : cases) {
    EXPECT_EQ(converter.Convert(c.Utf8), c.Font) << c.What;
    EXPECT_EQ(FontTextFromUtf8(c.Utf8), c.Font) << c.What;
  }
}

TEST(FontText, CutsToCharactersOfTheConvertedText) {
  std::string longCyrillic;
  for (int i = 0; i < 1000; ++i) longCyrillic += "ж";
  const struct {
    const char* What;
    std::string Utf8;
    size_t Max;
    std::string Font;
  } cases[] = {
      {"two-byte letters", "Звёздная", 3, "\xC7\xE2\xB8"},
      {"three-byte CJK", "東京東京", 3, "???"},
      {"a transliteration counts what it became", "ßßß", 3, "sss"},
      {"shorter than the limit", "ok", 255, "ok"},
      {"a megabyte-long title", longCyrillic + "end", 255, std::string(255, '\xE6')},
  };
  TFontTextConverter converter;
  for (const auto& c : cases) EXPECT_EQ(converter.Convert(c.Utf8, c.Max), c.Font) << c.What;
}

TEST(FontText, DisplayNamesAreConvertedAndCutTo255Characters) {
  std::string longName = "/music/";
  for (int i = 0; i < 300; ++i) longName += "я";
  longName += ".ogg";
  const TCase cases[] = {
      {"Cyrillic", "/music/Звёздная пыль.ogg", "\xC7\xE2\xB8\xE7\xE4\xED\xE0\xFF \xEF\xFB\xEB\xFC"},
      {"accents", "/music/Café del Mar.mp3", "Cafe del Mar"},
      {"CJK", "/music/東京.wav", "??"},
      {"Latin-1 name", "/old/Caf\xE9.mp3", "Caf?"},
      {"300 two-byte letters", longName, std::string(255, '\xFF')},
  };
  for (const TCase& c : cases) EXPECT_EQ(TrackDisplayName(c.Utf8), c.Font) << c.What;
}

TEST(FontText, LongLabelsKeepTheirEndBehindThreeFullStops) {
  // Ten pixels a character: a 100-pixel label holds ten.
  const auto width = [](const std::string& text) { return static_cast<int32_t>(text.size()) * 10; };
  const std::string path = FontTextFromUtf8("/музыка/Звёздная пыль");
  EXPECT_EQ(ShortenFromStart(path, 100, width), "...\xE0\xFF \xEF\xFB\xEB\xFC");
  EXPECT_EQ(ShortenFromStart("short", 100, width), "short");
  EXPECT_EQ(ShortenFromStart(path, 5, width), "...") << "three full stops are as short as it gets";
}

}  // namespace
