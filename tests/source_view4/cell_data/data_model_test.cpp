// The flat data model: the signals of each operation and of batches, the longest-text record, row
// cuts and clears, cell flags, link ids against a rescanning reference, reads outside, copies.
#include "source_view4/data_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <utility>

#include "support/assertion_recorder.h"
#include "support/signal_spy.h"

namespace {

using namespace source_view4;
using data_record_t = std::tuple<unsigned int, unsigned int>;  // (column, row)
using signals_t = std::tuple<std::size_t, std::vector<data_record_t>, std::size_t>;

struct data_model_test : ::testing::Test {
  data_model_test() { model.set_row_count(3); }

  // (model_updated count, data_updated records, summary_updated count) since the last call.
  signals_t take_signals() {
    signals_t seen{model_spy.count(), data_spy.records(), summary_spy.count()};
    model_spy.clear();
    data_spy.clear();
    summary_spy.clear();
    return seen;
  }

  data_model_t model;
  sv4_test::signal_spy_t<> model_spy{model.model_updated};
  sv4_test::signal_spy_t<unsigned int, unsigned int> data_spy{model.data_updated};
  sv4_test::signal_spy_t<> summary_spy{model.summary_updated};
};

const int two_ints[] = {1, 2};
using operation_t = std::pair<std::function<void(data_model_t&)>, signals_t>;

const std::vector<operation_t> every_operation = {
    // Ignored: rows just past the end (3), a zero flag word.
    {[](data_model_t& m) { m.set_data(3, 0, 1); }, {0, {}, 0}},
    {[](data_model_t& m) { m.set_link(3, 0, 2); }, {0, {}, 0}},
    {[](data_model_t& m) { m.set_cell_flags(3, 3, 1); }, {0, {}, 0}},
    {[](data_model_t& m) { m.set_cell_flags(0, 3, 0); }, {0, {}, 0}},
    {[](data_model_t& m) { m.set_highlighted(3, /*value=*/true); }, {0, {}, 0}},
    {[](data_model_t& m) { m.set_data(1, 7, 5); }, {0, {{7, 1}}, 0}},
    {[](data_model_t& m) { m.set_source(2, L"x"); }, {0, {{source_column, 2}}, 0}},
    {[](data_model_t& m) { m.set_link(0, 3, no_link); }, {0, {{3, 0}}, 0}},
    {[](data_model_t& m) { m.set_cell_flags(0, 3, 5); }, {0, {{3, 0}}, 0}},
    {[](data_model_t& m) { m.set_highlighted(1, /*value=*/true); }, {0, {{all_columns, 1}}, 0}},
    {[](data_model_t& m) { m.set_source_tab_width(8); }, {0, {{source_column, all_rows}}, 0}},
    {[](data_model_t& m) { m.set_summary_data(4, 1); }, {0, {}, 1}},
    {[](data_model_t& m) { m.set_column_data(0, 0, two_ints, 2); }, {1, {}, 0}},
    {[](data_model_t& m) { m.clear_columns({7}); }, {1, {}, 0}},
    {[](data_model_t& m) { m.set_row_count(2); }, {1, {}, 0}},
    {[](data_model_t& m) { m.clear(); }, {1, {}, 0}},
};

TEST_F(data_model_test, each_operation_emits_its_signal_with_its_arguments) {
  const sv4_test::assertion_recorder_t assertions;  // ignored writes report nothing
  EXPECT_EQ(take_signals(), signals_t(1, {}, 0));
  for (std::size_t i = 0; i < every_operation.size(); ++i) {
    every_operation[i].first(model);
    EXPECT_EQ(take_signals(), every_operation[i].second) << "operation " << i;
  }
  EXPECT_EQ(assertions.reports().size(), 0u);
}

TEST_F(data_model_test, a_batch_emits_only_the_model_update_of_its_end) {
  take_signals();
  model.begin_update();
  model.begin_update();  // absorbed: the first end_update ends the batch
  for (const operation_t& op : every_operation) op.first(model);
  EXPECT_TRUE(model.is_updating());
  EXPECT_EQ(take_signals(), signals_t(0, {}, 0));
  model.end_update();
  EXPECT_FALSE(model.is_updating());
  model.end_update();  // without a batch it still emits
  EXPECT_EQ(take_signals(), signals_t(2, {}, 0));
}

TEST_F(data_model_test, longest_text_record_takes_strictly_longer_texts_and_only_grows) {
  model.set_data(0, 7, std::wstring(L"abcd"));
  model.set_data(1, 7, std::wstring(L"abcdefghi"));
  model.set_data(2, 7, std::wstring(L"123456789"));  // equal length keeps the earlier row
  model.set_data(1, 7, std::wstring(L"a"));
  EXPECT_EQ(model.get_longest_text_row(7), 1u);
  model.set_data(0, 7, 1234567890);  // measured as formatted text: ten characters
  model.set_source(0, L"abcde");
  model.set_source(1, L"a\tb");  // six characters once the tab is expanded
  model.set_source_tab_width(0);
  model.set_summary_data(8, std::wstring(100, L'x'));
  EXPECT_EQ(model.get_longest_text_row(7), 0u);
  EXPECT_EQ(model.get_longest_text_row(source_column), 1u);
  EXPECT_EQ(model.get_longest_text_row(8), no_row);
  model.clear_columns({7});
  EXPECT_EQ(model.get_longest_text_row(7), no_row);
  EXPECT_EQ(model.get_longest_text_row(source_column), 1u);
  model.set_row_count(3);
  EXPECT_EQ(model.get_longest_text_row(source_column), no_row);
  model.set_source(2, L"x");
  model.clear();
  EXPECT_EQ(model.get_longest_text_row(source_column), no_row);
}

TEST_F(data_model_test, row_cuts_and_clears_keep_what_they_should) {
  model.set_data(2, 1, 5);
  model.set_data(0, found_items_column, found_items_t{{1, 2, 3, true}});
  model.set_row_count(2);
  model.set_row_count(3);
  EXPECT_FALSE(model.is_data_set(2, 1));
  for (unsigned int row = 0; row < 3; ++row)  // every row gets an empty list
    EXPECT_EQ(model.get_text_data(row, found_items_column), L"");

  model.set_data(0, 7, 1);
  model.set_data(1, 8, 3);
  model.set_link(0, 7, 0);
  model.set_cell_flags(0, 7, 5);
  model.set_cell_flags(0, 7, 0);  // a flag word never returns to 0
  model.set_cell_flags(0, 7, 2);  // replaced, not combined
  model.set_summary_data(7, 4);
  model.set_source_tab_width(2);
  model.clear_columns({7});
  EXPECT_EQ((std::pair{model.is_data_set(0, 7), model.is_data_set(1, 8)}),
            (std::pair{false, true}));
  EXPECT_EQ((std::pair{model.get_link(0, 7), model.get_cell_flags(0, 7)}), (std::pair{0u, 2}));
  model.clear();
  EXPECT_EQ(model.get_row_count(), 0u);
  EXPECT_EQ(model.get_summary_text_data(7), L"4");
  EXPECT_EQ(model.get_source_tab_width(), 2);
}

// Naive reference: tries 0, 1, 2 … rescanning every stored link for each.
unsigned int rescanned_free_id(const std::map<std::pair<unsigned, unsigned>, unsigned>& links) {
  unsigned int candidate = 0;
  auto taken = [&](const auto& link) { return link.second == candidate; };
  while (std::any_of(links.begin(), links.end(), taken)) ++candidate;
  return candidate;
}

TEST(data_model_links, random_sequences_match_a_rescanning_reference) {
  std::mt19937 random(12345);
  auto pick = [&random](unsigned int below) { return unsigned(random() % below); };
  data_model_t model;
  std::map<std::pair<unsigned, unsigned>, unsigned> expected;  // (row, column) -> id
  unsigned int rows = 0;
  for (int step = 0; step < 4000; ++step) {
    const unsigned int kind = pick(100);
    if (kind < 3) {
      model.clear();
      rows = 0;
      expected.clear();
    } else if (kind < 10) {
      model.set_row_count(rows = pick(12));
      for (auto it = expected.begin(); it != expected.end();)
        it = it->first.first < rows ? std::next(it) : expected.erase(it);
    } else {
      const unsigned int row = pick(12), column = pick(3), id = kind < 50 ? no_link : pick(16);
      const unsigned int wanted = row >= rows     ? no_link
                                  : id == no_link ? rescanned_free_id(expected)
                                                  : id;
      ASSERT_EQ(model.set_link(row, column, id), wanted) << "step " << step;
      if (row < rows) expected[{row, column}] = wanted;
    }
    ASSERT_EQ(model.generate_link_id(), rescanned_free_id(expected)) << "step " << step;
  }
  for (unsigned int row = 0; row < 12; ++row)
    for (unsigned int column = 0; column < 3; ++column) {
      auto it = expected.find({row, column});
      EXPECT_EQ(model.get_link(row, column), it == expected.end() ? no_link : it->second);
    }
}

TEST_F(data_model_test, reads_outside_the_rows_answer_defaults) {
  EXPECT_FALSE(model.get_highlighted(3));
  EXPECT_FALSE(model.is_data_set(3, found_items_column));
  EXPECT_TRUE(model.get_data(3, 0) == cell_value_t(0));
  EXPECT_EQ(model.get_text_data(3, source_column), L"0");
  EXPECT_EQ(model.get_cell_flags(3, 0), 0);
  EXPECT_EQ(model.get_longest_text_row(0), no_row);
  EXPECT_THROW(boost::get<std::wstring>(model.get_data(0, 0)), boost::bad_get);
}

// A copy and an assigned model hold the data (link ids in use, longest texts too) and the
// connections of the source.
TEST_F(data_model_test, copies_carry_data_and_connections) {
  model.set_source(1, L"line");
  model.set_link(0, 2, 0);
  data_model_t copy(model), assigned;
  assigned.set_row_count(9);
  assigned = model;
  take_signals();
  for (data_model_t* target : {&copy, &assigned}) {
    EXPECT_EQ(target->set_link(1, 2, no_link), 1u);
    EXPECT_EQ(target->get_text_data(1, source_column), L"line");
    EXPECT_EQ(target->get_longest_text_row(source_column), 1u);
    EXPECT_EQ(target->get_row_count(), 3u);
  }
  EXPECT_EQ(take_signals(), signals_t(0, {{2, 1}, {2, 1}}, 0));
}

}  // namespace
