// Picture import and the four compressors through engine streams.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstring>

#include "AssetTestHelpers.h"
#include "engine/assets/zrnFreeImage.h"

namespace {

// Encodes a bitmap with FreeImage's own memory I/O, independent of the engine's bridge.
std::vector<uint8_t> Encode(FIBITMAP* bitmap, FREE_IMAGE_FORMAT fif) {
  FIMEMORY* mem = FreeImage_OpenMemory();
  EXPECT_TRUE(FreeImage_SaveToMemory(fif, bitmap, mem, 0));
  BYTE* data = nullptr;
  DWORD size = 0;
  FreeImage_AcquireMemory(mem, &data, &size);
  std::vector<uint8_t> bytes(data, data + size);
  FreeImage_CloseMemory(mem);
  return bytes;
}

// A 3 x 2 picture: the top-left pixel is pure red and the bottom-right pure blue; in 32 bits
// every pixel has its own alpha; in 8 bits the grey levels count up from the top-left.
FIBITMAP* MakePicture(int bpp) {
  FIBITMAP* b = FreeImage_Allocate(3, 2, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK);
  if (bpp == 8) {
    RGBQUAD* pal = FreeImage_GetPalette(b);
    for (int i = 0; i < 256; ++i) pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = static_cast<BYTE>(i);
  }
  for (unsigned row = 0; row < 2; ++row) {
    BYTE* line = FreeImage_GetScanLine(b, 1 - row);  // FreeImage's scan line 0 is the bottom row
    for (unsigned x = 0; x < 3; ++x) {
      const int index = static_cast<int>(row * 3 + x);
      if (bpp == 8) {
        line[x] = static_cast<BYTE>(10 + index * 40);
        continue;
      }
      BYTE* px = line + x * (bpp / 8);
      px[FI_RGBA_RED] = index == 0 ? 255 : 20;
      px[FI_RGBA_GREEN] = static_cast<BYTE>(index * 30);
      px[FI_RGBA_BLUE] = index == 5 ? 255 : 0;
      if (bpp == 32) px[FI_RGBA_ALPHA] = static_cast<BYTE>(100 + index);
    }
  }
  return b;
}

TZRNTextureData Import(const std::vector<uint8_t>& bytes, const std::string& fileName) {
  TZRNGraphicImporter* importer = nullptr;
  EXPECT_TRUE(FindImporter(fileName, importer));
  TZRNMemoryStream stream(bytes);
  TZRNTextureData data;
  importer->LoadTexture(stream, fileName, data);
  return data;
}

struct TDataHolder {
  TZRNTextureData Data;
  ~TDataHolder() { std::free(Data.Data); }
};

}  // namespace

TEST(FreeImageImport, ConvertsEachDepthToItsFormatTopRowFirst) {
  struct {
    int Bpp;
    TZRNPixelFormat Format;
    std::vector<uint8_t> FirstPixel, LastPixel;
  } cases[] = {
      {8, pfLuminance, {10}, {210}},
      {24, pfRGB, {255, 0, 0}, {20, 150, 255}},
      {32, pfRGBA, {255, 0, 0, 100}, {20, 150, 255, 105}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Bpp);
    FIBITMAP* b = MakePicture(c.Bpp);
    // TGA keeps 32-bit alpha and 8-bit palettes and stores rows either way up.
    TDataHolder d{Import(Encode(b, c.Bpp == 8 ? FIF_PNG : FIF_TARGA), c.Bpp == 8 ? "pic.png" : "pic.tga")};
    FreeImage_Unload(b);
    ASSERT_EQ(d.Data.Format, c.Format);
    ASSERT_EQ(d.Data.Width, 3);
    ASSERT_EQ(d.Data.Height, 2);
    const int bpp = PixelFormatBytes[c.Format];
    ASSERT_EQ(d.Data.Size, 3 * 2 * bpp);
    EXPECT_EQ(std::vector<uint8_t>(d.Data.Data, d.Data.Data + bpp), c.FirstPixel);
    EXPECT_EQ(std::vector<uint8_t>(d.Data.Data + 5 * bpp, d.Data.Data + 6 * bpp), c.LastPixel);
  }
}

