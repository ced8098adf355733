// Puts a loaded view into a source_view_element_t: columns and their painters, branch icons, the
// navigation strip's marks, function groups and snippet rows, found-text marks and line jumps.
#pragma once
#include <string>
#include <vector>

#include "branch_tooltips.h"
#include "source_view4/source_view_element.h"
#include "view_data.h"

namespace source_view_app {

// The element with its text export reachable (--text prints what Ctrl+C would copy of every row),
// the entries of expanded snippets acting as links (a left click on an entry's line reports the
// row and the entry, and the pointer shows a hand over the entries that can be followed), and
// tooltips over the branch column.
class viewer_element_t : public source_view4::source_view_element_t {
 public:
  viewer_element_t(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                   orrinfrw7::Alignment alignment);
  std::wstring export_text() const { return HandleAsString(); }

  // (flat row, index of the entry in the row's snippet)
  utilkit2::signal_t<unsigned, unsigned> snippet_entry_clicked;

  // Control pixels of the top-left corner of view row `row`'s source cell.
  orrin7::point<int> source_cell_origin(unsigned row) const;

 private:
  // The entry of an expanded snippet under (x, y), relative to the cell of view row `row`, as an
  // index into its items, with its flags in `flags` when given; -1 elsewhere.
  int snippet_entry_at(int row, int x, int y, unsigned* flags = nullptr);
  void on_center_mouse_move(int row, int column, int x, int y, int, orrin7::MouseButton);
  void on_center_click(int row, int column, int x, int y, int, orrin7::MouseButton button);

  branch_tooltip_model_t m_branch_tips;  // the right grid's; the grid holds a pointer to it
};

// Columns, painters, captions and widths of the three grids, the hierarchical mode with its
// groups or snippet rows, and the strip's marks, for a model already filled by the importers.
void show_view(viewer_element_t& element, const view_description_t& view, view_mode_t mode);

// The view row that shows model row `flat_row`, expanding its function's group when it is
// collapsed; the flat row itself in flat and snippet modes.
unsigned view_row_of(viewer_element_t& element, unsigned flat_row);

// The model row of 1-based source line `line` (the nearest row when the line has none).
unsigned row_of_line(const view_description_t& view, unsigned line);

// Marks every match of `text` in the source column of every row (case-sensitive) and answers the
// model rows that have one, in order. The match at `current` (an index into that list) is drawn
// as the current one. An empty text clears the marks.
std::vector<unsigned> mark_matches(source_view4::data_model_t& model, const std::wstring& text,
                                   std::size_t current);

// Centres and focuses the view row that shows model row `flat_row`.
void go_to_row(viewer_element_t& element, unsigned flat_row);

}  // namespace source_view_app
