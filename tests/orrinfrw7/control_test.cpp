// The control without a surface: attachment, pointer routing and capture, hover and cursors,
// focus, keys and tab order, the composite focus holder, clipboard walk, and containment of
// failures at the dispatch boundary.
#include <gtest/gtest.h>

#include "orrin7/system.h"
#include "orrinfrw7/focus_holder.h"
#include "support/assertion_recorder.h"
#include "test_control.h"
#include "utilkit2/smart_pointer.h"

using namespace orrinfrw7;
using frw7_test::probe_t;
using frw7_test::test_control_t;
using Log = std::vector<std::string>;

namespace {

// root: left panel (100 wide) holding a (top, 50 high) and b (fill); c fills the rest.
struct tree_t {
  explicit tree_t(test_control_t& control)
      : panel(new probe_t(control.GetRoot(), "panel", {100, 0}, AL_Left, &log)),
        a(new probe_t(panel, "a", {0, 50}, AL_Top, &log)),
        b(new probe_t(panel, "b", {0, 0}, AL_Client, &log)),
        c(new probe_t(control.GetRoot(), "c", {0, 0}, AL_Client, &log)) {
    for (probe_t* p : {a, b, c}) p->SetTabStop(true);
  }
  Log log;
  probe_t* panel;
  probe_t* a;
  probe_t* b;
  probe_t* c;
};

TEST(control, AfterSetControlRunsOnceForEveryElementOnceBuilt) {
  test_control_t control;
  tree_t t(control);
  EXPECT_EQ(t.a->attached, 0);  // not during construction
  control.DispatchMouseMove(1, 1, 0);
  for (probe_t* p : {t.panel, t.a, t.b, t.c}) EXPECT_EQ(p->attached, 1) << p->name;
  auto* late = new probe_t(t.c, "late");
  control.CompleteAttach();
  control.CompleteAttach();
  EXPECT_EQ(late->attached, 1);
  EXPECT_EQ(t.a->attached, 1);
}

TEST(control, PointerEventsReachTheDeepestElementInItsOwnPixelsAndFollowCapture) {
  test_control_t control;
  tree_t t(control);
  control.DispatchMouseMove(10, 60, 0);
  control.DispatchMouseDown(10, 60, orrin7::MB_Left, 0);
  control.DispatchMouseMove(250, 5, 0);  // still captured by b
  control.DispatchMouseUp(250, 5, orrin7::MB_Left, 0);
  control.DispatchMouseMove(150, 20, 0);
  control.DispatchMouseMove(20, 20, 0);
  control.DispatchMouseLeave();
  // The focus moves before the press is delivered.
  const Log expected{"b move 10,10",   "b focus", "panel child focus ->b", "b down 10,10",
                     "b move 250,-45", "b leave", "c move 50,20",          "c leave",
                     "a move 20,20",   "a leave"};
  EXPECT_EQ(t.log, expected);
  EXPECT_EQ(control.GetHoverElement(), nullptr);
}

TEST(control, HoverDecidesTheCursor) {
  test_control_t control;
  tree_t t(control);
  t.c->SetCursor(CR_Hand);
  control.DispatchMouseMove(150, 20, 0);
  control.DispatchMouseMove(20, 20, 0);
  t.a->SetCursor(CR_SizeWE);  // under the pointer: applied at once
  EXPECT_EQ(control.cursors, (std::vector<int>{CR_Hand, CR_Arrow, CR_SizeWE}));
  EXPECT_EQ(control.GetCursor(), CR_SizeWE);
}

TEST(control, KeysGoToTheFocusedElementAndBubbleUntilHandled) {
  test_control_t control;
  tree_t t(control);
  std::vector<int> seen;
  struct listener_t : utilkit2::subscriber_base_t {
    std::vector<int>* seen;
    void on_key(CVisualElement*, int modifiers, int key) { seen->push_back(modifiers | key); }
  } listener;
  listener.seen = &seen;
  t.b->KeyDown.connect(&listener, &listener_t::on_key);
  ASSERT_TRUE(t.b->SetFocus());
  t.log.clear();
  EXPECT_FALSE(control.DispatchKeyDown(KEY_C, MK_Ctrl));
  EXPECT_EQ(t.log, (Log{"b key 67", "panel key 67"}));
  EXPECT_EQ(seen, (std::vector<int>{MK_Ctrl | KEY_C}));
  t.panel->consume_keys = true;
  t.log.clear();
  EXPECT_TRUE(control.DispatchKeyDown(KEY_Down, 0));
  EXPECT_EQ(t.log, (Log{"b key 40", "panel key 40"}));
}

TEST(control, TabWalksTabStopsInTreeOrderAndWraps) {
  test_control_t control;
  tree_t t(control);
  t.b->SetVisible(false);
  std::vector<std::string> order;
  for (int i = 0; i < 4; ++i) {
    control.DispatchKeyDown(KEY_Tab, 0);
    order.push_back(static_cast<probe_t*>(control.GetFocusedElement())->name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"a", "c", "a", "c"}));
  t.b->SetVisible(true);
  control.DispatchKeyDown(KEY_Tab, MK_Shift);
  EXPECT_EQ(control.GetFocusedElement(), t.b);
}

