// fit_every_row: set_column_width(0, -2) of a source grid in a 1920 × 1080 headless control over
// 100,000 and 1,000,000 generated source lines, against the floor of measuring the same formatted
// lines through one reused PangoLayout; reading the lines from the model is timed on its own.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../common/pango_floor.h"
#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/header.h"
#include "orrinfrw7/offscreen_control.h"
#include "source_view4/data_model.h"
#include "source_view4/grid_element.h"
#include "source_view4/header_model.h"
#include "source_view4/source_view_grid.h"

namespace {

using model_ptr_t = utilkit2::smart_pointer_t<source_view4::data_model_t>;

constexpr int screen_width = 1920;
constexpr int screen_height = 1080;
constexpr std::int64_t small_rows = 100000;
constexpr std::int64_t large_rows = 1000000;

// Deterministic source-like lines of 20 to 80 characters: tab indentation, keywords, names,
// numbers, operators, string literals and comments, an aligning tab now and then; one line in a
// hundred has Latin accents in its comment and one in a thousand a CJK string, as real sources do.
class line_generator_t {
 public:
  std::wstring next_line() {
    const std::size_t length = 20 + pick(61);
    std::wstring line(pick(4), L'\t');
    while (line.size() < length) append_token(line);
    line.resize(length);
    return line;
  }

 private:
  std::size_t pick(std::size_t n) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return std::size_t(state % n);
  }

  void append_token(std::wstring& line) {
    static const wchar_t* const keywords[] = {L"if",    L"for",    L"return", L"const", L"auto",
                                              L"while", L"static", L"int",    L"void",  L"else"};
    static const wchar_t* const syllables[] = {L"row",   L"col",  L"text",  L"size",
                                               L"item",  L"map",  L"count", L"next",
                                               L"width", L"data", L"_",     L"x"};
    static const wchar_t* const operators[] = {L" = ", L" == ", L" += ", L"->",  L"(", L")", L" { ",
                                               L"}",   L"; ",   L", ",   L" < ", L"[", L"]"};
    const std::size_t kind = pick(100);
    if (kind < 15) {
      line += keywords[pick(10)];
      line += L' ';
    } else if (kind < 50) {
      for (std::size_t i = 0, n = 1 + pick(3); i < n; ++i) line += syllables[pick(12)];
    } else if (kind < 60) {
      line += std::to_wstring(pick(100000));
    } else if (kind < 88) {
      line += operators[pick(13)];
    } else if (kind < 93) {
      line += pick(1000) == 0 ? L"\"表示する\"" : L"\"value %d\\n\"";
    } else if (kind < 96) {
      line += L'\t';
    } else {
      line += pick(100) == 0 ? L"// größe für naïve café " : L"// the next one ";
    }
  }

  std::uint64_t state = 0x9E3779B97F4A7C15ull;
};

// Models are built once per size and shared by every benchmark of that size.
const model_ptr_t& model_of(std::int64_t rows) {
  static std::map<std::int64_t, model_ptr_t> models;
  model_ptr_t& model = models[rows];
  if (model) return model;
  model.reset(new source_view4::data_model_t);
  line_generator_t generator;
  model->begin_update();
  model->set_row_count(unsigned(rows));
  for (unsigned int row = 0; row < unsigned(rows); ++row)
    model->set_source(row, generator.next_line());
  model->end_update();
  return model;
}

// The formatted lines (tabs expanded), as the text painter gets them from the model.
const std::vector<std::wstring>& lines_of(std::int64_t rows) {
  static std::map<std::int64_t, std::vector<std::wstring>> lines;
  std::vector<std::wstring>& out = lines[rows];
  if (!out.empty()) return out;
  const model_ptr_t& model = model_of(rows);
  out.reserve(std::size_t(rows));
  for (unsigned int row = 0; row < unsigned(rows); ++row)
    out.push_back(model->get_text_data(row, source_view4::source_column));
  return out;
}

