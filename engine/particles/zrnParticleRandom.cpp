#include <chrono>
#include <random>

#include "engine/particles/zrnParticles.h"

TZRNParticleRandom::TZRNParticleRandom() : RandomTable(RandomTableSize) {
  SeedRandomTable(static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

void TZRNParticleRandom::SeedRandomTable(uint32_t seed) {
  std::mt19937 generator(seed);
  // 24 random bits scaled by 2^-24: uniform in [0, 1), never 1 after rounding.
  for (float& value : RandomTable) value = static_cast<float>(generator() >> 8) * (1.0f / 16777216.0f);
  RandomIndex = 0;
}

TColor4f TZRNParticleRandom::RandomColor(const TZRNColorRange& r) {
  TColor4f c;
  c.Red = RandomRange(r.Min.Red, r.Max.Red);
  c.Green = RandomRange(r.Min.Green, r.Max.Green);
  c.Blue = RandomRange(r.Min.Blue, r.Max.Blue);
  c.Alpha = RandomRange(r.Min.Alpha, r.Max.Alpha);
  return c;
}
