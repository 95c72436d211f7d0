#include "tools/assetgen/FontAtlas.h"

#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "tools/assetgen/SheetPacker.h"

namespace assetgen {

uint32_t Cp1251ToUnicode(uint8_t byte) {
  iconv_t cd = iconv_open("UTF-32LE", "CP1251");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv lacks CP1251");
  char in[1] = {static_cast<char>(byte)};
  uint8_t out[4] = {};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(out);
  size_t inLeft = 1, outLeft = 4;
  size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1) || outLeft != 0) return 0;
  return uint32_t(out[0]) | uint32_t(out[1]) << 8 | uint32_t(out[2]) << 16 | uint32_t(out[3]) << 24;
}

namespace {

bool Printable(uint32_t codePoint) { return codePoint >= 0x20 && codePoint != 0x7F && codePoint != 0xAD; }

}  // namespace

FontAtlas RasteriseFont(const FreeTypeLibrary& library, const std::string& path, const std::string& name,
                        int32_t pixelSize) {
  FreeTypeFace face(library, path);
  FT_Face f = face.Handle();
  if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize)) != 0) throw std::runtime_error("bad font size");

  FontAtlas atlas;
  atlas.Name = name;
  atlas.PixelSize = pixelSize;

  std::vector<Sprite> bitmaps;
  std::vector<size_t> spriteOf;  // glyph index -> sprite index, or SIZE_MAX for empty glyphs
  std::vector<int32_t> tops;     // bitmap top above the baseline, per glyph
  int32_t highest = 0, lowest = 0;
  for (int code = 0x20; code <= 0xFF; ++code) {
    uint32_t cp = Cp1251ToUnicode(static_cast<uint8_t>(code));
    if (!Printable(cp) || FT_Get_Char_Index(f, cp) == 0) continue;
    // Light hinting snaps to the pixel grid vertically only: crisp lines, true shapes.
    if (FT_Load_Char(f, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) continue;
    const FT_GlyphSlot g = f->glyph;
    FontGlyph glyph;
    glyph.Code = code;
    glyph.XOffset = g->bitmap_left;
    glyph.XAdvance = static_cast<int32_t>(std::lround(g->advance.x / 64.0));
    tops.push_back(g->bitmap_top);
    if (g->bitmap.width > 0 && g->bitmap.rows > 0) {
      Sprite s;
      s.Picture = RgbaPicture(static_cast<int32_t>(g->bitmap.width), static_cast<int32_t>(g->bitmap.rows));
      for (int32_t y = 0; y < s.Picture.Height; ++y) {
        const uint8_t* row = g->bitmap.buffer + y * g->bitmap.pitch;
        for (int32_t x = 0; x < s.Picture.Width; ++x) {
          uint8_t* px = s.Picture.At(x, y);
          px[0] = px[1] = px[2] = 255;
          px[3] = row[x];
        }
      }
      glyph.Width = s.Picture.Width;
      glyph.Height = s.Picture.Height;
      highest = std::max(highest, g->bitmap_top);
      lowest = std::max(lowest, glyph.Height - g->bitmap_top);
      spriteOf.push_back(bitmaps.size());
      bitmaps.push_back(std::move(s));
    } else {
      spriteOf.push_back(SIZE_MAX);
    }
    atlas.Glyphs.push_back(glyph);
  }

  // The line holds every glyph, accents and descenders included, so text drawn at its pen
  // position never pokes out of the line the menu reserves for it.
  atlas.Ascender = std::max(static_cast<int32_t>(std::ceil(f->size->metrics.ascender / 64.0)), highest);
  atlas.Descender = std::max(static_cast<int32_t>(std::ceil(-f->size->metrics.descender / 64.0)), lowest);
  atlas.LineHeight = std::max(atlas.Ascender + atlas.Descender,
                              static_cast<int32_t>(std::ceil(f->size->metrics.height / 64.0)));
  for (size_t i = 0; i < atlas.Glyphs.size(); ++i) atlas.Glyphs[i].YOffset = atlas.Ascender - tops[i];

  Sheet sheet = PackSheet(bitmaps, 256, 1);
  for (size_t i = 0; i < atlas.Glyphs.size(); ++i) {
    if (spriteOf[i] == SIZE_MAX) continue;
    atlas.Glyphs[i].X = sheet.Placements[spriteOf[i]].X;
    atlas.Glyphs[i].Y = sheet.Placements[spriteOf[i]].Y;
  }
  atlas.Picture = std::move(sheet.Picture);
  return atlas;
}

}  // namespace assetgen
