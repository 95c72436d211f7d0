// The spiral visualizations on an 800 x 600 screen.
#include <cmath>
#include <map>

#include "tests/unit/vis/VisFixture.h"

namespace {

std::map<int32_t, int> CountByEffect(const std::vector<TSpawned>& spawns) {
  std::map<int32_t, int> n;
  for (const TSpawned& s : spawns) ++n[s.Effect];
  return n;
}

float Distance(float x, float y) { return std::hypot(x - 400.0f, y - 300.0f); }

}  // namespace

TEST_F(VisTest, ModesCaptureAtTheirCadenceAndSize) {
  struct TCase {
    uint8_t Mode;
    size_t Captures;
    uint32_t Bytes;
  };
  // 48 frames with a playing file.
  const TCase cases[] = {{0, 6, 2048}, {1, 12, 2048}, {2, 48, 48}, {3, 48, 48},
                         {4, 12, 2048}, {5, 24, 2048}, {6, 2, 2048}, {7, 48, 2048}};
  Playing = HasFile = true;
  for (const TCase& c : cases) {
    Vis->Visualization = c.Mode;
    Vis->Reset();
    Vis->VisFrame = 0;
    CaptureSizes.clear();
    for (int f = 0; f < 48; ++f) Vis->Step();
    EXPECT_EQ(CaptureSizes.size(), c.Captures) << "mode " << int(c.Mode);
    EXPECT_EQ(std::count(CaptureSizes.begin(), CaptureSizes.end(), c.Bytes), static_cast<long>(c.Captures))
        << "mode " << int(c.Mode);
  }
  // Without a file or while paused only some modes capture.
  Playing = HasFile = false;
  const TCase idle[] = {{0, 0, 2048}, {1, 0, 2048}, {2, 48, 48}, {3, 0, 48}, {4, 12, 2048}};
  for (const TCase& c : idle) {
    Vis->Visualization = c.Mode;
    Vis->VisFrame = 0;
    CaptureSizes.clear();
    for (int f = 0; f < 48; ++f) Vis->Step();
    EXPECT_EQ(CaptureSizes.size(), c.Captures) << "idle mode " << int(c.Mode);
  }
}

TEST_F(VisTest, SpiroSpectrWithoutFileDrawsOnePlainRedSpiralUntilItLeavesTheScreen) {
  Vis->Visualization = 0;
  for (int f = 0; f < 7; ++f) Vis->Step();
  EXPECT_TRUE(Lines().empty());
  Vis->Step();  // frame 8
  const std::vector<TDrawnLine> lines = Lines();
  ASSERT_GT(lines.size(), 100u);
  EXPECT_TRUE(Spawns().empty());
  EXPECT_TRUE(CaptureSizes.empty());
  EXPECT_EQ(Vis->ColorPhase, 1);
  EXPECT_EQ(lines[0].X1, 400.0f);
  EXPECT_EQ(lines[0].Y1, 300.0f);
  for (size_t k = 0; k < lines.size(); ++k) {
    EXPECT_EQ(lines[k].Color, Color4f(1, 0, 0, 1));
    if (k > 0) {
      EXPECT_TRUE(lines[k].X1 == lines[k - 1].X2 && lines[k].Y1 == lines[k - 1].Y2) << k;
    }
    // Amplitude 9: the k-th point lies 0.05 k x 9 pixels from the centre.
    EXPECT_NEAR(Distance(lines[k].X2, lines[k].Y2), 0.45 * k, 1e-3 * (k + 1)) << k;
    EXPECT_EQ(LeftScreen({lines[k].X2, lines[k].Y2}, 800, 600), k + 1 == lines.size()) << k;
  }
  EXPECT_EQ(Vis->Radius, 0.0f);
  EXPECT_EQ(Vis->Angle, 1.0f);
  // The spiral stays until the mode runs again.
  Vis->Step();
  EXPECT_EQ(Lines().size(), lines.size());
}

