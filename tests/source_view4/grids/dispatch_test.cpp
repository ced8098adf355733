// Which painter draws which cell with which record (links, no-data columns, summaries, ending
// lines, focus edges, hierarchical rows), and pointer handling through injected events.
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
  a->set_draw_vertical_lines(false);
  const auto lines = [&] {
    std::string out;
    painted();
    for (const drawn_t& d : log)
      if (d.painter.size() == 1) out += d.painter + "-h"[d.hlines] + "-v"[d.vlines] + " ";
    return out;
  };
  EXPECT_EQ(lines(), "A-- Bhv A-- Bhv A-- Lhv ");  // the painters' own switches
  grid->enable_ending_grid_hlines(true);
  grid->enable_ending_grid_vlines(true);
  EXPECT_EQ(lines(), "A-v B-- A-v B-- Ahv Lh- ");
  EXPECT_EQ(std::make_tuple(a->get_draw_horizontal_lines(), a->get_draw_vertical_lines(),
                            b->get_draw_horizontal_lines(), b->get_draw_vertical_lines()),
            std::make_tuple(false, false, true, true));
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

// ---- the pointer: cursors, links, clicks, group buttons, header menus ----

// Columns showing 11, 12, 13 (60 px each), three rows; a link (77) in row 1, column 1, whose
// text the link painter puts at (2, 2) - (30, 12) of the cell.
class pointer_test : public grid_fixture_t<auxiliary_grid_t> {
 protected:
  pointer_test() {
    grid->set_columns({11, 12, 13}, {});
    for (unsigned int c = 0; c < 3; ++c) grid->set_column_width(c, 60);
    grid->set_link_painter(link);
    model->set_row_count(3);
    model->set_link(1, 12, 77);
    control.Paint();
  }
  // The grid's signals since the last call: "link id", "click x,y row id", "double x,y row id".
  strings emitted() {
    strings out;
    for (const auto& [id] : links.records()) out.push_back("link " + std::to_string(id));
    for (const auto& [name, spy] : {std::pair{"click ", &clicks}, std::pair{"double ", &doubles}})
      for (const auto& [x, y, row, id] : spy->records())
        out.push_back(name + std::to_string(x) + "," + std::to_string(y) + " " +
                      std::to_string(row) + " " + std::to_string(id));
    links.clear(), clicks.clear(), doubles.clear();
    return out;
  }
  std::string hover(int row, int column, int x, int y) {
    const orrin7::point<int> p = at(row, column, x, y);
    control.MouseMove(p.x, p.y);
    return std::to_string(cells->GetCursor()) + " ";
  }

  ptr<logging_painter_t> link = logger("L");
  sv4_test::signal_spy_t<unsigned int> links{grid->link_clicked};
  sv4_test::signal_spy_t<int, int, unsigned int, unsigned int> clicks{grid->cell_clicked};
  sv4_test::signal_spy_t<int, int, unsigned int, unsigned int> doubles{grid->cell_double_clicked};
};

TEST_F(pointer_test, HandCursorOnlyOverLinkText) {
  std::string cursors = hover(1, 1, 10, 5);
  cursors += hover(1, 1, 40, 5);
  cursors += hover(1, 1, 30, 12);  // both edges of the text count
  cursors += hover(0, 0, 10, 5);
  EXPECT_EQ(cursors, "12 1 12 1 ");
  EXPECT_EQ(link->moves, (std::vector<int>{10005, 40005, 30012}));  // the cell's painter hears
  hover(1, 1, 10, 5);
  control.MouseLeave();
  EXPECT_EQ(cells->GetCursor(), 1);
}

