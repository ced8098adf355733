// Scrolling widgets: CScrollBar (arrows, track and thumb), CScrollElement (an element with a
// horizontal and a vertical bar around its content) and CScrollBox (a scroll element whose bars
// drive other elements, keeping connected elements on one scroll position).
#pragma once

#include <vector>

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/visual_element.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

enum Orientation : int {
  OR_Horizontal = 0,
  OR_Vertical = 1,
};

// When a scroll element shows a bar.
enum ScrollBarMode : int {
  SBM_Auto = 0,    // while there is more to see than the view holds
  SBM_Always = 1,  // always (its room is kept also with nothing to scroll)
  SBM_Never = 2,
};

// A scroll bar: an arrow button at each end and the track between them with the thumb, whose
// length is the visible part of the extent. Positions are in the scroll units of whatever the
// bar drives. An arrow click moves one line, a click in the track one page towards the pointer,
// dragging the thumb moves proportionally; the bar then emits PositionRequested and its owner
// applies the position. Holding an arrow or the track repeats the step (after kRepeatDelayMs,
// then every kRepeatIntervalMs) while the pointer stays on the part pressed and, for the track,
// until the thumb reaches the pointer. A scroll element creates and owns its two bars as children.
class CScrollBar : public CVisualElement {
 public:
  CScrollBar(CVisualElement* parent, Orientation orientation);

  static constexpr int kRepeatDelayMs = 400;
  static constexpr int kRepeatIntervalMs = 33;
  // Pixels a thumb never gets shorter than (while the track is that long).
  static constexpr int kMinThumbLength = 24;

  Orientation GetOrientation() const { return m_orientation; }
  // Extent, visible part and the units of one arrow click; negative values count as 0.
  void SetRange(double total, double page, double line);
  // Clamped to 0 … GetMaxPosition().
  void SetPosition(double position);
  double GetPosition() const { return m_position; }
  double GetTotal() const { return m_total; }
  double GetPage() const { return m_page; }
  double GetMaxPosition() const;
  // Element pixels of the track between the arrows and of the thumb (empty with nothing to scroll).
  orrin7::rectangle<int> GetTrackRect() const;
  orrin7::rectangle<int> GetThumbRect() const;

  // (bar, position): the user asked for a position (already clamped).
  utilkit2::signal_t<CScrollBar*, double> PositionRequested;

 protected:
  void DrawContent(orrin7::IPainter* painter) override;
  bool HandleMouseDown(const CMouseEvent& event) override;
  bool HandleMouseMove(const CMouseEvent& event) override;
  bool HandleMouseUp(const CMouseEvent& event) override;
  void HandleMouseLeave() override;
  void SysColorsChanged() override { Invalidate(); }

 private:
  // The part of the bar a press started on (and that repeats while held).
  enum class Part { none, arrowBack, arrowForward, trackBack, trackForward, thumb };
  Part PartAt(int along) const;
  // One step of the part pressed; false when it has nothing left to do.
  bool Step(Part part);
  void StopRepeat();
  void SetThumbHover(bool hover);

  // Pixels along the bar, across it, and of one arrow button.
  int Length() const;
  int Thickness() const;
  int ArrowSize() const;
  int Along(const CMouseEvent& event) const;
  // Thumb start and length along the bar; length 0 without a thumb.
  orrin7::range<int> ThumbSpan() const;
  orrin7::rectangle<int> AcrossRect(int from, int to) const;
  void Request(double position);
  void DrawArrow(orrin7::IPainter* painter, const orrin7::rectangle<int>& box, bool towardsEnd);

  Orientation m_orientation;
  double m_total = 0;
  double m_page = 0;
  double m_line = 1;
  double m_position = 0;
  bool m_dragging = false;
  bool m_thumbHover = false;
  Part m_pressed = Part::none;
  bool m_pointerInside = false;  // the pointer is over the bar (during a press)
  int m_pointerAlong = 0;        // where along the bar, as of the press or the last move
  int m_repeatTimer = 0;
  int m_dragStart = 0;  // pointer position along the bar when the thumb drag began
  double m_dragPosition = 0;
};

