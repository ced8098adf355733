// CVisualElement: tree ownership, the alignment layout, colours and fonts, tab order, and the
// default reactions of its hooks.
#include "orrinfrw7/visual_element.h"

#include <algorithm>

#include "orrin7/system.h"
#include "orrinfrw7/control.h"
#include "orrinfrw7/geometry.h"

namespace orrinfrw7 {
namespace {

orrin7::rectangle<int> Normalized(const orrin7::rectangle<int>& r) {
  return {r.left, r.top, std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

orrin7::size<int> NonNegative(const orrin7::size<int>& s) {
  return {std::max(s.width, 0), std::max(s.height, 0)};
}

// How many times a layout pass is repeated when a child's placement changes a sibling's request;
// more means the children disagree for ever.
constexpr int kMaxLayoutPasses = 4;

}  // namespace

CVisualElement::CVisualElement(CVisualElement* parent, const orrin7::size<int>& size,
                               Alignment alignment)
    : m_parent(parent),
      m_control(parent ? parent->m_control : nullptr),
      m_alignment(alignment),
      m_requested(NonNegative(size)),
      m_bounds(0, 0, m_requested.width, m_requested.height) {
  if (m_parent == nullptr) return;
  m_parent->m_children.push_back(this);
  if (m_control) m_control->ElementCreated(this);
  m_parent->ParentRelayout();
}

CVisualElement::CVisualElement(CControl* control) : m_control(control), m_alignment(AL_Client) {
  m_control->ElementCreated(this);
}

CVisualElement::~CVisualElement() {
  m_destroying = true;
  Destroyed.emit(this);
  while (!m_children.empty()) {
    CVisualElement* child = m_children.back();
    if (child->IsHeapObject()) {
      delete child;  // removes itself from m_children
      continue;
    }
    m_children.pop_back();
    child->m_parent = nullptr;
    child->LeaveControl();
  }
  if (m_control) m_control->ElementGone(this, /*destroyed=*/true);
  if (m_parent == nullptr) return;
  auto& siblings = m_parent->m_children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), this));
  if (m_parent->IsBeingDestroyed()) return;
  if (m_visible && m_control) m_control->Invalidate(GetVisibleControlRect());
  m_parent->ParentRelayout();
}

void CVisualElement::LeaveControl() {
  for (CVisualElement* child : m_children) child->LeaveControl();
  if (m_control) m_control->ElementGone(this, /*destroyed=*/true);
  m_control = nullptr;
}

bool CVisualElement::IsBeingDestroyed() const {
  for (const CVisualElement* e = this; e; e = e->m_parent)
    if (e->m_destroying) return true;
  return false;
}

CVisualElement* CVisualElement::GetChild(int index) const {
  if (index < 0 || index >= GetChildCount()) return nullptr;
  return m_children[static_cast<std::size_t>(index)];
}

// ---- geometry ----

void CVisualElement::SetAlignment(Alignment alignment) {
  if (alignment == m_alignment) return;
  m_alignment = alignment;
  if (m_parent) m_parent->ParentRelayout();
}

void CVisualElement::SetPos(const orrin7::rectangle<int>& rect, bool redraw) {
  const orrin7::rectangle<int> r = Normalized(rect);
  const bool placed_by_parent = m_parent && m_parent->m_aligning;
  if (!placed_by_parent) m_requested = {r.width(), r.height()};
  if (!placed_by_parent && m_parent && m_alignment != AL_None) {
    m_parent->ParentRelayout();
    return;
  }
  ApplyBounds(r, redraw);
}

void CVisualElement::SetSize(const orrin7::size<int>& size) {
  m_requested = NonNegative(size);
  if (m_parent && m_alignment != AL_None) {
    m_parent->ParentRelayout();
    return;
  }
  ApplyBounds({m_bounds.left, m_bounds.top, m_bounds.left + m_requested.width,
               m_bounds.top + m_requested.height},
              /*redraw=*/true);
}

