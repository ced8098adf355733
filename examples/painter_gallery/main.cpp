// painter_gallery: renders every cell painter in every state that changes its look, in the light
// and the dark palette, into one PNG image.
//   painter_gallery output.png
#include <cairo.h>

#include <cstdio>
#include <string>

#include "gallery.h"
#include "orrin7/cairo_painter.h"

// Fontconfig links its cached font patterns through offsets that the leak checker cannot follow;
// those caches live as long as the process and are no leak of ours.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s output.png\n", argc > 0 ? argv[0] : "painter_gallery");
    return 2;
  }
  const std::string path = argv[1];
  painter_gallery::gallery_t gallery;
  const orrin7::size<int> size = gallery.get_image_size();
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.width, size.height);
  cairo_t* context = cairo_create(surface);
  {
    orrin7::CCairoPainter painter(context);
    gallery.render(painter);
  }
  cairo_surface_flush(surface);
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_destroy(context);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "painter_gallery: cannot write %s: %s\n", path.c_str(),
                 cairo_status_to_string(status));
    return 1;
  }
  std::printf("%s: %d × %d pixels, %zu cells\n", path.c_str(), size.width, size.height,
              gallery.get_places().size());
  return 0;
}
