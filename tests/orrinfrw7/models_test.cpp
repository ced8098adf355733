// Item view models against a plain walk over the sizes on random sizes, view clamping and the
// scroll signal, translators and the pixel helpers; range selections against a plain set under
// random operations and index translators, and batching of notifications.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>
#include <vector>

#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/selection_model.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;

namespace {

// Walks the sizes one by one: every offset, size and pixel of every item.
void ExpectSame(const CDefaultDiscreteItemViewModel& model, const std::vector<int>& sizes) {
  ASSERT_EQ(model.GetCount(), int(sizes.size()));
  int offset = 0;
  for (int i = 0; i < model.GetCount(); offset += sizes[i++]) {
    ASSERT_EQ(model.GetItemOffset(i), offset) << "item " << i;
    ASSERT_EQ(model.GetItemSize(i), sizes[i]) << "item " << i;
    for (int o = offset; o < offset + sizes[i]; ++o) ASSERT_EQ(model.GetItemAt(o), i) << o;
  }
  ASSERT_EQ(model.GetItemOffset(model.GetCount()), offset);
  ASSERT_EQ(model.GetTotalSize(), offset);
  ASSERT_EQ(model.GetItemAt(-1), -1);
  ASSERT_EQ(model.GetItemAt(offset), -1);
}

TEST(item_view_model, OwnSizesMatchAReferenceThroughRandomEdits) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    const int count = 1 + int(rng() % 300);
    const int def = int(rng() % 4 == 0 ? 0 : 1 + rng() % 25);  // sometimes zero-size defaults
    CDefaultDiscreteItemViewModel model(def);
    model.SetCount(count);
    std::vector<int> ref(count, def);
    for (int edit = 0; edit < 200; ++edit) {
      const int i = int(rng() % count);
      const int size = rng() % 3 == 0 ? def : int(rng() % 40);  // some back to the default
      model.SetItemSize(i, size);
      ref[i] = size;
    }
    ExpectSame(model, ref);
    // A new default moves only the items without a size of their own.
    const int new_def = 3 + int(rng() % 10);
    for (int i = 0; i < count; ++i)
      if (model.GetItemSize(i) == def) ref[i] = new_def;
    model.SetDefaultItemSize(new_def);
    ExpectSame(model, ref);
    // Shrinking drops own sizes past the end; growing brings defaults, not old sizes.
    model.SetCount(count / 2);
    model.SetCount(count);
    for (int i = count / 2; i < count; ++i) ref[i] = new_def;
    ExpectSame(model, ref);
  }
}

TEST(item_view_model, ViewStartStaysInRangeAndScrollingIsSignalled) {
  CSimpleDiscreteItemViewModel model(10);
  model.SetCount(100);
  model.SetViewSize(95, /*keepInside=*/true);
  auto spy = sv4_test::spy_on(model.Scrolled);
  model.SetViewStart(5000);
  model.SetViewStart(-3);
  model.SetViewStart(0);   // nothing moves: no signal
  model.SetStartItem(95);  // as far as the end allows
  model.SetCount(50);      // the end moved in: the view follows
  model.SetViewSize(1000, /*keepInside=*/true);
  std::vector<std::pair<int, int>> moves;
  for (const auto& r : spy.records()) moves.emplace_back(std::get<0>(r), std::get<1>(r));
  EXPECT_EQ(moves,
            (std::vector<std::pair<int, int>>{{0, 905}, {905, 0}, {0, 905}, {905, 405}, {405, 0}}));
  EXPECT_EQ(model.GetViewStart(), 0);
}

TEST(item_view_model, SizesAndTheTopItemFollowATranslator) {
  CDefaultDiscreteItemViewModel model(10);
  model.SetCount(100);
  model.SetViewSize(50, /*keepInside=*/true);
  model.SetItemSize(30, 25);
  model.SetItemSize(60, 5);
  model.SetViewStart(model.GetItemOffset(40) + 3);  // item 40, three pixels in
  // Five items inserted after item 19: everything from 20 on moves down by five.
  model.SetCount(105);
  model.UpdateModelState(CAddRemoveTranslator(19, 5));
  EXPECT_EQ((std::vector<int>{model.GetItemSize(30), model.GetItemSize(35), model.GetItemSize(65)}),
            (std::vector<int>{10, 25, 5}));
  EXPECT_EQ(model.GetViewStart(), model.GetItemOffset(45) + 3);
  // Items 21 … 40 removed: the sized item 35 goes with them.
  model.SetCount(85);
  model.UpdateModelState(CAddRemoveTranslator(20, -20));
  EXPECT_EQ(model.GetOwnSizeCount(), 1);
  EXPECT_EQ(model.GetItemSize(45), 5);
}

