// summary_text_painter_t: uniform background, the line on the top edge.
#include "source_view4/summary_text_painter.h"

#include "orrin7/system.h"

namespace source_view4 {
namespace column_painters {

summary_text_painter_t::summary_text_painter_t() { summary_text_painter_t::initialize_colors(); }

summary_text_painter_t::summary_text_painter_t(const summary_text_painter_t& other) = default;
summary_text_painter_t& summary_text_painter_t::operator=(const summary_text_painter_t& other) =
    default;
summary_text_painter_t::~summary_text_painter_t() = default;

void summary_text_painter_t::draw_cell_lines(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (painter == nullptr) return;
  const orrin7::rectangle<double>& r = params.rect;
  painter->SetPen(orrin7::pen(grid_lines_color.color, 0, 1));
  if (draw_vertical_lines) {
    painter->MoveTo(r.right, r.top);
    painter->LineTo(r.right, r.bottom);
  }
  if (draw_horizontal_lines) {
    painter->MoveTo(r.left, r.top);
    painter->LineTo(r.right, r.top);
  }
}

// The summary row looks the same whether it is active or highlighted.
void summary_text_painter_t::draw_cell_background(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (painter == nullptr) return;
  painter->SetBrush(orrin7::brush(background_color.color, 1));
  painter->FillRect(params.rect.left, params.rect.top, params.rect.right, params.rect.bottom);
}

// The summary background follows the palette even when it was set explicitly.
void summary_text_painter_t::initialize_colors() {
  text_painter_t::initialize_colors();
  background_color.set(
      darken_color(orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground), 15));
}

}  // namespace column_painters
}  // namespace source_view4
