// group_painter_t and snippet_painter_t on the recording painter: nothing without a hierarchical
// model, the group colours and font, the button and the header text of the flat row, the snippet
// header, its frame and entry lines, fonts by additional flags, and long snippets cut at the
// cell's bottom.
#include <gtest/gtest.h>

#include "image_list_fixture.h"
#include "painter_fixture.h"
#include "source_view4/group_painter.h"
#include "support/recording_painter.h"

namespace {

using orrin7::_color;
using source_view4::snippet_column;
using source_view4::snippet_item_t;
using source_view4::snippet_t;
using source_view4::column_painters::blend_colors;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::group_painter_t;
using source_view4::column_painters::snippet_painter_t;
using source_view4::column_painters::text_painter_t;
using strings = std::vector<std::string>;

// Opens the helpers that only the painter itself calls.
struct open_snippet_painter_t : snippet_painter_t {
  using snippet_painter_t::get_line_spacing;
  using snippet_painter_t::get_snippet_font;
};

class GroupPainter : public sv4_test::painter_test_t {
 protected:
  // Flat rows 0 … 5 with texts "row i"; rows 1 … 3 form a group, so view row 1 is its collapsed
  // header and view row 2 shows flat row 4.
  GroupPainter() : flat(make_model(6)), grouped(new source_view4::hierarchical_data_model_t(flat)) {
    for (unsigned int row = 0; row < 6; ++row) {
      flat->set_data(row, 1, L"row " + std::to_wstring(row));
    }
    grouped->create_group(1, 3);
    grouped->update_hierarchy();
  }

  strings draw(unsigned int view_row, std::initializer_list<std::string> prefixes) {
    draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20}, view_row, 1, flat);
    params.hierarchical_model = grouped;
    recorder.clear();
    painter.on_draw_cell(params);
    return recorder.calls_starting_with(prefixes);
  }

  utilkit2::smart_pointer_t<source_view4::data_model_t> flat;
  utilkit2::smart_pointer_t<source_view4::hierarchical_data_model_t> grouped;
  sv4_test::recording_painter_t recorder;
  group_painter_t painter;
};

TEST_F(GroupPainter, WithoutAHierarchicalModelTheCellIsLeftUntouched) {
  painter.on_draw_cell(cell(&recorder, {0, 0, 100, 20}, 1, 1, flat));
  EXPECT_EQ(recorder.calls(), strings{});
}

TEST_F(GroupPainter, GroupColoursAndBoldFontAreSetOnEveryUpdate) {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  EXPECT_EQ(painter.get_background_color(), palette.GetColor(orrin7::PAL_GroupBackground));
  EXPECT_EQ(painter.get_background_active_color(),
            blend_colors(palette.GetColor(orrin7::PAL_SelectionBackground),
                         palette.GetColor(orrin7::PAL_GroupBackground)));
  // Derived from the cell colours, before the group's own were set.
  EXPECT_EQ(painter.get_background_highlighted_color(),
            text_painter_t().get_background_highlighted_color());
  EXPECT_EQ(painter.get_font().style, orrin7::FS_Bold);
  EXPECT_FALSE(painter.get_draw_button());

  painter.set_background_color(_color::rgb(1, 2, 3));
  orrin7::GetSysPalette().UseDarkColors(true);
  painter.update_colors();
  EXPECT_EQ(painter.get_background_color(), palette.GetColor(orrin7::PAL_GroupBackground));
  EXPECT_EQ(painter.get_font().style, orrin7::FS_Bold);
}

TEST_F(GroupPainter, ButtonComesBeforeTheTextOfTheFlatRowInThePlainTextColour) {
  EXPECT_EQ(draw(2, {"DrawString", "DrawBitmap"}),
            strings{"DrawString(2, 2, 99, 18, \"row 4\", 0x161, -1)"});
  painter.set_draw_button(true);
  painter.set_text_active_color(_color::rgb(9, 9, 9));
  painter.set_align(0x41);
  EXPECT_EQ(draw(1, {"SetTextColor", "DrawString", "DrawBitmap"}),
            (strings{"SetTextColor(#000000ff/1)", "DrawBitmap(9x9, 3, 3)",
                     "DrawString(17, 2, 99, 18, \"row 1\", 0x41, -1)"}));
  EXPECT_EQ(painter.get_group_control_rect(cell(nullptr, {10, 20, 90, 40})),
            orrin7::rectangle<double>(13, 23, 22, 32));
  EXPECT_EQ(group_painter_t::get_group_button_size(), 9);
}

