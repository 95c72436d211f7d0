#include "engine/device/zrnGlowLayer.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

namespace {
// A layer pixel's linear filter reaches one layer pixel (two picture pixels) beyond a sprite.
constexpr float FilterReach = 2.0f;
}  // namespace

TZRNGlowLayer::~TZRNGlowLayer() = default;  // the context, and its objects, go with the window

bool TZRNGlowLayer::Available() {
  if (!Probed) {
    Probed = true;
    Core = epoxy_gl_version() >= 30;
    Supported = Core || epoxy_has_gl_extension("GL_EXT_framebuffer_object");
  }
  return Supported;
}

void TZRNGlowLayer::Release() {
  if (FrameBuffer) Core ? glDeleteFramebuffers(1, &FrameBuffer) : glDeleteFramebuffersEXT(1, &FrameBuffer);
  if (Texture) glDeleteTextures(1, &Texture);
  FrameBuffer = Texture = 0;
  Width = Height = 0;
  Empty = true;
  Probed = false;
}

bool TZRNGlowLayer::Allocate(int32_t width, int32_t height) {
  if (FrameBuffer && width == Width && height == Height) return true;
  const bool wasProbed = Probed;
  Release();
  Probed = wasProbed;
  if (!Available() || width < 2 || height < 2) return false;
  Width = width;
  Height = height;
  LayerWidth = (width + 1) / 2;
  LayerHeight = (height + 1) / 2;
  Tiles.Resize(width, height);

  Texture = ZRNMakeLayerTexture(LayerWidth, LayerHeight, GL_LINEAR, nullptr);

  GLint previous = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
  GLenum status = 0;
  if (Core) {
    glGenFramebuffers(1, &FrameBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, FrameBuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, Texture, 0);
    status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
  } else {
    glGenFramebuffersEXT(1, &FrameBuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, FrameBuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, Texture, 0);
    status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
  }
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    Release();
    Probed = true;
    Supported = false;  // this driver cannot draw into such a texture: stop trying
    return false;
  }
  Empty = true;
  return true;
}

bool TZRNGlowLayer::Target() {
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  // The layer stands for the whole picture; a viewport elsewhere would not line up with it.
  if (viewport[0] != 0 || viewport[1] != 0 || !Allocate(viewport[2], viewport[3])) return false;
  std::copy(viewport, viewport + 4, SavedViewport);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &SavedFrameBuffer);
  Core ? glBindFramebuffer(GL_FRAMEBUFFER, FrameBuffer) : glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, FrameBuffer);
  glViewport(0, 0, LayerWidth, LayerHeight);
  if (Empty) {
    GLfloat clearColor[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    Empty = false;
  }
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &SavedSampling[0]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &SavedSampling[1]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &SavedSampling[2]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  return true;
}

void TZRNGlowLayer::Untarget() {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, SavedSampling[0]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, SavedSampling[1]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, SavedSampling[2]);
  const auto previous = static_cast<GLuint>(SavedFrameBuffer);
  Core ? glBindFramebuffer(GL_FRAMEBUFFER, previous) : glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, previous);
  glViewport(SavedViewport[0], SavedViewport[1], SavedViewport[2], SavedViewport[3]);
}

void TZRNGlowLayer::Cover(const TVertex* vertices, int32_t count, const float* m) {
  for (int32_t q = 0; q + 4 <= count; q += 4) {
    float left = 1e30f, right = -1e30f, bottom = 1e30f, top = -1e30f;
    for (int k = 0; k < 4; ++k) {
      const TVector3f& p = vertices[q + k].Position;
      const float x = m[0] * p.X + m[4] * p.Y + m[8] * p.Z + m[12];
      const float y = m[1] * p.X + m[5] * p.Y + m[9] * p.Z + m[13];
      const float w = m[3] * p.X + m[7] * p.Y + m[11] * p.Z + m[15];
      if (!(w > 0)) {  // projected through the eye: no box to trust, so all of it
        Tiles.CoverAll();
        return;
      }
      // Window coordinates, y up as OpenGL counts them.
      const float wx = (x / w + 1) * 0.5f * static_cast<float>(Width);
      const float wy = (y / w + 1) * 0.5f * static_cast<float>(Height);
      left = std::min(left, wx);
      right = std::max(right, wx);
      bottom = std::min(bottom, wy);
      top = std::max(top, wy);
    }
    Tiles.Cover(left - FilterReach, bottom - FilterReach, right + FilterReach, top + FilterReach);
  }
}

void TZRNGlowLayer::Compose() {
  if (Empty || !FrameBuffer) return;
  Empty = true;
  ZRNAddLayer(Texture, Tiles.TakeQuads(), Width, Height);
}
