// Scroll bars, scroll elements and scroll boxes: bar geometry and input, the bars' room in the
// layout, and keeping connected elements on one position.
#include "orrinfrw7/scroll.h"

#include <algorithm>
#include <cmath>

#include "orrin7/system.h"
#include "orrinfrw7/control.h"
#include "orrinfrw7/viewer.h"
#include "orrinfrw7/widget_colors.h"
#include "sysport/debug.h"

namespace orrinfrw7 {
namespace {

constexpr int kWheelLines = 3;

// Restores a flag on leaving a scope, also when an element's reaction throws.
class CFlagScope {
 public:
  explicit CFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
  ~CFlagScope() { m_flag = false; }
  CFlagScope(const CFlagScope&) = delete;
  CFlagScope& operator=(const CFlagScope&) = delete;

 private:
  bool& m_flag;
};

double NonNegative(double value) { return value > 0 ? value : 0.0; }

}  // namespace

// ---- CScrollBar ----

CScrollBar::CScrollBar(CVisualElement* parent, Orientation orientation)
    : CVisualElement(parent, {0, 0}, AL_None), m_orientation(orientation) {}

void CScrollBar::SetRange(double total, double page, double line) {
  total = NonNegative(total);
  page = NonNegative(page);
  line = NonNegative(line);
  if (total == m_total && page == m_page && line == m_line) return;
  m_total = total;
  m_page = page;
  m_line = line;
  m_position = std::clamp(m_position, 0.0, GetMaxPosition());
  Invalidate();
}

void CScrollBar::SetPosition(double position) {
  if (!(position == position)) return;  // not a number
  position = std::clamp(position, 0.0, GetMaxPosition());
  if (position == m_position) return;
  m_position = position;
  Invalidate();
}

double CScrollBar::GetMaxPosition() const { return NonNegative(m_total - m_page); }

int CScrollBar::Length() const {
  const orrin7::size<int> size = GetSize();
  return m_orientation == OR_Horizontal ? size.width : size.height;
}

int CScrollBar::Thickness() const {
  const orrin7::size<int> size = GetSize();
  return m_orientation == OR_Horizontal ? size.height : size.width;
}

int CScrollBar::ArrowSize() const { return std::min(Thickness(), Length() / 2); }

int CScrollBar::Along(const CMouseEvent& event) const {
  return m_orientation == OR_Horizontal ? event.x : event.y;
}

orrin7::rectangle<int> CScrollBar::AcrossRect(int from, int to) const {
  return m_orientation == OR_Horizontal ? orrin7::rectangle<int>(from, 0, to, Thickness())
                                        : orrin7::rectangle<int>(0, from, Thickness(), to);
}

orrin7::range<int> CScrollBar::ThumbSpan() const {
  const int track = Length() - 2 * ArrowSize();
  if (track <= 0 || m_total <= m_page || m_total <= 0) return {0, 0};
  const int length = std::clamp(static_cast<int>(track * m_page / m_total),
                                std::min(kMinThumbLength, track), track);
  const double max = GetMaxPosition();
  const int start =
      ArrowSize() +
      (max > 0 ? static_cast<int>(std::lround((track - length) * m_position / max)) : 0);
  return {start, start + length};
}

orrin7::rectangle<int> CScrollBar::GetTrackRect() const {
  return AcrossRect(ArrowSize(), Length() - ArrowSize());
}

orrin7::rectangle<int> CScrollBar::GetThumbRect() const {
  const orrin7::range<int> thumb = ThumbSpan();
  if (thumb.length() == 0) return {};
  return AcrossRect(thumb.from, thumb.to);
}

void CScrollBar::Request(double position) {
  const double before = m_position;
  SetPosition(position);
  if (m_position != before) PositionRequested.emit(this, m_position);
}

CScrollBar::Part CScrollBar::PartAt(int along) const {
  if (along < ArrowSize()) return Part::arrowBack;
  if (along >= Length() - ArrowSize()) return Part::arrowForward;
  const orrin7::range<int> thumb = ThumbSpan();
  if (thumb.length() == 0) return Part::none;
  if (along < thumb.from) return Part::trackBack;
  if (along >= thumb.to) return Part::trackForward;
  return Part::thumb;
}

bool CScrollBar::Step(Part part) {
  const double before = m_position;
  switch (part) {
    case Part::arrowBack:
      Request(m_position - m_line);
      break;
    case Part::arrowForward:
      Request(m_position + m_line);
      break;
    case Part::trackBack:
      Request(m_position - m_page);
      break;
    case Part::trackForward:
      Request(m_position + m_page);
      break;
    default:
      return false;
  }
  return m_position != before;
}

void CScrollBar::StopRepeat() {
  if (m_repeatTimer != 0 && GetControl()) GetControl()->StopTimer(m_repeatTimer);
  m_repeatTimer = 0;
}

bool CScrollBar::HandleMouseDown(const CMouseEvent& event) {
  if (event.button != orrin7::MB_Left) return false;
  const int at = Along(event);
  StopRepeat();
  m_pressed = PartAt(at);
  m_pointerInside = true;
  m_pointerAlong = at;
  if (m_pressed == Part::thumb) {
    m_dragging = true;
    m_dragStart = at;
    m_dragPosition = m_position;
    Invalidate();
    return true;
  }
  Step(m_pressed);
  if (m_pressed == Part::none || GetControl() == nullptr) return true;
  // Held: the step repeats while the pointer stays on the part pressed. The track stops once the
  // thumb has reached the pointer, as the part under it is then the thumb.
  m_repeatTimer = GetControl()->StartTimer(this, kRepeatDelayMs, kRepeatIntervalMs, [this] {
    if (!m_pointerInside || PartAt(m_pointerAlong) != m_pressed) return;
    if (!Step(m_pressed)) StopRepeat();
  });
  return true;
}

bool CScrollBar::HandleMouseMove(const CMouseEvent& event) {
  const int at = Along(event);
  const bool inside = GetDrawRect().contains(event.x, event.y);
  if (!m_dragging) {
    m_pointerInside = inside;
    m_pointerAlong = at;
    SetThumbHover(inside && PartAt(at) == Part::thumb && m_pressed == Part::none);
    return m_pressed != Part::none;
  }
  const orrin7::range<int> thumb = ThumbSpan();
  const int room = Length() - 2 * ArrowSize() - thumb.length();
  if (room <= 0) return true;
  Request(m_dragPosition + double(at - m_dragStart) * GetMaxPosition() / room);
  return true;
}

bool CScrollBar::HandleMouseUp(const CMouseEvent& event) {
  if (event.button != orrin7::MB_Left) return false;
  const bool was = m_dragging || m_pressed != Part::none;
  StopRepeat();
  m_pressed = Part::none;
  m_dragging = false;
  SetThumbHover(GetDrawRect().contains(event.x, event.y) && PartAt(Along(event)) == Part::thumb);
  Invalidate();
  return was;
}

void CScrollBar::HandleMouseLeave() { SetThumbHover(false); }

void CScrollBar::SetThumbHover(bool hover) {
  if (hover == m_thumbHover) return;
  m_thumbHover = hover;
  Invalidate();
}

void CScrollBar::DrawContent(orrin7::IPainter* painter) {
  const orrin7::rectangle<int> all = GetDrawRect();
  FillBox(painter, WidgetColor(WC_Face), all);
  // A line where the bar meets the content.
  FillBox(painter, WidgetColor(WC_Line),
          m_orientation == OR_Horizontal ? orrin7::rectangle<int>(0, 0, all.right, 1)
                                         : orrin7::rectangle<int>(0, 0, 1, all.bottom));
  const int arrow = ArrowSize();
  DrawArrow(painter, AcrossRect(0, arrow), /*towardsEnd=*/false);
  DrawArrow(painter, AcrossRect(Length() - arrow, Length()), /*towardsEnd=*/true);
  const orrin7::rectangle<int> thumb = GetThumbRect();
  if (thumb.empty()) return;
  const int inset = std::max(2, Thickness() / 5);
  const orrin7::rectangle<int> body =
      m_orientation == OR_Horizontal
          ? orrin7::rectangle<int>(thumb.left, inset, thumb.right, all.bottom - inset + 1)
          : orrin7::rectangle<int>(inset, thumb.top, all.right - inset + 1, thumb.bottom);
  const WidgetColorRole role =
      m_dragging ? WC_ThumbPressed : (m_thumbHover ? WC_ThumbHover : WC_Thumb);
  FillBox(painter, WidgetColor(role), body);
}

// A triangle pointing to the start or the end of the bar, grey when there is nothing to scroll.
void CScrollBar::DrawArrow(orrin7::IPainter* painter, const orrin7::rectangle<int>& box,
                           bool towardsEnd) {
  const double cx = (box.left + box.right) / 2.0;
  const double cy = (box.top + box.bottom) / 2.0;
  const double r = std::max(2.0, std::min(box.width(), box.height()) / 4.0);
  const double d = towardsEnd ? 1.0 : -1.0;
  orrin7::point<double> points[3];
  if (m_orientation == OR_Horizontal) {
    points[0] = {cx + d * r / 2, cy};
    points[1] = {cx - d * r / 2, cy - r};
    points[2] = {cx - d * r / 2, cy + r};
  } else {
    points[0] = {cx, cy + d * r / 2};
    points[1] = {cx - r, cy - d * r / 2};
    points[2] = {cx + r, cy - d * r / 2};
  }
  const bool active = GetMaxPosition() > 0;
  painter->SetBrush(orrin7::brush(WidgetColor(active ? WC_Text : WC_Line), 1));
  painter->SetPen(orrin7::pen(orrin7::_color(), 0, 0));
  painter->Polygon(points, 3);
}

// ---- CScrollElement ----

CScrollElement::CScrollElement(CVisualElement* parent, const orrin7::size<int>& size,
                               Alignment alignment)
    : CVisualElement(parent, size, alignment) {
  // Made in the body: laying the bars out asks for both of them.
  for (Orientation axis : {OR_Horizontal, OR_Vertical}) {
    CScrollBar* bar = new CScrollBar(this, axis);
    m_bars[axis] = bar;
    bar->SetVisible(false);
    bar->PositionRequested.connect(this, &CScrollElement::OnBarRequested);
  }
}

bool CScrollElement::IsScrollBarVisible(Orientation orientation) const {
  return m_bars[orientation] && m_bars[orientation]->IsVisible();
}

void CScrollElement::SetScrollBarMode(Orientation orientation, ScrollBarMode mode) {
  m_modes[orientation] = mode;
  UpdateScrollBars();
}

int CScrollElement::GetScrollBarSize() const {
  return std::max(1, orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight));
}