TEST(FreeImageImport, UnsupportedDepthGivesAnEmptyRecord) {
  FIBITMAP* b = FreeImage_Allocate(4, 4, 1);
  TDataHolder d{Import(Encode(b, FIF_PNG), "mono.png")};
  FreeImage_Unload(b);
  EXPECT_EQ(d.Data.Format, pfNone);
  EXPECT_EQ(d.Data.Size, 0);
  EXPECT_EQ(d.Data.Data, nullptr);
}

TEST(FreeImageImport, UnrecognisedContentsFallBackToTheFileName) {
  FIBITMAP* b = MakePicture(24);
  const auto tga = Encode(b, FIF_TARGA);
  FreeImage_Unload(b);
  TZRNGraphicImporter* importer = nullptr;
  ASSERT_TRUE(FindImporter("picture.TGA", importer));
  // Detection looks at the current position; at the end it sees nothing it knows.
  TZRNMemoryStream stream(tga);
  stream.Seek(0, soEnd);
  TDataHolder d;
  importer->LoadTexture(stream, "picture.TGA", d.Data);
  EXPECT_EQ(d.Data.Format, pfRGB);
  EXPECT_EQ(d.Data.Data[0], 255);
}

TEST(FreeImageImport, FailuresCarryTheirMessages) {
  TZRNGraphicImporter* importer = nullptr;
  ASSERT_TRUE(FindImporter("x.png", importer));
  TZRNTextureData data;
  TZRNMemoryStream garbage(std::vector<uint8_t>(64, 0x5A));
  try {
    importer->LoadTexture(garbage, "noise.xyz", data);
    FAIL();
  } catch (const EZRNError& e) {
    EXPECT_STREQ(e.what(), "Unknown or unsuported texture format:\rnoise.xyz");
  }
  // A PNG signature followed by nothing useful is recognised but does not decode.
  std::vector<uint8_t> broken = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  TZRNMemoryStream bad(broken);
  try {
    importer->LoadTexture(bad, "broken.png", data);
    FAIL();
  } catch (const EZRNError& e) {
    EXPECT_STREQ(e.what(), "Texture loading failed:\rbroken.png");
  }
}

TEST(FreeImageImport, ReadsFromTheStreamStartWhileACompressorReadsFromTheCurrentPosition) {
  FIBITMAP* b = MakePicture(24);
  const auto png = Encode(b, FIF_PNG);
  FreeImage_Unload(b);

  // Picture at the start, stream left somewhere in the middle: the importer still decodes it.
  TZRNGraphicImporter* importer = nullptr;
  ASSERT_TRUE(FindImporter("a.png", importer));
  TZRNMemoryStream atStart(png);
  atStart.Seek(20, soBeginning);
  TDataHolder imported;
  importer->LoadTexture(atStart, "a.png", imported.Data);
  EXPECT_EQ(imported.Data.Format, pfRGB);

  // Picture after other data: the compressor decodes from where the stream stands.
  std::vector<uint8_t> prefixed = {1, 2, 3, 4, 5};
  prefixed.insert(prefixed.end(), png.begin(), png.end());
  TZRNMemoryStream afterData(prefixed);
  afterData.Seek(5, soBeginning);
  TDataHolder decompressed;
  Compressor("FreeImage.PNG")->Decompress(afterData, decompressed.Data);
  ASSERT_EQ(decompressed.Data.Size, imported.Data.Size);
  EXPECT_EQ(0, std::memcmp(decompressed.Data.Data, imported.Data.Data, static_cast<size_t>(imported.Data.Size)));

  // The importer given the same prefixed stream starts at byte 0, where there is no picture.
  TZRNMemoryStream prefixedForImporter(prefixed);
  prefixedForImporter.Seek(5, soBeginning);
  TZRNTextureData none;
  EXPECT_THROW(importer->LoadTexture(prefixedForImporter, "a.png", none), EZRNError);
}

TEST(FreeImageCompressors, RegisteredInOrderWithTheirNamesAndExtensions) {
  auto& list = GraphicCompressors();
  ASSERT_GE(list.Count(), 4);
  const char* names[] = {"FreeImage.PNG", "FreeImage.JPEG", "FreeImage.BMP", "FreeImage.TGA"};
  const char* exts[] = {".png", ".jpg", ".bmp", ".tga"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(list.Items[static_cast<size_t>(i)]->GetName(), names[i]);
    EXPECT_EQ(list.Items[static_cast<size_t>(i)]->GetExtension(), exts[i]);
  }
  EXPECT_EQ(Compressor("freeimage.tga"), list.Items[3].get());
  EXPECT_EQ(Compressor("FreeImage.GIF"), nullptr);
}

