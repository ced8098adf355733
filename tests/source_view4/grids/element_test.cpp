// The grid element on its own (cell signal, empty areas and separators, colours, row height,
// tooltips), its scroll model and remove translator, and the header model's item tree.
#include <gtest/gtest.h>

#include "orrin7/system.h"
#include "orrinfrw7/offscreen_control.h"
#include "source_view4/grid_element.h"
#include "source_view4/header_model.h"
#include "support/recording_painter.h"
#include "support/signal_spy.h"

namespace {

using namespace source_view4;
using strings = std::vector<std::string>;
using rect_t = orrin7::rectangle<double>;

struct probe_element_t : grid_element_t {
  using grid_element_t::DrawCell;
  using grid_element_t::DrawColumnEmptyArea;
  using grid_element_t::DrawRowEmptyArea;
  using grid_element_t::grid_element_t;
};

struct height_chooser_t : utilkit2::subscriber_base_t {
  int answer = -1;
  void choose(int& height) { height = answer == -1 ? height : answer; }
};

struct tips_t : orringrid8::ITooltipModel {
  std::wstring GetTooltipText(int row, int column) override {
    return L"tip " + std::to_wstring(row) + L"," + std::to_wstring(column);
  }
};

// Ten rows of 20 pixels and two columns of 100 in a 400 × 300 control.
class element_test : public ::testing::Test {
 protected:
  element_test() : element(new probe_element_t(control.GetRoot(), {0, 0}, orrinfrw7::AL_Client)) {
    control.CompleteAttach();
    element->SetRowHeightUpdating(false);
    rows().SetDefaultItemSize(20);
    rows().SetCount(10);
    columns().SetCount(2);
    control.Paint();
  }
  ~element_test() override { orrin7::GetSysPalette().UseDarkColors(false); }
  static orrinfrw7::CSimpleDiscreteItemViewModel& sized(orrinfrw7::IContinuousItemViewModel* m) {
    return dynamic_cast<orrinfrw7::CSimpleDiscreteItemViewModel&>(*m);
  }
  orrinfrw7::CSimpleDiscreteItemViewModel& rows() { return sized(element->GetRowViewModel()); }
  orrinfrw7::CSimpleDiscreteItemViewModel& columns() {
    return sized(element->GetColumnViewModel());
  }
  static unsigned palette(int index) { return orrin7::GetSysPalette().GetColor(index).value; }

