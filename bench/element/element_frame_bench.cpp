// element_frame: the source view element at 1920×1080 with five columns (line number; source
// text; count, address, percentage) over N generated C-like rows, at the top and in the middle:
// the same page repainted, a fresh page every frame, a one-row scroll, against plain Pango drawing
// the same texts through one reused layout. Also the model's fill time and bytes per row, Ctrl+C
// of every row of a million, and select_all on the largest model.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <malloc.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../common/pango_floor.h"
#include "orrin7/system.h"
#include "orrinfrw7/offscreen_control.h"
#include "source_view4/source_view_element.h"
#include "source_view4/text_painter.h"

namespace {

using namespace source_view4;

constexpr int width = 1920, height = 1080;
constexpr unsigned int line_column = 1, count_column = 2, address_column = 3, share_column = 4;
// Pages a fresh-page run cycles through: their texts outnumber the drawing library's layout
// cache, so every text of a frame is shaped again.
constexpr unsigned int fresh_pages = 16;
constexpr unsigned int fill_chunk = 1u << 16;  // rows generated and stored per bulk write

// ---- generated rows: every value is a function of the row, so any page can be recomputed ----

std::uint64_t mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// A C-like line of 20 to 80 characters, 0 to 4 of them leading tabs.
void make_line(unsigned int row, std::wstring& line) {
  static const wchar_t* const words[] = {
      L"int",  L"value", L"=",     L"return", L"if",   L"(",     L")",      L"{",
      L"}",    L"for",   L"count", L"++i",    L"->",   L"next",  L"buffer", L"[i]",
      L"+",    L"size",  L"const", L"char*",  L"name", L"==",    L"NULL",   L"&&",
      L"0x1F", L"42",    L"while", L"result", L"*",    L"items", L"struct", L"node"};
  std::uint64_t h = mix(row);
  const std::size_t length = 20 + h % 61;
  line.assign(std::size_t((h >> 8) % 5), L'\t');
  while (line.size() < length) {
    h = mix(h);
    line += words[h % (sizeof words / sizeof *words)];
    line += L' ';
  }
  line.resize(length - 1);
  line += L';';
}

struct process_clock_t {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  std::clock_t cpu = std::clock();
  double wall_s() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
  }
  double cpu_s() const { return double(std::clock() - cpu) / CLOCKS_PER_SEC; }
};

// Heap bytes in use (small blocks and mapped large ones) and the resident set.
std::size_t heap_bytes() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}
std::size_t resident_bytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * std::size_t(4096);
}

// Reaches the center cell element the layout keeps for itself.
struct view_t : source_view_element_t {
  using source_view_element_t::source_view_element_t;
  grid_element_t* cells() const { return center_cells; }
};

struct fill_figures_t {
  double wall_s = 0, cpu_s = 0;
  double heap_per_row = 0, resident_per_row = 0;
};

// One element over `rows` rows in a headless control, kept while the benchmarks of its size run.
struct scene_t {
  explicit scene_t(unsigned int rows) : rows(rows), control(width, height) {
    view = new view_t(control.GetRoot(), {width, height}, orrinfrw7::AL_Client);
    control.CompleteAttach();
    set_columns();
    fill();
    view->set_splitter_pos(width - 440);
    control.Paint();
  }

  static utilkit2::smart_pointer_t<column_painters::base_painter_t> painter() {
    auto* cells = new column_painters::text_painter_t();
    cells->set_font(orrin7::font(2, 10, 0, L"DejaVu Sans Mono"));
    return utilkit2::smart_pointer_t<column_painters::base_painter_t>(cells);
  }

  void set_columns() {
    view->get_center_grid()->get_source_painter()->set_font(
        orrin7::font(2, 10, 0, L"DejaVu Sans Mono"));
    auto left = view->get_left_grid();
    left->set_columns({line_column}, {});
    left->set_column_painter(0, painter());
    left->set_column_width(0, 80);
    auto right = view->get_right_grid();
    right->set_columns({count_column, address_column, share_column}, {});
    const int widths[] = {110, 200, 100};
    for (unsigned int column = 0; column < 3; ++column) {
      right->set_column_painter(column, painter());
      right->set_column_width(column, widths[column]);
    }
    view->get_center_grid()->set_column_width(0, 1000);
  }

