// Images: patterns and their coordinates, the "ZRNIMG" file, image lists and drawing.
#include <gtest/gtest.h>

#include <cstring>

#include "AssetTestHelpers.h"
#include "engine/assets/zrnImage.h"
#include "engine/core/zrnMath.h"

namespace {

struct TImageFixture : ::testing::Test {
  TRecordingDevice Dev;
  TZRNRecordingRenderer& Rec() { return *Dev.Recorder; }

  std::unique_ptr<TZRNImage> SizedImage(int32_t w, int32_t h) {
    auto image = std::make_unique<TZRNImage>(Dev.Device.get());
    image->Width = w;
    image->Height = h;
    image->UpdateCoordinates();
    return image;
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

}  // namespace

TEST(Patterns, NamesAreCutAndLookedUpWithoutRegardToCase) {
  TZRNPatternList list;
  list.Add(MakePattern(std::string(200, 'x'), 0, 0, 1, 1, 0, 0));
  list.Add(MakePattern("BtnHover1", 0, 0, 1, 1, 0, 0));
  EXPECT_EQ(list[0].NameLength, 128);
  EXPECT_EQ(list[0].GetName(), std::string(128, 'x'));
  EXPECT_EQ(list.IndexOf("btnhover1"), 1);
  EXPECT_EQ(list.IndexOf("BtnHover"), -1);

  // A damaged record claiming 255 characters reads only the 128 the record holds.
  TZRNPattern damaged = MakePattern("abc", 0, 0, 1, 1, 0, 0);
  damaged.NameLength = 255;
  EXPECT_EQ(damaged.GetName().size(), 128u);
}

TEST_F(TImageFixture, CreatingWithoutADeviceIsAnAssertion) {
  const std::string m = Message([] { TZRNImage image(nullptr); });
  EXPECT_EQ(m.rfind("Creating an image with a nil device (zrnImage, line ", 0), 0u) << m;
}

TEST_F(TImageFixture, CenteredGridOnASquarePicture) {
  auto image = SizedImage(256, 256);
  image->CreatePatterns(128, 128, true);
  ASSERT_EQ(image->Patterns.Count, 4);
  const int32_t xs[] = {0, 128, 0, 128}, ys[] = {0, 0, 128, 128};
  for (int i = 0; i < 4; ++i) {
    const TZRNPattern& p = image->Patterns[i];
    EXPECT_EQ(p.GetName(), "Pattern " + std::to_string(i));
    EXPECT_EQ(p.X, xs[i]);
    EXPECT_EQ(p.Y, ys[i]);
    EXPECT_EQ(p.PivotX, 64);
    EXPECT_EQ(p.PivotY, 64);
  }
  const TZRNQuadCoords& c = image->Coordinates[2];  // pattern 1
  EXPECT_FLOAT_EQ(c.U1, 0.5f);
  EXPECT_FLOAT_EQ(c.U2, 1.0f);
  EXPECT_FLOAT_EQ(c.V1, 0.0f);
  EXPECT_FLOAT_EQ(c.V2, 0.5f);
  EXPECT_FLOAT_EQ(c.X1, -64.0f);
  EXPECT_FLOAT_EQ(c.X2, 64.0f);
}

TEST_F(TImageFixture, GridCellsMayReachPastTheEdgeAndOddSizesTruncateThePivot) {
  auto image = SizedImage(250, 120);
  image->CreatePatterns(100, 100, true);
  ASSERT_EQ(image->Patterns.Count, 6);
  EXPECT_EQ(image->Patterns[2].X, 200);
  EXPECT_EQ(image->Patterns[5].Y, 100);
  EXPECT_FLOAT_EQ(image->Coordinates[3].U2, 300.0f / 250.0f);

  image->CreatePatterns(5, 120, true);
  EXPECT_EQ(image->Patterns[0].PivotX, 2);

  auto tiny = SizedImage(2, 2);
  tiny->CreatePatterns(0, 0, false);
  ASSERT_EQ(tiny->Patterns.Count, 4);
  EXPECT_EQ(tiny->Patterns[3].X, 1);
  EXPECT_EQ(tiny->Patterns[3].Width, 1);
  EXPECT_EQ(tiny->Patterns[3].PivotX, 0);

  auto empty = SizedImage(0, 10);
  empty->Patterns.Add(MakePattern("kept", 0, 0, 1, 1, 0, 0));
  empty->CreatePatterns(4, 4, false);
  EXPECT_EQ(empty->Patterns.Count, 1);
}

TEST_F(TImageFixture, FileRoundTripKeepsNamesSizesPatternsAndTexture) {
  for (TZRNGraphicCompressor* compressor : {static_cast<TZRNGraphicCompressor*>(nullptr), Compressor("FreeImage.PNG")}) {
    SCOPED_TRACE(compressor ? "png" : "raw");
    auto image = SizedImage(16, 8);
    image->Name = "GUI";
    FillTexture(*image->Texture, 16, 8, pfRGBA);
    image->Texture->Compressor = compressor;
    image->CreatePatterns(8, 8, false);
    image->Patterns.Add(MakePattern("LOGO", 3, 2, 5, 4, 5, 0));
    TZRNMemoryStream s;
    image->SaveToStream(s);
    if (!compressor) {
      // magic, version, name, size, count, 3 records, then the texture block.
      EXPECT_EQ(s.Size(), 6 + 4 + 5 + 8 + 4 + 3 * 156 + (6 + 4 + 2 + 4 + 4 + 1 + 4 + 5 + 2 + 512));
    }
    s.Seek(0, soBeginning);
    auto back = SizedImage(1, 1);
    back->LoadFromStream(s);
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_EQ(back->Name, "GUI");
    EXPECT_EQ(back->Width, 16);
    EXPECT_EQ(back->Height, 8);
    ASSERT_EQ(back->Patterns.Count, 3);
    EXPECT_EQ(0, std::memcmp(back->Patterns.List, image->Patterns.List, 3 * sizeof(TZRNPattern)));
    EXPECT_EQ(TexturePixels(*back->Texture), TexturePixels(*image->Texture));
    ASSERT_EQ(back->Coordinates.size(), 4u);
    EXPECT_FLOAT_EQ(back->Coordinates[3].X1, -5.0f);
  }
}

TEST_F(TImageFixture, DamagedFilesAreRefused) {
  auto image = SizedImage(16, 8);
  image->Name = "Good";
  FillTexture(*image->Texture, 16, 8, pfRGB);
  image->CreatePatterns(8, 8, false);
  TZRNMemoryStream good;
  image->SaveToStream(good);
  const size_t countAt = 6 + 4 + 2 + 4 + 4 + 4;

  auto patched = [&](size_t at, const void* bytes, size_t n) {
    std::vector<uint8_t> b = good.Bytes;
    std::memcpy(b.data() + at, bytes, n);
    return b;
  };
  const int32_t negative = -1, huge = 0x7FFFFFFF, beyond = 1000, version = 3;
  struct {
    std::vector<uint8_t> Bytes;
    std::string Expected;
  } cases[] = {
      {patched(0, "ZRNIMg", 6), "Not a valid Zarnith image."},
      {patched(6, &version, 4), "Image version missmatch [File: 3 Code: 4]."},
      {patched(countAt - 4, &negative, 4), ""},  // a negative height is harmless; loads
      {patched(countAt, &negative, 4), "Invalid pattern count -1."},
      {patched(countAt, &huge, 4), "Invalid pattern count 2147483647."},
      {patched(countAt, &beyond, 4), "Invalid pattern count 1000."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Expected);
    auto target = SizedImage(3, 3);
    TZRNMemoryStream s(c.Bytes);
    if (c.Expected.empty()) {
      EXPECT_NO_THROW(target->LoadFromStream(s));
      continue;
    }
    EXPECT_EQ(Message([&] { target->LoadFromStream(s); }), c.Expected);
    if (c.Expected.rfind("Invalid", 0) != 0) {
      EXPECT_EQ(target->Name, "Image") << "magic and version come first";
    }
  }
}

TEST_F(TImageFixture, ExtensionDecidesBetweenImageFileAndPictureExactly) {
  auto image = SizedImage(4, 4);
  image->Name = "FromFile";
  FillTexture(*image->Texture, 4, 4, pfRGB);
  const std::string dir = SNV_BINARY_DIR;
  {
    TZRNFileStream f(dir + "/image_test.dat", TZRNFileMode::Create);
    image->SaveToStream(f);
  }
  {
    TZRNFileStream f(dir + "/image_test.DAT", TZRNFileMode::Create);
    image->SaveToStream(f);
  }
  {
    TZRNFileStream f(dir + "/image_test.png", TZRNFileMode::Create);
    TZRNTextureData d{4, 4, pfRGB, image->Texture->Size, image->Texture->Data};
    Compressor("FreeImage.PNG")->Compress(f, d);
  }
  auto loaded = SizedImage(0, 0);
  loaded->LoadFromFile(dir + "/image_test.dat");
  EXPECT_EQ(loaded->Name, "FromFile");

  EXPECT_EQ(Message([&] { loaded->LoadFromFile(dir + "/image_test.DAT"); }),
            "Could not find a graphic importer for " + dir + "/image_test.DAT");

  loaded->Patterns.Add(MakePattern("kept", 2, 2, 2, 2, 1, 1));
  loaded->Texture->Settings->Mipmaps = true;
  loaded->LoadFromFile(dir + "/image_test.png");
  EXPECT_EQ(loaded->Name, "image_test.png");
  EXPECT_EQ(loaded->Width, 4);
  EXPECT_EQ(loaded->Patterns.Count, 1) << "a picture import keeps the patterns";
  EXPECT_FLOAT_EQ(loaded->Coordinates[1].U1, 0.5f);
  EXPECT_FALSE(loaded->Texture->Settings->Mipmaps);
  EXPECT_EQ(loaded->Texture->Settings->MinFilter, tfLinear);
  EXPECT_EQ(TexturePixels(*loaded->Texture), TexturePixels(*image->Texture));
  for (const char* f : {"/image_test.dat", "/image_test.DAT", "/image_test.png"}) std::remove((dir + f).c_str());
}

TEST_F(TImageFixture, DrawingSendsOneQuadPerCallThroughTheCachedStates) {
  auto image = SizedImage(64, 32);
  FillTexture(*image->Texture, 64, 32, pfRGBA);
  image->Patterns.Add(MakePattern("P", 16, 8, 10, 6, 5, 3));
  image->UpdateCoordinates();
  const TColor4f color = Color4f(1, 0.5f, 0.25f, 1);

  image->Draw(100, 50, -1, color);
  image->Draw(10, 20, 0, color);
  image->DrawAdd(0, 0, 0, color);
  image->DrawTransformed(MatrixTranslate(7, 9, 0), 0, color, false);

  auto blends = Rec().CallsOf(TZRNCallKind::SetBlendMode);
  ASSERT_EQ(blends.size(), 3u);  // alpha, additive, alpha again; repeats skipped by the cache
  EXPECT_EQ(blends[0]->B, rvBlendAlpha);
  EXPECT_EQ(blends[1]->B, rvBlendAdditive);
  EXPECT_EQ(blends[2]->B, rvBlendAlpha);
  auto depth = Rec().CallsOf(TZRNCallKind::SetDepthTest);
  ASSERT_EQ(depth.size(), 1u);
  EXPECT_EQ(depth[0]->B, rvDepthTestOff);
  auto textures = Rec().CallsOf(TZRNCallKind::SetTexture);
  ASSERT_EQ(textures.size(), 1u);
  EXPECT_EQ(textures[0]->Texture, image->Texture.get());

  auto draws = Rec().CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 4u);
  for (auto* d : draws) {
    EXPECT_EQ(d->Primitive, ptQuads);
    EXPECT_EQ(d->Count, 4);
  }
  // Whole picture: top-left corner at the position.
  const auto& whole = draws[0]->Vertices;
  EXPECT_EQ(whole[0].Position, Vector3f(100, 50, 0));
  EXPECT_EQ(whole[2].Position, Vector3f(164, 82, 0));
  EXPECT_EQ(whole[2].TexCoord.X, 1.0f);
  // Pattern: pivot on the position, corners clockwise from the top-left.
  const auto& p = draws[1]->Vertices;
  EXPECT_EQ(p[0].Position, Vector3f(5, 17, 0));
  EXPECT_EQ(p[1].Position, Vector3f(15, 17, 0));
  EXPECT_EQ(p[2].Position, Vector3f(15, 23, 0));
  EXPECT_EQ(p[3].Position, Vector3f(5, 23, 0));
  EXPECT_FLOAT_EQ(p[0].TexCoord.X, 0.25f);
  EXPECT_FLOAT_EQ(p[0].TexCoord.Y, 0.25f);
  EXPECT_FLOAT_EQ(p[2].TexCoord.X, 26.0f / 64.0f);
  EXPECT_FLOAT_EQ(p[2].TexCoord.Y, 14.0f / 32.0f);
  EXPECT_EQ(p[3].Color, color);
  // Transformed: the corner (-5, -3) moved by (7, 9).
  EXPECT_EQ(draws[3]->Vertices[0].Position, Vector3f(2, 6, 0));
  EXPECT_EQ(image->Vertices.Count, 0);
}

TEST_F(TImageFixture, BatchingCollectsQuadsUntilFlush) {
  auto image = SizedImage(8, 8);
  image->Batching = true;
  for (int i = 0; i < 10; ++i) image->Draw(static_cast<float>(i), 0, -1, clrWhite);
  EXPECT_TRUE(Rec().CallsOf(TZRNCallKind::DrawPrimitives).empty());
  image->Flush();
  auto draws = Rec().CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0]->Count, 40);
  EXPECT_EQ(draws[0]->Vertices[36].Position.X, 9.0f);
  EXPECT_EQ(image->Vertices.Count, 0);
  EXPECT_GE(image->Vertices.Capacity, 40) << "storage stays for the next frame";
}

