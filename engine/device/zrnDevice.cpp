#include "engine/device/zrnDevice.h"

#include "engine/assets/zrnTexture.h"
#include "engine/core/zrnMath.h"
#include "engine/device/zrnOpenGL.h"

TZRNDevice::TZRNDevice() {
  Construct([](TZRNDevice& device) { return std::make_unique<TZRNOpenGLRenderer>(device); });
}

TZRNDevice::TZRNDevice(const TZRNRendererFactory& factory) { Construct(factory); }

void TZRNDevice::Construct(const TZRNRendererFactory& factory) {
  Display = std::make_unique<TZRNDisplay>();
  Renderer = factory(*this);
  for (TZRNMatrix* m : {&View, &World, &Projection}) {
    m->OnChange = [this](TZRNMatrix& changed) { MatrixChanged(changed); };
  }
}

TZRNDevice::~TZRNDevice() {
  if (Renderer) Renderer->Close();
  Renderer.reset();
}

void TZRNDevice::Initialize(const std::string& title, int32_t width, int32_t height, bool fullscreen) {
  ZRN_ASSERT(width > 0, "Width must be larger then 0", "zrnDevice");
  ZRN_ASSERT(height > 0, "Height must be larger then 0", "zrnDevice");
  Display->Width = width;
  Display->Height = height;
  Display->Depth = 24;
  Display->Fullscreen = fullscreen;
  Projection.Matrix = MatrixOrtho(0, static_cast<float>(width), static_cast<float>(height), 0, -1000, 1000);
  TZRNDisplayMode mode;
  mode.Width = Display->Width;
  mode.Height = Display->Height;
  mode.Depth = Display->Depth;
  mode.Fullscreen = Display->Fullscreen;
  Renderer->Open(title, mode);
  SetViewport(0, 0, width, height);
  SetProjection(Projection.Matrix);
  RenderStates[rsBlend] = rvBlendNone;
  RenderStates[rsDepthTest] = rvDepthTestOn;
  RenderStates[rsDepthMask] = rvDepthMaskOn;
  RenderStates[rsFillMode] = rvFillSolid;
}

void TZRNDevice::Clear() { Renderer->Clear(); }
void TZRNDevice::Flip() { Renderer->Flip(); }
std::unique_ptr<TZRNTexture> TZRNDevice::CreateTexture() {
  std::unique_ptr<TZRNTexture> texture = Renderer->CreateTexture();
  texture->ID = NextTextureID++;
  return texture;
}
void TZRNDevice::SetViewport(int32_t x, int32_t y, int32_t w, int32_t h) { Renderer->SetViewport(x, y, w, h); }
void TZRNDevice::SetViewMatrix(const TMatrix4f& m) { Renderer->SetViewMatrix(m); }
void TZRNDevice::SetProjection(const TMatrix4f& m) { Renderer->SetProjectionMatrix(m); }

TZRNTexture* TZRNDevice::SetTexture(TZRNTexture* texture, uint16_t stage) {
  TZRNTexture* previous = Textures[stage];
  if (texture == previous) return previous;
  Renderer->SetTexture(texture, stage);
  Textures[stage] = texture;
  return previous;
}

TZRNRenderValue TZRNDevice::SetRenderState(TZRNRenderState state, TZRNRenderValue value) {
  const TZRNRenderValue previous = RenderStates[state];
  if (value == previous) return previous;
  switch (state) {
    case rsBlend: Renderer->SetBlendMode(previous, value); break;
    case rsDepthTest: Renderer->SetDepthTest(previous, value); break;
    case rsDepthMask: Renderer->SetDepthMask(previous, value); break;
    case rsFillMode: Renderer->SetFillMode(previous, value); break;
  }
  RenderStates[state] = value;
  return previous;
}

void TZRNDevice::SetLineWidth(float width) {
  if (width == LineWidth) return;
  Renderer->SetLineWidth(width);
  LineWidth = width;
}

void TZRNDevice::DrawPrimitives(TZRNPrimitive primitive, const TZRNVertexList& vertices) {
  Renderer->DrawPrimitives(primitive, vertices.List, vertices.Count);
}

void TZRNDevice::BeginGlowLayer() { Renderer->BeginGlowLayer(); }
void TZRNDevice::EndGlowLayer() { Renderer->EndGlowLayer(); }

int32_t TZRNDevice::Width() { return Renderer->GetWidth(); }
int32_t TZRNDevice::Height() { return Renderer->GetHeight(); }

void TZRNDevice::MatrixChanged(TZRNMatrix& matrix) {
  if (&matrix == &View) Renderer->SetViewMatrix(matrix.Matrix);
  else if (&matrix == &World) Renderer->SetWorldMatrix(matrix.Matrix);
  else if (&matrix == &Projection) Renderer->SetProjectionMatrix(matrix.Matrix);
}
