// gcov JSON documents through nlohmann-json: files → lines (repeated once per instantiation
// that covers them) and functions. A line's count is the sum over its repetitions, as gcov's text
// listing shows it; each repetition becomes one instantiation's count. The document is read as a
// stream: each line and function entry is checked and folded into compact records as soon as it
// is parsed, so that no document tree of the whole input is ever built.
#include "gcov_json.h"

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <numeric>
#include <type_traits>
#include <unordered_map>

#include "import_error.h"
#include "input_file.h"

namespace source_view_app {

namespace {

using json = nlohmann::json;
using event_t = json::parse_event_t;

// A character iterator over the document that tells the observer how far the parser has got,
// about once a MiB, so that a mapped input's pages are given back behind it.
class tracked_iterator_t {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  struct tracker_t {
    const char* start = nullptr;
    const char* next_report = nullptr;
    read_observer_t* observer = nullptr;
  };

  tracked_iterator_t(const char* at, tracker_t* tracker) : m_at(at), m_tracker(tracker) {}
  const char& operator*() const { return *m_at; }
  tracked_iterator_t& operator++() {
    if (++m_at >= m_tracker->next_report) report();
    return *this;
  }
  bool operator==(const tracked_iterator_t& other) const { return m_at == other.m_at; }
  bool operator!=(const tracked_iterator_t& other) const { return m_at != other.m_at; }

 private:
  void report() {
    m_tracker->next_report = m_at + (std::size_t(1) << 20);
    if (m_tracker->observer) m_tracker->observer->reached(std::size_t(m_at - m_tracker->start));
  }

  const char* m_at;
  tracker_t* m_tracker;
};

// One repetition of a line: the entry of a "lines" array that gave it, in document order.
struct repetition_t {
  std::uint64_t count = 0;
  std::uint32_t line = 0;
  std::uint32_t entry = 0;  // index in the file's "lines" array
  std::uint32_t first_branch = 0;
  std::uint32_t branch_count = 0;
  std::uint32_t function = 0;  // into file_reading_t::function_names
  bool unexecuted_block = false;
};

// What the stream has read of one file so far.
struct file_reading_t {
  std::vector<repetition_t> repetitions;
  std::vector<branch_record_t> branches;  // per repetition, as the entries gave them
  std::vector<std::string> function_names;
  std::unordered_map<std::string, std::uint32_t> function_index;
  std::vector<function_record_t> functions;
  std::uint32_t line_entries = 0;
  std::uint32_t function_entries = 0;

  std::uint32_t intern(const std::string& name) {
    auto [it, added] = function_index.try_emplace(name, std::uint32_t(function_names.size()));
    if (added) function_names.push_back(name);
    return it->second;
  }
};

// Checks of one entry's members, failing with the entry's place in the document.
class checks_t {
 public:
  explicit checks_t(const std::string& path) : m_path(path) {}

  [[noreturn]] void fail(const std::string& where, const std::string& what) const {
    throw import_error(m_path, 0, where + ": " + what);
  }

  const json& member(const json& object, const char* key, const std::string& where) const {
    auto it = object.find(key);
    if (it == object.end()) fail(where, std::string("missing member '") + key + "'");
    return *it;
  }

  std::uint64_t number(const json& object, const char* key, const std::string& where) const {
    const json& value = member(object, key, where);
    if (!value.is_number_unsigned() &&
        !(value.is_number_integer() && value.get<std::int64_t>() >= 0))
      fail(where + "." + key, "expected a whole number not below 0");
    return value.get<std::uint64_t>();
  }

  std::string text(const json& object, const char* key, const std::string& where) const {
    const json& value = member(object, key, where);
    if (!value.is_string()) fail(where + "." + key, "expected a string");
    return value.get<std::string>();
  }

  bool flag(const json& object, const char* key, const std::string& where) const {
    auto it = object.find(key);
    if (it == object.end()) return false;
    if (!it->is_boolean()) fail(where + "." + key, "expected true or false");
    return it->get<bool>();
  }

