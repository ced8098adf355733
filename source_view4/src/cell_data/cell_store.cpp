// The column store behind data_model_t: bitmaps, dense columns with their packed texts and
// sparse values of other alternatives, link ids in use, and the store's row-count changes.
#include "cell_data/cell_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <limits>

#include "cell_data/large_pages.h"
#include "cell_data/packed_text.h"

namespace source_view4::cell_store {

// ---- bitmap_t ----

void bitmap_t::grow_to(std::size_t bits) {
  const std::size_t words = words_for(bits);
  if (m_words.size() < words) m_words.resize(words, 0);
}

void bitmap_t::set(std::size_t bit) {
  grow_to(bit + 1);
  m_words[bit >> 6] |= std::uint64_t(1) << (bit & 63);
}

void bitmap_t::reset(std::size_t bit) {
  const std::size_t word = bit >> 6;
  if (word < m_words.size()) m_words[word] &= ~(std::uint64_t(1) << (bit & 63));
}

void bitmap_t::set_range(std::size_t first, std::size_t last) {
  if (first >= last) return;
  grow_to(last);
  for (; first < last && (first & 63) != 0; ++first) set(first);
  for (; first + 64 <= last; first += 64) m_words[first >> 6] = ~std::uint64_t(0);
  for (; first < last; ++first) set(first);
}

void bitmap_t::truncate(std::size_t bits) {
  const std::size_t words = words_for(bits);
  if (m_words.size() > words) m_words.resize(words);
  if ((bits & 63) != 0 && m_words.size() == words)
    m_words.back() &= (std::uint64_t(1) << (bits & 63)) - 1;
}

std::size_t bitmap_t::count() const {
  std::size_t total = 0;
  for (std::uint64_t word : m_words) total += static_cast<std::size_t>(__builtin_popcountll(word));
  return total;
}

std::size_t bitmap_t::next(std::size_t bit, std::size_t end) const {
  std::size_t word = bit >> 6;
  if (word >= m_words.size()) return end;
  std::uint64_t bits = m_words[word] & (~std::uint64_t(0) << (bit & 63));
  while (bits == 0) {
    if (++word >= m_words.size()) return end;
    bits = m_words[word];
  }
  return std::min(end, (word << 6) + static_cast<std::size_t>(__builtin_ctzll(bits)));
}

// ---- column_t ----

namespace {

// The dense alternative a value can be kept as; none for the rare alternatives and non-empty
// found lists.
dense_kind_t dense_kind_of(const cell_value_t& value) {
  switch (value.which()) {
    case cell_int:
      return dense_kind_t::int_value;
    case cell_unsigned:
      return dense_kind_t::unsigned_value;
    case cell_text:
      return dense_kind_t::text;
    case cell_hex:
      return dense_kind_t::hex;
    case cell_fraction:
      return dense_kind_t::fraction;
    case cell_found_items:
      return boost::get<found_items_t>(value).empty() ? dense_kind_t::empty_found_list
                                                      : dense_kind_t::none;
    default:
      return dense_kind_t::none;
  }
}

std::uint64_t bits_of(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

template <class T>
constexpr dense_kind_t dense_kind_for() {
  if constexpr (std::is_same_v<T, int>) return dense_kind_t::int_value;
  if constexpr (std::is_same_v<T, unsigned int>) return dense_kind_t::unsigned_value;
  if constexpr (std::is_same_v<T, std::wstring>) return dense_kind_t::text;
  if constexpr (std::is_same_v<T, data_container_t<std::uint64_t>>) return dense_kind_t::hex;
  if constexpr (std::is_same_v<T, data_container_t<double>>) return dense_kind_t::fraction;
  return dense_kind_t::none;
}

// Below this many bytes of dead text a column's buffer is not worth compacting.
constexpr std::size_t min_compacted_garbage = 64 * 1024;
// A review of a column's kind is followed by at least this many further sparse values before the
// next one.
constexpr std::size_t min_review_step = 256;

}  // namespace

double column_t::fraction(std::size_t row) const {
  double value = 0;
  std::memcpy(&value, &m_words64[row], sizeof value);
  return value;
}

cell_value_t column_t::get(std::size_t row) const {
  switch (kind(row)) {
    case cell_kind_t::unset:
      return cell_value_t();
    case cell_kind_t::other:
      return m_others.at(row);
    case cell_kind_t::int_value:
      return cell_value_t(static_cast<int>(m_words32[row]));
    case cell_kind_t::unsigned_value:
      return cell_value_t(m_words32[row]);
    case cell_kind_t::hex:
      return cell_value_t(data_container_t<std::uint64_t>(m_words64[row]));
    case cell_kind_t::fraction:
      return cell_value_t(data_container_t<double>(fraction(row)));
    case cell_kind_t::empty_found_list:
      return cell_value_t(found_items_t());
    case cell_kind_t::text:
      break;
  }
  return cell_value_t(packed_text::to_wide(packed_text::read(packed(row))));
}

bool column_t::accepts(dense_kind_t kind) {
  if (kind == m_kind) return kind != dense_kind_t::none;
  if (m_kind != dense_kind_t::none || kind == dense_kind_t::none) return false;
  m_kind = kind;
  return true;
}

void column_t::grow_to(std::size_t rows) {
  auto grow = [this, rows](auto& words) {
    if (words.size() >= rows) return;
    if (words.capacity() == 0) words.reserve(std::max(rows, m_row_hint));
    words.resize(rows);
  };
  switch (m_kind) {
    case dense_kind_t::int_value:
    case dense_kind_t::unsigned_value:
      grow(m_words32);
      break;
    case dense_kind_t::text:
    case dense_kind_t::hex:
    case dense_kind_t::fraction:
      grow(m_words64);
      break;
    case dense_kind_t::none:
    case dense_kind_t::empty_found_list:
      break;
  }
}

// Before a row is overwritten: its sparse value is dropped, its packed text becomes garbage.
void column_t::forget_old(std::size_t row) {
  if (!m_set.test(row)) return;
  if (m_other.test(row)) {
    m_others.erase(row);
    m_other.reset(row);
    return;
  }
  if (m_kind == dense_kind_t::text) m_text_garbage += packed_text::packed_size(packed(row));
}

void column_t::store_dense(std::size_t row, const cell_value_t& value) {
  grow_to(row + 1);
  switch (m_kind) {
    case dense_kind_t::int_value:
      m_words32[row] = static_cast<std::uint32_t>(boost::get<int>(value));
      break;
    case dense_kind_t::unsigned_value:
      m_words32[row] = boost::get<unsigned int>(value);
      break;
    case dense_kind_t::hex:
      m_words64[row] = boost::get<data_container_t<std::uint64_t>>(value).value;
      break;
    case dense_kind_t::fraction:
      m_words64[row] = bits_of(boost::get<data_container_t<double>>(value).value);
      break;
    case dense_kind_t::text: {
      const auto& text = boost::get<std::wstring>(value);
      append_text(row, text.data(), text.size());
      break;
    }
    case dense_kind_t::none:
    case dense_kind_t::empty_found_list:
      break;
  }
  m_set.set(row);
}

void column_t::store_other(std::size_t row, const cell_value_t& value) {
  m_others[row] = value;
  m_set.set(row);
  m_other.set(row);
  if (m_others.size() >= m_next_review) review_kind();
}

void column_t::set(std::size_t row, const cell_value_t& value) {
  forget_old(row);
  if (!accepts(dense_kind_of(value))) {
    store_other(row, value);
    return;
  }
  store_dense(row, value);
  if (m_kind == dense_kind_t::text) compact_text();
}

std::size_t column_t::set_text(std::size_t row, const wchar_t* text, std::size_t size) {
  forget_old(row);
  if (!accepts(dense_kind_t::text)) {
    store_other(row, cell_value_t(std::wstring(text, size)));
    return static_cast<std::size_t>(std::count(text, text + size, L'\t'));
  }
  grow_to(row + 1);
  const std::size_t tabs = append_text(row, text, size);
  m_set.set(row);
  compact_text();
  return tabs;
}

// Rows never written before (a first fill) have nothing to forget and get their bits at once.
template <class Store>
void column_t::store_range(std::size_t first_row, std::size_t count, Store store) {
  const std::size_t end = first_row + count;
  grow_to(end);
  const bool fresh = m_set.next(first_row, end) == end;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t row = first_row + i;
    if (!fresh) forget_old(row);
    store(i, row);
    if (!fresh) m_set.set(row);
  }
  if (fresh) m_set.set_range(first_row, end);
}

template <class T>
void column_t::set_many(std::size_t first_row, const T* values, std::size_t count) {
  constexpr dense_kind_t kind = dense_kind_for<T>();
  if (count == 0) return;
  if (!accepts(kind)) {
    for (std::size_t i = 0; i < count; ++i) set(first_row + i, cell_value_t(values[i]));
    return;
  }
  store_range(first_row, count, [this, values](std::size_t i, std::size_t row) {
    if constexpr (kind == dense_kind_t::int_value) m_words32[row] = std::uint32_t(values[i]);
    if constexpr (kind == dense_kind_t::unsigned_value) m_words32[row] = values[i];
    if constexpr (kind == dense_kind_t::hex) m_words64[row] = values[i].value;
    if constexpr (kind == dense_kind_t::fraction) m_words64[row] = bits_of(values[i].value);
  });
}

template <>
void column_t::set_many(std::size_t first_row, const cell_value_t* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) set(first_row + i, values[i]);
}

