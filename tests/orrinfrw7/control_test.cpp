// Element trees and the control: alignment layout, attachment, pointer routing and capture, focus
// by click and by tab, keys, the composite focus holder, the clipboard walk, refreshes kept inside
// their parents, contained failures.
#include <gtest/gtest.h>

#include <stdexcept>

#include "orrinfrw7/focus_holder.h"
#include "orrinfrw7/offscreen_control.h"
#include "orrinfrw7/widget_colors.h"
#include "support/assertion_recorder.h"
#include "utilkit2/smart_pointer.h"

using namespace orrinfrw7;
using Log = std::vector<std::string>;

namespace {

// "left,top,right,bottom" of each element, space-separated.
std::string Bounds(std::initializer_list<const CVisualElement*> elements) {
  std::string out;
  for (const CVisualElement* e : elements) {
    const orrin7::rectangle<int> r = e->GetBounds();
    out += (out.empty() ? "" : " ") + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom);
  }
  return out;
}

// ---- layout ----

struct layout_test : ::testing::Test {
  CVisualElement* Add(int w, int h, Alignment alignment, CVisualElement* parent = nullptr) {
    return new CVisualElement(parent ? parent : &root, {w, h}, alignment);
  }
  CVisualElement root{nullptr, {300, 200}, AL_None};
};

TEST_F(layout_test, EdgesTakeSlicesInCreationOrderAndFillTakesTheRestWhereverCreated) {
  auto* fill = Add(1, 1, AL_Client);
  auto* top = Add(999, 20, AL_Top);
  auto* left = Add(50, 999, AL_Left);
  auto* right = Add(40, 999, AL_Right);
  auto* right2 = Add(10, 999, AL_Right);
  auto* bottom = Add(999, 30, AL_Bottom);
  EXPECT_EQ(Bounds({top, left, right, right2, bottom, fill}),
            "0,0,300,20 0,20,50,200 260,20,300,200 250,20,260,200 50,170,250,200 50,20,250,170");
  root.SetSize({400, 100});
  EXPECT_EQ(Bounds({right, fill}), "360,20,400,100 50,20,350,70");
}

TEST_F(layout_test, HiddenChildrenTakeNoSpaceAndRequestsThatDoNotFitAreCutButRemembered) {
  auto* hidden = Add(50, 0, AL_Left);
  auto* left = Add(200, 0, AL_Left);
  auto* right = Add(100, 0, AL_Right);
  auto* fill = Add(0, 0, AL_Client);
  auto* top = Add(0, 500, AL_Top);
  hidden->SetVisible(false);
  EXPECT_EQ(Bounds({left, right, fill, top}),
            "0,0,200,200 200,0,300,200 200,200,200,200 200,0,200,200");
  hidden->SetVisible(true);  // back in its place; the right edge gets what is left of its 100
  EXPECT_EQ(Bounds({hidden, left, right, fill}),
            "0,0,50,200 50,0,250,200 250,0,300,200 250,200,250,200");
  root.SetSize({500, 200});
  EXPECT_EQ(Bounds({right, fill, top}), "400,0,500,200 250,200,400,200 250,0,400,200");
}

TEST_F(layout_test, NestedPanelsFollowTheirParentMapCoordinatesAndTakeSetPosAsARequest) {
  auto* panel = Add(120, 0, AL_Right);
  auto* header = Add(0, 16, AL_Top, panel);
  auto* cells = Add(0, 0, AL_Client, panel);
  auto* summary = Add(0, 24, AL_Bottom, panel);
  EXPECT_EQ(Bounds({cells, summary}), "0,16,120,176 0,176,120,200");
  const orrin7::point<int> p = cells->ElementToControl({5, 6}), back = cells->ControlToElement(p);
  EXPECT_EQ((std::vector<int>{p.x, p.y, back.x, back.y}), (std::vector<int>{185, 22, 5, 6}));
  root.SetSize({300, 100});
  header->SetHeight(40);
  EXPECT_EQ(Bounds({cells}), "0,40,120,76");
  panel->SetPos({7, 7, 87, 50});  // aligned: the size becomes its request, the parent places it
  auto* free = Add(30, 30, AL_None);
  free->SetPos({5, 6, 25, 36});  // not aligned: placed where it is told, and left there
  root.SetSize({600, 400});
  EXPECT_EQ(Bounds({panel, cells, free}), "520,0,600,400 0,40,80,376 5,6,25,36");
}

