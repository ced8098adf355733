// The plain Pango set-up the benchmarks measure the drawing library against: one reused layout
// that lays text out as the drawing library does.
#pragma once

#include <pango/pangocairo.h>

namespace bench_floor {

// 96 dpi, grey antialiasing, slight hinting and whole-pixel metrics, as the drawing library uses.
inline void configure_context(PangoContext* context) {
  pango_cairo_context_set_resolution(context, 96.0);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
}

// One paragraph of text in the font a Pango description string names.
inline void set_font(PangoLayout* layout, const char* font) {
  PangoFontDescription* description = pango_font_description_from_string(font);
  pango_layout_set_font_description(layout, description);
  pango_font_description_free(description);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
}

}  // namespace bench_floor
