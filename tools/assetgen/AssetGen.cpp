// Writes the player's three asset files: pi.dat (the menu image "GUI"), pm.dat (the particle
// image "Particles") and ff.dat (the font), and the double-resolution menu image and font for
// HiDPI screens, pi@2x.dat and ff@2x.dat. Same bytes on every run.
#include <cairo.h>

#include <cstdio>
#include <exception>
#include <string>

#include "engine/assets/zrnFreeImage.h"
#include "tools/assetgen/EngineFiles.h"
#include "tools/assetgen/FontAtlas.h"
#include "tools/assetgen/GuiArt.h"
#include "tools/assetgen/ParticleArt.h"
#include "tools/assetgen/SheetPacker.h"

namespace {

void WriteGui(const assetgen::FreeTypeLibrary& freeType, const std::string& path, int32_t scale) {
  std::vector<assetgen::Sprite> sprites = assetgen::DrawGuiSprites(freeType, scale);
  assetgen::Sheet sheet = assetgen::PackSheet(sprites, 512 * scale, 2 * scale);
  // Drawn 1:1 on screen: no mipmaps, plain linear filtering keeps edges crisp.
  TZRNTextureSettings settings;
  settings.Mipmaps = false;
  settings.MinFilter = tfLinear;
  settings.MagFilter = tfLinear;
  assetgen::WriteImageFile(path, "GUI", sheet.Picture, assetgen::PatternsOf(sheet), settings);
}

void WriteParticles(const std::string& dir) {
  // Particles shrink to a few pixels, so they get mipmaps; the empty cell borders keep the
  // smaller levels from mixing neighbouring sprites.
  TZRNTextureSettings settings;
  settings.Mipmaps = true;
  settings.MinFilter = tfLinearMipmapLinear;
  settings.MagFilter = tfLinear;
  assetgen::WriteImageFile(dir + "/pm.dat", "Particles", assetgen::DrawParticleSheet(), {}, settings);
}

// The double-resolution font is rasterised at twice the size rather than scaled up: glyphs
// hinted to their own pixel grid stay sharp.
void WriteFont(const assetgen::FreeTypeLibrary& freeType, const std::string& path, int32_t scale) {
  const int32_t pixelSize = 16 * scale;
  assetgen::FontAtlas atlas = assetgen::RasteriseFont(freeType, assetgen::SansFontPath,
                                                      "DejaVuSans" + std::to_string(pixelSize), pixelSize);
  assetgen::WriteFontFile(path, atlas);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  RegisterFreeImageCodecs();
  std::string dir = argv[1];
  try {
    assetgen::FreeTypeLibrary freeType;
    WriteGui(freeType, dir + "/pi.dat", 1);
    WriteGui(freeType, dir + "/pi@2x.dat", 2);
    WriteParticles(dir);
    WriteFont(freeType, dir + "/ff.dat", 1);
    WriteFont(freeType, dir + "/ff@2x.dat", 2);
    // Cairo keeps font faces cached; release them while FreeType is still up.
    cairo_debug_reset_static_data();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
