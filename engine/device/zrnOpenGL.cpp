#include "engine/device/zrnOpenGL.h"

#include <epoxy/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <thread>

#include "engine/assets/zrnTexture.h"
#include "engine/core/zrnMath.h"
#include "engine/device/zrnGlfwLayer.h"
#include "engine/device/zrnMagnifiedQuads.h"
#include "engine/device/zrnUnseenQuads.h"

namespace {
// The window the pointer and native-handle calls act on: the last one opened.
GLFWwindow* CurrentHandle = nullptr;

constexpr int MaxModes = 512;
constexpr int DefaultRefreshRate = 60;

void ReportGlfwError(int code, const char* description) {
  std::fprintf(stderr, "GLFW error %d: %s\n", code, description ? description : "");
}

const GLFWvidmode* PrimaryVideoMode() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  return monitor ? glfwGetVideoMode(monitor) : nullptr;
}

GLenum PrimitiveMode(TZRNPrimitive primitive) {
  switch (primitive) {
    case ptPoints: return GL_POINTS;
    case ptLines: return GL_LINES;
    case ptTriangles: return GL_TRIANGLES;
    case ptQuads: return GL_QUADS;
    case ptPolygon: return GL_POLYGON;
  }
  return GL_POINTS;
}

TZRNOpenGLRenderer& RendererOf(GLFWwindow* window) {
  return *static_cast<TZRNOpenGLRenderer*>(glfwGetWindowUserPointer(window));
}

// out = a * b, 4 x 4 in OpenGL's column-major order.
void MultiplyColumnMajor(const float* a, const float* b, float* out) {
  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      out[column * 4 + row] = sum;
    }
}

bool SoftwareRasterizer() {
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer) return false;
  for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"})
    if (std::strstr(renderer, software)) return true;
  return false;
}

// Software rasterizers fill pixels on the CPU: the big soft sprites are worth a smaller layer.
bool WantGlowLayer(bool software) {
  if (const char* choice = std::getenv("SONAVARIUM_GLOW_LAYER"); choice && *choice) {
    if (std::strcmp(choice, "half") == 0 || std::strcmp(choice, "opengl") == 0) return true;
    if (std::strcmp(choice, "full") == 0) return false;
  }
  return software;
}

// A software rasterizer allocates its bins of primitives afresh every frame. By default the C
// library hands the freed memory back to the system at once, and a frame of many lines then
// spends most of its time faulting the same pages in again; kept, they are reused.
void KeepFreedMemoryForTheNextFrame() {
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
}

// Drawing the layer's sprites on the CPU is quicker than a software rasterizer's general path;
// SONAVARIUM_GLOW_LAYER=opengl keeps the layer but leaves all of its drawing to OpenGL.
bool WantSplatOnCpu() {
  const char* choice = std::getenv("SONAVARIUM_GLOW_LAYER");
  return !(choice && std::strcmp(choice, "opengl") == 0);
}

// ---- GLFW 3 callbacks: everything goes through the 2.x translation of the window's renderer ----
void OnWindowSize(GLFWwindow* window, int width, int height) {
  TZRNOpenGLRenderer& renderer = RendererOf(window);
  renderer.Input.WindowSize(width, height);
  renderer.Window->Resize(width, height);
}
void OnWindowClose(GLFWwindow* window) { RendererOf(window).Input.WindowClose(); }
void OnKey(GLFWwindow* window, int key, int, int action, int) { RendererOf(window).Input.Key(key, action); }
void OnChar(GLFWwindow* window, unsigned int codepoint) { RendererOf(window).Input.Char(codepoint); }
void OnMouseButton(GLFWwindow* window, int button, int action, int) {
  RendererOf(window).Input.MouseButton(button, action);
}
void OnCursorPos(GLFWwindow* window, double x, double y) { RendererOf(window).Input.CursorPos(x, y); }
void OnScroll(GLFWwindow* window, double x, double y) { RendererOf(window).Input.Scroll(x, y); }
void OnDrop(GLFWwindow* window, int count, const char** paths) { RendererOf(window).Input.Drop(count, paths); }

