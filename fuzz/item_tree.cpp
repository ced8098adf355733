// Fuzz target for the row engine, the item-tree builder and row sorting: builds, expands,
// collapses, UpdateRowHierarchy with lazy children, ExpandById, copies and whole-list sorts, each
// compared with a plain reference tree whose recursive walk yields the rows that must be visible.
#include <algorithm>
#include <map>

#include "fuzz_support.h"
#include "support/reference_tree.h"
#include "tree_checker.h"

namespace {

using sv4_test::lazy_child_t;
using sv4_test::rows_t;
using reference_t = sv4_test::reference_tree_t;

// The model under test: children come lazily from a table; sorting, when on, orders siblings by
// descending data modulo 10, so that equal keys are common.
class tree_t : public orrinfrw7::CHierarchicalModel<orrinfrw7::IHierarchicalModel, unsigned int> {
 public:
  using CHierarchicalModel::Populate;
  using CHierarchicalModel::SortRows;

  std::map<unsigned int, std::vector<lazy_child_t>> lazy;
  bool sorting = false;

 protected:
  int AddNewItems(const unsigned int& data) override {
    const auto found = lazy.find(data);
    if (found == lazy.end()) return 0;
    for (const lazy_child_t& child : found->second)
      AddItemSimple(child.data, child.group, child.open ? GropOpenExpanded : GropItem);
    return static_cast<int>(found->second.size());
  }
  bool SortingIsNeeded() const override { return sorting; }
  bool CompareItems(const unsigned int& a, const unsigned int& b) const override {
    return a % 10 > b % 10;
  }
};

// The rows with every sibling list put in data order: equal for two lists that differ only in
// the order of siblings.
rows_t canonical(const rows_t& rows) {
  struct node_t {
    std::pair<unsigned int, int> row;
    std::vector<node_t> children;
  };
  node_t root{{0, -1}, {}};
  std::vector<node_t*> path{&root};
  for (const auto& row : rows) {
    path.resize(std::min(path.size(), static_cast<std::size_t>(row.second) + 1));
    path.back()->children.push_back({row, {}});
    path.push_back(&path.back()->children.back());
  }
  rows_t out;
  const auto flatten = [&out](const node_t& node, const auto& self) -> void {
    std::vector<const node_t*> children;
    for (const node_t& child : node.children) children.push_back(&child);
    std::sort(children.begin(), children.end(),
              [](const node_t* a, const node_t* b) { return a->row.first < b->row.first; });
    for (const node_t* child : children) {
      out.push_back(child->row);
      self(*child, self);
    }
  };
  flatten(root, flatten);
  return out;
}

constexpr unsigned int max_items = 300;

class tree_run_t {
 public:
  explicit tree_run_t(FuzzedDataProvider& input) : m_input(input) { m_ref.lazy = &m_tree.lazy; }

  void rebuild() {
    m_tree.Clear();
    m_ref.discard_children(0);  // the root keeps its flags, as the tree's does
    m_checker.resync();
    if (m_input.ConsumeBool()) {
      plan_lazy(0, 0);
      m_ref.fill(0);
      m_tree.Populate();
    } else {
      build(0, 0);
    }
    m_checker.resync();
  }

  void step() {
    const int row = m_input.ConsumeIntegralInRange(-1, m_tree.GetRowCount());
    const bool valid = row >= 0 && row < m_tree.GetRowCount();
    const unsigned int data = valid ? m_tree.GetItemData(row) : 0;
    switch (m_input.ConsumeIntegralInRange(0, 9)) {
      case 0:
        return rebuild();
      case 1:
      case 2: {
        const bool expand = m_input.ConsumeBool();
        if (m_input.ConsumeBool() && valid) {
          m_tree.SetCurItem(row);
          m_tree.ExpandCurrent(row, expand);
        } else {
          m_tree.OnExpandRow(row, expand);
        }
        if (!valid) return;
        return expand ? m_ref.expand(data) : void(m_ref.nodes[data].expanded = false);
      }
      case 3:
        if (valid) plan_lazy(data, 1);
        m_tree.UpdateRowHierarchy(row);
        return valid ? m_ref.update(data) : void();
      case 4: {
        const unsigned int wanted = m_input.ConsumeIntegralInRange(1u, m_next_data);
        m_tree.ExpandById(wanted);
        return m_ref.expand_by_id(wanted);
      }
      case 5:
        return copy();
      case 6:
        return sort();
      case 7:
        m_tree.sorting = m_input.ConsumeBool();
        m_sorted |= m_tree.sorting;
        return;
      default:
        // Data is unique here, and the root's 0 is on no row.
        SV4_FUZZ_CHECK(!valid || m_tree.GetRowById(data) == row);
        SV4_FUZZ_CHECK(m_tree.GetRowById(0) == -1);
        return;
    }
  }

  void check() {
    rows_t expected;
    m_ref.walk(0, 0, expected);
    SV4_FUZZ_CHECK(m_sorted ? canonical(rows()) == canonical(expected) : rows() == expected);
  }

