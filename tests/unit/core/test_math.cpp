#include <gtest/gtest.h>

#include <cmath>

#include "engine/core/zrnMath.h"

namespace {
void ExpectNear(const TVector3f& v, float x, float y, float z) {
  EXPECT_NEAR(v.X, x, 1e-5f);
  EXPECT_NEAR(v.Y, y, 1e-5f);
  EXPECT_NEAR(v.Z, z, 1e-5f);
}
}  // namespace

TEST(Vectors, NormalizeKeepsZeroAndScalesOthersToUnitLength) {
  ExpectNear(VectorNormalize(ZeroVector), 0, 0, 0);
  ExpectNear(VectorNormalize(Vector3f(3, 0, 4)), 0.6f, 0, 0.8f);
  ExpectNear(VectorCross(UnitX, Vector3f(0, 1, 0)), 0, 0, 1);
}

TEST(Matrices, OrthoMapsPixelsToClipSpaceWithPositiveDepthScale) {
  const TMatrix4f m = MatrixOrtho(0, 800, 600, 0, -1000, 1000);
  ExpectNear(MatrixTransform(m, Vector3f(0, 0, 0)), -1, 1, 0);
  ExpectNear(MatrixTransform(m, Vector3f(800, 600, 0)), 1, -1, 0);
  EXPECT_FLOAT_EQ(m[10], 2.0f / 2000.0f);
}

TEST(Matrices, RotationTablesAndTranslateScaleArgumentOrder) {
  const TMatrix4f z = MatrixRotateZ(90);
  ExpectNear(MatrixTransform(z, Vector3f(1, 0, 0)), 0, 1, 0);
  ExpectNear(MatrixTransform(MatrixRotateX(90), Vector3f(0, 1, 0)), 0, 0, 1);
  ExpectNear(MatrixTransform(MatrixRotateY(90), Vector3f(0, 0, 1)), 1, 0, 0);
  const TMatrix4f ts = MatrixTranslateScale(10, 20, 2, 3, 5);
  ExpectNear(MatrixTransform(ts, Vector3f(1, 1, 0)), 12, 23, 5);
}

TEST(Matrices, MultiplyAppliesTheRightOperandFirst) {
  // Rotate about the origin first, then translate.
  const TMatrix4f m = MatrixMultiply(MatrixTranslate(-10, -20, 0), MatrixRotateZ(90));
  ExpectNear(MatrixTransform(m, Vector3f(1, 0, 0)), -10, -19, 0);
  ExpectNear(MatrixRotate(m, Vector3f(1, 0, 0)), 0, 1, 0);
  const TMatrix4f id = MatrixMultiply(IdentityMatrix, IdentityMatrix);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(id[i], IdentityMatrix[i]);
}

TEST(Scalars, MinMaxPointInRectAndRounding) {
  EXPECT_EQ(Max(3, 7), 7);
  EXPECT_EQ(Min(3, 7), 3);
  EXPECT_EQ(Min(2.5f, -1.0f), -1.0f);
  const TRectf r{10, 20, 30, 40};
  EXPECT_TRUE(PointInRect(r, 10, 30));
  EXPECT_TRUE(PointInRect(r, 20, 40));
  EXPECT_FALSE(PointInRect(r, 20.01f, 40));
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5f), -2);
  EXPECT_EQ(Round(1.4999), 1);
}
