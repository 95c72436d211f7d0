#pragma once
// In additive blending a texel adds its colour times its opacity, each scaled by the vertex's, to
// the picture; below half a step of the 8-bit picture that rounds to nothing. Soft sprites fade
// out well inside their cells and fading particles are faint all over, so trimming each quad to
// the texels that can still add something spares a software rasterizer most of its filling.
#include <array>
#include <cstdint>
#include <vector>

#include "engine/assets/zrnTexture.h"
#include "engine/core/zrnTypes.h"

// A rectangle of texels, [X1, X2) x [Y1, Y2); empty when X1 >= X2 or Y1 >= Y2.
struct TZRNTexelRect {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool Empty() const { return X1 >= X2 || Y1 >= Y2; }
  bool operator==(const TZRNTexelRect&) const = default;
};

// What each texel of a texture can add: its largest colour channel times its opacity, 0..255
// (rounded up), as fixed-function modulation hands it to the blending.
class TZRNTexelWeights {
 public:
  void Build(const uint8_t* pixels, int32_t width, int32_t height, TZRNPixelFormat format);
  void Clear();
  bool Ready() const { return Width > 0 && Height > 0; }
  int32_t TextureWidth() const { return Width; }
  int32_t TextureHeight() const { return Height; }
  // The smallest rectangle of cell outside which every texel weighs less than level (1..255).
  TZRNTexelRect Reach(const TZRNTexelRect& cell, int32_t level);

 private:
  struct TCellReach {
    TZRNTexelRect Cell;
    std::array<TZRNTexelRect, 256> AtLeast;  // by level
  };
  const TCellReach& ReachOf(const TZRNTexelRect& cell);

  int32_t Width = 0, Height = 0;
  std::vector<uint8_t> Weights;
  std::vector<TCellReach> Cells;  // the cells quads have shown, worked out once each
};

// Copies quads (four vertices each) to kept, each trimmed to the part of its texture that can add
// something at its colour, or left out when no part can. Only a parallelogram of one colour that
// shows an upright rectangle of texels can be trimmed, since any part of it samples just as the
// whole did; other quads are copied as they are. A trailing partial quad is copied too.
void ZRNTrimFaintQuads(const TVertex* vertices, int32_t count, TZRNTexelWeights& weights, std::vector<TVertex>& kept);
