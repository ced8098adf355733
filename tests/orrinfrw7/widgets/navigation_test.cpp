// Keyboard and pointer selection in a grid of the headless control, as tables over even and mixed
// row heights, rows cut at the view's edges and a row taller than the view, at scales 1 and 2.
#include <gtest/gtest.h>

#include <vector>

#include "test_widgets.h"

using namespace orrinfrw7;
using widgets_test::colour_grid_t;

namespace {

// A grid 100 pixels high over 50 rows: of 20 pixels each (kEven), or with row 3 of 50, row 6 of
// 5 and row 10 of 150 pixels (kMixed; offsets 0 20 40 60 110 130 150 155 175 195 215 365 385).
enum Layout { kEven, kMixed };

struct grid_fixture_t {
  grid_fixture_t(Layout layout, int scale) {
    control.SetScale(scale);
    rows.SetCount(50);
    if (layout == kMixed)
      for (auto [row, size] : {std::pair{3, 50}, {6, 5}, {10, 150}}) rows.SetItemSize(row, size);
    grid->SetRowViewModel(&rows);
    grid->SetFocus();
    control.Paint();
  }
  ISelectionModel& Selection() { return *grid->GetRowSelectionModel(); }
  // "current@start:first-last,…": the current row, the view start and the selected runs.
  std::string State() {
    std::string out =
        std::to_string(Selection().GetCurrent()) + "@" + std::to_string(rows.GetViewStart()) + ":";
    for (long long n = 0; n < Selection().GetSelectedCount(); ++n) {
      const int row = Selection().GetSelectedItem(n);
      const int next = Selection().GetSelectedItem(n + 1);
      if (n == 0 || Selection().GetSelectedItem(n - 1) != row - 1) out += std::to_string(row);
      if (next != row + 1) out += "-" + std::to_string(row) + (next >= 0 ? "," : "");
    }
    return out;
  }

