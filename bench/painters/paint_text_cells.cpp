// paint_text_cells: a 1920 × 1080 screen of 60 rows × 6 text painter cells repainted in full each
// frame, against the floor of drawing the same texts straight with Pango through one reused
// layout. Prints the median milliseconds per frame of both and their ratio.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../common/pango_floor.h"
#include "orrin7/cairo_painter.h"
#include "source_view4/data_model.h"
#include "source_view4/text_painter.h"

namespace {

using source_view4::column_painters::draw_cell_params_t;

constexpr int screen_width = 1920;
constexpr int screen_height = 1080;
constexpr int rows = 60;
constexpr int row_height = screen_height / rows;
// Cell widths and text lengths per column; the source column (index 2) has the longest texts.
constexpr int column_widths[] = {110, 160, 900, 250, 250, 250};
constexpr int text_lengths[] = {10, 24, 80, 40, 30, 16};
constexpr int columns = 6;
constexpr int align = 0x161;  // the text painter's default: left, middle, one line, ellipsis
// Screens of different texts the uncached variant cycles through: more texts than the painter's
// layout cache holds, so that every text is shaped again as when scrolling page by page.
constexpr int pages = 8;

std::wstring make_text(std::mt19937& random, int length) {
  static const wchar_t alphabet[] = L"abcdefghijklmnopqrstuvwxyz_ (){};=+-*0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet / sizeof(wchar_t) - 2);
  std::wstring text(std::size_t(length), L' ');
  for (wchar_t& c : text) c = alphabet[pick(random)];
  return text;
}

// A model of `pages` screens of rows, each cell's text of its column's length.
utilkit2::smart_pointer_t<source_view4::data_model_t> make_model() {
  std::mt19937 random(11);
  utilkit2::smart_pointer_t<source_view4::data_model_t> model(new source_view4::data_model_t);
  model->set_row_count(rows * pages);
  for (unsigned int row = 0; row < rows * pages; ++row) {
    for (unsigned int column = 0; column < columns; ++column) {
      model->set_data(row, column, make_text(random, text_lengths[column]));
    }
  }
  return model;
}

struct screen_t {
  screen_t()
      : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, screen_width, screen_height)),
        cr(cairo_create(surface)) {}
  ~screen_t() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  cairo_surface_t* surface;
  cairo_t* cr;
};

void paint_frame(orrin7::CCairoPainter& painter,
                 source_view4::column_painters::text_painter_t& cells,
                 const utilkit2::smart_pointer_t<source_view4::data_model_t>& model, int page) {
  painter.BeginPaint(0);
  draw_cell_params_t params;
  params.painter = &painter;
  params.data_model = model;
  params.line_height = row_height;
  for (int row = 0; row < rows; ++row) {
    double left = 0;
    for (int column = 0; column < columns; ++column) {
      params.row = unsigned(page * rows + row);
      params.column = unsigned(column);
      params.rect = orrin7::rectangle<double>(
          left, row * row_height, left + column_widths[column] - 1, (row + 1) * row_height - 1);
      cells.on_draw_cell(params);
      left += column_widths[column];
    }
  }
  painter.EndPaint();
}

void run_painter(benchmark::State& state, bool new_texts_each_frame) {
  screen_t screen;
  orrin7::CCairoPainter painter(screen.cr);
  source_view4::column_painters::text_painter_t cells;
  const auto model = make_model();
  int frame = 0;
  for (auto _ : state) {
    paint_frame(painter, cells, model, new_texts_each_frame ? frame++ % pages : 0);
  }
}

void paint_text_cells(benchmark::State& state) {
  run_painter(state, /*new_texts_each_frame=*/false);
}

void paint_text_cells_new_texts(benchmark::State& state) {
  run_painter(state, /*new_texts_each_frame=*/true);
}

// The floor: the same texts in the same places, font and ellipsis, straight through Pango.
void paint_text_cells_pango_floor(benchmark::State& state) {
  screen_t screen;
  const auto model = make_model();
  std::vector<std::string> texts;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const std::wstring text = model->get_text_data(unsigned(row), unsigned(column));
      texts.emplace_back(text.begin(), text.end());  // ASCII
    }
  }
  PangoLayout* layout = pango_cairo_create_layout(screen.cr);
  PangoContext* context = pango_layout_get_context(layout);
  bench_floor::configure_context(context);
  pango_layout_context_changed(layout);
  bench_floor::set_font(layout, "Sans 9");
  pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  for (auto _ : state) {
    cairo_set_source_rgb(screen.cr, 0, 0, 0);
    for (int row = 0; row < rows; ++row) {
      double left = 0;
      for (int column = 0; column < columns; ++column) {
        const std::string& text = texts[std::size_t(row * columns + column)];
        pango_layout_set_width(layout, (column_widths[column] - 4) * PANGO_SCALE);
        pango_layout_set_text(layout, text.data(), int(text.size()));
        cairo_move_to(screen.cr, left + 2, row * row_height + 2);
        pango_cairo_show_layout(screen.cr, layout);
        left += column_widths[column];
      }
    }
    cairo_surface_flush(screen.surface);
  }
  g_object_unref(layout);
}

// One 100,000-character line drawn with the ellipsis flag into a 900-pixel cell; the line changes
// every time, so that nothing comes from the layout cache.
void draw_long_line_with_ellipsis(benchmark::State& state) {
  screen_t screen;
  orrin7::CCairoPainter painter(screen.cr);
  std::wstring line(100000, L'x');
  unsigned int serial = 0;
  for (auto _ : state) {
    const std::wstring number = std::to_wstring(++serial);
    line.replace(0, number.size(), number);
    painter.DrawStringNative({0, 0, 900, 18}, line, align);
  }
}

BENCHMARK(draw_long_line_with_ellipsis)->Unit(benchmark::kMillisecond);
BENCHMARK(paint_text_cells)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(paint_text_cells_pango_floor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(paint_text_cells_new_texts)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

struct median_t {
  double real = 0.0;  // milliseconds per frame, wall clock
  double cpu = 0.0;   // milliseconds per frame, processor time of the painting thread
};

// Keeps the median of each benchmark so that the ratio to the floor can be printed at the end.
class median_reporter_t : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name != "median") continue;
      medians[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, median_t> medians;
};

void print_against_floor(const std::map<std::string, median_t>& medians, const char* name,
                         const char* label) {
  const auto measured = medians.find(name);
  const auto floor = medians.find("paint_text_cells_pango_floor");
  if (measured == medians.end() || floor == medians.end()) return;
  const median_t& m = measured->second;
  const median_t& f = floor->second;
  std::printf(
      "%s: median %.2f ms per frame (cpu %.2f ms); Pango floor %.2f ms (cpu %.2f ms); "
      "ratio %.2f (cpu %.2f)\n",
      label, m.real, m.cpu, f.real, f.cpu, m.real / f.real, m.cpu / f.cpu);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  median_reporter_t reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("Budget: the painter frame at most 1.5 times the floor, and under 8 ms.\n");
  print_against_floor(reporter.medians, "paint_text_cells", "paint_text_cells");
  print_against_floor(reporter.medians, "paint_text_cells_new_texts",
                      "paint_text_cells, new texts every frame");
  benchmark::Shutdown();
  return 0;
}
