#include "engine/device/zrnSoftSplat.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

#include "engine/device/zrnMagnifiedQuads.h"

namespace {
bool Near(float a, float b, float tolerance) { return std::abs(a - b) <= tolerance; }

// Narrows [lo, hi) of pixel-centre x to where a x + b lies in [min, max).
void Narrow(float a, float b, float min, float max, float& lo, float& hi) {
  if (std::abs(a) < 1e-20f) {
    if (!(b >= min && b < max)) hi = lo;
    return;
  }
  float from = (min - b) / a, to = (max - b) / a;
  if (from > to) std::swap(from, to);
  lo = std::max(lo, from);
  hi = std::min(hi, to);
}

struct TRowPlanes {
  uint16_t *Red, *Green, *Blue, *Alpha;
};

// The opacity (0..255) a splat's texture shows at texel position (u, v), filtered as OpenGL's
// linear filter with clamped edges does.
float Bilinear(const TZRNSplatTexture& texture, float u, float v) {
  const float us = u - 0.5f, vs = v - 0.5f;
  const float fu = std::floor(us), fv = std::floor(vs);
  const float wu = us - fu, wv = vs - fv;
  const auto iu = static_cast<int32_t>(std::clamp(fu, -1.0f, static_cast<float>(texture.TextureWidth() - 1)));
  const auto iv = static_cast<int32_t>(std::clamp(fv, -1.0f, static_cast<float>(texture.TextureHeight() - 1)));
  const uint32_t block = texture.Blocks()[static_cast<size_t>(iv + 1) * static_cast<size_t>(texture.Stride()) + (iu + 1)];
  const auto a00 = static_cast<float>(block & 0xFF), a01 = static_cast<float>(block >> 8 & 0xFF);
  const auto a10 = static_cast<float>(block >> 16 & 0xFF), a11 = static_cast<float>(block >> 24);
  const float top = a00 + wu * (a01 - a00), bottom = a10 + wu * (a11 - a10);
  return top + wv * (bottom - top);
}

uint16_t AddSaturated(uint16_t sum, float share) {
  const auto step = static_cast<int32_t>(std::nearbyint(share));
  return static_cast<uint16_t>(std::min(int32_t{sum} + step, 0xFFFF));
}

void SplatSpanPlain(const TZRNSplat& s, float ur, float vr, int32_t xa, int32_t xb, const TRowPlanes& out) {
  for (int32_t x = xa; x < xb; ++x) {
    const float xc = static_cast<float>(x) + 0.5f;
    const float u = s.DuDx * xc + ur, v = s.DvDx * xc + vr;
    if (!(u >= s.UMin && u < s.UMax && v >= s.VMin && v < s.VMax)) continue;
    const float t = Bilinear(*s.Texture, u, v);
    out.Red[x] = AddSaturated(out.Red[x], t * s.Red);
    out.Green[x] = AddSaturated(out.Green[x], t * s.Green);
    out.Blue[x] = AddSaturated(out.Blue[x], t * s.Blue);
    out.Alpha[x] = AddSaturated(out.Alpha[x], t * t * s.AlphaSquared);
  }
}

// Eight pixels at a time; the row's planes have room for eight past its last pixel.
__attribute__((target("avx2,fma"))) void SplatSpanWide(const TZRNSplat& s, float ur, float vr, int32_t xa, int32_t xb,
                                                      const TRowPlanes& out) {
  const TZRNSplatTexture& texture = *s.Texture;
  const __m256 lanes = _mm256_setr_ps(0.5f, 1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 7.5f);
  const __m256 dudx = _mm256_set1_ps(s.DuDx), dvdx = _mm256_set1_ps(s.DvDx);
  const __m256 u0 = _mm256_set1_ps(ur), v0 = _mm256_set1_ps(vr);
  const __m256 umin = _mm256_set1_ps(s.UMin), umax = _mm256_set1_ps(s.UMax);
  const __m256 vmin = _mm256_set1_ps(s.VMin), vmax = _mm256_set1_ps(s.VMax);
  const __m256 end = _mm256_set1_ps(static_cast<float>(xb));
  const __m256 half = _mm256_set1_ps(0.5f), one = _mm256_set1_ps(1.0f), minusOne = _mm256_set1_ps(-1.0f);
  const __m256 lastU = _mm256_set1_ps(static_cast<float>(texture.TextureWidth() - 1));
  const __m256 lastV = _mm256_set1_ps(static_cast<float>(texture.TextureHeight() - 1));
  const __m256i stride = _mm256_set1_epi32(texture.Stride());  // texels per row
  const __m256i low = _mm256_set1_epi32(0xFF);
  const __m256 red = _mm256_set1_ps(s.Red), green = _mm256_set1_ps(s.Green), blue = _mm256_set1_ps(s.Blue);
  const __m256 alpha = _mm256_set1_ps(s.AlphaSquared);
  const auto* blocks = reinterpret_cast<const int*>(texture.Blocks());
  for (int32_t x = xa; x < xb; x += 8) {
    const __m256 xc = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(x)), lanes);
    const __m256 u = _mm256_fmadd_ps(dudx, xc, u0), v = _mm256_fmadd_ps(dvdx, xc, v0);
    __m256 inside = _mm256_and_ps(_mm256_cmp_ps(u, umin, _CMP_GE_OQ), _mm256_cmp_ps(u, umax, _CMP_LT_OQ));
    inside = _mm256_and_ps(inside, _mm256_and_ps(_mm256_cmp_ps(v, vmin, _CMP_GE_OQ), _mm256_cmp_ps(v, vmax, _CMP_LT_OQ)));
    inside = _mm256_and_ps(inside, _mm256_cmp_ps(xc, end, _CMP_LT_OQ));
    if (_mm256_testz_ps(inside, inside)) continue;
    const __m256 us = _mm256_sub_ps(u, half), vs = _mm256_sub_ps(v, half);
    const __m256 fu = _mm256_floor_ps(us), fv = _mm256_floor_ps(vs);
    const __m256 wu = _mm256_sub_ps(us, fu), wv = _mm256_sub_ps(vs, fv);
    // Lanes outside the quad are clamped too, so that every read stays within the texture.
    const __m256i iu = _mm256_cvttps_epi32(_mm256_add_ps(_mm256_min_ps(_mm256_max_ps(fu, minusOne), lastU), one));
    const __m256i iv = _mm256_cvttps_epi32(_mm256_add_ps(_mm256_min_ps(_mm256_max_ps(fv, minusOne), lastV), one));
    const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(iv, stride), iu);
    const __m256i block = _mm256_i32gather_epi32(blocks, at, 4);
    const __m256 a00 = _mm256_cvtepi32_ps(_mm256_and_si256(block, low));
    const __m256 a01 = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(block, 8), low));
    const __m256 a10 = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(block, 16), low));
    const __m256 a11 = _mm256_cvtepi32_ps(_mm256_srli_epi32(block, 24));
    const __m256 top = _mm256_fmadd_ps(wu, _mm256_sub_ps(a01, a00), a00);
    const __m256 bottom = _mm256_fmadd_ps(wu, _mm256_sub_ps(a11, a10), a10);
    const __m256 t = _mm256_and_ps(_mm256_fmadd_ps(wv, _mm256_sub_ps(bottom, top), top), inside);
    const __m256i r = _mm256_cvtps_epi32(_mm256_mul_ps(t, red)), g = _mm256_cvtps_epi32(_mm256_mul_ps(t, green));
    const __m256i b = _mm256_cvtps_epi32(_mm256_mul_ps(t, blue));
    const __m256i a = _mm256_cvtps_epi32(_mm256_mul_ps(_mm256_mul_ps(t, t), alpha));
    // Packing works within 128-bit halves; the permute puts each channel's eight lanes together.
    const __m256i rg = _mm256_permute4x64_epi64(_mm256_packus_epi32(r, g), 0xD8);
    const __m256i ba = _mm256_permute4x64_epi64(_mm256_packus_epi32(b, a), 0xD8);
    auto add = [x](uint16_t* plane, __m128i share) {
      auto* at8 = reinterpret_cast<__m128i*>(plane + x);
      _mm_storeu_si128(at8, _mm_adds_epu16(_mm_loadu_si128(at8), share));
    };
    add(out.Red, _mm256_castsi256_si128(rg));
    add(out.Green, _mm256_extracti128_si256(rg, 1));
    add(out.Blue, _mm256_castsi256_si128(ba));
    add(out.Alpha, _mm256_extracti128_si256(ba, 1));
  }
}

