// Range selections against a plain set under random operations and index translators, batching
// of notifications, and the scale of select-all.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "orrinfrw7/selection_model.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;

namespace {

void ExpectSame(const CRangeSelectionModel& model, const std::set<int>& reference) {
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
    if (index % 5 == 0) {
      if (removed) *removed = true;
      return 100;
    }
    return 299 - index;
  }
};

void ApplyToReference(std::set<int>& reference, const IIndexTranslator& translator) {
  std::set<int> out;
  for (int item : reference) {
    bool removed = false;
    const int target = translator.TranslateIndex(item, &removed);
    if (!removed && target >= 0) out.insert(target);
  }
  reference = out;
}

TEST(selection_model, RandomOperationsAndTranslatorsMatchAPlainSet) {
  std::mt19937 rng(11);
  CRangeSelectionModel model;
  std::set<int> reference;
  for (int step = 0; step < 3000; ++step) {
    const int a = int(rng() % 400);
    const int b = int(rng() % 400);
    switch (rng() % 8) {
      case 0:
      case 1:
      case 2: {
        const bool on = rng() % 3 != 0;
        model.SelectRange(a, b, on);
        for (int i = std::min(a, b); i <= std::max(a, b); ++i)
          on ? (void)reference.insert(i) : (void)reference.erase(i);
        break;
      }
      case 3:
        model.SelectItem(a, true);
        reference.insert(a);
        break;
      case 4: {
        const CAddRemoveTranslator translator(a - 1, int(rng() % 30) - 15);
        model.UpdateModelState(translator);
        ApplyToReference(reference, translator);
        break;
      }
      case 5: {
        const shuffle_translator_t translator;
        model.UpdateModelState(translator);
        ApplyToReference(reference, translator);
        break;
      }
      case 6:
        if (rng() % 10 == 0) {
          model.ClearSelection();
          reference.clear();
        }
        break;
      default:
        model.SelectItem(a, false);
        reference.erase(a);
    }
    ExpectSame(model, reference);
  }
}

TEST(selection_model, CurrentItemFollowsTranslators) {
  CRangeSelectionModel model;
  model.SetCurrent(50);
  model.UpdateModelState(CAddRemoveTranslator(10, 5));  // inserted above
  EXPECT_EQ(model.GetCurrent(), 55);
  model.UpdateModelState(CAddRemoveTranslator(55, 3));  // inserted below it
  EXPECT_EQ(model.GetCurrent(), 55);
  model.UpdateModelState(CAddRemoveTranslator(40, -20));  // its row removed
  EXPECT_EQ(model.GetCurrent(), 40);
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
  ASSERT_EQ(current.count(), 1u);
  EXPECT_EQ(current.last(), std::make_tuple(3, 41));
  // Rows 3 (old current), 10 … 12 (unselected) and 40 … 41.
  ASSERT_EQ(updated.count(), 3u);
  EXPECT_EQ(updated.records()[0], std::make_tuple(3, 3));
  EXPECT_EQ(updated.records()[1], std::make_tuple(10, 12));
  EXPECT_EQ(updated.records()[2], std::make_tuple(40, 41));

  model.SelectItem(40, true);  // no change, no notification
  EXPECT_EQ(changed.count(), 1u);
}

TEST(selection_model, SelectingTenMillionRowsIsOneRange) {
  CRangeSelectionModel model;
  model.SelectRange(0, 9999999, true);
  EXPECT_EQ(model.GetSelectedCount(), 10000000);
  EXPECT_EQ(model.GetRanges().GetRanges().size(), 1u);
  EXPECT_EQ(model.GetSelectedItem(5000000), 5000000);
  model.SelectItem(4000000, false);
  EXPECT_EQ(model.GetSelectedItem(5000000), 5000001);
  model.UpdateModelState(CAddRemoveTranslator(-1, -1000));
  EXPECT_EQ(model.GetSelectedCount(), 9999000 - 1);
  EXPECT_EQ(model.GetSelectedItem(0), 0);
}

}  // namespace
