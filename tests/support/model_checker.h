// A model checker for hierarchical row models: attached to a row engine built on an item tree (or
// to a grouped data model), it re-verifies the model after every change signal.
#pragma once

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "source_view4/hierarchical_data_model.h"
#include "utilkit2/signal.h"

namespace sv4_test {

// On every ModelChanged it checks the rows, and that TranslateIndex maps each row of the list
// before the change to a row showing the same item, or reports it removed exactly when its item
// is no longer shown (and then still answers a row of the list); it logs the row count change.
// On hierarchy_updated (a full refresh) it checks the rows and starts afresh. The rows must show
// exactly the visible items of the item tree (those whose ancestors are all open), each at its
// depth beneath its parent's row (siblings in any order: sorting may reorder them), group rows in
// the state of their expanded flag, rows that are not Expanded followed by nothing deeper. For a
// grouped data model its view answers must agree with the engine, also outside the list.
// Failures go to GoogleTest. After a rebuild that fires nothing (Clear, AddItem) call resync().
template <class Model>
class model_checker_t : public utilkit2::subscriber_base_t {
  using item_t = typename Model::CHierarchicalItem;
  static constexpr bool grouped =
      std::is_base_of_v<source_view4::hierarchical_data_model_base_t, Model>;

 public:
  explicit model_checker_t(Model& model) : m_model(model) {
    model.ModelChanged.connect(this, &model_checker_t::on_model_changed);
    if constexpr (grouped) model.hierarchy_updated.connect(this, &model_checker_t::resync);
    resync();
  }
  void resync() {
    check_rows();
    m_rows = row_items();
  }
  const std::vector<int>& deltas() const { return m_deltas; }

 private:
  void on_model_changed() {
    m_deltas.push_back(m_model.GetRowCount() - static_cast<int>(m_rows.size()));
    check_rows();
    check_translation();
    m_rows = row_items();
  }

  std::vector<const void*> row_items() const {
    std::vector<const void*> items;
    for (int row = 0; row < m_model.GetRowCount(); ++row)
      items.push_back(m_model.GetItemByRow(row));
    return items;
  }

  void check_rows() {
    std::vector<const item_t*> parents{&m_model.GetRootItem()};  // [level]: parent of that level
    std::unordered_set<const item_t*> seen;
    for (int row = 0; row < m_model.GetRowCount(); ++row) {
      const item_t* item = m_model.GetItemByRow(row);
      const int level = m_model.GetRowLevel(row);
      if (level < 0 || level >= static_cast<int>(parents.size())) return fail(row, "level jumps");
      parents.resize(static_cast<std::size_t>(level) + 1);
      if (item == nullptr || item->parent != parents.back() || !m_model.ItemIsVisible(item))
        return fail(row, "is not a visible child of its parent row");
      if (!seen.insert(item).second) return fail(row, "shows an item twice");
      if (item->hasChildren && m_model.GetRowState(row) != m_model.GetItemRowState(item))
        return fail(row, "state differs from its item's flag");
      if (m_model.GetRowState(row) != Model::Expanded && m_model.GetRowLevel(row + 1) > level)
        return fail(row, "is not expanded but has deeper rows");
      if constexpr (grouped) check_view(row);
      parents.push_back(item);
    }
    if (visible_items(m_model.GetRootItem()) != seen.size())
      fail(m_model.GetRowCount(), "is the row count, not the number of visible items");
    if constexpr (grouped)
      for (int row : {m_model.GetRowCount(), -1, INT_MIN}) check_view(row);
  }

  static std::size_t visible_items(const item_t& item) {
    std::size_t count = 0;
    for (const item_t& child : *item.childList)
      count += 1 + (child.hasChildren && child.expanded ? visible_items(child) : 0);
    return count;
  }

  // The view answers for `row`, also outside the list, where the view answers no flat row.
  void check_view(int row) {
    static const unsigned int view_state[] = {2, 1, 0};  // of Collapsed, Expanded, NoChildren
    const item_t* item = m_model.GetItemByRow(row);
    const unsigned int view_row = static_cast<unsigned int>(row);
    if (m_model.get_row_count() != static_cast<unsigned int>(m_model.GetRowCount()) ||
        m_model.get_flat_row_index(view_row) !=
            (item != nullptr ? item->data : source_view4::no_row) ||
        m_model.get_row_hierarchy_level(view_row) != m_model.GetRowLevel(row) ||
        m_model.get_row_hierarchical_state(view_row) != view_state[m_model.GetRowState(row)])
      fail(row, "view answers differ from the engine");
  }

  void check_translation() {
    const std::vector<const void*> now = row_items();
    const std::unordered_set<const void*> shown(now.begin(), now.end());
    for (std::size_t old_row = 0; old_row < m_rows.size(); ++old_row) {
      bool removed = false;
      const int row = m_model.TranslateIndex(static_cast<int>(old_row), &removed);
      if (removed == (shown.count(m_rows[old_row]) != 0))
        return fail(static_cast<int>(old_row), "(old) is wrongly reported removed or kept");
      if (row < 0 || row >= m_model.GetRowCount() || (!removed && now[row] != m_rows[old_row]))
        return fail(static_cast<int>(old_row), "(old) is translated to another item or away");
    }
  }

  void fail(int row, const std::string& what) {
    ADD_FAILURE() << "model checker, change " << m_deltas.size() << ": row " << row << " " << what;
  }

  Model& m_model;
  std::vector<const void*> m_rows;  // the item of each row when last checked
  std::vector<int> m_deltas;        // row count change of each ModelChanged
};

}  // namespace sv4_test