// `new holder_t(..., new CVisualElement(...))` allocates the holder before the argument is built,
// so two allocations wait for their objects at once: both are owned. An element on the stack is
// only detached when its parent goes.
TEST_F(layout_test, DestroyingAChildFreesItsSpaceAndOnlyDeletesChildrenMadeWithNew) {
  struct holder_t : CVisualElement {
    holder_t(CVisualElement* parent, CVisualElement* other)
        : CVisualElement(parent, {0, 0}, AL_Client), other(other) {}
    CVisualElement* other;
  };
  auto* left = Add(60, 0, AL_Left);
  auto* fill = Add(0, 0, AL_Client);
  auto* holder = new holder_t(left, new CVisualElement(left, {0, 10}, AL_Top));
  EXPECT_TRUE(holder->IsHeapObject());  // else the root would leave it behind (a leak)
  EXPECT_TRUE(holder->other->IsHeapObject());
  CVisualElement local(left, {0, 10}, AL_Top);  // its parent must not delete it
  delete left;  // sanitizers catch a delete of `local` or a touch of the freed children
  EXPECT_EQ(local.GetParent(), nullptr);
  EXPECT_EQ(Bounds({fill}), "0,0,300,200");
}

// ---- the control ----

std::string NameOf(const CVisualElement* element);

// Writes every hook call as one line ("<name> down 3,4") into a shared log.
class probe_t : public CVisualElement {
 public:
  probe_t(CVisualElement* parent, std::string name, orrin7::size<int> size = {10, 10},
          Alignment alignment = AL_None, Log* log = nullptr)
      : CVisualElement(parent, size, alignment), name(std::move(name)), log(log) {}
  std::string name;
  Log* log;
  bool consume_keys = false;
  int attached = 0;

 protected:
  void AfterSetControl() override { ++attached; }
  bool HandleMouseDown(const CMouseEvent& e) override { return Write("down", e); }
  bool HandleMouseMove(const CMouseEvent& e) override { return Write("move", e); }
  bool HandleMouseUp(const CMouseEvent& e) override { return Write("up", e); }
  void HandleMouseLeave() override { Write("leave"); }
  bool HandleKeyDown(const CKeyEvent& e) override {
    return Write("key " + std::to_string(e.key)) && consume_keys;
  }
  void HandleFocusChanged(bool focused) override { Write(focused ? "focus" : "blur"); }
  void HandleChildFocusChanged(CVisualElement* from, CVisualElement* to, bool) override {
    Write("child focus " + NameOf(from) + ">" + NameOf(to));
  }

 private:
  bool Write(const char* what, const CMouseEvent& e) {
    return Write(what + (" " + std::to_string(e.x)) + "," + std::to_string(e.y));
  }
  bool Write(const std::string& line) {
    if (log) log->push_back(name + " " + line);
    return true;
  }
};

std::string NameOf(const CVisualElement* element) {
  auto* probe = dynamic_cast<const probe_t*>(element);
  return probe ? probe->name : "-";
}

// root: left panel (100 wide) holding a (top, 50 high) and b (fill); c fills the rest.
struct control_test : ::testing::Test {
  control_test() {
    for (probe_t* p : {a, b, c}) p->SetTabStop(true);
  }
  std::string Focused() const { return NameOf(control.GetFocusedElement()); }
  Log log;  // outlives the control's elements
  COffscreenControl control{400, 300};
  probe_t* panel = new probe_t(control.GetRoot(), "panel", {100, 0}, AL_Left, &log);
  probe_t* a = new probe_t(panel, "a", {0, 50}, AL_Top, &log);
  probe_t* b = new probe_t(panel, "b", {0, 0}, AL_Client, &log);
  probe_t* c = new probe_t(control.GetRoot(), "c", {0, 0}, AL_Client, &log);
};

// One pointer event in control pixels: d(own), u(p), m(ove), l(eave).
struct pointer_event_t {
  char what;
  int x, y;
};

