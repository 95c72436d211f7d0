#include "engine/device/zrnSoftSplat.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/device/zrnMagnifiedQuads.h"
#include "engine/device/zrnSoftEnlarge.h"

namespace {
bool Near(float a, float b, float tolerance) { return std::abs(a - b) <= tolerance; }

// The rows of the picture a thread draws: runs of RunOfRows rows dealt out in turn.
struct TBand {
  uint8_t* Pixels;
  size_t RowBytes;
  int32_t Index, Count, RunOfRows;
  bool Owns(int32_t y) const { return (y / RunOfRows) % Count == Index; }
  int32_t NextRun(int32_t y) const { return (y / RunOfRows + 1) * RunOfRows; }
  uint8_t* Row(int32_t y) const { return Pixels + static_cast<size_t>(y) * RowBytes; }
};

// Where one row of a splat lies: texel position at x = 0 and the pixels it may touch.
struct TSpan {
  float U, V;
  int32_t From, To;
};

// Finds row y's span from the reciprocal x slopes (0 where the texel does not change along x).
// The span is widened to whole pixels around it; the per-pixel test decides the edges exactly.
[[gnu::always_inline]] inline bool SpanOf(const TZRNSplat& s, float perU, float perV, int32_t y, TSpan& span) {
  const float yc = static_cast<float>(y) + 0.5f;
  span.U = s.U0 + s.DuDy * yc;
  span.V = s.V0 + s.DvDy * yc;
  float lo = static_cast<float>(s.X1), hi = static_cast<float>(s.X2);
  // Narrows [lo, hi) of pixel-centre x to where x / per + at lies in [min, max).
  auto narrow = [&lo, &hi](float per, float at, float min, float max) {
    if (per == 0) {
      if (!(at >= min && at < max)) hi = lo;
      return;
    }
    float from = (min - at) * per, to = (max - at) * per;
    if (from > to) std::swap(from, to);
    lo = std::max(lo, from);
    hi = std::min(hi, to);
  };
  narrow(perU, span.U, s.UMin, s.UMax);
  narrow(perV, span.V, s.VMin, s.VMax);
  if (!(lo < hi)) return false;
  span.From = static_cast<int32_t>(std::max(std::floor(lo - 1.5f), static_cast<float>(s.X1)));
  span.To = static_cast<int32_t>(std::min(std::ceil(hi + 0.5f), static_cast<float>(s.X2)));
  return span.From < span.To;
}

float Reciprocal(float slope) { return std::abs(slope) < 1e-20f ? 0 : 1 / slope; }

// Calls draw(row, span) for every row of the band that the splat's quad crosses.
template <typename TDraw>
[[gnu::always_inline]] inline void ForEachSpan(const TZRNSplat& s, const TBand& band, TDraw&& draw) {
  const float perU = Reciprocal(s.DuDx), perV = Reciprocal(s.DvDx);
  TSpan span{};
  for (int32_t y = s.Y1; y < s.Y2; ++y) {
    if (!band.Owns(y)) {
      y = band.NextRun(y) - 1;  // on to the band's next run
      continue;
    }
    if (SpanOf(s, perU, perV, y, span)) draw(band.Row(y), span);
  }
}

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

uint8_t AddSaturated(uint8_t sum, float share) {
  const auto step = static_cast<int32_t>(std::nearbyint(share));
  return static_cast<uint8_t>(std::clamp(int32_t{sum} + step, 0, 255));
}

void SplatSpanPlain(const TZRNSplat& s, const TSpan& span, uint8_t* row) {
  for (int32_t x = span.From; x < span.To; ++x) {
    const float xc = static_cast<float>(x) + 0.5f;
    const float u = s.DuDx * xc + span.U, v = s.DvDx * xc + span.V;
    if (!(u >= s.UMin && u < s.UMax && v >= s.VMin && v < s.VMax)) continue;
    const float t = Bilinear(*s.Texture, u, v);
    uint8_t* pixel = row + 4 * x;
    pixel[0] = AddSaturated(pixel[0], t * s.Red);
    pixel[1] = AddSaturated(pixel[1], t * s.Green);
    pixel[2] = AddSaturated(pixel[2], t * s.Blue);
    pixel[3] = AddSaturated(pixel[3], t * t * s.AlphaSquared);
  }
}

void SplatPlain(const TZRNSplat& s, const TBand& band) {
  ForEachSpan(s, band, [&s](uint8_t* row, const TSpan& span) { SplatSpanPlain(s, span, row); });
}

// Eight pixels at a time; rows have room for eight past their last pixel.
__attribute__((target("avx2,fma"))) void SplatWide(const TZRNSplat& s, const TBand& band) {
  const TZRNSplatTexture& texture = *s.Texture;
  const __m256 lanes = _mm256_setr_ps(0.5f, 1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 7.5f), eight = _mm256_set1_ps(8);
  const __m256 dudx = _mm256_set1_ps(s.DuDx), dvdx = _mm256_set1_ps(s.DvDx), half = _mm256_set1_ps(0.5f);
  const __m256 umin = _mm256_set1_ps(s.UMin), umax = _mm256_set1_ps(s.UMax);
  const __m256 vmin = _mm256_set1_ps(s.VMin), vmax = _mm256_set1_ps(s.VMax);
  const __m256i stride = _mm256_set1_epi32(texture.Stride()), low = _mm256_set1_epi32(0xFF);
  const __m256i interleave = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15,
                                              0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
  const __m256 red = _mm256_set1_ps(s.Red), green = _mm256_set1_ps(s.Green), blue = _mm256_set1_ps(s.Blue);
  const __m256 alpha = _mm256_set1_ps(s.AlphaSquared);
  const auto* blocks = reinterpret_cast<const int*>(texture.Blocks());
  ForEachSpan(s, band, [&](uint8_t* row, const TSpan& span) __attribute__((target("avx2,fma"))) {
    const __m256 u0 = _mm256_set1_ps(span.U), v0 = _mm256_set1_ps(span.V);
    const __m256 end = _mm256_set1_ps(static_cast<float>(span.To));
    __m256 xc = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(span.From)), lanes);
    for (int32_t x = span.From; x < span.To; x += 8, xc = _mm256_add_ps(xc, eight)) {
      const __m256 u = _mm256_fmadd_ps(dudx, xc, u0), v = _mm256_fmadd_ps(dvdx, xc, v0);
      __m256 inside = _mm256_and_ps(_mm256_cmp_ps(u, umin, _CMP_GE_OQ), _mm256_cmp_ps(u, umax, _CMP_LT_OQ));
      inside = _mm256_and_ps(inside, _mm256_and_ps(_mm256_cmp_ps(v, vmin, _CMP_GE_OQ), _mm256_cmp_ps(v, vmax, _CMP_LT_OQ)));
      inside = _mm256_and_ps(inside, _mm256_cmp_ps(xc, end, _CMP_LT_OQ));
      if (_mm256_testz_ps(inside, inside)) continue;
      // Half a texel on, truncation finds the block a linear filter reads (one entry on, past
      // the border) and the weights; inside the texels, nothing is negative.
      const __m256 up = _mm256_add_ps(u, half), vp = _mm256_add_ps(v, half);
      const __m256i iu = _mm256_cvttps_epi32(up), iv = _mm256_cvttps_epi32(vp);
      const __m256 wu = _mm256_sub_ps(up, _mm256_cvtepi32_ps(iu)), wv = _mm256_sub_ps(vp, _mm256_cvtepi32_ps(iv));
      // Lanes outside the quad read nothing and add nothing.
      const __m256i at = _mm256_add_epi32(_mm256_mullo_epi32(iv, stride), iu);
      const __m256i block = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), blocks, at, _mm256_castps_si256(inside), 4);
      const __m256 a00 = _mm256_cvtepi32_ps(_mm256_and_si256(block, low));
      const __m256 a01 = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(block, 8), low));
      const __m256 a10 = _mm256_cvtepi32_ps(_mm256_and_si256(_mm256_srli_epi32(block, 16), low));
      const __m256 a11 = _mm256_cvtepi32_ps(_mm256_srli_epi32(block, 24));
      const __m256 top = _mm256_fmadd_ps(wu, _mm256_sub_ps(a01, a00), a00);
      const __m256 bottom = _mm256_fmadd_ps(wu, _mm256_sub_ps(a11, a10), a10);
      const __m256 t = _mm256_fmadd_ps(wv, _mm256_sub_ps(bottom, top), top);
      const __m256i r = _mm256_cvtps_epi32(_mm256_mul_ps(t, red)), g = _mm256_cvtps_epi32(_mm256_mul_ps(t, green));
      const __m256i b = _mm256_cvtps_epi32(_mm256_mul_ps(t, blue));
      const __m256i a = _mm256_cvtps_epi32(_mm256_mul_ps(_mm256_mul_ps(t, t), alpha));
      // Saturating packs leave each 128-bit half as four reds, greens, blues and alphas; the
      // shuffle makes them four RGBA pixels.
      const __m256i bytes = _mm256_packus_epi16(_mm256_packus_epi32(r, g), _mm256_packus_epi32(b, a));
      auto* pixels = reinterpret_cast<__m256i*>(row + 4 * static_cast<size_t>(x));
      _mm256_storeu_si256(pixels, _mm256_adds_epu8(_mm256_loadu_si256(pixels), _mm256_shuffle_epi8(bytes, interleave)));
    }
  });
}

