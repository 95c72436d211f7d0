#pragma once
// FreeType faces opened straight from DejaVu's files (no fontconfig, so no dependence on the
// machine's font configuration), and Cairo font faces made from them.
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>

namespace assetgen {

inline const char* const SansFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const char* const SansBoldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

class FreeTypeLibrary {
 public:
  FreeTypeLibrary();
  ~FreeTypeLibrary();
  FreeTypeLibrary(const FreeTypeLibrary&) = delete;
  FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;
  FT_Library Handle() const { return Library; }

 private:
  FT_Library Library = nullptr;
};

class FreeTypeFace {
 public:
  FreeTypeFace(const FreeTypeLibrary& library, const std::string& path);
  ~FreeTypeFace();
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;
  FT_Face Handle() const { return Face; }

 private:
  FT_Face Face = nullptr;
};

struct CairoFontFaceDeleter {
  void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};
using CairoFontFacePtr = std::unique_ptr<cairo_font_face_t, CairoFontFaceDeleter>;

// A Cairo face that owns a FreeType face of its own: Cairo caches faces beyond their last use,
// so the FreeType face is released only when Cairo lets go of it. The library must outlive it;
// call cairo_debug_reset_static_data() before the library goes.
CairoFontFacePtr LoadCairoFace(const FreeTypeLibrary& library, const std::string& path);

// Selects the face at a pixel size with unhinted outlines and grey anti-aliasing.
void UseFont(cairo_t* cr, cairo_font_face_t* face, double pixelSize);

}  // namespace assetgen
