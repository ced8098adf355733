// The row engine and item tree where the random test does not reach: the group-mode table, the
// engine's notifications, lazy leaves, lookups, sorting, translators, copying and rows out of
// range. A model checker watches every model.
#include <gtest/gtest.h>

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

TEST(RowEngine, GroupModesChooseRowsStatesAndCursor) {
  for (const auto mode : {Tree::GropOpenExpanded, Tree::GropOpenCollapsed}) {
    Tree tree;
    tree.AddItem(1, true, mode);
    tree.AddItem(2, false, Tree::GropItem);
    tree.AddItem(3, false, Tree::GropLastItem);
    tree.AddItem(4, false, Tree::GropItem);
    tree.CloseGroup();                                // on the root: nothing
    tree.AddItem(5, false, Tree::GropOpenCollapsed);  // a leaf that starts Collapsed
    tree_checker_t checker(tree);
    tree.OnExpandRow(0, true);
    EXPECT_EQ(tree.data(), (V{1, 2, 3, 4, 5}));
    EXPECT_EQ(tree.levels(), (I{0, 1, 1, 0, 0}));
    EXPECT_EQ((I{tree.GetRowState(0), tree.GetRowState(2), tree.GetRowState(4)}),
              (I{Tree::Expanded, Tree::NoChildren, Tree::Collapsed}));
    EXPECT_EQ(checker.changes_checked(), mode == Tree::GropOpenExpanded ? 0u : 1u);
  }
}

