// bar_painter_t and summary_text_painter_t on the recording painter: bar geometry from the line
// height, fractions that draw no bar or a full one, border pens by state, colours update_colors
// restores or keeps; the summary row's one background and its line on the top edge.
#include <cmath>
#include <limits>

#include "painter_fixture.h"
#include "source_view4/bar_painter.h"
#include "source_view4/summary_text_painter.h"

namespace {

using orrin7::_color;
using fraction = source_view4::data_container_t<double>;

class BarAndSummaryPainters : public sv4_test::painter_test_t {
 protected:
  // Draws `value` in a cell (10, 20, 110, 60) of line height 17.
  strings draw_bar(const source_view4::cell_value_t& value,
                   std::initializer_list<std::string> prefixes = {"Round"}, bool active = false,
                   bool highlighted = false) {
    auto params = holding(value, {10, 20, 110, 60}, 3, highlighted);
    params.line_height = 17;
    params.active = active;
    return draw(bar, params, prefixes);
  }

  source_view4::column_painters::bar_painter_t bar;
};

TEST_F(BarAndSummaryPainters, BarIsHalfALineHighInTheFirstLineAndAsLongAsTheFraction) {
  EXPECT_EQ(
      draw_bar(fraction(0.5), {""}),
      (strings{"SetBrush(#ffffffff/1, 1)", "FillRect(10, 20, 110, 60)", "SetBrush(#3372d4ff/0, 1)",
               "SetPen(#000000ff/1, 1, 1)", "RoundRect(14, 24, 60, 33, 1, 1)",
               "SetPen(#ccccccff/1, 0, 1)", "MoveTo(110, 20)", "LineTo(110, 60)",
               "SetPen(#ccccccff/1, 0, 1)", "MoveTo(110, 60)", "LineTo(10, 60)"}));
  const double inf = std::numeric_limits<double>::infinity();
  for (const double v : {0.0, -0.5, std::nan(""), -inf})
    EXPECT_EQ(draw_bar(fraction(v)), strings{}) << v;
  for (const double v : {1.0, 2.5, inf}) {
    EXPECT_EQ(draw_bar(fraction(v)), strings{"RoundRect(14, 24, 106, 33, 1, 1)"}) << v;
  }
  EXPECT_THROW(draw_bar(std::wstring(L"50%")), boost::bad_get);
  // Active, highlighted, both: a hairline in the colour of the state.
  bar.set_border_active_color(_color::rgb(1, 0, 0));
  bar.set_border_highlighted_color(_color::rgb(2, 0, 0));
  bar.set_border_active_highlighted_color(_color::rgb(3, 0, 0));
  for (int state = 1; state < 4; ++state) {
    EXPECT_EQ(draw_bar(fraction(1), {"SetPen(#0"}, state & 1, state & 2),
              strings{"SetPen(#0" + std::to_string(state) + "0000ff/0, 0, 1)"});
  }
}

TEST_F(BarAndSummaryPainters, BarColourComesBackOnUpdateAndEveryCellMeasuresTheSame) {
  bar.set_bar_color(_color::rgb(9, 9, 9));
  bar.set_border_color(_color::rgb(7, 7, 7));
  orrin7::GetSysPalette().UseDarkColors(true);
  bar.update_colors();
  EXPECT_EQ(shown({bar.get_bar_color(), bar.get_border_color()}),
            shown({_color::rgb(0x33, 0x72, 0xD4), _color::rgb(7, 7, 7)}));
  // "999.9%": six characters of 7 pixels, whatever the cell.
  EXPECT_EQ(bar.get_content_size(cell(&recorder, {0, 0, 1, 1})), orrin7::size<double>(42, 42));
}

TEST_F(BarAndSummaryPainters, SummaryHasOneDarkerBackgroundAndItsLineOnTop) {
  source_view4::column_painters::summary_text_painter_t summary;
  summary.set_text_active_highlighted_color(_color::rgb(5, 5, 5));
  auto params = cell(&recorder, {0, 0, 50, 20}, 0, 0xFFFFFFFF, make_model(1, 0));
  params.text = L"12";
  params.active = true;
  params.focus_edges = 0xF;
  EXPECT_EQ(draw(summary, params, {"SetBrush", "SetTextColor", "MoveTo", "LineTo"}),
            (strings{"SetBrush(#d8d8d8ff/1, 1)", "SetTextColor(#050505ff/0)", "MoveTo(50, 0)",
                     "LineTo(50, 20)", "MoveTo(0, 0)", "LineTo(50, 0)"}));
  summary.set_draw_horizontal_lines(false);
  EXPECT_EQ(draw(summary, params, {"LineTo"}), strings{"LineTo(50, 20)"});
  summary.set_background_color(_color::rgb(1, 2, 3));
  orrin7::GetSysPalette().UseDarkColors(true);
  summary.update_colors();
  EXPECT_EQ(summary.get_background_color(), _color::rgb(25, 25, 25, 0xFF, 1));  // 0x1E less 15 %
}

}  // namespace
