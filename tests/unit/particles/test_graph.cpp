#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/assets/zrnGraph.h"

namespace {
std::vector<float> SampleOf(TZRNGraph& graph, std::initializer_list<std::pair<float, float>> keys, int32_t n) {
  for (const auto& [time, value] : keys) graph.Keys.Add(time, value);
  std::vector<float> out(static_cast<size_t>(n), -7.0f);
  graph.Sample(out.data(), n);
  return out;
}

void ExpectTable(const std::vector<float>& actual, std::initializer_list<float> expected) {
  ASSERT_EQ(actual.size(), expected.size());
  size_t i = 0;
  for (float e : expected) {
    EXPECT_FLOAT_EQ(actual[i], e) << "entry " << i;
    ++i;
  }
}
}  // namespace

TEST(GraphSample, LinearCurvesIncludingTheStrictKeyTest) {
  TZRNGraph ramp;
  ExpectTable(SampleOf(ramp, {{0, 0}, {1, 1}}, 4), {0, 0.25f, 0.5f, 0.75f});
  // At x = 0.5 the index has not moved yet: the test is strictly greater.
  TZRNGraph peak;
  ExpectTable(SampleOf(peak, {{0, 0}, {0.5f, 1}, {1, 0}}, 4), {0, 0.5f, 1, 0.5f});
}

TEST(GraphSample, IndexMovesOneKeyPerSampleAndExtrapolates) {
  TZRNGraph lagging;
  // At x = 0.25 the index reached key 1 only: t = 1.5 gives 0.25 where the curve is 0.5.
  ExpectTable(SampleOf(lagging, {{0, 0}, {0.1f, 1}, {0.2f, 0.5f}, {1, 0.5f}}, 4), {0, 0.25f, 0.5f, 0.5f});
  TZRNGraph clamped;
  // The same lag gives -0.5, which the clamp raises to Min.
  const auto table = SampleOf(clamped, {{0, 0}, {0.1f, 1}, {0.2f, 0}, {1, 0}}, 4);
  EXPECT_EQ(table[1], 0.0f);
}

TEST(GraphSample, StepLeadingValueAndEqualTimes) {
  TZRNGraph step;
  step.Interpolation = giStep;
  ExpectTable(SampleOf(step, {{0, 0.2f}, {0.5f, 0.8f}}, 4), {0.2f, 0.2f, 0.2f, 0.8f});

  for (TZRNGraphInterpolation mode : {giLinear, giCubic, giStep}) {
    TZRNGraph late;
    late.Interpolation = mode;
    const auto table = SampleOf(late, {{0.5f, 0.3f}, {1, 0.9f}}, 4);
    EXPECT_FLOAT_EQ(table[0], 0.3f) << "mode " << int(mode);
    EXPECT_FLOAT_EQ(table[1], 0.3f) << "mode " << int(mode);
  }

  TZRNGraph jump;  // zero-length span: t = 1, the later key's value
  const auto table = SampleOf(jump, {{0, 0.1f}, {0, 0.7f}, {1, 0.7f}}, 2);
  EXPECT_FLOAT_EQ(table[0], 0.7f);
}

TEST(GraphSample, CubicPassesThroughItsKeys) {
  TZRNGraph cubic;
  cubic.Interpolation = giCubic;
  const auto table = SampleOf(cubic, {{0, 0}, {0.25f, 0.5f}, {0.5f, 0.25f}, {0.75f, 1}, {1, 0}}, 8);
  EXPECT_FLOAT_EQ(table[0], 0.0f);
  EXPECT_FLOAT_EQ(table[2], 0.5f);  // x = 0.25 is not past key 1: t = 1 on span 0..1
  EXPECT_FLOAT_EQ(table[4], 0.25f);
  EXPECT_FLOAT_EQ(table[6], 1.0f);
  // Between keys 0 and 1 (y0 = y1 = 0, y2 = 0.5, y3 = 0.25) at t = 0.5.
  const float t = 0.5f, p = 0.25f - 0.5f - 0 + 0, q = 0 - 0 - p, r = 0.5f - 0;
  EXPECT_FLOAT_EQ(table[1], p * t * t * t + q * t * t + r * t);
}

TEST(GraphSample, ClampsAndDegenerateKeyCounts) {
  TZRNGraph high;
  EXPECT_EQ(SampleOf(high, {{0, 2}, {1, 2}}, 2), (std::vector<float>{1, 1}));
  TZRNGraph raised;
  raised.SetMax(3);
  EXPECT_EQ(SampleOf(raised, {{0, 2}, {1, 2}}, 2), (std::vector<float>{2, 2}));

  TZRNGraph none;  // no keys: 1.0 whatever the limits
  none.SetMax(0.5f);
  EXPECT_EQ(SampleOf(none, {}, 3), (std::vector<float>{1, 1, 1}));
  TZRNGraph single;  // one key: its value, unclamped
  EXPECT_EQ(SampleOf(single, {{0.3f, 5}}, 2), (std::vector<float>{5, 5}));

  TZRNGraph nan;  // a NaN value is not >= Min and becomes Min
  nan.SetMin(0.25f);
  const auto table = SampleOf(nan, {{0, std::nanf("")}, {1, std::nanf("")}}, 2);
  EXPECT_EQ(table, (std::vector<float>{0.25f, 0.25f}));

  TZRNGraph unknown;  // an unknown mode leaves the entries alone
  unknown.Interpolation = static_cast<TZRNGraphInterpolation>(7);
  EXPECT_EQ(SampleOf(unknown, {{0, 0}, {1, 1}}, 2), (std::vector<float>{-7, -7}));

  TZRNGraph empty;
  std::vector<float> untouched{3};
  empty.Sample(untouched.data(), 0);
  EXPECT_EQ(untouched[0], 3.0f);
}

TEST(GraphSample, RepeatedSingleAdditionDecidesTheKeyIndex) {
  // 1/20 added ten times in single precision is 0.50000006, just past a key at 0.5, so the
  // index moves on; evenly computed times (exactly 0.5) would keep it and give 0.
  TZRNGraph graph;
  const auto table = SampleOf(graph, {{0, 0}, {0.5f, 0}, {1, 1}}, 20);
  float x = 0;
  for (int i = 0; i < 10; ++i) x += 1.0f / 20.0f;
  ASSERT_GT(x, 0.5f);
  const float t = (x - 0.5f) / 0.5f;
  EXPECT_GT(table[10], 0.0f);
  EXPECT_EQ(table[10], (1.0f - t) * 0.0f + t * 1.0f);
}
