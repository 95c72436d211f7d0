#include <gtest/gtest.h>

#include <algorithm>

#include "tests/unit/tools/AssetFiles.h"

namespace {

LoadedAssets& Assets() {
  static LoadedAssets assets;
  return assets;
}

struct CellStats {
  int MaxAlpha = 0;
  int CentreAlpha = 0;
  int EdgeAlpha = 0;     // largest alpha on the cell's outermost ring of texels
  int Visible = 0;       // texels with alpha above 32
  int DarkVisible = 0;   // visible texels whose colour is not near white
};

CellStats Measure(int cell) {
  const TZRNImage& image = *Assets().Particles;
  int x0 = (cell % 4) * 128, y0 = (cell / 4) * 128;
  CellStats s;
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      const uint8_t* t = LoadedAssets::Texel(image, x0 + x, y0 + y);
      s.MaxAlpha = std::max<int>(s.MaxAlpha, t[3]);
      if (x == 0 || y == 0 || x == 127 || y == 127) s.EdgeAlpha = std::max<int>(s.EdgeAlpha, t[3]);
      if (t[3] > 32) {
        ++s.Visible;
        if (std::min({t[0], t[1], t[2]}) < 160) ++s.DarkVisible;
      }
    }
  }
  s.CentreAlpha = LoadedAssets::Texel(image, x0 + 64, y0 + 64)[3];
  return s;
}

}  // namespace

TEST(ParticleImage, IsA512SquareRgbaPictureCutIntoSixteenCells) {
  TZRNImage& image = *Assets().Particles;
  EXPECT_EQ(image.Name, "Particles");
  EXPECT_EQ(image.Width, 512);
  EXPECT_EQ(image.Height, 512);
  EXPECT_EQ(image.Texture->Width, 512);
  EXPECT_EQ(image.Texture->Height, 512);
  EXPECT_EQ(image.Texture->Format, pfRGBA);
  image.CreatePatterns(128, 128, true);
  EXPECT_EQ(image.Patterns.Count, 16);
  EXPECT_EQ(image.Patterns[6].X, 256);
  EXPECT_EQ(image.Patterns[6].Y, 128);
}

// The effects use cells 6, 9 and 11, drawn additively and tinted: glowing white shapes whose
// strength lives in the alpha channel, bright in the middle and gone at the cell's edge.
TEST(ParticleImage, EffectCellsAreSoftWhiteGlowsThatFadeBeforeTheEdge) {
  for (int cell : {6, 9, 11}) {
    CellStats s = Measure(cell);
    EXPECT_GE(s.CentreAlpha, 220) << "cell " << cell;
    EXPECT_EQ(s.EdgeAlpha, 0) << "cell " << cell << " would bleed into its neighbours";
    EXPECT_EQ(s.DarkVisible, 0) << "cell " << cell << " should be white";
    EXPECT_GT(s.Visible, 150) << "cell " << cell;
  }
  // A small glow, and a larger orb.
  EXPECT_GT(Measure(11).Visible, 2 * Measure(6).Visible);
}

TEST(ParticleImage, EveryOtherCellHoldsASpriteToo) {
  for (int cell = 0; cell < 16; ++cell) {
    CellStats s = Measure(cell);
    EXPECT_GE(s.MaxAlpha, 120) << "cell " << cell;
    EXPECT_EQ(s.EdgeAlpha, 0) << "cell " << cell;
  }
}