// Like 2.x, a full-screen window owns the pointer; hand it back while another program's
// window (a dialog) is in front.
void OnFocus(GLFWwindow* window, int focused) {
  if (!RendererOf(window).CaptureCursor) return;
  glfwSetInputMode(window, GLFW_CURSOR, focused ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
}
}  // namespace

bool ZRNPrimaryScreenSize(int32_t& width, int32_t& height) {
  const GLFWvidmode* mode = PrimaryVideoMode();
  if (!mode || mode->width <= 0 || mode->height <= 0) return false;
  width = mode->width;
  height = mode->height;
  return true;
}

float ZRNPrimaryContentScale() {
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  if (!monitor) return 1.0f;
  float x = 1.0f, y = 1.0f;
  glfwGetMonitorContentScale(monitor, &x, &y);
  return x;
}

uintptr_t ZRNNativeWindowHandle() {
  return CurrentHandle ? static_cast<uintptr_t>(glfwGetX11Window(CurrentHandle)) : 0;
}

void ZRNSetPointerCaptured(bool captured) {
  // Only a full-screen window captures the pointer.
  if (!CurrentHandle || !RendererOf(CurrentHandle).CaptureCursor) return;
  const bool focused = glfwGetWindowAttrib(CurrentHandle, GLFW_FOCUSED) == GLFW_TRUE;
  glfwSetInputMode(CurrentHandle, GLFW_CURSOR, captured && focused ? GLFW_CURSOR_DISABLED : GLFW_CURSOR_NORMAL);
  // Make the change reach the X server before the dialog starts.
  glfwPollEvents();
}

void ZRNRaiseWindow() {
  if (!CurrentHandle) return;
  glfwRestoreWindow(CurrentHandle);
  glfwFocusWindow(CurrentHandle);
}

// ---- window ----

TZRNOpenGLWindow::TZRNOpenGLWindow(TZRNOpenGLRenderer* renderer) : Renderer(renderer) {}

void TZRNOpenGLWindow::Resize(int32_t width, int32_t height) {
  const TMatrix4f projection =
      MatrixOrtho(0, static_cast<float>(width), static_cast<float>(height), 0, -1000, 1000);
  Renderer->SetViewport(0, 0, width, height);
  Renderer->SetProjectionMatrix(projection);
}

void TZRNOpenGLWindow::CenterWindow() {
  if (!Renderer->Handle) return;
  const GLFWvidmode* desktop = PrimaryVideoMode();
  if (desktop && desktop->width > 0 && desktop->height > 0) {
    glfwSetWindowPos(Renderer->Handle, (desktop->width - Width) / 2, (desktop->height - Height) / 2);
  } else {
    glfwSetWindowPos(Renderer->Handle, 0, 0);
  }
}

// ---- renderer ----

TZRNOpenGLRenderer::TZRNOpenGLRenderer(TZRNDevice& device) : Input(Events()), Device(&device) {
  Window = std::make_unique<TZRNOpenGLWindow>(this);
  glfwSetErrorCallback(ReportGlfwError);
  if (glfwInit() != GLFW_TRUE) throw EZRNError("Failed to initialize glfw.");
  Projection = View = World = IdentityMatrix;

  int count = 0;
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* modes = monitor ? glfwGetVideoModes(monitor, &count) : nullptr;
  if (!modes) count = 0;
  count = std::min(count, MaxModes);
  Device->Display->SetModeCount(count);
  for (int i = 0; i < count; ++i) {
    TZRNDisplayMode& m = Device->Display->Modes[static_cast<size_t>(i)];
    m.Width = modes[i].width;
    m.Height = modes[i].height;
    m.Depth = modes[i].redBits + modes[i].greenBits + modes[i].blueBits;
    m.Fullscreen = false;
    std::snprintf(m.Name, sizeof(m.Name), "%dx%dx%d", m.Width, m.Height, m.Depth);
  }
}

TZRNOpenGLRenderer::~TZRNOpenGLRenderer() { DestroyNativeWindow(); }

