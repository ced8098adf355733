// The colours the framework's widgets (headers, scroll bars, bevels, splitters) paint with, all
// derived from the system palette so that they follow theme changes, and a pixel-exact fill.
#pragma once

#include "orrin7/painter.h"
#include "orrin7/types.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

enum WidgetColorRole : int {
  WC_Face,          // header captions, scroll bar tracks, splitter grips
  WC_FaceHover,     // a caption or thumb under the pointer
  WC_FacePressed,   // a pressed caption, a scroll bar thumb
  WC_Line,          // separator lines and frames
  WC_Light,         // the light side of sunken and raised bevels
  WC_Text,          // captions and arrow glyphs
  WC_Accent,        // drop markers
  WC_Thumb,         // a scroll bar thumb at rest: at least 3:1 against WC_Face
  WC_ThumbHover,    // the thumb under the pointer
  WC_ThumbPressed,  // the thumb being dragged
};

orrin7::_color WidgetColor(WidgetColorRole role);

// `a` moved the fraction `t` of the way towards `b`, channel by channel (flag 1: a palette colour).
orrin7::_color MixColors(const orrin7::_color& a, const orrin7::_color& b, double t);

// The contrast ratio of two colours after the WCAG relative-luminance formula (1 … 21).
double ContrastRatio(const orrin7::_color& a, const orrin7::_color& b);

// The colour nearest to `base` on the way towards `towards` whose contrast to `base` reaches
// `ratio`; `towards` itself when no colour on the way reaches it.
orrin7::_color MixForContrast(const orrin7::_color& base, const orrin7::_color& towards,
                              double ratio);

// Fills exactly the pixels of `rect` (element pixels).
void FillBox(orrin7::IPainter* painter, const orrin7::_color& color,
             const orrin7::rectangle<int>& rect);

}  // namespace orrinfrw7

#pragma GCC visibility pop
