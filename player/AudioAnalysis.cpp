#include "player/AudioAnalysis.h"

// Both compute in extended precision and round once, to single.

float SampleLevel(uint32_t entry) {
  long double low = static_cast<uint16_t>(entry & 0xFFFFu);
  long double high = static_cast<uint16_t>(entry >> 16);
  return static_cast<float>((low + high) / 131070.0L);
}

float SampleValue(uint32_t entry) {
  long double low = static_cast<int16_t>(entry & 0xFFFFu);
  long double high = static_cast<int16_t>(entry >> 16);
  return static_cast<float>((low + high) / 131070.0L);
}
