// The row engine and item tree: building with group modes, expand and collapse with their
// notifications, lazy children, lookups, sorting, translators and copying. A model checker
// watches every model.
#include <gtest/gtest.h>

#include "test_tree.h"

namespace {

using sv4_test::change_log_t;
using sv4_test::row_data;
using sv4_test::row_levels;
using sv4_test::row_states;
using sv4_test::test_tree_t;
using sv4_test::tree_checker_t;
using Tree = test_tree_t;
using V = std::vector<unsigned int>;
using I = std::vector<int>;
constexpr int C = Tree::Collapsed, E = Tree::Expanded, N = Tree::NoChildren;

// 1 [2 [3, 4], 5], 6 with 1 and 2 open: six rows.
void build_nested(Tree& tree) {
  tree.AddItem(1, true, Tree::GropOpenExpanded);
  tree.AddItem(2, true, Tree::GropOpenExpanded);
  tree.AddItem(3, false, Tree::GropItem);
  tree.AddItem(4, false, Tree::GropLastItem);
  tree.AddItem(5, false, Tree::GropLastItem);
  tree.AddItem(6, false, Tree::GropItem);
}

TEST(RowEngine, GroupModesChooseRowsStatesAndCursor) {
  for (const auto mode : {Tree::GropOpenExpanded, Tree::GropOpenCollapsed}) {
    Tree tree;
    tree_checker_t checker(tree);
    tree.AddItem(1, true, mode);
    tree.AddItem(2, false, Tree::GropItem);
    tree.AddItem(3, false, Tree::GropLastItem);
    tree.AddItem(4, false, Tree::GropItem);
    tree.CloseGroup();  // on the root: nothing
    tree.AddItem(5, false, Tree::GropItem);
    checker.resync();
    if (mode == Tree::GropOpenExpanded) {
      EXPECT_EQ(row_data(tree), (V{1, 2, 3, 4, 5}));
      EXPECT_EQ(row_levels(tree), (I{0, 1, 1, 0, 0}));
      EXPECT_EQ(row_states(tree), (I{E, N, N, N, N}));
      continue;
    }
    EXPECT_EQ(row_data(tree), (V{1, 4, 5}));
    tree.OnExpandRow(0, true);
    EXPECT_EQ(row_data(tree), (V{1, 2, 3, 4, 5}));
    EXPECT_EQ(checker.changes_checked(), 1u);
  }
}

TEST(RowEngine, CollapseRemovesDescendantsAndExpandRestoresOpenSubtree) {
  Tree tree;
  build_nested(tree);
  tree_checker_t checker(tree);
  change_log_t log(tree);
  tree.OnExpandRow(1, false);  // 2 loses 3 and 4
  tree.OnExpandRow(1, false);  // already collapsed: nothing
  tree.OnExpandRow(0, false);  // 1 loses 2 and 5
  EXPECT_EQ(row_data(tree), (V{1, 6}));
  tree.OnExpandRow(1, true);  // item 2 re-opened while hidden? no: row 1 is now item 6, a leaf
  EXPECT_EQ(row_states(tree), (I{C, E}));
  tree.OnExpandRow(1, false);  // a leaf row can be collapsed too: state changes, nothing removed
  tree.OnExpandRow(0, true);
  EXPECT_EQ(row_data(tree), (V{1, 2, 5, 6}));
  tree.OnExpandRow(1, true);
  tree.OnExpandRow(0, false);
  tree.OnExpandRow(0, true);  // 2 was left open: its children come back in the same change
  EXPECT_EQ(row_data(tree), (V{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(log.deltas, (I{-2, -2, 0, 0, 2, 2, -4, 4}));
  EXPECT_EQ(checker.changes_checked(), log.deltas.size());
}

TEST(RowEngine, TranslatorDescribesChangeOnlyWhileItFires) {
  Tree tree;
  build_nested(tree);
  tree_checker_t checker(tree);
  tree.OnExpandRow(1, false);
  bool removed = false;
  EXPECT_EQ(tree.TranslateIndex(4, &removed), 4);  // at rest after the change
  EXPECT_FALSE(removed);
  tree.ClearTranslators();
  EXPECT_EQ(tree.TranslateIndex(7, nullptr), 7);
  EXPECT_EQ(checker.changes_checked(), 1u);
}

TEST(RowEngine, AddRemoveTranslatorKeepsRowsOnTheirItems) {
  bool removed = false;
  const orrinfrw7::CAddRemoveTranslator inserted(2, 3), erased(2, -3);
  EXPECT_EQ((I{inserted.TranslateIndex(2, &removed), inserted.TranslateIndex(3, &removed),
               inserted.TranslateIndex(-1, &removed)}),
            (I{2, 6, -1}));
  EXPECT_FALSE(removed);
  EXPECT_EQ(erased.TranslateIndex(6, &removed), 3);
  EXPECT_FALSE(removed);
  EXPECT_EQ(erased.TranslateIndex(5, &removed), 2);
  EXPECT_TRUE(removed);
  EXPECT_EQ(erased.TranslateIndex(1, &removed), 1);
  EXPECT_TRUE(removed);  // the flag is never cleared
}

TEST(RowEngine, OutOfRangeRowsAnswerDefaultsAndChangeNothing) {
  Tree tree;
  build_nested(tree);
  tree_checker_t checker(tree);
  for (int row : {-1, 6, 1 << 30}) {
    EXPECT_EQ(tree.GetRowState(row), Tree::NoChildren);
    EXPECT_EQ(tree.GetRowLevel(row), 0);
    EXPECT_EQ(tree.GetItemByRow(row), nullptr);
    tree.OnExpandRow(row, false);
    tree.UpdateRowHierarchy(row);
    tree.ExpandCurrent(row, true);
  }
  tree.SortRows(-1, 3);
  tree.SortRows(2, 9);
  EXPECT_EQ(row_data(tree), (V{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(checker.changes_checked(), 0u);
  tree.InsertRow(7, Tree::NoChildren, 0, nullptr);
  tree.InsertRow(-1, Tree::NoChildren, 0, nullptr);
  EXPECT_EQ(tree.GetRowCount(), 6);
  tree.InsertRow(6, Tree::NoChildren, 40000, nullptr);  // kept in 16 bits
  EXPECT_EQ(tree.GetRowLevel(6), -25536);
}

TEST(RowEngine, LazyChildrenAndUpdateRowHierarchy) {
  Tree tree;
  tree.lazy[1] = {{10, false, false}, {11, true, false}};
  tree.AddItem(1, true, Tree::GropItem);
  tree.AddItem(2, true, Tree::GropItem);
  tree_checker_t checker(tree);
  change_log_t log(tree);
  tree.OnExpandRow(1, true);  // no lazy children for 2: it becomes a leaf
  EXPECT_EQ(row_states(tree), (I{C, N}));
  tree.OnExpandRow(0, true);
  EXPECT_EQ(row_data(tree), (V{1, 10, 11, 2}));
  tree.lazy[1] = {{12, false, false}};
  tree.UpdateRowHierarchy(0);  // open: collapse, fresh children, stays open
  EXPECT_EQ(row_data(tree), (V{1, 12, 2}));
  tree.lazy[1] = {{13, false, false}, {14, false, false}};
  tree.OnExpandRow(0, false);
  tree.UpdateRowHierarchy(0);  // closed: expand with fresh children, collapse again
  EXPECT_EQ(row_data(tree), (V{1, 2}));
  tree.OnExpandRow(0, true);
  EXPECT_EQ(row_data(tree), (V{1, 13, 14, 2}));
  EXPECT_EQ(log.deltas, (I{0, 2, -2, 1, -1, 2, -2, 2}));
  EXPECT_EQ(tree.lazy_calls, 4);
}

TEST(RowEngine, ExpandByIdOpensTheChainAndLookupsFindUpperRow) {
  Tree tree;
  tree.AddItem(1, true, Tree::GropOpenCollapsed);
  tree.AddItem(2, true, Tree::GropOpenCollapsed);
  tree.AddItem(3, true, Tree::GropOpenCollapsed);
  tree.AddItem(7, false, Tree::GropItem);
  tree.SetCurItem(-1);
  tree.AddItem(7, false, Tree::GropItem);
  tree_checker_t checker(tree);
  change_log_t log(tree);
  tree.ExpandById(99);
  tree.ExpandById(7);
  EXPECT_EQ(row_data(tree), (V{1, 2, 3, 7, 7}));
  EXPECT_EQ(log.deltas, (I{3}));
  EXPECT_EQ(tree.GetRowById(7), 3);
  EXPECT_EQ(tree.GetRowById(99), -1);
  tree.SetCurItem(2);  // the cursor goes after row 2: new children of item 3 come first
  tree.AddItem(8, false, Tree::GropItem);
  EXPECT_EQ(row_data(tree), (V{1, 2, 3, 8, 7, 7}));
}

TEST(RowEngine, PopulateBuildsOnceSortsAndFillsOpenRows) {
  Tree tree;
  tree_checker_t checker(tree);
  change_log_t log(tree);
  tree.sort_descending = true;
  tree.lazy[0] = {{1, true, true}, {2, false, false}, {3, true, false}};
  tree.lazy[1] = {{11, false, false}, {12, false, false}, {13, false, false}};
  tree.Populate();
  EXPECT_EQ(row_data(tree), (V{3, 2, 1, 13, 12, 11}));
  EXPECT_EQ(log.deltas, (I{3, 3}));
  tree.Populate();
  EXPECT_EQ(tree.GetRowCount(), 6);
  EXPECT_EQ(log.deltas.size(), 2u);
}

TEST(RowEngine, SortKeepsSubtreesRenormalisesLevelsAndMapsRows) {
  Tree tree;
  tree.AddItem(1, true, Tree::GropOpenExpanded);
  tree.AddItem(11, false, Tree::GropLastItem);
  tree.AddItem(2, true, Tree::GropOpenExpanded);
  tree.AddItem(21, false, Tree::GropLastItem);
  tree_checker_t checker(tree);
  tree.SortRows(0, 4);  // defaults: no order, identity
  EXPECT_EQ(tree.TranslateIndex(3, nullptr), 3);
  tree.sort_descending = true;
  tree.SortRows(0, 4);
  EXPECT_EQ(row_data(tree), (V{2, 21, 1, 11}));
  EXPECT_EQ(row_levels(tree), (I{0, 1, 0, 1}));
  tree.ModelChanged();  // a subclass announces its own whole-list sort; the checker translates
  EXPECT_EQ((I{tree.TranslateIndex(0, nullptr), tree.TranslateIndex(1, nullptr),
               tree.TranslateIndex(2, nullptr), tree.TranslateIndex(3, nullptr)}),
            (I{2, 3, 0, 1}));
  Tree copy(tree);
  tree.ClearTranslators();
  EXPECT_EQ(copy.TranslateIndex(0, nullptr), 2);  // the copy's own sort translator
  Tree equal;  // 40 siblings with two keys: equal keys keep their order
  equal.sort_descending = true;
  std::vector<const void*> ones, zeros;
  for (unsigned int i = 0; i < 40; ++i) {
    equal.AddItem(i % 2, false, Tree::GropItem);
    (i % 2 ? ones : zeros).push_back(equal.GetItemByRow(static_cast<int>(i)));
  }
  equal.SortRows(0, 40);
  ones.insert(ones.end(), zeros.begin(), zeros.end());
  for (int row = 0; row < 40; ++row) EXPECT_EQ(equal.GetItemByRow(row), ones[row]);
  Tree raw;
  raw.InsertRow(0, Tree::NoChildren, 0, nullptr);
  raw.InsertRow(1, Tree::NoChildren, 2, nullptr);
  raw.InsertRow(2, Tree::NoChildren, 1, nullptr);
  raw.SortRows(1, 3);  // stops at the shallower row 2
  EXPECT_EQ(row_levels(raw), (I{0, 2, 1}));
  raw.SortRows(0, 2);
  EXPECT_EQ(row_levels(raw), (I{0, 1, 1}));
}

TEST(RowEngine, CopyOwnsAnIndependentTreeAndKeepsConnections) {
  Tree tree;
  build_nested(tree);
  tree.OnExpandRow(1, true);
  change_log_t log(tree);
  Tree copy(tree);
  tree_checker_t checker(copy);
  copy.OnExpandRow(0, false);
  EXPECT_EQ(row_data(tree), (V{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(row_data(copy), (V{1, 6}));
  EXPECT_EQ(log.deltas.size(), 1u);  // the copied connection heard the copy's change
  copy.OnExpandRow(0, true);
  for (int row = 0; row < copy.GetRowCount(); ++row)
    EXPECT_NE(copy.GetItemByRow(row), tree.GetItemByRow(row));
  copy.AddItem(9, false,
               Tree::GropItem);  // the cursor is in the copy's tree: the walk left it on 2
  checker.resync();
  EXPECT_EQ(row_data(copy), (V{1, 2, 9, 3, 4, 5, 6}));
  Tree assigned;
  assigned = copy;
  tree_checker_t assigned_checker(assigned);
  assigned.OnExpandRow(1, false);
  EXPECT_EQ(row_data(assigned), (V{1, 2, 5, 6}));
  EXPECT_EQ(copy.GetRowCount(), 7);
}

}  // namespace