void CVisualElement::SetWidth(int width) { SetSize({width, m_requested.height}); }

void CVisualElement::SetHeight(int height) { SetSize({m_requested.width, height}); }

orrin7::size<int> CVisualElement::GetSize() const { return {m_bounds.width(), m_bounds.height()}; }

void CVisualElement::ApplyBounds(const orrin7::rectangle<int>& rect, bool redraw) {
  if (rect == m_bounds) return;
  const bool resized = rect.width() != m_bounds.width() || rect.height() != m_bounds.height();
  if (redraw) Invalidate();
  m_bounds = rect;
  if (resized) AlignChildren();
  HandleBoundsChanged();
  if (redraw) Invalidate();
}

void CVisualElement::ParentRelayout() {
  if (m_destroying) return;
  if (m_aligning) {
    m_alignAgain = true;  // a child's placement changed a sibling's request: run once more
    return;
  }
  AlignChildren();
}

void CVisualElement::Realign() { ParentRelayout(); }

void CVisualElement::AlignChildren() {
  struct flag_guard_t {
    bool& flag;
    ~flag_guard_t() { flag = false; }
  } guard{m_aligning};
  m_aligning = true;
  for (int pass = 0; pass < kMaxLayoutPasses; ++pass) {
    m_alignAgain = false;
    orrin7::rectangle<int> rest = GetContentRect();
    const std::vector<CVisualElement*> children = m_children;
    for (CVisualElement* child : children) {
      if (!child->m_visible || child->m_alignment == AL_None || child->m_alignment == AL_Client)
        continue;
      const int w = std::min(child->m_requested.width, rest.width());
      const int h = std::min(child->m_requested.height, rest.height());
      orrin7::rectangle<int> slice = rest;
      switch (child->m_alignment) {
        case AL_Left:
          slice.right = rest.left += w;
          break;
        case AL_Right:
          slice.left = rest.right -= w;
          break;
        case AL_Top:
          slice.bottom = rest.top += h;
          break;
        case AL_Bottom:
          slice.top = rest.bottom -= h;
          break;
        default:
          break;
      }
      child->SetPos(slice, /*redraw=*/true);
    }
    for (CVisualElement* child : children)
      if (child->m_visible && child->m_alignment == AL_Client) child->SetPos(rest, /*redraw=*/true);
    if (!m_alignAgain) return;
  }
}

orrin7::rectangle<int> CVisualElement::GetContentRect() const { return GetDrawRect(); }

orrin7::rectangle<int> CVisualElement::GetDrawRect() const {
  return {0, 0, m_bounds.width(), m_bounds.height()};
}

orrin7::point<int> CVisualElement::ElementToControl(const orrin7::point<int>& p) const {
  orrin7::point<int> out = p;
  for (const CVisualElement* e = this; e; e = e->m_parent) {
    out.x += e->m_bounds.left;
    out.y += e->m_bounds.top;
  }
  return out;
}

orrin7::point<int> CVisualElement::ControlToElement(const orrin7::point<int>& p) const {
  const orrin7::point<int> origin = ElementToControl({0, 0});
  return {p.x - origin.x, p.y - origin.y};
}

orrin7::rectangle<int> CVisualElement::GetControlRect() const {
  const orrin7::point<int> origin = ElementToControl({0, 0});
  return Offset(GetDrawRect(), origin.x, origin.y);
}

orrin7::rectangle<int> CVisualElement::GetVisibleControlRect() const {
  orrin7::rectangle<int> visible = GetControlRect();
  for (const CVisualElement* e = this; e; e = e->m_parent) {
    if (!e->m_visible) return {};
    if (e != this) visible = Intersect(visible, e->GetControlRect());
  }
  return visible.empty() ? orrin7::rectangle<int>() : visible;
}

void CVisualElement::SetVisible(bool visible) {
  if (visible == m_visible) return;
  if (!visible) Invalidate();
  m_visible = visible;
  if (!visible && m_control) m_control->ElementGone(this, /*destroyed=*/false);
  if (m_parent) m_parent->ParentRelayout();
  if (visible) Invalidate();
  AttributeChanged();
}

