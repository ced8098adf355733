// Random sequences of builds, expands, collapses, UpdateRowHierarchy and ExpandById on trees of a
// few hundred items, compared after every step with a plain reference tree whose recursive walk
// yields the rows that must be visible. The model checker watches throughout.
#include <gtest/gtest.h>

#include <random>

#include "test_tree.h"

namespace {

using namespace sv4_test;
using Tree = test_tree_t;
using rows_t = std::vector<std::pair<unsigned int, int>>;  // (data, level) per row

// What the item tree should be, kept independently; node 0 is the root, data is unique.
struct reference_t {
  struct node_t {
    unsigned int data;
    bool group, expanded;
    int parent;
    std::vector<int> children;
  };
  std::vector<node_t> nodes{{0, true, true, -1, {}}};
  std::map<unsigned int, int> by_data;
  const std::map<unsigned int, std::vector<lazy_child_t>>* lazy = nullptr;

  int add(int parent, unsigned int data, bool group, bool expanded) {
    nodes.push_back({data, group, expanded, parent, {}});
    nodes[parent].children.push_back(by_data[data] = static_cast<int>(nodes.size()) - 1);
    nodes[parent].group = true;
    return by_data[data];
  }
  bool open(int n) const { return nodes[n].group && nodes[n].expanded; }
  bool visible(int n) const {
    return nodes[n].parent < 0 || (open(nodes[n].parent) && visible(nodes[n].parent));
  }
  // The expand walk: lazy children for an empty group, then the same for every open child.
  void fill(int n) {
    if (nodes[n].group && nodes[n].children.empty()) {
      const auto found = lazy->find(nodes[n].data);
      if (found == lazy->end() || found->second.empty()) return void(nodes[n].group = false);
      for (const lazy_child_t& c : found->second) add(n, c.data, c.group, c.group && c.open);
    }
    for (std::size_t i = 0; i < nodes[n].children.size(); ++i)
      if (open(nodes[n].children[i])) fill(nodes[n].children[i]);
  }
  void expand(int n) {
    if (open(n)) return;
    nodes[n].expanded = true;
    if (nodes[n].group) fill(n);
  }
  void update(int n) {
    const bool was_open = open(n);
    nodes[n].children.clear();
    nodes[n].expanded = true;
    if (nodes[n].group) fill(n);
    nodes[n].expanded = was_open;
  }
  int find(int n, unsigned int data) const {
    for (int c : nodes[n].children)
      if (int inner = nodes[c].data == data ? c : find(c, data); inner >= 0) return inner;
    return -1;
  }
  void expand_by_id(unsigned int data) {
    const int found = find(0, data);
    for (int a = found < 0 ? 0 : nodes[found].parent; a > 0; a = nodes[a].parent) {
      if (!visible(a)) {
        nodes[a].expanded = true;
      } else if (!open(a)) {
        return expand(a);
      }
    }
  }
  void walk(int n, int depth, rows_t& rows) const {
    for (int c : nodes[n].children) {
      rows.emplace_back(nodes[c].data, depth);
      if (open(c)) walk(c, depth + 1, rows);
    }
  }
};

class random_run_t {
 public:
  explicit random_run_t(unsigned int seed) : m_random(seed) { m_ref.lazy = &m_tree.lazy; }

  void rebuild() {
    m_tree.Clear();
    m_checker.resync();  // Populate announces its rows as inserted into an empty list
    m_ref.nodes.resize(1);
    m_ref.nodes[0].children.clear();
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
    const int row = pick(-1, m_tree.GetRowCount());
    const unsigned int data = m_tree.RowIsValid(row) ? m_tree.GetItemData(row) : 0;
    const int node = m_tree.RowIsValid(row) ? m_ref.by_data[data] : -1;
    const int what = pick(0, 9);
    if (what == 0) return rebuild();
    if (what < 3) m_tree.OnExpandRow(row, true);
    if (what < 3 && node >= 0) m_ref.expand(node);
    if (what == 3 || what == 4) m_tree.OnExpandRow(row, false);
    if ((what == 3 || what == 4) && node >= 0) m_ref.nodes[node].expanded = false;
    if ((what == 5 || what == 6) && node >= 0) plan_lazy(data);
    if (what == 5 || what == 6) m_tree.UpdateRowHierarchy(row);
    if ((what == 5 || what == 6) && node >= 0) m_ref.update(node);
    if (what < 7) return;
    const unsigned int wanted = static_cast<unsigned int>(pick(1, m_next_data));
    m_tree.ExpandById(wanted);
    m_ref.expand_by_id(wanted);
  }

  rows_t expected() const {
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
  std::size_t changes() const { return m_checker.changes_checked(); }

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

  // A random subtree under reference node `parent` through AddItem with every group mode.
  void build(int parent, int depth) {
    for (int n = pick(depth == 0 ? 5 : 0, depth == 0 ? 40 : 5); n > 0; --n) {
      const unsigned int data = m_next_data++;
      plan_lazy(data);
      const int kind = depth >= 3 ? 0 : pick(0, 3);  // leaf, empty lazy group, open, closed group
      const bool last = n == 1 && depth > 0 && kind == 0;
      if (kind < 2) {
        m_tree.AddItem(data, kind == 1, last ? Tree::GropLastItem : Tree::GropItem);
        m_ref.add(parent, data, kind == 1, false);
        if (last) return;
        continue;
      }
      m_tree.AddItem(data, true, kind == 2 ? Tree::GropOpenExpanded : Tree::GropOpenCollapsed);
      build(m_ref.add(parent, data, true, kind == 2), depth + 1);
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