void TZRNOpenGLRenderer::CreateNativeWindow(const std::string& title, const TZRNDisplayMode& mode) {
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, 8);
  glfwWindowHint(GLFW_GREEN_BITS, 8);
  glfwWindowHint(GLFW_BLUE_BITS, 8);
  glfwWindowHint(GLFW_ALPHA_BITS, 8);
  // Everything is drawn in order, in 2D, with the depth test off: without a depth buffer a
  // software rasterizer fills plain rectangles (the clear, the glow layer) by its fast path.
  glfwWindowHint(GLFW_DEPTH_BITS, 0);
  glfwWindowHint(GLFW_STENCIL_BITS, 0);
  // Our own dialogs come to the front; the player must not minimise under them.
  glfwWindowHint(GLFW_AUTO_ICONIFY, GLFW_FALSE);
  GLFWmonitor* monitor = mode.Fullscreen ? glfwGetPrimaryMonitor() : nullptr;
  if (monitor) {
    // Keep the desktop's video mode: no mode switch when the size is the desktop's.
    if (const GLFWvidmode* current = glfwGetVideoMode(monitor)) {
      glfwWindowHint(GLFW_REFRESH_RATE, current->refreshRate);
    }
  }
  Handle = glfwCreateWindow(mode.Width, mode.Height, title.c_str(), monitor, nullptr);
  CurrentHandle = Handle;
  CaptureCursor = monitor != nullptr;
  if (Handle) glfwMakeContextCurrent(Handle);
}

void TZRNOpenGLRenderer::DestroyNativeWindow() {
  if (!Handle) return;
  GlowActive = false;
  if (ZRNOpenGLLoaded) {
    Glow.Release();
    Soft.Release();
  }
  glfwDestroyWindow(Handle);
  if (CurrentHandle == Handle) CurrentHandle = nullptr;
  Handle = nullptr;
  ZRNOpenGLLoaded = false;
}

void TZRNOpenGLRenderer::Open(const std::string& title, const TZRNDisplayMode& mode) {
  CreateNativeWindow(title, mode);
  // Without a window there is no context, and every GL call would fail; 1.4 is the least we draw with.
  if (!Handle || epoxy_gl_version() < 14) throw EZRNError("OpenGL Initialization failed.");
  ZRNOpenGLLoaded = true;
  const bool software = SoftwareRasterizer();
  UseGlowLayer = WantGlowLayer(software);
  SplatOnCpu = WantSplatOnCpu();
  if (software) KeepFreedMemoryForTheNextFrame();

  Window->Width = mode.Width;
  Window->Height = mode.Height;
  Window->CenterWindow();
  Title = title;
  glfwSetWindowTitle(Handle, title.c_str());

  InstallCallbacks();

  glfwSwapInterval(1);
  glfwSetInputMode(Handle, GLFW_STICKY_MOUSE_BUTTONS, GLFW_TRUE);

  const GLFWvidmode* desktop = PrimaryVideoMode();
  const int rate = desktop && desktop->refreshRate > 0 ? desktop->refreshRate : DefaultRefreshRate;
  FramePeriod = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / rate));
  NextFrame = std::chrono::steady_clock::now() + FramePeriod;
  Opened = true;
}

