#pragma once
// OpenGL 1.x fixed-function renderer on a GLFW window; the window callbacks feed the event queue.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/device/zrnDevice.h"
#include "engine/device/zrnGlfwLayer.h"
#include "engine/device/zrnGlowLayer.h"
#include "engine/device/zrnSoftPicture.h"
#include "engine/device/zrnOpenGLTexture.h"

struct GLFWwindow;

// Size of the primary monitor's current video mode; false (sizes untouched) when there is none.
// Needs an initialised windowing library, i.e. a created device.
bool ZRNPrimaryScreenSize(int32_t& width, int32_t& height);
// The primary monitor's content scale (on X11 it follows Xft.dpi / 96); 1 when unknown.
float ZRNPrimaryContentScale();
// X11 window id of the open renderer window, 0 when there is none.
uintptr_t ZRNNativeWindowHandle();
// Hands the captured pointer back to the desktop (false) or takes it again while the window has
// the focus (true). The frame loop does not run while a dialog of another program blocks it, so
// the focus callback alone would leave the pointer hidden and grabbed over that dialog.
void ZRNSetPointerCaptured(bool captured);
// Brings the player's window to the front and gives it the focus.
void ZRNRaiseWindow();

class TZRNOpenGLRenderer;

class TZRNOpenGLWindow {
 public:
  explicit TZRNOpenGLWindow(TZRNOpenGLRenderer* renderer);
  void Resize(int32_t width, int32_t height);
  void CenterWindow();

  TZRNOpenGLRenderer* Renderer;
  int32_t Width = 0;
  int32_t Height = 0;
};

class TZRNOpenGLRenderer : public IZRNRenderer {
 public:
  explicit TZRNOpenGLRenderer(TZRNDevice& device);
  ~TZRNOpenGLRenderer() override;

  void Open(const std::string& title, const TZRNDisplayMode& mode) override;
  void Close() override;
  void Reopen(const TZRNDisplayMode& mode) override;
  void SetTitle(const std::string& title) override;
  int32_t GetWidth() override;
  int32_t GetHeight() override;
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
  void SetLineWidth(float width) override;
  void SetDepthMask(TZRNRenderValue oldValue, TZRNRenderValue newValue) override;
  void SetTexture(TZRNTexture* texture, uint16_t stage) override;
  void SetRenderTarget(IZRNRenderTarget* target) override;
  void DrawPrimitives(TZRNPrimitive primitive, const TVertex* vertices, int32_t count) override;
  void BeginGlowLayer() override;
  void EndGlowLayer() override;

  // The window's callbacks turn into events of the process queue through this translation.
  TZRNGlfwEventTranslator Input;
  TZRNDevice* Device;
  std::unique_ptr<TZRNOpenGLWindow> Window;
  bool Opened = false;
  TMatrix4f Projection = IdentityMatrix;
  TMatrix4f View = IdentityMatrix;
  TMatrix4f World = IdentityMatrix;

  GLFWwindow* Handle = nullptr;
  bool CaptureCursor = false;  // full screen: the window owns the pointer while it has the focus
  // Additive sprites between BeginGlowLayer and EndGlowLayer go through the layers: chosen when the
  // window opens, on for software rasterizers; SONAVARIUM_GLOW_LAYER=half, opengl or full decides
  // instead. SplatOnCpu: the CPU draws the white ones (off with opengl).
  bool UseGlowLayer = false;
  bool SplatOnCpu = true;

 private:
  void CreateNativeWindow(const std::string& title, const TZRNDisplayMode& mode);
  void DestroyNativeWindow();
  void InstallCallbacks();
  void LoadModelView();
  void PaceFrame();
  void DrawArrays(TZRNPrimitive primitive, const TVertex* vertices, int32_t count);
  void DrawTextured(TZRNPrimitive primitive, const TVertex* vertices, int32_t count);
  void DrawOnGlowLayer(const TVertex* vertices, int32_t count);
  // Adds everything the layers hold to the window's picture.
  void ComposeLayers();

  std::string Title;
  TZRNOpenGLTexture* BoundTexture = nullptr;
  std::vector<TVertex> Seen, Trimmed, Magnified, Rest, Glowing, Unsplatted, Sharp;  // reused by every draw
  TZRNGlowLayer Glow;
  TZRNSoftPicture Soft;  // what the CPU draws: the glows at half size, the rest at full size
  bool GlowActive = false;
  std::chrono::steady_clock::duration FramePeriod{};
  std::chrono::steady_clock::time_point NextFrame{};
};
