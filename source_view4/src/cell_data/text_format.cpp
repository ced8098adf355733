// data_model_t::format_data: the text form of every cell value alternative, with tab expansion
// for the source and snippet columns.
#include "source_view4/data_model.h"

#include "cell_data/text_form.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iomanip>
#include <locale>
#include <sstream>
#include <type_traits>

namespace source_view4 {

namespace text_form {

namespace {

constexpr std::uint64_t powers_of_ten[20] = {1ull,
                                             10ull,
                                             100ull,
                                             1000ull,
                                             10000ull,
                                             100000ull,
                                             1000000ull,
                                             10000000ull,
                                             100000000ull,
                                             1000000000ull,
                                             10000000000ull,
                                             100000000000ull,
                                             1000000000000ull,
                                             10000000000000ull,
                                             100000000000000ull,
                                             1000000000000000ull,
                                             10000000000000000ull,
                                             100000000000000000ull,
                                             1000000000000000000ull,
                                             10000000000000000000ull};

std::size_t bit_width(std::uint64_t value) {
  return 64 - static_cast<std::size_t>(__builtin_clzll(value | 1));
}

// From the bit width: with 1233 / 4096 for log10(2) the estimate is the digit count or one less,
// and one comparison settles it.
std::size_t decimal_digits(std::uint64_t value) {
  if (value == 0) return 1;
  const std::size_t estimate = (bit_width(value) * 1233) >> 12;
  return estimate + (value >= powers_of_ten[estimate] ? 1 : 0);
}

std::size_t hex_digits(std::uint64_t value) { return (bit_width(value) + 3) / 4; }

// The classic locale's text of an integer (hexadecimal ones after "0x"), written from its last
// digit back into a buffer of its own, so that the string that takes it is allocated once at its
// final size.
class classic_digits_t {
 public:
  classic_digits_t(std::uint64_t magnitude, bool negative, bool hex) {
    if (hex) {
      do {
        const auto digit = static_cast<unsigned>(magnitude & 15);
        m_room[--m_first] = static_cast<wchar_t>(digit < 10 ? L'0' + digit : L'a' + digit - 10);
        magnitude >>= 4;
      } while (magnitude != 0);
      m_room[--m_first] = L'x';
      m_room[--m_first] = L'0';
      return;
    }
    for (; magnitude >= 100; magnitude /= 100) put_pair(static_cast<unsigned>(magnitude % 100));
    if (magnitude >= 10)
      put_pair(static_cast<unsigned>(magnitude));
    else
      m_room[--m_first] = static_cast<wchar_t>(L'0' + magnitude);
    if (negative) m_room[--m_first] = L'-';
  }
  const wchar_t* begin() const { return m_room + m_first; }
  const wchar_t* end() const { return m_room + room; }

 private:
  static constexpr std::size_t room = 24;  // a sign and the 20 digits of the largest 64-bit value

  void put_pair(unsigned pair) {
    m_room[--m_first] = static_cast<wchar_t>(L'0' + pair % 10);
    m_room[--m_first] = static_cast<wchar_t>(L'0' + pair / 10);
  }

  wchar_t m_room[room];
  std::size_t m_first = room;
};

template <class T>
classic_digits_t classic_digits(T value, bool hex) {
  bool negative = false;
  if constexpr (std::is_signed_v<T>) negative = value < 0;
  const auto magnitude =
      negative ? std::uint64_t(0) - static_cast<std::uint64_t>(value) : std::uint64_t(value);
  return classic_digits_t(magnitude, negative, hex);
}

template <class T>
std::wstring streamed(T value, bool hex) {
  std::wostringstream stream;
  if (hex) stream << std::hex;
  stream << value;
  return stream.str();
}

// What a default wide stream writes for the number under the global locale, hexadecimal numbers
// after "0x".
template <class T>
std::wstring integer_text(T value, bool hex) {
  if (classic_locale()) {
    const classic_digits_t digits = classic_digits(value, hex);
    return std::wstring(digits.begin(), digits.end());
  }
  return (hex ? L"0x" : L"") + streamed(value, hex);
}

bool is_power_of_ten(std::uint64_t value) {
  return value == powers_of_ten[decimal_digits(value) - 1];
}

}  // namespace

// Numbers are written as a default wide string stream writes them under the global locale. Under
// the classic locale that text is known (no grouping, '.' as decimal point), so it is produced
// without building a stream.
bool classic_locale() { return std::locale() == std::locale::classic(); }

std::wstring int_text(int value) { return integer_text(value, false); }
std::wstring unsigned_text(unsigned int value) { return integer_text(value, false); }
std::wstring hex_text(std::uint64_t value) { return integer_text(value, true); }

std::wstring fraction_text(double value) {
  if (!(value > 0.0)) return {};
  const double percent = value * 100.0;
  if (!classic_locale()) {
    std::wostringstream stream;
    stream << std::fixed << std::setprecision(2) << percent << L'%';
    return stream.str();
  }
  char buffer[512];  // the largest double has 309 digits before the point
  char* end =
      std::to_chars(buffer, buffer + sizeof buffer - 1, percent, std::chars_format::fixed, 2).ptr;
  *end++ = '%';
  return std::wstring(buffer, end);  // ASCII characters, widened one by one
}

// In place: with wider tabs each character moves right by the room the tabs before it gain, so
// the text is filled from its end back to the first tab.
void expand_tabs(std::wstring& text, unsigned int width) {
  const auto tabs = static_cast<std::size_t>(std::count(text.begin(), text.end(), L'\t'));
  if (tabs == 0) return;
  if (width == 0) {
    text.erase(std::remove(text.begin(), text.end(), L'\t'), text.end());
    return;
  }
  if (width == 1) {
    std::replace(text.begin(), text.end(), L'\t', L' ');
    return;
  }
  std::size_t from = text.size();
  text.resize(from + tabs * (width - 1));
  std::size_t to = text.size();
  while (from != to) {
    const wchar_t c = text[--from];
    if (c != L'\t') {
      text[--to] = c;
      continue;
    }
    to -= width;
    std::fill_n(text.begin() + static_cast<std::ptrdiff_t>(to), width, L' ');
  }
}

std::size_t int_length(int value) {
  const auto magnitude = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(value)));
  return decimal_digits(magnitude) + (value < 0 ? 1 : 0);
}

