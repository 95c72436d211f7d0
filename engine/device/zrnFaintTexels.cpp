#include "engine/device/zrnFaintTexels.h"

#include <algorithm>
#include <cmath>

#include "engine/device/zrnMagnifiedQuads.h"

namespace {
// A texel adds nothing where its share of the picture is under half an 8-bit step.
constexpr float VisibleShare = 0.5f;

uint8_t WeightOf(const uint8_t* texel, TZRNPixelFormat format) {
  switch (format) {
    case pfRGB: return std::max({texel[0], texel[1], texel[2]});
    case pfRGBA: {
      const int colour = std::max({texel[0], texel[1], texel[2]});
      return static_cast<uint8_t>((colour * texel[3] + 254) / 255);
    }
    default: return texel[0];  // one channel: opacity, luminance or a single colour
  }
}

TZRNTexelRect Union(const TZRNTexelRect& a, const TZRNTexelRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.X1, b.X1), std::min(a.Y1, b.Y1), std::max(a.X2, b.X2), std::max(a.Y2, b.Y2)};
}

bool Near(float a, float b, float tolerance) { return std::abs(a - b) <= tolerance; }

// The largest of colour times opacity among the vertices; what interpolation between them reaches.
float VertexShare(const TVertex* v) {
  float share = 0;
  for (int k = 0; k < 4; ++k) {
    const TColor4f& c = v[k].Color;
    const float colour = std::clamp(std::max({c.Red, c.Green, c.Blue}), 0.0f, 1.0f);
    share = std::max(share, colour * std::clamp(c.Alpha, 0.0f, 1.0f));
  }
  return share;
}

// A quad that can be cut down without changing how any pixel of it samples: corners 0 -> 1 and
// 0 -> 3 span a parallelogram in space and in the texture, with one colour, and each edge runs
// along one texture axis.
struct TQuadMap {
  TVector3f Origin{}, AlongS{}, AlongT{};  // position = Origin + s AlongS + t AlongT, s and t in [0, 1]
  TVector2f TexOrigin{}, TexS{}, TexT{};  // likewise for texture coordinates
  bool SAlongU = true;                // s moves u (and t moves v), or the other way round
};

bool MapOf(const TVertex* v, TQuadMap& map) {
  if (!ZRNOneColour(v)) return false;
  const TVector3f &p0 = v[0].Position, &p1 = v[1].Position, &p2 = v[2].Position, &p3 = v[3].Position;
  map.Origin = p0;
  map.AlongS = {p1.X - p0.X, p1.Y - p0.Y, p1.Z - p0.Z};
  map.AlongT = {p3.X - p0.X, p3.Y - p0.Y, p3.Z - p0.Z};
  const float extent = std::abs(map.AlongS.X) + std::abs(map.AlongS.Y) + std::abs(map.AlongT.X) + std::abs(map.AlongT.Y);
  const float tolerance = 1e-3f + 1e-5f * (extent + std::abs(p0.X) + std::abs(p0.Y));
  if (!Near(p0.X + p2.X, p1.X + p3.X, tolerance) || !Near(p0.Y + p2.Y, p1.Y + p3.Y, tolerance) ||
      !Near(p0.Z + p2.Z, p1.Z + p3.Z, tolerance))
    return false;
  const TVector2f &t0 = v[0].TexCoord, &t1 = v[1].TexCoord, &t2 = v[2].TexCoord, &t3 = v[3].TexCoord;
  map.TexOrigin = t0;
  map.TexS = {t1.X - t0.X, t1.Y - t0.Y};
  map.TexT = {t3.X - t0.X, t3.Y - t0.Y};
  if (!Near(t0.X + t2.X, t1.X + t3.X, 1e-6f) || !Near(t0.Y + t2.Y, t1.Y + t3.Y, 1e-6f)) return false;
  if (map.TexS.Y == 0 && map.TexT.X == 0 && map.TexS.X != 0 && map.TexT.Y != 0) map.SAlongU = true;
  else if (map.TexS.X == 0 && map.TexT.Y == 0 && map.TexS.Y != 0 && map.TexT.X != 0) map.SAlongU = false;
  else return false;
  for (const TVertex* corner = v; corner != v + 4; ++corner)
    if (corner->TexCoord.X < 0 || corner->TexCoord.X > 1 || corner->TexCoord.Y < 0 || corner->TexCoord.Y > 1)
      return false;  // wraps: one rectangle of texels does not describe it
  return true;
}

