// The header in the headless control: geometry and hit tests on one and two levels with hidden
// items, resizing and moving by injected drags with the signals' vetoes, the visible-to-model
// mapping after moves and model changes, tooltips, and the looks under the pointer.
#include <gtest/gtest.h>

#include "orrinfrw7/header.h"
#include "support/signal_spy.h"
#include "test_widgets.h"

using namespace orrinfrw7;
using Ints = std::vector<int>;

namespace {

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
  // "model index:width" of every column the header shows, in display order.
  std::string Columns() const {
    std::string out;
    for (int i = 0; i < header->GetColumnViewModel()->GetCount(); ++i)
      out += std::to_string(header->VisibleIndex2ModelIndex(i)) + ":" +
             std::to_string(header->GetColumnViewModel()->GetItemSize(i)) + " ";
    return out;
  }
  // What each point hits: an item's caption, "|" and the caption for the grip at an item's right
  // edge, "-" for nothing.
  std::string Hits(std::initializer_list<std::pair<int, int>> points) const {
    std::string out;
    for (auto [x, y] : points) {
      const CHeaderHitInfo hit = header->HitTest(x, y);
      const std::wstring caption = hit.item ? hit.item->GetCaption() : L"?";
      out += hit.kind == HHT_Nowhere ? "- "
                                     : (hit.kind == HHT_Divider ? "|" : "") +
                                           std::string(caption.begin(), caption.end()) + " ";
    }
    return out;
  }
  std::string Rects(std::initializer_list<const IHeaderItem*> items) const {
    std::string out;
    for (const IHeaderItem* item : items) out += widgets_test::Str(header->GetItemRect(item)) + " ";
    return out;
  }
  void Drag(int from, int to, int y = 10) { widgets_test::Drag(control, from, y, to, y); }
  // A group G (model index 1) of G1 (40), G2 (hidden) and G3 (60) between A and D.
  void MakeGroups() {
    model.Items().Clear();
    a = &model.Add(L"A", 50, 0);
    g = &model.Add(L"Group", 40, 1);
    g->SetExpansionState(HE_Expanded);
    g->AddChild(L"G1", 40, 2);
    g->AddChild(L"G2", 40, 3).SetVisible(false);
    g3 = &g->AddChild(L"G3", 60, 4);
    d = &model.Add(L"D", 30, 5);
    model.NotifyChanged();
  }

  COffscreenControl control{400, 100};
  CSimpleHeaderModel model;
  CHeader* header;
  CSimpleHeaderItem *a, *b, *c, *d, *g = nullptr, *g3 = nullptr;
};

TEST_F(header_test, HiddenColumnsTakeNoSpaceInGeometryHitTestsAndMapping) {
  EXPECT_EQ(Columns(), "0:50 2:70 3:30 ");
  EXPECT_EQ(Rects({c}), "50,0,120,40 ");
  EXPECT_TRUE(header->GetItemRect(b).empty());
  EXPECT_EQ((Ints{header->GetVisibleIndex(d), header->GetVisibleIndex(b),
                  header->VisibleIndex2ModelIndex(3)}),
            (Ints{2, -1, -1}));
  EXPECT_EQ(Hits({{10, 5}, {60, 39}, {48, 5}, {53, 5}, {150, 5}, {200, 5}, {10, 45}}),
            "Alpha Gamma |Alpha |Alpha |Delta - - ");
  c->SetFixedWidth(true);  // no grip at its edge
  EXPECT_EQ(Hits({{119, 5}}), "Gamma ");
  // Captions are drawn inside their items; the area after the last column is bare.
  const orrin7::_color bare = control.GetPixel(300, 20);
  int inked = 0;
  for (int x = 60; x < 110; ++x) inked += control.GetPixel(x, 20).value != bare.value;
  EXPECT_GT(inked, 5);
  for (int x = 160; x < 400; x += 7) EXPECT_EQ(control.GetPixel(x, 20).value, bare.value) << x;
  const std::uint32_t face = control.GetPixel(3, 3).value;
  control.MouseMove(20, 20);  // Alpha lights up under the pointer, the others keep their look
  control.Paint();
  EXPECT_NE(control.GetPixel(3, 3).value, face);
  EXPECT_EQ(control.GetPixel(53, 3).value, face);
}

