// The text painters at the grids' default row height: the whole ink of "_gjpqyÅ" (the underscore
// and descenders at the bottom, the ring of Å at the top) shows inside the row, in 9 and 10 point
// type, at scale 1 and 2. The label, range and group painters draw their texts through the text
// painter's code, so the cell text and the summary row stand for them.
#include <algorithm>
#include <functional>
#include <string>

#include "painter_fixture.h"
#include "source_view4/summary_text_painter.h"
#include "source_view4/text_painter.h"
#include "support/canvas.h"

namespace {

using source_view4::cell_value_t;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::text_painter_t;

const std::wstring low_and_high_ink = L"_gjpqy\u00C5";
constexpr int cell_width = 160;

// The device rows holding dark (text) pixels inside the cell's content columns, above the grid
// line on the cell's last row.
struct ink_rows_t {
  int top = 0, bottom = 0;
  int height() const { return bottom - top; }
};

ink_rows_t dark_rows(const orrin7_test::canvas_t& canvas, double scale, int top, int height) {
  const std::vector<std::uint32_t> pixels = canvas.pixels();
  ink_rows_t rows{-1, -1};
  const int first = int(top * scale), last = int((top + height - 1) * scale);
  for (int y = first; y < last; ++y) {
    for (int x = int(2 * scale); x < int((cell_width - 2) * scale); ++x) {
      const std::uint32_t p = pixels[std::size_t(y) * std::size_t(canvas.width()) + std::size_t(x)];
      const int brightest = std::max({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF});
      if (brightest >= 0xA0) continue;
      if (rows.top < 0) rows.top = y;
      rows.bottom = y + 1;
      break;
    }
  }
  return rows;
}

struct case_t {
  const char* painter;
  std::function<text_painter_t*()> make;
  std::function<void(source_view4::data_model_t&)> fill;  // row 0, column 4
};

class GlyphInk : public sv4_test::painter_test_t {
 protected:
  // Draws the case's cell `height` pixels high at row 0 of a canvas and answers its ink rows.
  ink_rows_t draw(const case_t& c, text_painter_t& painter, double scale, int height) {
    orrin7_test::canvas_t canvas(cell_width, height, scale);
    const auto model = make_model(1, 1);
    c.fill(*model);
    draw_cell_params_t params =
        cell(&canvas.painter(), {0, 0, cell_width - 1.0, height - 1.0}, 0, 4, model);
    params.line_height = unsigned(height);
    canvas.painter().BeginPaint(0);
    painter.on_draw_cell(params);
    canvas.painter().EndPaint();
    return dark_rows(canvas, scale, 0, height);
  }
};

TEST_F(GlyphInk, DescendersAndAccentsFitTheDefaultRow) {
  const case_t cases[] = {
      {"text", [] { return new text_painter_t; },
       [](source_view4::data_model_t& m) { m.set_data(0, 4, cell_value_t(low_and_high_ink)); }},
      {"summary", [] { return new source_view4::column_painters::summary_text_painter_t; },
       [](source_view4::data_model_t& m) { m.set_data(0, 4, cell_value_t(low_and_high_ink)); }},
  };
  const double spacing = orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight);
  for (const case_t& c : cases) {
    for (int points : {9, 10}) {
      for (double scale : {1.0, 2.0}) {
        const std::unique_ptr<text_painter_t> painter(c.make());
        painter->set_font(orrin7::font(0, points, 0));
        orrin7_test::canvas_t measure(10, 10, scale);
        measure.painter().SetFont(painter->get_font());
        const int row = measure.painter().GetFontMetrics().line_height() + int(spacing);
        const ink_rows_t in_row = draw(c, *painter, scale, row);
        const ink_rows_t unclipped = draw(c, *painter, scale, 4 * row);
        const std::string what = std::string(c.painter) + " " + std::to_string(points) + " pt at " +
                                 std::to_string(int(scale)) + "x, row " + std::to_string(row);
        ASSERT_GT(unclipped.height(), 0) << what;
        EXPECT_EQ(in_row.height(), unclipped.height()) << what;
      }
    }
  }
}

}  // namespace
