#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>

#include "player/Strings.h"
#include "tests/unit/tools/AssetFiles.h"

namespace {

const LoadedAssets& Assets() {
  static const LoadedAssets assets;
  return assets;
}

const TZRNCharacter* CharacterOf(uint8_t byte) {
  const TZRNFont& font = *Assets().Font;
  int32_t i = font.CharacterIndex[byte];
  return i < 0 ? nullptr : &font.Characters[i];
}

int MaxAlphaOf(const TZRNCharacter& c) {
  const TZRNTexture& t = *Assets().Font->Texture;
  int best = 0;
  for (int y = c.Y; y < c.Y + c.Height; ++y) {
    for (int x = c.X; x < c.X + c.Width; ++x) best = std::max<int>(best, t.Data[(size_t(y) * t.Width + x) * 4 + 3]);
  }
  return best;
}

}  // namespace

TEST(FontFile, CoversPrintableAsciiAndTheRussianLettersAtTheirWindows1251Codes) {
  std::set<int> required;
  for (int b = 0x20; b <= 0x7E; ++b) required.insert(b);
  for (int b = 0xC0; b <= 0xFF; ++b) required.insert(b);  // А..я
  required.insert(0xA8);                                  // Ё
  required.insert(0xB8);                                  // ё
  for (int b : required) {
    const TZRNCharacter* c = CharacterOf(static_cast<uint8_t>(b));
    ASSERT_NE(c, nullptr) << "no character for byte " << b;
    EXPECT_GT(c->XAdvance, 0) << b;
    if (b != ' ') {
      EXPECT_GE(MaxAlphaOf(*c), 128) << "glyph for byte " << b << " is blank";
    }
  }
}

TEST(FontFile, CoversEveryByteOfTheMenuTextsInBothLanguages) {
  for (int language = 0; language < 2; ++language) {
    for (int i = 0; i < StringCount; ++i) {
      for (unsigned char byte : std::string(Strings[language][i])) {
        EXPECT_NE(CharacterOf(byte), nullptr) << "text " << language << "/" << i << " byte " << int(byte);
      }
    }
  }
}

TEST(FontFile, IsAbout16PixelsWithTheLineHeightAsHeight) {
  const TZRNFont& font = *Assets().Font;
  EXPECT_GE(font.Height, 17);
  EXPECT_LE(font.Height, 22);
  // Capital letters about 12 pixels tall: a 16-pixel font.
  const TZRNCharacter* h = CharacterOf('H');
  ASSERT_NE(h, nullptr);
  EXPECT_GE(h->Height, 11);
  EXPECT_LE(h->Height, 13);
  EXPECT_GT(CharacterOf('W')->XAdvance, CharacterOf('i')->XAdvance);
}

// Drawn at pen (x, y), every glyph must sit on one baseline and stay inside the line.
TEST(FontFile, GlyphsShareOneBaselineAndFitTheLine) {
  const TZRNFont& font = *Assets().Font;
  const TZRNCharacter* h = CharacterOf('H');
  ASSERT_NE(h, nullptr);
  int baseline = h->YOffset + h->Height;
  for (uint8_t b : std::initializer_list<uint8_t>{'A', 'x', 'n', 'E', '1', 0xC0 /* А */, 0xCD /* Н */, 0xE8 /* и */, 0xF8 /* ш */}) {
    const TZRNCharacter* c = CharacterOf(b);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->YOffset + c->Height, baseline) << "byte " << int(b);
  }
  EXPECT_EQ(CharacterOf(0xCD)->YOffset, h->YOffset) << "Cyrillic capitals as tall as Latin ones";
  for (uint8_t b : std::initializer_list<uint8_t>{'g', 'p', 'y', 0xF3 /* у */, 0xF0 /* р */}) {
    EXPECT_GT(CharacterOf(b)->YOffset + CharacterOf(b)->Height, baseline) << "descender of byte " << int(b);
  }
  EXPECT_LT(CharacterOf(0xA8)->YOffset, CharacterOf(0xC5)->YOffset) << "Ё carries its dots above Е";
  const TZRNTexture& t = *font.Texture;
  for (int32_t i = 0; i < font.Characters.Count; ++i) {
    const TZRNCharacter& c = font.Characters[i];
    EXPECT_GE(c.YOffset, 0) << c.ID;
    EXPECT_LE(c.YOffset + c.Height, font.Height) << c.ID;
    EXPECT_GE(c.X, 0);
    EXPECT_GE(c.Y, 0);
    EXPECT_LE(c.X + c.Width, t.Width) << c.ID;
    EXPECT_LE(c.Y + c.Height, t.Height) << c.ID;
  }
}