void TZRNOpenGLRenderer::InstallCallbacks() {
  glfwSetWindowSizeCallback(Handle, OnWindowSize);
  glfwSetWindowCloseCallback(Handle, OnWindowClose);
  glfwSetKeyCallback(Handle, OnKey);
  glfwSetCharCallback(Handle, OnChar);
  glfwSetMouseButtonCallback(Handle, OnMouseButton);
  glfwSetCursorPosCallback(Handle, OnCursorPos);
  glfwSetScrollCallback(Handle, OnScroll);
  glfwSetDropCallback(Handle, OnDrop);
  glfwSetWindowFocusCallback(Handle, OnFocus);
  glfwSetWindowUserPointer(Handle, this);
  if (CaptureCursor) {
    // GLFW 3 captures the pointer only in a focused window; without a window manager (Xvfb,
    // kiosk sessions) nobody else gives a full-screen window the focus.
    glfwFocusWindow(Handle);
    glfwSetInputMode(Handle, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
  }
}

void TZRNOpenGLRenderer::Close() {
  DestroyNativeWindow();
  Opened = false;
}

void TZRNOpenGLRenderer::Reopen(const TZRNDisplayMode& mode) {
  // GLFW 3 keeps callbacks and title per window; the new window gets the old ones, as in 2.x.
  DestroyNativeWindow();
  CreateNativeWindow(Title, mode);
  if (!Handle) return;
  ZRNOpenGLLoaded = true;
  InstallCallbacks();
  glfwSwapInterval(1);
  glfwSetInputMode(Handle, GLFW_STICKY_MOUSE_BUTTONS, GLFW_TRUE);
}

void TZRNOpenGLRenderer::SetTitle(const std::string& title) {
  Title = title;
  if (Handle) glfwSetWindowTitle(Handle, title.c_str());
}

int32_t TZRNOpenGLRenderer::GetWidth() { return Window->Width; }
int32_t TZRNOpenGLRenderer::GetHeight() { return Window->Height; }

void TZRNOpenGLRenderer::Clear() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);
}

void TZRNOpenGLRenderer::Flip() {
  if (Handle) glfwSwapBuffers(Handle);
  PaceFrame();
  glfwPollEvents();
  ZRNDeliverQuitRequest(Events());
}

// Without vertical sync (Xvfb, some drivers) a swap returns at once; hold the frame to the
// monitor's refresh rate so that the designed cadences stay as they are.
void TZRNOpenGLRenderer::PaceFrame() {
  if (FramePeriod.count() <= 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < NextFrame) {
    std::this_thread::sleep_until(NextFrame);
    NextFrame += FramePeriod;
  } else if (now - NextFrame < FramePeriod) {
    NextFrame += FramePeriod;
  } else {
    NextFrame = now + FramePeriod;  // fell behind: do not race to catch up
  }
}

std::unique_ptr<TZRNTexture> TZRNOpenGLRenderer::CreateTexture() { return std::make_unique<TZRNOpenGLTexture>(); }

std::unique_ptr<IZRNRenderTarget> TZRNOpenGLRenderer::CreateRenderTarget() {
  return std::make_unique<TZRNOpenGLRenderTarget>();
}

void TZRNOpenGLRenderer::SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
  glViewport(x, y, width, height);
}

void TZRNOpenGLRenderer::LoadModelView() {
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(World.M);
  glMultMatrixf(View.M);
}

void TZRNOpenGLRenderer::SetViewMatrix(const TMatrix4f& m) {
  View = m;
  LoadModelView();
}

void TZRNOpenGLRenderer::SetWorldMatrix(const TMatrix4f& m) {
  World = m;
  LoadModelView();
}

void TZRNOpenGLRenderer::SetProjectionMatrix(const TMatrix4f& m) {
  Projection = m;
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(Projection.M);
  glMatrixMode(GL_MODELVIEW);
}

void TZRNOpenGLRenderer::SetBlendMode(TZRNRenderValue oldValue, TZRNRenderValue newValue) {
  switch (newValue) {
    case rvBlendNone: glDisable(GL_BLEND); return;
    case rvBlendAlpha:
    case rvBlendAdditive:
    case rvBlendMultiply: break;
    default: return;
  }
  if (oldValue == rvBlendNone) glEnable(GL_BLEND);
  if (newValue == rvBlendAlpha) glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  else if (newValue == rvBlendAdditive) glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  else glBlendFunc(GL_ZERO, GL_SRC_COLOR);
}

void TZRNOpenGLRenderer::SetDepthTest(TZRNRenderValue, TZRNRenderValue newValue) {
  if (newValue == rvDepthTestOn) glEnable(GL_DEPTH_TEST);
  else if (newValue == rvDepthTestOff) glDisable(GL_DEPTH_TEST);
}

