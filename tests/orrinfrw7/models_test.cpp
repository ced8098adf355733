// The framework's models against plain references under fixed-seed random operations: item view
// models and pixel helpers, range sets, range selections with batches, repaint bookkeeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/selection_model.h"

using namespace orrinfrw7;
using Log = std::vector<std::string>;

namespace {

// Reverses items 10 … 29 and removes every fifth of them, as sorting and filtering do.
class shuffle_translator_t : public IIndexTranslator {
 public:
  int TranslateIndex(int index, bool* removed) const override {
    if (index < 10 || index >= 30) return index;
    if (index % 5 != 0) return 39 - index;
    if (removed) *removed = true;
    return 10;
  }
};

// Writes every signal of a view model as one line, in order.
struct view_log_t : utilkit2::subscriber_base_t {
  explicit view_log_t(IContinuousItemViewModel& model) {
    model.Scrolled.connect(this, &view_log_t::OnScrolled);
    model.ModelChanged.connect(this, &view_log_t::OnChanged);
  }
  void OnScrolled(int from, int to, bool*) {
    lines.push_back("scrolled " + std::to_string(from) + ">" + std::to_string(to));
  }
  void OnChanged() { lines.push_back("changed"); }
  Log lines;
};

// What an item view model should answer: own sizes by index, the rest at the default.
struct view_reference_t {
  int def, count = 0, start = 0, view = 0;
  bool ownSizes;  // false: every item has the default size
  std::map<int, int> own;
  Log log;

