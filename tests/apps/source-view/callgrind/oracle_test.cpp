// The callgrind reader against valgrind: a program of ours profiled several ways, every line's
// self cost per event and every call line compared with what callgrind_annotate prints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "callgrind.h"

namespace {

namespace fs = std::filesystem;
using namespace source_view_app;

// (source file name, line) → costs in the order callgrind_annotate shows the events; call lines
// add the callee's name.
using line_costs_t = std::map<std::pair<std::string, unsigned>, std::vector<cost_t>>;
using call_costs_t = std::map<std::tuple<std::string, unsigned, std::string>, std::vector<cost_t>>;

struct annotation_t {
  std::vector<std::string> events;
  std::vector<cost_t> totals;
  line_costs_t lines;
  call_costs_t calls;  // costs, then the call count
};

std::string output_of(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  for (std::size_t got; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    text.append(buffer, got);
  EXPECT_TRUE(pipe && pclose(pipe) == 0) << command;
  return text;
}

cost_t annotated_number(std::string token) {
  token.erase(std::remove(token.begin(), token.end(), ','), token.end());
  return token == "." ? 0 : std::stoull(token);
}

std::string base_name(const std::string& path) { return fs::path(path).filename().string(); }

bool all_zero(const std::vector<cost_t>& costs) {
  return std::all_of(costs.begin(), costs.end(), [](cost_t c) { return c == 0; });
}

// Reads callgrind_annotate's program totals and its listings of the sources it found, where each
// line starts with one number (or ".") per event and call lines follow their line with "=>".
void add_annotation(const std::string& profile, annotation_t& sum) {
  std::istringstream in(
      output_of("callgrind_annotate --auto=yes --show-percs=no --threshold=100 "
                "--context=100000 '" +
                profile + "'"));
  std::string line, file;
  unsigned number = 0;
  auto costs_of = [&](std::istringstream& words) {
    std::vector<cost_t> costs(sum.events.size());
    for (cost_t& cost : costs) {
      std::string token;
      words >> token;
      cost = annotated_number(token);
    }
    return costs;
  };
  auto add = [](std::vector<cost_t>& to, const std::vector<cost_t>& costs) {
    to.resize(costs.size());
    for (std::size_t i = 0; i < costs.size(); ++i) to[i] += costs[i];
  };
  while (std::getline(in, line)) {
    std::istringstream words(line);
    if (line.rfind("Events shown:", 0) == 0) {
      sum.events.clear();
      words.ignore(13);
      for (std::string event; words >> event;) sum.events.push_back(event);
    } else if (line.find("PROGRAM TOTALS") != std::string::npos) {
      add(sum.totals, costs_of(words));
    } else if (line.rfind("-- Auto-annotated source: ", 0) == 0) {
      file = base_name(line.substr(26));
      number = 0;
      for (int skip = 0; skip < 3; ++skip) std::getline(in, line);  // rule, events, blank
    } else if (line.rfind("-----", 0) == 0) {
      file.clear();
    } else if (!file.empty() && !line.empty()) {
      std::vector<cost_t> costs = costs_of(words);
      std::string arrow, callee, count;
      if (!(words >> arrow) || arrow != "=>") {
        if (!all_zero(costs)) add(sum.lines[{file, number + 1}], costs);
        ++number;
        continue;
      }
      words >> callee >> count;  // "file:function (3x)"
      costs.push_back(std::stoull(count.substr(1)));
      std::size_t colon = callee.find(':');
      callee = base_name(callee.substr(0, colon)) + callee.substr(colon);
      add(sum.calls[{file, number, callee}], costs);
    }
  }
}

// The same figures from the reader, for the files callgrind_annotate listed.
annotation_t from_profile(const callgrind_profile_t& profile, const annotation_t& annotated) {
  annotation_t mine{annotated.events, {}, {}, {}};
  std::vector<std::size_t> column;
  for (const std::string& event : annotated.events)
    column.push_back(std::find(profile.events.begin(), profile.events.end(), event) -
                     profile.events.begin());
  std::set<std::string> listed;
  for (const auto& [key, costs] : annotated.lines) listed.insert(key.first);
  auto pick = [&](const cost_t* costs, std::vector<cost_t>& to) {
    to.resize(column.size());
    for (std::size_t i = 0; i < column.size(); ++i) to[i] += costs[column[i]];
  };
  pick(profile.summary.data(), mine.totals);
  for (const callgrind_line_t& line : profile.lines) {
    std::string file = base_name(profile.files[line.file]);
    if (listed.count(file) && line.line != 0)
      pick(profile.cost(line.cost), mine.lines[{file, line.line}]);
  }
  for (auto it = mine.lines.begin(); it != mine.lines.end();)
    it = all_zero(it->second) ? mine.lines.erase(it) : std::next(it);
  for (const callgrind_call_t& call : profile.calls) {
    std::string file = base_name(profile.files[call.file]);
    if (!listed.count(file)) continue;
    const callgrind_function_t& callee = profile.functions[call.callee];
    std::string name = base_name(profile.files[callee.file]) + ":" + callee.name;
    std::vector<cost_t>& to = mine.calls[{file, call.line, name}];
    pick(profile.cost(call.cost), to);
    to.resize(column.size() + 1);
    to.back() += call.count;
  }
  return mine;
}

class callgrind_oracle : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"cc", "valgrind", "callgrind_annotate"})
      ASSERT_EQ(run(std::string("command -v ") + tool + " > /dev/null"), 0)
          << tool << " is missing: scripts/install-deps installs what these tests run";
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    m_dir = fs::temp_directory_path() /
            ("sv4-callgrind-" + std::to_string(getpid()) + "-" + test->name());
    fs::create_directories(m_dir);
    ASSERT_EQ(
        run("cc -g -O2 -o '" + (m_dir / "work").string() + "' '" CALLGRIND_PROGRAMS "/work.c'"), 0);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  static int run(const std::string& command) { return std::system(command.c_str()); }

  // Runs the program under callgrind; the profile's files (several with dumps), in dump order.
  std::vector<std::string> profile(const std::string& options) {
    std::string out = (m_dir / "callgrind.out").string();
    EXPECT_EQ(run("cd '" + m_dir.string() + "' && valgrind --tool=callgrind " + options +
                  " --callgrind-out-file='" + out + "' ./work > /dev/null 2>&1"),
              0);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(m_dir))
      if (entry.path().filename().string().rfind("callgrind.out.", 0) == 0)
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    files.push_back(out);
    return files;
  }

  // The reader and callgrind_annotate agree on every line and call of our sources.
  void expect_agreement(const std::vector<std::string>& files) {
    annotation_t annotated;
    for (const std::string& file : files) add_annotation(file, annotated);
    std::set<std::string> sources;  // mix.h: code inlined into work.c's functions
    for (const auto& [key, costs] : annotated.lines) sources.insert(key.first);
    EXPECT_EQ(sources, (std::set<std::string>{"mix.h", "work.c"}));
    callgrind_profile_t profile = read_callgrind(files);
    annotation_t mine = from_profile(profile, annotated);
    EXPECT_EQ(mine.totals, annotated.totals);
    EXPECT_EQ(mine.lines, annotated.lines);
    EXPECT_EQ(mine.calls, annotated.calls);
    // totals: lines give the sum of all cost lines, in every file.
    std::vector<cost_t> file_sums = file_self_costs(profile), sums(profile.event_count());
    for (std::size_t i = 0; i < file_sums.size(); ++i) sums[i % sums.size()] += file_sums[i];
    EXPECT_EQ(sums, profile.totals);
  }

  fs::path m_dir;
};

