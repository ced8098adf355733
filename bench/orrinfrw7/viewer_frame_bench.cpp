// viewer_frame: the text grid of the grid_viewer example in a 1920×1080 headless control.
// Prints the full repaint time at 1,000, 1,000,000 and 10,000,000 rows (painting depends on the
// visible rows only, so the three should match) and the repaint after scrolling by one row.
#include <benchmark/benchmark.h>

#include <memory>

#include "orrinfrw7/offscreen_control.h"
#include "text_grid.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kColumns = 5;

struct frame_t {
  explicit frame_t(int rows)
      : control(kWidth, kHeight),
        grid(new grid_viewer::CTextGridViewer(control.GetRoot(), {kWidth, kHeight},
                                              orrinfrw7::AL_Client, rows, kColumns,
                                              kWidth / kColumns)) {
    control.CompleteAttach();
    grid->SetFocus();
    auto& model = grid->Rows();
    model.SetViewStart(model.GetItemOffset(rows / 2));
    grid->GetRowSelectionModel()->SelectRange(rows / 2 + 2, rows / 2 + 4, /*selected=*/true);
    control.Paint();
  }

  orrinfrw7::COffscreenControl control;
  grid_viewer::CTextGridViewer* grid;  // owned by the control's root
};

void BM_FullRepaint(benchmark::State& state) {
  frame_t frame(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    frame.control.InvalidateAll();
    frame.control.Paint();
  }
  state.counters["visible_rows"] =
      frame.grid->Rows().GetViewSize() / frame.grid->Rows().GetDefaultItemSize();
}

void BM_ScrollOneRow(benchmark::State& state) {
  frame_t frame(static_cast<int>(state.range(0)));
  auto& model = frame.grid->Rows();
  const int row = model.GetDefaultItemSize();
  int direction = 1;
  for (auto _ : state) {
    model.SetViewStart(model.GetViewStart() + direction * row);
    frame.control.Paint();
    direction = -direction;
  }
}

}  // namespace

BENCHMARK(BM_FullRepaint)
    ->Name("viewer_frame/full_repaint")
    ->Arg(1000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ScrollOneRow)
    ->Name("viewer_frame/scroll_one_row")
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
