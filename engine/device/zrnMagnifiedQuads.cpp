#include "engine/device/zrnMagnifiedQuads.h"

#include <cmath>

namespace {
// At most this many texels per pixel: a margin below 1 keeps rounding in the rasterizer's level
// of detail on the magnification side.
constexpr float MaxTexelsPerPixel = 1.0f / 1.01f;

// Whether the triangle a, b, c maps less than one texel onto every pixel step in x and in y.
bool Magnified(const TVertex& a, const TVertex& b, const TVertex& c, float texWidth, float texHeight, float texelsPerPixel) {
  TZRNTexelSteps d{};
  if (!ZRNTexelSteps(a, b, c, texWidth, texHeight, d)) return false;
  const float limit = MaxTexelsPerPixel * MaxTexelsPerPixel * texelsPerPixel * texelsPerPixel;
  return d.DuDx * d.DuDx + d.DvDx * d.DvDx <= limit && d.DuDy * d.DuDy + d.DvDy * d.DvDy <= limit;
}
}  // namespace

bool ZRNTexelSteps(const TVertex& a, const TVertex& b, const TVertex& c, float texWidth, float texHeight, TZRNTexelSteps& steps) {
  const float x1 = b.Position.X - a.Position.X, y1 = b.Position.Y - a.Position.Y;
  const float x2 = c.Position.X - a.Position.X, y2 = c.Position.Y - a.Position.Y;
  const float det = x1 * y2 - x2 * y1;
  if (std::abs(det) < 1e-6f) return false;
  const float u1 = (b.TexCoord.X - a.TexCoord.X) * texWidth, v1 = (b.TexCoord.Y - a.TexCoord.Y) * texHeight;
  const float u2 = (c.TexCoord.X - a.TexCoord.X) * texWidth, v2 = (c.TexCoord.Y - a.TexCoord.Y) * texHeight;
  // [du/dx du/dy; dv/dx dv/dy] = [u1 u2; v1 v2] * inverse([x1 x2; y1 y2]).
  steps = {(u1 * y2 - u2 * y1) / det, (u2 * x1 - u1 * x2) / det, (v1 * y2 - v2 * y1) / det, (v2 * x1 - v1 * x2) / det};
  return true;
}

bool ZRNOneColour(const TVertex* quad) {
  const TColor4f& c = quad[0].Color;
  for (int k = 1; k < 4; ++k)
    if (!(quad[k].Color.Red == c.Red && quad[k].Color.Green == c.Green && quad[k].Color.Blue == c.Blue &&
          quad[k].Color.Alpha == c.Alpha))
      return false;
  return true;
}

void ZRNSplitMagnifiedQuads(const TVertex* vertices, int32_t count, int32_t texWidth, int32_t texHeight,
                            std::vector<TVertex>& magnified, std::vector<TVertex>& rest, float texelsPerPixel) {
  magnified.clear();
  rest.clear();
  const auto w = static_cast<float>(texWidth), h = static_cast<float>(texHeight);
  for (int32_t q = 0; q + 4 <= count; q += 4) {
    const TVertex* v = vertices + q;
    // Every corner's triangle, whichever diagonal the rasterizer splits the quad along.
    const float t = texelsPerPixel;
    const bool large = Magnified(v[0], v[1], v[2], w, h, t) && Magnified(v[1], v[2], v[3], w, h, t) &&
                       Magnified(v[2], v[3], v[0], w, h, t) && Magnified(v[3], v[0], v[1], w, h, t);
    std::vector<TVertex>& to = large ? magnified : rest;
    to.insert(to.end(), v, v + 4);
  }
  // A trailing partial quad is drawn as it came.
  rest.insert(rest.end(), vertices + (count / 4) * 4, vertices + count);
}
