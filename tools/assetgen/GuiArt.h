#pragma once
// The pieces of the menu image "GUI". Pattern names and sizes are what the player looks up.
#include <vector>

#include "tools/assetgen/Fonts.h"
#include "tools/assetgen/Raster.h"

namespace assetgen {

inline constexpr int32_t ButtonEndWidth = 32;
inline constexpr int32_t ButtonMiddleWidth = 64;
inline constexpr int32_t ButtonHeight = 44;
inline constexpr int32_t LogoWidth = 240;
inline constexpr int32_t LogoHeight = 72;

// "BtnNormal1".."BtnDown3": left end, middle and right end of each look; pivot top-left.
std::vector<Sprite> DrawButtonPieces(int32_t scale);
// "Cursor1".."Cursor4": an arrow whose glow breathes; pivot at the tip.
std::vector<Sprite> DrawCursorFrames(int32_t scale);
// "Play1".."Play4": a small bouncing equaliser; pivot at the centre.
std::vector<Sprite> DrawPlayMarkFrames(int32_t scale);
// "LOGO": emblem and name; pivot at the top-right corner.
Sprite DrawLogo(const FreeTypeLibrary& freeType, int32_t scale);

// The logo's emblem alone, with its glow, filling a size x size square: the desktop icon.
void DrawIconEmblem(cairo_t* cr, double size);

// Every sprite of the sheet, in a fixed order. Sizes above are design units; `scale` pixels per
// unit (1 for ordinary screens, 2 for HiDPI), pivots in pixels.
std::vector<Sprite> DrawGuiSprites(const FreeTypeLibrary& freeType, int32_t scale);

}  // namespace assetgen
