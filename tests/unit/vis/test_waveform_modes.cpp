// The waveform visualizations on an 800 x 600 screen.
#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

#include "tests/unit/vis/VisFixture.h"

namespace {

// Spawns sorted by position, so tests do not depend on the pool's order.
std::vector<std::tuple<float, float, int32_t>> ByPosition(const std::vector<TSpawned>& spawns) {
  std::vector<std::tuple<float, float, int32_t>> out;
  for (const TSpawned& s : spawns) out.emplace_back(s.X, s.Y, s.Effect);
  std::sort(out.begin(), out.end());
  return out;
}

size_t CountAt(const std::vector<TSpawned>& spawns, float x, float y) {
  return std::count_if(spawns.begin(), spawns.end(),
                       [&](const TSpawned& s) { return s.X == x && std::fabs(s.Y - y) < 1e-3f; });
}

}  // namespace

TEST_F(VisTest, OscilloscopeWithColorPhaseTwoDrawsSevenFadingTraces) {
  Vis->Visualization = 4;
  Vis->ColorPhase = 2;
  StepTo(4);
  const std::vector<TDrawnLine> lines = Lines();
  ASSERT_EQ(lines.size(), 7u * 400u);
  const float alphas[7] = {0.1f, 0.4f, 0.7f, 1.0f, 0.7f, 0.4f, 0.1f};
  for (int t = 0; t < 7; ++t) {
    const float y = (t - 3) * 4.0f + 300.0f;  // no file: straight lines 4 pixels apart
    const TDrawnLine& first = lines[t * 400];
    EXPECT_EQ(first.X1, 0.0f);  // each trace starts with a dot at its first point
    EXPECT_EQ(first.X2, 0.0f);
    for (int i = 0; i < 400; ++i) {
      const TDrawnLine& l = lines[t * 400 + i];
      ASSERT_EQ(l.Color, Color4f(0.75f, 0, 0.25f, alphas[t])) << t << ":" << i;
      ASSERT_EQ(l.X2, 2.0f * i);
      ASSERT_EQ(l.Y1, y);
      ASSERT_EQ(l.Y2, y);
    }
  }
  EXPECT_TRUE(Spawns().empty());
}

TEST_F(VisTest, OscilloscopeFollowsTheSamplesAndAdvancesItsPhaseEvery64Frames) {
  Vis->Visualization = 4;
  HasFile = true;
  Stream.resize(512);
  for (uint32_t k = 0; k < 512; ++k) Stream[k] = Entry(10 * k, 10 * k);
  Vis->VisFrame = 60;
  Vis->ColorPhase = 400;  // out of range: back to 0, three traces
  StepTo(4);              // frame 64
  EXPECT_EQ(Vis->ColorPhase, 1);
  const std::vector<TDrawnLine> lines = Lines();
  ASSERT_EQ(lines.size(), 3u * 400u);
  // The middle trace, point 25, reads entry Round(2048 / 800 x 0.5 x 25) = 32.
  const TDrawnLine& l = lines[400 + 25];
  EXPECT_EQ(l.X2, 50.0f);
  EXPECT_NEAR(l.Y2, 640.0 / 131070 * 600 + 300, 1e-4);
  EXPECT_EQ(l.Color, Color4f(0.25f, 0.5f, 0.75f, 1.0f));
  StepTo(4);
  EXPECT_EQ(Vis->ColorPhase, 1);
}

TEST_F(VisTest, OscillotrackAddsAThickStripAtTheRightEdgeAndMovesTheCamera) {
  Vis->Visualization = 5;
  Vis->Step();
  EXPECT_TRUE(Lines().empty());
  Vis->Step();
  EXPECT_EQ(Camera->X, 812.0f);  // Width, then moved by 12
  EXPECT_EQ(Camera->Y, 0.0f);
  const std::vector<TDrawnLine> lines = Lines();
  // Columns 800 down to 788, thickness Round(2) + 1 = 3: seven lines each.
  ASSERT_EQ(lines.size(), 13u * 7u);
  for (int c = 0; c < 13; ++c) {
    const TColor4f wheel = TrackColor(static_cast<int16_t>(c));
    for (int L = -3; L <= 3; ++L) {
      const TDrawnLine& l = lines[c * 7 + L + 3];
      EXPECT_EQ(l.X2, 812.0f + 800 - c);
      EXPECT_EQ(l.X1, c == 0 ? 1612.0f : 812.0f + 801 - c);
      EXPECT_EQ(l.Y1, 300.0f + L);
      EXPECT_EQ(l.Y2, 300.0f + L);
      EXPECT_EQ(l.Color, Color4f(wheel.Red, wheel.Green, wheel.Blue, TraceAlpha(L)));
    }
  }
  EXPECT_EQ(Vis->ColorPhase, 13);
  EXPECT_EQ(Vis->Radius, 300.0f);

  // The next run joins on from the last height, with the first sample as the new height.
  HasFile = true;
  Stream.assign(512, 0);
  Stream[0] = Entry(6554, 6553);  // 13107 / 131070 = 0.1: 60 pixels lower
  Vis->Step();
  Vis->Step();
  EXPECT_EQ(Camera->X, 824.0f);
  const std::vector<TDrawnLine> more = Lines();
  ASSERT_EQ(more.size(), 2u * 13u * 7u);
  const TDrawnLine& joint = more[13 * 7 + 3];
  EXPECT_EQ(joint.X1, 1624.0f);
  EXPECT_EQ(joint.Y1, 300.0f);
  EXPECT_FLOAT_EQ(joint.Y2, 360.0f);
  EXPECT_EQ(Vis->Radius, 300.0f);  // the last column read a silent entry
}

