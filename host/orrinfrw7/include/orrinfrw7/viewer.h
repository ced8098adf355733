// Viewers: elements that show items from item view models. CViewerBase routes input to event
// handlers; CRowViewerBase lays out rows, keeps their repaint bookkeeping and selection;
// CGridViewer adds columns and calls back once per cell.
#pragma once

#include <algorithm>
#include <type_traits>
#include <vector>

#include "orrin7/painter.h"
#include "orrin7/system.h"
#include "orrinfrw7/control.h"
#include "orrinfrw7/event_handler.h"
#include "orrinfrw7/geometry.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/selection_model.h"
#include "orrinfrw7/visual_element.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Bits of the state word a viewer passes with each row and cell.
enum CellState : int {
  CS_Selected = 0x1,  // the row is selected
  CS_Current = 0x2,   // the row is the current one
  CS_Focused = 0x4,   // the viewer has the focus (its own or on behalf of a holder)
};

// The part of a viewer where its items are shown, in element pixels, and the mapping between
// element pixels and view pixels (view pixel 0 is the first pixel of the central part, where the
// item view models' view starts). Viewers place it on their content rectangle.
class CCentralPart {
 public:
  void SetPos(const orrin7::rectangle<int>& rect) { m_pos = rect; }
  const orrin7::rectangle<int>& GetPos() const { return m_pos; }
  orrin7::point<int> ElementToView(const orrin7::point<int>& p) const {
    return {p.x - m_pos.left, p.y - m_pos.top};
  }
  orrin7::point<int> ViewToElement(const orrin7::point<int>& p) const {
    return {p.x + m_pos.left, p.y + m_pos.top};
  }

 private:
  orrin7::rectangle<int> m_pos;
};

// An element whose input goes to event handlers: first the added ones in order, then the
// default one. Viewers are tab stops. The scroll models a scroll box drives are the viewer's own
// pixel scroll models unless others are set. A viewer's connections to the models it shows are
// dropped when it is destroyed.
class CViewerBase : public CVisualElement, public utilkit2::subscriber_base_t {
 public:
  CViewerBase(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment);
  ~CViewerBase() override;

  void AddEventHandler(CEventHandlerBase* handler);
  void RemoveEventHandler(CEventHandlerBase* handler);
  void SetDefEventHandler(CEventHandlerBase* handler);
  CEventHandlerBase* GetDefEventHandler() const { return m_default; }

  const CCentralPart& GetCentralPart() const { return m_central; }

  IScrollModel* GetHScrollModel() override { return m_hScroll ? m_hScroll : &m_ownHScroll; }
  IScrollModel* GetVScrollModel() override { return m_vScroll ? m_vScroll : &m_ownVScroll; }
  // Not owned; null goes back to the viewer's own model.
  void SetHScrollModel(IScrollModel* model);
  void SetVScrollModel(IScrollModel* model);

 protected:
  bool HandleMouseDown(const CMouseEvent& event) override;
  bool HandleMouseUp(const CMouseEvent& event) override;
  bool HandleMouseMove(const CMouseEvent& event) override;
  bool HandleMouseDoubleClick(const CMouseEvent& event) override;
  void HandleMouseLeave() override;
  bool HandleKeyDown(const CKeyEvent& event) override;
  void HandleBoundsChanged() override;

  // Moves the central part's pixels by (dx, dy) on the control's surface.
  void ScrollCentralPart(int dx, int dy);
  // Reactions to the item view models a viewer shows: count or sizes changed (repaint all),
  // scrolled along the rows or the columns (move the pixels).
  void OnViewGeometryChanged();
  void OnVerticalScroll(int oldStart, int newStart, bool* handled);
  void OnHorizontalScroll(int oldStart, int newStart, bool* handled);
  // Drops every connection of this viewer to `model`'s signals.
  void DetachViewModel(IContinuousItemViewModel* model);
  // True when the running paint pass has lost the pixels (everything in it must be drawn).
  bool IsExposedPass() const;
  CPixelScrollModel& GetOwnHScrollModel() { return m_ownHScroll; }
  CPixelScrollModel& GetOwnVScrollModel() { return m_ownVScroll; }

 private:
  template <class F>
  bool Dispatch(F&& call);

