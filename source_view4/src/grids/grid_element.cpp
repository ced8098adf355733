// grid_element_t: cell drawing signal, empty areas and their separators, row height, tooltips,
// focus repaints; PseudoDiscreteScrollModel and RemoveTranslator.
#include "source_view4/grid_element.h"

#include <algorithm>

#include "orrin7/system.h"
#include "orrinfrw7/control.h"

namespace source_view4 {

using orrinfrw7::IContinuousItemViewModel;

// ---- PseudoDiscreteScrollModel ----

PseudoDiscreteScrollModel::PseudoDiscreteScrollModel(IContinuousItemViewModel* model)
    : m_target(model), m_size(model) {}

int PseudoDiscreteScrollModel::unit() const { return m_size ? m_size->GetDefaultItemSize() : 0; }

int PseudoDiscreteScrollModel::GetTotal() const {
  if (m_size) return unit() > 0 ? m_size->GetTotalSize() / unit() : 0;
  return m_target ? m_target->GetTotalSize() : 0;
}

void PseudoDiscreteScrollModel::SetPosition(double position) {
  if (!m_size || !m_target) return;
  const double pixels = position * unit();
  m_target->SetViewStart(int(std::clamp(pixels, 0.0, double(0x7FFFFFFF))));
}

double PseudoDiscreteScrollModel::GetPosition() const {
  if (!m_size || !m_target || unit() <= 0) return 0.0;
  return double(m_target->GetViewStart()) / unit();
}

int PseudoDiscreteScrollModel::GetLineStep() const { return m_size ? unit() : 4; }

std::pair<double, int> PseudoDiscreteScrollModel::GetPageInfo() const {
  return {1.0, m_size ? unit() : 1};
}

// ---- RemoveTranslator ----

int RemoveTranslator::TranslateIndex(int index, bool* removed) const {
  if (removed) *removed = true;
  return index;
}

// ---- grid_element_t ----

grid_element_t::grid_element_t(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                               orrinfrw7::Alignment alignment)
    : base_t(parent, size, alignment),
      m_initialRows(GetRowViewModel()),
      m_initialColumns(GetColumnViewModel()),
      m_rows(GetRowViewModel()),
      m_columns(GetColumnViewModel()),
      m_scroll(GetRowViewModel()) {
  update_colors();
  m_cells.SetViewModel(m_rows);
  m_cells.SetColumnViewModel(m_columns);
  SetVScrollModel(&m_scroll);
  AddEventHandler(&m_cells);
}

grid_element_t::~grid_element_t() {
  RemoveEventHandler(&m_cells);
  SetVScrollModel(nullptr);
}

orrin7::point<int> grid_element_t::cell_origin(int row, int column) const {
  const int left = orrinfrw7::Utils::GetItemIndexRange(m_columns, column).low();
  const int top = orrinfrw7::Utils::GetItemIndexRange(m_rows, row).low();
  return GetCentralPart().ViewToElement({left, top});
}

orrin7::screen_rectangle<int> grid_element_t::GetCellVirtualRect(int row, int column) const {
  const int width = m_columns ? m_columns->GetItemSize(column) : 0;
  const int height = m_rows ? m_rows->GetItemSize(row) : 0;
  return orrin7::rectangle<int>(0, 0, width, height);
}

orrin7::point<int> grid_element_t::Cell2ControlCoord(const orrin7::point<int>& p, int row,
                                                     int column) const {
  const orrin7::point<int> origin = cell_origin(row, column);
  return ElementToControl({p.x + origin.x, p.y + origin.y});
}

void grid_element_t::SetEmptyAreaColor(const orrin7::_color& color) {
  m_emptyAreaColor = color;
  m_emptyAreaColorSet = true;
  SetBkColor(color);
}

void grid_element_t::SetSeparatorColor(const orrin7::_color& color) {
  m_separatorColor = color;
  m_separatorColorSet = true;
}

bool grid_element_t::is_element_focused() const { return IsFocused() || IsControlFocused(); }

void grid_element_t::invalidate_rows() {
  GetRowSelectionModel()->UpdateItems(0, 0x7FFFFFFF);
  Update(orrinfrw7::UK_Redraw);
}

void grid_element_t::update_colors() {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  if (!m_emptyAreaColorSet) m_emptyAreaColor = palette.GetColor(orrin7::PAL_EmptyArea);
  if (!m_separatorColorSet) m_separatorColor = palette.GetColor(orrin7::PAL_Separator);
  SetBkColor(m_emptyAreaColor);
}

void grid_element_t::SysColorsChanged() {
  base_t::SysColorsChanged();
  update_colors();
}

// The answer of a row_height_query listener wins; otherwise a text line and the system's row
// spacing. The viewer adds its row margin and ignores an answer of 0.
int grid_element_t::CalculateDefaultRowHeight() {
  int height = -1;
  row_height_query.emit(height);
  if (height >= 0) return height;
  return GetTextLineHeight() + int(orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight));
}

// The scroll model keeps measuring in default rows of the element's own row model; while another
// model is shown, the own model's default row height follows the shown one, so that grids
// sharing one row model count scroll positions in the same rows.
void grid_element_t::SetRowViewModel(IContinuousItemViewModel* model) {
  if (model != nullptr && model == GetRowViewModel()) return;
  m_cells.SetViewModel(model ? model : m_initialRows);
  base_t::SetRowViewModel(model);
  m_rows = GetRowViewModel();
  m_scroll.SetTargetViewModel(m_rows);
  if (m_rows == m_initialRows) return;
  m_rows->ModelChanged.connect(this, &grid_element_t::follow_row_height);
  follow_row_height();
}

