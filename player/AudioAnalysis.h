#pragma once
// Conversions of one 32-bit capture entry (two 16-bit samples: bits 0-15, then bits 16-31) into
// the numbers the visualizations draw with.
#include <cstdint>

// (L + R) / 131070 with both halves read as unsigned: 0..1, so a small negative sample reads as
// a large level.
float SampleLevel(uint32_t entry);

// (L + R) / 131070 with both halves read as signed: -0.5000076..0.4999924.
float SampleValue(uint32_t entry);
