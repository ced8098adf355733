// Scroll bars and scroll boxes in the headless control: bar arithmetic, when bars appear, two
// regions with row models of their own kept on one vertical position under the wheel, the bar and
// the keyboard, a header scrolled with its grid, and connected elements that go away.
#include <gtest/gtest.h>

#include "orrinfrw7/header.h"
#include "orrinfrw7/offscreen_control.h"
#include "orrinfrw7/scroll.h"
#include "support/assertion_recorder.h"
#include "support/signal_spy.h"
#include "test_widgets.h"

using namespace orrinfrw7;
using widgets_test::colour_grid_t;
using widgets_test::RowColour;

namespace {

TEST(scroll_bar, ArrowsTrackAndThumbMoveByLinePageAndProportion) {
  COffscreenControl control(100, 300);
  auto* bar = new CScrollBar(control.GetRoot(), OR_Vertical);
  bar->SetPos({0, 0, 20, 220});
  bar->SetRange(1000, 100, 10);
  auto requested = sv4_test::spy_on(bar->PositionRequested);
  // Arrows of 20 at both ends, a track of 180 and a thumb of a tenth of it.
  EXPECT_EQ(bar->GetTrackRect(), orrin7::rectangle<int>(0, 20, 20, 200));
  EXPECT_EQ(bar->GetThumbRect(), orrin7::rectangle<int>(0, 20, 20, 38));
  control.Click(10, 100);
  EXPECT_EQ(bar->GetPosition(), 100);
  control.Click(10, 5);
  EXPECT_EQ(bar->GetPosition(), 90);
  control.Click(10, 215);
  EXPECT_EQ(bar->GetPosition(), 100);
  ASSERT_EQ(requested.count(), 3u);
  EXPECT_EQ(std::get<1>(requested.last()), 100);
  // The thumb starts 18 pixels down the 162 it can travel; 81 more pixels are half the extent.
  EXPECT_EQ(bar->GetThumbRect().top, 38);
  control.MouseDown(10, 40);
  control.MouseMove(10, 121);
  control.MouseUp(10, 121);
  EXPECT_DOUBLE_EQ(bar->GetPosition(), 550);
  bar->SetPosition(5000);
  EXPECT_EQ(bar->GetPosition(), 900);
  bar->SetRange(50, 100, 10);  // everything in view: no thumb, position back to 0
  EXPECT_TRUE(bar->GetThumbRect().empty());
  EXPECT_EQ(bar->GetPosition(), 0);
  requested.clear();
  control.Click(10, 100);
  control.Click(10, 215);
  EXPECT_EQ(requested.count(), 0u);
}

// Region A (a header over a grid whose columns are the header's) and region B (a grid with a row
// model of its own, under a spacer as high as the header and over a bar always shown) side by
// side in an outer box that scrolls both vertically. Grid B takes grid A's selection.
struct scroll_box_test : ::testing::Test {
  scroll_box_test()
      : outer(new CScrollBox(control.GetRoot(), {0, 0}, AL_Client)),
        region_b(new CScrollBox(outer, {120, 0}, AL_Right)),
        spacer_b(new CVisualElement(region_b, {0, 20}, AL_Top)),
        grid_b(new colour_grid_t(region_b, AL_Client)),
        region_a(new CScrollBox(outer, {0, 0}, AL_Client)),
        header(new CHeader(region_a, {0, 20}, AL_Top)),
        grid_a(new colour_grid_t(region_a, AL_Client)) {
    for (int i = 0; i < 3; ++i) model.Add(L"Column", 150, i);
    header->SetModel(&model);
    grid_a->SetColumnViewModel(header->GetColumnViewModel());
    region_a->ConnectElement(grid_a, SC_Horizontal, /*driving=*/true);
    region_a->ConnectElement(header, SC_Horizontal);
    outer->ConnectElement(grid_a, SC_Vertical, /*driving=*/true);
    outer->ConnectElement(grid_b, SC_Vertical);
    region_b->SetScrollBarMode(OR_Horizontal, SBM_Always);
    grid_b->SetRowSelectionModel(grid_a->GetRowEventHandler().GetSelectionModel());
    control.Paint();
  }
  // Both grids at `top` pixels, and showing the same rows side by side.
  void ExpectBothAt(int top) {
    EXPECT_EQ(grid_a->Top(), top);
    EXPECT_EQ(grid_b->Top(), top);
    EXPECT_EQ(outer->GetScrollBar(OR_Vertical)->GetPosition(), top);
    control.Paint();
    for (int y = 30; y < 250; y += 17)
      EXPECT_EQ(control.GetPixel(30, y), control.GetPixel(320, y)) << y;
  }
  orrin7::point<int> CentreOf(const CVisualElement* element, const orrin7::rectangle<int>& r) {
    return element->ElementToControl({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }

  COffscreenControl control{400, 300};
  CSimpleHeaderModel model;
  CScrollBox* outer;
  CScrollBox* region_b;
  CVisualElement* spacer_b;
  colour_grid_t* grid_b;
  CScrollBox* region_a;
  CHeader* header;
  colour_grid_t* grid_a;
};

TEST_F(scroll_box_test, BarsAppearWhereThereIsMoreToSeeAndTakeTheirRoomFromTheContent) {
  const int bar = outer->GetScrollBarSize();
  EXPECT_TRUE(outer->IsScrollBarVisible(OR_Vertical));
  EXPECT_FALSE(outer->IsScrollBarVisible(OR_Horizontal));
  EXPECT_TRUE(region_a->IsScrollBarVisible(OR_Horizontal));  // 450 pixels of columns
  EXPECT_FALSE(region_a->IsScrollBarVisible(OR_Vertical));
  EXPECT_TRUE(region_b->IsScrollBarVisible(OR_Horizontal));  // always, with nothing to scroll
  EXPECT_FALSE(region_b->IsScrollBarVisible(OR_Vertical));
  EXPECT_EQ(outer->GetContentRect().right, 400 - bar);
  EXPECT_EQ(region_b->GetBounds().right, 400 - bar);
  EXPECT_EQ(grid_a->GetBounds().bottom, 300 - bar);
  const CScrollBar* vertical = outer->GetScrollBar(OR_Vertical);
  EXPECT_EQ(vertical->GetTotal(), 20000);
  EXPECT_EQ(vertical->GetPage(), 300 - 20 - bar);  // the driving grid's rows in view

  grid_a->Rows().SetCount(5);  // everything fits now
  EXPECT_FALSE(outer->IsScrollBarVisible(OR_Vertical));
  EXPECT_EQ(region_b->GetBounds().right, 400);
  outer->SetScrollBarMode(OR_Vertical, SBM_Always);
  EXPECT_TRUE(outer->IsScrollBarVisible(OR_Vertical));
}

TEST_F(scroll_box_test, WheelBarAndKeysKeepBothRegionsOnOnePosition) {
  control.Wheel(50, 100, 1);  // over grid A: three rows
  ExpectBothAt(60);
  control.Wheel(330, 100, 2);  // over grid B
  ExpectBothAt(180);
  control.Wheel(50, 10, 1);  // over the header, which does not scroll: the outer box does
  ExpectBothAt(240);
  control.Wheel(50, 100, -10);
  ExpectBothAt(0);

  const CScrollBar* vertical = outer->GetScrollBar(OR_Vertical);
  const orrin7::point<int> thumb = CentreOf(vertical, vertical->GetThumbRect());
  control.MouseDown(thumb.x, thumb.y);
  control.MouseMove(thumb.x, thumb.y + 40);
  control.MouseUp(thumb.x, thumb.y + 40);
  EXPECT_GT(grid_a->Top(), 1000);
  ExpectBothAt(grid_a->Top());

  control.Click(30, 100);  // selects a row in both grids
  ExpectBothAt(grid_a->Top());
  control.Key(KEY_End);
  EXPECT_EQ(grid_a->Top(), 20000 - grid_a->GetRowViewModel()->GetViewSize());
  ExpectBothAt(grid_a->Top());
}

TEST_F(scroll_box_test, TheHorizontalBarScrollsTheHeaderWithItsGrid) {
  const CScrollBar* horizontal = region_a->GetScrollBar(OR_Horizontal);
  const orrin7::rectangle<int> bar = horizontal->GetDrawRect();
  const orrin7::point<int> right_arrow = horizontal->ElementToControl({bar.right - 3, 5});
  control.Click(right_arrow.x, right_arrow.y);
  EXPECT_EQ(header->GetItemRect(header->GetVisibleItem(0)).left, -20);  // one default column step
  EXPECT_EQ(horizontal->GetPosition(), 20);
  control.Wheel(50, 100, 1, MK_Shift);
  EXPECT_EQ(header->GetItemRect(header->GetVisibleItem(0)).left, -80);
  EXPECT_EQ(horizontal->GetPosition(), 80);
  EXPECT_EQ(grid_a->Top(), 0);
  EXPECT_EQ(header->HitTest(100, 5).item, header->GetVisibleItem(1));
}

TEST_F(scroll_box_test, ElementsThatGoAwayLeaveTheBoxAndBadConnectionsAreRefused) {
  sv4_test::assertion_recorder_t assertions;
  outer->ConnectElement(grid_b, 3);
  outer->ConnectElement(nullptr, SC_Vertical);
  EXPECT_EQ(assertions.reports().size(), 2u);
  delete grid_b;
  control.Wheel(50, 100, 1);
  EXPECT_EQ(grid_a->Top(), 60);
  delete grid_a;  // the driver: nothing left to scroll vertically
  EXPECT_EQ(outer->GetDrivingElement(OR_Vertical), nullptr);
  control.Wheel(50, 100, 1);
  control.Paint();
  EXPECT_FALSE(outer->IsScrollBarVisible(OR_Vertical));
  EXPECT_EQ(control.GetFailureCount(), 0);
}

}  // namespace
