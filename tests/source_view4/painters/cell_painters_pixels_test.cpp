// The bar, range, group and snippet painters on the Cairo painter: their shapes land on the
// pixels the geometry gives, in the colours the painters choose.
#include <gtest/gtest.h>

#include "image_list_fixture.h"
#include "painter_fixture.h"
#include "source_view4/bar_painter.h"
#include "source_view4/group_painter.h"
#include "source_view4/range_painter.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using source_view4::column_painters::draw_cell_params_t;
using sv4_test::pixel_probe_t;

const _color black = _color::rgb(0, 0, 0);
const _color red = _color::rgb(0xFF, 0, 0);

class CellPainterPixels : public sv4_test::painter_test_t {
 protected:
  pixel_probe_t probe{220, 110};
};

TEST_F(CellPainterPixels, BarFillsHalfTheWidthInTheMiddleOfTheFirstLine) {
  source_view4::column_painters::bar_painter_t painter;
  const auto model = make_model(1);
  model->set_data(0, 1, source_view4::data_container_t<double>(0.5));
  draw_cell_params_t params = cell(&probe.painter(), {10, 20, 110, 60}, 0, 1, model);
  params.line_height = 17;  // bar from x 14 to 60, y 24 to 33
  probe.render([&](orrin7::IPainter&) { painter.on_draw_cell(params); });
  const _color bar = painter.get_bar_color(), white = painter.get_background_color();
  EXPECT_EQ(probe.mismatches({{16, 26, bar},
                              {57, 30, bar},
                              {12, 28, white},
                              {62, 28, white},
                              {30, 22, white},
                              {30, 35, white},
                              {30, 50, white}}),
            "");
}

TEST_F(CellPainterPixels, RangeTagIsFilledWithItsColourUpToItsPoint) {
  source_view4::column_painters::range_painter_t painter;
  painter.set_color_map({red});
  const auto model = make_model(1);
  model->set_data(0, 1, source_view4::range_t{source_view4::range_t::first_row, L"ab", 0});
  probe.render([&](orrin7::IPainter&) {
    painter.on_draw_cell(cell(&probe.painter(), {0, 0, 100, 20}, 0, 1, model));
  });
  // The tag runs from x 70 to its point at (99, 10); the text ends 11 pixels before the edge.
  EXPECT_EQ(probe.mismatches({{90, 5, red},
                              {96, 10, red},
                              {90, 16, red},
                              {96, 3, painter.get_background_color()},
                              {60, 10, painter.get_background_color()}}),
            "");
}

TEST_F(CellPainterPixels, GroupButtonShowsAPlusForCollapsedRowsAndAMinusOtherwise) {
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
  // Outline corners and the horizontal bar in both; the vertical bar (x 7, y 5) in the plus only.
  EXPECT_EQ(probe.mismatches({{3, 3, black},
                              {11, 11, black},
                              {5, 7, black},
                              {7, 5, black},
                              {4, 4, group},
                              {3, 23, black},
                              {5, 27, black},
                              {7, 25, group}}),
            "");
}

TEST_F(CellPainterPixels, ExpandedSnippetFramesItsEntriesBelowTheFirstLine) {
  const auto flat = make_model(1);
  utilkit2::smart_pointer_t<source_view4::snippets_data_model_t> snippets(
      new source_view4::snippets_data_model_t(flat));
  snippets->create_group(0, 0);
  flat->set_data(0, source_view4::snippet_column,
                 source_view4::snippet_t{L"head", {{{L"detail"}, L"entry", -1, 0}}});
  source_view4::column_painters::snippet_painter_t painter;
  draw_cell_params_t params =
      cell(&probe.painter(), {0, 0, 200, 100}, 0, source_view4::snippet_column, flat);
  params.hierarchical_model = snippets;
  params.line_height = 20;
  probe.render([&](orrin7::IPainter&) { painter.on_draw_cell(params); });
  const _color frame = orrin7::GetSysPalette().GetColor(orrin7::PAL_SnippetFrame);
  const _color outside = painter.get_background_color();
  // Frame from (24, 20) to (197, 97), with its tab reaching back to x 15 on the top edge.
  EXPECT_EQ(probe.mismatches({{190, 90, frame},
                              {26, 95, frame},
                              {19, 22, frame},
                              {10, 50, outside},
                              {199, 50, outside},
                              {100, 99, outside}}),
            "");
  EXPECT_GT(probe.count(28, 20, 197, 60, sv4_test::is_dark), 20);  // the entry and its detail
}

}  // namespace