TEST_F(header_test, GroupCaptionsStandOverTheirChildrenAndCollapseToOneColumn) {
  MakeGroups();
  EXPECT_EQ(header->GetLevelCount(), 2);
  EXPECT_EQ(Columns(), "0:50 2:40 4:60 5:30 ");
  EXPECT_EQ(Rects({g, g3, a}), "50,0,150,20 90,20,150,40 0,0,50,40 ");
  EXPECT_EQ(header->GetVisibleIndex(g), 1);
  // No grip between the children up in the caption band; full height beside the group.
  EXPECT_EQ(Hits({{60, 5}, {60, 30}, {90, 5}, {90, 30}, {148, 5}, {20, 5}}),
            "Group G1 Group |G1 |G3 A ");

  header->RecalculateHeight();
  const int two_levels = header->GetSize().height;
  g->SetExpansionState(HE_Collapsed);
  model.NotifyChanged();
  EXPECT_EQ(header->GetLevelCount(), 1);
  EXPECT_EQ(Columns(), "0:50 1:40 5:30 ");
  header->RecalculateHeight();
  EXPECT_EQ(header->GetSize().height * 2, two_levels);
  EXPECT_GT(two_levels, 0);
}

TEST_F(header_test, DraggingAnEdgeResizesThroughTheVetoesOfTheResizeSignals) {
  // Answers the resize signals as told.
  struct veto_t : utilkit2::subscriber_base_t {
    bool start_allowed = true;
    int widest = 80;
    void OnStart(CHeader*, IHeaderItem*, bool* allow) { *allow = start_allowed; }
    void OnResizing(CHeader*, IHeaderItem*, int width, bool* allow) { *allow = width <= widest; }
  } veto;
  auto resizing = sv4_test::spy_on(header->ItemResizing);
  control.MouseMove(50, 10);
  EXPECT_EQ(control.GetCursor(), CR_SizeWE);
  Drag(50, 70);
  EXPECT_EQ(a->GetWidth(), 70);
  EXPECT_EQ(Columns(), "0:70 2:70 3:30 ");
  control.MouseMove(100, 10);
  EXPECT_EQ(control.GetCursor(), CR_Arrow);

  header->ItemResizing.connect(&veto, &veto_t::OnResizing);
  header->ItemResizeStart.connect(&veto, &veto_t::OnStart);
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
  EXPECT_EQ(Columns(), "2:70 0:50 3:30 ");

  b->SetVisible(true);  // joins after its predecessor in the model
  model.NotifyChanged();
  EXPECT_EQ(Columns(), "2:70 0:50 1:60 3:30 ");

  Drag(20, 22);  // too short for a move: a click
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
  EXPECT_EQ(Columns(), "0:50 4:60 2:40 5:30 ");
  Drag(120, 5, 30);  // G1, dragged out of its group, lands first in it
  EXPECT_EQ(Columns(), "0:50 2:40 4:60 5:30 ");
  Drag(100, 190, 5);  // the group moves as a whole, after D
  EXPECT_EQ(Columns(), "0:50 5:30 2:40 4:60 ");
}

TEST_F(header_test, ItemsShowTheirTooltips) {
  // The pointer rests on a plain element over Gamma: the header under it answers for it.
  c->SetTooltip(L"Third column");
  (new CVisualElement(header, {0, 0}, AL_None))->SetPos({60, 25, 80, 35});
  control.MouseMove(70, 30);
  ASSERT_TRUE(control.HoverElapsed());
  EXPECT_EQ(control.GetShownTooltip()->text, L"Third column");
  EXPECT_EQ(widgets_test::Str(control.GetShownTooltip()->area), "50,0,120,40");
  control.MouseMove(10, 20);  // out of the tip's area; Alpha has no tip
  EXPECT_EQ(control.GetShownTooltip(), nullptr);
  EXPECT_FALSE(control.HoverElapsed());
}

TEST_F(header_test, AModelDestroyedFirstLeavesAnEmptyHeader) {
  auto doomed = std::make_unique<CSimpleHeaderModel>();
  doomed->Add(L"X", 50, 0);
  header->SetModel(doomed.get());
  doomed.reset();
  EXPECT_EQ(header->GetModel(), nullptr);
  EXPECT_EQ(header->GetVisibleCount(), 0);
  control.MouseMove(20, 20);
  control.Paint();
  EXPECT_EQ(control.GetFailureCount(), 0);
}

}  // namespace
