#include "engine/device/zrnSoftPicture.h"

#include <epoxy/gl.h>

#include <algorithm>

bool TZRNSoftPicture::Fit() {
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  // The picture stands for the whole window; a viewport elsewhere would not line up with it.
  if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] < 2 || viewport[3] < 2) return false;
  if (Texture && viewport[2] == Width && viewport[3] == Height) return true;
  Release();
  Width = viewport[2];
  Height = viewport[3];
  Full.Resize(Width, Height);
  Half.Resize((Width + 1) / 2, (Height + 1) / 2);
  Tiles.Resize(Width, Height);
  if (!Team) Team = std::make_unique<TZRNCoreTeam>();
  // Only the rows drawn on are uploaded later: the rest must start out clear.
  const std::vector<uint8_t> clear(static_cast<size_t>(Width) * static_cast<size_t>(Height) * 4, 0);
  Texture = ZRNMakeLayerTexture(Width, Height, GL_NEAREST, clear.data());
  return Texture != 0;
}

bool TZRNSoftPicture::Splat(const TVertex* vertices, int32_t count, const float* m,
                            std::span<const TZRNSplatTexture> levels, bool halfSize, std::vector<TVertex>& rest) {
  rest.clear();
  // Only a projection without perspective keeps a quad's texture map affine on the picture.
  const bool affine = m[3] == 0 && m[7] == 0 && m[11] == 0 && m[15] == 1;
  if (!affine || levels.empty() || !levels[0].Ready() || !Fit()) {
    rest.assign(vertices, vertices + count);
    return false;
  }
  // A half-size pixel stands for two of the window's each way, and its enlargement reaches one
  // pixel beyond them.
  TZRNSoftLayer& layer = halfSize ? Half : Full;
  const float scale = halfSize ? 2.0f : 1.0f, reach = halfSize ? 1.0f : 0.0f;
  const float sx = 0.5f * static_cast<float>(Width) / scale, sy = 0.5f * static_cast<float>(Height) / scale;
  const float toPixels[8] = {sx * m[0], sx * m[4], sx * m[8], sx * (m[12] + 1),
                             sy * m[1], sy * m[5], sy * m[9], sy * (m[13] + 1)};
  for (int32_t q = 0; q + 4 <= count; q += 4) {
    TZRNSplat splat;
    bool empty = false;
    if (!ZRNSplatOf(vertices + q, toPixels, layer.Width(), layer.Height(), levels, splat, empty)) {
      rest.insert(rest.end(), vertices + q, vertices + q + 4);
    } else if (!empty) {
      layer.Add(splat);
      Tiles.Cover(static_cast<float>(splat.X1) * scale - reach, static_cast<float>(splat.Y1) * scale - reach,
                  static_cast<float>(splat.X2) * scale + reach, static_cast<float>(splat.Y2) * scale + reach);
    }
  }
  rest.insert(rest.end(), vertices + (count / 4) * 4, vertices + count);
  return true;
}

void TZRNSoftPicture::Compose() {
  if (!Texture) return;
  const bool drawn = !Empty();
  int32_t first = 0, end = 0;
  Half.Resolve(*Team, first, end);
  Full.Resolve(*Team, first, end, &Half);
  if (end > first) {
    GLint bound = 0, alignment = 0, rowLength = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glBindTexture(GL_TEXTURE_2D, Texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, Full.RowPixels());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first, Width, end - first, GL_RGBA, GL_UNSIGNED_BYTE, Full.Row(first));
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
  Full.Resize(0, 0);
  Half.Resize(0, 0);
  Tiles.Resize(0, 0);
}
