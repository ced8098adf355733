// The header in the headless control: geometry and hit tests on one and two levels with hidden
// items, resizing and moving by injected drags with the signals' vetoes, the visible-to-model
// mapping after moves and model changes, context menus, tooltips and the looks under the pointer.
#include <gtest/gtest.h>

#include "orrinfrw7/header.h"
#include "orrinfrw7/offscreen_control.h"
#include "support/signal_spy.h"

using namespace orrinfrw7;
using test_item_t = CSimpleHeaderItem;

namespace orrin7 {
template <class T>
void PrintTo(const rectangle<T>& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace orrin7

namespace {

// Answers the resize signals as told.
struct veto_t : utilkit2::subscriber_base_t {
  bool start_allowed = true;
  int widest = 1000;
  void OnStart(CHeader*, IHeaderItem*, bool* allow) { *allow = start_allowed; }
  void OnResizing(CHeader*, IHeaderItem*, int width, bool* allow) { *allow = width <= widest; }
};

struct header_test : ::testing::Test {
  // Columns A (50), B (60, hidden), C (70), D (30) under a header 40 pixels high.
  header_test() : header(new CHeader(control.GetRoot(), {0, 40}, AL_Top)) {
    a = &model.Add(L"Alpha", 50, 0);
    b = &model.Add(L"Beta", 60, 1);
    c = &model.Add(L"Gamma", 70, 2);
    d = &model.Add(L"Delta", 30, 3);
    b->SetVisible(false);
    header->SetModel(&model);
    control.Paint();
  }
  std::vector<int> Mapping() const {
    std::vector<int> out;
    for (int i = 0; i < header->GetVisibleCount(); ++i)
      out.push_back(header->VisibleIndex2ModelIndex(i));
    return out;
  }
  std::vector<int> Widths() {
    std::vector<int> out;
    for (int i = 0; i < header->GetColumnViewModel()->GetCount(); ++i)
      out.push_back(header->GetColumnViewModel()->GetItemSize(i));
    return out;
  }
  void Drag(int from, int to, int y = 10) {
    control.MouseMove(from, y);
    control.MouseDown(from, y);
    control.MouseMove((from + to) / 2, y);
    control.MouseMove(to, y);
    control.MouseUp(to, y);
  }
  // A group G (model index 1) of G1 (40), G2 (hidden) and G3 (60) between A and D.
  void MakeGroups() {
    model.Items().Clear();
    a = &model.Add(L"A", 50, 0);
    g = &model.Add(L"Group", 40, 1);
    g->SetExpansionState(HE_Expanded);
    g1 = &g->AddChild(L"G1", 40, 2);
    g->AddChild(L"G2", 40, 3).SetVisible(false);
    g3 = &g->AddChild(L"G3", 60, 4);
    d = &model.Add(L"D", 30, 5);
    model.NotifyChanged();
  }

  COffscreenControl control{400, 100};
  CSimpleHeaderModel model;
  CHeader* header;
  test_item_t *a, *b, *c, *d, *g = nullptr, *g1 = nullptr, *g3 = nullptr;
};

bool Hits(const CHeaderHitInfo& hit, int kind, const IHeaderItem* item) {
  return hit.kind == kind && hit.item == item;
}

TEST_F(header_test, HiddenColumnsTakeNoSpaceInGeometryHitTestsAndMapping) {
  EXPECT_EQ(Mapping(), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(Widths(), (std::vector<int>{50, 70, 30}));
  EXPECT_EQ(header->GetItemRect(c), orrin7::rectangle<int>(50, 0, 120, 40));
  EXPECT_TRUE(header->GetItemRect(b).empty());
  EXPECT_EQ(header->GetVisibleIndex(d), 2);
  EXPECT_EQ(header->GetVisibleIndex(b), -1);
  EXPECT_EQ(header->VisibleIndex2ModelIndex(3), -1);
  EXPECT_TRUE(Hits(header->HitTest(10, 5), HHT_Item, a));
  EXPECT_TRUE(Hits(header->HitTest(60, 39), HHT_Item, c));
  EXPECT_TRUE(Hits(header->HitTest(48, 5), HHT_Divider, a));
  EXPECT_TRUE(Hits(header->HitTest(53, 5), HHT_Divider, a));
  EXPECT_TRUE(Hits(header->HitTest(150, 5), HHT_Divider, d));
  EXPECT_TRUE(Hits(header->HitTest(200, 5), HHT_Nowhere, nullptr));
  EXPECT_TRUE(Hits(header->HitTest(10, 45), HHT_Nowhere, nullptr));
  c->SetFixedWidth(true);  // no grip at its edge
  EXPECT_TRUE(Hits(header->HitTest(119, 5), HHT_Item, c));
  // Captions are drawn inside their items; the area after the last column is bare.
  const orrin7::_color bare = control.GetPixel(300, 20);
  int inked = 0;
  for (int x = 60; x < 110; ++x)
    for (int y = 8; y < 32; ++y) inked += control.GetPixel(x, y).value != bare.value;
  EXPECT_GT(inked, 20);
  for (int x = 160; x < 400; x += 7) EXPECT_EQ(control.GetPixel(x, 20).value, bare.value) << x;
}

TEST_F(header_test, GroupCaptionsStandOverTheirChildrenAndCollapseToOneColumn) {
  MakeGroups();
  EXPECT_EQ(header->GetLevelCount(), 2);
  EXPECT_EQ(Mapping(), (std::vector<int>{0, 2, 4, 5}));
  EXPECT_EQ(header->GetItemRect(g), orrin7::rectangle<int>(50, 0, 150, 20));
  EXPECT_EQ(header->GetItemRect(g3), orrin7::rectangle<int>(90, 20, 150, 40));
  EXPECT_EQ(header->GetItemRect(a), orrin7::rectangle<int>(0, 0, 50, 40));
  EXPECT_EQ(header->GetVisibleIndex(g), 1);
  EXPECT_TRUE(Hits(header->HitTest(60, 5), HHT_Item, g));
  EXPECT_TRUE(Hits(header->HitTest(60, 30), HHT_Item, g1));
  EXPECT_TRUE(Hits(header->HitTest(90, 5), HHT_Item, g));  // no grip between children up there
  EXPECT_TRUE(Hits(header->HitTest(90, 30), HHT_Divider, g1));
  EXPECT_TRUE(Hits(header->HitTest(148, 5), HHT_Divider, g3));
  EXPECT_TRUE(Hits(header->HitTest(20, 5), HHT_Item, a));  // full height beside the group

  header->RecalculateHeight();
  const int two_levels = header->GetSize().height;
  g->SetExpansionState(HE_Collapsed);
  model.NotifyChanged();
  EXPECT_EQ(header->GetLevelCount(), 1);
  EXPECT_EQ(Mapping(), (std::vector<int>{0, 1, 5}));
  EXPECT_EQ(Widths(), (std::vector<int>{50, 40, 30}));
  header->RecalculateHeight();
  EXPECT_EQ(header->GetSize().height * 2, two_levels);
  EXPECT_GT(two_levels, 0);
}

TEST_F(header_test, DraggingAnEdgeResizesThroughTheVetoesOfTheResizeSignals) {
  auto resizing = sv4_test::spy_on(header->ItemResizing);
  control.MouseMove(50, 10);
  EXPECT_EQ(control.GetCursor(), CR_SizeWE);
  Drag(50, 70);
  EXPECT_EQ(a->GetWidth(), 70);
  EXPECT_EQ(Widths(), (std::vector<int>{70, 70, 30}));
  EXPECT_EQ(std::get<2>(resizing.last()), 70);
  EXPECT_EQ(header->GetItemRect(c).left, 70);
  control.MouseMove(100, 10);
  EXPECT_EQ(control.GetCursor(), CR_Arrow);

  veto_t veto;
  header->ItemResizing.connect(&veto, &veto_t::OnResizing);
  header->ItemResizeStart.connect(&veto, &veto_t::OnStart);
  veto.widest = 80;
  Drag(70, 150);  // every width on the way is wider than allowed
  EXPECT_EQ(a->GetWidth(), 70);
  Drag(70, 78);
  EXPECT_EQ(a->GetWidth(), 78);
  veto.start_allowed = false;
  resizing.clear();
  Drag(78, 60);
  EXPECT_EQ(a->GetWidth(), 78);
  EXPECT_EQ(resizing.count(), 0u);
}

TEST_F(header_test, MovingACaptionReordersItsSiblingsAndTheMappingKeepsTheOrder) {
  auto moved = sv4_test::spy_on(header->ItemMoved);
  auto clicked = sv4_test::spy_on(header->ItemClicked);
  Drag(25, 110);  // past the middle of Gamma
  ASSERT_EQ(moved.count(), 1u);
  EXPECT_EQ(moved.last(), std::make_tuple(header, static_cast<IHeaderItem*>(a), 0, 2));
  EXPECT_EQ(Mapping(), (std::vector<int>{2, 0, 3}));
  EXPECT_EQ(Widths(), (std::vector<int>{70, 50, 30}));
  EXPECT_EQ(a->GetModelIndex(), 0);  // the model is not reordered

  b->SetVisible(true);  // joins after its predecessor in the model
  model.NotifyChanged();
  EXPECT_EQ(Mapping(), (std::vector<int>{2, 0, 1, 3}));

  Drag(20, 22);  // too short for a move: a click
  EXPECT_EQ(moved.count(), 1u);
  ASSERT_EQ(clicked.count(), 1u);
  EXPECT_EQ(std::get<1>(clicked.last()), c);

  header->SetStyle(HS_Flat);
  Drag(25, 200);
  EXPECT_EQ(moved.count(), 1u);
}

TEST_F(header_test, ChildrenMoveWithinTheirGroup) {
  MakeGroups();
  auto moved = sv4_test::spy_on(header->ItemMoved);
  Drag(120, 55, 30);  // G3 in front of G1
  ASSERT_EQ(moved.count(), 1u);
  EXPECT_EQ(moved.last(), std::make_tuple(header, static_cast<IHeaderItem*>(g3), 1, 0));
  EXPECT_EQ(Mapping(), (std::vector<int>{0, 4, 2, 5}));
  Drag(120, 5, 30);  // G1, dragged out of its group, lands first in it
  EXPECT_EQ(Mapping(), (std::vector<int>{0, 2, 4, 5}));
  Drag(100, 190, 5);  // the group moves as a whole, after D
  EXPECT_EQ(Mapping(), (std::vector<int>{0, 5, 2, 4}));
}

TEST_F(header_test, RightButtonAsksForAContextMenuAndItemsShowTheirTooltips) {
  auto menu = sv4_test::spy_on(header->ContextMenu);
  control.Click(60, 12, orrin7::MB_Right);
  ASSERT_EQ(menu.count(), 1u);
  EXPECT_EQ(menu.last(), std::make_tuple(static_cast<CVisualElement*>(header), 60, 12));

  c->SetTooltip(L"Third column");
  control.MouseMove(70, 20);
  ASSERT_TRUE(control.HoverElapsed());
  EXPECT_EQ(control.GetShownTooltip()->text, L"Third column");
  EXPECT_EQ(control.GetShownTooltip()->area, orrin7::rectangle<int>(50, 0, 120, 40));
  control.MouseMove(10, 20);  // out of the tip's area; Alpha has no tip
  EXPECT_EQ(control.GetShownTooltip(), nullptr);
  EXPECT_FALSE(control.HoverElapsed());
}

TEST_F(header_test, CaptionsLightUpUnderThePointerAndDarkenWhenPressed) {
  const orrin7::_color plain = control.GetPixel(3, 3);
  control.MouseMove(20, 20);
  control.Paint();
  const orrin7::_color hover = control.GetPixel(3, 3);
  control.MouseDown(20, 20);
  control.Paint();
  const orrin7::_color pressed = control.GetPixel(3, 3);
  EXPECT_NE(hover.value, plain.value);
  EXPECT_NE(pressed.value, hover.value);
  EXPECT_EQ(control.GetPixel(60, 3).value, plain.value);  // the other items keep their look
  control.MouseUp(20, 20);
  control.MouseLeave();
  control.Paint();
  EXPECT_EQ(control.GetPixel(3, 3).value, plain.value);
}

TEST_F(header_test, AModelDestroyedFirstLeavesAnEmptyHeader) {
  auto doomed = std::make_unique<CSimpleHeaderModel>();
  doomed->Add(L"X", 50, 0);
  header->SetModel(doomed.get());
  EXPECT_EQ(header->GetVisibleCount(), 1);
  doomed.reset();
  EXPECT_EQ(header->GetModel(), nullptr);
  EXPECT_EQ(header->GetVisibleCount(), 0);
  control.MouseMove(20, 20);
  control.Paint();
  EXPECT_EQ(control.GetFailureCount(), 0);
}

}  // namespace