TEST_F(pointer_test, ClicksAndDoubleClicksPerButton) {
  const orrin7::point<int> on_link = at(1, 1, 10, 5), beside = at(1, 1, 40, 5);
  const orrin7::point<int> corner = at(2, 2, 7, 9);
  ASSERT_EQ(std::make_pair(corner.x, corner.y), std::make_pair(127, 69));  // 120 + 7, 20 + 40 + 9
  control.Click(on_link.x, on_link.y);
  control.Click(beside.x, beside.y);
  EXPECT_EQ(emitted(), strings{"link 77"});
  control.Click(corner.x, corner.y, orrin7::MB_Right);
  control.Click(on_link.x, on_link.y, orrin7::MB_Middle);
  EXPECT_EQ(emitted(), strings{"click 127,69 2 13"});
  control.DoubleClick(corner.x, corner.y);
  EXPECT_EQ(emitted(), strings{"double 127,69 2 13"});
  control.DoubleClick(corner.x, corner.y, orrin7::MB_Right);  // its first click only
  EXPECT_EQ(emitted(), strings{"click 127,69 2 13"});

  // Column positions are the header's: with column 0 hidden, position 0 shows column 1.
  grid->set_column_visible(0, false);
  control.Paint();
  EXPECT_EQ(hover(1, 0, 10, 5), "12 ");
  const orrin7::point<int> first = at(1, 0, 10, 5);
  control.Click(first.x, first.y);
  control.Click(first.x, first.y, orrin7::MB_Right);
  control.DoubleClick(first.x, first.y);
  EXPECT_EQ(emitted(), (strings{"link 77", "link 77", "click 10,45 1 12", "double 10,45 1 12"}));
}

// View rows: group (flat 0), leaf (flat 1), group (flat 2) with a link in column 0.
TEST_F(pointer_test, GroupButtonsToggleTheirRows) {
  const ptr<column_painters::group_painter_t> group(new column_painters::group_painter_t);
  grid->set_group_painter(group);
  model->set_link(2, 11, 5);
  const ptr<fake_hierarchy_t> tree(new fake_hierarchy_t(
      model, hierarchical_mode_groups,
      {{row_state_collapsed, 0, 0}, {row_state_none, 1, 1}, {row_state_collapsed, 0, 2}}));
  grid->set_hierarchical_data_model(tree, true);
  draw_cell_params_t params;
  params.rect = orrin7::rectangle<double>(cells->GetCellVirtualRect(0, 0));
  const orrin7::rectangle<double> b = group->get_group_control_rect(params);
  const int bx = int(b.left + b.right) / 2, by = int(b.top + b.bottom) / 2;
  ASSERT_TRUE(bx > 2 && bx < 30 && by > 2 && by < 12);  // under the link text of row 2
  auto toggled = sv4_test::spy_on(grid->group_state_changed);
  const auto press = [&](int row, int x, int y, orrin7::MouseButton button) {
    const orrin7::point<int> p = at(row, 0, x, y);
    control.Click(p.x, p.y, button);
    std::string states;
    for (const view_row_t& r : tree->rows) states += std::to_string(r.state);
    return states + " " + std::to_string(tree->default_state);
  };
  EXPECT_EQ(press(0, bx, by, orrin7::MB_Left), "102 1");  // expanded, and the default now
  EXPECT_EQ(press(0, bx, by, orrin7::MB_Left), "202 2");
  EXPECT_EQ(press(0, bx, by, orrin7::MB_Right), "202 2");
  EXPECT_EQ(press(0, 50, 15, orrin7::MB_Left), "202 2");  // beside the button
  EXPECT_EQ(press(1, bx, by, orrin7::MB_Left), "202 2");  // a leaf
  EXPECT_EQ(press(2, bx, by, orrin7::MB_Left), "202 2");  // the link's, not the button's
  EXPECT_EQ(toggled.records(), (std::vector<std::tuple<hierarchical_row_state_t>>{
                                   {row_state_expanded}, {row_state_collapsed}}));
}

TEST_F(pointer_test, HeaderContextMenuOverItemsOnly) {
  auto menus = sv4_test::spy_on(grid->header_context_menu);
  control.Click(70, 10, orrin7::MB_Right);
  control.Click(350, 10, orrin7::MB_Right);  // right of the last column
  EXPECT_EQ(menus.records(), (std::vector<std::tuple<int, int, unsigned int>>{{70, 10, 12u}}));
}

}  // namespace
}  // namespace grids_test
