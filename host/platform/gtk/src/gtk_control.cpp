// CGtkControl: the drawing area and its signal handlers, key and modifier mapping, cursors,
// tooltips, the GTK clipboard service and the palette read from the theme.
#include "orrinfrw7/gtk_control.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "orrin7/system.h"
#include "orrinfrw7/widget_colors.h"

namespace orrinfrw7 {
namespace {

// ---- text ----

std::string ToUtf8(const std::wstring& text) {
  std::u32string valid;
  valid.reserve(text.size());
  for (wchar_t w : text) {
    const char32_t c = static_cast<char32_t>(w);
    valid.push_back(c > 0x10FFFF || (c >= 0xD800 && c < 0xE000) ? char32_t(0xFFFD) : c);
  }
  glong written = 0;
  gchar* utf8 = g_ucs4_to_utf8(reinterpret_cast<const gunichar*>(valid.data()),
                               static_cast<glong>(valid.size()), nullptr, &written, nullptr);
  std::string out = utf8 ? std::string(utf8, static_cast<std::size_t>(written)) : std::string();
  g_free(utf8);
  return out;
}

std::wstring FromUtf8(const gchar* text) {
  if (text == nullptr) return std::wstring();
  gchar* valid = g_utf8_make_valid(text, -1);
  glong count = 0;
  gunichar* ucs4 = g_utf8_to_ucs4_fast(valid, -1, &count);
  std::wstring out(ucs4, ucs4 + count);
  g_free(ucs4);
  g_free(valid);
  return out;
}

// The desktop clipboard (the CLIPBOARD selection, what Ctrl+V pastes elsewhere).
class CGtkClipboard : public orrin7::IClipboardService {
 public:
  void SetText(const std::wstring& text) override {
    const std::string utf8 = ToUtf8(text);
    gtk_clipboard_set_text(Clipboard(), utf8.data(), static_cast<gint>(utf8.size()));
  }
  std::wstring GetText() const override {
    gchar* text = gtk_clipboard_wait_for_text(Clipboard());
    std::wstring out = FromUtf8(text);
    g_free(text);
    return out;
  }

