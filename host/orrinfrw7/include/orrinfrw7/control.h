// CControl: the host of an element tree. It supplies the drawing surface, keeps track of focus,
// hover and pointer capture, routes input to elements, repaints what was invalidated, and
// contains failures at every dispatch. Platform controls (headless, window) derive from it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/events.h"
#include "orrinfrw7/visual_element.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// What a paint pass repaints (CControl::GetPaintPass, asked by elements inside DrawContent).
enum PaintPass : int {
  PP_Exposed = 0,  // the pixels of the painted area are lost: paint everything there
  PP_Refresh = 1,  // one element repaints what changed in it; the other pixels are still right
};

// Owns the root element, which always fills the control; hosts create their elements under
// GetRoot(). The surface keeps its pixels between paints (a backing store), so that a paint
// touches only invalidated areas and scrolling moves pixels instead of repainting them.
//
// Every Dispatch* operation first completes pending attachments, then catches any exception
// thrown by an element: the event (for paint: that element's drawing) is dropped, the failure is
// counted and reported through ReportFailure, and the control carries on.
class CControl {
 public:
  CControl();
  virtual ~CControl();
  CControl(const CControl&) = delete;
  CControl& operator=(const CControl&) = delete;

  CVisualElement* GetRoot() const { return m_root; }
  orrin7::size<int> GetSize() const { return m_size; }
  // The drawing surface; null while there is none.
  virtual orrin7::IPainter* GetPainter() = 0;

  // ---- focus ----
  CVisualElement* GetFocusedElement() const { return m_focused; }
  // Gives the keyboard focus to a showing element of this control (null: to none); false when the
  // element cannot have it.
  bool SetFocusedElement(CVisualElement* element);
  // The element that stands in for the focus: keys go to it while no element has the focus.
  CVisualElement* GetFocusHolder() const { return m_holder; }
  void SetFocusHolder(CVisualElement* element);
  // Whether the control has the keyboard input of its platform (true at the start: a headless
  // control has it unless told otherwise; a window control reports its focus changes).
  bool HasInputFocus() const { return m_inputFocus; }
  // Moves the focus to the next (or previous) tab stop; false when there is none.
  bool MoveFocus(bool forward);
  // Whether focus frames are shown at all (a host preference; true by default).
  bool IsFocusFrameVisible() const { return m_focusFrameVisible; }
  void SetFocusFrameVisible(bool visible);

  // ---- pointer ----
  CVisualElement* GetHoverElement() const { return m_hover; }
  CVisualElement* GetCaptureElement() const { return m_capture; }
  // The pointer shape in force (that of the element under the pointer).
  int GetCursor() const { return m_cursor; }
  // The deepest showing element at control pixel (x, y); null outside the control.
  CVisualElement* ElementAt(int x, int y) const;

  // ---- repainting ----
  // Control pixels whose content is lost; they are repainted by the next paint.
  void Invalidate(const orrin7::rectangle<int>& rect);
  void InvalidateAll();
  void RequestRefresh(CVisualElement* element);
  // Moves the pixels of `rect` by (dx, dy) and invalidates the uncovered strips; without a surface
  // that can move pixels, invalidates the whole rectangle.
  void ScrollArea(const orrin7::rectangle<int>& rect, int dx, int dy);
  bool HasPendingPaint() const { return !m_lost.empty() || !m_refresh.empty(); }
  // Inside DrawContent: the kind of the running pass and the area it paints (control pixels).
  PaintPass GetPaintPass() const { return m_pass; }
  orrin7::rectangle<int> GetPaintRect() const { return m_paintRect; }
  // After every paint.
  utilkit2::signal_t<> PaintFinished;

  // ---- services ----
  // Runs AfterSetControl of the elements created since the last dispatch, in creation order.
  void CompleteAttach();
  // Tells every element that the palette or the system metrics changed, and repaints.
  void SysColorsChanged();
  // Copies on behalf of the focused element (CopyToClipboard); false when nothing was copied.
  bool CopyFocusedToClipboard();
  // Asks the element at (x, y) and then its ancestors for a tooltip; `event` gets the text and
  // the rectangle in the pixels of the element that answered, whose pointer is returned.
  CVisualElement* QueryTooltip(int x, int y, CTooltipEvent& event);

  // ---- timers ----
  // Runs `action` once `delayMs` milliseconds from now and then, when `intervalMs` > 0, every
  // `intervalMs` milliseconds until stopped. The timer belongs to `owner`: it stops by itself when
  // the owner leaves the control or is destroyed. Each run is contained like an event. Answers the
  // timer's id (never 0).
  int StartTimer(CVisualElement* owner, int delayMs, int intervalMs, std::function<void()> action);
  // Stops a timer; ids of stopped or finished timers are ignored.
  void StopTimer(int id);
  bool IsTimerRunning(int id) const;
  // Milliseconds of the control's clock: monotonic, of an arbitrary origin.
  virtual std::int64_t GetTimeMs() const;