TEST_F(VisTest, OscillotrackDropsOnlyLinesThatScrolledOutAndStaysBounded) {
  Vis->Visualization = 5;
  int32_t most = 0, mostCapacity = 0;
  const int runs = 10000;
  for (int f = 0; f < 2 * runs; ++f) {
    Vis->Step();
    most = std::max(most, Canvas->Vertices->Count);
    mostCapacity = std::max(mostCapacity, Canvas->Vertices->Capacity);
  }
  const float left = Camera->X;
  EXPECT_EQ(left, 800.0f + 12 * runs);
  // Lines still able to show: those of runs whose strip reaches the camera. Run k (1-based) drew
  // from screen x 800 down to 788 with the camera at 800 + 12 k.
  int32_t expectedLive = 0;
  for (int k = 1; k <= runs; ++k) {
    const float cam = 800.0f + 12 * k;
    for (int u = 800; u >= 788; --u)
      if (cam + std::max(u == 800 ? 800 : u + 1, u) >= left) expectedLive += 7;
  }
  int32_t live = 0;
  for (const TDrawnLine& l : Lines())
    if (std::max(l.X1, l.X2) >= left) ++live;
  EXPECT_EQ(live, expectedLive);
  EXPECT_LE(most, 2 * 2 * expectedLive + 2 * 13 * 7 * 2);
  EXPECT_LE(mostCapacity, 4 * 2 * expectedLive);
}

TEST_F(VisTest, OscillotrackMovesCameraAndStripBackLongBeforeSinglePrecisionRunsOut) {
  Vis->Visualization = 5;
  for (int f = 0; f < 20; ++f) Vis->Step();
  // As if the mode had been running for hours: camera and strip far to the right.
  const float far = 1 << 20;
  Camera->X += far;
  TZRNVertexList& vertices = *Canvas->Vertices;
  for (int32_t i = 0; i < vertices.Count; ++i) vertices[i].Position.X += far;
  std::vector<float> relative;
  for (int32_t i = 0; i < vertices.Count; ++i) relative.push_back(vertices[i].Position.X - Camera->X);
  Vis->Step();
  Vis->Step();  // one run: the camera moves on by 12 pixels, then back to the start of the track
  EXPECT_EQ(Camera->X, 800.0f);
  ASSERT_GE(vertices.Count, static_cast<int32_t>(relative.size()));
  for (size_t i = 0; i < relative.size(); ++i)
    ASSERT_EQ(vertices[static_cast<int32_t>(i)].Position.X - Camera->X, relative[i] - 12) << "vertex " << i;
  // The newest strip still starts at the right edge of the screen.
  EXPECT_EQ(vertices[static_cast<int32_t>(relative.size())].Position.X, Camera->X + 800.0f);
}

TEST_F(VisTest, OscBuilderLaysADotEveryTwoPixelsOnTheCentreLineWithoutFile) {
  Vis->Visualization = 6;
  for (int f = 0; f < 23; ++f) Vis->Step();
  EXPECT_TRUE(Spawns().empty());
  Vis->Step();
  const auto spawns = ByPosition(Spawns());
  ASSERT_EQ(spawns.size(), 400u);
  for (int i = 0; i < 400; ++i) EXPECT_EQ(spawns[i], std::make_tuple(2.0f * i, 300.0f, i % 3 + 3));
  EXPECT_EQ(Vis->Radius, 300.0f);
}

