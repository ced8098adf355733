// group_painter_t and snippet_painter_t on the recording painter: nothing without a hierarchical
// model, the group colours and font, the button and the text of the flat row, the snippet header,
// its frame and entry lines, faces by additional flags, long snippets cut at the cell's bottom.
#include "source_view4/group_painter.h"
#include "painter_fixture.h"

namespace {

using orrin7::_color;
using source_view4::snippet_column;
using source_view4::snippet_t;
using source_view4::column_painters::draw_cell_params_t;

// Opens the helpers that only the painter itself calls.
struct open_snippet_painter_t : source_view4::column_painters::snippet_painter_t {
  using snippet_painter_t::get_line_spacing;
  using snippet_painter_t::get_snippet_font;
};

// Flat rows 0 … 5 with texts "row i"; rows 1 … 3 form a group, so view row 1 is its collapsed
// header and view row 2 shows flat row 4. For the snippet painter, flat row 0 is an expanded
// snippet row, row 1 a collapsed one, row 2 a plain row.
class GroupAndSnippetPainters : public sv4_test::painter_test_t {
 protected:
  GroupAndSnippetPainters()
      : flat(make_model(6)),
        grouped(new source_view4::hierarchical_data_model_t(flat)),
        snippets(new source_view4::snippets_data_model_t(flat)) {
    const snippet_t value{L"head", {{{L"d1", L"d2"}, L"first", 0, 1}, {{}, L"second", -1, 2}}};
    for (unsigned int row = 0; row < 6; ++row) {
      flat->set_data(row, 1, L"row " + std::to_wstring(row));
      flat->set_data(row, snippet_column, value);
    }
    grouped->create_group(1, 3);
    grouped->update_hierarchy();
    snippets->create_group(0, 0);
    snippets->create_group(1, 0);
    snippet.set_image_list(solid_images({{4, 4}}));
  }

  // An active group cell (100 × 20) or a snippet cell (200 × 100, lines of 20) of view row `row`.
  strings draw_group(unsigned int row, std::initializer_list<std::string> prefixes) {
    draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20}, row, 1, flat);
    params.hierarchical_model = grouped;
    params.active = true;
    return draw(group, params, prefixes);
  }
  strings draw_snippet(unsigned int row, std::initializer_list<std::string> prefixes) {
    draw_cell_params_t params = cell(&recorder, {0, 0, 200, 100}, row, snippet_column, flat);
    params.hierarchical_model = snippets;
    params.line_height = 20;
    return draw(snippet, params, prefixes);
  }

  model_t flat;
  utilkit2::smart_pointer_t<source_view4::hierarchical_data_model_base_t> grouped, snippets;
  source_view4::column_painters::group_painter_t group;
  open_snippet_painter_t snippet;
};

// The highlighted colours are derived from the cell colours, before the group's own were set;
// the group's own are set again on every update, over explicit ones.
TEST_F(GroupAndSnippetPainters, GroupColoursAndBoldFontAreSetOnEveryUpdate) {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  EXPECT_EQ(
      group.get_background_active_color(),
      source_view4::column_painters::blend_colors(palette.GetColor(orrin7::PAL_SelectionBackground),
                                                  palette.GetColor(orrin7::PAL_GroupBackground)));
  EXPECT_EQ(group.get_background_highlighted_color(),
            source_view4::column_painters::text_painter_t().get_background_highlighted_color());
  group.set_background_color(_color::rgb(1, 2, 3));
  orrin7::GetSysPalette().UseDarkColors(true);
  group.update_colors();
  EXPECT_EQ(group.get_background_color(), palette.GetColor(orrin7::PAL_GroupBackground));
  EXPECT_EQ(group.get_font().style, orrin7::FS_Bold);
}

// One update after a palette switch derives the highlighted backgrounds from the new palette's
// group colours, as a painter made under it does; a snippet painter keeps a colour a client set.
TEST_F(GroupAndSnippetPainters, OneUpdateFollowsAPaletteSwitchAndClientColoursStay) {
  snippet.set_background_active_color(_color::rgb(1, 2, 3));
  orrin7::GetSysPalette().UseDarkColors(true);
  group.update_colors();
  snippet.update_colors();
  source_view4::column_painters::group_painter_t made_dark;
  made_dark.update_colors();
  EXPECT_EQ(shown({group.get_background_highlighted_color(),
                   group.get_background_active_highlighted_color()}),
            shown({made_dark.get_background_highlighted_color(),
                   made_dark.get_background_active_highlighted_color()}));
  EXPECT_EQ(
      shown({snippet.get_background_color(), snippet.get_background_active_color()}),
      shown({orrin7::GetSysPalette().GetColor(orrin7::PAL_GroupBackground), _color::rgb(1, 2, 3)}));
}

