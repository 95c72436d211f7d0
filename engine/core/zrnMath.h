#pragma once
#include <cmath>
#include <cstdint>

#include "engine/core/zrnTypes.h"

TVector3f VectorAdd(const TVector3f& a, const TVector3f& b);
TVector3f VectorSub(const TVector3f& a, const TVector3f& b);
TVector3f VectorScale(const TVector3f& v, float s);
TVector3f VectorCross(const TVector3f& a, const TVector3f& b);
// A zero vector comes back unchanged instead of dividing by zero.
TVector3f VectorNormalize(const TVector3f& v);

// Note: element 10 is +2/(Far-Near), not the classic negative form.
TMatrix4f MatrixOrtho(float left, float right, float bottom, float top, float nearZ, float farZ);
TMatrix4f MatrixTranslate(float x, float y, float z);
TMatrix4f MatrixTranslateScale(float x, float y, float scaleX, float scaleY, float z);
TMatrix4f MatrixRotateX(float angleDegrees);
TMatrix4f MatrixRotateY(float angleDegrees);
TMatrix4f MatrixRotateZ(float angleDegrees);
// Affine product A x B: B is applied first. Fourth rows are ignored.
TMatrix4f MatrixMultiply(const TMatrix4f& a, const TMatrix4f& b);
TVector3f MatrixTransform(const TMatrix4f& m, const TVector3f& v);
TVector3f MatrixRotate(const TMatrix4f& m, const TVector3f& v);

inline int32_t Max(int32_t a, int32_t b) { return b < a ? a : b; }
inline int32_t Min(int32_t a, int32_t b) { return b >= a ? a : b; }
inline float Min(float a, float b) { return a <= b ? a : b; }

bool PointInRect(const TRectf& rect, float x, float y);

// Nearest integer, exact halves to the even neighbour (the default FPU rounding mode).
inline int64_t Round(double v) { return static_cast<int64_t>(std::nearbyint(v)); }
inline int64_t Round(long double v) { return static_cast<int64_t>(std::nearbyintl(v)); }
inline int64_t Round(float v) { return static_cast<int64_t>(std::nearbyint(static_cast<double>(v))); }
