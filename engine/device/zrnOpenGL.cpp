// Placeholder until the OpenGL renderer lands: every device construction fails cleanly.
#include "engine/device/zrnOpenGL.h"

#include "engine/assets/zrnTexture.h"

TZRNOpenGLWindow::TZRNOpenGLWindow(TZRNOpenGLRenderer* renderer) : Renderer(renderer) {}
TZRNOpenGLWindow::~TZRNOpenGLWindow() = default;
void TZRNOpenGLWindow::Resize(int32_t, int32_t) {}
void TZRNOpenGLWindow::CenterWindow() {}

TZRNOpenGLRenderer::TZRNOpenGLRenderer(TZRNDevice& device) : Device(&device) {
  throw EZRNError("Failed to initialize glfw.");
}
TZRNOpenGLRenderer::~TZRNOpenGLRenderer() = default;
void TZRNOpenGLRenderer::Open(const std::string&, const TZRNDisplayMode&) {}
void TZRNOpenGLRenderer::Close() {}
void TZRNOpenGLRenderer::Reopen(const TZRNDisplayMode&) {}
void TZRNOpenGLRenderer::SetTitle(const std::string&) {}
int32_t TZRNOpenGLRenderer::GetWidth() { return 0; }
int32_t TZRNOpenGLRenderer::GetHeight() { return 0; }
void TZRNOpenGLRenderer::Clear() {}
void TZRNOpenGLRenderer::Flip() {}
std::unique_ptr<TZRNTexture> TZRNOpenGLRenderer::CreateTexture() { return nullptr; }
std::unique_ptr<IZRNRenderTarget> TZRNOpenGLRenderer::CreateRenderTarget() { return nullptr; }
void TZRNOpenGLRenderer::SetViewport(int32_t, int32_t, int32_t, int32_t) {}
void TZRNOpenGLRenderer::SetViewMatrix(const TMatrix4f&) {}
void TZRNOpenGLRenderer::SetWorldMatrix(const TMatrix4f&) {}
void TZRNOpenGLRenderer::SetProjectionMatrix(const TMatrix4f&) {}
void TZRNOpenGLRenderer::SetBlendMode(TZRNRenderValue, TZRNRenderValue) {}
void TZRNOpenGLRenderer::SetDepthTest(TZRNRenderValue, TZRNRenderValue) {}
void TZRNOpenGLRenderer::SetFillMode(TZRNRenderValue, TZRNRenderValue) {}
void TZRNOpenGLRenderer::SetDepthMask(TZRNRenderValue, TZRNRenderValue) {}
void TZRNOpenGLRenderer::SetTexture(TZRNTexture*, uint16_t) {}
void TZRNOpenGLRenderer::SetRenderTarget(IZRNRenderTarget*) {}
void TZRNOpenGLRenderer::DrawPrimitives(TZRNPrimitive, const TVertex*, int32_t) {}
