// The coverage of one source file as the gcov importers read it: per line the count, branches,
// calls and per-instantiation counts, the functions, and the source lines themselves.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace source_view_app {

struct branch_record_t {
  enum class state_t { taken, not_taken, never_executed };
  state_t state = state_t::never_executed;
  std::uint64_t count = 0;  // times taken (0 when gcov gave a percentage only)
  std::string text;         // gcov's own words after "branch N", e.g. "taken 4 (fallthrough)"
  bool fallthrough = false;
  bool throws = false;
};

// One call site of a line: "returned 1500", "never executed".
struct call_record_t {
  bool executed = false;
  std::string text;
};

// One template instantiation's (or inlined copy's) counts for a line.
struct instance_count_t {
  std::string function;  // the instantiation's name as gcov wrote it
  bool executable = true;
  std::uint64_t count = 0;
  std::string count_text;  // as shown, e.g. "#####" or "1.5k"
};

struct line_record_t {
  bool executable = false;  // gcov wrote a count (not "-")
  std::uint64_t count = 0;
  // The count as the view shows it: gcov's decimal number, or its human-readable form ("1.5k")
  // when that is all the input holds.
  std::string count_text;
  bool exact = true;              // false for human-readable counts
  bool unexecuted_block = false;  // "*" suffix: some block of the line never ran
  bool exceptional_only = false;  // "=====": reached only on exceptional paths
  std::vector<branch_record_t> branches;
  std::vector<call_record_t> calls;
  std::vector<instance_count_t> instances;
};

struct function_record_t {
  std::string name;         // as written (demangled where the input gives that)
  unsigned first_line = 0;  // 1-based; 0 when unknown
  unsigned last_line = 0;
  std::uint64_t calls = 0;
  double returned_percent = 0;
  double blocks_percent = 0;
};

struct file_coverage_t {
  std::string input_path;                 // the file read (gcov text or JSON)
  std::string source_name;                // the source's name as the input gives it
  std::vector<std::string> source_lines;  // UTF-8, without line ends
  std::vector<line_record_t> lines;       // one per source line
  std::vector<function_record_t> functions;
  unsigned runs = 0;
};

// Lines and branches executed over those that could be.
struct coverage_totals_t {
  std::uint64_t lines_executed = 0;
  std::uint64_t lines_executable = 0;
  std::uint64_t branches_taken = 0;
  std::uint64_t branches_total = 0;
};

coverage_totals_t count_totals(const file_coverage_t& coverage);

// "1234 / 2000 (61.7 %)"; "0 / 0" without anything to count.
std::string format_ratio(std::uint64_t part, std::uint64_t whole);

}  // namespace source_view_app