// Sixteen pixels at a time, as SplatWide draws eight; rows have room for sixteen past their end.
// GCC 12's AVX-512 headers start some results from deliberately undefined values.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((target("avx512f,avx512bw,fma"))) void SplatWidest(const TZRNSplat& s, const TBand& band) {
  const TZRNSplatTexture& texture = *s.Texture;
  const __m512 lanes = _mm512_setr_ps(0.5f, 1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f, 7.5f, 8.5f, 9.5f, 10.5f, 11.5f, 12.5f,
                                      13.5f, 14.5f, 15.5f);
  const __m512 sixteen = _mm512_set1_ps(16), half = _mm512_set1_ps(0.5f);
  const __m512 dudx = _mm512_set1_ps(s.DuDx), dvdx = _mm512_set1_ps(s.DvDx);
  const __m512 umin = _mm512_set1_ps(s.UMin), umax = _mm512_set1_ps(s.UMax);
  const __m512 vmin = _mm512_set1_ps(s.VMin), vmax = _mm512_set1_ps(s.VMax);
  const __m512i stride = _mm512_set1_epi32(texture.Stride()), low = _mm512_set1_epi32(0xFF);
  const __m512i interleave =
      _mm512_broadcast_i32x4(_mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
  const __m512 red = _mm512_set1_ps(s.Red), green = _mm512_set1_ps(s.Green), blue = _mm512_set1_ps(s.Blue);
  const __m512 alpha = _mm512_set1_ps(s.AlphaSquared);
  const auto* blocks = reinterpret_cast<const int*>(texture.Blocks());
  ForEachSpan(s, band, [&](uint8_t* row, const TSpan& span) __attribute__((target("avx512f,avx512bw,fma"))) {
    const __m512 u0 = _mm512_set1_ps(span.U), v0 = _mm512_set1_ps(span.V);
    const __m512 end = _mm512_set1_ps(static_cast<float>(span.To));
    __m512 xc = _mm512_add_ps(_mm512_set1_ps(static_cast<float>(span.From)), lanes);
    for (int32_t x = span.From; x < span.To; x += 16, xc = _mm512_add_ps(xc, sixteen)) {
      const __m512 u = _mm512_fmadd_ps(dudx, xc, u0), v = _mm512_fmadd_ps(dvdx, xc, v0);
      __mmask16 inside = _mm512_cmp_ps_mask(xc, end, _CMP_LT_OQ);
      inside = _mm512_mask_cmp_ps_mask(inside, u, umin, _CMP_GE_OQ);
      inside = _mm512_mask_cmp_ps_mask(inside, u, umax, _CMP_LT_OQ);
      inside = _mm512_mask_cmp_ps_mask(inside, v, vmin, _CMP_GE_OQ);
      inside = _mm512_mask_cmp_ps_mask(inside, v, vmax, _CMP_LT_OQ);
      if (!inside) continue;
      const __m512 up = _mm512_add_ps(u, half), vp = _mm512_add_ps(v, half);
      const __m512i iu = _mm512_cvttps_epi32(up), iv = _mm512_cvttps_epi32(vp);
      const __m512 wu = _mm512_sub_ps(up, _mm512_cvtepi32_ps(iu)), wv = _mm512_sub_ps(vp, _mm512_cvtepi32_ps(iv));
      const __m512i at = _mm512_add_epi32(_mm512_mullo_epi32(iv, stride), iu);
      const __m512i block = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), inside, at, blocks, 4);
      const __m512 a00 = _mm512_cvtepi32_ps(_mm512_and_si512(block, low));
      const __m512 a01 = _mm512_cvtepi32_ps(_mm512_and_si512(_mm512_srli_epi32(block, 8), low));
      const __m512 a10 = _mm512_cvtepi32_ps(_mm512_and_si512(_mm512_srli_epi32(block, 16), low));
      const __m512 a11 = _mm512_cvtepi32_ps(_mm512_srli_epi32(block, 24));
      const __m512 top = _mm512_fmadd_ps(wu, _mm512_sub_ps(a01, a00), a00);
      const __m512 bottom = _mm512_fmadd_ps(wu, _mm512_sub_ps(a11, a10), a10);
      const __m512 t = _mm512_fmadd_ps(wv, _mm512_sub_ps(bottom, top), top);
      const __m512i r = _mm512_cvtps_epi32(_mm512_mul_ps(t, red)), g = _mm512_cvtps_epi32(_mm512_mul_ps(t, green));
      const __m512i b = _mm512_cvtps_epi32(_mm512_mul_ps(t, blue));
      const __m512i a = _mm512_cvtps_epi32(_mm512_mul_ps(_mm512_mul_ps(t, t), alpha));
      const __m512i bytes = _mm512_packus_epi16(_mm512_packus_epi32(r, g), _mm512_packus_epi32(b, a));
      auto* pixels = reinterpret_cast<__m512i*>(row + 4 * static_cast<size_t>(x));
      _mm512_storeu_si512(pixels, _mm512_adds_epu8(_mm512_loadu_si512(pixels), _mm512_shuffle_epi8(bytes, interleave)));
    }
  });
}
#pragma GCC diagnostic pop
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

