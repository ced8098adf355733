// The compact coverage records: source text in blocks, details in shared buffers, totals and
// the ratio text of the summary row.
#include "coverage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace source_view_app {

namespace {

constexpr std::size_t block_size = std::size_t(1) << 20;

template <class T>
record_range_t<T> records(const std::vector<T>& all, const std::vector<line_record_t>& lines,
                          std::size_t index, std::uint32_t line_record_t::*first) {
  std::size_t from = lines[index].*first;
  std::size_t to = index + 1 < lines.size() ? lines[index + 1].*first : all.size();
  return {all.data() + from, all.data() + to};
}

}  // namespace

void source_text_t::push_back(std::string_view line) {
  if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < line.size()) {
    block_t block;
    block.capacity = std::max(block_size, line.size());
    block.bytes.reset(new char[block.capacity]);
    block.first_line = m_starts.size();
    m_blocks.push_back(std::move(block));
  }
  block_t& block = m_blocks.back();
  if (!line.empty()) std::memcpy(block.bytes.get() + block.used, line.data(), line.size());
  m_starts.push_back(std::uint32_t(block.used));
  block.used += line.size();
}

// A line ends where the next one of its block starts, or where the block's text ends.
std::string_view source_text_t::operator[](std::size_t line) const {
  auto after = std::upper_bound(m_blocks.begin(), m_blocks.end(), line,
                                [](std::size_t n, const block_t& b) { return n < b.first_line; });
  const block_t& block = *(after - 1);
  bool last_of_block =
      line + 1 == m_starts.size() || (after != m_blocks.end() && line + 1 == after->first_line);
  std::size_t end = last_of_block ? block.used : m_starts[line + 1];
  return std::string_view(block.bytes.get() + m_starts[line], end - m_starts[line]);
}

void source_text_t::release_before(std::size_t line) {
  // The last block stays: lines still to come are written into it.
  while (m_released + 1 < m_blocks.size() && m_blocks[m_released + 1].first_line <= line) {
    m_blocks[m_released].bytes.reset();
    ++m_released;
  }
}

bool operator==(const source_text_t& a, const source_text_t& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

void file_coverage_t::add_line(const line_record_t& line) {
  lines.push_back(line);
  lines.back().first_branch = std::uint32_t(branches.size());
  lines.back().first_call = std::uint32_t(calls.size());
}

void file_coverage_t::add_branch(branch_record_t branch, std::string_view text) {
  branch.text = {std::uint32_t(detail_text.size()), std::uint32_t(text.size())};
  detail_text += text;
  branches.push_back(branch);
}

void file_coverage_t::add_call(call_record_t call, std::string_view text) {
  call.text = {std::uint32_t(detail_text.size()), std::uint32_t(text.size())};
  detail_text += text;
  calls.push_back(call);
}

// A short text with its length in the byte before it (human-readable counts are a few
// characters; longer ones are cut at 255).
std::uint32_t file_coverage_t::keep_text(std::string_view text) {
  text = text.substr(0, 255);
  auto offset = std::uint32_t(detail_text.size());
  detail_text += char(text.size());
  detail_text += text;
  return offset;
}

record_range_t<branch_record_t> file_coverage_t::branches_of(std::size_t index) const {
  return records(branches, lines, index, &line_record_t::first_branch);
}

record_range_t<call_record_t> file_coverage_t::calls_of(std::size_t index) const {
  return records(calls, lines, index, &line_record_t::first_call);
}

const std::vector<instance_count_t>& instances_at(const instance_map_t& instances,
                                                  std::size_t key) {
  static const std::vector<instance_count_t> none;
  auto it = instances.find(key);
  return it == instances.end() ? none : it->second;
}

std::string file_coverage_t::count_text(std::size_t index) const {
  const line_record_t& line = lines[index];
  if (!line.executable) return std::string();
  if (line.exact) return std::to_string(line.count);
  std::size_t length = static_cast<unsigned char>(detail_text[line.human_count]);
  return detail_text.substr(line.human_count + 1, length);
}

coverage_totals_t count_totals(const file_coverage_t& coverage) {
  coverage_totals_t totals;
  for (const line_record_t& line : coverage.lines) {
    if (!line.executable) continue;
    ++totals.lines_executable;
    if (line.count > 0) ++totals.lines_executed;
  }
  totals.branches_total = coverage.branches.size();
  for (const branch_record_t& branch : coverage.branches)
    if (branch.state == branch_record_t::state_t::taken) ++totals.branches_taken;
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
