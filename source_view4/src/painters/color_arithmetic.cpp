// Colour arithmetic of the cell painters: blend, multiply, RGB to HSL and back, lighten, darken.
// The evaluation order and precision of every formula are part of the result.
#include <algorithm>
#include <cmath>

#include "source_view4/base_painter.h"

namespace source_view4 {
namespace column_painters {

namespace {

std::uint8_t channel(int value) { return std::uint8_t(value & 0xFF); }

std::uint8_t blend_channel(std::uint8_t a, std::uint8_t b) {
  const float fa = float(a) / 255.0f;
  const float fb = float(b) / 255.0f;
  return channel(int((fa + (fb - fa) * 0.5f) * 255.0f));
}

std::uint8_t multiply_channel(std::uint8_t a, std::uint8_t b) {
  return channel(int(float(a) / 255.0f * 255.0f * (float(b) / 255.0f)));
}

// One channel of HSL to RGB; h is the channel's hue, already brought into [0, 360).
double hue_to_value(double p, double q, double h) {
  if (h < 60) return p + (q - p) * h / 60;
  if (h < 180) return q;
  if (h < 240) return p + (q - p) * (240 - h) / 60;
  return p;
}

double wrap_hue(double h) {
  if (h < 0) return h + 360;
  if (h >= 360) return h - 360;
  return h;
}

orrin7::_color with_lightness(const orrin7::_color& c, double lightness) {
  hsl_t hsl = rgb_to_hsl(c);
  hsl.l = lightness;
  return hsl_to_rgb(hsl, c.alpha(), 1);
}

}  // namespace

orrin7::_color blend_colors(const orrin7::_color& a, const orrin7::_color& b) {
  return orrin7::_color::rgb(blend_channel(a.red(), b.red()), blend_channel(a.green(), b.green()),
                             blend_channel(a.blue(), b.blue()), blend_channel(a.alpha(), b.alpha()),
                             0);
}

orrin7::_color multiply_colors(const orrin7::_color& a, const orrin7::_color& b) {
  return orrin7::_color::rgb(multiply_channel(a.red(), b.red()),
                             multiply_channel(a.green(), b.green()),
                             multiply_channel(a.blue(), b.blue()), 0xFF, 0);
}

hsl_t rgb_to_hsl(const orrin7::_color& c) {
  const int r = c.red(), g = c.green(), b = c.blue();
  const int max = std::max({r, g, b});
  const int min = std::min({r, g, b});
  hsl_t hsl;
  if (max == min) {
    hsl.l = min / 255.0;
    return hsl;
  }
  const double range = max - min;
  hsl.l = (min + max) / 510.0;
  hsl.s = hsl.l <= 0.5 ? range / (max + min) : range / (510 - max - min);
  // The hue's case: green when red < green, otherwise red; blue only when strictly above both.
  const int larger = r < g ? g : r;
  if (b > larger) {
    hsl.h = 60 * (r - g) / range + 240;
  } else if (r < g) {
    hsl.h = 60 * (b - r) / range + 120;
  } else {
    hsl.h = 60 * (g - b) / range + 360;
  }
  if (hsl.h >= 360) hsl.h -= 360;
  return hsl;
}

orrin7::_color hsl_to_rgb(const hsl_t& hsl, std::uint8_t alpha, std::uint8_t flag) {
  if (hsl.s == 0) {
    const std::uint8_t grey = channel(int(hsl.l * 255));
    return orrin7::_color::rgb(grey, grey, grey, alpha, flag);
  }
  const double q = hsl.l <= 0.5 ? hsl.l * (1 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
  const double p = 2 * hsl.l - q;
  const auto value = [p, q](double h) {
    return channel(int(hue_to_value(p, q, wrap_hue(h)) * 255));
  };
  return orrin7::_color::rgb(value(hsl.h + 120), value(hsl.h), value(hsl.h - 120), alpha, flag);
}

orrin7::_color lighten_color(const orrin7::_color& c, double percent) {
  const double l = rgb_to_hsl(c).l;
  return with_lightness(c, std::min(1.0, l + (1 - l) * percent / 100));
}

orrin7::_color darken_color(const orrin7::_color& c, double percent) {
  const double l = rgb_to_hsl(c).l;
  return with_lightness(c, l - l * percent / 100);
}

}  // namespace column_painters
}  // namespace source_view4
