// A small C++ program built with gcc --coverage and run once per test process, and the gcov
// outputs the viewer's tests read: text with and without -b -c and -H, and JSON.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace source_view_test {

// The program: a template instantiated twice, a function never called, counts above 1,000 and
// above 1,000,000, branches and calls.
inline const char* sample_program() {
  return R"(#include <cstdio>
template <class T> T add(T a, T b) {
  if (a > b)
    return a + b;
  return b - a;
}
static int never(int x) { return x * 2; }
int main(int argc, char**) {
  long s = 0;
  for (int i = 0; i < 1500; ++i) s += add(i, 3);
  double d = add(1.0, 2.0);
  if (argc > 5) s += never(argc);
  for (long i = 0; i < 2000000; ++i) s += i & 1;
  std::printf("%ld %f\n", s, d);
  return 0;
}
)";
}

inline std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void write_all(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Runs `command` in the coverage folder; the test fails when it does.
inline void run_in(const std::string& dir, const std::string& command) {
  std::string line = "cd '" + dir + "' && (" + command + ") >/dev/null 2>&1";
  ASSERT_EQ(std::system(line.c_str()), 0) << line;
}

// The folder with sample.cpp, its run's coverage data and the gcov outputs: sample.bc.gcov
// (gcov -b -c), sample.plain.gcov (gcov), sample.h.gcov (gcov -H), sample.b.gcov (gcov -b),
// sample.gcov.json.gz (gcov --json-format). Made once per process.
inline const std::string& coverage_dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/source-view-test-XXXXXX";
    std::string made = mkdtemp(pattern);
    // The folder goes with the test process.
    static std::string to_remove = made;
    std::atexit([] { std::system(("rm -rf '" + to_remove + "'").c_str()); });
    write_all(made + "/sample.cpp", sample_program());
    // The sanitizers' options must not reach the program built here, nor gcc.
    std::string env = "env -u ASAN_OPTIONS -u UBSAN_OPTIONS -u LSAN_OPTIONS -u LD_PRELOAD ";
    run_in(made, env + "g++ -O0 --coverage sample.cpp -o sample && ./sample");
    run_in(made, env + "gcov -b -c sample.cpp > sample.bc.txt");
    const char* runs[][2] = {{"-b -c", "bc"}, {"", "plain"}, {"-H", "h"}, {"-b", "b"}};
    for (auto& run : runs)
      run_in(made, env + "gcov " + run[0] + " sample.cpp && mv sample.cpp.gcov sample." + run[1] +
                       ".gcov");
    run_in(made, env + "gcov -b -c --json-format sample.cpp");
    return made;
  }();
  return dir;
}

// gcov's own summary figure "LABEL:P% of N" (e.g. "Lines executed") from its report of the -b -c
// run, as (part, whole).
inline std::pair<std::uint64_t, std::uint64_t> gcov_summary(const std::string& label) {
  std::string report = read_all(coverage_dir() + "/sample.bc.txt");
  std::size_t at = report.find(label + ":");
  if (at == std::string::npos) return {0, 0};
  double percent = std::atof(report.c_str() + at + label.size() + 1);
  std::size_t of = report.find(" of ", at);
  auto whole = std::uint64_t(std::atoll(report.c_str() + of + 4));
  return {std::uint64_t(percent * double(whole) / 100.0 + 0.5), whole};
}

// gcov's own count field of every source line of a listing ("-", "#####", "1496*", "1.5k"),
// by line number, read the plain way: the field before the first colon of a main-listing line.
inline std::vector<std::string> gcov_count_fields(const std::string& listing) {
  std::vector<std::string> fields;
  std::istringstream in(listing);
  std::string line;
  bool in_section = false, after_rule = false;
  while (std::getline(in, line)) {
    // An instantiation's section is a rule and then "NAME:"; a rule and anything else ends it.
    if (line.rfind("------------------", 0) == 0) {
      after_rule = true;
      in_section = false;
      continue;
    }
    if (after_rule && !line.empty() && line.back() == ':') in_section = true;
    after_rule = false;
    std::size_t a = line.find(':'), b = line.find(':', a + 1);
    if (a == std::string::npos || b == std::string::npos || in_section) continue;
    std::string number = line.substr(a + 1, b - a - 1);
    if (number.find_first_not_of(' ') == std::string::npos) continue;
    if (std::atoi(number.c_str()) == 0) continue;
    std::string count = line.substr(0, a);
    fields.push_back(count.substr(count.find_first_not_of(' ')));
  }
  return fields;
}

}  // namespace source_view_test
