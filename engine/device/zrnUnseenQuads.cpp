#include "engine/device/zrnUnseenQuads.h"

void ZRNKeepSeenQuads(const TVertex* vertices, int32_t count, std::vector<TVertex>& kept) {
  kept.clear();
  for (int32_t q = 0; q + 4 <= count; q += 4) {
    const TVertex* v = vertices + q;
    bool opaque = false, coloured = false;
    for (int k = 0; k < 4; ++k) {
      const TColor4f& c = v[k].Color;
      opaque = opaque || c.Alpha > 0;
      coloured = coloured || c.Red > 0 || c.Green > 0 || c.Blue > 0;
    }
    // Interpolation between vertices that are all zero in a channel stays zero.
    if (opaque && coloured) kept.insert(kept.end(), v, v + 4);
  }
  kept.insert(kept.end(), vertices + (count / 4) * 4, vertices + count);
}
