// A control without a surface whose dispatchers tests call directly, and an element that records
// what reaches it.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "orrinfrw7/control.h"
#include "orrinfrw7/visual_element.h"

namespace orrin7 {
// Readable rectangles and points in failure messages.
template <class T>
void PrintTo(const rectangle<T>& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
template <class T>
void PrintTo(const point<T>& p, std::ostream* out) {
  *out << "(" << p.x << ", " << p.y << ")";
}
}  // namespace orrin7

namespace frw7_test {

class test_control_t : public orrinfrw7::CControl {
 public:
  explicit test_control_t(int width = 400, int height = 300) { Resize(width, height); }
  ~test_control_t() override { DestroyElements(); }
  orrin7::IPainter* GetPainter() override { return nullptr; }

  using CControl::DispatchFocus;
  using CControl::DispatchKeyDown;
  using CControl::DispatchMouseDown;
  using CControl::DispatchMouseLeave;
  using CControl::DispatchMouseMove;
  using CControl::DispatchMouseUp;
  using CControl::DispatchWheel;
  using CControl::Resize;

  std::vector<int> cursors;

 protected:
  void ApplyCursor(int cursor) override { cursors.push_back(cursor); }
};

// Writes every hook call as one line ("<name> down 3,4") into a shared log.
class probe_t : public orrinfrw7::CVisualElement {
 public:
  probe_t(orrinfrw7::CVisualElement* parent, std::string name, orrin7::size<int> size = {10, 10},
          orrinfrw7::Alignment alignment = orrinfrw7::AL_None,
          std::vector<std::string>* log = nullptr)
      : CVisualElement(parent, size, alignment), name(std::move(name)), log(log) {}

  std::string name;
  std::vector<std::string>* log;
  bool consume_keys = false;
  bool throw_on_down = false;
  int attached = 0;

 protected:
  void AfterSetControl() override { ++attached; }
  bool HandleMouseDown(const orrinfrw7::CMouseEvent& e) override {
    if (throw_on_down) throw std::runtime_error("broken element");
    Write("down " + std::to_string(e.x) + "," + std::to_string(e.y));
    return true;
  }
  bool HandleMouseMove(const orrinfrw7::CMouseEvent& e) override {
    Write("move " + std::to_string(e.x) + "," + std::to_string(e.y));
    return true;
  }
  void HandleMouseLeave() override { Write("leave"); }
  bool HandleKeyDown(const orrinfrw7::CKeyEvent& e) override {
    Write("key " + std::to_string(e.key));
    return consume_keys;
  }
  void HandleFocusChanged(bool focused) override { Write(focused ? "focus" : "blur"); }
  void HandleChildFocusChanged(orrinfrw7::CVisualElement* from, orrinfrw7::CVisualElement* to,
                               bool) override {
    Write(std::string("child focus ") + Name(from) + ">" + Name(to));
  }

 private:
  static std::string Name(orrinfrw7::CVisualElement* e) {
    auto* probe = dynamic_cast<probe_t*>(e);
    return probe ? probe->name : "-";
  }
  void Write(const std::string& line) {
    if (log) log->push_back(name + " " + line);
  }
};

}  // namespace frw7_test
