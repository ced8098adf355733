// three_grids_t: the three regions and their elements, the grids on them with their columns and
// painters, and the models they share.
#include "three_grids.h"

#include "orrinfrw7/control.h"
#include "program_model.h"
#include "source_view4/bar_painter.h"
#include "source_view4/group_painter.h"
#include "source_view4/label_painter.h"
#include "source_view4/range_painter.h"

namespace source_grids {

namespace {

using orrinfrw7::AL_Bottom;
using orrinfrw7::AL_Client;
using orrinfrw7::AL_Left;
using orrinfrw7::AL_Right;
using orrinfrw7::AL_Top;
using source_view4::grid_element_t;
using namespace source_view4::column_painters;
using painter_ptr_t = utilkit2::smart_pointer_t<base_painter_t>;

// Text painter alignment flags: right, centred vertically, one line, ellipsis at the end.
constexpr int align_right = 0x2 | 0x20 | 0x40 | 0x100;

// Column widths in pixels. The left region is exactly as wide as its columns; the right one has
// room to spare, so that its cells end inside it with a closing line.
constexpr int line_width = 64, count_width = 76, share_width = 90, labels_width = 110;
constexpr int address_width = 120, icons_width = 56, scope_width = 72, calls_width = 110;
constexpr int left_width = line_width + count_width + share_width + labels_width;
constexpr int right_width = address_width + icons_width + scope_width + calls_width + 24;

struct column_t {
  const wchar_t* caption;
  int width;
  painter_ptr_t painter;
};

// Gives a metric grid its columns: data ids, captions, widths and cell painters (the summary
// painters stay the default ones, right-aligned where the cells are).
void set_metric_columns(metric_grid_t& grid, const std::vector<unsigned int>& ids,
                        const std::vector<column_t>& columns) {
  grid.set_columns(ids, {});
  for (unsigned int i = 0; i < columns.size(); ++i) {
    grid.set_caption(i, columns[i].caption);
    grid.set_column_width(i, columns[i].width);
    grid.set_column_painter(i, columns[i].painter);
  }
}

utilkit2::smart_pointer_t<text_painter_t> right_aligned_text() {
  utilkit2::smart_pointer_t<text_painter_t> painter(new text_painter_t());
  painter->set_align(align_right);
  return painter;
}

// A link looks like one: the column's font underlined (style bit 4), in blue.
painter_ptr_t make_link_painter() {
  utilkit2::smart_pointer_t<text_painter_t> painter(new text_painter_t());
  orrin7::font underlined = painter->get_font();
  underlined.style |= 4;
  painter->set_font(underlined);
  painter->set_text_color(orrin7::_color::rgb(0, 0, 255));
  return painter;
}

// The element that holds the three regions. It stands for the one view the three grids make:
// while any element inside it has the focus, all of it counts as focused, so that every grid
// draws the focus frame of the current row.
class view_panel_t : public orrinfrw7::CVisualElement {
 public:
  using CVisualElement::CVisualElement;