TEST_F(GroupAndSnippetPainters, GroupButtonComesBeforeTheFlatRowsTextInThePlainTextColour) {
  EXPECT_EQ(draw_group(2, {"DrawString", "DrawBitmap"}),
            strings{"DrawString(2, 2, 99, 18, \"row 4\", 0x161, -1)"});
  group.set_draw_button(true);
  group.set_text_active_color(_color::rgb(9, 9, 9));
  group.set_align(0x41);
  EXPECT_EQ(draw_group(1, {"SetTextColor", "DrawString", "DrawBitmap"}),
            (strings{"SetTextColor(#000000ff/1)", "DrawBitmap(9x9, 3, 3)",
                     "DrawString(17, 2, 99, 18, \"row 1\", 0x41, -1)"}));
  EXPECT_EQ(group.get_group_control_rect(cell(nullptr, {10, 20, 90, 40})),
            orrin7::rectangle<double>(13, 23, 22, 32));
  // Without a hierarchical model the cell is left untouched.
  EXPECT_EQ(draw(group, cell(&recorder, {0, 0, 100, 20}, 1, 1, flat)), strings{});
}

// Frame: left 24, right 197, top one line down (20), bottom 97; entries from x 28. The frame in
// the snippet frame colour, the text 70 % of the way to the snippet text colour.
TEST_F(GroupAndSnippetPainters, SnippetRowShowsItsHeaderThenWhenExpandedItsFramedEntries) {
  const strings header{"FillRect(0, 0, 200, 100)", "FillRect(3, 3, 11, 11)",
                       "DrawBitmap(9x9, 3, 3)", "DrawStringNative(2, 2, 199, 17, \"head\", 0x149)"};
  strings expanded = header;
  expanded.insert(expanded.end(),
                  {"Polygon((197, 97), (197, 20), (15, 20), (24, 29), (24, 97))",
                   "DrawBitmap(4x4, 30, 27)", "DrawString(36, 20, 193, 39, \"first\", 0x61, -1)",
                   "DrawString(58, 40, 193, 59, \"d1\", 0x61, -1)",
                   "DrawString(58, 60, 193, 79, \"d2\", 0x61, -1)",
                   "DrawString(28, 80, 193, 99, \"second\", 0x61, -1)"});
  EXPECT_EQ(draw_snippet(0, {"FillRect", "DrawBitmap", "DrawString", "Polygon"}), expanded);
  EXPECT_EQ(draw_snippet(1, {"FillRect", "DrawBitmap", "DrawString", "Polygon"}), header);
  EXPECT_EQ(draw_snippet(2, {"FillRect", "DrawBitmap", "DrawString", "Polygon"}),
            (strings{header[0], header[3]}));
  EXPECT_EQ(draw_snippet(0, {"SetBrush(#c8", "SetPen(#84", "SetTextColor(#68"}),
            (strings{"SetBrush(#c8c8c8ff/1, 1)", "SetPen(#848484ff/0, 1, 1)",
                     "SetTextColor(#686868ff/0)"}));
}

// With flags, entries sharing a flag bit get the plain face, the others the italic one.
TEST_F(GroupAndSnippetPainters, AdditionalFlagsChooseThePlainOrItalicFaceForEachEntry) {
  const orrin7::font plain = snippet.get_snippet_font();
  EXPECT_EQ(plain, orrin7::font(2, orrin7::GetCurrentSystem()->GetAlternativeFont().size, 0));
  snippet.set_additional_flags(1);
  const std::string set_plain = "SetFont(" + sv4_test::format_font(plain) + ")";
  EXPECT_EQ(draw_snippet(0, {"SetFont(font(2"}),
            (strings{set_plain, set_plain,
                     "SetFont(" + sv4_test::format_font(orrin7::font(2, plain.size, 2)) + ")"}));
}

TEST_F(GroupAndSnippetPainters, LongSnippetsStopAtTheCellBottomAndOtherValuesAreRefused) {
  flat->set_data(0, snippet_column,
                 snippet_t{L"", {{std::vector<std::wstring>(500, L"x"), L"t", -1, 0}}});
  EXPECT_EQ(draw_snippet(0, {"DrawString("}).size(), 4u);  // lines at 20, 40, 60, 80 of 100
  flat->set_data(0, snippet_column, 7);
  EXPECT_THROW(draw_snippet(0, {}), boost::bad_get);
  EXPECT_EQ(snippet.get_line_spacing(5), 1);
  EXPECT_EQ(snippet.get_line_spacing(25), 2);
}

}  // namespace
