#pragma once
// A renderer without a window that records every call; tests and benchmarks draw against it.
#include <memory>
#include <string>
#include <vector>

#include "engine/assets/zrnTexture.h"
#include "engine/device/zrnDevice.h"

enum class TZRNCallKind {
  Open, Close, Reopen, SetTitle, Clear, Flip, CreateTexture, CreateRenderTarget,
  SetViewport, SetViewMatrix, SetWorldMatrix, SetProjectionMatrix,
  SetBlendMode, SetDepthTest, SetFillMode, SetDepthMask,
  SetTexture, SetRenderTarget, DrawPrimitives, SetLineWidth,
};

struct TZRNRecordedCall {
  TZRNCallKind Kind = TZRNCallKind::Clear;
  int32_t A = 0, B = 0, C = 0, D = 0;  // viewport; old/new state values; stage in A
  TZRNTexture* Texture = nullptr;
  TZRNPrimitive Primitive = ptPoints;
  int32_t Count = 0;
  std::vector<TVertex> Vertices;  // only while KeepVertices
  TMatrix4f Matrix = IdentityMatrix;
  std::string Text;
};

// Texture whose GPU side is a pair of counters; Build checks like the OpenGL one.
class TZRNRecordingTexture : public TZRNTexture {
 public:
  ~TZRNRecordingTexture() override { Unload(); }
  void Build() override;
  void Unload() override;
  void Bind(int32_t unit) override { LastBoundUnit = unit; }
  int32_t Builds = 0;
  int32_t Unloads = 0;
  bool OnGpu = false;
  int32_t LastBoundUnit = -1;
};

class TZRNRecordingRenderer : public IZRNRenderer {
 public:
  explicit TZRNRecordingRenderer(TZRNDevice* device = nullptr, int32_t modeWidth = 1024, int32_t modeHeight = 768);

  // A device wired to a fresh recording renderer; Recorder points at it.
  static std::unique_ptr<TZRNDevice> MakeDevice(TZRNRecordingRenderer** recorder, int32_t width = 800,
                                                int32_t height = 600);

  void Open(const std::string& title, const TZRNDisplayMode& mode) override;
  void Close() override;
  void Reopen(const TZRNDisplayMode& mode) override;
  void SetTitle(const std::string& title) override;
  int32_t GetWidth() override { return Width; }
  int32_t GetHeight() override { return Height; }
  void Clear() override;
  void Flip() override;
  std::unique_ptr<TZRNTexture> CreateTexture() override;
  std::unique_ptr<IZRNRenderTarget> CreateRenderTarget() override;
  void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) override;
  void SetViewMatrix(const TMatrix4f& m) override;
  void SetWorldMatrix(const TMatrix4f& m) override;
  void SetProjectionMatrix(const TMatrix4f& m) override;
  void SetBlendMode(TZRNRenderValue oldValue, TZRNRenderValue newValue) override;
  void SetDepthTest(TZRNRenderValue oldValue, TZRNRenderValue newValue) override;
  void SetFillMode(TZRNRenderValue oldValue, TZRNRenderValue newValue) override;
  void SetLineWidth(float width) override;  // A: the width in pixels
  void SetDepthMask(TZRNRenderValue oldValue, TZRNRenderValue newValue) override;
  void SetTexture(TZRNTexture* texture, uint16_t stage) override;
  void SetRenderTarget(IZRNRenderTarget* target) override;
  void DrawPrimitives(TZRNPrimitive primitive, const TVertex* vertices, int32_t count) override;

  // Calls of one kind, in order.
  std::vector<const TZRNRecordedCall*> CallsOf(TZRNCallKind kind) const;
  void Reset();

  std::vector<TZRNRecordedCall> Calls;
  bool Record = true;        // false: only the counters below move (benchmarks)
  bool KeepVertices = true;  // false: draws record their count only
  int64_t DrawCalls = 0;
  int64_t VerticesDrawn = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  bool Opened = false;
  std::string Title;

 private:
  void Push(TZRNCallKind kind, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0);
};
