// Cell drawing dispatch of source_view_grid_base_t: which painter draws a cell, the record it
// receives, focus edges, ending grid lines, indentation of grouped rows and the summary strip.
#include <utility>

#include "orrinfrw7/control.h"
#include "source_view4/source_view_grid.h"

namespace source_view4 {

using column_painters::base_painter_t;
using column_painters::draw_cell_params_t;
using painter_ptr_t = utilkit2::smart_pointer_t<base_painter_t>;

namespace {

constexpr int focus_left = 1, focus_right = 2, focus_top = 4, focus_bottom = 8;
// Pixels a leaf row is indented per level in the first column of a grid showing group buttons.
constexpr int indent_per_level = 15;

// `to` takes over the line switches of `from`.
void copy_line_switches(const painter_ptr_t& from, base_painter_t& to) {
  to.set_draw_horizontal_lines(from->get_draw_horizontal_lines());
  to.set_draw_vertical_lines(from->get_draw_vertical_lines());
}

// Restores a painter's two line switches when the scope ends.
class saved_line_switches_t {
 public:
  explicit saved_line_switches_t(base_painter_t& painter)
      : m_painter(painter),
        m_horizontal(painter.get_draw_horizontal_lines()),
        m_vertical(painter.get_draw_vertical_lines()) {}
  ~saved_line_switches_t() {
    m_painter.set_draw_horizontal_lines(m_horizontal);
    m_painter.set_draw_vertical_lines(m_vertical);
  }
  saved_line_switches_t(const saved_line_switches_t&) = delete;
  saved_line_switches_t& operator=(const saved_line_switches_t&) = delete;

 private:
  base_painter_t& m_painter;
  bool m_horizontal;
  bool m_vertical;
};

// Widens a painter's left margin for the scope.
class indented_t {
 public:
  indented_t(base_painter_t& painter, int pixels)
      : m_painter(painter), m_margins(painter.get_margins()) {
    orrin7::rectangle<int> wider = m_margins;
    wider.left += pixels;
    m_painter.set_margins(wider);
  }
  ~indented_t() { m_painter.set_margins(m_margins); }
  indented_t(const indented_t&) = delete;
  indented_t& operator=(const indented_t&) = delete;

