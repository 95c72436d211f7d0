#pragma once
// The OpenGL side of textures and render targets; made only through the renderer's factories.
#include <cstdint>
#include <vector>

#include "engine/assets/zrnTexture.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnFaintTexels.h"
#include "engine/device/zrnSoftSplat.h"

// Set by the renderer once a window and its OpenGL context exist.
extern bool ZRNOpenGLLoaded;

class TZRNOpenGLTexture : public TZRNTexture {
 public:
  TZRNOpenGLTexture();
  ~TZRNOpenGLTexture() override;
  void Build() override;
  void Unload() override;
  void Bind(int32_t unit) override;
  // What each texel can add in additive blending; worked out from Data when first asked for.
  TZRNTexelWeights& Weights();
  // Its opacity, level by level, laid out for drawing on the CPU; empty unless the texture is
  // white, and a level that is not white stays unready.
  const std::vector<TZRNSplatTexture>& SplatLevels();

  uint32_t Handle = 0;

 private:
  bool WholeData() const;

  TZRNTexelWeights TexelWeights;
  std::vector<TZRNSplatTexture> Splat;
  bool SplatChecked = false;  // a texture that is not white stays unready: do not look again
};

class TZRNOpenGLRenderTarget : public IZRNRenderTarget {
 public:
  void Initialize() override;
  void Finalize() override;
  void Bind() override;

  uint32_t FrameBuffer = 0;
  uint32_t Texture = 0;
};
