// The text form of every cell value alternative, tab expansion, and number formatting under a
// grouping locale.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <random>
#include <sstream>

#include "source_view4/data_model.h"

namespace {

using namespace source_view4;
using hex_t = data_container_t<std::uint64_t>;
using fraction_t = data_container_t<double>;

// Opens the protected formatter to the tests.
struct formatter_t : data_model_t {
  using data_model_t::format_data;
};

struct format_case_t {
  cell_value_t value;
  const wchar_t* text;
};

TEST(text_format, every_alternative_in_an_ordinary_column) {
  const double infinity = std::numeric_limits<double>::infinity();
  const format_case_t cases[] = {
      {-7, L"-7"},
      {INT_MIN, L"-2147483648"},
      {0u, L"0"},
      {UINT_MAX, L"4294967295"},
      {std::wstring(L"a\tb"), L"a\tb"},
      {std::vector<int>{}, L"{empty icon list}"},
      {std::vector<int>{3, 10}, L"{3 ,10}"},
      {hex_t(6699), L"0x1a2b"},
      {hex_t(0), L"0x0"},
      {hex_t(UINT64_MAX), L"0xffffffffffffffff"},
      {fraction_t(0.1234), L"12.34%"},
      {fraction_t(1.5), L"150.00%"},
      {fraction_t(1e-9), L"0.00%"},
      {fraction_t(0.0), L""},
      {fraction_t(-0.5), L""},
      {fraction_t(std::nan("")), L""},
      {fraction_t(infinity), L"inf%"},
      {snippet_t{L"snip\tpet", {snippet_item_t{{L"detail"}, L"title", 1, 0}}}, L"snip\tpet"},
      {label_list_t{{L"a", L"b"}, {3, 4}}, L"{3}a{4}b"},
      {label_list_t{{L"a", L"b", L"c"}, {3, 4}}, L"{3}a{4}b"},
      {label_list_t{{L"a"}, {}}, L""},
      {label_list_t{}, L""},
      {range_t{range_t::first_row, L"range", 2}, L"range"},
      {found_items_t{}, L""},
      {found_items_t{{1, 2, 3, false}, {4, 15, 6, true}}, L"41561"},
  };
  formatter_t model;
  for (const format_case_t& c : cases)
    EXPECT_EQ(model.format_data(c.value, 5), c.text) << "alternative " << c.value.which();
}

TEST(text_format, tabs_expand_in_the_source_and_snippet_columns_only) {
  formatter_t model;
  model.set_row_count(1);
  model.set_source(0, L"\tab\tc\t");
  EXPECT_EQ(model.get_text_data(0, source_column), L"    ab    c    ");
  model.set_source_tab_width(1);
  EXPECT_EQ(model.get_text_data(0, source_column), L" ab c ");
  model.set_source_tab_width(0);
  EXPECT_EQ(model.get_text_data(0, source_column), L"abc");

  model.set_source_tab_width(2);
  const snippet_t snippet{L"x\ty", {}};
  EXPECT_EQ(model.format_data(snippet, snippet_column), L"x  y");
  EXPECT_EQ(model.format_data(snippet, 5), L"x\ty");
  EXPECT_EQ(model.format_data(range_t{1, L"r\t", 0}, source_column), L"r  ");
  model.set_summary_data(source_column, std::wstring(L"\t"));
  EXPECT_EQ(model.get_summary_text_data(source_column), L"  ");
  EXPECT_EQ(model.get_summary_text_data(3), L"");
}

// Groups digits by three with '.' and writes ',' as decimal point.
struct grouping_punct_t : std::numpunct<wchar_t> {
  wchar_t do_decimal_point() const override { return L','; }
  wchar_t do_thousands_sep() const override { return L'.'; }
  std::string do_grouping() const override { return "\3"; }
};

// Makes the grouping locale the process's global locale for the scope of a test.
struct global_grouping_locale_t {
  global_grouping_locale_t() {
    std::locale::global(std::locale(std::locale::classic(), new grouping_punct_t));
  }
  ~global_grouping_locale_t() { std::locale::global(std::locale::classic()); }
};

template <class T>
std::wstring streamed(const T& value, std::ios_base& (*base)(std::ios_base&) = std::dec) {
  std::wostringstream stream;
  stream << base << value;
  return stream.str();
}

std::wstring streamed_percent(double fraction) {
  std::wostringstream stream;
  stream << std::fixed << std::setprecision(2) << fraction * 100;
  return stream.str() + L"%";
}

TEST(text_format, numbers_follow_the_global_locale_as_a_wide_stream_does) {
  formatter_t model;
  EXPECT_EQ(model.format_data(-1234567, 5), L"-1234567");
  std::mt19937_64 random(99);  // the classic locale's text is made without a stream
  for (int i = 0; i < 2000; ++i) {
    const double fraction = std::ldexp(double(random() >> 11), -53 + int(random() % 40) - 20);
    ASSERT_EQ(model.format_data(fraction_t(fraction), 5), streamed_percent(fraction)) << fraction;
    const auto number = static_cast<int>(random());
    ASSERT_EQ(model.format_data(number, 5), streamed(number));
  }
  global_grouping_locale_t locale;
  EXPECT_EQ(model.format_data(-1234567, 5), L"-1.234.567");
  EXPECT_EQ(model.format_data(fraction_t(12345.678), 5), L"1.234.567,80%");
  for (int value : {0, -999, 1000, INT_MIN, INT_MAX})
    EXPECT_EQ(model.format_data(value, 5), streamed(value));
  for (unsigned int value : {0u, 4000000000u, UINT_MAX})
    EXPECT_EQ(model.format_data(value, 5), streamed(value));
  for (std::uint64_t value : {std::uint64_t(0), std::uint64_t(0xabcdef123), UINT64_MAX})
    EXPECT_EQ(model.format_data(hex_t(value), 5), L"0x" + streamed(value, std::hex));
  for (double value : {1e-9, 0.5, 1.5, 1e6, std::numeric_limits<double>::infinity()})
    EXPECT_EQ(model.format_data(fraction_t(value), 5), streamed_percent(value));
  EXPECT_EQ(model.format_data(std::vector<int>{1234, -5}, 5),
            L"{" + streamed(1234) + L" ," + streamed(-5) + L"}");
  EXPECT_EQ(model.format_data(label_list_t{{L"a"}, {12345}}, 5), L"{" + streamed(12345) + L"}a");
}

}  // namespace