 private:
  base_painter_t& m_painter;
  orrin7::rectangle<int> m_margins;
};

}  // namespace

painter_ptr_t source_view_grid_base_t::find_cell_painter(unsigned int row, unsigned int column) {
  return choose_painter(row, flat_row_of(row), column);
}

// `row` decides whether the row is a group row, `flat_row` whether the cell carries a link.
painter_ptr_t source_view_grid_base_t::choose_painter(unsigned int row, unsigned int flat_row,
                                                      unsigned int column) {
  if (column >= columns.size()) return painter_ptr_t();
  const column_record_t& record = columns[column];
  if (link_painter && data_model && data_model->get_link(flat_row, record.data_id) != no_link) {
    copy_line_switches(record.painter, *link_painter);
    return link_painter;
  }
  if (record.data_id == snippet_column) return record.painter;
  if (hierarchical_model && group_painter &&
      hierarchical_model->get_row_hierarchical_state(row) != row_state_none &&
      hierarchical_model->get_model_type() != hierarchical_mode_snippets) {
    group_painter->set_draw_button(show_group_button && column == 0);
    copy_line_switches(record.painter, *group_painter);
    return group_painter;
  }
  return record.painter;
}

// The ending-line rules are applied to the column painter, whose switches the link and group
// painters take over, so that a cell drawn by one of those matches its neighbours. The last row
// is the last row the grid shows (the hierarchical model's rows when it has one).
void source_view_grid_base_t::on_draw_cell(orrin7::IPainter* surface, unsigned int row,
                                           unsigned int visible_column, int state,
                                           const orrin7::rectangle<double>& rect) {
  const int column = model_column_at(int(visible_column));
  if (column < 0 || unsigned(column) >= columns.size()) return;
  const column_record_t& record = columns[unsigned(column)];
  if (!record.painter || record.data_id == no_data) return;
  if (!cells_element || !cells_element->GetControl() || !get_surface()) return;

  draw_cell_params_t params;
  params.painter = surface;
  params.active = (state & 1) != 0;
  params.rect = rect;
  params.row = row;
  params.column = record.data_id;
  params.data_model = data_model;
  params.hierarchical_model = hierarchical_model;
  params.line_height = unsigned(row_line_height());
  params.cell_flags = data_model->get_cell_flags(flat_row_of(row), record.data_id);

  const bool framed = cells_element->GetControl()->IsFocusFrameVisible() &&
                      cells_element->is_element_focused() &&
                      cells_element->GetRowSelectionModel()->GetCurrent() == int(row);
  if (framed) {
    params.focus_edges = focus_top | focus_bottom;
    if (draw_left_focus_edge && column == 0) params.focus_edges |= focus_left;
    if (draw_right_focus_edge && unsigned(column) + 1 == columns.size())
      params.focus_edges |= focus_right;
  }

  const painter_ptr_t column_painter = record.painter;
  saved_line_switches_t saved(*column_painter);
  if (ending_horizontal_lines) {
    const unsigned int shown =
        hierarchical_model ? hierarchical_model->get_row_count() : data_model->get_row_count();
    column_painter->set_draw_horizontal_lines(row + 1 == shown);
  }
  if (ending_vertical_lines)
    column_painter->set_draw_vertical_lines(unsigned(column) + 1 != get_column_count());

  if (hierarchical_model) {
    on_draw_hierarchical_cell(row, unsigned(column), params);
  } else {
    on_draw_normal_cell(row, unsigned(column), params);
  }
}

// Link painters receive the cell's text ready-made.
void source_view_grid_base_t::on_draw_normal_cell(unsigned int row, unsigned int column,
                                                  const draw_cell_params_t& params) {
  const painter_ptr_t painter = find_cell_painter(row, column);
  if (!painter) return;
  const unsigned int flat_row = flat_row_of(row);
  if (params.data_model->get_link(flat_row, params.column) == no_link) {
    painter->on_draw_cell(params);
    return;
  }
  draw_cell_params_t linked = params;
  linked.text = params.data_model->get_text_data(flat_row, params.column);
  painter->on_draw_cell(linked);
}

// Group rows keep their grid row for the group painter, which reads the hierarchical model; a
// group row drawn by another painter (a grid without a group painter, a link) shows its flat
// row's values like a leaf. Leaf rows are drawn from their flat row, indented per level under a
// group button in the first column.
void source_view_grid_base_t::on_draw_hierarchical_cell(unsigned int row, unsigned int column,
                                                        const draw_cell_params_t& params) {
  draw_cell_params_t flat = params;
  flat.row = flat_row_of(row);
  if (hierarchical_model->get_row_hierarchical_state(row) != row_state_none) {
    const bool group_drawn = group_painter && find_cell_painter(row, column) == group_painter;
    on_draw_normal_cell(row, column, group_drawn ? params : flat);
    return;
  }
  if (!show_group_button || column != 0) {
    on_draw_normal_cell(row, column, flat);
    return;
  }
  const painter_ptr_t painter = find_cell_painter(row, 0);
  if (!painter) return;
  indented_t indent(*painter, indent_per_level * hierarchical_model->get_row_hierarchy_level(row));
  on_draw_normal_cell(row, 0, flat);
}

// The summary of the source or snippet column may run across the whole strip.
void source_view_grid_base_t::on_draw_summary_cell(orrin7::IPainter* surface, unsigned int,
                                                   unsigned int visible_column, int,
                                                   const orrin7::rectangle<double>& rect) {
  const int column = model_column_at(int(visible_column));
  if (column < 0 || unsigned(column) >= columns.size()) return;
  const column_record_t& record = columns[unsigned(column)];
  if (!record.painter || record.data_id == no_data || !record.summary_painter) return;

  draw_cell_params_t params;
  params.painter = surface;
  params.rect = rect;
  params.text = data_model->get_summary_text_data(record.data_id);
  params.line_height = 0;
  if ((record.data_id == source_column || record.data_id == snippet_column) && summary_element) {
    params.rect.left = 0;
    params.rect.right = summary_element->GetBounds().right;
  }
  record.summary_painter->on_draw_cell(params);
}

}  // namespace source_view4
