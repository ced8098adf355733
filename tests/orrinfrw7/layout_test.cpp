// Alignment layout of element trees: slices in creation order, fill last, hidden children,
// requests that do not fit, nesting, placement through SetPos, and ownership of children.
#include <gtest/gtest.h>

#include "orrinfrw7/visual_element.h"
#include "test_control.h"

using orrin7::rectangle;
using namespace orrinfrw7;

namespace {

rectangle<int> R(int l, int t, int r, int b) { return {l, t, r, b}; }

// Remembers every rectangle its parent's layout placed it at.
class placed_t : public CVisualElement {
 public:
  using CVisualElement::CVisualElement;
  void SetPos(const rectangle<int>& rect, bool redraw) override {
    placements.push_back(rect);
    CVisualElement::SetPos(rect, redraw);
  }
  std::vector<rectangle<int>> placements;
};

struct layout_test : ::testing::Test {
  CVisualElement root{nullptr, {300, 200}, AL_None};
};

TEST_F(layout_test, EdgesTakeSlicesInCreationOrderAndFillTakesTheRestWhereverCreated) {
  auto* fill = new CVisualElement(&root, {1, 1}, AL_Client);
  auto* top = new CVisualElement(&root, {999, 20}, AL_Top);
  auto* left = new CVisualElement(&root, {50, 999}, AL_Left);
  auto* right = new CVisualElement(&root, {40, 999}, AL_Right);
  auto* right2 = new CVisualElement(&root, {10, 999}, AL_Right);
  auto* bottom = new CVisualElement(&root, {999, 30}, AL_Bottom);
  EXPECT_EQ(top->GetBounds(), R(0, 0, 300, 20));
  EXPECT_EQ(left->GetBounds(), R(0, 20, 50, 200));
  EXPECT_EQ(right->GetBounds(), R(260, 20, 300, 200));
  EXPECT_EQ(right2->GetBounds(), R(250, 20, 260, 200));
  EXPECT_EQ(bottom->GetBounds(), R(50, 170, 250, 200));
  EXPECT_EQ(fill->GetBounds(), R(50, 20, 250, 170));

  root.SetSize({400, 100});
  EXPECT_EQ(right->GetBounds(), R(360, 20, 400, 100));
  EXPECT_EQ(fill->GetBounds(), R(50, 20, 350, 70));
}

TEST_F(layout_test, HiddenChildrenTakeNoSpaceAndComeBackInTheirPlace) {
  auto* left = new CVisualElement(&root, {50, 0}, AL_Left);
  auto* left2 = new CVisualElement(&root, {30, 0}, AL_Left);
  auto* fill = new CVisualElement(&root, {0, 0}, AL_Client);
  left->SetVisible(false);
  EXPECT_EQ(left2->GetBounds(), R(0, 0, 30, 200));
  EXPECT_EQ(fill->GetBounds(), R(30, 0, 300, 200));
  left->SetVisible(true);
  EXPECT_EQ(left->GetBounds(), R(0, 0, 50, 200));
  EXPECT_EQ(left2->GetBounds(), R(50, 0, 80, 200));
  EXPECT_EQ(fill->GetBounds(), R(80, 0, 300, 200));
}

TEST_F(layout_test, RequestsThatDoNotFitAreCutButRememberedForWhenThereIsRoom) {
  auto* left = new CVisualElement(&root, {250, 0}, AL_Left);
  auto* right = new CVisualElement(&root, {100, 0}, AL_Right);
  auto* fill = new CVisualElement(&root, {0, 0}, AL_Client);
  auto* top = new CVisualElement(&root, {0, 500}, AL_Top);
  EXPECT_EQ(right->GetBounds(), R(250, 0, 300, 200));
  EXPECT_EQ(fill->GetSize().width, 0);
  EXPECT_EQ(top->GetSize().width, 0);
  EXPECT_EQ(top->GetSize().height, 200);
  EXPECT_EQ(right->GetRequestedSize().width, 100);

  root.SetSize({500, 200});
  EXPECT_EQ(right->GetBounds(), R(400, 0, 500, 200));
  EXPECT_EQ(fill->GetBounds(), R(250, 200, 400, 200));  // the top strip took all the height
  EXPECT_EQ(left->GetBounds(), R(0, 0, 250, 200));
}

TEST_F(layout_test, NestedPanelsFollowTheirParentAndMapCoordinatesToTheTop) {
  auto* panel = new CVisualElement(&root, {120, 0}, AL_Right);
  auto* header = new CVisualElement(panel, {0, 16}, AL_Top);
  auto* cells = new CVisualElement(panel, {0, 0}, AL_Client);
  auto* summary = new CVisualElement(panel, {0, 24}, AL_Bottom);
  EXPECT_EQ(cells->GetBounds(), R(0, 16, 120, 176));
  EXPECT_EQ(summary->GetBounds(), R(0, 176, 120, 200));
  EXPECT_EQ(cells->ElementToControl({5, 6}), (orrin7::point<int>{185, 22}));
  EXPECT_EQ(cells->ControlToElement({185, 22}), (orrin7::point<int>{5, 6}));

  root.SetSize({300, 100});
  EXPECT_EQ(cells->GetBounds(), R(0, 16, 120, 76));
  header->SetHeight(40);
  EXPECT_EQ(cells->GetBounds(), R(0, 40, 120, 76));
}

TEST_F(layout_test, SetPosOfAnAlignedChildChangesItsRequestAndTheParentPlacesIt) {
  auto* right = new placed_t(&root, {100, 0}, AL_Right);
  auto* fill = new CVisualElement(&root, {0, 0}, AL_Client);
  right->placements.clear();
  right->SetPos(R(7, 7, 87, 50), /*redraw=*/true);
  EXPECT_EQ(right->GetRequestedSize().width, 80);
  EXPECT_EQ(right->GetBounds(), R(220, 0, 300, 200));
  EXPECT_EQ(fill->GetBounds(), R(0, 0, 220, 200));
  // The parent placed it through the overridable SetPos.
  ASSERT_FALSE(right->placements.empty());
  EXPECT_EQ(right->placements.back(), R(220, 0, 300, 200));

  auto* free = new CVisualElement(&root, {30, 30}, AL_None);
  free->SetPos(R(5, 6, 25, 36));
  root.SetSize({600, 400});
  EXPECT_EQ(free->GetBounds(), R(5, 6, 25, 36));
}

TEST_F(layout_test, DestroyingAChildFreesItsSpaceAndMembersAreOnlyDetached) {
  struct holder_t : CVisualElement {
    explicit holder_t(CVisualElement* parent)
        : CVisualElement(parent, {0, 0}, AL_Client), member(this, {0, 10}, AL_Top) {}
    CVisualElement member;  // lives inside its parent; the parent must not delete it
  };
  auto* left = new CVisualElement(&root, {60, 0}, AL_Left);
  auto* holder = new holder_t(&root);
  EXPECT_TRUE(left->IsHeapObject());
  EXPECT_FALSE(holder->member.IsHeapObject());
  EXPECT_EQ(holder->GetBounds(), R(60, 0, 300, 200));
  EXPECT_EQ(holder->member.GetBounds(), R(0, 0, 240, 10));
  delete left;
  EXPECT_EQ(root.GetChildCount(), 1);
  EXPECT_EQ(holder->GetBounds(), R(0, 0, 300, 200));
  // Sanitizers catch a delete of the member or a touch of the freed child.
}

}  // namespace
