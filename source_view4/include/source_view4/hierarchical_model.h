// The framework's row engine templates: IHierarchicalModel, the visible-row engine
// CBaseHierarchicalModel with its sorting, the sort translator CVectorTranslator, and the item-tree
// builder CHierarchicalModel. Hosts derive from them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "orrinfrw7/index_translator.h"
#include "source_view4/hierarchical_storage.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// A tree of rows seen as the flat list of rows a viewer shows. ModelChanged fires after every
// change of the list; listeners map the row indexes they keep through TranslateIndex while it
// fires.
class IHierarchicalModel : public IIndexTranslator {
 public:
  enum RowState : std::int32_t {
    Collapsed = 0,   // the row has children and they are hidden
    Expanded = 1,    // the row has children and they follow it
    NoChildren = 2,  // the row has no children; also the answer outside the list
  };

  virtual int GetRowCount() const = 0;
  virtual RowState GetRowState(int row) = 0;
  virtual int GetRowLevel(int row) const = 0;
  virtual void OnExpandRow(int row, bool expand) = 0;

  utilkit2::signal_t<> ModelChanged;
};

// Maps rows across a sort of the whole list: map[old row] is the new row. Indexes outside the
// map are answered unchanged; nothing is ever reported removed.
class CVectorTranslator : public IIndexTranslator {
 public:
  int TranslateIndex(int index, bool* /*removed*/) const override {
    if (index < 0 || index >= static_cast<int>(map.size())) return index;
    return map[static_cast<std::size_t>(index)];
  }

  std::vector<int> map;
};

// The visible-row engine: the rows a viewer shows, in display order, each with its state, depth
// and an identifier chosen by the subclass (TId, a pointer-sized value). It owns the row records
// and both translators by value; the subclass owns whatever the identifiers designate. Expanding
// a row asks the subclass (AddSubRows) for the row's children; collapsing removes its
// descendants. Every change of the list fires ModelChanged with the add/remove translator
// describing it (index = the expanded or collapsed row, delta = rows inserted after it, or minus
// the rows removed after it). Invariant: the descendants of a row are the contiguous rows after
// it with a greater level; only Expanded rows are followed by deeper rows.
template <class TInterface, class TId>
class CBaseHierarchicalModel : public TInterface {
 public:
  using RowState = typename TInterface::RowState;

  // One visible row; 16 bytes with a pointer identifier.
  struct RowRecord {
    RowState state;
    std::int16_t level;  // 0 for top rows, parent's level + 1 for a child
    TId id;
  };

  CBaseHierarchicalModel() = default;
  // Copies the rows and both translators; ModelChanged is copied with its connections.
  CBaseHierarchicalModel(const CBaseHierarchicalModel& other)
      : TInterface(other),
        rows(other.rows),
        currentTranslator(OwnTranslatorLike(other)),
        addRemoveTranslator(other.addRemoveTranslator),
        sortTranslator(other.sortTranslator) {}
  CBaseHierarchicalModel& operator=(const CBaseHierarchicalModel& other) {
    if (this == &other) return *this;
    TInterface::operator=(other);
    rows = other.rows;
    addRemoveTranslator = other.addRemoveTranslator;
    sortTranslator = other.sortTranslator;
    currentTranslator = OwnTranslatorLike(other);
    return *this;
  }
  ~CBaseHierarchicalModel() override = default;

  // Maps a row of the list before the change being notified to its row after it; unchanged when
  // no translator is set.
  int TranslateIndex(int index, bool* removed) const override {
    if (currentTranslator == nullptr) return index;
    return currentTranslator->TranslateIndex(index, removed);
  }

  int GetRowCount() const override { return static_cast<int>(rows.size()); }

  RowState GetRowState(int row) override {
    return RowIsValid(row) ? Record(row).state : TInterface::NoChildren;
  }

  int GetRowLevel(int row) const override { return RowIsValid(row) ? Record(row).level : 0; }