class SnippetPainter : public sv4_test::painter_test_t {
 protected:
  // Flat row 0 is an expanded snippet row, row 1 a collapsed one, row 2 a plain row.
  SnippetPainter() : flat(make_model(3)), snippets(new source_view4::snippets_data_model_t(flat)) {
    snippets->create_group(0, 0);
    snippets->create_group(1, 0);
    const snippet_t value{
        L"head",
        {snippet_item_t{{L"d1", L"d2"}, L"first", 0, 1}, snippet_item_t{{}, L"second", -1, 2}}};
    for (unsigned int row = 0; row < 3; ++row) flat->set_data(row, snippet_column, value);
    painter.set_image_list(sv4_test::solid_image_list({{4, 4}}));
  }

  strings draw(unsigned int row, std::initializer_list<std::string> prefixes, double bottom = 100) {
    draw_cell_params_t params = cell(&recorder, {0, 0, 200, bottom}, row, snippet_column, flat);
    params.hierarchical_model = snippets;
    params.line_height = 20;
    recorder.clear();
    painter.on_draw_cell(params);
    return recorder.calls_starting_with(prefixes);
  }

  utilkit2::smart_pointer_t<source_view4::data_model_t> flat;
  utilkit2::smart_pointer_t<source_view4::snippets_data_model_t> snippets;
  sv4_test::recording_painter_t recorder;
  open_snippet_painter_t painter;
};

TEST_F(SnippetPainter, ExpandedRowShowsItsHeaderThenTheFramedEntriesOneLineEach) {
  EXPECT_EQ(painter.get_align(), 0x149);
  // Frame: left 24, right 197, top one line down (20), bottom 97; entries from x 28.
  EXPECT_EQ(draw(0, {"FillRect", "DrawBitmap", "DrawString", "Polygon"}),
            (strings{"FillRect(0, 0, 200, 100)", "FillRect(3, 3, 11, 11)", "DrawBitmap(9x9, 3, 3)",
                     "DrawStringNative(2, 2, 199, 17, \"head\", 0x149)",
                     "Polygon((197, 97), (197, 20), (15, 20), (24, 29), (24, 97))",
                     "DrawBitmap(4x4, 30, 27)", "DrawString(36, 20, 193, 39, \"first\", 0x61, -1)",
                     "DrawString(58, 40, 193, 59, \"d1\", 0x61, -1)",
                     "DrawString(58, 60, 193, 79, \"d2\", 0x61, -1)",
                     "DrawString(28, 80, 193, 99, \"second\", 0x61, -1)"}));
  // The frame in the snippet frame colour, the text 70 % of the way to the snippet text colour.
  EXPECT_EQ(draw(0, {"SetBrush(#c8", "SetPen(#84", "SetTextColor(#68"}),
            (strings{"SetBrush(#c8c8c8ff/1, 1)", "SetPen(#848484ff/0, 1, 1)",
                     "SetTextColor(#686868ff/0)"}));
}

TEST_F(SnippetPainter, CollapsedAndPlainRowsDrawTheirHeaderLineOnly) {
  EXPECT_EQ(draw(1, {"FillRect", "DrawBitmap", "DrawString", "Polygon"}),
            (strings{"FillRect(0, 0, 200, 100)", "FillRect(3, 3, 11, 11)", "DrawBitmap(9x9, 3, 3)",
                     "DrawStringNative(2, 2, 199, 17, \"head\", 0x149)"}));
  EXPECT_EQ(
      draw(2, {"FillRect", "DrawBitmap", "DrawString", "Polygon"}),
      (strings{"FillRect(0, 0, 200, 100)", "DrawStringNative(2, 2, 199, 17, \"head\", 0x149)"}));
}

TEST_F(SnippetPainter, AdditionalFlagsChooseThePlainOrItalicFaceForEachEntry) {
  const orrin7::font plain = painter.get_snippet_font();
  EXPECT_EQ(plain, orrin7::font(2, orrin7::GetCurrentSystem()->GetAlternativeFont().size, 0));
  painter.set_additional_flags(1);
  EXPECT_EQ(draw(0, {"SetFont(font(2"}),
            (strings{"SetFont(" + sv4_test::format_font(plain) + ")",
                     "SetFont(" + sv4_test::format_font(plain) + ")",
                     "SetFont(" + sv4_test::format_font(orrin7::font(2, plain.size, 2)) + ")"}));
}

TEST_F(SnippetPainter, EntriesBelowTheCellAreNotDrawn) {
  flat->set_data(
      0, snippet_column,
      snippet_t{L"", {snippet_item_t{std::vector<std::wstring>(500, L"x"), L"t", -1, 0}}});
  EXPECT_EQ(draw(0, {"DrawString("}).size(), 4u);  // rows at 20, 40, 60, 80 of a 100-pixel cell
}

TEST_F(SnippetPainter, LineSpacingAndRefusedValues) {
  EXPECT_EQ(painter.get_line_spacing(5), 1);
  EXPECT_EQ(painter.get_line_spacing(25), 2);
  flat->set_data(0, snippet_column, 7);
  EXPECT_THROW(draw(0, {}), boost::bad_get);
}

}  // namespace
