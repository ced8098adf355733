// base_painter_t (palette-derived and explicit colours, grid and focus lines, margins) and the
// colour arithmetic against hand-computed channels.
#include "painter_fixture.h"
#include "source_view4/text_painter.h"

namespace {

using orrin7::_color;
using sv4_test::format_color;
using namespace source_view4::column_painters;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1);
const _color black = _color::rgb(0, 0, 0, 0xFF, 1);

// The smallest concrete painter: background and lines.
class plain_painter_t : public base_painter_t {
 public:
  void on_draw_cell(const draw_cell_params_t& params) override {
    draw_cell_background(params);
    draw_cell_lines(params);
  }
};

class BasePainter : public sv4_test::painter_test_t {
 protected:
  // Background, active, highlighted, active highlighted and grid colours.
  static strings colors(const base_painter_t& p) {
    return shown({p.get_background_color(), p.get_background_active_color(),
                  p.get_background_highlighted_color(), p.get_background_active_highlighted_color(),
                  p.get_grid_lines_color()});
  }
  // The pens and lines of a cell at (10, 20, 110, 40) with focus lines on `focus_edges`.
  strings lines(int focus_edges,
                std::initializer_list<std::string> prefixes = {"SetPen", "MoveTo", "LineTo"}) {
    draw_cell_params_t params = cell(&recorder, {10, 20, 110, 40});
    params.focus_edges = focus_edges;
    return draw(painter, params, prefixes);
  }

  plain_painter_t painter;
};

TEST_F(BasePainter, DerivesItsColoursFromTheLightPalette) {
  EXPECT_EQ(colors(painter),
            shown({_color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1), _color::rgb(0x33, 0x99, 0xFF, 0xFF, 1),
                   _color::rgb(178, 204, 229), _color::rgb(114, 178, 242),
                   _color::rgb(204, 204, 204, 0xFF, 1)}));
}

// Under the dark palette the explicit whites stay, the highlighted colours are derived from them
// and the grid from the palette; a copy keeps which colours are explicit.
TEST_F(BasePainter, ExplicitColoursSurviveUpdatesAndCopiesAndDerivedOnesFollowThem) {
  painter.set_background_color(white);
  painter.set_background_active_color(white);
  plain_painter_t copy(painter);
  orrin7::GetSysPalette().UseDarkColors(true);
  copy.update_colors();
  const _color dark = orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground);
  EXPECT_EQ(colors(copy), shown({white, white, _color::rgb(0xFF, 0xFF, 0xFF),
                                 _color::rgb(0xFF, 0xFF, 0xFF), darken_color(dark, 20)}));
}

// The bottom line is drawn over in the background colour when horizontal lines are off.
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
  EXPECT_EQ(lines(0xD, {"MoveTo", "LineTo"}),
            (strings{"MoveTo(110, 40)", "LineTo(10, 40)", "MoveTo(10, 20)", "LineTo(10, 39)",
                     "MoveTo(10, 20)", "LineTo(110, 20)", "MoveTo(10, 39)", "LineTo(110, 39)"}));
  painter.set_draw_horizontal_lines(false);
  EXPECT_EQ(lines(0xF, {"MoveTo", "LineTo"}),
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

// Margins are given left, right, top, bottom: a text painter draws inside them (and one pixel off
// the bottom line) and measures its text with them added.
TEST_F(BasePainter, MarginsShrinkTheTextBoxAndGrowTheMeasuredSize) {
  text_painter_t text;
  text.set_margins(1, 2, 3, 4);
  draw_cell_params_t params = cell(&recorder, {10, 20, 110, 40});
  params.text = L"abc";
  EXPECT_EQ(draw(text, params, {"DrawStringNative"}),
            strings{"DrawStringNative(11, 23, 108, 35, \"abc\", 0x161)"});
  EXPECT_EQ(text.get_content_size(params), orrin7::size<double>(3 * 7 + 3, 14 + 7));
  text.set_margins(orrin7::rectangle<int>(0, 5, 0, 0));  // left, top, right, bottom
  EXPECT_EQ(draw(text, params, {"DrawStringNative"}),
            strings{"DrawStringNative(10, 25, 110, 39, \"abc\", 0x161)"});
}

// The palette-derived colours of the painter tests cover the common cases; these are the edges.
TEST(ColorArithmetic, BlendMultiplyLightenAndDarkenTruncateEachChannel) {
  const std::pair<_color, _color> cases[] = {
      {blend_colors(black, white), _color::rgb(127, 127, 127)},
      // (65 + 255) / 2 is 160 exactly, but 65/255 in single precision lands just below it.
      {blend_colors(_color::rgb(65, 43, 10), _color::rgb(255, 255, 10)), _color::rgb(159, 149, 10)},
      {blend_colors(_color::rgb(0, 0, 0, 0), _color::rgb(0, 0, 0)), _color::rgb(0, 0, 0, 127)},
      {multiply_colors(_color::rgb(51, 128, 255, 0), _color::rgb(155, 200, 7, 0)),
       _color::rgb(31, 100, 7)},
      {lighten_color(_color::rgb(0, 0, 0, 0x80), 15), _color::rgb(38, 38, 38, 0x80, 1)},
      {lighten_color(_color::rgb(0x33, 0x99, 0xFF), 200), white},
      {darken_color(_color::rgb(255, 0, 0), 50), _color::rgb(127, 0, 0, 0xFF, 1)},
  };
  for (const auto& c : cases) EXPECT_EQ(format_color(c.first), format_color(c.second));
}

// Back to RGB, every colour comes out as it went in, with the alpha and flag given.
TEST(ColorArithmetic, HslOfGreysAndEveryHueCaseRoundTrips) {
  struct hsl_case_t {
    _color color;
    double h, s, l;
  };
  const hsl_case_t cases[] = {
      {_color::rgb(128, 128, 128), 0, 0, 128 / 255.0},
      {_color::rgb(255, 0, 0), 0, 1, 0.5},
      {_color::rgb(0, 255, 0), 120, 1, 0.5},
      {_color::rgb(0, 0, 255), 240, 1, 0.5},
      {_color::rgb(255, 0, 255), 300, 1, 0.5},  // blue ties red: red case
      {_color::rgb(0, 255, 255), 180, 1, 0.5},  // blue ties green: green case
      {_color::rgb(255, 255, 0), 60, 1, 0.5},   // green ties red: red case
      {_color::rgb(153, 204, 255), 210, 1, 0.8},
      {_color::rgb(255, 128, 128), 0, 1, 383 / 510.0},  // lightness above one half
  };
  for (const hsl_case_t& c : cases) {
    const hsl_t hsl = rgb_to_hsl(c.color);
    EXPECT_EQ((std::vector<double>{hsl.h, hsl.s, hsl.l}), (std::vector<double>{c.h, c.s, c.l}))
        << format_color(c.color);
    EXPECT_EQ(format_color(hsl_to_rgb(hsl, 0x80, 1)),
              format_color(_color((c.color.value & 0xFFFFFFu) | 0x80000000u, 1)));
  }
}

}  // namespace
