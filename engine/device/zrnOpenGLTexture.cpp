// Placeholder until the OpenGL texture code lands.
#include "engine/device/zrnOpenGLTexture.h"

bool ZRNOpenGLLoaded = false;

TZRNOpenGLTexture::TZRNOpenGLTexture() = default;
TZRNOpenGLTexture::~TZRNOpenGLTexture() { Unload(); }
void TZRNOpenGLTexture::Build() {}
void TZRNOpenGLTexture::Unload() {}
void TZRNOpenGLTexture::Bind(int32_t) {}
void TZRNOpenGLRenderTarget::Initialize() {}
void TZRNOpenGLRenderTarget::Finalize() {}
void TZRNOpenGLRenderTarget::Bind() {}
