// source_view_layout_t: building the element tree, sharing row, column and selection models
// across regions, scroll connections, the squeeze rule and the sizing of headers and summaries.
#include "source_view4/source_view_layout.h"

#include <algorithm>

#include "orrin7/system.h"
#include "orrinfrw7/control.h"

namespace source_view4 {

using orrinfrw7::CVisualElement;

source_view_layout_t::source_view_layout_t(CVisualElement* parent, const orrin7::size<int>& size,
                                           orrinfrw7::Alignment alignment)
    : base_t(parent, size, alignment) {
  build_elements();
  share_models();
  connect_scrolling();
  AttributeChanged();
}

source_view_layout_t::~source_view_layout_t() = default;

int source_view_layout_t::line_height() {
  return orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight);
}

void source_view_layout_t::build_elements() {
  using namespace orrinfrw7;
  const int line = line_height();
  scroll_box = new CScrollBox(this, {200, 100}, AL_Client);
  navigation = new navigation_element_t(this, {10, 100}, AL_Right);

  left_panel = new CVisualElement(scroll_box, {200, 100}, AL_Left);
  left_header = new CHeader(left_panel, {200, line}, AL_Top);
  left_cells = new grid_element_t(left_panel, {200, 100}, AL_Client);
  left_summary_panel = new CVisualElement(left_panel, {200, 2 * line + 1}, AL_Bottom);
  left_summary_bevel = new CBevel(left_summary_panel, {200, line}, AL_Bottom);
  left_summary = new grid_element_t(left_summary_panel, {200, line}, AL_Client);

  center_region = new CScrollBox(scroll_box, {200, 100}, AL_Client);
  center_header = new CHeader(center_region, {200, line}, AL_Top);
  center_cells = new grid_element_t(center_region, {200, 100}, AL_Client);
  center_summary = new grid_element_t(center_region, {200, line}, AL_Bottom);

  right_region = new CScrollBox(scroll_box, {200, 100}, AL_Right);
  right_header = new CHeader(right_region, {200, line}, AL_Top);
  right_cells = new grid_element_t(right_region, {200, 100}, AL_Client);
  right_summary = new grid_element_t(right_region, {200, line}, AL_Bottom);

  right_splitter = new CSplitter(scroll_box, {2, 5}, AL_Right);
  right_splitter->SetStyle(0);
  right_splitter->SetShape(0);
  right_splitter->SetBkColor(orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground));
  right_splitter->SetNeighbours(right_region, center_region);

  // The containers are tiled by their aligned children around an AL_Client one: painting their
  // backgrounds under the grids would fill the whole view a few times over on every repaint.
  for (CVisualElement* container : std::initializer_list<CVisualElement*>{
           this, scroll_box, left_panel, left_summary_panel, center_region, right_region})
    container->SetBackgroundCovered(true);

  // Rows are a text line plus the system's row spacing, however the line height is chosen.
  const int spacing = int(orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight));
  for (grid_element_t* grid :
       {left_cells, left_summary, center_cells, center_summary, right_cells, right_summary})
    grid->SetRowMargin(spacing);

  left_header->SetModel(&left_header_model);
  center_header->SetModel(&center_header_model);
  right_header->SetModel(&right_header_model);
  left_summary_bevel->SetStyle(BVS_Flat);
  left_summary_bevel->SetShape(BVSH_TopLine);
  // Horizontal bars stay in place in both scrolling regions, so that their summary rows and the
  // left panel's stay level whether or not a region has columns to scroll.
  center_region->SetScrollBarMode(OR_Horizontal, SBM_Always);
  right_region->SetScrollBarMode(OR_Horizontal, SBM_Always);
  center_region->SetScrollBarMode(OR_Vertical, SBM_Never);
  right_region->SetScrollBarMode(OR_Vertical, SBM_Never);
  scroll_box->SetScrollBarMode(OR_Horizontal, SBM_Never);
}

// One row geometry (the center cells'), one selection (the right cells'), and per region the
// header's columns for its cells and summary.
void source_view_layout_t::share_models() {
  orrinfrw7::IContinuousItemViewModel* rows = center_cells->GetRowViewModel();
  left_cells->SetRowViewModel(rows);
  right_cells->SetRowViewModel(rows);
  navigation->set_view_model(rows);

  const auto selection = right_cells->GetRowEventHandler().GetSelectionModel();
  left_cells->GetRowEventHandler().SetSelectionModel(selection);
  center_cells->GetRowEventHandler().SetSelectionModel(selection);

  const struct {
    orrinfrw7::CHeader* header;
    grid_element_t* cells;
    grid_element_t* summary;
  } regions[] = {{left_header, left_cells, left_summary},
                 {center_header, center_cells, center_summary},
                 {right_header, right_cells, right_summary}};
  for (const auto& region : regions) {
    region.cells->SetColumnViewModel(region.header->GetColumnViewModel());
    region.summary->SetColumnViewModel(region.cells->GetColumnViewModel());
    // The summary strip is one row: the totals.
    static_cast<orrinfrw7::CSimpleDiscreteItemViewModel*>(region.summary->GetRowViewModel())
        ->SetCount(1);
  }
  left_header->GetColumnViewModel()->ModelChanged.connect(
      this, &source_view_layout_t::on_left_viewmodel_changed);
  // The summary rows' height is known only once the grid elements have measured their fonts.
  center_summary->GetRowViewModel()->ModelChanged.connect(this,
                                                          &source_view_layout_t::size_summaries);
  left_header->ItemResizing.connect(this, &source_view_layout_t::on_left_header_resizing);
  center_header->ItemResizeStart.connect(this,
                                         &source_view_layout_t::on_center_header_resize_start);
}

