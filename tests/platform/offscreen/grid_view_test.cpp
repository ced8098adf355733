// A grid viewer in the headless control: which cells are painted after the first paint, a
// scroll, a selection change and an invalidation (and that scrolled pixels land right), keyboard
// navigation and pointer selection through injected events, and the cell pointer signals.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "orrinfrw7/offscreen_control.h"
#include "orrinfrw7/viewer.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;
using CGrid = CGridViewer<IContinuousItemViewModel, IContinuousItemViewModel>;

namespace {

orrin7::_color RowColour(int row) {
  return orrin7::_color::rgb(std::uint8_t(row * 37), std::uint8_t(row * 91), 200);
}

// Paints every changed cell in its row's colour and records it.
class recording_grid_t : public CGrid {
 public:
  recording_grid_t(CVisualElement* parent) : CGrid(parent, {0, 0}, AL_Client) {
    SetRowHeightUpdating(false);
    Rows().SetDefaultItemSize(20);
    Rows().SetCount(1000);
    Columns().SetDefaultItemSize(80);
    Columns().SetCount(3);
  }
  CSimpleDiscreteItemViewModel& Rows() {
    return static_cast<CSimpleDiscreteItemViewModel&>(*GetRowViewModel());
  }
  CSimpleDiscreteItemViewModel& Columns() {
    return static_cast<CSimpleDiscreteItemViewModel&>(*GetColumnViewModel());
  }
  // Cells drawn with UT_Changed as (row, column), and how many were passed as unchanged.
  std::set<std::pair<int, int>> changed;
  int unchanged = 0;
  std::vector<std::tuple<int, int, int, orrin7::rectangle<double>>> offsets;  // row, dy, dx, rect
  std::vector<orrin7::rectangle<double>> empty_columns;
  std::map<int, int> states;
  void Clear() {
    changed.clear();
    unchanged = 0;
    offsets.clear();
    empty_columns.clear();
  }

 protected:
  void DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column, int columnOffset,
                int state, const orrin7::rectangle<double>& rect, int type) override {
    offsets.emplace_back(row, rowOffset, columnOffset, rect);
    states[row] = state;
    if (type != UT_Changed) {
      ++unchanged;
      return;
    }
    changed.emplace(row, column);
    painter->SetBrush(orrin7::brush(RowColour(row), 1));
    painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
  }
  void DrawColumnEmptyArea(orrin7::IPainter* painter,
                           const orrin7::rectangle<double>& rect) override {
    empty_columns.push_back(rect);
    CGrid::DrawColumnEmptyArea(painter, rect);
  }
};

std::set<std::pair<int, int>> Cells(int first_row, int last_row) {
  std::set<std::pair<int, int>> out;
  for (int r = first_row; r <= last_row; ++r)
    for (int c = 0; c < 3; ++c) out.emplace(r, c);
  return out;
}

struct grid_view_test : ::testing::Test {
  grid_view_test() : grid(new recording_grid_t(control.GetRoot())) { control.Paint(); }
  std::vector<int> Selected() const {
    std::vector<int> out;
    const ISelectionModel& s = *grid->GetRowSelectionModel();
    for (long long i = 0; i < s.GetSelectedCount(); ++i) out.push_back(s.GetSelectedItem(i));
    return out;
  }
  int Current() const { return grid->GetRowSelectionModel()->GetCurrent(); }

  COffscreenControl control{300, 200};  // ten rows of 20 pixels, columns end at 240
  recording_grid_t* grid;
};

TEST_F(grid_view_test, FirstPaintDrawsEveryVisibleCellAndTheAreaBesideTheColumns) {
  EXPECT_EQ(grid->changed, Cells(0, 9));
  EXPECT_EQ(grid->unchanged, 0);
  ASSERT_EQ(grid->empty_columns.size(), 1u);
  EXPECT_EQ(grid->empty_columns[0], orrin7::rectangle<double>(240, 0, 300, 200));
  EXPECT_EQ(control.GetPixel(10, 25), RowColour(1));
  EXPECT_EQ(control.GetPixel(239, 199), RowColour(9));
  EXPECT_EQ(control.GetPixel(240, 0).value, grid->GetBkColor().value);
}