  std::vector<CEventHandlerBase*> m_handlers;  // not owned
  CEventHandlerBase* m_default = nullptr;      // not owned
  CCentralPart m_central;
  CPixelScrollModel m_ownHScroll;
  CPixelScrollModel m_ownVScroll;
  IScrollModel* m_hScroll = nullptr;  // not owned
  IScrollModel* m_vScroll = nullptr;  // not owned
};

// Rows laid out from a row view model (pixels). The viewer owns a row model and a row selection
// handler (its default event handler, with its own selection model); both can be replaced by
// shared ones (SetRowViewModel, SetRowSelectionModel). It listens to the models: scrolling moves
// its pixels and repaints only the uncovered rows; UpdateItems on the row model or the selection
// model repaints those rows in a refresh pass; other model changes repaint everything.
//
// DrawContent calls DrawRow for every row with pixels in the painted area, passing the row's
// visible part, how many of its pixels lie above the view (the row offset), its state word
// (CellState) and its update type: UT_Changed in a pass that lost its pixels or for a row
// marked changed, UT_Unchanged otherwise (its pixels are still right). Then, in a pass that lost
// its pixels, DrawRowEmptyArea for the area below the last row.
template <class RowVM>
class CRowViewerBase : public CViewerBase {
  static_assert(std::is_base_of<IContinuousItemViewModel, RowVM>::value,
                "rows come from an item view model");

 public:
  CRowViewerBase(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment)
      : CViewerBase(parent, size, alignment) {
    m_rowHandler.SetDirection(DIR_Vertical);
    SetDefEventHandler(&m_rowHandler);
    m_rowHandler.SelectionModelChanged.connect(this, &CRowViewerBase::OnSelectionModelChanged);
    ConnectSelection();
    AttachRowModel(&m_ownRowModel);
  }

  RowVM* GetRowViewModel() const { return m_rowModel; }
  // Shows the rows of `model` (not owned; null: the viewer's own model).
  virtual void SetRowViewModel(RowVM* model) {
    RowVM* target = model ? model : &m_ownRowModel;
    if (target == m_rowModel) return;
    this->DetachViewModel(m_rowModel);
    AttachRowModel(target);
    RowViewModelChanged(target);
    if (this->GetControl() && m_rowHeightUpdating) RecalculateRowHeight();
    this->Update(UK_Redraw);
    this->ScrollStateChanged.emit(this);
  }

  CContinuousItemEventHandler& GetRowEventHandler() { return m_rowHandler; }
  ISelectionModel* GetRowSelectionModel() const { return m_rowHandler.GetSelectionModel().get(); }
  void SetRowSelectionModel(utilkit2::smart_pointer_t<ISelectionModel> model) {
    m_rowHandler.SetSelectionModel(std::move(model));
  }

