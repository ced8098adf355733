// The tooltips of the branch column: each branch of the line under the pointer with what its
// label means ("branch 0: taken 1496 times").
#pragma once
#include <string>

#include "orringrid8/tooltip_model.h"
#include "source_view4/source_view_grid.h"

namespace source_view_app {

// One line per label of a branch_labels cell value, read from its image (taken, not taken, never
// executed) and its text (the count); empty for any other value or an empty list.
std::wstring branch_tooltip_text(const source_view4::cell_value_t& value);

// The tooltip model of a metric grid: a cell of the branch column explains its labels, other
// cells have no tip. Reads the grid's models at each request, so that it keeps no rows of its
// own. The grid must outlive it.
class branch_tooltip_model_t : public orringrid8::ITooltipModel {
 public:
  explicit branch_tooltip_model_t(source_view4::source_view_grid_base_t& grid) : m_grid(grid) {}
  // (grid row, column position on screen)
  std::wstring GetTooltipText(int row, int column) override;

 private:
  source_view4::source_view_grid_base_t& m_grid;
};

}  // namespace source_view_app