  // Generates and stores the rows a chunk at a time, so that the generated values never take
  // more than a chunk's memory beside the model.
  void fill() {
    auto model = view->get_data_model();
    const std::size_t heap_before = heap_bytes(), resident_before = resident_bytes();
    const process_clock_t clock;
    model->begin_update();
    model->set_row_count(rows);
    std::vector<std::wstring> lines(fill_chunk);
    std::vector<int> numbers(fill_chunk), counts(fill_chunk);
    std::vector<data_container_t<std::uint64_t>> addresses(fill_chunk);
    std::vector<data_container_t<double>> shares(fill_chunk);
    for (unsigned int first = 0; first < rows; first += fill_chunk) {
      const std::size_t n = std::min<std::size_t>(fill_chunk, rows - first);
      for (std::size_t i = 0; i < n; ++i) {
        const unsigned int row = first + unsigned(i);
        const std::uint64_t h = mix(~std::uint64_t(row));
        make_line(row, lines[i]);
        numbers[i] = int(row + 1);
        counts[i] = int(h % 1000000);
        addresses[i] = data_container_t<std::uint64_t>(0x400000ull + (h >> 20) * 16);
        shares[i] = data_container_t<double>(double(h % 10000) / 10000.0);
      }
      model->set_column_data(source_column, first, lines.data(), n);
      model->set_column_data(line_column, first, numbers.data(), n);
      model->set_column_data(count_column, first, counts.data(), n);
      model->set_column_data(address_column, first, addresses.data(), n);
      model->set_column_data(share_column, first, shares.data(), n);
    }
    lines = {};  // the chunk's memory is not the model's
    model->end_update();
    figures.wall_s = clock.wall_s();
    figures.cpu_s = clock.cpu_s();
    figures.heap_per_row = (double(heap_bytes()) - double(heap_before)) / rows;
    figures.resident_per_row = (double(resident_bytes()) - double(resident_before)) / rows;
  }

  unsigned int page_rows() const {
    const auto* model = view->cells()->GetRowViewModel();
    return unsigned(model->GetViewSize() / model->GetDefaultItemSize() + 1);
  }

  unsigned int rows;
  orrinfrw7::COffscreenControl control;
  view_t* view = nullptr;
  fill_figures_t figures;
};

std::unique_ptr<scene_t> current;
std::map<unsigned int, fill_figures_t> fills;

scene_t& scene(unsigned int rows) {
  if (current && current->rows == rows) return *current;
  current.reset();  // one model at a time: the largest takes most of the memory there is
  current.reset(new scene_t(rows));
  fills[rows] = current->figures;
  return *current;
}

unsigned int start_row(unsigned int rows, bool middle) { return middle ? rows / 2 : 0; }

// The first rows of the pages a fresh-page run shows, from `start` on.
unsigned int fresh_page_top(scene_t& s, unsigned int start, unsigned int frame) {
  const unsigned int page = s.page_rows();
  const unsigned int pages = std::min(fresh_pages, std::max(1u, (s.rows - start) / page));
  return start + (frame % pages) * page;
}

void count_failures(benchmark::State& state, scene_t& s) {
  state.counters["failures"] = s.control.GetFailureCount();
  state.counters["page_rows"] = s.page_rows();
}

void same_page(benchmark::State& state, unsigned int rows, bool middle) {
  scene_t& s = scene(rows);
  s.view->set_top_row(start_row(rows, middle));
  s.control.Paint();
  for (auto _ : state) {
    s.control.InvalidateAll();
    s.control.Paint();
  }
  count_failures(state, s);
}

void fresh_page(benchmark::State& state, unsigned int rows, bool middle) {
  scene_t& s = scene(rows);
  const unsigned int start = start_row(rows, middle);
  unsigned int frame = 0;
  for (auto _ : state) {
    s.view->set_top_row(fresh_page_top(s, start, ++frame));
    s.control.InvalidateAll();
    s.control.Paint();
  }
  count_failures(state, s);
}

// Down by one row, then back: each frame moves the pixels and paints the uncovered row.
void scroll_one_row(benchmark::State& state, unsigned int rows, bool middle) {
  scene_t& s = scene(rows);
  const unsigned int start = start_row(rows, middle);
  s.view->set_top_row(start);
  s.control.Paint();
  unsigned int frame = 0;
  for (auto _ : state) {
    s.view->set_top_row(start + (++frame & 1));
    s.control.Paint();
  }
  count_failures(state, s);
}

// ---- the floor: the same visible texts straight through Pango, one reused layout ----

struct floor_cell_t {
  std::string text;  // UTF-8 (the generated texts are ASCII)
  double x, y, width;
};