TEST_F(VisTest, OscBuilderFillsJumpsOverEightPixelsInSteps) {
  Vis->Visualization = 6;
  HasFile = true;
  Stream.assign(512, 0);
  Stream[1] = Entry(1704, 1704);  // 3408 / 131070 x 600 = 15.6: points 2 and 3 sit 15.6 lower
  Stream[3] = Entry(4369, 4369);  // 40 pixels: points 6 and 7
  StepTo(24);
  const std::vector<TSpawned> spawns = Spawns();
  // 15.6 rounds to 16: two fillers at x - 2 and x - 1, both down and back up.
  const float y1 = static_cast<float>(3408.0L / 131070 * 600 + 300);
  EXPECT_EQ(CountAt(spawns, 2, 308), 1u);
  EXPECT_EQ(CountAt(spawns, 3, 316), 1u);
  EXPECT_EQ(CountAt(spawns, 4, y1), 1u);
  EXPECT_EQ(CountAt(spawns, 6, y1 - 8), 1u);
  EXPECT_EQ(CountAt(spawns, 7, y1 - 16), 1u);
  // 40 pixels: five fillers; from the third on they all sit at x.
  EXPECT_EQ(CountAt(spawns, 10, 308), 1u);
  EXPECT_EQ(CountAt(spawns, 11, 316), 1u);
  EXPECT_EQ(CountAt(spawns, 12, 324), 1u);
  EXPECT_EQ(CountAt(spawns, 12, 332), 1u);
  EXPECT_EQ(CountAt(spawns, 12, 340), 2u);  // the last filler and the point itself
  EXPECT_EQ(spawns.size(), 400u + 4u + 10u);
}

TEST_F(VisTest, OscRunnerStartsEachSegmentOnTheCentreLineAndFillsTheJumpThere) {
  Vis->Visualization = 7;
  struct TCase {
    float Radius;
    size_t Fillers;
  };
  for (const TCase c : {TCase{308, 0}, TCase{315.6f, 2}, TCase{332, 4}}) {
    Vis->Reset();
    Vis->Angle = 10;
    Vis->Radius = c.Radius;
    Vis->Step();
    const std::vector<TSpawned> spawns = Spawns();
    EXPECT_EQ(spawns.size(), 33u + c.Fillers) << c.Radius;
    EXPECT_EQ(Vis->Angle, 42.0f);
    EXPECT_EQ(Vis->Radius, 300.0f);
    for (int i = 10; i <= 42; ++i) EXPECT_GE(CountAt(spawns, 2.0f * i, 300), 1u) << i;
    if (c.Fillers == 4) {
      EXPECT_EQ(CountAt(spawns, 18, 324), 1u);
      EXPECT_EQ(CountAt(spawns, 19, 316), 1u);
      EXPECT_EQ(CountAt(spawns, 20, 308), 1u);
      EXPECT_EQ(CountAt(spawns, 20, 300), 2u);
    }
  }
}

TEST_F(VisTest, OscRunnerReadsSamplesAfterItsFirstPointAndWrapsPastHalfTheWidth) {
  Vis->Visualization = 7;
  HasFile = true;
  Stream.assign(512, Entry(6554, 6553));  // 0.1: 60 pixels below the centre
  Vis->Step();
  std::vector<TSpawned> spawns = Spawns();
  EXPECT_EQ(CountAt(spawns, 0, 300), 1u);  // i = 0 stays on the centre line
  EXPECT_EQ(CountAt(spawns, 2, 360), 1u);
  EXPECT_EQ(CountAt(spawns, 64, 360), 1u);
  EXPECT_EQ(spawns.size(), 33u + 7u);  // 60 pixels: seven fillers after the first point
  EXPECT_EQ(Vis->Angle, 32.0f);
  EXPECT_EQ(Vis->Radius, 360.0f);

  Vis->Angle = 368;  // 400 is not past half of 800
  Vis->Step();
  EXPECT_EQ(Vis->Angle, 400.0f);
  Vis->Step();
  EXPECT_EQ(Vis->Angle, 0.0f);
}

TEST_F(VisTest, SelectingAVisualizationWrapsAndResetsOnChange) {
  Vis->Visualization = 3;
  Vis->Select(255);  // "previous" on 0
  EXPECT_EQ(Vis->Visualization, 0);
  Vis->Select(8);  // "next" on 7
  EXPECT_EQ(Vis->Visualization, 0);

  Vis->Visualization = 5;
  for (int f = 0; f < 6; ++f) Vis->Step();
  Particles->SpawnAt(Particles->Effects->Items(0), Vector3f(1, 2, 0));
  Vis->Angle = 3;
  Vis->ColorPhase = 7;
  const uint32_t frames = Vis->VisFrame;
  ASSERT_NE(Camera->X, 0.0f);
  ASSERT_FALSE(Lines().empty());

  Vis->Select(5);  // the active one: nothing is reset
  EXPECT_NE(Camera->X, 0.0f);
  EXPECT_FALSE(Lines().empty());
  EXPECT_EQ(Vis->ColorPhase, 7);

  Vis->Select(6);
  EXPECT_EQ(Vis->Visualization, 6);
  EXPECT_EQ(Camera->X, 0.0f);
  EXPECT_EQ(Camera->Y, 0.0f);
  EXPECT_TRUE(Lines().empty());
  EXPECT_TRUE(Spawns().empty());
  EXPECT_EQ(Vis->Radius, 0.0f);
  EXPECT_EQ(Vis->Angle, 0.0f);
  EXPECT_EQ(Vis->ColorPhase, 0);
  EXPECT_EQ(Vis->VisFrame, frames);  // never reset
}
