// The painter gallery program: it writes its PNG, and cells of both panels have the colours their
// painters give them where the painters' geometry puts them.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gallery.h"
#include "orrin7/system.h"
#include "support/output_path.h"

namespace {

using orrin7::_color;
using source_view4::column_painters::bar_painter_t;
using source_view4::column_painters::base_painter_t;
using source_view4::column_painters::group_painter_t;
using source_view4::column_painters::summary_text_painter_t;
using source_view4::column_painters::text_painter_t;

// Opaque RGB of a colour, as the image holds it.
std::uint32_t rgb(const _color& c) { return _color::rgb(c.red(), c.green(), c.blue()).value; }

// The colour a painter made under the light or the dark palette gives.
template <class Painter>
std::uint32_t painted(bool dark, _color (base_painter_t::*getter)() const) {
  orrin7::GetSysPalette().UseDarkColors(dark);
  const Painter painter;
  orrin7::GetSysPalette().UseDarkColors(false);
  return rgb((painter.*getter)());
}

class PainterGallery : public ::testing::Test {
 protected:
  // Runs the program once for all tests and reads its image.
  static void SetUpTestSuite() {
    const std::string path = sv4_test::output_path("painter_gallery_test.png");
    std::remove(path.c_str());
    exit_code = std::system((PAINTER_GALLERY_PROGRAM " '" + path + "' >/dev/null").c_str());
    image = cairo_image_surface_create_from_png(path.c_str());
  }
  static void TearDownTestSuite() { cairo_surface_destroy(image); }

  static std::uint32_t pixel(double x, double y) {
    cairo_surface_flush(image);
    const unsigned char* row =
        cairo_image_surface_get_data(image) + int(y) * cairo_image_surface_get_stride(image);
    const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[int(x)];
    return _color::rgb(std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb)).value;
  }

  // The cell of that caption in the light or dark panel.
  orrin7::rectangle<double> cell(const std::wstring& caption, bool dark) const {
    for (const painter_gallery::cell_place_t& place : gallery.get_places()) {
      if (place.caption == caption && place.dark == dark) return place.rect;
    }
    ADD_FAILURE() << "no cell captioned that";
    return {};
  }

  void SetUp() override {
    ASSERT_EQ(exit_code, 0);
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
  }

  static int exit_code;
  static cairo_surface_t* image;
  painter_gallery::gallery_t gallery;
};

int PainterGallery::exit_code = -1;
cairo_surface_t* PainterGallery::image = nullptr;

TEST_F(PainterGallery, CellsHaveThePaintersColoursWhereTheirGeometryPutsThem) {
  EXPECT_EQ(orrin7::size<int>(cairo_image_surface_get_width(image),
                              cairo_image_surface_get_height(image)),
            gallery.get_image_size());
  EXPECT_NE(std::system(PAINTER_GALLERY_PROGRAM " 2>/dev/null"), 0);  // no path: usage
  const std::uint32_t bar = rgb(bar_painter_t::default_bar_color);
  const double middle =
      std::floor(orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight) * 0.5);
  const std::uint32_t range = rgb(gallery.get_range_colors().at(0));
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    const auto half = cell(L"bar: 0.5", dark);
    const double end = half.left + 4 + (half.right - 8 - half.left) * 0.5;
    EXPECT_EQ(pixel(end - 3, half.top + middle), bar);
    EXPECT_EQ(pixel(end + 3, half.top + middle),
              painted<bar_painter_t>(dark, &base_painter_t::get_background_color));

    const auto corner = [&](const wchar_t* caption) {
      const auto r = cell(caption, dark);
      return pixel(r.right - 3, r.top + 3);
    };
    EXPECT_EQ(corner(L"text: active"),
              painted<text_painter_t>(dark, &base_painter_t::get_background_active_color));
    EXPECT_EQ(corner(L"group: collapsed"),
              painted<group_painter_t>(dark, &base_painter_t::get_background_color));
    EXPECT_EQ(corner(L"summary: active, highlighted"),
              painted<summary_text_painter_t>(dark, &base_painter_t::get_background_color));

    const auto tag = cell(L"range: start", dark);
    EXPECT_EQ(pixel(tag.right - 10, (tag.top + tag.bottom) / 2), range);
    orrin7::GetSysPalette().UseDarkColors(dark);
    const _color frame = orrin7::GetSysPalette().GetColor(orrin7::PAL_SnippetFrame);
    orrin7::GetSysPalette().UseDarkColors(false);
    const auto snippet = cell(L"snippet: expanded", dark);
    EXPECT_EQ(pixel(snippet.right - 6, snippet.bottom - 6), rgb(frame));
  }
}

}  // namespace
