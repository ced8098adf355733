// The text, group and snippet painters on the recording painter: colours by state, the calls of a
// cell, its text, found-text pieces, the group button, snippet header, frame and entries.
#include "source_view4/text_painter.h"
#include "painter_fixture.h"
#include "source_view4/group_painter.h"
#include "support/assertion_recorder.h"

namespace {

using orrin7::_color;
using source_view4::found_items_column;
using source_view4::snippet_column;
using source_view4::snippet_t;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::text_painter_t;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1);

class TextPainter : public sv4_test::painter_test_t {
 protected:
  // The text colours by state: plain, highlighted, active, active highlighted, then disabled.
  static strings text_colors(const text_painter_t& p) {
    return shown({p.get_text_color(), p.get_text_highlighted_color(), p.get_text_active_color(),
                  p.get_text_active_highlighted_color(), p.get_text_disabled_color(),
                  p.get_text_disabled_highlighted_color(), p.get_text_disabled_active_color(),
                  p.get_text_disabled_active_highlighted_color()});
  }
  // Draws `text` of row 0, model column 5, with found items, in a 200-pixel cell; answers the
  // pieces and their background colours.
  strings draw_found(const source_view4::found_items_t& items, int align = 0x161,
                     const std::wstring& text = L"hello world") {
    const auto model = make_model(1);
    model->set_data(0, 5, text);
    model->set_data(0, found_items_column, items);
    painter.set_align(align);
    return draw(painter, cell(&recorder, {0, 0, 200, 20}, 0, 5, model),
                {"DrawString(", "SetBkColor"});
  }

  text_painter_t painter;
};

TEST_F(TextPainter, DerivesTextColoursFromThePalette) {
  const _color black = _color::rgb(0, 0, 0, 0xFF, 1);
  const _color grey = _color::rgb(38, 38, 38, 0xFF, 1);  // black lightened by 15 %
  EXPECT_EQ(text_colors(painter), shown({black, black, white, _color::rgb(0, 0, 0), grey, grey,
                                         white, _color::rgb(38, 38, 38)}));
}

// Copied under the light palette, updated under the dark one: the explicit colours and font stay,
// the derived ones (the base painter's too) follow the palette and the products take the explicit
// factors.
TEST_F(TextPainter, ExplicitColoursAndFontSurviveCopiesAndUpdatesAndFeedTheDerivedOnes) {
  const _color grey = _color::rgb(0x80, 0x80, 0x80), red = _color::rgb(0xFF, 0, 0);
  const orrin7::font mono(2, 11, 0, L"DejaVu Sans Mono");
  painter.set_text_highlighted_color(grey);
  painter.set_text_disabled_highlighted_color(red);
  painter.set_font(mono);
  text_painter_t copy(painter);
  orrin7::GetSysPalette().UseDarkColors(true);
  copy.update_colors();
  const _color text = _color::rgb(0xD4, 0xD4, 0xD4, 0xFF, 1);  // lightened by 15 %: 218
  EXPECT_EQ(text_colors(copy),
            shown({text, grey, white, grey, _color::rgb(218, 218, 218, 0xFF, 1), red, white, red}));
  EXPECT_EQ(copy.get_font(), mono);
  EXPECT_EQ(copy.get_background_color(),
            orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground));
}

// Text colours and background colours are numbered by state; each state draws its own pair.
TEST_F(TextPainter, StateTableChoosesTextAndBackgroundColours) {
  using setter_t = void (text_painter_t::*)(const _color&);
  // Indexed by highlighted, disabled, active.
  const setter_t setters[] = {&text_painter_t::set_text_color,
                              &text_painter_t::set_text_active_color,
                              &text_painter_t::set_text_disabled_color,
                              &text_painter_t::set_text_disabled_active_color,
                              &text_painter_t::set_text_highlighted_color,
                              &text_painter_t::set_text_active_highlighted_color,
                              &text_painter_t::set_text_disabled_highlighted_color,
                              &text_painter_t::set_text_disabled_active_highlighted_color};
  for (int i = 0; i < 8; ++i) (painter.*setters[i])(_color::rgb(std::uint8_t(i + 1), 0, 0));
  painter.set_background_color(_color::rgb(0, 0, 1));
  painter.set_background_active_color(_color::rgb(0, 0, 2));
  painter.set_background_highlighted_color(_color::rgb(0, 0, 3));
  painter.set_background_active_highlighted_color(_color::rgb(0, 0, 4));
  const auto model = make_model(2, 1);
  for (int state = 0; state < 8; ++state) {
    const bool highlighted = state & 4, active = state & 1;
    draw_cell_params_t params = cell(&recorder, {0, 0, 50, 20}, highlighted ? 1 : 0, 3, model);
    params.active = active;
    params.cell_flags = state & 2;  // disabled
    const strings colors = shown({_color::rgb(0, 0, std::uint8_t(highlighted * 2 + active + 1)),
                                  _color::rgb(std::uint8_t(state + 1), 0, 0)});
    EXPECT_EQ(draw(painter, params, {"SetBrush", "SetTextColor"}),
              (strings{"SetBrush(" + colors[0] + ", 1)", "SetTextColor(" + colors[1] + ")"}))
        << state;
  }
}

