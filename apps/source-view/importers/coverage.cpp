// Totals over a file's coverage, and the ratio text of the summary row.
#include "coverage.h"

#include <cstdio>

namespace source_view_app {

coverage_totals_t count_totals(const file_coverage_t& coverage) {
  coverage_totals_t totals;
  for (const line_record_t& line : coverage.lines) {
    if (line.executable) {
      ++totals.lines_executable;
      if (line.count > 0) ++totals.lines_executed;
    }
    for (const branch_record_t& branch : line.branches) {
      ++totals.branches_total;
      if (branch.state == branch_record_t::state_t::taken) ++totals.branches_taken;
    }
  }
  return totals;
}

std::string format_ratio(std::uint64_t part, std::uint64_t whole) {
  std::string text = std::to_string(part) + " / " + std::to_string(whole);
  if (whole == 0) return text;
  char percent[32];
  std::snprintf(percent, sizeof percent, " (%.1f %%)", 100.0 * double(part) / double(whole));
  return text + percent;
}

}  // namespace source_view_app
