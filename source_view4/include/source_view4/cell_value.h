// cell_value_t, the value of one cell, and the records its alternatives carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <boost/variant.hpp>

namespace source_view4 {

// A single number in a record of its own, so that a 64-bit hexadecimal number and a fraction are
// alternatives distinct from the plain numbers.
template <class T>
struct data_container_t {
  T value{};

  data_container_t() = default;
  explicit data_container_t(T value) : value(value) {}
  friend bool operator==(const data_container_t& a, const data_container_t& b) {
    return a.value == b.value;
  }
};

// One entry of a snippet: its own line, detail lines under it, an optional image.
struct snippet_item_t {
  std::vector<std::wstring> lines;  // detail lines drawn under the entry, indented
  std::wstring title;               // the entry's own line
  int image_index = -1;             // into the snippet painter's image list; -1: none
  unsigned int flags = 0;           // matched against the painter's additional flags

  friend bool operator==(const snippet_item_t& a, const snippet_item_t& b) {
    return a.lines == b.lines && a.title == b.title && a.image_index == b.image_index &&
           a.flags == b.flags;
  }
};

// A code snippet shown under a row in snippet mode.
struct snippet_t {
  std::wstring text;                  // the snippet's own text, also its text form
  std::vector<snippet_item_t> items;  // entries, in display order

  friend bool operator==(const snippet_t& a, const snippet_t& b) {
    return a.text == b.text && a.items == b.items;
  }
};

// A row of labels; label i is (texts[i], image_indexes[i]) for i below both sizes.
struct label_list_t {
  std::vector<std::wstring> texts;
  std::vector<int> image_indexes;

  friend bool operator==(const label_list_t& a, const label_list_t& b) {
    return a.texts == b.texts && a.image_indexes == b.image_indexes;
  }
};

// One row's share of a bracket that spans several rows.
struct range_t {
  enum : int { first_row = 1, inner_row = 2, last_row = 3 };

  int position = 0;     // first_row, inner_row or last_row; any other value draws no mark
  std::wstring text;    // the range's label, also its text form
  int color_index = 0;  // into the range painter's colour map

  friend bool operator==(const range_t& a, const range_t& b) {
    return a.position == b.position && a.text == b.text && a.color_index == b.color_index;
  }
};

// One match of a text search, in the cell of model column `column`.
struct data_model_found_item_t {
  int column = 0;  // model column id (may be a reserved id such as the source column)
  int start = 0;   // first character of the match in the cell's text
  int length = 0;  // characters of the match
  bool current = false;

  friend bool operator==(const data_model_found_item_t& a, const data_model_found_item_t& b) {
    return a.column == b.column && a.start == b.start && a.length == b.length &&
           a.current == b.current;
  }
};

using found_items_t = std::vector<data_model_found_item_t>;

// The value of a cell. The alternative's index (which()) is the type tag consumers switch on, so
// the order is part of the interface. A default value holds int 0.
using cell_value_t = boost::variant<int, unsigned int, std::wstring, std::vector<int>,
                                    data_container_t<std::uint64_t>, data_container_t<double>,
                                    snippet_t, label_list_t, range_t, found_items_t>;

// Names of the alternatives' indexes.
enum cell_value_index_t : int {
  cell_int = 0,
  cell_unsigned = 1,
  cell_text = 2,
  cell_icon_list = 3,
  cell_hex = 4,
  cell_fraction = 5,
  cell_snippet = 6,
  cell_label_list = 7,
  cell_range = 8,
  cell_found_items = 9,
};

}  // namespace source_view4