bool CVisualElement::IsShowing() const {
  for (const CVisualElement* e = this; e; e = e->m_parent)
    if (!e->m_visible) return false;
  return true;
}

// ---- appearance ----

void CVisualElement::SetBkColor(const orrin7::_color& color) {
  m_bkColor = color;
  m_bkColorSet = true;
  Invalidate();
}

orrin7::_color CVisualElement::GetBkColor() const {
  return m_bkColorSet ? m_bkColor : orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground);
}

void CVisualElement::SetFgColor(const orrin7::_color& color) {
  m_fgColor = color;
  m_fgColorSet = true;
  Invalidate();
}

orrin7::_color CVisualElement::GetFgColor() const {
  return m_fgColorSet ? m_fgColor : orrin7::GetSysPalette().GetColor(orrin7::PAL_Text);
}

void CVisualElement::SetFont(const orrin7::font& font) {
  m_font = font;
  m_fontSet = true;
  AttributeChanged();
}

orrin7::font CVisualElement::GetFont() const {
  if (m_fontSet) return m_font;
  return m_parent ? m_parent->GetFont() : orrin7::GetDefaultGUIFont();
}

int CVisualElement::GetTextLineHeight() const {
  orrin7::IPainter* painter = m_control ? m_control->GetPainter() : nullptr;
  if (painter == nullptr) return orrin7::GetCurrentSystem()->GetLineHeightUnit();
  painter->BeginPaint(3);
  const orrin7::font previous = painter->GetFont();
  painter->SetFont(GetFont());
  const int height = painter->GetFontMetrics().line_height();
  painter->SetFont(previous);
  painter->EndPaint();
  return height;
}

void CVisualElement::SetCursor(int cursor) {
  if (cursor == m_cursor) return;
  m_cursor = cursor;
  if (m_control && m_control->GetHoverElement() == this) m_control->SetHover(this);
}

// ---- focus and tab order ----

bool CVisualElement::SetFocus() { return m_control && m_control->SetFocusedElement(this); }

bool CVisualElement::IsFocused() const {
  return m_control && m_control->HasInputFocus() && m_control->GetFocusedElement() == this;
}

bool CVisualElement::IsControlFocused() const {
  return m_parent ? m_parent->IsControlFocused() : false;
}

int CVisualElement::IndexOfChildHolding(const CVisualElement* element) const {
  for (const CVisualElement* e = element; e; e = e->m_parent) {
    if (e->m_parent != this) continue;
    const auto it = std::find(m_children.begin(), m_children.end(), e);
    return static_cast<int>(it - m_children.begin());
  }
  return -1;
}

CVisualElement* CVisualElement::GetFirstTabElement() {
  if (!m_visible) return nullptr;
  if (m_tabStop) return this;
  for (CVisualElement* child : m_children)
    if (CVisualElement* found = child->GetFirstTabElement()) return found;
  return nullptr;
}

CVisualElement* CVisualElement::GetLastTabElement() {
  if (!m_visible) return nullptr;
  for (auto it = m_children.rbegin(); it != m_children.rend(); ++it)
    if (CVisualElement* found = (*it)->GetLastTabElement()) return found;
  return m_tabStop ? this : nullptr;
}

CVisualElement* CVisualElement::GetNextTabElement(CVisualElement* current) {
  const int from = IndexOfChildHolding(current);
  for (std::size_t i = static_cast<std::size_t>(from + 1); i < m_children.size(); ++i)
    if (CVisualElement* found = m_children[i]->GetFirstTabElement()) return found;
  if (m_parent) return m_parent->GetNextTabElement(this);
  return GetFirstTabElement();
}