CScrollBar* CScrollElement::GetScrollBar(Orientation orientation) const {
  return m_bars[orientation];
}

orrin7::rectangle<int> CScrollElement::GetContentRect() const {
  orrin7::rectangle<int> rect = GetDrawRect();
  const int size = GetScrollBarSize();
  if (IsScrollBarVisible(OR_Vertical)) rect.right = std::max(rect.left, rect.right - size);
  if (IsScrollBarVisible(OR_Horizontal)) rect.bottom = std::max(rect.top, rect.bottom - size);
  return rect;
}

void CScrollElement::AlignChildren() {
  const orrin7::rectangle<int> all = GetDrawRect();
  const orrin7::rectangle<int> content = GetContentRect();
  if (m_bars[OR_Horizontal] && m_bars[OR_Vertical]) {
    m_bars[OR_Horizontal]->SetPos({all.left, content.bottom, content.right, all.bottom});
    m_bars[OR_Vertical]->SetPos({content.right, all.top, all.right, content.bottom});
  }
  CVisualElement::AlignChildren();
}

void CScrollElement::DrawContent(orrin7::IPainter* painter) {
  CVisualElement::DrawContent(painter);
  if (!IsScrollBarVisible(OR_Horizontal) || !IsScrollBarVisible(OR_Vertical)) return;
  const orrin7::rectangle<int> content = GetContentRect();
  const orrin7::rectangle<int> all = GetDrawRect();
  FillBox(painter, WidgetColor(WC_Face), {content.right, content.bottom, all.right, all.bottom});
}

