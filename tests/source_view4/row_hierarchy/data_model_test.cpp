// The grouped and snippet models over a flat model: group rules, expanding through the view, bad
// input (rows out of range, overlapping, reversed and overlong groups, missing flat model), a
// randomised comparison with the grouping rules, and the snippet marks with their signals.
#include <gtest/gtest.h>

#include <random>

#include "source_view4/hierarchical_data_model.h"
#include "support/assertion_recorder.h"
#include "support/model_checker.h"
#include "support/signal_spy.h"

namespace {

using namespace source_view4;
using flat_pointer_t = utilkit2::smart_pointer_t<data_model_base_t>;
using U = std::vector<unsigned int>;

flat_pointer_t flat_rows(unsigned int count) {
  auto* model = new data_model_t;
  model->set_row_count(count);
  return flat_pointer_t(model);
}

struct grouped_t {
  explicit grouped_t(unsigned int rows) : model(flat_rows(rows)) {}
  U flat() const {
    U rows;
    for (unsigned int row = 0; row < model.get_row_count(); ++row)
      rows.push_back(model.get_flat_row_index(row));
    return rows;
  }
  hierarchical_data_model_t model;
  sv4_test::model_checker_t<hierarchical_data_model_t> checker{model};
  sv4_test::signal_spy_t<> updates{model.hierarchy_updated};
};

TEST(GroupedModel, GroupsBecomeCollapsedHeadersWithFollowingRows) {
  grouped_t g(6);
  g.model.create_group(1, 3);
  g.model.update_hierarchy();
  EXPECT_EQ(g.flat(), (U{0, 1, 4, 5}));
  EXPECT_EQ(g.model.get_row_hierarchical_state(1), row_state_collapsed);
  EXPECT_EQ(g.model.get_row_hierarchical_state(2), row_state_none);
  g.model.set_row_hierarchical_state(1, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(g.model.get_row_hierarchy_level(2), 1);
  EXPECT_EQ(g.model.get_row_hierarchical_state(1), row_state_expanded);
  g.model.set_row_hierarchical_state(1, row_state_none);
  EXPECT_EQ(g.updates.count(), 3u);
  g.model.clear_hierarchy();
  EXPECT_EQ(g.model.get_row_count(), 6u);  // shown until the next rebuild
  g.model.update_hierarchy();
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(g.model.get_row_hierarchical_state(1), row_state_none);
  EXPECT_EQ(g.checker.changes_checked(), 1u);
  EXPECT_EQ(g.model.get_model_type(), hierarchical_mode_groups);
}

TEST(GroupedModel, ReversedOverlappingAndOverlongGroups) {
  grouped_t g(6);
  g.model.create_group(2, 2);  // ends before it starts: row 3 is its only child
  g.model.create_group(0, 5);
  g.model.create_group(2, 3);  // inside group 0: ignored
  g.model.update_hierarchy();
  EXPECT_EQ(g.flat(), (U{0}));
  g.model.set_row_hierarchical_state(0, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5}));
  g.model.clear_hierarchy();
  g.model.create_group(1, 3);
  g.model.create_group(1, 2);           // replaces the end
  g.model.create_group(4, 0xFFFFFFFF);  // past the end: stops at the last flat row
  g.model.update_hierarchy();
  EXPECT_EQ(g.flat(), (U{0, 1, 3, 4}));
  g.model.set_row_hierarchical_state(3, row_state_expanded);
  g.model.set_row_hierarchical_state(1, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5}));
  g.model.clear_hierarchy();
  g.model.create_group(5, 5);  // on the last row: its one child does not exist
  g.model.update_hierarchy();
  g.model.set_row_hierarchical_state(5, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5, 6}));
}

TEST(GroupedModel, RowsOutsideTheListAnswerDefaults) {
  grouped_t g(4);
  g.model.create_group(0, 1);
  g.model.update_hierarchy();
  for (unsigned int row : {3u, 0xFFFFFFFFu, 0x80000000u}) {
    EXPECT_EQ(g.model.get_row_hierarchical_state(row), row_state_none);
    EXPECT_EQ(g.model.get_row_hierarchy_level(row), 0);
    EXPECT_EQ(g.model.get_flat_row_index(row), no_row);
    g.model.set_row_hierarchical_state(row, row_state_expanded);
  }
  EXPECT_EQ(g.flat(), (U{0, 2, 3}));
  EXPECT_EQ(g.updates.count(), 4u);
}

// A flat model that lets go of itself (through the grouped model) while the rows are built.
class vanishing_model_t : public data_model_t {
 public:
  unsigned int get_row_count() const override {
    if (owner != nullptr && ++calls == 3) owner->set_flat_data_model(flat_pointer_t());
    return data_model_t::get_row_count();
  }
  hierarchical_data_model_base_t* owner = nullptr;
  mutable int calls = 0;
};

