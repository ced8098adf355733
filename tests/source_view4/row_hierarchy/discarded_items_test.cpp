// Rows and the builder cursor never designate discarded items, also after a cursor left inside an
// open group has put rows apart from their parent's; and assigning a model whose signal forwards
// to the target's own signal does not make that signal forward to itself.
#include <gtest/gtest.h>

#include <unordered_set>

#include "source_view4/hierarchical_data_model.h"
#include "support/assertion_recorder.h"
#include "test_tree.h"

namespace {

using namespace source_view4;
using U = std::vector<unsigned int>;
using model_t = hierarchical_data_model_t;

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

U flat_rows_of(const model_t& model) {
  U rows;
  for (unsigned int row = 0; row < model.get_row_count(); ++row)
    rows.push_back(model.get_flat_row_index(row));
  return rows;
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
  EXPECT_EQ(flat_rows_of(m), (U{0, 98, 99, 1, 2, 3}));
  m.set_row_hierarchical_state(0, row_state_collapsed);
  m.UpdateRowHierarchy(0);
  EXPECT_EQ(flat_rows_of(m), (U{0, 99, 3}));
  EXPECT_TRUE(rows_are_live(m));
  m.set_row_hierarchical_state(2, row_state_expanded);
  model_t copy(m);  // threw: the cursor rested on a discarded item
  EXPECT_EQ(flat_rows_of(copy), (U{0, 99, 3}));
  m.AddItem(27, true, model_t::GropOpenExpanded);  // never returned: the item became its own parent
  EXPECT_EQ(flat_rows_of(m), (U{0, 99, 3, 27}));
  EXPECT_EQ(m.get_row_hierarchy_level(3), 1);
  EXPECT_TRUE(rows_are_live(m) && rows_are_live(copy));
}

// The same stray rows under a lazy group whose AddNewItems answers none: the rows of what it
// added, and of the earlier children, go; the cursor comes back to the group's row.
TEST(DiscardedItems, LazyGroupAnsweringNoneDropsEveryRowBeneathIt) {
  sv4_test::test_tree_t tree;
  tree.AddItem(1, true, sv4_test::test_tree_t::GropOpenExpanded);
  tree.AddItem(2, false, sv4_test::test_tree_t::GropItem);
  tree.SetCurItem(0);  // on item 1, before its child's row
  tree.AddItem(3, false, sv4_test::test_tree_t::GropLastItem);
  tree.AddItem(4, false, sv4_test::test_tree_t::GropItem);  // top item between 3 and 2
  EXPECT_EQ(tree.data(), (U{1, 3, 4, 2}));
  tree.lazy[1] = {{5, false, false}};
  tree.answer_none = true;
  tree.UpdateRowHierarchy(0);
  EXPECT_EQ(tree.data(), (U{1, 4}));
  EXPECT_TRUE(rows_are_live(tree));
  tree.AddItem(6, false, sv4_test::test_tree_t::GropItem);  // under the cursor, on item 1
  sv4_test::test_tree_t copy(tree);
  EXPECT_TRUE(rows_are_live(copy));
}

TEST(DiscardedItems, AssigningAModelDoesNotMakeItsSignalForwardToItself) {
  sv4_test::assertion_recorder_t recorder;
  model_t a{utilkit2::smart_pointer_t<data_model_base_t>()}, b = a;
  b.hierarchy_updated.connect(&a.hierarchy_updated);
  a = b;
  EXPECT_EQ(recorder.expressions(),
            std::vector<std::string>{"static_cast<subscriber_base_t*>(this) != subscriberObj"});
  EXPECT_EQ(a.hierarchy_updated.connection_count(), 0u);
  a.set_row_hierarchical_state(0, row_state_none);  // emits once and returns
}

}  // namespace