  void OnExpandRow(int row, bool expand) override {
    if (!RowIsValid(row)) return;
    const RowState state = Record(row).state;
    if (expand && state != TInterface::Expanded) ExpandRow(row);
    if (!expand && state != TInterface::Collapsed) CollapseRow(row);
  }

  // Empties the row list (keeping its buffer); translators and signal stay as they are.
  virtual void Clear() { rows.clear(); }

 protected:
  // Inserts the child rows of `row` right after it (-1: the top rows into the list) and answers
  // non-zero when the row has or had children.
  virtual int AddSubRows(int row) = 0;
  // True to have freshly inserted siblings sorted by CompareRows.
  virtual bool SortingIsNeeded() const { return false; }
  // Strict order of row identifiers: true when a goes before b. Here every pair is equal.
  virtual bool CompareRows(const TId& /*a*/, const TId& /*b*/) const { return false; }

  // Builds the list once (a caller that rebuilds calls Clear first): the top rows, sorted when
  // asked, notified as (0, n); then every Expanded row without visible children gets them.
  void Populate() {
    if (GetRowCount() != 0) return;
    AddSubRows(-1);
    const int count = static_cast<int>(rows.size());
    if (SortingIsNeeded() && count > 1) SortRows(0, count);
    NotifyChange(0, count);
    // From the bottom, so that insertions do not move the rows still to visit.
    for (int row = count - 1; row >= 0; --row) {
      RowRecord& record = Record(row);
      if (record.state != TInterface::Expanded || record.level < GetRowLevel(row + 1)) continue;
      record.state = TInterface::Collapsed;
      this->OnExpandRow(row, true);
    }
  }

  void SortRows(int first, int last);

  bool RowIsValid(int row) const { return row >= 0 && row < GetRowCount(); }

  // Inserts a row before `position` (0 … row count); other positions are ignored. The level is
  // kept in 16 bits.
  void InsertRow(int position, RowState state, int level, TId id) {
    if (position < 0 || position > GetRowCount()) return;
    rows.insert(static_cast<std::size_t>(position),
                RowRecord{state, static_cast<std::int16_t>(level), id});
  }

  // Unchecked accessors: `row` must be inside the list.
  TId GetRowID(int row) const { return Record(row).id; }
  void SetRowID(int row, TId id) { Record(row).id = id; }
  void SetRowState(int row, RowState state) { Record(row).state = state; }

