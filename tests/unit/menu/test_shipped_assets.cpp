// The menu with the image and font the build generates: every pattern the menu needs exists and
// every page draws in both languages.
#include "tests/unit/menu/MenuFixture.h"

namespace {

using ShippedAssets = MenuFixture;

}  // namespace

TEST_F(ShippedAssets, EveryPageDrawsInBothLanguages) {
  if (!UseShippedAssets()) GTEST_SKIP() << "pi.dat and ff.dat not generated in " << SNV_BINARY_DIR;
  AddEntries(40);
  app->Playlist->CurrentIndex = 2;
  app->CurrentFile = "/music/t2.mp3";
  for (uint8_t language : {0, 1}) {
    app->Language = language;
    for (uint8_t page : {1, 2, 3}) {
      app->MenuPage = page;
      ResetRecording();
      ASSERT_NO_THROW(app->DrawMenu()) << int(page);
      // Every page has four buttons or more (two pieces at least), the logo and the cursor.
      EXPECT_GE(GuiQuads().size(), 2u * 4u + 2u) << int(page);
      EXPECT_FALSE(app->LayoutOverflow && page != 3);
    }
    // The shipped font's line height keeps a useful number of playlist rows on 800 x 600.
    EXPECT_GE(app->Playlist->VisibleRows, 5);
  }
}

TEST_F(ShippedAssets, CaptionsOfTheMainPageFitTheSmallestScreen) {
  if (!UseShippedAssets()) GTEST_SKIP() << "pi.dat and ff.dat not generated in " << SNV_BINARY_DIR;
  app->MenuPage = 1;
  for (uint8_t language : {0, 1}) {
    app->Language = language;
    ResetRecording();
    app->DrawMenu();
    for (const DrawnQuad& q : GuiQuads()) EXPECT_LE(q.Right, 800.0f + 1.0f);
  }
}
