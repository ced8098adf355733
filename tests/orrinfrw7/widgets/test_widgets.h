// Shared pieces of the widget tests: rectangles as text, a drag by injected events, and a grid
// viewer that paints every row in a colour of its own (selected rows black).
#pragma once

#include <string>

#include "orrinfrw7/offscreen_control.h"
#include "orrinfrw7/viewer.h"

namespace widgets_test {

// "left,top,right,bottom": one comparison and a readable failure for a whole rectangle.
inline std::string Str(const orrin7::rectangle<int>& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// Presses at (x0, y0), moves half way and on to (x1, y1) and releases there.
inline void Drag(orrinfrw7::COffscreenControl& control, int x0, int y0, int x1, int y1) {
  control.MouseMove(x0, y0);
  control.MouseDown(x0, y0);
  control.MouseMove((x0 + x1) / 2, (y0 + y1) / 2);
  control.MouseMove(x1, y1);
  control.MouseUp(x1, y1);
}

using CGrid = orrinfrw7::CGridViewer<orrinfrw7::IContinuousItemViewModel,
                                     orrinfrw7::IContinuousItemViewModel>;

inline orrin7::_color RowColour(int row) {
  return orrin7::_color::rgb(std::uint8_t(row * 37), std::uint8_t(row * 91), 200);
}

// 1000 rows of 20 pixels and three columns of 80 in models of its own.
class colour_grid_t : public CGrid {
 public:
  colour_grid_t(orrinfrw7::CVisualElement* parent, orrinfrw7::Alignment alignment)
      : CGrid(parent, {0, 0}, alignment) {
    SetRowHeightUpdating(false);
    Rows().SetDefaultItemSize(20);
    Rows().SetCount(1000);
    auto* columns = static_cast<orrinfrw7::CSimpleDiscreteItemViewModel*>(GetColumnViewModel());
    columns->SetDefaultItemSize(80);
    columns->SetCount(3);
  }
  orrinfrw7::CSimpleDiscreteItemViewModel& Rows() {
    return static_cast<orrinfrw7::CSimpleDiscreteItemViewModel&>(*GetRowViewModel());
  }
  int Top() const { return GetRowViewModel()->GetViewStart(); }

 protected:
  void DrawCell(orrin7::IPainter* painter, int row, int, int, int, int state,
                const orrin7::rectangle<double>& rect, int) override {
    const bool selected = state & orrinfrw7::CS_Selected;
    painter->SetBrush(orrin7::brush(selected ? orrin7::_color::rgb(0, 0, 0) : RowColour(row), 1));
    painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
  }
};

}  // namespace widgets_test
