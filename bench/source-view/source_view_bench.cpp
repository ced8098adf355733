// The viewer on a 250,000-line C file: the bundled sample's gcov listing repeated (line numbers
// carried on) gives the source, its gcov text and its gcov JSON. Measures opening and the first
// frame, the whole-file text export, and the program's peak memory above its own baseline (the
// same program opening a ten-line file), against the input's size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "orrinfrw7/offscreen_control.h"
#include "session.h"

namespace {

using namespace source_view_app;

constexpr unsigned target_lines = 250000;

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct inputs_t {
  std::string dir, source, gcov, json, small_gcov;
};

// Repeats the sample listing's source lines, renumbered, until the file has target_lines lines;
// functions and branches come along with their lines.
const inputs_t& inputs() {
  static const inputs_t made = [] {
    inputs_t in;
    char pattern[] = "/tmp/source-view-bench-XXXXXX";
    in.dir = mkdtemp(pattern);
    in.source = in.dir + "/big.c";
    in.gcov = in.dir + "/big.c.gcov";
    in.json = in.dir + "/big.gcov.json";
    in.small_gcov = in.dir + "/small.c.gcov";
    std::istringstream sample(read_file(SOURCE_VIEW_SAMPLE));
    std::vector<std::string> body;  // the listing without its header lines
    for (std::string line; std::getline(sample, line);)
      if (line.find(":    0:") == std::string::npos) body.push_back(line);
    std::string gcov = "        -:    0:Source:big.c\n        -:    0:Runs:1\n", source;
    unsigned offset = 0, per_copy = 0;
    for (const std::string& line : body)
      per_copy += line.find(':') < 12 && line.rfind("function", 0) && line.rfind("branch", 0) &&
                  line.rfind("call", 0);
    char number[32];
    while (offset + per_copy <= target_lines) {
      for (const std::string& line : body) {
        std::size_t a = line.find(':'), b = line.find(':', a + 1);
        bool counted =
            line.rfind("function", 0) && line.rfind("branch", 0) && line.rfind("call", 0);
        if (!counted || a == std::string::npos || b == std::string::npos) {
          gcov += line + "\n";
          continue;
        }
        unsigned n = unsigned(std::stoul(line.substr(a + 1, b - a - 1))) + offset;
        std::snprintf(number, sizeof number, "%5u", n);
        gcov += line.substr(0, a + 1) + number + line.substr(b) + "\n";
        source += line.substr(b + 1) + "\n";
      }
      offset += per_copy;
    }
    std::ofstream(in.gcov) << gcov;
    std::ofstream(in.source) << source;
    // The JSON form: the sample's document with its lines and functions repeated the same way.
    nlohmann::json doc;
    {
      std::string gz = in.dir + "/sample.json.gz";
      std::system(
          ("gzip -dc '" SOURCE_VIEW_JSON_SAMPLE "' > '" + in.dir + "/sample.json'").c_str());
      doc = nlohmann::json::parse(read_file(in.dir + "/sample.json"));
    }
    nlohmann::json& file = doc["files"][0];
    nlohmann::json lines = nlohmann::json::array(), functions = nlohmann::json::array();
    for (unsigned copy = 0; copy * per_copy < offset; ++copy) {
      for (nlohmann::json line : file["lines"]) {
        line["line_number"] = line["line_number"].get<unsigned>() + copy * per_copy;
        lines.push_back(line);
      }
      for (nlohmann::json f : file["functions"]) {
        f["start_line"] = f["start_line"].get<unsigned>() + copy * per_copy;
        f["end_line"] = f["end_line"].get<unsigned>() + copy * per_copy;
        functions.push_back(f);
      }
    }
    file["file"] = "big.c";
    file["lines"] = lines;
    file["functions"] = functions;
    doc["current_working_directory"] = in.dir;
    std::ofstream(in.json) << doc.dump();
    std::string small = "        -:    0:Source:small.c\n";
    for (int i = 1; i <= 10; ++i)
      small += "        1:   " + std::to_string(i) + ":int x" + std::to_string(i) + ";\n";
    std::ofstream(in.small_gcov) << small;
    std::fprintf(stderr, "bench inputs: %u lines; gcov text %.1f MB, JSON %.1f MB\n", offset,
                 read_file(in.gcov).size() / 1e6, read_file(in.json).size() / 1e6);
    return in;
  }();
  return made;
}

// The program's element in a 1920×1080 headless control with `path` opened in it, as the program
// opens a file for --png.
struct opened_view_t {
  explicit opened_view_t(const std::string& path) {
    control.CompleteAttach();
    load_request_t request;
    request.path = path;
    session.open(request);
  }
  orrinfrw7::COffscreenControl control{1920, 1080};
  viewer_element_t* element =
      new viewer_element_t(control.GetRoot(), {1920, 1080}, orrinfrw7::AL_Client);
  session_t session{*element};
};

// Opening and the first frame.
void open_and_first_frame(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    opened_view_t view(path);
    view.session.go_to_start(0);
    view.control.Paint();
    benchmark::DoNotOptimize(view.control.GetPixel(10, 10));
  }
}

