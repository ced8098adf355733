// CComplexFocusHolder: makes a composite element one tab stop and one focus owner for all the
// elements inside it.
#pragma once

#include "orrinfrw7/control.h"
#include "orrinfrw7/visual_element.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Tabbing enters the composite at its first tab stop and leaves it as a whole; while the focus is
// anywhere inside, every element of the composite counts as focused (IsControlFocused); when the
// focus moves out while the control has the input focus, the composite becomes the control's
// focus holder (keys reach it while no element has the focus). `Base` is CVisualElement or an
// element class derived from it.
template <class Base>
class CComplexFocusHolder : public Base, public utilkit2::subscriber_base_t {
 public:
  using Base::Base;

  CVisualElement* GetFirstTabElement() override {
    return m_tabWalk ? this : Base::GetFirstTabElement();
  }
  CVisualElement* GetLastTabElement() override {
    return m_tabWalk ? this : Base::GetLastTabElement();
  }
  CVisualElement* GetNextTabElement(CVisualElement* current) override {
    return LeaveByTab(current, /*forward=*/true);
  }
  CVisualElement* GetPrevTabElement(CVisualElement* current) override {
    return LeaveByTab(current, /*forward=*/false);
  }
  bool IsControlFocused() const override {
    const CControl* control = this->GetControl();
    const CVisualElement* focused = control ? control->GetFocusedElement() : nullptr;
    return focused != nullptr && IsAncestor(this, focused);
  }

 protected:
  void HandleChildFocusChanged(CVisualElement* oldFocus, CVisualElement* newFocus,
                               bool focused) override {
    Base::HandleChildFocusChanged(oldFocus, newFocus, focused);
    CControl* control = this->GetControl();
    if (control == nullptr || IsAncestor(this, newFocus)) return;
    control->SetFocusHolder(focused ? this : nullptr);
  }

 private:
  // Asks the parent for the tab stop after (before) the whole composite.
  CVisualElement* LeaveByTab(CVisualElement* /*current*/, bool forward) {
    CVisualElement* parent = this->GetParent();
    if (parent == nullptr) return Base::GetFirstTabElement();
    if (CControl* control = this->GetControl()) control->SetFocusHolder(nullptr);
    m_tabWalk = true;
    CVisualElement* next =
        forward ? parent->GetNextTabElement(this) : parent->GetPrevTabElement(this);
    m_tabWalk = false;
    return next;
  }

  bool m_tabWalk = false;  // set while the walk leaves the composite
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
