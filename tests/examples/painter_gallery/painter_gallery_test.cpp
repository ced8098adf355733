// The painter gallery program: it writes its PNG, and cells of both panels have the colours their
// painters give them where the painters' geometry puts them.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "gallery.h"
#include "orrin7/system.h"
#include "support/output_path.h"

namespace {

using orrin7::_color;
using namespace source_view4::column_painters;

// Opaque RGB of a colour, as the image holds it.
std::uint32_t rgb(const _color& c) { return c.value | 0xFF000000u; }

// The colour a painter made under the light or the dark palette gives.
template <class Painter>
std::uint32_t painted(bool dark, _color (base_painter_t::*getter)() const) {
  orrin7::GetSysPalette().UseDarkColors(dark);
  const Painter painter;
  orrin7::GetSysPalette().UseDarkColors(false);
  return rgb((painter.*getter)());
}

TEST(PainterGallery, CellsHaveThePaintersColoursWhereTheirGeometryPutsThem) {
  EXPECT_NE(std::system(PAINTER_GALLERY_PROGRAM " 2>/dev/null"), 0);  // no path: usage
  const std::string path = sv4_test::output_path("painter_gallery_test.png");
  std::remove(path.c_str());
  ASSERT_EQ(std::system((PAINTER_GALLERY_PROGRAM " '" + path + "' >/dev/null").c_str()), 0);
  const std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> image(
      cairo_image_surface_create_from_png(path.c_str()), &cairo_surface_destroy);
  ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);
  const painter_gallery::gallery_t gallery;
  EXPECT_EQ(orrin7::size<int>(cairo_image_surface_get_width(image.get()),
                              cairo_image_surface_get_height(image.get())),
            gallery.get_image_size());
  const auto pixel = [&](double x, double y) {
    const unsigned char* row = cairo_image_surface_get_data(image.get()) +
                               int(y) * cairo_image_surface_get_stride(image.get());
    const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[int(x)];
    return rgb(_color::rgb(std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb)));
  };
  const auto places = gallery.get_places();
  const double middle =
      std::floor(orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight) * 0.5);
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    // The cell of that caption in this panel.
    const auto cell = [&](const std::wstring& caption) {
      for (const painter_gallery::cell_place_t& place : places) {
        if (place.caption == caption && place.dark == dark) return place.rect;
      }
      ADD_FAILURE() << "no cell captioned that";
      return orrin7::rectangle<double>();
    };
    // The bar ends halfway between 4 pixels in from either edge.
    const auto half = cell(L"bar: 0.5");
    const double end = half.left + 4 + (half.right - 8 - half.left) * 0.5;
    EXPECT_EQ(pixel(end - 3, half.top + middle), rgb(bar_painter_t::default_bar_color));
    EXPECT_EQ(pixel(end + 3, half.top + middle),
              painted<bar_painter_t>(dark, &base_painter_t::get_background_color));
    // Top right corners of whole-cell backgrounds.
    const std::pair<const wchar_t*, std::uint32_t> corners[] = {
        {L"text: active",
         painted<text_painter_t>(dark, &base_painter_t::get_background_active_color)},
        {L"group: collapsed",
         painted<group_painter_t>(dark, &base_painter_t::get_background_color)},
        {L"summary: active, highlighted",
         painted<summary_text_painter_t>(dark, &base_painter_t::get_background_color)}};
    for (const auto& [caption, color] : corners) {
      EXPECT_EQ(pixel(cell(caption).right - 3, cell(caption).top + 3), color) << caption;
    }
    const auto tag = cell(L"range: start");
    EXPECT_EQ(pixel(tag.right - 10, (tag.top + tag.bottom) / 2),
              rgb(gallery.get_range_colors().at(0)));
    orrin7::GetSysPalette().UseDarkColors(dark);
    const _color frame = orrin7::GetSysPalette().GetColor(orrin7::PAL_SnippetFrame);
    orrin7::GetSysPalette().UseDarkColors(false);
    const auto snippet = cell(L"snippet: expanded");
    EXPECT_EQ(pixel(snippet.right - 6, snippet.bottom - 6), rgb(frame));
  }
}

}  // namespace
