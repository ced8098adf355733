// The source view element in the headless control (regions, heights, the row API, selection,
// scrolling, keys, modes, the text export) and its navigation strip on a recording painter.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orrin7/system.h"
#include "orrinfrw7/offscreen_control.h"
#include "source_view4/navigation.h"
#include "source_view4/source_view_element.h"
#include "support/recording_painter.h"
#include "support/signal_spy.h"

namespace {

using namespace source_view4;

// Reaches the parts the layout keeps for itself.
struct view_t : source_view_element_t {
  using source_view_element_t::source_view_element_t;
  grid_element_t* cells(int r) const { return r ? r > 1 ? right_cells : center_cells : left_cells; }
  grid_element_t* summary(int r) const {
    return r ? r > 1 ? right_summary : center_summary : left_summary;
  }
  orrinfrw7::CHeader* header(int r) const {
    return r ? r > 1 ? right_header : center_header : left_header;
  }
  orrinfrw7::CVisualElement* left() const { return left_panel; }
  orrinfrw7::CVisualElement* right() const { return right_region; }
  orrinfrw7::CVisualElement* center() const { return center_region; }
  orrinfrw7::IContinuousItemViewModel& rows() const { return *center_cells->GetRowViewModel(); }
};

// The system's row height: headers are two of it high, the navigation strip keeps it as margin.
int line() { return orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight); }

class SourceView : public ::testing::Test {
 protected:
  SourceView() {
    view = new view_t(control.GetRoot(), {900, 500}, orrinfrw7::AL_Client);
    control.CompleteAttach();
    model = view->get_data_model();
  }

  // Rows of source text "x<r>", left column 1 holding r + 1, right column 2 holding 10 × r.
  void fill(unsigned int count) {
    model->begin_update();
    model->set_row_count(count);
    for (unsigned int r = 0; r < count; ++r) {
      model->set_source(r, L"x" + std::to_wstring(r));
      model->set_data(r, 1, cell_value_t(int(r + 1)));
      model->set_data(r, 2, cell_value_t(int(10 * r)));
    }
    model->end_update();
    view->get_left_grid()->set_columns({1}, {});
    view->get_right_grid()->set_columns({2}, {});
    control.Paint();
  }

  orrinfrw7::COffscreenControl control{900, 500};
  view_t* view = nullptr;
  utilkit2::smart_pointer_t<data_model_t> model;
};

TEST_F(SourceView, InitGivesAModelAndHidesRegionsWithoutColumns) {
  ASSERT_TRUE(model);
  EXPECT_EQ(view->get_custom_data_model().get(), model.get());
  EXPECT_FALSE(view->left()->IsVisible());
  EXPECT_FALSE(view->right()->IsVisible());
  EXPECT_FALSE(view->get_right_splitter_element()->IsVisible());
  fill(3);
  EXPECT_TRUE(view->left()->IsVisible());
  EXPECT_TRUE(view->right()->IsVisible());
}

// Left panel, center and right region side by side; the left panel fits its columns; the
// splitter position is where the right region begins; narrowing takes the right region's width.
TEST_F(SourceView, RegionsSitSideBySideAndTheRightOneGivesWayFirst) {
  fill(20);
  view->set_splitter_pos(600);
  control.Paint();
  const auto left = view->left()->GetBounds(), center = view->center()->GetBounds(),
             right = view->right()->GetBounds();
  EXPECT_EQ(left.left, 0);
  EXPECT_EQ(left.width(), view->get_left_grid()->get_column_width(0) - 1);
  EXPECT_EQ(center.left, left.right);
  EXPECT_LT(center.right, right.left);
  EXPECT_EQ(view->get_splitter_pos(), 600);
  EXPECT_EQ(right.width(), 300);

  control.SetSize(500, 500);
  EXPECT_EQ(view->right()->GetBounds().width(), 300);
  // Too narrow for all three: the center keeps 3 pixels beside the splitter, the right region
  // takes the rest of the scroll box.
  control.SetSize(330, 500);
  const int splitter = view->get_right_splitter_element()->GetBounds().width();
  EXPECT_EQ(view->center()->GetBounds().width(), 3);
  EXPECT_EQ(view->right()->GetBounds().right + 10, 330);
  EXPECT_EQ(view->center()->GetBounds().right + splitter, view->right()->GetBounds().left);
}

