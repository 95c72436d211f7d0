#include <chrono>
#include <random>

#include "engine/particles/zrnParticles.h"

float RandomTable[RandomTableSize];
uint16_t RandomIndex = 0;

void SeedRandomTable(uint32_t seed) {
  std::mt19937 generator(seed);
  // 24 random bits scaled by 2^-24: uniform in [0, 1), never 1 after rounding.
  for (float& value : RandomTable) value = static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f);
  RandomIndex = 0;
}

TColor4f RandomColor(const TZRNColorRange& r) {
  TColor4f c;
  c.Red = RandomRange(r.Min.Red, r.Max.Red);
  c.Green = RandomRange(r.Min.Green, r.Max.Green);
  c.Blue = RandomRange(r.Min.Blue, r.Max.Blue);
  c.Alpha = RandomRange(r.Min.Alpha, r.Max.Alpha);
  return c;
}

namespace {
// The table is filled once when the program starts, seeded from the clock.
const bool RandomTableFilled = [] {
  SeedRandomTable(static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  return true;
}();
}  // namespace
