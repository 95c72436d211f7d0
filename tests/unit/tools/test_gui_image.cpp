#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "tests/unit/tools/AssetFiles.h"

namespace {

const LoadedAssets& Assets() {
  static const LoadedAssets assets;
  return assets;
}

const TZRNPattern& PatternNamed(const std::string& name) {
  const TZRNImage& gui = *Assets().Gui;
  int32_t i = gui.Patterns.IndexOf(name);
  if (i < 0) throw std::runtime_error("missing pattern " + name);
  return gui.Patterns[i];
}

// Bounding box of the clearly opaque texels of a pattern, relative to the pattern.
struct Box {
  int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;
};
Box OpaqueBox(const TZRNPattern& p, int threshold) {
  Box b;
  for (int y = 0; y < p.Height; ++y) {
    for (int x = 0; x < p.Width; ++x) {
      if (LoadedAssets::Alpha(*Assets().Gui, p.X + x, p.Y + y) < threshold) continue;
      b.Left = std::min(b.Left, x);
      b.Top = std::min(b.Top, y);
      b.Right = std::max(b.Right, x);
      b.Bottom = std::max(b.Bottom, y);
    }
  }
  return b;
}

double ColumnDifference(const TZRNPattern& a, int ax, const TZRNPattern& b, int bx) {
  double worst = 0.0;
  for (int y = 0; y < a.Height; ++y) {
    const uint8_t* p = LoadedAssets::Texel(*Assets().Gui, a.X + ax, a.Y + y);
    const uint8_t* q = LoadedAssets::Texel(*Assets().Gui, b.X + bx, b.Y + y);
    for (int c = 0; c < 4; ++c) {
      // Colour matters only where something is visible.
      double weight = c == 3 ? 1.0 : std::max(p[3], q[3]) / 255.0;
      worst = std::max(worst, std::abs(p[c] - q[c]) * weight);
    }
  }
  return worst;
}

// Mean premultiplied colour of a pattern: what the eye sees of it.
double MeanBrightness(const TZRNPattern& p) {
  double sum = 0.0;
  for (int y = 0; y < p.Height; ++y) {
    for (int x = 0; x < p.Width; ++x) {
      const uint8_t* t = LoadedAssets::Texel(*Assets().Gui, p.X + x, p.Y + y);
      sum += (t[0] + t[1] + t[2]) / 3.0 * t[3] / 255.0;
    }
  }
  return sum / (p.Width * p.Height);
}

}  // namespace

TEST(GuiImage, IsNamedGuiAndFiltersLinearlyWithoutMipmaps) {
  const TZRNImage& gui = *Assets().Gui;
  EXPECT_EQ(gui.Name, "GUI");
  EXPECT_EQ(gui.Texture->Format, pfRGBA);
  EXPECT_EQ(gui.Width, gui.Texture->Width);
  EXPECT_EQ(gui.Height, gui.Texture->Height);
  EXPECT_FALSE(gui.Texture->Settings->Mipmaps);
  EXPECT_EQ(gui.Texture->Settings->MinFilter, tfLinear);
  EXPECT_EQ(gui.Texture->Settings->MagFilter, tfLinear);
}

TEST(GuiImage, HoldsEveryPatternThePlayerLooksUpInsideThePictureWithoutOverlap) {
  const TZRNImage& gui = *Assets().Gui;
  std::vector<std::string> names = {"LOGO"};
  for (const char* base : {"Cursor", "Play"}) {
    for (int i = 1; i <= 4; ++i) names.push_back(base + std::to_string(i));
  }
  for (const char* base : {"BtnNormal", "BtnHover", "BtnDown"}) {
    for (int i = 1; i <= 3; ++i) names.push_back(base + std::to_string(i));
  }
  for (const std::string& name : names) EXPECT_GE(gui.Patterns.IndexOf(name), 0) << name;
  for (int32_t i = 0; i < gui.Patterns.Count; ++i) {
    const TZRNPattern& a = gui.Patterns[i];
    EXPECT_GE(a.X, 0);
    EXPECT_GE(a.Y, 0);
    EXPECT_LE(a.X + a.Width, gui.Width) << a.GetName();
    EXPECT_LE(a.Y + a.Height, gui.Height) << a.GetName();
    for (int32_t j = i + 1; j < gui.Patterns.Count; ++j) {
      const TZRNPattern& b = gui.Patterns[j];
      bool apart = a.X + a.Width <= b.X || b.X + b.Width <= a.X || a.Y + a.Height <= b.Y || b.Y + b.Height <= a.Y;
      EXPECT_TRUE(apart) << a.GetName() << " overlaps " << b.GetName();
    }
  }
}

