// The header in the headless control: one and two levels with hidden items, resizing and moving by
// injected drags with vetoes, tooltips, looks, and a reference model under random edits and drags.
#include <gtest/gtest.h>

#include <random>

#include "orrinfrw7/header.h"
#include "support/signal_spy.h"
#include "test_widgets.h"

using namespace orrinfrw7;
using Ints = std::vector<int>;
using Log = std::vector<std::string>;
using widgets_test::Str;

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
      const std::wstring caption = hit.kind == HHT_Nowhere ? L"-" : hit.item->GetCaption();
      out +=
          (hit.kind == HHT_Divider ? "|" : "") + std::string(caption.begin(), caption.end()) + " ";
    }
    return out;
  }
  std::string Rects(std::initializer_list<const IHeaderItem*> items) const {
    std::string out;
    for (const IHeaderItem* item : items) out += Str(header->GetItemRect(item)) + " ";
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

// Geometry, hit tests and mapping of one level are checked against a reference further down.
TEST_F(header_test, CaptionsAreDrawnInTheirItemsAndOnlyTheOneUnderThePointerLightsUp) {
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
  EXPECT_EQ(Hits({{60, 5}, {60, 30}, {90, 5}, {90, 30}, {148, 5}, {20, 5}, {60, 19}, {60, 20}}),
            "Group G1 Group |G1 |G3 A Group G1 ");

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

TEST_F(header_test, DraggingAnEdgeResizesThroughTheVetoesAndAFlatHeaderMovesNothing) {
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
  // A flat header neither moves its captions nor lights them up.
  auto moved = sv4_test::spy_on(header->ItemMoved);
  header->SetStyle(HS_Flat);
  control.MouseLeave();
  control.Paint();
  const std::uint32_t face = control.GetPixel(3, 3).value;
  Drag(25, 110);
  control.MouseMove(20, 20);
  control.Paint();
  EXPECT_EQ(moved.count(), 0u);
  EXPECT_EQ(control.GetPixel(3, 3).value, face);
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

TEST_F(header_test, ItemsShowTheirTooltipsAndAModelDestroyedFirstLeavesAnEmptyHeader) {
  // The pointer rests on a plain element over Gamma: the header under it answers for it.
  c->SetTooltip(L"Third column");
  (new CVisualElement(header, {0, 0}, AL_None))->SetPos({60, 25, 80, 35});
  control.MouseMove(70, 30);
  ASSERT_TRUE(control.HoverElapsed());
  EXPECT_EQ(control.GetShownTooltip()->text, L"Third column");
  EXPECT_EQ(Str(control.GetShownTooltip()->area), "50,0,120,40");
  control.MouseMove(10, 20);  // out of the tip's area; Alpha has no tip
  EXPECT_EQ(control.GetShownTooltip(), nullptr);
  EXPECT_FALSE(control.HoverElapsed());
  // A model destroyed before the header leaves it empty.
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

// ---- against a reference ----

// What a one-level header should show: its items in display order (model indexes, remembered
// for hidden items too) and their widths, and where its columns are scrolled to.
struct header_reference_t {
  std::vector<CSimpleHeaderItem*> items;  // model order
  std::vector<int> order;                 // keys (model indexes) in display order
  int start = 0;
  Log log;

  std::vector<CSimpleHeaderItem*> Shown() const {
    std::vector<CSimpleHeaderItem*> out;
    for (int key : order)
      for (CSimpleHeaderItem* item : items)
        if (item->GetModelIndex() == key && item->IsVisible()) out.push_back(item);
    return out;
  }
  // A key seen for the first time goes right after its predecessor among the shown items.
  void Rebuild() {
    int previous = -1;
    for (CSimpleHeaderItem* item : items) {
      if (!item->IsVisible()) continue;
      const int key = item->GetModelIndex();
      if (std::find(order.begin(), order.end(), key) == order.end()) {
        const auto after = std::find(order.begin(), order.end(), previous);
        order.insert(after == order.end() ? order.begin() : after + 1, key);
      }
      previous = key;
    }
    Scroll(start);
  }
  int Edge(int column) const {  // view pixel after the column
    const std::vector<CSimpleHeaderItem*> shown = Shown();
    int x = 0;
    for (int i = 0; i <= column; ++i) x += std::max(shown[std::size_t(i)]->GetWidth(), 0);
    return x;
  }
  void Scroll(int to) {
    const int count = static_cast<int>(Shown().size());
    start = std::clamp(to, 0, std::max(0, (count ? Edge(count - 1) : 0) - 300));
  }
  // The grip of the last column whose edge is within 3 pixels, unless its width is fixed; else
  // the caption under the pointer.
  CHeaderHitInfo Hit(int x) const {
    if (x < 0 || x >= 300) return {};
    const std::vector<CSimpleHeaderItem*> shown = Shown();
    std::vector<int> edges;
    for (CSimpleHeaderItem* item : shown)
      edges.push_back((edges.empty() ? 0 : edges.back()) + std::max(item->GetWidth(), 0));
    const int view_x = x + start;
    int grip = -1;
    for (std::size_t i = 0; i < shown.size(); ++i)
      if (std::abs(edges[i] - view_x) <= 3) grip = int(i);
    if (grip >= 0 && !shown[std::size_t(grip)]->IsFixedWidth())
      return {HHT_Divider, shown[std::size_t(grip)]};
    for (std::size_t i = 0; i < shown.size(); ++i)
      if (view_x >= edges[i] - shown[i]->GetWidth() && view_x < edges[i])
        return {HHT_Item, shown[i]};
    return {};
  }
  // A press at x0, moves to the midpoint and to x1, and a release there.
  void Drag(int x0, int x1) {
    const CHeaderHitInfo hit = Hit(x0);
    if (hit.kind == HHT_Divider) {
      log.push_back("start " + Name(hit.item));
      const int width = hit.item->GetWidth();
      for (int x : {(x0 + x1) / 2, x1}) {
        if (std::max(0, width + x - x0) == hit.item->GetWidth()) continue;
        hit.item->SetWidth(std::max(0, width + x - x0));
        log.push_back("resizing " + std::to_string(hit.item->GetWidth()));
        Scroll(start);
      }
      return;
    }
    if (hit.kind != HHT_Item) return;
    const bool moved = std::abs((x0 + x1) / 2 - x0) > 4 || std::abs(x1 - x0) > 4;
    if (!moved) {
      if (Hit(x1).item == hit.item) log.push_back("clicked " + Name(hit.item));
      return;
    }
    // In front of the first column whose middle is right of the pointer.
    const std::vector<CSimpleHeaderItem*> shown = Shown();
    const int count = static_cast<int>(shown.size());
    int to = count;
    for (int i = count - 1; i >= 0; --i)
      if (x1 + start < (Edge(i) - shown[std::size_t(i)]->GetWidth() + Edge(i)) / 2) to = i;
    const int from =
        static_cast<int>(std::find(shown.begin(), shown.end(), hit.item) - shown.begin());
    if (to == from || to == from + 1) return;
    log.push_back("moved " + Name(hit.item) + " " + std::to_string(from) + ">" +
                  std::to_string(to));
    const int key = hit.item->GetModelIndex();
    order.erase(std::find(order.begin(), order.end(), key));
    const int anchor = shown[std::size_t(std::min(to, count - 1))]->GetModelIndex();
    const auto at = std::find(order.begin(), order.end(), anchor);
    order.insert(to < count ? at : at + 1, key);
  }
  // Two presses and releases in place; the second press on a grip asks for a fit.
  void DoubleClick(int x) {
    const CHeaderHitInfo hit = Hit(x);
    Drag(x, x);
    Drag(x, x);
    if (hit.kind == HHT_Divider) log.push_back("fit " + Name(hit.item));
  }
  static std::string Name(const IHeaderItem* item) { return std::to_string(item->GetModelIndex()); }
};

struct header_log_t : utilkit2::subscriber_base_t {
  explicit header_log_t(CHeader& header) {
    header.ItemMoved.connect(this, &header_log_t::OnMoved);
    header.ItemClicked.connect(this, &header_log_t::OnClicked);
    header.ItemResizing.connect(this, &header_log_t::OnResizing);
    header.ItemResizeStart.connect(this, &header_log_t::OnResizeStart);
    header.ItemFitRequested.connect(this, &header_log_t::OnFit);
  }
  void OnMoved(CHeader*, IHeaderItem* item, int from, int to) {
    lines.push_back("moved " + header_reference_t::Name(item) + " " + std::to_string(from) + ">" +
                    std::to_string(to));
  }
  void OnClicked(CHeader*, IHeaderItem* item) {
    lines.push_back("clicked " + header_reference_t::Name(item));
  }
  void OnResizing(CHeader*, IHeaderItem*, int width, bool*) {
    lines.push_back("resizing " + std::to_string(width));
  }
  void OnResizeStart(CHeader*, IHeaderItem* item, bool*) {
    lines.push_back("start " + header_reference_t::Name(item));
  }
  void OnFit(CHeader*, IHeaderItem* item) {
    lines.push_back("fit " + header_reference_t::Name(item));
  }
  Log lines;
};

TEST(header_reference, OrderGeometryHitTestsAndSignalsFollowRandomEditsAndDrags) {
  std::mt19937 rng(41);
  COffscreenControl control{300, 40};
  auto* header = new CHeader(control.GetRoot(), {0, 24}, AL_Top);
  CSimpleHeaderModel model;
  header_reference_t ref;
  header_log_t log(*header);
  header->SetModel(&model);
  for (int step = 0; step < 400; ++step) {
    const int op = int(rng() % 8), count = static_cast<int>(ref.items.size());
    const int k = count ? int(rng() % count) : 0;
    if (op == 0 && count < 9) {
      ref.items.push_back(&model.Add(L"C", int(rng() % 90), count));
    } else if (op == 1 && count) {
      ref.items[std::size_t(k)]->SetVisible(!ref.items[std::size_t(k)]->IsVisible());
    } else if (op == 2 && count) {
      ref.items[std::size_t(k)]->SetWidth(rng() % 5 ? int(rng() % 90) : int(rng() % 3));
    } else if (op == 3 && count) {
      ref.items[std::size_t(k)]->SetFixedWidth(rng() % 3 == 0);
    } else if (op == 4 && rng() % 4 == 0) {  // another model and back: the order starts afresh
      header->SetModel(nullptr);
      header->SetModel(&model);
      ref.order.clear();
      ref.start = 0;
    } else if (op == 4 && rng() % 3 == 0) {
      const int x = int(rng() % 300);
      ref.DoubleClick(x);
      control.DoubleClick(x, 5);
    } else if (op == 4) {
      const int to = int(rng() % 400) - 20;
      header->GetColumnViewModel()->SetViewStart(to);
      ref.Scroll(to);
      continue;
    } else if (op >= 5) {
      const int x0 = int(rng() % 300);
      int x1 = rng() % 2 ? x0 + int(rng() % 11) - 5 : int(rng() % 300);
      const std::vector<CSimpleHeaderItem*> shown = ref.Shown();
      if (rng() % 3 == 0 && !shown.empty()) {  // on a column's middle pixel or just before it
        const int i = int(rng() % shown.size());
        x1 = (2 * ref.Edge(i) - std::max(shown[std::size_t(i)]->GetWidth(), 0)) / 2 - ref.start -
             int(rng() % 2);
      }
      ref.Drag(x0, x1);  // first: the header changes the widths of the items both share
      widgets_test::Drag(control, x0, 5, x1, 5);
    }
    model.NotifyChanged();
    ref.Rebuild();
    ASSERT_EQ(log.lines, ref.log) << step;
    const std::vector<CSimpleHeaderItem*> shown = ref.Shown();
    ASSERT_EQ(header->GetVisibleCount(), int(shown.size())) << step;
    ASSERT_EQ(header->GetColumnViewModel()->GetViewStart(), ref.start) << step;
    for (std::size_t i = 0; i < shown.size(); ++i) {
      ASSERT_EQ(header->GetVisibleItem(int(i)), shown[i]) << step;
      ASSERT_EQ(header->VisibleIndex2ModelIndex(int(i)), shown[i]->GetModelIndex());
      const int right = ref.Edge(int(i)) - ref.start;
      ASSERT_EQ(Str(header->GetItemRect(shown[i])),
                Str({right - std::max(shown[i]->GetWidth(), 0), 0, right, 24}));
    }
    for (CSimpleHeaderItem* item : ref.items) {
      const auto at = std::find(shown.begin(), shown.end(), item);
      ASSERT_EQ(header->GetVisibleIndex(item), at == shown.end() ? -1 : int(at - shown.begin()));
    }
    for (int x = -2; x < 302; ++x) {
      const CHeaderHitInfo hit = header->HitTest(x, 5), expected = ref.Hit(x);
      ASSERT_EQ(hit.kind, expected.kind) << "step " << step << " x " << x;
      ASSERT_EQ(hit.item, expected.item) << "step " << step << " x " << x;
    }
    ASSERT_EQ(header->HitTest(5, 24).kind, HHT_Nowhere);
  }
}

}  // namespace