void TZRNOpenGLRenderer::SetFillMode(TZRNRenderValue, TZRNRenderValue newValue) {
  if (newValue == rvFillSolid) glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  else if (newValue == rvFillWireframe) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

void TZRNOpenGLRenderer::SetLineWidth(float width) { glLineWidth(width); }

void TZRNOpenGLRenderer::SetDepthMask(TZRNRenderValue, TZRNRenderValue newValue) {
  if (newValue == rvDepthMaskOn) glDepthMask(GL_TRUE);
  else if (newValue == rvDepthMaskOff) glDepthMask(GL_FALSE);
}

void TZRNOpenGLRenderer::SetTexture(TZRNTexture* texture, uint16_t /*stage*/) {
  auto* gl = dynamic_cast<TZRNOpenGLTexture*>(texture);
  BoundTexture = gl;
  if (gl) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gl->Handle);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
}

void TZRNOpenGLRenderer::SetRenderTarget(IZRNRenderTarget* target) {
  auto* gl = dynamic_cast<TZRNOpenGLRenderTarget*>(target);
  const GLuint framebuffer = gl ? gl->FrameBuffer : 0;
  // Calling an entry point the driver lacks would abort inside the binding library.
  if (epoxy_has_gl_extension("GL_EXT_framebuffer_object")) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
  } else if (epoxy_gl_version() >= 30) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  }
}

void TZRNOpenGLRenderer::DrawPrimitives(TZRNPrimitive primitive, const TVertex* vertices, int32_t count) {
  const bool additive = Device->RenderStates[rsBlend] == rvBlendAdditive;
  if (primitive == ptQuads && additive) {
    ZRNKeepSeenQuads(vertices, count, Seen);
    vertices = Seen.data();
    count = static_cast<int32_t>(Seen.size());
    if (BoundTexture) {
      ZRNTrimFaintQuads(vertices, count, BoundTexture->Weights(), Trimmed);
      vertices = Trimmed.data();
      count = static_cast<int32_t>(Trimmed.size());
    }
    if (GlowActive && BoundTexture) return DrawOnGlowLayer(vertices, count);
  }
  // Anything else must land over what the layer holds so far, as it would have without it.
  if (GlowActive) ComposeLayers();
  DrawTextured(primitive, vertices, count);
}

void TZRNOpenGLRenderer::BeginGlowLayer() { GlowActive = UseGlowLayer && Glow.Available(); }

void TZRNOpenGLRenderer::EndGlowLayer() {
  if (GlowActive) ComposeLayers();
  GlowActive = false;
}

void TZRNOpenGLRenderer::ComposeLayers() {
  Glow.Compose();
  Soft.Compose();
}

