// source_view_element_t: the grids and their wiring, init, models and hierarchical modes,
// regions, rows and selection, keys, header and row heights.
#include "source_view4/source_view_element.h"

#include <algorithm>

#include "orrin7/system.h"
#include "orrinfrw7/control.h"

namespace source_view4 {

using column_painters::text_painter_t;

namespace {

// The smallest index in 0 … count whose top edge (offset) satisfies `reached`; count when none.
template <class Reached>
unsigned int first_row_where(const orrinfrw7::IContinuousItemViewModel& rows, Reached reached) {
  int low = 0, high = rows.GetCount();
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (reached(rows.GetItemOffset(middle))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return unsigned(low);
}

}  // namespace

source_view_element_t::source_view_element_t(orrinfrw7::CVisualElement* parent,
                                             const orrin7::size<int>& size,
                                             orrinfrw7::Alignment alignment)
    : source_view_layout_t(parent, size, alignment),
      left_grid(new auxiliary_grid_t(left_header, &left_header_model, left_cells, left_summary)),
      right_grid(
          new auxiliary_grid_t(right_header, &right_header_model, right_cells, right_summary)),
      center_grid(
          new source_grid_t(center_header, &center_header_model, center_cells, center_summary)) {
  using self = source_view_element_t;
  left_grid->columns_changed.connect(this, &self::on_left_grid_visibility_changed);
  right_grid->columns_changed.connect(this, &self::on_right_grid_visibility_changed);
  for (source_view_grid_base_t* grid : all_grids()) wire_grid(*grid);
  right_grid->column_moved.connect(&column_moved);
  left_grid->set_draw_left_focus_rect(true);
  right_grid->set_draw_right_focus_rect(true);
  left_grid->set_columns({}, {});
  right_grid->set_columns({}, {});

  shared_selection = center_cells->GetRowEventHandler().GetSelectionModel();
  shared_selection->SelectionChanged.connect(this, &self::on_selection_changed);
  for (grid_element_t* cells : {left_cells, center_cells, right_cells})
    cells->KeyDown.connect(this, &self::on_key_down);
  for (grid_element_t* grid :
       {left_cells, left_summary, center_cells, center_summary, right_cells, right_summary})
    grid->row_height_query.connect(this, &self::on_calculate_row_height);
}

source_view_element_t::~source_view_element_t() = default;

void source_view_element_t::wire_grid(source_view_grid_base_t& grid) {
  using self = source_view_element_t;
  grid.link_clicked.connect(&link_clicked);
  grid.cell_clicked.connect(&cell_clicked);
  grid.cell_double_clicked.connect(&cell_double_clicked);
  grid.header_context_menu.connect(&header_context_menu);
  grid.header_levels_changed.connect(this, &self::on_header_levels_changed);
}

std::vector<source_view_grid_base_t*> source_view_element_t::all_grids() {
  return {left_grid.get(), center_grid.get(), right_grid.get()};
}

void source_view_element_t::on_selection_changed() { selection_changed.emit(); }

// ---- lifecycle ----

void source_view_element_t::AfterSetControl() {
  source_view_layout_t::AfterSetControl();
  init();
}

void source_view_element_t::init() {
  if (!GetControl()) return;
  set_custom_data_model(utilkit2::smart_pointer_t<data_model_base_t>(new data_model_t()));

  auto* link = new text_painter_t();
  link_painter.reset(link);
  orrin7::font underlined = link->get_font();
  underlined.style |= orrin7::FS_Underline;
  link->set_font(underlined);
  link->set_text_color(orrin7::_color::rgb(0, 0, 255));
  for (source_view_grid_base_t* grid : all_grids()) grid->set_link_painter(link_painter);

  group_painter.reset(new column_painters::group_painter_t());
  center_grid->set_group_painter(group_painter);
  if (hierarchical_mode != hierarchical_mode_none && !hierarchical_model)
    set_hierarchical_mode(hierarchical_mode);
}

void source_view_element_t::SysColorsChanged() {
  source_view_layout_t::SysColorsChanged();
  for (source_view_grid_base_t* grid : all_grids()) grid->update_colors();
  if (link_painter) link_painter->update_colors();
}

// ---- grids and models ----

utilkit2::smart_pointer_t<auxiliary_grid_t> source_view_element_t::get_left_grid() {
  return left_grid;
}
utilkit2::smart_pointer_t<auxiliary_grid_t> source_view_element_t::get_right_grid() {
  return right_grid;
}
utilkit2::smart_pointer_t<source_grid_t> source_view_element_t::get_center_grid() {
  return center_grid;
}

void source_view_element_t::set_custom_data_model(
    utilkit2::smart_pointer_t<data_model_base_t> model) {
  custom_model = std::move(model);
  for (source_view_grid_base_t* grid : all_grids()) grid->set_data_model(custom_model);
  navigation->set_data_model(custom_model);
  custom_model->model_updated.emit();
}

utilkit2::smart_pointer_t<data_model_base_t> source_view_element_t::get_custom_data_model() {
  return custom_model;
}

utilkit2::smart_pointer_t<data_model_t> source_view_element_t::get_data_model() {
  return custom_model.dynamic_cast_to<data_model_t>();
}

utilkit2::smart_pointer_t<const data_model_t> source_view_element_t::get_data_model() const {
  return custom_model.dynamic_cast_to<const data_model_t>();
}

utilkit2::smart_pointer_t<hierarchical_data_model_base_t>
source_view_element_t::get_hierarchical_data_model() {
  return hierarchical_model;
}

// Flat mode takes the hierarchical model away from all three grids, so that they show the flat
// rows again. Groups and snippets each need their own kind of model: one of the other kind is
// replaced rather than kept.
void source_view_element_t::set_hierarchical_mode(hierarchical_mode_t mode) {
  hierarchical_mode = mode;
  center_grid->set_hierarchical_mode(mode);
  if (!custom_model) return;
  if (mode == hierarchical_mode_none) {
    hierarchical_model.reset();
    for (source_view_grid_base_t* grid : all_grids()) grid->set_hierarchical_data_model({}, false);
    custom_model->model_updated.emit();
    return;
  }
  if (hierarchical_model && hierarchical_model->get_model_type() == mode) return;
  if (mode == hierarchical_mode_groups) {
    hierarchical_model.reset(new hierarchical_data_model_t(custom_model));
  } else {
    hierarchical_model.reset(new snippets_data_model_t(custom_model));
  }
  for (source_view_grid_base_t* grid : all_grids())
    grid->set_hierarchical_data_model(hierarchical_model,
                                      /*show_group_button=*/grid == center_grid.get());
  hierarchical_model->update_hierarchy();
}

// ---- regions and appearance ----

void source_view_element_t::set_navigation_region_visible(bool visible) {
  navigation->SetVisible(visible);
}

bool source_view_element_t::get_navigation_region_visible() const {
  return navigation->IsVisible();
}

void source_view_element_t::set_summary_region_visible(bool visible) {
  for (grid_element_t* summary : {left_summary, center_summary, right_summary})
    summary->SetVisible(visible);
  AttributeChanged();
}

bool source_view_element_t::get_summary_region_visible() const {
  return left_summary->IsVisible() && center_summary->IsVisible() && right_summary->IsVisible();
}

void source_view_element_t::set_header_visible(bool visible) {
  for (orrinfrw7::CHeader* header : {left_header, center_header, right_header})
    header->SetVisible(visible);
}

bool source_view_element_t::get_header_visible() const {
  return left_header->IsVisible() && center_header->IsVisible() && right_header->IsVisible();
}

void source_view_element_t::set_splitter_pos(int pos) {
  right_region->SetSize({GetBounds().width() - pos, right_region->GetRequestedSize().height});
}

int source_view_element_t::get_splitter_pos() const {
  return GetBounds().width() - right_region->GetBounds().width();
}

void source_view_element_t::set_empty_area_color(const orrin7::_color& color) {
  for (grid_element_t* cells : {left_cells, center_cells, right_cells})
    cells->SetEmptyAreaColor(color);
}

orrin7::_color source_view_element_t::get_empty_area_color() const {
  return center_cells->GetEmptyAreaColor();
}

void source_view_element_t::enable_ending_grid_lines_drawing(bool enable) {
  for (source_view_grid_base_t* grid : all_grids()) grid->enable_ending_grid_hlines(enable);
  center_grid->enable_ending_grid_vlines(enable);
}

// ---- rows ----

orrinfrw7::ISelectionModel* source_view_element_t::selection() const {
  return shared_selection.get();
}

orrinfrw7::CDefaultDiscreteItemViewModel* source_view_element_t::rows() const {
  return static_cast<orrinfrw7::CDefaultDiscreteItemViewModel*>(center_cells->GetRowViewModel());
}

void source_view_element_t::set_top_row(unsigned int row) {
  const int count = rows()->GetCount();
  rows()->SetViewStart(rows()->GetItemOffset(int(std::min<unsigned int>(row, unsigned(count)))));
}

// The row holding the view's top pixel.
unsigned int source_view_element_t::get_top_row() const {
  const orrinfrw7::IContinuousItemViewModel& model = *rows();
  if (model.GetCount() == 0) return 0;
  const int position = model.GetViewStart();
  const unsigned int after = first_row_where(model, [&](int top) { return top > position; });
  return after == 0 ? 0 : after - 1;
}

void source_view_element_t::set_center_row(unsigned int row) {
  const int count = rows()->GetCount();
  const long long top = rows()->GetItemOffset(int(std::min<unsigned int>(row, unsigned(count))));
  const long long position = top - rows()->GetViewSize() / 2;
  rows()->SetViewStart(int(std::max<long long>(position, 0)));
}

// The first row whose top edge lies at or below the middle of the view.
unsigned int source_view_element_t::get_center_row() const {
  const orrinfrw7::IContinuousItemViewModel& model = *rows();
  if (model.GetCount() == 0) return 0;
  const long long target = (long long)model.GetViewStart() + model.GetViewSize() / 2;
  return first_row_where(model, [&](int top) { return top >= target; });
}

// Visible when the row's bottom edge lies inside the view: below its top edge and above its
// bottom edge (a row ending exactly on the view's bottom edge does not count).
bool source_view_element_t::is_row_visible(unsigned int row) const {
  const orrinfrw7::IContinuousItemViewModel& model = *rows();
  if (row >= unsigned(model.GetCount())) return false;
  const long long bottom = model.GetItemOffset(int(row) + 1);
  const long long view_top = model.GetViewStart();
  return bottom < view_top + model.GetViewSize() && bottom > view_top;
}

// ---- selection ----

void source_view_element_t::set_focus_row(unsigned int row) {
  selection()->SetCurrent(int(row));
  if (hierarchical_model) hierarchical_model->set_default_expanded_row(row);
}

unsigned int source_view_element_t::get_focus_row() const {
  const int current = selection()->GetCurrent();
  return current < 0 ? no_row : unsigned(current);
}

void source_view_element_t::set_selection(unsigned int row, bool selected) {
  selection()->SelectItem(int(row), selected);
}

void source_view_element_t::set_selection(const std::vector<unsigned int>& rows_to_set,
                                          bool selected) {
  orrinfrw7::CSelectionBatch batch(*selection());
  for (const unsigned int row : rows_to_set) set_selection(row, selected);
}

bool source_view_element_t::get_selection(unsigned int row) const {
  return selection()->IsItemSelected(int(row));
}

std::vector<unsigned int> source_view_element_t::get_selection() const {
  std::vector<unsigned int> selected;
  const long long count = selection()->GetSelectedCount();
  selected.reserve(std::size_t(count));
  for (long long n = 0; n < count; ++n)
    selected.push_back(unsigned(selection()->GetSelectedItem(n)));
  return selected;
}

void source_view_element_t::clear_selection() { selection()->ClearSelection(); }

// The rows the grids show, as one range: constant time whatever their number.
void source_view_element_t::select_all() {
  const int count = rows()->GetCount();
  if (count > 0) selection()->SelectRange(0, count - 1, /*selected=*/true);
}

// ---- keys and sizes ----

void source_view_element_t::on_key_down(orrinfrw7::CVisualElement*, int modifiers, int key) {
  if (!(modifiers & orrinfrw7::MK_Ctrl)) return;
  if (key == orrinfrw7::KEY_C || key == orrinfrw7::KEY_Insert) {
    HandleCopyToClipboard();
    return;
  }
  if (key == orrinfrw7::KEY_A) select_all();
}

bool source_view_element_t::HandleKeyDown(const orrinfrw7::CKeyEvent& event) {
  const bool shortcut = (event.modifiers & orrinfrw7::MK_Ctrl) &&
                        (event.key == orrinfrw7::KEY_C || event.key == orrinfrw7::KEY_Insert ||
                         event.key == orrinfrw7::KEY_A);
  if (!shortcut) return source_view_layout_t::HandleKeyDown(event);
  // A focused cell element has already passed the key to on_key_down through its key signal;
  // running it again would export every row twice.
  if (!cells_have_focus()) on_key_down(this, event.modifiers, event.key);
  return true;
}

bool source_view_element_t::cells_have_focus() const {
  const orrinfrw7::CVisualElement* focused =
      GetControl() ? GetControl()->GetFocusedElement() : nullptr;
  return focused != nullptr &&
         (focused == left_cells || focused == center_cells || focused == right_cells);
}

// The headers keep the height of the deepest header any grid has had, so that the three stay
// level.
void source_view_element_t::on_header_levels_changed(int levels) {
  header_levels = std::max(header_levels, levels);
  apply_header_height();
}

void source_view_element_t::apply_header_height() {
  if (header_levels <= 0) return;
  const int height = header_levels * orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight);
  for (orrinfrw7::CHeader* header : {left_header, center_header, right_header})
    header->SetSize({100, height});
}

void source_view_element_t::AttributeChanged() {
  source_view_layout_t::AttributeChanged();
  apply_header_height();
}

// Every grid's rows are as high as the tallest font of any column painter needs; the grid
// elements add their row margin.
void source_view_element_t::on_calculate_row_height(int& height) {
  orrin7::IPainter* surface = GetControl() ? GetControl()->GetPainter() : nullptr;
  if (!surface) return;
  int tallest = -1;
  surface->BeginPaint(3);
  const orrin7::font saved = surface->GetFont();
  for (source_view_grid_base_t* grid : all_grids()) {
    for (unsigned int column = 0; column < grid->get_column_count(); ++column) {
      const auto* text =
          dynamic_cast<const text_painter_t*>(grid->get_column_painter(column).get());
      if (!text) continue;
      surface->SetFont(text->get_font());
      tallest = std::max(tallest, surface->GetFontMetrics().line_height());
    }
  }
  surface->SetFont(saved);
  surface->EndPaint();
  height = tallest;
}

void source_view_element_t::on_left_grid_visibility_changed(bool visible) {
  left_panel->SetVisible(visible);
  center_grid->set_draw_left_focus_rect(!visible);
}

void source_view_element_t::on_right_grid_visibility_changed(bool visible) {
  right_region->SetVisible(visible);
  right_splitter->SetVisible(visible);
  center_grid->set_draw_right_focus_rect(!visible);
}

}  // namespace source_view4
