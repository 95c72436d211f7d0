#include "engine/core/zrnMath.h"

namespace {
constexpr long double kDegToRad = 3.14159265358979323846264338327950288L / 180.0L;

TMatrix4f Zero() {
  TMatrix4f m{};
  return m;
}
}  // namespace

TVector3f VectorAdd(const TVector3f& a, const TVector3f& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
TVector3f VectorSub(const TVector3f& a, const TVector3f& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }
TVector3f VectorScale(const TVector3f& v, float s) { return {v.X * s, v.Y * s, v.Z * s}; }

TVector3f VectorCross(const TVector3f& a, const TVector3f& b) {
  return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

TVector3f VectorNormalize(const TVector3f& v) {
  const long double x = v.X, y = v.Y, z = v.Z;
  const float len = static_cast<float>(std::sqrt(x * x + y * y + z * z));
  if (len == 0.0f) return v;
  const float inv = 1.0f / len;
  return {v.X * inv, v.Y * inv, v.Z * inv};
}

TMatrix4f MatrixOrtho(float left, float right, float bottom, float top, float nearZ, float farZ) {
  TMatrix4f m = IdentityMatrix;
  m[0] = 2.0f / (right - left);
  m[5] = 2.0f / (top - bottom);
  m[10] = 2.0f / (farZ - nearZ);
  m[12] = -(right + left) / (right - left);
  m[13] = -(top + bottom) / (top - bottom);
  m[14] = -(farZ + nearZ) / (farZ - nearZ);
  return m;
}

TMatrix4f MatrixTranslate(float x, float y, float z) {
  TMatrix4f m = IdentityMatrix;
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

TMatrix4f MatrixTranslateScale(float x, float y, float scaleX, float scaleY, float z) {
  TMatrix4f m = IdentityMatrix;
  m[0] = scaleX;
  m[5] = scaleY;
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

TMatrix4f MatrixRotateX(float angle) {
  const long double r = angle * kDegToRad;
  const float c = static_cast<float>(std::cos(r)), s = static_cast<float>(std::sin(r));
  TMatrix4f m = Zero();
  m[15] = 1;
  m[0] = 1;
  m[5] = c;
  m[6] = s;
  m[9] = -s;
  m[10] = c;
  return m;
}

TMatrix4f MatrixRotateY(float angle) {
  const long double r = angle * kDegToRad;
  const float c = static_cast<float>(std::cos(r)), s = static_cast<float>(std::sin(r));
  TMatrix4f m = Zero();
  m[15] = 1;
  m[0] = c;
  m[2] = -s;
  m[5] = 1;
  m[8] = s;
  m[10] = c;
  return m;
}

TMatrix4f MatrixRotateZ(float angle) {
  const long double r = angle * kDegToRad;
  const float c = static_cast<float>(std::cos(r)), s = static_cast<float>(std::sin(r));
  TMatrix4f m = Zero();
  m[15] = 1;
  m[0] = c;
  m[1] = s;
  m[4] = -s;
  m[5] = c;
  m[10] = 1;
  return m;
}

TMatrix4f MatrixMultiply(const TMatrix4f& a, const TMatrix4f& b) {
  TMatrix4f r = Zero();
  for (int col = 0; col < 3; ++col) {
    for (int row = 0; row < 3; ++row) {
      r[col * 4 + row] = a[row] * b[col * 4] + a[4 + row] * b[col * 4 + 1] + a[8 + row] * b[col * 4 + 2];
    }
  }
  for (int row = 0; row < 3; ++row) {
    r[12 + row] = a[row] * b[12] + a[4 + row] * b[13] + a[8 + row] * b[14] + a[12 + row];
  }
  r[15] = 1;
  return r;
}

TVector3f MatrixTransform(const TMatrix4f& m, const TVector3f& v) {
  return {v.X * m[0] + v.Y * m[4] + v.Z * m[8] + m[12], v.X * m[1] + v.Y * m[5] + v.Z * m[9] + m[13],
          v.X * m[2] + v.Y * m[6] + v.Z * m[10] + m[14]};
}

TVector3f MatrixRotate(const TMatrix4f& m, const TVector3f& v) {
  return {v.X * m[0] + v.Y * m[4] + v.Z * m[8], v.X * m[1] + v.Y * m[5] + v.Z * m[9],
          v.X * m[2] + v.Y * m[6] + v.Z * m[10]};
}

bool PointInRect(const TRectf& rect, float x, float y) {
  return rect.Left <= x && x <= rect.Right && rect.Top <= y && y <= rect.Bottom;
}
