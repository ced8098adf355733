// Widgets over time and under the pointer, on the headless control's virtual clock: thumbs one can
// find, repeating arrows and track, held drag-selections, tooltips of cells, header captions.
#include <gtest/gtest.h>

#include <algorithm>

#include "orrin7/system.h"
#include "orrinfrw7/header.h"
#include "orrinfrw7/scroll.h"
#include "orrinfrw7/widget_colors.h"
#include "orringrid8/tooltip_model.h"
#include "support/signal_spy.h"
#include "test_widgets.h"

using namespace orrinfrw7;
using widgets_test::colour_grid_t;
using widgets_test::Str;

namespace {

bool SameRgb(const orrin7::_color& a, const orrin7::_color& b) {
  return a.red() == b.red() && a.green() == b.green() && a.blue() == b.blue();
}

// Puts the light, the dark or a high-contrast palette (white on black with white frames, as
// desktop themes have it) in force for its lifetime; the light one comes back afterwards.
struct palette_scope_t {
  explicit palette_scope_t(int theme) {
    orrin7::IPalette& palette = orrin7::GetSysPalette();
    palette.UseDarkColors(theme == 1);
    if (theme != 2) return;
    for (int index : {orrin7::PAL_CellBackground, orrin7::PAL_GroupBackground})
      palette.SetColor(index, orrin7::_color::rgb(0, 0, 0));
    for (int index : {orrin7::PAL_Text, orrin7::PAL_Separator})
      palette.SetColor(index, orrin7::_color::rgb(0xFF, 0xFF, 0xFF));
    palette.SetColor(orrin7::PAL_SelectionBackground, orrin7::_color::rgb(0xFF, 0xFF, 0x00));
  }
  ~palette_scope_t() { orrin7::GetSysPalette().UseDarkColors(false); }
};

// A scroll box around a grid of a million rows of 20 pixels.
struct scroll_feel_test : ::testing::Test {
  scroll_feel_test() {
    grid->Rows().SetCount(1000000);
    box->ConnectElement(grid, SC_Vertical, /*driving=*/true);
    control.Paint();
  }
  CScrollBar* Bar() const { return box->GetScrollBar(OR_Vertical); }
  orrin7::point<int> OnBar(int x, int y) const { return Bar()->ElementToControl({x, y}); }
  orrin7::_color Pixel(orrin7::point<int> p) {
    control.Paint();
    return control.GetPixel(p.x, p.y);
  }

