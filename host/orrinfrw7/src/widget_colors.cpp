// Widget colours from the system palette.
#include "orrinfrw7/widget_colors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "orrin7/system.h"

namespace orrinfrw7 {

orrin7::_color MixColors(const orrin7::_color& a, const orrin7::_color& b, double t) {
  const auto channel = [t](std::uint8_t from, std::uint8_t to) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
  };
  return orrin7::_color::rgb(channel(a.red(), b.red()), channel(a.green(), b.green()),
                             channel(a.blue(), b.blue()), channel(a.alpha(), b.alpha()), 1);
}

namespace {

double Linear(std::uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const orrin7::_color& c) {
  return 0.2126 * Linear(c.red()) + 0.7152 * Linear(c.green()) + 0.0722 * Linear(c.blue());
}

// Of black and white, the one farther from `c`: the way to go when the palette's own text colour
// is too close to the face to build a visible thumb from.
orrin7::_color Opposite(const orrin7::_color& c) {
  return Luminance(c) > 0.18 ? orrin7::_color::rgb(0, 0, 0, 0xFF, 1)
                             : orrin7::_color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1);
}

// The thumb's colours: mixed from the track towards the text until the contrast holds, so that
// the light, dark and high-contrast palettes (and any theme's) all give a thumb one can find.
orrin7::_color ThumbColor(const orrin7::_color& face, const orrin7::_color& text, double ratio) {
  const orrin7::_color towards = ContrastRatio(face, text) >= ratio ? text : Opposite(face);
  return MixForContrast(face, towards, ratio);
}

}  // namespace

double ContrastRatio(const orrin7::_color& a, const orrin7::_color& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

orrin7::_color MixForContrast(const orrin7::_color& base, const orrin7::_color& towards,
                              double ratio) {
  for (int step = 1; step <= 40; ++step) {
    const orrin7::_color mixed = MixColors(base, towards, step / 40.0);
    if (ContrastRatio(base, mixed) >= ratio) return mixed;
  }
  return MixColors(base, towards, 1.0);
}

orrin7::_color WidgetColor(WidgetColorRole role) {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const orrin7::_color face = palette.GetColor(orrin7::PAL_GroupBackground);
  const orrin7::_color line = palette.GetColor(orrin7::PAL_Separator);
  switch (role) {
    case WC_Face:
      return face;
    case WC_FaceHover:
      return MixColors(face, palette.GetColor(orrin7::PAL_SelectionBackground), 0.18);
    case WC_FacePressed:
      // Clearly darker (in a dark theme: lighter) than the hover face, so a press reads as one.
      return MixForContrast(face, palette.GetColor(orrin7::PAL_Text), 1.8);
    case WC_Line:
      return line;
    case WC_Light:
      return palette.GetColor(orrin7::PAL_CellBackground);
    case WC_Text:
      return palette.GetColor(orrin7::PAL_Text);
    case WC_Accent:
      return palette.GetColor(orrin7::PAL_SelectionBackground);
    case WC_Thumb:
      return ThumbColor(face, palette.GetColor(orrin7::PAL_Text), 3.2);
    case WC_ThumbHover:
      return ThumbColor(face, palette.GetColor(orrin7::PAL_Text), 4.5);
    case WC_ThumbPressed:
      return ThumbColor(face, palette.GetColor(orrin7::PAL_Text), 6.5);
  }
  return face;
}

void FillBox(orrin7::IPainter* painter, const orrin7::_color& color,
             const orrin7::rectangle<int>& rect) {
  if (rect.empty()) return;
  painter->SetBrush(orrin7::brush(color, 1));
  painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
}

}  // namespace orrinfrw7