 private:
  static GtkClipboard* Clipboard() { return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD); }
};

// ---- theme ----

orrin7::_color FromRgba(const GdkRGBA& c) {
  const auto channel = [](double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  return orrin7::_color::rgb(channel(c.red), channel(c.green), channel(c.blue), 0xFF, 1);
}

bool IsDark(const orrin7::_color& c) {
  return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue() < 128;
}

// The theme's named colours; false when the theme does not define the name.
bool LookUp(GtkStyleContext* context, const char* name, orrin7::_color& out) {
  GdkRGBA rgba;
  if (!gtk_style_context_lookup_color(context, name, &rgba)) return false;
  out = FromRgba(rgba);
  return true;
}

// Fills the palette from the theme; false when the theme names none of the view colours (the
// palette is then left as it is).
bool ReadThemePalette(GtkWidget* widget) {
  GtkStyleContext* context = gtk_widget_get_style_context(widget);
  orrin7::IPalette& palette = orrin7::GetSysPalette();
  orrin7::_color base, text, window, selected, selected_text, line;
  if (!LookUp(context, "theme_base_color", base) || !LookUp(context, "theme_text_color", text))
    return false;
  palette.UseDarkColors(IsDark(base));  // indexes the theme says nothing about
  if (!LookUp(context, "theme_bg_color", window)) window = MixColors(base, text, 0.06);
  if (!LookUp(context, "theme_selected_bg_color", selected))
    selected = palette.GetColor(orrin7::PAL_SelectionBackground);
  if (!LookUp(context, "theme_selected_fg_color", selected_text))
    selected_text = palette.GetColor(orrin7::PAL_SelectionText);
  if (!LookUp(context, "borders", line)) line = MixColors(window, text, 0.3);
  palette.SetColor(orrin7::PAL_CellBackground, base);
  palette.SetColor(orrin7::PAL_Text, text);
  palette.SetColor(orrin7::PAL_GroupBackground, window);
  palette.SetColor(orrin7::PAL_EmptyArea, base);
  palette.SetColor(orrin7::PAL_Separator, line);
  palette.SetColor(orrin7::PAL_SelectionBackground, selected);
  palette.SetColor(orrin7::PAL_SelectionText, selected_text);
  palette.SetColor(orrin7::PAL_SnippetFrame, MixColors(base, text, 0.2));
  palette.SetColor(orrin7::PAL_SnippetText, MixColors(base, text, 0.75));
  return true;
}

std::vector<std::uint32_t> PaletteValues() {
  std::vector<std::uint32_t> out;
  for (int i = 0; i < 32; ++i) out.push_back(orrin7::GetSysPalette().GetColor(i).value);
  return out;
}

// ---- cursors ----

const char* CursorName(int cursor) {
  switch (cursor) {
    case CR_IBeam:
      return "text";
    case CR_Wait:
      return "wait";
    case CR_Cross:
      return "crosshair";
    case CR_SizeNS:
      return "ns-resize";
    case CR_SizeWE:
      return "ew-resize";
    case CR_Hand:
      return "pointer";
    default:
      return "default";
  }
}

orrin7::MouseButton ButtonOf(guint button) {
  switch (button) {
    case 1:
      return orrin7::MB_Left;
    case 2:
      return orrin7::MB_Middle;
    case 3:
      return orrin7::MB_Right;
    default:
      return orrin7::MB_None;
  }
}

int Pixel(double coordinate) { return static_cast<int>(std::floor(coordinate)); }

}  // namespace

int KeyCodeFromGdkKeyval(unsigned int keyval) {
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return KEY_A + int(keyval - GDK_KEY_a);
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return KEY_A + int(keyval - GDK_KEY_A);
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return 0x30 + int(keyval - GDK_KEY_0);
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return 0x70 + int(keyval - GDK_KEY_F1);
  switch (keyval) {
    case GDK_KEY_BackSpace:
      return KEY_Backspace;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
    case GDK_KEY_KP_Tab:
      return KEY_Tab;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
      return KEY_Return;
    case GDK_KEY_Escape:
      return KEY_Escape;
    case GDK_KEY_space:
    case GDK_KEY_KP_Space:
      return KEY_Space;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up:
      return KEY_PageUp;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down:
      return KEY_PageDown;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
      return KEY_End;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
      return KEY_Home;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
      return KEY_Left;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      return KEY_Up;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
      return KEY_Right;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      return KEY_Down;
    case GDK_KEY_Insert:
    case GDK_KEY_KP_Insert:
      return KEY_Insert;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete:
      return KEY_Delete;
    default:
      return 0;
  }
}

int ModifiersFromGdkState(unsigned int state) {
  int modifiers = 0;
  if (state & GDK_SHIFT_MASK) modifiers |= MK_Shift;
  if (state & GDK_CONTROL_MASK) modifiers |= MK_Ctrl;
  if (state & GDK_MOD1_MASK) modifiers |= MK_Alt;
  return modifiers;
}

struct CGtkControl::impl_t {
  GtkWidget* area = nullptr;    // one reference held
  GtkWidget* window = nullptr;  // while it exists
  CGtkClipboard clipboard;
  orrin7::IClipboardService* previousClipboard = nullptr;
  int cursor = CR_Arrow;
  bool quitOnClose = false;
  double wheelX = 0;  // smooth scrolling not yet turned into whole notches
  double wheelY = 0;
  guint timerSource = 0;  // the GLib timeout that wakes the control's earliest timer
};

struct CGtkControl::handlers_t {
  static gboolean Draw(GtkWidget*, cairo_t* cr, CGtkControl* self) {
    self->Paint();
    cairo_set_source_surface(cr, self->GetSurface(), 0, 0);
    cairo_paint(cr);
    return TRUE;
  }

