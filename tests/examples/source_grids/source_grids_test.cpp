// The source_grids program writes its PNG with the cells of the three grids in their painters'
// colours, at the positions of the same view built here in a control of the example's size.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "orrinfrw7/offscreen_control.h"
#include "source_view4/bar_painter.h"
#include "source_view4/group_painter.h"
#include "source_view4/summary_text_painter.h"
#include "support/output_path.h"
#include "three_grids.h"

namespace {

using orrin7::_color;
using source_grids::landmarks_t;
using source_grids::region_t;
using source_grids::three_grids_t;
using namespace source_view4::column_painters;

// Opaque RGB of a colour, as the image holds it.
std::uint32_t rgb(const _color& c) { return c.value | 0xFF000000u; }

// The image the program writes for `rows` rows, and the same view laid out here.
class written_view_t {
 public:
  explicit written_view_t(unsigned int rows)
      : m_control(source_grids::example_width, source_grids::example_height),
        m_image(nullptr, &cairo_surface_destroy) {
    // One file per test process: CTest runs the tests of this file side by side.
    const std::string path = sv4_test::output_path("source_grids_" + std::to_string(rows) + "_" +
                                                   std::to_string(getpid()) + ".png");
    std::remove(path.c_str());
    const std::string command = std::string(SOURCE_GRIDS_PROGRAM) + " '" + path + "' " +
                                std::to_string(rows) + " >/dev/null";
    m_status = std::system(command.c_str());
    m_image.reset(cairo_image_surface_create_from_png(path.c_str()));
    std::remove(path.c_str());

    source_grids::options_t options;
    options.rows = rows;
    m_grids.reset(new three_grids_t(m_control.GetRoot(), options));
    m_control.CompleteAttach();
    m_grids->fit();
    m_grids->rows().SetViewStart(m_grids->rows().GetItemOffset(int(source_grids::example_top_row)));
  }

  bool written() const {
    return m_status == 0 && cairo_surface_status(m_image.get()) == CAIRO_STATUS_SUCCESS &&
           cairo_image_surface_get_width(m_image.get()) == source_grids::example_width &&
           cairo_image_surface_get_height(m_image.get()) == source_grids::example_height;
  }
  three_grids_t& grids() { return *m_grids; }
  int line_height() const { return m_grids->rows().GetDefaultItemSize(); }

  // A cell of a region in control pixels (rows are flat rows: the view's group is expanded), or
  // of its summary strip.
  orrin7::rectangle<int> cell(const region_t& region, unsigned int row, int column,
                              bool summary = false) const {
    source_view4::grid_element_t* element = summary ? region.summary : region.cells;
    const int r = summary ? 0 : int(row);
    const orrin7::point<int> origin = element->Cell2ControlCoord({0, 0}, r, column);
    const orrin7::screen_rectangle<int> size = element->GetCellVirtualRect(r, column);
    return {origin.x, origin.y, origin.x + size.right, origin.y + size.bottom};
  }

  std::uint32_t pixel(int x, int y) const {
    const unsigned char* line = cairo_image_surface_get_data(m_image.get()) +
                                y * cairo_image_surface_get_stride(m_image.get());
    const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(line)[x];
    return rgb(_color::rgb(std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb)));
  }
  // Pixels of the area for which `test` holds.
  int count(const orrin7::rectangle<int>& area,
            const std::function<bool(std::uint32_t)>& test) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += test(pixel(x, y)) ? 1 : 0;
    return n;
  }
  int count(const orrin7::rectangle<int>& area, const _color& color) const {
    return count(area, [&](std::uint32_t p) { return p == rgb(color); });
  }

 private:
  orrinfrw7::COffscreenControl m_control;
  std::unique_ptr<three_grids_t> m_grids;
  int m_status = -1;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> m_image;
};

enum left_column_t : int { line_position, count_position, share_position, labels_position };
enum right_column_t : int { address_position, icons_position, scope_position, calls_position };