void export_whole_file(benchmark::State& state, const std::string& path) {
  opened_view_t view(path);
  viewer_element_t* element = view.element;
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text = narrow(element->export_text());
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["text_MB"] = double(bytes) / 1e6;
}

// Peak resident memory of one run of the program (kilobytes), as GNU time reports it: time forks
// the program itself, so the figure is the program's alone and not this benchmark's (whose pages
// a forked child would otherwise count as its own). -1 when time is missing.
long program_peak_kb(const std::string& args) {
  std::string out = inputs().dir + "/peak.txt";
  std::string command = "/usr/bin/time -f %M -o '" + out + "' " + SOURCE_VIEW_PROGRAM + " " + args +
                        " > /dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return -1;
  return std::atol(read_file(out).c_str());
}

void peak_memory(benchmark::State& state, const std::string& path) {
  double size_mb = double(read_file(path).size()) / 1e6;
  long base = 0, big = 0;
  for (auto _ : state) {
    if (access("/usr/bin/time", X_OK) != 0) return state.SkipWithError("needs /usr/bin/time");
    base = program_peak_kb("--png /dev/null --size 1920x1080 '" + inputs().small_gcov + "'");
    big = program_peak_kb("--png /dev/null --size 1920x1080 '" + path + "'");
  }
  double above = double(big - base) / 1024.0;
  state.counters["baseline_MB"] = double(base) / 1024.0;
  state.counters["above_baseline_MB"] = above;
  state.counters["input_MB"] = size_mb;
  state.counters["ratio_to_input"] = above / size_mb;
}

// `source-view --text FILE` from start to exit: reading, filling, exporting and writing, as a
// user runs it (wall time; the CPU column is this benchmark's own, not the program's).
void program_text(benchmark::State& state, const std::string& path) {
  std::string command = std::string(SOURCE_VIEW_PROGRAM) + " --text '" + path + "' > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) return state.SkipWithError("the program failed");
}

void BM_OpenFirstFrame_GcovText(benchmark::State& s) { open_and_first_frame(s, inputs().gcov); }
void BM_ProgramText_GcovText(benchmark::State& s) { program_text(s, inputs().gcov); }
void BM_ProgramText_GcovJson(benchmark::State& s) { program_text(s, inputs().json); }
void BM_OpenFirstFrame_GcovJson(benchmark::State& s) { open_and_first_frame(s, inputs().json); }
void BM_TextExport_GcovText(benchmark::State& s) { export_whole_file(s, inputs().gcov); }
void BM_TextExport_GcovJson(benchmark::State& s) { export_whole_file(s, inputs().json); }
void BM_PeakMemory_GcovText(benchmark::State& s) { peak_memory(s, inputs().gcov); }
void BM_PeakMemory_GcovJson(benchmark::State& s) { peak_memory(s, inputs().json); }

BENCHMARK(BM_OpenFirstFrame_GcovText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenFirstFrame_GcovJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TextExport_GcovText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TextExport_GcovJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ProgramText_GcovText)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ProgramText_GcovJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PeakMemory_GcovText)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PeakMemory_GcovJson)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