  static void SizeAllocate(GtkWidget*, GdkRectangle* allocation, CGtkControl* self) {
    if (self->GetSize() == orrin7::size<int>(allocation->width, allocation->height)) return;
    self->SetSize(allocation->width, allocation->height);
  }

  static void ScaleChanged(GtkWidget* widget, GParamSpec*, CGtkControl* self) {
    self->SetScale(gtk_widget_get_scale_factor(widget));
  }

  static void Realize(GtkWidget* widget, CGtkControl* self) {
    self->SetScale(gtk_widget_get_scale_factor(widget));
    self->ApplyCursor(self->m_impl->cursor);
    self->UpdatePaletteFromTheme();
  }

  static void StyleUpdated(GtkWidget*, CGtkControl* self) { self->UpdatePaletteFromTheme(); }

  static void SettingChanged(GObject*, GParamSpec*, CGtkControl* self) {
    self->UpdatePaletteFromTheme();
  }

  static gboolean ButtonPress(GtkWidget* widget, GdkEventButton* event, CGtkControl* self) {
    if (!gtk_widget_has_focus(widget)) gtk_widget_grab_focus(widget);
    const orrin7::MouseButton button = ButtonOf(event->button);
    if (button == orrin7::MB_None) return FALSE;
    const int modifiers = ModifiersFromGdkState(event->state);
    if (event->type == GDK_2BUTTON_PRESS) {
      self->DispatchMouseDoubleClick(Pixel(event->x), Pixel(event->y), button, modifiers);
    } else if (event->type == GDK_BUTTON_PRESS) {
      self->MouseDown(Pixel(event->x), Pixel(event->y), button, modifiers);
    }
    return TRUE;
  }

  static gboolean ButtonRelease(GtkWidget*, GdkEventButton* event, CGtkControl* self) {
    const orrin7::MouseButton button = ButtonOf(event->button);
    if (button == orrin7::MB_None) return FALSE;
    self->MouseUp(Pixel(event->x), Pixel(event->y), button, ModifiersFromGdkState(event->state));
    return TRUE;
  }

  static gboolean Motion(GtkWidget*, GdkEventMotion* event, CGtkControl* self) {
    self->MouseMove(Pixel(event->x), Pixel(event->y), ModifiersFromGdkState(event->state));
    return TRUE;
  }

  static gboolean Leave(GtkWidget*, GdkEventCrossing*, CGtkControl* self) {
    self->MouseLeave();
    return FALSE;
  }

  // Whole notches go to the elements; smooth scrolling adds up until it makes one.
  static gboolean Scroll(GtkWidget*, GdkEventScroll* event, CGtkControl* self) {
    impl_t& impl = *self->m_impl;
    int dx = 0;
    int dy = 0;
    switch (event->direction) {
      case GDK_SCROLL_UP:
        dy = -1;
        break;
      case GDK_SCROLL_DOWN:
        dy = 1;
        break;
      case GDK_SCROLL_LEFT:
        dx = -1;
        break;
      case GDK_SCROLL_RIGHT:
        dx = 1;
        break;
      case GDK_SCROLL_SMOOTH:
        impl.wheelX += event->delta_x;
        impl.wheelY += event->delta_y;
        dx = static_cast<int>(impl.wheelX);
        dy = static_cast<int>(impl.wheelY);
        impl.wheelX -= dx;
        impl.wheelY -= dy;
        break;
    }
    if (dx == 0 && dy == 0) return TRUE;
    self->Wheel(Pixel(event->x), Pixel(event->y), dy, ModifiersFromGdkState(event->state), dx);
    return TRUE;
  }

  // Unknown keys and an unused Tab go on to GTK (accelerators, focus between widgets).
  static gboolean KeyPress(GtkWidget*, GdkEventKey* event, CGtkControl* self) {
    const int key = KeyCodeFromGdkKeyval(event->keyval);
    if (key == 0) return FALSE;
    return self->KeyDown(key, ModifiersFromGdkState(event->state)) ? TRUE : FALSE;
  }

