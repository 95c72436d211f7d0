// Animations: frame timing, looping and stopping, and animation sets.
#include <gtest/gtest.h>

#include "AssetTestHelpers.h"
#include "engine/assets/zrnImage.h"

namespace {

struct TAnimationFixture : ::testing::Test {
  TRecordingDevice Dev;
  TZRNImage Image{Dev.Device.get()};

  TAnimationFixture() {
    Image.Name = "GUI";
    Image.Width = Image.Height = 64;
    for (int i = 1; i <= 4; ++i) Image.Patterns.Add(MakePattern("Cursor" + std::to_string(i), i * 8, 0, 8, 8, 4, 4));
    Image.UpdateCoordinates();
  }

  void AddFrames(TZRNAnimation& a, int n) {
    for (int i = 1; i <= n; ++i) a.Frames.AddFrame("cursor" + std::to_string(i), Image, 0.5f);
  }
};

}  // namespace

TEST_F(TAnimationFixture, AddFrameFindsPatternsInAnyCaseAndAssertsOnMissingOnes) {
  TZRNAnimation a("cursor");
  AddFrames(a, 2);
  EXPECT_EQ(a.Frames.GetFrame(1).Pattern, 1);
  EXPECT_FLOAT_EQ(a.Frames.GetFrame(1).Duration, 0.5f);
  try {
    a.Frames.AddFrame("Logo", &Image, 0.1f);
    FAIL();
  } catch (const EZRNError& e) {
    const std::string m = e.what();
    EXPECT_EQ(m.rfind("Pattern \"Logo\" not found in the image \"GUI\". (zrnImage, line ", 0), 0u) << m;
  }
  EXPECT_EQ(a.Frames.Count, 2);
}

TEST_F(TAnimationFixture, AtTenFpsTheFrameChangesOnEveryThirdTwentiethOfASecond) {
  TZRNAnimation a;
  a.Loop = true;
  AddFrames(a, 4);
  a.SetFrameRate(10);
  TZRNAnimationState s;
  a.Reset(s);
  std::vector<int32_t> frames;
  for (int i = 0; i < 12; ++i) {
    a.Update(s, 0.05f);
    frames.push_back(s.Frame);
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0}));
  EXPECT_TRUE(s.Active);
}

TEST_F(TAnimationFixture, ALongStepAdvancesOneFrameOnly) {
  TZRNAnimation a;
  AddFrames(a, 4);
  a.SetFrameRate(10);
  TZRNAnimationState s;
  a.Reset(s);
  a.Update(s, 1.0f);
  EXPECT_EQ(s.Frame, 1);
  EXPECT_EQ(s.Time, 0.0f);
}

TEST_F(TAnimationFixture, NonLoopingAnimationStopsOnItsLastFrameAndCanBeResumed) {
  TZRNAnimationSet set;
  TZRNAnimation* a = set.Add("once");
  AddFrames(*a, 3);
  EXPECT_EQ(set.Current, a);
  EXPECT_TRUE(set.State.Active);
  for (int i = 0; i < 3; ++i) set.Update(1.0f);
  EXPECT_EQ(set.State.Frame, 2);
  EXPECT_FALSE(set.State.Active);
  set.Update(1.0f);
  EXPECT_EQ(set.State.Frame, 2);

  set.SetAnimation(a);  // same animation: resumes without rewinding
  EXPECT_TRUE(set.State.Active);
  EXPECT_EQ(set.State.Frame, 2);
  set.Update(0.25f);
  EXPECT_TRUE(set.State.Active);
  set.Update(0.5f);
  EXPECT_FALSE(set.State.Active);
  EXPECT_EQ(set.State.Frame, 2);
}

TEST_F(TAnimationFixture, FrameRateZeroHoldsAndAppliesOnlyToExistingFrames) {
  TZRNAnimation a;
  AddFrames(a, 1);
  a.SetFrameRate(0);
  a.Frames.AddFrame("Cursor2", Image, 0.5f);
  EXPECT_FLOAT_EQ(a.Frames.GetFrame(0).Duration, 3.4e38f);
  EXPECT_FLOAT_EQ(a.Frames.GetFrame(1).Duration, 0.5f);
  TZRNAnimationState s;
  a.Reset(s);
  for (int i = 0; i < 100; ++i) a.Update(s, 1e30f);
  EXPECT_EQ(s.Frame, 0);
}

TEST_F(TAnimationFixture, SetSwitchesFindsAndDrawsTheCurrentFrame) {
  TZRNAnimationSet set;
  set.Draw(&Image, 0, 0, 1, 1, 1, 1, false);  // nothing current: nothing drawn
  set.Update(1.0f);
  EXPECT_TRUE(Dev.Recorder->CallsOf(TZRNCallKind::DrawPrimitives).empty());

  TZRNAnimation* idle = set.Add("Idle");
  AddFrames(*idle, 2);
  TZRNAnimation* spin = set.Add("Spin");
  AddFrames(*spin, 4);
  EXPECT_EQ(set.Current, idle);
  EXPECT_EQ(set.Find("SPIN"), spin);
  EXPECT_EQ(set.Find("none"), nullptr);

  set.Update(1.0f);
  EXPECT_EQ(set.State.Frame, 1);
  set.SetAnimation(spin);
  EXPECT_EQ(set.State.Frame, 0) << "a different animation starts from its first frame";
  set.Update(1.0f);
  set.Draw(&Image, 100, 40, 1, 0, 0, 1, true);
  set.DrawTransformed(&Image, IdentityMatrix, 1, 1, 1, 0.5f, false);

  auto draws = Dev.Recorder->CallsOf(TZRNCallKind::DrawPrimitives);
  ASSERT_EQ(draws.size(), 2u);
  // Frame 1 of Spin is Cursor2: pivot (4, 4) lands on (100, 40); u from 16/64.
  EXPECT_EQ(draws[0]->Vertices[0].Position, Vector3f(96, 36, 0));
  EXPECT_FLOAT_EQ(draws[0]->Vertices[0].TexCoord.X, 0.25f);
  EXPECT_EQ(draws[0]->Vertices[0].Color, Color4f(1, 0, 0, 1));
  EXPECT_EQ(draws[1]->Vertices[0].Position, Vector3f(-4, -4, 0));
  auto blends = Dev.Recorder->CallsOf(TZRNCallKind::SetBlendMode);
  ASSERT_EQ(blends.size(), 2u);
  EXPECT_EQ(blends[0]->B, rvBlendAdditive);
  EXPECT_EQ(blends[1]->B, rvBlendAlpha);
  EXPECT_EQ(set.State.Frame, 1) << "drawing does not advance";
}
