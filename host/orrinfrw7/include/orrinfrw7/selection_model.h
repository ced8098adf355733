// Selection models: which items of a list are selected and which one is current.
#pragma once

#include "orrinfrw7/index_translator.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/range_set.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// The selected items of a list and its current item (the one with the focus frame, negative when
// there is none). Changes announce the changed index span through UpdateItems (for repainting)
// and then emit SelectionChanged or CurrentChanged. Between BeginUpdate and EndUpdate the
// notifications are held back and sent once at the outermost EndUpdate.
class ISelectionModel : public CUpdateSource {
 public:
  virtual ~ISelectionModel();

  virtual int GetCurrent() const = 0;
  virtual void SetCurrent(int item) = 0;
  virtual void SelectItem(int item, bool selected) = 0;
  // Items from … to inclusive, ends in either order.
  virtual void SelectRange(int from, int to, bool selected) = 0;
  virtual bool IsItemSelected(int item) const = 0;
  virtual void ClearSelection() = 0;
  virtual long long GetSelectedCount() const = 0;
  // The n-th selected item in ascending order; -1 when n is outside 0 … count - 1.
  virtual int GetSelectedItem(long long n) const = 0;
  // The item list changed as `translator` describes: selected items follow their items (removed
  // ones leave the selection) and the current item moves to the translated index.
  virtual void UpdateModelState(const IIndexTranslator& translator) = 0;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;

  utilkit2::signal_t<> SelectionChanged;
  // (old current, new current).
  utilkit2::signal_t<int, int> CurrentChanged;
};

// Holds a batch open for the lifetime of a scope.
class CSelectionBatch {
 public:
  explicit CSelectionBatch(ISelectionModel& model) : m_model(model) { m_model.BeginUpdate(); }
  ~CSelectionBatch() { m_model.EndUpdate(); }
  CSelectionBatch(const CSelectionBatch&) = delete;
  CSelectionBatch& operator=(const CSelectionBatch&) = delete;

 private:
  ISelectionModel& m_model;
};

// The selection as a set of index ranges: selecting all of ten million items is one range, in
// O(1) time and memory; the n-th selected item is found by binary search over the ranges.
class CRangeSelectionModel : public ISelectionModel {
 public:
  int GetCurrent() const override { return m_current; }
  void SetCurrent(int item) override;
  void SelectItem(int item, bool selected) override { SelectRange(item, item, selected); }
  void SelectRange(int from, int to, bool selected) override;
  bool IsItemSelected(int item) const override { return m_selected.Contains(item); }
  void ClearSelection() override;
  long long GetSelectedCount() const override { return m_selected.GetCount(); }
  int GetSelectedItem(long long n) const override { return m_selected.GetNth(n); }
  void UpdateModelState(const IIndexTranslator& translator) override;
  void BeginUpdate() override { ++m_batchDepth; }
  void EndUpdate() override;

  const CRangeSet& GetRanges() const { return m_selected; }

 private:
  // Sends the held-back notifications unless a batch is open.
  void Flush();
  void TranslateByAddRemove(const CAddRemoveTranslator& translator);
  void TranslateItemByItem(const IIndexTranslator& translator);

  CRangeSet m_selected;
  int m_current = -1;
  int m_batchDepth = 0;
  // Held-back notifications of the open batch: the spans to repaint, whether the set changed,
  // and the current item when the batch began.
  CRangeSet m_dirty;
  bool m_selectionChanged = false;
  int m_currentBefore = -1;
  bool m_currentPending = false;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