TEST_F(SourceView, SummaryRowsAreOneRowHighAndHeadersKeepTheDeepestLevel) {
  fill(5);
  // The left summary fills its panel above the room of the scroll bars.
  const int row = view->summary(1)->GetRowViewModel()->GetDefaultItemSize();
  EXPECT_EQ(view->summary(0)->GetBounds().height(), row);
  EXPECT_EQ(view->summary(1)->GetBounds().height(), row - 1);
  EXPECT_EQ(view->summary(2)->GetBounds().height(), row - 1);

  view->get_right_grid()->set_columns({2, 3, 4}, {{0, {1, 2}}});
  control.Paint();
  for (int region = 0; region < 3; ++region)
    EXPECT_EQ(view->header(region)->GetBounds().height(), 2 * line()) << region;
  view->get_right_grid()->set_columns({2}, {});
  control.Paint();
  for (int region = 0; region < 3; ++region)
    EXPECT_EQ(view->header(region)->GetBounds().height(), 2 * line()) << region;
}

// Rows as high as the tallest painter font plus the row spacing, the same in every grid.
TEST_F(SourceView, RowsTakeTheTallestPainterFont) {
  fill(5);
  auto bold = utilkit2::smart_pointer_t<column_painters::text_painter_t>(
      new column_painters::text_painter_t());
  bold->set_font(orrin7::font(1, 30, 0));
  view->get_right_grid()->set_column_painter(0, bold);
  control.SysColorsChanged();
  control.Paint();
  const int height = view->rows().GetDefaultItemSize();
  EXPECT_GT(height, 30);
  EXPECT_EQ(view->summary(0)->GetRowViewModel()->GetDefaultItemSize(), height);
}

TEST_F(SourceView, RowApiBoundaries) {
  fill(100);
  const int d = view->rows().GetDefaultItemSize();
  const int v = view->rows().GetViewSize();
  ASSERT_GT(v, 4 * d);

  view->set_top_row(7);
  EXPECT_EQ(view->rows().GetViewStart(), 7 * d);
  EXPECT_EQ(view->get_top_row(), 7u);
  view->rows().SetViewStart(7 * d + d - 1);
  EXPECT_EQ(view->get_top_row(), 7u);

  view->set_center_row(40);
  EXPECT_EQ(view->rows().GetViewStart(), 40 * d - v / 2);
  EXPECT_EQ(view->get_center_row(), 40u);
  view->set_center_row(0);
  EXPECT_EQ(view->rows().GetViewStart(), 0);
  EXPECT_EQ(view->get_center_row(), unsigned((v / 2 + d - 1) / d));

  // Row k ends exactly on the view's bottom edge: not visible; the row cut at the top is.
  const int k = 30;
  view->rows().SetViewStart((k + 1) * d - v);
  const int start = view->rows().GetViewStart();
  EXPECT_FALSE(view->is_row_visible(k));
  EXPECT_TRUE(view->is_row_visible(k - 1));
  EXPECT_TRUE(view->is_row_visible(unsigned(start / d)) == (start % d != 0));
  EXPECT_FALSE(view->is_row_visible(100));
  EXPECT_EQ(view->get_focus_row(), no_row);
}