  // Removes rows first … first + count - 1 without notifying; the caller keeps the invariants.
  void EraseRows(int first, int count) {
    rows.erase(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
  }

  // Removes rows first … first + count - 1 and notifies it as (first - 1, -count): the rows go
  // from behind the row in front of them.
  void RemoveRows(int first, int count) {
    EraseRows(first, count);
    NotifyChange(first - 1, -count);
  }

  // Number of descendants of `row`: the following rows deeper than it.
  int CalcSubItems(int row) const {
    const int level = GetRowLevel(row);
    int next = row + 1;
    while (next < GetRowCount() && GetRowLevel(next) > level) ++next;
    return next - row - 1;
  }

  void ClearTranslators() {
    addRemoveTranslator.index = 0;
    addRemoveTranslator.delta = 0;
    std::vector<int>().swap(sortTranslator.map);
    currentTranslator = nullptr;
  }

  // The engine's collapse: `row` becomes Collapsed and loses its descendants, notified as
  // (row, -removed). The caller has checked the row.
  void CollapseRow(int row) {
    Record(row).state = TInterface::Collapsed;
    const int removed = CalcSubItems(row);
    EraseRows(row + 1, removed);
    NotifyChange(row, -removed);
  }

  // The engine's expand walk: `row` becomes Expanded and gets its children; every Expanded row
  // among its descendants gets its own, so a subtree that was open comes back as it was. Notified
  // as (row, inserted). The caller has checked the row.
  void ExpandRow(int row) {
    Record(row).state = TInterface::Expanded;
    const int level = Record(row).level;
    int count = GetRowCount();
    int inserted = 0;
    for (int j = row; j < GetRowCount() && (j == row || Record(j).level > level); ++j) {
      if (Record(j).state != TInterface::Expanded) continue;
      AddSubRows(j);
      const int added = GetRowCount() - count;
      if (SortingIsNeeded() && added > 1) SortRows(j + 1, j + 1 + added);
      inserted += added;
      count = GetRowCount();
    }
    NotifyChange(row, inserted);
  }

 private:
  // One row of a stretch being sorted, with the rows directly beneath it.
  struct SortItem {
    TId id;
    RowState state;
    std::vector<SortItem> children;
    int rowIndex;  // the row before sorting
  };

  RowRecord& Record(int row) { return rows[static_cast<std::size_t>(row)]; }
  const RowRecord& Record(int row) const { return rows[static_cast<std::size_t>(row)]; }

  SortItem MakeSortItem(int row) const {
    return SortItem{Record(row).id, Record(row).state, {}, row};
  }

  void FillSortItems(std::vector<SortItem>& items, int& position, short level, int last) const;
  void DoSorting(std::vector<SortItem>& items) const;
  void FillVisibleRows(const std::vector<SortItem>& items, int& position, short level);
  void FillSortingTranslator(const std::vector<SortItem>& items);

  // Describes a change to the listeners of ModelChanged, then puts the translator back at rest
  // (it stays current and then describes no change).
  void NotifyChange(int index, int delta) {
    addRemoveTranslator.index = index;
    addRemoveTranslator.delta = delta;
    currentTranslator = &addRemoveTranslator;
    this->ModelChanged();
    addRemoveTranslator.index = 0;
    addRemoveTranslator.delta = 0;
  }

  // This model's translator of the same kind as the one `other` has current.
  const IIndexTranslator* OwnTranslatorLike(const CBaseHierarchicalModel& other) const {
    if (other.currentTranslator == &other.addRemoveTranslator) return &addRemoveTranslator;
    if (other.currentTranslator == &other.sortTranslator) return &sortTranslator;
    return nullptr;
  }

  CGapArray<RowRecord> rows;                            // the visible rows in display order
  const IIndexTranslator* currentTranslator = nullptr;  // describes the last change, or null
  CAddRemoveTranslator addRemoveTranslator;
  CVectorTranslator sortTranslator;
};

// Sorts rows first … last - 1 so that every sibling list follows CompareRows (stably) while each
// row keeps its subtree beneath it; levels come back one per generation. A whole-list sort makes
// the sort translator current. Fires nothing: the caller notifies.
template <class TInterface, class TId>
void CBaseHierarchicalModel<TInterface, TId>::SortRows(int first, int last) {
  const int count = GetRowCount();
  if (first < 0 || first >= count || last < 0 || last > count || last - first <= 1) return;
  const short base = Record(first).level;
  std::vector<SortItem> top;
  int position = first;
  while (position < last && Record(position).level >= base) {
    if (Record(position).level == base) {
      top.push_back(MakeSortItem(position++));
    } else {
      FillSortItems(top.back().children, position, Record(position).level, last);
    }
  }
  DoSorting(top);
  position = first;
  FillVisibleRows(top, position, base);
  if (last - first != count) return;
  sortTranslator.map.clear();
  FillSortingTranslator(top);
  std::vector<int> newRowOf(sortTranslator.map.size(), 0);
  for (std::size_t newRow = 0; newRow < newRowOf.size(); ++newRow)
    newRowOf[static_cast<std::size_t>(sortTranslator.map[newRow])] = static_cast<int>(newRow);
  sortTranslator.map.swap(newRowOf);
  currentTranslator = &sortTranslator;
}

template <class TInterface, class TId>
void CBaseHierarchicalModel<TInterface, TId>::FillSortItems(std::vector<SortItem>& items,
                                                            int& position, short level,
                                                            int last) const {
  while (position < last && Record(position).level >= level) {
    if (Record(position).level == level) {
      items.push_back(MakeSortItem(position++));
    } else {
      FillSortItems(items.back().children, position, Record(position).level, last);
    }
  }
}

template <class TInterface, class TId>
void CBaseHierarchicalModel<TInterface, TId>::DoSorting(std::vector<SortItem>& items) const {
  for (SortItem& item : items)
    if (!item.children.empty()) DoSorting(item.children);
  std::stable_sort(items.begin(), items.end(), [this](const SortItem& a, const SortItem& b) {
    return CompareRows(a.id, b.id);
  });
}

template <class TInterface, class TId>
void CBaseHierarchicalModel<TInterface, TId>::FillVisibleRows(const std::vector<SortItem>& items,
                                                              int& position, short level) {
  for (const SortItem& item : items) {
    Record(position++) = RowRecord{item.state, level, item.id};
    FillVisibleRows(item.children, position, static_cast<short>(level + 1));
  }
}

template <class TInterface, class TId>
void CBaseHierarchicalModel<TInterface, TId>::FillSortingTranslator(
    const std::vector<SortItem>& items) {
  for (const SortItem& item : items) {
    sortTranslator.map.push_back(item.rowIndex);
    FillSortingTranslator(item.children);
  }
}

// The item tree behind the rows. Every item carries one TData and is stored by value in its
// parent's children list; items never move, so the address of an item (that of its first field,
// `data`) is the identifier of its row. The model owns the whole tree, the root included, until
// Clear, UpdateRowHierarchy or its destruction discards items. A builder cursor (curItem,
// curRow) adds items top to bottom, opening and closing groups as it goes; rows are inserted for
// items whose parents are open and visible. Items remember their expanded flag, so re-expanding a
// row brings back what was open beneath it. Subclasses may produce children lazily (AddNewItems).
// Rule on discarded items: after any operation no row designates a discarded item and the cursor
// does not rest on one. A cursor left inside an open group can insert rows apart from their
// parent's row (AddItem puts them at curRow), so discarding the children of an item removes the
// rows of every discarded item wherever they stand, and a cursor beneath the item moves up to it
// (the nearest live ancestor; the root when everything goes). Hence a copy maps every row and the
// cursor onto its own items, and AddItem always appends under a live item.
template <class TInterface, class TData, template <class> class TAlloc = std::allocator>
class CHierarchicalModel : public CBaseHierarchicalModel<TInterface, void*> {
  using Base = CBaseHierarchicalModel<TInterface, void*>;