TEST(FreeImageCompressors, LosslessOnesRoundTripEveryFormatAndConsumeExactlyWhatTheyWrote) {
  for (const char* name : {"FreeImage.PNG", "FreeImage.BMP", "FreeImage.TGA"}) {
    for (TZRNPixelFormat format : {pfLuminance, pfRGB, pfRGBA}) {
      if (format == pfRGBA && std::string(name) == "FreeImage.BMP") continue;  // BMP drops alpha on reading
      SCOPED_TRACE(std::string(name) + " format " + std::to_string(format));
      const auto pixels = PatternedPixels(7, 5, PixelFormatBytes[format]);
      TZRNTextureData in{7, 5, format, static_cast<int32_t>(pixels.size()), const_cast<uint8_t*>(pixels.data())};
      TZRNMemoryStream stream;
      Compressor(name)->Compress(stream, in);
      Compressor(name)->Compress(stream, in);
      const int64_t written = stream.Size();
      stream.WriteValue(int32_t{0x0BADF00D});
      stream.Seek(0, soBeginning);
      for (int copy = 0; copy < 2; ++copy) {
        SCOPED_TRACE(copy);
        TDataHolder out;
        ASSERT_NO_THROW(Compressor(name)->Decompress(stream, out.Data)) << stream.Position();
        const TZRNPixelFormat expected = format == pfLuminance ? pfLuminance : format;
        ASSERT_EQ(out.Data.Format, expected);
        ASSERT_EQ(out.Data.Size, in.Size);
        EXPECT_EQ(std::vector<uint8_t>(out.Data.Data, out.Data.Data + out.Data.Size), pixels);
      }
      EXPECT_EQ(stream.Position(), written);
    }
  }
}

TEST(FreeImageCompressors, JpegKeepsColoursApproximatelyAndStopsAtTheEndOfEachPicture) {
  std::vector<uint8_t> pixels(40 * 30 * 3);
  for (size_t i = 0; i < pixels.size(); i += 3) pixels[i] = 200, pixels[i + 1] = 40, pixels[i + 2] = 90;
  TZRNTextureData in{40, 30, pfRGB, static_cast<int32_t>(pixels.size()), pixels.data()};
  TZRNMemoryStream stream;
  Compressor("FreeImage.JPEG")->Compress(stream, in);
  const int64_t first = stream.Size();
  Compressor("FreeImage.JPEG")->Compress(stream, in);
  const int64_t second = stream.Size();
  stream.Seek(0, soBeginning);
  for (int64_t end : {first, second}) {
    TDataHolder out;
    Compressor("FreeImage.JPEG")->Decompress(stream, out.Data);
    EXPECT_EQ(stream.Position(), end);
    ASSERT_EQ(out.Data.Format, pfRGB);
    ASSERT_EQ(out.Data.Width, 40);
    EXPECT_NEAR(out.Data.Data[0], 200, 6);
    EXPECT_NEAR(out.Data.Data[1], 40, 6);
    EXPECT_NEAR(out.Data.Data[2], 90, 6);
  }
}

TEST(FreeImageCompressors, PictureTheFormatCannotHoldIsRefusedInsteadOfWrittenEmpty) {
  const auto pixels = PatternedPixels(4, 4, 4);
  TZRNTextureData in{4, 4, pfRGBA, 64, const_cast<uint8_t*>(pixels.data())};
  TZRNMemoryStream stream;
  EXPECT_THROW(Compressor("FreeImage.JPEG")->Compress(stream, in), EZRNError);
}

