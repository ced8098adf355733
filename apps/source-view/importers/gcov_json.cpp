// gcov JSON documents through nlohmann-json: files → lines (repeated once per instantiation
// that covers them) and functions. A line's count is the sum over its repetitions, as gcov's text
// listing shows it; each repetition becomes one instantiation's count.
#include "gcov_json.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <type_traits>

#include "import_error.h"
#include "input_file.h"

namespace source_view_app {

namespace {

using json = nlohmann::json;

// Builds the document like json::parse, but keeps the byte where any error was found: a
// syntax error and a number too large for a double (which nlohmann reports without a place)
// both come back as a place in the file.
class located_dom_parser_t : public nlohmann::detail::json_sax_dom_parser<json> {
 public:
  explicit located_dom_parser_t(json& root)
      : nlohmann::detail::json_sax_dom_parser<json>(root, false) {}

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

 private:
  std::size_t m_error_byte = 0;
  std::string m_error_what;
};

class document_t {
 public:
  document_t(const std::string& path, std::string_view text) : m_path(path) {
    check_not_binary(path, text);
    located_dom_parser_t parser(m_root);
    if (!json::sax_parse(text.begin(), text.end(), &parser))
      throw import_error(path, line_of(text, parser.error_byte()),
                         "not JSON at column " +
                             std::to_string(column_of(text, parser.error_byte())) + ": " +
                             short_reason(parser.error_what()));
    if (!m_root.is_object()) fail("document", "expected an object");
    if (!member(m_root, "files", "document").is_array()) fail("files", "expected an array");
  }

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

  const json& files() const { return m_root["files"]; }
  std::string working_directory() const {
    auto it = m_root.find("current_working_directory");
    return it != m_root.end() && it->is_string() ? it->get<std::string>() : std::string();
  }
  const std::string& path() const { return m_path; }

 private:
  static unsigned line_of(std::string_view text, std::size_t byte) {
    unsigned line = 1;
    for (std::size_t i = 0; i < byte && i < text.size(); ++i) line += text[i] == '\n';
    return line;
  }
  static std::size_t column_of(std::string_view text, std::size_t byte) {
    byte = std::min(byte, text.size());
    std::size_t line_start = text.rfind('\n', byte == 0 ? 0 : byte - 1);
    return (line_start == std::string_view::npos ? byte : byte - line_start - 1) + 1;
  }
  // nlohmann's message without its "[json.exception.parse_error.101] " tag and, for syntax
  // errors, without its "parse error at line 1, column 117: " place (the place is given our way).
  static std::string short_reason(std::string what) {
    std::size_t tag_end = what.find("] ");
    if (what.rfind("[json.exception.", 0) == 0 && tag_end != std::string::npos)
      what.erase(0, tag_end + 2);
    std::size_t colon = what.find(": ");
    if (what.rfind("parse error", 0) == 0 && colon != std::string::npos) what.erase(0, colon + 2);
    return what;
  }

