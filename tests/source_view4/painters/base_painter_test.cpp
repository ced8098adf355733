// base_painter_t: palette-derived colours, explicit colours, state table, grid and focus lines,
// margins and copies.
#include <gtest/gtest.h>

#include "painter_fixture.h"
#include "support/recording_painter.h"

namespace {

using orrin7::_color;
using source_view4::column_painters::base_painter_t;
using source_view4::column_painters::draw_cell_params_t;
using strings = std::vector<std::string>;

// The smallest concrete painter: background and lines.
class plain_painter_t : public base_painter_t {
 public:
  void on_draw_cell(const draw_cell_params_t& params) override {
    draw_cell_background(params);
    draw_cell_lines(params);
  }
  using base_painter_t::get_current_bk_color;
};

class BasePainter : public sv4_test::painter_test_t {
 protected:
  // The line calls of one cell at (10, 20, 110, 40), with or without the pens.
  strings lines(int focus_edges, bool with_pens = true) {
    draw_cell_params_t params = cell(&recorder, {10, 20, 110, 40});
    params.focus_edges = focus_edges;
    recorder.clear();
    painter.on_draw_cell(params);
    if (!with_pens) return recorder.calls_starting_with({"MoveTo", "LineTo"});
    return recorder.calls_starting_with({"MoveTo", "LineTo", "SetPen"});
  }

