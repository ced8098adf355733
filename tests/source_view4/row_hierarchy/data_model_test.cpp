// The grouped and snippet models over a flat model: random groups against the grouping rules, a
// flat model missing or going away during a rebuild, and the snippet marks with their signals.
#include <gtest/gtest.h>

#include <random>

#include "support/assertion_recorder.h"
#include "support/signal_spy.h"
#include "test_tree.h"

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
  U flat() const { return sv4_test::flat_rows_of(model); }
  hierarchical_data_model_t model;
  sv4_test::model_checker_t<hierarchical_data_model_t> checker{model};
  sv4_test::signal_spy_t<> updates{model.hierarchy_updated};
};

// Random group lists and state changes against the grouping rules applied directly. Declared
// (and forgotten) groups take effect at the next rebuild, which collapses them all.
TEST(GroupedModel, RandomGroupsMatchTheRules) {
  std::mt19937 random(5);
  auto pick = [&](unsigned int n) { return std::uniform_int_distribution<unsigned>(0, n)(random); };
  grouped_t g(60);
  U expected;
  for (int round = 0; round < 200; ++round) {
    std::map<unsigned int, unsigned int> groups;
    std::map<unsigned int, bool> open;  // header flat row -> expanded
    g.model.clear_hierarchy();
    for (unsigned int n = pick(12), first = 0, last = 0; n > 0; --n) {
      g.model.create_group(first = pick(62), last = pick(70));
      groups[first] = last;
    }
    ASSERT_EQ(g.flat(), expected);
    g.updates.clear();
    g.model.update_hierarchy();
    for (int change = 0; change < 10; ++change) {
      const unsigned int row = pick(g.model.get_row_count());  // the row after the last one too
      const auto state = static_cast<hierarchical_row_state_t>(pick(2));
      if (state != row_state_none && g.model.get_row_hierarchical_state(row) != row_state_none)
        open[g.model.get_flat_row_index(row)] = state == row_state_expanded;
      g.model.set_row_hierarchical_state(row, state);
    }
    expected.clear();
    for (unsigned int r = 0; r < 60; ++r) {
      expected.push_back(r);
      if (!groups.count(r)) continue;
      const unsigned int end = std::max(r + 1, std::min(groups[r], 59u));
      for (unsigned int child = r + 1; child <= end && open[r]; ++child) expected.push_back(child);
      r = end;
    }
    ASSERT_EQ(g.flat(), expected) << "round " << round;
    ASSERT_EQ(g.updates.count(), 11u) << "round " << round;  // the rebuild and every change
  }
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
  g.model.create_group(0, 1);
  g.model.update_hierarchy();  // the third count is answered, the fourth pass meets no model
  EXPECT_EQ(recorder.expressions(), std::vector<std::string>{"m_ptr != 0"});
  EXPECT_EQ(g.flat(), (U{0, 2, 3}));
  EXPECT_EQ(g.updates.count(), 2u);
  g.model.set_row_hierarchical_state(0, row_state_expanded);
  EXPECT_EQ(g.flat(), (U{0, 1, 2, 3}));
}

TEST(SnippetsModel, MarksRowsWithDefaultsAndSignals) {
  snippets_data_model_t model(flat_rows(8));
  U order;  // the row of each row_state_updated, 999 for hierarchy_updated
  struct listener_t : utilkit2::subscriber_base_t {
    U* order;
    void on_row(unsigned int row) { order->push_back(row); }
    void on_all() { order->push_back(999); }
  } listener;
  listener.order = &order;
  model.row_state_updated.connect(&listener, &listener_t::on_row);
  model.hierarchy_updated.connect(&listener, &listener_t::on_all);
  model.create_group(0, 99);
  model.create_group(5, 0);
  model.set_default_expanded_row(6);
  model.set_default_hierarchical_state(row_state_collapsed);
  model.create_group(6, 0);
  model.set_row_hierarchical_state(1000, row_state_expanded);  // any row may be stored
  model.update_hierarchy();
  EXPECT_EQ(order, (U{0, 5, 6, 1000, 999, 999}));
  EXPECT_EQ((U{model.get_row_hierarchical_state(0), model.get_row_hierarchical_state(5),
               model.get_row_hierarchical_state(6), model.get_row_hierarchical_state(1000),
               model.get_row_hierarchical_state(7)}),
            (U{row_state_expanded, row_state_collapsed, row_state_collapsed, row_state_expanded,
               row_state_none}));
  snippets_data_model_t copy(model);
  model.clear_hierarchy();
  EXPECT_EQ(model.get_row_hierarchical_state(0), row_state_none);
  EXPECT_EQ(copy.get_row_hierarchical_state(0), row_state_expanded);
  copy.set_flat_data_model(flat_pointer_t());
  EXPECT_EQ(copy.get_row_count(), 0u);
}

}  // namespace
