// A grid viewer in the headless control: which cells are painted after the first paint, a
// scroll, a selection change and an invalidation (and that scrolled pixels land right), keyboard
// navigation and pointer selection through injected events, and the cell pointer signals.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <numeric>
#include <set>
#include <tuple>

#include "orrinfrw7/offscreen_control.h"
#include "orrinfrw7/viewer.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;
using CGrid = CGridViewer<IContinuousItemViewModel, IContinuousItemViewModel>;
using cells_t = std::set<std::pair<int, int>>;

namespace {

orrin7::_color CellColour(int row, int column) {
  return orrin7::_color::rgb(std::uint8_t(row * 37), std::uint8_t(row * 91),
                             std::uint8_t(100 + column * 29));
}

// 1000 rows of 20 pixels, 3 columns of 80; paints every changed cell in a colour of its own and
// records it.
struct recording_grid_t : CGrid {
  explicit recording_grid_t(CVisualElement* parent) : CGrid(parent, {0, 0}, AL_Client) {
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
  void DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column, int columnOffset,
                int state, const orrin7::rectangle<double>& rect, int type) override {
    calls.emplace_back(row, rowOffset, columnOffset, rect);
    states[row] = state;
    if (type != UT_Changed) return;
    changed.emplace(row, column);
    painter->SetBrush(orrin7::brush(CellColour(row, column), 1));
    painter->FillRect(rect.left, rect.top, rect.right, rect.bottom);
  }