TEST_F(VisTest, SpiroSpectrSpawnsSparksOfItsColourSetInTheQuadrantOfLoudPoints) {
  Vis->Visualization = 0;
  HasFile = true;
  Stream.assign(512, Entry(20000, 20000));  // level 0.305
  Vis->ColorPhase = 1;
  Vis->VisFrame = 239;
  Vis->Step();  // frame 240 advances the phase: green, spark set 2
  EXPECT_EQ(Vis->ColorPhase, 2);
  EXPECT_EQ(Lines()[0].Color, Color4f(0, 1, 0, 1));
  const std::vector<TSpawned> spawns = Spawns();
  ASSERT_GT(spawns.size(), 50u);
  for (const TSpawned& s : spawns) {
    const int q = SpiralQuadrant(s.X, s.Y, 400, 300);
    ASSERT_GT(q, 0);
    EXPECT_EQ(s.Effect, q + 12) << s.X << "," << s.Y;
  }
  EXPECT_EQ(CountByEffect(spawns).size(), 4u);
}

TEST_F(VisTest, SpiroSpectrLevelOfExactlyThreeTenthsIsNotLoud) {
  Vis->Visualization = 0;
  HasFile = true;
  Stream.assign(512, Entry(19660, 19661));  // 39321 / 131070 = 0.3
  StepTo(8);
  EXPECT_TRUE(Spawns().empty());
  EXPECT_FALSE(Lines().empty());
  Stream.assign(512, Entry(19661, 19661));
  StepTo(8);
  EXPECT_FALSE(Spawns().empty());
}

TEST_F(VisTest, SpiroCrazyDrawsThreeTranslucentPassesEachStartingAtTheCentre) {
  Vis->Visualization = 1;
  StepTo(4);
  const std::vector<TDrawnLine> lines = Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(Spawns().empty());
  const float alphas[3] = {0.3f, 0.6f, 0.9f};
  size_t k = 0;
  for (int pass = 0; pass < 3; ++pass) {
    ASSERT_LT(k, lines.size());
    EXPECT_EQ(lines[k].X1, 400.0f);
    EXPECT_EQ(lines[k].Y1, 300.0f);
    size_t i = 0;
    for (; k < lines.size() && lines[k].Color.Alpha == alphas[pass]; ++k, ++i) {
      const TColor4f expected = Color4f(((i + 1) % 4) * 0.25f, ((i + 2) % 4) * 0.25f, ((i + 3) % 4) * 0.25f, alphas[pass]);
      EXPECT_EQ(lines[k].Color, expected) << pass << ":" << i;
    }
    // Amplitude 8 leaves the 800 x 600 screen well within one pass.
    EXPECT_TRUE(LeftScreen({lines[k - 1].X2, lines[k - 1].Y2}, 800, 600)) << pass;
  }
  EXPECT_EQ(k, lines.size());
  EXPECT_EQ(Vis->Radius, 0.0f);
  EXPECT_NEAR(Vis->Angle, 1.2f, 1e-6);
}

TEST_F(VisTest, SpiroCrazyKeepsGrowingTheSpiralWhenAPassStaysOnScreen) {
  Build(1024, 768);
  Vis->Visualization = 1;
  HasFile = true;
  // Amplitude 8 - 2 = 6, too small to leave in one pass; the entries past the 512 captured ones
  // hold the same from earlier captures.
  std::fill(std::begin(Vis->CaptureBuffer), std::end(Vis->CaptureBuffer), Entry(-32768, -32768));
  Stream.assign(512, Entry(-32768, -32768));
  StepTo(4);
  // Pass 1 runs all 2048 points on screen and pass 2 carries on from its radius.
  const std::vector<TDrawnLine> lines = Lines();
  ASSERT_GT(lines.size(), 2048u);
  // The previous point is reset between passes, so pass 2 starts with a dot where it resumes.
  EXPECT_EQ(lines[2048].X1, lines[2048].X2);
  EXPECT_EQ(lines[2048].Y1, lines[2048].Y2);
  EXPECT_NEAR(std::hypot(lines[2048].X2 - 512.0f, lines[2048].Y2 - 384.0f), 2048 * 0.05 * 6, 0.5);
  EXPECT_FLOAT_EQ(lines[2048].Color.Alpha, 0.6f);
}

