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
  draw_right_grid_line(params);
  if (!draw_horizontal_lines) return;
  painter->MoveTo(params.rect.left, params.rect.top);
  painter->LineTo(params.rect.right, params.rect.top);
}

// The summary row looks the same whether it is active or highlighted.
void summary_text_painter_t::draw_cell_background(const draw_cell_params_t& params) {
  fill_cell(params, background_color.color);
}

// The summary background follows the palette even when it was set explicitly.
void summary_text_painter_t::initialize_colors() {
  text_painter_t::initialize_colors();
  background_color.set(
      darken_color(orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground), 15));
}

}  // namespace column_painters
}  // namespace source_view4
