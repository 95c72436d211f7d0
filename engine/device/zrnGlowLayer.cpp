#include "engine/device/zrnGlowLayer.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

namespace {
// Side of a tile of the coverage grid, in picture pixels: small enough to leave out most of the
// empty screen, large enough that composing stays a handful of quads.
constexpr int32_t TileSize = 64;
// A layer pixel's linear filter reaches one layer pixel (two picture pixels) beyond a sprite.
constexpr float FilterReach = 2.0f;

struct TComposeVertex {
  float X, Y, U, V;
};
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
  Columns = (width + TileSize - 1) / TileSize;
  Rows = (height + TileSize - 1) / TileSize;
  Covered.assign(static_cast<size_t>(Columns) * static_cast<size_t>(Rows), 0);

  GLint boundTexture = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
  glGenTextures(1, &Texture);
  glBindTexture(GL_TEXTURE_2D, Texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, LayerWidth, LayerHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));

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
  if (Covered.empty()) return;
  for (int32_t q = 0; q + 4 <= count; q += 4) {
    float left = 1e30f, right = -1e30f, bottom = 1e30f, top = -1e30f;
    bool behind = false;
    for (int k = 0; k < 4; ++k) {
      const TVector3f& p = vertices[q + k].Position;
      const float x = m[0] * p.X + m[4] * p.Y + m[8] * p.Z + m[12];
      const float y = m[1] * p.X + m[5] * p.Y + m[9] * p.Z + m[13];
      const float w = m[3] * p.X + m[7] * p.Y + m[11] * p.Z + m[15];
      if (!(w > 0)) {
        behind = true;
        break;
      }
      // Window coordinates, y up as OpenGL counts them.
      const float wx = (x / w + 1) * 0.5f * static_cast<float>(Width);
      const float wy = (y / w + 1) * 0.5f * static_cast<float>(Height);
      left = std::min(left, wx);
      right = std::max(right, wx);
      bottom = std::min(bottom, wy);
      top = std::max(top, wy);
    }
    if (behind) {  // projected through the eye: no box to trust, so all of it
      std::fill(Covered.begin(), Covered.end(), uint8_t{1});
      return;
    }
    if (!(right >= left && top >= bottom)) continue;  // NaN corners draw nothing
    auto column = [&](float x) {
      return static_cast<int32_t>(std::clamp(std::floor(x / TileSize), 0.0f, static_cast<float>(Columns - 1)));
    };
    auto row = [&](float y) {
      return static_cast<int32_t>(std::clamp(std::floor(y / TileSize), 0.0f, static_cast<float>(Rows - 1)));
    };
    if (right + FilterReach < 0 || left - FilterReach > static_cast<float>(Width) || top + FilterReach < 0 ||
        bottom - FilterReach > static_cast<float>(Height))
      continue;
    const int32_t c0 = column(left - FilterReach), c1 = column(right + FilterReach);
    const int32_t r0 = row(bottom - FilterReach), r1 = row(top + FilterReach);
    for (int32_t r = r0; r <= r1; ++r)
      std::fill(Covered.begin() + r * Columns + c0, Covered.begin() + r * Columns + c1 + 1, uint8_t{1});
  }
}

void TZRNGlowLayer::Compose() {
  if (Empty || !FrameBuffer) return;
  // One quad per run of covered tiles in a row.
  std::vector<TComposeVertex> quads;
  const auto w = static_cast<float>(Width), h = static_cast<float>(Height);
  for (int32_t r = 0; r < Rows; ++r) {
    for (int32_t c = 0; c < Columns;) {
      if (!Covered[static_cast<size_t>(r * Columns + c)]) {
        ++c;
        continue;
      }
      const int32_t start = c;
      while (c < Columns && Covered[static_cast<size_t>(r * Columns + c)]) ++c;
      const float x0 = static_cast<float>(start * TileSize), x1 = std::min(static_cast<float>(c * TileSize), w);
      const float y0 = static_cast<float>(r * TileSize), y1 = std::min(static_cast<float>((r + 1) * TileSize), h);
      quads.push_back({x0, y0, x0 / w, y0 / h});
      quads.push_back({x1, y0, x1 / w, y0 / h});
      quads.push_back({x1, y1, x1 / w, y1 / h});
      quads.push_back({x0, y1, x0 / w, y1 / h});
    }
  }
  std::fill(Covered.begin(), Covered.end(), uint8_t{0});
  Empty = true;
  if (quads.empty()) return;

  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT | GL_POLYGON_BIT);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, w, 0, h, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, Texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(2, GL_FLOAT, sizeof(TComposeVertex), &quads[0].X);
  glTexCoordPointer(2, GL_FLOAT, sizeof(TComposeVertex), &quads[0].U);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.size()));

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
