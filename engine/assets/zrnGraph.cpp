#include "engine/assets/zrnGraph.h"

namespace {
inline int32_t ClampIndex(int32_t k, int32_t count) {
  if (k > count - 1) k = count - 1;
  return k < 0 ? 0 : k;
}

// Position of x between two key times; a zero-length span counts as its end.
inline float SpanFraction(float x, float t0, float t1) {
  const float d = t1 - t0;
  return d > 0.0f ? (x - t0) / d : 1.0f;
}
}  // namespace

void TZRNGraph::Sample(float* dest, int32_t n) const {
  if (n <= 0) return;
  const int32_t count = Keys.Count;
  if (count == 0) {
    for (int32_t i = 0; i < n; ++i) dest[i] = 1.0f;
    return;
  }
  if (count == 1) {
    for (int32_t i = 0; i < n; ++i) dest[i] = Keys[0].Value;
    return;
  }

  const float step = 1.0f / static_cast<float>(n);
  float x = 0.0f;
  int32_t j = 0;
  for (int32_t i = 0; i < n; ++i, x += step) {
    if (j < count - 1 && x > Keys[j + 1].Time) ++j;

    float v;
    if (x < Keys[0].Time) {
      v = Keys[0].Value;
    } else if (Interpolation == giLinear) {
      const TZRNGraphKey& a = Keys[ClampIndex(j, count)];
      const TZRNGraphKey& b = Keys[ClampIndex(j + 1, count)];
      const float t = SpanFraction(x, a.Time, b.Time);
      v = (1.0f - t) * a.Value + t * b.Value;
    } else if (Interpolation == giCubic) {
      const float y0 = Keys[ClampIndex(j - 1, count)].Value;
      const TZRNGraphKey& k1 = Keys[ClampIndex(j, count)];
      const TZRNGraphKey& k2 = Keys[ClampIndex(j + 1, count)];
      const float y3 = Keys[ClampIndex(j + 2, count)].Value;
      const float y1 = k1.Value, y2 = k2.Value;
      const float t = SpanFraction(x, k1.Time, k2.Time);
      const float t2 = t * t;
      const float p = y3 - y2 - y0 + y1;
      const float q = y0 - y1 - p;
      const float r = y2 - y0;
      v = p * t * t2 + q * t2 + r * t + y1;
    } else if (Interpolation == giStep) {
      v = Keys[j].Value;
    } else {
      continue;  // unknown mode: the entry keeps what it held
    }

    if (!(v >= Min)) v = Min;  // also catches NaN
    if (v > Max) v = Max;
    dest[i] = v;
  }
}