 public:
  using RowState = typename Base::RowState;
  class CHierarchicalItem;
  using CChildList = CStableList<CHierarchicalItem, TAlloc<CHierarchicalItem>>;

  class CHierarchicalItem {
   public:
    TData data{};  // first field: its address identifies the item's row
    bool expanded = false;
    bool hasChildren = false;             // a group: it has children or may get them lazily
    CHierarchicalItem* parent = nullptr;  // null for the root
    CChildList* childList = nullptr;      // its children, an entry of the model's childLists
  };

  // Effect of AddItem on the cursor (the spelling is the framework's).
  enum GropMode {
    GropItem = 0,           // none: the next item is a sibling
    GropOpenExpanded = 1,   // the new item becomes curItem
    GropOpenCollapsed = 2,  // the new item becomes curItem
    GropLastItem = 3,       // curItem moves up to its parent
  };

  CHierarchicalModel() {
    root.expanded = true;
    root.hasChildren = true;
    root.childList = &childLists.emplace_back(listPool);
  }
  // The copy owns an independent tree of the same shape; its rows and cursor designate its own
  // items.
  CHierarchicalModel(const CHierarchicalModel& other) : Base(other) { CopyTreeOf(other); }
  CHierarchicalModel& operator=(const CHierarchicalModel& other) {
    if (this == &other) return *this;
    Base::operator=(other);
    CopyTreeOf(other);
    return *this;
  }
  ~CHierarchicalModel() override { DiscardTree(); }

