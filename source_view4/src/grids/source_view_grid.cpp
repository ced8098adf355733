// source_view_grid_base_t: construction and connections, column records, captions, widths and
// their fitting, row sizes, and the data-model and hierarchical-model attachment.
#include "source_view4/source_view_grid.h"

#include <algorithm>

#include "grids/grid_support.h"
#include "orrinfrw7/control.h"
#include "sysport/debug.h"

namespace source_view4 {

using column_painters::base_painter_t;
using column_painters::draw_cell_params_t;
using painter_ptr_t = utilkit2::smart_pointer_t<base_painter_t>;

namespace {

bool is_text_column(unsigned int data_id) {
  return data_id == source_column || data_id == snippet_column;
}

// A measured width with a fifth to spare, truncated to whole pixels.
int widened(double width) { return int(width * 1.2); }

orrinfrw7::CSimpleDiscreteItemViewModel* as_sized(orrinfrw7::IContinuousItemViewModel* model) {
  return dynamic_cast<orrinfrw7::CSimpleDiscreteItemViewModel*>(model);
}

}  // namespace

// ---- construction ----

source_view_grid_base_t::source_view_grid_base_t(orrinfrw7::CHeader* header,
                                                 header_model_t* header_model,
                                                 grid_element_t* cells, grid_element_t* summary)
    : header(header), header_model(header_model), cells_element(cells), summary_element(summary) {
  if (header) header->SetStyle(orrinfrw7::HS_Buttons);
  connect_elements();
  if (summary_element) summary_element->DrawEmptyAreaSeparator(false);
}

void source_view_grid_base_t::connect_elements() {
  using self = source_view_grid_base_t;
  if (cells_element) {
    cells_element->cell_drawing.connect(this, &self::on_draw_cell);
    grid_element_t::cell_event_handler_t& events = cells_element->get_cell_event_handler();
    events.CellMouseMove.connect(this, &self::on_grid_mouse_move);
    events.CellMouseDown.connect(this, &self::on_grid_mouse_down);
    events.CellMouseClick.connect(this, &self::on_grid_mouse_click);
    events.CellMouseDblClick.connect(this, &self::on_grid_mouse_dblclick);
    events.CellMouseLeave.connect(this, &self::on_grid_cell_mouse_leave);
  }
  if (summary_element) summary_element->cell_drawing.connect(this, &self::on_draw_summary_cell);
  if (header) {
    header->ItemMoved.connect(this, &self::on_column_moved);
    header->ContextMenu.connect(this, &self::on_header_context_menu);
    header->ItemFitRequested.connect(this, &self::on_header_fit_requested);
  }
}

source_view_grid_base_t::source_view_grid_base_t(const source_view_grid_base_t& other)
    : utilkit2::_internal::subscriber_base_t(other),
      orrinfrw7::CDefaultDiscreteItemViewModel(other),
      group_state_changed(other.group_state_changed),
      columns_changed(other.columns_changed),
      link_clicked(other.link_clicked),
      cell_clicked(other.cell_clicked),
      header_context_menu(other.header_context_menu),
      cell_double_clicked(other.cell_double_clicked),
      column_moved(other.column_moved),
      header_levels_changed(other.header_levels_changed),
      header(other.header),
      header_model(other.header_model),
      cells_element(other.cells_element),
      summary_element(other.summary_element),
      columns(other.columns),
      data_model(other.data_model),
      hierarchical_model(other.hierarchical_model),
      link_painter(other.link_painter),
      group_painter(other.group_painter),
      show_group_button(other.show_group_button),
      ending_horizontal_lines(other.ending_horizontal_lines),
      ending_vertical_lines(other.ending_vertical_lines),
      draw_left_focus_edge(other.draw_left_focus_edge),
      draw_right_focus_edge(other.draw_right_focus_edge) {}

source_view_grid_base_t& source_view_grid_base_t::operator=(const source_view_grid_base_t& other) {
  if (this == &other) return *this;
  orrinfrw7::CDefaultDiscreteItemViewModel::operator=(other);
  group_state_changed = other.group_state_changed;
  columns_changed = other.columns_changed;
  link_clicked = other.link_clicked;
  cell_clicked = other.cell_clicked;
  header_context_menu = other.header_context_menu;
  cell_double_clicked = other.cell_double_clicked;
  column_moved = other.column_moved;
  header_levels_changed = other.header_levels_changed;
  header = other.header;
  header_model = other.header_model;
  cells_element = other.cells_element;
  summary_element = other.summary_element;
  columns = other.columns;
  data_model = other.data_model;
  hierarchical_model = other.hierarchical_model;
  link_painter = other.link_painter;
  group_painter = other.group_painter;
  show_group_button = other.show_group_button;
  ending_horizontal_lines = other.ending_horizontal_lines;
  ending_vertical_lines = other.ending_vertical_lines;
  draw_left_focus_edge = other.draw_left_focus_edge;
  draw_right_focus_edge = other.draw_right_focus_edge;
  return *this;
}

source_view_grid_base_t::~source_view_grid_base_t() = default;

// ---- column records ----

unsigned int source_view_grid_base_t::get_column_count() const {
  return header_model ? header_model->column_count() : 0;
}

unsigned int source_view_grid_base_t::get_column_data_id(unsigned int column) const {
  return columns[column].data_id;
}

void source_view_grid_base_t::set_column_painter(unsigned int column, painter_ptr_t painter) {
  columns[column].painter = std::move(painter);
}

painter_ptr_t source_view_grid_base_t::get_column_painter(unsigned int column) {
  return columns[column].painter;
}

void source_view_grid_base_t::set_column_summary_painter(unsigned int column,
                                                         painter_ptr_t painter) {
  columns[column].summary_painter = std::move(painter);
}

painter_ptr_t source_view_grid_base_t::get_column_summary_painter(unsigned int column) {
  return columns[column].summary_painter;
}

std::wstring source_view_grid_base_t::get_caption(unsigned int column) {
  const header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  return description ? description->caption : std::wstring();
}

bool source_view_grid_base_t::set_caption(unsigned int column, const std::wstring& caption) {
  header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  if (!description) return false;
  description->caption = caption;
  return true;
}

std::wstring source_view_grid_base_t::get_header_tooltip(unsigned int column) {
  const header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  return description ? description->tooltip : std::wstring();
}

bool source_view_grid_base_t::set_header_tooltip(unsigned int column, const std::wstring& tooltip) {
  header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  if (!description) return false;
  description->tooltip = tooltip;
  return true;
}

// The column view model holds the widths of the columns shown, by position; a column that is not
// shown answers the width its description keeps for it.
int source_view_grid_base_t::get_column_width(unsigned int column) const {
  if (!cells_element) return 0;
  const orrinfrw7::IContinuousItemViewModel* widths = cells_element->GetColumnViewModel();
  if (!header) return widths->GetItemSize(int(column));
  for (int position = 0; position < widths->GetCount(); ++position) {
    if (header->VisibleIndex2ModelIndex(position) == int(column))
      return widths->GetItemSize(position);
  }
  const header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  return description ? description->width : 0;
}

void source_view_grid_base_t::move_column(unsigned int from, unsigned int to) {
  const column_record_t moved = columns[from];
  columns.erase(columns.begin() + std::ptrdiff_t(from));
  const unsigned int at = from < to ? to - 1 : to;
  columns.insert(columns.begin() + std::ptrdiff_t(at), moved);
  column_moved.emit(from, to);
  if (!cells_element) return;
  cells_element->GetColumnViewModel()->UpdateItems(int(from), int(to));
  cells_element->OnChange(cells_element, orrinfrw7::UK_Redraw);
}

void source_view_grid_base_t::set_link_painter(painter_ptr_t painter) {
  link_painter = std::move(painter);
}

void source_view_grid_base_t::set_group_painter(
    utilkit2::smart_pointer_t<column_painters::group_painter_t> painter) {
  group_painter = std::move(painter);
}

void source_view_grid_base_t::enable_ending_grid_hlines(bool enable) {
  ending_horizontal_lines = enable;
  if (cells_element) cells_element->DrawEmptyAreaSeparator(enable);
}

void source_view_grid_base_t::enable_ending_grid_vlines(bool enable) {
  ending_vertical_lines = enable;
}

void source_view_grid_base_t::set_draw_left_focus_rect(bool draw) { draw_left_focus_edge = draw; }
void source_view_grid_base_t::set_draw_right_focus_rect(bool draw) { draw_right_focus_edge = draw; }

void source_view_grid_base_t::update_colors() {
  for (column_record_t& record : columns) {
    record.painter->update_colors();
    record.summary_painter->update_colors();
  }
}

void source_view_grid_base_t::set_tooltip_model(orringrid8::ITooltipModel* model) {
  if (cells_element) cells_element->set_tooltip_model(model);
}

// ---- elements and sizes ----

grid_element_t* source_view_grid_base_t::get_grid_element() const { return cells_element; }
orrinfrw7::CHeader* source_view_grid_base_t::get_header_element() const { return header; }

int source_view_grid_base_t::get_grid_height() const {
  return cells_element ? cells_element->GetBounds().height() : 0;
}

int source_view_grid_base_t::get_grid_width() const {
  return cells_element ? cells_element->GetBounds().width() : 0;
}

int source_view_grid_base_t::get_default_item_size() const {
  if (!cells_element || !cells_element->GetRowViewModel()) return 0;
  return cells_element->GetRowViewModel()->GetDefaultItemSize();
}

int source_view_grid_base_t::row_line_height() const { return get_default_item_size(); }

// An expanded snippet row holds its line, then per entry the entry's line and its detail lines,
// each a default row high, and 3 pixels of frame.
int source_view_grid_base_t::get_item_size(int row) {
  const int line = row_line_height();
  if (!hierarchical_model || hierarchical_model->get_model_type() != hierarchical_mode_snippets)
    return line;
  if (row < 0 || unsigned(row) >= hierarchical_model->get_row_count() ||
      hierarchical_model->get_row_hierarchical_state(unsigned(row)) != row_state_expanded)
    return line;
  const cell_value_t value =
      hierarchical_model->get_flat_data_model()->get_data(unsigned(row), snippet_column);
  const snippet_t& snippet = boost::get<snippet_t>(value);
  long long lines = 1;
  for (const snippet_item_t& item : snippet.items) lines += 1 + (long long)item.lines.size();
  return int(std::min<long long>(line * lines + 3, 0x7FFFFFFF));
}

// ---- column widths ----

void source_view_grid_base_t::set_column_width(unsigned int column, int width) {
  orrin7::IPainter* surface = get_surface();
  if (!surface || column >= columns.size()) return;
  if (width == -1 || width == -2) {
    draw_cell_params_t params;
    params.painter = surface;
    params.column = columns[column].data_id;
    params.data_model = data_model;
    params.hierarchical_model = hierarchical_model;
    width = width == -1 ? fit_longest_text(column, params) : fit_every_row(column, params);
  }
  if (is_text_column(columns[column].data_id)) width += std::min(width / 2, 500);
  header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  if (!description) return;
  description->width = width;
  header_model->notify_changed();
}

int source_view_grid_base_t::fit_longest_text(unsigned int column, draw_cell_params_t& params) {
  const unsigned int row = data_model->get_longest_text_row(params.column);
  if (row == no_row) return 0;
  surface_pass_t pass(params.painter);
  params.row = row;
  const int width = widened(choose_painter(row, row, column)->get_content_size(params).width);
  return fit_summary(column, params, width);
}

// Every row is measured in the column painter's font, selected once: measuring then reuses the
// surface's font state instead of switching fonts per row.
int source_view_grid_base_t::fit_every_row(unsigned int column, draw_cell_params_t& params) {
  surface_pass_t pass(params.painter);
  const painter_ptr_t first = choose_painter(0, 0, column);
  if (auto* text = dynamic_cast<column_painters::text_painter_t*>(first.get()))
    params.painter->SetFont(text->get_font());
  int width = -2;
  const unsigned int count = data_model->get_row_count();
  for (unsigned int row = 0; row < count; ++row) {
    params.row = row;
    const painter_ptr_t painter = choose_painter(row, row, column);
    width = std::max(width, int(painter->get_content_size(params).width));
  }
  return fit_summary(column, params, width);
}

int source_view_grid_base_t::fit_summary(unsigned int column, draw_cell_params_t& params,
                                         int width) {
  const std::wstring text = data_model->get_summary_text_data(params.column);
  const painter_ptr_t& summary = columns[column].summary_painter;
  if (!summary || text.empty()) return width;
  params.text = text;
  return std::max(width, widened(summary->get_content_size(params).width));
}

// ---- models ----

void source_view_grid_base_t::set_data_model(utilkit2::smart_pointer_t<data_model_base_t> model) {
  using self = source_view_grid_base_t;
  if (data_model) {
    data_model->model_updated.disconnect(this, &self::on_data_model_updated);
    data_model->summary_updated.disconnect(this, &self::on_data_summary_updated);
    data_model->data_updated.disconnect(this, &self::on_data_updated);
  }
  data_model = std::move(model);
  if (!data_model) return;
  data_model->model_updated.connect(this, &self::on_data_model_updated);
  data_model->summary_updated.connect(this, &self::on_data_summary_updated);
  data_model->data_updated.connect(this, &self::on_data_updated);
}

void source_view_grid_base_t::set_hierarchical_data_model(
    utilkit2::smart_pointer_t<hierarchical_data_model_base_t> model, bool show_button) {
  using self = source_view_grid_base_t;
  show_group_button = show_button;
  if (hierarchical_model) {
    hierarchical_model->hierarchy_updated.disconnect(this, &self::on_data_model_updated);
    hierarchical_model->row_state_updated.disconnect(this,
                                                     &self::on_row_hierarchical_state_updated);
  }
  hierarchical_model = std::move(model);
  if (!hierarchical_model) return;
  hierarchical_model->hierarchy_updated.connect(this, &self::on_data_model_updated);
  hierarchical_model->row_state_updated.connect(this, &self::on_row_hierarchical_state_updated);
}

void source_view_grid_base_t::on_data_model_updated() {
  const unsigned int count =
      hierarchical_model ? hierarchical_model->get_row_count() : data_model->get_row_count();
  orrinfrw7::CSimpleDiscreteItemViewModel* rows =
      cells_element ? as_sized(cells_element->GetRowViewModel()) : nullptr;
  if (rows) {
    rows->SetCount(int(std::min<unsigned int>(count, 0x7FFFFFFF)));
    if (count == 0) rows->UpdateModelState(RemoveTranslator());
  }
  if (!columns.empty() && is_text_column(columns[0].data_id)) set_column_width(0, -1);
}

// A change of every column (all_columns) repaints like a change of a column shown.
void source_view_grid_base_t::on_data_updated(unsigned int id, unsigned int /*row*/) {
  if (is_text_column(id)) {
    const auto text = std::find_if(columns.begin(), columns.end(), [](const column_record_t& c) {
      return is_text_column(c.data_id);
    });
    if (text != columns.end()) set_column_width(unsigned(text - columns.begin()), -1);
  }
  const bool shown =
      id == all_columns || std::any_of(columns.begin(), columns.end(),
                                       [id](const column_record_t& c) { return c.data_id == id; });
  if (shown && cells_element) cells_element->Update(orrinfrw7::UK_Redraw);
}

// A double click on a column's right edge fits the column to its longest text.
void source_view_grid_base_t::on_header_fit_requested(orrinfrw7::CHeader*,
                                                      orrinfrw7::IHeaderItem* item) {
  if (!item || item->GetModelIndex() < 0 || !data_model) return;
  set_column_width(unsigned(item->GetModelIndex()), -1);
}

void source_view_grid_base_t::on_data_summary_updated() {
  if (summary_element) summary_element->Update(orrinfrw7::UK_Redraw);
}

void source_view_grid_base_t::on_row_hierarchical_state_updated(unsigned int row) {
  if (!cells_element) return;
  auto* rows =
      dynamic_cast<orrinfrw7::CDefaultDiscreteItemViewModel*>(cells_element->GetRowViewModel());
  if (rows) rows->SetItemSize(int(row), get_item_size(int(row)));
}

// ---- helpers ----

orrin7::IPainter* source_view_grid_base_t::get_surface() const {
  if (!cells_element || !cells_element->GetControl()) return nullptr;
  return cells_element->GetControl()->GetPainter();
}

int source_view_grid_base_t::model_column_at(int visible_column) const {
  if (visible_column < 0) return -1;
  return header ? header->VisibleIndex2ModelIndex(visible_column) : visible_column;
}

unsigned int source_view_grid_base_t::flat_row_of(unsigned int row) const {
  if (!hierarchical_model) return row;
  if (row >= hierarchical_model->get_row_count()) return no_row;
  return hierarchical_model->get_flat_row_index(row);
}

bool source_view_grid_base_t::point_in(const orrin7::rectangle<double>& r, int x, int y) {
  const auto sign = [](double v) { return (v > 0) - (v < 0); };
  return sign(x - r.left) != sign(x - r.right) && sign(y - r.top) != sign(y - r.bottom);
}

}  // namespace source_view4
