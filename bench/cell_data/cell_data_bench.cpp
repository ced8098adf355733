// Benchmarks of the flat data model: filling 1M and 10M rows of a typical profile row through
// set_data and through the column setters (resident bytes per row, seconds per million rows),
// get_text_data of a number and of a source line, the same for the former row-map storage, and
// link id allocation in a model full of links.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "source_view4/data_model.h"

namespace {

using namespace source_view4;
using hex_t = data_container_t<std::uint64_t>;
using fraction_t = data_container_t<double>;

// The row of a profile: line number, source line, a count, an address, a fraction.
constexpr unsigned int line_column = 0;
constexpr unsigned int count_column = 1;
constexpr unsigned int address_column = 2;
constexpr unsigned int fraction_column = 3;

constexpr unsigned int pool_lines = 4096;

// Source lines of 20 to 80 characters, every seventh with tabs; rows take them in turn, so the
// input costs little memory while the model stores a copy of each row's line.
std::vector<std::wstring> make_source_lines() {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> length(20, 80);
  std::uniform_int_distribution<int> letter(L' ', L'~');
  std::vector<std::wstring> lines(pool_lines);
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

int count_of(unsigned int row) { return static_cast<int>(row * 2654435761u >> 12); }
std::uint64_t address_of(unsigned int row) { return 0x400000 + row * std::uint64_t(24); }
double fraction_of(unsigned int row, unsigned int rows) { return row / double(rows); }

// CPU seconds of this thread, page faults included: the figures do not count the time other
// processes take on a shared machine.
double thread_cpu_seconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Resident size of the process in bytes (VmRSS).
double resident_bytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  double kib = 0;
  while (std::fgets(line, sizeof line, status) != nullptr)
    if (std::sscanf(line, "VmRSS: %lf kB", &kib) == 1) break;
  std::fclose(status);
  return kib * 1024;
}

// The storage the model had before it stored by column: a record per row with maps of values,
// links and flags. Formatting goes through the model's own formatter, so only storage differs.
class row_map_model_t : public data_model_t {
 public:
  void set_row_count(unsigned int count) override {
    rows.resize(count);
    longest.clear();
    for (row_record_t& record : rows) record.values[found_items_column] = found_items_t();
    notify_model_updated();
  }
  unsigned int get_row_count() const override { return unsigned(rows.size()); }
  cell_value_t get_data(unsigned int row, unsigned int column) const override {
    if (row >= rows.size()) return cell_value_t();
    auto it = rows[row].values.find(column);
    return it == rows[row].values.end() ? cell_value_t() : it->second;
  }
  std::wstring get_text_data(unsigned int row, unsigned int column) const override {
    return format_data(get_data(row, column), column);
  }
  void set_data(unsigned int row, unsigned int column, const cell_value_t& value) override {
    if (row >= rows.size()) return;
    rows[row].values[column] = value;
    const auto length = static_cast<unsigned int>(get_text_data(row, column).size());
    auto [it, inserted] = longest.try_emplace(column, longest_text_t{row, length});
    if (!inserted && length > it->second.length) it->second = longest_text_t{row, length};
    notify_data_updated(column, row);
  }
  void set_source(unsigned int row, const std::wstring& text) override {
    set_data(row, source_column, cell_value_t(text));
  }