  int Size(int i) const {
    if (i < 0 || i >= count) return 0;
    const auto it = own.find(i);
    return it == own.end() ? def : it->second;
  }
  int Offset(int i) const {
    int sum = 0;
    for (int k = 0; k < std::clamp(i, 0, count); ++k) sum += Size(k);
    return sum;
  }
  int At(int offset) const {
    for (int i = 0, o = 0; i < count; o += Size(i++))
      if (offset >= o && offset < o + Size(i)) return i;
    return -1;
  }
  void Scroll(int to) {
    to = std::clamp(to, 0, std::max(0, Offset(count) - view));
    if (to != start) log.push_back("scrolled " + std::to_string(start) + ">" + std::to_string(to));
    start = to;
  }
  void Changed() {
    log.push_back("changed");
    Scroll(start);
  }
  void SetCount(int n) {
    if (n == count) return;
    for (auto it = own.lower_bound(n); it != own.end();) it = own.erase(it);
    count = n;
    Changed();
  }
  // The item at the top keeps its place and the pixel within it, unless it was removed.
  void Translate(const IIndexTranslator& translator) {
    const int anchor = At(start);
    const int within = start - Offset(anchor);
    if (ownSizes) {
      std::map<int, int> moved;
      for (auto [i, size] : own) {
        bool removed = false;
        const int target = translator.TranslateIndex(i, &removed);
        if (!removed && target >= 0 && target < count) moved[target] = size;
      }
      own = moved;
    }
    log.push_back("changed");
    if (anchor < 0) return;
    bool removed = false;
    const int item = translator.TranslateIndex(anchor, &removed);
    Scroll(Offset(item) + (removed ? 0 : std::min(within, std::max(Size(item) - 1, 0))));
  }
};

// Every size, offset and pixel of the model and the helpers' answers in view pixels.
void ExpectSame(const CSimpleDiscreteItemViewModel& model, const view_reference_t& ref) {
  ASSERT_EQ(model.GetCount(), ref.count);
  ASSERT_EQ(model.GetViewStart(), ref.start);
  std::vector<int> offsets{0}, owner;  // offsets[i] for 0 … count; owner[pixel]
  for (int i = 0; i < ref.count; ++i) {
    offsets.push_back(offsets.back() + ref.Size(i));
    owner.resize(offsets.back(), i);
  }
  const auto offset = [&](int i) { return offsets[std::clamp(i, 0, ref.count)]; };
  const auto at = [&](int o) { return o >= 0 && o < int(owner.size()) ? owner[o] : -1; };
  ASSERT_EQ(model.GetTotalSize(), offsets.back());
  for (int i = -1; i <= ref.count + 1; ++i) {
    ASSERT_EQ(model.GetItemSize(i), ref.Size(i)) << i;
    ASSERT_EQ(model.GetItemOffset(i), offset(i)) << i;
  }
  for (int o = -1; o <= offsets.back(); ++o) ASSERT_EQ(model.GetItemAt(o), at(o)) << o;
  // Items with pixels in the view, and those wholly in it; a hidden item (size 0) counts as both
  // when it lies strictly between the view's edges.
  int first = -1, last = -1, whole_first = -1, whole_last = -1;
  for (int i = 0; i < ref.count; ++i) {
    const int from = offset(i) - ref.start, to = offset(i + 1) - ref.start;
    const bool hidden = from == to;
    if (hidden ? from <= 0 || from >= ref.view : std::max(from, 0) >= std::min(to, ref.view))
      continue;
    if (first < 0) first = i;
    last = i;
    if (from < 0 || to > ref.view) continue;
    if (whole_first < 0) whole_first = i;
    whole_last = i;
  }
  ASSERT_EQ(Utils::GetVisibleIndexRange(&model), (orrin7::range<int>{first, last}));
  ASSERT_EQ(Utils::GetWholeIndexRange(&model), (orrin7::range<int>{whole_first, whole_last}));
  for (int pos = -1; pos <= ref.view; ++pos)
    ASSERT_EQ(Utils::HitTest(&model, pos), pos < 0 ? -1 : at(ref.start + pos)) << pos;
  for (int i = -1; i <= ref.count; ++i) {
    const int from = offset(i) - ref.start;
    ASSERT_EQ(Utils::GetItemIndexRange(&model, i), (orrin7::range<int>{from, from + ref.Size(i)}));
    ASSERT_EQ(Utils::GetItemIndexRangeEx(&model, i + 2, i),
              (orrin7::range<int>{from, offset(i + 3) - ref.start}));
  }
}

// Inserts or removes a run at the top, in the middle or at the end, as a data model does: the
// count first, then the translator.
CAddRemoveTranslator RandomAddRemove(std::mt19937& rng, int count) {
  const int where = int(rng() % 3);
  const int index = where == 0 ? -1 : where == 1 ? int(rng() % (count + 1)) - 1 : count - 1;
  const int room = count - 1 - index;  // items after the change point
  if (rng() % 2 == 0 || room == 0) return {index, 1 + int(rng() % 8)};
  return {index, -(1 + int(rng() % std::min(room, 8)))};
}

void RunViewModel(CSimpleDiscreteItemViewModel& model, CDefaultDiscreteItemViewModel* sized,
                  unsigned seed) {
  std::mt19937 rng(seed);
  view_reference_t ref{model.GetDefaultItemSize(), 0, 0, 0, sized != nullptr, {}, {}};
  view_log_t log(model);
  const shuffle_translator_t shuffle;
  for (int step = 0; step < 400; ++step) {
    const int op = int(rng() % 10), total = ref.Offset(ref.count);
    if (op <= 1) {
      const CAddRemoveTranslator t = RandomAddRemove(rng, ref.count);
      if (ref.count + t.delta > 60) continue;
      model.SetCount(ref.count + t.delta);
      ref.SetCount(ref.count + t.delta);
      model.UpdateModelState(t);
      ref.Translate(t);
    } else if (op == 2) {
      model.UpdateModelState(shuffle);
      ref.Translate(shuffle);
    } else if (op == 3 && sized) {
      const int i = int(rng() % (ref.count + 2)) - 1,
                size = int(rng() % 4) ? int(rng() % 30) : ref.def;
      sized->SetItemSize(i, size);
      if (i < 0 || i >= ref.count || ref.Size(i) == size) continue;
      size == ref.def ? (void)ref.own.erase(i) : (void)(ref.own[i] = size);
      ref.Changed();
    } else if (op == 4 && rng() % 8 == 0) {
      const int size = int(rng() % 4) ? 1 + int(rng() % 20) : 0;
      model.SetDefaultItemSize(size);
      if (size == ref.def) continue;
      ref.def = size;
      ref.Changed();
    } else if (op <= 6) {
      const int to = int(rng() % (total + 40)) - 20;
      model.SetViewStart(to);
      ref.Scroll(to);
    } else if (op == 7) {
      const int item = int(rng() % (ref.count + 3)) - 1;
      model.SetStartItem(item);
      ref.Scroll(ref.Offset(item));
    } else if (op == 8) {
      const bool keep = rng() % 2;
      ref.view = int(rng() % 120);
      model.SetViewSize(ref.view, keep);
      if (keep) ref.Scroll(ref.start);
    } else if (op == 9 && sized && rng() % 5 == 0) {
      sized->ResetItemSizes();
      if (ref.own.empty()) continue;
      ref.own.clear();
      ref.Changed();
    } else if (op == 9 && sized && rng() % 4 == 0) {  // all sizes at once, the count too
      std::vector<int> sizes(rng() % 40);
      ref.own.clear();
      for (std::size_t i = 0; i < sizes.size(); ++i) {
        sizes[i] = rng() % 2 ? ref.def : int(rng() % 30);
        if (sizes[i] != ref.def) ref.own[int(i)] = sizes[i];
      }
      sized->SetItemSizes(sizes);
      ref.count = int(sizes.size());
      ref.Changed();
    }
    ASSERT_EQ(log.lines, ref.log) << "step " << step;
    ASSERT_NO_FATAL_FAILURE(ExpectSame(model, ref)) << "step " << step;
  }
}

// Seeds 1 … 3 with common sizes (the last of size 0), 4 … 7 with own sizes (the last default 0).
TEST(item_view_model, CommonAndOwnSizesMatchAReferenceThroughRandomEditsScrollsAndTranslators) {
  for (unsigned seed = 1; seed <= 7; ++seed) {
    CDefaultDiscreteItemViewModel sized(seed == 7 ? 0 : 10);
    CSimpleDiscreteItemViewModel common(seed == 3 ? 0 : 7 + int(seed));
    if (seed <= 3) RunViewModel(common, nullptr, seed);
    if (seed > 3) RunViewModel(sized, &sized, seed);
  }
}

// A scroll bar's line step is the default item size, or 16 pixels when items have none.
TEST(item_view_model, ScrollLinesAreTheDefaultSizeOr16Pixels) {
  for (int size : {0, 9}) {
    CDefaultDiscreteItemViewModel rows(size);
    EXPECT_EQ(CPixelScrollModel(&rows).GetLineStep(), size ? size : 16) << size;
  }
}

TEST(item_view_model, TotalsBeyondTheIntegerRangeSaturate) {
  CDefaultDiscreteItemViewModel model(1000);
  model.SetCount(10000000);                  // ten thousand million pixels
  model.SetItemSize(5, 0);                   // a hidden row early on
  EXPECT_EQ(model.GetTotalSize(), INT_MAX);  // answered as the limit
  EXPECT_EQ(model.GetItemAt(5000), 6);       // past the hidden row
  EXPECT_EQ(model.GetItemOffset(2000000), 1999999000);
  EXPECT_EQ(model.GetItemAt(INT_MAX - 1), 2147484);
}

// ---- range sets and selections ----

// The maximal runs of a set of indexes.
std::vector<std::pair<int, int>> Runs(const std::set<int>& items) {
  std::vector<std::pair<int, int>> runs;
  for (int i : items) {
    if (!runs.empty() && runs.back().second == i - 1) {
      runs.back().second = i;
    } else {
      runs.emplace_back(i, i);
    }
  }
  return runs;
}

std::vector<std::pair<int, int>> Runs(const CRangeSet& set) {
  std::vector<std::pair<int, int>> runs;
  for (const CRangeSet::range_t& r : set.GetRanges()) runs.emplace_back(r.first, r.last);
  return runs;
}

// Two windows of indexes: near 0 and just under the top of the range, where sums overflow.
int RandomIndex(std::mt19937& rng) {
  const int i = int(rng() % 300) - 5;
  return rng() % 4 == 0 ? INT_MAX - 299 + std::max(i, 0) : i;
}

TEST(range_set, AddRemoveAndQueriesMatchAPlainSet) {
  std::mt19937 rng(21);
  CRangeSet set;
  std::set<int> ref;
  for (int step = 0; step < 1500; ++step) {
    const int a = RandomIndex(rng);
    int b =
        rng() % 3 ? int(std::min<long long>(a + long(rng() % 40) - 20, INT_MAX)) : RandomIndex(rng);
    if ((a > INT_MAX - 300) != (b > INT_MAX - 300)) b = a;  // one window at a time
    const bool add = rng() % 3 != 0;
    long long expected = 0;
    for (long long i = std::max(std::min(a, b), 0); i <= std::max(a, b); ++i)
      expected += add ? ref.insert(int(i)).second : ref.erase(int(i));
    ASSERT_EQ(add ? set.Add(a, b) : set.Remove(a, b), expected) << step;
    if (step % 200 == 199) {
      set.Clear();
      ref.clear();
    }
    ASSERT_EQ(Runs(set), Runs(ref)) << step;
    ASSERT_EQ(set.GetCount(), (long long)ref.size());
    ASSERT_EQ(set.IsEmpty(), ref.empty());
    ASSERT_EQ(set.GetFirst(), ref.empty() ? -1 : *ref.begin());
    ASSERT_EQ(set.GetLast(), ref.empty() ? -1 : *ref.rbegin());
    long long n = 0;
    for (int i : ref) ASSERT_EQ(set.GetNth(n++), i);
    ASSERT_EQ(set.GetNth(n), -1);
    ASSERT_EQ(set.GetNth(-1), -1);
    for (int k = 0; k < 20; ++k) {
      const int i = RandomIndex(rng);
      ASSERT_EQ(set.Contains(i), ref.count(i) != 0) << i;
    }
  }
}

// Everything a selection model tells its listeners, one line per signal.
struct selection_log_t : utilkit2::subscriber_base_t {
  explicit selection_log_t(ISelectionModel& model) {
    model.ItemsUpdated.connect(this, &selection_log_t::OnUpdated);
    model.SelectionChanged.connect(this, &selection_log_t::OnSelection);
    model.CurrentChanged.connect(this, &selection_log_t::OnCurrent);
  }
  void OnUpdated(int from, int to) {
    lines.push_back("update " + std::to_string(from) + "-" + std::to_string(to));
  }
  void OnSelection() { lines.push_back("selection"); }
  void OnCurrent(int from, int to) {
    lines.push_back("current " + std::to_string(from) + ">" + std::to_string(to));
  }
  Log lines;
};

// The selection, the current item and the notifications a batch owes: the items it touched
// (repainted as maximal runs, or as one hull when there are more than 64), whether the
// selection changed, and the current item when the batch began.
struct selection_reference_t {
  std::set<int> selected, touched;
  int current = -1, currentBefore = -1, depth = 0;
  bool changed = false;
  Log log;

