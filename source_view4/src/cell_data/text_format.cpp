// data_model_t::format_data: the text form of every cell value alternative, with tab expansion
// for the source and snippet columns.
#include "source_view4/data_model.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <locale>
#include <sstream>

namespace source_view4 {

namespace {

// Numbers are written as a default wide string stream writes them under the global locale. Under
// the classic locale that text is known (no grouping, '.' as decimal point), so it is produced
// without building a stream.
bool global_locale_is_classic() { return std::locale() == std::locale::classic(); }

void append_ascii(std::wstring& out, const char* first, const char* last) {
  out.append(first, last);
}

template <class T>
void append_integer(std::wstring& out, T value, int base) {
  if (global_locale_is_classic()) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    append_ascii(out, buffer, result.ptr);
    return;
  }
  std::wostringstream stream;
  if (base == 16) stream << std::hex;
  stream << value;
  out += stream.str();
}

// value × 100 in fixed notation with two decimals and "%"; nothing for 0, negatives and NaN.
void append_percentage(std::wstring& out, double value) {
  if (!(value > 0.0)) return;
  const double percent = value * 100.0;
  if (global_locale_is_classic()) {
    char buffer[512];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, percent, std::chars_format::fixed, 2);
    append_ascii(out, buffer, result.ptr);
  } else {
    std::wostringstream stream;
    stream << std::fixed << std::setprecision(2) << percent;
    out += stream.str();
  }
  out += L'%';
}

void append_icon_list(std::wstring& out, const std::vector<int>& icons) {
  if (icons.empty()) {
    out += L"{empty icon list}";
    return;
  }
  out += L'{';
  for (std::size_t i = 0; i < icons.size(); ++i) {
    if (i != 0) out += L" ,";
    append_integer(out, icons[i], 10);
  }
  out += L'}';
}

void append_label_list(std::wstring& out, const label_list_t& labels) {
  const std::size_t count = std::min(labels.texts.size(), labels.image_indexes.size());
  for (std::size_t i = 0; i < count; ++i) {
    out += L'{';
    append_integer(out, labels.image_indexes[i], 10);
    out += L'}';
    out += labels.texts[i];
  }
}

// Each item is written as column, start, length and current (0 or 1) without separators; the
// text of the list is that of its last item.
void append_found_items(std::wstring& out, const found_items_t& items) {
  if (items.empty()) return;
  const data_model_found_item_t& last = items.back();
  append_integer(out, last.column, 10);
  append_integer(out, last.start, 10);
  append_integer(out, last.length, 10);
  out += last.current ? L'1' : L'0';
}

struct text_of_value_t : boost::static_visitor<std::wstring> {
  std::wstring operator()(int value) const { return integer(value, 10); }
  std::wstring operator()(unsigned int value) const { return integer(value, 10); }
  std::wstring operator()(const std::wstring& value) const { return value; }
  std::wstring operator()(const std::vector<int>& value) const {
    std::wstring out;
    append_icon_list(out, value);
    return out;
  }
  std::wstring operator()(const data_container_t<std::uint64_t>& value) const {
    return L"0x" + integer(value.value, 16);
  }
  std::wstring operator()(const data_container_t<double>& value) const {
    std::wstring out;
    append_percentage(out, value.value);
    return out;
  }
  std::wstring operator()(const snippet_t& value) const { return value.text; }
  std::wstring operator()(const label_list_t& value) const {
    std::wstring out;
    append_label_list(out, value);
    return out;
  }
  std::wstring operator()(const range_t& value) const { return value.text; }
  std::wstring operator()(const found_items_t& value) const {
    std::wstring out;
    append_found_items(out, value);
    return out;
  }

  template <class T>
  static std::wstring integer(T value, int base) {
    std::wstring out;
    append_integer(out, value, base);
    return out;
  }
};

// Every tab becomes `width` spaces wherever it stands (no tab stops).
void expand_tabs(std::wstring& text, unsigned int width) {
  const std::size_t first_tab = text.find(L'\t');
  if (first_tab == std::wstring::npos) return;
  std::wstring expanded(text, 0, first_tab);
  for (std::size_t i = first_tab; i < text.size(); ++i) {
    if (text[i] == L'\t')
      expanded.append(width, L' ');
    else
      expanded += text[i];
  }
  text.swap(expanded);
}

}  // namespace

std::wstring data_model_t::format_data(const cell_value_t& value, unsigned int column) const {
  std::wstring text = boost::apply_visitor(text_of_value_t(), value);
  if (column == source_column || column == snippet_column) expand_tabs(text, source_tab_width);
  return text;
}

}  // namespace source_view4