 private:
  rows_t rows() const { return rows_of(m_tree); }
  static rows_t rows_of(const tree_t& tree) {
    rows_t rows;
    for (int row = 0; row < tree.GetRowCount(); ++row)
      rows.emplace_back(tree.GetItemData(row), tree.GetRowLevel(row));
    return rows;
  }

  // A copy, and an assignment over another tree, show the same rows in the same states on items
  // of their own; changing the copy leaves the original alone.
  void copy() {
    tree_t copy(m_tree), assigned;
    assigned.AddItem(999999, true, tree_t::GropOpenExpanded);
    assigned = m_tree;
    for (tree_t* other : {&copy, &assigned}) {
      SV4_FUZZ_CHECK(rows_of(*other) == rows());
      sv4_fuzz::check_rows_are_live(*other);
      for (int row = 0; row < m_tree.GetRowCount(); ++row)
        SV4_FUZZ_CHECK(other->GetRowState(row) == m_tree.GetRowState(row) &&
                       other->GetItemByRow(row) != m_tree.GetItemByRow(row));
    }
    copy.Clear();
    copy.AddItem(999998, false, tree_t::GropItem);
  }

  // Sorting the whole list keeps every subtree, orders each sibling list by the key (stably)
  // and maps each old row onto the row of its item.
  void sort() {
    const int count = m_tree.GetRowCount();
    std::vector<const void*> before;
    for (int row = 0; row < count; ++row) before.push_back(m_tree.GetItemByRow(row));
    const rows_t rows_before = rows();
    const bool sorting = std::exchange(m_tree.sorting, true);
    m_tree.SortRows(0, count);
    // As a subclass that sorts on its own announces it; a list of one row is not sorted, and
    // the translator then still describes an earlier change.
    if (count > 1) m_tree.ModelChanged();
    m_tree.sorting = sorting;
    m_sorted = true;
    SV4_FUZZ_CHECK(canonical(rows()) == canonical(rows_before));
    std::map<std::pair<const void*, unsigned int>, int> last;  // (parent, key) -> old row
    std::map<const void*, unsigned int> last_key;              // parent -> key of the last child
    for (int row = 0; row < count; ++row) {
      const auto* item = m_tree.GetItemByRow(row);
      const unsigned int key = item->data % 10;
      const auto previous = last_key.find(item->parent);
      SV4_FUZZ_CHECK(previous == last_key.end() || previous->second >= key);
      last_key[item->parent] = key;
      const int old_row =
          static_cast<int>(std::find(before.begin(), before.end(), item) - before.begin());
      const auto same = last.find({item->parent, key});
      SV4_FUZZ_CHECK(same == last.end() || same->second < old_row);
      last[{item->parent, key}] = old_row;
      if (count > 1) SV4_FUZZ_CHECK(m_tree.TranslateIndex(old_row, nullptr) == row);
    }
  }

  // Decides now which children AddNewItems will give for `data`, and for theirs.
  void plan_lazy(unsigned int data, int depth) {
    std::vector<lazy_child_t>& children = m_tree.lazy[data] = {};
    const int wanted = depth > 3 ? 0 : m_input.ConsumeIntegralInRange(0, depth == 0 ? 6 : 3);
    for (int n = wanted; n > 0 && m_next_data < max_items; --n)
      children.push_back({m_next_data++, m_input.ConsumeBool(), m_input.ConsumeBool()});
    const std::vector<lazy_child_t> planned = children;
    for (const lazy_child_t& c : planned) plan_lazy(c.data, depth + 1);
  }

  // A subtree under the item carrying `parent` through AddItem with every group mode.
  void build(unsigned int parent, int depth) {
    static const tree_t::GropMode modes[] = {tree_t::GropItem, tree_t::GropItem,
                                             tree_t::GropOpenExpanded, tree_t::GropOpenCollapsed};
    for (int n = m_input.ConsumeIntegralInRange(0, depth == 0 ? 12 : 4);
         n > 0 && m_next_data < max_items; --n) {
      const unsigned int data = m_next_data++;
      plan_lazy(data, 2);
      const int kind = depth >= 3 ? 0 : m_input.ConsumeIntegralInRange(0, 3);
      const bool last = n == 1 && depth > 0 && kind == 0;  // closes the group itself
      m_tree.AddItem(data, kind != 0, last ? tree_t::GropLastItem : modes[kind]);
      m_ref.add(parent, data, kind != 0, kind == 2);
      if (last) return;
      if (kind >= 2) build(data, depth + 1);
    }
    if (depth > 0) m_tree.CloseGroup();
  }

  FuzzedDataProvider& m_input;
  tree_t m_tree;
  reference_t m_ref;
  sv4_fuzz::tree_checker_t<tree_t> m_checker{m_tree};
  unsigned int m_next_data = 1;
  bool m_sorted = false;  // sibling order may differ from the reference's from now on
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  tree_run_t run(input);
  run.rebuild();
  for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
    run.step();
    run.check();
  }
  return 0;
}
