// Event handlers of viewers: the base every handler derives from, keyboard and pointer selection
// over a list of items, and the cell pointer signals of a grid.
#pragma once

#include "orrin7/types.h"
#include "orrinfrw7/events.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/selection_model.h"
#include "utilkit2/signal.h"
#include "utilkit2/smart_pointer.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

class CViewerBase;

// The axis a handler works along: its items are rows (vertical) or columns (horizontal).
enum Direction : int {
  DIR_Vertical = 0,
  DIR_Horizontal = 1,
};

// Reacts to the input a viewer receives. A viewer asks its added handlers in the order they were
// added and then its default handler; a handler answering true ends the event there. Handlers
// are not owned by the viewer and must outlive their registration.
class CEventHandlerBase {
 public:
  virtual ~CEventHandlerBase();

  void SetDirection(Direction direction) { m_direction = direction; }
  Direction GetDirection() const { return m_direction; }
  // The viewer the handler is registered with; null before.
  CViewerBase* GetViewer() const { return m_viewer; }

  // Event coordinates are element pixels of the viewer.
  virtual bool OnMouseDown(const CMouseEvent& /*event*/) { return false; }
  virtual bool OnMouseUp(const CMouseEvent& /*event*/) { return false; }
  virtual bool OnMouseMove(const CMouseEvent& /*event*/) { return false; }
  virtual bool OnMouseDoubleClick(const CMouseEvent& /*event*/) { return false; }
  virtual void OnMouseLeave() {}
  virtual bool OnKeyDown(const CKeyEvent& /*event*/) { return false; }

  // Tells listeners that the user changed the selection or the current item (programmatic
  // changes are reported by the selection model alone).
  void NotifySelectionChanged() { UserSelectionChanged.emit(); }
  utilkit2::signal_t<> UserSelectionChanged;

 protected:
  // The handler is about to leave its viewer (removed, replaced or the viewer going): timers the
  // handler runs on the viewer's control stop here. Overrides call the base last.
  virtual void OnDetaching() {}

  // The event position in view pixels of the viewer's central part, along each axis and along
  // the handler's direction.
  orrin7::point<int> ToView(const CMouseEvent& event) const;
  int Along(const CMouseEvent& event) const;

 private:
  friend class CViewerBase;
  void Detach() {
    OnDetaching();
    m_viewer = nullptr;
  }
  CViewerBase* m_viewer = nullptr;
  Direction m_direction = DIR_Vertical;
};

// Selection over a list of items (rows of a vertical handler):
// - Up/Down (Left/Right when horizontal), Page Up/Page Down, Home and End move the current item;
//   alone they select just that item, with Shift the span from the anchor, with Ctrl they move
//   the current item only;
// - a left click selects the item (Shift: the span from the anchor, Ctrl: toggles it); dragging
//   with the left button extends the span from the anchor, scrolling at the view's edges; held
//   still beyond an edge, it goes on scrolling every kAutoScrollMs (more items a step the farther
//   the pointer is) until the pointer comes back or the button is released;
// - a right click on an unselected item selects it alone, on a selected one keeps the selection.
// The current item is scrolled into view after each move.
class CContinuousItemEventHandler : public CEventHandlerBase {
 public:
  CContinuousItemEventHandler();
  ~CContinuousItemEventHandler() override;

  static constexpr int kAutoScrollMs = 50;

  void SetViewModel(IContinuousItemViewModel* model) { m_model = model; }
  IContinuousItemViewModel* GetViewModel() const { return m_model; }
  // Shares `model` with other handlers; an empty pointer gives the handler a new model of its own.
  void SetSelectionModel(utilkit2::smart_pointer_t<ISelectionModel> model);
  const utilkit2::smart_pointer_t<ISelectionModel>& GetSelectionModel() const {
    return m_selection;
  }

  // Scrolls the least distance that shows `item` wholly (its start when it is taller than the
  // view).
  void ItemToView(int item);
  void CurrentItemToView();

  bool OnMouseDown(const CMouseEvent& event) override;
  bool OnMouseUp(const CMouseEvent& event) override;
  bool OnMouseMove(const CMouseEvent& event) override;
  bool OnKeyDown(const CKeyEvent& event) override;

  // The selection model was replaced.
  utilkit2::signal_t<> SelectionModelChanged;

 private:
  int KeyTarget(int key, int current) const;
  int PageTarget(int current, int direction) const;
  // The item under the pointer while dragging: beyond the view's edges, the next item outside.
  int DragTarget(const CMouseEvent& event) const;
  // Makes `item` current and selects as the modifiers ask (keyboard and clicks).
  void MoveTo(int item, int modifiers, bool toggle);
  void SelectSpan(int item);
  // Extends the drag selection to the item the pointer points at; true when the event was ours.
  bool DragTo(const CMouseEvent& event);
  // Items one auto-scroll step moves for a pointer `beyond` pixels outside the view.
  static int AutoScrollStep(int beyond);
  void UpdateAutoScroll(const CMouseEvent& event);
  void StopAutoScroll();
  void OnDetaching() override { StopAutoScroll(); }