template void column_t::set_many(std::size_t, const int*, std::size_t);
template void column_t::set_many(std::size_t, const unsigned int*, std::size_t);
template void column_t::set_many(std::size_t, const data_container_t<std::uint64_t>*, std::size_t);
template void column_t::set_many(std::size_t, const data_container_t<double>*, std::size_t);

void column_t::set_texts(std::size_t first_row, const std::wstring* values, std::size_t count,
                         std::size_t* tabs) {
  if (count == 0) return;
  if (!accepts(dense_kind_t::text)) {
    for (std::size_t i = 0; i < count; ++i)
      tabs[i] = set_text(first_row + i, values[i].data(), values[i].size());
    return;
  }
  store_range(first_row, count, [this, values, tabs](std::size_t i, std::size_t row) {
    tabs[i] = append_text(row, values[i].data(), values[i].size());
  });
  compact_text();
}

std::size_t column_t::append_text(std::size_t row, const wchar_t* text, std::size_t size) {
  const std::size_t ascii_size = packed_text::ascii_packed_size(size);
  std::size_t tabs = 0;
  if (packed_text::write_ascii(m_text.room(ascii_size), text, size, tabs)) {
    m_words64[row] = m_text.commit(ascii_size);
    return tabs;
  }
  const packed_text::shape_t shape = packed_text::shape_of(text, size);
  packed_text::write(m_text.room(shape.packed_size), text, shape);
  m_words64[row] = m_text.commit(shape.packed_size);
  return shape.tabs;
}

