// Textures: the "ZRNTEX" block, the registries and the guards against damaged blocks.
#include <gtest/gtest.h>

#include <cstring>

#include "AssetTestHelpers.h"

namespace {

struct TTextureFixture : ::testing::Test {
  TRecordingDevice Dev;
  std::unique_ptr<TZRNTexture> NewTexture() { return Dev.Device->CreateTexture(); }
};

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const EZRNError& e) {
    return e.what();
  }
  return "(no error)";
}

// A raw block with the given header values and `payload` bytes of pixels after it.
std::vector<uint8_t> RawBlock(int32_t width, int32_t height, uint8_t format, int32_t size, int64_t payload,
                              const char* magic = "ZRNTEX", int32_t version = 1) {
  TZRNMemoryStream s;
  s.WriteBuffer(magic, 6);
  s.WriteValue(version);
  WriteString(s, "t");
  s.WriteValue(width);
  s.WriteValue(height);
  s.WriteValue(format);
  s.WriteValue(size);
  const uint8_t settings[5] = {0, 1, 1, 5, 1};
  s.WriteBuffer(settings, 5);
  WriteString(s, "");
  for (int64_t i = 0; i < payload; ++i) s.WriteValue(static_cast<uint8_t>(i));
  return s.Bytes;
}

}  // namespace

TEST_F(TTextureFixture, SetSizeComputesBytesAndFreesOnZero) {
  auto t = NewTexture();
  t->SetSize(4, 2, pfRGB);
  EXPECT_EQ(t->Size, 24);
  EXPECT_NE(t->Data, nullptr);
  t->SetSize(0, 0, pfNone);
  EXPECT_EQ(t->Size, 0);
  EXPECT_EQ(t->Data, nullptr);
}

TEST_F(TTextureFixture, IdsFollowCreationOrderOnEachDevice) {
  auto a = NewTexture();
  auto b = NewTexture();
  EXPECT_EQ(a->ID, 1);
  EXPECT_EQ(b->ID, 2);
  TRecordingDevice other;
  EXPECT_EQ(other.Device->CreateTexture()->ID, 1) << "a second device numbers its own textures";
}

TEST_F(TTextureFixture, RawBlockRoundTripsWithTheDocumentedLength) {
  auto t = NewTexture();
  t->Name = "sprites";
  FillTexture(*t, 5, 3, pfRGBA);
  t->Settings->Mipmaps = true;
  t->Settings->WrapS = twRepeat;
  t->Settings->MinFilter = tfNearestMipmapLinear;
  t->Settings->MagFilter = tfNearest;
  TZRNMemoryStream s;
  t->SaveToStream(s);
  EXPECT_EQ(s.Size(), 6 + 4 + 2 + 7 + 4 + 4 + 1 + 4 + 5 + 2 + 60);

  s.Seek(0, soBeginning);
  auto back = NewTexture();
  back->LoadFromStream(s);
  EXPECT_EQ(s.Position(), s.Size());
  EXPECT_EQ(back->Name, "sprites");
  EXPECT_EQ(back->Width, 5);
  EXPECT_EQ(back->Height, 3);
  EXPECT_EQ(back->Format, pfRGBA);
  EXPECT_EQ(TexturePixels(*back), TexturePixels(*t));
  EXPECT_TRUE(back->Settings->Mipmaps);
  EXPECT_EQ(back->Settings->WrapS, twRepeat);
  EXPECT_EQ(back->Settings->WrapT, twClamp);
  EXPECT_EQ(back->Settings->MinFilter, tfNearestMipmapLinear);
  EXPECT_EQ(back->Settings->MagFilter, tfNearest);
  EXPECT_EQ(back->Compressor, nullptr);
  EXPECT_EQ(static_cast<TZRNRecordingTexture*>(back.get())->Builds, 1) << "loading a block builds it";
}