  IContinuousItemViewModel* m_model = nullptr;  // not owned
  utilkit2::smart_pointer_t<ISelectionModel> m_selection;
  int m_anchor = -1;
  bool m_dragging = false;
  int m_autoScrollTimer = 0;
  CMouseEvent m_lastDrag{};  // the last drag move, replayed by auto-scroll
};

// Follows the pointer over the cells of a grid (rows from the row view model, columns from the
// column view model, both in view pixels) and reports it through its signals; it never ends an
// event, so selection handlers after it still see every event. Cell-relative positions are
// pixels from the cell's top-left corner; the int after them is the event's modifier word.
template <class RowVM, class ColVM>
class CCellEventHandler : public CEventHandlerBase {
 public:
  void SetViewModel(RowVM* rows) { m_rows = rows; }
  RowVM* GetViewModel() const { return m_rows; }
  void SetColumnViewModel(ColVM* columns) { m_columns = columns; }
  ColVM* GetColumnViewModel() const { return m_columns; }
  // The cell under the pointer; (-1, -1) when none.
  orrin7::point<int> GetHoveredCell() const { return {m_hoverColumn, m_hoverRow}; }

  bool OnMouseMove(const CMouseEvent& event) override {
    Hover(event);
    Emit(CellMouseMove, event);
    return false;
  }
  bool OnMouseDown(const CMouseEvent& event) override {
    Hover(event);
    m_pressedRow = m_hoverRow;
    m_pressedColumn = m_hoverColumn;
    Emit(CellMouseDown, event);
    return false;
  }
  bool OnMouseUp(const CMouseEvent& event) override {
    Hover(event);
    const bool same = m_pressedRow == m_hoverRow && m_pressedColumn == m_hoverColumn;
    m_pressedRow = m_pressedColumn = -1;
    if (same) Emit(CellMouseClick, event);
    return false;
  }
  // A double click stands for the second click: the release that follows it is no click.
  bool OnMouseDoubleClick(const CMouseEvent& event) override {
    Hover(event);
    m_pressedRow = m_pressedColumn = -1;
    Emit(CellMouseDblClick, event);
    return false;
  }
  void OnMouseLeave() override { SetHovered(-1, -1); }

  // (row, column): the pointer left this cell.
  utilkit2::signal_t<int, int> CellMouseLeave;
  // (row, column, x, y, modifiers, button); for moves the button held down.
  utilkit2::signal_t<int, int, int, int, int, orrin7::MouseButton> CellMouseMove;
  utilkit2::signal_t<int, int, int, int, int, orrin7::MouseButton> CellMouseDown;
  // A press and a release over the same cell.
  utilkit2::signal_t<int, int, int, int, int, orrin7::MouseButton> CellMouseClick;
  utilkit2::signal_t<int, int, int, int, int, orrin7::MouseButton> CellMouseDblClick;

 private:
  bool Valid() const { return m_hoverRow >= 0 && m_hoverColumn >= 0; }

  void Hover(const CMouseEvent& event) {
    const orrin7::point<int> p = this->ToView(event);
    SetHovered(Utils::HitTest(m_rows, p.y), Utils::HitTest(m_columns, p.x));
  }

  void SetHovered(int row, int column) {
    if (row == m_hoverRow && column == m_hoverColumn) return;
    const bool left = Valid();
    const int old_row = m_hoverRow;
    const int old_column = m_hoverColumn;
    m_hoverRow = row;
    m_hoverColumn = column;
    if (left) CellMouseLeave.emit(old_row, old_column);
  }

  void Emit(utilkit2::signal_t<int, int, int, int, int, orrin7::MouseButton>& signal,
            const CMouseEvent& event) {
    if (!Valid()) return;
    const orrin7::point<int> p = this->ToView(event);
    const int x = p.x - Utils::GetItemIndexRange(m_columns, m_hoverColumn).low();
    const int y = p.y - Utils::GetItemIndexRange(m_rows, m_hoverRow).low();
    signal.emit(m_hoverRow, m_hoverColumn, x, y, event.modifiers, event.button);
  }

  RowVM* m_rows = nullptr;     // not owned
  ColVM* m_columns = nullptr;  // not owned
  int m_hoverRow = -1;
  int m_hoverColumn = -1;
  int m_pressedRow = -1;
  int m_pressedColumn = -1;
};

extern template class CCellEventHandler<IContinuousItemViewModel, IContinuousItemViewModel>;

}  // namespace orrinfrw7

#pragma GCC visibility pop