TEST(FreeImageCompressors, AlphaTextureBecomesAnEightBitPictureOfItsAlphaBytes) {
  const std::vector<uint8_t> alpha = {0, 50, 100, 150, 200, 250};
  TZRNTextureData in{3, 2, pfAlpha, 6, const_cast<uint8_t*>(alpha.data())};
  TZRNMemoryStream stream;
  Compressor("FreeImage.PNG")->Compress(stream, in);
  FIMEMORY* mem = FreeImage_OpenMemory(stream.Bytes.data(), static_cast<DWORD>(stream.Bytes.size()));
  FIBITMAP* b = FreeImage_LoadFromMemory(FIF_PNG, mem, 0);
  FreeImage_CloseMemory(mem);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(FreeImage_GetBPP(b), 8u);
  EXPECT_EQ(FreeImage_GetScanLine(b, 1)[0], 0);    // top row, first pixel
  EXPECT_EQ(FreeImage_GetScanLine(b, 0)[2], 250);  // bottom row, last pixel
  FreeImage_Unload(b);
}

TEST(FreeImageCompressors, FailuresCarryTheirMessages) {
  TZRNTextureData none;
  TZRNMemoryStream stream;
  try {
    Compressor("FreeImage.PNG")->Compress(stream, none);
    FAIL();
  } catch (const EZRNError& e) {
    EXPECT_STREQ(e.what(), "Texture saving failed");
  }
  TZRNMemoryStream garbage(std::vector<uint8_t>(40, 7));
  try {
    Compressor("FreeImage.PNG")->Decompress(garbage, none);
    FAIL();
  } catch (const EZRNError& e) {
    EXPECT_STREQ(e.what(), "Texture loading failed.");
  }
}

TEST(FreeImageCompressors, RefuseAbsurdDimensionsBeforeDecoding) {
  // A valid PNG header announcing 100000 x 100000 pixels, with no pixel data behind it.
  FIBITMAP* b = MakePicture(24);
  auto png = Encode(b, FIF_PNG);
  FreeImage_Unload(b);
  const uint8_t huge[4] = {0x00, 0x01, 0x86, 0xA0};
  std::copy(huge, huge + 4, png.begin() + 16);
  std::copy(huge, huge + 4, png.begin() + 20);
  TZRNMemoryStream stream(png);
  TZRNTextureData data;
  EXPECT_THROW(Compressor("FreeImage.PNG")->Decompress(stream, data), EZRNError);
  EXPECT_EQ(data.Data, nullptr);
}

TEST(FreeImageImport, FormatsWhoseReadersSeekDecodeThroughTheBridge) {
  // The JPEG 2000 readers check the seek result; TIFF seeks about as well. (FreeImage's PSD
  // writer leaks, so PSD, whose reader checks too, cannot make its own test picture here.)
  for (auto [fif, name] : {std::pair{FIF_J2K, "a.j2k"}, {FIF_JP2, "a.jp2"}, {FIF_TIFF, "a.tif"}}) {
    SCOPED_TRACE(name);
    // Big enough for the JPEG 2000 encoder's default resolution levels; top half red.
    FIBITMAP* b = FreeImage_Allocate(64, 48, 24);
    for (unsigned y = 24; y < 48; ++y) {
      BYTE* line = FreeImage_GetScanLine(b, y);
      for (unsigned x = 0; x < 64; ++x) line[x * 3 + FI_RGBA_RED] = 255;
    }
    TDataHolder d{Import(Encode(b, fif), name)};
    FreeImage_Unload(b);
    ASSERT_EQ(d.Data.Format, pfRGB);
    EXPECT_EQ(d.Data.Width, 64);
    EXPECT_NEAR(d.Data.Data[0], 255, 8) << "top-left pixel red";
    EXPECT_NEAR(d.Data.Data[d.Data.Size - 3], 0, 8) << "bottom-right pixel black";
  }
}

TEST(FreeImageCompressors, TruncatedPictureWhoseHeaderPointsPastTheEndFailsCleanly) {
  // An RLE TGA header whose image-ID field (160 bytes) runs past the end of the stream: the seek
  // over it must fail instead of leaving the stream beyond its end.
  const std::vector<uint8_t> tga = {0xA0, 0, 0x0A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x8A, 0, 0x65, 0, 0x18, 0,
                                    0x5B, 0x3E, 0x21, 0xB2, 0};
  TZRNMemoryStream stream(tga);
  TZRNTextureData data;
  try {
    Compressor("FreeImage.TGA")->Decompress(stream, data);
  } catch (const EZRNError&) {
  }
  std::free(data.Data);
  EXPECT_LE(stream.Position(), stream.Size());
}
