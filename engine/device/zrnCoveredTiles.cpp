#include "engine/device/zrnCoveredTiles.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

namespace {
// Side of a tile, in picture pixels: small enough to leave out most of the empty screen, large
// enough that composing stays a handful of quads.
constexpr int32_t TileSize = 64;
}  // namespace

void TZRNCoveredTiles::Resize(int32_t width, int32_t height) {
  Width = std::max(width, 0);
  Height = std::max(height, 0);
  Columns = (Width + TileSize - 1) / TileSize;
  Rows = (Height + TileSize - 1) / TileSize;
  Covered.assign(static_cast<size_t>(Columns) * static_cast<size_t>(Rows), 0);
}

void TZRNCoveredTiles::Cover(float left, float bottom, float right, float top) {
  if (Covered.empty() || !(right >= left && top >= bottom)) return;  // NaN corners draw nothing
  if (right < 0 || left > static_cast<float>(Width) || top < 0 || bottom > static_cast<float>(Height)) return;
  auto column = [&](float x) {
    return static_cast<int32_t>(std::clamp(std::floor(x / TileSize), 0.0f, static_cast<float>(Columns - 1)));
  };
  auto row = [&](float y) {
    return static_cast<int32_t>(std::clamp(std::floor(y / TileSize), 0.0f, static_cast<float>(Rows - 1)));
  };
  const int32_t c0 = column(left), c1 = column(right);
  for (int32_t r = row(bottom), r1 = row(top); r <= r1; ++r)
    std::fill(Covered.begin() + r * Columns + c0, Covered.begin() + r * Columns + c1 + 1, uint8_t{1});
}

void TZRNCoveredTiles::CoverAll() { std::fill(Covered.begin(), Covered.end(), uint8_t{1}); }

std::vector<float> TZRNCoveredTiles::TakeQuads() {
  std::vector<float> quads;
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
      quads.insert(quads.end(), {x0, y0, x0 / w, y0 / h, x1, y0, x1 / w, y0 / h, x1, y1, x1 / w, y1 / h, x0, y1, x0 / w, y1 / h});
    }
  }
  std::fill(Covered.begin(), Covered.end(), uint8_t{0});
  return quads;
}

uint32_t ZRNMakeLayerTexture(int32_t width, int32_t height, int32_t filter, const void* pixels) {
  GLint bound = 0, alignment = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  return texture;
}

void ZRNAddLayer(uint32_t texture, const std::vector<float>& quads, int32_t width, int32_t height) {
  if (quads.empty()) return;
  const auto w = static_cast<float>(width), h = static_cast<float>(height);
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
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  constexpr GLsizei stride = 4 * sizeof(float);
  glVertexPointer(2, GL_FLOAT, stride, quads.data());
  glTexCoordPointer(2, GL_FLOAT, stride, quads.data() + 2);
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.size() / 4));

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}