  COffscreenControl control{300, 400};
  CScrollBox* box = new CScrollBox(control.GetRoot(), {0, 0}, AL_Client);
  colour_grid_t* grid = new colour_grid_t(box, AL_Client);
};

TEST_F(scroll_feel_test, TheThumbIsLongEnoughAndStandsOutInEveryPalette) {
  for (int theme : {0, 1, 2}) {
    palette_scope_t palette(theme);
    control.SysColorsChanged();
    SCOPED_TRACE(theme);
    const orrin7::rectangle<int> thumb = Bar()->GetThumbRect();
    ASSERT_GE(thumb.height(), CScrollBar::kMinThumbLength);
    const int mid = Bar()->GetSize().width / 2;
    const orrin7::_color track = Pixel(OnBar(mid, thumb.bottom + 20));
    // The thumb's colour runs its whole length, not only a few pixels of it.
    const orrin7::_color rest = Pixel(OnBar(mid, thumb.top + thumb.height() / 2));
    EXPECT_EQ(Pixel(OnBar(mid, thumb.bottom - 1)), rest);
    EXPECT_EQ(Pixel(OnBar(mid, thumb.top)), rest);
    EXPECT_GE(ContrastRatio(rest, track), 3.0);

    // Under the pointer and while dragged, it looks different again and stands out more.
    const orrin7::point<int> grip = OnBar(mid, thumb.top + 5);
    control.MouseMove(grip.x, grip.y);
    const orrin7::_color hover = Pixel(grip);
    control.MouseDown(grip.x, grip.y);
    const orrin7::_color pressed = Pixel(grip);
    control.MouseUp(grip.x, grip.y);
    control.MouseLeave();
    EXPECT_NE(hover, rest);
    EXPECT_NE(pressed, hover);
    EXPECT_GT(ContrastRatio(hover, track), ContrastRatio(rest, track));
    EXPECT_GT(ContrastRatio(pressed, track), ContrastRatio(hover, track));
    EXPECT_EQ(Pixel(grip), rest);
  }
}

TEST_F(scroll_feel_test, AHeldArrowRepeatsAfterADelayWhileThePointerStaysOnIt) {
  const int bottom = Bar()->GetSize().height;
  const orrin7::point<int> arrow = OnBar(5, bottom - 5);
  std::vector<int> tops;  // rows scrolled after each step
  const auto wait = [&](int ms) {
    control.AdvanceTime(ms);
    tops.push_back(grid->Top() / 20);
  };
  control.MouseMove(arrow.x, arrow.y);
  control.MouseDown(arrow.x, arrow.y);
  wait(CScrollBar::kRepeatDelayMs - 1);
  // Held for a second: the press, then repeats at 400, 433, … 994 ms.
  wait(1000 - CScrollBar::kRepeatDelayMs + 1);
  // Off the arrow nothing more happens; back on it, the repeat goes on.
  control.MouseMove(arrow.x, arrow.y - 60);
  wait(500);
  control.MouseMove(arrow.x, arrow.y);
  wait(100);
  control.MouseUp(arrow.x, arrow.y);
  wait(1000);
  EXPECT_EQ(tops, (std::vector<int>{1, 20, 20, 23, 23}));
}

TEST_F(scroll_feel_test, AHeldTrackPagesUntilTheThumbReachesThePointer) {
  grid->Rows().SetCount(400);  // 8000 pixels: a long thumb that pages in big steps
  box->UpdateScrollBars();
  control.Paint();
  const orrin7::rectangle<int> track = Bar()->GetTrackRect();
  const orrin7::point<int> at = OnBar(5, track.bottom - 40);
  control.MouseMove(at.x, at.y);
  control.MouseDown(at.x, at.y);
  control.AdvanceTime(3000);
  const orrin7::rectangle<int> thumb = Bar()->GetThumbRect();
  EXPECT_GT(grid->Top(), 0);
  EXPECT_LT(grid->Top(), 8000 - grid->GetRowViewModel()->GetViewSize());  // not to the end
  EXPECT_TRUE(thumb.top <= track.bottom - 40 && track.bottom - 40 < thumb.bottom)
      << thumb.top << " " << thumb.bottom;
  control.MouseUp(at.x, at.y);
}

TEST_F(scroll_feel_test, ADragSelectionHeldBelowTheRowsKeepsScrollingUntilItComesBack) {
  grid->Rows().SetCount(1000);
  control.Paint();
  control.MouseMove(30, 30);
  control.MouseDown(30, 30);
  const int view = grid->GetRowViewModel()->GetViewSize();
  control.MouseMove(30, view);  // on the first pixel below the rows, then held still
  const auto current = [&] { return grid->GetRowEventHandler().GetSelectionModel()->GetCurrent(); };
  const int first = grid->Top(), first_current = current();
  control.AdvanceTime(1000);  // twenty steps of a row
  EXPECT_EQ(std::make_pair(grid->Top(), current()),
            std::make_pair(first + 400, first_current + 20));
  // Farther below, it goes faster.
  control.MouseMove(30, view + 60);
  const int before = grid->Top();
  control.AdvanceTime(500);
  EXPECT_EQ(grid->Top(), before + 10 * 3 * 20);
  // Back inside the rows, or released outside, it stops.
  for (bool release : {false, true}) {
    control.MouseMove(30, release ? view + 10 : view - 30);
    if (release) control.MouseUp(30, view + 10);
    const int still = grid->Top();
    control.AdvanceTime(500);
    EXPECT_EQ(grid->Top(), still) << release;
  }
}

// Cells of 20 × 20 pixels, each with a tip naming it.
class tip_cells_t : public CVisualElement {
 public:
  using CVisualElement::CVisualElement;