  // A string member when it is there and a string, else empty.
  static std::string optional_text(const json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
  }

  const std::string& path() const { return m_path; }

 private:
  const std::string& m_path;
};

void read_branches(const checks_t& checks, const json& line, const std::string& where,
                   file_reading_t& file) {
  auto it = line.find("branches");
  if (it == line.end()) return;
  if (!it->is_array()) checks.fail(where + ".branches", "expected an array");
  for (std::size_t b = 0; b < it->size(); ++b) {
    const json& entry = (*it)[b];
    std::string at = where + ".branches[" + std::to_string(b) + "]";
    if (!entry.is_object()) checks.fail(at, "expected an object");
    branch_record_t branch;
    branch.count = checks.number(entry, "count", at);
    branch.fallthrough = checks.flag(entry, "fallthrough", at);
    branch.throws = checks.flag(entry, "throw", at);
    file.branches.push_back(branch);
  }
}

void read_line_entry(const checks_t& checks, const json& entry, const std::string& where,
                     file_reading_t& file) {
  std::string at = where + ".lines[" + std::to_string(file.line_entries) + "]";
  if (!entry.is_object()) checks.fail(at, "expected an object");
  std::uint64_t number = checks.number(entry, "line_number", at);
  if (number > 0xFFFFFFFu) checks.fail(at, "line " + std::to_string(number) + " is out of range");
  repetition_t repetition;
  repetition.line = std::uint32_t(number);
  repetition.entry = file.line_entries++;
  repetition.count = checks.number(entry, "count", at);
  repetition.unexecuted_block = checks.flag(entry, "unexecuted_block", at);
  repetition.function = file.intern(checks_t::optional_text(entry, "function_name"));
  repetition.first_branch = std::uint32_t(file.branches.size());
  read_branches(checks, entry, at, file);
  repetition.branch_count = std::uint32_t(file.branches.size()) - repetition.first_branch;
  file.repetitions.push_back(repetition);
}

void read_function_entry(const checks_t& checks, const json& entry, const std::string& where,
                         file_reading_t& file) {
  std::string at = where + ".functions[" + std::to_string(file.function_entries++) + "]";
  if (!entry.is_object()) checks.fail(at, "expected an object");
  function_record_t function;
  function.name = checks_t::optional_text(entry, "demangled_name");
  if (function.name.empty()) function.name = checks.text(entry, "name", at);
  function.first_line = unsigned(checks.number(entry, "start_line", at));
  function.last_line = unsigned(checks.number(entry, "end_line", at));
  function.calls = checks.number(entry, "execution_count", at);
  std::uint64_t blocks = checks.number(entry, "blocks", at);
  std::uint64_t executed = checks.number(entry, "blocks_executed", at);
  if (executed > blocks) checks.fail(at, "more blocks executed than the function has");
  if (function.last_line < function.first_line) checks.fail(at, "end_line before start_line");
  function.blocks_percent = blocks == 0 ? 0 : 100.0 * double(executed) / double(blocks);
  file.functions.push_back(std::move(function));
}

std::string branch_text(const branch_record_t& branch) {
  if (branch.state == branch_record_t::state_t::never_executed) return "never executed";
  return "taken " + std::to_string(branch.count) +
         (branch.fallthrough ? " (fallthrough)"
          : branch.throws    ? " (throw)"
                             : "");
}

// Adds the repetitions of one line, merged, as gcov's text listing would show the line.
void add_merged_line(file_coverage_t& coverage, const file_reading_t& file,
                     const repetition_t* first, const repetition_t* last) {
  line_record_t line;
  line.executable = true;
  bool unexecuted_block = false;
  for (const repetition_t* r = first; r != last; ++r) {
    line.count += r->count;
    unexecuted_block = unexecuted_block || r->unexecuted_block;
  }
  // gcov's listing marks an unexecuted block ("*") on lines that ran; a line that never ran
  // shows "#####" alone.
  line.unexecuted_block = unexecuted_block && line.count > 0;
  coverage.add_line(line);
  // A line covered by several functions keeps its branches with the instantiations, as gcov's
  // own listing and totals do; a line of one function has no instantiations to tell apart.
  if (last - first >= 2) {
    auto& instances = coverage.instances[coverage.lines.size() - 1];
    for (const repetition_t* r = first; r != last; ++r)
      instances.push_back(
          {file.function_names[r->function], true, r->count, std::to_string(r->count)});
    return;
  }
  for (std::uint32_t b = 0; b < first->branch_count; ++b) {
    branch_record_t branch = file.branches[first->first_branch + b];
    using state = branch_record_t::state_t;
    if (line.count == 0)
      branch.state = state::never_executed;
    else
      branch.state = branch.count > 0 ? state::taken : state::not_taken;
    coverage.add_branch(branch, branch_text(branch));
  }
}

// The file's lines 1 … `lines` (the highest line number given when `lines` is 0), each with its
// repetitions merged; lines without any are not executable. Entries for line 0 are left out.
file_coverage_t merge_file(file_reading_t& file, std::size_t lines) {
  std::vector<std::uint32_t> order(file.repetitions.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return file.repetitions[a].line < file.repetitions[b].line;
  });
  std::vector<repetition_t> sorted;
  sorted.reserve(order.size());
  for (std::uint32_t i : order) sorted.push_back(file.repetitions[i]);
  std::vector<repetition_t>().swap(file.repetitions);
  if (lines == 0 && !sorted.empty()) lines = sorted.back().line;

