// The painters of values on the recording painter: bars (geometry, fractions, border pens), the
// summary row, range tags and lines, images and labels side by side, and their measurements.
#include <algorithm>
#include <cmath>
#include <limits>

#include "painter_fixture.h"
#include "source_view4/bar_painter.h"
#include "source_view4/label_painter.h"
#include "source_view4/range_painter.h"
#include "source_view4/summary_text_painter.h"

namespace {

using orrin7::_color;
using fraction = source_view4::data_container_t<double>;
using source_view4::label_list_t;
using source_view4::range_t;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::image_painter_t;
using source_view4::column_painters::label_painter_t;

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

// ---- ranges ----

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

// ---- images and labels ----

class ImageAndLabelPainters : public sv4_test::painter_test_t {
 protected:
  ImageAndLabelPainters() {
    images.set_image_list(solid_images({{4, 4}, {6, 6}, {5, 5}}));
    labels.set_image_list(images.get_image_list());
  }

  image_painter_t images;
  label_painter_t labels;
  const label_list_t four_labels{{L"ab", L"cd", L"ef", L"gh"}, {0, 7, 1}};
};

TEST_F(ImageAndLabelPainters, ImagesSitSideBySideAndIndexesOutsideTheListLeaveNoGap) {
  const draw_cell_params_t params = holding(std::vector<int>{0, 5, 1, -1, 2}, {10, 20, 110, 40});
  EXPECT_EQ(
      draw(images, params, {"DrawBitmap"}),
      (strings{"DrawBitmap(4x4, 10, 20)", "DrawBitmap(6x6, 14, 20)", "DrawBitmap(5x5, 20, 20)"}));
  EXPECT_EQ(images.get_content_size(params), orrin7::size<double>(15, 6));
  // Every index counts as a square of the cell's height, whether the list has its image or not.
  EXPECT_EQ(images.get_content_rect(holding(std::vector<int>{0, 5, 1}, {10, 20, 310, 36})),
            orrin7::rectangle<double>(10, 20, 58, 36));
  EXPECT_EQ(images.get_content_rect(holding(std::vector<int>{}, {10, 20, 310, 36})),
            orrin7::rectangle<double>(10, 20, 10, 36));
}

// Label 0 takes 4 + 3 + 14 pixels from x = 2; label 1's image is not in the list. A negative
// index leaves the image to the list, which has none for it: the text alone.
TEST_F(ImageAndLabelPainters, LabelsAreDrawnFourPixelsApartUpToTheShorterList) {
  draw_cell_params_t params = holding(four_labels);
  params.active = true;
  EXPECT_EQ(draw(labels, params, {"DrawBitmap", "DrawString", "SetTextColor"}),
            (strings{"SetTextColor(#ffffffff/1)", "DrawBitmap(4x4, 2, 8)",
                     "DrawString(9, 2, 23, 18, \"ab\", 0x61, -1)", "DrawBitmap(6x6, 27, 7)",
                     "DrawString(36, 2, 50, 18, \"ef\", 0x61, -1)"}));
  EXPECT_EQ(draw(labels, holding(label_list_t{{L"ab"}, {-1}}), {"DrawBitmap", "DrawString"}),
            strings{"DrawString(2, 2, 16, 18, \"ab\", 0x61, -1)"});
}

TEST_F(ImageAndLabelPainters, LabelMeasurementsCountSevenPixelsPerLabel) {
  draw_cell_params_t params = holding(four_labels);
  // Margins 3 × 3, then (4 + 7 + 14) and (6 + 7 + 14); as high as the taller image.
  EXPECT_EQ(labels.get_content_size(params), orrin7::size<double>(55, 6));
  // Room for 3 square images of the cell's height and 3 × 7 pixels beside the measured texts.
  recorder.clear();
  EXPECT_EQ(labels.get_content_rect(params), orrin7::rectangle<double>(2, 3, 139, 17));
  EXPECT_EQ(recorder.calls_starting_with({"GetTextRect"}),
            strings{"GetTextRect(2, 2, 118, 18, \"abcdefgh\", 0x1161, -1)"});
  params.text = L"xyz";
  EXPECT_EQ(labels.get_content_size(params), orrin7::size<double>(24, 3));
}

// Without an image list: the background and the two grid lines, nothing measured.
TEST_F(ImageAndLabelPainters, WithoutImagesOnlyBackgroundAndLinesAndOtherValuesAreRefused) {
  const draw_cell_params_t params = holding(label_list_t{{L"ab"}, {0}});
  label_painter_t bare;
  EXPECT_EQ(draw(bare, params, {"DrawBitmap", "DrawString", "SetFont", "FillRect", "LineTo"}),
            (strings{"FillRect(0, 0, 200, 20)", "LineTo(200, 20)", "LineTo(0, 20)"}));
  EXPECT_EQ(bare.get_content_size(params), orrin7::size<double>(3, 3));
  EXPECT_EQ(image_painter_t().get_content_size(holding(std::vector<int>{0})),
            orrin7::size<double>(0, 0));
  EXPECT_THROW(labels.on_draw_cell(holding(std::vector<int>{0})), boost::bad_get);
  EXPECT_THROW(images.on_draw_cell(holding(label_list_t{})), boost::bad_get);
}

}  // namespace
