// CGtkControl: the window control. A GTK 3 drawing area shows an element tree, takes pointer,
// wheel, key and focus input, shows cursors and tooltips, puts copied text on the desktop
// clipboard and follows the GTK theme and the screen's scale.
#pragma once

#include <memory>
#include <string>

#include "orrinfrw7/offscreen_control.h"

typedef struct _GtkWidget GtkWidget;

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// The key code elements receive for a GDK key value: letters as their capitals, digits, F1 to
// F12 (0x70 …), arrows, Page Up and Down, Home, End, Insert, Delete, Tab, Return, Escape,
// Backspace and space, keypad keys as their main-block twins; 0 for keys elements do not know.
int KeyCodeFromGdkKeyval(unsigned int keyval);
// The modifier bits (MK_Shift, MK_Ctrl, MK_Alt) of a GDK modifier state.
int ModifiersFromGdkState(unsigned int state);

// The control paints into the headless control's surface, kept as the window's backing store at
// the widget's scale factor, and copies it to the screen on each draw. Input becomes the headless
// control's injected events in control pixels. While the control lives, the system's clipboard
// service is the GTK clipboard (the previous one comes back afterwards), and the system palette
// is filled from the GTK theme: again whenever the theme changes, after which the elements get
// SysColorsChanged. gtk_init must have run; everything happens on the GTK main thread.
//
// The control owns its drawing area (a GTK application may pack it into its own containers) and
// the top-level window CreateTopLevelWindow makes for it; both go with the control.
class CGtkControl : public COffscreenControl {
 public:
  // `width` × `height` is the area's natural size; it takes whatever size GTK allocates.
  CGtkControl(int width, int height);
  ~CGtkControl() override;

  GtkWidget* GetWidget() const;
  // A top-level window holding the area, shown; closing it ends gtk_main when `quitOnClose`.
  GtkWidget* CreateTopLevelWindow(const std::string& title, bool quitOnClose);
  // Reads the palette from the GTK theme and, when it changed, tells the elements.
  void UpdatePaletteFromTheme();
  // Timers run on the GLib main loop's monotonic clock.
  std::int64_t GetTimeMs() const override;

 protected:
  void PaintRequested() override;
  void ApplyCursor(int cursor) override;
  void ReportFailure(const std::string& what) override;
  void TimersChanged() override;
  void TooltipShown() override;

 private:
  struct impl_t;
  // The GTK signal handlers, which reach the dispatchers.
  struct handlers_t;
  friend struct handlers_t;

  std::unique_ptr<impl_t> m_impl;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