// The formatted lines as UTF-8, which is what Pango measures.
const std::vector<std::string>& utf8_lines_of(std::int64_t rows) {
  static std::map<std::int64_t, std::vector<std::string>> lines;
  std::vector<std::string>& out = lines[rows];
  if (!out.empty()) return out;
  out.reserve(std::size_t(rows));
  for (const std::wstring& text : lines_of(rows)) {
    gchar* utf8 = g_ucs4_to_utf8(reinterpret_cast<const gunichar*>(text.data()), glong(text.size()),
                                 nullptr, nullptr, nullptr);
    out.emplace_back(utf8);
    g_free(utf8);
  }
  return out;
}

// The source grid with its model setter made reachable; the element view sets it in a full view.
class source_grid_under_test_t : public source_view4::source_grid_t {
 public:
  using source_view4::source_grid_t::set_data_model;
  using source_view4::source_grid_t::source_grid_t;
};

// A header, a cells element and a summary element in a headless control, and the source grid on
// them. Members are destroyed in reverse: the grid lets go of the elements' signals first, then
// the control destroys the elements, then the header model they showed goes.
struct scene_t {
  explicit scene_t(const model_ptr_t& model) {
    orrinfrw7::CVisualElement* root = control.GetRoot();
    header = new orrinfrw7::CHeader(root, {0, 20}, orrinfrw7::AL_Top);
    summary = new source_view4::grid_element_t(root, {0, 20}, orrinfrw7::AL_Bottom);
    cells = new source_view4::grid_element_t(root, {0, 0}, orrinfrw7::AL_Client);
    control.CompleteAttach();
    grid = std::make_unique<source_grid_under_test_t>(header, &header_model, cells, summary);
    header->SetModel(&header_model);
    grid->set_data_model(utilkit2::smart_pointer_t<source_view4::data_model_base_t>(model));
  }

  source_view4::header_model_t header_model;
  orrinfrw7::COffscreenControl control{screen_width, screen_height};
  orrinfrw7::CHeader* header = nullptr;
  source_view4::grid_element_t* summary = nullptr;
  source_view4::grid_element_t* cells = nullptr;
  std::unique_ptr<source_grid_under_test_t> grid;
};

void fit_every_row(benchmark::State& state) {
  const model_ptr_t& model = model_of(state.range(0));
  scene_t scene(model);
  for (auto _ : state) {
    scene.grid->set_column_width(0, -2);
    benchmark::DoNotOptimize(scene.grid->get_header_model()->column_at(0)->width);
  }
  state.counters["width"] = scene.grid->get_header_model()->column_at(0)->width;
}

// The same font as the source grid's: the monospace class at the default size, regular weight,
// laid out as the drawing library lays text out (96 dpi, whole-pixel metrics).
PangoLayout* create_reused_layout() {
  PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  bench_floor::configure_context(context);
  PangoLayout* layout = pango_layout_new(context);
  g_object_unref(context);
  bench_floor::set_font(layout, "Monospace 9");
  return layout;
}

// The floor: every formatted line measured through one reused layout.
void reused_pango_layout(benchmark::State& state) {
  const std::vector<std::string>& lines = utf8_lines_of(state.range(0));
  PangoLayout* layout = create_reused_layout();
  int widest = 0;
  for (auto _ : state) {
    widest = 0;
    for (const std::string& line : lines) {
      pango_layout_set_text(layout, line.data(), int(line.size()));
      PangoRectangle logical;
      pango_layout_get_extents(layout, nullptr, &logical);
      widest = std::max(widest, logical.width);
    }
    benchmark::DoNotOptimize(widest);
  }
  state.counters["width"] = widest / PANGO_SCALE;
  g_object_unref(layout);
}

// What the fit spends measuring: the same lines through the painter's GetTextSize, in the
// source grid's font, without the grid and the model.
void painter_get_text_size(benchmark::State& state) {
  const std::vector<std::wstring>& lines = lines_of(state.range(0));
  orrinfrw7::COffscreenControl control(screen_width, screen_height);
  orrin7::IPainter& painter = *control.GetPainter();
  const orrin7::font monospace(2, 0, 0);
  double widest = 0.0;
  for (auto _ : state) {
    widest = 0.0;
    for (const std::wstring& line : lines)
      widest = std::max(widest, painter.GetTextSize(line, &monospace, -1, true, true).width);
    benchmark::DoNotOptimize(widest);
  }
  state.counters["width"] = widest;
}