  // Pixels added to the calculated row height.
  int GetRowMargin() const { return m_rowMargin; }
  void SetRowMargin(int margin) {
    m_rowMargin = std::max(margin, 0);
    if (this->GetControl() && m_rowHeightUpdating) RecalculateRowHeight();
  }
  // Whether the viewer sets the row model's default row height (on attachment, font and system
  // changes, and model replacement).
  void SetRowHeightUpdating(bool updating) { m_rowHeightUpdating = updating; }
  bool IsRowHeightUpdating() const { return m_rowHeightUpdating; }
  // Applies CalculateDefaultRowHeight + the row margin as the default row height; an answer of 0
  // or less leaves it alone.
  void RecalculateRowHeight() {
    const int height = CalculateDefaultRowHeight();
    if (height <= 0) return;
    if (auto* model = dynamic_cast<CSimpleDiscreteItemViewModel*>(m_rowModel))
      model->SetDefaultItemSize(height + m_rowMargin);
  }
  // The text line height of the element's font plus the system's row spacing.
  virtual int CalculateDefaultRowHeight() {
    return this->GetTextLineHeight() +
           static_cast<int>(orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight));
  }

 protected:
  virtual void RowViewModelChanged(RowVM* /*model*/) {}
  virtual void DrawRow(orrin7::IPainter* painter, int row, int rowOffset, int state,
                       const orrin7::rectangle<double>& rect, int updateType) = 0;
  // The area below the last row; the base fills it with the background colour.
  virtual void DrawRowEmptyArea(orrin7::IPainter* painter, const orrin7::rectangle<double>& rect) {
    FillArea(painter, rect);
  }

  void DrawContent(orrin7::IPainter* painter) override {
    const orrin7::rectangle<int> central = this->GetCentralPart().GetPos();
    m_paintArea = Intersect(this->GetUpdateRect(), central);
    m_focusedLook = HasFocusedLook();
    if (m_paintArea.empty()) return;
    const bool exposed = this->IsExposedPass();
    const int first_row = Utils::HitTest(m_rowModel, m_paintArea.top - central.top);
    const int count = m_rowModel->GetCount();
    for (int row = first_row; row >= 0 && row < count; ++row) {
      const orrin7::range<int> span = Utils::GetItemIndexRange(m_rowModel, row);
      const int top = central.top + span.low();
      if (top >= m_paintArea.bottom) break;
      if (span.length() == 0) continue;
      const orrin7::rectangle<double> rect(central.left, std::max(top, central.top), central.right,
                                           std::min(top + span.length(), central.bottom));
      const int type = exposed ? UT_Changed : m_rowUpdates.GetItemType(row);
      DrawRow(painter, row, std::max(central.top - top, 0), GetRowState(row), rect, type);
    }
    const int rows_end = GetRowsEnd();
    if (exposed && rows_end < m_paintArea.bottom)
      DrawRowEmptyArea(painter, orrin7::rectangle<double>(central.left, rows_end, central.right,
                                                          central.bottom));
  }

  // The part of the central part the running DrawContent paints, element pixels.
  const orrin7::rectangle<int>& GetPaintArea() const { return m_paintArea; }
  // Element pixel where the rows end (the central part's bottom when they fill it).
  int GetRowsEnd() const {
    const orrin7::rectangle<int> central = this->GetCentralPart().GetPos();
    const long long end = static_cast<long long>(central.top) + m_rowModel->GetTotalSize() -
                          m_rowModel->GetViewStart();
    return static_cast<int>(std::clamp<long long>(end, central.top, central.bottom));
  }
  int GetRowState(int row) const {
    int state = m_focusedLook ? CS_Focused : 0;
    const ISelectionModel* selection = GetRowSelectionModel();
    if (selection->IsItemSelected(row)) state |= CS_Selected;
    if (selection->GetCurrent() == row) state |= CS_Current;
    return state;
  }
  void FillArea(orrin7::IPainter* painter, const orrin7::rectangle<double>& rect) {
    painter->SetBrush(orrin7::brush(this->GetBkColor(), 1));
    painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
  }
  // Marks rows for the next refresh pass, when any of them is visible.
  void InvalidateRowSpan(int from, int to) {
    const orrin7::range<int> visible = Utils::GetVisibleIndexRange(m_rowModel);
    if (visible.from < 0 || std::max(from, to) < visible.from || std::min(from, to) > visible.to)
      return;
    m_rowUpdates.UpdateItems(from, to);
    this->RequestRefresh();
  }
  // Marks rows changed without asking for a paint pass: for a viewer that decides inside
  // DrawContent, before the rows are walked, which rows the running pass must repaint.
  void MarkRowsChanged(int from, int to) { m_rowUpdates.UpdateItems(from, to); }
  void InvalidateCurrentRow() {
    const int current = GetRowSelectionModel()->GetCurrent();
    if (current >= 0) InvalidateRowSpan(current, current);
  }

  void HandleBoundsChanged() override {
    CViewerBase::HandleBoundsChanged();
    m_rowModel->SetViewSize(this->GetCentralPart().GetPos().height(), /*keepInside=*/true);
    this->ScrollStateChanged.emit(this);
  }
  void HandleControlAttached() override {
    CViewerBase::HandleControlAttached();
    this->GetControl()->PaintFinished.connect(this, &CRowViewerBase::OnPaintFinished);
    if (m_rowHeightUpdating) RecalculateRowHeight();
  }
  void HandleSystemChanged() override {
    CViewerBase::HandleSystemChanged();
    if (m_rowHeightUpdating) RecalculateRowHeight();
  }
  void HandleFocusChanged(bool focused) override {
    CViewerBase::HandleFocusChanged(focused);
    UpdateFocusedLook();
  }
  void HandleControlChangeFocus(bool focused) override {
    CViewerBase::HandleControlChangeFocus(focused);
    UpdateFocusedLook();
  }
  bool HandleMouseWheel(const CWheelEvent& event) override {
    return ScrollByWheel(m_rowModel, event.dy);
  }
  // Scrolls `model` by three line steps per notch; false when it cannot scroll.
  bool ScrollByWheel(IContinuousItemViewModel* model, int notches) {
    if (notches == 0 || model->GetTotalSize() <= model->GetViewSize()) return false;
    const int line = model->GetDefaultItemSize() > 0 ? model->GetDefaultItemSize() : 16;
    const long long target = static_cast<long long>(model->GetViewStart()) + 3LL * line * notches;
    model->SetViewStart(static_cast<int>(std::clamp<long long>(target, 0, model->GetTotalSize())));
    return true;
  }
  // After every paint of the control: the marks have been painted (or are out of view).
  virtual void OnPaintFinished() { m_rowUpdates.Clear(); }

 private:
  void AttachRowModel(RowVM* model) {
    m_rowModel = model;
    model->ItemsUpdated.connect(this, &CRowViewerBase::InvalidateRowSpan);
    model->ModelChanged.connect(this, &CRowViewerBase::OnViewGeometryChanged);
    model->Scrolled.connect(this, &CRowViewerBase::OnVerticalScroll);
    m_rowHandler.SetViewModel(model);
    this->GetOwnVScrollModel().SetViewModel(model);
    model->SetViewSize(this->GetCentralPart().GetPos().height(), /*keepInside=*/true);
  }
  void ConnectSelection() {
    m_selection = m_rowHandler.GetSelectionModel();
    m_selection->ItemsUpdated.connect(this, &CRowViewerBase::InvalidateRowSpan);
  }
  void OnSelectionModelChanged() {
    m_selection->ItemsUpdated.drop_subscriber(this);
    ConnectSelection();
    this->Update(UK_Redraw);
  }
  bool HasFocusedLook() const { return this->IsFocused() || this->IsControlFocused(); }
  // Focus decides the look of every row (CS_Focused): repaint all when it changed since the
  // last paint.
  void UpdateFocusedLook() {
    if (HasFocusedLook() != m_focusedLook) this->Invalidate();
  }

  CDefaultDiscreteItemViewModel m_ownRowModel;
  RowVM* m_rowModel = nullptr;  // not owned unless it is m_ownRowModel
  // The one whose ItemsUpdated is connected, kept alive until it is disconnected (the handler may
  // have released its last other owner when it took a new one).
  utilkit2::smart_pointer_t<ISelectionModel> m_selection;
  CContinuousItemEventHandler m_rowHandler;
  CUpdateStorage m_rowUpdates;
  orrin7::rectangle<int> m_paintArea;
  int m_rowMargin = 0;
  bool m_rowHeightUpdating = true;
  bool m_focusedLook = false;  // as of the last DrawContent
};

