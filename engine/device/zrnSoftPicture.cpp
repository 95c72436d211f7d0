#include "engine/device/zrnSoftPicture.h"

#include <epoxy/gl.h>

#include <algorithm>

bool TZRNSoftPicture::Fit() {
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  // The picture stands for the whole window; a viewport elsewhere would not line up with it.
  if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] < Shrink || viewport[3] < Shrink) return false;
  if (Texture && viewport[2] == Width && viewport[3] == Height) return true;
  Release();
  Width = viewport[2];
  Height = viewport[3];
  const int32_t w = (Width + Shrink - 1) / Shrink, h = (Height + Shrink - 1) / Shrink;
  Soft.Resize(w, h);
  Tiles.Resize(Width, Height);
  // Only the rows drawn on are uploaded later: the rest must start out clear.
  const std::vector<uint8_t> clear(static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
  Texture = ZRNMakeLayerTexture(w, h, Shrink == 1 ? GL_NEAREST : GL_LINEAR, clear.data());
  return Texture != 0;
}

bool TZRNSoftPicture::Splat(const TVertex* vertices, int32_t count, const float* m,
                            std::span<const TZRNSplatTexture> levels, std::vector<TVertex>& rest) {
  rest.clear();
  // Only a projection without perspective keeps a quad's texture map affine on the picture.
  const bool affine = m[3] == 0 && m[7] == 0 && m[11] == 0 && m[15] == 1;
  if (!affine || levels.empty() || !levels[0].Ready() || !Fit()) {
    rest.assign(vertices, vertices + count);
    return false;
  }
  const float sx = 0.5f * static_cast<float>(Soft.Width()), sy = 0.5f * static_cast<float>(Soft.Height());
  const float toPixels[8] = {sx * m[0], sx * m[4], sx * m[8], sx * (m[12] + 1),
                             sy * m[1], sy * m[5], sy * m[9], sy * (m[13] + 1)};
  // A half-size pixel's linear filter reaches one of its pixels beyond a sprite when added.
  const auto reach = static_cast<float>(Shrink - 1), scale = static_cast<float>(Shrink);
  for (int32_t q = 0; q + 4 <= count; q += 4) {
    TZRNSplat splat;
    bool empty = false;
    if (!ZRNSplatOf(vertices + q, toPixels, Soft.Width(), Soft.Height(), levels, splat, empty)) {
      rest.insert(rest.end(), vertices + q, vertices + q + 4);
    } else if (!empty) {
      Soft.Add(splat);
      Tiles.Cover(static_cast<float>(splat.X1) * scale - reach, static_cast<float>(splat.Y1) * scale - reach,
                  static_cast<float>(splat.X2) * scale + reach, static_cast<float>(splat.Y2) * scale + reach);
    }
  }
  rest.insert(rest.end(), vertices + (count / 4) * 4, vertices + count);
  return true;
}

void TZRNSoftPicture::Compose() {
  if (!Texture) return;
  const bool drawn = !Soft.Empty();
  int32_t first = 0, end = 0;
  Soft.Resolve(first, end);
  if (end > first) {
    GLint bound = 0, alignment = 0, rowLength = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glBindTexture(GL_TEXTURE_2D, Texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, Soft.RowPixels());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first, Soft.Width(), end - first, GL_RGBA, GL_UNSIGNED_BYTE, Soft.Row(first));
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  }
  // Tiles are only covered by what was drawn.
  if (drawn) ZRNAddLayer(Texture, Tiles.TakeQuads(), Width, Height);
}

void TZRNSoftPicture::Release() {
  if (Texture) glDeleteTextures(1, &Texture);
  Texture = 0;
  Width = Height = 0;
  Soft.Resize(0, 0);
  Tiles.Resize(0, 0);
}
