#pragma once
// A bitmap font rasterised with FreeType: every printable Windows-1251 byte (ASCII and Cyrillic),
// glyph coverage in the alpha channel of a white atlas.
#include <string>
#include <vector>

#include "tools/assetgen/Fonts.h"
#include "tools/assetgen/Raster.h"

namespace assetgen {

struct FontGlyph {
  int32_t Code = 0;  // the Windows-1251 byte
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
  int32_t XOffset = 0, YOffset = 0;  // from the pen, which is the top-left of the line
  int32_t XAdvance = 0;
};

struct FontAtlas {
  std::string Name;
  int32_t LineHeight = 0;
  int32_t Ascender = 0;   // baseline below the pen
  int32_t Descender = 0;  // below the baseline, positive
  int32_t PixelSize = 0;
  std::vector<FontGlyph> Glyphs;  // in byte order
  RgbaPicture Picture;
};

FontAtlas RasteriseFont(const FreeTypeLibrary& library, const std::string& path, const std::string& name,
                        int32_t pixelSize);

// The Unicode code point of a Windows-1251 byte; 0 for bytes that encode nothing.
uint32_t Cp1251ToUnicode(uint8_t byte);

}  // namespace assetgen