  COffscreenControl control{200, 100};
  CDefaultDiscreteItemViewModel rows{20};
  colour_grid_t* grid = new colour_grid_t(control.GetRoot(), AL_Client);
};

struct key_t {
  int key, modifiers = 0;
};

struct key_case_t {
  Layout layout;
  int start, current;
  std::vector<key_t> keys;
  const char* expected;  // as State() writes it
};

TEST(keyboard_navigation, ArrowsAndPagingAtTheEdgesOfTheWholeRows) {
  const int shift = MK_Shift, ctrl = MK_Ctrl;
  const key_case_t cases[] = {
      // Even rows from pixel 10: row 0 cut at the top, 1 … 4 whole, 5 cut at the bottom.
      {kEven, 10, 1, {{KEY_PageDown}}, "4@10:4-4"},       // first whole row: to the last one
      {kEven, 10, 4, {{KEY_PageDown}}, "9@100:9-9"},      // last whole row: a view further
      {kEven, 10, 0, {{KEY_PageDown}}, "4@10:4-4"},       // from the cut row
      {kEven, 10, 4, {{KEY_PageUp}}, "1@10:1-1"},         // last whole row: to the first one
      {kEven, 10, 1, {{KEY_PageUp}}, "0@0:0-0"},          // first whole row: a view back
      {kEven, 10, 4, {{KEY_Down}}, "5@20:5-5"},           // into the cut row: it comes in whole
      {kEven, 10, 1, {{KEY_Up}}, "0@0:0-0"},              // same at the top
      {kEven, 10, 0, {{KEY_Up}, {KEY_Left}}, "0@0:0-0"},  // nothing before row 0
      {kEven, 10, -1, {{KEY_Down}}, "0@0:0-0"},           // no current row: the first
      {kEven, 10, 1, {{KEY_End}}, "49@900:49-49"},
      {kEven, 900, 49, {{KEY_Home}}, "0@0:0-0"},
      {kEven, 900, 47, {{KEY_PageDown}}, "49@900:49-49"},
      {kEven, 900, 49, {{KEY_PageDown}, {KEY_Down}}, "49@900:49-49"},  // nothing after the last
      {kEven, 900, 70, {{KEY_Up}}, "48@900:48-48"},  // a current row beyond the end
      // Selection: shift extends from the anchor, ctrl moves the current row alone.
      {kEven, 0, 2, {{KEY_Down}, {KEY_Down, shift}, {KEY_PageDown, shift}}, "9@100:3-9"},
      {kEven, 0, 2, {{KEY_Up}, {KEY_Up, shift}, {KEY_Down, shift}, {KEY_Down, shift}}, "2@0:1-2"},
      {kEven, 0, 2, {{KEY_Down}, {KEY_Down, ctrl}, {KEY_Down, ctrl}}, "5@20:3-3"},
      {kEven, 0, 2, {{KEY_Down}, {KEY_Down, ctrl}, {KEY_Down, shift}}, "5@20:4-5"},
      {kEven, 0, 2, {{KEY_Down, MK_Alt}, {KEY_A}}, "2@0:"},  // not navigation keys
      {kEven, 0, 2, {{KEY_Down, shift}}, "3@0:3-3"},         // no anchor yet: a plain move
      // Mixed heights from pixel 0: rows 0 … 2 whole, row 3 (50 high) cut.
      {kMixed, 0, 0, {{KEY_PageDown}}, "2@0:2-2"},
      {kMixed, 0, 2, {{KEY_PageDown}}, "5@50:5-5"},
      {kMixed, 0, 2, {{KEY_Down}}, "3@10:3-3"},
      {kMixed, 60, 3, {{KEY_PageDown}}, "6@60:6-6"},  // rows 3 … 6 whole, 7 cut
      {kMixed, 60, 6, {{KEY_Up}, {KEY_Up}, {KEY_Up}, {KEY_Up}}, "2@40:2-2"},
      // Row 10 is taller than the view: it starts at the top, and paging still moves on.
      {kMixed, 100, 9, {{KEY_Down}}, "10@215:10-10"},
      {kMixed, 215, 10, {{KEY_PageDown}}, "11@285:11-11"},
      {kMixed, 285, 11, {{KEY_PageUp}}, "10@215:10-10"},
      {kMixed, 215, 10, {{KEY_PageUp}}, "4@110:4-4"},
  };
  for (int scale : {1, 2}) {
    for (const key_case_t& c : cases) {
      grid_fixture_t f(c.layout, scale);
      f.rows.SetViewStart(c.start);
      f.Selection().SetCurrent(c.current);
      for (const key_t& k : c.keys) f.control.KeyDown(k.key, k.modifiers);
      EXPECT_EQ(f.State(), c.expected)
          << "scale " << scale << ", case " << (&c - cases) << " from " << c.current;
    }
  }
}

// A selection model handed to the grid brings its current row as the anchor of shift moves; a
// default handler that goes away leaves the viewer, and keys then find no handler.
TEST(keyboard_navigation, HandedOverSelectionsAnchorAtTheirCurrentRowAndHandlersMayGo) {
  grid_fixture_t f(kEven, 1);
  f.control.KeyDown(KEY_Down);  // row 0, the anchor in the grid's own selection
  utilkit2::smart_pointer_t<ISelectionModel> other(new CRangeSelectionModel());
  other->SetCurrent(2);
  f.grid->SetRowSelectionModel(other);
  f.control.KeyDown(KEY_Down, MK_Shift);
  EXPECT_EQ(f.State(), "3@0:2-3");
  auto* handler = new CContinuousItemEventHandler();
  f.grid->SetDefEventHandler(handler);
  delete handler;
  EXPECT_EQ(f.grid->GetDefEventHandler(), nullptr);
  EXPECT_FALSE(f.control.KeyDown(KEY_Down));
  EXPECT_EQ(f.State(), "3@0:2-3");
}

// A pointer gesture: presses, moves and releases in control pixels, with modifiers.
struct pointer_step_t {
  enum { press, move, release, right } what;
  int y, modifiers = 0;
};

struct pointer_case_t {
  Layout layout;
  int start, count;
  std::vector<pointer_step_t> steps;
  const char* expected;
};

TEST(pointer_selection, ClicksModifiersAndDragsReleasedAnywhere) {
  using S = pointer_step_t;
  const int shift = MK_Shift, ctrl = MK_Ctrl;
  const auto click = [](int y, int modifiers = 0) {
    return std::vector<S>{{S::press, y, modifiers}, {S::release, y, modifiers}};
  };
  const auto join = [](std::vector<S> a, const std::vector<S>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const pointer_case_t cases[] = {
      {kEven, 10, 50, click(5), "0@10:0-0"},        // the row cut at the top
      {kEven, 10, 50, click(99), "5@10:5-5"},       // the last pixel of the view
      {kEven, 10, 50, click(10), "1@10:1-1"},       // the first pixel of row 1
      {kEven, 0, 3, click(70), "-1@0:"},            // below the last row: nothing
      {kEven, 0, 50, click(70, shift), "3@0:3-3"},  // no anchor yet
      {kEven, 0, 50, join(click(30), click(70, shift)), "3@0:1-3"},
      {kEven, 0, 50, join(click(70), click(30, shift)), "1@0:1-3"},
      {kEven, 0, 50, join(click(30), click(70, ctrl)), "3@0:1-1,3-3"},
      {kEven, 0, 50, join(join(click(30), click(70, ctrl)), click(30, ctrl)), "1@0:3-3"},
      {kEven, 0, 50, join(click(30), click(50, shift | ctrl)), "2@0:1-2"},
      // The right button keeps a selection it lands in and replaces one it misses.
      {kEven, 0, 50, join(click(30), {{S::right, 70}}), "3@0:3-3"},
      {kEven, 0, 50, join(join(click(30), click(70, shift)), {{S::right, 50}}), "2@0:1-3"},
      // Drags: to another row, out below the view (a step past the last visible row), back.
      {kEven, 0, 50, {{S::press, 30}, {S::move, 70}, {S::release, 70}}, "3@0:1-3"},
      {kEven, 0, 50, {{S::press, 30}, {S::move, 100}, {S::release, 100}}, "5@20:1-5"},
      {kEven, 10, 50, {{S::press, 30}, {S::move, 100}, {S::release, 100}}, "6@40:2-6"},
      {kEven, 0, 50, {{S::press, 30}, {S::move, 150}, {S::move, 50}, {S::release, 50}}, "5@60:1-5"},
      {kEven, 40, 50, {{S::press, 30}, {S::move, -1}, {S::release, -1}}, "1@20:1-3"},
      {kEven, 0, 50, {{S::press, 30, ctrl}, {S::move, 70}, {S::release, 70}}, "1@0:1-1"},
      {kEven, 0, 4, {{S::press, 30}, {S::move, 95}, {S::release, 95}}, "3@0:1-3"},
      // Mixed heights: the tall row and the thin one.
      {kMixed, 0, 50, click(99), "3@0:3-3"},
      {kMixed, 100, 50, join(click(52), click(57, shift)), "7@100:6-7"},
  };
  for (int scale : {1, 2}) {
    for (const pointer_case_t& c : cases) {
      grid_fixture_t f(c.layout, scale);
      f.rows.SetCount(c.count);
      f.rows.SetViewStart(c.start);
      for (const S& s : c.steps) {
        const int x = 50;
        if (s.what == S::press) f.control.MouseDown(x, s.y, orrin7::MB_Left, s.modifiers);
        if (s.what == S::move) f.control.MouseMove(x, s.y, s.modifiers);
        if (s.what == S::release) f.control.MouseUp(x, s.y, orrin7::MB_Left, s.modifiers);
        if (s.what == S::right) f.control.Click(x, s.y, orrin7::MB_Right);
      }
      EXPECT_EQ(f.State(), c.expected) << "scale " << scale << ", case " << (&c - cases);
    }
  }
}

}  // namespace
