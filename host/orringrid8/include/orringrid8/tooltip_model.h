// ITooltipModel: the tooltips of a grid's cells, and the answer to a tooltip request over the
// cells of a grid viewer from such a model.
#pragma once

#include <string>

#include "orrin7/types.h"
#include "orrinfrw7/events.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/viewer.h"

#pragma GCC visibility push(default)

namespace orringrid8 {

// Supplies the tip of each cell of a grid. The grid that is given a model does not own it.
// Rows and columns are the grid's positions (its row and column view models' items).
class ITooltipModel {
 public:
  virtual ~ITooltipModel() = default;

  // The tip's text; empty: the cell has none.
  virtual std::wstring GetTooltipText(int row, int column) = 0;
  // Places the tip of the cell whose rectangle is `cell` (element pixels): sets the rectangle of
  // the tooltip request being answered, the area the tip belongs to (the window shows the tip
  // under it and takes it away when the pointer leaves it). The default gives the tip the cell.
  virtual void PlaceTooltip(orrinfrw7::CTooltipEvent& event, int /*row*/, int /*column*/,
                            const orrin7::rectangle<int>& cell) {
    event.rect = cell;
  }
};

// Answers a tooltip request at (event.x, event.y) over the cells of a grid viewer whose rows and
// columns come from `rows` and `columns`, placed in `central`: the text and the placement come
// from `model`. False over no cell or for a cell without a tip.
inline bool QueryCellTooltip(ITooltipModel& model, const orrinfrw7::IContinuousItemViewModel* rows,
                             const orrinfrw7::IContinuousItemViewModel* columns,
                             const orrinfrw7::CCentralPart& central,
                             orrinfrw7::CTooltipEvent& event) {
  if (!central.GetPos().contains(event.x, event.y)) return false;
  const orrin7::point<int> at = central.ElementToView({event.x, event.y});
  const int row = orrinfrw7::Utils::HitTest(rows, at.y);
  const int column = orrinfrw7::Utils::HitTest(columns, at.x);
  if (row < 0 || column < 0) return false;
  event.text = model.GetTooltipText(row, column);
  if (event.text.empty()) return false;
  const orrin7::range<int> ys = orrinfrw7::Utils::GetItemIndexRange(rows, row);
  const orrin7::range<int> xs = orrinfrw7::Utils::GetItemIndexRange(columns, column);
  const orrin7::point<int> origin = central.ViewToElement({xs.low(), ys.low()});
  model.PlaceTooltip(event, row, column,
                     {origin.x, origin.y, origin.x + xs.length(), origin.y + ys.length()});
  return true;
}

}  // namespace orringrid8

#pragma GCC visibility pop