// Texels per pixel step at most (bounded by the Frobenius norm of the steps); 0 when degenerate.
float TexelsPerPixel(const TVertex* quad, float width, float height) {
  TZRNTexelSteps d{};
  if (!ZRNTexelSteps(quad[0], quad[1], quad[3], width, height, d)) return 0;
  return std::sqrt(d.DuDx * d.DuDx + d.DuDy * d.DuDy + d.DvDx * d.DvDx + d.DvDy * d.DvDy);
}

TVertex CornerAt(const TVertex& model, const TQuadMap& map, float s, float t) {
  TVertex v = model;
  v.Position = {map.Origin.X + s * map.AlongS.X + t * map.AlongT.X, map.Origin.Y + s * map.AlongS.Y + t * map.AlongT.Y,
                map.Origin.Z + s * map.AlongS.Z + t * map.AlongT.Z};
  v.TexCoord = {map.TexOrigin.X + s * map.TexS.X + t * map.TexT.X, map.TexOrigin.Y + s * map.TexS.Y + t * map.TexT.Y};
  return v;
}

}  // namespace

void TZRNTexelWeights::Build(const uint8_t* pixels, int32_t width, int32_t height, TZRNPixelFormat format) {
  Clear();
  if (!pixels || width <= 0 || height <= 0 || format == pfNone || format > pfRGBA) return;
  const int32_t bytes = PixelFormatBytes[format];
  Width = width;
  Height = height;
  Weights.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < Weights.size(); ++i) Weights[i] = WeightOf(pixels + i * static_cast<size_t>(bytes), format);
}

void TZRNTexelWeights::Clear() {
  Width = Height = 0;
  Weights.clear();
  Cells.clear();
}

const TZRNTexelWeights::TCellReach& TZRNTexelWeights::ReachOf(const TZRNTexelRect& cell) {
  for (const TCellReach& known : Cells)
    if (known.Cell == cell) return known;
  TCellReach& reach = Cells.emplace_back();
  reach.Cell = cell;
  // One pass finds where each weight lies; a texel that weighs w reaches every level up to w.
  std::array<TZRNTexelRect, 256> exactly{};
  for (int32_t y = cell.Y1; y < cell.Y2; ++y) {
    const uint8_t* row = Weights.data() + static_cast<size_t>(y) * static_cast<size_t>(Width);
    for (int32_t x = cell.X1; x < cell.X2; ++x)
      if (row[x]) exactly[row[x]] = Union(exactly[row[x]], {x, y, x + 1, y + 1});
  }
  reach.AtLeast[0] = cell;
  TZRNTexelRect heavier;
  for (int level = 255; level >= 1; --level) reach.AtLeast[static_cast<size_t>(level)] = heavier = Union(heavier, exactly[static_cast<size_t>(level)]);
  return reach;
}

TZRNTexelRect TZRNTexelWeights::Reach(const TZRNTexelRect& cell, int32_t level) {
  const TZRNTexelRect inside{std::max(cell.X1, 0), std::max(cell.Y1, 0), std::min(cell.X2, Width), std::min(cell.Y2, Height)};
  if (inside.Empty() || level > 255) return {};
  return ReachOf(inside).AtLeast[static_cast<size_t>(std::max(level, 0))];
}

