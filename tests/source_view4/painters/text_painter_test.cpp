// text_painter_t on the recording painter: colours and their states, the call sequence of a cell,
// which text is drawn, found-text pieces in every alignment, content rectangle and size.
#include <gtest/gtest.h>

#include "painter_fixture.h"
#include "source_view4/text_painter.h"
#include "support/assertion_recorder.h"
#include "support/recording_painter.h"

namespace {

using orrin7::_color;
using source_view4::data_model_found_item_t;
using source_view4::found_items_column;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::text_painter_t;
using strings = std::vector<std::string>;

class TextPainter : public sv4_test::painter_test_t {
 protected:
  strings draw(const draw_cell_params_t& params, const std::string& prefix = "") {
    recorder.clear();
    painter.on_draw_cell(params);
    return prefix.empty() ? recorder.calls() : recorder.calls_starting_with({prefix});
  }

  // Draws "hello world" of row 0, model column 5, with found items, in a 200-pixel cell.
  strings draw_found(const source_view4::found_items_t& items, int align = 0x161) {
    const auto model = make_model(1);
    model->set_data(0, 5, std::wstring(L"hello world"));
    model->set_data(0, found_items_column, items);
    painter.set_align(align);
    strings out;
    for (const std::string& call : draw(cell(&recorder, {0, 0, 200, 20}, 0, 5, model))) {
      if (call.rfind("DrawString(", 0) == 0 || call.rfind("SetBkColor", 0) == 0)
        out.push_back(call);
    }
    return out;
  }