  static gboolean KeyRelease(GtkWidget*, GdkEventKey* event, CGtkControl* self) {
    const int key = KeyCodeFromGdkKeyval(event->keyval);
    if (key == 0) return FALSE;
    return self->KeyUp(key, ModifiersFromGdkState(event->state)) ? TRUE : FALSE;
  }

  static gboolean Focus(GtkWidget*, GdkEventFocus* event, CGtkControl* self) {
    self->SetInputFocus(event->in != 0);
    return FALSE;
  }

  // The tip belongs to the area the element gave, when the pointer is inside it; otherwise GTK
  // places it at the pointer and asks again when the pointer moves.
  static gboolean QueryTooltip(GtkWidget*, gint x, gint y, gboolean keyboard, GtkTooltip* tooltip,
                               CGtkControl* self) {
    if (keyboard) return FALSE;
    CTooltipEvent event;
    const CVisualElement* element = self->CControl::QueryTooltip(x, y, event);
    if (element == nullptr || event.text.empty()) return FALSE;
    gtk_tooltip_set_text(tooltip, ToUtf8(event.text).c_str());
    const orrin7::point<int> origin = element->ElementToControl({0, 0});
    const orrin7::rectangle<int> area(event.rect.left + origin.x, event.rect.top + origin.y,
                                      event.rect.right + origin.x, event.rect.bottom + origin.y);
    if (area.contains(x, y)) {
      const GdkRectangle rect{area.left, area.top, area.width(), area.height()};
      gtk_tooltip_set_tip_area(tooltip, &rect);
    }
    return TRUE;
  }

  static void WindowDestroyed(GtkWidget*, CGtkControl* self) {
    self->m_impl->window = nullptr;
    if (self->m_impl->quitOnClose && gtk_main_level() > 0) gtk_main_quit();
  }

