// Colour arithmetic against hand-computed channels: greys, saturated colours, every hue case and
// the truncations at channel edges.
#include <gtest/gtest.h>

#include "source_view4/base_painter.h"

namespace {

using orrin7::_color;
using namespace source_view4::column_painters;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1);
const _color black = _color::rgb(0, 0, 0, 0xFF, 1);

TEST(ColorArithmetic, BlendTruncatesInSinglePrecision) {
  EXPECT_EQ(blend_colors(black, white), _color::rgb(127, 127, 127, 0xFF, 0));
  EXPECT_EQ(blend_colors(white, _color::rgb(0x33, 0x99, 0xFF)),
            _color::rgb(153, 204, 255, 0xFF, 0));
  // (65 + 255) / 2 is 160 exactly, but 65/255 in single precision lands just below it.
  EXPECT_EQ(blend_colors(_color::rgb(65, 43, 10), _color::rgb(255, 255, 10)).value,
            _color::rgb(159, 149, 10).value);
  EXPECT_EQ(blend_colors(_color::rgb(0, 0, 0, 0), _color::rgb(0, 0, 0, 0xFF)).alpha(), 127);
}

TEST(ColorArithmetic, MultiplyIsOpaqueWithFlagZero) {
  EXPECT_EQ(multiply_colors(black, white), _color::rgb(0, 0, 0, 0xFF, 0));
  EXPECT_EQ(multiply_colors(_color::rgb(51, 128, 255, 0), _color::rgb(155, 200, 7, 0)),
            _color::rgb(31, 100, 7, 0xFF, 0));
}

TEST(ColorArithmetic, GreysHaveNoHueOrSaturation) {
  const hsl_t grey = rgb_to_hsl(_color::rgb(128, 128, 128));
  EXPECT_EQ(grey.h, 0.0);
  EXPECT_EQ(grey.s, 0.0);
  EXPECT_EQ(grey.l, 128 / 255.0);
  EXPECT_EQ(hsl_to_rgb(grey, 0x80, 1), _color::rgb(128, 128, 128, 0x80, 1));
  EXPECT_EQ(rgb_to_hsl(white).l, 1.0);
}

TEST(ColorArithmetic, HueCasesIncludingTies) {
  struct hue_case_t {
    _color color;
    double hue;
  };
  const hue_case_t cases[] = {
      {_color::rgb(255, 0, 0), 0},
      {_color::rgb(0, 255, 0), 120},
      {_color::rgb(0, 0, 255), 240},
      {_color::rgb(255, 0, 255), 300},  // blue ties red: red case
      {_color::rgb(0, 255, 255), 180},  // blue ties green: green case
      {_color::rgb(255, 255, 0), 60},   // green ties red: red case
      {_color::rgb(153, 204, 255), 210},
  };
  for (const hue_case_t& c : cases) {
    const hsl_t hsl = rgb_to_hsl(c.color);
    EXPECT_EQ(hsl.h, c.hue) << std::hex << c.color.value;
    EXPECT_EQ(hsl_to_rgb(hsl, 0xFF, 0), c.color) << std::hex << c.color.value;
  }
  const hsl_t light = rgb_to_hsl(_color::rgb(255, 128, 128));  // lightness above one half
  EXPECT_EQ(light.s, 1.0);
  EXPECT_EQ(light.l, 383 / 510.0);
}

TEST(ColorArithmetic, HalvedSaturationTruncatesEachChannel) {
  hsl_t hsl = rgb_to_hsl(_color::rgb(153, 204, 255));
  EXPECT_EQ(hsl.l, 0.8);
  hsl.s *= 0.5;
  EXPECT_EQ(hsl_to_rgb(hsl, 0xFF, 0), _color::rgb(178, 204, 229));  // 178.5 and 229.5 truncated
}

TEST(ColorArithmetic, LightenAndDarkenStopAtTheEdgesKeepAlphaAndSetTheFlag) {
  EXPECT_EQ(lighten_color(_color::rgb(0, 0, 0, 0x80, 0), 15), _color::rgb(38, 38, 38, 0x80, 1));
  EXPECT_EQ(lighten_color(white, 15), white);
  EXPECT_EQ(lighten_color(_color::rgb(0x33, 0x99, 0xFF), 200).value, white.value);
  EXPECT_EQ(darken_color(white, 20), _color::rgb(204, 204, 204, 0xFF, 1));
  EXPECT_EQ(darken_color(black, 20), black);
  EXPECT_EQ(darken_color(_color::rgb(255, 0, 0, 0xFF, 0), 50), _color::rgb(127, 0, 0, 0xFF, 1));
}

}  // namespace