  int GetFailureCount() const { return m_failures; }
  const std::string& GetLastFailure() const { return m_lastFailure; }

 protected:
  void Resize(int width, int height);
  // Destroys the element tree, root included. Platform controls call it first in their destructor,
  // so that elements never outlive the surface and services they may use while they go.
  void DestroyElements();

  // Entry points for the platform: each completes pending attachments and contains failures.
  void DispatchPaint();
  // Paints the whole tree on `painter` (a vector surface), without touching pending areas.
  void PaintEverything(orrin7::IPainter* painter);
  bool DispatchMouseDown(int x, int y, orrin7::MouseButton button, int modifiers);
  bool DispatchMouseUp(int x, int y, orrin7::MouseButton button, int modifiers);
  bool DispatchMouseMove(int x, int y, int modifiers);
  bool DispatchMouseDoubleClick(int x, int y, orrin7::MouseButton button, int modifiers);
  void DispatchMouseLeave();
  bool DispatchWheel(int x, int y, int dx, int dy, int modifiers);
  bool DispatchKeyDown(int key, int modifiers);
  bool DispatchKeyUp(int key, int modifiers);
  void DispatchFocus(bool focused);
  // Runs every timer due by GetTimeMs(), earliest first (a timer due again inside the call waits
  // for the next one).
  void DispatchTimers();
  // When the earliest timer is due (clock of GetTimeMs); false when no timer runs.
  bool GetNextTimerDue(std::int64_t& due) const;

  // Platform hooks.
  virtual void ApplyCursor(int /*cursor*/) {}
  // Something waits to be painted (a window schedules a paint).
  virtual void PaintRequested() {}
  // Moves the pixels of `rect` by (dx, dy) on the surface; false when it cannot.
  virtual bool ScrollSurface(const orrin7::rectangle<int>& /*rect*/, int /*dx*/, int /*dy*/) {
    return false;
  }
  // After an element failed in DrawContent: bring the painter back to the state the paint pass
  // had before the element was drawn (inside BeginPaint, without the element's clip nor any
  // clip the element left pushed). The base pops one clip, which is right when the element
  // pushed none; GetPainter is asked again afterwards.
  virtual void RecoverPainter();
  virtual void ReportFailure(const std::string& /*what*/) {}
  // The set of timers or the earliest due time changed (a window re-arms its wake-up).
  virtual void TimersChanged() {}

 private:
  friend class CVisualElement;

  // Element bookkeeping, called by elements.
  void ElementCreated(CVisualElement* element);
  void ElementGone(CVisualElement* element, bool destroyed);
  bool IsAlive(const CVisualElement* element) const { return m_elements.count(element) != 0; }

  template <class F>
  bool Guarded(const char* what, F&& action);
  void Failed(const char* what, const char* message);

  void PaintTree(CVisualElement* element, orrin7::point<int> origin,
                 const orrin7::rectangle<int>& parentVisible, const orrin7::rectangle<int>& clip);
  void PaintOne(CVisualElement* element, orrin7::point<int> origin,
                const orrin7::rectangle<int>& area);
  void PaintRefresh(CVisualElement* element);
  void SetHover(CVisualElement* element);
  CMouseEvent MakeMouseEvent(const CVisualElement* element, int x, int y,
                             orrin7::MouseButton button, int modifiers) const;
  CVisualElement* PointerTarget(int x, int y) const;
  void NotifyFocusAncestors(CVisualElement* oldFocus, CVisualElement* newFocus);
  std::vector<CVisualElement*> Snapshot() const;

  CVisualElement* m_root = nullptr;
  orrin7::size<int> m_size;
  std::unordered_set<const CVisualElement*> m_elements;  // every element attached here
  std::vector<CVisualElement*> m_pendingAttach;
  CVisualElement* m_focused = nullptr;
  CVisualElement* m_holder = nullptr;
  CVisualElement* m_hover = nullptr;
  CVisualElement* m_capture = nullptr;
  orrin7::MouseButton m_captureButton = orrin7::MB_None;
  bool m_inputFocus = true;
  bool m_focusFrameVisible = true;
  int m_cursor = CR_Arrow;

  std::vector<orrin7::rectangle<int>> m_lost;  // at most a few; merged into their hull beyond
  std::vector<CVisualElement*> m_refresh;
  PaintPass m_pass = PP_Exposed;
  orrin7::rectangle<int> m_paintRect;
  bool m_painting = false;
  orrin7::IPainter* m_drawingPainter = nullptr;  // the vector surface of PaintEverything

  struct timer_t {
    int id;
    CVisualElement* owner;  // not owned
    std::int64_t due;       // GetTimeMs clock
    int interval;           // milliseconds; 0: runs once
    std::function<void()> action;
  };
  void DropTimersOf(const CVisualElement* element);
  std::vector<timer_t> m_timers;
  int m_nextTimerId = 1;

  int m_failures = 0;
  std::string m_lastFailure;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
