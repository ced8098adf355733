// text_painter_t on the Cairo painter: what reaches the pixels, and a PNG of a cell in every state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "painter_fixture.h"
#include "source_view4/text_painter.h"
#include "support/output_path.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::text_painter_t;
using sv4_test::pixel_probe_t;

const _color grey = _color::rgb(0x80, 0x80, 0x80);

class TextPainterPixels : public sv4_test::painter_test_t {};

TEST_F(TextPainterPixels, CellShowsBackgroundGridLinesAndTextInsideItsContent) {
  pixel_probe_t probe(140, 30, grey);
  text_painter_t painter;
  draw_cell_params_t params = cell(&probe.painter(), {0, 0, 120, 24});
  params.text = L"Hello, grid";
  probe.render([&](orrin7::IPainter&) { painter.on_draw_cell(params); });
  const _color background = painter.get_background_color();
  const _color lines = painter.get_grid_lines_color();
  for (const auto& corner : {std::make_pair(0, 0), {119, 0}, {0, 23}, {119, 23}}) {
    EXPECT_EQ(probe.pixel(corner.first, corner.second).value, background.value);
  }
  for (int y = 0; y <= 24; ++y) EXPECT_EQ(probe.pixel(120, y).value, lines.value) << y;
  for (int x = 0; x <= 120; ++x) EXPECT_EQ(probe.pixel(x, 24).value, lines.value) << x;
  EXPECT_GT(probe.count(2, 2, 119, 22, sv4_test::is_dark), 20);
  EXPECT_EQ(probe.count_not(0, 0, 120, 2, background), 0);
  EXPECT_EQ(probe.count_not(0, 22, 120, 24, background), 0);
  EXPECT_EQ(probe.count_not(121, 0, 140, 30, grey), 0);
}

// One cell per row of the image, each in another state; the image goes to the build folder.
TEST_F(TextPainterPixels, WritesAPngOfCellsInEveryState) {
  struct state_t {
    const wchar_t* label;
    bool highlighted, active;
    int flags;
    source_view4::found_items_t found;
  };
  const state_t states[] = {
      {L"normal", false, false, 0, {}},
      {L"active", false, true, 0, {}},
      {L"highlighted", true, false, 0, {}},
      {L"active highlighted", true, true, 0, {}},
      {L"disabled", false, false, 2, {}},
      {L"disabled active", false, true, 2, {}},
      {L"emphasised", false, false, 1, {}},
      {L"found text, current hit", false, false, 0, {{4, 0, 5, false}, {4, 12, 7, true}}},
      {L"a line far too long for its cell ends with an ellipsis", false, false, 0, {}},
  };
  const int row_height = 24, width = 220;
  const int count = int(sizeof states / sizeof states[0]);
  pixel_probe_t probe(width + 1, count * row_height + 1, grey);
  const auto model = make_model(unsigned(count));
  text_painter_t painter;
  for (int i = 0; i < count; ++i) {
    const state_t& s = states[i];
    model->set_data(unsigned(i), 4, std::wstring(s.label));
    model->set_highlighted(unsigned(i), s.highlighted);
    if (!s.found.empty()) model->set_data(unsigned(i), source_view4::found_items_column, s.found);
    draw_cell_params_t params =
        cell(&probe.painter(),
             {0.0, double(i * row_height), double(width), double((i + 1) * row_height)},
             unsigned(i), 4, model);
    params.active = s.active;
    params.cell_flags = s.flags;
    probe.render([&](orrin7::IPainter&) { painter.on_draw_cell(params); });
    const _color background = probe.pixel(0, i * row_height);
    EXPECT_GT(
        probe.count_not(2, i * row_height + 2, width - 1, (i + 1) * row_height - 2, background), 20)
        << i;
  }
  const auto has = [&](_color c) {
    return probe.count(0, 7 * row_height, width, 8 * row_height,
                       [c](_color p) { return p.value == c.value; }) > 0;
  };
  EXPECT_TRUE(has(_color::rgb(0xDA, 0xFF, 0x82)));
  EXPECT_TRUE(has(_color::rgb(0x7F, 0xD7, 0x04)));
  EXPECT_TRUE(probe.write_png(sv4_test::output_path("text_painter_states.png")));
}

}  // namespace
