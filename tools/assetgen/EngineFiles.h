#pragma once
// Writes the generated pictures through the engine's own image and font writers.
#include <string>
#include <vector>

#include "engine/assets/zrnTexture.h"
#include "tools/assetgen/FontAtlas.h"
#include "tools/assetgen/SheetPacker.h"

namespace assetgen {

struct PatternSpec {
  std::string Name;
  int32_t X, Y, Width, Height, PivotX, PivotY;
};

// A "ZRNIMG" file whose texture block holds the picture as PNG ("FreeImage.PNG").
void WriteImageFile(const std::string& path, const std::string& imageName, const RgbaPicture& picture,
                    const std::vector<PatternSpec>& patterns, const TZRNTextureSettings& settings);

// The patterns of a packed sheet, in the order its sprites were given.
std::vector<PatternSpec> PatternsOf(const Sheet& sheet);

// A "ZRNFNT" file with the atlas embedded as PNG.
void WriteFontFile(const std::string& path, const FontAtlas& atlas);

}  // namespace assetgen
