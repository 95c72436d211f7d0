// Draws the three menu pages through the OpenGL renderer with the generated image and font and
// saves them as PNG in SNV_PREVIEW_DIR, or in screenshots/ in the build. Without a display the test
// program runs itself again under Xvfb.
#include <epoxy/gl.h>

#include <FreeImage.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "tests/unit/XvfbRerun.h"
#include "tests/unit/menu/MenuFixture.h"

namespace {

constexpr int32_t Width = 1024, Height = 768;

class MenuPreview : public MenuFixture {
 protected:
  void SetUp() override {}

  std::vector<uint8_t> Grab() {
    glFinish();
    std::vector<uint8_t> pixels(static_cast<size_t>(Width * Height * 4));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  static void Save(std::vector<uint8_t>& pixels, const std::filesystem::path& file) {
    FIBITMAP* bgra = FreeImage_ConvertFromRawBits(pixels.data(), Width, Height, Width * 4, 32, FI_RGBA_RED_MASK,
                                                  FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);
    ASSERT_NE(bgra, nullptr);
    FIBITMAP* rgb = FreeImage_ConvertTo24Bits(bgra);
    EXPECT_TRUE(FreeImage_Save(FIF_PNG, rgb, file.c_str(), 0));
    FreeImage_Unload(rgb);
    FreeImage_Unload(bgra);
  }

  // Brightest channel value in a rectangle given top-down.
  static int Brightest(const std::vector<uint8_t>& pixels, int left, int top, int right, int bottom) {
    int best = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        for (int c = 0; c < 3; ++c)
          best = std::max<int>(best, pixels[static_cast<size_t>(((Height - 1 - y) * Width + x) * 4 + c)]);
    return best;
  }
};

}  // namespace

TEST(MenuPreviewRun, PassesUnderXvfb) { EXPECT_DISPLAY_TESTS_PASS("MenuPreview.*"); }

TEST_F(MenuPreview, PagesInBothLanguages) {
  if (!DisplayAvailable()) GTEST_SKIP() << "run by MenuPreviewRun.PassesUnderXvfb";
  const char* setDir = std::getenv("SNV_PREVIEW_DIR");
  const std::string dir = setDir ? setDir : std::string(SNV_BINARY_DIR) + "/screenshots";
  Build(Width, Height, true);
  if (!UseShippedAssets()) GTEST_SKIP() << "pi.dat and ff.dat not generated in " << SNV_BINARY_DIR;
  std::filesystem::create_directories(dir);
  for (int i = 0; i < 40; ++i)
    app->Playlist->AddTrack("/home/user/Music/Artist " + std::to_string(i) + " - Song title " + std::to_string(i) + ".mp3", "");
  app->Playlist->CurrentIndex = 1;
  app->Playlist->SelectedIndex = 3;
  app->CurrentFile = app->Playlist->TrackPaths[1];
  app->Volume = 7;
  MoveMouse(500, 400);

  const char* languages[2] = {"en", "ru"};
  const char* pages[4] = {"", "main", "help", "playlist"};
  for (uint8_t language : {0, 1}) {
    app->Language = language;
    for (uint8_t page : {1, 2, 3}) {
      app->MenuPage = page;
      app->Device->Clear();
      app->Device->SetViewMatrix(IdentityMatrix);
      app->DrawMenu();
      std::vector<uint8_t> pixels = Grab();
      app->Device->Flip();
      Save(pixels, std::filesystem::path(dir) / (std::string("menu_") + pages[page] + "_" + languages[language] + ".png"));
      EXPECT_GT(Brightest(pixels, 34, 26, 98, 70), 60) << "the Exit button shows";
      EXPECT_GT(Brightest(pixels, Width - 240, 0, Width, 72), 60) << "the logo shows";
      EXPECT_EQ(Brightest(pixels, 700, 700, 1000, 760), 0) << "nothing drawn in the free corner";
    }
  }
}
