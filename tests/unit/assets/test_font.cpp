// Fonts: the "ZRNFNT" file, measuring and the quads TextOut emits.
#include <gtest/gtest.h>

#include <cstring>

#include "AssetTestHelpers.h"
#include "engine/assets/zrnFont.h"

namespace {

struct TFontFixture : ::testing::Test {
  TRecordingDevice Dev;

  // A 64 x 32 atlas with characters A (advance 10), B (advance 12) and C (the geometry of the
  // placement example), written and read back through the file format.
  std::unique_ptr<TZRNFont> MakeFont(std::vector<TZRNCharacter> characters = {}) {
    TZRNFont source(Dev.Device.get());
    source.Name = "Test";
    source.Height = 18;
    source.Metrics[0] = 14;
    FillTexture(*source.Texture, 64, 32, pfRGBA);
    if (characters.empty()) {
      characters = {{'A', 0, 0, 8, 12, 1, 2, 10}, {'B', 8, 0, 9, 12, 0, 2, 12}, {'C', 16, 4, 8, 9, 2, 3, 11}};
    }
    for (const auto& c : characters) source.Characters[source.Characters.Alloc(1)] = c;
    TZRNMemoryStream s;
    source.SaveToStream(s);
    s.Seek(0, soBeginning);
    auto font = std::make_unique<TZRNFont>(Dev.Device.get());
    font->LoadFromStream(s);
    Dev.Recorder->Reset();
    return font;
  }
};

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const EZRNError& e) {
    return e.what();
  }
  return "(no error)";
}

// The file layout up to the characters: magic 6, version 4, name, 6 ignored, height 4, metrics 12.
size_t CountOffset(const std::string& name) { return 6 + 4 + 2 + name.size() + 6 + 4 + 12; }

}  // namespace

TEST_F(TFontFixture, FileRoundTripKeepsTableAndPicture) {
  TZRNFont source(Dev.Device.get());
  source.Name = "Round";
  source.Height = 17;
  FillTexture(*source.Texture, 8, 4, pfRGBA);
  source.Characters[source.Characters.Alloc(1)] = {'x', 1, 2, 3, 4, 5, 6, 7};
  TZRNMemoryStream s;
  source.SaveToStream(s);
  // The ignored fields are written as zeros, the picture as an embedded ".png".
  const size_t ignoredAt = 6 + 4 + 2 + 5;
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(s.Bytes[ignoredAt + i], 0);
  const size_t extAt = CountOffset("Round") + 4 + 32;
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&s.Bytes[extAt + 2]), 4), ".png");
  int64_t pictureSize = 0;
  std::memcpy(&pictureSize, &s.Bytes[extAt + 6], 8);
  EXPECT_EQ(s.Size(), static_cast<int64_t>(extAt + 6 + 8) + pictureSize);

  s.Seek(0, soBeginning);
  TZRNFont font(Dev.Device.get());
  font.LoadFromStream(s);
  EXPECT_EQ(font.Name, "Round");
  EXPECT_EQ(font.Height, 17);
  EXPECT_EQ(font.CharacterCount, 1);
  EXPECT_EQ(font.Characters[0].XAdvance, 7);
  EXPECT_EQ(font.Texture->Name, "Round.png");
  EXPECT_EQ(TexturePixels(*font.Texture), TexturePixels(*source.Texture));
  EXPECT_EQ(font.CharacterIndex['x'], 0);
  EXPECT_EQ(font.CharacterIndex['y'], -1);
}

TEST_F(TFontFixture, MeasuresByAdvanceWithSixteenForMissingBytes) {
  auto font = MakeFont();
  EXPECT_EQ(font->TextWidth(""), 0);
  EXPECT_EQ(font->TextHeight(""), 0);
  EXPECT_EQ(font->TextWidth("AB"), 22);
  EXPECT_EQ(font->TextWidth("A?B"), 38);
  EXPECT_EQ(font->TextHeight("A"), 18);
}

TEST_F(TFontFixture, TextOutEmitsOneQuadPerKnownCharacterInOneDrawCall) {
  auto font = MakeFont();
  const TColor4f color = Color4f(0.2f, 0.4f, 0.6f, 0.8f);
  font->TextOut(100, 50, color, "C");
  font->TextOut(0, 0, color, "A\nB");

  auto draws = Dev.Recorder->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 2u);
  // C: XOffset 2, YOffset 3, 8 x 9 at pen (100, 50) covers x 102..110, y 53..62.
  const auto& c = draws[0]->Vertices;
  ASSERT_EQ(draws[0]->Count, 4);
  EXPECT_EQ(c[0].Position, Vector3f(102, 53, 0));
  EXPECT_EQ(c[2].Position, Vector3f(110, 62, 0));
  EXPECT_FLOAT_EQ(c[0].TexCoord.X, 16.0f / 64.0f);
  EXPECT_FLOAT_EQ(c[2].TexCoord.Y, 13.0f / 32.0f);
  EXPECT_EQ(c[1].Color, color);
  // The line break has no character: skipped without advancing, so B starts at A's advance.
  ASSERT_EQ(draws[1]->Count, 8);
  EXPECT_EQ(draws[1]->Vertices[0].Position.X, 1.0f);
  EXPECT_EQ(draws[1]->Vertices[4].Position.X, 10.0f);
  EXPECT_EQ(FontVertices().Count, 0);

  auto blends = Dev.Recorder->CallsOf(TZRNCallKind::SetBlendMode);
  ASSERT_EQ(blends.size(), 1u);
  EXPECT_EQ(blends[0]->B, rvBlendAlpha);
  auto depth = Dev.Recorder->CallsOf(TZRNCallKind::SetDepthTest);
  ASSERT_EQ(depth.size(), 1u);
  EXPECT_EQ(depth[0]->B, rvDepthTestOff);
  auto textures = Dev.Recorder->CallsOf(TZRNCallKind::SetTexture);
  ASSERT_EQ(textures.size(), 1u);
  EXPECT_EQ(textures[0]->Texture, font->Texture.get());
}