  bool IsControlFocused() const override {
    const orrinfrw7::CControl* control = GetControl();
    if (control && control->HasInputFocus() &&
        orrinfrw7::IsAncestor(this, control->GetFocusedElement()))
      return true;
    return CVisualElement::IsControlFocused();
  }
};

}  // namespace

three_grids_t::three_grids_t(orrinfrw7::CVisualElement* parent, const options_t& options)
    : m_options(options), m_model(new source_view4::data_model_t()) {
  build_regions(parent);
  m_leftGrid.reset(
      new metric_grid_t(m_left.header, m_left.header_model.get(), m_left.cells, m_left.summary));
  m_centreGrid.reset(new text_grid_t(m_centre.header, m_centre.header_model.get(), m_centre.cells,
                                     m_centre.summary));
  m_rightGrid.reset(new metric_grid_t(m_right.header, m_right.header_model.get(), m_right.cells,
                                      m_right.summary));
  configure_left();
  configure_centre();
  configure_right();
  attach_models();
}

three_grids_t::~three_grids_t() = default;

landmarks_t three_grids_t::landmarks() { return program_landmarks(); }
unsigned int three_grids_t::program_lines() { return program_line_count(); }
std::wstring three_grids_t::generated_line(unsigned int row) {
  return source_grids::generated_line(row);
}

orrinfrw7::CSimpleDiscreteItemViewModel& three_grids_t::rows() const {
  return static_cast<orrinfrw7::CSimpleDiscreteItemViewModel&>(*m_centre.cells->GetRowViewModel());
}

// view (the rest of `parent`) ─┬─ left region ─┬─ header (top)
//                               │               ├─ summary strip (bottom)
//                               │               └─ cells (the rest)
//                               ├─ right region (the same)
//                               └─ centre region (the rest, the same)
// Cells and summary show the header's columns; the left and right cells show the centre's rows
// and selection.
void three_grids_t::build_regions(orrinfrw7::CVisualElement* parent) {
  const auto build = [](orrinfrw7::CVisualElement* parent, int width,
                        orrinfrw7::Alignment alignment, region_t& region) {
    region.header_model.reset(new source_view4::header_model_t());
    region.panel = new orrinfrw7::CVisualElement(parent, {width, 0}, alignment);
    region.header = new orrinfrw7::CHeader(region.panel, {0, 20}, AL_Top);
    region.header->SetModel(region.header_model.get());
    region.summary = new grid_element_t(region.panel, {0, 20}, AL_Bottom);
    region.cells = new grid_element_t(region.panel, {0, 0}, AL_Client);
    region.cells->SetColumnViewModel(region.header->GetColumnViewModel());
    region.summary->SetColumnViewModel(region.header->GetColumnViewModel());
    static_cast<orrinfrw7::CSimpleDiscreteItemViewModel*>(region.summary->GetRowViewModel())
        ->SetCount(1);
  };
  orrinfrw7::CVisualElement* view = new view_panel_t(parent, {0, 0}, AL_Client);
  build(view, left_width, AL_Left, m_left);
  build(view, right_width, AL_Right, m_right);
  build(view, 0, AL_Client, m_centre);
  for (region_t* side : {&m_left, &m_right}) {
    side->cells->SetRowViewModel(m_centre.cells->GetRowViewModel());
    side->cells->SetRowSelectionModel(m_centre.cells->GetRowEventHandler().GetSelectionModel());
  }
}

void three_grids_t::configure_left() {
  utilkit2::smart_pointer_t<text_painter_t> lines = right_aligned_text();
  lines->set_text_color(orrin7::_color::rgb(0x80, 0x80, 0x80));
  utilkit2::smart_pointer_t<label_painter_t> labels(new label_painter_t());
  labels->set_image_list(make_icons());
  set_metric_columns(*m_leftGrid, {line_column, count_column, share_column, labels_column},
                     {{L"Line", line_width, lines},
                      {L"Count", count_width, right_aligned_text()},
                      {L"Share", share_width, painter_ptr_t(new bar_painter_t())},
                      {L"Labels", labels_width, labels}});
  for (unsigned int column : {0u, 1u}) {
    auto* summary =
        dynamic_cast<text_painter_t*>(m_leftGrid->get_column_summary_painter(column).get());
    if (summary) summary->set_align(align_right);
  }
  m_leftGrid->set_draw_left_focus_rect(true);
  m_leftGrid->enable_ending_grid_hlines(true);
}

void three_grids_t::configure_centre() {
  m_centreGrid->set_group_painter(
      utilkit2::smart_pointer_t<group_painter_t>(new group_painter_t()));
  m_centreGrid->enable_ending_grid_hlines(true);
  m_centreGrid->enable_ending_grid_vlines(true);
}

void three_grids_t::configure_right() {
  utilkit2::smart_pointer_t<image_painter_t> icons(new image_painter_t());
  icons->set_image_list(make_icons());
  utilkit2::smart_pointer_t<range_painter_t> scopes(new range_painter_t());
  scopes->set_color_map(
      {orrin7::_color::rgb(0xF4, 0xB4, 0x5C), orrin7::_color::rgb(0xB0, 0x9C, 0xE8)});
  set_metric_columns(*m_rightGrid, {address_column, icons_column, scope_column, calls_column},
                     {{L"Address", address_width, painter_ptr_t(new text_painter_t())},
                      {L"Icons", icons_width, icons},
                      {L"Scope", scope_width, scopes},
                      {L"Calls", calls_width, painter_ptr_t(new text_painter_t())}});
  m_rightGrid->set_draw_right_focus_rect(true);
  m_rightGrid->enable_ending_grid_hlines(true);
}

// The model is attached empty and filled afterwards: the end of the filling batch makes every
// grid count its rows and the source grid fit its column. The group model comes last, expanded.
void three_grids_t::attach_models() {
  const painter_ptr_t link = make_link_painter();
  for (metric_grid_t* grid : {m_leftGrid.get(), m_rightGrid.get()}) {
    grid->set_data_model(m_model);
    grid->set_link_painter(link);
  }
  m_centreGrid->set_data_model(m_model);
  m_centreGrid->set_link_painter(link);
  fill_program_model(*m_model, m_options);
  if (!m_options.group) return;

  m_groups.reset(new source_view4::hierarchical_data_model_t(m_model));
  const landmarks_t marks = landmarks();
  m_groups->create_group(marks.group, marks.group + 3);
  m_leftGrid->set_hierarchical_data_model(m_groups, /*show_group_button=*/false);
  m_rightGrid->set_hierarchical_data_model(m_groups, /*show_group_button=*/false);
  m_centreGrid->set_hierarchical_data_model(m_groups, /*show_group_button=*/true);
  m_groups->update_hierarchy();
  // Every group before it is collapsed, and there is none: the header's view row is its flat row.
  m_groups->set_row_hierarchical_state(marks.group, source_view4::row_state_expanded);
}

void three_grids_t::fit() {
  for (region_t* region : {&m_left, &m_centre, &m_right}) {
    region->header->RecalculateHeight();
    region->summary->SetHeight(region->summary->GetRowViewModel()->GetDefaultItemSize());
  }
  m_centreGrid->set_column_width(0, -1);
}

}  // namespace source_grids