  // Sets the expanded flag of the row's item (of curItem for a row without one), points the
  // cursor at the item, then expands or collapses the row.
  void OnExpandRow(int row, bool expand) override {
    if (!this->RowIsValid(row)) return;
    CHierarchicalItem* item = GetItemByRow(row);
    (item != nullptr ? item : curItem)->expanded = expand;
    if (item != nullptr) PointCursorAt(item, row);
    Base::OnExpandRow(row, expand);
  }

  // Discards every item but the root (which keeps its data and flags), empties the rows and puts
  // the cursor on the root at row 0.
  void Clear() override {
    DiscardTree();
    root.childList = &childLists.emplace_back(listPool);
    curItem = &root;
    curRow = 0;
    Base::Clear();
  }

  // Appends an item under curItem, inserts its row at curRow when curItem's children are on
  // screen, then moves the cursor as `mode` says.
  void AddItem(const TData& data, bool hasChildren, GropMode mode) {
    CHierarchicalItem* item = AppendItem(data, hasChildren, mode);
    if (mode == GropOpenExpanded || mode == GropOpenCollapsed) curItem = item;
    if (mode == GropLastItem && curItem->parent != nullptr) curItem = curItem->parent;
  }
  // AddItem without the cursor move: the mode only chooses the row state.
  void AddItemSimple(const TData& data, bool hasChildren, GropMode mode) {
    AppendItem(data, hasChildren, mode);
  }
  void CloseGroup() {
    if (curItem->parent != nullptr) curItem = curItem->parent;
  }
  // Puts the cursor after `row` (on its item); outside the list, on the root at the end.
  void SetCurItem(int row) {
    if (!this->RowIsValid(row)) {
      curItem = &root;
      curRow = this->GetRowCount();
      return;
    }
    if (CHierarchicalItem* item = GetItemByRow(row)) PointCursorAt(item, row);
  }
  void SetRootId(const TData& data) { root.data = data; }

  // Unchecked: `row` must be inside the list and have an item.
  TData& GetObject(int row) const { return GetItemByRow(row)->data; }
  TData& GetItemData(int row) const { return GetItemByRow(row)->data; }
  // The row's item; null outside the list or for a row without one.
  CHierarchicalItem* GetItemByRow(int row) const {
    if (!this->RowIsValid(row)) return nullptr;
    return static_cast<CHierarchicalItem*>(this->GetRowID(row));
  }
  // The first row from the top whose item carries `data`; -1 when none.
  int GetRowById(const TData& data) const {
    for (int row = 0; row < this->GetRowCount(); ++row) {
      const CHierarchicalItem* item = GetItemByRow(row);
      if (item != nullptr && item->data == data) return row;
    }
    return -1;
  }
  // Depth-first search (each child before its subtree, subtrees in order) of the descendants of
  // `item`; stores the first item carrying `data` in `found`, which is left alone otherwise.
  void FindItemsById(CHierarchicalItem* item, const TData& data, CHierarchicalItem*& found) const {
    for (CHierarchicalItem& child : *item->childList) {
      if (child.data == data) {
        found = &child;
        return;
      }
      CHierarchicalItem* inner = nullptr;
      FindItemsById(&child, data, inner);
      if (inner != nullptr) {
        found = inner;
        return;
      }
    }
  }
  const CHierarchicalItem& GetRootItem() const { return root; }