  sv4_test::recording_painter_t recorder;
  text_painter_t painter;
};

TEST_F(TextPainter, DerivesTextColoursFromThePalette) {
  EXPECT_EQ(painter.get_text_color(), _color::rgb(0, 0, 0, 0xFF, 1));
  EXPECT_EQ(painter.get_text_highlighted_color(), _color::rgb(0, 0, 0, 0xFF, 1));
  EXPECT_EQ(painter.get_text_active_color(), _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  EXPECT_EQ(painter.get_text_active_highlighted_color(), _color::rgb(0, 0, 0, 0xFF, 0));
  EXPECT_EQ(painter.get_text_disabled_color(), _color::rgb(38, 38, 38, 0xFF, 1));
  EXPECT_EQ(painter.get_text_disabled_highlighted_color(), _color::rgb(38, 38, 38, 0xFF, 1));
  EXPECT_EQ(painter.get_text_disabled_active_color(), _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  EXPECT_EQ(painter.get_text_disabled_active_highlighted_color(), _color::rgb(38, 38, 38, 0xFF, 0));
  EXPECT_EQ(painter.get_font(), orrin7::GetDefaultGUIFont());
  EXPECT_EQ(painter.get_align(), 0x161);
  // The base part is derived as well (the painter's own initialize_colors runs the base's).
  EXPECT_EQ(painter.get_grid_lines_color(), _color::rgb(204, 204, 204, 0xFF, 1));
}

TEST_F(TextPainter, ExplicitColoursAndFontSurviveUpdatesAndCopies) {
  painter.set_text_highlighted_color(_color::rgb(0x80, 0x80, 0x80, 0xFF, 0));
  painter.set_text_disabled_active_color(_color::rgb(0xFF, 0, 0, 0xFF, 0));
  painter.set_font(orrin7::font(2, 11, 0, L"DejaVu Sans Mono"));
  painter.update_colors();
  EXPECT_EQ(painter.get_text_active_highlighted_color(), _color::rgb(0x80, 0x80, 0x80, 0xFF, 0));
  EXPECT_EQ(painter.get_text_disabled_active_highlighted_color(), _color::rgb(38, 0, 0, 0xFF, 0));
  text_painter_t copy(painter);
  orrin7::GetSysPalette().UseDarkColors(true);
  copy.update_colors();
  EXPECT_EQ(copy.get_text_highlighted_color(), _color::rgb(0x80, 0x80, 0x80, 0xFF, 0));
  EXPECT_EQ(copy.get_font(), orrin7::font(2, 11, 0, L"DejaVu Sans Mono"));
  EXPECT_EQ(copy.get_text_color(), orrin7::GetSysPalette().GetColor(orrin7::PAL_Text));
}

TEST_F(TextPainter, StateTableChoosesTextAndBackgroundColours) {
  for (int i = 0; i < 8; ++i) {
    const _color c = _color::rgb(std::uint8_t(i + 1), 0, 0);
    using setter_t = void (text_painter_t::*)(const _color&);
    const setter_t setters[] = {&text_painter_t::set_text_color,
                                &text_painter_t::set_text_active_color,
                                &text_painter_t::set_text_disabled_color,
                                &text_painter_t::set_text_disabled_active_color,
                                &text_painter_t::set_text_highlighted_color,
                                &text_painter_t::set_text_active_highlighted_color,
                                &text_painter_t::set_text_disabled_highlighted_color,
                                &text_painter_t::set_text_disabled_active_highlighted_color};
    (painter.*setters[i])(c);
  }
  const auto model = make_model(2, 1);
  for (int state = 0; state < 8; ++state) {
    const bool highlighted = state & 4, disabled = state & 2, active = state & 1;
    draw_cell_params_t params = cell(&recorder, {0, 0, 50, 20}, highlighted ? 1 : 0, 3, model);
    params.active = active;
    params.cell_flags = disabled ? 2 : 0;
    const strings colors = draw(params, "SetTextColor");
    ASSERT_EQ(colors.size(), 1u);
    EXPECT_EQ(colors[0], "SetTextColor(#0" + std::to_string(state + 1) + "0000ff/0)") << state;
    const _color background =
        highlighted
            ? (active ? painter.get_background_active_highlighted_color()
                      : painter.get_background_highlighted_color())
            : (active ? painter.get_background_active_color() : painter.get_background_color());
    EXPECT_EQ(draw(params, "SetBrush")[0],
              "SetBrush(" + sv4_test::format_color(background) + ", 1)");
  }
}

TEST_F(TextPainter, DrawsBackgroundTextInTheStyledFontThenRestoresAndDrawsLines) {
  recorder.SetFont(orrin7::font(3, 7, 0, L"saved"));
  draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20});
  params.text = L"abc";
  params.cell_flags = 1;
  EXPECT_EQ(draw(params), (strings{
                              "SetBrush(#ffffffff/1, 1)",
                              "FillRect(0, 0, 100, 20)",
                              "GetFont()",
                              "SetFont(font(0, 0, 1, \"\"))",
                              "SetTextColor(#000000ff/1)",
                              "DrawStringNative(2, 2, 99, 18, \"abc\", 0x161)",
                              "SetFont(font(3, 7, 0, \"saved\"))",
                              "SetPen(#ccccccff/1, 0, 1)",
                              "MoveTo(100, 0)",
                              "LineTo(100, 20)",
                              "SetPen(#ccccccff/1, 0, 1)",
                              "MoveTo(100, 20)",
                              "LineTo(0, 20)",
                          }));
  // The measured size uses the painter's own font, without the style of the cell.
  recorder.clear();
  EXPECT_EQ(painter.get_content_size(params), orrin7::size<double>(3 * 7 + 3, 14 + 3));
  EXPECT_EQ(recorder.calls(), strings{"GetTextSize(\"abc\", font(0, 0, 0, \"\"), -1, true, true)"});
}

TEST_F(TextPainter, TakesTheGridTextOrTheModelText) {
  const auto model = make_model(2);
  model->set_data(0, 3, 42);
  const auto text_of = [&](unsigned int row, unsigned int column, const std::wstring& text) {
    draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20}, row, column, model);
    params.text = text;
    return draw(params, "DrawStringNative")[0];
  };
  EXPECT_EQ(text_of(0, 3, L""), "DrawStringNative(2, 2, 99, 18, \"42\", 0x161)");
  EXPECT_EQ(text_of(0, 3, L"grid"), "DrawStringNative(2, 2, 99, 18, \"grid\", 0x161)");
  EXPECT_EQ(text_of(1, 3, L""), "DrawStringNative(2, 2, 99, 18, \"\", 0x161)");  // not set
  EXPECT_EQ(text_of(0, 0xFFFFFFFF, L""), "DrawStringNative(2, 2, 99, 18, \"\", 0x161)");
}

TEST_F(TextPainter, FoundTextIsDrawnInPiecesOnItsOwnBackground) {
  const source_view4::found_items_t items = {{5, 0, 2, false}, {9, 3, 2, false}, {5, 6, 5, true}};
  EXPECT_EQ(draw_found(items), (strings{
                                   "DrawString(2, 2, 199, 18, \"\", 0x161, -1)",
                                   "SetBkColor(#daff82ff/0)",
                                   "DrawString(2, 2, 199, 18, \"he\", 0x161, -1)",
                                   "SetBkColor(#00000000/1)",
                                   "DrawString(16, 2, 199, 18, \"llo \", 0x161, -1)",
                                   "SetBkColor(#7fd704ff/0)",
                                   "DrawString(44, 2, 199, 18, \"world\", 0x161, -1)",
                                   "SetBkColor(#00000000/1)",
                               }));
  EXPECT_EQ(recorder.calls_starting_with({"SetBkMode"}),
            (strings{"SetBkMode(1)", "SetBkMode(0)", "SetBkMode(1)", "SetBkMode(0)"}));
}

