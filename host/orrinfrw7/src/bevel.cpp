// CBevel drawing and CSplitter dragging.
#include "orrinfrw7/bevel.h"

#include <algorithm>
#include <limits>

#include "orrinfrw7/widget_colors.h"

namespace orrinfrw7 {

// ---- CBevel ----

CBevel::CBevel(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment)
    : CVisualElement(parent, size, alignment) {}

void CBevel::SetStyle(int style) {
  m_style = style;
  Invalidate();
}

void CBevel::SetShape(int shape) {
  m_shape = shape;
  Invalidate();
}

// The first of the two pixels of an edge is dark on a sunken bevel's top and left edges and on a
// raised bevel's bottom and right edges; a flat edge is one separator-coloured pixel.
void CBevel::DrawEdge(orrin7::IPainter* painter, bool horizontal, int outer, int inwards) {
  const orrin7::rectangle<int> all = GetDrawRect();
  const auto line = [&](int at, WidgetColorRole role) {
    FillBox(painter, WidgetColor(role),
            horizontal ? orrin7::rectangle<int>(all.left, at, all.right, at + 1)
                       : orrin7::rectangle<int>(at, all.top, at + 1, all.bottom));
  };
  if (m_style != BVS_Sunken && m_style != BVS_Raised) {
    line(outer, WC_Line);
    return;
  }
  // Top and left edges run inwards in +1, bottom and right edges in -1.
  const bool light_outside = (m_style == BVS_Raised) == (inwards > 0);
  line(outer, light_outside ? WC_Light : WC_Line);
  line(outer + inwards, light_outside ? WC_Line : WC_Light);
}

void CBevel::DrawContent(orrin7::IPainter* painter) {
  CVisualElement::DrawContent(painter);
  const orrin7::rectangle<int> all = GetDrawRect();
  if (all.empty()) return;
  const bool box = m_shape == BVSH_Box;
  if (box || m_shape == BVSH_TopLine) DrawEdge(painter, /*horizontal=*/true, all.top, 1);
  if (box || m_shape == BVSH_BottomLine) DrawEdge(painter, /*horizontal=*/true, all.bottom - 1, -1);
  if (box || m_shape == BVSH_LeftLine) DrawEdge(painter, /*horizontal=*/false, all.left, 1);
  if (box || m_shape == BVSH_RightLine) DrawEdge(painter, /*horizontal=*/false, all.right - 1, -1);
}

// ---- CSplitter ----

CSplitter::CSplitter(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment)
    : CBevel(parent, size, alignment) {
  SetStyle(BVS_Raised);
  UpdateCursor();
}

bool CSplitter::IsHorizontal() const {
  return GetAlignment() == AL_Top || GetAlignment() == AL_Bottom;
}

// The bar's ends meet the edges of the area it divides; lines across them would stand as short
// stubs between the long edges, so a box keeps only the long ones.
void CSplitter::DrawContent(orrin7::IPainter* painter) {
  if (GetShape() != BVSH_Box) return CBevel::DrawContent(painter);
  CVisualElement::DrawContent(painter);
  const orrin7::rectangle<int> all = GetDrawRect();
  if (all.empty()) return;
  const bool across = IsHorizontal();
  DrawEdge(painter, across, across ? all.top : all.left, 1);
  DrawEdge(painter, across, across ? all.bottom - 1 : all.right - 1, -1);
}

void CSplitter::UpdateCursor() { SetCursor(IsHorizontal() ? CR_SizeNS : CR_SizeWE); }

void CSplitter::SetNeighbours(CVisualElement* sized, CVisualElement* other) {
  for (CVisualElement* old : {m_sized, m_other})
    if (old) old->Destroyed.drop_subscriber(this);
  m_sized = sized;
  m_other = other == sized ? nullptr : other;
  m_dragging = false;
  for (CVisualElement* neighbour : {m_sized, m_other})
    if (neighbour) neighbour->Destroyed.connect(this, &CSplitter::OnNeighbourDestroyed);
}

void CSplitter::OnNeighbourDestroyed(CVisualElement* element) {
  if (element == m_sized) m_sized = nullptr;
  if (element == m_other) m_other = nullptr;
  m_dragging = false;
}

void CSplitter::SetMinimumSizes(int sized, int other) {
  m_minSized = std::max(sized, 0);
  m_minOther = std::max(other, 0);
}

int CSplitter::SizeOf(const CVisualElement* element) const {
  const orrin7::size<int> size = element->GetSize();
  return IsHorizontal() ? size.height : size.width;
}

bool CSplitter::HandleMouseDown(const CMouseEvent& event) {
  if (event.button != orrin7::MB_Left || m_sized == nullptr) return false;
  m_dragging = true;
  m_dragStart = Along(ElementToControl({event.x, event.y}));
  m_startSize = SizeOf(m_sized);
  m_startOther = m_other ? SizeOf(m_other) : 0;
  // The sized neighbour grows when the pointer moves away from it.
  const orrin7::rectangle<int> mine = GetBounds();
  const orrin7::rectangle<int> its = m_sized->GetBounds();
  m_direction = (IsHorizontal() ? its.top >= mine.bottom : its.left >= mine.right) ? -1 : 1;
  return true;
}

bool CSplitter::HandleMouseMove(const CMouseEvent& event) {
  UpdateCursor();
  if (!m_dragging || m_sized == nullptr) return false;
  const int moved = Along(ElementToControl({event.x, event.y})) - m_dragStart;
  // The other neighbour gives up room only down to its minimum.
  const int largest = m_other ? std::max(m_startSize, m_startSize + m_startOther - m_minOther)
                              : std::numeric_limits<int>::max();
  const int size =
      std::clamp(m_startSize + m_direction * moved, std::min(m_minSized, largest), largest);
  if (size == SizeOf(m_sized)) return true;
  if (IsHorizontal()) {
    m_sized->SetHeight(size);
  } else {
    m_sized->SetWidth(size);
  }
  Moved.emit(this, size);
  return true;
}

bool CSplitter::HandleMouseUp(const CMouseEvent& event) {
  if (!m_dragging || event.button != orrin7::MB_Left) return false;
  m_dragging = false;
  return true;
}

}  // namespace orrinfrw7