  file_coverage_t coverage;
  coverage.lines.reserve(lines);
  const repetition_t* next = sorted.data();
  const repetition_t* end = next + sorted.size();
  while (next != end && next->line == 0) ++next;
  for (std::size_t number = 1; number <= lines; ++number) {
    const repetition_t* last = next;
    while (last != end && last->line == number) ++last;
    if (last == next)
      coverage.add_line(line_record_t());
    else
      add_merged_line(coverage, file, next, last);
    next = last;
  }
  coverage.functions = std::move(file.functions);
  return coverage;
}

// Called at the end of each file of the document with its index, name and what was read of it.
using file_handler_t =
    std::function<void(std::size_t index, const std::string& name, file_reading_t& file)>;

// The document read as a stream. Line and function entries are read where they end and left
// out of the tree nlohmann builds, which keeps only the document's small members.
class stream_parser_t : public nlohmann::detail::json_sax_dom_callback_parser<json> {
 public:
  stream_parser_t(json& root, const checks_t& checks, file_handler_t on_file)
      : nlohmann::detail::json_sax_dom_callback_parser<json>(
            root,
            [this](int depth, event_t event, json& parsed) {
              return on_event(depth, event, parsed);
            },
            false),
        m_checks(checks),
        m_on_file(std::move(on_file)) {}

  // Keeps the byte where an error was found: a syntax error and a number too large for a double
  // (which nlohmann reports without a place) both come back as a place in the file.
  template <class exception_t>
  bool parse_error(std::size_t byte, const std::string& token, const exception_t& error) {
    // A number overflow is found once the whole number is read: point at its first digit.
    constexpr bool overflow = std::is_same_v<exception_t, nlohmann::detail::out_of_range>;
    m_error_byte = overflow && token.size() <= byte ? byte - token.size() : byte;
    m_error_what = error.what();
    return false;
  }

  std::size_t error_byte() const { return m_error_byte; }
  const std::string& error_what() const { return m_error_what; }
  std::size_t file_count() const { return m_files; }

 private:
  // Depths: the document 0, its members 1, the files 2, a file's members 3, their entries 4.
  bool on_event(int depth, event_t event, json& parsed) {
    if (depth == 1 && event == event_t::key) m_in_files = parsed == "files";
    if (!m_in_files) return true;
    if (depth == 2 && event == event_t::object_start) m_file = file_reading_t();
    if (depth == 3 && event == event_t::key) m_member = parsed.get<std::string>();
    if (depth == 2 && event_ends_value(event)) return end_file(parsed);
    if (depth == 4 && event_ends_value(event) && in_entries()) return read_entry(parsed);
    return true;
  }

