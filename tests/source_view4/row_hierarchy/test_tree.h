// The item-tree model the row hierarchy tests drive (lazy children from a table, optional sorting
// by descending data, the engine's protected operations within reach), and a grouped model's rows.
#pragma once

#include <map>
#include <vector>

#include "source_view4/hierarchical_data_model.h"
#include "source_view4/hierarchical_model.h"
#include "support/model_checker.h"
#include "support/reference_tree.h"

namespace sv4_test {

// The flat row each view row of a grouped or snippet model shows.
inline std::vector<unsigned int> flat_rows_of(
    const source_view4::hierarchical_data_model_base_t& model) {
  std::vector<unsigned int> rows;
  for (unsigned int row = 0; row < model.get_row_count(); ++row)
    rows.push_back(model.get_flat_row_index(row));
  return rows;
}

class test_tree_t
    : public orrinfrw7::CHierarchicalModel<orrinfrw7::IHierarchicalModel, unsigned int> {
 public:
  using CHierarchicalModel::ClearTranslators;
  using CHierarchicalModel::InsertRow;
  using CHierarchicalModel::Populate;
  using CHierarchicalModel::RowIsValid;
  using CHierarchicalModel::SortRows;

  std::vector<unsigned int> data() const {
    std::vector<unsigned int> values;
    for (int row = 0; row < GetRowCount(); ++row) values.push_back(GetItemData(row));
    return values;
  }
  std::vector<int> levels() const {
    std::vector<int> values;
    for (int row = 0; row < GetRowCount(); ++row) values.push_back(GetRowLevel(row));
    return values;
  }

  std::map<unsigned int, std::vector<lazy_child_t>> lazy;  // children AddNewItems gives, by data
  bool sort_descending = false;
  bool answer_none = false;  // AddNewItems adds its children but answers 0

 protected:
  int AddNewItems(const unsigned int& data) override {
    const auto found = lazy.find(data);
    if (found == lazy.end()) return 0;
    for (const lazy_child_t& child : found->second)
      AddItemSimple(child.data, child.group, child.open ? GropOpenExpanded : GropItem);
    return answer_none ? 0 : static_cast<int>(found->second.size());
  }
  bool SortingIsNeeded() const override { return sort_descending; }
  // Descending by data modulo 100, so that data 1 and 101 are equal keys.
  bool CompareItems(const unsigned int& a, const unsigned int& b) const override {
    return sort_descending && a % 100 > b % 100;
  }
};

using tree_checker_t = model_checker_t<test_tree_t>;

}  // namespace sv4_test