int CScrollElement::PixelsPerUnit(const IScrollModel* model) {
  return std::max(1, model->GetPageInfo().second);
}

void CScrollElement::UpdateScrollBars() {
  if (m_updating) {
    m_updateAgain = true;  // a child reacted to the new layout: read the models once more
    return;
  }
  CFlagScope scope(m_updating);
  // Showing one bar narrows the view along the other axis, which may call for the other bar.
  for (int pass = 0; pass < 3; ++pass) {
    m_updateAgain = false;
    bool shown_or_hidden = false;
    for (Orientation axis : {OR_Horizontal, OR_Vertical}) {
      CScrollBar* bar = m_bars[axis];
      IScrollModel* model = GetAxisModel(axis);
      if (model) {
        const int unit = PixelsPerUnit(model);
        bar->SetRange(model->GetTotal(), double(GetAxisViewPixels(axis)) / unit,
                      std::max(1.0, double(model->GetLineStep()) / unit));
        bar->SetPosition(model->GetPosition());
      } else {
        bar->SetRange(0, 0, 1);
      }
      const bool wanted =
          m_modes[axis] == SBM_Always || (m_modes[axis] == SBM_Auto && bar->GetMaxPosition() > 0);
      if (wanted == bar->IsVisible()) continue;
      bar->SetVisible(wanted);  // lays the children out again
      shown_or_hidden = true;
    }
    if (!shown_or_hidden && !m_updateAgain) return;
  }
}

