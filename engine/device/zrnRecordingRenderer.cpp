#include "engine/device/zrnRecordingRenderer.h"

#include <cstdio>

namespace {
class TZRNRecordingRenderTarget : public IZRNRenderTarget {
 public:
  void Initialize() override {}
  void Finalize() override {}
  void Bind() override {}
};
}  // namespace

void TZRNRecordingRenderer::Push(TZRNCallKind kind, int32_t a, int32_t b, int32_t c, int32_t d) {
  TZRNRecordedCall call;
  call.Kind = kind;
  call.A = a;
  call.B = b;
  call.C = c;
  call.D = d;
  Calls.push_back(std::move(call));
}

void TZRNRecordingTexture::Build() {
  OnGpu = false;
  if (Format == pfNone) throw EZRNError("No texture format specified");
  if (!Data) throw EZRNError("No texture data");
  ++Builds;
  OnGpu = true;
}

void TZRNRecordingTexture::Unload() {
  if (OnGpu) ++Unloads;
  OnGpu = false;
}

TZRNRecordingRenderer::TZRNRecordingRenderer(TZRNDevice* device, int32_t modeWidth, int32_t modeHeight) {
  if (device) {
    device->Display->SetModeCount(1);
    TZRNDisplayMode& mode = device->Display->Modes[0];
    mode.Width = modeWidth;
    mode.Height = modeHeight;
    mode.Depth = 24;
    std::snprintf(mode.Name, sizeof(mode.Name), "%dx%dx%d", modeWidth, modeHeight, 24);
  }
}

std::unique_ptr<TZRNDevice> TZRNRecordingRenderer::MakeDevice(TZRNRecordingRenderer** recorder, int32_t width,
                                                              int32_t height) {
  TZRNRecordingRenderer* made = nullptr;
  auto device = std::make_unique<TZRNDevice>([&made](TZRNDevice& d) {
    auto r = std::make_unique<TZRNRecordingRenderer>(&d);
    made = r.get();
    return r;
  });
  device->Initialize("Test", width, height, false);
  made->Reset();
  if (recorder) *recorder = made;
  return device;
}

void TZRNRecordingRenderer::Open(const std::string& title, const TZRNDisplayMode& mode) {
  Width = mode.Width;
  Height = mode.Height;
  Title = title;
  Opened = true;
  if (!Record) return;
  Push(TZRNCallKind::Open, mode.Width, mode.Height, mode.Fullscreen ? 1 : 0);
  Calls.back().Text = title;
}

void TZRNRecordingRenderer::Close() {
  Opened = false;
  if (Record) Push(TZRNCallKind::Close);
}

void TZRNRecordingRenderer::Reopen(const TZRNDisplayMode& mode) {
  if (Record) Push(TZRNCallKind::Reopen, mode.Width, mode.Height);
}

void TZRNRecordingRenderer::SetTitle(const std::string& title) {
  Title = title;
  if (Record) {
    Push(TZRNCallKind::SetTitle);
    Calls.back().Text = title;
  }
}

void TZRNRecordingRenderer::Clear() {
  if (Record) Push(TZRNCallKind::Clear);
}

void TZRNRecordingRenderer::Flip() {
  if (Record) Push(TZRNCallKind::Flip);
}

std::unique_ptr<TZRNTexture> TZRNRecordingRenderer::CreateTexture() {
  if (Record) Push(TZRNCallKind::CreateTexture);
  return std::make_unique<TZRNRecordingTexture>();
}

std::unique_ptr<IZRNRenderTarget> TZRNRecordingRenderer::CreateRenderTarget() {
  if (Record) Push(TZRNCallKind::CreateRenderTarget);
  return std::make_unique<TZRNRecordingRenderTarget>();
}

void TZRNRecordingRenderer::SetViewport(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (Record) Push(TZRNCallKind::SetViewport, x, y, w, h);
}

void TZRNRecordingRenderer::SetViewMatrix(const TMatrix4f& m) {
  if (!Record) return;
  Push(TZRNCallKind::SetViewMatrix);
  Calls.back().Matrix = m;
}

void TZRNRecordingRenderer::SetWorldMatrix(const TMatrix4f& m) {
  if (!Record) return;
  Push(TZRNCallKind::SetWorldMatrix);
  Calls.back().Matrix = m;
}

void TZRNRecordingRenderer::SetProjectionMatrix(const TMatrix4f& m) {
  if (!Record) return;
  Push(TZRNCallKind::SetProjectionMatrix);
  Calls.back().Matrix = m;
}

void TZRNRecordingRenderer::SetBlendMode(TZRNRenderValue o, TZRNRenderValue n) {
  if (Record) Push(TZRNCallKind::SetBlendMode, o, n);
}

void TZRNRecordingRenderer::SetDepthTest(TZRNRenderValue o, TZRNRenderValue n) {
  if (Record) Push(TZRNCallKind::SetDepthTest, o, n);
}

void TZRNRecordingRenderer::SetLineWidth(float width) {
  if (Record) Push(TZRNCallKind::SetLineWidth, static_cast<int32_t>(width));
}

void TZRNRecordingRenderer::SetFillMode(TZRNRenderValue o, TZRNRenderValue n) {
  if (Record) Push(TZRNCallKind::SetFillMode, o, n);
}

void TZRNRecordingRenderer::SetDepthMask(TZRNRenderValue o, TZRNRenderValue n) {
  if (Record) Push(TZRNCallKind::SetDepthMask, o, n);
}

void TZRNRecordingRenderer::SetTexture(TZRNTexture* texture, uint16_t stage) {
  if (!Record) return;
  Push(TZRNCallKind::SetTexture, stage);
  Calls.back().Texture = texture;
}

void TZRNRecordingRenderer::SetRenderTarget(IZRNRenderTarget* /*target*/) {
  if (Record) Push(TZRNCallKind::SetRenderTarget);
}

void TZRNRecordingRenderer::DrawPrimitives(TZRNPrimitive primitive, const TVertex* vertices, int32_t count) {
  ++DrawCalls;
  VerticesDrawn += count;
  if (!Record) return;
  TZRNRecordedCall call;
  call.Kind = TZRNCallKind::DrawPrimitives;
  call.Primitive = primitive;
  call.Count = count;
  if (KeepVertices && count > 0) call.Vertices.assign(vertices, vertices + count);
  Calls.push_back(std::move(call));
}

std::vector<const TZRNRecordedCall*> TZRNRecordingRenderer::CallsOf(TZRNCallKind kind) const {
  std::vector<const TZRNRecordedCall*> out;
  for (const auto& c : Calls)
    if (c.Kind == kind) out.push_back(&c);
  return out;
}

void TZRNRecordingRenderer::Reset() {
  Calls.clear();
  DrawCalls = 0;
  VerticesDrawn = 0;
}
