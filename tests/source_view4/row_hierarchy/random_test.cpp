// Random sequences of builds, expands, collapses, UpdateRowHierarchy and ExpandById on trees of a
// few hundred items, compared after every step with a plain reference tree whose recursive walk
// yields the rows that must be visible. The model checker watches throughout.
#include <gtest/gtest.h>

#include <random>

#include "support/reference_tree.h"
#include "test_tree.h"

namespace {

using namespace sv4_test;
using Tree = test_tree_t;
using reference_t = reference_tree_t;

class random_run_t {
 public:
  explicit random_run_t(unsigned int seed) : m_random(seed) { m_ref.lazy = &m_tree.lazy; }

  void rebuild() {
    m_tree.Clear();
    m_checker.resync();         // Populate announces its rows as inserted into an empty list
    m_ref.discard_children(0);  // the root keeps its flags, as the tree's does
    if (pick(0, 1)) {
      plan_lazy(0);
      m_ref.fill(0);
      m_tree.Populate();
    } else {
      build(0, 0);
    }
    m_checker.resync();
  }

  void step() {
    const int row = pick(-1, m_tree.GetRowCount()), what = pick(0, 9);
    const bool valid = m_tree.RowIsValid(row);
    const unsigned int data = valid ? m_tree.GetItemData(row) : 0;
    if (what == 0) return rebuild();
    if (what >= 7) {  // any data, also of items not yet made or discarded
      const unsigned int wanted = static_cast<unsigned int>(pick(1, m_next_data));
      m_tree.ExpandById(wanted);
      return m_ref.expand_by_id(wanted);
    }
    if (what >= 5 && valid) plan_lazy(data);
    what >= 5 ? m_tree.UpdateRowHierarchy(row) : m_tree.OnExpandRow(row, what < 3);
    if (!valid) return;
    if (what >= 5) return m_ref.update(data);
    what < 3 ? m_ref.expand(data) : void(m_ref.nodes[data].expanded = false);
  }

  rows_t expected() {
    rows_t rows;
    m_ref.walk(0, 0, rows);
    return rows;
  }
  rows_t actual() const {
    rows_t rows;
    for (int row = 0; row < m_tree.GetRowCount(); ++row)
      rows.emplace_back(m_tree.GetItemData(row), m_tree.GetRowLevel(row));
    return rows;
  }
  std::size_t changes() const { return m_checker.deltas().size(); }

 private:
  int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

  // Decides now which children AddNewItems will give for `data`, and for theirs, and so on (on
  // average fewer than one child each, so it ends).
  void plan_lazy(unsigned int data) {
    std::vector<lazy_child_t>& children = m_tree.lazy[data] = {};
    for (int n = pick(-2, 2); n > 0; --n)
      children.push_back({m_next_data++, !pick(0, 1), !pick(0, 1)});
    for (const lazy_child_t& c : children) plan_lazy(c.data);
  }

  // A random subtree under the item carrying `parent` through AddItem with every group mode.
  void build(unsigned int parent, int depth) {
    for (int n = pick(depth == 0 ? 5 : 0, depth == 0 ? 40 : 5); n > 0; --n) {
      const unsigned int data = m_next_data++;
      plan_lazy(data);
      static const Tree::GropMode modes[] = {Tree::GropItem, Tree::GropItem, Tree::GropOpenExpanded,
                                             Tree::GropOpenCollapsed};
      const int kind = depth >= 3 ? 0 : pick(0, 3);  // leaf, empty lazy group, open, closed group
      const bool last = n == 1 && depth > 0 && kind == 0;  // closes the group itself
      m_tree.AddItem(data, kind != 0, last ? Tree::GropLastItem : modes[kind]);
      m_ref.add(parent, data, kind != 0, kind == 2);
      if (last) return;
      if (kind >= 2) build(data, depth + 1);
    }
    if (depth > 0) m_tree.CloseGroup();
  }

  std::mt19937 m_random;
  Tree m_tree;
  reference_t m_ref;
  tree_checker_t m_checker{m_tree};
  unsigned int m_next_data = 1;
};

TEST(RowHierarchyRandom, MatchesReferenceWalk) {
  std::size_t changes = 0;
  for (unsigned int seed = 1; seed <= 40; ++seed) {
    random_run_t run(seed);
    run.rebuild();
    for (int step = 0; step < 300; ++step) {
      run.step();
      ASSERT_EQ(run.actual(), run.expected()) << "seed " << seed << ", step " << step;
    }
    changes += run.changes();
  }
  EXPECT_GT(changes, 3000u);  // the checker saw the changes
}

}  // namespace