TEST(GuiImage, ButtonPiecesHaveTheirWidthsHeightAndTopLeftPivot) {
  for (const char* base : {"BtnNormal", "BtnHover", "BtnDown"}) {
    const int widths[3] = {32, 64, 32};
    for (int i = 0; i < 3; ++i) {
      const TZRNPattern& p = PatternNamed(base + std::to_string(i + 1));
      EXPECT_EQ(p.Width, widths[i]) << p.GetName();
      EXPECT_EQ(p.Height, 44) << p.GetName();
      EXPECT_EQ(p.PivotX, 0) << p.GetName();
      EXPECT_EQ(p.PivotY, 0) << p.GetName();
      // A visible body, not an empty rectangle.
      Box b = OpaqueBox(p, 200);
      EXPECT_GE(b.Bottom - b.Top, 30) << p.GetName();
    }
  }
}

// Buttons are built from one left end, any number of middle pieces and one right end.
TEST(GuiImage, ButtonPiecesJoinAndTheMiddleTilesWithoutSeams) {
  for (const char* base : {"BtnNormal", "BtnHover", "BtnDown"}) {
    const TZRNPattern& left = PatternNamed(std::string(base) + "1");
    const TZRNPattern& middle = PatternNamed(std::string(base) + "2");
    const TZRNPattern& right = PatternNamed(std::string(base) + "3");
    EXPECT_LE(ColumnDifference(middle, 63, middle, 0), 6.0) << base << ": middle does not tile";
    EXPECT_LE(ColumnDifference(left, 31, middle, 0), 6.0) << base << ": left end does not meet the middle";
    EXPECT_LE(ColumnDifference(middle, 63, right, 0), 6.0) << base << ": middle does not meet the right end";
  }
}

TEST(GuiImage, HoverAndPressedLookClearlyDifferentFromNormal) {
  double normal = MeanBrightness(PatternNamed("BtnNormal2"));
  double hover = MeanBrightness(PatternNamed("BtnHover2"));
  double down = MeanBrightness(PatternNamed("BtnDown2"));
  EXPECT_GT(hover, normal * 1.4);
  EXPECT_GT(std::abs(down - normal), 8.0);
  EXPECT_GT(std::abs(hover - down), 8.0);
}

TEST(GuiImage, CursorFramesHaveTheirPivotAtTheArrowTipAndAnimate) {
  const TZRNPattern& first = PatternNamed("Cursor1");
  for (int i = 1; i <= 4; ++i) {
    const TZRNPattern& p = PatternNamed("Cursor" + std::to_string(i));
    EXPECT_EQ(p.Width, first.Width);
    EXPECT_EQ(p.Height, first.Height);
    EXPECT_LE(p.Width, 40);
    EXPECT_LE(p.Height, 40);
    Box arrow = OpaqueBox(p, 200);
    EXPECT_NEAR(arrow.Left, p.PivotX, 1) << p.GetName();
    EXPECT_NEAR(arrow.Top, p.PivotY, 1) << p.GetName();
    EXPECT_GE(arrow.Bottom - arrow.Top, 14) << "the arrow is too small to see";
  }
  EXPECT_NE(MeanBrightness(PatternNamed("Cursor1")), MeanBrightness(PatternNamed("Cursor3")));
}

TEST(GuiImage, PlayMarkFramesAreCentredAndAnimate) {
  for (int i = 1; i <= 4; ++i) {
    const TZRNPattern& p = PatternNamed("Play" + std::to_string(i));
    EXPECT_EQ(p.PivotX, p.Width / 2);
    EXPECT_EQ(p.PivotY, p.Height / 2);
    // The playlist row leaves 40 pixels for the mark and is one text line high.
    EXPECT_LE(p.Width, 40);
    EXPECT_LE(p.Height, 24);
    Box b = OpaqueBox(p, 128);
    EXPECT_GE(b.Right, b.Left) << "empty mark";
  }
  EXPECT_NE(MeanBrightness(PatternNamed("Play1")), MeanBrightness(PatternNamed("Play2")));
}

TEST(GuiImage, LogoIsAbout240By72WithItsPivotAtTheTopRight) {
  const TZRNPattern& logo = PatternNamed("LOGO");
  EXPECT_EQ(logo.Width, 240);
  EXPECT_EQ(logo.Height, 72);
  EXPECT_EQ(logo.PivotX, logo.Width);
  EXPECT_EQ(logo.PivotY, 0);
  Box b = OpaqueBox(logo, 200);
  EXPECT_GE(b.Right - b.Left, 180) << "the name should span most of the logo";
  EXPECT_GE(b.Bottom - b.Top, 30);
}
