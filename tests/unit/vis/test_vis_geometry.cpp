#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "player/VisGeometry.h"

TEST(VisGeometry, SpiralPointStartsAtTheCentreAndTurnsWithRadiusPlusAngle) {
  const TVector2f c = SpiralPoint(0, 5, 9, 400, 300);
  EXPECT_EQ(c.X, 400.0f);
  EXPECT_EQ(c.Y, 300.0f);
  // Radius 2 and offset pi/2 - 2: straight down from the centre, 2 x amplitude 10 = 20 pixels.
  const TVector2f d = SpiralPoint(2, static_cast<float>(M_PI / 2 - 2), 10, 400, 300);
  EXPECT_NEAR(d.X, 400.0f, 1e-4);
  EXPECT_NEAR(d.Y, 320.0f, 1e-4);
}

TEST(VisGeometry, OffscreenCountNeedsBothAxesToLeaveTheScreen) {
  EXPECT_EQ(OffscreenCount(0, 0, 800, 600), 0);  // the edges themselves are on screen
  EXPECT_EQ(OffscreenCount(800, 600, 800, 600), 0);
  EXPECT_EQ(OffscreenCount(800.5f, 300, 800, 600), 1);
  EXPECT_EQ(OffscreenCount(400, -0.5f, 800, 600), 1);
  EXPECT_EQ(OffscreenCount(-1, 601, 800, 600), 2);
  EXPECT_FALSE(LeftScreen({900, 300}, 800, 600));
  EXPECT_TRUE(LeftScreen({900, 700}, 800, 600));
}

TEST(VisGeometry, TrackColorWheelRunsGreenBlueRedGreen) {
  auto rgb = [](int16_t phase) {
    const TColor4f c = TrackColor(phase);
    return std::vector<float>{c.Red, c.Green, c.Blue};
  };
  EXPECT_EQ(rgb(0), (std::vector<float>{0, 1, 0}));
  EXPECT_EQ(rgb(60), (std::vector<float>{0, 0.5f, 0.5f}));
  EXPECT_EQ(rgb(120), (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(rgb(180), (std::vector<float>{0.5f, 0, 0.5f}));
  EXPECT_EQ(rgb(240), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(rgb(300), (std::vector<float>{0.5f, 0.5f, 0}));
  EXPECT_EQ(rgb(360), (std::vector<float>{0, 1, 0}));
}

TEST(VisGeometry, QuadrantsAreNumberedClockwiseFromTopLeftAndCentreLinesHaveNone) {
  EXPECT_EQ(SpiralQuadrant(10, 10, 400, 300), 1);
  EXPECT_EQ(SpiralQuadrant(500, 10, 400, 300), 2);
  EXPECT_EQ(SpiralQuadrant(500, 400, 400, 300), 3);
  EXPECT_EQ(SpiralQuadrant(10, 400, 400, 300), 4);
  EXPECT_EQ(SpiralQuadrant(400, 10, 400, 300), 0);
  EXPECT_EQ(SpiralQuadrant(10, 300, 400, 300), 0);
}