  static void Connect(CGtkControl* self) {
    GtkWidget* area = self->m_impl->area;
    const auto on = [&](const char* signal, GCallback callback) {
      g_signal_connect(area, signal, callback, self);
    };
    on("draw", G_CALLBACK(Draw));
    on("size-allocate", G_CALLBACK(SizeAllocate));
    on("notify::scale-factor", G_CALLBACK(ScaleChanged));
    on("realize", G_CALLBACK(Realize));
    on("style-updated", G_CALLBACK(StyleUpdated));
    on("button-press-event", G_CALLBACK(ButtonPress));
    on("button-release-event", G_CALLBACK(ButtonRelease));
    on("motion-notify-event", G_CALLBACK(Motion));
    on("leave-notify-event", G_CALLBACK(Leave));
    on("scroll-event", G_CALLBACK(Scroll));
    on("key-press-event", G_CALLBACK(KeyPress));
    on("key-release-event", G_CALLBACK(KeyRelease));
    on("focus-in-event", G_CALLBACK(Focus));
    on("focus-out-event", G_CALLBACK(Focus));
    on("query-tooltip", G_CALLBACK(QueryTooltip));
    GtkSettings* settings = gtk_settings_get_default();
    if (settings == nullptr) return;
    g_signal_connect(settings, "notify::gtk-theme-name", G_CALLBACK(SettingChanged), self);
    g_signal_connect(settings, "notify::gtk-application-prefer-dark-theme",
                     G_CALLBACK(SettingChanged), self);
  }
};

// The surface starts at the natural size, which a top-level window takes as its default size.
CGtkControl::CGtkControl(int width, int height)
    : COffscreenControl(width, height), m_impl(new impl_t) {
  impl_t& impl = *m_impl;
  // A window control has the keyboard only once GTK says so.
  SetInputFocus(false);
  impl.area = gtk_drawing_area_new();
  g_object_ref_sink(impl.area);
  gtk_widget_set_can_focus(impl.area, TRUE);
  gtk_widget_set_has_tooltip(impl.area, TRUE);
  gtk_widget_add_events(impl.area,
                        GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                            GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK |
                            GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK);
  impl.cursor = GetCursor();
  handlers_t::Connect(this);
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  impl.previousClipboard = system->GetClipboardService();
  system->SetClipboardService(&impl.clipboard);
}

CGtkControl::~CGtkControl() {
  impl_t& impl = *m_impl;
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  if (system->GetClipboardService() == &impl.clipboard)
    system->SetClipboardService(impl.previousClipboard);
  if (GtkSettings* settings = gtk_settings_get_default())
    g_signal_handlers_disconnect_by_data(settings, this);
  g_signal_handlers_disconnect_by_data(impl.area, this);
  if (impl.window) {
    g_signal_handlers_disconnect_by_data(impl.window, this);
    gtk_widget_destroy(impl.window);
  }
  DestroyElements();  // while the area they may still ask for exists
  if (impl.timerSource) g_source_remove(impl.timerSource);
  impl.timerSource = 0;
  g_object_unref(impl.area);
}

std::int64_t CGtkControl::GetTimeMs() const { return g_get_monotonic_time() / 1000; }

// One GLib timeout at a time, armed for the earliest timer; the dispatch re-arms it.
void CGtkControl::TimersChanged() {
  impl_t& impl = *m_impl;
  if (impl.timerSource) g_source_remove(impl.timerSource);
  impl.timerSource = 0;
  std::int64_t due = 0;
  if (!GetNextTimerDue(due)) return;
  const std::int64_t wait = std::max<std::int64_t>(0, due - GetTimeMs());
  impl.timerSource = g_timeout_add(
      static_cast<guint>(std::min<std::int64_t>(wait, 1 << 30)),
      [](gpointer data) -> gboolean {
        CGtkControl* self = static_cast<CGtkControl*>(data);
        self->m_impl->timerSource = 0;  // this source ends with the return below
        self->DispatchTimers();
        return G_SOURCE_REMOVE;
      },
      this);
}

// The control decided the pointer rested long enough: GTK asks for the tip now instead of
// relying on its own timing, which drops the tip when the pointer steps into the next cell.
void CGtkControl::TooltipShown() { gtk_widget_trigger_tooltip_query(m_impl->area); }

GtkWidget* CGtkControl::GetWidget() const { return m_impl->area; }

GtkWidget* CGtkControl::CreateTopLevelWindow(const std::string& title, bool quitOnClose) {
  impl_t& impl = *m_impl;
  if (impl.window) return impl.window;
  impl.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(impl.window), title.c_str());
  gtk_window_set_default_size(GTK_WINDOW(impl.window), GetSize().width, GetSize().height);
  gtk_container_add(GTK_CONTAINER(impl.window), impl.area);
  g_signal_connect(impl.window, "destroy", G_CALLBACK(handlers_t::WindowDestroyed), this);
  impl.quitOnClose = quitOnClose;
  gtk_widget_show_all(impl.window);
  gtk_widget_grab_focus(impl.area);
  return impl.window;
}

void CGtkControl::UpdatePaletteFromTheme() {
  const std::vector<std::uint32_t> before = PaletteValues();
  if (!ReadThemePalette(m_impl->area)) return;
  if (PaletteValues() != before) SysColorsChanged();
}

void CGtkControl::PaintRequested() {
  if (m_impl && m_impl->area) gtk_widget_queue_draw(m_impl->area);
}

void CGtkControl::ApplyCursor(int cursor) {
  if (!m_impl) return;
  m_impl->cursor = cursor;
  GdkWindow* window = gtk_widget_get_window(m_impl->area);
  if (window == nullptr) return;  // applied when the area is realized
  GdkCursor* shape = gdk_cursor_new_from_name(gdk_window_get_display(window), CursorName(cursor));
  gdk_window_set_cursor(window, shape);
  if (shape) g_object_unref(shape);
}

void CGtkControl::ReportFailure(const std::string& what) {
  g_warning("orrinfrw7: an element failed: %s", what.c_str());
}

}  // namespace orrinfrw7
