// base_painter_t: colour states, palette-derived colours, cell background and grid lines.
#include "source_view4/base_painter.h"

#include "orrin7/system.h"

namespace source_view4 {
namespace column_painters {

base_painter_t::base_painter_t() { base_painter_t::initialize_colors(); }

base_painter_t::base_painter_t(const base_painter_t& other) = default;
base_painter_t& base_painter_t::operator=(const base_painter_t& other) = default;
base_painter_t::~base_painter_t() = default;

orrin7::rectangle<double> base_painter_t::get_content_rect(const draw_cell_params_t& params) {
  return params.rect;
}

orrin7::size<double> base_painter_t::get_content_size(const draw_cell_params_t& /*params*/) {
  return orrin7::size<double>(0.0, 0.0);
}

void base_painter_t::on_mouse_move(int /*x*/, int /*y*/) {}

// The right edge, then the bottom edge (in the background colour when horizontal lines are off,
// which paints over a line left there before), then the focus edges, which stop above the bottom
// grid line.
void base_painter_t::draw_cell_lines(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (painter == nullptr) return;
  const orrin7::rectangle<double>& r = params.rect;
  draw_right_grid_line(params);
  const orrin7::_color bottom_color =
      draw_horizontal_lines ? grid_lines_color.color : get_current_bk_color(params);
  painter->SetPen(orrin7::pen(bottom_color, 0, 1));
  painter->MoveTo(r.right, r.bottom);
  painter->LineTo(r.left, r.bottom);

  const double y = draw_horizontal_lines ? r.bottom - 1 : r.bottom;
  const int edges = params.focus_edges;
  if (edges & 1) orrin7::DrawFocusLine(painter, {r.left, r.top}, {r.left, y}, /*thick=*/false);
  if (edges & 2) orrin7::DrawFocusLine(painter, {r.right, r.top}, {r.right, y}, /*thick=*/false);
  if (edges & 4) orrin7::DrawFocusLine(painter, {r.left, r.top}, {r.right, r.top}, /*thick=*/false);
  if (edges & 8) orrin7::DrawFocusLine(painter, {r.left, y}, {r.right, y}, /*thick=*/false);
}

void base_painter_t::draw_cell_background(const draw_cell_params_t& params) {
  fill_cell(params, get_current_bk_color(params));
}

void base_painter_t::fill_cell(const draw_cell_params_t& params, const orrin7::_color& color) {
  orrin7::IPainter* painter = params.painter;
  if (painter == nullptr) return;
  painter->SetBrush(orrin7::brush(color, 1));
  painter->FillRect(params.rect.left, params.rect.top, params.rect.right, params.rect.bottom);
}

void base_painter_t::draw_right_grid_line(const draw_cell_params_t& params) const {
  orrin7::IPainter* painter = params.painter;
  painter->SetPen(orrin7::pen(grid_lines_color.color, 0, 1));
  if (!draw_vertical_lines) return;
  painter->MoveTo(params.rect.right, params.rect.top);
  painter->LineTo(params.rect.right, params.rect.bottom);
}

// Later steps read the slots as they stand, explicit colours included, so a derived colour
// follows an explicitly set one.
void base_painter_t::initialize_colors() {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  background_color.derive(palette.GetColor(orrin7::PAL_CellBackground));
  background_active_color.derive(palette.GetColor(orrin7::PAL_SelectionBackground));

  hsl_t mixed = rgb_to_hsl(blend_colors(background_color.color, background_active_color.color));
  mixed.s *= 0.5;
  background_highlighted_color.derive(hsl_to_rgb(mixed, 0xFF, 0));

  orrin7::_color active_highlighted =
      blend_colors(background_active_color.color, background_highlighted_color.color);
  active_highlighted.value |= 0xFF000000u;
  background_active_highlighted_color.derive(active_highlighted);

  grid_lines_color.derive(darken_color(palette.GetColor(orrin7::PAL_CellBackground), 20));
}

void base_painter_t::set_background_color(const orrin7::_color& c) { background_color.set(c); }
orrin7::_color base_painter_t::get_background_color() const { return background_color.color; }
void base_painter_t::set_background_active_color(const orrin7::_color& c) {
  background_active_color.set(c);
}
orrin7::_color base_painter_t::get_background_active_color() const {
  return background_active_color.color;
}
void base_painter_t::set_background_highlighted_color(const orrin7::_color& c) {
  background_highlighted_color.set(c);
}
orrin7::_color base_painter_t::get_background_highlighted_color() const {
  return background_highlighted_color.color;
}
void base_painter_t::set_background_active_highlighted_color(const orrin7::_color& c) {
  background_active_highlighted_color.set(c);
}
orrin7::_color base_painter_t::get_background_active_highlighted_color() const {
  return background_active_highlighted_color.color;
}
void base_painter_t::set_grid_lines_color(const orrin7::_color& c) { grid_lines_color.set(c); }
orrin7::_color base_painter_t::get_grid_lines_color() const { return grid_lines_color.color; }

void base_painter_t::set_draw_horizontal_lines(bool value) { draw_horizontal_lines = value; }
bool base_painter_t::get_draw_horizontal_lines() const { return draw_horizontal_lines; }
void base_painter_t::set_draw_vertical_lines(bool value) { draw_vertical_lines = value; }
bool base_painter_t::get_draw_vertical_lines() const { return draw_vertical_lines; }

const orrin7::rectangle<int>& base_painter_t::get_margins() const { return margins; }
void base_painter_t::set_margins(const orrin7::rectangle<int>& value) { margins = value; }
void base_painter_t::set_margins(int left, int right, int top, int bottom) {
  margins = orrin7::rectangle<int>(left, top, right, bottom);
}

void base_painter_t::set_additional_flags(int flags) { additional_flags = flags; }
int base_painter_t::get_additional_flags() const { return additional_flags; }

void base_painter_t::update_colors() { initialize_colors(); }

orrin7::_color base_painter_t::get_current_bk_color(const draw_cell_params_t& params) const {
  const bool highlighted = is_highlighted(params);
  if (highlighted) {
    return params.active ? background_active_highlighted_color.color
                         : background_highlighted_color.color;
  }
  return params.active ? background_active_color.color : background_color.color;
}

bool base_painter_t::is_highlighted(const draw_cell_params_t& params) {
  return params.data_model && params.data_model->get_highlighted(params.row);
}

}  // namespace column_painters
}  // namespace source_view4