// An element with two scroll bars along its right and bottom edges; its content rectangle (where
// its children are laid out) leaves the bars' room. The bars show the scroll models of
// GetAxisModel and move them; the wheel over the element scrolls three lines per notch
// (vertically; horizontally with Shift or for a sideways wheel). Call UpdateScrollBars after the
// models changed; scroll boxes do it themselves when the elements they drive report changes.
class CScrollElement : public CVisualElement, public utilkit2::subscriber_base_t {
 public:
  CScrollElement(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment);

  bool IsScrollBarVisible(Orientation orientation) const;
  void SetScrollBarMode(Orientation orientation, ScrollBarMode mode);
  // Thickness of the bars: the system's row height (metric 0), so that a horizontal bar is as
  // high as a grid row.
  int GetScrollBarSize() const;
  CScrollBar* GetScrollBar(Orientation orientation) const;
  orrin7::rectangle<int> GetContentRect() const override;

  // Reads the models into the bars and shows or hides the bars (laying the children out again
  // when the content rectangle changed).
  void UpdateScrollBars();
  // Position along an axis, in the units of its model (0 without one).
  double GetScrollPosition(Orientation orientation);
  // Scrolls the content along an axis and brings the bars up to date.
  void SetScrollPosition(Orientation orientation, double position);

 protected:
  // The model whose extent and position the bar of an axis shows; null: nothing scrolls that way.
  // The base answers the element's own scroll models.
  virtual IScrollModel* GetAxisModel(Orientation orientation);
  // Pixels of the part of the content in view along the axis; the base answers the content
  // rectangle's width or height.
  virtual int GetAxisViewPixels(Orientation orientation);
  // Moves what the axis scrolls to `position` (units of the axis model).
  virtual void ApplyScrollPosition(Orientation orientation, double position);

  void AlignChildren() override;
  void DrawContent(orrin7::IPainter* painter) override;
  bool HandleMouseWheel(const CWheelEvent& event) override;
  void HandleControlAttached() override;
  void HandleSystemChanged() override;

 private:
  void OnBarRequested(CScrollBar* bar, double position);
  // Pixels one scroll unit of the model covers (at least 1).
  static int PixelsPerUnit(const IScrollModel* model);

  CScrollBar* m_bars[2] = {nullptr, nullptr};  // children, owned by the element tree
  ScrollBarMode m_modes[2] = {SBM_Auto, SBM_Auto};
  bool m_updating = false;
  bool m_updateAgain = false;
};

// How ConnectElement ties an element to a scroll box.
enum ScrollConnection : int {
  SC_Horizontal = 1,  // the box's horizontal bar; typically elements of one region
  SC_Vertical = 2,    // the box's vertical bar; typically the rows of several regions
};

// A scroll element that scrolls the elements connected to it (usually its descendants, which are
// then laid out to fit the view rather than scrolled as a whole). Along each axis, the driving
// element's scroll model gives the bar its extent and position (the first element connected
// drives until one is connected as driving), and every connected element is kept on the same
// position in scroll units: when one scrolls (its own wheel, keyboard or the bar), the box moves
// the others along. Elements are not owned; a destroyed element leaves the box by itself.
class CScrollBox : public CScrollElement {
 public:
  CScrollBox(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment);

  // `type` is SC_Horizontal or SC_Vertical; another value is reported to the assertion hook and
  // ignored. Connecting an element again along the same axis changes only its driving flag.
  void ConnectElement(CVisualElement* element, int type, bool driving = false);
  void DisconnectElement(CVisualElement* element);
  CVisualElement* GetDrivingElement(Orientation orientation) const;

 protected:
  IScrollModel* GetAxisModel(Orientation orientation) override;
  int GetAxisViewPixels(Orientation orientation) override;
  void ApplyScrollPosition(Orientation orientation, double position) override;

 private:
  struct connection_t {
    CVisualElement* element;  // not owned
    Orientation axis;
    bool driving;
    double synced;  // the element's position when the box last moved or followed it
  };

  static IScrollModel* ModelOf(const connection_t& c);
  bool IsConnected(const CVisualElement* element) const;
  void OnElementScrollState(CVisualElement* element);
  void OnElementDestroyed(CVisualElement* element);

  std::vector<connection_t> m_connections;
  bool m_syncing = false;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
