#pragma once
// Quads whose texture is magnified everywhere never read a smaller mipmap level: OpenGL samples
// them with the magnification filter whatever the minification filter says. A software rasterizer
// still pays for choosing a level at every pixel when the minification filter uses mipmaps, so
// drawing such quads with a plain minification filter gives the same pixels for less work.
#include <cstdint>
#include <vector>

#include "engine/core/zrnTypes.h"

// Splits quads (four vertices each; positions in pixels) into those whose texture (texWidth x
// texHeight texels) is magnified along both edges, and the rest, each in their original order.
// A texelsPerPixel limit above 1 lets quads through that are minified up to that factor.
void ZRNSplitMagnifiedQuads(const TVertex* vertices, int32_t count, int32_t texWidth, int32_t texHeight,
                            std::vector<TVertex>& magnified, std::vector<TVertex>& rest, float texelsPerPixel = 1.0f);