TEST(RowEngine, ChangesAreNotifiedOnceWithTheirRowCount) {
  Tree tree;
  tree.lazy[7] = {};
  build_nested(tree);
  tree.AddItem(7, true, Tree::GropItem);  // a group whose lazy children never come
  tree_checker_t checker(tree);
  change_log_t log(tree);
  tree.OnExpandRow(1, false);  // 2 loses 3 and 4
  tree.OnExpandRow(1, false);  // already collapsed: nothing
  tree.OnExpandRow(0, false);
  tree.OnExpandRow(1, false);  // a leaf: becomes Collapsed, nothing removed, still notified
  tree.OnExpandRow(2, true);   // 7 finds no children and becomes a leaf
  EXPECT_EQ((I{tree.GetRowState(1), tree.GetRowState(2)}), (I{Tree::Collapsed, Tree::NoChildren}));
  tree.OnExpandRow(0, true);
  tree.OnExpandRow(1, true);
  tree.OnExpandRow(0, false);
  tree.OnExpandRow(0, true);  // 2 was left open: its children come back in the same change
  EXPECT_EQ(tree.data(), (V{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(log.deltas, (I{-2, -2, 0, 0, 2, 2, -4, 4}));
  bool removed = false;
  EXPECT_EQ(tree.TranslateIndex(4, &removed), 4);  // at rest between changes
  tree.ClearTranslators();
  EXPECT_EQ(tree.TranslateIndex(7, &removed), 7);
  EXPECT_FALSE(removed);
}

TEST(RowEngine, ChildrenAnsweredAsNoneAreDroppedWithTheirRows) {
  Tree tree;
  tree.lazy[1] = {{10, false, false}, {11, false, false}};
  tree.answer_none = true;
  tree.AddItem(1, true, Tree::GropItem);
  tree.AddItem(2, false, Tree::GropItem);
  tree_checker_t checker(tree);
  tree.OnExpandRow(0, true);
  EXPECT_EQ(tree.data(), (V{1, 2}));
  EXPECT_EQ(tree.GetRowState(0), Tree::NoChildren);
}

TEST(RowEngine, AddRemoveTranslatorKeepsRowsOnTheirItems) {
  bool removed = false;
  const orrinfrw7::CAddRemoveTranslator inserted(2, 3), erased(2, -3);
  EXPECT_EQ((I{inserted.TranslateIndex(2, &removed), inserted.TranslateIndex(3, &removed),
               erased.TranslateIndex(6, &removed), erased.TranslateIndex(-1, &removed)}),
            (I{2, 6, 3, -1}));
  EXPECT_FALSE(removed);
  EXPECT_EQ(erased.TranslateIndex(5, &removed), 2);  // gone: lands on the collapsed row
  EXPECT_TRUE(removed);
  EXPECT_EQ(erased.TranslateIndex(1, &removed), 1);
  EXPECT_TRUE(removed);  // the flag is never cleared
}

TEST(RowEngine, RowsOutOfRangeAnswerDefaultsAndChangeNothing) {
  Tree tree;
  build_nested(tree);
  {
    tree_checker_t checker(tree);
    for (int row : {-1, 6, 1 << 30}) {
      EXPECT_EQ(tree.GetRowState(row), Tree::NoChildren);
      EXPECT_EQ(tree.GetRowLevel(row), 0);
      tree.OnExpandRow(row, false);
      tree.UpdateRowHierarchy(row);
      tree.ExpandCurrent(row, true);
      tree.SortRows(row, 3);
      tree.InsertRow(row == 6 ? 7 : row, Tree::NoChildren, 0, nullptr);
    }
    EXPECT_EQ(tree.data(), (V{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(checker.changes_checked(), 0u);
  }
  tree.InsertRow(6, Tree::NoChildren, 40000, nullptr);  // kept in 16 bits
  EXPECT_EQ(tree.GetRowLevel(6), -25536);
}

TEST(RowEngine, LookupsAndCursor) {
  Tree tree;
  tree.AddItem(1, true, Tree::GropOpenExpanded);
  tree.CloseGroup();
  tree.AddItem(7, false, Tree::GropItem);
  tree.AddItem(7, false, Tree::GropItem);
  tree.SetCurItem(0);  // after row 0, under its item
  tree.AddItem(8, false, Tree::GropItem);
  tree.SetCurItem(-1);  // at the end, under the root
  tree.AddItem(9, false, Tree::GropItem);
  tree_checker_t checker(tree);
  EXPECT_EQ(tree.data(), (V{1, 8, 7, 7, 9}));
  EXPECT_EQ((I{tree.GetRowById(7), tree.GetRowById(99)}), (I{2, -1}));
  tree.OnExpandRow(2, false);              // the cursor goes to the upper item 7
  tree.AddItem(5, false, Tree::GropItem);  // 7 is closed: no row yet
  tree.OnExpandRow(2, true);
  EXPECT_EQ(tree.data(), (V{1, 8, 7, 5, 7, 9}));
}

TEST(RowEngine, SortKeepsSubtreesStableRenormalisesAndMapsRows) {
  Tree tree;
  tree_checker_t checker(tree);
  tree.sort_descending = true;
  tree.lazy[0] = {{1, true, true}, {2, false, false}, {3, true, false}};
  tree.lazy[1] = {{11, false, false}, {12, false, false}, {13, false, false}};
  tree.Populate();  // sorts the top rows, then fills open 1 with its sorted children
  tree.Populate();  // built already: nothing
  EXPECT_EQ(tree.data(), (V{3, 2, 1, 13, 12, 11}));
  tree.sort_descending = false;
  tree.SortRows(0, 6);  // no order: identity
  EXPECT_EQ(tree.TranslateIndex(5, nullptr), 5);
  tree.sort_descending = true;
  tree.OnExpandRow(2, false);
  tree.Clear();
  checker.resync();
  build_nested(tree);
  tree.SortRows(0, 6);
  EXPECT_EQ(tree.data(), (V{6, 1, 5, 2, 4, 3}));
  tree.ModelChanged();  // as a subclass announces its own whole-list sort; the checker translates
  Tree copy(tree);
  tree.ClearTranslators();
  EXPECT_EQ(copy.TranslateIndex(0, nullptr), 1);  // the copy's own sort translator
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
  for (int level : {0, 2, 1}) raw.InsertRow(raw.GetRowCount(), Tree::NoChildren, level, nullptr);
  raw.SortRows(1, 3);  // stops at the shallower row 2
  EXPECT_EQ(raw.levels(), (I{0, 2, 1}));
  raw.SortRows(0, 2);
  EXPECT_EQ(raw.levels(), (I{0, 1, 1}));
}

TEST(RowEngine, CopyOwnsAnIndependentTreeAndKeepsConnections) {
  Tree tree;
  build_nested(tree);
  change_log_t log(tree);
  Tree copy(tree);
  tree_checker_t checker(copy);
  copy.OnExpandRow(0, false);
  copy.OnExpandRow(0, true);
  EXPECT_EQ(log.deltas.size(), 2u);  // the copied connection heard the copy's changes
  for (int row = 0; row < copy.GetRowCount(); ++row)
    EXPECT_NE(copy.GetItemByRow(row), tree.GetItemByRow(row));
  copy.AddItem(9, false,
               Tree::GropItem);  // the cursor is in the copy's tree: the walk left it on 2
  checker.resync();
  Tree assigned;
  assigned = copy;
  tree_checker_t assigned_checker(assigned);
  assigned.OnExpandRow(1, false);
  EXPECT_EQ(copy.data(), (V{1, 2, 9, 3, 4, 5, 6}));
  EXPECT_EQ(assigned.data(), (V{1, 2, 5, 6}));
  EXPECT_EQ(tree.data(), (V{1, 2, 3, 4, 5, 6}));
}

}  // namespace