  orrinfrw7::COffscreenControl control{400, 300};
  probe_element_t* element;
  sv4_test::recording_painter_t surface;
};

// A partly scrolled-out cell is reported whole, with its right and bottom edges on its last
// pixels (columns 100 and rows 20 wide here); clean cells only when everything is redrawn.
TEST_F(element_test, CellSignalWidensScrolledCellsAndSkipsCleanOnes) {
  auto drawn = sv4_test::spy_on(element->cell_drawing);
  element->DrawCell(&surface, 3, 5, 1, 7, 6, rect_t(10, 0, 50, 15), orrinfrw7::UT_Changed);
  element->DrawCell(&surface, 4, 0, 1, 0, 0, rect_t(10, 15, 50, 35), orrinfrw7::UT_Unchanged);
  element->set_redraw_allways(true);
  element->DrawCell(&surface, 4, 0, 1, 0, 0, rect_t(10, 15, 50, 35), orrinfrw7::UT_Unchanged);
  using record_t = std::tuple<orrin7::IPainter*, unsigned int, unsigned int, int, rect_t>;
  EXPECT_EQ(drawn.records(),
            (std::vector<record_t>{{&surface, 3u, 1u, 6, rect_t(3, -5, 102, 14)},
                                   {&surface, 4u, 1u, 0, rect_t(10, 15, 109, 34)}}));
}

TEST_F(element_test, EmptyAreasAndTheirSeparators) {
  const std::string fill =
      "SetBrush(" + sv4_test::format_color(element->GetEmptyAreaColor()) + ", 1)";
  const std::string pen =
      "SetPen(" + sv4_test::format_color(element->GetSeparatorColor()) + ", 1, 1)";
  const auto draw = [&](bool below, rect_t r) {
    surface.clear();
    below ? element->DrawRowEmptyArea(&surface, r) : element->DrawColumnEmptyArea(&surface, r);
    return surface.calls();
  };
  EXPECT_EQ(draw(true, rect_t(0, 200, 400, 300)), (strings{fill, "FillRect(0, 200, 400, 300)"}));
  element->DrawEmptyAreaSeparator(true);
  EXPECT_EQ(
      draw(true, rect_t(0, 200, 400, 300)),  // ends at the last column
      (strings{fill, "FillRect(0, 200, 400, 300)", pen, "MoveTo(0, 200)", "LineTo(200, 200)"}));
  EXPECT_EQ(draw(false, rect_t(200, 0, 400, 200)), (strings{fill, "FillRect(200, 0, 400, 200)", pen,
                                                            "MoveTo(200, 0)", "LineTo(200, 300)"}));
  columns().SetFlags(orrinfrw7::IVF_StretchLastItem);
  EXPECT_EQ(draw(true, rect_t(0, 200, 400, 300)).back(), "LineTo(400, 200)");
  columns().SetFlags(0);
  columns().SetCount(5);  // wider than the element: no vertical line
  EXPECT_EQ(draw(false, rect_t(400, 0, 400, 200)).size(), 2u);
}

TEST_F(element_test, ColoursFollowThePaletteUnlessSetByTheHost) {
  EXPECT_EQ(std::make_tuple(element->GetEmptyAreaColor().value, element->GetBkColor().value,
                            element->GetSeparatorColor().value),
            std::make_tuple(palette(6), palette(6), palette(7)));
  const orrin7::_color red = orrin7::_color::rgb(200, 0, 0);
  element->SetEmptyAreaColor(red);
  orrin7::GetSysPalette().UseDarkColors(true);
  control.SysColorsChanged();
  control.Paint();
  EXPECT_EQ(std::make_tuple(element->GetEmptyAreaColor().value, element->GetBkColor().value,
                            element->GetSeparatorColor().value, control.GetPixel(399, 299).value),
            std::make_tuple(red.value, red.value, palette(7), red.value));
}

TEST_F(element_test, RowHeightQueryAndTooltips) {
  const int natural = element->GetTextLineHeight() +
                      int(orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight));
  EXPECT_EQ(element->CalculateDefaultRowHeight(), natural);
  height_chooser_t chooser;
  element->row_height_query.connect(&chooser, &height_chooser_t::choose);
  chooser.answer = 17;
  element->SetRowMargin(2);
  element->RecalculateRowHeight();
  EXPECT_EQ(rows().GetDefaultItemSize(), 19);
  chooser.answer = 0;
  element->RecalculateRowHeight();
  EXPECT_EQ(element->CalculateDefaultRowHeight() + rows().GetDefaultItemSize(), 19);
  chooser.answer = -1;
  EXPECT_EQ(element->CalculateDefaultRowHeight(), natural);

  rows().SetDefaultItemSize(20);
  tips_t tips;
  element->set_tooltip_model(&tips);
  control.MouseMove(150, 50);
  ASSERT_TRUE(control.HoverElapsed());
  EXPECT_EQ(control.GetShownTooltip()->text, L"tip 2,1");
  EXPECT_EQ(control.GetShownTooltip()->area, orrin7::rectangle<int>(100, 40, 200, 60));
  control.MouseMove(250, 50);  // right of the columns
  EXPECT_FALSE(control.HoverElapsed());
}