 private:
  struct row_record_t {
    std::map<unsigned int, cell_value_t> values;
    bool highlighted = false;
    std::map<unsigned int, unsigned int> links;
    std::map<unsigned int, int> cell_flags;
  };
  std::vector<row_record_t> rows;
  std::map<unsigned int, longest_text_t> longest;
};

// Five values a row through set_source and set_data, each value built by the caller.
void fill_by_set_data(data_model_t& model, unsigned int rows) {
  const auto& lines = source_lines();
  for (unsigned int row = 0; row < rows; ++row) {
    model.set_data(row, line_column, row + 1);
    model.set_source(row, lines[row % pool_lines]);
    model.set_data(row, count_column, count_of(row));
    model.set_data(row, address_column, hex_t(address_of(row)));
    model.set_data(row, fraction_column, fraction_t(fraction_of(row, rows)));
  }
}

// The same values a column at a time, in slices of pool_lines rows as a host reading a file
// would hand them over; building the number slices is counted.
void fill_by_columns(data_model_t& model, unsigned int rows) {
  const auto& lines = source_lines();
  std::vector<unsigned int> line_numbers(pool_lines);
  std::vector<int> counts(pool_lines);
  std::vector<hex_t> addresses(pool_lines);
  std::vector<fraction_t> fractions(pool_lines);
  for (unsigned int first = 0; first < rows; first += pool_lines) {
    const unsigned int size = std::min(pool_lines, rows - first);
    for (unsigned int i = 0; i < size; ++i) {
      line_numbers[i] = first + i + 1;
      counts[i] = count_of(first + i);
      addresses[i] = hex_t(address_of(first + i));
      fractions[i] = fraction_t(fraction_of(first + i, rows));
    }
    model.set_column_data(line_column, first, line_numbers.data(), size);
    model.set_column_data(source_column, first, lines.data(), size);
    model.set_column_data(count_column, first, counts.data(), size);
    model.set_column_data(address_column, first, addresses.data(), size);
    model.set_column_data(fraction_column, first, fractions.data(), size);
  }
}

struct figures_t {
  double bytes_per_row = 0;
  double fill_seconds_per_million = 0;  // set_row_count and every write, in one batch
  double number_text_ns = 0;            // get_text_data of the count column
  double source_text_ns = 0;            // get_text_data of the source column
};

// The machine is shared and virtual, so CPU time per call varies from pass to pass with what
// else runs: reads take the best of read_passes passes, and every figure the best of fill_runs
// runs, each in a process of its own (another process can only add time, and a run it disturbs
// is slow throughout).
constexpr int read_passes = 3;
constexpr int fill_runs = 3;

double text_ns(const data_model_t& model, unsigned int column) {
  const unsigned int rows = model.get_row_count();
  double best = 0;
  for (int pass = 0; pass < read_passes; ++pass) {
    std::size_t characters = 0;
    const double start = thread_cpu_seconds();
    for (unsigned int row = 0; row < rows; ++row)
      characters += model.get_text_data(row, column).size();
    const double seconds = thread_cpu_seconds() - start;
    benchmark::DoNotOptimize(characters);
    if (pass == 0 || seconds < best) best = seconds;
  }
  return best * 1e9 / rows;
}

template <class Model>
figures_t measure(unsigned int rows, void (*fill)(data_model_t&, unsigned int)) {
  figures_t figures;
  const double resident_before = resident_bytes();
  auto* model = new Model;
  const double start = thread_cpu_seconds();
  model->begin_update();
  model->set_row_count(rows);
  fill(*model, rows);
  model->end_update();
  figures.fill_seconds_per_million = (thread_cpu_seconds() - start) * 1e6 / rows;
  figures.bytes_per_row = (resident_bytes() - resident_before) / rows;
  figures.number_text_ns = text_ns(*model, count_column);
  figures.source_text_ns = text_ns(*model, source_column);
  delete model;
  return figures;
}

// Keeps every allocation in the heap and every freed page in the process, so that a second fill
// writes to pages the first one already touched.
void keep_freed_pages() {
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, INT32_MAX);
}

// Runs `measure` in a child process, so that every fill starts from a heap no earlier fill has
// left pages in, and its resident size is the fill's alone. A warm run fills twice and answers
// the second fill: its time leaves out the first touch of fresh pages.
template <class Measure>
figures_t measure_in_child(Measure measure, bool warm) {
  figures_t figures;
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return figures;
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    if (warm) {
      keep_freed_pages();
      measure();
    }
    const figures_t measured = measure();
    const bool written = write(pipe_ends[1], &measured, sizeof measured) == sizeof measured;
    _exit(written ? 0 : 1);
  }
  close(pipe_ends[1]);
  if (read(pipe_ends[0], &figures, sizeof figures) != sizeof figures) figures = figures_t();
  close(pipe_ends[0]);
  waitpid(child, nullptr, 0);
  return figures;
}

// Keeps the fastest times of `best` and `from`, and the larger memory (a failed run answers zeros
// and changes nothing).
void keep_best(figures_t& best, const figures_t& from) {
  if (from.fill_seconds_per_million == 0) return;
  const auto fastest = [](double& kept, double seen) {
    if (kept == 0 || seen < kept) kept = seen;
  };
  best.bytes_per_row = std::max(best.bytes_per_row, from.bytes_per_row);
  fastest(best.fill_seconds_per_million, from.fill_seconds_per_million);
  fastest(best.number_text_ns, from.number_text_ns);
  fastest(best.source_text_ns, from.source_text_ns);
}

// The best cold and warm figures of fill_runs runs of `measure`, each figure on its own.
template <class Measure>
void report_runs(benchmark::State& state, Measure measure) {
  source_lines();
  figures_t cold;
  figures_t warm;
  for (auto _ : state) {
    for (int run = 0; run < fill_runs; ++run) {
      keep_best(cold, measure_in_child(measure, /*warm=*/false));
      keep_best(warm, measure_in_child(measure, /*warm=*/true));
    }
  }
  state.counters["bytes_per_row"] = cold.bytes_per_row;
  state.counters["fill_s_per_M"] = cold.fill_seconds_per_million;
  state.counters["fill_s_per_M_warm"] = warm.fill_seconds_per_million;
  if (cold.number_text_ns == 0) return;
  state.counters["text_ns_number"] = cold.number_text_ns;
  state.counters["text_ns_source"] = cold.source_text_ns;
}