CVisualElement* CVisualElement::GetPrevTabElement(CVisualElement* current) {
  if (current == this) return m_parent ? m_parent->GetPrevTabElement(this) : GetLastTabElement();
  int from = IndexOfChildHolding(current);
  if (from < 0) from = GetChildCount();
  for (int i = from - 1; i >= 0; --i)
    if (CVisualElement* found = m_children[static_cast<std::size_t>(i)]->GetLastTabElement())
      return found;
  if (m_tabStop && m_visible) return this;
  if (m_parent) return m_parent->GetPrevTabElement(this);
  return GetLastTabElement();
}

// ---- updates ----

void CVisualElement::Update(int kind) { OnChange(this, kind); }

void CVisualElement::OnChange(CVisualElement* source, int kind) {
  if (source == nullptr) return;
  if (source != this) {
    source->OnChange(source, kind);
    return;
  }
  if (kind & (UK_Layout | UK_Redraw)) ParentRelayout();
  if (kind & UK_Redraw) Invalidate();
}

void CVisualElement::Invalidate() {
  if (m_control == nullptr || !IsShowing()) return;
  m_control->Invalidate(GetVisibleControlRect());
}

void CVisualElement::RequestRefresh() {
  if (m_control && IsShowing()) m_control->RequestRefresh(this);
}

orrin7::rectangle<int> CVisualElement::GetUpdateRect() const {
  if (m_control == nullptr) return {};
  const orrin7::point<int> origin = ElementToControl({0, 0});
  return Intersect(Offset(m_control->GetPaintRect(), -origin.x, -origin.y), GetDrawRect());
}

// ---- clipboard ----

std::wstring CVisualElement::HandleAsString() const { return std::wstring(); }

bool CVisualElement::HandleCopyToClipboard() const {
  const std::wstring text = HandleAsString();
  if (text.empty()) return false;
  orrin7::GetCurrentSystem()->GetClipboardService()->SetText(text);
  return true;
}

bool CVisualElement::IsCopyToClipboardEnabled() const { return false; }

bool CopyToClipboard(const CVisualElement* element) {
  for (const CVisualElement* e = element; e; e = e->m_parent)
    if (e->IsCopyToClipboardEnabled()) return e->HandleCopyToClipboard();
  return false;
}

bool IsAncestor(const CVisualElement* ancestor, const CVisualElement* element) {
  if (ancestor == nullptr) return false;
  for (const CVisualElement* e = element; e; e = e->GetParent())
    if (e == ancestor) return true;
  return false;
}

// ---- default hooks ----

void CVisualElement::AttributeChanged() { Update(UK_Redraw); }

void CVisualElement::HandleChildFocusChanged(CVisualElement*, CVisualElement*, bool) {}

void CVisualElement::HandleControlChangeFocus(bool) {}

void CVisualElement::HandleFocusChanged(bool) {}

void CVisualElement::DrawContent(orrin7::IPainter* painter) {
  if (m_backgroundCovered && HasVisibleClientChild()) return;
  const orrin7::rectangle<int> r = GetDrawRect();
  painter->SetBrush(orrin7::brush(GetBkColor(), 1));
  painter->FillRect(r.left, r.top, r.right, r.bottom);
}

bool CVisualElement::HasVisibleClientChild() const {
  return std::any_of(m_children.begin(), m_children.end(), [](const CVisualElement* child) {
    return child->m_visible && child->m_alignment == AL_Client;
  });
}

bool CVisualElement::HandleOnTooltip(CTooltipEvent&) { return false; }
bool CVisualElement::HandleMouseDown(const CMouseEvent&) { return false; }
bool CVisualElement::HandleMouseUp(const CMouseEvent&) { return false; }
bool CVisualElement::HandleMouseMove(const CMouseEvent&) { return false; }
bool CVisualElement::HandleMouseDoubleClick(const CMouseEvent&) { return false; }
bool CVisualElement::HandleMouseWheel(const CWheelEvent&) { return false; }
bool CVisualElement::HandleKeyDown(const CKeyEvent&) { return false; }
bool CVisualElement::HandleKeyUp(const CKeyEvent&) { return false; }

}  // namespace orrinfrw7