TEST_F(TFontFixture, ScaleMagnifiesGlyphsAdvancesAndMeasures) {
  auto font = MakeFont();
  font->Scale = 3.0f;
  EXPECT_EQ(font->TextWidth("AB"), 66);
  EXPECT_EQ(font->TextHeight("A"), 54);
  font->TextOut(100, 50, clrWhite, "AC");
  auto draws = Dev.Recorder->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 1u);
  const auto& v = draws[0]->Vertices;
  // A: offset (1, 2), 8 x 12; C starts at A's advance of 10, offset (2, 3), 8 x 9; all tripled.
  EXPECT_EQ(v[0].Position, Vector3f(103, 56, 0));
  EXPECT_EQ(v[2].Position, Vector3f(127, 92, 0));
  EXPECT_EQ(v[4].Position, Vector3f(136, 59, 0));
  EXPECT_EQ(v[6].Position, Vector3f(160, 86, 0));
}

TEST_F(TFontFixture, NothingToDrawSendsNothingAndBatchingWaitsForFlush) {
  auto font = MakeFont();
  font->TextOut(0, 0, clrWhite, "???");
  EXPECT_TRUE(Dev.Recorder->Calls.empty());
  font->Batching = true;
  font->TextOut(0, 0, clrWhite, "AB");
  font->TextOut(0, 20, clrWhite, "C");
  EXPECT_TRUE(Dev.Recorder->CallsOf(TZRNCallKind::DrawPrimitives).empty());
  font->Flush();
  auto draws = Dev.Recorder->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0]->Count, 12);
}

TEST_F(TFontFixture, LaterCharacterWinsTheLowByteAndNegativeIdsStayInTheTable) {
  auto font = MakeFont({{0x141, 0, 0, 4, 4, 0, 0, 5}, {0x41, 0, 0, 4, 4, 0, 0, 7}, {-2, 0, 0, 4, 4, 0, 0, 9}});
  EXPECT_EQ(font->TextWidth("A"), 7);
  EXPECT_EQ(font->CharacterIndex[0x41], 1);
  EXPECT_EQ(font->CharacterIndex[0xFE], 2);
  EXPECT_EQ(font->TextWidth("\xFE"), 9);
}

TEST_F(TFontFixture, DamagedFilesAreRefused) {
  TZRNFont source(Dev.Device.get());
  source.Name = "F";
  FillTexture(*source.Texture, 4, 4, pfRGBA);
  source.Characters[source.Characters.Alloc(1)] = {'a', 0, 0, 1, 1, 0, 0, 1};
  TZRNMemoryStream good;
  source.SaveToStream(good);
  const size_t countAt = CountOffset("F");
  const size_t sizeAt = countAt + 4 + 32 + 2 + 4;

  auto patched = [&](size_t at, const void* bytes, size_t n) {
    std::vector<uint8_t> b = good.Bytes;
    std::memcpy(b.data() + at, bytes, n);
    return b;
  };
  const int32_t zero = 0, tooMany = 257, negative = -5, version = 5;
  const int64_t noPicture = 0, negativePicture = -1, hugePicture = int64_t{1} << 60;
  std::vector<uint8_t> truncated(good.Bytes.begin(), good.Bytes.end() - 10);
  struct {
    std::vector<uint8_t> Bytes;
    std::string Expected;
  } cases[] = {
      {patched(0, "ZRNFNX", 6), "Not a valid Zarnith font."},
      {patched(6, &version, 4), "Font version missmatch."},
      {patched(countAt, &zero, 4), "Invalid font character count 0."},
      {patched(countAt, &tooMany, 4), "Invalid font character count 257."},
      {patched(countAt, &negative, 4), "Invalid font character count -5."},
      {patched(sizeAt, &noPicture, 8), "Invalid font picture size 0."},
      {patched(sizeAt, &negativePicture, 8), "Invalid font picture size -1."},
      {patched(sizeAt, &hugePicture, 8), "Stream read error"},
      {truncated, "Stream read error"},
      {patched(countAt + 4 + 32 + 2, ".zzz", 4), "Could not find a graphic importer for F.zzz"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    TZRNFont font(Dev.Device.get());
    TZRNMemoryStream s(c.Bytes);
    EXPECT_EQ(Message([&] { font.LoadFromStream(s); }), c.Expected);
  }
  // More characters than the stream holds.
  std::vector<uint8_t> shortTable(good.Bytes.begin(), good.Bytes.begin() + static_cast<long>(countAt) + 4 + 20);
  const int32_t two = 2;
  std::memcpy(shortTable.data() + countAt, &two, 4);
  TZRNMemoryStream s(shortTable);
  TZRNFont font(Dev.Device.get());
  EXPECT_EQ(Message([&] { font.LoadFromStream(s); }), "Stream read error");
  EXPECT_EQ(font.Characters.Count, 0) << "refused before the table was sized";
}
