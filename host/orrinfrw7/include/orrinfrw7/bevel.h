// CBevel, a frame or separator line (flat, sunken or raised), and CSplitter, a bevel that
// resizes a neighbouring element when dragged.
#pragma once

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/visual_element.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// How the lines of a bevel look.
enum BevelStyle : int {
  BVS_Flat = 0,    // one line in the separator colour
  BVS_Sunken = 1,  // a dark line with a light one below or to the right of it
  BVS_Raised = 2,  // a light line with a dark one below or to the right of it
};

// Where a bevel draws its lines, over its background.
enum BevelShape : int {
  BVSH_Spacer = 0,      // no line: the background alone
  BVSH_Box = 1,         // a frame along all four edges
  BVSH_TopLine = 2,     // along the top edge
  BVSH_BottomLine = 3,  // along the bottom edge
  BVSH_LeftLine = 4,    // along the left edge
  BVSH_RightLine = 5,   // along the right edge
};

// A sunken box unless told otherwise; its background is the element's background colour.
class CBevel : public CVisualElement {
 public:
  CBevel(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment);

  // Values outside the enumerations are drawn as BVS_Flat and BVSH_Spacer.
  void SetStyle(int style);
  int GetStyle() const { return m_style; }
  void SetShape(int shape);
  int GetShape() const { return m_shape; }

 protected:
  void DrawContent(orrin7::IPainter* painter) override;
  void SysColorsChanged() override { Invalidate(); }
  // One edge line, two pixels deep unless flat; `outer` is the pixel row or column of the edge.
  void DrawEdge(orrin7::IPainter* painter, bool horizontal, int outer, int inwards);

 private:
  int m_style = BVS_Sunken;
  int m_shape = BVSH_Box;
};

// A bar between two elements: dragging it with the left button changes the width (for a splitter
// aligned left or right) or the height (aligned top or bottom) of its sized neighbour, while the
// other neighbour (usually the one filling the rest) gives up or gains the room. The pointer shows
// a resize cursor over it. Neighbours are not owned and are forgotten when destroyed. A raised
// bar unless told otherwise.
class CSplitter : public CBevel, public utilkit2::subscriber_base_t {
 public:
  CSplitter(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment);

  void SetNeighbours(CVisualElement* sized, CVisualElement* other);
  CVisualElement* GetSizedNeighbour() const { return m_sized; }
  CVisualElement* GetOtherNeighbour() const { return m_other; }
  // Pixels each neighbour keeps at least (20 by default; negative values count as 0).
  void SetMinimumSizes(int sized, int other);
  // Aligned top or bottom: the bar lies across and drags up and down.
  bool IsHorizontal() const;

  // (splitter, new width or height of the sized neighbour), after each change during a drag.
  utilkit2::signal_t<CSplitter*, int> Moved;

 protected:
  // A box shows only the bar's two long edges.
  void DrawContent(orrin7::IPainter* painter) override;
  bool HandleMouseDown(const CMouseEvent& event) override;
  bool HandleMouseMove(const CMouseEvent& event) override;
  bool HandleMouseUp(const CMouseEvent& event) override;

 private:
  void OnNeighbourDestroyed(CVisualElement* element);
  void UpdateCursor();
  // Along the drag axis: a point in control pixels, an element's size.
  int Along(const orrin7::point<int>& p) const { return IsHorizontal() ? p.y : p.x; }
  int SizeOf(const CVisualElement* element) const;

  CVisualElement* m_sized = nullptr;  // not owned
  CVisualElement* m_other = nullptr;  // not owned
  int m_minSized = 20;
  int m_minOther = 20;
  bool m_dragging = false;
  int m_dragStart = 0;   // pointer, control pixels along the drag axis
  int m_startSize = 0;   // the sized neighbour's size when the drag began
  int m_startOther = 0;  // the other neighbour's size then
  int m_direction = 1;   // +1 when moving towards larger coordinates grows the sized neighbour
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
