// Splitters dragged through injected events, with their limits, cursors and neighbours that go
// away; the edges a bevel draws in each style.
#include <gtest/gtest.h>

#include "orrin7/system.h"
#include "orrinfrw7/bevel.h"
#include "orrinfrw7/offscreen_control.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;

namespace {

// A right panel of 100, a splitter of 6 beside it, the rest on the left: 400 × 200 in all.
struct splitter_test : ::testing::Test {
  splitter_test()
      : right(new CVisualElement(control.GetRoot(), {100, 0}, AL_Right)),
        splitter(new CSplitter(control.GetRoot(), {6, 0}, AL_Right)),
        left(new CVisualElement(control.GetRoot(), {0, 0}, AL_Client)) {
    splitter->SetNeighbours(right, left);
    splitter->SetMinimumSizes(50, 80);
  }
  void Drag(int from, int to) {
    control.MouseMove(from, 100);
    control.MouseDown(from, 100);
    control.MouseMove((from + to) / 2, 100);
    control.MouseMove(to, 100);
    control.MouseUp(to, 100);
  }

  COffscreenControl control{400, 200};
  CVisualElement* right;
  CSplitter* splitter;
  CVisualElement* left;
};

TEST_F(splitter_test, DraggingResizesTheSizedNeighbourWithinTheMinimums) {
  EXPECT_EQ(splitter->GetBounds(), orrin7::rectangle<int>(294, 0, 300, 200));
  auto moved = sv4_test::spy_on(splitter->Moved);
  control.MouseMove(296, 50);
  EXPECT_EQ(control.GetCursor(), CR_SizeWE);
  Drag(296, 256);
  EXPECT_EQ(right->GetSize().width, 140);
  EXPECT_EQ(left->GetSize().width, 254);
  EXPECT_EQ(splitter->GetBounds().left, 254);
  EXPECT_EQ(std::get<1>(moved.last()), 140);
  Drag(256, 0);  // the left side keeps its 80
  EXPECT_EQ(left->GetSize().width, 80);
  EXPECT_EQ(right->GetSize().width, 314);
  Drag(83, 399);  // the right side keeps its 50
  EXPECT_EQ(right->GetSize().width, 50);
  control.MouseMove(100, 100);
  EXPECT_EQ(control.GetCursor(), CR_Arrow);
}

TEST_F(splitter_test, AcrossSplittersDragUpAndDownAndLostNeighboursEndTheDrag) {
  splitter->SetAlignment(AL_Bottom);
  right->SetAlignment(AL_Bottom);
  right->SetHeight(60);
  splitter->SetHeight(6);
  EXPECT_TRUE(splitter->IsHorizontal());
  control.MouseMove(200, 136);
  EXPECT_EQ(control.GetCursor(), CR_SizeNS);
  control.MouseDown(200, 136);
  control.MouseMove(200, 116);
  control.MouseUp(200, 116);
  EXPECT_EQ(right->GetSize().height, 80);

  delete right;
  EXPECT_EQ(splitter->GetSizedNeighbour(), nullptr);
  control.MouseDown(200, 150);
  control.MouseMove(200, 20);
  control.MouseUp(200, 20);
  EXPECT_EQ(control.GetFailureCount(), 0);
}

TEST(bevel, EdgesFollowTheStyleAndTheShape) {
  COffscreenControl control(60, 40);
  auto* bevel = new CBevel(control.GetRoot(), {0, 0}, AL_Client);
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const std::uint32_t dark = palette.GetColor(orrin7::PAL_Separator).value;
  const std::uint32_t light = palette.GetColor(orrin7::PAL_CellBackground).value;
  bevel->SetBkColor(orrin7::_color::rgb(10, 200, 10));
  const std::uint32_t back = bevel->GetBkColor().value;
  const auto at = [&](int x, int y) {
    control.Paint();
    return control.GetPixel(x, y).value;
  };
  // Sunken box (the default): dark outside at the top left, light outside at the bottom right.
  EXPECT_EQ(at(0, 0), dark);
  EXPECT_EQ(at(1, 1), light);
  EXPECT_EQ(at(59, 39), light);
  EXPECT_EQ(at(58, 38), dark);
  EXPECT_EQ(at(30, 20), back);
  bevel->SetStyle(BVS_Raised);
  EXPECT_EQ(at(0, 0), light);
  EXPECT_EQ(at(59, 39), dark);
  bevel->SetStyle(BVS_Flat);
  bevel->SetShape(BVSH_BottomLine);
  EXPECT_EQ(at(30, 39), dark);
  EXPECT_EQ(at(30, 38), back);
  EXPECT_EQ(at(0, 0), back);
  bevel->SetShape(BVSH_Spacer);
  EXPECT_EQ(at(30, 39), back);
}

}  // namespace
