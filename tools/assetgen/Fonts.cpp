#include "tools/assetgen/Fonts.h"

#include <cairo-ft.h>

#include <stdexcept>

namespace assetgen {

FreeTypeLibrary::FreeTypeLibrary() {
  if (FT_Init_FreeType(&Library) != 0) throw std::runtime_error("FreeType failed to start");
}

FreeTypeLibrary::~FreeTypeLibrary() { FT_Done_FreeType(Library); }

FreeTypeFace::FreeTypeFace(const FreeTypeLibrary& library, const std::string& path) {
  if (FT_New_Face(library.Handle(), path.c_str(), 0, &Face) != 0) {
    throw std::runtime_error("cannot open the font " + path);
  }
}

FreeTypeFace::~FreeTypeFace() { FT_Done_Face(Face); }

CairoFontFacePtr LoadCairoFace(const FreeTypeLibrary& library, const std::string& path) {
  static const cairo_user_data_key_t faceKey{};
  FT_Face face = nullptr;
  if (FT_New_Face(library.Handle(), path.c_str(), 0, &face) != 0) throw std::runtime_error("cannot open the font " + path);
  CairoFontFacePtr result(cairo_ft_font_face_create_for_ft_face(face, 0));
  auto release = [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); };
  if (cairo_font_face_status(result.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(result.get(), &faceKey, face, release) != CAIRO_STATUS_SUCCESS) {
    FT_Done_Face(face);
    throw std::runtime_error("cairo font face failed for " + path);
  }
  return result;
}

void UseFont(cairo_t* cr, cairo_font_face_t* face, double pixelSize) {
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, pixelSize);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

}  // namespace assetgen
