#include <gtest/gtest.h>

#include <memory>

#include "tests/unit/tools/AssetFiles.h"

// The double-resolution set must be a drop-in for the ordinary one at twice the size: the menu
// code looks patterns up by name and lays them out in design units times the scale.
TEST(HiDpiAssets, EveryGuiPatternAndGlyphIsTheOrdinaryOneAtTwiceTheSize) {
  const LoadedAssets ordinary;
  TZRNImage gui2(ordinary.Device.get());
  gui2.LoadFromFile(LoadedAssets::Path("pi@2x.dat"));
  ASSERT_EQ(gui2.Patterns.Count, ordinary.Gui->Patterns.Count);
  for (int32_t i = 0; i < ordinary.Gui->Patterns.Count; ++i) {
    const TZRNPattern& one = ordinary.Gui->Patterns[i];
    const TZRNPattern& two = gui2.Patterns[i];
    SCOPED_TRACE(one.GetName());
    EXPECT_EQ(two.GetName(), one.GetName());
    EXPECT_EQ(two.Width, 2 * one.Width);
    EXPECT_EQ(two.Height, 2 * one.Height);
    EXPECT_EQ(two.PivotX, 2 * one.PivotX);
    EXPECT_EQ(two.PivotY, 2 * one.PivotY);
  }

  TZRNFont font2(ordinary.Device.get());
  font2.LoadFromFile(LoadedAssets::Path("ff@2x.dat"));
  EXPECT_NEAR(font2.Height, 2 * ordinary.Font->Height, 2);
  const std::string sample = "Randomize Playlist \xcf\xeb\xe5\xe9\xeb\xe8\xf1\xf2";  // and "Плейлист"
  const int32_t width1 = ordinary.Font->TextWidth(sample), width2 = font2.TextWidth(sample);
  EXPECT_NEAR(width2, 2 * width1, width1 / 20);
}
