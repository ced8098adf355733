// The viewer's look: right-aligned numbers, a bar for hits, labels with branch icons, group rows
// per function, snippets under lines, unexecuted lines marked in the navigation strip.
#include "view_setup.h"

#include "link_snippet_painter.h"
#include "orrin7/system.h"
#include "source_view4/bar_painter.h"
#include "source_view4/hierarchical_data_model.h"
#include "source_view4/label_painter.h"
#include "source_view4/navigation.h"
#include "source_view4/text_painter.h"

namespace source_view_app {

using namespace source_view4;
using utilkit2::smart_pointer_t;

namespace {

constexpr int icon_size = 12;

// An icon drawn from a distance test per pixel: a filled disc, a ring, or a cross.
enum class icon_shape_t { disc, ring, cross };

orrin7::bitmap make_icon(icon_shape_t shape, std::uint32_t rgb) {
  orrin7::bitmap image;
  image.width = image.height = icon_size;
  image.pixels.assign(icon_size * icon_size, 0);
  const double c = (icon_size - 1) / 2.0, radius = icon_size / 2.0 - 1;
  for (int y = 0; y < icon_size; ++y) {
    for (int x = 0; x < icon_size; ++x) {
      double dx = x - c, dy = y - c, d2 = dx * dx + dy * dy;
      bool on = false;
      if (shape == icon_shape_t::disc) on = d2 <= radius * radius;
      if (shape == icon_shape_t::ring)
        on = d2 <= radius * radius && d2 >= (radius - 2) * (radius - 2);
      if (shape == icon_shape_t::cross)
        on = (std::abs(dx - dy) < 1.2 || std::abs(dx + dy) < 1.2) && std::abs(dx) <= radius;
      if (on) image.pixels[y * icon_size + x] = 0xFF000000u | rgb;
    }
  }
  return image;
}

// Images in the order of branch_image_t: taken, not taken, never executed.
orrin7::orrin_ptr<orrin7::IImageList> branch_icons() {
  auto list = orrin7::GetCurrentSystem()->CreateImageList(icon_size, icon_size);
  list->Add(make_icon(icon_shape_t::disc, 0x2E9E44));
  list->Add(make_icon(icon_shape_t::cross, 0xD0342C));
  list->Add(make_icon(icon_shape_t::ring, 0x8A8A8A));
  return list;
}

// Marks unexecuted (highlighted) rows of the strip in red and lines with details in the strip's
// own marker colour; the strip's plain band elsewhere. (Every row carries a snippet in snippet
// mode, so the strip's own test, "the snippet cell is set", would mark them all.)
class attention_band_painter_t : public column_painters::navigation_simple_painter_t {
 public:
  void on_draw_cell(const column_painters::draw_cell_params_t& params) override {
    if (!params.data_model) return;
    orrin7::_color mark;
    if (params.data_model->get_highlighted(params.row)) {
      mark = orrin7::_color::rgb(0xE0, 0x40, 0x30);
    } else if (has_entries(params)) {
      mark = marker_color();
    } else {
      column_painters::draw_cell_params_t plain = params;
      plain.column = unused_column;  // a column no row has: the plain band
      return navigation_simple_painter_t::on_draw_cell(plain);
    }
    params.painter->SetBrush(orrin7::brush(mark, 1));
    params.painter->FillRect(params.rect.left, params.rect.top, params.rect.right,
                             std::max(params.rect.bottom, params.rect.top + 2));
  }

