// The flat data model: signals of each operation, batches, the longest-text record, link ids,
// cell flags, highlighted rows, copies and reads and writes outside the rows.
#include "source_view4/data_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <utility>

#include "support/assertion_recorder.h"
#include "support/signal_spy.h"

namespace {

using namespace source_view4;
using data_record_t = std::tuple<unsigned int, unsigned int>;  // (column, row)

struct data_model_test : ::testing::Test {
  data_model_test() { model.set_row_count(3); }

  // Answers (model_updated, data_updated, summary_updated) seen since the last call.
  std::tuple<std::size_t, std::vector<data_record_t>, std::size_t> take_signals() {
    auto seen = std::make_tuple(model_spy.count(), data_spy.records(), summary_spy.count());
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

struct operation_t {
  std::function<void(data_model_t&)> run;
  std::size_t model_updates;
  std::vector<data_record_t> data_updates;
  std::size_t summary_updates;
};

const std::vector<operation_t>& every_operation() {
  static const std::vector<operation_t> operations = {
      {[](data_model_t& m) { m.set_data(1, 7, 5); }, 0, {{7, 1}}, 0},
      {[](data_model_t& m) { m.set_source(2, L"x"); }, 0, {{source_column, 2}}, 0},
      {[](data_model_t& m) { m.set_link(0, 3, no_link); }, 0, {{3, 0}}, 0},
      {[](data_model_t& m) { m.set_cell_flags(0, 3, 5); }, 0, {{3, 0}}, 0},
      {[](data_model_t& m) { m.set_highlighted(1, /*value=*/true); }, 0, {{all_columns, 1}}, 0},
      {[](data_model_t& m) { m.set_source_tab_width(8); }, 0, {{source_column, all_rows}}, 0},
      {[](data_model_t& m) { m.set_summary_data(4, 1); }, 0, {}, 1},
      {[](data_model_t& m) { m.clear_columns({7}); }, 1, {}, 0},
      {[](data_model_t& m) { m.set_row_count(2); }, 1, {}, 0},
      {[](data_model_t& m) { m.clear(); }, 1, {}, 0},
      // Ignored: rows out of range, a zero flag word.
      {[](data_model_t& m) { m.set_data(5, 0, 1); }, 0, {}, 0},
      {[](data_model_t& m) { m.set_link(5, 0, 2); }, 0, {}, 0},
      {[](data_model_t& m) { m.set_cell_flags(0, 3, 0); }, 0, {}, 0},
      {[](data_model_t& m) { m.set_highlighted(9, /*value=*/true); }, 0, {}, 0},
  };
  return operations;
}

TEST_F(data_model_test, each_operation_emits_its_signal_with_its_arguments) {
  EXPECT_EQ(take_signals(), std::make_tuple(1u, std::vector<data_record_t>{}, 0u));
  for (std::size_t i = 0; i < every_operation().size(); ++i) {
    const operation_t& op = every_operation()[i];
    op.run(model);
    EXPECT_EQ(take_signals(),
              std::make_tuple(op.model_updates, op.data_updates, op.summary_updates))
        << "operation " << i;
  }
}

TEST_F(data_model_test, a_batch_emits_only_the_model_update_of_its_end) {
  take_signals();
  model.begin_update();
  model.begin_update();  // absorbed: the first end_update ends the batch
  for (const operation_t& op : every_operation()) op.run(model);
  EXPECT_TRUE(model.is_updating());
  EXPECT_EQ(take_signals(), std::make_tuple(0u, std::vector<data_record_t>{}, 0u));
  model.end_update();
  EXPECT_FALSE(model.is_updating());
  EXPECT_EQ(take_signals(), std::make_tuple(1u, std::vector<data_record_t>{}, 0u));
  model.end_update();  // without a batch it still emits
  EXPECT_EQ(model_spy.count(), 1u);
}

TEST_F(data_model_test, longest_text_record_takes_strictly_longer_texts_and_only_grows) {
  model.set_data(0, 7, std::wstring(L"abcd"));
  model.set_data(1, 7, std::wstring(L"abcdefghi"));
  model.set_data(2, 7, std::wstring(L"123456789"));  // equal length keeps the earlier row
  EXPECT_EQ(model.get_longest_text_row(7), 1u);
  model.set_data(1, 7, std::wstring(L"a"));
  EXPECT_EQ(model.get_longest_text_row(7), 1u);
  model.set_data(0, 7, 1234567890);  // measured as formatted text: ten characters
  EXPECT_EQ(model.get_longest_text_row(7), 0u);

  model.set_source(0, L"abcde");
  model.set_source(1, L"a\tb");  // six characters once the tab is expanded
  model.set_source_tab_width(0);
  EXPECT_EQ(model.get_longest_text_row(source_column), 1u);
  model.set_summary_data(8, std::wstring(100, L'x'));
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

TEST_F(data_model_test, row_count_and_clears_keep_what_they_should) {
  model.set_data(2, 1, 5);
  model.set_link(2, 1, 0);
  model.set_data(0, found_items_column, found_items_t{{1, 2, 3, true}});
  model.set_row_count(2);
  model.set_row_count(3);
  for (unsigned int row = 0; row < 3; ++row)
    EXPECT_TRUE(boost::get<found_items_t>(model.get_data(row, found_items_column)).empty());
  EXPECT_FALSE(model.is_data_set(2, 1));
  EXPECT_EQ(model.get_link(2, 1), no_link);
  EXPECT_EQ(model.generate_link_id(), 0u);  // the cut row's link id is free again

  model.set_data(0, 7, 1);
  model.set_data(1, 8, 3);
  model.set_link(0, 7, 0);
  model.set_cell_flags(0, 7, 2);
  model.set_summary_data(7, 4);
  model.set_source_tab_width(2);
  model.clear_columns({7});
  EXPECT_FALSE(model.is_data_set(0, 7));
  EXPECT_TRUE(model.is_data_set(1, 8));
  EXPECT_EQ(model.get_link(0, 7), 0u);
  EXPECT_EQ(model.get_cell_flags(0, 7), 2);
  model.clear();
  EXPECT_EQ(model.get_row_count(), 0u);
  EXPECT_EQ(model.get_summary_text_data(7), L"4");
  EXPECT_EQ(model.get_source_tab_width(), 2);
  EXPECT_EQ(model.generate_link_id(), 0u);
}

TEST_F(data_model_test, link_ids_and_cell_flags) {
  model.set_link(0, 1, 0);
  model.set_link(1, 1, 2);
  EXPECT_EQ(model.set_link(0, 3, no_link), 1u);
  EXPECT_EQ(model.set_link(2, 3, no_link), 3u);
  EXPECT_EQ(model.get_link(2, 3), 3u);

  model.set_cell_flags(0, 3, 5);
  model.set_cell_flags(0, 3, 0);  // a flag word never returns to 0
  EXPECT_EQ(model.get_cell_flags(0, 3), 5);
  model.set_cell_flags(0, 3, 2);  // replaced, not combined
  EXPECT_EQ(model.get_cell_flags(0, 3), 2);
  EXPECT_EQ(model.get_cell_flags(0, 4), 0);
}

// Naive reference: rescans every stored link from the top whenever the candidate is taken.
unsigned int rescanned_free_id(const std::map<std::pair<unsigned, unsigned>, unsigned>& links) {
  unsigned int candidate = 0;
  auto it = links.begin();
  while (it != links.end()) {
    if (it->second != candidate) {
      ++it;
      continue;
    }
    ++candidate;
    it = links.begin();
  }
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
      rows = pick(12);
      model.set_row_count(rows);
      for (auto it = expected.begin(); it != expected.end();)
        it = it->first.first < rows ? std::next(it) : expected.erase(it);
    } else {
      const unsigned int row = pick(12), column = pick(3);
      const unsigned int id = kind < 50 ? no_link : pick(16);
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

TEST_F(data_model_test, reads_and_writes_outside_the_rows_answer_defaults_silently) {
  sv4_test::assertion_recorder_t assertions;
  model.set_highlighted(1, /*value=*/true);
  model.set_highlighted(3, /*value=*/true);
  EXPECT_TRUE(model.get_highlighted(1));
  EXPECT_FALSE(model.get_highlighted(0));
  EXPECT_FALSE(model.get_highlighted(3));
  model.set_data(3, 0, 5);
  model.set_source(7, L"text");
  EXPECT_EQ(model.get_row_count(), 3u);
  EXPECT_EQ(model.get_data(3, 0).which(), cell_int);
  EXPECT_EQ(boost::get<int>(model.get_data(3, 0)), 0);
  EXPECT_FALSE(model.is_data_set(3, found_items_column));
  EXPECT_EQ(model.get_text_data(3, source_column), L"0");
  EXPECT_EQ(model.get_longest_text_row(0), no_row);
  EXPECT_EQ(model.get_link(3, 0), no_link);
  EXPECT_EQ(model.get_cell_flags(3, 0), 0);
  EXPECT_THROW(boost::get<std::wstring>(model.get_data(0, 0)), boost::bad_get);
  EXPECT_TRUE(assertions.reports().empty());
}

TEST_F(data_model_test, copies_carry_data_and_connections) {
  model.set_source(1, L"line");
  model.set_link(0, 2, 0);
  data_model_t copy(model);
  copy.set_link(1, 2, no_link);
  EXPECT_EQ(copy.get_link(1, 2), 1u);  // the copy knows id 0 is taken
  EXPECT_EQ(model.get_link(1, 2), no_link);
  EXPECT_EQ(copy.get_text_data(1, source_column), L"line");
  EXPECT_EQ(copy.get_longest_text_row(source_column), 1u);
  take_signals();
  copy.set_data(2, 4, 1);
  EXPECT_EQ(data_spy.records(), (std::vector<data_record_t>{{4, 2}}));

  data_model_t target;
  sv4_test::signal_spy_t<> own_spy(target.model_updated);
  target.set_row_count(9);
  target = model;
  EXPECT_EQ(target.get_row_count(), 3u);
  EXPECT_EQ(target.get_link(0, 2), 0u);
  take_signals();
  target.clear();
  EXPECT_EQ(own_spy.count(), 2u);    // kept its own connection
  EXPECT_EQ(model_spy.count(), 1u);  // and gained the source's
  target = model;                    // adds nothing twice
  EXPECT_EQ(target.model_updated.connection_count(), 2u);
}

}  // namespace