TEST_F(VisTest, Spiral0metrSpawnsTenPlusTheLevelInPercentOnTheSpirEffects) {
  Vis->Visualization = 2;
  Stream.assign(512, Entry(32767, 32767));  // level 0.49999
  Vis->Step();
  const std::vector<TSpawned> spawns = Spawns();
  ASSERT_EQ(spawns.size(), 60u);
  EXPECT_EQ(CountByEffect(spawns), (std::map<int32_t, int>{{6, 20}, {7, 20}, {8, 20}}));
  EXPECT_EQ(CaptureSizes, std::vector<uint32_t>{48});
  // A 48-byte capture fills 12 entries; the other 36 summed still hold zero from the start.
  // Amplitude 50 + 12 x 0.49999; the last point sits at radius 59 x 0.05.
  float far = 0;
  for (const TSpawned& s : spawns) far = std::max(far, Distance(s.X, s.Y));
  EXPECT_NEAR(far, 2.95 * (50 + 12 * 65534.0 / 131070), 1e-2);
  EXPECT_NEAR(Vis->Radius, 3.0f, 1e-5);
}

TEST_F(VisTest, Spiral0metrKeepsDrawingFromTheOldBufferWithoutAStreamAndTurnsWhenItLeaves) {
  Vis->Visualization = 2;
  Vis->CaptureBuffer[0] = Entry(-1, -1);  // level 1 left from an earlier capture
  Vis->Radius = 100;                        // first point far outside
  Vis->Step();
  EXPECT_EQ(Spawns().size(), 110u);
  EXPECT_EQ(Vis->Angle, 6.5f);  // level x 6 + 0.5
  EXPECT_NEAR(Vis->Radius, 109 * 0.05f, 1e-4);
  Vis->Angle = 358;
  Vis->Radius = 100;
  Vis->Step();
  EXPECT_EQ(Vis->Angle, 358 + 6.5f - 359);
}

TEST_F(VisTest, ChaosPulseWhilePausedSpawns24OnAFixedSpiral) {
  Vis->Visualization = 3;
  Stream.assign(512, Entry(-1, -1));
  Vis->Step();
  const std::vector<TSpawned> spawns = Spawns();
  EXPECT_EQ(spawns.size(), 24u);
  EXPECT_EQ(CountByEffect(spawns), (std::map<int32_t, int>{{0, 8}, {1, 8}, {2, 8}}));
  EXPECT_TRUE(CaptureSizes.empty());
  float far = 0;
  for (const TSpawned& s : spawns) far = std::max(far, Distance(s.X, s.Y));
  EXPECT_NEAR(far, 23 * 0.05 * 8, 1e-3);
  EXPECT_NEAR(Vis->Radius, 1.2f, 1e-5);
}

TEST_F(VisTest, ChaosPulseCountAndShrinkFollowTheLevels) {
  Vis->Visualization = 3;
  Playing = true;
  Stream.assign(512, Entry(-32768, 32767));  // level exactly 0.5: nothing changes
  Vis->Step();
  EXPECT_EQ(Spawns().size(), 24u);
  EXPECT_NEAR(Vis->Radius, 1.2f, 1e-5);

  Vis->Reset();
  Stream.assign(512, Entry(58982, 58982));  // 0.9: 64 points
  Vis->Step();
  EXPECT_EQ(Spawns().size(), 64u);
  // Only the 12 captured entries are loud (each shrinks by 0.04); entry 12 still holds silence,
  // which ends the reading for the rest of the frame.
  EXPECT_NEAR(Vis->Radius, 12 * 0.01f + 52 * 0.05f, 1e-4);

  Vis->Reset();
  Stream.assign(512, 0);
  Stream[0] = Entry(36000, 36000);  // 0.549: 36 points; entry 1 is silent, so only one shrink
  Vis->Step();
  EXPECT_EQ(Spawns().size(), 36u);
  EXPECT_NEAR(Vis->Radius, 36 * 0.05f - 0.02f, 1e-4);

  Vis->Reset();
  Stream[0] = Entry(45000, 45000);  // 0.687: 48 points
  Vis->Step();
  EXPECT_EQ(Spawns().size(), 48u);
  EXPECT_NEAR(Vis->Radius, 48 * 0.05f - 0.02f, 1e-4);
}

TEST_F(VisTest, ChaosPulseTurnsByOneDegreeStepWhenThePointLeavesAndWrapsAt359) {
  Vis->Visualization = 3;
  Vis->Radius = 200;
  Vis->Step();
  EXPECT_EQ(Vis->Angle, 1.0f);
  EXPECT_NEAR(Vis->Radius, 23 * 0.05f, 1e-5);
  Vis->Angle = 359;
  Vis->Radius = 200;
  Vis->Step();
  EXPECT_EQ(Vis->Angle, 0.0f);
}
