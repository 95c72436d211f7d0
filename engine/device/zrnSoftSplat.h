#pragma once
// Additive sprites of a white texture drawn on the CPU. A software OpenGL rasterizer runs its
// whole fragment pipeline for every pixel of every soft glow; with only opacity varying, a
// sprite's pixel is one bilinear read and four saturating adds, which vector code does several
// times faster and across every core.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/assets/zrnTexture.h"
#include "engine/core/zrnCoreTeam.h"
#include "engine/core/zrnTypes.h"

// The opacity of a texture whose texels are all white, laid out for bilinear reads: each entry
// holds the 2 x 2 texels a linear filter reads from there (low byte: the texel; then its
// right-hand neighbour, the one above it and the one above and to the right), with a border of
// clamped edge texels all round.
class TZRNSplatTexture {
 public:
  // False, and not ready, unless the texture is white wherever it is not transparent.
  bool Build(const uint8_t* pixels, int32_t width, int32_t height, TZRNPixelFormat format);
  void Clear();
  bool Ready() const { return Width > 0; }
  int32_t TextureWidth() const { return Width; }
  int32_t TextureHeight() const { return Height; }
  int32_t Stride() const { return Width + 2; }
  const uint32_t* Blocks() const { return BlockData.data(); }

 private:
  int32_t Width = 0, Height = 0;
  std::vector<uint32_t> BlockData;  // Height + 2 rows of Width + 2
};

// One quad on the layer: the affine map from pixel centres to texels and what it adds.
struct TZRNSplat {
  float U0 = 0, V0 = 0;  // texel coordinates at pixel position (0, 0)
  float DuDx = 0, DuDy = 0, DvDx = 0, DvDy = 0;
  float UMin = 0, UMax = 0, VMin = 0, VMax = 0;  // the texels the quad shows
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;        // pixels it may touch, [X1, X2) x [Y1, Y2)
  float Red = 0, Green = 0, Blue = 0;  // 8-bit steps added per unit of texel opacity (0..255)
  float AlphaSquared = 0;              // likewise for the alpha channel, per squared opacity
  const TZRNSplatTexture* Texture = nullptr;
};

// Works out how a quad (four vertices) lands on a width x height picture, given the affine map
// from positions to pixels (x' = m[0] x + m[1] y + m[2] z + m[3], y' = m[4] x + ... + m[7]) and
// the texture's levels: with one, the quad reads it; with more, the level nearest its scale,
// as the linear filter between the nearest mipmap level's texels picks it. Only a parallelogram
// of one colour showing an upright rectangle of texels within the texture can be drawn this
// way: false for anything else. empty is set when it draws nothing on the picture.
bool ZRNSplatOf(const TVertex* quad, const float* toPixels, int32_t width, int32_t height,
                std::span<const TZRNSplatTexture> levels, TZRNSplat& splat, bool& empty);

// The code that draws: plain C++, or vector code for processors with AVX2 and FMA or with AVX-512.
enum class TZRNSplatCode { Plain, Avx2, Avx512 };

// An 8-bit RGBA picture that queued splats are added to as blending with (source alpha, one)
// adds them: each splat's share rounded to whole steps, each sum saturating at 255.
class TZRNSoftLayer {
 public:
  TZRNSoftLayer();
  // The fastest this processor runs; any it runs draws the same, to within rounding.
  static TZRNSplatCode Fastest();
  TZRNSplatCode Code;

  void Resize(int32_t width, int32_t height);
  int32_t Width() const { return LayerWidth; }
  int32_t Height() const { return LayerHeight; }
  void Add(const TZRNSplat& splat);
  bool Empty() const { return Queued.empty(); }
  // Clears what the last call drew and draws the queued splats, on the team's threads, then adds
  // the enlargement of what enlarged (half the size, rounded up) drew at its last call. Rows
  // [firstRow, endRow), bottom row first, are then every row that holds something now or held
  // something before; they stay as they are until the next call.
  void Resolve(TZRNCoreTeam& team, int32_t& firstRow, int32_t& endRow, const TZRNSoftLayer* enlarged = nullptr);
  const uint8_t* Row(int32_t y) const;
  int32_t RowPixels() const { return RowStride; }

 private:
  // Rows are dealt to the threads in runs of this many, so that each gets its share of a cluster.
  static constexpr int32_t RunOfRows = 8;
  void DrawBand(int32_t band, int32_t bands, const TZRNSoftLayer* enlarged, int32_t enlargedFirst, int32_t enlargedEnd);

  int32_t LayerWidth = 0, LayerHeight = 0, RowStride = 0;
  std::vector<uint8_t> Pixels;  // RowStride pixels a row: vector stores may run past the last
  std::vector<TZRNSplat> Queued;
  int32_t DirtyFirst = 0, DirtyEnd = 0;  // rows the queued splats touch
  int32_t ShownFirst = 0, ShownEnd = 0;  // rows the last Resolve drew something on
};
