// Benchmarks of the grouped model over a million flat rows: rebuilding 100,000 groups of 10 rows,
// expanding and collapsing one group of 100,000 children, and expanding 1,000 groups one after
// another from the top of the list.
#include <benchmark/benchmark.h>

#include <chrono>

#include "source_view4/hierarchical_data_model.h"

namespace {

using source_view4::hierarchical_data_model_t;

constexpr unsigned int flat_rows = 1000000;

utilkit2::smart_pointer_t<source_view4::data_model_base_t> make_flat_model() {
  auto* model = new source_view4::data_model_t;
  model->set_row_count(flat_rows);
  return utilkit2::smart_pointer_t<source_view4::data_model_base_t>(model);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// 100,000 groups of 10 flat rows (a header and 9 children) cover the million rows.
void update_hierarchy_100k_groups(benchmark::State& state) {
  hierarchical_data_model_t model(make_flat_model());
  for (unsigned int first = 0; first < flat_rows; first += 10) model.create_group(first, first + 9);
  double worst = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    model.update_hierarchy();
    worst = std::max(worst, seconds_since(start));
  }
  state.counters["view_rows"] = model.get_row_count();
  state.counters["worst_s"] = worst;
  state.counters["row_record_bytes"] = sizeof(source_view4::flat_row_tree_t::RowRecord);
}
BENCHMARK(update_hierarchy_100k_groups)->Iterations(5)->Unit(benchmark::kMillisecond);

// One group of 100,000 children in the middle of the million rows, expanded then collapsed.
void expand_collapse_100k_children(benchmark::State& state) {
  constexpr unsigned int header = 450000;
  hierarchical_data_model_t model(make_flat_model());
  model.create_group(header, header + 100000);
  model.update_hierarchy();
  double expand = 0, collapse = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    model.set_row_hierarchical_state(header, source_view4::row_state_expanded);
    expand = std::max(expand, seconds_since(start));
    start = std::chrono::steady_clock::now();
    model.set_row_hierarchical_state(header, source_view4::row_state_collapsed);
    collapse = std::max(collapse, seconds_since(start));
  }
  state.counters["worst_expand_ms"] = expand * 1e3;
  state.counters["worst_collapse_ms"] = collapse * 1e3;
}
BENCHMARK(expand_collapse_100k_children)->Iterations(20)->Unit(benchmark::kMillisecond);

// 1,000 groups of 100 rows, one every 1,000 flat rows, expanded from the top down. With every
// group above it open, a header's view row is its flat row.
void expand_1000_spread_groups(benchmark::State& state) {
  hierarchical_data_model_t model(make_flat_model());
  for (unsigned int first = 0; first < flat_rows; first += 1000)
    model.create_group(first, first + 99);
  double total = 0;
  for (auto _ : state) {
    state.PauseTiming();
    model.update_hierarchy();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    for (unsigned int first = 0; first < flat_rows; first += 1000)
      model.set_row_hierarchical_state(first, source_view4::row_state_expanded);
    total = seconds_since(start);
  }
  state.counters["view_rows"] = model.get_row_count();
  state.counters["total_ms"] = total * 1e3;
}
BENCHMARK(expand_1000_spread_groups)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