// The texts of the page whose first row is `top`, where the element puts its columns.
std::vector<floor_cell_t> page_cells(scene_t& s, unsigned int top) {
  const auto model = s.view->get_data_model();
  const int line = s.view->cells()->GetRowViewModel()->GetDefaultItemSize();
  const struct {
    unsigned int id;
    double x, width;
  } columns[] = {{line_column, 0, 80},
                 {source_column, 80, 1000},
                 {count_column, width - 440, 110},
                 {address_column, width - 330, 200},
                 {share_column, width - 130, 100}};
  std::vector<floor_cell_t> cells;
  for (unsigned int i = 0; i < s.page_rows() && top + i < s.rows; ++i) {
    for (const auto& column : columns) {
      const std::wstring text = model->get_text_data(top + i, column.id);
      cells.push_back({std::string(text.begin(), text.end()), column.x + 2,
                       double(line) * (i + 1) + 2, column.width - 4});
    }
  }
  return cells;
}

struct pango_floor_t {
  pango_floor_t() {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cr = cairo_create(surface);
    layout = pango_cairo_create_layout(cr);
    PangoContext* context = pango_layout_get_context(layout);
    bench_floor::configure_context(context);
    pango_layout_context_changed(layout);
    bench_floor::set_font(layout, "DejaVu Sans Mono 10");
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  }
  ~pango_floor_t() {
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  void draw(const std::vector<floor_cell_t>& cells) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (const floor_cell_t& cell : cells) {
      pango_layout_set_width(layout, int(cell.width * PANGO_SCALE));
      pango_layout_set_text(layout, cell.text.data(), int(cell.text.size()));
      cairo_move_to(cr, cell.x, cell.y);
      pango_cairo_show_layout(cr, layout);
    }
    cairo_surface_flush(surface);
  }
  cairo_surface_t* surface;
  cairo_t* cr;
  PangoLayout* layout;
};

// Plain Pango has nothing to keep between frames, so one floor serves the same and the fresh
// page; it draws the fresh pages in turn all the same.
void pango_floor(benchmark::State& state, unsigned int rows, bool middle) {
  scene_t& s = scene(rows);
  const unsigned int start = start_row(rows, middle);
  std::vector<std::vector<floor_cell_t>> pages;
  for (unsigned int frame = 1; frame <= fresh_pages; ++frame)
    pages.push_back(page_cells(s, fresh_page_top(s, start, frame)));
  pango_floor_t floor;
  std::size_t frame = 0;
  for (auto _ : state) floor.draw(pages[frame++ % pages.size()]);
  state.counters["cells"] = double(pages[0].size());
}

// ---- Ctrl+C and select_all ----

void copy_all_rows(benchmark::State& state, unsigned int rows) {
  scene_t& s = scene(rows);
  s.view->cells()->SetFocus();
  s.view->select_all();
  std::size_t copied = 0;
  for (auto _ : state) {
    s.control.SetClipboardText(L"");
    s.control.Key(orrinfrw7::KEY_C, orrinfrw7::MK_Ctrl);
    state.PauseTiming();
    copied = s.control.GetClipboardText().size();
    s.control.SetClipboardText(L"");
    state.ResumeTiming();
  }
  s.view->clear_selection();
  state.counters["copied_chars"] = double(copied);
  state.counters["failures"] = s.control.GetFailureCount();
}

void select_all(benchmark::State& state, unsigned int rows) {
  scene_t& s = scene(rows);
  for (auto _ : state) {
    s.view->select_all();
    state.PauseTiming();
    s.view->clear_selection();
    state.ResumeTiming();
  }
  s.view->select_all();
  state.counters["selected_last"] = s.view->get_selection(rows - 1) ? 1 : 0;
  s.view->clear_selection();
}

// ---- figures against the floor ----

struct frame_time_t {
  double real = 0, cpu = 0;  // milliseconds per frame
};

// Keeps each case's smallest time over its repetitions (its only time when it runs once).
class best_time_reporter_t : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (run.aggregate_name != "min" && !single) continue;
      best_times[run.run_name.function_name] = {run.GetAdjustedRealTime(),
                                                run.GetAdjustedCPUTime()};
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, frame_time_t> best_times;
};

std::string name(const char* kind, unsigned int rows, bool middle) {
  return std::string("element_frame/") + kind + "/" + std::to_string(rows) +
         (middle ? "/middle" : "/top");
}

