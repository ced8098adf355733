// text_painter_t on the recording painter: colours and their states, the call sequence of a cell,
// which text is drawn, found-text pieces in every alignment, content rectangle and size.
#include "source_view4/text_painter.h"
#include "painter_fixture.h"
#include "support/assertion_recorder.h"

namespace {

using orrin7::_color;
using source_view4::found_items_column;
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

}  // namespace
