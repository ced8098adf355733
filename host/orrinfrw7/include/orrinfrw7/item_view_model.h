// Item view models: the geometry of a list of items (rows or columns) in pixels and the part of
// it a view shows; the repaint bookkeeping by item index; scroll models; and the helpers viewers
// use to map pixels to items.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "orrin7/types.h"
#include "orrinfrw7/index_translator.h"
#include "orrinfrw7/range_set.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Announces that items need repainting. View models and selection models carry one, so that
// every viewer showing them learns about the change by index range.
class CUpdateSource {
 public:
  // Items from … to (inclusive, either order; 0x7FFFFFFF for "to the end") need repainting.
  void UpdateItems(int from, int to) { ItemsUpdated.emit(from, to); }

  utilkit2::signal_t<int, int> ItemsUpdated;
};

// Repaint state of an item, and of a cell (GetCellUpdateType).
enum UpdateType : int {
  UT_Changed = 0,    // must be painted
  UT_Unchanged = 1,  // its pixels on the surface are still right
};

// The items of one axis of a viewer that changed since the viewer last painted. Each viewer keeps
// its own, fed by the UpdateItems of the models it shows, and clears it after each paint.
class CUpdateStorage {
 public:
  void UpdateItems(int from, int to) { m_changed.Add(from, to); }
  int GetItemType(int index) const { return m_changed.Contains(index) ? UT_Changed : UT_Unchanged; }
  bool HasUpdates() const { return !m_changed.IsEmpty(); }
  void Clear() { m_changed.Clear(); }

 private:
  CRangeSet m_changed;
};

// A cell must be painted when its row or its column changed.
inline int GetCellUpdateType(int rowType, int columnType) {
  return rowType == UT_Changed || columnType == UT_Changed ? UT_Changed : UT_Unchanged;
}

// Flags of IContinuousItemViewModel::GetFlags.
enum ItemViewFlag : int {
  IVF_StretchLastItem = 0x1,  // the last item reaches to the end of the view when items end earlier
};

// The geometry of a list of items laid out without gaps along one axis, in pixels: item i covers
// [GetItemOffset(i), GetItemOffset(i) + GetItemSize(i)). The view shows the window
// [GetViewStart(), GetViewStart() + GetViewSize()). Extents are limited to 0x7FFFFFFF pixels;
// larger totals are answered as that limit.
class IContinuousItemViewModel : public CUpdateSource {
 public:
  virtual ~IContinuousItemViewModel();

  virtual int GetCount() const = 0;
  // Pixels of item `index`; 0 outside the items.
  virtual int GetItemSize(int index) const = 0;
  virtual int GetDefaultItemSize() const = 0;
  // First pixel of item `index` (index is clamped to 0 … count; GetItemOffset(count) is the total).
  virtual int GetItemOffset(int index) const = 0;
  // The item that covers pixel `offset`; -1 outside [0, total). Items of size 0 cover nothing.
  virtual int GetItemAt(int offset) const = 0;
  virtual int GetTotalSize() const = 0;

  virtual int GetViewStart() const = 0;
  // Scrolls; the start is kept within 0 … max(0, total - view size). Emits Scrolled on a change
  // and answers whether a listener set its handled flag.
  virtual bool SetViewStart(int start) = 0;
  virtual int GetViewSize() const = 0;
  // `keepInside`: pull the start back so that the view does not reach past the last item.
  virtual void SetViewSize(int size, bool keepInside) = 0;
  virtual int GetFlags() const { return 0; }

  // (old start, new start, handled): after the view start changed. A listener that moved the
  // display along (a viewer scrolling its pixels, a scroll box moving its bar) sets *handled.
  utilkit2::signal_t<int, int, bool*> Scrolled;
  // The count or item sizes changed.
  utilkit2::signal_t<> ModelChanged;
};

// Items of one common size (the default item size).
class CSimpleDiscreteItemViewModel : public IContinuousItemViewModel {
 public:
  explicit CSimpleDiscreteItemViewModel(int defaultItemSize = 20);

  int GetCount() const override { return m_count; }
  int GetItemSize(int index) const override;
  int GetDefaultItemSize() const override { return m_defaultSize; }
  int GetItemOffset(int index) const override;
  int GetItemAt(int offset) const override;
  int GetTotalSize() const override;
  int GetViewStart() const override { return m_viewStart; }
  bool SetViewStart(int start) override;
  int GetViewSize() const override { return m_viewSize; }
  void SetViewSize(int size, bool keepInside) override;
  int GetFlags() const override { return m_flags; }

  // A negative count or size is reported to the assertion hook and taken as 0.
  virtual void SetCount(int count);
  void SetDefaultItemSize(int size);
  void SetFlags(int flags);
  // Scrolls so that item `index` starts at the top of the view (as far as the end allows).
  void SetStartItem(int index);
  // The item list changed as `translator` describes (call it after SetCount): the view keeps
  // showing the item that was at its top, at the same pixel within it.
  virtual void UpdateModelState(const IIndexTranslator& translator);

 protected:
  // Emits ModelChanged after the geometry changed and pulls the view start back into range.
  void GeometryChanged();
  // Offset of the item that held the view's first pixel before a change, as (item, pixels into it).
  std::pair<int, int> GetViewAnchor() const;
  void RestoreViewAnchor(std::pair<int, int> anchor, const IIndexTranslator& translator);
  static int Saturate(long long value);

  int m_count = 0;
  int m_defaultSize;

 private:
  bool ApplyViewStart(int start);

