// CTextGridViewer: a grid viewer whose cells show their row and column as plain text, with
// selected rows in the selection colours and a focus frame on the current row. The grid_viewer
// example and the viewer benchmark show it.
#pragma once

#include <string>

#include "orrin7/painter.h"
#include "orrin7/system.h"
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
    const orrin7::IPalette& palette = orrin7::GetSysPalette();
    const bool selected = state & orrinfrw7::CS_Selected;
    painter->SetBrush(orrin7::brush(
        palette.GetColor(selected ? orrin7::PAL_SelectionBackground : orrin7::PAL_CellBackground),
        1));
    painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
    // The whole cell, also the part scrolled out of view, so that text keeps its place.
    const orrin7::rectangle<double> cell(rect.left - columnOffset, rect.top - rowOffset,
                                         rect.left - columnOffset + Columns().GetItemSize(column),
                                         rect.top - rowOffset + Rows().GetItemSize(row));
    painter->SetTextColor(
        palette.GetColor(selected ? orrin7::PAL_SelectionText : orrin7::PAL_Text));
    painter->DrawStringNative(
        orrin7::rectangle<double>(cell.left + 4, cell.top, cell.right - 4, cell.bottom),
        L"Row " + std::to_wstring(row + 1) + L", column " + std::to_wstring(column + 1),
        orrin7::TA_Left | orrin7::TA_VCenter | orrin7::TA_SingleLine | orrin7::TA_EndEllipsis);
    painter->SetPen(orrin7::pen(palette.GetColor(orrin7::PAL_Separator), 0, 1));
    painter->MoveTo(cell.right - 0.5, cell.top);
    painter->LineTo(cell.right - 0.5, cell.bottom);
    painter->MoveTo(cell.left, cell.bottom - 0.5);
    painter->LineTo(cell.right, cell.bottom - 0.5);
    if ((state & orrinfrw7::CS_Current) && (state & orrinfrw7::CS_Focused))
      DrawFocusFrame(painter, cell);
  }

 private:
  static void DrawFocusFrame(orrin7::IPainter* painter, const orrin7::rectangle<double>& cell) {
    const double right = cell.right - 1;
    const double bottom = cell.bottom - 1;
    orrin7::DrawFocusLine(painter, {cell.left, cell.top}, {right, cell.top}, false);
    orrin7::DrawFocusLine(painter, {cell.left, bottom}, {right, bottom}, false);
  }
};

}  // namespace grid_viewer
