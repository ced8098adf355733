// Event handlers: keyboard navigation and pointer selection over a list of items.
#include "orrinfrw7/event_handler.h"

#include <algorithm>

#include "orrinfrw7/control.h"
#include "orrinfrw7/viewer.h"

namespace orrinfrw7 {

template class CCellEventHandler<IContinuousItemViewModel, IContinuousItemViewModel>;

CEventHandlerBase::~CEventHandlerBase() {
  if (m_viewer) m_viewer->RemoveEventHandler(this);
}

orrin7::point<int> CEventHandlerBase::ToView(const CMouseEvent& event) const {
  if (m_viewer == nullptr) return {event.x, event.y};
  return m_viewer->GetCentralPart().ElementToView({event.x, event.y});
}

int CEventHandlerBase::Along(const CMouseEvent& event) const {
  const orrin7::point<int> p = ToView(event);
  return m_direction == DIR_Vertical ? p.y : p.x;
}

CContinuousItemEventHandler::CContinuousItemEventHandler()
    : m_selection(new CRangeSelectionModel()) {}

CContinuousItemEventHandler::~CContinuousItemEventHandler() { StopAutoScroll(); }

void CContinuousItemEventHandler::SetSelectionModel(
    utilkit2::smart_pointer_t<ISelectionModel> model) {
  if (model.is_empty()) model.reset(new CRangeSelectionModel());
  if (model == m_selection) return;
  m_selection = std::move(model);
  m_anchor = m_selection->GetCurrent();
  SelectionModelChanged.emit();
}

void CContinuousItemEventHandler::ItemToView(int item) {
  if (m_model == nullptr || item < 0 || item >= m_model->GetCount()) return;
  const orrin7::range<int> span = Utils::GetItemIndexRange(m_model, item);
  const int start = m_model->GetViewStart();
  const int view = m_model->GetViewSize();
  if (span.low() < 0 || span.length() > view) {
    m_model->SetViewStart(start + span.low());
  } else if (span.high() > view) {
    m_model->SetViewStart(start + span.high() - view);
  }
}

void CContinuousItemEventHandler::CurrentItemToView() { ItemToView(m_selection->GetCurrent()); }

int CContinuousItemEventHandler::PageTarget(int current, int direction) const {
  const orrin7::range<int> whole = Utils::GetWholeIndexRange(m_model);
  if (direction > 0 && whole.from >= 0 && current < whole.to) return whole.to;
  if (direction < 0 && whole.from >= 0 && current > whole.from) return whole.from;
  const long long offset = static_cast<long long>(m_model->GetItemOffset(current)) +
                           static_cast<long long>(direction) * m_model->GetViewSize();
  const int total = m_model->GetTotalSize();
  const int item =
      m_model->GetItemAt(static_cast<int>(std::clamp<long long>(offset, 0, total - 1)));
  // A page is at least one item, also when the view is smaller than an item.
  return item == current ? current + direction : item;
}

int CContinuousItemEventHandler::KeyTarget(int key, int current) const {
  const bool vertical = GetDirection() == DIR_Vertical;
  const int back = vertical ? KEY_Up : KEY_Left;
  const int forward = vertical ? KEY_Down : KEY_Right;
  if (key == back) return current < 0 ? 0 : current - 1;
  if (key == forward) return current < 0 ? 0 : current + 1;
  if (key == KEY_Home) return 0;
  if (key == KEY_End) return m_model->GetCount() - 1;
  if (key == KEY_PageUp) return current < 0 ? 0 : PageTarget(current, -1);
  if (key == KEY_PageDown) return current < 0 ? 0 : PageTarget(current, +1);
  return -2;  // not a navigation key
}

bool CContinuousItemEventHandler::OnKeyDown(const CKeyEvent& event) {
  if (m_model == nullptr || m_model->GetCount() == 0) return false;
  if (event.modifiers & MK_Alt) return false;
  const int count = m_model->GetCount();
  const int current = std::min(m_selection->GetCurrent(), count - 1);
  const int target = KeyTarget(event.key, current);
  if (target == -2) return false;
  MoveTo(std::clamp(target, 0, count - 1), event.modifiers, /*toggle=*/false);
  CurrentItemToView();
  NotifySelectionChanged();
  return true;
}

void CContinuousItemEventHandler::MoveTo(int item, int modifiers, bool toggle) {
  CSelectionBatch batch(*m_selection);
  if ((modifiers & MK_Shift) && m_anchor >= 0) {
    SelectSpan(item);
    return;
  }
  m_selection->SetCurrent(item);
  m_anchor = item;
  if (modifiers & MK_Ctrl) {
    if (toggle) m_selection->SelectItem(item, !m_selection->IsItemSelected(item));
    return;
  }
  m_selection->ClearSelection();
  m_selection->SelectItem(item, true);
}

void CContinuousItemEventHandler::SelectSpan(int item) {
  CSelectionBatch batch(*m_selection);
  m_selection->ClearSelection();
  m_selection->SelectRange(m_anchor, item, true);
  m_selection->SetCurrent(item);
}

bool CContinuousItemEventHandler::OnMouseDown(const CMouseEvent& event) {
  m_dragging = false;
  StopAutoScroll();
  if (m_model == nullptr) return false;
  const int item = Utils::HitTest(m_model, Along(event));
  if (item < 0) return false;
  if (event.button == orrin7::MB_Left) {
    MoveTo(item, event.modifiers, /*toggle=*/true);
    m_dragging = !(event.modifiers & MK_Ctrl);
  } else if (event.button == orrin7::MB_Right) {
    if (m_selection->IsItemSelected(item)) {
      m_selection->SetCurrent(item);
    } else {
      MoveTo(item, 0, /*toggle=*/false);
    }
  } else {
    return false;
  }
  NotifySelectionChanged();
  return true;
}

bool CContinuousItemEventHandler::OnMouseUp(const CMouseEvent&) {
  const bool was_dragging = m_dragging;
  m_dragging = false;
  StopAutoScroll();
  return was_dragging;
}

int CContinuousItemEventHandler::DragTarget(const CMouseEvent& event) const {
  const int pos = Along(event);
  const orrin7::range<int> visible = Utils::GetVisibleIndexRange(m_model);
  const int view = m_model->GetViewSize();
  if (pos < 0) return std::max(visible.from - AutoScrollStep(-pos), 0);
  if (pos >= view)
    return std::min(visible.to + AutoScrollStep(pos - view + 1), m_model->GetCount() - 1);
  const int item = Utils::HitTest(m_model, pos);
  return item >= 0 ? item : m_model->GetCount() - 1;
}

int CContinuousItemEventHandler::AutoScrollStep(int beyond) { return 1 + std::max(0, beyond) / 24; }

bool CContinuousItemEventHandler::DragTo(const CMouseEvent& event) {
  if (!m_dragging || event.button != orrin7::MB_Left || m_model == nullptr) return false;
  if (m_model->GetCount() == 0 || m_anchor < 0) return false;
  const int item = DragTarget(event);
  if (item == m_selection->GetCurrent()) return true;
  SelectSpan(item);
  ItemToView(item);
  NotifySelectionChanged();
  return true;
}

bool CContinuousItemEventHandler::OnMouseMove(const CMouseEvent& event) {
  if (!DragTo(event)) return false;
  UpdateAutoScroll(event);
  return true;
}

// A pointer held still outside the view sends no more moves: a timer replays the last one, so the
// selection keeps growing and the view keeps scrolling towards it.
void CContinuousItemEventHandler::UpdateAutoScroll(const CMouseEvent& event) {
  m_lastDrag = event;
  const int pos = Along(event);
  const bool outside = pos < 0 || pos >= m_model->GetViewSize();
  if (!outside) {
    StopAutoScroll();
    return;
  }
  CControl* control = GetViewer() ? GetViewer()->GetControl() : nullptr;
  if (control == nullptr || m_autoScrollTimer != 0) return;
  m_autoScrollTimer = control->StartTimer(GetViewer(), kAutoScrollMs, kAutoScrollMs, [this] {
    if (!DragTo(m_lastDrag)) StopAutoScroll();
  });
}

void CContinuousItemEventHandler::StopAutoScroll() {
  if (m_autoScrollTimer == 0) return;
  CControl* control = GetViewer() ? GetViewer()->GetControl() : nullptr;
  if (control) control->StopTimer(m_autoScrollTimer);
  m_autoScrollTimer = 0;
}

}  // namespace orrinfrw7