TEST_F(grid_view_test, ScrollingRepaintsOnlyTheUncoveredRowsAndMovesThePixels) {
  grid->Clear();
  grid->Rows().SetViewStart(20);
  control.Paint();
  EXPECT_EQ(grid->changed, Cells(10, 10));
  EXPECT_EQ(grid->unchanged, 0);  // rows that only moved are not visited at all
  for (int row = 1; row <= 10; ++row)
    EXPECT_EQ(control.GetPixel(100, (row - 1) * 20 + 10), RowColour(row)) << row;

  grid->Clear();
  grid->Rows().SetViewStart(75);  // twice before one paint: the first uncovered strip moves too
  grid->Rows().SetViewStart(85);
  control.Paint();
  EXPECT_EQ(grid->changed, Cells(11, 14));
  for (int y = 0; y < 200; y += 5)
    EXPECT_EQ(control.GetPixel(50, y), RowColour((y + 85) / 20)) << y;

  grid->Clear();
  grid->Rows().SetViewStart(65);  // back by 20: rows 3 and 4 uncovered at the top
  control.Paint();
  EXPECT_EQ(grid->changed, Cells(3, 4));
  for (int y = 0; y < 200; y += 5)
    EXPECT_EQ(control.GetPixel(50, y), RowColour((y + 65) / 20)) << y;
  // Row 3 is cut: drawn from its visible part, with its 5 hidden pixels as the row offset.
  ASSERT_FALSE(grid->offsets.empty());
  EXPECT_EQ(grid->offsets[0], std::make_tuple(3, 5, 0, orrin7::rectangle<double>(0, 0, 80, 15)));
}

TEST_F(grid_view_test, ChangedRowsAloneAreRepaintedAndInvalidationRepaintsAll) {
  grid->Clear();
  grid->GetRowSelectionModel()->SelectItem(3, true);
  grid->GetRowSelectionModel()->SelectItem(500, true);  // out of view: no work
  control.Paint();
  EXPECT_EQ(grid->changed, Cells(3, 3));
  EXPECT_EQ(grid->states[3] & CS_Selected, CS_Selected);
  EXPECT_EQ(grid->states[4] & CS_Selected, 0);
  grid->Clear();
  grid->GetColumnViewModel()->UpdateItems(1, 1);
  control.Paint();
  EXPECT_EQ(grid->changed,
            (std::set<std::pair<int, int>>{
                {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {9, 1}}));
  grid->Clear();
  control.Paint();  // nothing pending
  EXPECT_TRUE(grid->changed.empty());
  EXPECT_EQ(grid->unchanged, 0);
  grid->Update(UK_Redraw);
  control.Paint();
  EXPECT_EQ(grid->changed, Cells(0, 9));
}

TEST_F(grid_view_test, KeyboardMovesTheCurrentRowSelectsAndScrolls) {
  control.Click(10, 5);  // row 0, and the focus
  ASSERT_TRUE(grid->IsFocused());
  control.Key(KEY_Down);
  control.Key(KEY_Down);
  EXPECT_EQ(Current(), 2);
  control.Key(KEY_Down, MK_Shift);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
  control.Key(KEY_Down, MK_Ctrl);
  EXPECT_EQ(Current(), 4);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
  control.Key(KEY_PageDown);  // to the last whole row in view
  EXPECT_EQ(Current(), 9);
  EXPECT_EQ(grid->Rows().GetViewStart(), 0);
  control.Key(KEY_PageDown);  // a page further, scrolled into view at the bottom
  EXPECT_EQ(Current(), 19);
  EXPECT_EQ(grid->Rows().GetViewStart(), 200);
  control.Key(KEY_End);
  EXPECT_EQ(Selected(), (std::vector<int>{999}));
  EXPECT_EQ(grid->Rows().GetViewStart(), 19800);
  control.Key(KEY_Home, MK_Shift);
  EXPECT_EQ(Selected().size(), 1000u);
  EXPECT_EQ(grid->Rows().GetViewStart(), 0);
  control.Key(KEY_Up);  // at the top already
  EXPECT_EQ(Current(), 0);
}

TEST_F(grid_view_test, ClicksSelectAndDraggingExtendsPastTheEdge) {
  control.Click(10, 105);
  EXPECT_EQ(Selected(), (std::vector<int>{5}));
  control.Click(10, 165, orrin7::MB_Left, MK_Shift);
  EXPECT_EQ(Selected(), (std::vector<int>{5, 6, 7, 8}));
  control.Click(10, 125, orrin7::MB_Left, MK_Ctrl);
  EXPECT_EQ(Selected(), (std::vector<int>{5, 7, 8}));
  EXPECT_EQ(Current(), 6);
  control.Click(10, 145, orrin7::MB_Right);  // on a selected row: the selection stays
  EXPECT_EQ(Selected(), (std::vector<int>{5, 7, 8}));
  EXPECT_EQ(Current(), 7);
  control.Click(10, 25, orrin7::MB_Right);
  EXPECT_EQ(Selected(), (std::vector<int>{1}));
  control.Click(260, 25);  // beside the columns: still a row
  EXPECT_EQ(Selected(), (std::vector<int>{1}));

  control.MouseDown(10, 45);
  control.MouseMove(10, 125);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6}));
  control.MouseMove(10, 260);  // below the control: one row further, scrolled in
  control.MouseUp(10, 260);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(grid->Rows().GetViewStart(), 20);
  control.MouseMove(10, 5);  // released: no more dragging
  EXPECT_EQ(Current(), 10);
}