TEST_F(TextPainter, DrawsAndMeasuresTextInItsOwnFontAndPutsThePaintersFontBack) {
  recorder.SetFont(orrin7::font(3, 7, 0, L"saved"));
  draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20});
  params.text = L"abc";
  params.cell_flags = 1;
  EXPECT_EQ(draw(painter, params),
            (strings{"SetBrush(#ffffffff/1, 1)", "FillRect(0, 0, 100, 20)", "GetFont()",
                     "SetFont(font(0, 0, 1, \"\"))", "SetTextColor(#000000ff/1)",
                     "DrawStringNative(2, 2, 99, 18, \"abc\", 0x161)",
                     "SetFont(font(3, 7, 0, \"saved\"))", "SetPen(#ccccccff/1, 0, 1)",
                     "MoveTo(100, 0)", "LineTo(100, 20)", "SetPen(#ccccccff/1, 0, 1)",
                     "MoveTo(100, 20)", "LineTo(0, 20)"}));
  // Measurements use the painter's own font, without the style of the cell, and put the font back.
  recorder.clear();
  EXPECT_EQ(painter.get_content_size(params), orrin7::size<double>(3 * 7 + 3, 14 + 3));
  EXPECT_EQ(painter.get_content_rect(params), orrin7::rectangle<double>(2, 3, 23, 17));
  EXPECT_EQ(recorder.calls(), (strings{"GetTextSize(\"abc\", font(0, 0, 0, \"\"), -1, true, true)",
                                       "GetFont()", "SetFont(font(0, 0, 0, \"\"))",
                                       "GetTextRect(2, 2, 99, 18, \"abc\", 0x1161, -1)",
                                       "SetFont(font(3, 7, 0, \"saved\"))"}));
}

TEST_F(TextPainter, TakesTheGridTextOrTheModelText) {
  const auto model = make_model(2);
  model->set_data(0, 3, 42);
  const auto text_of = [&](unsigned int row, unsigned int column, const std::wstring& text) {
    draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20}, row, column, model);
    params.text = text;
    return draw(painter, params, {"DrawStringNative"});
  };
  EXPECT_EQ(text_of(0, 3, L""), strings{"DrawStringNative(2, 2, 99, 18, \"42\", 0x161)"});
  EXPECT_EQ(text_of(0, 3, L"grid"), strings{"DrawStringNative(2, 2, 99, 18, \"grid\", 0x161)"});
  EXPECT_EQ(text_of(1, 3, L""), strings{"DrawStringNative(2, 2, 99, 18, \"\", 0x161)"});  // unset
  EXPECT_EQ(text_of(0, 0xFFFFFFFF, L""), strings{"DrawStringNative(2, 2, 99, 18, \"\", 0x161)"});
}

// Items of another column, overlapping a drawn one, of negative length or past the end are skipped.
TEST_F(TextPainter, FoundTextIsDrawnInPiecesOnItsOwnBackground) {
  EXPECT_EQ(draw_found({{5, 0, 2, false},
                        {9, 3, 2, false},
                        {5, 1, 3, false},
                        {5, 2, -1, false},
                        {5, 6, 3, true},
                        {5, 9, 5, false}}),
            (strings{"DrawString(2, 2, 199, 18, \"\", 0x161, -1)", "SetBkColor(#daff82ff/0)",
                     "DrawString(2, 2, 199, 18, \"he\", 0x161, -1)", "SetBkColor(#00000000/1)",
                     "DrawString(16, 2, 199, 18, \"llo \", 0x161, -1)", "SetBkColor(#7fd704ff/0)",
                     "DrawString(44, 2, 199, 18, \"wor\", 0x161, -1)", "SetBkColor(#00000000/1)",
                     "DrawString(65, 2, 199, 18, \"ld\", 0x161, -1)"}));
  EXPECT_EQ(recorder.calls_starting_with({"SetBkMode"}),
            (strings{"SetBkMode(1)", "SetBkMode(0)", "SetBkMode(1)", "SetBkMode(0)"}));
  // A value that is no list of items: no items.
  const auto model = make_model(1);
  model->set_data(0, found_items_column, std::wstring(L"not a list"));
  draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20}, 0, 5, model);
  params.text = L"plain";
  EXPECT_EQ(draw(painter, params, {"DrawString"}),
            strings{"DrawStringNative(2, 2, 99, 18, \"plain\", 0x161)"});
}

// 11 characters of 7 pixels in a 197-pixel box: 60 pixels free on each side when centred. Text
// wider than the box stays at the left edge.
TEST_F(TextPainter, CentredAndRightAlignedFoundTextIsPlacedWholeThenDrawnLeftAligned) {
  const struct {
    int align;
    std::wstring text;
    std::string first_piece;
  } cases[] = {{0x164, L"hello world", "DrawString(62, 2, 199, 18, \"hello \", 0x161, -1)"},
               {0x162, L"hello world", "DrawString(122, 2, 199, 18, \"hello \", 0x161, -1)"},
               {0x166, L"hello world", "DrawString(122, 2, 199, 18, \"hello \", 0x161, -1)"},
               {0x164, std::wstring(40, L'x'), "DrawString(2, 2, 199, 18, \"xxxxxx\", 0x161, -1)"}};
  for (const auto& c : cases) {
    EXPECT_EQ(draw_found({{5, 6, 5, false}}, c.align, c.text)[0], c.first_piece);
  }
}

TEST_F(TextPainter, MissingPainterIsReportedAndNothingIsDrawn) {
  sv4_test::assertion_recorder_t assertions;
  const draw_cell_params_t params = cell(nullptr, {0, 0, 10, 10});
  painter.on_draw_cell(params);
  EXPECT_EQ(painter.get_content_size(params), orrin7::size<double>(3, 3));
  EXPECT_EQ(assertions.expressions(), (strings{"painter != nullptr", "params.painter != nullptr"}));
}

// ---- group and snippet painters ----

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
