// range_painter_t on the recording painter: the tag of a first row, the lines of inner and last
// rows, the line colour carried over invalid colour indexes, what update_colors refreshes, the
// extra room in the measurements.
#include <algorithm>

#include "painter_fixture.h"
#include "source_view4/range_painter.h"

namespace {

using orrin7::_color;
using source_view4::range_t;

class RangePainter : public sv4_test::painter_test_t {
 protected:
  RangePainter() { painter.set_color_map({_color::rgb(0xFF, 0, 0), _color::rgb(0, 0xFF, 0)}); }

  // The calls after the text colour is set, without the font put back at the end, for a
  // 100 × 20 cell at the origin holding `value`.
  strings shapes(const source_view4::cell_value_t& value) {
    const strings calls = draw(painter, holding(value, {0, 0, 100, 20}));
    auto first = std::find_if(calls.begin(), calls.end(),
                              [](const std::string& c) { return c.rfind("SetTextColor", 0) == 0; });
    return first == calls.end() ? strings{} : strings(first + 1, calls.end() - 1);
  }

  source_view4::column_painters::range_painter_t painter;
};

TEST_F(RangePainter, FirstRowDrawsTheJointTheTagAndTheTextEndingBeforeThePoint) {
  // Text box 5 … 88 (margins, 3 and 11 more); "ab" is 14 wide, so the tag starts 69 further.
  EXPECT_EQ(
      shapes(range_t{range_t::first_row, L"ab", 0}),
      (strings{"GetTextRect(5, 2, 88, 18, \"ab\", 0x1161, -1)", "SetPen(#ff0000ff/0, 2, 1)",
               "MoveTo(92, 19)", "LineTo(92, 20)", "GetBrush()", "SetPen(#7f7f7fff/1, 1, 1)",
               "SetBrush(#ff0000ff/0, 1)",
               "Polygon((70, 1), (92, 1), (99, 10), (92, 19), (70, 19))",
               "SetBrush(#ffffffff/1, 1)", "DrawStringNative(74, 2, 88, 18, \"ab\", 0x161)"}));
  // Text wider than the room: the tag starts at the cell's left edge.
  EXPECT_EQ(shapes(range_t{range_t::first_row, std::wstring(20, L'x'), 1})[7],
            "Polygon((1, 1), (92, 1), (99, 10), (92, 19), (1, 19))");
  EXPECT_THROW(shapes(5), boost::bad_get);
  EXPECT_EQ(recorder.calls().back(), "SetFont(font(0, 0, 0, \"\"))");  // put back even so
}

TEST_F(RangePainter, InnerAndLastRowsDrawTheLineInTheColourLeftByTheLastValidIndex) {
  EXPECT_EQ(shapes(range_t{range_t::inner_row, L"", 1}),
            (strings{"SetPen(#00ff00ff/0, 2, 1)", "MoveTo(92, 0)", "LineTo(92, 20)"}));
  EXPECT_EQ(
      shapes(range_t{range_t::last_row, L"", 7}),
      (strings{"SetPen(#00ff00ff/0, 2, 1)", "MoveTo(92, 0)", "LineTo(92, 20)", "LineTo(99, 20)"}));
  // A start piece with an index outside the map fills its tag with that colour too.
  EXPECT_EQ(shapes(range_t{range_t::first_row, L"", -1})[6], "SetBrush(#00ff00ff/0, 1)");
  EXPECT_EQ(shapes(range_t{0, L"no piece", 0}), strings{});
  // An empty map: the outline colour.
  painter.set_color_map({});
  painter.update_colors();
  EXPECT_EQ(shapes(range_t{range_t::inner_row, L"", 0})[0], "SetPen(#7f7f7fff/1, 2, 1)");
}

// The text and background colours keep what the light palette gave them.
TEST_F(RangePainter, UpdateColorsRefreshesOnlyTheOutlineAndLineColoursAndMeasuresTheTag) {
  painter.set_outline_color(_color::rgb(1, 1, 1));
  orrin7::GetSysPalette().UseDarkColors(true);
  painter.update_colors();
  // Dark text 0xD4 lightened by half: L = 0.5 + 0.8314 / 2.
  EXPECT_EQ(shown({painter.get_outline_color(), painter.get_text_color(),
                   painter.get_background_color()}),
            shown({_color::rgb(233, 233, 233, 0xFF, 1), _color::rgb(0, 0, 0, 0xFF, 1),
                   _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1)}));
  auto params = cell(&recorder, {0, 0, 100, 20});
  params.text = L"abc";
  EXPECT_EQ(painter.get_content_size(params), orrin7::size<double>(21 + 3 + 14, 14 + 3));
  EXPECT_EQ(painter.get_content_rect(params).right, 2 + 21 + 14);
}

}  // namespace
