// The row engine and item tree where the random test does not reach: the group modes, lookups and
// the cursor, how often changes are notified, lazy children answered as none, rows out of range,
// sorting and copying. A model checker watches every model.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_tree.h"

namespace {

using namespace sv4_test;
using Tree = test_tree_t;
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

}  // namespace
