// data_model_t: storage of cells, links, flags and summary values, and the change signals.
#include "source_view4/data_model.h"

#include <iterator>

namespace source_view4 {

data_model_base_t::~data_model_base_t() = default;

std::wstring data_model_base_t::get_text_data(unsigned int, unsigned int) const { return {}; }
std::wstring data_model_base_t::get_summary_text_data(unsigned int) const { return {}; }
unsigned int data_model_base_t::get_link(unsigned int, unsigned int) const { return no_link; }

data_model_t::data_model_t() = default;
data_model_t::data_model_t(const data_model_t& other) = default;
data_model_t& data_model_t::operator=(const data_model_t& other) = default;
data_model_t::~data_model_t() = default;

unsigned int data_model_t::get_row_count() const { return static_cast<unsigned int>(rows.size()); }

cell_value_t data_model_t::get_data(unsigned int row, unsigned int column) const {
  if (!row_in_range(row)) return cell_value_t();
  const auto& values = rows[row].values;
  auto it = values.find(column);
  return it == values.end() ? cell_value_t() : it->second;
}

bool data_model_t::is_data_set(unsigned int row, unsigned int column) const {
  return row_in_range(row) && rows[row].values.count(column) != 0;
}

std::wstring data_model_t::get_text_data(unsigned int row, unsigned int column) const {
  return format_data(get_data(row, column), column);
}

unsigned int data_model_t::get_longest_text_row(unsigned int column) const {
  auto it = longest_text.find(column);
  return it == longest_text.end() ? no_row : it->second.row;
}

std::wstring data_model_t::get_summary_text_data(unsigned int column) const {
  auto it = summary.values.find(column);
  return it == summary.values.end() ? std::wstring() : format_data(it->second, column);
}

bool data_model_t::get_highlighted(unsigned int row) const {
  return row_in_range(row) && rows[row].highlighted;
}

unsigned int data_model_t::get_link(unsigned int row, unsigned int column) const {
  if (!row_in_range(row)) return no_link;
  const auto& links = rows[row].links;
  auto it = links.find(column);
  return it == links.end() ? no_link : it->second;
}

int data_model_t::get_cell_flags(unsigned int row, unsigned int column) const {
  if (!row_in_range(row)) return 0;
  const auto& flags = rows[row].cell_flags;
  auto it = flags.find(column);
  return it == flags.end() ? 0 : it->second;
}

void data_model_t::set_row_count(unsigned int count) {
  for (std::size_t r = count; r < rows.size(); ++r) forget_links(rows[r]);
  rows.resize(count);
  longest_text.clear();
  for (row_record_t& record : rows) record.values[found_items_column] = found_items_t();
  notify_model_updated();
}

void data_model_t::begin_update() { updating = true; }

void data_model_t::end_update() {
  updating = false;
  notify_model_updated();
}

bool data_model_t::is_updating() const { return updating; }

void data_model_t::set_data(unsigned int row, unsigned int column, const cell_value_t& value) {
  if (!row_in_range(row)) return;
  rows[row].values[column] = value;
  const auto length = static_cast<unsigned int>(get_text_data(row, column).size());
  auto [it, inserted] = longest_text.try_emplace(column, longest_text_t{row, length});
  if (!inserted && length > it->second.length) it->second = longest_text_t{row, length};
  notify_data_updated(column, row);
}

void data_model_t::set_summary_data(unsigned int column, const cell_value_t& value) {
  summary.values[column] = value;
  notify_summary_updated();
}

void data_model_t::set_source(unsigned int row, const std::wstring& text) {
  set_data(row, source_column, cell_value_t(text));
}

void data_model_t::clear() {
  rows.clear();
  m_link_ids.clear();
  longest_text.clear();
  notify_model_updated();
}

void data_model_t::clear_columns(const std::vector<unsigned int>& columns) {
  for (row_record_t& record : rows)
    for (unsigned int column : columns) record.values.erase(column);
  for (unsigned int column : columns) longest_text.erase(column);
  notify_model_updated();
}

void data_model_t::set_highlighted(unsigned int row, bool value) {
  if (!row_in_range(row)) return;
  rows[row].highlighted = value;
  notify_data_updated(all_columns, row);
}

int data_model_t::get_source_tab_width() const { return static_cast<int>(source_tab_width); }

void data_model_t::set_source_tab_width(unsigned int width) {
  source_tab_width = width;
  notify_data_updated(source_column, all_rows);
}

unsigned int data_model_t::set_link(unsigned int row, unsigned int column, unsigned int id) {
  if (!row_in_range(row)) return no_link;
  if (id == no_link) id = m_link_ids.smallest_free();
  auto [it, inserted] = rows[row].links.try_emplace(column, id);
  if (!inserted) {
    m_link_ids.remove(it->second);
    it->second = id;
  }
  m_link_ids.add(id);
  notify_data_updated(column, row);
  return id;
}

void data_model_t::set_cell_flags(unsigned int row, unsigned int column, int flags) {
  if (!row_in_range(row) || flags == 0) return;
  rows[row].cell_flags[column] = flags;
  notify_data_updated(column, row);
}

unsigned int data_model_t::generate_link_id() const { return m_link_ids.smallest_free(); }

void data_model_t::notify_model_updated() {
  if (!updating) model_updated();
}

void data_model_t::notify_data_updated(unsigned int column, unsigned int row) {
  if (!updating) data_updated(column, row);
}

void data_model_t::notify_summary_updated() {
  if (!updating) summary_updated();
}

void data_model_t::forget_links(const row_record_t& record) {
  for (const auto& link : record.links) m_link_ids.remove(link.second);
}

// Runs of consecutive ids are merged on insertion and split on removal; the smallest free id is
// the end of the run that starts at 0, or 0 when no run does.

void data_model_t::link_ids_t::add(unsigned int id) {
  if (m_uses[id]++ != 0) return;
  unsigned int first = id;
  unsigned int last = id;
  auto next = m_runs.upper_bound(id);
  if (next != m_runs.begin()) {
    auto previous = std::prev(next);
    if (previous->second != no_link && previous->second + 1 == id) {
      first = previous->first;
      m_runs.erase(previous);
    }
  }
  if (next != m_runs.end() && id != no_link && next->first == id + 1) {
    last = next->second;
    m_runs.erase(next);
  }
  m_runs[first] = last;
}

void data_model_t::link_ids_t::remove(unsigned int id) {
  auto use = m_uses.find(id);
  if (use == m_uses.end() || --use->second != 0) return;
  m_uses.erase(use);
  auto run = std::prev(m_runs.upper_bound(id));
  const unsigned int first = run->first;
  const unsigned int last = run->second;
  m_runs.erase(run);
  if (first < id) m_runs[first] = id - 1;
  if (id < last) m_runs[id + 1] = last;
}

void data_model_t::link_ids_t::clear() {
  m_uses.clear();
  m_runs.clear();
}

unsigned int data_model_t::link_ids_t::smallest_free() const {
  if (m_runs.empty() || m_runs.begin()->first != 0) return 0;
  return m_runs.begin()->second + 1;
}

}  // namespace source_view4