  int m_viewStart = 0;
  int m_viewSize = 0;
  int m_flags = 0;
};

// The items that have a size of their own, by index, as a treap whose nodes carry the number and
// the size sum of their subtree; the offset of an item and the item at an offset take O(log k)
// for k such items, whatever the default size. Copyable.
class CItemSizeTree {
 public:
  // Size of item `index` when it has its own; false otherwise.
  bool Find(int index, int& size) const;
  void Set(int index, int size);
  void Erase(int index);
  // Drops every item at or after `index`.
  void EraseFrom(int index);
  void Clear();
  int GetSize() const;
  // Number of own-size items before `index` and the sum of their sizes.
  void CountBefore(int index, int& count, long long& sum) const;
  // The item that covers `offset` when every other item is `defaultSize` pixels, for items
  // 0 … count - 1; `offset` must lie inside the total.
  int ItemAt(long long offset, int defaultSize, int count) const;
  // (index, size) pairs in index order.
  std::vector<std::pair<int, int>> GetItems() const;
  // Replaces the content with `items`, sorted by index with unique indexes.
  void Assign(const std::vector<std::pair<int, int>>& items);

 private:
  struct node_t {
    int index;
    int size;
    std::uint32_t priority;
    int left;
    int right;
    int count;      // nodes in this subtree
    long long sum;  // sizes in this subtree
  };

  int NewNode(int index, int size);
  void Pull(int node);
  int Count(int node) const { return node < 0 ? 0 : m_nodes[node].count; }
  long long Sum(int node) const { return node < 0 ? 0 : m_nodes[node].sum; }
  // Splits `node` into indexes below `index` (left) and the rest (right).
  void Split(int node, int index, int& left, int& right);
  int Merge(int left, int right);
  void Release(int node);
  int Build(const std::vector<std::pair<int, int>>& items, int begin, int end);
  void Collect(int node, std::vector<std::pair<int, int>>& out) const;

  std::vector<node_t> m_nodes;
  std::vector<int> m_free;
  int m_root = -1;
  std::uint32_t m_seed = 0x9E3779B9u;
};

// Items of a default size, some of which have a size of their own. A size equal to the default
// makes the item follow the default again.
class CDefaultDiscreteItemViewModel : public CSimpleDiscreteItemViewModel {
 public:
  explicit CDefaultDiscreteItemViewModel(int defaultItemSize = 20);

  int GetItemSize(int index) const override;
  int GetItemOffset(int index) const override;
  int GetItemAt(int offset) const override;
  int GetTotalSize() const override;
  void SetCount(int count) override;
  // Sizes of items outside 0 … count - 1 are ignored; a negative size is reported and taken as 0.
  void SetItemSize(int index, int size);
  void ResetItemSizes();
  // Makes the list `sizes.size()` items of these sizes in one change: one ModelChanged, and the
  // view start is kept within the new total only, not within the totals on the way to it.
  void SetItemSizes(const std::vector<int>& sizes);
  int GetOwnSizeCount() const { return m_sizes.GetSize(); }
  // Own sizes follow their items; sizes of removed items are dropped.
  void UpdateModelState(const IIndexTranslator& translator) override;

 private:
  long long Offset(int index) const;

  CItemSizeTree m_sizes;
};

// Position and extent of a scrollable element in scroll units, for the scroll bars that drive it.
class IScrollModel {
 public:
  virtual ~IScrollModel();
  // Extent in scroll units.
  virtual int GetTotal() const = 0;
  virtual void SetPosition(double position) = 0;
  virtual double GetPosition() const = 0;
  // Pixels one line step (an arrow click, a third of a wheel notch) scrolls.
  virtual int GetLineStep() const { return 16; }
  // (smallest position step in units, pixels one unit covers).
  virtual std::pair<double, int> GetPageInfo() const { return {1.0, 1}; }
};

// The scroll model a viewer has of its own: units are the pixels of an item view model.
class CPixelScrollModel : public IScrollModel {
 public:
  explicit CPixelScrollModel(IContinuousItemViewModel* model = nullptr) : m_model(model) {}
  void SetViewModel(IContinuousItemViewModel* model) { m_model = model; }
  IContinuousItemViewModel* GetViewModel() const { return m_model; }

  int GetTotal() const override;
  void SetPosition(double position) override;
  double GetPosition() const override;
  int GetLineStep() const override;

 private:
  IContinuousItemViewModel* m_model;  // not owned
};

// Pixel queries of item view models in view coordinates (0 = the first pixel of the view). All
// accept a null model and answer as for an empty list.
namespace Utils {

// The item at view pixel `pos`; -1 outside the items or before the view.
int HitTest(const IContinuousItemViewModel* model, int pos);
// View pixels [from, to) of item `index` (an index outside the items gives an empty range at the
// nearest end).
orrin7::range<int> GetItemIndexRange(const IContinuousItemViewModel* model, int index);
// View pixels from the start of item `first` to the end of item `last`.
orrin7::range<int> GetItemIndexRangeEx(const IContinuousItemViewModel* model, int first, int last);
// First and last item lying wholly inside the view; (-1, -1) when none does.
orrin7::range<int> GetWholeIndexRange(const IContinuousItemViewModel* model);
// First and last item with at least one pixel inside the view; (-1, -1) when none has.
orrin7::range<int> GetVisibleIndexRange(const IContinuousItemViewModel* model);

}  // namespace Utils

}  // namespace orrinfrw7

#pragma GCC visibility pop