  cells_t changed;  // cells drawn with UT_Changed as (row, column)
  std::vector<std::tuple<int, int, int, orrin7::rectangle<double>>> calls;  // row, dy, dx, rect
  std::map<int, int> states;
};

cells_t Cells(int first_row, int last_row, int first_column = 0, int last_column = 2) {
  cells_t out;
  for (int r = first_row; r <= last_row; ++r)
    for (int c = first_column; c <= last_column; ++c) out.emplace(r, c);
  return out;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> out(std::size_t(last - first + 1));
  std::iota(out.begin(), out.end(), first);
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
  // Runs `change`, repaints, and answers the cells painted anew.
  cells_t PaintAfter(const std::function<void()>& change) {
    grid->changed.clear();
    grid->calls.clear();
    change();
    control.Paint();
    return grid->changed;
  }
  std::size_t Unchanged() const { return grid->calls.size() - grid->changed.size(); }
  // Scrolls and repaints; afterwards every sampled pixel must show the row the view start puts
  // there.
  cells_t ScrollTo(int view_start) {
    const cells_t changed = PaintAfter([&] { grid->Rows().SetViewStart(view_start); });
    for (int y = 0; y < 200; y += 5)
      EXPECT_EQ(control.GetPixel(50, y), CellColour((y + view_start) / 20, 0))
          << view_start << " " << y;
    return changed;
  }

  COffscreenControl control{300, 200};  // ten rows of 20 pixels, columns end at 240
  recording_grid_t* grid;
};

TEST_F(grid_view_test, PaintsOnlyUncoveredRowsAndScrolledPixelsLandRight) {
  EXPECT_EQ(grid->changed, Cells(0, 9));
  EXPECT_EQ(ScrollTo(0), cells_t());
  EXPECT_EQ(control.GetPixel(240, 0).value, grid->GetBkColor().value);  // beside the columns
  EXPECT_EQ(control.GetPixel(299, 199).value, grid->GetBkColor().value);
  EXPECT_EQ(ScrollTo(20), Cells(10, 10));
  EXPECT_EQ(Unchanged(), 0u);     // rows that only moved are not visited at all
  grid->Rows().SetViewStart(75);  // twice before one paint: the first uncovered strip moves too
  EXPECT_EQ(ScrollTo(85), Cells(11, 14));
  EXPECT_EQ(ScrollTo(65), Cells(3, 4));  // back by 20: rows 3 and 4 uncovered at the top
  // Row 3 is cut: drawn from its visible part, with its 5 hidden pixels as the row offset.
  ASSERT_FALSE(grid->calls.empty());
  EXPECT_EQ(grid->calls[0], std::make_tuple(3, 5, 0, orrin7::rectangle<double>(0, 0, 80, 15)));
  // Sideways: the pixels move left and only the uncovered columns are painted.
  PaintAfter([&] { grid->Columns().SetCount(10); });
  EXPECT_EQ(PaintAfter([&] { grid->Columns().SetViewStart(30); }), Cells(3, 13, 3, 4));
  for (int x = 0; x < 300; x += 5)
    EXPECT_EQ(control.GetPixel(x, 75), CellColour(7, (x + 30) / 80)) << x;
}

TEST_F(grid_view_test, ChangedRowsAloneAreRepaintedAndInvalidationRepaintsAll) {
  EXPECT_EQ(PaintAfter([&] {
              grid->GetRowSelectionModel()->SelectItem(3, true);
              grid->GetRowSelectionModel()->SelectItem(500, true);  // out of view: no work
            }),
            Cells(3, 3));
  EXPECT_EQ(grid->states[3] & CS_Selected, CS_Selected);
  EXPECT_EQ(grid->states[4] & CS_Selected, 0);
  EXPECT_EQ(PaintAfter([&] { grid->GetColumnViewModel()->UpdateItems(1, 1); }), Cells(0, 9, 1, 1));
  EXPECT_EQ(PaintAfter([] {}), cells_t());
  EXPECT_EQ(Unchanged(), 0u);
  EXPECT_EQ(PaintAfter([&] { grid->Update(UK_Redraw); }), Cells(0, 9));
}

TEST_F(grid_view_test, KeyboardMovesTheCurrentRowSelectsAndScrolls) {
  control.Click(10, 5);  // row 0, and the focus
  ASSERT_TRUE(grid->IsFocused());
  const struct {
    int key, modifiers, current, first_selected, last_selected, view_start;
  } steps[] = {
      {KEY_Down, MK_Shift, 1, 0, 1, 0},
      {KEY_Down, MK_Ctrl, 2, 0, 1, 0},
      {KEY_PageDown, 0, 9, 9, 9, 0},       // to the last whole row in view
      {KEY_PageDown, 0, 19, 19, 19, 200},  // a page further, scrolled into view at the bottom
      {KEY_End, 0, 999, 999, 999, 19800},
      {KEY_Home, MK_Shift, 0, 0, 999, 0},
      {KEY_Up, 0, 0, 0, 0, 0},  // at the top already
  };
  for (const auto& s : steps) {
    control.Key(s.key, s.modifiers);
    EXPECT_EQ(std::make_tuple(Current(), Selected(), grid->Rows().GetViewStart()),
              std::make_tuple(s.current, Range(s.first_selected, s.last_selected), s.view_start))
        << "key " << s.key << " to " << s.current;
  }
}

TEST_F(grid_view_test, ClicksSelectAndDraggingExtendsPastTheEdge) {
  control.Click(10, 105);
  control.Click(10, 165, orrin7::MB_Left, MK_Shift);
  EXPECT_EQ(Selected(), Range(5, 8));
  control.Click(10, 125, orrin7::MB_Left, MK_Ctrl);
  EXPECT_EQ(Selected(), (std::vector<int>{5, 7, 8}));
  EXPECT_EQ(Current(), 6);
  control.Click(10, 145, orrin7::MB_Right);  // on a selected row: the selection stays
  EXPECT_EQ(Selected(), (std::vector<int>{5, 7, 8}));
  EXPECT_EQ(Current(), 7);
  control.Click(10, 25, orrin7::MB_Right);
  control.Click(260, 45);  // beside the columns: still a row
  EXPECT_EQ(Selected(), Range(2, 2));
  control.MouseDown(10, 45);
  control.MouseMove(10, 125);
  EXPECT_EQ(Selected(), Range(2, 6));
  // Below the control: rows further by how far beyond the edge (one, and one per 24 pixels),
  // scrolled in.
  control.MouseMove(10, 260);
  control.MouseUp(10, 260);
  EXPECT_EQ(Selected(), Range(2, 12));
  EXPECT_EQ(grid->Rows().GetViewStart(), 60);
  control.MouseMove(10, 5);  // released: no more dragging
  EXPECT_EQ(Current(), 12);
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
  using event_t = std::tuple<int, int, int, int, int, orrin7::MouseButton>;
  const event_t right_click{1, 2, 10, 10, 0, orrin7::MB_Right},
      left{1, 0, 20, 10, 0, orrin7::MB_Left};
  EXPECT_EQ(moves.records(), (std::vector<event_t>{{1, 1, 20, 5, MK_Ctrl, orrin7::MB_None},
                                                   {1, 2, 10, 5, 0, orrin7::MB_None}}));
  EXPECT_EQ(downs.records(), (std::vector<event_t>{right_click, left, left, left}));
  EXPECT_EQ(clicks.records(), (std::vector<event_t>{right_click, left}));
  EXPECT_EQ(doubles.records(), (std::vector<event_t>{left}));
  EXPECT_EQ(leaves.records(),
            (std::vector<std::tuple<int, int>>{{1, 1}, {1, 2}, {1, 0}, {1, 1}, {1, 0}}));
  EXPECT_EQ(Selected(), (std::vector<int>{1}));  // the row handler still saw the clicks
}

}  // namespace
