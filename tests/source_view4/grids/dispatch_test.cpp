// Which painter draws which cell with which record: links, no-data columns, summary cells,
// ending grid lines, focus edges, and the indented flat rows of a hierarchical grid.
#include "grid_fixture.h"
#include "support/recording_painter.h"

namespace grids_test {
namespace {

// Columns showing 1, no data, 2 (60 px each), painted by A, N, B; summaries by S0, S1, S2; a link
// painter L; three rows, a link in row 2 column 2, flags 2 on row 0 column 1.
class dispatch_test : public grid_fixture_t<auxiliary_grid_t> {
 protected:
  dispatch_test() {
    grid->set_columns({1, no_data, 2}, {});
    for (unsigned int c = 0; c < 3; ++c) {
      grid->set_column_width(c, 60);
      grid->set_column_summary_painter(c, logger("S" + std::to_string(c)));
    }
    a = log_column(0, "A");
    log_column(1, "N");
    b = log_column(2, "B");
    grid->set_link_painter(logger("L"));
    model->set_row_count(3);
    model->set_data(2, 2, std::wstring(L"go"));
    model->set_link(2, 2, 77);
    model->set_cell_flags(0, 1, 2);
    model->set_summary_data(1, std::wstring(L"sum"));
  }
  ptr<logging_painter_t> a, b;
};

TEST_F(dispatch_test, PainterChoiceRecordsAndSummaryCells) {
  EXPECT_EQ(painted(),
            (strings{"A 0 1 '' f2 e0", "B 0 2 '' f0 e0", "A 1 1 '' f0 e0", "B 1 2 '' f0 e0",
                     "A 2 1 '' f0 e0", "L 2 2 'go' f0 e0", "S0 4294967295 4294967295 'sum' f0 e0",
                     "S2 4294967295 4294967295 '' f0 e0"}));
  // Right and bottom edges on the cell's last pixels.
  EXPECT_EQ(log[5].params.rect, orrin7::rectangle<double>(120, 40, 179, 59));
  EXPECT_EQ(log[5].params.line_height, 20u);
  EXPECT_EQ(log[6].params.rect, orrin7::rectangle<double>(0, 0, 59, 19));  // not widened
  EXPECT_EQ(log[6].params.data_model.get(), nullptr);
}

// Only the last row gets a horizontal line, every column but the last a vertical one; the link
// painter takes the column painter's switches, and the column painter's own come back.
TEST_F(dispatch_test, EndingLinesAreSetPerCellAndRestored) {
  a->set_draw_horizontal_lines(false);
  b->set_draw_vertical_lines(false);
  const auto lines = [&] {
    std::string out;
    painted();
    for (const drawn_t& d : log)
      if (d.painter.size() == 1) out += d.painter + "-h"[d.hlines] + "-v"[d.vlines] + " ";
    return out;
  };
  EXPECT_EQ(lines(), "A-v Bh- A-v Bh- A-v Lh- ");  // the painters' own switches
  grid->enable_ending_grid_hlines(true);
  grid->enable_ending_grid_vlines(true);
  EXPECT_EQ(lines(), "A-v B-- A-v B-- Ahv Lh- ");
  EXPECT_EQ(std::make_tuple(a->get_draw_horizontal_lines(), b->get_draw_horizontal_lines(),
                            b->get_draw_vertical_lines()),
            std::make_tuple(false, true, false));
  EXPECT_TRUE(cells->IsEmptyAreaSeparatorDrawn());
  EXPECT_FALSE(summary->IsEmptyAreaSeparatorDrawn());
}

TEST_F(dispatch_test, FocusEdgesOnlyForTheFocusedCurrentRow) {
  grid->set_columns({1, 2, 3}, {});
  for (unsigned int c = 0; c < 3; ++c) log_column(c, "P");
  sv4_test::recording_painter_t surface;
  const struct {
    bool focused, frames, left, right;
    int current, column, state, edges;
  } cases[] = {
      {true, true, false, false, 1, 0, 0, 12},  // top and bottom
      {true, true, true, false, 1, 0, 1, 13},   // left edge in column 0
      {true, true, true, false, 1, 1, 3, 12},   // not in column 1
      {true, true, false, true, 1, 2, 0, 14},   // right edge in the last column
      {true, true, true, true, 0, 0, 0, 0},     // not the current row
      {false, true, true, true, 1, 0, 0, 0},    // not focused
      {true, false, true, true, 1, 0, 0, 0},    // the host hides focus frames
  };
  for (const auto& c : cases) {
    control.SetFocusedElement(c.focused ? cells : nullptr);
    control.SetFocusFrameVisible(c.frames);
    cells->GetRowSelectionModel()->SetCurrent(c.current);
    grid->set_draw_left_focus_rect(c.left);
    grid->set_draw_right_focus_rect(c.right);
    log.clear();
    grid->on_draw_cell(&surface, 1, unsigned(c.column), c.state, {0, 0, 60, 20});
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].params.focus_edges, c.edges) << c.column << " " << c.current;
    EXPECT_EQ(log[0].params.active, (c.state & 1) != 0);
    EXPECT_EQ(log[0].params.painter, &surface);
  }
}