void ZRNTrimFaintQuads(const TVertex* vertices, int32_t count, TZRNTexelWeights& weights, std::vector<TVertex>& kept) {
  if (!weights.Ready()) {
    kept.assign(vertices, vertices + count);
    return;
  }
  kept.clear();
  const auto width = static_cast<float>(weights.TextureWidth()), height = static_cast<float>(weights.TextureHeight());
  for (int32_t q = 0; q + 4 <= count; q += 4) {
    const TVertex* v = vertices + q;
    TQuadMap map;
    const float share = VertexShare(v);
    const float perPixel = MapOf(v, map) ? TexelsPerPixel(v, width, height) : 0;
    if (perPixel <= 0 || share <= 0) {
      kept.insert(kept.end(), v, v + 4);
      continue;
    }
    const float uLow = std::min(v[0].TexCoord.X, v[2].TexCoord.X), uHigh = std::max(v[0].TexCoord.X, v[2].TexCoord.X);
    const float vLow = std::min(v[0].TexCoord.Y, v[2].TexCoord.Y), vHigh = std::max(v[0].TexCoord.Y, v[2].TexCoord.Y);
    const TZRNTexelRect cell{static_cast<int32_t>(std::floor(uLow * width + 1e-3f)), static_cast<int32_t>(std::floor(vLow * height + 1e-3f)),
                             static_cast<int32_t>(std::ceil(uHigh * width - 1e-3f)), static_cast<int32_t>(std::ceil(vHigh * height - 1e-3f))};
    const auto level = static_cast<int32_t>(std::ceil(VisibleShare / share));
    const TZRNTexelRect reach = weights.Reach(cell, level);
    if (reach.Empty()) continue;  // nothing in it can show at this colour
    // Filtering reads neighbours, a texel of a smaller mipmap level several of them: keep
    // every texel a pixel outside the cut could still read from the part that shows.
    const auto margin = static_cast<int32_t>(std::ceil(1.0f + 2.0f * perPixel));
    const TZRNTexelRect box{std::max(reach.X1 - margin, cell.X1), std::max(reach.Y1 - margin, cell.Y1),
                            std::min(reach.X2 + margin, cell.X2), std::min(reach.Y2 + margin, cell.Y2)};
    if (box == cell) {
      kept.insert(kept.end(), v, v + 4);
      continue;
    }
    // The box's texel corners in the quad's own parameters, in the quad's corner order.
    const double u1 = box.X1 / double(width), u2 = box.X2 / double(width);
    const double w1 = box.Y1 / double(height), w2 = box.Y2 / double(height);
    auto parameter = [](double origin, double step, double a, double b, double& low, double& high) {
      const double first = std::clamp((a - origin) / step, 0.0, 1.0), second = std::clamp((b - origin) / step, 0.0, 1.0);
      low = std::min(first, second);
      high = std::max(first, second);
    };
    double sLow, sHigh, tLow, tHigh;
    if (map.SAlongU) {
      parameter(map.TexOrigin.X, map.TexS.X, u1, u2, sLow, sHigh);
      parameter(map.TexOrigin.Y, map.TexT.Y, w1, w2, tLow, tHigh);
    } else {
      parameter(map.TexOrigin.Y, map.TexS.Y, w1, w2, sLow, sHigh);
      parameter(map.TexOrigin.X, map.TexT.X, u1, u2, tLow, tHigh);
    }
    const auto sl = static_cast<float>(sLow), sh = static_cast<float>(sHigh);
    const auto tl = static_cast<float>(tLow), th = static_cast<float>(tHigh);
    kept.push_back(CornerAt(v[0], map, sl, tl));
    kept.push_back(CornerAt(v[0], map, sh, tl));
    kept.push_back(CornerAt(v[0], map, sh, th));
    kept.push_back(CornerAt(v[0], map, sl, th));
  }
  kept.insert(kept.end(), vertices + (count / 4) * 4, vertices + count);
}
