// callgrind_profile_t: what valgrind's callgrind tool measured, merged over every part and file
// read: self costs per (function, source file, line) and calls per (caller line, callee).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input_file.h"

namespace source_view_app {

using cost_t = std::uint64_t;

// A function: `name` as the profile spells it (fn=/cfn=), `file` the index in
// callgrind_profile_t::files of the file it was named in (fl=, or cfi=/cfl= for a callee seen
// first as a call target), and its first line: the smallest line it has a cost at, else the
// line a call to it names.
struct callgrind_function_t {
  std::string name;
  std::uint32_t file = 0;
  std::uint32_t first_line = 0;
};

// The self cost of one function at one line of one file. Code inlined into `function` from
// another file (fi=/fe=) has `file` set to that other file. Costs are events.size() numbers in
// callgrind_profile_t::costs from `cost`. Instruction-only profiles (positions: instr) have
// line 0.
struct callgrind_line_t {
  std::uint32_t function = 0;
  std::uint32_t file = 0;
  std::uint32_t line = 0;
  std::uint32_t cost = 0;
};

// The calls made from one line to one callee: `count` calls (summed over parts), their
// inclusive cost (events.size() numbers in costs from `cost`), and where the callee is.
struct callgrind_call_t {
  std::uint32_t caller = 0;  // index in functions
  std::uint32_t file = 0;    // the file of the calling line (fi/fe in force)
  std::uint32_t line = 0;    // the calling line
  std::uint32_t callee = 0;  // index in functions
  std::uint32_t callee_file = 0;
  std::uint32_t callee_line = 0;  // the target position of calls= (0 when unknown)
  std::uint64_t count = 0;
  std::uint32_t cost = 0;
};

struct callgrind_profile_t {
  std::vector<std::string> events;       // short names (Ir, Dr, …) in the order of the columns
  std::vector<std::string> event_names;  // long names from event: lines, else the short name
  // Program totals per event: the sum of every part's totals: line (or summary: line), else the
  // sum of every self cost read.
  std::vector<cost_t> totals;
  // The cost of the whole run per event, for percentages: the sum of every part's summary: line
  // (valgrind may count more there than its cost lines hold), else as totals.
  std::vector<cost_t> summary;
  std::vector<std::string> files;  // as the profile names them ("???" for unknown)
  std::vector<callgrind_function_t> functions;
  std::vector<callgrind_line_t> lines;    // one per (function, file, line), any order
  std::vector<callgrind_call_t> calls;    // one per (caller, file, line, callee), any order
  std::vector<cost_t> costs;              // the cost pool lines and calls point into
  std::string command;                    // cmd: of the first part
  std::string creator;                    // creator: of the first part
  unsigned parts = 0;                     // parts read over all inputs
  std::vector<std::string> descriptions;  // desc: lines of the first part ("Trigger: …")

  const cost_t* cost(std::uint32_t index) const { return costs.data() + index; }
  std::size_t event_count() const { return events.size(); }
};

// Reads one or more profiles (plain or gzip-compressed) and merges them: costs of equal
// (function, file, line) and calls of equal (caller, file, line, callee) are summed, events are
// matched by name (an event only some inputs have costs 0 in the others). Throws import_error
// "FILE:LINE: what is wrong" for bad input. `observer`, when given, hears the bytes read of all
// the profiles together (of their decompressed text for compressed ones).
callgrind_profile_t read_callgrind(const std::vector<std::string>& paths,
                                   read_observer_t* observer = nullptr);

// Parses the text of one profile into `profile`, merging with what it holds already; `path`
// names the input in messages.
void parse_callgrind(const std::string& path, std::string_view text, callgrind_profile_t& profile);

// True when the bytes look like a callgrind profile (an "events:" or "positions:" header line,
// or "# callgrind format" as the first line).
bool looks_like_callgrind(std::string_view bytes);

// Self cost of each file per event: files.size() rows of events.size() numbers, row-major.
std::vector<cost_t> file_self_costs(const callgrind_profile_t& profile);

}  // namespace source_view_app
