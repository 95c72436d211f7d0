#pragma once
// A half-size picture enlarged to twice its size, as OpenGL's linear filter with clamped edges
// draws it: each pixel takes 9/16, 3/16, 3/16 and 1/16 of the four half-size pixels nearest it.
#include <cstdint>

#include "engine/device/zrnSoftSplat.h"

// Adds row y of the enlargement of half, saturating, to row (width RGBA pixels). half must be
// ceil(width / 2) pixels wide.
void ZRNAddEnlargedRow(const TZRNSoftLayer& half, int32_t y, uint8_t* row, int32_t width, bool vectorized);