  const std::string& m_path;
  json m_root;
};

// A line as the document repeats it, once per function covering it, merged by line number.
struct json_line_t {
  std::uint64_t count = 0;
  bool unexecuted_block = false;
  std::vector<branch_record_t> branches;
  std::vector<instance_count_t> instances;
};

// Adds one repetition of a line (one instantiation's view of it) to the line's record.
void add_repetition(json_line_t& line, const std::string& function, std::uint64_t count,
                    bool unexecuted_block, const std::vector<branch_record_t>& branches) {
  line.count += count;
  line.unexecuted_block = line.unexecuted_block || unexecuted_block;
  line.instances.push_back({function, true, count, std::to_string(count)});
  line.branches.insert(line.branches.end(), branches.begin(), branches.end());
}

std::string branch_text(const branch_record_t& branch) {
  if (branch.state == branch_record_t::state_t::never_executed) return "never executed";
  return "taken " + std::to_string(branch.count) +
         (branch.fallthrough ? " (fallthrough)"
          : branch.throws    ? " (throw)"
                             : "");
}

// Adds the merged line to the coverage as gcov's text listing would show it.
void add_settled_line(file_coverage_t& coverage, json_line_t& merged) {
  line_record_t line;
  line.executable = true;
  line.count = merged.count;
  // gcov's listing marks an unexecuted block ("*") on lines that ran; a line that never ran
  // shows "#####" alone.
  line.unexecuted_block = merged.unexecuted_block && merged.count > 0;
  coverage.add_line(line);
  // A line covered by one function only has no instantiations to tell apart. A line of several
  // keeps its branches with the instantiations, as gcov's own listing and totals do.
  std::size_t index = coverage.lines.size() - 1;
  if (merged.instances.size() >= 2) {
    coverage.instances[index] = std::move(merged.instances);
    return;
  }
  for (branch_record_t& branch : merged.branches) {
    using state = branch_record_t::state_t;
    if (merged.count == 0)
      branch.state = state::never_executed;
    else
      branch.state = branch.count > 0 ? state::taken : state::not_taken;
    coverage.add_branch(branch, branch_text(branch));
  }
}

std::vector<branch_record_t> read_branches(const document_t& doc, const json& line,
                                           const std::string& where) {
  std::vector<branch_record_t> branches;
  auto it = line.find("branches");
  if (it == line.end()) return branches;
  if (!it->is_array()) doc.fail(where + ".branches", "expected an array");
  for (std::size_t b = 0; b < it->size(); ++b) {
    const json& entry = (*it)[b];
    std::string at = where + ".branches[" + std::to_string(b) + "]";
    if (!entry.is_object()) doc.fail(at, "expected an object");
    branch_record_t branch;
    branch.count = doc.number(entry, "count", at);
    branch.fallthrough = doc.flag(entry, "fallthrough", at);
    branch.throws = doc.flag(entry, "throw", at);
    branches.push_back(branch);
  }
  return branches;
}

// The file's "lines" entries merged per line number. With `source` given, a line past the end of
// its source lines is a fault of the document.
std::map<unsigned, json_line_t> read_line_records(const document_t& doc, const json& file,
                                                  const std::string& where,
                                                  const file_coverage_t* source) {
  std::map<unsigned, json_line_t> lines;
  const json& entries = doc.member(file, "lines", where);
  if (!entries.is_array()) doc.fail(where + ".lines", "expected an array");
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string at = where + ".lines[" + std::to_string(i) + "]";
    const json& entry = entries[i];
    if (!entry.is_object()) doc.fail(at, "expected an object");
    auto number = doc.number(entry, "line_number", at);
    if (source && (number == 0 || number > source->source_lines.size()))
      doc.fail(at, "line " + std::to_string(number) + " is past the end of " + source->source_name +
                       " (" + std::to_string(source->source_lines.size()) + " lines)");
    std::string function = entry.contains("function_name") && entry["function_name"].is_string()
                               ? entry["function_name"].get<std::string>()
                               : std::string();
    add_repetition(lines[unsigned(number)], function, doc.number(entry, "count", at),
                   doc.flag(entry, "unexecuted_block", at), read_branches(doc, entry, at));
  }
  return lines;
}

coverage_totals_t totals_of(const document_t& doc, const json& file, const std::string& where,
                            bool& executed) {
  file_coverage_t coverage;
  for (auto& [number, line] : read_line_records(doc, file, where, nullptr))
    add_settled_line(coverage, line);
  coverage_totals_t totals = count_totals(coverage);
  executed = totals.lines_executed > 0;
  return totals;
}

std::string file_name_of(const document_t& doc, const json& file, const std::string& where) {
  if (!file.is_object()) doc.fail(where, "expected an object");
  return doc.text(file, "file", where);
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

void read_functions(const document_t& doc, const json& file, const std::string& where,
                    file_coverage_t& coverage) {
  auto it = file.find("functions");
  if (it == file.end()) return;
  if (!it->is_array()) doc.fail(where + ".functions", "expected an array");
  for (std::size_t i = 0; i < it->size(); ++i) {
    const json& entry = (*it)[i];
    std::string at = where + ".functions[" + std::to_string(i) + "]";
    if (!entry.is_object()) doc.fail(at, "expected an object");
    function_record_t function;
    function.name = entry.contains("demangled_name") && entry["demangled_name"].is_string()
                        ? entry["demangled_name"].get<std::string>()
                        : doc.text(entry, "name", at);
    function.first_line = unsigned(doc.number(entry, "start_line", at));
    function.last_line = unsigned(doc.number(entry, "end_line", at));
    function.calls = doc.number(entry, "execution_count", at);
    std::uint64_t blocks = doc.number(entry, "blocks", at);
    std::uint64_t executed = doc.number(entry, "blocks_executed", at);
    if (executed > blocks) doc.fail(at, "more blocks executed than the function has");
    if (function.last_line < function.first_line) doc.fail(at, "end_line before start_line");
    function.blocks_percent = blocks == 0 ? 0 : 100.0 * double(executed) / double(blocks);
    coverage.functions.push_back(std::move(function));
  }
}

}  // namespace

bool looks_like_gcov_json(std::string_view text) {
  std::size_t start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && text[start] == '{' &&
         text.find("\"gcc_version\"") != std::string_view::npos;
}

gcov_json_t list_gcov_json(const std::string& path, std::string_view text) {
  document_t doc(path, text);
  gcov_json_t result;
  result.input_path = path;
  result.working_directory = doc.working_directory();
  const json& files = doc.files();
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string where = "files[" + std::to_string(i) + "]";
    gcov_json_file_t entry;
    entry.name = file_name_of(doc, files[i], where);
    entry.totals = totals_of(doc, files[i], where, entry.executed);
    result.files.push_back(std::move(entry));
  }
  return result;
}