TEST_F(TTextureFixture, BlockRoundTripsThroughEachCompressor) {
  for (const char* name : {"FreeImage.PNG", "FreeImage.JPEG", "FreeImage.BMP", "FreeImage.TGA"}) {
    SCOPED_TRACE(name);
    auto t = NewTexture();
    FillTexture(*t, 9, 6, pfRGB);
    t->Compressor = Compressor(name);
    TZRNMemoryStream s;
    t->SaveToStream(s);
    s.WriteValue(int32_t{-7});  // whatever follows the block must still be where it was
    s.Seek(0, soBeginning);
    auto back = NewTexture();
    back->LoadFromStream(s);
    EXPECT_EQ(back->Compressor, t->Compressor);
    ASSERT_EQ(back->Format, pfRGB);
    ASSERT_EQ(back->Size, t->Size);
    if (std::string(name) != "FreeImage.JPEG") {
      EXPECT_EQ(TexturePixels(*back), TexturePixels(*t));
    }
    int32_t trailer = 0;
    s.ReadValue(trailer);
    EXPECT_EQ(trailer, -7);
  }
}

TEST_F(TTextureFixture, CompressorNameIgnoresCaseButMagicDoesNot) {
  auto t = NewTexture();
  FillTexture(*t, 2, 2, pfLuminance);
  t->Compressor = Compressor("FreeImage.PNG");
  TZRNMemoryStream s;
  t->SaveToStream(s);
  // The compressor name starts after magic, version, name "", 4+4+1+4 header bytes, 5 settings.
  const size_t nameAt = 6 + 4 + 2 + 13 + 5 + 2;
  for (size_t i = 0; i < 13; ++i) s.Bytes[nameAt + i] = static_cast<uint8_t>(std::tolower(s.Bytes[nameAt + i]));
  s.Seek(0, soBeginning);
  auto back = NewTexture();
  back->LoadFromStream(s);
  EXPECT_EQ(back->Compressor, Compressor("FreeImage.PNG"));
  EXPECT_EQ(TexturePixels(*back), TexturePixels(*t));

  std::memcpy(s.Bytes.data(), "zrntex", 6);
  s.Seek(0, soBeginning);
  EXPECT_EQ(Message([&] { back->LoadFromStream(s); }), "Not a valid Zarnith texture.");
}

TEST_F(TTextureFixture, UnknownCompressorLeavesTheTextureWithoutPixels) {
  auto t = NewTexture();
  FillTexture(*t, 2, 2, pfRGB);
  TZRNMemoryStream s;
  t->SaveToStream(s);
  // Replace the empty compressor string by "Nope" and drop the raw pixels.
  s.Bytes.resize(s.Bytes.size() - 12 - 2);
  const uint8_t named[6] = {4, 0, 'N', 'o', 'p', 'e'};
  s.Bytes.insert(s.Bytes.end(), named, named + 6);
  s.Seek(0, soBeginning);
  auto back = NewTexture();
  EXPECT_EQ(Message([&] { back->LoadFromStream(s); }), "No texture data");
  EXPECT_EQ(back->Width, 2);
  EXPECT_EQ(back->Data, nullptr);
  EXPECT_EQ(s.Position(), s.Size());
}