TEST(SourceGrids, CellsHaveThePaintersColoursWhereTheGridsPutThem) {
  written_view_t view(400);
  ASSERT_TRUE(view.written());
  three_grids_t& grids = view.grids();
  const landmarks_t marks = three_grids_t::landmarks();
  const int middle = view.line_height() / 2;

  // The bar of a line run about half as often as the hottest ends halfway between 4 pixels in
  // from either edge of its cell.
  const orrin7::rectangle<int> share = view.cell(grids.left(), marks.half_share, share_position);
  const double fraction = 2050.0 / 4099.0;
  const int end = int(share.left + 4 + (share.right - 8 - share.left) * fraction);
  EXPECT_EQ(view.pixel(end - 4, share.top + middle), rgb(bar_painter_t::default_bar_color));
  EXPECT_EQ(view.pixel(end + 4, share.top + middle), rgb(text_painter_t().get_background_color()));

  // The highlighted row is highlighted in both metric grids, not only where its values are.
  const _color highlighted = text_painter_t().get_background_highlighted_color();
  const orrin7::rectangle<int> count = view.cell(grids.left(), marks.hottest, count_position);
  EXPECT_EQ(view.pixel(count.left + 3, count.top + 3), rgb(highlighted));
  const orrin7::rectangle<int> calls = view.cell(grids.right(), marks.hottest, calls_position);
  EXPECT_EQ(view.pixel(calls.right - 3, calls.top + 3), rgb(highlighted));

  // The group row of the source grid: its button at the cell's top-left corner (the icons'
  // first row is black), its background to the right end of the region. The metric grids draw
  // that row as any other.
  const orrin7::rectangle<int> group = view.cell(grids.centre(), marks.group, 0);
  EXPECT_EQ(view.pixel(group.left + 3, group.top + 3), rgb(_color::rgb(0, 0, 0)));
  const int centre_right = grids.centre().cells->GetControlRect().right;
  EXPECT_EQ(view.pixel(centre_right - 4, group.top + 3),
            rgb(group_painter_t().get_background_color()));
  const orrin7::rectangle<int> beside = view.cell(grids.left(), marks.group, line_position);
  EXPECT_EQ(view.pixel(beside.left + 3, beside.top + 3),
            rgb(text_painter_t().get_background_color()));

  // A call of the program's own function is a link, in blue; a library call is plain text.
  const auto blue = [](std::uint32_t p) {
    const _color c(p, 0);
    return c.blue() > 0xC0 && c.red() < 0x60 && c.green() < 0x60;
  };
  const auto dark = [](std::uint32_t p) {
    const _color c(p, 0);
    return c.red() < 0x60 && c.green() < 0x60 && c.blue() < 0x60;
  };
  EXPECT_GT(view.count(view.cell(grids.right(), marks.link, calls_position), blue), 20);
  const orrin7::rectangle<int> plain = view.cell(grids.right(), marks.plain_call, calls_position);
  EXPECT_EQ(view.count(plain, blue), 0);
  EXPECT_GT(view.count(plain, dark), 20);

  // Found words in the source: the current one in its own colour, the others in the plain one.
  const orrin7::rectangle<int> current = view.cell(grids.centre(), marks.current_find, 0);
  const orrin7::rectangle<int> other = view.cell(grids.centre(), marks.current_find - 1, 0);
  EXPECT_GT(view.count(current, _color::rgb(0x7F, 0xD7, 0x04)), 40);
  EXPECT_GT(view.count(other, _color::rgb(0xDA, 0xFF, 0x82)), 40);
  EXPECT_EQ(view.count(other, _color::rgb(0x7F, 0xD7, 0x04)), 0);

  // Summary strips have the summary background; the source summary starts at the strip's left
  // edge, whatever the column's.
  const orrin7::rectangle<int> total = view.cell(grids.left(), 0, count_position, /*summary=*/true);
  EXPECT_EQ(view.pixel(total.left + 3, total.top + 3),
            rgb(summary_text_painter_t().get_background_color()));
  const orrin7::rectangle<int> strip = grids.centre().summary->GetControlRect();
  EXPECT_GT(view.count({strip.left, strip.top, strip.left + 60, strip.bottom}, dark), 20);
}

// The focus frame of the current row runs through all three grids of the focused view: its top
// edge is dotted over the row's selection colour in the metric grids too.
TEST(SourceGrids, FocusFrameOfTheCurrentRowCrossesTheThreeGrids) {
  written_view_t view(400);
  ASSERT_TRUE(view.written());
  three_grids_t& grids = view.grids();
  const unsigned int current = three_grids_t::landmarks().current;
  const _color selected = text_painter_t().get_background_active_color();
  // The first pixels of each grid's rows, where no cell content reaches their top line.
  constexpr int width = 50;
  for (const region_t* region : {&grids.left(), &grids.centre(), &grids.right()}) {
    SCOPED_TRACE(region == &grids.left() ? "left" : region == &grids.right() ? "right" : "centre");
    const int left = region->cells->GetControlRect().left;
    const auto dots = [&](unsigned int row) {
      const int top = view.cell(*region, row, 0).top;
      return width - view.count({left, top, left + width, top + 1}, selected);
    };
    EXPECT_GT(dots(current), width / 4) << "current row";
    EXPECT_EQ(dots(current - 1), 0) << "the selected row above it";
  }
}

}  // namespace
