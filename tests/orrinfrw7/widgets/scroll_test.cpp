// Scroll bars and boxes in the headless control (bar arithmetic, regions kept on one position, a
// header scrolled with its grid, models with coarser steps, elements that go away), splitters
// and bevels.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "orrin7/system.h"
#include "orrinfrw7/bevel.h"
#include "orrinfrw7/header.h"
#include "orrinfrw7/scroll.h"
#include "support/assertion_recorder.h"
#include "support/signal_spy.h"
#include "test_widgets.h"

using namespace orrinfrw7;
using widgets_test::colour_grid_t;
using widgets_test::Str;

namespace {

TEST(scroll_bar, ArrowsTrackAndThumbMoveByLinePageAndProportion) {
  COffscreenControl control(100, 300);
  auto* bar = new CScrollBar(control.GetRoot(), OR_Vertical);
  bar->SetPos({0, 0, 20, 220});
  bar->SetRange(1000, 100, 10);
  // Arrows of 20 at both ends, a track of 180 and a thumb of a tenth of it, raised to the minimum
  // length of 24.
  EXPECT_EQ(Str(bar->GetTrackRect()) + " " + Str(bar->GetThumbRect()), "0,20,20,200 0,20,20,44");
  std::vector<double> positions;  // after clicks on the track, the top and the bottom arrow
  for (int y : {100, 5, 215}) {
    control.Click(10, y);
    positions.push_back(bar->GetPosition());
  }
  // The thumb then starts 17 pixels down the 156 it can travel; 78 more are half the extent.
  widgets_test::Drag(control, 10, 40, 10, 118);
  positions.push_back(bar->GetPosition());
  bar->SetPosition(5000);
  positions.push_back(bar->GetPosition());
  EXPECT_EQ(positions, (std::vector<double>{100, 90, 100, 550, 900}));
  // The first and last pixel of each part, clicked with the thumb at 37 … 61 (position 100).
  std::string parts;
  for (int y : {19, 20, 36, 37, 60, 61, 199, 200}) {
    bar->SetPosition(100);
    control.Click(10, y);
    parts += std::to_string(int(bar->GetPosition())) + " ";
  }
  EXPECT_EQ(parts, "90 0 0 100 100 200 200 110 ");
  bar->SetRange(50, 100, 10);  // everything in view: no thumb, position back to 0
  EXPECT_TRUE(bar->GetThumbRect().empty());
  EXPECT_EQ(bar->GetPosition(), 0);
}

// Region A (a header over a grid whose columns are the header's) and region B (a grid with a row
// model of its own, under a spacer as high as the header and over a bar always shown) side by
// side in an outer box that scrolls both vertically. Grid B takes grid A's selection.
struct scroll_box_test : ::testing::Test {
  scroll_box_test() {
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
  // Both grids at `top` pixels, and every pixel line below the header showing its row (black when
  // selected) side by side: scrolled pixels and repainted strips land where they belong.
  void ExpectBothAt(int top) {
    EXPECT_EQ(grid_a->Top(), top);
    EXPECT_EQ(grid_b->Top(), top);
    EXPECT_EQ(outer->GetScrollBar(OR_Vertical)->GetPosition(), top);
    control.Paint();
    const ISelectionModel* selection = grid_a->GetRowSelectionModel();
    for (int y = 20; y < 250; ++y) {
      const int row = (top + y - 20) / 20;
      const orrin7::_color shown = control.GetPixel(30, y);
      const orrin7::_color expected = selection->IsItemSelected(row) ? orrin7::_color::rgb(0, 0, 0)
                                                                     : widgets_test::RowColour(row);
      ASSERT_EQ(shown, control.GetPixel(320, y)) << y;
      ASSERT_EQ(shown.value & 0xFFFFFF, expected.value & 0xFFFFFF) << y;
    }
  }
  // Which bars show ("v", "h") in the outer box, region A and region B.
  std::string Bars() const {
    std::string out;
    for (const CScrollBox* box : {outer, region_a, region_b})
      out += std::string(box->IsScrollBarVisible(OR_Vertical) ? "v" : "-") +
             (box->IsScrollBarVisible(OR_Horizontal) ? "h " : "- ");
    return out;
  }

  COffscreenControl control{400, 300};
  CSimpleHeaderModel model;
  CScrollBox* outer = new CScrollBox(control.GetRoot(), {0, 0}, AL_Client);
  CScrollBox* region_b = new CScrollBox(outer, {120, 0}, AL_Right);
  CVisualElement* spacer_b = new CVisualElement(region_b, {0, 20}, AL_Top);
  colour_grid_t* grid_b = new colour_grid_t(region_b, AL_Client);
  CScrollBox* region_a = new CScrollBox(outer, {0, 0}, AL_Client);
  CHeader* header = new CHeader(region_a, {0, 20}, AL_Top);
  colour_grid_t* grid_a = new colour_grid_t(region_a, AL_Client);
};

TEST_F(scroll_box_test, WheelBarAndKeysKeepBothRegionsOnOnePosition) {
  // A has 450 pixels of columns; B's horizontal bar shows always, with nothing to scroll.
  EXPECT_EQ(Bars(), "v- -h -h ");
  EXPECT_EQ(region_b->GetBounds().right, 400 - outer->GetScrollBarSize());
  // Over grid A (three rows a notch), over grid B, over the header (which does not scroll: the
  // outer box does), and back up, a notch that the grid takes alone and then all the way.
  for (auto [x, y, notches, top] : {std::array{50, 100, 1, 60},
                                    {330, 100, 2, 180},
                                    {50, 10, 1, 240},
                                    {50, 100, -1, 180},
                                    {50, 100, -10, 0}}) {
    control.Wheel(x, y, notches);
    ExpectBothAt(top);
  }

  const CScrollBar* vertical = outer->GetScrollBar(OR_Vertical);
  const orrin7::rectangle<int> thumb = vertical->GetThumbRect();
  const orrin7::point<int> at = vertical->ElementToControl({thumb.left + 5, thumb.top + 5});
  widgets_test::Drag(control, at.x, at.y, at.x, at.y + 40);
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
  control.Wheel(50, 10, 1, MK_Shift);  // the header leaves the wheel to its box: sideways too
  EXPECT_EQ(horizontal->GetPosition(), 140);
  EXPECT_EQ(grid_a->Top(), 0);
  EXPECT_EQ(header->HitTest(100, 5).item, header->GetVisibleItem(1));
  // Grid B scrolling its own columns to their end takes region B's bar along.
  region_b->ConnectElement(grid_b, SC_Horizontal, /*driving=*/true);
  control.Wheel(330, 100, 1, MK_Shift);
  EXPECT_EQ(grid_b->GetColumnViewModel()->GetViewStart(), 120);
  EXPECT_EQ(region_b->GetScrollBar(OR_Horizontal)->GetPosition(), 120);
}

// An element 100 pixels high scrolled in units of whole rows (steps of 10): the last of its
// 1004 units in view is 904, off the steps.
struct stepped_t : CVisualElement {
  using CVisualElement::CVisualElement;
  struct model_t : IScrollModel {
    double position = 0;
    int GetTotal() const override { return 1004; }
    void SetPosition(double to) override { position = to; }
    double GetPosition() const override { return position; }
    std::pair<double, int> GetPageInfo() const override { return {10.0, 1}; }
  } model;
  IScrollModel* GetVScrollModel() override { return &model; }
};

TEST(scroll_box, ThumbDragsSnapToTheModelsStepsExceptAtTheVeryEnd) {
  COffscreenControl control(100, 100);
  auto* box = new CScrollBox(control.GetRoot(), {0, 0}, AL_Client);
  auto* element = new stepped_t(box, {0, 0}, AL_Client);
  box->ConnectElement(element, SC_Vertical, /*driving=*/true);
  control.Paint();
  const CScrollBar* bar = box->GetScrollBar(OR_Vertical);
  std::vector<double> positions;
  for (int dy : {13, 1000}) {
    const orrin7::point<int> at = bar->ElementToControl({5, bar->GetThumbRect().top + 2});
    widgets_test::Drag(control, at.x, at.y, at.x, at.y + dy);
    positions.push_back(element->model.position);
  }
  EXPECT_GT(positions[0], 0);
  EXPECT_EQ(std::fmod(positions[0], 10), 0);
  EXPECT_EQ(positions[1], 904);
}

TEST_F(scroll_box_test, ElementsThatGoAwayLeaveTheBoxAndBadConnectionsAreRefused) {
  sv4_test::assertion_recorder_t assertions;
  outer->ConnectElement(grid_b, 3);
  outer->ConnectElement(nullptr, SC_Vertical);
  EXPECT_EQ(assertions.reports().size(), 2u);
  outer->ConnectElement(grid_b, SC_Vertical, /*driving=*/true);  // takes over from grid A
  EXPECT_EQ(outer->GetDrivingElement(OR_Vertical), grid_b);
  delete grid_b;
  control.Wheel(50, 100, 1);
  EXPECT_EQ(grid_a->Top(), 60);
  delete grid_a;  // the driver: nothing left to scroll vertically
  EXPECT_EQ(outer->GetDrivingElement(OR_Vertical), nullptr);
  control.Wheel(50, 100, 1);
  control.Paint();
  EXPECT_EQ(Bars(), "-- -h -h ");  // and region B takes the bar's room back
  EXPECT_EQ(region_b->GetBounds().right, 400);
  EXPECT_EQ(control.GetFailureCount(), 0);
}

// ---- splitters and bevels ----

// A right panel of 100, a splitter of 6 beside it, the rest on the left: 400 × 200 in all.
struct splitter_test : ::testing::Test {
  splitter_test() {
    splitter->SetNeighbours(right, left);
    splitter->SetMinimumSizes(50, 80);
  }
  COffscreenControl control{400, 200};
  CVisualElement* right = new CVisualElement(control.GetRoot(), {100, 0}, AL_Right);
  CSplitter* splitter = new CSplitter(control.GetRoot(), {6, 0}, AL_Right);
  CVisualElement* left = new CVisualElement(control.GetRoot(), {0, 0}, AL_Client);
};

TEST_F(splitter_test, DraggingResizesTheSizedNeighbourWithinTheMinimums) {
  auto moved = sv4_test::spy_on(splitter->Moved);
  control.MouseMove(296, 50);
  EXPECT_EQ(control.GetCursor(), CR_SizeWE);
  std::vector<int> widths;  // left and right after each drag; the minimums are 80 and 50
  for (auto [from, to] : {std::pair{296, 256}, {256, 0}, {83, 399}}) {
    widgets_test::Drag(control, from, 100, to, 100);
    widths.insert(widths.end(), {left->GetSize().width, right->GetSize().width});
  }
  EXPECT_EQ(widths, (std::vector<int>{254, 140, 80, 314, 344, 50}));
  EXPECT_EQ(std::get<1>(moved.last()), 50);
  control.MouseMove(100, 100);
  EXPECT_EQ(control.GetCursor(), CR_Arrow);
}

TEST_F(splitter_test, AcrossSplittersDragUpAndDownAndLostNeighboursEndTheDrag) {
  splitter->SetAlignment(AL_Bottom);
  right->SetAlignment(AL_Bottom);
  right->SetHeight(60);
  splitter->SetHeight(6);
  control.MouseMove(200, 136);
  EXPECT_EQ(control.GetCursor(), CR_SizeNS);
  widgets_test::Drag(control, 200, 136, 200, 116);
  EXPECT_EQ(right->GetSize().height, 80);

  delete right;
  EXPECT_EQ(splitter->GetSizedNeighbour(), nullptr);
  widgets_test::Drag(control, 200, 150, 200, 20);
  EXPECT_EQ(control.GetFailureCount(), 0);
}

// A box splitter draws its two long edges and nothing across its ends, standing or lying.
TEST_F(splitter_test, ABoxBarHasNoLinesAcrossItsEnds) {
  splitter->SetBkColor(orrin7::_color::rgb(10, 200, 10));
  const std::uint32_t face = splitter->GetBkColor().value;
  const auto at = [&](int x, int y) { return control.GetPixel(x, y).value; };
  for (const bool across : {false, true}) {
    if (across) splitter->SetAlignment(AL_Bottom), splitter->SetHeight(6);
    control.Paint();
    const orrin7::rectangle<int> b = splitter->GetBounds();
    const int middle_x = (b.left + b.right) / 2, middle_y = (b.top + b.bottom) / 2;
    for (int end : {0, 1}) {
      EXPECT_EQ(at(across ? b.left + end : middle_x, across ? middle_y : b.top + end), face);
      EXPECT_EQ(at(across ? b.right - 1 - end : middle_x, across ? middle_y : b.bottom - 1 - end),
                face);
      EXPECT_NE(at(across ? middle_x : b.left + end, across ? b.top + end : middle_y), face);
      EXPECT_NE(at(across ? middle_x : b.right - 1 - end, across ? b.bottom - 1 - end : middle_y),
                face);
    }
  }
}

TEST(bevel, EdgesFollowTheStyleAndTheShape) {
  COffscreenControl control(60, 40);
  auto* bevel = new CBevel(control.GetRoot(), {0, 0}, AL_Client);
  bevel->SetBkColor(orrin7::_color::rgb(10, 200, 10));
  const std::uint32_t dark = orrin7::GetSysPalette().GetColor(orrin7::PAL_Separator).value;
  const std::uint32_t light = orrin7::GetSysPalette().GetColor(orrin7::PAL_CellBackground).value;
  const std::uint32_t back = bevel->GetBkColor().value;
  std::vector<std::uint32_t> pixels;  // top-left corner, the pixel inside it, bottom-right corner
  for (auto [style, shape] :
       {std::pair{BVS_Sunken, BVSH_Box}, {BVS_Raised, BVSH_Box}, {BVS_Flat, BVSH_BottomLine}}) {
    bevel->SetStyle(style);
    bevel->SetShape(shape);
    control.Paint();
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {59, 39}})
      pixels.push_back(control.GetPixel(x, y).value);
  }
  EXPECT_EQ(pixels,
            (std::vector<std::uint32_t>{dark, light, light, light, dark, dark, back, back, dark}));
}

}  // namespace
