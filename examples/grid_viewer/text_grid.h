// CTextGridViewer: a grid viewer whose cells show their row and column as plain text, with
// selected rows in the selection colours and a focus frame on the current row. The grid_viewer
// example and the viewer benchmark show it.
#pragma once

#include <string>

#include "../common/plain_text_cell.h"
#include "orrinfrw7/viewer.h"

namespace grid_viewer {

using CGrid = orrinfrw7::CGridViewer<orrinfrw7::IContinuousItemViewModel,
                                     orrinfrw7::IContinuousItemViewModel>;

class CTextGridViewer : public CGrid {
 public:
  // `rows` × `columns` cells, each column `columnWidth` pixels wide.
  CTextGridViewer(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                  orrinfrw7::Alignment alignment, int rows, int columns, int columnWidth)
      : CGrid(parent, size, alignment) {
    Rows().SetCount(rows);
    Columns().SetDefaultItemSize(columnWidth);
    Columns().SetCount(columns);
  }

  orrinfrw7::CSimpleDiscreteItemViewModel& Rows() {
    return static_cast<orrinfrw7::CSimpleDiscreteItemViewModel&>(*GetRowViewModel());
  }
  orrinfrw7::CSimpleDiscreteItemViewModel& Columns() {
    return static_cast<orrinfrw7::CSimpleDiscreteItemViewModel&>(*GetColumnViewModel());
  }

 protected:
  void DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column, int columnOffset,
                int state, const orrin7::rectangle<double>& rect, int updateType) override {
    if (updateType != orrinfrw7::UT_Changed) return;
    const double left = rect.left - columnOffset;
    const double top = rect.top - rowOffset;
    const orrin7::rectangle<double> cell(left, top, left + Columns().GetItemSize(column),
                                         top + Rows().GetItemSize(row));
    examples::DrawPlainTextCell(
        painter, rect, cell, state,
        L"Row " + std::to_wstring(row + 1) + L", column " + std::to_wstring(column + 1));
  }
};

}  // namespace grid_viewer
