// What data_model_t stores, by column: a dense array per model column of the alternative that
// column holds, bitmaps of the cells set, and sparse maps for links, flags and highlighted rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cell_data/large_pages.h"
#include "cell_data/packed_text.h"
#include "source_view4/cell_value.h"

namespace source_view4::cell_store {

// One bit per row. Rows past the words held read as clear, so a bitmap costs nothing past the
// last row ever set.
class bitmap_t {
 public:
  bool test(std::size_t bit) const {
    const std::size_t word = bit >> 6;
    return word < m_words.size() && ((m_words[word] >> (bit & 63)) & 1) != 0;
  }
  void set(std::size_t bit);
  void reset(std::size_t bit);
  // Sets bits [first, last).
  void set_range(std::size_t first, std::size_t last);
  // Clears every bit from `bits` on and drops the words past it.
  void truncate(std::size_t bits);
  void reserve(std::size_t bits) { m_words.reserve(words_for(bits)); }
  void clear() { m_words.clear(); }
  std::size_t count() const;
  // Bits held: every set bit is below this.
  std::size_t bits() const { return m_words.size() << 6; }
  // The first set bit at or after `bit`, or `end` when none is below it.
  std::size_t next(std::size_t bit, std::size_t end) const;

 private:
  static std::size_t words_for(std::size_t bits) { return (bits + 63) >> 6; }
  void grow_to(std::size_t bits);

  std::vector<std::uint64_t> m_words;
};

// The alternative a column keeps in its dense array. `empty_found_list` needs no array: every
// row of the found-items column holds an empty list after the row count is set.
enum class dense_kind_t : std::uint8_t {
  none,
  int_value,
  unsigned_value,
  text,
  hex,
  fraction,
  empty_found_list,
};

// What a cell holds, as far as reading it quickly goes.
enum class cell_kind_t : std::uint8_t {
  unset,
  other,  // a value outside the dense array: other()
  int_value,
  unsigned_value,
  text,
  hex,
  fraction,
  empty_found_list,
};

// The cells of one model column. Rows hold the column's dense alternative in a plain array (32
// bits for int and unsigned int, 64 bits for hexadecimal numbers and fractions, a 64-bit offset
// into the packed text buffer for texts); a row holding any other alternative is marked in
// `m_other` and its value kept in `m_others`. Arrays and bitmaps reach only as far as the last
// row written. When most rows come to hold another alternative the column is rebuilt around it.
class column_t {
 public:
  // Room for `rows` rows in the dense arrays, reserved when they are first used (address space
  // only until written).
  void set_row_hint(std::size_t rows) { m_row_hint = rows; }

  cell_kind_t kind(std::size_t row) const {
    if (!m_set.test(row)) return cell_kind_t::unset;
    if (m_other.test(row)) return cell_kind_t::other;
    return static_cast<cell_kind_t>(static_cast<int>(m_kind) + 1);
  }
  std::uint32_t word32(std::size_t row) const { return m_words32[row]; }
  std::uint64_t word64(std::size_t row) const { return m_words64[row]; }
  double fraction(std::size_t row) const;
  const char* packed(std::size_t row) const { return m_text.at(m_words64[row]); }
  const cell_value_t& other(std::size_t row) const { return m_others.at(row); }

  bool is_set(std::size_t row) const { return m_set.test(row); }
  cell_value_t get(std::size_t row) const;

  void set(std::size_t row, const cell_value_t& value);
  // Answers the number of tabs in the text.
  std::size_t set_text(std::size_t row, const wchar_t* text, std::size_t size);
  // Writes values[i] to row first_row + i, as set() would one by one. T is one of the number
  // alternatives or cell_value_t.
  template <class T>
  void set_many(std::size_t first_row, const T* values, std::size_t count);
  // Writes texts as set_text would one by one; tabs[i] is the number of tabs in values[i].
  void set_texts(std::size_t first_row, const std::wstring* values, std::size_t count,
                 std::size_t* tabs);

  // Drops the cells of rows from `rows` on.
  void truncate(std::size_t rows);
  // Every row below `rows` holds an empty found list, and no row past it holds anything.
  void fill_empty_found_lists(std::size_t rows);

 private:
  bool accepts(dense_kind_t kind);
  void grow_to(std::size_t rows);
  void forget_old(std::size_t row);
  // Calls store(i, row) for the rows first_row + i, i < count, and marks them set.
  template <class Store>
  void store_range(std::size_t first_row, std::size_t count, Store store);
  void mark_dense(std::size_t row);
  void store_dense(std::size_t row, const cell_value_t& value);
  void store_other(std::size_t row, const cell_value_t& value);
  std::size_t append_text(std::size_t row, const wchar_t* text, std::size_t size);
  void compact_text();
  void review_kind();
  void rebuild(dense_kind_t kind);

  dense_kind_t m_kind = dense_kind_t::none;
  bitmap_t m_set;    // rows whose cell was written
  bitmap_t m_other;  // set rows whose value lives in m_others
  std::vector<std::uint32_t, large_page_allocator<std::uint32_t>> m_words32;
  std::vector<std::uint64_t, large_page_allocator<std::uint64_t>> m_words64;
  packed_text::chunks_t m_text;    // packed texts; m_words64 holds each row's offset
  std::size_t m_text_garbage = 0;  // bytes of m_text no row refers to any more
  std::unordered_map<std::size_t, cell_value_t> m_others;
  std::size_t m_next_review = 0;  // size of m_others at which the kind is looked at again
  std::size_t m_row_hint = 0;
};

// Link ids in use, with the number of cells using each, and the runs of consecutive ids in use,
// so that the smallest free id is found without scanning the links.
class link_ids_t {
 public:
  void add(unsigned int id);
  void remove(unsigned int id);
  void clear();
  unsigned int smallest_free() const;

 private:
  std::map<unsigned int, unsigned int> m_uses;  // id -> cells using it
  std::map<unsigned int, unsigned int> m_runs;  // first id of a run -> last id of the run
};

// A (row, column) pair as one ordered key: row-major, so the cells of the rows from some row on
// form one range.
inline std::uint64_t cell_key(unsigned int row, unsigned int column) {
  return (std::uint64_t(row) << 32) | column;
}

// Everything a data_model_t holds apart from its summary, longest-text record and settings. All
// members are values: copying the store copies the model's cells.
struct store_t {
  // The column with this id, or null.
  const column_t* find(unsigned int id) const;
  column_t* find(unsigned int id);
  // The column with this id, made empty when missing. Invalidates other columns' addresses.
  column_t& column(unsigned int id);
  void erase(unsigned int id);
  void set_row_count(unsigned int count);
  void clear();

  unsigned int row_count = 0;
  std::vector<std::pair<unsigned int, column_t>> columns;  // sorted by id
  std::map<std::uint64_t, unsigned int> links;             // by cell_key
  std::map<std::uint64_t, int> flags;                      // by cell_key
  bitmap_t highlighted;
  link_ids_t link_ids;
};

}  // namespace source_view4::cell_store