void ToRgbaPlain(const TRowPlanes& row, int32_t from, int32_t width, uint8_t* out) {
  for (int32_t x = from; x < width; ++x) {
    out[4 * x] = static_cast<uint8_t>(std::min<uint16_t>(row.Red[x], 255));
    out[4 * x + 1] = static_cast<uint8_t>(std::min<uint16_t>(row.Green[x], 255));
    out[4 * x + 2] = static_cast<uint8_t>(std::min<uint16_t>(row.Blue[x], 255));
    out[4 * x + 3] = static_cast<uint8_t>(std::min<uint16_t>(row.Alpha[x], 255));
  }
}

__attribute__((target("avx2,fma"))) void ToRgbaWide(const TRowPlanes& row, int32_t width, uint8_t* out) {
  const __m128i most = _mm_set1_epi16(255);
  int32_t x = 0;
  for (; x + 8 <= width; x += 8) {
    const __m128i r = _mm_min_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.Red + x)), most);
    const __m128i g = _mm_min_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.Green + x)), most);
    const __m128i b = _mm_min_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.Blue + x)), most);
    const __m128i a = _mm_min_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row.Alpha + x)), most);
    const __m128i rb = _mm_packus_epi16(r, b), ga = _mm_packus_epi16(g, a);  // r0..r7 b0..b7, g0..g7 a0..a7
    const __m128i rg = _mm_unpacklo_epi8(rb, ga), ba = _mm_unpackhi_epi8(rb, ga);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_unpacklo_epi16(rg, ba));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x + 16), _mm_unpackhi_epi16(rg, ba));
  }
  ToRgbaPlain(row, x, width, out);
}

