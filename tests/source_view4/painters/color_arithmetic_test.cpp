// Colour arithmetic against hand-computed channels: blends and products in single precision, every
// hue case with its ties, lightness above and below one half, truncation at the channel edges.
#include <gtest/gtest.h>

#include "source_view4/base_painter.h"
#include "support/recording_painter.h"

namespace {

using orrin7::_color;
using sv4_test::format_color;
using namespace source_view4::column_painters;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1);
const _color black = _color::rgb(0, 0, 0, 0xFF, 1);

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