  // The item's children are on screen: it and all its ancestors are open.
  bool ChildIsVisible(const CHierarchicalItem* item) const {
    if (item == nullptr) return false;
    for (; item != nullptr; item = item->parent)
      if (!IsOpen(item)) return false;
    return true;
  }
  // The item's row is on screen: all its ancestors are open.
  bool ItemIsVisible(const CHierarchicalItem* item) const {
    return item != nullptr && (item->parent == nullptr || ChildIsVisible(item->parent));
  }
  RowState GetItemRowState(const CHierarchicalItem* item) const {
    if (item == nullptr || !item->hasChildren) return TInterface::NoChildren;
    return item->expanded ? TInterface::Expanded : TInterface::Collapsed;
  }

  // Sets the expanded flag of curItem (whatever the row), then expands or collapses the row.
  void ExpandCurrent(int row, bool expand) {
    curItem->expanded = expand;
    if (this->RowIsValid(row)) Base::OnExpandRow(row, expand);
  }

  // Makes the first item carrying `data` visible: hidden ancestors are marked expanded and the
  // nearest visible closed ancestor is expanded, which brings the whole chain on screen.
  void ExpandById(const TData& data) {
    CHierarchicalItem* found = nullptr;
    FindItemsById(&root, data, found);
    if (found == nullptr) return;
    for (CHierarchicalItem* ancestor = found->parent; ancestor->parent != nullptr;
         ancestor = ancestor->parent) {
      if (!ItemIsVisible(ancestor)) {
        ancestor->expanded = true;
        continue;
      }
      if (IsOpen(ancestor)) continue;
      // Looked up by identity, not by data, so that an equal value elsewhere is not expanded.
      this->OnExpandRow(RowOfItem(ancestor), true);
      return;
    }
  }

  // Replaces the children of `row` with fresh ones from AddNewItems; the row ends open or closed
  // as it was. Listeners see a collapse (if it was open), an expand, and a collapse if it was
  // closed.
  void UpdateRowHierarchy(int row) {
    if (!this->RowIsValid(row)) return;
    if (CHierarchicalItem* item = GetItemByRow(row)) PointCursorAt(item, row);
    CHierarchicalItem* item = curItem;
    const bool wasOpen = IsOpen(item);
    if (wasOpen) {
      item->expanded = false;
      if (this->GetRowState(row) != TInterface::Collapsed) this->CollapseRow(row);
    }
    row -= EraseRowsBeneath(item, row, /*notify=*/true);
    DiscardChildren(item);
    curItem->expanded = true;
    if (this->GetRowState(row) != TInterface::Expanded) this->ExpandRow(row);
    if (!wasOpen) this->OnExpandRow(row, false);
  }

 protected:
  // Inserts rows for the children of `row` (-1: the root) unless they are shown already. A group
  // without children asks AddNewItems first; when that answers 0 the item stops being a group
  // and its row becomes NoChildren.
  int AddSubRows(int row) override {
    CHierarchicalItem* item = SubRowsOwner(row);
    if (item->hasChildren && item->childList->empty()) {
      const int added = AddNewItems(item->data);
      if (added != 0) return added;
      DropLazyChildren(item, row);
      return 0;
    }
    const int level = Depth(item);
    if (this->RowIsValid(row + 1) && this->GetRowLevel(row + 1) > level) return 1;
    int position = row + 1;
    AddExistedItems(position, item);
    return 1;
  }

  bool CompareRows(void* const& a, void* const& b) const override {
    if (a == nullptr || b == nullptr) return false;
    return CompareItems(static_cast<CHierarchicalItem*>(a)->data,
                        static_cast<CHierarchicalItem*>(b)->data);
  }

  // Adds the children of the item carrying `data` (the cursor is on it) through AddItem or
  // AddItemSimple and answers how many; 0 here: no lazy children.
  virtual int AddNewItems(const TData& /*data*/) { return 0; }
  // Order of sibling items for sorting: true when a goes before b. No order here.
  virtual bool CompareItems(const TData& /*a*/, const TData& /*b*/) const { return false; }

 private:
  static bool IsOpen(const CHierarchicalItem* item) { return item->hasChildren && item->expanded; }