// One selection for the three grids; select_all is one range; Ctrl+A on an empty model selects
// nothing.
TEST_F(SourceView, SelectionIsSharedAndKeysSelectAll) {
  view->cells(1)->SetFocus();
  control.Key(orrinfrw7::KEY_A, orrinfrw7::MK_Ctrl);
  EXPECT_TRUE(view->get_selection().empty());

  fill(50);
  sv4_test::signal_spy_t<> changes(view->selection_changed);

  const auto cells = view->cells(0)->GetControlRect();
  control.Click(cells.left + 5, cells.top + 3 * view->rows().GetDefaultItemSize() + 2);
  EXPECT_EQ(view->get_selection(), std::vector<unsigned int>{3});
  EXPECT_TRUE(view->cells(2)->GetRowSelectionModel()->IsItemSelected(3));
  EXPECT_GT(changes.count(), 0u);

  view->cells(2)->SetFocus();
  control.Key(orrinfrw7::KEY_A, orrinfrw7::MK_Ctrl);
  EXPECT_EQ(view->get_selection().size(), 50u);
  view->clear_selection();
  view->set_selection({4, 9}, true);
  EXPECT_TRUE(view->get_selection(9));
  EXPECT_EQ(view->get_selection(), (std::vector<unsigned int>{4, 9}));
  view->set_focus_row(9);
  EXPECT_EQ(view->get_focus_row(), 9u);
}

// The metric grids scroll in the center's rows, whatever the row height.
TEST_F(SourceView, ThreeGridsScrollAsOne) {
  fill(200);
  view->set_top_row(17);
  for (int region = 0; region < 3; ++region)
    EXPECT_DOUBLE_EQ(view->cells(region)->get_scroll_model().GetPosition(), 17.0) << region;
  const auto right = view->cells(2)->GetControlRect();
  control.Wheel(right.left + 5, right.top + 20, 2);
  const double position = view->cells(1)->get_scroll_model().GetPosition();
  EXPECT_GT(position, 17.0);
  EXPECT_DOUBLE_EQ(view->cells(0)->get_scroll_model().GetPosition(), position);
  EXPECT_EQ(view->get_top_row(), unsigned(position));
}

TEST_F(SourceView, HierarchicalModes) {
  fill(10);
  view->set_hierarchical_mode(hierarchical_mode_groups);
  auto groups = view->get_hierarchical_data_model();
  ASSERT_TRUE(groups);
  EXPECT_EQ(groups->get_model_type(), hierarchical_mode_groups);
  groups->create_group(2, 5);
  groups->update_hierarchy();
  EXPECT_EQ(view->rows().GetCount(), 7);

  view->set_hierarchical_mode(hierarchical_mode_snippets);
  ASSERT_TRUE(view->get_hierarchical_data_model());
  EXPECT_EQ(view->get_hierarchical_data_model()->get_model_type(), hierarchical_mode_snippets);
  EXPECT_EQ(view->get_center_grid()->get_column_data_id(0), snippet_column);
  EXPECT_EQ(view->rows().GetCount(), 10);

  view->set_hierarchical_mode(hierarchical_mode_none);
  EXPECT_FALSE(view->get_hierarchical_data_model());
  EXPECT_EQ(view->get_center_grid()->get_column_data_id(0), source_column);
  EXPECT_EQ(view->rows().GetCount(), 10);
}

TEST(SourceViewInit, AModeChosenBeforeAttachingIsAppliedByInit) {
  orrinfrw7::COffscreenControl control(400, 300);
  auto* view = new source_view_element_t(control.GetRoot(), {400, 300}, orrinfrw7::AL_Client);
  view->set_hierarchical_mode(hierarchical_mode_snippets);
  EXPECT_FALSE(view->get_hierarchical_data_model());
  control.CompleteAttach();
  ASSERT_TRUE(view->get_hierarchical_data_model());
  EXPECT_EQ(view->get_hierarchical_data_model()->get_model_type(), hierarchical_mode_snippets);
}

// A link is drawn by the element's link painter: underlined, in blue.
TEST_F(SourceView, LinksAreBlue) {
  fill(5);
  model->set_link(1, 2, no_link);
  control.Paint();
  const auto cells = view->cells(2)->GetControlRect();
  const int d = view->rows().GetDefaultItemSize();
  bool blue = false;
  for (int y = cells.top + d; y < cells.top + 2 * d; ++y)
    for (int x = cells.left; x < cells.left + 30; ++x) {
      const orrin7::_color c = control.GetPixel(x, y);
      blue = blue || (c.blue() > 200 && c.red() < 80 && c.green() < 80);
    }
  EXPECT_TRUE(blue);
}

