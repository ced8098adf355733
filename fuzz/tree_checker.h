// Checks shared by the row-hierarchy fuzz targets: the rows of a model built on the item tree
// show exactly its visible items in tree order, and every change notification translates the
// rows before it onto the same items.
#pragma once

#include <unordered_set>
#include <vector>

#include "fuzz_support.h"
#include "source_view4/hierarchical_model.h"
#include "utilkit2/signal.h"

namespace sv4_fuzz {

// Every row designates an item of the tree (none discarded) at its depth, and rows kept in tree
// order show each item once (`each_once`). Rows a builder cursor put apart from their parent's row
// can show an item twice: expanding the parent again inserts all its children, as expanding does
// whenever the row after the parent is not deeper than it.
template <class Model>
void check_rows_are_live(const Model& model, bool each_once = true) {
  std::unordered_set<const void*> items, shown;
  std::vector<const typename Model::CHierarchicalItem*> pending{&model.GetRootItem()};
  while (!pending.empty()) {
    const auto* item = pending.back();
    pending.pop_back();
    for (const auto& child : *item->childList) {
      items.insert(&child);
      pending.push_back(&child);
    }
  }
  for (int row = 0; row < model.GetRowCount(); ++row) {
    const auto* item = model.GetItemByRow(row);
    SV4_FUZZ_CHECK(items.count(item) != 0);
    SV4_FUZZ_CHECK(shown.insert(item).second || !each_once);
    int depth = -1;
    for (const auto* p = item->parent; p != nullptr; p = p->parent) ++depth;
    SV4_FUZZ_CHECK(model.GetRowLevel(row) == depth);
  }
}

// Attached to a model whose rows keep the engine's invariant: after every ModelChanged the rows
// are the visible items, each beneath its parent's row, group rows in their item's state, and
// TranslateIndex maps each earlier row onto the row of its item, or reports it removed exactly
// when its item is no longer shown.
template <class Model>
class tree_checker_t : public utilkit2::subscriber_base_t {
  using item_t = typename Model::CHierarchicalItem;

 public:
  explicit tree_checker_t(Model& model) : m_model(model) {
    model.ModelChanged.connect(this, &tree_checker_t::on_changed);
    resync();
  }
  // After a change that fires nothing (a build, Clear).
  void resync() {
    check_rows();
    m_rows = items();
  }

 private:
  void on_changed() {
    check_rows();
    const std::vector<const void*> now = items();
    const std::unordered_set<const void*> shown(now.begin(), now.end());
    for (std::size_t old_row = 0; old_row < m_rows.size(); ++old_row) {
      bool removed = false;
      const int row = m_model.TranslateIndex(static_cast<int>(old_row), &removed);
      SV4_FUZZ_CHECK(removed != (shown.count(m_rows[old_row]) != 0));
      SV4_FUZZ_CHECK(row >= 0 && row < m_model.GetRowCount());
      SV4_FUZZ_CHECK(removed || now[static_cast<std::size_t>(row)] == m_rows[old_row]);
    }
    m_rows = now;
  }

  std::vector<const void*> items() const {
    std::vector<const void*> rows;
    for (int row = 0; row < m_model.GetRowCount(); ++row) rows.push_back(m_model.GetItemByRow(row));
    return rows;
  }

  void check_rows() const {
    check_rows_are_live(m_model);
    std::vector<const item_t*> parents{&m_model.GetRootItem()};
    for (int row = 0; row < m_model.GetRowCount(); ++row) {
      const item_t* item = m_model.GetItemByRow(row);
      const int level = m_model.GetRowLevel(row);
      SV4_FUZZ_CHECK(level < static_cast<int>(parents.size()));
      parents.resize(static_cast<std::size_t>(level) + 1);
      SV4_FUZZ_CHECK(item->parent == parents.back() && m_model.ItemIsVisible(item));
      SV4_FUZZ_CHECK(!item->hasChildren ||
                     m_model.GetRowState(row) == m_model.GetItemRowState(item));
      SV4_FUZZ_CHECK(m_model.GetRowState(row) == Model::Expanded ||
                     m_model.GetRowLevel(row + 1) <= level);
      parents.push_back(item);
    }
    SV4_FUZZ_CHECK(visible(m_model.GetRootItem()) ==
                   static_cast<std::size_t>(m_model.GetRowCount()));
  }

  static std::size_t visible(const item_t& item) {
    std::size_t count = 0;
    for (const item_t& child : *item.childList)
      count += 1 + (child.hasChildren && child.expanded ? visible(child) : 0);
    return count;
  }

  Model& m_model;
  std::vector<const void*> m_rows;  // the item of each row at the last check
};

}  // namespace sv4_fuzz