TEST_F(control_test, PointerEventsReachTheTopmostDeepestElementAndFollowCapture) {
  // Overlapping siblings in c: `upper`, made later, lies on top of `lower` at c's 40 … 60.
  auto* lower = new probe_t(c, "lower", {0, 0}, AL_None, &log);
  auto* upper = new probe_t(c, "upper", {0, 0}, AL_None, &log);
  lower->SetPos({10, 10, 60, 60});
  upper->SetPos({40, 40, 90, 90});
  EXPECT_EQ(a->attached, 0);  // not during construction: before the first event
  struct case_t {
    std::vector<pointer_event_t> events;
    Log expected;
    bool upperHidden = false;
  };
  const case_t cases[] = {
      {{{'m', 150, 50}}, {"upper move 10,10"}},
      {{{'m', 150, 50}}, {"lower move 40,40"}, /*upperHidden=*/true},
      {{{'m', 115, 15}, {'m', 180, 80}}, {"lower move 5,5", "lower leave", "upper move 40,40"}},
      // Pressed on one element and released on another or outside: the pressed one has it all.
      {{{'d', 10, 60}, {'m', 250, 5}, {'u', 250, 5}, {'m', 250, 6}},
       {"b focus", "panel child focus ->b", "b down 10,10", "b move 250,-45", "b up 250,-45",
        "b leave", "c move 150,6"}},
      {{{'d', 120, 20}, {'m', 150, 50}, {'u', 150, 50}},
       {"c focus", "lower down 10,10", "lower move 40,40", "lower up 40,40", "lower leave"}},
      {{{'d', 150, 50}, {'m', 500, 500}, {'u', 500, 500}, {'m', 20, 20}},
       {"c focus", "upper down 10,10", "upper move 360,460", "upper up 360,460", "upper leave",
        "a move 20,20"}},
      {{{'m', 20, 20}, {'l', 0, 0}, {'m', 20, 20}}, {"a move 20,20", "a leave", "a move 20,20"}},
      {{{'d', 20, 20}, {'l', 0, 0}, {'u', 20, 20}},  // a leave while pressed waits for the release
       {"a focus", "panel child focus ->a", "a down 20,20", "a up 20,20"}},
  };
  for (const case_t& test : cases) {
    upper->SetVisible(!test.upperHidden);
    control.MouseLeave();
    control.SetFocusedElement(nullptr);
    log.clear();
    for (const pointer_event_t& e : test.events) {
      if (e.what == 'd') control.MouseDown(e.x, e.y);
      if (e.what == 'u') control.MouseUp(e.x, e.y);
      if (e.what == 'm') control.MouseMove(e.x, e.y);
      if (e.what == 'l') control.MouseLeave();
    }
    EXPECT_EQ(log, test.expected) << "case " << (&test - cases);
  }
  auto* late = new probe_t(c, "late");
  control.CompleteAttach();
  control.CompleteAttach();
  for (probe_t* p : {panel, a, b, c, late}) EXPECT_EQ(p->attached, 1) << p->name;
}

TEST_F(control_test, KeysBubbleFromTheFocusedElementAndReachTheHolderWhenFocusIsGone) {
  struct listener_t : utilkit2::subscriber_base_t {
    std::vector<int> seen;
    void on_key(CVisualElement*, int modifiers, int key) { seen.push_back(modifiers | key); }
  } listener;
  b->KeyDown.connect(&listener, &listener_t::on_key);
  ASSERT_TRUE(b->SetFocus());
  log.clear();
  EXPECT_FALSE(control.KeyDown(KEY_C, MK_Ctrl));
  EXPECT_EQ(listener.seen, (std::vector<int>{MK_Ctrl | KEY_C}));
  panel->consume_keys = true;
  EXPECT_TRUE(control.KeyDown(KEY_Down));
  EXPECT_EQ(log, (Log{"b key 67", "panel key 67", "b key 40", "panel key 40"}));
  // The focus leaves hidden and destroyed elements; keys then go to the focus holder.
  panel->SetVisible(false);
  EXPECT_EQ(Focused(), "-");
  EXPECT_FALSE(a->SetFocus());  // not showing
  c->SetFocus();
  control.SetFocusHolder(panel);
  delete c;
  EXPECT_EQ(Focused(), "-");
  panel->SetVisible(true);
  log.clear();
  control.KeyDown(KEY_A);
  EXPECT_EQ(log, (Log{"panel key 65"}));
}

TEST_F(control_test, TabWalksVisibleTabStopsInTreeOrderAndWraps) {
  b->SetVisible(false);
  Log order;
  for (int modifiers : {0, 0, 0, 0, int(MK_Shift)}) {
    if (modifiers) b->SetVisible(true);
    control.KeyDown(KEY_Tab, modifiers);
    order.push_back(Focused());
  }
  EXPECT_EQ(order, (Log{"a", "c", "a", "c", "b"}));
  for (int modifiers : {int(MK_Ctrl), int(MK_Alt)})
    EXPECT_FALSE(control.KeyDown(KEY_Tab, modifiers));
  EXPECT_EQ(Focused(), "b");
}

TEST(control, CompositeIsOneTabStopAndFocusedOnBehalfOfItsChildren) {
  COffscreenControl control{400, 300};
  auto* before = new probe_t(control.GetRoot(), "before", {20, 0}, AL_Left);
  auto* composite = new CComplexFocusHolder<CVisualElement>(control.GetRoot(), {200, 0}, AL_Left);
  auto* inner1 = new probe_t(composite, "inner1", {50, 0}, AL_Left);
  auto* inner2 = new probe_t(composite, "inner2", {50, 0}, AL_Left);
  auto* after = new probe_t(control.GetRoot(), "after", {20, 0}, AL_Left);
  for (probe_t* p : {before, inner1, inner2, after}) p->SetTabStop(true);
  before->SetFocus();
  Log walk;
  for (int modifiers : {0, 0, int(MK_Shift), int(MK_Shift)}) {
    control.KeyDown(KEY_Tab, modifiers);
    walk.push_back(NameOf(control.GetFocusedElement()) +
                   (inner2->IsControlFocused() ? " composite" : ""));
  }
  // Tab leaves the composite as a whole; it keeps being the holder while the control has focus.
  EXPECT_EQ(walk, (Log{"inner1 composite", "after", "inner2 composite", "before"}));
  EXPECT_EQ(control.GetFocusHolder(), composite);
}

