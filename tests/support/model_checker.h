// A model checker for hierarchical row models: attached to a row engine built on an item tree (or
// to a grouped data model), it re-verifies the model after every change signal.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "utilkit2/signal.h"

namespace sv4_test {

template <class Model, class = void>
struct is_hierarchical_data_model : std::false_type {};
template <class Model>
struct is_hierarchical_data_model<Model, std::void_t<decltype(&Model::hierarchy_updated)>>
    : std::true_type {};

// On every ModelChanged it checks the rows and that TranslateIndex maps each row of the list
// before the change to a row showing the same item (or reports it removed when its item is no
// longer shown); on hierarchy_updated (a full refresh) it checks the rows and starts afresh.
// Checked on the rows: levels start at 0 and never jump by more than one, rows that are not
// Expanded are followed by nothing deeper, and the rows show exactly the visible items of the
// item tree (those whose ancestors are all open), each beneath its parent's row, each group row in
// the state of its expanded flag. For a grouped data model also that its view answers
// agree with the engine. Failures are reported to GoogleTest. The model must outlive the checker;
// after a rebuild that fires nothing (Clear, AddItem), call resync().
template <class Model>
class model_checker_t : public utilkit2::subscriber_base_t {
 public:
  explicit model_checker_t(Model& model) : m_model(model) {
    model.ModelChanged.connect(this, &model_checker_t::on_model_changed);
    if constexpr (is_hierarchical_data_model<Model>::value)
      model.hierarchy_updated.connect(this, &model_checker_t::on_full_refresh);
    resync();
  }
  model_checker_t(const model_checker_t&) = delete;
  model_checker_t& operator=(const model_checker_t&) = delete;

  void resync() {
    check_rows();
    m_rows = row_items();
  }
  std::size_t changes_checked() const { return m_changes; }

 private:
  using item_t = typename Model::CHierarchicalItem;

  void on_model_changed() {
    ++m_changes;
    check_rows();
    check_translation();
    m_rows = row_items();
  }
  void on_full_refresh() { resync(); }

  std::vector<const void*> row_items() const {
    std::vector<const void*> items;
    for (int row = 0; row < m_model.GetRowCount(); ++row)
      items.push_back(m_model.GetItemByRow(row));
    return items;
  }

  void check_rows() {
    const int count = m_model.GetRowCount();
    for (int row = 0; row < count; ++row) {
      const int level = m_model.GetRowLevel(row);
      const int next = row + 1 < count ? m_model.GetRowLevel(row + 1) : 0;
      if (row == 0 && level != 0) return fail("first row at level " + std::to_string(level));
      if (next > level + 1) return fail("level jumps after row " + std::to_string(row));
      if (next > level && m_model.GetRowState(row) != Model::Expanded)
        return fail("row " + std::to_string(row) + " is not expanded but has deeper rows");
    }
    check_against_tree();
    if constexpr (is_hierarchical_data_model<Model>::value) check_view();
  }

  // Every row shows a visible item beneath the row of its parent item (siblings in any order,
  // sorting may reorder them), no item twice, and as many rows as the tree has visible items.
  void check_against_tree() {
    const item_t* root = &m_model.GetRootItem();
    std::vector<const item_t*> parents{root};  // parents[level]: the item rows of level go under
    std::unordered_set<const item_t*> seen;
    for (int row = 0; row < m_model.GetRowCount(); ++row) {
      const item_t* item = m_model.GetItemByRow(row);
      const std::size_t level = static_cast<std::size_t>(m_model.GetRowLevel(row));
      parents.resize(level + 1);
      if (item == nullptr || item->parent != parents[level] || !m_model.ItemIsVisible(item))
        return fail("row " + std::to_string(row) + " is not a visible child of its parent row");
      if (!seen.insert(item).second) return fail("row " + std::to_string(row) + " shown twice");
      if (item->hasChildren && m_model.GetRowState(row) != m_model.GetItemRowState(item))
        return fail("row " + std::to_string(row) + " state differs from its item's flag");
      parents.push_back(item);
    }
    const std::size_t visible = visible_items(*root);
    if (visible != seen.size())
      return fail("rows " + std::to_string(seen.size()) + ", visible items " +
                  std::to_string(visible));
  }

  static std::size_t visible_items(const item_t& item) {
    std::size_t count = 0;
    for (const item_t& child : *item.childList)
      count += 1 + (child.hasChildren && child.expanded ? visible_items(child) : 0);
    return count;
  }

  void check_view() {
    if (m_model.get_row_count() != static_cast<unsigned int>(m_model.GetRowCount()))
      return fail("get_row_count differs from the engine's row count");
    static const unsigned int state_of[] = {2, 1, 0};  // Collapsed, Expanded, NoChildren
    for (int row = 0; row < m_model.GetRowCount(); ++row) {
      const unsigned int view_row = static_cast<unsigned int>(row);
      if (m_model.get_flat_row_index(view_row) != m_model.GetItemData(row) ||
          m_model.get_row_hierarchy_level(view_row) != m_model.GetRowLevel(row) ||
          static_cast<unsigned int>(m_model.get_row_hierarchical_state(view_row)) !=
              state_of[m_model.GetRowState(row)])
        return fail("view answers of row " + std::to_string(row) + " differ from the engine");
    }
  }

  void check_translation() {
    const std::vector<const void*> now = row_items();
    const std::unordered_set<const void*> shown(now.begin(), now.end());
    for (std::size_t old_row = 0; old_row < m_rows.size(); ++old_row) {
      bool removed = false;
      const int row = m_model.TranslateIndex(static_cast<int>(old_row), &removed);
      const bool still_shown = shown.count(m_rows[old_row]) != 0;
      if (removed != !still_shown)
        return fail("old row " + std::to_string(old_row) +
                    (removed ? " reported removed but shown" : " gone but not reported"));
      if (!removed && (row < 0 || row >= m_model.GetRowCount() || now[row] != m_rows[old_row]))
        return fail("old row " + std::to_string(old_row) + " translated to a different item");
    }
  }

  void fail(const std::string& what) {
    ADD_FAILURE() << "model checker, after change " << m_changes << ": " << what;
  }

  Model& m_model;
  std::vector<const void*> m_rows;  // the item of each row when last checked
  std::size_t m_changes = 0;
};

}  // namespace sv4_test
