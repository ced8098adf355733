// CViewerBase: handler dispatch, central part and scrolling of pixels; the instantiations of the
// viewer templates over item view models.
#include "orrinfrw7/viewer.h"

#include <algorithm>

namespace orrinfrw7 {

template class CRowViewerBase<IContinuousItemViewModel>;
template class CGridViewer<IContinuousItemViewModel, IContinuousItemViewModel>;

CViewerBase::CViewerBase(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment)
    : CVisualElement(parent, size, alignment) {
  SetTabStop(true);
  m_central.SetPos(GetContentRect());
}

CViewerBase::~CViewerBase() {
  for (CEventHandlerBase* handler : m_handlers) handler->Detach();
  if (m_default) m_default->Detach();
}

void CViewerBase::AddEventHandler(CEventHandlerBase* handler) {
  if (handler == nullptr || handler == m_default) return;
  if (std::find(m_handlers.begin(), m_handlers.end(), handler) != m_handlers.end()) return;
  m_handlers.push_back(handler);
  handler->m_viewer = this;
}

void CViewerBase::RemoveEventHandler(CEventHandlerBase* handler) {
  m_handlers.erase(std::remove(m_handlers.begin(), m_handlers.end(), handler), m_handlers.end());
  if (handler == m_default) m_default = nullptr;
  if (handler) handler->Detach();
}

void CViewerBase::SetDefEventHandler(CEventHandlerBase* handler) {
  if (m_default) m_default->Detach();
  m_default = handler;
  if (handler) handler->m_viewer = this;
}

void CViewerBase::SetHScrollModel(IScrollModel* model) {
  m_hScroll = model;
  ScrollStateChanged.emit(this);
}

void CViewerBase::SetVScrollModel(IScrollModel* model) {
  m_vScroll = model;
  ScrollStateChanged.emit(this);
}

template <class F>
bool CViewerBase::Dispatch(F&& call) {
  // A handler may remove handlers while it runs: walk a copy.
  std::vector<CEventHandlerBase*> handlers = m_handlers;
  if (m_default) handlers.push_back(m_default);
  for (CEventHandlerBase* handler : handlers) {
    if (handler->m_viewer != this) continue;
    if (call(*handler)) return true;
  }
  return false;
}

bool CViewerBase::HandleMouseDown(const CMouseEvent& event) {
  return Dispatch([&](CEventHandlerBase& h) { return h.OnMouseDown(event); });
}

bool CViewerBase::HandleMouseUp(const CMouseEvent& event) {
  return Dispatch([&](CEventHandlerBase& h) { return h.OnMouseUp(event); });
}

bool CViewerBase::HandleMouseMove(const CMouseEvent& event) {
  return Dispatch([&](CEventHandlerBase& h) { return h.OnMouseMove(event); });
}

bool CViewerBase::HandleMouseDoubleClick(const CMouseEvent& event) {
  return Dispatch([&](CEventHandlerBase& h) { return h.OnMouseDoubleClick(event); });
}

void CViewerBase::HandleMouseLeave() {
  Dispatch([&](CEventHandlerBase& h) {
    h.OnMouseLeave();
    return false;
  });
}

bool CViewerBase::HandleKeyDown(const CKeyEvent& event) {
  return Dispatch([&](CEventHandlerBase& h) { return h.OnKeyDown(event); });
}

void CViewerBase::HandleBoundsChanged() {
  CVisualElement::HandleBoundsChanged();
  m_central.SetPos(GetContentRect());
}

void CViewerBase::ScrollCentralPart(int dx, int dy) {
  CControl* control = GetControl();
  if (control == nullptr || !IsShowing()) return;
  const orrin7::point<int> origin = ElementToControl({0, 0});
  const orrin7::rectangle<int> area =
      Intersect(Offset(m_central.GetPos(), origin.x, origin.y), GetVisibleControlRect());
  control->ScrollArea(area, dx, dy);
}

void CViewerBase::OnViewGeometryChanged() {
  Update(UK_Redraw);
  ScrollStateChanged.emit(this);
}

void CViewerBase::OnVerticalScroll(int oldStart, int newStart, bool* handled) {
  ScrollCentralPart(0, oldStart - newStart);
  if (handled) *handled = true;
  ScrollStateChanged.emit(this);
}

void CViewerBase::OnHorizontalScroll(int oldStart, int newStart, bool* handled) {
  ScrollCentralPart(oldStart - newStart, 0);
  if (handled) *handled = true;
  ScrollStateChanged.emit(this);
}

void CViewerBase::DetachViewModel(IContinuousItemViewModel* model) {
  model->ItemsUpdated.drop_subscriber(this);
  model->ModelChanged.drop_subscriber(this);
  model->Scrolled.drop_subscriber(this);
}

bool CViewerBase::IsExposedPass() const {
  return GetControl() == nullptr || GetControl()->GetPaintPass() == PP_Exposed;
}

}  // namespace orrinfrw7
