// The text form of every cell value alternative, tab expansion, and number formatting under the
// classic locale, a grouping one and the system locales present.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <tuple>
#include <vector>

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

// Makes `locale` the process's global locale for the scope of a test.
struct global_locale_t {
  explicit global_locale_t(const std::locale& locale) { std::locale::global(locale); }
  ~global_locale_t() { std::locale::global(std::locale::classic()); }
};

// The system locale of that name, or nothing when the machine lacks it.
std::optional<std::locale> system_locale(const char* name) {
  try {
    return std::locale(name);
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
}

// The texts of a negative int, an unsigned, a hex number, a fraction, an icon list and a label
// list.
std::vector<std::wstring> numbers(const formatter_t& model) {
  const cell_value_t values[] = {INT_MIN,
                                 UINT_MAX,
                                 hex_t(0xabcdef123),
                                 fraction_t(12345.678),
                                 std::vector<int>{1234, -5},
                                 label_list_t{{L"a"}, {999}}};
  std::vector<std::wstring> out;
  for (const cell_value_t& value : values) out.push_back(model.format_data(value, 5));
  return out;
}

const std::vector<std::wstring> ungrouped{L"-2147483648", L"4294967295", L"0xabcdef123",
                                          L"1234567.80%", L"{1234 ,-5}", L"{999}a"};

// Under the classic locale numbers are written without a stream: the texts match what a wide
// stream writes, over every magnitude.
TEST(text_format, classic_numbers_match_a_wide_stream_at_every_magnitude) {
  formatter_t model;
  EXPECT_EQ(numbers(model), ungrouped);
  EXPECT_EQ(model.format_data(fraction_t(1e-9), 5), L"0.00%");
  EXPECT_EQ(model.format_data(fraction_t(1e20), 5), L"10000000000000000000000.00%");
  std::mt19937_64 random(99);
  for (int i = 0; i < 2000; ++i) {
    const double fraction = std::ldexp(double(random() >> 11), -53 + int(random() % 40) - 20);
    std::wostringstream percent, integer;
    percent << std::fixed << std::setprecision(2) << fraction * 100 << L'%';
    ASSERT_EQ(model.format_data(fraction_t(fraction), 5), percent.str()) << fraction;
    const auto number = static_cast<int>(random() >> int(random() % 64));
    integer << number;
    ASSERT_EQ(model.format_data(number, 5), integer.str());
  }
}

// Any other global locale groups digits and picks the decimal point for every number written
// (hexadecimal ones included, as a stream does). C.UTF-8 is not the classic locale but writes as
// it does; en_US and de_DE group by three with opposite separators.
TEST(text_format, numbers_follow_a_grouping_locale_and_the_system_locales_present) {
  const std::vector<std::wstring> dotted{L"-2.147.483.648", L"4.294.967.295", L"0xabc.def.123",
                                         L"1.234.567,80%",  L"{1.234 ,-5}",   L"{999}a"};
  const std::tuple<const char*, std::optional<std::locale>, std::vector<std::wstring>> cases[] = {
      {"grouping", std::locale(std::locale::classic(), new grouping_punct_t), dotted},
      {"C.UTF-8", system_locale("C.UTF-8"), ungrouped},
      {"en_US.UTF-8",
       system_locale("en_US.UTF-8"),
       {L"-2,147,483,648", L"4,294,967,295", L"0xabc,def,123", L"1,234,567.80%", L"{1,234 ,-5}",
        L"{999}a"}},
      {"de_DE.UTF-8", system_locale("de_DE.UTF-8"), dotted},
  };
  formatter_t model;
  std::string absent;
  for (const auto& [name, locale, texts] : cases) {
    if (!locale) {
      absent += std::string(" ") + name;
      continue;
    }
    global_locale_t global(*locale);
    EXPECT_EQ(numbers(model), texts) << name;
  }
  if (!absent.empty()) GTEST_SKIP() << "locales not installed on this machine:" << absent;
}

}  // namespace
