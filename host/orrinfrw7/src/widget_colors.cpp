// Widget colours from the system palette.
#include "orrinfrw7/widget_colors.h"

#include <cmath>

#include "orrin7/system.h"

namespace orrinfrw7 {

orrin7::_color MixColors(const orrin7::_color& a, const orrin7::_color& b, double t) {
  const auto channel = [t](std::uint8_t from, std::uint8_t to) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
  };
  return orrin7::_color::rgb(channel(a.red(), b.red()), channel(a.green(), b.green()),
                             channel(a.blue(), b.blue()), channel(a.alpha(), b.alpha()), 1);
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
      return MixColors(face, line, 0.5);
    case WC_Line:
      return line;
    case WC_Light:
      return palette.GetColor(orrin7::PAL_CellBackground);
    case WC_Text:
      return palette.GetColor(orrin7::PAL_Text);
    case WC_Accent:
      return palette.GetColor(orrin7::PAL_SelectionBackground);
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
