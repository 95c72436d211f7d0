#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/FrameRing.h"

TEST(FrameRing, WrapsAroundKeepingOrderAndBound) {
  TFrameRing ring(5, 2);
  std::vector<float> in;
  for (int i = 0; i < 20; ++i) in.push_back(static_cast<float>(i));
  EXPECT_EQ(ring.Write(in.data(), 3), 3);
  std::vector<float> out(10, 0.0f);
  EXPECT_EQ(ring.ReadAdd(out.data(), 2, 1.0f), 2);
  EXPECT_EQ(out[3], 3.0f);
  // 1 frame left, 4 free: a write of 6 frames takes only 4 and wraps past the end.
  EXPECT_EQ(ring.Write(in.data() + 6, 6), 4);
  EXPECT_EQ(ring.Free(), 0);
  std::fill(out.begin(), out.end(), 1.0f);
  EXPECT_EQ(ring.ReadAdd(out.data(), 9, 0.5f), 5);
  const float expected[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], 1.0f + expected[i] * 0.5f) << i;
  EXPECT_EQ(ring.ReadPos(), 7);
  EXPECT_EQ(ring.ReadAdd(out.data(), 1, 1.0f), 0) << "empty";
  ring.Reset();
  EXPECT_EQ(ring.ReadPos(), 0);
  EXPECT_EQ(ring.Free(), 5);
}