TEST_F(TextPainter, CentredAndRightAlignedFoundTextIsPlacedWholeThenDrawnLeftAligned) {
  const source_view4::found_items_t items = {{5, 6, 5, false}};
  // 11 characters of 7 pixels in a 197-pixel box: 60 pixels free on each side when centred.
  EXPECT_EQ(draw_found(items, 0x164)[0], "DrawString(62, 2, 199, 18, \"hello \", 0x161, -1)");
  EXPECT_EQ(draw_found(items, 0x162)[0], "DrawString(122, 2, 199, 18, \"hello \", 0x161, -1)");
  EXPECT_EQ(draw_found(items, 0x166)[0], "DrawString(122, 2, 199, 18, \"hello \", 0x161, -1)");
  // Text wider than the box stays at the left edge.
  const auto model = make_model(1);
  model->set_data(0, 5, std::wstring(40, L'x'));
  model->set_data(0, found_items_column, items);
  painter.set_align(0x164);
  EXPECT_EQ(draw(cell(&recorder, {0, 0, 200, 20}, 0, 5, model), "DrawString(")[0],
            "DrawString(2, 2, 199, 18, \"xxxxxx\", 0x161, -1)");
}

TEST_F(TextPainter, BadFoundItemsAreSkippedAndOtherValuesMeanNoItems) {
  const source_view4::found_items_t items = {{5, 2, 4, false},
                                             {5, 4, 3, false} /* overlaps */,
                                             {5, 9, 5, false} /* past the end */,
                                             {5, 8, -1, false},
                                             {5, 8, 1, false}};
  EXPECT_EQ(draw_found(items), (strings{
                                   "DrawString(2, 2, 199, 18, \"he\", 0x161, -1)",
                                   "SetBkColor(#daff82ff/0)",
                                   "DrawString(16, 2, 199, 18, \"llo \", 0x161, -1)",
                                   "SetBkColor(#00000000/1)",
                                   "DrawString(44, 2, 199, 18, \"wo\", 0x161, -1)",
                                   "SetBkColor(#daff82ff/0)",
                                   "DrawString(58, 2, 199, 18, \"r\", 0x161, -1)",
                                   "SetBkColor(#00000000/1)",
                                   "DrawString(65, 2, 199, 18, \"ld\", 0x161, -1)",
                               }));
  const auto model = make_model(1);
  model->set_data(0, found_items_column, std::wstring(L"not a list"));
  draw_cell_params_t params = cell(&recorder, {0, 0, 100, 20}, 0, 5, model);
  params.text = L"plain";
  EXPECT_EQ(draw(params, "DrawStringNative").size(), 1u);
}

TEST_F(TextPainter, ContentRectangleIsMeasuredInThePaintersOwnFont) {
  painter.set_font(orrin7::font(2, 10, 0));
  recorder.SetFont(orrin7::font(1, 8, 0));
  draw_cell_params_t params = cell(&recorder, {10, 0, 110, 20});
  params.text = L"abc";
  params.cell_flags = 1;
  recorder.clear();
  EXPECT_EQ(painter.get_content_rect(params), orrin7::rectangle<double>(12, 3, 33, 17));
  EXPECT_EQ(recorder.calls(), (strings{"GetFont()", "SetFont(font(2, 10, 0, \"\"))",
                                       "GetTextRect(12, 2, 109, 18, \"abc\", 0x1161, -1)",
                                       "SetFont(font(1, 8, 0, \"\"))"}));
  params.text.clear();
  EXPECT_EQ(painter.get_content_size(params), orrin7::size<double>(3, 14 + 3));
}

TEST_F(TextPainter, MissingPainterIsReportedAndNothingIsDrawn) {
  sv4_test::assertion_recorder_t assertions;
  const draw_cell_params_t params = cell(nullptr, {0, 0, 10, 10});
  painter.on_draw_cell(params);
  EXPECT_EQ(painter.get_content_size(params), orrin7::size<double>(3, 3));
  EXPECT_EQ(assertions.expressions(), (strings{"painter != nullptr", "params.painter != nullptr"}));
}

}  // namespace
