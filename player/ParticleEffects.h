#pragma once
// The 21 particle effects the visualizations spawn, addressed by their index in the effect list.
#include <cstdint>

class TZRNParticleManager;

// Where each group starts in the effect list. The groups of three run red, green, blue.
inline constexpr int32_t KaosEffects = 0;    // Chaos Pulse
inline constexpr int32_t OscEffects = 3;     // Osc-builder and Osc-runner
inline constexpr int32_t SpiralEffects = 6;  // Spiral0metr
// Spiro-Spectr's sparks: three colour sets of four, one per quarter of the circle.
inline constexpr int32_t SparkEffects = 9;
inline constexpr int32_t SparksPerSet = 4;
inline constexpr int32_t ParticleEffectCount = SparkEffects + 3 * SparksPerSet;

// The spark of colour set `set` (0..2) for quadrant `quadrant` (1..4).
constexpr int32_t SparkEffect(int32_t set, int32_t quadrant) {
  return SparkEffects + SparksPerSet * set + quadrant - 1;
}

// Appends the effects, in index order, to the manager's effect list (sizes scaled by scaleX),
// then samples every curve through the manager's Prepare.
void CreateParticleEffects(TZRNParticleManager& manager, float scaleX);