TEST(control, FocusLeavesHiddenAndDestroyedElementsAndKeysThenReachTheHolder) {
  test_control_t control;
  tree_t t(control);
  t.a->SetFocus();
  t.panel->SetVisible(false);
  EXPECT_EQ(control.GetFocusedElement(), nullptr);
  EXPECT_FALSE(t.a->SetFocus());  // not showing
  t.c->SetFocus();
  control.SetFocusHolder(t.panel);
  delete t.c;
  EXPECT_EQ(control.GetFocusedElement(), nullptr);
  t.panel->SetVisible(true);
  t.log.clear();
  control.DispatchKeyDown(KEY_A, 0);
  EXPECT_EQ(t.log, (Log{"panel key 65"}));
}

TEST(control, CompositeIsOneTabStopAndFocusedOnBehalfOfItsChildren) {
  test_control_t control;
  auto* before = new probe_t(control.GetRoot(), "before", {20, 0}, AL_Left);
  auto* composite = new CComplexFocusHolder<CVisualElement>(control.GetRoot(), {200, 0}, AL_Left);
  auto* inner1 = new probe_t(composite, "inner1", {50, 0}, AL_Left);
  auto* inner2 = new probe_t(composite, "inner2", {50, 0}, AL_Left);
  auto* after = new probe_t(control.GetRoot(), "after", {20, 0}, AL_Left);
  for (probe_t* p : {before, inner1, inner2, after}) p->SetTabStop(true);

  before->SetFocus();
  control.DispatchKeyDown(KEY_Tab, 0);
  EXPECT_EQ(control.GetFocusedElement(), inner1);
  EXPECT_TRUE(inner2->IsControlFocused());
  EXPECT_FALSE(after->IsControlFocused());
  control.DispatchKeyDown(KEY_Tab, 0);  // leaves the composite as a whole
  EXPECT_EQ(control.GetFocusedElement(), after);
  EXPECT_FALSE(inner2->IsControlFocused());
  EXPECT_EQ(control.GetFocusHolder(), composite);  // focus left it while the control had it
  control.DispatchKeyDown(KEY_Tab, MK_Shift);
  EXPECT_EQ(control.GetFocusedElement(), inner2);
  control.DispatchKeyDown(KEY_Tab, MK_Shift);
  EXPECT_EQ(control.GetFocusedElement(), before);
  EXPECT_EQ(control.GetFocusHolder(), composite);
}

TEST(control, CopyGoesToTheNearestElementThatCopies) {
  struct copier_t : CVisualElement {
    using CVisualElement::CVisualElement;
    bool IsCopyToClipboardEnabled() const override { return true; }
    std::wstring HandleAsString() const override { return L"rows\r\n"; }
  };
  test_control_t control;
  auto* copier = new copier_t(control.GetRoot(), {100, 100}, AL_Client);
  auto* inner = new probe_t(copier, "inner");
  inner->SetTabStop(true);
  inner->SetFocus();
  orrin7::GetCurrentSystem()->GetClipboardService()->SetText(L"");
  EXPECT_TRUE(control.CopyFocusedToClipboard());
  EXPECT_EQ(orrin7::GetCurrentSystem()->GetClipboardService()->GetText(), L"rows\r\n");
  EXPECT_FALSE(CopyToClipboard(control.GetRoot()));
}

TEST(control, TooltipsAreAskedFromTheElementUnderThePointerUpwards) {
  struct tipping_t : CVisualElement {
    using CVisualElement::CVisualElement;
    bool HandleOnTooltip(CTooltipEvent& event) override {
      event.text = L"tip at " + std::to_wstring(event.x) + L"," + std::to_wstring(event.y);
      event.rect = {0, 0, 10, 10};
      return true;
    }
  };
  test_control_t control;
  auto* tipping = new tipping_t(control.GetRoot(), {100, 0}, AL_Right);
  new probe_t(tipping, "silent", {50, 50}, AL_Client);
  CTooltipEvent event;
  EXPECT_EQ(control.QueryTooltip(320, 20, event), tipping);
  EXPECT_EQ(event.text, L"tip at 20,20");
  EXPECT_EQ(control.QueryTooltip(20, 20, event), nullptr);
}

TEST(control, AFailedEventIsDroppedAndTheNextOneIsServed) {
  sv4_test::assertion_recorder_t recorder;
  struct null_user_t : CVisualElement {
    using CVisualElement::CVisualElement;
    utilkit2::smart_pointer_t<std::string> missing;
    void AfterSetControl() override { throw std::logic_error("attach failed"); }
    bool HandleMouseWheel(const CWheelEvent&) override { return missing->empty(); }
  };
  test_control_t control;
  tree_t t(control);
  auto* user = new null_user_t(t.c, {50, 50}, AL_None);
  t.a->throw_on_down = true;
  EXPECT_FALSE(control.DispatchMouseDown(10, 10, orrin7::MB_Left, 0));
  control.DispatchMouseUp(10, 10, orrin7::MB_Left, 0);
  EXPECT_EQ(control.GetFailureCount(), 2);  // the attach and the press
  EXPECT_EQ(control.GetLastFailure(), "mouse down: broken element");
  EXPECT_FALSE(control.DispatchWheel(110, 10, 0, 1, 0));
  EXPECT_EQ(control.GetFailureCount(), 3);
  EXPECT_EQ(recorder.expressions(), (std::vector<std::string>{"m_ptr != 0"}));
  EXPECT_TRUE(control.DispatchMouseDown(10, 70, orrin7::MB_Left, 0));
  EXPECT_EQ(t.log.back(), "b down 10,20");
  EXPECT_EQ(user->GetParent(), t.c);
}

}  // namespace
