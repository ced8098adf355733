// How the example grids paint a plain text cell, shared by the examples and the viewer benchmark.
#pragma once

#include <string>

#include "orrin7/painter.h"
#include "orrin7/system.h"
#include "orrinfrw7/viewer.h"

namespace examples {

// Paints `text` in one cell of a grid viewer: the visible part `visible` gets the background,
// selected cells (state bit CS_Selected) in the selection colours; the text and the separator
// lines on the right and bottom edges are placed in the whole cell `cell`, also its part scrolled
// out of view, so that they keep their place; the focused current row gets a dotted frame.
inline void DrawPlainTextCell(orrin7::IPainter* painter, const orrin7::rectangle<double>& visible,
                              const orrin7::rectangle<double>& cell, int state,
                              const std::wstring& text) {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const bool selected = state & orrinfrw7::CS_Selected;
  painter->SetBrush(orrin7::brush(
      palette.GetColor(selected ? orrin7::PAL_SelectionBackground : orrin7::PAL_CellBackground),
      1));
  painter->FillRect(visible.left, visible.top, visible.right, visible.bottom);
  painter->SetTextColor(palette.GetColor(selected ? orrin7::PAL_SelectionText : orrin7::PAL_Text));
  painter->DrawStringNative(
      orrin7::rectangle<double>(cell.left + 4, cell.top, cell.right - 4, cell.bottom), text,
      orrin7::TA_Left | orrin7::TA_VCenter | orrin7::TA_SingleLine | orrin7::TA_EndEllipsis);
  painter->SetBrush(orrin7::brush(palette.GetColor(orrin7::PAL_Separator), 1));
  painter->FillRect(cell.right - 1, cell.top, cell.right, cell.bottom);
  painter->FillRect(cell.left, cell.bottom - 1, cell.right, cell.bottom);
  if (!(state & orrinfrw7::CS_Current) || !(state & orrinfrw7::CS_Focused)) return;
  orrin7::DrawFocusLine(painter, {cell.left, cell.top}, {cell.right - 1, cell.top}, false);
  orrin7::DrawFocusLine(painter, {cell.left, cell.bottom - 2}, {cell.right - 1, cell.bottom - 2},
                        false);
}

}  // namespace examples