// Once dead texts take more than half the buffer, the live ones are copied, in row order, to a
// buffer of their own size: rewriting cells keeps the buffer within twice its live bytes.
void column_t::compact_text() {
  if (m_text_garbage < min_compacted_garbage || m_text_garbage * 2 <= m_text.used()) return;
  packed_text::chunks_t live;
  const std::size_t end = m_words64.size();
  for (std::size_t row = m_set.next(0, end); row < end; row = m_set.next(row + 1, end)) {
    if (m_other.test(row)) continue;
    const char* from = packed(row);
    const std::size_t size = packed_text::packed_size(from);
    char* to = nullptr;
    m_words64[row] = live.allocate(size, to);
    std::memcpy(to, from, size);
  }
  m_text = std::move(live);
  m_text_garbage = 0;
}

// When most set rows hold sparse values, the dense alternative most of them share (if it beats
// the one the column keeps) becomes the column's. Looked at again after a further eighth of the
// set rows (at least min_review_step) went sparse, so reviews cost O(1) per write.
void column_t::review_kind() {
  const std::size_t set_rows = m_set.count();
  m_next_review = m_others.size() + std::max(min_review_step, set_rows / 8);
  if (m_others.size() * 3 <= set_rows * 2) return;
  std::array<std::size_t, 7> counts{};
  for (const auto& [row, value] : m_others) ++counts[static_cast<int>(dense_kind_of(value))];
  counts[static_cast<int>(dense_kind_t::none)] = 0;
  const auto best = std::max_element(counts.begin(), counts.end());
  if (*best <= set_rows - m_others.size()) return;
  rebuild(static_cast<dense_kind_t>(best - counts.begin()));
}

