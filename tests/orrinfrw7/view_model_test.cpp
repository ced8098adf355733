// Item view models against a plain prefix-sum reference on random sizes, view clamping and the
// scroll signal, translators, and the pixel helpers.
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "orrinfrw7/item_view_model.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;

namespace {

// Offsets by summing sizes one by one.
struct reference_t {
  std::vector<int> sizes;
  long long offset(int i) const {
    long long sum = 0;
    for (int k = 0; k < i; ++k) sum += sizes[k];
    return sum;
  }
  int at(long long o) const {
    long long sum = 0;
    for (int k = 0; k < int(sizes.size()); ++k) {
      if (o < sum + sizes[k]) return k;
      sum += sizes[k];
    }
    return -1;
  }
};

void ExpectSame(const CDefaultDiscreteItemViewModel& model, const reference_t& ref) {
  ASSERT_EQ(model.GetCount(), int(ref.sizes.size()));
  std::vector<long long> prefix{0};
  for (int s : ref.sizes) prefix.push_back(prefix.back() + s);
  ASSERT_EQ(model.GetTotalSize(), prefix.back());
  for (int i = 0; i <= model.GetCount(); ++i) {
    ASSERT_EQ(model.GetItemOffset(i), prefix[i]) << "item " << i;
    if (i < model.GetCount()) {
      ASSERT_EQ(model.GetItemSize(i), ref.sizes[i]);
    }
  }
  for (long long o = -1; o <= prefix.back(); ++o)
    ASSERT_EQ(model.GetItemAt(int(o)), o < 0 ? -1 : ref.at(o)) << "offset " << o;
}

TEST(item_view_model, OwnSizesMatchAReferenceThroughRandomEdits) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    const int count = 1 + int(rng() % 300);
    const int def = int(rng() % 4 == 0 ? 0 : 1 + rng() % 25);  // sometimes zero-size defaults
    CDefaultDiscreteItemViewModel model(def);
    model.SetCount(count);
    reference_t ref{std::vector<int>(count, def)};
    for (int edit = 0; edit < 200; ++edit) {
      const int i = int(rng() % count);
      const int size = rng() % 3 == 0 ? def : int(rng() % 40);  // some back to the default
      model.SetItemSize(i, size);
      ref.sizes[i] = size;
    }
    ExpectSame(model, ref);
    // A new default moves only the items without a size of their own.
    const int new_def = 3 + int(rng() % 10);
    const std::vector<int> before = ref.sizes;
    for (int i = 0; i < count; ++i)
      if (model.GetItemSize(i) == def) ref.sizes[i] = new_def;
    model.SetDefaultItemSize(new_def);
    ExpectSame(model, ref);
    // Shrinking drops own sizes past the end; growing brings defaults, not old sizes.
    model.SetCount(count / 2);
    model.SetCount(count);
    for (int i = count / 2; i < count; ++i) ref.sizes[i] = new_def;
    ExpectSame(model, ref);
  }
}

TEST(item_view_model, TenMillionRowsWithManyOwnSizesAnswerRoundTrips) {
  CDefaultDiscreteItemViewModel model(20);
  model.SetCount(10000000);
  int own = 0;
  for (int i = 0; i < 10000000; i += 97) {
    model.SetItemSize(i, 20 + i % 50);
    own += i % 50 != 0;  // a size equal to the default is no size of its own
  }
  EXPECT_EQ(model.GetOwnSizeCount(), own);
  std::mt19937 rng(3);
  for (int k = 0; k < 2000; ++k) {
    const int i = int(rng() % 10000000);
    const int offset = model.GetItemOffset(i);
    ASSERT_EQ(model.GetItemAt(offset), i);
    ASSERT_EQ(model.GetItemAt(offset + model.GetItemSize(i) - 1), i);
  }
}

TEST(item_view_model, ViewStartStaysInRangeAndScrollingIsSignalled) {
  CSimpleDiscreteItemViewModel model(10);
  model.SetCount(100);
  model.SetViewSize(95, /*keepInside=*/true);
  auto spy = sv4_test::spy_on(model.Scrolled);
  model.SetViewStart(5000);
  EXPECT_EQ(model.GetViewStart(), 905);
  model.SetViewStart(-3);
  EXPECT_EQ(model.GetViewStart(), 0);
  model.SetViewStart(0);
  ASSERT_EQ(spy.count(), 2u);
  EXPECT_EQ(std::get<0>(spy.records()[0]), 0);
  EXPECT_EQ(std::get<1>(spy.records()[0]), 905);
  model.SetStartItem(95);
  EXPECT_EQ(model.GetViewStart(), 905);  // as far as the end allows
  model.SetCount(50);                    // the end moved in: the view follows
  EXPECT_EQ(model.GetViewStart(), 405);
  model.SetViewSize(1000, /*keepInside=*/true);
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
  EXPECT_EQ(model.GetItemSize(35), 25);
  EXPECT_EQ(model.GetItemSize(65), 5);
  EXPECT_EQ(model.GetItemSize(30), 10);
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
  EXPECT_EQ(Utils::HitTest(&model, 0), 1);
  EXPECT_EQ(Utils::HitTest(&model, 14), 2);
  EXPECT_EQ(Utils::HitTest(&model, 15), 4);  // item 3 has no pixels
  EXPECT_EQ(Utils::HitTest(&model, -1), -1);
  EXPECT_EQ(Utils::HitTest(&model, 1000), -1);
  EXPECT_EQ(Utils::HitTest(nullptr, 3), -1);
  EXPECT_EQ(Utils::GetItemIndexRange(&model, 1), (orrin7::range<int>{-5, 5}));
  EXPECT_EQ(Utils::GetItemIndexRangeEx(&model, 4, 2), (orrin7::range<int>{5, 25}));
  // View pixels 0 … 34 show item 1 cut at the top, then items 2, 4 and 5 whole.
  EXPECT_EQ(Utils::GetVisibleIndexRange(&model), (orrin7::range<int>{1, 5}));
  EXPECT_EQ(Utils::GetWholeIndexRange(&model), (orrin7::range<int>{2, 5}));
  model.SetViewStart(6);  // pixels 6 … 40: items 0 and 5 cut
  EXPECT_EQ(Utils::GetVisibleIndexRange(&model), (orrin7::range<int>{0, 5}));
  EXPECT_EQ(Utils::GetWholeIndexRange(&model), (orrin7::range<int>{1, 4}));
}

}  // namespace