TZRNSplatCode TZRNSoftLayer::Fastest() {
  static const TZRNSplatCode fastest = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                                               __builtin_cpu_supports("fma")
                                           ? TZRNSplatCode::Avx512
                                       : __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")
                                           ? TZRNSplatCode::Avx2
                                           : TZRNSplatCode::Plain;
  return fastest;
}

TZRNSoftLayer::TZRNSoftLayer() : Code(Fastest()) {}

void TZRNSoftLayer::Resize(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == LayerWidth && height == LayerHeight) return;
  LayerWidth = width;
  LayerHeight = height;
  RowStride = width + 16;
  Pixels.assign(static_cast<size_t>(RowStride) * static_cast<size_t>(height) * 4, 0);
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

const uint8_t* TZRNSoftLayer::Row(int32_t y) const { return Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(RowStride) * 4; }

void TZRNSoftLayer::DrawBand(int32_t index, int32_t count, const TZRNSoftLayer* enlarged, int32_t enlargedFirst,
                             int32_t enlargedEnd) {
  const TBand band{Pixels.data(), static_cast<size_t>(RowStride) * 4, index, count, RunOfRows};
  for (int32_t y = ShownFirst; y < ShownEnd; ++y)
    if (band.Owns(y)) std::memset(band.Row(y), 0, band.RowBytes);
  for (const TZRNSplat& s : Queued) {
    switch (Code) {
      case TZRNSplatCode::Avx512: SplatWidest(s, band); break;
      case TZRNSplatCode::Avx2: SplatWide(s, band); break;
      case TZRNSplatCode::Plain: SplatPlain(s, band); break;
    }
  }
  for (int32_t y = enlargedFirst; y < enlargedEnd; ++y)
    if (band.Owns(y)) ZRNAddEnlargedRow(*enlarged, y, band.Row(y), LayerWidth, Code != TZRNSplatCode::Plain);
}

