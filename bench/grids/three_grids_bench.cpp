// three_grids: a left metric grid, the source grid and a right metric grid side by side in a
// 1920×1080 headless control over 1,000,000 rows of generated source-like lines (20 to 80
// characters with tabs) with counts, bars, labels, icons, brackets and links, scrolled to the
// middle with the current row selected in a focused grid. Prints the full repaint of the three
// grids and the repaint after scrolling by one row; bench_orrinfrw7's viewer_frame is the same
// control with one plain text grid.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "orrinfrw7/offscreen_control.h"
#include "three_grids.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr unsigned int kRows = 1000000;

// Built once for both benchmarks: filling a million rows takes far longer than a frame.
struct frame_t {
  frame_t() : control(kWidth, kHeight) {
    const auto start = std::chrono::steady_clock::now();
    source_grids::options_t options;
    options.rows = kRows;
    options.generated_text = true;
    grids.reset(new source_grids::three_grids_t(control.GetRoot(), options));
    control.CompleteAttach();
    grids->fit();
    orrinfrw7::CSimpleDiscreteItemViewModel& rows = grids->rows();
    rows.SetViewStart(rows.GetItemOffset(int(kRows / 2)));
    grids->centre().cells->SetFocus();
    orrinfrw7::ISelectionModel& selection = *grids->centre().cells->GetRowSelectionModel();
    selection.SelectRange(int(kRows / 2) + 2, int(kRows / 2) + 4, /*selected=*/true);
    selection.SetCurrent(int(kRows / 2) + 4);
    control.Paint();
    setup_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  orrinfrw7::COffscreenControl control;
  std::unique_ptr<source_grids::three_grids_t> grids;
  double setup_seconds = 0;
};

frame_t& frame() {
  static frame_t shared;
  return shared;
}

void BM_FullRepaint(benchmark::State& state) {
  frame_t& f = frame();
  for (auto _ : state) {
    f.control.InvalidateAll();
    f.control.Paint();
  }
  orrinfrw7::CSimpleDiscreteItemViewModel& rows = f.grids->rows();
  state.counters["visible_rows"] = rows.GetViewSize() / rows.GetDefaultItemSize();
  state.counters["setup_s"] = f.setup_seconds;
  state.counters["failures"] = f.control.GetFailureCount();
}

// Down by one row, then up again: each pass moves the pixels and paints the uncovered row.
void BM_ScrollOneRow(benchmark::State& state) {
  frame_t& f = frame();
  orrinfrw7::CSimpleDiscreteItemViewModel& rows = f.grids->rows();
  const int row = rows.GetDefaultItemSize();
  int direction = 1;
  for (auto _ : state) {
    rows.SetViewStart(rows.GetViewStart() + direction * row);
    f.control.Paint();
    direction = -direction;
  }
  state.counters["failures"] = f.control.GetFailureCount();
}

}  // namespace

BENCHMARK(BM_FullRepaint)
    ->Name("three_grids/full_repaint/1000000")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ScrollOneRow)
    ->Name("three_grids/scroll_one_row/1000000")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
