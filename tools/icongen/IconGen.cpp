// Writes the desktop icons drawn from the logo's emblem: sonavarium.svg and sonavarium-SIZE.png
// for each size given.
#include <cairo-svg.h>
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/assetgen/GuiArt.h"

namespace {

bool WritePng(const std::string& file, int size) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  assetgen::DrawIconEmblem(cr, size);
  cairo_destroy(cr);
  const bool written = cairo_surface_write_to_png(surface, file.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

bool WriteSvg(const std::string& file) {
  constexpr double Size = 256.0;
  cairo_surface_t* surface = cairo_svg_surface_create(file.c_str(), Size, Size);
  cairo_t* cr = cairo_create(surface);
  assetgen::DrawIconEmblem(cr, Size);
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY [SIZE...]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = WriteSvg(dir + "/sonavarium.svg");
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    ok = size > 0 && size <= 1024 && WritePng(dir + "/sonavarium-" + argv[i] + ".png", size) && ok;
  }
  if (!ok) std::fprintf(stderr, "%s: could not write the icons\n", argv[0]);
  return ok ? 0 : 1;
}
