#pragma once
// Quads whose texture is magnified everywhere never read a smaller mipmap level: OpenGL samples
// them with the magnification filter whatever the minification filter says. A software rasterizer
// still pays for choosing a level at every pixel when the minification filter uses mipmaps, so
// drawing such quads with a plain minification filter gives the same pixels for less work.
#include <cstdint>
#include <vector>

#include "engine/core/zrnTypes.h"

// How many texels the texture moves per pixel step in x and in y over the triangle a, b, c
// (positions in pixels, texture texWidth x texHeight): the scale OpenGL derives the level of detail
// from. False when the triangle has no area.
struct TZRNTexelSteps {
  float DuDx, DuDy, DvDx, DvDy;
};
bool ZRNTexelSteps(const TVertex& a, const TVertex& b, const TVertex& c, float texWidth, float texHeight, TZRNTexelSteps& steps);

// Whether all four vertices of a quad have the same colour, opacity included.
bool ZRNOneColour(const TVertex* quad);

// Splits quads (four vertices each; positions in pixels) into those whose texture (texWidth x
// texHeight texels) is magnified along both edges, and the rest, each in their original order.
// A texelsPerPixel limit above 1 lets quads through that are minified up to that factor.
void ZRNSplitMagnifiedQuads(const TVertex* vertices, int32_t count, int32_t texWidth, int32_t texHeight,
                            std::vector<TVertex>& magnified, std::vector<TVertex>& rest, float texelsPerPixel = 1.0f);