bool WideVectors() {
  static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return wide;
}
}  // namespace

bool TZRNSplatTexture::Build(const uint8_t* pixels, int32_t width, int32_t height, TZRNPixelFormat format) {
  Clear();
  if (!pixels || width <= 0 || height <= 0 || (format != pfRGBA && format != pfAlpha)) return false;
  const int32_t bytes = format == pfRGBA ? 4 : 1;
  auto opacity = [&](int32_t x, int32_t y) -> uint32_t {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    const uint8_t* texel = pixels + (static_cast<size_t>(y) * static_cast<size_t>(width) + x) * bytes;
    return texel[bytes - 1];
  };
  if (format == pfRGBA) {
    for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i) {
      const uint8_t* texel = pixels + i * 4;
      if (texel[3] != 0 && (texel[0] != 255 || texel[1] != 255 || texel[2] != 255)) return false;
    }
  }
  Width = width;
  Height = height;
  BlockData.resize(static_cast<size_t>(Stride()) * static_cast<size_t>(height + 2));
  for (int32_t y = -1; y <= height; ++y)
    for (int32_t x = -1; x <= width; ++x)
      BlockData[static_cast<size_t>(y + 1) * static_cast<size_t>(Stride()) + (x + 1)] =
          opacity(x, y) | opacity(x + 1, y) << 8 | opacity(x, y + 1) << 16 | opacity(x + 1, y + 1) << 24;
  return true;
}

void TZRNSplatTexture::Clear() {
  Width = Height = 0;
  BlockData.clear();
}