TEST_F(TImageFixture, ListFindsByNameWithTheNilFallback) {
  TZRNImageList list(Dev.Device.get());
  list.Add()->Name = "GUI";
  list.Add()->Name = "Particles";
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.IndexOf("particles"), 1);
  EXPECT_EQ(list.Find("gui"), list.Items(0));
  EXPECT_EQ(list.Find("Missing"), nullptr);
  EXPECT_EQ(list.Find("NIL"), nullptr);
  TZRNImage* nil = list.Add();
  nil->Name = "nil";
  EXPECT_EQ(list.Find("Missing"), nil);
  EXPECT_EQ(list.Find("NIL"), nil);
  EXPECT_EQ(list.Find("Particles"), list.Items(1));
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(TImageFixture, ListWritesAndReadsImagesBackToBack) {
  TZRNImageList list(Dev.Device.get());
  for (const char* name : {"A", "B", "C"}) {
    TZRNImage* image = list.Add();
    image->Name = name;
    image->Width = image->Height = 4;
    FillTexture(*image->Texture, 4, 4, pfRGB);
    image->Texture->Compressor = Compressor(name[0] == 'B' ? "FreeImage.JPEG" : "FreeImage.TGA");
    image->CreatePatterns(2, 2, true);
  }
  TZRNMemoryStream s;
  list.SaveToStream(s, 3);
  s.Seek(0, soBeginning);
  TZRNImageList back(Dev.Device.get());
  back.Add()->Name = "old";
  back.LoadFromStream(s, 3);
  ASSERT_EQ(back.GetCount(), 3);
  EXPECT_EQ(back.Items(2)->Name, "C");
  EXPECT_EQ(back.Items(2)->Patterns.Count, 4);
  EXPECT_EQ(TexturePixels(*back.Items(2)->Texture), TexturePixels(*list.Items(2)->Texture));
  EXPECT_EQ(s.Position(), s.Size());
}