// What the fit spends reading: every line formatted by the model, as the text painter asks.
void get_text_data(benchmark::State& state) {
  const model_ptr_t& model = model_of(state.range(0));
  const unsigned int rows = model->get_row_count();
  for (auto _ : state) {
    std::size_t characters = 0;
    for (unsigned int row = 0; row < rows; ++row)
      characters += model->get_text_data(row, source_view4::source_column).size();
    benchmark::DoNotOptimize(characters);
  }
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(small_rows)->Arg(large_rows)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(fit_every_row)->Apply(sizes);
// The floor takes a quarter of a minute at a million rows and varies little: one run is enough.
BENCHMARK(reused_pango_layout)->Apply(sizes)->Repetitions(1);
BENCHMARK(painter_get_text_size)->Apply(sizes);
BENCHMARK(get_text_data)->Apply(sizes);

struct timing_t {
  double real = 0.0;  // milliseconds, wall clock
  double cpu = 0.0;   // milliseconds of the measuring thread: what counts on a shared machine
};

// Keeps one time per benchmark and size (the median when repeated) for the summary.
class summary_reporter_t : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
      times[run.run_name.function_name][run.run_name.args] = {run.GetAdjustedRealTime(),
                                                              run.GetAdjustedCPUTime()};
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Zero when the benchmark did not run.
  timing_t time(const char* name, std::int64_t rows) const {
    const auto by_name = times.find(name);
    if (by_name == times.end()) return {};
    const auto by_rows = by_name->second.find(std::to_string(rows));
    return by_rows == by_name->second.end() ? timing_t{} : by_rows->second;
  }

 private:
  std::map<std::string, std::map<std::string, timing_t>> times;
};

void print_summary(const summary_reporter_t& reporter) {
  std::printf("Goal: set_column_width(c, -2) over 1,000,000 rows under 1000 ms, linear in rows.\n");
  for (const std::int64_t rows : {small_rows, large_rows}) {
    const timing_t fit = reporter.time("fit_every_row", rows);
    const timing_t floor = reporter.time("reused_pango_layout", rows);
    const timing_t read = reporter.time("get_text_data", rows);
    const timing_t measure = reporter.time("painter_get_text_size", rows);
    if (fit.real <= 0.0) continue;
    std::printf("%7lld rows: fit %.0f ms (cpu %.0f)", static_cast<long long>(rows), fit.real,
                fit.cpu);
    if (floor.real > 0.0) {
      std::printf("; reused PangoLayout %.0f ms (cpu %.0f), ratio %.3f (cpu %.3f)", floor.real,
                  floor.cpu, fit.real / floor.real, fit.cpu / floor.cpu);
    }
    if (measure.real > 0.0) {
      std::printf("; GetTextSize alone %.0f ms (cpu %.0f)", measure.real, measure.cpu);
    }
    if (read.real > 0.0) {
      std::printf("; get_text_data %.0f ms (cpu %.0f), %.0f%% of the fit", read.real, read.cpu,
                  100.0 * read.cpu / fit.cpu);
    }
    std::printf("\n");
  }
  const timing_t small = reporter.time("fit_every_row", small_rows);
  const timing_t large = reporter.time("fit_every_row", large_rows);
  if (small.real > 0.0 && large.real > 0.0) {
    std::printf(
        "1,000,000 rows take %.1f times as long as 100,000 (cpu %.1f; 10 is linear); "
        "goal %s\n",
        large.real / small.real, large.cpu / small.cpu, large.real < 1000.0 ? "met" : "NOT met");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  summary_reporter_t reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  print_summary(reporter);
  benchmark::Shutdown();
  return 0;
}