// The containers leave their backgrounds to the children that tile them: whatever the surface
// held before, a full repaint leaves none of it, with and without the side regions and bars.
TEST_F(SourceView, ARepaintCoversEveryPixel) {
  auto is_stale = [](const orrin7::_color& c) {
    return c.red() == 0xFF && c.green() == 0 && c.blue() == 0xFF;
  };
  auto stale_pixels = [&] {
    cairo_t* cr = cairo_create(control.GetSurface());
    cairo_set_source_rgb(cr, 1, 0, 1);
    cairo_paint(cr);
    cairo_destroy(cr);
    control.GetRoot()->Invalidate();
    control.Paint();
    int count = 0;
    for (int y = 0; y < 500; y += 3)
      for (int x = 0; x < 900; x += 3) count += is_stale(control.GetPixel(x, y)) ? 1 : 0;
    return count;
  };
  EXPECT_EQ(stale_pixels(), 0) << "empty view";
  fill(400);
  EXPECT_EQ(stale_pixels(), 0) << "three regions, vertical bar";
  view->get_left_grid()->set_columns({}, {});
  view->set_splitter_pos(100);
  EXPECT_EQ(stale_pixels(), 0) << "no left region, narrow center";
}

// ---- text export ----

class SourceViewExport : public SourceView {
 protected:
  SourceViewExport() {
    model->begin_update();
    model->set_row_count(3);
    const wchar_t* sources[] = {L"x", L"y", L"\tz"};
    for (unsigned int r = 0; r < 3; ++r) {
      model->set_source(r, sources[r]);
      model->set_data(r, 1, cell_value_t(int(2 * r + 1)));
      model->set_data(r, 2, cell_value_t(int(2 * r + 2)));
    }
    model->end_update();
    view->get_left_grid()->set_columns({1, 2}, {});
    view->get_left_grid()->set_caption(0, L"A");
    view->get_left_grid()->set_caption(1, L"B");
    control.Paint();
  }
};

// Captions first unless headers are hidden; tabs within a line; empty pieces leave no separator
// before the first text and keep their place after it; the copy keys take the selection, or
// every row when nothing is selected.
TEST_F(SourceViewExport, RowsJoinedByTabsAfterTheCaptionLine) {
  const std::wstring captions = L"A\tB\tSource\r\n";
  const std::pair<std::vector<unsigned int>, std::wstring> cases[] = {
      {{0, 1}, captions + L"1\t2\tx\r\n3\t4\ty\r\n"},
      {{}, captions},
      {{2}, captions + L"5\t6\t    z\r\n"}};
  for (const auto& [rows, text] : cases) {
    view->copy_to_clipboard(rows);
    EXPECT_EQ(control.GetClipboardText(), text);
  }
  view->cells(1)->SetFocus();
  control.Key(orrinfrw7::KEY_C, orrinfrw7::MK_Ctrl);
  EXPECT_EQ(control.GetClipboardText(), captions + L"1\t2\tx\r\n3\t4\ty\r\n5\t6\t    z\r\n");
  view->set_selection(2, true);
  view->set_selection(0, true);
  control.Key(orrinfrw7::KEY_Insert, orrinfrw7::MK_Ctrl);
  EXPECT_EQ(control.GetClipboardText(), captions + L"1\t2\tx\r\n5\t6\t    z\r\n");

  view->set_header_visible(false);
  view->copy_to_clipboard({1, 1});
  EXPECT_EQ(control.GetClipboardText(), L"3\t4\ty\r\n3\t4\ty\r\n");
  view->copy_to_clipboard({});
  EXPECT_EQ(control.GetClipboardText(), L"\r\n");
  model->set_row_count(5);
  view->get_left_grid()->set_column_data_id(0, 9);
  for (const unsigned int row : {0u, 4u}) model->set_data(row, 9, cell_value_t(std::wstring()));
  model->set_data(4, 2, cell_value_t(std::wstring()));
  model->set_source(4, L"");
  view->copy_to_clipboard({4, 0, 4});
  EXPECT_EQ(control.GetClipboardText(), L"2\tx\r\n\r\n");
}