TEST_F(control_test, ClickAndCopyGoToTheNearestElementAboveThatTakesThem) {
  struct copier_t : CVisualElement {
    using CVisualElement::CVisualElement;
    bool IsCopyToClipboardEnabled() const override { return true; }
    std::wstring HandleAsString() const override { return L"rows\r\n"; }
  };
  auto* copier = new copier_t(c, {50, 50}, AL_None);
  auto* middle = new probe_t(copier, "middle", {0, 0}, AL_Client);
  new probe_t(middle, "inner");
  middle->SetTabStop(true);
  control.Click(105, 5);  // on inner: the nearest element above it that takes the focus gets it
  EXPECT_EQ(Focused(), "middle");
  EXPECT_TRUE(control.CopyFocusedToClipboard());
  EXPECT_EQ(control.GetClipboardText(), L"rows\r\n");
  b->SetFocus();
  EXPECT_FALSE(control.CopyFocusedToClipboard());  // nothing above b copies
}

// A refresh paints an element only where its parents show it, not over the sibling beside them.
TEST(control, ARefreshPaintsAnElementOnlyWhereItsParentShowsIt) {
  struct swatch_t : CVisualElement {
    using CVisualElement::CVisualElement;
    std::uint8_t red = 0;
    void DrawContent(orrin7::IPainter* painter) override {
      FillBox(painter, orrin7::_color::rgb(red, 0, 200), GetDrawRect());
    }
  };
  COffscreenControl control{200, 100};
  auto* panel = new swatch_t(control.GetRoot(), {100, 0}, AL_Left);
  new swatch_t(control.GetRoot(), {0, 0}, AL_Client);
  auto* wide = new swatch_t(panel, {0, 0}, AL_None);
  wide->SetPos({50, 0, 150, 100});  // half of it beyond the panel
  control.Paint();
  wide->red = 255;
  wide->RequestRefresh();
  control.Paint();
  EXPECT_EQ(control.GetPixel(99, 50).red(), 255);
  EXPECT_EQ(control.GetPixel(100, 50).red(), 0);
}

// A host that wakes late: a repeat run a little late keeps its cadence, and one far behind runs
// once and comes back at the next dispatch instead of catching up in a burst.
TEST(control, RepeatingTimersRunLateKeepTheirCadenceWithoutBursts) {
  struct late_control_t : COffscreenControl {
    late_control_t() : COffscreenControl(10, 10) {}
    std::int64_t now = 0;
    std::int64_t GetTimeMs() const override { return now; }
    std::int64_t RunAt(std::int64_t time) {  // answers when the timer is due next
      now = time;
      DispatchTimers();
      std::int64_t due = -1;
      GetNextTimerDue(due);
      return due;
    }
  } control;
  int runs = 0;
  control.StartTimer(control.GetRoot(), 30, 30, [&] { ++runs; });
  EXPECT_EQ(control.RunAt(33), 60);
  EXPECT_EQ(control.RunAt(200), 201);
  EXPECT_EQ(control.RunAt(201), 231);
  EXPECT_EQ(runs, 3);
}

TEST_F(control_test, AFailedEventIsDroppedAndTheNextOneIsServed) {
  sv4_test::assertion_recorder_t recorder;  // the null pointer reports before it throws
  struct null_user_t : CVisualElement {
    using CVisualElement::CVisualElement;
    utilkit2::smart_pointer_t<std::string> missing;
    void AfterSetControl() override { throw std::logic_error("attach failed"); }
    bool HandleMouseDown(const CMouseEvent&) override { throw std::runtime_error("broken"); }
    bool HandleMouseWheel(const CWheelEvent&) override { return missing->empty(); }
  };
  new null_user_t(c, {50, 50}, AL_None);
  EXPECT_FALSE(control.MouseDown(110, 10));
  control.MouseUp(110, 10);
  EXPECT_EQ(control.GetFailureCount(), 2);  // the attach and the press
  EXPECT_EQ(control.GetLastFailure(), "mouse down: broken");
  EXPECT_FALSE(control.Wheel(110, 10, 1));
  EXPECT_EQ(control.GetFailureCount(), 3);
  EXPECT_TRUE(control.MouseDown(10, 70));
  EXPECT_EQ(log.back(), "b down 10,20");
}

}  // namespace
