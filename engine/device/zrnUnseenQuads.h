#pragma once
// In additive blending a quad whose vertices all have no colour, or all no opacity, adds exactly
// nothing to the picture, yet a software rasterizer still sets up and fills it.
#include <cstdint>
#include <vector>

#include "engine/core/zrnTypes.h"

// Copies the quads (four vertices each) that can add something to kept, in order.
void ZRNKeepSeenQuads(const TVertex* vertices, int32_t count, std::vector<TVertex>& kept);
