// Cell painters on the Cairo painter: the pixels of text cells and of the group button, and text
// ink inside the default row (the other painters draw their text as the text painter does).
#include <algorithm>
#include <cstdlib>
#include <string>

#include "painter_fixture.h"
#include "source_view4/group_painter.h"
#include "source_view4/summary_text_painter.h"
#include "source_view4/text_painter.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using source_view4::cell_value_t;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::text_painter_t;
using sv4_test::pixel_probe_t;

const _color grey = _color::rgb(0x80, 0x80, 0x80), black = _color::rgb(0, 0, 0);

class PainterPixels : public sv4_test::painter_test_t {
 protected:
  // The text pixel of the cell at `top` that differs most from its background: where a glyph
  // stem is fully covered, so it carries the ink colour itself.
  static _color strongest_ink(const pixel_probe_t& probe, int top, _color background) {
    _color strongest = background;
    int most = -1;
    probe.count(2, top + 2, 119, top + 22, [&](_color p) {
      const int d = std::abs(p.red() - background.red()) +
                    std::abs(p.green() - background.green()) +
                    std::abs(p.blue() - background.blue());
      if (d > most) most = d, strongest = p;
      return false;
    });
    return strongest;
  }
  static bool near(_color a, _color b) {
    return std::abs(a.red() - b.red()) <= 0x20 && std::abs(a.green() - b.green()) <= 0x20 &&
           std::abs(a.blue() - b.blue()) <= 0x20;
  }
};

// Text cells 120 × 24 on grey, one per state (normal, active, highlighted, disabled, found text),
// stacked 30 pixels apart: each shows its lines on the right and bottom edge, the state's
// background around text that stays inside the margins, and the found text on its own
// background.
TEST_F(PainterPixels, TextCellsShowTheirStateInsideTheirContent) {
  const auto model = make_model(5, 2);
  for (unsigned int row = 0; row < 5; ++row) model->set_data(row, 4, std::wstring(L"Hello, grid"));
  model->set_data(4, source_view4::found_items_column,
                  source_view4::found_items_t{{4, 7, 4, true}});
  text_painter_t painter;
  pixel_probe_t probe(140, 150, grey);
  for (unsigned int row = 0; row < 5; ++row) {
    const double top = row * 30.0;
    draw_cell_params_t params = cell(&probe.painter(), {0, top, 120, top + 24}, row, 4, model);
    params.active = row == 1;
    params.cell_flags = row == 3 ? 2 : 0;
    probe.render([&](orrin7::IPainter&) { painter.on_draw_cell(params); });
  }

  const _color lines = painter.get_grid_lines_color();
  const _color backgrounds[] = {painter.get_background_color(),
                                painter.get_background_active_color(),
                                painter.get_background_highlighted_color(),
                                painter.get_background_color(), painter.get_background_color()};
  const _color inks[] = {painter.get_text_color(), painter.get_text_active_color(),
                         painter.get_text_highlighted_color(), painter.get_text_disabled_color(),
                         painter.get_text_color()};
  for (int row = 0; row < 5; ++row) {
    SCOPED_TRACE("cell " + std::to_string(row));
    const int top = row * 30;
    EXPECT_EQ(probe.count_not(120, top, 121, top + 25, lines) +
                  probe.count_not(0, top + 24, 121, top + 25, lines),
              0);
    EXPECT_EQ(probe.count_not(0, top, 120, top + 2, backgrounds[row]) +
                  probe.count_not(0, top + 22, 120, top + 24, backgrounds[row]),
              0);
    EXPECT_TRUE(near(strongest_ink(probe, top, backgrounds[row]), inks[row]));
    EXPECT_EQ(probe.count_not(121, top, 140, top + 30, grey) +
                  probe.count_not(0, top + 25, 140, top + 30, grey),
              0);
  }
  const auto found = [](_color p) { return p.value == _color::rgb(0x7F, 0xD7, 0x04).value; };
  EXPECT_GT(probe.count(2, 122, 119, 142, found), 20);
  EXPECT_EQ(probe.count(2, 2, 119, 112, found), 0);
}