file_coverage_t parse_gcov_json(const std::string& path, std::string_view text,
                                const std::string& file_name, const std::string& source_dir) {
  document_t doc(path, text);
  const json& files = doc.files();
  if (files.empty()) throw import_error(path, 0, "the document lists no files");
  std::size_t chosen = files.size();
  for (std::size_t i = 0; i < files.size() && chosen == files.size(); ++i) {
    std::string where = "files[" + std::to_string(i) + "]";
    std::string name = file_name_of(doc, files[i], where);
    bool executed = false;
    if (!file_name.empty() ? name_matches(name, file_name)
                           : (totals_of(doc, files[i], where, executed), executed))
      chosen = i;
  }
  if (chosen == files.size() && !file_name.empty())
    throw import_error(path, 0, "no file named '" + file_name + "' in the document (see --list)");
  if (chosen == files.size()) chosen = 0;

  std::string where = "files[" + std::to_string(chosen) + "]";
  const json& file = files[chosen];
  file_coverage_t coverage;
  coverage.input_path = path;
  coverage.source_name = file_name_of(doc, file, where);
  coverage.source_lines =
      read_source_lines(source_path(coverage.source_name, source_dir, doc.working_directory()));

  std::map<unsigned, json_line_t> lines = read_line_records(doc, file, where, &coverage);
  coverage.lines.reserve(coverage.source_lines.size());
  auto next = lines.begin();
  for (unsigned number = 1; number <= coverage.source_lines.size(); ++number) {
    if (next == lines.end() || next->first != number) {
      coverage.add_line(line_record_t());
      continue;
    }
    add_settled_line(coverage, next->second);
    ++next;
  }
  read_functions(doc, file, where, coverage);
  for (const function_record_t& function : coverage.functions)
    if (function.last_line > coverage.source_lines.size())
      doc.fail(where, "function '" + function.name + "' ends past the end of the source");
  return coverage;
}

}  // namespace source_view_app
