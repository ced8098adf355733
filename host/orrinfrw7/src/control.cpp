// CControl: attachment, focus, pointer routing, invalidation and painting, each dispatch guarded.
#include "orrinfrw7/control.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>

#include "orrinfrw7/geometry.h"

namespace orrinfrw7 {
namespace {

// Lost areas kept apart before they are merged into their hull.
constexpr std::size_t kMaxLostAreas = 8;

orrin7::rectangle<double> ToDouble(const orrin7::rectangle<int>& r) {
  return orrin7::rectangle<double>(r);
}

}  // namespace

// The root is made in the body: its construction registers it in members declared after m_root.
CControl::CControl() {
  m_root = new CVisualElement(this);
  m_root->SetBackgroundCovered(true);
}

CControl::~CControl() { DestroyElements(); }

void CControl::DestroyElements() {
  CVisualElement* root = m_root;
  if (root == nullptr) return;
  delete root;
  m_root = nullptr;
}

// ---- failure containment ----

template <class F>
bool CControl::Guarded(const char* what, F&& action) {
  try {
    return action();
  } catch (const std::exception& e) {
    Failed(what, e.what());
  } catch (...) {
    Failed(what, "unknown exception");
  }
  return false;
}

void CControl::Failed(const char* what, const char* message) {
  ++m_failures;
  m_lastFailure = std::string(what) + ": " + message;
  ReportFailure(m_lastFailure);
}

// ---- element bookkeeping ----

void CControl::ElementCreated(CVisualElement* element) {
  m_elements.insert(element);
  m_pendingAttach.push_back(element);
}

void CControl::ElementGone(CVisualElement* element, bool destroyed) {
  if (destroyed) {
    m_elements.erase(element);
    std::replace(m_pendingAttach.begin(), m_pendingAttach.end(), element,
                 static_cast<CVisualElement*>(nullptr));
    std::replace(m_refresh.begin(), m_refresh.end(), element,
                 static_cast<CVisualElement*>(nullptr));
  }
  DropTimersOf(element);
  if (IsAncestor(element, m_hover)) m_hover = nullptr;
  if (IsAncestor(element, m_capture)) m_capture = nullptr;
  if (IsAncestor(element, m_holder)) m_holder = nullptr;
  if (!IsAncestor(element, m_focused)) return;
  if (destroyed) {
    m_focused = nullptr;  // the hooks of a dying tree are not called
    return;
  }
  SetFocusedElement(nullptr);
}

void CControl::CompleteAttach() {
  // Elements created by an AfterSetControl are appended and attached in the same run.
  for (std::size_t i = 0; i < m_pendingAttach.size(); ++i) {
    CVisualElement* element = m_pendingAttach[i];
    if (element == nullptr) continue;
    Guarded("attach", [&] {
      element->HandleControlAttached();
      if (IsAlive(element)) element->AfterSetControl();
      if (IsAlive(element)) element->AttributeChanged();
      return true;
    });
  }
  m_pendingAttach.clear();
}

std::vector<CVisualElement*> CControl::Snapshot() const {
  std::vector<CVisualElement*> out;
  std::vector<CVisualElement*> stack{m_root};
  while (!stack.empty()) {
    CVisualElement* e = stack.back();
    stack.pop_back();
    out.push_back(e);
    for (auto it = e->m_children.rbegin(); it != e->m_children.rend(); ++it) stack.push_back(*it);
  }
  return out;
}

void CControl::SysColorsChanged() {
  CompleteAttach();
  for (CVisualElement* e : Snapshot()) {
    Guarded("system colours", [&] {
      if (IsAlive(e)) e->HandleSystemChanged();
      if (IsAlive(e)) e->SysColorsChanged();
      if (IsAlive(e)) e->AttributeChanged();
      return true;
    });
  }
  InvalidateAll();
}

void CControl::Resize(int width, int height) {
  m_size = {std::max(width, 0), std::max(height, 0)};
  m_root->SetPos({0, 0, m_size.width, m_size.height}, /*redraw=*/false);
  InvalidateAll();
}

// ---- focus ----

bool CControl::SetFocusedElement(CVisualElement* element) {
  if (element && (!IsAlive(element) || !element->IsShowing())) return false;
  if (element == m_focused) return true;
  CVisualElement* old = m_focused;
  m_focused = element;
  if (old) old->HandleFocusChanged(false);
  if (element && IsAlive(element)) element->HandleFocusChanged(true);
  NotifyFocusAncestors(old, element);
  return true;
}

void CControl::NotifyFocusAncestors(CVisualElement* oldFocus, CVisualElement* newFocus) {
  std::vector<CVisualElement*> ancestors;
  for (CVisualElement* e = oldFocus ? oldFocus->m_parent : nullptr; e; e = e->m_parent)
    ancestors.push_back(e);
  for (CVisualElement* e = newFocus ? newFocus->m_parent : nullptr; e; e = e->m_parent)
    if (std::find(ancestors.begin(), ancestors.end(), e) == ancestors.end()) ancestors.push_back(e);
  for (CVisualElement* e : ancestors)
    if (IsAlive(e)) e->HandleChildFocusChanged(oldFocus, newFocus, m_inputFocus);
}

void CControl::SetFocusHolder(CVisualElement* element) {
  m_holder = element && IsAlive(element) ? element : nullptr;
}

bool CControl::MoveFocus(bool forward) {
  CVisualElement* target = nullptr;
  if (m_focused == nullptr) {
    target = forward ? m_root->GetFirstTabElement() : m_root->GetLastTabElement();
  } else {
    target =
        forward ? m_focused->GetNextTabElement(m_focused) : m_focused->GetPrevTabElement(m_focused);
  }
  return target != nullptr && SetFocusedElement(target);
}

void CControl::SetFocusFrameVisible(bool visible) {
  if (visible == m_focusFrameVisible) return;
  m_focusFrameVisible = visible;
  InvalidateAll();
}

void CControl::DispatchFocus(bool focused) {
  CompleteAttach();
  if (focused == m_inputFocus) return;
  m_inputFocus = focused;
  for (CVisualElement* e : Snapshot()) {
    Guarded("focus", [&] {
      if (IsAlive(e)) e->HandleControlChangeFocus(focused);
      return true;
    });
  }
  if (m_focused) {
    Guarded("focus", [&] {
      m_focused->HandleFocusChanged(focused);
      return true;
    });
  }
}

// ---- pointer ----

CVisualElement* CControl::ElementAt(int x, int y) const {
  if (!m_root->GetDrawRect().contains(x, y)) return nullptr;
  CVisualElement* found = m_root;
  orrin7::point<int> local{x, y};
  for (bool descended = true; descended;) {
    descended = false;
    for (auto it = found->m_children.rbegin(); it != found->m_children.rend(); ++it) {
      CVisualElement* child = *it;
      if (!child->m_visible || !child->m_bounds.contains(local.x, local.y)) continue;
      local = {local.x - child->m_bounds.left, local.y - child->m_bounds.top};
      found = child;
      descended = true;
      break;
    }
  }
  return found;
}

CVisualElement* CControl::PointerTarget(int x, int y) const {
  return m_capture ? m_capture : ElementAt(x, y);
}

CMouseEvent CControl::MakeMouseEvent(const CVisualElement* element, int x, int y,
                                     orrin7::MouseButton button, int modifiers) const {
  const orrin7::point<int> p = element->ControlToElement({x, y});
  return CMouseEvent{p.x, p.y, button, modifiers};
}

void CControl::SetHover(CVisualElement* element) {
  if (element != m_hover) {
    CVisualElement* old = m_hover;
    m_hover = element;
    if (old && IsAlive(old)) old->HandleMouseLeave();
  }
  const int cursor = m_hover ? m_hover->GetCursor() : CR_Arrow;
  if (cursor == m_cursor) return;
  m_cursor = cursor;
  ApplyCursor(cursor);
}

bool CControl::DispatchMouseDown(int x, int y, orrin7::MouseButton button, int modifiers) {
  CompleteAttach();
  return Guarded("mouse down", [&] {
    CVisualElement* target = PointerTarget(x, y);
    if (target == nullptr) return false;
    if (m_capture == nullptr) SetHover(target);
    for (CVisualElement* e = target; e; e = e->m_parent) {
      if (!e->m_tabStop) continue;
      SetFocusedElement(e);
      break;
    }
    if (!IsAlive(target)) return false;
    m_capture = target;
    m_captureButton = button;
    return target->HandleMouseDown(MakeMouseEvent(target, x, y, button, modifiers));
  });
}

bool CControl::DispatchMouseUp(int x, int y, orrin7::MouseButton button, int modifiers) {
  CompleteAttach();
  const bool handled = Guarded("mouse up", [&] {
    CVisualElement* target = PointerTarget(x, y);
    m_capture = nullptr;
    m_captureButton = orrin7::MB_None;
    return target && target->HandleMouseUp(MakeMouseEvent(target, x, y, button, modifiers));
  });
  Guarded("mouse up", [&] {
    SetHover(ElementAt(x, y));
    return true;
  });
  return handled;
}

bool CControl::DispatchMouseMove(int x, int y, int modifiers) {
  CompleteAttach();
  return Guarded("mouse move", [&] {
    CVisualElement* target = PointerTarget(x, y);
    if (m_capture == nullptr) SetHover(target);
    if (target == nullptr || !IsAlive(target)) return false;
    return target->HandleMouseMove(MakeMouseEvent(target, x, y, m_captureButton, modifiers));
  });
}

bool CControl::DispatchMouseDoubleClick(int x, int y, orrin7::MouseButton button, int modifiers) {
  CompleteAttach();
  return Guarded("double click", [&] {
    CVisualElement* target = PointerTarget(x, y);
    return target &&
           target->HandleMouseDoubleClick(MakeMouseEvent(target, x, y, button, modifiers));
  });
}

void CControl::DispatchMouseLeave() {
  CompleteAttach();
  Guarded("mouse leave", [&] {
    if (m_capture == nullptr) SetHover(nullptr);
    return true;
  });
}

bool CControl::DispatchWheel(int x, int y, int dx, int dy, int modifiers) {
  CompleteAttach();
  return Guarded("wheel", [&] {
    for (CVisualElement* e = ElementAt(x, y); e; e = e->m_parent) {
      const orrin7::point<int> p = e->ControlToElement({x, y});
      if (e->HandleMouseWheel(CWheelEvent{p.x, p.y, dx, dy, modifiers})) return true;
    }
    return false;
  });
}

// ---- keys ----

bool CControl::DispatchKeyDown(int key, int modifiers) {
  CompleteAttach();
  return Guarded("key down", [&] {
    CVisualElement* target = m_focused ? m_focused : m_holder;
    if (target) {
      target->KeyDown.emit(target, modifiers, key);
      const CKeyEvent event{key, modifiers};
      for (CVisualElement* e = target; e && IsAlive(target); e = e->m_parent)
        if (e->HandleKeyDown(event)) return true;
    }
    if (key != KEY_Tab || (modifiers & (MK_Ctrl | MK_Alt))) return false;
    return MoveFocus(!(modifiers & MK_Shift));
  });
}

bool CControl::DispatchKeyUp(int key, int modifiers) {
  CompleteAttach();
  return Guarded("key up", [&] {
    const CKeyEvent event{key, modifiers};
    for (CVisualElement* e = m_focused ? m_focused : m_holder; e; e = e->m_parent)
      if (e->HandleKeyUp(event)) return true;
    return false;
  });
}

// ---- services ----

bool CControl::CopyFocusedToClipboard() {
  CompleteAttach();
  return Guarded("copy", [&] { return CopyToClipboard(m_focused ? m_focused : m_holder); });
}

CVisualElement* CControl::QueryTooltip(int x, int y, CTooltipEvent& event) {
  CompleteAttach();
  CVisualElement* answered = nullptr;
  Guarded("tooltip", [&] {
    for (CVisualElement* e = ElementAt(x, y); e; e = e->m_parent) {
      const orrin7::point<int> p = e->ControlToElement({x, y});
      event.x = p.x;
      event.y = p.y;
      if (!e->HandleOnTooltip(event)) continue;
      answered = e;
      return true;
    }
    return false;
  });
  return answered;
}

// ---- invalidation ----

void CControl::Invalidate(const orrin7::rectangle<int>& rect) {
  if (m_root == nullptr) return;
  const orrin7::rectangle<int> area = Intersect(rect, m_root->GetDrawRect());
  if (area.empty()) return;
  for (const auto& lost : m_lost)
    if (Encloses(lost, area)) return;
  m_lost.erase(std::remove_if(m_lost.begin(), m_lost.end(),
                              [&](const auto& lost) { return Encloses(area, lost); }),
               m_lost.end());
  m_lost.push_back(area);
  if (m_lost.size() > kMaxLostAreas) {
    orrin7::rectangle<int> hull = m_lost.front();
    for (const auto& lost : m_lost) hull = Hull(hull, lost);
    m_lost = {hull};
  }
  PaintRequested();
}

void CControl::InvalidateAll() { Invalidate({0, 0, m_size.width, m_size.height}); }

void CControl::RequestRefresh(CVisualElement* element) {
  if (element == nullptr || !IsAlive(element)) return;
  if (std::find(m_refresh.begin(), m_refresh.end(), element) != m_refresh.end()) return;
  m_refresh.push_back(element);
  PaintRequested();
}

void CControl::ScrollArea(const orrin7::rectangle<int>& rect, int dx, int dy) {
  const orrin7::rectangle<int> area = Intersect(rect, m_root->GetDrawRect());
  if (area.empty() || (dx == 0 && dy == 0)) return;
  if (std::abs(dx) >= area.width() || std::abs(dy) >= area.height() ||
      !ScrollSurface(area, dx, dy)) {
    Invalidate(area);
    return;
  }
  // Areas still waiting to be painted moved along with the pixels.
  const std::vector<orrin7::rectangle<int>> waiting = m_lost;
  for (const auto& lost : waiting) {
    const orrin7::rectangle<int> inside = Intersect(lost, area);
    if (!inside.empty()) Invalidate(Intersect(Offset(inside, dx, dy), area));
  }
  if (dy > 0) Invalidate({area.left, area.top, area.right, area.top + dy});
  if (dy < 0) Invalidate({area.left, area.bottom + dy, area.right, area.bottom});
  if (dx > 0) Invalidate({area.left, area.top, area.left + dx, area.bottom});
  if (dx < 0) Invalidate({area.right + dx, area.top, area.right, area.bottom});
}

// ---- painting ----

void CControl::DispatchPaint() {
  CompleteAttach();
  if (m_painting || GetPainter() == nullptr) return;
  m_painting = true;
  const std::vector<orrin7::rectangle<int>> lost = std::move(m_lost);
  m_lost.clear();
  GetPainter()->BeginPaint(1);
  m_pass = PP_Exposed;
  for (const auto& area : lost) PaintTree(m_root, {0, 0}, m_root->GetDrawRect(), area);
  m_pass = PP_Refresh;
  // Elements asking for a refresh while one runs are painted in the same paint.
  for (std::size_t i = 0; i < m_refresh.size(); ++i)
    if (m_refresh[i]) PaintRefresh(m_refresh[i]);
  m_refresh.clear();
  if (orrin7::IPainter* painter = GetPainter()) painter->EndPaint();
  m_pass = PP_Exposed;
  m_paintRect = {};
  m_painting = false;
  Guarded("paint finished", [&] {
    PaintFinished.emit();
    return true;
  });
}

void CControl::PaintEverything(orrin7::IPainter* painter) {
  CompleteAttach();
  if (painter == nullptr || m_painting) return;
  m_painting = true;
  m_drawingPainter = painter;
  painter->BeginPaint(1);
  m_pass = PP_Exposed;
  PaintTree(m_root, {0, 0}, m_root->GetDrawRect(), m_root->GetDrawRect());
  painter->EndPaint();
  m_drawingPainter = nullptr;
  m_paintRect = {};
  m_painting = false;
}

void CControl::PaintRefresh(CVisualElement* element) {
  if (!element->IsShowing()) return;
  const orrin7::rectangle<int> visible = element->GetVisibleControlRect();
  const orrin7::point<int> origin = element->ElementToControl({0, 0});
  PaintTree(element, {origin.x - element->m_bounds.left, origin.y - element->m_bounds.top}, visible,
            visible);
}

void CControl::PaintTree(CVisualElement* element, orrin7::point<int> origin,
                         const orrin7::rectangle<int>& parentVisible,
                         const orrin7::rectangle<int>& clip) {
  if (!element->m_visible) return;
  origin = {origin.x + element->m_bounds.left, origin.y + element->m_bounds.top};
  const orrin7::rectangle<int> visible =
      Intersect(Offset(element->GetDrawRect(), origin.x, origin.y), parentVisible);
  const orrin7::rectangle<int> area = Intersect(visible, clip);
  if (area.empty()) return;
  PaintOne(element, origin, area);
  const std::vector<CVisualElement*> children = element->m_children;
  for (CVisualElement* child : children)
    if (IsAlive(child)) PaintTree(child, origin, visible, clip);
}

void CControl::PaintOne(CVisualElement* element, orrin7::point<int> origin,
                        const orrin7::rectangle<int>& area) {
  orrin7::IPainter* painter = m_drawingPainter ? m_drawingPainter : GetPainter();
  if (painter == nullptr) return;
  m_paintRect = area;
  painter->SetOrigin({0, 0});
  painter->PushClip(ToDouble(area));
  painter->SetOrigin({double(origin.x), double(origin.y)});
  const bool drawn = Guarded("paint", [&] {
    element->DrawContent(painter);
    return true;
  });
  if (drawn || m_drawingPainter) {
    painter->PopClip();
    return;
  }
  RecoverPainter();
}

void CControl::RecoverPainter() {
  if (orrin7::IPainter* painter = GetPainter()) painter->PopClip();
}

// ---- timers ----

std::int64_t CControl::GetTimeMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int CControl::StartTimer(CVisualElement* owner, int delayMs, int intervalMs,
                         std::function<void()> action) {
  const int id = m_nextTimerId++;
  m_timers.push_back(
      {id, owner, GetTimeMs() + std::max(0, delayMs), std::max(0, intervalMs), std::move(action)});
  TimersChanged();
  return id;
}

void CControl::StopTimer(int id) {
  const auto it =
      std::find_if(m_timers.begin(), m_timers.end(), [id](const timer_t& t) { return t.id == id; });
  if (it == m_timers.end()) return;
  m_timers.erase(it);
  TimersChanged();
}

bool CControl::IsTimerRunning(int id) const {
  return std::any_of(m_timers.begin(), m_timers.end(),
                     [id](const timer_t& t) { return t.id == id; });
}

// Timers of an element leaving the control (or of anything inside it) stop with it.
void CControl::DropTimersOf(const CVisualElement* element) {
  const auto gone = std::remove_if(m_timers.begin(), m_timers.end(), [element](const timer_t& t) {
    return IsAncestor(element, t.owner);
  });
  if (gone == m_timers.end()) return;
  m_timers.erase(gone, m_timers.end());
  TimersChanged();
}

bool CControl::GetNextTimerDue(std::int64_t& due) const {
  if (m_timers.empty()) return false;
  due = std::min_element(m_timers.begin(), m_timers.end(), [](const timer_t& a, const timer_t& b) {
          return a.due < b.due;
        })->due;
  return true;
}

void CControl::DispatchTimers() {
  CompleteAttach();
  const std::int64_t now = GetTimeMs();
  // Each pass looks the timer up again: an action may start or stop timers, or destroy elements.
  for (int guard = 0; guard < 1000; ++guard) {
    auto it = std::min_element(m_timers.begin(), m_timers.end(),
                               [](const timer_t& a, const timer_t& b) { return a.due < b.due; });
    if (it == m_timers.end() || it->due > now) break;
    std::function<void()> action = it->action;  // the timer may go while it runs
    if (it->interval > 0) {
      it->due = std::max(it->due + it->interval, now + 1);
    } else {
      m_timers.erase(it);
    }
    Guarded("timer", [&] {
      action();
      return true;
    });
  }
  TimersChanged();
}

}  // namespace orrinfrw7