// View rows: a group (flat 0), a leaf at level 1 (flat 3), one at level 2 (flat 5). Leaves are
// drawn from their flat rows, with those rows' flags and links, indented in column 0 only.
TEST_F(dispatch_test, HierarchicalRowsIndentLeavesAndReadFlatRows) {
  grid->set_columns({1, 2}, {});
  const auto shared = log_column(0, "A");
  grid->set_column_painter(1, shared);
  grid->set_group_painter(ptr<logging_t<column_painters::group_painter_t>>(
      new logging_t<column_painters::group_painter_t>("G", &log)));
  model->set_row_count(6);
  model->set_cell_flags(3, 1, 1);
  model->set_data(5, 2, std::wstring(L"far"));
  model->set_link(5, 2, 9);
  const ptr<fake_hierarchy_t> tree(new fake_hierarchy_t(
      model, hierarchical_mode_groups,
      {{row_state_collapsed, 0, 0}, {row_state_none, 1, 3}, {row_state_none, 2, 5}}));
  grid->set_hierarchical_data_model(tree, /*show_group_button=*/true);
  grid->enable_ending_grid_hlines(true);
  tree->hierarchy_updated.emit();
  EXPECT_EQ(rows().GetCount(), 3);
  EXPECT_EQ(painted(), (strings{"G 0 1 '' f2 e0", "G 0 2 '' f0 e0", "A 3 1 '' f1 e0",
                                "A 3 2 '' f0 e0", "A 5 1 '' f0 e0", "L 5 2 'far' f0 e0"}));
  std::string detail;  // left margin, button, horizontal line
  for (const drawn_t& d : log)
    detail += std::to_string(d.margin_left) + "-b"[d.button] + "-h"[d.hlines] + " ";
  EXPECT_EQ(detail, "2b- 2-- 17-- 2-- 32-h 2-h ");  // 15 px a level; the last view row closes
  EXPECT_EQ(shared->get_margins().left, 2);
  EXPECT_EQ(log[0].params.hierarchical_model.get(), tree.get());
  tree->mode = hierarchical_mode_snippets;  // group rows go to the column painters
  EXPECT_EQ(painted()[0], "A 0 1 '' f2 e0");
}

// A group row whose flat row carries a link is drawn by the link painter with that row's text.
TEST_F(dispatch_test, LinkedGroupRowGetsTheTextOfItsFlatRow) {
  model->set_row_count(6);
  model->set_data(4, 1, std::wstring(L"four"));
  model->set_link(4, 1, 8);
  grid->set_hierarchical_data_model(
      ptr<fake_hierarchy_t>(
          new fake_hierarchy_t(model, hierarchical_mode_groups, {{row_state_collapsed, 0, 4}})),
      true);
  EXPECT_EQ(painted()[0], "L 4 1 'four' f0 e0");  // the record carries the flat row
}

}  // namespace
}  // namespace grids_test
