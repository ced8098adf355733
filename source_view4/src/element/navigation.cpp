// The navigation strip: its colours, the bands of the rows, the visible-window frame, and the
// band painter.
#include "source_view4/navigation.h"

#include <algorithm>

#include "orrin7/system.h"
#include "orrinfrw7/events.h"

namespace source_view4 {

namespace column_painters {

navigation_simple_painter_t::navigation_simple_painter_t() {
  draw_horizontal_lines = false;
  draw_vertical_lines = false;
  margins = orrin7::rectangle<int>(0, 0, 0, 0);
  navigation_simple_painter_t::initialize_colors();
}

// A marked row swaps the marker in for both backgrounds it could be drawn with, just for the band.
void navigation_simple_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  if (!params.data_model->is_data_set(params.row, params.column)) {
    draw_cell_background(params);
    return;
  }
  const color_slot_t plain = background_color;
  const color_slot_t highlighted = background_highlighted_color;
  background_color.set(marker_color());
  background_highlighted_color.set(marker_color());
  draw_cell_background(params);
  background_color = plain;
  background_highlighted_color = highlighted;
}

void navigation_simple_painter_t::initialize_colors() {
  base_painter_t::initialize_colors();
  const orrin7::_color strip = orrin7::GetSysPalette().GetColor(orrin7::PAL_GroupBackground);
  background_color.set(strip);
  background_highlighted_color.set(strip);
}

}  // namespace column_painters

namespace {

// The background moved 5 % of the way towards the frame colour, per channel in single precision.
orrin7::_color window_between(const orrin7::_color& background, const orrin7::_color& frame) {
  const auto channel = [](std::uint8_t b, std::uint8_t f) {
    const float from = float(b) / 255.0f, to = float(f) / 255.0f;
    return std::uint8_t((from + (to - from) * 0.05f) * 255.0f);
  };
  return orrin7::_color::rgb(channel(background.red(), frame.red()),
                             channel(background.green(), frame.green()),
                             channel(background.blue(), frame.blue()));
}

}  // namespace

navigation_element_t::navigation_element_t(orrinfrw7::CVisualElement* parent,
                                           const orrin7::size<int>& size,
                                           orrinfrw7::Alignment alignment)
    : orrinfrw7::CVisualElement(parent, size, alignment),
      band_painter(new column_painters::navigation_simple_painter_t()) {
  initialize_colors();
}

navigation_element_t::~navigation_element_t() = default;

void navigation_element_t::initialize_colors() {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  background_color = palette.GetColor(orrin7::PAL_GroupBackground);
  frame_color = palette.GetColor(orrin7::PAL_Separator);
  window_color = window_between(background_color, frame_color);
}

void navigation_element_t::SysColorsChanged() {
  orrinfrw7::CVisualElement::SysColorsChanged();
  initialize_colors();
  if (band_painter) band_painter->update_colors();
}

// Besides scrolling, a change of the rows' count or sizes moves the bands and the window.
void navigation_element_t::set_view_model(orrinfrw7::IContinuousItemViewModel* model) {
  if (view_model) {
    view_model->Scrolled.disconnect(this, &navigation_element_t::on_scroll);
    view_model->ModelChanged.disconnect(this, &navigation_element_t::on_rows_changed);
  }
  view_model = model;
  if (!view_model) return;
  view_model->Scrolled.connect(this, &navigation_element_t::on_scroll);
  view_model->ModelChanged.connect(this, &navigation_element_t::on_rows_changed);
}

void navigation_element_t::set_data_model(utilkit2::smart_pointer_t<data_model_base_t> model) {
  if (data_model) {
    data_model->model_updated.disconnect(this, &navigation_element_t::on_data_model_updated);
    data_model->data_updated.disconnect(this, &navigation_element_t::on_data_updated);
  }
  data_model = std::move(model);
  if (!data_model) return;
  data_model->model_updated.connect(this, &navigation_element_t::on_data_model_updated);
  data_model->data_updated.connect(this, &navigation_element_t::on_data_updated);
}

void navigation_element_t::redraw() {
  if (GetControl()) OnChange(this, orrinfrw7::UK_Redraw);
}

void navigation_element_t::on_scroll(int, int, bool*) { redraw(); }
void navigation_element_t::on_rows_changed() { redraw(); }
void navigation_element_t::on_data_model_updated() { redraw(); }

void navigation_element_t::on_data_updated(unsigned int column, unsigned int) {
  if (column == snippet_column) redraw();
}

void navigation_element_t::draw_item(orrin7::IPainter* painter, unsigned int row,
                                     const orrin7::rectangle<double>& rect) {
  column_painters::draw_cell_params_t params;
  params.painter = painter;
  params.rect = rect;
  params.row = row;
  params.column = snippet_column;
  params.data_model = data_model;
  band_painter->on_draw_cell(params);
}

void navigation_element_t::fill(orrin7::IPainter* painter, const orrin7::_color& color, double left,
                                double top, double right, double bottom) {
  painter->SetBrush(orrin7::brush(color, 1));
  painter->FillRect(left, top, right, bottom);
}

// Rows map onto the strip less a margin of one system row height at each end. With more rows
// than pixels the bands would be thinner than a pixel: the strip is filled in the frame colour
// instead. An empty extent (no rows, or rows of no height) shows the background alone.
void navigation_element_t::DrawContent(orrin7::IPainter* painter) {
  const orrin7::rectangle<int> area = GetDrawRect();
  const double left = area.left, right = area.right, bottom = area.bottom;
  fill(painter, background_color, left, area.top, right, bottom);
  const double m = orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight);
  const double H = std::max(0.0, double(area.height()) - 2 * m);
  if (!view_model) return;
  if (H < view_model->GetCount()) {
    fill(painter, frame_color, left, m, right, m + H);
    return;
  }
  const double total = view_model->GetTotalSize();
  if (total <= 0) return;
  const double start = view_model->GetViewStart(), size = view_model->GetViewSize();
  const double row_size = view_model->GetDefaultItemSize();
  const double y1 = H * start / total + m;
  const double y2 = std::min(H * (start + size) / total + m, bottom - m);
  fill(painter, window_color, left, y1, right, y2);
  for (int i = 0; i < view_model->GetCount(); ++i) {
    const double top = H * row_size * i / total + m;
    const double band_bottom = H * row_size * (i + 1) / total + m;
    draw_item(painter, unsigned(i), {left, top, right, band_bottom});
  }
  painter->SetPen(orrin7::pen(frame_color, 0, 1));
  painter->MoveTo(left, y1);
  painter->LineTo(right, y1);
  painter->LineTo(right, y2);
  painter->LineTo(left, y2);
  painter->LineTo(left, y1);
}

}  // namespace source_view4
