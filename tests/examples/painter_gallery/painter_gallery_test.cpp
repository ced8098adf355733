// The painter gallery program writes its PNG with cells in their painters' colours and geometry,
// and text that stands out in both palettes while the light panel keeps its colours.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cairo.h>

#include <algorithm>
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
using orrin7::rectangle;
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

// The contrast ratio of two opaque colours by their relative luminance: 1 to 21.
double contrast(std::uint32_t a, std::uint32_t b) {
  const auto luminance = [](std::uint32_t c) {
    double sum = 0;
    for (const auto& [shift, weight] : {std::pair(0, 0.2126), {8, 0.7152}, {16, 0.0722}}) {
      const double v = ((c >> shift) & 0xFF) / 255.0;
      sum += weight * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
    return sum;
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Runs the program once for the whole file and reads back its image.
class PainterGallery : public ::testing::Test {
 protected:
  // CTest runs this file's tests side by side: each writes its own file, then renames it.
  static void SetUpTestSuite() {
    const std::string path = sv4_test::output_path("painter_gallery_test.png");
    const std::string own = path + "." + std::to_string(getpid()) + ".png";
    std::remove(own.c_str());
    ran = std::system((PAINTER_GALLERY_PROGRAM " '" + own + "' >/dev/null").c_str());
    image.reset(cairo_image_surface_create_from_png(own.c_str()));
    std::rename(own.c_str(), path.c_str());
  }
  static void TearDownTestSuite() { image.reset(); }
  void SetUp() override {
    ASSERT_EQ(ran, 0);
    ASSERT_EQ(cairo_surface_status(image.get()), CAIRO_STATUS_SUCCESS);
  }

  static std::uint32_t pixel(double x, double y) {
    const unsigned char* row = cairo_image_surface_get_data(image.get()) +
                               int(y) * cairo_image_surface_get_stride(image.get());
    const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[int(x)];
    return rgb(_color::rgb(std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb)));
  }
  // The cell of that caption in the light or the dark panel.
  rectangle<double> cell(const std::wstring& caption, bool dark) const {
    for (const painter_gallery::cell_place_t& place : places) {
      if (place.caption == caption && place.dark == dark) return place.rect;
    }
    ADD_FAILURE() << "no cell captioned that";
    return rectangle<double>();
  }
  // The pixel of `area` that stands out most from `fill`: where a glyph stem covers whole pixels
  // it carries the ink itself.
  static std::uint32_t strongest_ink(const rectangle<double>& area, std::uint32_t fill) {
    std::uint32_t strongest = fill;
    for (int y = int(area.top); y < int(area.bottom); ++y) {
      for (int x = int(area.left); x < int(area.right); ++x) {
        if (contrast(pixel(x, y), fill) > contrast(strongest, fill)) strongest = pixel(x, y);
      }
    }
    return strongest;
  }
  // The box of the pixels of `area` that have exactly `fill`, less one pixel on each side (the
  // fill's own edges blend with what is around); empty when there are none.
  static rectangle<double> inside_of(const rectangle<double>& area, std::uint32_t fill) {
    rectangle<double> box(area.right, area.bottom, area.left, area.top);
    for (int y = int(area.top); y < int(area.bottom); ++y) {
      for (int x = int(area.left); x < int(area.right); ++x) {
        if (pixel(x, y) != fill) continue;
        box = {std::min(box.left, x + 1.0), std::min(box.top, y + 1.0),
               std::max(box.right, double(x)), std::max(box.bottom, double(y))};
      }
    }
    return box;
  }

  static inline int ran = -1;
  static inline std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> image{
      nullptr, &cairo_surface_destroy};
  const painter_gallery::gallery_t gallery;
  const std::vector<painter_gallery::cell_place_t> places = gallery.get_places();
  const int line_height = orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight);
};

TEST_F(PainterGallery, CellsHaveThePaintersColoursWhereTheirGeometryPutsThem) {
  EXPECT_NE(std::system(PAINTER_GALLERY_PROGRAM " 2>/dev/null"), 0);  // no path: usage
  EXPECT_EQ(orrin7::size<int>(cairo_image_surface_get_width(image.get()),
                              cairo_image_surface_get_height(image.get())),
            gallery.get_image_size());
  const double middle = std::floor(line_height * 0.5);
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    // The bar ends halfway between 4 pixels in from either edge.
    const auto half = cell(L"bar: 0.5", dark);
    const double end = half.left + 4 + (half.right - 8 - half.left) * 0.5;
    EXPECT_EQ(pixel(end - 3, half.top + middle), rgb(bar_painter_t::default_bar_color));
    EXPECT_EQ(pixel(end + 3, half.top + middle),
              painted<bar_painter_t>(dark, &base_painter_t::get_background_color));
    // Top right corners of whole-cell backgrounds; group, snippet and range painters made before
    // the palette changed look as if made under it.
    const std::pair<const wchar_t*, std::uint32_t> corners[] = {
        {L"text: active",
         painted<text_painter_t>(dark, &base_painter_t::get_background_active_color)},
        {L"group: collapsed",
         painted<group_painter_t>(dark, &base_painter_t::get_background_color)},
        {L"snippet: collapsed",
         painted<snippet_painter_t>(dark, &base_painter_t::get_background_color)},
        {L"range: inner", painted<range_painter_t>(dark, &base_painter_t::get_background_color)},
        {L"summary: active, highlighted",
         painted<summary_text_painter_t>(dark, &base_painter_t::get_background_color)}};
    for (const auto& [caption, color] : corners) {
      EXPECT_EQ(pixel(cell(caption, dark).right - 3, cell(caption, dark).top + 3), color)
          << caption;
    }
    const auto tag = cell(L"range: start", dark);
    EXPECT_EQ(pixel(tag.right - 10, (tag.top + tag.bottom) / 2),
              rgb(gallery.get_range_colors().at(0)));
    orrin7::GetSysPalette().UseDarkColors(dark);
    const _color frame = orrin7::GetSysPalette().GetColor(orrin7::PAL_SnippetFrame);
    orrin7::GetSysPalette().UseDarkColors(false);
    const auto snippet = cell(L"snippet: expanded", dark);
    EXPECT_EQ(pixel(snippet.right - 6, snippet.bottom - 6), rgb(frame));
  }
}