TEST_F(grid_view_test, WheelScrollsThreeRowsAndShiftScrollsColumns) {
  grid->Columns().SetCount(10);
  control.Wheel(50, 50, 2);
  EXPECT_EQ(grid->Rows().GetViewStart(), 120);
  control.Wheel(50, 50, -1);
  EXPECT_EQ(grid->Rows().GetViewStart(), 60);
  control.Wheel(50, 50, 1, MK_Shift);
  EXPECT_EQ(grid->Columns().GetViewStart(), 240);
}

TEST_F(grid_view_test, CellSignalsCarryCellRelativePositions) {
  CCellEventHandler<IContinuousItemViewModel, IContinuousItemViewModel> cells;
  cells.SetViewModel(grid->GetRowViewModel());
  cells.SetColumnViewModel(grid->GetColumnViewModel());
  grid->AddEventHandler(&cells);
  auto moves = sv4_test::spy_on(cells.CellMouseMove);
  auto leaves = sv4_test::spy_on(cells.CellMouseLeave);
  auto clicks = sv4_test::spy_on(cells.CellMouseClick);
  auto doubles = sv4_test::spy_on(cells.CellMouseDblClick);
  auto downs = sv4_test::spy_on(cells.CellMouseDown);
  control.MouseMove(100, 25, MK_Ctrl);
  control.MouseMove(170, 25);
  control.Click(170, 30, orrin7::MB_Right);
  control.MouseDown(20, 30);
  control.MouseUp(90, 30);  // released over another cell: no click
  control.DoubleClick(20, 30);
  control.MouseMove(260, 30);  // beside the columns: no cell
  ASSERT_EQ(moves.count(), 2u);
  EXPECT_EQ(moves.records()[0], std::make_tuple(1, 1, 20, 5, int(MK_Ctrl), orrin7::MB_None));
  EXPECT_EQ(moves.records()[1], std::make_tuple(1, 2, 10, 5, 0, orrin7::MB_None));
  EXPECT_EQ(downs.count(), 4u);
  ASSERT_EQ(clicks.count(), 2u);
  EXPECT_EQ(clicks.records()[0], std::make_tuple(1, 2, 10, 10, 0, orrin7::MB_Right));
  ASSERT_EQ(doubles.count(), 1u);
  EXPECT_EQ(doubles.last(), std::make_tuple(1, 0, 20, 10, 0, orrin7::MB_Left));
  EXPECT_EQ(leaves.records(),
            (std::vector<std::tuple<int, int>>{{1, 1}, {1, 2}, {1, 0}, {1, 1}, {1, 0}}));
  EXPECT_EQ(Selected(), (std::vector<int>{1}));  // the row handler still saw the clicks
}

}  // namespace