void source_view_layout_t::connect_scrolling() {
  using orrinfrw7::SC_Horizontal;
  using orrinfrw7::SC_Vertical;
  center_region->ConnectElement(center_cells, SC_Horizontal, /*driving=*/true);
  center_region->ConnectElement(center_header, SC_Horizontal);
  right_region->ConnectElement(right_cells, SC_Horizontal, /*driving=*/true);
  right_region->ConnectElement(right_header, SC_Horizontal);
  right_region->ConnectElement(right_summary, SC_Horizontal);
  scroll_box->ConnectElement(center_cells, SC_Vertical, /*driving=*/true);
  scroll_box->ConnectElement(left_cells, SC_Vertical);
  scroll_box->ConnectElement(right_cells, SC_Vertical);
}

orrin7::rectangle<int> source_view_layout_t::get_sbox_rect() const {
  if (!left_panel || !center_region || !right_region) return {};
  const int width = left_panel->GetBounds().width() + center_region->GetBounds().width() +
                    right_region->GetBounds().width();
  const int height = std::max({0, left_panel->GetBounds().bottom, center_region->GetBounds().bottom,
                               right_region->GetBounds().bottom});
  return {0, 0, width, height};
}

void source_view_layout_t::invalidate_rows() {
  for (grid_element_t* grid :
       {left_cells, left_summary, center_cells, center_summary, right_cells, right_summary}) {
    if (grid) grid->invalidate_rows();
  }
}

// The regions share the scroll box's content, which is the element less the navigation strip
// and the vertical scroll bar; the center keeps at least 3 pixels beside the splitter there.
void source_view_layout_t::SetPos(const orrin7::rectangle<int>& rect, bool redraw) {
  const int width = rect.width();
  if (width > 0 && width < GetBounds().width() && left_panel && right_region && scroll_box &&
      right_splitter && right_region->IsVisible()) {
    const int chrome = GetBounds().width() - scroll_box->GetContentRect().width();
    const int room = width - chrome;
    const int splitter = right_splitter->GetBounds().width();
    const int left = left_panel->IsVisible() ? left_panel->GetBounds().width() : 0;
    const int center = room - right_region->GetBounds().width() - left;
    const int right = room - left - std::max(center, splitter + 3);
    right_region->SetSize({std::max(right, 0), right_region->GetRequestedSize().height});
  }
  base_t::SetPos(rect, redraw);
}

void source_view_layout_t::AttributeChanged() {
  OnChange(this, orrinfrw7::UK_Redraw);
  if (!GetControl()) return;
  for (orrinfrw7::CHeader* header : {left_header, center_header, right_header})
    header->RecalculateHeight();
  size_summaries();
}

// Summary rows are one row high less the line the cells above close with; the left panel's
// summary panel also holds the room of the other regions' horizontal scroll bars.
void source_view_layout_t::size_summaries() {
  if (!GetControl()) return;
  const int row = center_summary->GetRowViewModel()->GetDefaultItemSize();
  for (grid_element_t* summary : {left_summary, center_summary, right_summary})
    summary->SetHeight(row - 1);
  const int bar = scroll_box->GetScrollBarSize();
  left_summary_panel->SetHeight(left_summary->IsVisible() ? bar + row : bar);
  left_summary_bevel->SetHeight(bar);
}

void source_view_layout_t::HandleChildFocusChanged(CVisualElement* from, CVisualElement* to,
                                                   bool focused) {
  base_t::HandleChildFocusChanged(from, to, focused);
  if (!GetControl() || orrinfrw7::IsAncestor(this, to)) return;
  invalidate_rows();
}

void source_view_layout_t::on_left_header_resizing(orrinfrw7::CHeader*,
                                                   orrinfrw7::IHeaderItem* item, int new_size,
                                                   bool* allow) {
  if (!item || !allow || !left_panel) return;
  const int shrink = item->GetWidth() - new_size;
  if (shrink <= 0) return;
  *allow = left_panel->GetBounds().width() - shrink >= 30;
}

void source_view_layout_t::on_center_header_resize_start(orrinfrw7::CHeader*,
                                                         orrinfrw7::IHeaderItem*, bool* allow) {
  if (allow) *allow = false;
}

void source_view_layout_t::on_left_viewmodel_changed() {
  if (!left_panel || !left_cells) return;
  left_panel->SetSize({std::max(0, left_cells->GetColumnViewModel()->GetTotalSize() - 1), 20});
  OnChange(this, orrinfrw7::UK_Layout);
}

}  // namespace source_view4