double CScrollElement::GetScrollPosition(Orientation orientation) {
  IScrollModel* model = GetAxisModel(orientation);
  return model ? model->GetPosition() : 0.0;
}

void CScrollElement::SetScrollPosition(Orientation orientation, double position) {
  ApplyScrollPosition(orientation, position);
  UpdateScrollBars();
}

IScrollModel* CScrollElement::GetAxisModel(Orientation orientation) {
  return orientation == OR_Horizontal ? GetHScrollModel() : GetVScrollModel();
}

int CScrollElement::GetAxisViewPixels(Orientation orientation) {
  const orrin7::rectangle<int> content = GetContentRect();
  return orientation == OR_Horizontal ? content.width() : content.height();
}

void CScrollElement::ApplyScrollPosition(Orientation orientation, double position) {
  if (IScrollModel* model = GetAxisModel(orientation)) model->SetPosition(position);
}

// Positions the bar asks for are snapped to the model's smallest step, except the very end.
void CScrollElement::OnBarRequested(CScrollBar* bar, double position) {
  IScrollModel* model = GetAxisModel(bar->GetOrientation());
  if (model == nullptr) return;
  const double step = model->GetPageInfo().first;
  if (step > 0 && position < bar->GetMaxPosition()) position = std::round(position / step) * step;
  SetScrollPosition(bar->GetOrientation(), position);
}

bool CScrollElement::HandleMouseWheel(const CWheelEvent& event) {
  const bool sideways = event.dx != 0 || (event.modifiers & MK_Shift);
  const Orientation axis = sideways ? OR_Horizontal : OR_Vertical;
  const int notches = event.dx != 0 ? event.dx : event.dy;
  IScrollModel* model = GetAxisModel(axis);
  if (notches == 0 || model == nullptr) return false;
  UpdateScrollBars();
  const CScrollBar* bar = m_bars[axis];
  if (bar->GetMaxPosition() <= 0) return false;
  const double lines = std::max(1.0, double(model->GetLineStep()) / PixelsPerUnit(model));
  const double target = model->GetPosition() + kWheelLines * lines * notches;
  SetScrollPosition(axis, std::clamp(target, 0.0, bar->GetMaxPosition()));
  return true;
}

void CScrollElement::HandleControlAttached() {
  CVisualElement::HandleControlAttached();
  UpdateScrollBars();
}

void CScrollElement::HandleSystemChanged() {
  CVisualElement::HandleSystemChanged();
  Realign();  // the bars' thickness follows the system metric
  UpdateScrollBars();
}

// ---- CScrollBox ----

CScrollBox::CScrollBox(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment)
    : CScrollElement(parent, size, alignment) {}