// Resident bytes per row and times of a model fill into fresh pages; the fill time again into
// pages the process already had (fill_s_per_M_warm).
template <class Model>
void report_fill(benchmark::State& state, void (*fill)(data_model_t&, unsigned int)) {
  const auto rows = unsigned(state.range(0));
  report_runs(state, [rows, fill] { return measure<Model>(rows, fill); });
}

// The floor under a bulk fill: the same five columns as plain arrays a host would keep, the source
// lines narrowed to one byte buffer with an offset per row, written once into fresh memory.
figures_t measure_plain_columns(unsigned int rows) {
  const auto& lines = source_lines();
  figures_t figures;
  const double resident_before = resident_bytes();
  const double start = thread_cpu_seconds();
  std::vector<unsigned int> line_numbers(rows);
  std::vector<int> counts(rows);
  std::vector<std::uint64_t> addresses(rows);
  std::vector<double> fractions(rows);
  std::vector<std::uint32_t> text_ends(rows);
  std::string text;
  for (unsigned int row = 0; row < rows; ++row) {
    line_numbers[row] = row + 1;
    const std::wstring& line = lines[row % pool_lines];
    for (wchar_t c : line) text += static_cast<char>(c);
    text_ends[row] = static_cast<std::uint32_t>(text.size());
    counts[row] = count_of(row);
    addresses[row] = address_of(row);
    fractions[row] = fraction_of(row, rows);
  }
  figures.fill_seconds_per_million = (thread_cpu_seconds() - start) * 1e6 / rows;
  figures.bytes_per_row = (resident_bytes() - resident_before) / rows;
  benchmark::DoNotOptimize(text.data());
  return figures;
}

// What the first write to a fresh page of memory costs on this machine, in microseconds of this
// thread's CPU time per 4 KiB page: the floor under any fill of new memory.
void fresh_page_first_touch(benchmark::State& state) {
  constexpr std::size_t bytes = std::size_t(64) << 20;
  double seconds = 0;
  for (auto _ : state) {
    void* pages = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) return;
    const double start = thread_cpu_seconds();
    std::memset(pages, 1, bytes);
    seconds = thread_cpu_seconds() - start;
    munmap(pages, bytes);
  }
  state.counters["us_per_page"] = seconds * 1e6 / (bytes / 4096);
}
BENCHMARK(fresh_page_first_touch)->Iterations(1)->Unit(benchmark::kMillisecond);

void column_store_set_data(benchmark::State& state) {
  report_fill<data_model_t>(state, fill_by_set_data);
}
void column_store_bulk(benchmark::State& state) {
  report_fill<data_model_t>(state, fill_by_columns);
}
void row_map_reference_set_data(benchmark::State& state) {
  report_fill<row_map_model_t>(state, fill_by_set_data);
}
void plain_columns_floor(benchmark::State& state) {
  const auto rows = unsigned(state.range(0));
  report_runs(state, [rows] { return measure_plain_columns(rows); });
}

BENCHMARK(column_store_set_data)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(column_store_bulk)->Arg(1000000)->Arg(10000000)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(row_map_reference_set_data)->Arg(1000000)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(plain_columns_floor)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// The former storage at ten million rows needs about 10 GiB and, on a machine where fresh pages
// are dear, half an hour: it runs only when SV4_BENCH_ROW_MAP_10M is set.
void register_large_reference() {
  if (std::getenv("SV4_BENCH_ROW_MAP_10M") == nullptr) return;
  benchmark::RegisterBenchmark(
      "row_map_reference_set_data",
      [](benchmark::State& state) { report_fill<row_map_model_t>(state, fill_by_set_data); })
      ->Arg(10000000)
      ->Iterations(1)
      ->Unit(benchmark::kSecond);
}

constexpr unsigned int link_rows = 100000;

// A model whose every row has a link, ids 0 … link_rows - 1.
data_model_t& linked_model() {
  static data_model_t model;
  if (model.get_row_count() != 0) return model;
  model.set_row_count(link_rows);
  for (unsigned int row = 0; row < link_rows; ++row) model.set_link(row, 0, no_link);
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
    benchmark::DoNotOptimize(model.set_link(row, 0, no_link));
    row = (row + 7919) % link_rows;
  }
}
BENCHMARK(link_set_no_link);

}  // namespace

int main(int argc, char** argv) {
  register_large_reference();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
