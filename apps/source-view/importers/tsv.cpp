// Tab-separated tables: split, find the line column, type each metric column from all its values.
#include "tsv.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <unordered_map>

#include "import_error.h"
#include "input_file.h"

namespace source_view_app {

namespace {

std::vector<std::string_view> split_tabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

bool read_integer(const std::string& s, std::int64_t& value) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(s.c_str(), &end, 10);
  return *end == '\0' && errno == 0 && !std::isspace(static_cast<unsigned char>(s[0]));
}

bool read_decimal(const std::string& s, double& value) {
  if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
  char* end = nullptr;
  value = std::strtod(s.c_str(), &end);
  // strtod also takes "inf", "nan" and hexadecimal floats: a metric is written in digits.
  if (*end != '\0') return false;
  for (char c : s)
    if (std::isalpha(static_cast<unsigned char>(c)) && c != 'e' && c != 'E') return false;
  return true;
}

bool read_hex(const std::string& s, std::uint64_t& value) {
  if (s.size() < 3 || s.size() > 18 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return false;
  for (std::size_t i = 2; i < s.size(); ++i)
    if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
  value = std::strtoull(s.c_str() + 2, nullptr, 16);
  return true;
}

bool read_fraction(const std::string& s, double& value) {
  if (s.size() < 2 || s.back() != '%') return false;
  if (!read_decimal(s.substr(0, s.size() - 1), value)) return false;
  value /= 100.0;
  return true;
}

// The narrowest kind that reads every present value of the column, parsing them as it goes.
tsv_kind_t type_column(tsv_column_t& column) {
  const tsv_kind_t order[] = {tsv_kind_t::integer, tsv_kind_t::hex, tsv_kind_t::fraction,
                              tsv_kind_t::decimal};
  for (tsv_kind_t kind : order) {
    bool fits = true;
    bool any = false;
    for (tsv_value_t& v : column.values) {
      if (!v.present) continue;
      any = true;
      if (kind == tsv_kind_t::integer) fits = read_integer(v.text, v.integer);
      if (kind == tsv_kind_t::hex) fits = read_hex(v.text, v.hex);
      if (kind == tsv_kind_t::fraction) fits = read_fraction(v.text, v.number);
      if (kind == tsv_kind_t::decimal) fits = read_decimal(v.text, v.number);
      if (!fits) break;
    }
    if (fits && any) return kind;
  }
  return tsv_kind_t::text;
}

std::size_t find_line_column(const std::vector<std::string_view>& header) {
  for (std::size_t i = 0; i < header.size(); ++i)
    if (header[i] == "line") return i;
  return 0;
}

}  // namespace

tsv_table_t parse_tsv(const std::string& path, std::string_view text, read_observer_t* observer) {
  check_not_binary(path, text);
  line_reader_t reader(text, observer);
  std::string_view line;
  if (!reader.next(line)) throw import_error(path, 0, "empty file, no header row");
  check_utf8(path, 1, line);
  std::vector<std::string_view> header = split_tabs(line);
  if (header.size() < 2) throw import_error(path, 1, "header row has no tab-separated columns");
  std::size_t line_column = find_line_column(header);

  tsv_table_t table;
  table.input_path = path;
  for (std::size_t i = 0; i < header.size(); ++i)
    if (i != line_column) table.columns.push_back({std::string(header[i]), tsv_kind_t::text, {}});

  std::unordered_map<unsigned, unsigned> seen;  // source line → file line that gave it
  while (reader.next(line)) {
    unsigned at = reader.line_number();
    if (line.empty()) continue;
    check_utf8(path, at, line);
    std::vector<std::string_view> fields = split_tabs(line);
    if (fields.size() != header.size())
      throw import_error(path, at,
                         std::to_string(fields.size()) + " fields where the header has " +
                             std::to_string(header.size()));
    std::int64_t number = 0;
    if (!read_integer(std::string(fields[line_column]), number) || number < 1 ||
        number > 0x7FFFFFFF)
      throw import_error(
          path, at,
          "line number '" + std::string(fields[line_column]) + "' is not a positive whole number");
    auto [it, fresh] = seen.emplace(unsigned(number), at);
    if (!fresh)
      throw import_error(path, at,
                         "line " + std::to_string(number) + " repeats the row of line " +
                             std::to_string(it->second));
    table.lines.push_back(unsigned(number));
    table.input_rows.push_back(at);
    std::size_t c = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i == line_column) continue;
      tsv_value_t value;
      value.present = !fields[i].empty();
      value.text = std::string(fields[i]);
      table.columns[c++].values.push_back(std::move(value));
    }
  }
  for (tsv_column_t& column : table.columns) column.kind = type_column(column);
  return table;
}

}  // namespace source_view_app
