// CVisualElement: a node of the element tree a control shows, with its alignment layout,
// colours, font, focus and tab order, and the hooks the control calls; plus the clipboard entry
// point and the ancestry test.
#pragma once

#include <string>
#include <vector>

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/base.h"
#include "orrinfrw7/events.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

class CControl;
class IScrollModel;

// An element owns its children: children created with `new` are deleted with their parent (the
// last created first); children that live elsewhere are only detached. An element created under
// a parent joins the parent's control; AfterSetControl runs when the control next dispatches
// anything (or on CControl::CompleteAttach), once the element is fully constructed.
//
// Coordinates: GetBounds is in the parent's pixels; everything an element draws or receives is in
// its own pixels, (0, 0) being its top-left corner; "control coordinates" are pixels of the
// control's surface.
class CVisualElement : public CBase {
 public:
  CVisualElement(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment);
  ~CVisualElement() override;

  // ---- tree ----
  CVisualElement* GetParent() const { return m_parent; }
  int GetChildCount() const { return static_cast<int>(m_children.size()); }
  CVisualElement* GetChild(int index) const;
  // The control the tree is attached to; null for a tree built without one.
  CControl* GetControl() const { return m_control; }

  // ---- geometry ----
  Alignment GetAlignment() const { return m_alignment; }
  void SetAlignment(Alignment alignment);
  // Moves and sizes the element (parent pixels). An aligned element takes the size as the one it
  // asks for and lets the parent place it; the parent's layout calls SetPos to place it.
  virtual void SetPos(const orrin7::rectangle<int>& rect, bool redraw = true);
  // The size the element asks of its parent's layout (aligned elements stretch along one axis).
  void SetSize(const orrin7::size<int>& size);
  void SetWidth(int width);
  void SetHeight(int height);
  orrin7::size<int> GetRequestedSize() const { return m_requested; }
  orrin7::size<int> GetSize() const;
  orrin7::rectangle<int> GetBounds() const { return m_bounds; }
  // The area children are laid out in and content is drawn in, element pixels.
  virtual orrin7::rectangle<int> GetContentRect() const;
  // The whole element in its own pixels: (0, 0, width, height).
  orrin7::rectangle<int> GetDrawRect() const;
  orrin7::point<int> ElementToControl(const orrin7::point<int>& p) const;
  orrin7::point<int> ControlToElement(const orrin7::point<int>& p) const;
  // The bounds in control pixels, and the part of them not clipped away by ancestors.
  orrin7::rectangle<int> GetControlRect() const;
  orrin7::rectangle<int> GetVisibleControlRect() const;
  // Lays the children out again.
  void Realign();

  void SetVisible(bool visible);
  bool IsVisible() const { return m_visible; }
  // Visible together with every ancestor.
  bool IsShowing() const;

  // ---- appearance ----
  // Colours not set here follow the system palette (background: cell background, foreground:
  // text); the font not set here is the parent's, at the top the default GUI font.
  void SetBkColor(const orrin7::_color& color);
  orrin7::_color GetBkColor() const;
  // A container whose children tile it leaves its own background unpainted while it has a
  // visible AL_Client child: the aligned children then paint every pixel of it, and on a
  // full-window composite the skipped fills are a good part of each repaint.
  void SetBackgroundCovered(bool covered) { m_backgroundCovered = covered; }
  void SetFgColor(const orrin7::_color& color);
  orrin7::_color GetFgColor() const;
  void SetFont(const orrin7::font& font);
  orrin7::font GetFont() const;
  // Pixels of one text line in the element's font, measured on the control's surface (the
  // system's line-height unit while there is no surface).
  int GetTextLineHeight() const;
  void SetCursor(int cursor);
  int GetCursor() const { return m_cursor; }

  // ---- focus and tab order ----
  void SetTabStop(bool tabStop) { m_tabStop = tabStop; }
  bool IsTabStop() const { return m_tabStop; }
  bool SetFocus();
  // This element has the keyboard focus and the control has the input focus.
  bool IsFocused() const;
  // The focus counts as this element's on behalf of an ancestor that holds it for a group of
  // elements; asks the parent (false at the top).
  virtual bool IsControlFocused() const;
  // Tab order: visible tab stops in tree order (an element before its children, children in
  // creation order); wraps around at the top.
  virtual CVisualElement* GetFirstTabElement();
  virtual CVisualElement* GetLastTabElement();
  virtual CVisualElement* GetNextTabElement(CVisualElement* current);
  virtual CVisualElement* GetPrevTabElement(CVisualElement* current);

  // ---- updates ----
  // Update(kind) is OnChange(this, kind).
  void Update(int kind);
  // Reacts to a change of `source` (this element, or another element the call is meant for):
  // UK_Layout lays its children out again, UK_Redraw also repaints it entirely.
  virtual void OnChange(CVisualElement* source, int kind);
  // The element's pixels are lost: repaint all of it.
  void Invalidate();
  // Asks for a paint pass of this element alone, keeping the pixels around it (viewers repaint
  // only what changed in such a pass).
  void RequestRefresh();
  // During DrawContent: the part of the element being painted, element pixels.
  orrin7::rectangle<int> GetUpdateRect() const;