  static bool event_ends_value(event_t event) {
    return event == event_t::object_end || event == event_t::array_end || event == event_t::value;
  }
  bool in_entries() const { return m_member == "lines" || m_member == "functions"; }

  bool read_entry(const json& entry) {
    std::string where = "files[" + std::to_string(m_files) + "]";
    if (m_member == "lines")
      read_line_entry(m_checks, entry, where, m_file);
    else
      read_function_entry(m_checks, entry, where, m_file);
    return false;
  }

  bool end_file(const json& file) {
    std::string where = "files[" + std::to_string(m_files) + "]";
    if (!file.is_object()) m_checks.fail(where, "expected an object");
    std::string name = m_checks.text(file, "file", where);
    if (!m_checks.member(file, "lines", where).is_array())
      m_checks.fail(where + ".lines", "expected an array");
    auto functions = file.find("functions");
    if (functions != file.end() && !functions->is_array())
      m_checks.fail(where + ".functions", "expected an array");
    m_on_file(m_files++, name, m_file);  // a new file starts afresh at its object_start
    return false;
  }

  const checks_t& m_checks;
  file_handler_t m_on_file;
  bool m_in_files = false;
  std::string m_member;  // the file member being read
  file_reading_t m_file;
  std::size_t m_files = 0;
  std::size_t m_error_byte = 0;
  std::string m_error_what;
};

unsigned line_of(std::string_view text, std::size_t byte) {
  unsigned line = 1;
  for (std::size_t i = 0; i < byte && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

std::size_t column_of(std::string_view text, std::size_t byte) {
  byte = std::min(byte, text.size());
  std::size_t line_start = text.rfind('\n', byte == 0 ? 0 : byte - 1);
  return (line_start == std::string_view::npos ? byte : byte - line_start - 1) + 1;
}

// nlohmann's message without its "[json.exception.parse_error.101] " tag and, for syntax
// errors, without its "parse error at line 1, column 117: " place (the place is given our way).
std::string short_reason(std::string what) {
  std::size_t tag_end = what.find("] ");
  if (what.rfind("[json.exception.", 0) == 0 && tag_end != std::string::npos)
    what.erase(0, tag_end + 2);
  std::size_t colon = what.find(": ");
  if (what.rfind("parse error", 0) == 0 && colon != std::string::npos) what.erase(0, colon + 2);
  return what;
}

// Streams the document through `on_file` and answers its current_working_directory. Throws
// import_error for text that is not JSON and for a document without gcov's shape.
std::string stream_document(const std::string& path, std::string_view text,
                            read_observer_t* observer, const file_handler_t& on_file) {
  checks_t checks(path);
  json root;
  stream_parser_t parser(root, checks, on_file);
  tracked_iterator_t::tracker_t tracker{text.data(), text.data() + (std::size_t(1) << 20),
                                        observer};
  tracked_iterator_t first(text.data(), &tracker), last(text.data() + text.size(), &tracker);
  if (!json::sax_parse(first, last, &parser)) {
    // A NUL byte stops the parser: binary data is named as such (only the text read is looked at,
    // so that a mapped input is not read twice).
    check_not_binary(path, text.substr(0, parser.error_byte() + 1));
    throw import_error(path, line_of(text, parser.error_byte()),
                       "not JSON at column " +
                           std::to_string(column_of(text, parser.error_byte())) + ": " +
                           short_reason(parser.error_what()));
  }
  if (!root.is_object()) checks.fail("document", "expected an object");
  if (!checks.member(root, "files", "document").is_array())
    checks.fail("files", "expected an array");
  if (parser.file_count() == 0) throw import_error(path, 0, "the document lists no files");
  return checks_t::optional_text(root, "current_working_directory");
}

bool name_matches(const std::string& name, const std::string& wanted) {
  if (name == wanted) return true;
  if (wanted.size() >= name.size()) return false;
  return name.compare(name.size() - wanted.size(), wanted.size(), wanted) == 0 &&
         name[name.size() - wanted.size() - 1] == '/';
}

std::string source_path(const std::string& name, const std::string& source_dir,
                        const std::string& working_directory) {
  if (!source_dir.empty()) {
    std::string base = name.substr(name.rfind('/') + 1);
    std::string direct = source_dir + "/" + name;
    return name[0] == '/' ? source_dir + "/" + base : direct;
  }
  if (name[0] == '/' || working_directory.empty()) return name;
  return working_directory + "/" + name;
}

// The chosen file's first line entry whose line the source does not have, if any.
void check_lines_in_source(const checks_t& checks, std::size_t index, const file_reading_t& file,
                           const std::string& source_name, std::size_t source_lines) {
  const repetition_t* bad = nullptr;
  for (const repetition_t& r : file.repetitions)
    if ((r.line == 0 || r.line > source_lines) && (!bad || r.entry < bad->entry)) bad = &r;
  if (!bad) return;
  checks.fail("files[" + std::to_string(index) + "].lines[" + std::to_string(bad->entry) + "]",
              "line " + std::to_string(bad->line) + " is past the end of " + source_name + " (" +
                  std::to_string(source_lines) + " lines)");
}

// The file the view shows: the one named, else the first with executed lines, else the first.
struct choice_t {
  std::size_t index = 0;
  std::string name;
  file_reading_t file;
  bool found = false;       // the wanted file (by name, or one that ran)
  bool have_first = false;  // without a wanted file yet: the document's first file is kept
};

bool has_executed_line(const file_reading_t& file) {
  for (const repetition_t& r : file.repetitions)
    if (r.line != 0 && r.count > 0) return true;
  return false;
}

}  // namespace

bool looks_like_gcov_json(std::string_view text) {
  std::size_t start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && text[start] == '{' &&
         text.find("\"gcc_version\"") != std::string_view::npos;
}

gcov_json_t list_gcov_json(const std::string& path, std::string_view text) {
  gcov_json_t result;
  result.input_path = path;
  result.working_directory = stream_document(
      path, text, nullptr, [&](std::size_t, const std::string& name, file_reading_t& file) {
        gcov_json_file_t entry;
        entry.name = name;
        entry.totals = count_totals(merge_file(file, 0));
        entry.executed = entry.totals.lines_executed > 0;
        result.files.push_back(std::move(entry));
      });
  return result;
}

file_coverage_t parse_gcov_json(const std::string& path, std::string_view text,
                                const std::string& file_name, const std::string& source_dir,
                                read_observer_t* observer) {
  choice_t choice;
  std::string working_directory = stream_document(
      path, text, observer, [&](std::size_t index, const std::string& name, file_reading_t& file) {
        if (choice.found) return;
        bool wanted = file_name.empty() ? has_executed_line(file) : name_matches(name, file_name);
        if (!wanted && (choice.have_first || !file_name.empty())) return;
        choice.index = index;
        choice.name = name;
        choice.file = std::move(file);
        choice.found = wanted;
        choice.have_first = true;
      });
  if (!choice.found && !file_name.empty())
    throw import_error(path, 0, "no file named '" + file_name + "' in the document (see --list)");

  checks_t checks(path);
  source_text_t source = read_source_lines(source_path(choice.name, source_dir, working_directory));
  check_lines_in_source(checks, choice.index, choice.file, choice.name, source.size());
  file_coverage_t coverage = merge_file(choice.file, source.size());
  coverage.input_path = path;
  coverage.source_name = choice.name;
  coverage.source_lines = std::move(source);
  for (const function_record_t& function : coverage.functions)
    if (function.last_line > coverage.source_lines.size())
      checks.fail("files[" + std::to_string(choice.index) + "]",
                  "function '" + function.name + "' ends past the end of the source");
  return coverage;
}

}  // namespace source_view_app
