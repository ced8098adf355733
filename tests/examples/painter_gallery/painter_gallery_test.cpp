// The painter gallery program: it writes its PNG, and cells of both panels have the colours their
// painters give them where the painters' geometry puts them.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "gallery.h"
#include "orrin7/system.h"

namespace {

using orrin7::_color;
using source_view4::column_painters::bar_painter_t;
using source_view4::column_painters::group_painter_t;
using source_view4::column_painters::summary_text_painter_t;
using source_view4::column_painters::text_painter_t;

// The image the program wrote, read back with straight colour channels.
class png_t {
 public:
  explicit png_t(const std::string& path)
      : m_surface(cairo_image_surface_create_from_png(path.c_str())) {}
  ~png_t() { cairo_surface_destroy(m_surface); }
  png_t(const png_t&) = delete;
  png_t& operator=(const png_t&) = delete;

  bool ok() const { return cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS; }
  orrin7::size<int> size() const {
    return {cairo_image_surface_get_width(m_surface), cairo_image_surface_get_height(m_surface)};
  }
  // The colour value (opaque RGB, the gallery has no transparency) at pixel (x, y).
  std::uint32_t rgb(double x, double y) const {
    const unsigned char* row = cairo_image_surface_get_data(m_surface) +
                               int(y) * cairo_image_surface_get_stride(m_surface);
    const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[int(x)];
    return _color::rgb(std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb)).value;
  }

 private:
  cairo_surface_t* m_surface;
};

class PainterGallery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* dir = std::getenv("SV4_BUILD_DIR");
    path = std::string(dir ? dir : ".") + "/painter_gallery_test.png";
    std::remove(path.c_str());
    exit_code =
        std::system((std::string(PAINTER_GALLERY_PROGRAM) + " '" + path + "' >/dev/null").c_str());
  }

  // The cell of that caption in the light or dark panel.
  orrin7::rectangle<double> cell(const std::wstring& caption, bool dark) const {
    for (const painter_gallery::cell_place_t& place : gallery.get_places()) {
      if (place.caption == caption && place.dark == dark) return place.rect;
    }
    ADD_FAILURE() << "no cell captioned that";
    return {};
  }

  // The colour a painter made under the light or the dark palette gives.
  template <class Painter, class Getter>
  static std::uint32_t expected(bool dark, Getter getter) {
    orrin7::GetSysPalette().UseDarkColors(dark);
    Painter painter;
    const _color c = (painter.*getter)();
    orrin7::GetSysPalette().UseDarkColors(false);
    return _color::rgb(c.red(), c.green(), c.blue()).value;
  }

  static std::string path;
  static int exit_code;
  painter_gallery::gallery_t gallery;
};

std::string PainterGallery::path;
int PainterGallery::exit_code = -1;

TEST_F(PainterGallery, WritesThePngOfBothPanels) {
  ASSERT_EQ(exit_code, 0);
  png_t png(path);
  ASSERT_TRUE(png.ok());
  EXPECT_EQ(png.size(), gallery.get_image_size());
  EXPECT_NE(std::system((std::string(PAINTER_GALLERY_PROGRAM) + " 2>/dev/null").c_str()), 0);
}

TEST_F(PainterGallery, BarsHaveTheBarColourWhereTheFractionPutsThem) {
  png_t png(path);
  ASSERT_TRUE(png.ok());
  const std::uint32_t bar = _color(bar_painter_t::default_bar_color).value;
  const double line = orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight);
  for (const bool dark : {false, true}) {
    const auto r = cell(L"bar: 0.5", dark);
    const double middle = r.top + std::floor(line * 0.5);
    const double end = r.left + 4 + (r.right - 4 - (r.left + 4)) * 0.5;
    EXPECT_EQ(png.rgb(r.left + 8, middle), bar) << dark;
    EXPECT_EQ(png.rgb(end - 3, middle), bar) << dark;
    EXPECT_EQ(png.rgb(end + 3, middle),
              expected<bar_painter_t>(dark, &bar_painter_t::get_background_color));
    const auto empty = cell(L"bar: 0", dark);
    EXPECT_NE(png.rgb(empty.left + 8, empty.top + std::floor(line * 0.5)), bar);
    const auto full = cell(L"bar: 2.5", dark);
    EXPECT_EQ(png.rgb(full.right - 8, full.top + std::floor(line * 0.5)), bar);
  }
}

TEST_F(PainterGallery, BackgroundsFollowEachPaletteAsTheirPaintersDeriveThem) {
  png_t png(path);
  ASSERT_TRUE(png.ok());
  for (const bool dark : {false, true}) {
    const auto corner = [&](const wchar_t* caption) {
      const auto r = cell(caption, dark);
      return png.rgb(r.right - 3, r.top + 3);
    };
    EXPECT_EQ(corner(L"text: active"),
              expected<text_painter_t>(dark, &text_painter_t::get_background_active_color));
    EXPECT_EQ(corner(L"group: collapsed"),
              expected<group_painter_t>(dark, &group_painter_t::get_background_color));
    EXPECT_EQ(
        corner(L"summary: active, highlighted"),
        expected<summary_text_painter_t>(dark, &summary_text_painter_t::get_background_color));
  }
}

TEST_F(PainterGallery, RangeTagsAndSnippetFramesAreFilled) {
  png_t png(path);
  ASSERT_TRUE(png.ok());
  const _color first = gallery.get_range_colors().at(0);
  for (const bool dark : {false, true}) {
    const auto tag = cell(L"range: start", dark);
    EXPECT_EQ(png.rgb(tag.right - 10, (tag.top + tag.bottom) / 2),
              _color::rgb(first.red(), first.green(), first.blue()).value);
    orrin7::GetSysPalette().UseDarkColors(dark);
    const _color frame = orrin7::GetSysPalette().GetColor(orrin7::PAL_SnippetFrame);
    orrin7::GetSysPalette().UseDarkColors(false);
    const auto snippet = cell(L"snippet: expanded", dark);
    EXPECT_EQ(png.rgb(snippet.right - 6, snippet.bottom - 6),
              _color::rgb(frame.red(), frame.green(), frame.blue()).value);
  }
}

}  // namespace
