#pragma once
// The application's handle on the screen: display description, renderer, state caches.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/zrnClasses.h"
#include "engine/core/zrnTypes.h"

class TZRNTexture;

struct TZRNDisplayMode {
  char Name[81] = {};
  int32_t Width = 0;
  int32_t Height = 0;
  int32_t Depth = 0;
  bool Fullscreen = false;
};

class TZRNDisplay {
 public:
  std::vector<TZRNDisplayMode> Modes;
  int32_t Width = 800;
  int32_t Height = 600;
  int32_t Depth = 24;
  bool Fullscreen = false;

  int32_t ModeCount() const { return static_cast<int32_t>(Modes.size()); }
  void SetModeCount(int32_t n) {
    if (n != ModeCount()) Modes.resize(static_cast<size_t>(n < 0 ? 0 : n));
  }
};

// Render state groups (index) and their values (high byte names the group).
enum TZRNRenderState : uint8_t { rsBlend = 0, rsDepthTest = 1, rsDepthMask = 2, rsFillMode = 3 };
using TZRNRenderValue = uint16_t;
inline constexpr TZRNRenderValue rvBlendNone = 256;
inline constexpr TZRNRenderValue rvBlendAlpha = 257;
inline constexpr TZRNRenderValue rvBlendAdditive = 258;
inline constexpr TZRNRenderValue rvBlendMultiply = 259;
inline constexpr TZRNRenderValue rvFillSolid = 512;
inline constexpr TZRNRenderValue rvFillWireframe = 513;
inline constexpr TZRNRenderValue rvDepthTestOn = 768;
inline constexpr TZRNRenderValue rvDepthTestOff = 769;
inline constexpr TZRNRenderValue rvDepthMaskOn = 1024;
inline constexpr TZRNRenderValue rvDepthMaskOff = 1025;

enum TZRNPrimitive : uint8_t { ptPoints, ptLines, ptTriangles, ptQuads, ptPolygon };

class IZRNRenderTarget {
 public:
  virtual ~IZRNRenderTarget() = default;
  virtual void Initialize() = 0;
  virtual void Finalize() = 0;
  virtual void Bind() = 0;
};

class IZRNRenderer {
 public:
  virtual ~IZRNRenderer() = default;
  virtual void Open(const std::string& title, const TZRNDisplayMode& mode) = 0;
  virtual void Close() = 0;
  virtual void Reopen(const TZRNDisplayMode& mode) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual int32_t GetWidth() = 0;
  virtual int32_t GetHeight() = 0;
  virtual void Clear() = 0;
  virtual void Flip() = 0;
  virtual std::unique_ptr<TZRNTexture> CreateTexture() = 0;
  virtual std::unique_ptr<IZRNRenderTarget> CreateRenderTarget() = 0;
  virtual void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) = 0;
  virtual void SetViewMatrix(const TMatrix4f& m) = 0;
  virtual void SetWorldMatrix(const TMatrix4f& m) = 0;
  virtual void SetProjectionMatrix(const TMatrix4f& m) = 0;
  virtual void SetBlendMode(TZRNRenderValue oldValue, TZRNRenderValue newValue) = 0;
  virtual void SetDepthTest(TZRNRenderValue oldValue, TZRNRenderValue newValue) = 0;
  virtual void SetFillMode(TZRNRenderValue oldValue, TZRNRenderValue newValue) = 0;
  virtual void SetDepthMask(TZRNRenderValue oldValue, TZRNRenderValue newValue) = 0;
  virtual void SetTexture(TZRNTexture* texture, uint16_t stage) = 0;
  virtual void SetRenderTarget(IZRNRenderTarget* target) = 0;
  virtual void DrawPrimitives(TZRNPrimitive primitive, const TVertex* vertices, int32_t count) = 0;
  virtual void SetLineWidth(float width) = 0;
  // Additive sprites drawn between these calls may be gathered on a layer of lower resolution
  // and added to the picture at the end, where filling them at full size is too slow.
  virtual void BeginGlowLayer() {}
  virtual void EndGlowLayer() {}
};

class TZRNDevice;
using TZRNRendererFactory = std::function<std::unique_ptr<IZRNRenderer>(TZRNDevice&)>;

class TZRNDevice {
 public:
  // The built-in OpenGL renderer.
  TZRNDevice();
  // Tests and benchmarks inject a renderer (for example the recording one).
  explicit TZRNDevice(const TZRNRendererFactory& factory);
  ~TZRNDevice();
  TZRNDevice(const TZRNDevice&) = delete;
  TZRNDevice& operator=(const TZRNDevice&) = delete;

  void Initialize(const std::string& title, int32_t width, int32_t height, bool fullscreen);
  void Clear();
  void Flip();
  // Numbers the texture: 1 for the device's first, then in creation order.
  std::unique_ptr<TZRNTexture> CreateTexture();
  void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height);
  void SetViewMatrix(const TMatrix4f& m);
  void SetProjection(const TMatrix4f& m);
  TZRNTexture* SetTexture(TZRNTexture* texture, uint16_t stage);
  TZRNRenderValue SetRenderState(TZRNRenderState state, TZRNRenderValue value);
  // Width in pixels of the lines drawn from now on; unchanged widths never reach the renderer.
  void SetLineWidth(float width);
  void DrawPrimitives(TZRNPrimitive primitive, const TZRNVertexList& vertices);
  void BeginGlowLayer();
  void EndGlowLayer();
  int32_t Width();
  int32_t Height();

  std::unique_ptr<TZRNDisplay> Display;
  std::unique_ptr<IZRNRenderer> Renderer;
  TZRNMatrix View, World, Projection;
  TZRNTexture* Textures[8] = {};
  TZRNRenderValue RenderStates[4] = {rvBlendNone, rvDepthTestOn, rvDepthMaskOn, rvFillSolid};
  float LineWidth = 1.0f;

 private:
  void Construct(const TZRNRendererFactory& factory);
  void MatrixChanged(TZRNMatrix& matrix);

  int32_t NextTextureID = 1;
};
