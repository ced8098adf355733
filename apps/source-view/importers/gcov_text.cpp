// gcov text listings: each source line is "COUNT:LINE:TEXT", preceded by its function lines and
// followed by its branch and call lines; template instantiations repeat their lines in sections
// between "------------------" rules, each headed by "NAME:".
#include "gcov_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "import_error.h"
#include "input_file.h"

namespace source_view_app {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool starts_with(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

bool all_digits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// A decimal number that fits 64 bits.
std::optional<std::uint64_t> parse_u64(std::string_view s) {
  if (!all_digits(s) || s.size() > 19) return std::nullopt;
  std::uint64_t value = 0;
  std::from_chars(s.data(), s.data() + s.size(), value);
  return value;
}

struct count_t {
  bool executable = false;
  std::uint64_t value = 0;
  std::string_view human;  // the count as written, when it is not exact ("1.5k")
  bool exact = true;
  bool unexecuted_block = false;
  bool exceptional_only = false;
};

// "1.5k", "2.0M", "3G": gcov -H's rounded counts, read back as the nearest whole number.
std::optional<std::uint64_t> parse_human(std::string_view s) {
  static constexpr std::string_view units = "kMGTPE";
  if (s.size() < 2) return std::nullopt;
  std::size_t unit = units.find(s.back());
  if (unit == std::string_view::npos) return std::nullopt;
  std::string_view number = s.substr(0, s.size() - 1);
  std::size_t dot = number.find('.');
  std::string_view whole = number.substr(0, dot);
  std::string_view fraction = dot == std::string_view::npos ? "" : number.substr(dot + 1);
  if (!all_digits(whole) || (dot != std::string_view::npos && !all_digits(fraction)))
    return std::nullopt;
  double value = std::strtod(std::string(number).c_str(), nullptr);
  return std::uint64_t(std::llround(value * std::pow(1000.0, double(unit + 1))));
}

std::optional<count_t> parse_count(std::string_view field) {
  count_t count;
  std::string_view s = trim(field);
  if (s == "-") return count;
  count.executable = true;
  if (s == "#####" || s == "%%%%%") return count;
  if (s == "=====") {
    count.exceptional_only = true;
    return count;
  }
  if (!s.empty() && s.back() == '*') {
    count.unexecuted_block = true;
    s.remove_suffix(1);
  }
  if (auto exact = parse_u64(s)) {
    count.value = *exact;
    return count;
  }
  if (auto rounded = parse_human(s)) {
    count.value = *rounded;
    count.human = s;
    count.exact = false;
    return count;
  }
  return std::nullopt;
}

class parser_t {
 public:
  parser_t(const std::string& path, std::string_view text, read_observer_t* observer)
      : m_path(path), m_reader(text, observer) {
    m_result.input_path = path;
  }

  file_coverage_t run() {
    std::string_view line;
    while (m_reader.next(line)) {
      // Checked line by line rather than over the whole text first, so that a mapped input is
      // read once, front to back.
      if (std::memchr(line.data(), '\0', line.size()))
        fail("binary data (a NUL byte), not a text file");
      check_utf8(m_path, m_reader.line_number(), line);
      handle(line);
    }
    if (m_saw_nothing) fail("empty file, not a gcov listing");
    finish_functions();
    return std::move(m_result);
  }

 private:
  [[noreturn]] void fail(const std::string& message) const {
    throw import_error(m_path, m_reader.line_number(), message);
  }

  void handle(std::string_view line) {
    m_saw_nothing = false;
    if (starts_with(line, "------------------")) {
      m_in_section = false;
      m_after_rule = true;
      return;
    }
    bool after_rule = m_after_rule;
    m_after_rule = false;
    if (starts_with(line, "function ")) return read_function(line);
    if (starts_with(line, "branch ")) return read_branch(line.substr(7));
    if (starts_with(line, "call ")) return read_call(line.substr(5));
    if (starts_with(line, "unconditional ")) return read_unconditional(line);
    if (is_count_line(line)) return read_count_line(line);
    if (after_rule && !line.empty() && line.back() == ':') {
      m_in_section = true;
      m_section = std::string(line.substr(0, line.size() - 1));
      return;
    }
    fail("not a line of gcov output: '" + std::string(line.substr(0, 60)) + "'");
  }

  // "   COUNT:  LINE:TEXT": two colons, the second field a number (or "N-block M").
  static bool is_count_line(std::string_view line) {
    std::size_t first = line.find(':');
    if (first == std::string_view::npos) return false;
    std::size_t second = line.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    std::string_view number = trim(line.substr(first + 1, second - first - 1));
    return all_digits(number) || number.find("-block") != std::string_view::npos;
  }

  void read_count_line(std::string_view line) {
    std::size_t first = line.find(':');
    std::size_t second = line.find(':', first + 1);
    std::string_view number = trim(line.substr(first + 1, second - first - 1));
    if (!all_digits(number)) return;  // "N-block M" lines of gcov -a carry block counts only
    auto count = parse_count(line.substr(0, first));
    if (!count) fail("count '" + std::string(trim(line.substr(0, first))) + "' is not a number");
    auto line_number = parse_u64(number);
    if (!line_number || *line_number > 0xFFFFFFF) fail("line number out of range");
    std::string_view text = line.substr(second + 1);
    if (*line_number == 0) return read_header(text);
    if (m_in_section) return add_instance(unsigned(*line_number), *count);
    add_line(unsigned(*line_number), *count, text);
  }

  void read_header(std::string_view text) {
    if (starts_with(text, "Source:")) m_result.source_name = std::string(text.substr(7));
    if (!starts_with(text, "Runs:")) return;
    auto runs = parse_u64(trim(text.substr(5)));
    if (!runs) fail("runs '" + std::string(text.substr(5)) + "' is not a number");
    m_result.runs = unsigned(*runs);
  }

  void add_line(unsigned number, const count_t& count, std::string_view text) {
    std::size_t expected = m_result.lines.size() + 1;
    if (number != expected)
      fail("line " + std::to_string(number) + " where line " + std::to_string(expected) +
           " was expected");
    line_record_t record;
    record.executable = count.executable;
    record.count = count.value;
    record.exact = count.exact;
    if (!count.exact) record.human_count = m_result.keep_text(count.human);
    record.unexecuted_block = count.unexecuted_block;
    record.exceptional_only = count.exceptional_only;
    m_result.add_line(record);
    m_result.source_lines.push_back(text);
    m_has_current = true;
    attach_pending_functions(number);
  }

  void add_instance(unsigned number, const count_t& count) {
    if (number == 0 || number > m_result.lines.size())
      fail("line " + std::to_string(number) + " of section '" + m_section +
           "' is past the end of the listing");
    // A "-" line of a section says nothing about the instantiation.
    if (count.executable)
      m_result.instances[number - 1].push_back(
          {m_section, count.executable, count.value,
           count.exact ? std::to_string(count.value) : std::string(count.human)});
    m_has_current = false;  // branch lines of a section detail that instantiation only
    attach_pending_functions(number);
  }

  // "function NAME called N returned R% blocks executed B%"; NAME may hold spaces (demangled).
  void read_function(std::string_view line) {
    std::string_view rest = line.substr(9);
    std::size_t called = rest.rfind(" called ");
    if (called == std::string_view::npos) fail("function line without 'called'");
    function_record_t function;
    function.name = std::string(rest.substr(0, called));
    std::string_view numbers = rest.substr(called + 8);
    std::size_t returned = numbers.find(" returned ");
    std::size_t blocks = numbers.find(" blocks executed ");
    if (returned == std::string_view::npos || blocks == std::string_view::npos || blocks < returned)
      fail("function line without 'returned' and 'blocks executed'");
    auto calls = parse_u64(numbers.substr(0, returned));
    auto ret = parse_percent(numbers.substr(returned + 10, blocks - returned - 10));
    auto executed = parse_percent(numbers.substr(blocks + 17));
    if (!calls || !ret || !executed) fail("function line with a count that is not a number");
    function.calls = *calls;
    function.returned_percent = *ret;
    function.blocks_percent = *executed;
    m_pending.push_back(function);
  }

  static std::optional<double> parse_percent(std::string_view s) {
    s = trim(s);
    if (s.empty() || s.back() != '%') return std::nullopt;
    s.remove_suffix(1);
    char* end = nullptr;
    std::string copy(s);
    double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || *end != '\0' || value < 0) return std::nullopt;
    return value;
  }

  // Function lines come before the first line of the function they describe.
  void attach_pending_functions(unsigned number) {
    for (function_record_t& function : m_pending) {
      function.first_line = number;
      m_result.functions.push_back(std::move(function));
    }
    m_pending.clear();
  }

  // "N taken C", "N taken C%", "N taken C (fallthrough)", "N taken 0 (throw)", "N never executed".
  void read_branch(std::string_view rest) {
    bool owned = has_owner("branch");
    branch_record_t branch;
    std::string_view body = trim(rest);
    std::size_t space = body.find(' ');
    if (space == std::string_view::npos || !all_digits(body.substr(0, space)))
      fail("branch line without a branch number");
    std::string_view what = trim(body.substr(space));
    if (what == "never executed") {
      branch.state = branch_record_t::state_t::never_executed;
    } else if (starts_with(what, "taken ")) {
      read_taken(what.substr(6), branch);
    } else {
      fail("branch line neither 'taken' nor 'never executed'");
    }
    if (owned) m_result.add_branch(branch, what);
  }

  void read_taken(std::string_view what, branch_record_t& branch) {
    std::size_t space = what.find(' ');
    std::string_view amount = what.substr(0, space);
    std::string_view note = space == std::string_view::npos ? "" : trim(what.substr(space));
    branch.fallthrough = note == "(fallthrough)";
    branch.throws = note == "(throw)";
    if (!note.empty() && !branch.fallthrough && !branch.throws)
      fail("branch line with an unknown note '" + std::string(note) + "'");
    bool positive = false;
    if (!amount.empty() && amount.back() == '%') {
      auto percent = parse_percent(amount);
      if (!percent) fail("branch count '" + std::string(amount) + "' is not a number");
      positive = *percent > 0;
    } else {
      auto count = parse_count(amount);
      if (!count || !count->executable)
        fail("branch count '" + std::string(amount) + "' is not a number");
      branch.count = count->value;
      positive = count->value > 0;
    }
    branch.state = positive ? branch_record_t::state_t::taken : branch_record_t::state_t::not_taken;
  }

  void read_call(std::string_view rest) {
    bool owned = has_owner("call");
    std::string_view body = trim(rest);
    std::size_t space = body.find(' ');
    if (space == std::string_view::npos || !all_digits(body.substr(0, space)))
      fail("call line without a call number");
    std::string_view what = trim(body.substr(space));
    call_record_t call;
    if (what == "never executed") {
      call.executed = false;
    } else if (starts_with(what, "returned ")) {
      call.executed = true;
    } else {
      fail("call line neither 'returned' nor 'never executed'");
    }
    if (owned) m_result.add_call(call, what);
  }

  // gcov -u: unconditional branches, kept as call-like details of the line.
  void read_unconditional(std::string_view line) {
    if (has_owner("unconditional")) m_result.add_call({{}, true}, trim(line));
  }

  // Whether a branch or call line belongs to the last main-listing line (its details follow it
  // in the shared buffers). Inside an instantiation section they detail that instantiation,
  // whose totals the main listing has, and are passed over.
  bool has_owner(const char* what) {
    if (m_in_section) return false;
    if (!m_has_current) fail(std::string(what) + " line before any source line");
    return true;
  }

  // Functions in a text listing carry no last line: each one ends at the last executable line
  // before the next function (or the end), plus a closing brace that follows it.
  void finish_functions() {
    auto& functions = m_result.functions;
    const auto& lines = m_result.lines;
    std::vector<unsigned> starts;
    for (const function_record_t& function : functions) starts.push_back(function.first_line);
    std::sort(starts.begin(), starts.end());
    for (std::size_t i = 0; i < functions.size(); ++i) {
      unsigned first = functions[i].first_line;
      auto next = std::upper_bound(starts.begin(), starts.end(), first);
      unsigned limit = next == starts.end() ? unsigned(lines.size()) : *next - 1;
      unsigned last = first;
      for (unsigned n = first; n <= limit; ++n)
        if (lines[n - 1].executable) last = n;
      if (last < limit && trim(m_result.source_lines[last]).substr(0, 1) == "}") ++last;
      functions[i].last_line = last;
    }
  }

  const std::string& m_path;
  line_reader_t m_reader;
  file_coverage_t m_result;
  bool m_has_current = false;  // a main-listing line was read since the last section line
  std::vector<function_record_t> m_pending;
  std::string m_section;
  bool m_in_section = false;
  bool m_after_rule = false;
  bool m_saw_nothing = true;
};

}  // namespace

file_coverage_t parse_gcov_text(const std::string& path, std::string_view text,
                                read_observer_t* observer) {
  return parser_t(path, text, observer).run();
}

bool looks_like_gcov_text(std::string_view text) {
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon > 20) return false;
  std::string_view head = trim(text.substr(0, colon));
  if (head != "-") return false;
  std::size_t second = text.find(':', colon + 1);
  return second != std::string_view::npos &&
         trim(text.substr(colon + 1, second - colon - 1)) == "0";
}

}  // namespace source_view_app
