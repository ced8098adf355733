// Index translators: how a listener that keeps item indexes (a selection, a current row, a
// scroll anchor) maps them across a change of the item list.
#pragma once

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Maps an index of the item list before a change to the index of the same item after it.
class IIndexTranslator {
 public:
  virtual ~IIndexTranslator() = default;
  // True for every translator that can be used during the change notification it belongs to.
  virtual bool IsValid() const { return true; }
  // The new index of the item that was at `index`. When the item no longer exists, *removed
  // (if given) is set to true and the answer is the nearest index that still exists; the flag
  // is never cleared.
  virtual int TranslateIndex(int index, bool* removed) const = 0;
};

// Describes one contiguous insertion or removal. `index` is the last item that keeps its
// place: the change begins right after it (-1 for a change at the very top). A positive `delta`
// inserted that many items after `index`; a negative one removed -delta items after `index`.
// Mapping, for an old index i:
//   i <= index                       -> i (in front of the change, unmoved)
//   insertion: i > index             -> i + delta
//   removal: index < i <= index - delta -> the item is gone: *removed = true, answer `index`
//                                       (the item in front of the removed run, so a current row
//                                       on a removed child lands on the row it was under)
//   removal: i > index - delta       -> i + delta
// At rest (0, 0) every index maps to itself.
class CAddRemoveTranslator : public IIndexTranslator {
 public:
  CAddRemoveTranslator() = default;
  CAddRemoveTranslator(int index, int delta) : index(index), delta(delta) {}

  int TranslateIndex(int i, bool* removed) const override {
    if (i <= index || delta == 0) return i;
    if (delta > 0) return i + delta;
    if (i <= index - delta) {
      if (removed != nullptr) *removed = true;
      return index;
    }
    return i + delta;
  }

  int index = 0;
  int delta = 0;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
