// bar_painter_t: the bar's geometry from the cell and its line height, colours by row state.
#include "source_view4/bar_painter.h"

#include <algorithm>
#include <cmath>

#include "orrin7/system.h"
#include "painters/painter_support.h"

namespace source_view4 {
namespace column_painters {

bar_painter_t::bar_painter_t() {
  margins = orrin7::rectangle<int>(4, 0, 4, 0);
  bar_painter_t::initialize_colors();
}

bar_painter_t::bar_painter_t(const bar_painter_t& other) = default;
bar_painter_t& bar_painter_t::operator=(const bar_painter_t& other) = default;
bar_painter_t::~bar_painter_t() = default;

// The bar runs from 4 pixels inside the left edge for the fraction of the width up to 4 pixels
// inside the right edge; it is half a row line high and centred in the cell's first row line.
void bar_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr)) return;
  draw_cell_background(params);
  const std::optional<data_container_t<double>> value =
      read_cell_value<data_container_t<double>>(params);
  const double fraction = value ? std::min(value->value, 1.0) : 0.0;
  const orrin7::rectangle<double>& r = params.rect;
  const double x0 = r.left + 4.0;
  const double x1 = x0 + (r.right - 4.0 - x0) * fraction;
  // The comparison is false for NaN as well: no bar.
  if (fraction > 0.0 && x1 > x0) {
    const double h = std::floor(params.line_height * 0.5 + 0.5);
    const double y0 = (r.top - h + r.top + params.line_height) * 0.5;
    painter->SetBrush(orrin7::brush(bar_color, 1));
    painter->SetPen(get_border_pen(params));
    painter->RoundRect(x0, y0, x1, y0 + h, 1.0, 1.0);
  }
  draw_cell_lines(params);
}

orrin7::size<double> bar_painter_t::get_content_size(const draw_cell_params_t& params) {
  if (!SYSPORT_CHECK(params.painter != nullptr)) return orrin7::size<double>(0.0, 0.0);
  const double width = params.painter->GetTextSize(L"999.9%", nullptr, -1, true, true).width;
  return orrin7::size<double>(width, std::floor(width + 0.5));
}

void bar_painter_t::set_bar_color(const orrin7::_color& c) { bar_color = c; }
const orrin7::_color& bar_painter_t::get_bar_color() const { return bar_color; }
void bar_painter_t::set_border_color(const orrin7::_color& c) { border_color.set(c); }
orrin7::_color bar_painter_t::get_border_color() const { return border_color.color; }
void bar_painter_t::set_border_highlighted_color(const orrin7::_color& c) {
  border_highlighted_color.set(c);
}
orrin7::_color bar_painter_t::get_border_highlighted_color() const {
  return border_highlighted_color.color;
}
void bar_painter_t::set_border_active_color(const orrin7::_color& c) { border_active_color.set(c); }
orrin7::_color bar_painter_t::get_border_active_color() const { return border_active_color.color; }
void bar_painter_t::set_border_active_highlighted_color(const orrin7::_color& c) {
  border_active_highlighted_color.set(c);
}
orrin7::_color bar_painter_t::get_border_active_highlighted_color() const {
  return border_active_highlighted_color.color;
}

void bar_painter_t::initialize_colors() {
  base_painter_t::initialize_colors();
  bar_color = default_bar_color;
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const orrin7::_color selected_text = palette.GetColor(orrin7::PAL_SelectionText);
  border_color.derive(palette.GetColor(orrin7::PAL_Text));
  border_highlighted_color.derive(selected_text);
  border_active_color.derive(selected_text);
  border_active_highlighted_color.derive(selected_text);
}

orrin7::pen bar_painter_t::get_border_pen(const draw_cell_params_t& params) const {
  const bool highlighted = is_highlighted(params);
  if (!highlighted && !params.active) return orrin7::pen(border_color.color, 1, 1);
  if (!highlighted) return orrin7::pen(border_active_color.color, 0, 1);
  if (!params.active) return orrin7::pen(border_highlighted_color.color, 0, 1);
  return orrin7::pen(border_active_highlighted_color.color, 0, 1);
}

}  // namespace column_painters
}  // namespace source_view4
