#include <gtest/gtest.h>

#include "engine/device/zrnMipmaps.h"

TEST(Mipmaps, ChainRunsDownToOnePixelAndAveragesBoxes) {
  // 4 x 2 luminance: left half 0/40, right half 200/240.
  const uint8_t pixels[] = {0, 40, 200, 240, 40, 0, 240, 200};
  const auto levels = BuildMipmapChain(pixels, 4, 2, 1);
  ASSERT_EQ(levels.size(), 2u);
  EXPECT_EQ(levels[0].Width, 2);
  EXPECT_EQ(levels[0].Height, 1);
  EXPECT_EQ(levels[0].Pixels, (std::vector<uint8_t>{20, 220}));
  EXPECT_EQ(levels[1].Width, 1);
  EXPECT_EQ(levels[1].Pixels, (std::vector<uint8_t>{120}));
}

TEST(Mipmaps, ChannelsStaySeparateAndOddSizesReuseTheirEdge) {
  // 3 x 1 RGBA: the third column is averaged with itself.
  const uint8_t pixels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 0};
  const auto levels = BuildMipmapChain(pixels, 3, 1, 4);
  ASSERT_EQ(levels.size(), 1u);
  EXPECT_EQ(levels[0].Width, 1);
  EXPECT_EQ(levels[0].Pixels, (std::vector<uint8_t>{128, 128, 0, 255}));
  EXPECT_TRUE(BuildMipmapChain(pixels, 1, 1, 4).empty());
  EXPECT_TRUE(BuildMipmapChain(nullptr, 4, 4, 4).empty());
}

TEST(Mipmaps, A512SquareHasNineLevels) {
  std::vector<uint8_t> pixels(512 * 512 * 4, 100);
  const auto levels = BuildMipmapChain(pixels.data(), 512, 512, 4);
  ASSERT_EQ(levels.size(), 9u);
  EXPECT_EQ(levels.back().Width, 1);
  EXPECT_EQ(levels.back().Pixels[3], 100);
}
