// source_grid_t: the one-column source text grid and its switch to snippets.
#include "source_view4/source_view_grid.h"

namespace source_view4 {

// The column's font comes from the drawing library's monospace family (class 2) at the text
// painter's size and style, whatever face the default font names.
source_grid_t::source_grid_t(orrinfrw7::CHeader* header, header_model_t* header_model,
                             grid_element_t* cells, grid_element_t* summary)
    : source_view_grid_base_t(header, header_model, cells, summary) {
  enable_ending_grid_hlines(true);
  // The summary of the source (or snippet) column runs across the whole strip.
  if (summary) summary->set_cells_cover_rows(true);
  if (header_model) {
    header_model->resize_columns(1);
    header_model->add_item(0);
  }
  header_levels_changed.emit(1);
  if (header_model) header_model->notify_changed();
  columns.resize(1);
  columns[0].data_id = source_column;
  set_caption(0, L"Source");

  source_painter.reset(new column_painters::text_painter_t());
  snippet_painter.reset(new column_painters::snippet_painter_t());
  source_painter->set_draw_horizontal_lines(false);
  snippet_painter->set_draw_horizontal_lines(false);
  // A snippet row's button sits at the start of its line: the text begins after it.
  orrin7::rectangle<int> margins = snippet_painter->get_margins();
  margins.left = 2 * column_painters::group_painter_t::control_element_margin +
                 column_painters::group_painter_t::get_group_button_size();
  snippet_painter->set_margins(margins);
  set_column_painter(0, source_painter);
  set_column_summary_painter(0, utilkit2::smart_pointer_t<column_painters::base_painter_t>(
                                    new column_painters::summary_text_painter_t()));

  orrin7::font monospace = source_painter->get_font();
  monospace.face.clear();
  monospace.family = 2;
  source_painter->set_font(monospace);
  snippet_painter->set_font(monospace);
}

source_grid_t::source_grid_t(const source_grid_t& other) = default;
source_grid_t& source_grid_t::operator=(const source_grid_t& other) = default;
source_grid_t::~source_grid_t() = default;

void source_grid_t::set_hierarchical_mode(hierarchical_mode_t mode) {
  const bool snippets = mode == hierarchical_mode_snippets;
  columns[0].data_id = snippets ? snippet_column : source_column;
  const utilkit2::smart_pointer_t<column_painters::base_painter_t> chosen =
      snippets ? utilkit2::smart_pointer_t<column_painters::base_painter_t>(snippet_painter)
               : utilkit2::smart_pointer_t<column_painters::base_painter_t>(source_painter);
  chosen->set_draw_horizontal_lines(false);
  set_column_painter(0, chosen);
}

}  // namespace source_view4