  // Number of ancestors minus one: -1 for the root, 0 for top items.
  static int Depth(const CHierarchicalItem* item) {
    int depth = -1;
    for (const CHierarchicalItem* p = item->parent; p != nullptr; p = p->parent) ++depth;
    return depth;
  }

  static RowState NewRowState(bool hasChildren, GropMode mode) {
    if (mode == GropOpenExpanded) return TInterface::Expanded;
    if (mode == GropOpenCollapsed) return TInterface::Collapsed;
    return hasChildren ? TInterface::Collapsed : TInterface::NoChildren;
  }

  void PointCursorAt(CHierarchicalItem* item, int row) {
    curItem = item;
    curRow = row + 1;
  }

  int RowOfItem(const CHierarchicalItem* item) const {
    for (int row = 0; row < this->GetRowCount(); ++row)
      if (this->GetRowID(row) == item) return row;
    return -1;
  }

  CHierarchicalItem* AppendItem(const TData& data, bool hasChildren, GropMode mode) {
    CHierarchicalItem* parent = curItem;
    CHierarchicalItem& item = NewItem(parent, data);
    item.expanded = hasChildren && mode == GropOpenExpanded;
    item.hasChildren = hasChildren;
    parent->hasChildren = true;
    if (ChildIsVisible(parent)) {
      this->InsertRow(curRow, NewRowState(hasChildren, mode), Depth(&item), &item);
      ++curRow;
    }
    return &item;
  }

  CHierarchicalItem& NewItem(CHierarchicalItem* parent, const TData& data) {
    CHierarchicalItem& item = parent->childList->emplace_back(itemPool);
    item.data = data;
    item.parent = parent;
    item.childList = NewChildList();
    return item;
  }

  // An empty children list: a discarded one when there is one, else a new entry of childLists.
  CChildList* NewChildList() {
    if (freeChildLists.empty()) return &childLists.emplace_back(listPool);
    CChildList* list = freeChildLists.back();
    freeChildLists.pop_back();
    return list;
  }

  // True when `item` lies beneath `ancestor` (not when it is `ancestor`).
  static bool IsBeneath(const CHierarchicalItem* item, const CHierarchicalItem* ancestor) {
    if (item == nullptr) return false;
    for (const CHierarchicalItem* p = item->parent; p != nullptr; p = p->parent)
      if (p == ancestor) return true;
    return false;
  }

  // Removes every row whose item lies beneath `item`, run by run, each run notified when
  // `notify`; curRow moves with the rows in front of it. Answers how many rows went from in
  // front of `row`. The rows of the item's visible descendants normally follow its row, but a
  // cursor left inside a group puts rows anywhere, so the whole list is looked at.
  int EraseRowsBeneath(const CHierarchicalItem* item, int row, bool notify) {
    if (item->childList->empty()) return 0;
    int removedBefore = 0;
    for (int first = 0; first < this->GetRowCount(); ++first) {
      if (!IsBeneath(GetItemByRow(first), item)) continue;
      int end = first + 1;
      while (end < this->GetRowCount() && IsBeneath(GetItemByRow(end), item)) ++end;
      const int count = end - first;
      if (first < row) removedBefore += std::min(count, row - first);
      if (first < curRow) curRow -= std::min(count, curRow - first);
      notify ? this->RemoveRows(first, count) : this->EraseRows(first, count);
    }
    return removedBefore;
  }

  // Empties the children list of `item`, returning the lists of all its descendants. A cursor
  // beneath the item moves up to it; the caller places curRow.
  void DiscardChildren(CHierarchicalItem* item) {
    if (IsBeneath(curItem, item)) curItem = item;
    for (CHierarchicalItem& child : *item->childList) {
      DiscardChildren(&child);
      freeChildLists.push_back(child.childList);
    }
    item->childList->clear(itemPool);
  }