 protected:
  bool HandleOnTooltip(CTooltipEvent& event) override {
    const int column = event.x / 20;
    const int row = event.y / 20;
    event.text = std::to_wstring(column) + L"," + std::to_wstring(row);
    event.rect = {column * 20, row * 20, column * 20 + 20, row * 20 + 20};
    return true;
  }
};

TEST(tooltip_feel, ATipFollowsThePointerIntoEachNeighbouringCellAfterTheDelay) {
  COffscreenControl control(200, 200);
  new tip_cells_t(control.GetRoot(), {0, 0}, AL_Client);
  const int delay = COffscreenControl::kTooltipDelayMs;
  control.MouseMove(5, 5);
  control.AdvanceTime(delay - 1);
  EXPECT_EQ(control.GetShownTooltip(), nullptr);
  control.AdvanceTime(1);
  ASSERT_NE(control.GetShownTooltip(), nullptr);
  // Moving inside the cell keeps the tip without asking again.
  control.MouseMove(12, 8);
  control.AdvanceTime(delay);
  EXPECT_EQ(control.GetTooltipRecord().size(), 1u);
  // Step by step to the right and down, resting in each cell: a tip for every cell, each only
  // after a full delay from the step into it.
  int x = 12, y = 8;
  for (int step = 0; step < 12; ++step) {
    (step % 2 ? y : x) += 20;
    control.MouseMove(x, y);
    EXPECT_EQ(control.GetShownTooltip(), nullptr) << step;
    control.AdvanceTime(delay / 2);
    control.MouseMove(x + 1, y);  // a small stir restarts the wait
    control.AdvanceTime(delay - 1);
    EXPECT_EQ(control.GetShownTooltip(), nullptr) << step;
    control.AdvanceTime(1);
    ASSERT_NE(control.GetShownTooltip(), nullptr) << step;
    EXPECT_EQ(control.GetShownTooltip()->text,
              std::to_wstring((x + 1) / 20) + L"," + std::to_wstring(y / 20));
  }
  EXPECT_EQ(control.GetTooltipRecord().size(), 13u);
  // A press takes the tip away and cancels a pending one.
  control.MouseMove(x + 30, y);
  control.MouseDown(x + 30, y);
  control.AdvanceTime(2 * delay);
  EXPECT_EQ(control.GetShownTooltip(), nullptr);
  control.MouseUp(x + 30, y);
}

// ---- tooltips of grid cells, shown after a hover and recorded ----

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

}  // namespace

// A header 300 pixels wide and 24 high over columns of 100, 400 and 100 pixels.
struct header_feel_test : ::testing::Test {
  header_feel_test() {
    for (int i = 0; i < 3; ++i) model.Add(L"WWW" + std::to_wstring(i), i == 1 ? 400 : 100, i);
    header->SetModel(&model);
    control.Paint();
  }
  orrin7::_color Pixel(int x, int y) {
    control.Paint();
    return control.GetPixel(x, y);
  }
  // Columns of the header painted in the caption text colour between rows y0 and y1.
  std::vector<int> InkColumns(int y0, int y1) {
    control.Paint();
    std::vector<int> out;
    for (int x = 0; x < 300; ++x)
      for (int y = y0; y < y1; ++y)
        if (ContrastRatio(control.GetPixel(x, y), WidgetColor(WC_Face)) > 4) {
          out.push_back(x);
          break;
        }
    return out;
  }

  COffscreenControl control{300, 100};
  CSimpleHeaderModel model;
  CHeader* header = new CHeader(control.GetRoot(), {0, 24}, AL_Top);
};

TEST_F(header_feel_test, APressedCaptionLooksSunkAndClearlyDarkerThanUnderThePointer) {
  const orrin7::_color face = Pixel(50, 20);
  control.MouseMove(50, 12);
  const orrin7::_color hover = Pixel(50, 20);
  control.MouseDown(50, 12);
  const orrin7::_color pressed = Pixel(50, 20);
  EXPECT_GE(ContrastRatio(pressed, face), 1.5);
  EXPECT_GE(ContrastRatio(pressed, hover), 1.3);
  // The top edge is shaded, as a button pushed in.
  EXPECT_GE(ContrastRatio(Pixel(50, 0), pressed), 1.5);
  control.MouseUp(50, 12);
  EXPECT_EQ(Pixel(50, 20), hover);
}

