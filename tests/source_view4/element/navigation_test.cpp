// The navigation strip: bands, visible window and frame against a recording painter, the
// frame-only strip, marked rows, and which model changes repaint it.
#include <gtest/gtest.h>

#include <algorithm>

#include "orrin7/system.h"
#include "orrinfrw7/offscreen_control.h"
#include "source_view4/navigation.h"
#include "support/recording_painter.h"

namespace {

using source_view4::navigation_element_t;
using sv4_test::format_color;

struct strip_t : navigation_element_t {
  using navigation_element_t::DrawContent;
  using navigation_element_t::navigation_element_t;
  using navigation_element_t::set_view_model;
};

int margin() { return orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight); }

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

  const int m = margin();
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
  const std::vector<std::string> lines = only(painter, "LineTo");
  const std::vector<std::string> expected_lines = {
      "LineTo(10, " + std::to_string(20 + m) + ")", "LineTo(10, " + std::to_string(60 + m) + ")",
      "LineTo(0, " + std::to_string(60 + m) + ")", "LineTo(0, " + std::to_string(20 + m) + ")"};
  EXPECT_EQ(lines, expected_lines);
  const std::vector<std::string> pens = only(painter, "SetPen");
  EXPECT_EQ(pens.back(), "SetPen(" + format_color(strip.get_frame_color()) + ", 0, 1)");
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

TEST_F(NavigationStrip, MoreRowsThanPixelsShowOnlyTheFrameColouredStrip) {
  rows.SetCount(300);
  strip.DrawContent(&painter);
  const std::vector<std::string> expected = {fill(0, 0, 10, 100 + 2 * m), fill(0, m, 10, 100 + m)};
  EXPECT_EQ(only(painter, "FillRect"), expected);
  EXPECT_TRUE(only(painter, "LineTo").empty());
}

TEST_F(NavigationStrip, WithoutRowsOrViewModelOnlyTheBackgroundIsDrawn) {
  rows.SetCount(0);
  strip.DrawContent(&painter);
  EXPECT_EQ(only(painter, "FillRect").size(), 1u);
  painter.clear();
  strip.set_view_model(nullptr);
  rows.SetCount(50);
  strip.DrawContent(&painter);
  EXPECT_EQ(only(painter, "FillRect").size(), 1u);
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
  control.Paint();

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