  void Touch(int from, int to) {
    for (int i = std::max(std::min(from, to), 0); i <= std::max(from, to); ++i) touched.insert(i);
  }
  void Select(int from, int to, bool on) {
    bool any = false;
    for (int i = std::max(std::min(from, to), 0); i <= std::max(from, to); ++i)
      any |= on ? selected.insert(i).second : selected.erase(i) != 0;
    if (!any) return;
    Touch(from, to);
    changed = true;
    Flush();
  }
  void SetCurrent(int item) {
    item = std::max(item, -1);
    if (item == current) return;
    for (int i : {current, item})
      if (i >= 0) touched.insert(i);
    current = item;
    Flush();
  }
  void Clear() {
    if (selected.empty()) return;
    touched.insert(selected.begin(), selected.end());
    selected.clear();
    changed = true;
    Flush();
  }
  void Translate(const IIndexTranslator& translator) {
    ++depth;
    std::set<int> moved;
    for (int i : selected) {
      bool removed = false;
      const int target = translator.TranslateIndex(i, &removed);
      if (!removed && target >= 0) moved.insert(target);
    }
    touched.insert(selected.begin(), selected.end());
    touched.insert(moved.begin(), moved.end());
    changed |= moved != selected;
    selected = moved;
    if (current >= 0) SetCurrent(translator.TranslateIndex(current, nullptr));
    End();
  }
  void End() {
    --depth;
    Flush();
  }
  void Flush() {
    if (depth > 0) return;
    auto runs = Runs(touched);
    if (runs.size() > 64) runs = {{runs.front().first, runs.back().second}};
    for (auto [from, to] : runs)
      log.push_back("update " + std::to_string(from) + "-" + std::to_string(to));
    if (changed) log.push_back("selection");
    if (currentBefore != current)
      log.push_back("current " + std::to_string(currentBefore) + ">" + std::to_string(current));
    touched.clear();
    changed = false;
    currentBefore = current;
  }
};

TEST(selection_model, RandomOperationsBatchesAndTranslatorsMatchAPlainSet) {
  std::mt19937 rng(11);
  CRangeSelectionModel model;
  selection_reference_t ref;
  selection_log_t log(model);
  const shuffle_translator_t shuffle;
  for (int step = 0; step < 1500; ++step) {
    const int a = int(rng() % 200) - 2, b = a + int(rng() % 30) - 10, op = int(rng() % 10);
    if (op <= 2) {
      const bool on = rng() % 3 != 0;
      model.SelectRange(a, b, on);
      ref.Select(a, b, on);
    } else if (op == 3) {
      model.SetCurrent(a);
      ref.SetCurrent(a);
    } else if (op == 4) {
      const bool on = rng() % 2;
      model.SelectItem(a, on);
      ref.Select(a, a, on);
    } else if (op <= 6) {
      const int count = ref.selected.empty() ? 200 : *ref.selected.rbegin() + 1;
      const CAddRemoveTranslator add_remove = RandomAddRemove(rng, count);
      const IIndexTranslator& t =
          op == 5 ? static_cast<const IIndexTranslator&>(add_remove) : shuffle;
      model.UpdateModelState(t);
      ref.Translate(t);
    } else if (op == 7 && rng() % 4 == 0) {
      model.ClearSelection();
      ref.Clear();
    } else if (op >= 8) {
      // A batch of a few or of very many scattered changes, sometimes nested, sometimes one
      // that ends where it began.
      CSelectionBatch outer(model);
      ++ref.depth;
      const int spans = op == 8 ? 1 + int(rng() % 4) : 30 + int(rng() % 80);
      for (int k = 0; k < spans; ++k) {
        const int at = int(rng() % 400);
        const bool on = rng() % 4 != 0;
        CSelectionBatch inner(model);
        ++ref.depth;
        model.SelectItem(at, on);
        ref.Select(at, at, on);
        if (rng() % 8 == 0) {
          model.SetCurrent(at);
          ref.SetCurrent(at);
        }
        ref.End();
      }
      if (rng() % 5 == 0) {
        model.SetCurrent(ref.currentBefore);
        ref.SetCurrent(ref.currentBefore);
      }
      ASSERT_EQ(log.lines, ref.log) << "nothing before the batch ends, step " << step;
      ref.End();
    }
    ASSERT_EQ(log.lines, ref.log) << "step " << step;
    ASSERT_EQ(model.GetCurrent(), ref.current);
    ASSERT_EQ(Runs(model.GetRanges()), Runs(ref.selected)) << step;
    ASSERT_EQ(model.GetSelectedCount(), (long long)ref.selected.size());
    long long n = 0;
    for (int item : ref.selected) ASSERT_EQ(model.GetSelectedItem(n++), item);
    ASSERT_EQ(model.GetSelectedItem(n), -1);
  }
}

TEST(selection_model, SelectingTenMillionItemsIsOneRange) {
  CRangeSelectionModel model;
  selection_log_t log(model);
  model.SelectRange(9999999, 0, true);
  model.SelectRange(5000000, 5000000, false);
  EXPECT_EQ(log.lines,
            (Log{"update 0-9999999", "selection", "update 5000000-5000000", "selection"}));
  EXPECT_EQ(model.GetRanges().GetRanges().size(), 2u);
  EXPECT_EQ(model.GetSelectedItem(5000000), 5000001);
  model.UpdateModelState(CAddRemoveTranslator(-1, -4000000));  // the first four million go
  EXPECT_EQ(model.GetSelectedCount(), 5999999);
  EXPECT_EQ(model.GetSelectedItem(0), 0);
}

// ---- repaint bookkeeping ----

TEST(update_storage, ChangedItemsAreThoseAnnouncedSinceTheLastClear) {
  std::mt19937 rng(31);
  CUpdateStorage storage;
  std::set<int> ref;
  for (int step = 0; step < 400; ++step) {
    const int a = int(rng() % 120) - 3, b = rng() % 10 ? a + int(rng() % 20) - 10 : 0x7FFFFFFF;
    if (rng() % 12 == 0) {
      storage.Clear();
      ref.clear();
    } else {
      storage.UpdateItems(a, b);
      for (int i = std::max(std::min(a, b), 0); i <= std::min(std::max(a, b), 130); ++i)
        ref.insert(i);
    }
    ASSERT_EQ(storage.HasUpdates(), !ref.empty());
    for (int i = -1; i <= 130; ++i)
      ASSERT_EQ(storage.GetItemType(i), ref.count(i) ? UT_Changed : UT_Unchanged) << i;
  }
  // A cell is painted when its row or its column changed.
  EXPECT_EQ((std::vector<int>{GetCellUpdateType(UT_Changed, UT_Changed),
                              GetCellUpdateType(UT_Changed, UT_Unchanged),
                              GetCellUpdateType(UT_Unchanged, UT_Changed),
                              GetCellUpdateType(UT_Unchanged, UT_Unchanged)}),
            (std::vector<int>{UT_Changed, UT_Changed, UT_Changed, UT_Unchanged}));
}

}  // namespace
