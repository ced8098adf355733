// Cell painters on the Cairo painter: what reaches the pixels of a text cell and of the group
// button; the text cell is also written as a PNG to the build folder.
#include "painter_fixture.h"
#include "source_view4/group_painter.h"
#include "source_view4/text_painter.h"
#include "support/output_path.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::text_painter_t;
using sv4_test::pixel_probe_t;

const _color grey = _color::rgb(0x80, 0x80, 0x80), black = _color::rgb(0, 0, 0);

class PainterPixels : public sv4_test::painter_test_t {};

// A 120 × 24 cell on grey: its lines on the right and bottom edge, text only inside the margins,
// found text on its own background.
TEST_F(PainterPixels, TextCellShowsBackgroundGridLinesAndTextInsideItsContent) {
  pixel_probe_t probe(140, 30, grey);
  const auto model = make_model(1);
  model->set_data(0, 4, std::wstring(L"Hello, grid"));
  model->set_data(0, source_view4::found_items_column,
                  source_view4::found_items_t{{4, 7, 4, true}});
  text_painter_t painter;
  probe.render([&](orrin7::IPainter& p) {
    painter.on_draw_cell(cell(&p, {0, 0, 120, 24}, 0, 4, model));
  });
  EXPECT_TRUE(probe.write_png(sv4_test::output_path("text_painter_cell.png")));
  const _color background = painter.get_background_color(), lines = painter.get_grid_lines_color();
  EXPECT_EQ(probe.count_not(120, 0, 121, 25, lines) + probe.count_not(0, 24, 121, 25, lines), 0);
  EXPECT_GT(probe.count(2, 2, 119, 22, sv4_test::is_dark), 20);
  EXPECT_GT(probe.count(2, 2, 119, 22,
                        [](_color p) { return p.value == _color::rgb(0x7F, 0xD7, 0x04).value; }),
            20);
  EXPECT_EQ(probe.count_not(0, 0, 120, 2, background) + probe.count_not(0, 22, 120, 24, background),
            0);
  EXPECT_EQ(probe.count_not(121, 0, 140, 30, grey) + probe.count_not(0, 25, 140, 30, grey), 0);
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

}  // namespace
