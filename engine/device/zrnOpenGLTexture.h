#pragma once
// The OpenGL side of textures and render targets; made only through the renderer's factories.
#include <cstdint>

#include "engine/assets/zrnTexture.h"
#include "engine/device/zrnDevice.h"
#include "engine/device/zrnFaintTexels.h"

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

  uint32_t Handle = 0;

 private:
  TZRNTexelWeights TexelWeights;
};

class TZRNOpenGLRenderTarget : public IZRNRenderTarget {
 public:
  void Initialize() override;
  void Finalize() override;
  void Bind() override;

  uint32_t FrameBuffer = 0;
  uint32_t Texture = 0;
};