// Additive quads add up in any order, so those large enough to gain go to the layer and the small
// ones, whose detail half resolution would soften, straight to the window.
void TZRNOpenGLRenderer::DrawOnGlowLayer(const TVertex* vertices, int32_t count) {
  // At most two texels per pixel: on the layer such a quad reads mipmap level 1 at the smallest.
  constexpr float GlowTexelsPerPixel = 2.0f;
  ZRNSplitMagnifiedQuads(vertices, count, BoundTexture->Width, BoundTexture->Height, Glowing, Sharp, GlowTexelsPerPixel);
  float modelView[16], modelViewProjection[16];
  MultiplyColumnMajor(World.M, View.M, modelView);
  MultiplyColumnMajor(Projection.M, modelView, modelViewProjection);
  // What the CPU can draw reads the levels OpenGL's filter would: only with linear magnification,
  // and the nearest mipmap level to a quad's scale when the texture has them.
  std::span<const TZRNSplatTexture> levels;
  if (const TZRNTextureSettings* settings = BoundTexture->Settings.get();
      SplatOnCpu && settings && settings->MagFilter == tfLinear) {
    const bool mipmapped = settings->Mipmaps && (settings->MinFilter == tfLinearMipmapNearest || settings->MinFilter == tfLinearMipmapLinear);
    if (mipmapped || settings->MinFilter == tfLinear) {
      levels = BoundTexture->SplatLevels();
      if (!mipmapped) levels = levels.first(std::min<size_t>(levels.size(), 1));
    }
  }
  if (!Glowing.empty()) {
    // The CPU draws what it can on its half-size picture, from the full texture: these are soft
    // enough that its linear filter matches the full-size picture best. OpenGL draws the rest on
    // the layer, or at full size without one.
    const std::vector<TVertex>* left = &Glowing;
    bool layered = true;
    if (!levels.empty()) {
      layered = Soft.Splat(Glowing.data(), static_cast<int32_t>(Glowing.size()), modelViewProjection, levels.first(1),
                           true, Unsplatted);
      left = &Unsplatted;
    }
    if (!left->empty()) {
      if (layered && Glow.Target()) {
        DrawArrays(ptQuads, left->data(), static_cast<int32_t>(left->size()));
        Glow.Untarget();
        Glow.Cover(left->data(), static_cast<int32_t>(left->size()), modelViewProjection);
      } else {
        Sharp.insert(Sharp.end(), left->begin(), left->end());
      }
    }
  }
  // The small ones at full size: on the CPU those it can draw.
  if (!Sharp.empty() && !levels.empty()) {
    Soft.Splat(Sharp.data(), static_cast<int32_t>(Sharp.size()), modelViewProjection, levels, false, Unsplatted);
    Sharp.swap(Unsplatted);
  }
  if (Sharp.empty()) return;
  // The small ones: clamped to the edge texel rather than the border, and from the nearest
  // mipmap level rather than a blend of two, the cheaper paths in software. Within this span the
  // picture is judged by eye, and at their size neither shows.
  GLint wrapS = 0, wrapT = 0, minification = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minification);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  if (minification == GL_LINEAR_MIPMAP_LINEAR)
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
  else if (minification == GL_NEAREST_MIPMAP_LINEAR)
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
  DrawTextured(ptQuads, Sharp.data(), static_cast<int32_t>(Sharp.size()));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapS);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
}

void TZRNOpenGLRenderer::DrawTextured(TZRNPrimitive primitive, const TVertex* vertices, int32_t count) {
  const bool additive = Device->RenderStates[rsBlend] == rvBlendAdditive;
  const TZRNTextureSettings* settings = BoundTexture ? BoundTexture->Settings.get() : nullptr;
  const bool mipmapped = settings && settings->Mipmaps && settings->MinFilter >= tfNearestMipmapNearest &&
                         BoundTexture->Width > 0 && BoundTexture->Height > 0;
  if (primitive != ptQuads || !mipmapped) return DrawArrays(primitive, vertices, count);
  ZRNSplitMagnifiedQuads(vertices, count, BoundTexture->Width, BoundTexture->Height, Magnified, Rest);
  if (Magnified.empty()) return DrawArrays(primitive, vertices, count);
  // Drawing the magnified quads after the rest changes the order, which only additive blending
  // does not notice.
  const bool reorderable = Rest.empty() || additive;
  if (!reorderable) return DrawArrays(primitive, vertices, count);
  if (!Rest.empty()) DrawArrays(primitive, Rest.data(), static_cast<int32_t>(Rest.size()));
  // Level 0 with the magnification filter: what these quads sample anyway.
  const GLint magnification = settings->MagFilter == tfNearest ? GL_NEAREST : GL_LINEAR;
  GLint minification = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minification);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, magnification);
  DrawArrays(primitive, Magnified.data(), static_cast<int32_t>(Magnified.size()));
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
}

void TZRNOpenGLRenderer::DrawArrays(TZRNPrimitive primitive, const TVertex* vertices, int32_t count) {
  glGetError();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  const auto* base = reinterpret_cast<const char*>(vertices);
  constexpr GLsizei stride = sizeof(TVertex);
  glVertexPointer(3, GL_FLOAT, stride, base ? base + 36 : nullptr);
  glColorPointer(4, GL_FLOAT, stride, base ? base + 8 : nullptr);
  glNormalPointer(GL_FLOAT, stride, base ? base + 24 : nullptr);
  glTexCoordPointer(2, GL_FLOAT, stride, base);
  glDrawArrays(PrimitiveMode(primitive), 0, count);
}
