// Importing a callgrind profile of more than 50 MB, against callgrind_annotate reading the same
// file. The profile is made once into the build directory: a generated C program whose 64 leaf
// functions are called from 640 callers, run under callgrind with per-instruction positions,
// cache and branch simulation and one context per caller, so that every leaf is dumped 640 times.
// Also opening the costliest file once the profile is read.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "callgrind.h"
#include "orrinfrw7/offscreen_control.h"
#include "session.h"

namespace {

using namespace source_view_app;

constexpr int leaves = 64;
constexpr int callers = 640;
constexpr std::uintmax_t least_size = 50u << 20;

std::string program_text() {
  std::string c = "static volatile unsigned sink;\n";
  char buffer[160];
  for (int i = 0; i < leaves; ++i) {
    c += "__attribute__((noinline)) unsigned leaf" + std::to_string(i) + "(unsigned x) {\n";
    c += "  unsigned h = x;\n";
    for (int k = 0; k < 12; ++k) {
      std::snprintf(buffer, sizeof buffer, "  h = h * %du + (h >> %d);\n  if (h & %du) h ^= %du;\n",
                    2 * k + 3 + 2 * i, 1 + (k + i) % 7, 1 << (k % 5), k * 977 + i);
      c += buffer;
    }
    c += "  return h;\n}\n";
  }
  for (int j = 0; j < callers; ++j) {
    c += "__attribute__((noinline)) unsigned caller" + std::to_string(j) + "(unsigned x) {\n";
    c += "  unsigned h = x;\n";
    for (int i = 0; i < leaves; ++i)
      c += "  h += leaf" + std::to_string(i) + "(h + " + std::to_string(j) + "u);\n";
    c += "  return h;\n}\n";
  }
  c += "int main(void) {\n  unsigned h = 1;\n";
  for (int j = 0; j < callers; ++j) c += "  h ^= caller" + std::to_string(j) + "(h);\n";
  return c + "  sink = h;\n  return 0;\n}\n";
}

void run(const std::string& command) {
  if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

// The profile, made on first use and kept for later runs.
const std::string& profile_path() {
  static const std::string path = [] {
    std::string dir = CALLGRIND_BENCH_DIR "/callgrind-bench";
    std::string out = dir + "/callgrind.out.big";
    std::ifstream existing(out, std::ios::binary | std::ios::ate);
    if (existing && std::uintmax_t(existing.tellg()) >= least_size) return out;
    run("mkdir -p '" + dir + "'");
    std::ofstream(dir + "/big.c") << program_text();
    run("cc -O0 -g -o '" + dir + "/big' '" + dir + "/big.c'");
    run("valgrind --tool=callgrind --dump-instr=yes --cache-sim=yes --branch-sim=yes "
        "--separate-callers=1 --callgrind-out-file='" +
        out + "' '" + dir + "/big' 2>/dev/null");
    return out;
  }();
  return path;
}

std::uintmax_t profile_size() {
  std::ifstream in(profile_path(), std::ios::binary | std::ios::ate);
  return std::uintmax_t(in.tellg());
}

double children_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Mean seconds per import, wall and CPU, for the comparison that follows.
double import_wall = 0;
double import_cpu = 0;

void BM_ImportCallgrind(benchmark::State& state) {
  const std::string& path = profile_path();
  double size = double(profile_size());
  std::size_t lines = 0;
  double wall = 0;
  std::clock_t cpu_start = std::clock();
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    callgrind_profile_t profile = read_callgrind({path});
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    lines = profile.lines.size();
    benchmark::DoNotOptimize(profile.costs.data());
  }
  double n = double(state.iterations());
  import_wall = wall / n;
  import_cpu = double(std::clock() - cpu_start) / CLOCKS_PER_SEC / n;
  state.SetBytesProcessed(std::int64_t(size * n));
  state.counters["MB"] = size / 1e6;
  state.counters["MB/s_wall"] = size / 1e6 / import_wall;
  state.counters["MB/s_cpu"] = size / 1e6 / import_cpu;
  state.counters["lines"] = double(lines);
}

// callgrind_annotate as a child process; its CPU time is the children's rusage.
void BM_CallgrindAnnotate(benchmark::State& state) {
  std::string command = "callgrind_annotate --auto=no '" + profile_path() + "' > /dev/null";
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    double cpu_start = children_cpu_seconds();
    auto start = std::chrono::steady_clock::now();
    run(command);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    wall += seconds;
    cpu += children_cpu_seconds() - cpu_start;
  }
  double n = double(state.iterations());
  state.counters["cpu_s"] = cpu / n;
  if (import_wall <= 0) return;  // run with the import benchmark for the ratios
  state.counters["wall_times_import"] = wall / n / import_wall;
  state.counters["cpu_times_import"] = cpu / n / import_cpu;
}

// After the import: the costliest file opened at its hottest line in a 1920×1080 headless
// control and its first frame drawn, as the program does with a profile already read.
void BM_OpenCostliestFile(benchmark::State& state) {
  load_request_t request;
  request.path = profile_path();
  request.format = input_format_t::callgrind;
  request.source_dirs = {CALLGRIND_BENCH_DIR "/callgrind-bench"};
  request.profile = callgrind_profile_of(request);
  for (auto _ : state) {
    orrinfrw7::COffscreenControl control{1920, 1080};
    auto* element = new viewer_element_t(control.GetRoot(), {1920, 1080}, orrinfrw7::AL_Client);
    control.CompleteAttach();
    session_t session{*element};
    session.open(request);
    session.go_to_start(0);
    control.Paint();
    benchmark::DoNotOptimize(control.GetPixel(10, 10));
    state.counters["rows"] = double(element->get_data_model()->get_row_count());
  }
}

BENCHMARK(BM_ImportCallgrind)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CallgrindAnnotate)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(BM_OpenCostliestFile)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
