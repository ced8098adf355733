// Pointer handling of source_view_grid_base_t: links under the pointer and the hand cursor, group
// buttons, clicks, double clicks and header context menus re-emitted as the grid's signals.
#include "grids/grid_support.h"
#include "orrinfrw7/control.h"
#include "source_view4/source_view_grid.h"
#include "sysport/debug.h"

namespace source_view4 {

using column_painters::draw_cell_params_t;

namespace {

// A rectangle a painter answers inside a measuring pass on the surface.
template <class Ask>
orrin7::rectangle<double> measured(orrin7::IPainter* surface, Ask ask) {
  surface_pass_t pass(surface);
  return ask();
}

}  // namespace

// The record a painter lays a cell out with for a hit test: the cell at the origin, as the
// pointer positions are relative to it.
draw_cell_params_t source_view_grid_base_t::pointer_params(orrin7::IPainter* surface, int row,
                                                           int column,
                                                           unsigned int record_row) const {
  draw_cell_params_t params;
  params.painter = surface;
  params.rect = orrin7::rectangle<double>(cells_element->GetCellVirtualRect(row, column));
  params.row = record_row;
  params.data_model = data_model;
  return params;
}

// The link painter lays the text out where it draws it; only that text is the link, not the
// rest of the cell.
unsigned int source_view_grid_base_t::get_link_from_point(int row, int column, int x, int y) {
  const int model_column = model_column_at(column);
  if (model_column < 0 || unsigned(model_column) >= columns.size() || row < 0) return no_link;
  orrin7::IPainter* surface = get_surface();
  const unsigned int flat_row = flat_row_of(unsigned(row));
  if (!surface || flat_row >= data_model->get_row_count()) return no_link;
  const unsigned int data_id = columns[unsigned(model_column)].data_id;
  if (data_model->get_link(flat_row, data_id) == no_link) return no_link;
  if (!SYSPORT_CHECK(link_painter)) return no_link;

  draw_cell_params_t params = pointer_params(surface, row, column, flat_row);
  params.column = data_id;
  const orrin7::rectangle<double> content =
      measured(surface, [&] { return link_painter->get_content_rect(params); });
  return point_in(content, x, y) ? data_model->get_link(flat_row, data_id) : no_link;
}

void source_view_grid_base_t::on_grid_mouse_move(int row, int column, int x, int y, int,
                                                 orrin7::MouseButton) {
  const bool over_link = get_link_from_point(row, column, x, y) != no_link;
  cells_element->SetCursor(over_link ? orrinfrw7::CR_Hand : orrinfrw7::CR_Arrow);
  const int model_column = model_column_at(column);
  if (model_column < 0 || row < 0) return;
  const auto painter = find_cell_painter(unsigned(row), unsigned(model_column));
  if (painter) painter->on_mouse_move(x, y);
}

void source_view_grid_base_t::on_grid_cell_mouse_leave(int, int) {
  cells_element->SetCursor(orrinfrw7::CR_Arrow);
}

// A press on the button of a group row toggles the group and makes the new state the default for
// rows that appear later. A press on a link is the link's, never the button's.
void source_view_grid_base_t::on_grid_mouse_down(int row, int column, int x, int y, int,
                                                 orrin7::MouseButton button) {
  if (button != orrin7::MB_Left || row < 0) return;
  if (get_link_from_point(row, column, x, y) != no_link) return;
  orrin7::IPainter* surface = get_surface();
  if (!surface || !hierarchical_model || !group_painter) return;
  const unsigned int grid_row = unsigned(row);
  const hierarchical_row_state_t state = hierarchical_model->get_row_hierarchical_state(grid_row);
  if (state == row_state_none) return;

  draw_cell_params_t params = pointer_params(surface, row, column, grid_row);
  params.hierarchical_model = hierarchical_model;
  params.line_height = unsigned(row_line_height());
  const orrin7::rectangle<double> button_rect =
      measured(surface, [&] { return group_painter->get_group_control_rect(params); });
  if (!point_in(button_rect, x, y)) return;

  orrinfrw7::IContinuousItemViewModel* rows = cells_element->GetRowViewModel();
  if (hierarchical_model->get_model_type() == hierarchical_mode_groups)
    rows->UpdateItems(row, int(hierarchical_model->get_row_count()));
  const hierarchical_row_state_t next =
      state == row_state_collapsed ? row_state_expanded : row_state_collapsed;
  hierarchical_model->set_row_hierarchical_state(grid_row, next);
  hierarchical_model->set_default_hierarchical_state(next);
  if (auto* sized = dynamic_cast<orrinfrw7::CDefaultDiscreteItemViewModel*>(rows))
    sized->SetItemSize(row, get_item_size(row));
  group_state_changed.emit(next);
}

void source_view_grid_base_t::on_grid_mouse_click(int row, int column, int x, int y, int,
                                                  orrin7::MouseButton button) {
  if (button == orrin7::MB_Left) {
    const unsigned int link = get_link_from_point(row, column, x, y);
    if (link != no_link) link_clicked.emit(link);
    return;
  }
  if (button != orrin7::MB_Right) return;
  const int model_column = model_column_at(column);
  if (model_column < 0 || unsigned(model_column) >= columns.size()) return;
  const orrin7::point<int> at = cells_element->Cell2ControlCoord({x, y}, row, column);
  cell_clicked.emit(at.x, at.y, unsigned(row), columns[unsigned(model_column)].data_id);
}

void source_view_grid_base_t::on_grid_mouse_dblclick(int row, int column, int x, int y, int,
                                                     orrin7::MouseButton button) {
  if (button != orrin7::MB_Left) return;
  const int model_column = model_column_at(column);
  if (model_column < 0 || unsigned(model_column) >= columns.size()) return;
  const orrin7::point<int> at = cells_element->Cell2ControlCoord({x, y}, row, column);
  cell_double_clicked.emit(at.x, at.y, unsigned(row), columns[unsigned(model_column)].data_id);
}

void source_view_grid_base_t::on_column_moved(orrinfrw7::CHeader*, orrinfrw7::IHeaderItem*, int,
                                              int) {}

void source_view_grid_base_t::on_header_context_menu(orrinfrw7::CVisualElement* element, int x,
                                                     int y) {
  if (!header || !element) return;
  const orrinfrw7::CHeaderHitInfo hit = header->HitTest(x, y);
  if (hit.kind != orrinfrw7::HHT_Item || !hit.item) return;
  const int model_column = hit.item->GetModelIndex();
  if (model_column < 0 || unsigned(model_column) >= columns.size()) return;
  const orrin7::point<int> at = element->ElementToControl({x, y});
  header_context_menu.emit(at.x, at.y, columns[unsigned(model_column)].data_id);
}

}  // namespace source_view4