 private:
  static constexpr unsigned unused_column = 0xFFFFFFF0u;
  static bool has_entries(const column_painters::draw_cell_params_t& params) {
    cell_value_t value = params.data_model->get_data(params.row, snippet_column);
    const snippet_t* snippet = boost::get<snippet_t>(&value);
    return snippet && !snippet->items.empty();
  }
};

smart_pointer_t<column_painters::base_painter_t> painter_for(column_look_t look) {
  using namespace column_painters;
  switch (look) {
    case column_look_t::bar:
      return smart_pointer_t<base_painter_t>(new bar_painter_t());
    case column_look_t::branch_labels: {
      auto* labels = new label_painter_t();
      labels->set_image_list(branch_icons());
      return smart_pointer_t<base_painter_t>(labels);
    }
    case column_look_t::text_left:
    case column_look_t::text_right:
      break;
  }
  auto* text = new text_painter_t();
  if (look == column_look_t::text_right)
    text->set_align(orrin7::TA_Right | orrin7::TA_VCenter | orrin7::TA_SingleLine);
  return smart_pointer_t<base_painter_t>(text);
}

void set_up_grid(auxiliary_grid_t& grid, const std::vector<column_spec_t>& columns) {
  std::vector<unsigned> ids;
  for (const column_spec_t& c : columns) ids.push_back(c.data_id);
  grid.set_columns(ids, {});
  for (unsigned i = 0; i < columns.size(); ++i) {
    grid.set_caption(i, columns[i].caption);
    grid.set_column_painter(i, painter_for(columns[i].look));
    if (columns[i].look == column_look_t::text_right) {
      auto summary = grid.get_column_summary_painter(i);
      if (auto* text = dynamic_cast<column_painters::text_painter_t*>(summary.get()))
        text->set_align(orrin7::TA_Right | orrin7::TA_VCenter | orrin7::TA_SingleLine);
    }
    grid.set_column_width(i, columns[i].look == column_look_t::bar ? 80 : -1);
    // A column of short numbers still shows its caption whole.
    int caption_width = 12 + 8 * int(columns[i].caption.size());
    if (grid.get_column_width(i) < caption_width) grid.set_column_width(i, caption_width);
  }
}

// The right region as wide as its columns (with room for the strip and a frame), up to half
// the element.
void fit_right_region(viewer_element_t& element, const std::vector<column_spec_t>& columns) {
  if (columns.empty()) return;
  auto grid = element.get_right_grid();
  int width = 0;
  for (unsigned i = 0; i < columns.size(); ++i) width += grid->get_column_width(i);
  int element_width = element.GetSize().width;
  width = std::min(width + 24, element_width / 2);
  element.set_splitter_pos(element_width - width);
}

void apply_hierarchy(viewer_element_t& element, const view_description_t& view, view_mode_t mode) {
  if (mode == view_mode_t::flat) return element.set_hierarchical_mode(hierarchical_mode_none);
  bool groups = mode == view_mode_t::functions;
  element.set_hierarchical_mode(groups ? hierarchical_mode_groups : hierarchical_mode_snippets);
  auto model = element.get_hierarchical_data_model();
  model->clear_hierarchy();
  if (groups) {
    for (const group_spec_t& g : view.groups) model->create_group(g.header_row, g.last_row);
  } else if (view.snippet_links) {
    // Each snippet opens as it is made: the row made is the default expanded one.
    model->set_default_hierarchical_state(row_state_expanded);
    for (unsigned row : view.snippet_rows) {
      model->set_default_expanded_row(row);
      model->create_group(row, 0);
    }
    model->set_default_expanded_row(no_row);
  } else {
    // Every snippet starts closed; the user opens the ones of interest.
    model->set_default_expanded_row(no_row);
    for (unsigned row : view.snippet_rows) model->create_group(row, 0);
  }
  model->update_hierarchy();
  auto center = element.get_center_grid();
  if (auto* snippets = center->get_snippet_painter().get()) {
    snippets->set_image_list(branch_icons());
    snippets->set_additional_flags(view.snippet_links ? int(view_description_t::link_entry) : 0);
    // Calls that can be followed look like links; the mode change above installed the plain
    // snippet painter.
    if (view.snippet_links)
      center->set_column_painter(0, smart_pointer_t<column_painters::base_painter_t>(
                                        new link_snippet_painter_t(*snippets)));
  }
}

// The snippet painter draws its frame from 24 pixels into the cell, and the entries one line each
// under the row's own line.
constexpr int snippet_frame_left = 24;

}  // namespace

viewer_element_t::viewer_element_t(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                                   orrinfrw7::Alignment alignment)
    : source_view_element_t(parent, size, alignment), m_branch_tips(*get_right_grid()) {
  get_right_grid()->set_tooltip_model(&m_branch_tips);
  auto& events = center_cells->get_cell_event_handler();
  events.CellMouseMove.connect(this, &viewer_element_t::on_center_mouse_move);
  events.CellMouseClick.connect(this, &viewer_element_t::on_center_click);
}

orrin7::point<int> viewer_element_t::source_cell_origin(unsigned row) const {
  return center_cells->Cell2ControlCoord({0, 0}, int(row), 0);
}

int viewer_element_t::snippet_entry_at(int row, int x, int y, unsigned* flags) {
  auto model = get_hierarchical_data_model();
  if (row < 0 || x < snippet_frame_left || !model ||
      model->get_model_type() != hierarchical_mode_snippets ||
      model->get_row_hierarchical_state(unsigned(row)) != row_state_expanded)
    return -1;
  int line = get_center_grid()->get_default_item_size();
  if (line <= 0 || y < line) return -1;
  cell_value_t value = get_data_model()->get_data(unsigned(row), snippet_column);
  const snippet_t* snippet = boost::get<snippet_t>(&value);
  if (!snippet) return -1;
  // Each entry takes its own line and one per detail line.
  int at = y / line - 1;
  for (std::size_t i = 0; i < snippet->items.size(); ++i) {
    at -= 1 + int(snippet->items[i].lines.size());
    if (at >= 0) continue;
    if (flags) *flags = snippet->items[i].flags;
    return int(i);
  }
  return -1;
}

// Connected after the grid's own handler, so the hand stays over an entry that can be followed.
void viewer_element_t::on_center_mouse_move(int row, int, int x, int y, int, orrin7::MouseButton) {
  unsigned flags = 0;
  if (snippet_entry_at(row, x, y, &flags) >= 0 && (flags & view_description_t::link_entry) != 0)
    center_cells->SetCursor(orrinfrw7::CR_Hand);
}

void viewer_element_t::on_center_click(int row, int, int x, int y, int,
                                       orrin7::MouseButton button) {
  if (button != orrin7::MB_Left) return;
  int entry = snippet_entry_at(row, x, y);
  if (entry >= 0) snippet_entry_clicked.emit(unsigned(row), unsigned(entry));
}

void show_view(viewer_element_t& element, const view_description_t& view, view_mode_t mode) {
  set_up_grid(*element.get_left_grid(), view.left);
  set_up_grid(*element.get_right_grid(), view.right);
  fit_right_region(element, view.right);
  element.get_center_grid()->set_caption(0, L"Source");
  if (auto* strip = element.get_navigation_element())
    strip->set_band_painter(
        smart_pointer_t<column_painters::base_painter_t>(new attention_band_painter_t()));
  apply_hierarchy(element, view, mode);
}

unsigned view_row_of(viewer_element_t& element, unsigned flat_row) {
  auto model = element.get_hierarchical_data_model();
  if (!model || model->get_model_type() != hierarchical_mode_groups) return flat_row;
  // Find the row itself, or the collapsed group row before it, and open that group.
  unsigned count = model->get_row_count();
  for (unsigned row = 0; row < count; ++row) {
    unsigned flat = model->get_flat_row_index(row);
    if (flat == flat_row) return row;
    if (flat > flat_row) {
      if (row == 0) return 0;
      unsigned header = row - 1;
      if (model->get_row_hierarchical_state(header) != row_state_collapsed) return header;
      model->set_row_hierarchical_state(header, row_state_expanded);
      return header + (flat_row - model->get_flat_row_index(header));
    }
  }
  if (count == 0) return 0;
  unsigned last = count - 1;
  if (model->get_row_hierarchical_state(last) == row_state_collapsed) {
    model->set_row_hierarchical_state(last, row_state_expanded);
    return last + (flat_row - model->get_flat_row_index(last));
  }
  return last;
}

unsigned row_of_line(const view_description_t& view, unsigned line) {
  unsigned best = 0;
  for (unsigned r = 0; r < view.row_lines.size(); ++r) {
    if (view.row_lines[r] == line) return r;
    if (view.row_lines[r] != 0 && view.row_lines[r] < line) best = r;
  }
  return best;
}

std::vector<unsigned> mark_matches(data_model_t& model, const std::wstring& text,
                                   std::size_t current) {
  std::vector<unsigned> rows;
  unsigned count = model.get_row_count();
  model.begin_update();
  for (unsigned r = 0; r < count; ++r) {
    found_items_t items;
    if (!text.empty()) {
      std::wstring line = model.get_text_data(r, source_column);
      for (std::size_t at = line.find(text); at != std::wstring::npos;
           at = line.find(text, at + text.size()))
        items.push_back({int(source_column), int(at), int(text.size()),
                         rows.size() == current && items.empty()});
    }
    bool had = !boost::get<found_items_t>(model.get_data(r, found_items_column)).empty();
    if (!items.empty()) rows.push_back(r);
    if (had || !items.empty()) model.set_data(r, found_items_column, items);
  }
  model.end_update();
  return rows;
}

void go_to_row(viewer_element_t& element, unsigned flat_row) {
  unsigned row = view_row_of(element, flat_row);
  element.clear_selection();
  element.set_selection(row, true);
  element.set_focus_row(row);
  element.set_center_row(row);
}

}  // namespace source_view_app
