// Pointer handling through injected events: the hand cursor over link text, link clicks, cell
// clicks and double clicks per button, group buttons, header context menus.
#include "grid_fixture.h"

namespace grids_test {
namespace {

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