bool ZRNSplatOf(const TVertex* quad, const float* m, int32_t width, int32_t height,
                std::span<const TZRNSplatTexture> levels, TZRNSplat& splat, bool& empty) {
  empty = false;
  if (levels.empty() || !levels[0].Ready()) return false;
  const TZRNSplatTexture& base = levels[0];
  if (!ZRNOneColour(quad)) return false;
  const TColor4f& colour = quad[0].Color;
  float px[4], py[4], tu[4], tv[4];
  const auto tw = static_cast<float>(base.TextureWidth()), th = static_cast<float>(base.TextureHeight());
  for (int k = 0; k < 4; ++k) {
    const TVector3f& p = quad[k].Position;
    px[k] = m[0] * p.X + m[1] * p.Y + m[2] * p.Z + m[3];
    py[k] = m[4] * p.X + m[5] * p.Y + m[6] * p.Z + m[7];
    if (!std::isfinite(px[k]) || !std::isfinite(py[k])) return false;
    const TVector2f& t = quad[k].TexCoord;
    if (!(t.X >= 0 && t.X <= 1 && t.Y >= 0 && t.Y <= 1)) return false;  // wraps
    tu[k] = t.X * tw;
    tv[k] = t.Y * th;
  }
  const float extent = std::abs(px[1] - px[0]) + std::abs(py[1] - py[0]) + std::abs(px[3] - px[0]) + std::abs(py[3] - py[0]);
  const float tolerance = 1e-3f + 1e-5f * (extent + std::abs(px[0]) + std::abs(py[0]));
  if (!Near(px[0] + px[2], px[1] + px[3], tolerance) || !Near(py[0] + py[2], py[1] + py[3], tolerance)) return false;
  const float texTolerance = 1e-6f * std::max(tw, th);
  if (!Near(tu[0] + tu[2], tu[1] + tu[3], texTolerance) || !Near(tv[0] + tv[2], tv[1] + tv[3], texTolerance)) return false;
  const bool upright = (tv[1] == tv[0] && tu[3] == tu[0]) || (tu[1] == tu[0] && tv[3] == tv[0]);
  if (!upright) return false;

  const float e1x = px[1] - px[0], e1y = py[1] - py[0], e2x = px[3] - px[0], e2y = py[3] - py[0];
  const float f1u = tu[1] - tu[0], f1v = tv[1] - tv[0], f2u = tu[3] - tu[0], f2v = tv[3] - tv[0];
  const float det = e1x * e2y - e2x * e1y;
  if (std::abs(det) < 1e-6f) {  // no area: nothing to draw
    empty = true;
    return true;
  }
  splat.DuDx = (f1u * e2y - f2u * e1y) / det;
  splat.DuDy = (f2u * e1x - f1u * e2x) / det;
  splat.DvDx = (f1v * e2y - f2v * e1y) / det;
  splat.DvDy = (f2v * e1x - f1v * e2x) / det;
  // The level OpenGL's nearest-mipmap filter reads: 0 up to half a level of minification
  // (level 0 is also what magnification reads), then the one rounding the level of detail.
  int32_t level = 0;
  if (levels.size() > 1) {
    const float rho = std::sqrt(std::max(splat.DuDx * splat.DuDx + splat.DvDx * splat.DvDx,
                                         splat.DuDy * splat.DuDy + splat.DvDy * splat.DvDy));
    const float lod = std::log2(rho);
    if (lod > 0.5f) level = std::min(static_cast<int32_t>(std::ceil(lod + 0.5f)) - 1, static_cast<int32_t>(levels.size()) - 1);
  }
  const TZRNSplatTexture& texture = levels[static_cast<size_t>(level)];
  if (!texture.Ready()) return false;
  if (level > 0) {
    const float su = static_cast<float>(texture.TextureWidth()) / tw, sv = static_cast<float>(texture.TextureHeight()) / th;
    splat.DuDx *= su;
    splat.DuDy *= su;
    splat.DvDx *= sv;
    splat.DvDy *= sv;
    for (int k = 0; k < 4; ++k) {
      tu[k] *= su;
      tv[k] *= sv;
    }
  }
  splat.U0 = tu[0] - splat.DuDx * px[0] - splat.DuDy * py[0];
  splat.V0 = tv[0] - splat.DvDx * px[0] - splat.DvDy * py[0];
  splat.UMin = std::min({tu[0], tu[1], tu[2], tu[3]});
  splat.UMax = std::max({tu[0], tu[1], tu[2], tu[3]});
  splat.VMin = std::min({tv[0], tv[1], tv[2], tv[3]});
  splat.VMax = std::max({tv[0], tv[1], tv[2], tv[3]});
  // Pixels whose centres may fall inside, a pixel wider each way for rounding.
  const float left = std::min({px[0], px[1], px[2], px[3]}), right = std::max({px[0], px[1], px[2], px[3]});
  const float bottom = std::min({py[0], py[1], py[2], py[3]}), top = std::max({py[0], py[1], py[2], py[3]});
  auto pixel = [](float at, int32_t size) {
    return static_cast<int32_t>(std::clamp(std::floor(at), 0.0f, static_cast<float>(size)));
  };
  splat.X1 = pixel(left - 1, width);
  splat.X2 = pixel(right + 1, width);
  splat.Y1 = pixel(bottom - 1, height);
  splat.Y2 = pixel(top + 1, height);
  const float r = std::clamp(colour.Red, 0.0f, 1.0f), g = std::clamp(colour.Green, 0.0f, 1.0f);
  const float b = std::clamp(colour.Blue, 0.0f, 1.0f), a = std::clamp(colour.Alpha, 0.0f, 1.0f);
  splat.Red = r * a;
  splat.Green = g * a;
  splat.Blue = b * a;
  splat.AlphaSquared = a * a / 255.0f;
  splat.Texture = &texture;
  empty = splat.X1 >= splat.X2 || splat.Y1 >= splat.Y2 || a == 0;
  return true;
}

TZRNSoftLayer::TZRNSoftLayer() : Vectorized(WideVectors()) {}

void TZRNSoftLayer::Resize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == LayerWidth && height == LayerHeight) return;
  LayerWidth = width;
  LayerHeight = height;
  RowStride = width + 8;
  Planes.assign(static_cast<size_t>(RowStride) * static_cast<size_t>(height) * 4, 0);
  Queued.clear();
  DirtyFirst = DirtyEnd = ShownFirst = ShownEnd = 0;
}

