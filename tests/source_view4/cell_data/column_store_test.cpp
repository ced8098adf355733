// Cells stored by column and their text: texts unchanged, columns changing alternative, bitmaps,
// column setters, copies, random operations vs a reference; text forms, tabs, numbers by locale.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "source_view4/data_model.h"
#include "support/signal_spy.h"

namespace {

using namespace source_view4;
using hex_t = data_container_t<std::uint64_t>;
using fraction_t = data_container_t<double>;

// Opens the protected formatter, so expected texts come from the formatter itself.
struct formatter_t : data_model_t {
  using data_model_t::format_data;
};

// Texts of lengths around the 4- and 8-character steps of the ASCII paths, with characters that
// are not Unicode scalar values, outside the BMP, negative as wchar_t, or NUL, and texts longer
// than a chunk of packed text.
std::vector<std::wstring> awkward_texts() {
  const long long odd[] = {0,         '\t',      0x7F,       0x80,    0x7FF,    0x800,
                           0xD800,    0xDFFF,    0xFFFF,     0x1F600, 0x10FFFF, 0x110000,
                           0x3FFFFFF, 0x4000000, 0x7FFFFFFF, -1,      INT_MIN};
  std::vector<std::wstring> texts;
  for (std::size_t length = 0; length < 18; ++length) texts.push_back(std::wstring(length, L'a'));
  for (const long long code : odd) {
    const wchar_t c = wchar_t(code);
    texts.push_back(std::wstring(1, c));
    texts.push_back(L"abcdefg" + std::wstring(1, c) + L"hij\tklmnop");
  }
  // Longer than a chunk of packed text: the room asked for as ASCII is given up for a larger one.
  texts.push_back(std::wstring(100000, L'\t') + L'\x1F600');
  texts.push_back(std::wstring(70000, L'x'));
  return texts;
}

TEST(column_store, every_wide_string_comes_back_unchanged) {
  const std::vector<std::wstring> texts = awkward_texts();
  const auto rows = static_cast<unsigned int>(texts.size());
  data_model_t model;
  model.set_row_count(rows);
  model.set_column_data(3, 0, texts.data(), texts.size());
  for (unsigned int row = 0; row < rows; ++row) {
    model.set_source(row, texts[row]);
    model.set_data(row, 4, texts[rows - 1 - row]);
    model.set_data(row, 5, int(row));
  }
  for (unsigned int row = 0; row < rows; ++row) model.set_data(row, 5, texts[row]);  // aside
  const data_model_t copy(model);
  const formatter_t formatter;
  for (unsigned int row = 0; row < rows; ++row) {
    const std::wstring& text = texts[row];
    for (unsigned int column : {3u, source_column, 5u}) {
      ASSERT_TRUE(copy.get_data(row, column) == cell_value_t(text)) << row << " " << column;
      ASSERT_EQ(copy.get_text_data(row, column), formatter.format_data(text, column)) << row;
    }
    ASSERT_TRUE(copy.get_data(row, 4) == cell_value_t(texts[rows - 1 - row]));
  }
}

// Ints, then fractions over most rows (the column turns around them), then texts and rare
// values: every row keeps what was written last.
TEST(column_store, a_column_that_changes_alternative_keeps_every_value) {
  constexpr unsigned int rows = 3000;
  data_model_t model;
  model.set_row_count(rows);
  std::vector<cell_value_t> expected(rows);
  std::vector<bool> written(rows);
  auto write = [&](unsigned int row, const cell_value_t& value) {
    model.set_data(row, 6, value);
    expected[row] = value;
    written[row] = true;
  };
  for (unsigned int row = 0; row < rows; row += 2) write(row, int(row) - 100);
  for (unsigned int row = 0; row < rows; ++row)
    if (row % 5 != 0) write(row, fraction_t(row / 8.0));
  for (unsigned int row = 0; row < rows; row += 7) write(row, std::wstring(row % 40, L'x'));
  for (unsigned int row = 0; row < rows; row += 11) write(row, label_list_t{{L"a"}, {1}});
  for (unsigned int row = 1; row < rows; row += 13) write(row, unsigned(row));
  for (unsigned int row = 0; row < rows; ++row) {
    ASSERT_EQ(model.is_data_set(row, 6), written[row]) << row;
    ASSERT_TRUE(model.get_data(row, 6) == expected[row]) << row;
  }
}

// Cuts and highlights on both sides of 64-row words.
TEST(column_store, bitmaps_hold_at_word_boundaries) {
  data_model_t model;
  for (unsigned int count : {63u, 64u, 65u, 128u, 129u}) {
    model.set_row_count(200);
    for (unsigned int row = 0; row < 200; ++row) {
      model.set_data(row, 1, int(row));
      model.set_highlighted(row, /*value=*/true);
    }
    model.set_highlighted(64, /*value=*/false);
    model.set_row_count(count);
    model.set_row_count(200);
    for (unsigned int row = 0; row < 200; ++row) {
      ASSERT_EQ(model.is_data_set(row, 1), row < count) << count << " " << row;
      ASSERT_EQ(model.get_highlighted(row), row < count && row != 64) << count << " " << row;
      ASSERT_TRUE(model.is_data_set(row, found_items_column));
    }
  }
}

// Numbers are measured for the longest-text record without being written: a text one character
// shorter than a number's text loses to it, one as long wins. Fractions just below a power of ten
// round up to one more digit.
TEST(column_store, numbers_are_measured_as_long_as_their_text) {
  std::vector<cell_value_t> values;
  for (int v : {0, -1, INT_MIN, INT_MAX, 9, 10, 999999999}) values.push_back(v);
  for (unsigned v : {0u, UINT_MAX, 1000000000u}) values.push_back(v);
  for (std::uint64_t v : {0ull, 15ull, 16ull, ~0ull}) values.push_back(hex_t(v));
  for (double v : {0.0, 1e-9, 1e300, std::numeric_limits<double>::infinity()})
    values.push_back(fraction_t(v));
  for (int exponent = -4; exponent < 17; ++exponent)
    for (double mantissa : {0.99, 0.99499, 0.994999999, 0.995, 0.99500001, 0.999999, 1.0})
      values.push_back(fraction_t(mantissa * std::pow(10.0, exponent) / 100));
  const formatter_t formatter;
  data_model_t model;
  for (const cell_value_t& value : values) {
    const std::size_t length = formatter.format_data(value, 1).size();
    for (std::size_t other = length == 0 ? 0 : length - 1; other <= length; ++other) {
      model.set_row_count(2);
      model.set_data(0, 1, std::wstring(other, L'x'));
      model.set_data(1, 1, value);
      EXPECT_EQ(model.get_longest_text_row(1), other < length ? 1u : 0u)
          << formatter.format_data(value, 1).c_str() << " against " << other;
    }
  }
}

// A model that counts the set_data calls a column setter makes on it.
struct counting_model_t : data_model_t {
  void set_data(unsigned int row, unsigned int column, const cell_value_t& value) override {
    ++calls;
    data_model_t::set_data(row, column, value);
  }
  int calls = 0;
};

template <class T>
void expect_same_as_set_data(unsigned int column, unsigned int first, std::vector<T> values) {
  data_model_t by_cell, by_column;
  counting_model_t derived;
  for (data_model_t* model : {&by_cell, &by_column, static_cast<data_model_t*>(&derived)}) {
    model->set_row_count(100);
    model->set_source_tab_width(3);
  }
  sv4_test::signal_spy_t<> updates(by_column.model_updated), derived_updates(derived.model_updated);
  for (std::size_t i = 0; i < values.size(); ++i)
    by_cell.set_data(first + unsigned(i), column, cell_value_t(values[i]));
  by_column.set_column_data(column, first, values.data(), values.size());
  derived.set_column_data(column, first, values.data(), values.size());
  for (const data_model_t* model : {&by_column, static_cast<data_model_t*>(&derived)}) {
    for (unsigned int row = 0; row < 100; ++row) {
      ASSERT_EQ(model->is_data_set(row, column), by_cell.is_data_set(row, column)) << row;
      ASSERT_TRUE(model->get_data(row, column) == by_cell.get_data(row, column)) << row;
      ASSERT_EQ(model->get_text_data(row, column), by_cell.get_text_data(row, column)) << row;
    }
    EXPECT_EQ(model->get_longest_text_row(column), by_cell.get_longest_text_row(column));
  }
  EXPECT_EQ(updates.count() + derived_updates.count(), 2u);
  EXPECT_EQ(derived.calls, int(std::min<std::size_t>(values.size(), 100 - first)));
}

TEST(column_store, column_setters_match_set_data_row_by_row) {
  expect_same_as_set_data<int>(1, 10, {5, -123, 99999, 12345, -7, 0});
  expect_same_as_set_data<unsigned int>(1, 95, {1, 22, 4294967295u, 333, 4444, 55555, 6});
  expect_same_as_set_data<hex_t>(2, 0, {hex_t(0), hex_t(0xabc), hex_t(0xabd), hex_t(1)});
  expect_same_as_set_data<fraction_t>(
      3, 3, {fraction_t(0.09999), fraction_t(0.1), fraction_t(-1), fraction_t(9.9999), {}});
  expect_same_as_set_data<std::wstring>(source_column, 1, {L"ab\tc", L"abcdef", L"a\t\tb", L""});
  expect_same_as_set_data<cell_value_t>(
      7, 40, {cell_value_t(1), std::wstring(L"\t12"), fraction_t(0.5), std::vector<int>{1, 2}, 3u});
  expect_same_as_set_data<int>(1, 100, {1, 2});  // past the rows: nothing stored, still announced
}

// Copies share nothing: rewriting every text of one (its buffer compacted on the way) leaves
// the other as it was, and assignment replaces a bigger model whole.
TEST(column_store, copies_of_large_models_are_independent) {
  constexpr unsigned int rows = 20000;
  data_model_t model;
  model.set_row_count(rows);
  for (unsigned int row = 0; row < rows; ++row) {
    model.set_source(row, std::wstring(row % 50, wchar_t(L'a' + row % 26)));
    model.set_data(row, 2, hex_t(row));
    if (row % 3 == 0) model.set_data(row, 2, range_t{1, L"r", 2});
  }
  data_model_t copy(model);
  data_model_t assigned;
  assigned.set_row_count(rows * 2);
  assigned.set_data(rows + 5, 9, 1);
  assigned = copy;
  for (int round = 0; round < 4; ++round)
    for (unsigned int row = 0; row < rows; ++row) copy.set_source(row, std::to_wstring(round));
  copy.set_data(0, 2, hex_t(77));
  EXPECT_EQ(assigned.get_row_count(), rows);
  EXPECT_FALSE(assigned.is_data_set(rows + 5, 9));
  for (unsigned int row = 0; row < rows; ++row) {
    const std::wstring line(row % 50, wchar_t(L'a' + row % 26));
    ASSERT_EQ(model.get_text_data(row, source_column), line);
    ASSERT_EQ(assigned.get_text_data(row, source_column), line);
    ASSERT_EQ(copy.get_text_data(row, source_column), L"3");
    ASSERT_TRUE(assigned.get_data(row, 2) == model.get_data(row, 2));
  }
  EXPECT_EQ(model.get_text_data(0, 2), L"r");
}

// The model as a reference would keep it: a map of cells and the rules of each operation.
struct reference_t {
  std::map<std::pair<unsigned, unsigned>, cell_value_t> cells;  // (row, column)
  std::set<unsigned int> highlighted;
  std::map<std::pair<unsigned, unsigned>, int> flags;
  unsigned int rows = 0;

