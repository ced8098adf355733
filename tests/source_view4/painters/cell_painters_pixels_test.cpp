// The group painter on the Cairo painter: its button icons, a plus or a minus in a square outline,
// land on the pixels the geometry gives.
#include <gtest/gtest.h>

#include "painter_fixture.h"
#include "source_view4/group_painter.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using source_view4::column_painters::draw_cell_params_t;
using sv4_test::pixel_probe_t;

const _color black = _color::rgb(0, 0, 0);

class CellPainterPixels : public sv4_test::painter_test_t {
 protected:
  pixel_probe_t probe{100, 40};
};

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

}  // namespace