std::size_t unsigned_length(unsigned int value) { return decimal_digits(value); }

std::size_t hex_length(std::uint64_t value) { return 2 + hex_digits(value); }

// The whole part's digits, a point, two decimals and "%". Rounding to two decimals can carry into
// a new digit only just below a power of ten; there, and for very large or infinite values, the
// text is written to be measured.
std::size_t fraction_length(double value) {
  if (!(value > 0.0)) return 0;
  const double percent = value * 100.0;
  if (percent < 1e15) {
    const auto whole = static_cast<std::uint64_t>(percent);
    if (percent - double(whole) < 0.99 || !is_power_of_ten(whole + 1))
      return decimal_digits(whole) + 4;
  }
  return fraction_text(value).size();
}

}  // namespace text_form

namespace {

using namespace text_form;

void append_icon_list(std::wstring& out, const std::vector<int>& icons) {
  if (icons.empty()) {
    out += L"{empty icon list}";
    return;
  }
  out += L'{';
  for (std::size_t i = 0; i < icons.size(); ++i) {
    if (i != 0) out += L" ,";
    out += int_text(icons[i]);
  }
  out += L'}';
}

void append_label_list(std::wstring& out, const label_list_t& labels) {
  const std::size_t count = std::min(labels.texts.size(), labels.image_indexes.size());
  for (std::size_t i = 0; i < count; ++i) {
    out += L'{';
    out += int_text(labels.image_indexes[i]);
    out += L'}';
    out += labels.texts[i];
  }
}

// Each item is written as column, start, length and current (0 or 1) without separators; the
// text of the list is that of its last item.
void append_found_items(std::wstring& out, const found_items_t& items) {
  if (items.empty()) return;
  const data_model_found_item_t& last = items.back();
  out += int_text(last.column);
  out += int_text(last.start);
  out += int_text(last.length);
  out += last.current ? L'1' : L'0';
}

struct text_of_value_t : boost::static_visitor<std::wstring> {
  template <class T, void (*append)(std::wstring&, const T&)>
  static std::wstring written(const T& value) {
    std::wstring out;
    append(out, value);
    return out;
  }

  std::wstring operator()(int value) const { return int_text(value); }
  std::wstring operator()(unsigned int value) const { return unsigned_text(value); }
  std::wstring operator()(const std::wstring& value) const { return value; }
  std::wstring operator()(const std::vector<int>& value) const {
    return written<std::vector<int>, append_icon_list>(value);
  }
  std::wstring operator()(const data_container_t<std::uint64_t>& value) const {
    return hex_text(value.value);
  }
  std::wstring operator()(const data_container_t<double>& value) const {
    return fraction_text(value.value);
  }
  std::wstring operator()(const snippet_t& value) const { return value.text; }
  std::wstring operator()(const label_list_t& value) const {
    return written<label_list_t, append_label_list>(value);
  }
  std::wstring operator()(const range_t& value) const { return value.text; }
  std::wstring operator()(const found_items_t& value) const {
    return written<found_items_t, append_found_items>(value);
  }
};

}  // namespace

std::wstring data_model_t::format_data(const cell_value_t& value, unsigned int column) const {
  std::wstring text = boost::apply_visitor(text_of_value_t(), value);
  if (column == source_column || column == snippet_column) expand_tabs(text, source_tab_width);
  return text;
}

}  // namespace source_view4