void column_t::rebuild(dense_kind_t kind) {
  column_t rebuilt;
  rebuilt.m_kind = kind;
  rebuilt.m_row_hint = m_row_hint;
  rebuilt.m_next_review = std::numeric_limits<std::size_t>::max();
  const std::size_t end = m_set.bits();
  for (std::size_t row = m_set.next(0, end); row < end; row = m_set.next(row + 1, end))
    rebuilt.set(row, get(row));
  rebuilt.m_next_review = rebuilt.m_others.size() + std::max(min_review_step, m_set.count() / 8);
  *this = std::move(rebuilt);
}

void column_t::truncate(std::size_t rows) {
  if (m_kind == dense_kind_t::text) {
    const std::size_t end = m_words64.size();
    for (std::size_t row = m_set.next(rows, end); row < end; row = m_set.next(row + 1, end))
      if (!m_other.test(row)) m_text_garbage += packed_text::packed_size(packed(row));
  }
  for (auto it = m_others.begin(); it != m_others.end();)
    it = it->first < rows ? std::next(it) : m_others.erase(it);
  m_set.truncate(rows);
  m_other.truncate(rows);
  if (m_words32.size() > rows) m_words32.resize(rows);
  if (m_words64.size() > rows) m_words64.resize(rows);
  if (m_kind == dense_kind_t::text) compact_text();
}

void column_t::fill_empty_found_lists(std::size_t rows) {
  const std::size_t hint = m_row_hint;
  *this = column_t();
  m_row_hint = hint;
  m_kind = dense_kind_t::empty_found_list;
  m_set.set_range(0, rows);
}

// ---- link_ids_t ----
// Runs of consecutive ids are merged on insertion and split on removal; the smallest free id is
// the end of the run that starts at 0, or 0 when no run does.

constexpr unsigned int last_id = 0xFFFFFFFF;

void link_ids_t::add(unsigned int id) {
  if (m_uses[id]++ != 0) return;
  unsigned int first = id;
  unsigned int last = id;
  auto next = m_runs.upper_bound(id);
  if (next != m_runs.begin()) {
    auto previous = std::prev(next);
    if (previous->second != last_id && previous->second + 1 == id) {
      first = previous->first;
      m_runs.erase(previous);
    }
  }
  if (next != m_runs.end() && id != last_id && next->first == id + 1) {
    last = next->second;
    m_runs.erase(next);
  }
  m_runs[first] = last;
}

void link_ids_t::remove(unsigned int id) {
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

void link_ids_t::clear() {
  m_uses.clear();
  m_runs.clear();
}

unsigned int link_ids_t::smallest_free() const {
  if (m_runs.empty() || m_runs.begin()->first != 0) return 0;
  return m_runs.begin()->second + 1;
}

// ---- store_t ----

namespace {

template <class Columns>
auto find_column(Columns& columns, unsigned int id) {
  auto it = std::lower_bound(columns.begin(), columns.end(), id,
                             [](const auto& entry, unsigned int key) { return entry.first < key; });
  return it != columns.end() && it->first == id ? &it->second : nullptr;
}

}  // namespace

const column_t* store_t::find(unsigned int id) const { return find_column(columns, id); }
column_t* store_t::find(unsigned int id) { return find_column(columns, id); }

column_t& store_t::column(unsigned int id) {
  auto it = std::lower_bound(columns.begin(), columns.end(), id,
                             [](const auto& entry, unsigned int key) { return entry.first < key; });
  if (it != columns.end() && it->first == id) return it->second;
  it = columns.emplace(it, id, column_t());
  it->second.set_row_hint(row_count);
  return it->second;
}

void store_t::erase(unsigned int id) {
  auto it = std::lower_bound(columns.begin(), columns.end(), id,
                             [](const auto& entry, unsigned int key) { return entry.first < key; });
  if (it != columns.end() && it->first == id) columns.erase(it);
}

void store_t::set_row_count(unsigned int count) {
  for (auto& [id, cells] : columns) {
    cells.truncate(count);
    cells.set_row_hint(count);
  }
  const auto first_gone = links.lower_bound(cell_key(count, 0));
  for (auto it = first_gone; it != links.end(); ++it) link_ids.remove(it->second);
  links.erase(first_gone, links.end());
  flags.erase(flags.lower_bound(cell_key(count, 0)), flags.end());
  highlighted.truncate(count);
  row_count = count;
}

void store_t::clear() {
  row_count = 0;
  columns.clear();
  links.clear();
  flags.clear();
  highlighted.clear();
  link_ids.clear();
}

}  // namespace source_view4::cell_store