  void cut(unsigned int count) {
    for (auto it = cells.begin(); it != cells.end();)
      it = it->first.first < count ? std::next(it) : cells.erase(it);
    for (auto it = flags.begin(); it != flags.end();)
      it = it->first.first < count ? std::next(it) : flags.erase(it);
    highlighted.erase(highlighted.lower_bound(count), highlighted.end());
    rows = count;
  }
};

TEST(column_store, random_operations_match_a_reference_map) {
  std::mt19937 random(2024);
  auto pick = [&random](unsigned int below) { return unsigned(random() % below); };
  const std::vector<std::wstring> texts = awkward_texts();
  const unsigned int columns[] = {0, 1, source_column, found_items_column};
  auto random_value = [&]() -> cell_value_t {
    const unsigned int kind = pick(8);
    if (kind == 0) return int(random());
    if (kind == 1) return unsigned(random());
    if (kind == 2) return hex_t(random());
    if (kind == 3) return fraction_t(pick(1000) / 7.0 - 20);
    if (kind == 4) return found_items_t(pick(2), data_model_found_item_t{1, 2, 3, true});
    if (kind == 5) return std::vector<int>{int(pick(9))};
    return texts[pick(unsigned(texts.size()))];
  };
  data_model_t model;
  reference_t expected;
  for (int step = 0; step < 6000; ++step) {
    const unsigned int kind = pick(1000), row = pick(expected.rows + 2);
    const unsigned int column = columns[pick(4)];
    if (kind < 8) {
      const unsigned int count = pick(700);
      model.set_row_count(count);
      expected.cut(count);
      for (unsigned int r = 0; r < count; ++r)
        expected.cells[{r, found_items_column}] = found_items_t();
    } else if (kind < 10) {
      model.clear_columns({column});
      for (unsigned int r = 0; r < expected.rows; ++r) expected.cells.erase({r, column});
    } else if (kind < 12) {
      model.clear();
      expected = reference_t();
    } else if (kind < 60) {
      const bool on = pick(2) == 0;
      model.set_highlighted(row, on);
      if (row < expected.rows && on) expected.highlighted.insert(row);
      if (!on) expected.highlighted.erase(row);
    } else if (kind < 100) {
      const int flags = int(pick(3));
      model.set_cell_flags(row, column, flags);
      if (row < expected.rows && flags != 0) expected.flags[{row, column}] = flags;
    } else if (kind < 130) {
      std::vector<cell_value_t> values(pick(80));
      for (cell_value_t& value : values) value = random_value();
      model.set_column_data(column, row, values.data(), values.size());
      for (std::size_t i = 0; i < values.size() && row + i < expected.rows; ++i)
        expected.cells[{row + unsigned(i), column}] = values[i];
    } else {
      const cell_value_t value = random_value();
      model.set_data(row, column, value);
      if (row < expected.rows) expected.cells[{row, column}] = value;
    }
    ASSERT_EQ(model.get_row_count(), expected.rows) << "step " << step;
    if (step % 200 != 199) continue;
    for (unsigned int r = 0; r <= expected.rows; ++r) {
      ASSERT_EQ(model.get_highlighted(r), expected.highlighted.count(r) != 0) << step;
      for (unsigned int c : columns) {
        auto cell = expected.cells.find({r, c});
        const bool set = cell != expected.cells.end();
        ASSERT_EQ(model.is_data_set(r, c), set) << "step " << step << " row " << r;
        ASSERT_TRUE(model.get_data(r, c) == (set ? cell->second : cell_value_t())) << step;
        auto flag = expected.flags.find({r, c});
        ASSERT_EQ(model.get_cell_flags(r, c), flag == expected.flags.end() ? 0 : flag->second);
      }
    }
  }
}

// ---- the text form of values ----

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
  model.set_source(0, L"\tab\t\tc\t");
  model.set_summary_data(source_column, std::wstring(L"\t"));
  EXPECT_EQ(model.get_text_data(0, source_column), L"    ab        c    ");
  model.set_source_tab_width(1);
  EXPECT_EQ(model.get_text_data(0, source_column), L" ab  c ");
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
