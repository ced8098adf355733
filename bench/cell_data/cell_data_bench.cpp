// Benchmarks of the flat data model: a million-row fill (time per set_data, resident bytes per
// row), formatting every cell of those rows, and link id allocation in a model full of links.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "source_view4/data_model.h"

namespace {

using source_view4::data_model_t;

constexpr unsigned int fill_rows = 1000000;
constexpr unsigned int writes_per_row = 5;  // source line, int, unsigned int, 64-bit hex, fraction

// Source lines of 40 to 80 characters, every seventh with tabs; rows take them in turn, so the
// input costs little memory while the model stores a copy of each row's line.
std::vector<std::wstring> make_source_lines() {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(40, 80);
  std::uniform_int_distribution<int> letter(L'a', L'z');
  std::vector<std::wstring> lines(4096);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::wstring& line = lines[i];
    line.resize(static_cast<std::size_t>(length(random)));
    for (wchar_t& c : line) c = static_cast<wchar_t>(letter(random));
    if (i % 7 == 0) line[0] = line[line.size() / 2] = L'\t';
  }
  return lines;
}

const std::vector<std::wstring>& source_lines() {
  static const std::vector<std::wstring> lines = make_source_lines();
  return lines;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU seconds of this thread, page faults included: the per-call figures do not count the time
// other processes take on a shared machine.
double thread_cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Writes every row of the model inside one batch; answers the CPU seconds spent in the writes
// (set_source and set_data) alone.
double fill(data_model_t& model, unsigned int rows) {
  const auto& lines = source_lines();
  model.begin_update();
  model.set_row_count(rows);
  const double start = thread_cpu_seconds();
  for (unsigned int row = 0; row < rows; ++row) {
    model.set_source(row, lines[row % lines.size()]);
    model.set_data(row, 0, static_cast<int>(row) - 500000);
    model.set_data(row, 1, row * 2654435761u);
    model.set_data(row, 2,
                   source_view4::data_container_t<std::uint64_t>(row * 0x9E3779B97F4A7C15ull));
    model.set_data(row, 3, source_view4::data_container_t<double>(row / double(rows)));
  }
  const double write_seconds = thread_cpu_seconds() - start;
  model.end_update();
  return write_seconds;
}

// Peak resident size of the process in bytes (VmHWM).
double peak_resident_bytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  double kib = 0;
  while (std::fgets(line, sizeof line, status) != nullptr)
    if (std::sscanf(line, "VmHWM: %lf kB", &kib) == 1) break;
  std::fclose(status);
  return kib * 1024;
}

// Each repetition fills a fresh model. The peak resident size only grows, so only the first fill
// of the process measures the memory a model takes; later repetitions report that figure.
void model_fill(benchmark::State& state) {
  source_lines();
  static double bytes_per_row = -1;
  double total_seconds = 0;
  double write_seconds = 0;
  for (auto _ : state) {
    const double peak_before = peak_resident_bytes();
    auto model = std::make_unique<data_model_t>();
    const auto start = std::chrono::steady_clock::now();
    write_seconds = fill(*model, fill_rows);
    total_seconds = seconds_since(start);
    if (bytes_per_row < 0) bytes_per_row = (peak_resident_bytes() - peak_before) / fill_rows;
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
  state.counters["total_s"] = total_seconds;
  state.counters["ns_per_set_data"] = write_seconds * 1e9 / (double(fill_rows) * writes_per_row);
  state.counters["bytes_per_row"] = bytes_per_row;
}
BENCHMARK(model_fill)->Iterations(1)->Unit(benchmark::kMillisecond);

void model_read(benchmark::State& state) {
  static data_model_t model;
  if (model.get_row_count() == 0) fill(model, fill_rows);
  const unsigned int columns[] = {source_view4::source_column,     0, 1, 2, 3,
                                  source_view4::found_items_column};
  std::size_t characters = 0;
  double seconds = 0;
  for (auto _ : state) {
    const double start = thread_cpu_seconds();
    for (unsigned int row = 0; row < fill_rows; ++row)
      for (unsigned int column : columns) characters += model.get_text_data(row, column).size();
    seconds = thread_cpu_seconds() - start;
  }
  benchmark::DoNotOptimize(characters);
  state.counters["ns_per_get_text_data"] = seconds * 1e9 / (double(fill_rows) * std::size(columns));
}
BENCHMARK(model_read)->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr unsigned int link_rows = 100000;

// A model whose every row has a link, ids 0 … link_rows - 1.
data_model_t& linked_model() {
  static data_model_t model;
  if (model.get_row_count() != 0) return model;
  model.set_row_count(link_rows);
  for (unsigned int row = 0; row < link_rows; ++row) model.set_link(row, 0, source_view4::no_link);
  return model;
}

void link_generate_id(benchmark::State& state) {
  const data_model_t& model = linked_model();
  for (auto _ : state) benchmark::DoNotOptimize(model.generate_link_id());
}
BENCHMARK(link_generate_id);

// Re-linking a row frees its id in the middle of the used range, which is then the smallest free
// id and is taken again: the free-id search runs against a full model every time.
void link_set_no_link(benchmark::State& state) {
  data_model_t& model = linked_model();
  unsigned int row = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.set_link(row, 0, source_view4::no_link));
    row = (row + 7919) % link_rows;
  }
}
BENCHMARK(link_set_no_link);

}  // namespace

BENCHMARK_MAIN();
