// The gcov importers read what gcc's gcov writes: counts, instantiation sections, functions,
// branches and calls, in text (plain, -b -c, -b, -H) and JSON, and the two formats agree.
#include <gtest/gtest.h>

#include "gcov_json.h"
#include "gcov_run.h"
#include "gcov_text.h"
#include "import_error.h"
#include "input_file.h"

namespace source_view_app {
namespace {

using source_view_test::coverage_dir;
using state = branch_record_t::state_t;

file_coverage_t text_of(const std::string& name) {
  std::string path = coverage_dir() + "/" + name;
  return parse_gcov_text(path, read_input(path));
}

file_coverage_t json_of() {
  std::string path = coverage_dir() + "/sample.gcov.json.gz";
  return parse_gcov_json(path, read_input(path), "", "");
}

// "calls first-last blocks%" of the function whose name holds `part`.
std::string function_brief(const file_coverage_t& c, const std::string& part) {
  for (const function_record_t& f : c.functions)
    if (f.name.find(part) != std::string::npos)
      return std::to_string(f.calls) + " " + std::to_string(f.first_line) + "-" +
             std::to_string(f.last_line) + " " + std::to_string(int(f.blocks_percent)) + "%";
  return "(none)";
}

// Every count field gcov wrote is the text the importer keeps for that line ("#####" is 0).
TEST(GcovText, CountsEqualGcovOwnForEveryLine) {
  for (const char* name : {"sample.bc.gcov", "sample.plain.gcov", "sample.h.gcov"}) {
    SCOPED_TRACE(name);
    file_coverage_t c = text_of(name);
    std::vector<std::string> fields = source_view_test::gcov_count_fields(
        source_view_test::read_all(coverage_dir() + "/" + name));
    ASSERT_EQ(c.lines.size(), fields.size());
    ASSERT_EQ(c.lines.size(), 16u);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      SCOPED_TRACE("line " + std::to_string(i + 1));
      std::string field = fields[i];
      bool star = field.back() == '*';
      if (star) field.pop_back();
      if (field == "-") {
        EXPECT_FALSE(c.lines[i].executable);
        continue;
      }
      EXPECT_TRUE(c.lines[i].executable);
      EXPECT_EQ(c.lines[i].unexecuted_block, star);
      EXPECT_EQ(c.count_text(i), field == "#####" ? "0" : field);
    }
  }
}

TEST(GcovText, ReadsHeaderSourceAndKnownCounts) {
  file_coverage_t c = text_of("sample.bc.gcov");
  EXPECT_EQ(c.source_name, "sample.cpp");
  EXPECT_EQ(c.runs, 1u);
  EXPECT_EQ(c.source_lines[9], "  for (int i = 0; i < 1500; ++i) s += add(i, 3);");
}

// The template's lines total both instantiations; each section's counts are kept apart.
TEST(GcovText, InstantiationSectionsBecomeDetailNotTotals) {
  file_coverage_t c = text_of("sample.bc.gcov");
  const line_record_t& line = c.lines[3];  // "return a + b;"
  const std::vector<instance_count_t>& instances = c.instances_of(3);
  EXPECT_EQ(line.count, 1496u);
  ASSERT_EQ(instances.size(), 2u);
  std::uint64_t sum = 0;
  for (const instance_count_t& i : instances) sum += i.count;
  EXPECT_EQ(sum, line.count);
  EXPECT_NE(instances[0].function, instances[1].function);
  // The branch lines of a section belong to its instantiation, not to the total's line.
  EXPECT_TRUE(c.branches_of(2).empty());
  EXPECT_EQ(c.instances_of(2).size(), 2u);
}

TEST(GcovText, FunctionsWithCallsBlocksAndRanges) {
  file_coverage_t c = text_of("sample.bc.gcov");
  ASSERT_EQ(c.functions.size(), 4u);
  EXPECT_EQ(function_brief(c, "never"), "0 7-7 0%");
  EXPECT_EQ(function_brief(c, "main"), "1 8-16 86%");  // through the closing brace gcov marks "-"
  EXPECT_EQ(function_brief(c, "IiE"), "1500 2-6 100%");
}

TEST(GcovText, BranchesAndCallsWithCountsAndPercentages) {
  file_coverage_t counts = text_of("sample.bc.gcov");
  file_coverage_t percents = text_of("sample.b.gcov");
  auto branches = counts.branches_of(11);  // if (argc > 5) s += never(argc);
  ASSERT_EQ(branches.size(), 2u);
  EXPECT_EQ(branches[0].state, state::not_taken);
  EXPECT_TRUE(branches[0].fallthrough);
  EXPECT_EQ(counts.text_of(branches[0].text), "taken 0 (fallthrough)");
  EXPECT_EQ(branches[1].state, state::taken);
  EXPECT_EQ(branches[1].count, 1u);
  EXPECT_EQ(counts.text_of(branches[1].text), "taken 1");
  auto calls = counts.calls_of(11);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_FALSE(calls[0].executed);
  EXPECT_EQ(counts.text_of(calls[0].text), "never executed");
  EXPECT_EQ(counts.branches_of(12)[0].count, 2000000u);
  // Percentages (gcov -b) give the same states as counts (gcov -b -c).
  for (std::size_t i = 0; i < counts.lines.size(); ++i) {
    ASSERT_EQ(counts.branches_of(i).size(), percents.branches_of(i).size());
    for (std::size_t b = 0; b < counts.branches_of(i).size(); ++b)
      EXPECT_EQ(counts.branches_of(i)[b].state, percents.branches_of(i)[b].state);
  }
  EXPECT_TRUE(text_of("sample.plain.gcov").branches_of(11).empty());
}

TEST(GcovText, HumanReadableCountsAreApproximate) {
  file_coverage_t exact = text_of("sample.plain.gcov");
  file_coverage_t human = text_of("sample.h.gcov");
  EXPECT_EQ(human.count_text(12), "2.0M");
  EXPECT_EQ(human.count_text(9), "1.5k");
  EXPECT_FALSE(human.lines[9].exact);
  EXPECT_TRUE(human.lines[10].exact);  // 1 stays a plain number
  for (std::size_t i = 0; i < exact.lines.size(); ++i) {
    double e = double(exact.lines[i].count), h = double(human.lines[i].count);
    EXPECT_NEAR(h, e, e * 0.05 + 0.5) << "line " << i + 1;
  }
}

// Text and JSON come from the same run: every line, function and branch agrees.
TEST(GcovJson, AgreesWithTextOnEveryLine) {
  file_coverage_t text = text_of("sample.bc.gcov");
  file_coverage_t json = json_of();
  EXPECT_EQ(json.source_name, "sample.cpp");
  ASSERT_EQ(json.source_lines, text.source_lines);
  ASSERT_EQ(json.lines.size(), text.lines.size());
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i + 1));
    EXPECT_EQ(json.lines[i].executable, text.lines[i].executable);
    EXPECT_EQ(json.lines[i].count, text.lines[i].count);
    EXPECT_EQ(json.lines[i].unexecuted_block, text.lines[i].unexecuted_block);
    EXPECT_EQ(json.instances_of(i).size(), text.instances_of(i).size());
    EXPECT_EQ(json.branches_of(i).size(), text.branches_of(i).size());
  }
  coverage_totals_t a = count_totals(text), b = count_totals(json);
  EXPECT_EQ(std::tie(a.lines_executed, a.lines_executable, a.branches_total, a.branches_taken),
            std::tie(b.lines_executed, b.lines_executable, b.branches_total, b.branches_taken));
  EXPECT_EQ(json.functions.size(), text.functions.size());
  EXPECT_EQ(function_brief(json, "never"), "0 7-7 0%");
  ASSERT_EQ(json.branches_of(11).size(), 2u);
  EXPECT_EQ(json.branches_of(11)[1].state, state::taken);
  EXPECT_EQ(json.text_of(json.branches_of(11)[0].text), "taken 0 (fallthrough)");
}

TEST(GcovJson, ListsFilesAndChoosesByNameOrExecution) {
  std::string path = coverage_dir() + "/sample.gcov.json.gz";
  std::string bytes = read_input(path);
  gcov_json_t listing = list_gcov_json(path, bytes);
  ASSERT_EQ(listing.files.size(), 1u);
  EXPECT_TRUE(listing.files[0].executed);
  EXPECT_EQ(listing.working_directory, coverage_dir());
  EXPECT_EQ(parse_gcov_json(path, bytes, "sample.cpp", "").lines.size(), 16u);
  EXPECT_THROW(parse_gcov_json(path, bytes, "other.cpp", ""), import_error);
  // --source-dir finds the source elsewhere; a folder without it is an error naming the file.
  EXPECT_EQ(parse_gcov_json(path, bytes, "", coverage_dir()).lines.size(), 16u);
  try {
    parse_gcov_json(path, bytes, "", "/nonexistent");
    FAIL() << "a missing source must be an error";
  } catch (const import_error& e) {
    EXPECT_EQ(e.file(), "/nonexistent/sample.cpp");
  }
}

}  // namespace
}  // namespace source_view_app
