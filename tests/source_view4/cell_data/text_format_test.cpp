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
#include <tuple>

#include "source_view4/data_model.h"

namespace {

using namespace source_view4;
using hex_t = data_container_t<std::uint64_t>;
using fraction_t = data_container_t<double>;

// Opens the protected formatter to the tests.
struct formatter_t : data_model_t {
  using data_model_t::format_data;
};

// The text of each alternative in an ordinary column (5); in the source and snippet columns each
// tab becomes tab-width (4) spaces.
TEST(text_format, every_alternative_and_tabs_by_column) {
  const std::tuple<cell_value_t, unsigned int, const wchar_t*> cases[] = {
      {INT_MIN, 5, L"-2147483648"},
      {UINT_MAX, 5, L"4294967295"},
      {std::wstring(L"a\tb"), 5, L"a\tb"},
      {std::wstring(L"\tab\tc\t"), source_column, L"    ab    c    "},
      {std::vector<int>{}, 5, L"{empty icon list}"},
      {std::vector<int>{3, 10}, 5, L"{3 ,10}"},
      {hex_t(6699), 5, L"0x1a2b"},
      {hex_t(UINT64_MAX), 5, L"0xffffffffffffffff"},
      {fraction_t(0.0), 5, L""},
      {fraction_t(-0.5), 5, L""},
      {fraction_t(std::nan("")), 5, L""},
      {fraction_t(std::numeric_limits<double>::infinity()), 5, L"inf%"},
      {snippet_t{L"snip\tpet", {snippet_item_t{{L"detail"}, L"title", 1, 0}}}, 5, L"snip\tpet"},
      {snippet_t{L"x\ty", {}}, snippet_column, L"x    y"},
      {label_list_t{{L"a", L"b"}, {3, 4}}, 5, L"{3}a{4}b"},
      {label_list_t{{L"a", L"b", L"c"}, {3, 4}}, 5, L"{3}a{4}b"},
      {label_list_t{{L"a"}, {}}, 5, L""},
      {range_t{range_t::first_row, L"range", 2}, 5, L"range"},
      {range_t{1, L"r\t", 0}, source_column, L"r    "},
      {found_items_t{}, 5, L""},
      {found_items_t{{1, 2, 3, false}, {4, 15, 6, true}}, 5, L"41561"},
  };
  formatter_t model;
  for (const auto& [value, column, text] : cases)
    EXPECT_EQ(model.format_data(value, column), text) << "alternative " << value.which();
}

TEST(text_format, the_tab_width_applies_to_source_text_and_summaries) {
  formatter_t model;
  model.set_row_count(1);
  model.set_source(0, L"\tab\tc\t");
  model.set_summary_data(source_column, std::wstring(L"\t"));
  model.set_source_tab_width(1);
  EXPECT_EQ(model.get_text_data(0, source_column), L" ab c ");
  EXPECT_EQ(model.get_summary_text_data(source_column), L" ");
  model.set_source_tab_width(0);
  EXPECT_EQ(model.get_text_data(0, source_column), L"abc");
  EXPECT_EQ(model.get_summary_text_data(3), L"");  // no summary value: no text
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

// What a default wide string stream under the global locale writes for `parts`.
template <class... T>
std::wstring streamed(const T&... parts) {
  std::wostringstream stream;
  (stream << ... << parts);
  return stream.str();
}

std::wstring streamed_percent(double fraction) {
  return streamed(std::fixed, std::setprecision(2), fraction * 100) + L"%";
}

TEST(text_format, numbers_follow_the_global_locale_as_a_wide_stream_does) {
  formatter_t model;
  std::mt19937_64 random(99);  // the classic locale's text is made without a stream
  for (int i = 0; i < 2000; ++i) {
    const double fraction = std::ldexp(double(random() >> 11), -53 + int(random() % 40) - 20);
    ASSERT_EQ(model.format_data(fraction_t(fraction), 5), streamed_percent(fraction)) << fraction;
    const auto number = static_cast<int>(random());
    ASSERT_EQ(model.format_data(number, 5), streamed(number));
  }
  global_grouping_locale_t locale;
  EXPECT_EQ(model.format_data(fraction_t(12345.678), 5), L"1.234.567,80%");
  const std::pair<cell_value_t, std::wstring> cases[] = {
      {INT_MIN, streamed(INT_MIN)},
      {UINT_MAX, streamed(UINT_MAX)},
      {hex_t(0xabcdef123), L"0x" + streamed(std::hex, 0xabcdef123ull)},
      {fraction_t(1e-9), streamed_percent(1e-9)},
      {std::vector<int>{1234, -5}, L"{" + streamed(1234) + L" ," + streamed(-5) + L"}"},
      {label_list_t{{L"a"}, {12345}}, L"{" + streamed(12345) + L"}a"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(model.format_data(value, 5), text);
}

}  // namespace
