#pragma once
// The particle picture: 512 x 512, cut at run time into a 4 x 4 grid of 128-pixel cells. The
// effects draw it additively and tint it with colour curves, so every sprite is white with its
// shape in the alpha channel.
#include "tools/assetgen/Raster.h"

namespace assetgen {

inline constexpr int32_t ParticleSheetSize = 512;
inline constexpr int32_t ParticleCellSize = 128;

RgbaPicture DrawParticleSheet();

}  // namespace assetgen
