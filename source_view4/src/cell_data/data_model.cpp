// data_model_t: the operations on cells, links, flags and summary values over the column store,
// the longest-text record, and the change signals.
#include "source_view4/data_model.h"

#include <algorithm>
#include <typeinfo>

#include "cell_data/cell_store.h"
#include "cell_data/packed_text.h"
#include "cell_data/text_form.h"

namespace source_view4 {

using cell_store::cell_key;
using cell_store::cell_kind_t;

namespace {

// Characters of the text form of `text` in model column `column`: tabs of the source and snippet
// columns count as tab_width spaces.
std::size_t text_length(const std::wstring& text, unsigned int column, unsigned int tab_width) {
  if (column != source_column && column != snippet_column) return text.size();
  const auto tabs = static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\t'));
  return text.size() - tabs + tabs * tab_width;
}

}  // namespace

data_model_base_t::~data_model_base_t() = default;

std::wstring data_model_base_t::get_text_data(unsigned int, unsigned int) const { return {}; }
std::wstring data_model_base_t::get_summary_text_data(unsigned int) const { return {}; }
unsigned int data_model_base_t::get_link(unsigned int, unsigned int) const { return no_link; }

data_model_t::data_model_t() : m_store(std::make_unique<cell_store::store_t>()) {}

data_model_t::data_model_t(const data_model_t& other)
    : data_model_base_t(other),
      summary(other.summary),
      updating(other.updating),
      longest_text(other.longest_text),
      source_tab_width(other.source_tab_width),
      m_store(std::make_unique<cell_store::store_t>(*other.m_store)) {}

data_model_t& data_model_t::operator=(const data_model_t& other) {
  data_model_base_t::operator=(other);
  summary = other.summary;
  updating = other.updating;
  longest_text = other.longest_text;
  source_tab_width = other.source_tab_width;
  *m_store = *other.m_store;
  return *this;
}

data_model_t::~data_model_t() = default;

bool data_model_t::is_plain_model() const { return typeid(*this) == typeid(data_model_t); }

bool data_model_t::row_in_range(unsigned int row) const { return row < m_store->row_count; }

unsigned int data_model_t::get_row_count() const { return m_store->row_count; }

cell_value_t data_model_t::get_data(unsigned int row, unsigned int column) const {
  const cell_store::column_t* cells = m_store->find(column);
  if (cells == nullptr || !row_in_range(row)) return cell_value_t();
  return cells->get(row);
}

bool data_model_t::is_data_set(unsigned int row, unsigned int column) const {
  const cell_store::column_t* cells = m_store->find(column);
  return cells != nullptr && row_in_range(row) && cells->is_set(row);
}

// A plain model writes the text of a stored number or text straight from the column; everything
// else, and every derived model, goes through format_data.
std::wstring data_model_t::get_text_data(unsigned int row, unsigned int column) const {
  const cell_store::column_t* cells = m_store->find(column);
  if (cells == nullptr || !row_in_range(row) || !is_plain_model())
    return format_data(get_data(row, column), column);
  switch (cells->kind(row)) {
    case cell_kind_t::text: {
      const packed_text::view_t view = packed_text::read(cells->packed(row));
      std::wstring text = packed_text::to_wide(view);
      if (view.tabs && (column == source_column || column == snippet_column))
        text_form::expand_tabs(text, source_tab_width);
      return text;
    }
    case cell_kind_t::int_value:
      return text_form::int_text(static_cast<int>(cells->word32(row)));
    case cell_kind_t::unsigned_value:
      return text_form::unsigned_text(cells->word32(row));
    case cell_kind_t::hex:
      return text_form::hex_text(cells->word64(row));
    case cell_kind_t::fraction:
      return text_form::fraction_text(cells->fraction(row));
    case cell_kind_t::empty_found_list:
      return {};
    case cell_kind_t::other:
      return format_data(cells->other(row), column);
    case cell_kind_t::unset:
      break;
  }
  return format_data(cell_value_t(), column);
}

unsigned int data_model_t::get_longest_text_row(unsigned int column) const {
  auto it = longest_text.find(column);
  return it == longest_text.end() ? no_row : it->second.row;
}

std::wstring data_model_t::get_summary_text_data(unsigned int column) const {
  auto it = summary.find(column);
  return it == summary.end() ? std::wstring() : format_data(it->second, column);
}

bool data_model_t::get_highlighted(unsigned int row) const {
  return row_in_range(row) && m_store->highlighted.test(row);
}

unsigned int data_model_t::get_link(unsigned int row, unsigned int column) const {
  if (!row_in_range(row)) return no_link;
  auto it = m_store->links.find(cell_key(row, column));
  return it == m_store->links.end() ? no_link : it->second;
}

int data_model_t::get_cell_flags(unsigned int row, unsigned int column) const {
  if (!row_in_range(row)) return 0;
  auto it = m_store->flags.find(cell_key(row, column));
  return it == m_store->flags.end() ? 0 : it->second;
}

void data_model_t::set_row_count(unsigned int count) {
  m_store->set_row_count(count);
  m_store->column(found_items_column).fill_empty_found_lists(count);
  longest_text.clear();
  notify_model_updated();
}

void data_model_t::begin_update() { updating = true; }

void data_model_t::end_update() {
  updating = false;
  notify_model_updated();
}

bool data_model_t::is_updating() const { return updating; }

// The length of get_text_data(row, column) once `value` is stored there. A plain model knows it
// from the value: texts by their characters and tabs, numbers by their digits (under the classic
// locale); anything else is formatted to be measured.
std::size_t data_model_t::measured_length(unsigned int row, unsigned int column,
                                          const cell_value_t& value) const {
  if (!is_plain_model()) return get_text_data(row, column).size();
  if (const auto* text = boost::get<std::wstring>(&value))
    return text_length(*text, column, source_tab_width);
  if (!text_form::classic_locale()) return format_data(value, column).size();
  switch (value.which()) {
    case cell_int:
      return text_form::int_length(boost::get<int>(value));
    case cell_unsigned:
      return text_form::unsigned_length(boost::get<unsigned int>(value));
    case cell_hex:
      return text_form::hex_length(boost::get<data_container_t<std::uint64_t>>(value).value);
    case cell_fraction:
      return text_form::fraction_length(boost::get<data_container_t<double>>(value).value);
    default:
      return format_data(value, column).size();
  }
}

// The longest-text record only grows: a strictly longer text moves it, an equal one keeps the
// earlier row.
void data_model_t::record_length(unsigned int row, unsigned int column, std::size_t length) {
  const auto characters = static_cast<unsigned int>(length);
  auto [it, inserted] = longest_text.try_emplace(column, longest_text_t{row, characters});
  if (!inserted && characters > it->second.length) it->second = longest_text_t{row, characters};
}

void data_model_t::set_data(unsigned int row, unsigned int column, const cell_value_t& value) {
  if (!row_in_range(row)) return;
  m_store->column(column).set(row, value);
  record_length(row, column, measured_length(row, column, value));
  notify_data_updated(column, row);
}

void data_model_t::set_summary_data(unsigned int column, const cell_value_t& value) {
  summary[column] = value;
  notify_summary_updated();
}

// A plain model packs the text without making a cell value of it first.
void data_model_t::set_source(unsigned int row, const std::wstring& text) {
  if (!is_plain_model()) {
    set_data(row, source_column, cell_value_t(text));
    return;
  }
  if (!row_in_range(row)) return;
  const std::size_t tabs = m_store->column(source_column).set_text(row, text.data(), text.size());
  record_length(row, source_column, text.size() - tabs + tabs * source_tab_width);
  notify_data_updated(source_column, row);
}

void data_model_t::clear() {
  m_store->clear();
  longest_text.clear();
  notify_model_updated();
}

void data_model_t::clear_columns(const std::vector<unsigned int>& columns) {
  for (unsigned int column : columns) {
    m_store->erase(column);
    longest_text.erase(column);
  }
  notify_model_updated();
}

void data_model_t::set_highlighted(unsigned int row, bool value) {
  if (!row_in_range(row)) return;
  if (value)
    m_store->highlighted.set(row);
  else
    m_store->highlighted.reset(row);
  notify_data_updated(all_columns, row);
}

int data_model_t::get_source_tab_width() const { return static_cast<int>(source_tab_width); }

void data_model_t::set_source_tab_width(unsigned int width) {
  source_tab_width = width;
  notify_data_updated(source_column, all_rows);
}

unsigned int data_model_t::set_link(unsigned int row, unsigned int column, unsigned int id) {
  if (!row_in_range(row)) return no_link;
  if (id == no_link) id = m_store->link_ids.smallest_free();
  auto [it, inserted] = m_store->links.try_emplace(cell_key(row, column), id);
  if (!inserted) {
    m_store->link_ids.remove(it->second);
    it->second = id;
  }
  m_store->link_ids.add(id);
  notify_data_updated(column, row);
  return id;
}

void data_model_t::set_cell_flags(unsigned int row, unsigned int column, int flags) {
  if (!row_in_range(row) || flags == 0) return;
  m_store->flags[cell_key(row, column)] = flags;
  notify_data_updated(column, row);
}

unsigned int data_model_t::generate_link_id() const { return m_store->link_ids.smallest_free(); }

void data_model_t::set_column_data(unsigned int column, unsigned int first_row, const int* values,
                                   std::size_t count) {
  fill_column(column, first_row, values, count);
}

void data_model_t::set_column_data(unsigned int column, unsigned int first_row,
                                   const unsigned int* values, std::size_t count) {
  fill_column(column, first_row, values, count);
}

void data_model_t::set_column_data(unsigned int column, unsigned int first_row,
                                   const data_container_t<std::uint64_t>* values,
                                   std::size_t count) {
  fill_column(column, first_row, values, count);
}

void data_model_t::set_column_data(unsigned int column, unsigned int first_row,
                                   const data_container_t<double>* values, std::size_t count) {
  fill_column(column, first_row, values, count);
}

void data_model_t::set_column_data(unsigned int column, unsigned int first_row,
                                   const std::wstring* values, std::size_t count) {
  fill_column(column, first_row, values, count);
}

void data_model_t::set_column_data(unsigned int column, unsigned int first_row,
                                   const cell_value_t* values, std::size_t count) {
  fill_column(column, first_row, values, count);
}

namespace {

// Characters of the text of a number stored through a bulk write, under the classic locale.
std::size_t number_length(int value) { return text_form::int_length(value); }
std::size_t number_length(unsigned int value) { return text_form::unsigned_length(value); }
std::size_t number_length(const data_container_t<std::uint64_t>& value) {
  return text_form::hex_length(value.value);
}
std::size_t number_length(const data_container_t<double>& value) {
  return text_form::fraction_length(value.value);
}

}  // namespace

// A derived model gets set_data per value inside a batch of its own; a plain model stores the
// whole range into the column, then measures the values. The longest-text record takes the
// first of the longest texts of the range when it beats the record, as row-by-row writes would.
template <class T>
void data_model_t::fill_column(unsigned int column, unsigned int first_row, const T* values,
                               std::size_t count) {
  const unsigned int row_count = m_store->row_count;
  const std::size_t stored =
      first_row < row_count ? std::min<std::size_t>(count, row_count - first_row) : 0;
  if (!is_plain_model()) {
    const bool was_updating = updating;
    updating = true;
    for (std::size_t i = 0; i < stored; ++i)
      set_data(first_row + static_cast<unsigned int>(i), column, cell_value_t(values[i]));
    updating = was_updating;
    notify_model_updated();
    return;
  }
  if (stored != 0) {
    cell_store::column_t& cells = m_store->column(column);
    const bool classic = text_form::classic_locale();
    const bool tabs_widen = column == source_column || column == snippet_column;
    std::vector<std::size_t> tabs;
    if constexpr (std::is_same_v<T, std::wstring>) {
      tabs.resize(stored);
      cells.set_texts(first_row, values, stored, tabs.data());
    } else {
      cells.set_many(first_row, values, stored);
    }
    std::size_t longest = 0;
    std::size_t longest_at = 0;
    for (std::size_t i = 0; i < stored; ++i) {
      std::size_t length = 0;
      const unsigned int row = first_row + static_cast<unsigned int>(i);
      if constexpr (std::is_same_v<T, cell_value_t>) {
        length = measured_length(row, column, values[i]);
      } else if constexpr (std::is_same_v<T, std::wstring>) {
        length =
            tabs_widen ? values[i].size() - tabs[i] + tabs[i] * source_tab_width : values[i].size();
      } else {
        length = classic ? number_length(values[i])
                         : format_data(cell_value_t(values[i]), column).size();
      }
      if (i == 0 || length > longest) {
        longest = length;
        longest_at = i;
      }
    }
    record_length(first_row + static_cast<unsigned int>(longest_at), column, longest);
  }
  notify_model_updated();
}

void data_model_t::notify_model_updated() {
  if (!updating) model_updated();
}

void data_model_t::notify_data_updated(unsigned int column, unsigned int row) {
  if (!updating) data_updated(column, row);
}

void data_model_t::notify_summary_updated() {
  if (!updating) summary_updated();
}

}  // namespace source_view4