// The key reaches the element twice, through the focused cells' key signal and through the
// focus holder's key handler: the rows must still be exported once.
TEST_F(SourceViewExport, ACopyKeyExportsOnceWhereverTheFocusIs) {
  struct counting_clipboard_t : orrin7::IClipboardService {
    void SetText(const std::wstring& text) override { ++calls, last = text; }
    void TakeText(std::wstring&& text) override { ++calls, last = std::move(text); }
    std::wstring GetText() const override { return last; }
    int calls = 0;
    std::wstring last;
  } clipboard;
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  orrin7::IClipboardService* before = system->GetClipboardService();
  system->SetClipboardService(&clipboard);
  using element_t = orrinfrw7::CVisualElement;
  for (element_t* focus :
       {static_cast<element_t*>(view->cells(0)), static_cast<element_t*>(view->cells(2)),
        static_cast<element_t*>(view)}) {
    clipboard.calls = 0;
    focus->SetFocus();
    control.Key(orrinfrw7::KEY_C, orrinfrw7::MK_Ctrl);
    EXPECT_EQ(clipboard.calls, 1);
    EXPECT_EQ(clipboard.last.substr(0, 12), L"A\tB\tSource\r\n");
  }
  system->SetClipboardService(before);
}

// ---- the navigation strip ----

using source_view4::navigation_element_t;
using sv4_test::format_color;

struct strip_t : navigation_element_t {
  using navigation_element_t::DrawContent;
  using navigation_element_t::navigation_element_t;
  using navigation_element_t::set_view_model;
};

// Calls of one kind, in order.
std::vector<std::string> only(const sv4_test::recording_painter_t& painter, const char* name) {
  return painter.calls_starting_with({name});
}

std::string fill(double l, double t, double r, double b) {
  std::ostringstream out;
  out << "FillRect(" << l << ", " << t << ", " << r << ", " << b << ")";
  return out.str();
}

class NavigationStrip : public ::testing::Test {
 protected:
  NavigationStrip() {
    model->set_row_count(50);
    strip.set_data_model(model);
    rows.SetCount(50);
    rows.SetViewSize(200, /*keepInside=*/false);
    rows.SetViewStart(100);
    strip.set_view_model(&rows);
    strip.SetPos({0, 0, 10, 100 + 2 * m});
  }

  const int m = line();  // the strip's margin
  utilkit2::smart_pointer_t<source_view4::data_model_t> model{new source_view4::data_model_t()};
  orrinfrw7::CSimpleDiscreteItemViewModel rows{10};
  strip_t strip{nullptr, {10, 100}, orrinfrw7::AL_None};
  sv4_test::recording_painter_t painter;
};

// 100 usable pixels, 50 rows of 10 over 500: bands of 2 pixels, the window from 20 to 60.
TEST_F(NavigationStrip, MapsRowsOntoBandsAndFramesTheVisibleWindow) {
  strip.DrawContent(&painter);
  const std::vector<std::string> fills = only(painter, "FillRect");
  ASSERT_EQ(fills.size(), 2u + 50u);
  EXPECT_EQ(fills[0], fill(0, 0, 10, 100 + 2 * m));
  EXPECT_EQ(fills[1], fill(0, 20 + m, 10, 60 + m));
  EXPECT_EQ(fills[2], fill(0, m, 10, 2 + m));
  EXPECT_EQ(fills[51], fill(0, 98 + m, 10, 100 + m));
  const auto to = [](int x, int y) {
    return "LineTo(" + std::to_string(x) + ", " + std::to_string(y) + ")";
  };
  EXPECT_EQ(only(painter, "LineTo"), (std::vector<std::string>{to(10, 20 + m), to(10, 60 + m),
                                                               to(0, 60 + m), to(0, 20 + m)}));
  EXPECT_EQ(only(painter, "SetPen").back(),
            "SetPen(" + format_color(strip.get_frame_color()) + ", 0, 1)");
}