// Rows and columns from two item view models; DrawCell is called for every cell with pixels in
// the painted area, with its row and column, how many of its pixels lie above and left of the
// view (row and column offsets), the row's state word, the cell's visible part and its update
// type (GetCellUpdateType of the row's and the column's). In a pass that lost its pixels,
// DrawColumnEmptyArea follows for the area right of the last column (beside the rows). The
// viewer owns a column model (default width 100) that a shared one can replace.
template <class RowVM, class ColVM>
class CGridViewer : public CRowViewerBase<RowVM> {
  static_assert(std::is_base_of<IContinuousItemViewModel, ColVM>::value,
                "columns come from an item view model");

 public:
  CGridViewer(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment)
      : CRowViewerBase<RowVM>(parent, size, alignment), m_ownColumnModel(100) {
    AttachColumnModel(&m_ownColumnModel);
  }

  ColVM* GetColumnViewModel() const { return m_columnModel; }
  // Shows the columns of `model` (not owned; null: the viewer's own model).
  virtual void SetColumnViewModel(ColVM* model) {
    ColVM* target = model ? model : &m_ownColumnModel;
    if (target == m_columnModel) return;
    this->DetachViewModel(m_columnModel);
    AttachColumnModel(target);
    ColumnViewModelChanged(target);
    this->Update(UK_Redraw);
    this->ScrollStateChanged.emit(this);
  }

