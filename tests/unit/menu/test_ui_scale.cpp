#include <gtest/gtest.h>

#include "player/UiScale.h"

TEST(UiScale, SourcesInOrderOfPrecedenceAndTheMenuAlwaysFits) {
  struct Case {
    const char* Ours;
    const char* Gdk;
    float Content;
    int32_t Width, Height;
    int32_t Expected;
  } cases[] = {
      {nullptr, nullptr, 1.0f, 1920, 1080, 1},   // ordinary screen
      {nullptr, nullptr, 2.0f, 3840, 2160, 2},   // Xft.dpi 192
      {nullptr, nullptr, 1.6f, 3840, 2160, 2},   // content scale rounds
      {nullptr, nullptr, 1.4f, 3840, 2160, 1},
      {nullptr, "2", 1.0f, 3840, 2160, 2},       // GDK_SCALE before the monitor
      {nullptr, "1", 2.0f, 3840, 2160, 1},
      {"3", "2", 2.0f, 3840, 2160, 3},           // our variable before both
      {"1", "2", 2.0f, 3840, 2160, 1},
      {"", "2", 1.0f, 3840, 2160, 2},            // empty or junk values are skipped
      {"big", "x2", 2.0f, 3840, 2160, 2},
      {"-2", "0", 1.0f, 3840, 2160, 1},
      {"nan", nullptr, 1.0f, 3840, 2160, 1},
      {"2", nullptr, 1.0f, 1920, 1080, 1},       // 2 x 800 x 600 does not fit 1080p
      {"9", nullptr, 1.0f, 3840, 2160, 3},       // capped at what fits
      {"2", nullptr, 1.0f, 1600, 1200, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseUiScaleFactor(c.Ours, c.Gdk, c.Content, c.Width, c.Height), c.Expected)
        << (c.Ours ? c.Ours : "-") << " " << (c.Gdk ? c.Gdk : "-") << " " << c.Content << " " << c.Width;
  }
}

TEST(UiScale, TwoUsesTheDoubleResolutionSetOthersMagnifyTheOrdinaryOne) {
  EXPECT_EQ(MakeUiScale(1).AssetFile("pi"), "pi.dat");
  EXPECT_EQ(MakeUiScale(2).AssetFile("ff"), "ff@2x.dat");
  EXPECT_EQ(MakeUiScale(2).DrawScale(), 1.0f);
  EXPECT_EQ(MakeUiScale(3).AssetFile("pi"), "pi.dat");
  EXPECT_EQ(MakeUiScale(3).DrawScale(), 3.0f);
}