bool CScrollBox::IsConnected(const CVisualElement* element) const {
  return std::any_of(m_connections.begin(), m_connections.end(),
                     [&](const connection_t& c) { return c.element == element; });
}

void CScrollBox::ConnectElement(CVisualElement* element, int type, bool driving) {
  if (!SYSPORT_CHECK(element != nullptr)) return;
  if (!SYSPORT_CHECK(type == SC_Horizontal || type == SC_Vertical)) return;
  const Orientation axis = type == SC_Horizontal ? OR_Horizontal : OR_Vertical;
  if (driving)
    for (connection_t& c : m_connections)
      if (c.axis == axis) c.driving = false;
  for (connection_t& c : m_connections) {
    if (c.element != element || c.axis != axis) continue;
    c.driving = driving;
    UpdateScrollBars();
    return;
  }
  if (!IsConnected(element)) {
    element->ScrollStateChanged.connect(this, &CScrollBox::OnElementScrollState);
    element->Destroyed.connect(this, &CScrollBox::OnElementDestroyed);
  }
  m_connections.push_back({element, axis, driving, 0.0});
  // The newcomer joins the position the axis is at.
  SetScrollPosition(axis, GetScrollPosition(axis));
}

void CScrollBox::DisconnectElement(CVisualElement* element) {
  if (!IsConnected(element)) return;
  element->ScrollStateChanged.drop_subscriber(this);
  element->Destroyed.drop_subscriber(this);
  OnElementDestroyed(element);
}

void CScrollBox::OnElementDestroyed(CVisualElement* element) {
  m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(),
                                     [&](const connection_t& c) { return c.element == element; }),
                      m_connections.end());
  UpdateScrollBars();
}

CVisualElement* CScrollBox::GetDrivingElement(Orientation orientation) const {
  CVisualElement* first = nullptr;
  for (const connection_t& c : m_connections) {
    if (c.axis != orientation) continue;
    if (c.driving) return c.element;
    if (first == nullptr) first = c.element;
  }
  return first;
}

IScrollModel* CScrollBox::ModelOf(const connection_t& c) {
  return c.axis == OR_Horizontal ? c.element->GetHScrollModel() : c.element->GetVScrollModel();
}

IScrollModel* CScrollBox::GetAxisModel(Orientation orientation) {
  CVisualElement* driving = GetDrivingElement(orientation);
  if (driving == nullptr) return nullptr;
  return orientation == OR_Horizontal ? driving->GetHScrollModel() : driving->GetVScrollModel();
}

// A viewer shows its items in its central part; other elements in their content rectangle.
int CScrollBox::GetAxisViewPixels(Orientation orientation) {
  CVisualElement* driving = GetDrivingElement(orientation);
  if (driving == nullptr) return 0;
  const auto* viewer = dynamic_cast<const CViewerBase*>(driving);
  const orrin7::rectangle<int> view =
      viewer ? viewer->GetCentralPart().GetPos() : driving->GetContentRect();
  return orientation == OR_Horizontal ? view.width() : view.height();
}

void CScrollBox::ApplyScrollPosition(Orientation orientation, double position) {
  CFlagScope scope(m_syncing);
  for (const connection_t& c : m_connections)
    if (c.axis == orientation)
      if (IScrollModel* model = ModelOf(c)) model->SetPosition(position);
  for (connection_t& c : m_connections)
    if (c.axis == orientation)
      if (IScrollModel* model = ModelOf(c)) c.synced = model->GetPosition();
}

// An element reports a new extent or position: when its position moved away from where the box
// left it, it scrolled on its own and the others follow.
void CScrollBox::OnElementScrollState(CVisualElement* element) {
  if (m_syncing) return;
  for (Orientation axis : {OR_Horizontal, OR_Vertical}) {
    for (const connection_t& c : m_connections) {
      if (c.element != element || c.axis != axis) continue;
      IScrollModel* model = ModelOf(c);
      if (model && model->GetPosition() != c.synced)
        ApplyScrollPosition(axis, model->GetPosition());
      break;
    }
  }
  UpdateScrollBars();
}

}  // namespace orrinfrw7