// Outline corners and the horizontal bar in both; the vertical bar (x 7, y 5) in the plus only.
TEST_F(PainterPixels, GroupButtonShowsAPlusForCollapsedRowsAndAMinusOtherwise) {
  pixel_probe_t probe(100, 40);
  const auto flat = make_model(4);
  utilkit2::smart_pointer_t<source_view4::hierarchical_data_model_t> grouped(
      new source_view4::hierarchical_data_model_t(flat));
  grouped->create_group(0, 1);
  grouped->update_hierarchy();  // view rows: 0 collapsed header, 1 and 2 plain rows
  source_view4::column_painters::group_painter_t painter;
  painter.set_draw_button(true);
  for (unsigned int row : {0u, 1u}) {
    draw_cell_params_t params = cell(&probe.painter(), {0, row * 20.0, 100, row * 20.0 + 20}, row);
    params.hierarchical_model = grouped;
    probe.render([&](orrin7::IPainter&) { painter.on_draw_cell(params); });
  }
  const _color group = painter.get_background_color();
  EXPECT_EQ(probe.mismatches({{3, 3, black}, {11, 11, black}, {5, 7, black}, {7, 5, black}}), "");
  EXPECT_EQ(probe.mismatches({{4, 4, group}, {3, 23, black}, {5, 27, black}, {7, 25, group}}), "");
}

// ---- the whole ink of "_gjpqyÅ" at the grids' default row height ----

const std::wstring low_and_high_ink = L"_gjpqy\u00C5";
constexpr int cell_width = 160;

// The device rows holding dark (text) pixels inside the cell's content columns, above the grid
// line on the cell's last row.
struct ink_rows_t {
  int top = 0, bottom = 0;
  int height() const { return bottom - top; }
};

ink_rows_t dark_rows(const orrin7_test::canvas_t& canvas, double scale, int top, int height) {
  const std::vector<std::uint32_t> pixels = canvas.pixels();
  ink_rows_t rows{-1, -1};
  const int first = int(top * scale), last = int((top + height - 1) * scale);
  for (int y = first; y < last; ++y) {
    for (int x = int(2 * scale); x < int((cell_width - 2) * scale); ++x) {
      const std::uint32_t p = pixels[std::size_t(y) * std::size_t(canvas.width()) + std::size_t(x)];
      const int brightest = std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF});
      if (brightest >= 0xA0) continue;
      if (rows.top < 0) rows.top = y;
      rows.bottom = y + 1;
      break;
    }
  }
  return rows;
}

class GlyphInk : public sv4_test::painter_test_t {
 protected:
  // Draws the text in a cell `height` pixels high at row 0 of a canvas and answers its ink rows.
  ink_rows_t draw(text_painter_t& painter, double scale, int height) {
    orrin7_test::canvas_t canvas(cell_width, height, scale);
    const auto model = make_model(1, 1);
    model->set_data(0, 4, cell_value_t(low_and_high_ink));
    draw_cell_params_t params =
        cell(&canvas.painter(), {0, 0, cell_width - 1.0, height - 1.0}, 0, 4, model);
    params.line_height = unsigned(height);
    canvas.painter().BeginPaint(0);
    painter.on_draw_cell(params);
    canvas.painter().EndPaint();
    return dark_rows(canvas, scale, 0, height);
  }
};

TEST_F(GlyphInk, DescendersAndAccentsFitTheDefaultRow) {
  const double spacing = orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight);
  text_painter_t text;
  source_view4::column_painters::summary_text_painter_t summary;
  for (text_painter_t* painter : {&text, static_cast<text_painter_t*>(&summary)}) {
    for (int points : {9, 10}) {
      for (double scale : {1.0, 2.0}) {
        painter->set_font(orrin7::font(0, points, 0));
        orrin7_test::canvas_t measure(10, 10, scale);
        measure.painter().SetFont(painter->get_font());
        const int row = measure.painter().GetFontMetrics().line_height() + int(spacing);
        const ink_rows_t in_row = draw(*painter, scale, row),
                         unclipped = draw(*painter, scale, 4 * row);
        const std::string what = std::string(painter == &text ? "text " : "summary ") +
                                 std::to_string(points) + " pt at " + std::to_string(int(scale)) +
                                 "x, row " + std::to_string(row);
        ASSERT_GT(unclipped.height(), 0) << what;
        EXPECT_EQ(in_row.height(), unclipped.height()) << what;
      }
    }
  }
}

}  // namespace