  // ---- scrolling ----
  // The models a scroll box drives; null when the element does not scroll that way.
  virtual IScrollModel* GetHScrollModel() { return nullptr; }
  virtual IScrollModel* GetVScrollModel() { return nullptr; }

  // ---- clipboard ----
  // The element's content as text (empty by default).
  virtual std::wstring HandleAsString() const;
  // Puts the element's text on the clipboard; false when there was nothing to copy.
  virtual bool HandleCopyToClipboard() const;
  // Whether CopyToClipboard stops at this element (false by default: it asks the parent).
  virtual bool IsCopyToClipboardEnabled() const;

  // (element, modifiers, key): a key went down while this element had the focus; emitted before
  // the element and its ancestors handle the key.
  utilkit2::signal_t<CVisualElement*, int, int> KeyDown;
  // The element's scroll extent or position changed (scroll boxes follow it).
  utilkit2::signal_t<CVisualElement*> ScrollStateChanged;
  // The element is being destroyed (its derived parts are gone already): objects that keep a
  // pointer to it without owning it (scroll boxes, splitters) forget it here.
  utilkit2::signal_t<CVisualElement*> Destroyed;

 protected:
  // ---- hooks the control calls ----
  // The element now belongs to a control (called once, after construction completed).
  virtual void AfterSetControl() {}
  // The system palette changed.
  virtual void SysColorsChanged() {}
  // A size-relevant attribute changed (font, visibility, attachment, system metrics); the base
  // lays out and repaints the element.
  virtual void AttributeChanged();
  // The keyboard focus moved from `oldFocus` to `newFocus` (either may be null) and one of them
  // lies inside this element; `focused` tells whether the control has the input focus.
  virtual void HandleChildFocusChanged(CVisualElement* oldFocus, CVisualElement* newFocus,
                                       bool focused);
  // The control gained or lost the input focus (sent to every element).
  virtual void HandleControlChangeFocus(bool focused);
  // This element gained or lost the keyboard focus.
  virtual void HandleFocusChanged(bool focused);
  // Paints the element in its own pixels, clipped to its visible part; the base fills it with
  // the background colour. Children are painted afterwards by the control.
  virtual void DrawContent(orrin7::IPainter* painter);
  // Fills in a tooltip; false when the element has none (the parent is asked next).
  virtual bool HandleOnTooltip(CTooltipEvent& event);
  // Pointer and key events; answering true stops wheel and key events from reaching the parent.
  virtual bool HandleMouseDown(const CMouseEvent& event);
  virtual bool HandleMouseUp(const CMouseEvent& event);
  virtual bool HandleMouseMove(const CMouseEvent& event);
  virtual bool HandleMouseDoubleClick(const CMouseEvent& event);
  virtual void HandleMouseLeave() {}
  virtual bool HandleMouseWheel(const CWheelEvent& event);
  virtual bool HandleKeyDown(const CKeyEvent& event);
  virtual bool HandleKeyUp(const CKeyEvent& event);

  // ---- hooks for framework classes (overrides call the base) ----
  // Places the children; the base runs the alignment layout in the content rectangle.
  virtual void AlignChildren();
  // After the bounds changed.
  virtual void HandleBoundsChanged() {}
  // Before AfterSetControl.
  virtual void HandleControlAttached() {}
  // Before SysColorsChanged: the palette or the system metrics changed.
  virtual void HandleSystemChanged() {}

 private:
  friend class CControl;
  friend bool CopyToClipboard(const CVisualElement* element);

  // The control's root element.
  explicit CVisualElement(CControl* control);

  void ApplyBounds(const orrin7::rectangle<int>& rect, bool redraw);
  void ParentRelayout();
  // Gives up the control for this element and everything inside it (a detached child).
  void LeaveControl();
  int IndexOfChildHolding(const CVisualElement* element) const;
  bool IsBeingDestroyed() const;
  bool HasVisibleClientChild() const;

  CVisualElement* m_parent = nullptr;
  std::vector<CVisualElement*> m_children;  // in creation order
  CControl* m_control = nullptr;            // not owned
  Alignment m_alignment = AL_None;
  orrin7::size<int> m_requested;
  orrin7::rectangle<int> m_bounds;
  bool m_visible = true;
  bool m_tabStop = false;
  bool m_aligning = false;
  bool m_alignAgain = false;
  bool m_destroying = false;
  bool m_bkColorSet = false;
  bool m_fgColorSet = false;
  bool m_fontSet = false;
  bool m_backgroundCovered = false;
  orrin7::_color m_bkColor;
  orrin7::_color m_fgColor;
  orrin7::font m_font;
  int m_cursor = CR_Arrow;
};

// True when `element` is `ancestor` itself or lies inside it; false when either is null.
bool IsAncestor(const CVisualElement* ancestor, const CVisualElement* element);

// Copies on behalf of `element`: the nearest of it and its ancestors whose
// IsCopyToClipboardEnabled answers true puts its text on the clipboard (HandleCopyToClipboard).
// False when none does or nothing was copied.
bool CopyToClipboard(const CVisualElement* element);

}  // namespace orrinfrw7

#pragma GCC visibility pop
