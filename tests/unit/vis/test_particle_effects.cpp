// The 21 effects of the visualizations, on a 1024 x 768 screen (ScaleX 1.28).
#include "tests/unit/vis/VisFixture.h"

namespace {

struct TExpected {
  const char* Name;
  int32_t Quota;
  uint16_t Cell;
  float LifeMin, LifeMax, SizeMin, SizeMax, SpeedMin, SpeedMax, DirectionMin, DirectionMax, SpinMin, SpinMax;
  int Tint;  // 0 red, 1 green, 2 blue
};

// Sizes at ScaleX 1.28: Round(30.72) = 31, Round(40.96) = 41, Round(10.24) = 10, Round(15.36) = 15,
// Round(20.48) = 20, Round(2.56) = 3, Round(5.12) = 5.
const TExpected Expected[21] = {
    {"kaos1", 16, 11, 1.6f, 2.2f, 31, 41, -8, 8, 0, 360, -150, 150, 0},
    {"kaos2", 16, 11, 1.6f, 2.2f, 31, 41, -8, 8, 0, 360, -150, 150, 1},
    {"kaos3", 16, 11, 1.6f, 2.2f, 31, 41, -8, 8, 0, 360, -150, 150, 2},
    {"osc1", 8, 6, 0.8f, 1.2f, 10, 15, -12, 12, 0, 360, -150, 150, 0},
    {"osc2", 8, 6, 0.8f, 1.2f, 10, 15, -12, 12, 0, 360, -150, 150, 1},
    {"osc3", 8, 6, 0.8f, 1.2f, 10, 15, -12, 12, 0, 360, -150, 150, 2},
    {"spir1", 16, 9, 1.6f, 2.2f, 15, 20, -8, 8, 0, 360, -150, 150, 0},
    {"spir2", 16, 9, 1.6f, 2.2f, 15, 20, -8, 8, 0, 360, -150, 150, 1},
    {"spir3", 16, 9, 1.6f, 2.2f, 15, 20, -8, 8, 0, 360, -150, 150, 2},
    {"strz1", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 0, 90, -45, 45, 0},
    {"strz2", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 90, 180, -45, 45, 0},
    {"strz3", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 180, 270, -45, 45, 0},
    {"strz4", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 270, 360, -45, 45, 0},
    {"strz1", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 0, 90, -45, 45, 1},
    {"strz2", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 90, 180, -45, 45, 1},
    {"strz3", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 180, 270, -45, 45, 1},
    {"strz4", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 270, 360, -45, 45, 1},
    {"strz1", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 0, 90, -45, 45, 2},
    {"strz2", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 90, 180, -45, 45, 2},
    {"strz3", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 180, 270, -45, 45, 2},
    {"strz4", 8, 6, 0.9f, 1.2f, 3, 5, -64, -72, 270, 360, -45, 45, 2},
};

}  // namespace

TEST_F(VisTest, TheTwentyOneEffectsHaveTheirRangesScaledSizesAndSharedSettings) {
  Build(1024, 768);
  ASSERT_EQ(Particles->Effects->Count(), 21);
  for (int32_t i = 0; i < 21; ++i) {
    const TZRNParticleEffect& e = *Particles->Effects->Items(i);
    const TExpected& x = Expected[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(e.Name, x.Name);
    EXPECT_EQ(e.Quota, x.Quota);
    EXPECT_EQ(e.TextureName, "Particles");
    EXPECT_EQ(e.CellLayout, 2);
    EXPECT_EQ(e.Cell, x.Cell);
    EXPECT_EQ(e.Blending, pbAdditive);
    EXPECT_EQ(e.Mode, pmPlaneXY);
    EXPECT_FALSE(e.LifeByDistance);
    EXPECT_FALSE(e.FollowSystem);
    EXPECT_EQ(e.EmitDelay, 0.0f);
    EXPECT_EQ(e.EmitInterval, 0.0f);
    EXPECT_EQ(e.EmitAmount, 1);
    EXPECT_EQ(e.EmitCount, 1);
    ASSERT_EQ(e.EmissionPoints->Count, 1);
    EXPECT_EQ((*e.EmissionPoints)[0], Vector3f(0, 0, 0));
    EXPECT_EQ(e.Life.Min, x.LifeMin);
    EXPECT_EQ(e.Life.Max, x.LifeMax);
    EXPECT_EQ(e.Size.Min, x.SizeMin);
    EXPECT_EQ(e.Size.Max, x.SizeMax);
    EXPECT_EQ(e.Speed.Min, x.SpeedMin);
    EXPECT_EQ(e.Speed.Max, x.SpeedMax);
    EXPECT_EQ(e.Direction.Min, x.DirectionMin);
    EXPECT_EQ(e.Direction.Max, x.DirectionMax);
    EXPECT_EQ(e.Spin.Min, x.SpinMin);
    EXPECT_EQ(e.Spin.Max, x.SpinMax);
    EXPECT_EQ(e.Colors.Min, Color4f(0, 0, 0, 0));
    EXPECT_EQ(e.Colors.Max, Color4f(0, 0, 0, 0));
  }
}

TEST_F(VisTest, EffectCurvesTintOneChannelFadeInAndOutAndGrowToFullSize) {
  Build(1024, 768);
  for (int32_t i = 0; i < 21; ++i) {
    const TZRNParticleGraphs& g = *Particles->Effects->Items(i)->Graphs;
    SCOPED_TRACE(i);
    const std::vector<float>* channels[3] = {&g.RedTable, &g.GreenTable, &g.BlueTable};
    const bool spark = i >= 9;
    for (int c = 0; c < 3; ++c) {
      const std::vector<float>& t = *channels[c];
      ASSERT_EQ(t.size(), 32u);
      EXPECT_EQ(t[0], 0.0f);
      if (c != Expected[i].Tint) {
        EXPECT_EQ(t[31], 0.0f);
      } else if (!spark) {
        // (0, 0) to (0.1, 1): 0.3125 at 1/32, then held at 1 once past the key.
        EXPECT_FLOAT_EQ(t[1], 0.3125f);
        EXPECT_EQ(t[4], 1.0f);
        EXPECT_EQ(t[31], 1.0f);
      } else {
        // (0, 0) to (0.4, 0.9): 0.9 from the key on.
        EXPECT_FLOAT_EQ(t[8], 0.5625f);
        EXPECT_FLOAT_EQ(t[31], 0.9f);
      }
    }
    EXPECT_FLOAT_EQ(g.AlphaTable[0], 0.3f);
    EXPECT_FLOAT_EQ(g.AlphaTable[16], 0.9f);
    EXPECT_FLOAT_EQ(g.AlphaTable[24], 0.45f);
    EXPECT_FLOAT_EQ(g.SizeTable[0], 0.1f);
    EXPECT_EQ(g.SizeTable[31], 1.0f);  // 3.2 is held to the curve's maximum of 1
    EXPECT_LT(g.SizeTable[8], 1.0f);
    EXPECT_EQ(g.SizeTable[9], 1.0f);
  }
}