void TZRNSoftLayer::Resolve(TZRNCoreTeam& team, int32_t& firstRow, int32_t& endRow, const TZRNSoftLayer* enlarged) {
  firstRow = endRow = 0;
  // An enlarged row reaches one row beyond the two it stands for.
  int32_t enlargedFirst = 0, enlargedEnd = 0;
  if (enlarged && enlarged->Width() == (LayerWidth + 1) / 2 && enlarged->Height() == (LayerHeight + 1) / 2 &&
      enlarged->ShownFirst < enlarged->ShownEnd) {
    enlargedFirst = std::clamp(2 * enlarged->ShownFirst - 1, 0, LayerHeight);
    enlargedEnd = std::clamp(2 * enlarged->ShownEnd + 1, 0, LayerHeight);
    DirtyFirst = DirtyFirst < DirtyEnd ? std::min(DirtyFirst, enlargedFirst) : enlargedFirst;
    DirtyEnd = std::max(DirtyEnd, enlargedEnd);
  }
  const bool dirty = DirtyFirst < DirtyEnd, shown = ShownFirst < ShownEnd;
  if (!dirty && !shown) return;
  const int32_t first = !dirty ? ShownFirst : !shown ? DirtyFirst : std::min(DirtyFirst, ShownFirst);
  const int32_t end = !dirty ? ShownEnd : !shown ? DirtyEnd : std::max(DirtyEnd, ShownEnd);
  const int32_t bands = std::clamp((end - first) / RunOfRows, 1, team.Size());
  team.Run(bands, [=, this](int32_t band) { DrawBand(band, bands, enlarged, enlargedFirst, enlargedEnd); });
  Queued.clear();
  ShownFirst = DirtyFirst;
  ShownEnd = DirtyEnd;
  DirtyFirst = DirtyEnd = 0;
  firstRow = first;
  endRow = end;
}