// How far each case's CPU time spreads over the sizes, as (largest − smallest) / smallest: taken
// alone, and against the floor drawing the same visible texts (rows far into a large file have
// longer line numbers, which costs the floor as much).
void print_flatness(const std::map<std::string, frame_time_t>& best_times,
                    const std::vector<unsigned int>& sizes) {
  std::printf("Spread over N (goal <= 20%%):\n");
  for (const char* kind : {"same_page", "fresh_page", "scroll_one_row"}) {
    for (const bool middle : {false, true}) {
      double low = 0, high = 0, low_ratio = 0, high_ratio = 0;
      for (const unsigned int rows : sizes) {
        const auto m = best_times.find(name(kind, rows, middle));
        const auto f = best_times.find(name("pango_floor", rows, middle));
        if (m == best_times.end() || f == best_times.end()) continue;
        const double cpu = m->second.cpu, ratio = cpu / f->second.cpu;
        low = low == 0 ? cpu : std::min(low, cpu);
        high = std::max(high, cpu);
        low_ratio = low_ratio == 0 ? ratio : std::min(low_ratio, ratio);
        high_ratio = std::max(high_ratio, ratio);
      }
      if (low == 0) continue;
      std::printf("  %-15s %-6s %5.1f %% alone, %5.1f %% against the floor\n", kind,
                  middle ? "middle" : "top", 100 * (high - low) / low,
                  100 * (high_ratio - low_ratio) / low_ratio);
    }
  }
}

void print_summary(const std::map<std::string, frame_time_t>& best_times,
                   const std::vector<unsigned int>& sizes) {
  std::printf(
      "\nGoals: fresh page <= 1.0x floor, same page <= 0.6x, each case flat in N (20%%).\n");
  for (const unsigned int rows : sizes) {
    for (const bool middle : {false, true}) {
      const auto floor = best_times.find(name("pango_floor", rows, middle));
      if (floor == best_times.end()) continue;
      const frame_time_t& f = floor->second;
      std::printf("N=%u %s: floor %.2f ms (cpu %.2f)\n", rows, middle ? "middle" : "top", f.real,
                  f.cpu);
      for (const char* kind : {"same_page", "fresh_page", "scroll_one_row"}) {
        const auto m = best_times.find(name(kind, rows, middle));
        if (m == best_times.end()) continue;
        std::printf("  %-15s %7.2f ms (cpu %7.2f)  x floor %.2f (cpu %.2f)\n", kind, m->second.real,
                    m->second.cpu, m->second.real / f.real, m->second.cpu / f.cpu);
      }
    }
  }
  print_flatness(best_times, sizes);
  for (const char* kind : {"copy_all_rows/1000000", "select_all/"}) {
    for (const auto& [run, m] : best_times)
      if (run.find(kind) != std::string::npos)
        std::printf("%s: %.3f (cpu %.3f) in the unit printed above\n", run.c_str(), m.real, m.cpu);
  }
  for (const auto& [rows, fill] : fills)
    std::printf("fill N=%u: %.2f s (cpu %.2f s); model %.1f heap bytes per row, %.1f resident\n",
                rows, fill.wall_s, fill.cpu_s, fill.heap_per_row, fill.resident_per_row);
}

// Sizes from SV4_FRAME_ROWS (comma-separated), by default 10k, 1M and 10M.
std::vector<unsigned int> sizes() {
  const char* list = std::getenv("SV4_FRAME_ROWS");
  std::string text = list ? list : "10000,1000000,10000000";
  std::vector<unsigned int> out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    out.push_back(unsigned(std::stoul(text.substr(at, comma - at))));
    at = comma + 1;
  }
  return out;
}

double smallest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

// A frame case, with the smallest time of its repetitions as an aggregate: on a shared machine
// other work only ever adds time, so the smallest is the closest to the frame's own cost.
template <class F>
void register_frame_case(const char* kind, F run, unsigned int rows, bool middle) {
  benchmark::RegisterBenchmark(name(kind, rows, middle).c_str(), run, rows, middle)
      ->Unit(benchmark::kMillisecond)
      ->ComputeStatistics("min", smallest);
}

void register_all(const std::vector<unsigned int>& rows_list) {
  for (const unsigned int rows : rows_list) {
    for (const bool middle : {false, true}) {
      register_frame_case("pango_floor", pango_floor, rows, middle);
      register_frame_case("same_page", same_page, rows, middle);
      register_frame_case("fresh_page", fresh_page, rows, middle);
      register_frame_case("scroll_one_row", scroll_one_row, rows, middle);
    }
    if (rows == 1000000)
      benchmark::RegisterBenchmark("element_frame/copy_all_rows/1000000", copy_all_rows, rows)
          ->Unit(benchmark::kMillisecond)
          ->Iterations(1)
          ->Repetitions(1);
    if (rows == rows_list.back())
      benchmark::RegisterBenchmark(("element_frame/select_all/" + std::to_string(rows)).c_str(),
                                   select_all, rows)
          ->Unit(benchmark::kMicrosecond)
          ->ComputeStatistics("min", smallest);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const std::vector<unsigned int> rows_list = sizes();
  register_all(rows_list);
  best_time_reporter_t reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print_summary(reporter.best_times, rows_list);
  current.reset();
  benchmark::Shutdown();
  return 0;
}