TEST_F(NavigationStrip, WindowColourIsTheBackgroundAFewPercentTowardsTheFrame) {
  const orrin7::_color b = strip.get_background_color(), f = strip.get_frame_color(),
                       w = strip.get_window_color();
  for (const auto channel : {&orrin7::_color::red, &orrin7::_color::green, &orrin7::_color::blue}) {
    const float from = float((b.*channel)()) / 255.0f, to = float((f.*channel)()) / 255.0f;
    EXPECT_EQ((w.*channel)(), int((from + (to - from) * 0.05f) * 255.0f));
  }
  EXPECT_EQ(w.alpha(), 255);
  EXPECT_EQ(w.flag, 0);
}

TEST_F(NavigationStrip, RowsWithASnippetAreMarked) {
  model->set_data(3, source_view4::snippet_column,
                  source_view4::cell_value_t(source_view4::snippet_t{}));
  strip.DrawContent(&painter);
  const std::vector<std::string> brushes = only(painter, "SetBrush");
  const std::string marker =
      "SetBrush(" +
      format_color(source_view4::column_painters::navigation_simple_painter_t::marker_color()) +
      ", 1)";
  ASSERT_EQ(brushes.size(), 52u);
  EXPECT_EQ(std::count(brushes.begin(), brushes.end(), marker), 1);
  EXPECT_EQ(brushes[2 + 3], marker);
  EXPECT_EQ(brushes[2 + 4], "SetBrush(" + format_color(strip.get_background_color()) + ", 1)");
}

// More rows than pixels: only the frame-coloured strip (a row a pixel still has its bands); no
// rows or no view model: only the background.
TEST_F(NavigationStrip, CrowdedOrMissingRowsDrawNoBands) {
  rows.SetCount(100);
  strip.DrawContent(&painter);
  EXPECT_EQ(only(painter, "FillRect").size(), 2u + 100u);
  painter.clear();
  rows.SetCount(101);
  strip.DrawContent(&painter);
  const std::vector<std::string> expected = {fill(0, 0, 10, 100 + 2 * m), fill(0, m, 10, 100 + m)};
  EXPECT_EQ(only(painter, "FillRect"), expected);
  EXPECT_TRUE(only(painter, "LineTo").empty());
  for (const bool model_gone : {false, true}) {
    painter.clear();
    rows.SetCount(model_gone ? 50 : 0);
    if (model_gone) strip.set_view_model(nullptr);
    strip.DrawContent(&painter);
    EXPECT_EQ(only(painter, "FillRect").size(), 1u) << model_gone;
  }
}

// Repaints reach the strip through its control: scrolling, a new model state, a snippet change;
// a change of another column leaves it alone.
TEST(NavigationStripRepaint, FollowsScrollingModelUpdatesAndSnippetChangesOnly) {
  orrinfrw7::COffscreenControl control(100, 200);
  auto* strip = new strip_t(control.GetRoot(), {10, 200}, orrinfrw7::AL_Right);
  utilkit2::smart_pointer_t<source_view4::data_model_t> model(new source_view4::data_model_t());
  model->set_row_count(100);
  orrinfrw7::CSimpleDiscreteItemViewModel rows(10);
  rows.SetCount(100);
  rows.SetViewSize(50, false);
  strip->set_view_model(&rows);
  strip->set_data_model(model);
  const auto repaints = [&](auto change) {
    control.Paint();
    change();
    return control.HasPendingPaint();
  };
  EXPECT_TRUE(repaints([&] { rows.SetViewStart(30); }));
  EXPECT_TRUE(repaints([&] { model->model_updated.emit(); }));
  EXPECT_TRUE(repaints(
      [&] { model->set_data(4, source_view4::snippet_column, source_view4::cell_value_t(1)); }));
  EXPECT_FALSE(repaints([&] { model->set_data(4, 7, source_view4::cell_value_t(1)); }));
  strip->set_view_model(nullptr);
  EXPECT_FALSE(repaints([&] { rows.SetViewStart(60); }));
}

}  // namespace
