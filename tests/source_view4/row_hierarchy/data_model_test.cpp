// The grouped and snippet models over a flat model: group rules, expanding through the view, bad
// input (rows out of range, overlapping, reversed and overlong groups, a missing flat model), a
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
  void rebuild(std::initializer_list<std::pair<unsigned int, unsigned int>> groups) {
    model.clear_hierarchy();
    for (const auto& [first, last] : groups) model.create_group(first, last);
    model.update_hierarchy();
  }
  hierarchical_data_model_t model;
  sv4_test::model_checker_t<hierarchical_data_model_t> checker{model};
  sv4_test::signal_spy_t<> updates{model.hierarchy_updated};
};

TEST(GroupedModel, GroupsBecomeCollapsedHeadersAndRowsOutsideAnswerDefaults) {
  grouped_t g(6);
  g.rebuild({{1, 3}});
  EXPECT_EQ(g.flat(), (U{0, 1, 4, 5}));
  EXPECT_EQ(g.model.get_row_hierarchical_state(1), row_state_collapsed);
  g.model.set_row_hierarchical_state(1, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(g.model.get_row_hierarchy_level(2), 1);
  g.model.set_row_hierarchical_state(1, row_state_none);
  for (unsigned int row : {6u, 0xFFFFFFFFu, 0x80000000u}) {
    EXPECT_EQ(g.model.get_row_hierarchical_state(row), row_state_none);
    EXPECT_EQ(g.model.get_row_hierarchy_level(row), 0);
    EXPECT_EQ(g.model.get_flat_row_index(row), no_row);
    g.model.set_row_hierarchical_state(row, row_state_collapsed);
  }
  g.model.clear_hierarchy();
  EXPECT_EQ(g.model.get_row_count(), 6u);  // shown until the next rebuild
  g.model.update_hierarchy();
  EXPECT_EQ(g.model.get_row_hierarchical_state(1), row_state_none);
  EXPECT_EQ(g.updates.count(), 7u);
  EXPECT_EQ(g.checker.changes_checked(), 1u);
}

TEST(GroupedModel, ReversedOverlappingAndOverlongGroups) {
  grouped_t g(6);
  g.rebuild({{2, 2}, {0, 5}, {2, 3}});  // 2..2 ends before it starts; it lies inside 0..5
  EXPECT_EQ(g.flat(), (U{0}));
  g.model.set_row_hierarchical_state(0, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5}));
  g.rebuild({{2, 2}, {4, 0xFFFFFFFF}});  // 2's only child is 3; 4 stops at the last flat row
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 4}));
  g.model.set_row_hierarchical_state(3, row_state_expanded);
  g.model.set_row_hierarchical_state(2, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5}));
  g.rebuild({{1, 3}, {1, 2}, {5, 5}});  // 1 ends at 2; 5's one child does not exist
  EXPECT_EQ(g.flat(), (U{0, 1, 3, 4, 5}));
  g.model.set_row_hierarchical_state(4, row_state_expanded);
  g.model.set_row_hierarchical_state(1, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3, 4, 5, 6}));
}

// A flat model that makes the grouped model let go of it while the rows are built.
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
  g.model.update_hierarchy();  // empties the rows, fires nothing
  EXPECT_EQ(g.model.get_row_count(), 0u);
  EXPECT_EQ(g.updates.count(), 1u);
  auto* vanishing = new vanishing_model_t;
  const flat_pointer_t keep(vanishing);  // keeps it alive after the grouped model lets go
  vanishing->set_row_count(10);
  vanishing->owner = &g.model;
  g.model.set_flat_data_model(keep);
  g.rebuild({{0, 1}});  // the third count is answered, the fourth pass meets an empty pointer
  EXPECT_EQ(recorder.expressions(), std::vector<std::string>{"m_ptr != 0"});
  EXPECT_EQ(g.flat(), (U{0, 2, 3}));
  g.model.set_row_hierarchical_state(0, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3}));
}

// Random group lists and toggles against the grouping rules applied directly.
TEST(GroupedModel, RandomGroupsMatchTheRules) {
  std::mt19937 random(5);
  auto pick = [&](unsigned int n) { return std::uniform_int_distribution<unsigned>(0, n)(random); };
  grouped_t g(60);
  for (int round = 0; round < 200; ++round) {
    std::map<unsigned int, unsigned int> groups;
    std::map<unsigned int, bool> open;  // header flat row -> expanded
    g.model.clear_hierarchy();
    for (unsigned int n = pick(12), first = 0, last = 0; n > 0; --n) {
      g.model.create_group(first = pick(62), last = pick(70));
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
      for (unsigned int child = r + 1; child <= end && open[r]; ++child) expected.push_back(child);
      r = end;
    }
    ASSERT_EQ(g.flat(), expected) << "round " << round;
  }
}

TEST(SnippetsModel, MarksRowsWithDefaultsAndSignals) {
  snippets_data_model_t model(flat_rows(8));
  std::vector<unsigned int> order;  // the row of each row_state_updated, 999 for hierarchy_updated
  struct listener_t : utilkit2::subscriber_base_t {
    std::vector<unsigned int>* order;
    void on_row(unsigned int row) { order->push_back(row); }
    void on_all() { order->push_back(999); }
  } listener;
  listener.order = &order;
  model.row_state_updated.connect(&listener, &listener_t::on_row);
  model.hierarchy_updated.connect(&listener, &listener_t::on_all);
  model.create_group(0, 99);
  model.create_group(5, 0);
  EXPECT_EQ(model.get_row_hierarchical_state(0), row_state_expanded);
  EXPECT_EQ(model.get_row_hierarchical_state(5), row_state_collapsed);
  model.set_default_expanded_row(5);
  model.set_default_hierarchical_state(row_state_collapsed);
  model.create_group(5, 0);
  EXPECT_EQ(model.get_row_hierarchical_state(5), row_state_collapsed);
  model.set_row_hierarchical_state(1000, row_state_expanded);  // any row may be stored
  model.update_hierarchy();
  EXPECT_EQ(order, (U{0, 5, 5, 1000, 999, 999}));
  EXPECT_EQ((U{model.get_row_hierarchical_state(1000), model.get_row_hierarchical_state(6),
               static_cast<unsigned int>(model.get_row_hierarchy_level(3)),
               model.get_flat_row_index(7), model.get_row_count()}),
            (U{row_state_expanded, row_state_none, 0, 7, 8}));
  snippets_data_model_t copy(model);
  model.clear_hierarchy();
  EXPECT_EQ(model.get_row_hierarchical_state(0), row_state_none);
  EXPECT_EQ(copy.get_row_hierarchical_state(0), row_state_expanded);
  copy.set_flat_data_model(flat_pointer_t());
  EXPECT_EQ(copy.get_row_count(), 0u);
}

}  // namespace