  // Every item but the root is gone and the root has no children list; the memory stays in the
  // pools for the next build.
  void DiscardTree() {
    static_assert(std::is_trivially_destructible_v<CChildList>);
    if constexpr (!std::is_trivially_destructible_v<CHierarchicalItem>) {
      for (CChildList& list : childLists) list.clear(itemPool);
    }
    childLists.abandon();
    itemPool.Reset();
    listPool.Reset();
    freeChildLists.clear();
    root.childList = nullptr;
  }

  // The item whose children AddSubRows inserts, with the cursor on it (a row without an item
  // keeps the cursor where it is; outside the list, the root at row 0).
  CHierarchicalItem* SubRowsOwner(int row) {
    if (!this->RowIsValid(row)) {
      PointCursorAt(&root, -1);
      return &root;
    }
    CHierarchicalItem* item = GetItemByRow(row);
    if (item == nullptr) return curItem;
    PointCursorAt(item, row);
    return item;
  }

  // AddNewItems found no children: the item is a leaf from now on. Rows for items it added
  // anyway would point at discarded items, so they go too (the expand walk that called counts
  // them), and the cursor comes back to the item.
  void DropLazyChildren(CHierarchicalItem* item, int row) {
    item->hasChildren = false;
    if (!this->RowIsValid(row)) {
      DiscardChildren(item);
      PointCursorAt(item, -1);
      Base::Clear();
      return;
    }
    row -= EraseRowsBeneath(item, row, /*notify=*/false);
    DiscardChildren(item);
    PointCursorAt(item, row);
    this->SetRowState(row, TInterface::NoChildren);
  }

  // Inserts one row per child of `item` from `position` on, advancing it; answers how many.
  int AddExistedItems(int& position, CHierarchicalItem* item) {
    const int level = Depth(item) + 1;
    int added = 0;
    for (CHierarchicalItem& child : *item->childList) {
      this->InsertRow(position++, GetItemRowState(&child), level, &child);
      ++added;
    }
    return added;
  }

  void CopyTreeOf(const CHierarchicalModel& other) {
    DiscardTree();
    root.data = other.root.data;
    root.expanded = other.root.expanded;
    root.hasChildren = other.root.hasChildren;
    root.childList = &childLists.emplace_back(listPool);
    std::unordered_map<const void*, CHierarchicalItem*> copyOf{{&other.root, &root}};
    CopyChildren(other.root, root, copyOf);
    for (int row = 0; row < this->GetRowCount(); ++row) {
      const auto found = copyOf.find(this->GetRowID(row));
      this->SetRowID(row, found == copyOf.end() ? nullptr : found->second);
    }
    // The cursor never rests on a discarded item, so it is found; the root is the fallback all
    // the same, so that a copy cannot fail halfway.
    const auto cursor = copyOf.find(other.curItem);
    curItem = cursor == copyOf.end() ? &root : cursor->second;
    curRow = other.curRow;
  }

  void CopyChildren(const CHierarchicalItem& from, CHierarchicalItem& to,
                    std::unordered_map<const void*, CHierarchicalItem*>& copyOf) {
    for (const CHierarchicalItem& child : *from.childList) {
      CHierarchicalItem& copy = NewItem(&to, child.data);
      copy.expanded = child.expanded;
      copy.hasChildren = child.hasChildren;
      copyOf.emplace(&child, &copy);
      CopyChildren(child, copy, copyOf);
    }
  }

  // Declared first so that they outlive the lists that draw on them.
  typename CChildList::Pool itemPool;
  typename CStableList<CChildList, TAlloc<CChildList>>::Pool listPool;
  CStableList<CChildList, TAlloc<CChildList>> childLists;  // one entry per item, root first
  std::vector<CChildList*> freeChildLists;  // entries of discarded items, reused before new ones
  CHierarchicalItem root;
  CHierarchicalItem* curItem = &root;  // the next item is added under it
  int curRow = 0;                      // the next visible row is inserted here
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