void grid_element_t::follow_row_height() {
  auto* own = dynamic_cast<orrinfrw7::CSimpleDiscreteItemViewModel*>(m_initialRows);
  const int height = m_rows->GetDefaultItemSize();
  if (own && own != m_rows && height > 0 && own->GetDefaultItemSize() != height)
    own->SetDefaultItemSize(height);
}

void grid_element_t::RowViewModelChanged(IContinuousItemViewModel* model) { m_rows = model; }

void grid_element_t::ColumnViewModelChanged(IContinuousItemViewModel* model) {
  m_columns = model;
  // The pointer signals name cells by the columns shown, so the handler hit-tests these.
  m_cells.SetColumnViewModel(model);
}

// A cell whose pixels are still right is skipped unless every cell is to be painted. Painters
// get the whole cell, also where it is scrolled out of view, with its right and bottom edges on
// its last pixel column and row: they fill the cell up to those edges and draw the grid lines on
// them. The last column is cleared first, for painters whose vertical line is off.
void grid_element_t::DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column,
                              int columnOffset, int state, const orrin7::rectangle<double>& rect,
                              int updateType) {
  if (!m_redrawAlways && updateType != orrinfrw7::UT_Changed) return;
  const double left = rect.left - columnOffset, top = rect.top - rowOffset;
  const double right = std::max(rect.right, left + m_columns->GetItemSize(column)) - 1;
  const double bottom = std::max(rect.bottom, top + m_rows->GetItemSize(row)) - 1;
  fill(painter, {right, top, right + 1, bottom + 1});
  cell_drawing.emit(painter, unsigned(row), unsigned(column), state, {left, top, right, bottom});
}

void grid_element_t::fill(orrin7::IPainter* painter, const orrin7::rectangle<double>& rect) const {
  painter->SetBrush(orrin7::brush(m_emptyAreaColor, 1));
  painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
}

void grid_element_t::draw_separator(orrin7::IPainter* painter, double x1, double y1, double x2,
                                    double y2) const {
  painter->SetPen(orrin7::pen(m_separatorColor, 1, 1));
  painter->MoveTo(x1, y1);
  painter->LineTo(x2, y2);
}

// Below the last row. The separator closes the last row and stops at the last column's right
// edge (or runs across when the last column stretches to the element's edge).
void grid_element_t::DrawRowEmptyArea(orrin7::IPainter* painter,
                                      const orrin7::rectangle<double>& rect) {
  fill(painter, rect);
  if (!m_drawSeparator || !m_columns) return;
  double width = rect.width();
  if (!(m_columns->GetFlags() & orrinfrw7::IVF_StretchLastItem)) {
    width = std::min(width, double(m_columns->GetTotalSize() - m_columns->GetViewStart()));
  }
  draw_separator(painter, rect.left, rect.top, rect.left + width, rect.top);
}

// Right of the last column: the separator runs down the last column's right edge when the
// columns end inside the element.
void grid_element_t::DrawColumnEmptyArea(orrin7::IPainter* painter,
                                         const orrin7::rectangle<double>& rect) {
  // A row-wide cell covers this area, when a column of some width is there to hold it.
  if (m_cellsCoverRows && m_columns && m_columns->GetTotalSize() > 0) return;
  fill(painter, rect);
  if (!m_drawSeparator || !m_columns) return;
  const orrin7::rectangle<int> content = GetContentRect();
  if (m_columns->GetTotalSize() - m_columns->GetViewStart() > content.width()) return;
  draw_separator(painter, rect.left, 0, rect.left, content.bottom);
}

// The current row is always repainted when it is selected, so that its focus frame follows the
// focus and the frames of the neighbouring grids.
void grid_element_t::DrawContent(orrin7::IPainter* painter) {
  if (const orrinfrw7::ISelectionModel* selection = GetRowSelectionModel()) {
    const int current = selection->GetCurrent();
    if (current >= 0 && selection->IsItemSelected(current)) MarkRowsChanged(current, current);
  }
  base_t::DrawContent(painter);
}

bool grid_element_t::HandleOnTooltip(orrinfrw7::CTooltipEvent& event) {
  if (!m_tooltips) return false;
  const orrin7::point<int> at = GetCentralPart().ElementToView({event.x, event.y});
  const int row = orrinfrw7::Utils::HitTest(m_rows, at.y);
  const int column = orrinfrw7::Utils::HitTest(m_columns, at.x);
  if (row < 0 || column < 0) return false;
  event.text = m_tooltips->GetTooltipText(row, column);
  event.rect = orrin7::rectangle<int>(0, 0, 10, 10);
  const orrin7::point<int> origin = cell_origin(row, column);
  const orrin7::screen_rectangle<int> size = GetCellVirtualRect(row, column);
  m_tooltips->PlaceTooltip(event, row, column,
                           {origin.x, origin.y, origin.x + size.right, origin.y + size.bottom});
  return true;
}

void grid_element_t::HandleControlChangeFocus(bool focused) {
  base_t::HandleControlChangeFocus(focused);
  invalidate_rows();
}

}  // namespace source_view4