TEST(item_view_model, PixelHelpersWorkInViewCoordinates) {
  CDefaultDiscreteItemViewModel model(10);
  model.SetCount(20);
  model.SetItemSize(3, 0);  // hidden item
  model.SetViewSize(35, /*keepInside=*/true);
  model.SetViewStart(15);  // item 1 half out at the top (pixels 10 … 19)
  std::vector<int> hits;   // item 3 has no pixels
  for (int pos : {0, 14, 15, -1, 1000}) hits.push_back(Utils::HitTest(&model, pos));
  EXPECT_EQ(hits, (std::vector<int>{1, 2, 4, -1, -1}));
  EXPECT_EQ(Utils::GetItemIndexRange(&model, 1), (orrin7::range<int>{-5, 5}));
  EXPECT_EQ(Utils::GetItemIndexRangeEx(&model, 4, 2), (orrin7::range<int>{5, 25}));
  // View pixels 0 … 34 show item 1 cut at the top, then items 2, 4 and 5 whole.
  EXPECT_EQ(Utils::GetVisibleIndexRange(&model), (orrin7::range<int>{1, 5}));
  EXPECT_EQ(Utils::GetWholeIndexRange(&model), (orrin7::range<int>{2, 5}));
  model.SetViewStart(6);  // pixels 6 … 40: items 0 and 5 cut
  EXPECT_EQ(Utils::GetVisibleIndexRange(&model), (orrin7::range<int>{0, 5}));
  EXPECT_EQ(Utils::GetWholeIndexRange(&model), (orrin7::range<int>{1, 4}));
}

// ---- selections ----

void ExpectSameSelection(const CRangeSelectionModel& model, const std::set<int>& reference,
                         int current) {
  ASSERT_EQ(model.GetCurrent(), current);
  ASSERT_EQ(model.GetSelectedCount(), (long long)reference.size());
  long long n = 0;
  for (int item : reference) ASSERT_EQ(model.GetSelectedItem(n++), item);
  ASSERT_EQ(model.GetSelectedItem(n), -1);
  for (int item = 0; item < 400; ++item)
    ASSERT_EQ(model.IsItemSelected(item), reference.count(item) != 0) << item;
  // Ranges stay disjoint and apart (touching ones are merged).
  const auto ranges = model.GetRanges().GetRanges();
  for (std::size_t i = 1; i < ranges.size(); ++i)
    ASSERT_GT(ranges[i].first, ranges[i - 1].last + 1);
}

// Moves items by a fixed permutation of a window and removes every fifth item of it, the kind of
// change sorting and filtering make.
class shuffle_translator_t : public IIndexTranslator {
 public:
  int TranslateIndex(int index, bool* removed) const override {
    if (index < 100 || index >= 200) return index;
    if (index % 5 != 0) return 299 - index;
    if (removed) *removed = true;
    return 100;
  }
};

TEST(selection_model, RandomOperationsAndTranslatorsMatchAPlainSet) {
  std::mt19937 rng(11);
  CRangeSelectionModel model;
  std::set<int> reference;
  int current = -1;
  const shuffle_translator_t shuffle;
  for (int step = 0; step < 3000; ++step) {
    const int a = int(rng() % 400), b = int(rng() % 400), op = int(rng() % 8);
    if (op < 3) {
      const bool on = rng() % 3 != 0;
      model.SelectRange(a, b, on);
      for (int i = std::min(a, b); i <= std::max(a, b); ++i)
        on ? (void)reference.insert(i) : (void)reference.erase(i);
    } else if (op == 3) {
      model.SelectItem(a, true);
      reference.insert(a);
      model.SetCurrent(current = b);
    } else if (op < 6) {
      const CAddRemoveTranslator add_remove(a - 1, int(rng() % 30) - 15);
      const IIndexTranslator& translator =
          op == 4 ? static_cast<const IIndexTranslator&>(add_remove) : shuffle;
      model.UpdateModelState(translator);
      // The reference follows item by item; the current row goes where its index maps.
      std::set<int> moved;
      for (int item : reference) {
        bool removed = false;
        const int target = translator.TranslateIndex(item, &removed);
        if (!removed && target >= 0) moved.insert(target);
      }
      reference = moved;
      if (current >= 0) current = std::max(translator.TranslateIndex(current, nullptr), -1);
    } else if (op == 6 && rng() % 10 == 0) {
      model.ClearSelection();
      reference.clear();
    } else if (op == 7) {
      model.SelectItem(a, false);
      reference.erase(a);
    }
    ExpectSameSelection(model, reference, current);
  }
}

TEST(selection_model, BatchesNotifyOnceWithTheChangedSpans) {
  CRangeSelectionModel model;
  model.SelectRange(10, 12, true);
  model.SetCurrent(3);
  auto changed = sv4_test::spy_on(model.SelectionChanged);
  auto updated = sv4_test::spy_on(model.ItemsUpdated);
  auto current = sv4_test::spy_on(model.CurrentChanged);
  {
    CSelectionBatch batch(model);
    model.ClearSelection();
    model.SelectItem(40, true);
    model.SetCurrent(40);
    model.SetCurrent(41);
    EXPECT_EQ(changed.count(), 0u);
  }
  EXPECT_EQ(changed.count(), 1u);
  using pair_t = std::tuple<int, int>;
  EXPECT_EQ(current.records(), (std::vector<pair_t>{{3, 41}}));
  // Rows 3 (old current), 10 … 12 (unselected) and 40 … 41.
  EXPECT_EQ(updated.records(), (std::vector<pair_t>{{3, 3}, {10, 12}, {40, 41}}));

  model.SelectItem(40, true);  // no change, no notification
  EXPECT_EQ(changed.count(), 1u);
}

}  // namespace
