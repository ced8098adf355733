// The row engine and item tree: random builds, expands, collapses and updates against a reference
// tree; group modes, the cursor, notifications, sorting, copies, never a discarded item.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unordered_set>

#include "support/assertion_recorder.h"
#include "test_tree.h"

namespace {

using namespace source_view4;
using namespace sv4_test;
using Tree = test_tree_t;
using model_t = hierarchical_data_model_t;
using V = std::vector<unsigned int>;
using I = std::vector<int>;

// 1 [2 [3, 4], 5], 6 with 1 and 2 open: six rows.
void build_nested(Tree& tree) {
  tree.AddItem(1, true, Tree::GropOpenExpanded);
  tree.AddItem(2, true, Tree::GropOpenExpanded);
  tree.AddItem(3, false, Tree::GropItem);
  tree.AddItem(4, false, Tree::GropLastItem);
  tree.AddItem(5, false, Tree::GropLastItem);
  tree.AddItem(6, false, Tree::GropItem);
}

// Builds 1 [2, 3], 4, 5 with each mode for the group, then adds items through the cursor.
TEST(RowEngine, GroupModesRowStatesAndCursor) {
  for (const auto mode : {Tree::GropOpenExpanded, Tree::GropOpenCollapsed}) {
    Tree tree;
    tree.AddItem(1, true, mode);
    tree.AddItem(2, false, Tree::GropItem);
    tree.AddItem(3, false, Tree::GropLastItem);
    tree.AddItem(4, false, Tree::GropLastItem);       // on the root: the cursor stays there
    tree.CloseGroup();                                // on the root: nothing
    tree.AddItem(5, false, Tree::GropOpenCollapsed);  // a leaf that starts Collapsed
    tree_checker_t checker(tree);
    tree.OnExpandRow(0, true);
    EXPECT_EQ(tree.levels(), (I{0, 1, 1, 0, 0}));
    EXPECT_EQ((I{tree.GetRowState(0), tree.GetRowState(2), tree.GetRowState(4)}),
              (I{Tree::Expanded, Tree::NoChildren, Tree::Collapsed}));
    EXPECT_EQ(checker.deltas(), mode == Tree::GropOpenExpanded ? I{} : I{2});
    tree.SetCurItem(0);  // after row 0, under its item
    tree.AddItem(8, false, Tree::GropItem);
    tree.SetCurItem(-1);  // at the end, under the root
    tree.AddItem(4, false, Tree::GropItem);
    checker.resync();
    EXPECT_EQ((I{tree.GetRowById(4), tree.GetRowById(1), tree.GetRowById(99)}), (I{4, 0, -1}));
    tree.OnExpandRow(4, false);              // the cursor goes to the upper item 4
    tree.AddItem(6, false, Tree::GropItem);  // 4 is closed: no row yet
    tree.OnExpandRow(4, true);
    EXPECT_EQ(tree.data(), (V{1, 8, 2, 3, 4, 6, 5, 4}));
  }
}

// 7 is a lazy group whose children are added but answered as none: they and their rows go.
TEST(RowEngine, ChangesAreNotifiedOnceWithTheirRowCount) {
  Tree tree;
  tree.lazy[7] = {{70, false, false}, {71, false, false}};
  tree.answer_none = true;
  tree.AddItem(7, true, Tree::GropItem);
  build_nested(tree);
  tree_checker_t checker(tree);
  tree.OnExpandRow(2, false);  // 2 loses 3 and 4
  tree.OnExpandRow(2, false);  // already collapsed: nothing
  tree.OnExpandRow(1, false);
  tree.OnExpandRow(2, false);  // the leaf 6: becomes Collapsed, nothing removed, still notified
  tree.OnExpandRow(0, true);   // 7 becomes a leaf
  EXPECT_EQ((I{tree.GetRowState(0), tree.GetRowState(2)}), (I{Tree::NoChildren, Tree::Collapsed}));
  tree.OnExpandRow(1, true);
  tree.OnExpandRow(2, true);
  tree.OnExpandRow(1, false);
  tree.OnExpandRow(1, true);  // 2 was left open: its children come back in the same change
  EXPECT_EQ(tree.data(), (V{7, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(checker.deltas(), (I{-2, -2, 0, 0, 2, 2, -4, 4}));
  EXPECT_EQ(tree.TranslateIndex(4, nullptr), 4);  // at rest between changes
}

TEST(RowEngine, RowsOutOfRangeAnswerDefaultsAndChangeNothing) {
  Tree tree;
  build_nested(tree);
  tree_checker_t checker(tree);
  for (int row : {-1, 6, 1 << 30}) {
    EXPECT_EQ((I{tree.GetRowState(row), tree.GetRowLevel(row)}), (I{Tree::NoChildren, 0}));
    tree.OnExpandRow(row, false);
    tree.UpdateRowHierarchy(row);
    tree.ExpandCurrent(row, true);
    tree.SortRows(row, 3);
    tree.InsertRow(row == 6 ? 7 : row, Tree::NoChildren, 0, nullptr);
  }
  EXPECT_EQ(tree.data(), (V{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(checker.deltas(), I{});
}

TEST(RowEngine, SortKeepsSubtreesStableRenormalisesAndMapsRows) {
  Tree tree;
  tree_checker_t checker(tree);
  tree.sort_descending = true;
  tree.lazy[0] = {{1, true, true}, {2, false, false}, {3, true, false}};
  tree.lazy[1] = {{11, false, false}, {12, false, false}};
  tree.Populate();  // sorts the top rows, then fills open 1 with its sorted children
  tree.Populate();  // built already: nothing
  EXPECT_EQ(tree.data(), (V{3, 2, 1, 12, 11}));
  tree.Clear();
  checker.resync();
  build_nested(tree);
  tree.SortRows(0, 6);
  EXPECT_EQ(tree.data(), (V{6, 1, 5, 2, 4, 3}));
  tree.ModelChanged();  // as a subclass announces its own whole-list sort; the checker translates
  Tree copy(tree);
  tree.ClearTranslators();
  EXPECT_EQ(copy.TranslateIndex(0, nullptr), 1);  // the copy's own sort translator
  Tree equal;  // 40 siblings with keys 1 and 0 (data % 100): equal keys keep their order
  equal.sort_descending = true;
  for (unsigned int i = 0; i < 40; ++i) equal.AddItem(i * 100 + i % 2, false, Tree::GropItem);
  V expected = equal.data();
  std::stable_partition(expected.begin(), expected.end(), [](unsigned int d) { return d % 2; });
  equal.SortRows(0, 40);
  EXPECT_EQ(equal.data(), expected);
  Tree raw;
  for (int level : {0, 2, 1}) raw.InsertRow(raw.GetRowCount(), Tree::NoChildren, level, nullptr);
  raw.SortRows(1, 3);  // stops at the shallower row 2
  EXPECT_EQ(raw.levels(), (I{0, 2, 1}));
  raw.SortRows(0, 2);
  EXPECT_EQ(raw.levels(), (I{0, 1, 1}));
}

// A copy's rows and cursor designate its own items (its checker sees that), and its signal keeps
// the connections of the original.
TEST(RowEngine, CopiesOwnTheirTreeAndKeepConnections) {
  Tree tree;
  build_nested(tree);
  tree.SetCurItem(1);  // on 2
  tree_checker_t checker(tree);
  Tree copy(tree);
  copy.AddItem(9, false, Tree::GropItem);  // under the copy's 2
  tree_checker_t copy_checker(copy);
  copy.OnExpandRow(0, false);
  copy.OnExpandRow(0, true);
  EXPECT_EQ(checker.deltas(), (I{0, 0}));  // the original's checker heard the copy's changes
  Tree assigned;
  assigned = copy;
  tree_checker_t assigned_checker(assigned);
  assigned.OnExpandRow(1, false);
  EXPECT_EQ(copy.data(), (V{1, 2, 3, 4, 9, 5, 6}));  // 9 is the last child of 2
  EXPECT_EQ(assigned.data(), (V{1, 2, 5, 6}));
  EXPECT_EQ(tree.data(), (V{1, 2, 3, 4, 5, 6}));
}

// ---- discarded items ----

template <class Model>
void collect(const typename Model::CHierarchicalItem& item,
             std::unordered_set<const void*>& items) {
  for (const auto& child : *item.childList) {
    items.insert(&child);
    collect<Model>(child, items);
  }
}

// Every row designates an item of the tree (not one discarded into the pool).
template <class Model>
bool rows_are_live(const Model& model) {
  std::unordered_set<const void*> items;
  collect<Model>(model.GetRootItem(), items);
  for (int row = 0; row < model.GetRowCount(); ++row)
    if (items.count(model.GetItemByRow(row)) == 0) return false;
  return true;
}

// Item 99 lands between header 0 and its children 1 and 2 (the cursor stayed on row 0 after the
// expand); rebuilding the header's children must take the rows of 1 and 2 away with the items.
TEST(DiscardedItems, GroupedModelDropsTheirRowsAndKeepsTheCursorOnALiveItem) {
  auto* flat = new data_model_t;
  flat->set_row_count(4);
  model_t m{utilkit2::smart_pointer_t<data_model_base_t>(flat)};
  m.create_group(0, 2);
  m.update_hierarchy();
  m.set_row_hierarchical_state(0, row_state_expanded);
  m.AddItem(98, false, model_t::GropLastItem);
  m.AddItem(99, false, model_t::GropItem);
  EXPECT_EQ(flat_rows_of(m), (V{0, 98, 99, 1, 2, 3}));
  m.set_row_hierarchical_state(0, row_state_collapsed);
  m.UpdateRowHierarchy(0);
  EXPECT_EQ(flat_rows_of(m), (V{0, 99, 3}));
  EXPECT_TRUE(rows_are_live(m));
  m.set_row_hierarchical_state(2, row_state_expanded);
  model_t copy(m);  // threw: the cursor rested on a discarded item
  EXPECT_EQ(flat_rows_of(copy), (V{0, 99, 3}));
  m.AddItem(27, true, model_t::GropOpenExpanded);  // never returned: the item became its own parent
  EXPECT_EQ(flat_rows_of(m), (V{0, 99, 3, 27}));
  EXPECT_EQ(m.get_row_hierarchy_level(3), 1);
  EXPECT_TRUE(rows_are_live(m) && rows_are_live(copy));
}

// The same stray rows under a lazy group whose AddNewItems answers none: the rows of what it
// added, and of the earlier children, go; the cursor comes back to the group's row.
TEST(DiscardedItems, LazyGroupAnsweringNoneDropsEveryRowBeneathIt) {
  Tree tree;
  tree.AddItem(1, true, Tree::GropOpenExpanded);
  tree.AddItem(2, false, Tree::GropItem);
  tree.SetCurItem(0);  // on item 1, before its child's row
  tree.AddItem(3, false, Tree::GropLastItem);
  tree.AddItem(4, false, Tree::GropItem);  // top item between 3 and 2
  EXPECT_EQ(tree.data(), (V{1, 3, 4, 2}));
  tree.lazy[1] = {{5, false, false}};
  tree.answer_none = true;
  tree.UpdateRowHierarchy(0);
  EXPECT_EQ(tree.data(), (V{1, 4}));
  EXPECT_TRUE(rows_are_live(tree));
  tree.AddItem(6, false, Tree::GropItem);  // under the cursor, on item 1
  Tree copy(tree);
  EXPECT_TRUE(rows_are_live(copy));
}

TEST(DiscardedItems, AssigningAModelDoesNotMakeItsSignalForwardToItself) {
  assertion_recorder_t recorder;
  model_t a{utilkit2::smart_pointer_t<data_model_base_t>()}, b = a;
  b.hierarchy_updated.connect(&a.hierarchy_updated);
  a = b;
  EXPECT_EQ(recorder.expressions(),
            std::vector<std::string>{"static_cast<subscriber_base_t*>(this) != subscriberObj"});
  EXPECT_EQ(a.hierarchy_updated.connection_count(), 0u);
  a.set_row_hierarchical_state(0, row_state_none);  // emits once and returns
}

// ---- random sequences against the reference tree, the model checker watching ----

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
  reference_tree_t m_ref;
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
