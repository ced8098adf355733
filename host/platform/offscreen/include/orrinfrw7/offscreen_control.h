// COffscreenControl: a control without a window. It paints into a Cairo image surface, takes
// injected pointer, wheel, key and focus events, writes PNG, PDF and SVG files, and keeps the
// clipboard in memory; tests, benchmarks and image rendering use it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "orrin7/cairo_painter.h"
#include "orrin7/system.h"
#include "orrin7/types.h"
#include "orrinfrw7/control.h"

typedef struct _cairo_surface cairo_surface_t;

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// A tooltip as the headless control shows it: its text and the area it belongs to (control
// pixels).
struct CShownTooltip {
  std::wstring text;
  orrin7::rectangle<int> area;
};

// Owns a width × height ARGB image surface, a context and a painter on it for its lifetime. The
// surface keeps its pixels between paints; Paint repaints what is pending. While the control
// lives, the system's clipboard service is its in-memory clipboard (the previous service comes
// back when it is destroyed). Injected events behave as the platform's would: a click is a press
// and a release, a double click is a click, a press, the double-click event and a release.
class COffscreenControl : public CControl {
 public:
  COffscreenControl(int width, int height);
  ~COffscreenControl() override;

  orrin7::IPainter* GetPainter() override { return m_painter.get(); }

  // A new surface of the given size (clamped to 1 … 32767 pixels a side); everything is
  // repainted.
  void SetSize(int width, int height);
  // Device pixels per control pixel (1 … 8, for HiDPI screens): the surface gets that many
  // pixels per control pixel in each direction and everything is repainted; elements keep
  // working in control pixels. Files written from the surface have its device pixels.
  void SetScale(int scale);
  int GetScale() const { return m_scale; }
  // Repaints what was invalidated since the last paint.
  void Paint();
  // The surface painted on, owned by the control until the next SetSize; a window control that
  // derives from this one shows it as its backing store.
  cairo_surface_t* GetSurface() const { return m_surface; }
  // The colour of control pixel (x, y) (its top-left device pixel) with straight (not
  // premultiplied) channels and flag 0; transparent black outside the surface. Pending areas are
  // not painted first.
  orrin7::_color GetPixel(int x, int y) const;
  // Paint, then write the surface; false (and `error` set) when the file cannot be written.
  bool SavePng(const std::string& path, std::string* error = nullptr);
  // The whole tree painted again on a vector surface of the control's size.
  bool SavePdf(const std::string& path, std::string* error = nullptr);
  bool SaveSvg(const std::string& path, std::string* error = nullptr);

  // ---- injected input (control pixels) ----
  bool MouseDown(int x, int y, orrin7::MouseButton button = orrin7::MB_Left, int modifiers = 0);
  bool MouseUp(int x, int y, orrin7::MouseButton button = orrin7::MB_Left, int modifiers = 0);
  bool MouseMove(int x, int y, int modifiers = 0);
  bool Click(int x, int y, orrin7::MouseButton button = orrin7::MB_Left, int modifiers = 0);
  bool DoubleClick(int x, int y, orrin7::MouseButton button = orrin7::MB_Left, int modifiers = 0);
  void MouseLeave();
  // `dy` notches downwards (negative: upwards), `dx` to the right.
  bool Wheel(int x, int y, int dy, int modifiers = 0, int dx = 0);
  bool KeyDown(int key, int modifiers = 0);
  bool KeyUp(int key, int modifiers = 0);
  // A key pressed and released.
  bool Key(int key, int modifiers = 0);
  void SetInputFocus(bool focused);

  // ---- clock ----
  // The headless control runs its timers on a virtual clock that only moves here: each timer due
  // within the next `ms` milliseconds runs at its own time, in order.
  void AdvanceTime(int ms);
  std::int64_t GetTimeMs() const override { return m_now; }

  // ---- tooltips ----
  // Milliseconds the pointer rests before a tip shows.
  static constexpr int kTooltipDelayMs = 500;
  // The tooltip delay runs from each MouseMove; when it elapses, HoverElapsed runs. Calling it
  // directly shows the tip without waiting.
  // The pointer rested at the position of the last MouseMove for the hover delay: asks the
  // elements there for a tip (CControl::QueryTooltip) and shows it, that is keeps it as the shown
  // tip and appends it to the record. False (and no tip shown) where no element offers one.
  // Moving out of the tip's area, pressing, turning the wheel, a key and leaving take it away.
  bool HoverElapsed();
  const CShownTooltip* GetShownTooltip() const { return m_tipShown ? &m_tip : nullptr; }
  const std::vector<CShownTooltip>& GetTooltipRecord() const { return m_tipRecord; }

  // ---- clipboard ----
  std::wstring GetClipboardText() const { return m_clipboard.GetText(); }
  void SetClipboardText(const std::wstring& text) { m_clipboard.SetText(text); }

 protected:
  bool ScrollSurface(const orrin7::rectangle<int>& rect, int dx, int dy) override;
  void RecoverPainter() override;
  // HoverElapsed found a tip for where the pointer rests (a window shows it).
  virtual void TooltipShown() {}

 private:
  enum class VectorFormat { pdf, svg };
  bool SaveVector(const std::string& path, VectorFormat format, std::string* error);
  void CreateSurface(int width, int height);
  void DestroySurface();
  void HideTooltip();
  void RestartTooltipDelay();

  cairo_surface_t* m_surface = nullptr;
  struct _cairo* m_context = nullptr;
  std::unique_ptr<orrin7::CCairoPainter> m_painter;
  orrin7::CMemoryClipboard m_clipboard;
  orrin7::IClipboardService* m_previousClipboard = nullptr;
  int m_scale = 1;

  orrin7::point<int> m_pointer;  // control pixels, as of the last MouseMove
  bool m_pointerInside = false;
  bool m_tipShown = false;
  int m_tipTimer = 0;
  std::int64_t m_now = 0;  // the virtual clock, milliseconds
  CShownTooltip m_tip;
  std::vector<CShownTooltip> m_tipRecord;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