TEST_F(callgrind_oracle, cache_and_branch_events_with_inlined_code) {
  expect_agreement(profile("--cache-sim=yes --branch-sim=yes"));
}

TEST_F(callgrind_oracle, instruction_positions_with_jumps) {
  expect_agreement(profile("--dump-instr=yes --collect-jumps=yes"));
}

TEST_F(callgrind_oracle, uncompressed_names_and_positions) {
  expect_agreement(profile("--dump-instr=yes --compress-strings=no --compress-pos=no"));
}

// One profile per dump: callgrind_annotate reads each alone, the reader sums them, whether given
// as files or as the parts of one file.
TEST_F(callgrind_oracle, parts_of_one_run) {
  std::vector<std::string> files = profile("--dump-before=step");
  ASSERT_EQ(files.size(), 4u);
  expect_agreement(files);
  std::string joined = (m_dir / "joined").string();
  std::ofstream out(joined);
  for (const std::string& file : files) out << std::ifstream(file).rdbuf();
  out.close();
  callgrind_profile_t apart = read_callgrind(files), together = read_callgrind({joined});
  EXPECT_EQ(together.parts, 4u);
  EXPECT_EQ(together.totals, apart.totals);
  EXPECT_EQ(file_self_costs(together), file_self_costs(apart));
}

}  // namespace