TEST_F(TTextureFixture, DamagedBlocksAreRefusedBeforeAnythingChanges) {
  auto t = NewTexture();
  FillTexture(*t, 1, 1, pfRGB);
  const auto before = TexturePixels(*t);
  struct {
    std::vector<uint8_t> Bytes;
    std::string Expected;
  } cases[] = {
      {RawBlock(2, 2, pfRGB, 12, 12, "ZRNIMG"), "Not a valid Zarnith texture."},
      {RawBlock(2, 2, pfRGB, 12, 12, "ZRNTEX", 2), "Texture version missmatch [File: 2 Code: 1]."},
      {std::vector<uint8_t>{'Z', 'R', 'N'}, "Not a valid Zarnith texture."},
      {RawBlock(2, 2, pfRGB, 13, 13), "Invalid texture size [Width: 2 Height: 2 Size: 13]."},
      {RawBlock(2, 2, pfRGB, -12, 0), "Invalid texture size [Width: 2 Height: 2 Size: -12]."},
      {RawBlock(-2, -2, pfRGB, 12, 12), "Invalid texture size [Width: -2 Height: -2 Size: 12]."},
      {RawBlock(65536, 65536, pfRGBA, 0, 0), "Invalid texture size [Width: 65536 Height: 65536 Size: 0]."},
      {RawBlock(0x7FFFFFFF, 0x7FFFFFFF, pfRGBA, 4, 4),
       "Invalid texture size [Width: 2147483647 Height: 2147483647 Size: 4]."},
      {RawBlock(100, 100, pfRGBA, 40000, 10), "Stream read error"},
      {RawBlock(2, 2, 9, 12, 12), "Invalid texture format 9."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    TZRNMemoryStream s(c.Bytes);
    EXPECT_EQ(Message([&] { t->LoadFromStream(s); }), c.Expected);
    EXPECT_EQ(t->Width, 1);
    EXPECT_EQ(t->Name, "");
    EXPECT_EQ(TexturePixels(*t), before);
  }
  // Settings bytes outside their enumerations.
  auto bytes = RawBlock(1, 1, pfRGB, 3, 3);
  bytes[6 + 4 + 3 + 13 + 3] = 6;  // min filter
  TZRNMemoryStream s(bytes);
  EXPECT_EQ(Message([&] { t->LoadFromStream(s); }), "Invalid texture settings.");
}

TEST_F(TTextureFixture, StringLongerThanTheStreamIsRefused) {
  auto bytes = RawBlock(1, 1, pfRGB, 3, 3);
  bytes[10] = 0xFF;
  bytes[11] = 0xFF;
  TZRNMemoryStream s(bytes);
  auto t = NewTexture();
  EXPECT_EQ(Message([&] { t->LoadFromStream(s); }), "Stream read errror: String length larger then stream length");
}

TEST(TextureRegistry, ImporterLookupByExtension) {
  TZRNGraphicImporter* importer = nullptr;
  EXPECT_TRUE(FindImporter("dir.v2/PICTURE.PNG", importer));
  EXPECT_NE(importer, nullptr);
  EXPECT_FALSE(FindImporter("dir.png/noextension", importer));
  EXPECT_EQ(importer, nullptr);
  EXPECT_EQ(GraphicFormats().Count(), 37);
  EXPECT_STREQ(GraphicFormats().Entries[0].Extension, ".bmp");
  EXPECT_STREQ(GraphicFormats().Entries[36].Extension, ".xpm");
}

TEST(TextureRegistry, LongExtensionsAreCutToEightCharacters) {
  TZRNGraphicFormatList list;
  list.Add(".abcdefghij", nullptr);
  EXPECT_STREQ(list.Entries[0].Extension, ".abcdefg");
}

TEST_F(TTextureFixture, ImportNamesTheTextureAndReportsMissingImporters) {
  auto t = NewTexture();
  TZRNMemoryStream empty;
  EXPECT_EQ(Message([&] { t->LoadFromStream("/nowhere/README", empty, 0); }),
            "Could not find a graphic importer for /nowhere/README");
  EXPECT_EQ(t->Name, "README");

  // A picture made by the PNG compressor, imported from a file with an upper-case extension.
  auto source = NewTexture();
  FillTexture(*source, 3, 2, pfRGB);
  const std::string path = std::string(SNV_BINARY_DIR) + "/texture_import_test.PNG";
  {
    TZRNFileStream f(path, TZRNFileMode::Create);
    TZRNTextureData data{3, 2, pfRGB, source->Size, source->Data};
    Compressor("FreeImage.PNG")->Compress(f, data);
  }
  t->Settings->MinFilter = tfNearest;
  t->LoadFromFile(path, loBuild);
  EXPECT_EQ(t->Name, "texture_import_test.PNG");
  EXPECT_EQ(TexturePixels(*t), TexturePixels(*source));
  EXPECT_EQ(t->Settings->MinFilter, tfNearest) << "import leaves the settings alone";
  EXPECT_EQ(static_cast<TZRNRecordingTexture*>(t.get())->Builds, 1);
  std::remove(path.c_str());
}