TEST_F(header_feel_test, ADraggedCaptionFollowsThePointerOverAWideAccentDropMarker) {
  for (int x : {20, 150, 230}) (x == 20 ? control.MouseDown(x, 12) : control.MouseMove(x, 12));
  // The pointer is in the second column's left half: the first column would land in front of
  // it, at x = 100, where the marker stands.
  const orrin7::_color accent = WidgetColor(WC_Accent);
  int marker = 0;
  for (int x = 95; x < 106; ++x) marker += SameRgb(Pixel(x, 12), accent) ? 1 : 0;
  EXPECT_GE(marker, 2);
  // The translucent copy of the caption spans 210 … 310: its face is neither the plain face nor
  // opaque, and the caption's ink travels with it.
  const orrin7::_color copy = Pixel(240, 20);
  EXPECT_FALSE(SameRgb(copy, WidgetColor(WC_Face)));
  EXPECT_FALSE(SameRgb(copy, WidgetColor(WC_FacePressed)));
  const std::vector<int> ink = InkColumns(4, 20);
  EXPECT_TRUE(std::any_of(ink.begin(), ink.end(), [](int x) { return x > 230 && x < 290; }));
  control.MouseUp(230, 12);
  EXPECT_EQ(header->VisibleIndex2ModelIndex(0), 0);  // dropped in front of itself: no move
}

// One pixel short of the zone nothing scrolls; on its first pixel the header scrolls, and a release
// there without another move drops the caption where the scrolled columns now put the pointer.
TEST_F(header_feel_test, ACaptionDragHeldAtTheRightEdgeScrollsTheHeaderAndDropsWhereItGot) {
  const int zone = 300 - CHeader::kEdgeScrollZone;
  for (int x : {20, 150, zone - 1}) (x == 20 ? control.MouseDown(x, 12) : control.MouseMove(x, 12));
  control.AdvanceTime(300);
  EXPECT_EQ(header->GetColumnViewModel()->GetViewStart(), 0);
  control.MouseMove(zone, 12);
  control.AdvanceTime(CHeader::kEdgeScrollMs * 10);
  EXPECT_EQ(header->GetColumnViewModel()->GetViewStart(), 10 * CHeader::kEdgeScrollStep);
  // The pointer is over view pixel 404 now, right of the wide column's middle: the first column
  // lands behind it.
  control.MouseUp(zone, 12);
  EXPECT_EQ(header->VisibleIndex2ModelIndex(0), 1);
  EXPECT_EQ(header->VisibleIndex2ModelIndex(1), 0);
  control.AdvanceTime(300);  // the release stopped the scrolling
  EXPECT_EQ(header->GetColumnViewModel()->GetViewStart(), 10 * CHeader::kEdgeScrollStep);
}

TEST_F(header_feel_test, WideCaptionsStayCentredInTheVisiblePart) {
  header->GetColumnViewModel()->SetViewStart(200);  // the wide column spans -100 … 300
  const std::vector<int> ink = InkColumns(4, 20);
  ASSERT_FALSE(ink.empty());
  EXPECT_NEAR((ink.front() + ink.back()) / 2, 150, 4);
}

TEST_F(header_feel_test, ADoubleClickOnARightEdgeAsksToFitThatColumn) {
  sv4_test::signal_spy_t<CHeader*, IHeaderItem*> asked(header->ItemFitRequested);
  control.DoubleClick(99, 12);  // the first column's right edge
  control.DoubleClick(50, 12);  // a caption: no fit
  ASSERT_EQ(asked.count(), 1u);
  EXPECT_EQ(std::get<1>(asked.last()), header->GetVisibleItem(0));
  EXPECT_EQ(header->GetColumnViewModel()->GetItemSize(0), 100);
}