 protected:
  virtual void ColumnViewModelChanged(ColVM* /*model*/) {}
  virtual void DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column,
                        int columnOffset, int state, const orrin7::rectangle<double>& rect,
                        int updateType) = 0;
  // The area right of the last column; the base fills it with the background colour.
  virtual void DrawColumnEmptyArea(orrin7::IPainter* painter,
                                   const orrin7::rectangle<double>& rect) {
    this->FillArea(painter, rect);
  }

  void DrawContent(orrin7::IPainter* painter) override {
    CRowViewerBase<RowVM>::DrawContent(painter);
    const orrin7::rectangle<int>& area = this->GetPaintArea();
    if (area.empty() || !this->IsExposedPass()) return;
    const int columns_end = GetColumnsEnd();
    if (columns_end >= area.right || StretchesLastColumn()) return;
    const orrin7::rectangle<int> central = this->GetCentralPart().GetPos();
    DrawColumnEmptyArea(painter, orrin7::rectangle<double>(columns_end, central.top, central.right,
                                                           this->GetRowsEnd()));
  }

  void DrawRow(orrin7::IPainter* painter, int row, int rowOffset, int state,
               const orrin7::rectangle<double>& rect, int updateType) override {
    const orrin7::rectangle<int> central = this->GetCentralPart().GetPos();
    const orrin7::rectangle<int>& area = this->GetPaintArea();
    const bool exposed = this->IsExposedPass();
    const int count = m_columnModel->GetCount();
    for (int column = Utils::HitTest(m_columnModel, area.left - central.left);
         column >= 0 && column < count; ++column) {
      const orrin7::range<int> span = Utils::GetItemIndexRange(m_columnModel, column);
      const int left = central.left + span.low();
      if (left >= area.right) break;
      if (span.length() == 0) continue;
      int right = std::min(left + span.length(), central.right);
      if (column == count - 1 && StretchesLastColumn()) right = central.right;
      const orrin7::rectangle<double> cell(std::max(left, central.left), rect.top, right,
                                           rect.bottom);
      const int column_type = exposed ? UT_Changed : m_columnUpdates.GetItemType(column);
      DrawCell(painter, row, rowOffset, column, std::max(central.left - left, 0), state, cell,
               GetCellUpdateType(updateType, column_type));
    }
  }

  // Element pixel where the columns end (the central part's right edge when they fill it).
  int GetColumnsEnd() const {
    const orrin7::rectangle<int> central = this->GetCentralPart().GetPos();
    const long long end = static_cast<long long>(central.left) + m_columnModel->GetTotalSize() -
                          m_columnModel->GetViewStart();
    return static_cast<int>(std::clamp<long long>(end, central.left, central.right));
  }
  bool StretchesLastColumn() const {
    return (m_columnModel->GetFlags() & IVF_StretchLastItem) && m_columnModel->GetCount() > 0;
  }

  void OnPaintFinished() override {
    CRowViewerBase<RowVM>::OnPaintFinished();
    m_columnUpdates.Clear();
  }
  void HandleBoundsChanged() override {
    CRowViewerBase<RowVM>::HandleBoundsChanged();
    m_columnModel->SetViewSize(this->GetCentralPart().GetPos().width(), /*keepInside=*/true);
  }
  // Shift turns the wheel into horizontal scrolling.
  bool HandleMouseWheel(const CWheelEvent& event) override {
    if (event.dx != 0) return this->ScrollByWheel(m_columnModel, event.dx);
    if (event.modifiers & MK_Shift) return this->ScrollByWheel(m_columnModel, event.dy);
    return CRowViewerBase<RowVM>::HandleMouseWheel(event);
  }

 private:
  void AttachColumnModel(ColVM* model) {
    m_columnModel = model;
    model->ItemsUpdated.connect(this, &CGridViewer::OnColumnsUpdated);
    model->ModelChanged.connect(this, &CGridViewer::OnViewGeometryChanged);
    model->Scrolled.connect(this, &CGridViewer::OnHorizontalScroll);
    this->GetOwnHScrollModel().SetViewModel(model);
    model->SetViewSize(this->GetCentralPart().GetPos().width(), /*keepInside=*/true);
  }
  void OnColumnsUpdated(int from, int to) {
    m_columnUpdates.UpdateItems(from, to);
    this->RequestRefresh();
  }

  CDefaultDiscreteItemViewModel m_ownColumnModel;
  ColVM* m_columnModel = nullptr;  // not owned unless it is m_ownColumnModel
  CUpdateStorage m_columnUpdates;
};

extern template class CRowViewerBase<IContinuousItemViewModel>;
extern template class CGridViewer<IContinuousItemViewModel, IContinuousItemViewModel>;

}  // namespace orrinfrw7

#pragma GCC visibility pop