  sv4_test::recording_painter_t recorder;
  plain_painter_t painter;
};

TEST_F(BasePainter, DerivesItsColoursFromTheLightPalette) {
  EXPECT_EQ(painter.get_background_color(), _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  EXPECT_EQ(painter.get_background_active_color(), _color::rgb(0x33, 0x99, 0xFF, 0xFF, 1));
  EXPECT_EQ(painter.get_background_highlighted_color(), _color::rgb(178, 204, 229, 0xFF, 0));
  EXPECT_EQ(painter.get_background_active_highlighted_color(), _color::rgb(114, 178, 242, 0xFF, 0));
  EXPECT_EQ(painter.get_grid_lines_color(), _color::rgb(204, 204, 204, 0xFF, 1));
  EXPECT_EQ(painter.get_margins(), orrin7::rectangle<int>(2, 2, 1, 1));
  EXPECT_EQ(painter.get_content_rect(cell(&recorder, {1, 2, 3, 4})),
            orrin7::rectangle<double>(1, 2, 3, 4));
  EXPECT_EQ(painter.get_content_size(cell(&recorder, {1, 2, 3, 4})), orrin7::size<double>(0, 0));
}

TEST_F(BasePainter, ExplicitColoursSurvivePaletteChangesAndDerivedOnesFollowThem) {
  const _color white0 = _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 0);
  painter.set_background_active_color(_color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  orrin7::GetSysPalette().UseDarkColors(true);
  painter.update_colors();
  const _color dark_background = orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground);
  EXPECT_EQ(painter.get_background_color(), dark_background);
  EXPECT_EQ(painter.get_background_active_color(), _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  painter.set_background_color(_color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  painter.update_colors();
  EXPECT_EQ(painter.get_background_highlighted_color(), white0);  // blend of two whites, grey
  EXPECT_EQ(painter.get_background_active_highlighted_color(), white0);
  EXPECT_EQ(painter.get_grid_lines_color(),
            source_view4::column_painters::darken_color(dark_background, 20));
  plain_painter_t copy(painter);
  orrin7::GetSysPalette().UseDarkColors(false);
  copy.update_colors();
  EXPECT_EQ(copy.get_background_color(), _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  EXPECT_EQ(copy.get_grid_lines_color(), _color::rgb(204, 204, 204, 0xFF, 1));
}

TEST_F(BasePainter, BackgroundFollowsHighlightAndActiveState) {
  const auto model = make_model(2, 1);
  const _color colors[] = {_color::rgb(1, 0, 0), _color::rgb(2, 0, 0), _color::rgb(3, 0, 0),
                           _color::rgb(4, 0, 0)};
  painter.set_background_color(colors[0]);
  painter.set_background_active_color(colors[1]);
  painter.set_background_highlighted_color(colors[2]);
  painter.set_background_active_highlighted_color(colors[3]);
  for (unsigned int row : {0u, 1u}) {
    for (bool active : {false, true}) {
      draw_cell_params_t params = cell(&recorder, {0, 0, 10, 10}, row, 0, model);
      params.active = active;
      EXPECT_EQ(painter.get_current_bk_color(params), colors[row * 2 + active]) << row << active;
    }
  }
  draw_cell_params_t no_model = cell(&recorder, {0, 0, 10, 10}, 1);
  EXPECT_EQ(painter.get_current_bk_color(no_model), colors[0]);
  recorder.clear();
  no_model.active = true;
  painter.on_draw_cell(no_model);
  EXPECT_EQ(recorder.calls()[0], "SetBrush(#020000ff/0, 1)");
  EXPECT_EQ(recorder.calls()[1], "FillRect(0, 0, 10, 10)");
}

TEST_F(BasePainter, GridLinesFollowTheSwitches) {
  EXPECT_EQ(lines(0), (strings{"SetPen(#ccccccff/1, 0, 1)", "MoveTo(110, 20)", "LineTo(110, 40)",
                               "SetPen(#ccccccff/1, 0, 1)", "MoveTo(110, 40)", "LineTo(10, 40)"}));
  painter.set_draw_horizontal_lines(false);
  EXPECT_EQ(lines(0), (strings{"SetPen(#ccccccff/1, 0, 1)", "MoveTo(110, 20)", "LineTo(110, 40)",
                               "SetPen(#ffffffff/1, 0, 1)", "MoveTo(110, 40)", "LineTo(10, 40)"}));
  painter.set_draw_vertical_lines(false);
  EXPECT_EQ(lines(0), (strings{"SetPen(#ccccccff/1, 0, 1)", "SetPen(#ffffffff/1, 0, 1)",
                               "MoveTo(110, 40)", "LineTo(10, 40)"}));
}

TEST_F(BasePainter, FocusEdgesStopAboveTheBottomLineOnlyWhenItIsDrawn) {
  painter.set_draw_vertical_lines(false);
  strings expected = {"MoveTo(110, 40)", "LineTo(10, 40)", "MoveTo(10, 20)",
                      "LineTo(110, 20)", "MoveTo(10, 39)", "LineTo(110, 39)"};
  EXPECT_EQ(lines(0xC, /*with_pens=*/false), expected);
  expected.insert(expected.begin() + 2, {"MoveTo(10, 20)", "LineTo(10, 39)"});
  EXPECT_EQ(lines(0xD, /*with_pens=*/false), expected);
  painter.set_draw_horizontal_lines(false);
  EXPECT_EQ(lines(0xF, /*with_pens=*/false),
            (strings{"MoveTo(110, 40)", "LineTo(10, 40)", "MoveTo(10, 20)", "LineTo(10, 40)",
                     "MoveTo(110, 20)", "LineTo(110, 40)", "MoveTo(10, 20)", "LineTo(110, 20)",
                     "MoveTo(10, 40)", "LineTo(110, 40)"}));
  // Each focus line is dotted in the text colour and leaves the line pen in place.
  recorder.SetTextColor(_color::rgb(1, 2, 3));
  const strings with_pens = lines(0x4);
  EXPECT_EQ(strings(with_pens.end() - 4, with_pens.end()),
            (strings{"SetPen(#010203ff/0, 0, 3)", "MoveTo(10, 20)", "LineTo(110, 20)",
                     "SetPen(#ffffffff/1, 0, 1)"}));
}

TEST_F(BasePainter, MarginsTakeTheHorizontalPairFirst) {
  painter.set_margins(1, 2, 3, 4);
  EXPECT_EQ(painter.get_margins(), orrin7::rectangle<int>(1, 3, 2, 4));
  painter.set_margins(orrin7::rectangle<int>(5, 6, 7, 8));
  EXPECT_EQ(painter.get_margins(), orrin7::rectangle<int>(5, 6, 7, 8));
  painter.set_additional_flags(0x30);
  plain_painter_t copy;
  copy = painter;
  EXPECT_EQ(copy.get_margins(), orrin7::rectangle<int>(5, 6, 7, 8));
  EXPECT_EQ(copy.get_additional_flags(), 0x30);
}

}  // namespace
