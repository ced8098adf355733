// Reader of tab-separated per-line data: a header row, a line-number column ("line", else the
// first), and metric columns typed from their values.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input_file.h"

namespace source_view_app {

enum class tsv_kind_t { integer, decimal, hex, fraction, text };

struct tsv_value_t {
  bool present = false;  // the field was not empty
  std::int64_t integer = 0;
  double number = 0;  // decimals, and fractions as 0 … 1 (12.5% is 0.125)
  std::uint64_t hex = 0;
  std::string text;  // the field as written
};

struct tsv_column_t {
  std::string name;
  tsv_kind_t kind = tsv_kind_t::text;
  std::vector<tsv_value_t> values;  // one per data row
};

struct tsv_table_t {
  std::string input_path;
  std::vector<unsigned> lines;        // 1-based source line of each data row
  std::vector<unsigned> input_rows;   // the file's own line number of each data row
  std::vector<tsv_column_t> columns;  // the metric columns (the line column left out)
};

// Reads a table; `path` names the file in messages. Throws import_error for a missing header,
// rows with another number of fields than the header, line numbers that are not positive whole
// numbers or that repeat, invalid UTF-8 and binary data. `observer`, when given, is told how far
// the reading has got.
tsv_table_t parse_tsv(const std::string& path, std::string_view text,
                      read_observer_t* observer = nullptr);

}  // namespace source_view_app
