#include "engine/device/zrnSoftEnlarge.h"

#include <immintrin.h>

#include <algorithm>

namespace {
// Pixels 2 i and 2 i + 1 of the enlarged row from half-size pixel i, the half-size rows' blend
// being 3 near + far.
void EnlargePlain(const uint8_t* near, const uint8_t* far, int32_t halfWidth, int32_t from, int32_t to, uint8_t* row,
                  int32_t width) {
  auto blend = [&](int32_t i, int32_t c) {
    const int32_t at = 4 * std::clamp(i, 0, halfWidth - 1) + c;
    return 3 * near[at] + far[at];
  };
  for (int32_t i = from; i < to; ++i)
    for (int32_t c = 0; c < 4; ++c) {
      const int32_t middle = 3 * blend(i, c);
      for (const auto& [x, side] : {std::pair{2 * i, i - 1}, std::pair{2 * i + 1, i + 1}}) {
        if (x >= width) continue;
        uint8_t& out = row[4 * x + c];
        out = static_cast<uint8_t>(std::min(out + (middle + blend(side, c) + 8) / 16, 255));
      }
    }
}

// Four half-size pixels, as sixteen 16-bit channels, blended across the two rows.
__attribute__((target("avx2"))) __m256i Blend(const uint8_t* near, const uint8_t* far, int32_t i) {
  const __m256i n = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(near + 4 * i)));
  const __m256i f = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(far + 4 * i)));
  return _mm256_add_epi16(_mm256_add_epi16(n, _mm256_slli_epi16(n, 1)), f);
}

// Four half-size pixels at a time, [1, halfWidth - 5]: their neighbours on both sides are read.
__attribute__((target("avx2"))) int32_t EnlargeWide(const uint8_t* near, const uint8_t* far, int32_t halfWidth,
                                                    uint8_t* row) {
  const __m256i round = _mm256_set1_epi16(8);
  int32_t i = 1;
  for (; i + 5 <= halfWidth; i += 4) {
    const __m256i middle = Blend(near, far, i), left = Blend(near, far, i - 1), right = Blend(near, far, i + 1);
    const __m256i thrice = _mm256_add_epi16(middle, _mm256_slli_epi16(middle, 1));
    const __m256i even = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(thrice, left), round), 4);
    const __m256i odd = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(thrice, right), round), 4);
    // Each 128-bit half holds two pixels of each; pairing 64-bit pixels and packing puts the
    // eight enlarged pixels in order.
    const __m256i bytes = _mm256_packus_epi16(_mm256_unpacklo_epi64(even, odd), _mm256_unpackhi_epi64(even, odd));
    auto* out = reinterpret_cast<__m256i*>(row + 8 * static_cast<size_t>(i));
    _mm256_storeu_si256(out, _mm256_adds_epu8(_mm256_loadu_si256(out), bytes));
  }
  return i;
}
}  // namespace

void ZRNAddEnlargedRow(const TZRNSoftLayer& half, int32_t y, uint8_t* row, int32_t width, bool vectorized) {
  const int32_t halfWidth = half.Width(), halfHeight = half.Height();
  if (halfWidth <= 0 || halfHeight <= 0) return;
  // Even rows lie a quarter of a half-size pixel before the middle of theirs and blend with the
  // row before; odd ones lie after it and blend with the row after.
  const int32_t j = std::min(y / 2, halfHeight - 1), other = std::clamp(y % 2 ? j + 1 : j - 1, 0, halfHeight - 1);
  const uint8_t *near = half.Row(j), *far = half.Row(other);
  int32_t from = 0;
  if (vectorized) {
    EnlargePlain(near, far, halfWidth, 0, 1, row, width);
    from = EnlargeWide(near, far, halfWidth, row);
  }
  EnlargePlain(near, far, halfWidth, from, halfWidth, row, width);
}