TEST(scroll_model, CountsInDefaultRowsAndRemoveTranslatorRemovesAll) {
  orrinfrw7::CDefaultDiscreteItemViewModel size(20), target(30);
  for (auto* m : {&size, &target}) m->SetCount(50), m->SetViewSize(100, true);
  PseudoDiscreteScrollModel scroll(&size);
  scroll.SetPosition(2.5);
  EXPECT_EQ(std::make_pair(size.GetViewStart(), scroll.GetPosition()), std::make_pair(50, 2.5));
  scroll.SetTargetViewModel(&target);
  scroll.SetPosition(3);  // rows of the size model, pixels of the target
  EXPECT_EQ(std::make_tuple(target.GetViewStart(), scroll.GetPosition(), scroll.GetTotal(),
                            scroll.GetLineStep(), scroll.GetPageInfo()),
            std::make_tuple(60, 3.0, 50, 20, std::make_pair(1.0, 20)));
  PseudoDiscreteScrollModel none(nullptr);
  none.SetPosition(4);
  EXPECT_EQ(
      std::make_tuple(none.GetTotal(), none.GetPosition(), none.GetLineStep(), none.GetPageInfo()),
      std::make_tuple(0, 0.0, 4, std::make_pair(1.0, 1)));
  none.SetTargetViewModel(&target);
  EXPECT_EQ(none.GetTotal(), 1500);  // the target's pixels

  bool removed = false;
  EXPECT_EQ(RemoveTranslator().TranslateIndex(7, &removed), 7);
  EXPECT_TRUE(removed);
  EXPECT_EQ(RemoveTranslator().TranslateIndex(3, nullptr), 3);
}

// Items for columns 1 (hidden), 2, 3 and a group 0 of 3 and 1.
TEST(header_model, VisibleLookupsResizeAndDeepCopies) {
  header_model_t model;
  model.resize_columns(4);
  for (unsigned int c = 0; c < 4; ++c) model.column_at(c)->caption = std::to_wstring(c);
  model.column_at(1)->visible = false;
  for (unsigned int c : {1u, 2u, 3u}) model.add_item(c);
  model.add_group(0, {3, 1});
  const auto caption = [](const orrinfrw7::IHeaderItem* item) {
    return item ? item->GetCaption() : L"null";
  };
  const orrinfrw7::IHeaderItem* group = model.GetVisibleChild(2);
  EXPECT_EQ(std::make_pair(model.GetVisibleChildCount(), group->GetVisibleChildCount()),
            std::make_pair(3, 1));
  EXPECT_EQ(caption(model.GetVisibleChild(0)) + caption(model.GetVisibleChild(1)) + caption(group) +
                caption(model.GetVisibleChild(5)) + caption(group->GetVisibleChild(0)) +
                caption(group->GetVisibleChild(1)) + caption(header_model_t().GetVisibleChild(0)),
            L"230133null");  // past the end: the first item, hidden or not
  EXPECT_EQ(group->GetVisibleChild(0)->GetParent(), group);
  EXPECT_EQ(group->GetOwner(), &model);

  header_model_t copy(model);
  copy.column_at(3)->caption = L"copied";
  const orrinfrw7::IHeaderItem* copied_group = copy.GetVisibleChild(2);
  EXPECT_EQ(copied_group->GetOwner(), &copy);
  EXPECT_EQ(copied_group->GetVisibleChild(0)->GetOwner(), copied_group);
  EXPECT_EQ(caption(copied_group->GetVisibleChild(0)) + caption(group->GetVisibleChild(0)),
            L"copied3");
  const header_model_t::header_item_t item_copy(model.get_items()[3]);
  EXPECT_EQ(item_copy.get_children()[0].GetOwner(), &item_copy);

  model.column_at(0)->width = 90;
  model.resize_columns(3);  // column 3 goes, and its item and child with it
  model.resize_columns(5);
  const header_column_t &kept = *model.column_at(0), &added = *model.column_at(4);
  EXPECT_EQ(std::make_tuple(kept.caption, kept.width), std::make_tuple(std::wstring(L"0"), 90));
  EXPECT_EQ(std::make_tuple(added.caption, added.width, added.visible, added.expansion_state,
                            added.value_a, added.value_b, added.value_c),
            std::make_tuple(std::wstring(), 40, true, 0, 0, -1, 36));
  EXPECT_EQ(std::make_pair(model.get_items().size(), model.get_items()[2].get_children().size()),
            std::make_pair(std::size_t(3), std::size_t(1)));
}

}  // namespace