void TZRNSoftLayer::Add(const TZRNSplat& splat) {
  const int32_t y1 = std::clamp(splat.Y1, 0, LayerHeight), y2 = std::clamp(splat.Y2, 0, LayerHeight);
  const int32_t x1 = std::clamp(splat.X1, 0, LayerWidth), x2 = std::clamp(splat.X2, 0, LayerWidth);
  if (y1 >= y2 || x1 >= x2 || !splat.Texture) return;
  TZRNSplat& added = Queued.emplace_back(splat);
  added.X1 = x1;
  added.X2 = x2;
  added.Y1 = y1;
  added.Y2 = y2;
  if (DirtyFirst >= DirtyEnd) {
    DirtyFirst = y1;
    DirtyEnd = y2;
  } else {
    DirtyFirst = std::min(DirtyFirst, y1);
    DirtyEnd = std::max(DirtyEnd, y2);
  }
}

void TZRNSoftLayer::DrawBand(int32_t band, int32_t bands, int32_t first, int32_t end, uint8_t* rgba) {
  const bool wide = Vectorized;
  const size_t plane = static_cast<size_t>(RowStride) * static_cast<size_t>(LayerHeight);
  auto planesOf = [&](int32_t y) {
    uint16_t* red = Planes.data() + static_cast<size_t>(y) * static_cast<size_t>(RowStride);
    return TRowPlanes{red, red + plane, red + 2 * plane, red + 3 * plane};
  };
  auto mine = [&](int32_t y) { return (y / RunOfRows) % bands == band; };
  for (const TZRNSplat& s : Queued) {
    for (int32_t y = s.Y1; y < s.Y2; ++y) {
      if (!mine(y)) {
        y = (y / RunOfRows + 1) * RunOfRows - 1;  // on to the next run
        continue;
      }
      const float yc = static_cast<float>(y) + 0.5f;
      const float ur = s.U0 + s.DuDy * yc, vr = s.V0 + s.DvDy * yc;
      float lo = static_cast<float>(s.X1), hi = static_cast<float>(s.X2);
      Narrow(s.DuDx, ur, s.UMin, s.UMax, lo, hi);
      Narrow(s.DvDx, vr, s.VMin, s.VMax, lo, hi);
      if (!(lo < hi)) continue;
      // Whole pixels around the span; the per-pixel test decides the edges exactly.
      const auto xa = static_cast<int32_t>(std::max(std::floor(lo - 1.5f), static_cast<float>(s.X1)));
      const auto xb = static_cast<int32_t>(std::min(std::ceil(hi + 0.5f), static_cast<float>(s.X2)));
      if (wide) SplatSpanWide(s, ur, vr, xa, xb, planesOf(y));
      else SplatSpanPlain(s, ur, vr, xa, xb, planesOf(y));
    }
  }
  for (int32_t y = first; y < end; ++y) {
    if (!mine(y)) continue;
    const TRowPlanes row = planesOf(y);
    uint8_t* out = rgba + static_cast<size_t>(y - first) * static_cast<size_t>(LayerWidth) * 4;
    if (wide) ToRgbaWide(row, LayerWidth, out);
    else ToRgbaPlain(row, 0, LayerWidth, out);
    for (uint16_t* p : {row.Red, row.Green, row.Blue, row.Alpha}) std::memset(p, 0, sizeof(uint16_t) * static_cast<size_t>(RowStride));
  }
}

void TZRNSoftLayer::Resolve(std::vector<uint8_t>& rgba, int32_t& firstRow, int32_t& endRow) {
  firstRow = endRow = 0;
  const bool dirty = DirtyFirst < DirtyEnd, shown = ShownFirst < ShownEnd;
  if (!dirty && !shown) return;
  const int32_t first = !dirty ? ShownFirst : !shown ? DirtyFirst : std::min(DirtyFirst, ShownFirst);
  const int32_t end = !dirty ? ShownEnd : !shown ? DirtyEnd : std::max(DirtyEnd, ShownEnd);
  rgba.resize(static_cast<size_t>(end - first) * static_cast<size_t>(LayerWidth) * 4);
  const auto cores = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
  const int32_t bands = std::clamp((end - first) / RunOfRows, 1, std::min(cores, 8));
  {
    std::vector<std::jthread> helpers;
    for (int32_t band = 1; band < bands; ++band)
      helpers.emplace_back([this, band, bands, first, end, &rgba] { DrawBand(band, bands, first, end, rgba.data()); });
    DrawBand(0, bands, first, end, rgba.data());
  }
  Queued.clear();
  ShownFirst = DirtyFirst;
  ShownEnd = DirtyEnd;
  DirtyFirst = DirtyEnd = 0;
  firstRow = first;
  endRow = end;
}
