// What the headless control adds for windows and tests: tooltips of grid cells shown after a
// hover and recorded, and surfaces with more device pixels than control pixels.
#include <gtest/gtest.h>

#include <cairo.h>

#include "orringrid8/tooltip_model.h"
#include "test_widgets.h"

using namespace orrinfrw7;
using widgets_test::colour_grid_t;
using widgets_test::RowColour;
using widgets_test::Str;

namespace {

// Tips "row:column" except in column 2; in row 5 the tip belongs to the cell's left half.
struct tips_t : orringrid8::ITooltipModel {
  std::wstring GetTooltipText(int row, int column) override {
    if (column == 2) return std::wstring();
    return std::to_wstring(row) + L":" + std::to_wstring(column);
  }
  void PlaceTooltip(CTooltipEvent& event, int row, int column,
                    const orrin7::rectangle<int>& cell) override {
    ITooltipModel::PlaceTooltip(event, row, column, cell);
    if (row == 5) event.rect.right = (cell.left + cell.right) / 2;
  }
};

// A grid 10 pixels below the top whose cells answer tooltips from a model.
class tip_grid_t : public colour_grid_t {
 public:
  using colour_grid_t::colour_grid_t;
  tips_t tips;

 protected:
  bool HandleOnTooltip(CTooltipEvent& event) override {
    return orringrid8::QueryCellTooltip(tips, GetRowViewModel(), GetColumnViewModel(),
                                        GetCentralPart(), event);
  }
};

TEST(headless_control, CellTooltipsAppearAfterAHoverAndGoWhenThePointerLeavesTheirArea) {
  COffscreenControl control(300, 200);
  new CVisualElement(control.GetRoot(), {0, 10}, AL_Top);
  auto* grid = new tip_grid_t(control.GetRoot(), AL_Client);
  grid->GetRowViewModel()->SetViewStart(30);  // row 1 is cut by 10 pixels at the top

  control.MouseMove(100, 25);                     // row 2, column 1
  EXPECT_EQ(control.GetShownTooltip(), nullptr);  // only after the hover delay
  ASSERT_TRUE(control.HoverElapsed());
  control.MouseMove(150, 35);  // same cell: the tip stays
  EXPECT_NE(control.GetShownTooltip(), nullptr);
  control.MouseMove(150, 45);
  EXPECT_EQ(control.GetShownTooltip(), nullptr);

  control.MouseMove(100, 115);  // row 6, column 1, then a press takes the tip away
  ASSERT_TRUE(control.HoverElapsed());
  control.MouseDown(100, 115);
  EXPECT_EQ(control.GetShownTooltip(), nullptr);
  control.MouseUp(100, 115);
  control.MouseMove(20, 95);  // row 5: placed by the model
  ASSERT_TRUE(control.HoverElapsed());

  // Column 2 has no tips, nothing lies right of the columns, and then the pointer leaves.
  for (int x : {200, 280}) {
    control.MouseMove(x, 50);
    EXPECT_FALSE(control.HoverElapsed()) << x;
  }
  control.MouseLeave();
  EXPECT_FALSE(control.HoverElapsed());
  std::string record;  // every tip shown: its text and its area
  for (const CShownTooltip& tip : control.GetTooltipRecord())
    record += std::string(tip.text.begin(), tip.text.end()) + "@" + Str(tip.area) + " ";
  EXPECT_EQ(record, "2:1@80,20,160,40 6:1@80,100,160,120 5:0@0,80,40,100 ");
}

TEST(headless_control, AScaledSurfaceHasMoreDevicePixelsAndScrollsThemRight) {
  COffscreenControl control(120, 100);
  auto* grid = new colour_grid_t(control.GetRoot(), AL_Client);
  control.SetScale(2);
  control.Paint();
  EXPECT_EQ(cairo_image_surface_get_width(control.GetSurface()), 240);
  EXPECT_EQ(cairo_image_surface_get_height(control.GetSurface()), 200);
  grid->GetRowViewModel()->SetViewStart(15);  // moves the pixels, paints the strip below
  control.Paint();
  for (int y = 0; y < 100; y += 3)
    EXPECT_EQ(control.GetPixel(50, y), RowColour((y + 15) / 20)) << y;
  // Control pixels stay as many: those beyond it are outside the surface too.
  EXPECT_EQ(control.GetPixel(120, 50).value, 0u);
  control.SetScale(0);
  EXPECT_EQ(control.GetScale(), 1);
}

}  // namespace