// Text on its row's background (after any button and found mark), on found marks and on range
// tags: exact colours in the light panel, at least 4.5:1 in the dark one (buttons 3:1). The
// snippet's white active text on the pale selection falls short in the light panel by choice.
TEST_F(PainterGallery, TextStandsOutFromWhatItIsDrawnOnInBothPalettes) {
  constexpr std::uint32_t black = 0xFF000000u, white = 0xFFFFFFFFu;
  constexpr std::uint32_t weak = 0xFF82FFDAu, strong = 0xFF04D77Fu;  // found marks, every palette
  enum class on_t { row, row_after_button, mark, tag };
  const struct {
    const wchar_t* caption;
    on_t on;
    std::uint32_t fill;  // under the text (0xAABBGGRR) in the light panel; in both for marks, tags
    std::uint32_t ink;   // in the light panel
    bool short_in_light = false;
  } cases[] = {
      {L"text: highlighted", on_t::row, 0xFFE5CCB2u, black},
      {L"text: found text, current hit", on_t::mark, weak, black},
      {L"text: found text, current hit", on_t::mark, strong, black},
      {L"range: start", on_t::tag, 0xFF34B1F2u, black},
      {L"range: start, second colour, active", on_t::tag, 0xFFE3C87Eu, black},
      {L"group: collapsed", on_t::row_after_button, 0xFFF0F0F0u, black},
      {L"group: member row, highlighted", on_t::row_after_button, 0xFFE6D9CCu, black},
      {L"group: collapsed, active", on_t::row_after_button, 0xFFF7C491u, black},
      {L"snippet: collapsed", on_t::row_after_button, 0xFFF0F0F0u, black},
      {L"snippet: expanded", on_t::row_after_button, 0xFFF0F0F0u, black},
      {L"snippet: plain row, found text", on_t::row, 0xFFF0F0F0u, black},
      {L"snippet: plain row, found text", on_t::mark, strong, black},
      {L"snippet: plain row, active", on_t::row, 0xFFF7C491u, white, true},
      {L"snippet: plain row, active", on_t::mark, strong, white, true},
  };
  for (const bool dark : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE((dark ? "dark, " : "light, ") + ::testing::PrintToString(c.caption) +
                   (c.on == on_t::mark ? ", on a mark" : ""));
      const rectangle<double> r = cell(c.caption, dark);
      const bool button = c.on == on_t::row_after_button;
      rectangle<double> line(r.left + (button ? 15 : 2), r.top + 2, r.right - 3,
                             r.top + line_height - 2);
      std::uint32_t fill = c.fill;
      if (c.on == on_t::mark || c.on == on_t::tag) {
        line = inside_of(line, fill);
        if (c.on == on_t::tag) line.right = std::min(line.right, r.right - 11);  // text ends
        ASSERT_LT(line.left, line.right);
      } else {
        fill = pixel(r.right - 3, r.top + 3);
        for (const std::uint32_t mark : {weak, strong}) {  // plain text starts after any mark
          line.left = std::max(line.left, inside_of(line, mark).right + 2);
        }
      }
      const std::uint32_t ink = strongest_ink(line, fill);
      // Light inks as given, but for a blend into the fill at glyph edges.
      EXPECT_TRUE(dark || (fill == c.fill && contrast(ink, c.ink) < 1.1))
          << std::hex << fill << " " << ink;
      EXPECT_TRUE((!dark && c.short_in_light) || contrast(ink, fill) >= 4.5) << contrast(ink, fill);
      // The button's outline runs through its top-left pixel.
      const std::uint32_t outline = pixel(r.left + 3, r.top + 3);
      EXPECT_TRUE(!button || (dark ? contrast(outline, fill) >= 3.0 : outline == black))
          << std::hex << outline;
    }
  }
}

}  // namespace
