// bar_painter_t and summary_text_painter_t on the recording painter: bar geometry from the line
// height, values that draw no bar or a full one, border pens by state, colours that update_colors
// restores or keeps; the summary row's background and its line on the top edge.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "painter_fixture.h"
#include "source_view4/bar_painter.h"
#include "source_view4/summary_text_painter.h"
#include "support/recording_painter.h"

namespace {

using orrin7::_color;
using source_view4::data_container_t;
using source_view4::column_painters::bar_painter_t;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::summary_text_painter_t;
using strings = std::vector<std::string>;

class BarPainter : public sv4_test::painter_test_t {
 protected:
  // Draws `value` in row 0 (highlighted when asked) of a cell (10, 20, 110, 60), line height 17.
  strings draw(double value, bool active = false, bool highlighted = false,
               std::initializer_list<std::string> prefixes = {"RoundRect"}) {
    const auto model = make_model(1, highlighted ? 0 : 0xFFFFFFFF);
    model->set_data(0, 3, data_container_t<double>(value));
    draw_cell_params_t params = cell(&recorder, {10, 20, 110, 60}, 0, 3, model);
    params.line_height = 17;
    params.active = active;
    recorder.clear();
    painter.on_draw_cell(params);
    return recorder.calls_starting_with(prefixes);
  }

  sv4_test::recording_painter_t recorder;
  bar_painter_t painter;
};

TEST_F(BarPainter, BarIsHalfALineHighInTheFirstLineAndAsLongAsTheFraction) {
  EXPECT_EQ(
      draw(0.5, false, false, {""}),
      (strings{"SetBrush(#ffffffff/1, 1)", "FillRect(10, 20, 110, 60)", "SetBrush(#3372d4ff/0, 1)",
               "SetPen(#000000ff/1, 1, 1)", "RoundRect(14, 24, 60, 33, 1, 1)",
               "SetPen(#ccccccff/1, 0, 1)", "MoveTo(110, 20)", "LineTo(110, 60)",
               "SetPen(#ccccccff/1, 0, 1)", "MoveTo(110, 60)", "LineTo(10, 60)"}));
}

TEST_F(BarPainter, NothingButBackgroundForEmptyNegativeOrUnknownFractionsAndAFullBarAboveOne) {
  for (const double value : {0.0, -0.5, std::nan(""), -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(draw(value), strings{}) << value;
  }
  const strings full{"RoundRect(14, 24, 106, 33, 1, 1)"};
  EXPECT_EQ(draw(1.0), full);
  EXPECT_EQ(draw(2.5), full);
  EXPECT_EQ(draw(std::numeric_limits<double>::infinity()), full);

  // A cell 8 pixels wide has no room between its two 4-pixel insets.
  const auto model = make_model(1);
  model->set_data(0, 3, data_container_t<double>(1.0));
  recorder.clear();
  painter.on_draw_cell(cell(&recorder, {0, 0, 8, 20}, 0, 3, model));
  EXPECT_EQ(recorder.calls_starting_with({"RoundRect"}), strings{});
}

TEST_F(BarPainter, BorderPenFollowsTheRowState) {
  painter.set_border_active_color(_color::rgb(1, 0, 0));
  painter.set_border_highlighted_color(_color::rgb(2, 0, 0));
  painter.set_border_active_highlighted_color(_color::rgb(3, 0, 0));
  EXPECT_EQ(draw(0.5, true, false, {"SetPen(#01"}), strings{"SetPen(#010000ff/0, 0, 1)"});
  EXPECT_EQ(draw(0.5, false, true, {"SetPen(#02"}), strings{"SetPen(#020000ff/0, 0, 1)"});
  EXPECT_EQ(draw(0.5, true, true, {"SetPen(#03"}), strings{"SetPen(#030000ff/0, 0, 1)"});
}

TEST_F(BarPainter, UpdateColorsRestoresTheBarColourAndKeepsExplicitBorders) {
  EXPECT_EQ(painter.get_margins(), orrin7::rectangle<int>(4, 0, 4, 0));
  EXPECT_EQ(painter.get_border_highlighted_color(), _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  painter.set_bar_color(_color::rgb(9, 9, 9));
  painter.set_border_color(_color::rgb(7, 7, 7));
  orrin7::GetSysPalette().UseDarkColors(true);
  painter.update_colors();
  EXPECT_EQ(painter.get_bar_color(), _color::rgb(0x33, 0x72, 0xD4));
  EXPECT_EQ(painter.get_border_color(), _color::rgb(7, 7, 7));
  EXPECT_EQ(painter.get_background_color(), _color::rgb(0x1E, 0x1E, 0x1E, 0xFF, 1));
  bar_painter_t copy(painter);
  EXPECT_EQ(copy.get_border_color(), _color::rgb(7, 7, 7));
}

TEST_F(BarPainter, EveryCellMeasuresAsTheWidestPercentage) {
  const orrin7::size<double> size = painter.get_content_size(cell(&recorder, {0, 0, 1, 1}));
  EXPECT_EQ(size, orrin7::size<double>(42, 42));  // six characters of 7 pixels
  EXPECT_EQ(recorder.calls(), strings{"GetTextSize(\"999.9%\", current, -1, true, true)"});
}

TEST_F(BarPainter, ValueOfAnotherAlternativeIsRefused) {
  const auto model = make_model(1);
  model->set_data(0, 3, std::wstring(L"50%"));
  EXPECT_THROW(painter.on_draw_cell(cell(&recorder, {0, 0, 50, 20}, 0, 3, model)), boost::bad_get);
}

class SummaryPainter : public sv4_test::painter_test_t {
 protected:
  sv4_test::recording_painter_t recorder;
  summary_text_painter_t painter;
};

TEST_F(SummaryPainter, OneDarkerBackgroundForEveryStateAndTheLineOnTop) {
  const auto model = make_model(1, 0);
  painter.set_text_active_highlighted_color(_color::rgb(5, 5, 5));
  draw_cell_params_t params = cell(&recorder, {0, 0, 50, 20}, 0, 0xFFFFFFFF, model);
  params.text = L"12";
  params.active = true;
  params.focus_edges = 0xF;
  painter.on_draw_cell(params);
  EXPECT_EQ(recorder.calls_starting_with({"SetBrush", "SetTextColor", "MoveTo", "LineTo"}),
            (strings{"SetBrush(#d8d8d8ff/1, 1)", "SetTextColor(#050505ff/0)", "MoveTo(50, 0)",
                     "LineTo(50, 20)", "MoveTo(0, 0)", "LineTo(50, 0)"}));

  recorder.clear();
  painter.set_draw_horizontal_lines(false);
  painter.on_draw_cell(params);
  EXPECT_EQ(recorder.calls_starting_with({"MoveTo", "LineTo"}),
            (strings{"MoveTo(50, 0)", "LineTo(50, 20)"}));
}

TEST_F(SummaryPainter, BackgroundIsDerivedAgainEvenWhenSetExplicitly) {
  painter.set_background_color(_color::rgb(1, 2, 3));
  orrin7::GetSysPalette().UseDarkColors(true);
  painter.update_colors();
  // 0x1E darkened by 15 percent.
  EXPECT_EQ(painter.get_background_color(), _color::rgb(25, 25, 25, 0xFF, 1));
}

}  // namespace
