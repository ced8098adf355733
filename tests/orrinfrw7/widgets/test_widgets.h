// A grid viewer for the widget tests that paints every row in a colour of its own (selected rows
// black).
#pragma once

#include "orrinfrw7/viewer.h"

namespace widgets_test {

using CGrid = orrinfrw7::CGridViewer<orrinfrw7::IContinuousItemViewModel,
                                     orrinfrw7::IContinuousItemViewModel>;

inline orrin7::_color RowColour(int row) {
  return orrin7::_color::rgb(std::uint8_t(row * 37), std::uint8_t(row * 91), 200);
}

// `rows` rows of 20 pixels and three columns of 80 in models of its own.
class colour_grid_t : public CGrid {
 public:
  colour_grid_t(orrinfrw7::CVisualElement* parent, orrinfrw7::Alignment alignment,
                orrin7::size<int> size = {0, 0}, int rows = 1000)
      : CGrid(parent, size, alignment) {
    SetRowHeightUpdating(false);
    Rows().SetDefaultItemSize(20);
    Rows().SetCount(rows);
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
