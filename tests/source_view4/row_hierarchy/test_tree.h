// The item-tree model the row hierarchy tests drive: children produced lazily from a table,
// optional sorting by descending data, and the engine's protected operations within reach.
#pragma once

#include <map>
#include <vector>

#include "source_view4/hierarchical_model.h"
#include "support/model_checker.h"

namespace sv4_test {

using tree_base_t =
    orrinfrw7::CHierarchicalModel<orrinfrw7::IHierarchicalModel, unsigned int, std::allocator>;

struct lazy_child_t {
  unsigned int data;
  bool group;
  bool open;  // added Expanded (with AddItemSimple, so without children of its own yet)
};

class test_tree_t : public tree_base_t {
 public:
  using tree_base_t::AddSubRows;
  using tree_base_t::CalcSubItems;
  using tree_base_t::ClearTranslators;
  using tree_base_t::InsertRow;
  using tree_base_t::Populate;
  using tree_base_t::SortRows;

  std::map<unsigned int, std::vector<lazy_child_t>> lazy;  // children AddNewItems gives, by data
  bool sort_descending = false;
  int lazy_calls = 0;

 protected:
  int AddNewItems(const unsigned int& data) override {
    ++lazy_calls;
    const auto found = lazy.find(data);
    if (found == lazy.end()) return 0;
    for (const lazy_child_t& child : found->second)
      AddItemSimple(child.data, child.group, child.open ? GropOpenExpanded : GropItem);
    return static_cast<int>(found->second.size());
  }
  bool SortingIsNeeded() const override { return sort_descending; }
  bool CompareItems(const unsigned int& a, const unsigned int& b) const override {
    return sort_descending && a > b;
  }
};

using tree_checker_t = model_checker_t<test_tree_t>;

// Records each ModelChanged as the change of the row count it brought.
class change_log_t : public utilkit2::subscriber_base_t {
 public:
  explicit change_log_t(test_tree_t& tree) : m_tree(tree), m_count(tree.GetRowCount()) {
    tree.ModelChanged.connect(this, &change_log_t::on_change);
  }
  std::vector<int> deltas;

 private:
  void on_change() {
    deltas.push_back(m_tree.GetRowCount() - m_count);
    m_count = m_tree.GetRowCount();
  }
  test_tree_t& m_tree;
  int m_count;
};

inline std::vector<unsigned int> row_data(const test_tree_t& tree) {
  std::vector<unsigned int> data;
  for (int row = 0; row < tree.GetRowCount(); ++row) data.push_back(tree.GetItemData(row));
  return data;
}

inline std::vector<int> row_levels(const test_tree_t& tree) {
  std::vector<int> levels;
  for (int row = 0; row < tree.GetRowCount(); ++row) levels.push_back(tree.GetRowLevel(row));
  return levels;
}

inline std::vector<int> row_states(test_tree_t& tree) {
  std::vector<int> states;
  for (int row = 0; row < tree.GetRowCount(); ++row) states.push_back(tree.GetRowState(row));
  return states;
}

}  // namespace sv4_test