TEST(GroupedModel, MissingFlatModel) {
  sv4_test::assertion_recorder_t recorder;
  grouped_t g(3);
  g.model.update_hierarchy();
  g.model.set_flat_data_model(flat_pointer_t());
  g.model.update_hierarchy();
  EXPECT_EQ(g.model.get_row_count(), 0u);
  EXPECT_EQ(g.updates.count(), 1u);
  auto* vanishing = new vanishing_model_t;
  const flat_pointer_t keep(vanishing);  // keeps it alive after the model lets go
  vanishing->set_row_count(10);
  vanishing->owner = &g.model;
  g.model.set_flat_data_model(keep);
  g.model.create_group(0, 1);
  g.model.update_hierarchy();
  EXPECT_EQ(recorder.expressions(), std::vector<std::string>{"m_ptr != 0"});
  EXPECT_EQ(g.flat(), (U{0, 2, 3}));  // the rows built before it went stay
  g.model.set_row_hierarchical_state(0, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3}));
  EXPECT_EQ(g.updates.count(), 3u);
}

// The grouping rules applied to random group lists, with random expands and collapses.
TEST(GroupedModel, RandomGroupsMatchTheRules) {
  std::mt19937 random(5);
  auto pick = [&](unsigned int high) {
    return std::uniform_int_distribution<unsigned>(0, high)(random);
  };
  grouped_t g(60);
  for (int round = 0; round < 200; ++round) {
    std::map<unsigned int, unsigned int> groups;
    std::map<unsigned int, bool> open;  // header flat row -> expanded
    g.model.clear_hierarchy();
    for (unsigned int n = pick(12); n > 0; --n) {
      const unsigned int first = pick(62), last = pick(70);
      g.model.create_group(first, last);
      groups[first] = last;
    }
    g.model.update_hierarchy();
    for (int toggle = 0; toggle < 10; ++toggle) {
      const unsigned int row = pick(g.model.get_row_count());
      const bool expand = pick(1) == 1;
      if (g.model.get_row_hierarchical_state(row) != row_state_none)
        open[g.model.get_flat_row_index(row)] = expand;
      g.model.set_row_hierarchical_state(row, expand ? row_state_expanded : row_state_collapsed);
    }
    U expected;
    for (unsigned int r = 0; r < 60; ++r) {
      expected.push_back(r);
      if (!groups.count(r)) continue;
      const unsigned int end = std::max(r + 1, std::min(groups[r], 59u));
      for (unsigned int child = r + 1; child <= end; ++child)
        if (open[r]) expected.push_back(child);
      r = end;
    }
    ASSERT_EQ(g.flat(), expected) << "round " << round;
  }
}

TEST(SnippetsModel, MarksRowsWithDefaultsAndSignals) {
  snippets_data_model_t model(flat_rows(8));
  sv4_test::signal_spy_t<unsigned int> states(model.row_state_updated);
  sv4_test::signal_spy_t<> updates(model.hierarchy_updated);
  model.create_group(0, 99);
  model.create_group(5, 0);
  EXPECT_EQ(model.get_row_hierarchical_state(0), row_state_expanded);
  EXPECT_EQ(model.get_row_hierarchical_state(5), row_state_collapsed);
  EXPECT_EQ(model.get_row_hierarchical_state(6), row_state_none);
  model.set_default_expanded_row(5);
  model.set_default_hierarchical_state(row_state_collapsed);
  model.create_group(5, 0);
  EXPECT_EQ(model.get_row_hierarchical_state(5), row_state_collapsed);
  EXPECT_EQ(model.get_default_hierarchical_state(), row_state_collapsed);
  EXPECT_EQ(states.count(), 3u);
  EXPECT_EQ(updates.count(), 0u);
  model.set_row_hierarchical_state(1000, row_state_expanded);  // any row may be stored
  EXPECT_EQ(std::get<0>(states.last()), 1000u);
  EXPECT_EQ(updates.count(), 1u);
  EXPECT_EQ(model.get_row_hierarchical_state(1000), row_state_expanded);
  EXPECT_EQ(model.get_row_hierarchy_level(3), 0);
  EXPECT_EQ(model.get_flat_row_index(7), 7u);
  EXPECT_EQ(model.get_row_count(), 8u);
  model.clear_hierarchy();
  EXPECT_EQ(model.get_row_hierarchical_state(0), row_state_none);
  model.set_flat_data_model(flat_pointer_t());
  EXPECT_EQ(model.get_row_count(), 0u);
  EXPECT_EQ(model.get_model_type(), hierarchical_mode_snippets);
}

TEST(SnippetsModel, StateSignalComesBeforeFullRefresh) {
  snippets_data_model_t model(flat_rows(2));
  std::vector<int> order;
  struct listener_t : utilkit2::subscriber_base_t {
    std::vector<int>* order;
    void on_row(unsigned int) { order->push_back(1); }
    void on_all() { order->push_back(2); }
  } listener;
  listener.order = &order;
  model.row_state_updated.connect(&listener, &listener_t::on_row);
  model.hierarchy_updated.connect(&listener, &listener_t::on_all);
  model.set_row_hierarchical_state(1, row_state_none);
  model.update_hierarchy();
  snippets_data_model_t copy(model);
  copy.set_row_hierarchical_state(0, row_state_collapsed);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 2, 1, 2}));
  EXPECT_EQ(copy.get_row_hierarchical_state(1), row_state_none);
  EXPECT_EQ(model.get_row_hierarchical_state(0), row_state_none);
}

}  // namespace
