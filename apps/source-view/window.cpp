// The GTK window of source-view: a find bar, a go-to-line bar and an error bar over the view,
// keys for finding, jumping, modes, opening and reloading, the header's column menu, and a
// reload when the input changes on disk.
#include "window.h"

#include <gio/gio.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "batch.h"
#include "import_error.h"
#include "input_file.h"
#include "orrinfrw7/gtk_control.h"
#include "progress.h"
#include "session.h"

namespace source_view_app {

namespace {

// Owns the top-level window and its bars; the control owns the element tree. Lives for the
// whole of gtk_main.
class viewer_window_t : public utilkit2::_internal::subscriber_base_t {
 public:
  explicit viewer_window_t(const options_t& options)
      : m_options(options), m_control(options.width, options.height) {
    m_element = new viewer_element_t(m_control.GetRoot(), {options.width, options.height},
                                     orrinfrw7::AL_Client);
    m_control.CompleteAttach();
    m_session = std::make_unique<session_t>(*m_element);
    m_element->header_context_menu.connect(this, &viewer_window_t::on_header_menu);
    m_element->snippet_entry_clicked.connect(this, &viewer_window_t::on_entry_clicked);
    build_window();
  }

  ~viewer_window_t() override {
    if (m_reload_timer) g_source_remove(m_reload_timer);
    if (m_report_source) g_source_remove(m_report_source);
    if (m_monitor) g_object_unref(m_monitor);
  }

  // Opens the input of the options; a bad input leaves an empty view under the error bar.
  // SIGUSR1: one line of state on stdout, and the view as a PNG when SOURCE_VIEW_SNAPSHOT names
  // a file; what the window tests read.
  static gboolean on_report(gpointer self) {
    auto* w = static_cast<viewer_window_t*>(self);
    const char* modes[] = {"flat", "functions", "snippets"};
    unsigned focus = w->m_element->get_focus_row();
    // Where the focused row's source cell is (control pixels) and how high a text line is, so
    // that tests can point at what it shows.
    orrin7::point<int> cell{0, 0};
    if (focus != source_view4::no_row) cell = w->m_element->source_cell_origin(focus);
    std::printf(
        "state mode=%s focus_line=%u top_line=%u matches=%zu visible=%d,%d file=%s "
        "focus_cell=%d,%d,%d error=%s\n",
        modes[int(w->m_session->request().mode)], w->line_of(focus),
        w->line_of(w->m_element->get_top_row()), w->m_session->match_count(),
        int(w->visible_columns(true)), int(w->visible_columns(false)),
        w->m_session->is_open() ? w->m_session->view().title.c_str() : "", cell.x, cell.y,
        w->m_element->get_center_grid()->get_default_item_size(), w->m_error_text.c_str());
    std::fflush(stdout);
    if (const char* path = std::getenv("SOURCE_VIEW_SNAPSHOT")) w->m_control.SavePng(path);
    return G_SOURCE_CONTINUE;
  }

  // The source line view row `row` shows; 0 for none (a function's row, no row, nothing open).
  unsigned line_of(unsigned row) {
    if (row == source_view4::no_row || !m_session->is_open()) return 0;
    auto model = m_element->get_hierarchical_data_model();
    unsigned flat = model && model->get_model_type() == source_view4::hierarchical_mode_groups
                        ? model->get_flat_row_index(row)
                        : row;
    const std::vector<unsigned>& lines = m_session->view().row_lines;
    return flat < lines.size() ? lines[flat] : 0;
  }

  unsigned visible_columns(bool left) {
    auto grid = left ? m_element->get_left_grid() : m_element->get_right_grid();
    unsigned n = 0;
    for (unsigned i = 0; i < grid->get_column_count(); ++i) n += grid->get_column_visible(i);
    return n;
  }

  // The window shows before the input is read, so that a slow import shows its progress.
  void start() {
    m_report_source = g_unix_signal_add(SIGUSR1, on_report, this);
    gtk_widget_show_all(m_window);
    gtk_widget_hide(m_find_bar);
    gtk_widget_hide(m_goto_bar);
    gtk_widget_hide(m_progress_bar);
    gtk_widget_hide(m_error_bar);
    gtk_widget_grab_focus(m_control.GetWidget());
    if (open(m_options.load)) place_view(*m_session, m_options.width, m_options);
  }

 private:
  // ---- widgets ----
  GtkWidget* bar(GtkWidget* box, const char* caption, GtkWidget*& entry, GtkWidget*& label) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(row), 3);
    gtk_box_pack_start(GTK_BOX(row), gtk_label_new(caption), FALSE, FALSE, 0);
    entry = gtk_entry_new();
    gtk_box_pack_start(GTK_BOX(row), entry, FALSE, FALSE, 0);
    label = gtk_label_new("");
    gtk_box_pack_start(GTK_BOX(row), label, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    return row;
  }

  void build_window() {
    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(m_window), m_options.width, m_options.height);
    g_signal_connect(m_window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(on_key_thunk), this);
    g_signal_connect(m_window, "delete-event", G_CALLBACK(on_delete), this);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(m_window), box);

    m_error_bar = gtk_info_bar_new_with_buttons("_Close", GTK_RESPONSE_CLOSE, nullptr);
    gtk_info_bar_set_message_type(GTK_INFO_BAR(m_error_bar), GTK_MESSAGE_ERROR);
    m_error_label = gtk_label_new("");
    gtk_label_set_selectable(GTK_LABEL(m_error_label), TRUE);
    gtk_container_add(GTK_CONTAINER(gtk_info_bar_get_content_area(GTK_INFO_BAR(m_error_bar))),
                      m_error_label);
    g_signal_connect(m_error_bar, "response", G_CALLBACK(gtk_widget_hide), nullptr);
    gtk_box_pack_start(GTK_BOX(box), m_error_bar, FALSE, FALSE, 0);

    m_find_bar = bar(box, "Find:", m_find_entry, m_find_label);
    g_signal_connect(m_find_entry, "activate", G_CALLBACK(on_find_activate), this);
    m_goto_bar = bar(box, "Go to line:", m_goto_entry, m_goto_label);
    g_signal_connect(m_goto_entry, "activate", G_CALLBACK(on_goto_activate), this);

    m_progress_bar = gtk_progress_bar_new();
    gtk_progress_bar_set_show_text(GTK_PROGRESS_BAR(m_progress_bar), TRUE);
    gtk_box_pack_start(GTK_BOX(box), m_progress_bar, FALSE, FALSE, 0);

    GtkWidget* area = m_control.GetWidget();
    gtk_widget_set_vexpand(area, TRUE);
    gtk_widget_set_hexpand(area, TRUE);
    gtk_box_pack_start(GTK_BOX(box), area, TRUE, TRUE, 0);
  }

  // ---- opening ----
  // Opens `request`'s input; its progress (and that of every later reading of the same input)
  // shows in the window.
  bool open(load_request_t request) {
    std::string name = base_name_of(request.path);
    request.progress = [this, name](std::uint64_t done, std::uint64_t total) {
      on_load_progress(name, done, total);
    };
    try {
      m_session->open(request);
    } catch (const import_error& e) {
      show_error(e.what());
      return false;
    }
    hide_error();
    update_title();
    watch(request.path);
    return true;
  }

  // Once an import has run longer than the delay, the bar shows how far it came, and the
  // pending events run (about ten times a second) so that the window stays painted; meanwhile
  // the window ignores whatever would start another import or change the view.
  void on_load_progress(const std::string& name, std::uint64_t done, std::uint64_t total) {
    int percent = m_progress_clock.update(done, total);
    if (percent < 0) return;
    if (percent == 100) return gtk_widget_hide(m_progress_bar);
    if (m_pumping || !m_progress_clock.due(0.1)) return;
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(m_progress_bar), percent / 100.0);
    gtk_progress_bar_set_text(GTK_PROGRESS_BAR(m_progress_bar),
                              progress_text(name, percent).c_str());
    gtk_widget_show(m_progress_bar);
    m_pumping = true;
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    m_pumping = false;
  }

  static gboolean on_delete(GtkWidget*, GdkEvent*, gpointer self) {
    return static_cast<viewer_window_t*>(self)->m_pumping ? TRUE : FALSE;
  }

  void update_title() {
    gtk_window_set_title(GTK_WINDOW(m_window), ("source-view: " + m_session->view().title).c_str());
  }

  // Runs a move that may open another file of the input (following a call, going back).
  template <class Move>
  void move(Move step) {
    try {
      if (step()) update_title();
    } catch (const import_error& e) {
      show_error(e.what());
    }
  }

  void on_entry_clicked(unsigned row, unsigned entry) {
    if (m_pumping) return;
    move([&] { return m_session->follow_call(row, entry); });
  }

  // `reread`: the input changed on disk, so a profile already read is read again.
  void reload(view_mode_t mode, bool reread) {
    if (!m_session->is_open()) {
      load_request_t request = m_options.load;
      request.mode = mode;
      if (open(request)) m_session->go_to_start(0);
      return;
    }
    try {
      m_session->reopen(mode, reread);
      hide_error();
    } catch (const import_error& e) {
      show_error(e.what());
    }
  }

  // A failed import leaves no progress bar behind.
  void show_error(const std::string& text) {
    gtk_widget_hide(m_progress_bar);
    m_error_text = text;
    std::fprintf(stderr, "%s\n", text.c_str());
    gtk_label_set_text(GTK_LABEL(m_error_label), text.c_str());
    gtk_widget_show_all(m_error_bar);
  }

  void hide_error() {
    m_error_text.clear();
    gtk_widget_hide(m_error_bar);
  }

  // A change on disk reloads the input shortly after the writer is done, keeping the top row.
  void watch(const std::string& path) {
    if (m_monitor) g_object_unref(m_monitor);
    GFile* file = g_file_new_for_path(path.c_str());
    m_monitor = g_file_monitor_file(file, G_FILE_MONITOR_NONE, nullptr, nullptr);
    g_object_unref(file);
    if (m_monitor) g_signal_connect(m_monitor, "changed", G_CALLBACK(on_file_changed), this);
  }

  static void on_file_changed(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event,
                              gpointer self) {
    auto* w = static_cast<viewer_window_t*>(self);
    if (event != G_FILE_MONITOR_EVENT_CHANGES_DONE_HINT && event != G_FILE_MONITOR_EVENT_CREATED &&
        event != G_FILE_MONITOR_EVENT_CHANGED)
      return;
    if (w->m_reload_timer) g_source_remove(w->m_reload_timer);
    w->m_reload_timer = g_timeout_add(300, on_reload_timer, w);
  }

  static gboolean on_reload_timer(gpointer self) {
    auto* w = static_cast<viewer_window_t*>(self);
    if (w->m_pumping) return G_SOURCE_CONTINUE;  // after the import under way
    w->m_reload_timer = 0;
    w->reload(w->m_session->request().mode, /*reread=*/true);
    return G_SOURCE_REMOVE;
  }

  // The dialog goes before the chosen input is read, so that a slow import shows its progress
  // over the view rather than under the dialog.
  void choose_file() {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        "Open", GTK_WINDOW(m_window), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL,
        "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    char* name = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT
                     ? gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))
                     : nullptr;
    gtk_widget_destroy(dialog);
    if (!name) return;
    // Another input: its kind comes from its content, and what named parts of the first one
    // (its file, events, table source, further profiles) does not apply; the mode and the
    // folders searched for sources stay.
    load_request_t request;
    request.path = name;
    g_free(name);
    request.mode = m_session->is_open() ? m_session->request().mode : m_options.load.mode;
    request.source_dirs = m_options.load.source_dirs;
    if (open(request)) m_session->go_to_start(0);
  }

  // ---- bars ----
  void show_bar(GtkWidget* bar, GtkWidget* entry) {
    gtk_widget_show_all(bar);
    gtk_widget_grab_focus(entry);
  }

  void close_bars() {
    gtk_widget_hide(m_find_bar);
    gtk_widget_hide(m_goto_bar);
    gtk_widget_grab_focus(m_control.GetWidget());
  }

  static void on_find_activate(GtkEntry* entry, gpointer self) {
    auto* w = static_cast<viewer_window_t*>(self);
    std::wstring text = widen(gtk_entry_get_text(entry));
    std::size_t rows = w->m_session->find(text);
    std::string what = text.empty() ? ""
                       : rows == 0  ? "no match"
                                    : std::to_string(rows) + " lines match";
    gtk_label_set_text(GTK_LABEL(w->m_find_label), what.c_str());
    w->m_control.InvalidateAll();
  }

  static void on_goto_activate(GtkEntry* entry, gpointer self) {
    auto* w = static_cast<viewer_window_t*>(self);
    char* end = nullptr;
    const char* text = gtk_entry_get_text(entry);
    unsigned long line = std::strtoul(text, &end, 10);
    unsigned last = w->m_session->view().line_count();
    if (*text == '\0' || *end != '\0' || line == 0 || line > last) {
      std::string message = "a line from 1 to " + std::to_string(last);
      gtk_label_set_text(GTK_LABEL(w->m_goto_label), message.c_str());
      return;
    }
    gtk_label_set_text(GTK_LABEL(w->m_goto_label), "");
    w->m_session->go_to_line(unsigned(line));
    w->close_bars();
  }

  // ---- keys ----
  static gboolean on_key_thunk(GtkWidget*, GdkEventKey* event, gpointer self) {
    return static_cast<viewer_window_t*>(self)->on_key(event) ? TRUE : FALSE;
  }

  bool on_key(GdkEventKey* event) {
    if (m_pumping) return true;
    bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
    bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    guint key = gdk_keyval_to_lower(event->keyval);
    if (key == GDK_KEY_Escape) return close_bars(), true;
    if (key == GDK_KEY_F3) return m_session->find_next(!shift), true;
    if (key == GDK_KEY_F5) return reload(m_session->request().mode, /*reread=*/true), true;
    bool alt = (event->state & GDK_MOD1_MASK) != 0;
    if (alt && key == GDK_KEY_Left) return move([&] { return m_session->go_back(); }), true;
    if (!ctrl && (key == GDK_KEY_Return || key == GDK_KEY_KP_Enter) && !focus_in_entry())
      return move([&] { return m_session->follow_focused_call(); }), true;
    if (!ctrl) return false;
    if (focus_in_entry() && (key == GDK_KEY_c || key == GDK_KEY_a)) return false;
    switch (key) {
      case GDK_KEY_c:
        copy_selection();
        return true;
      case GDK_KEY_a:
        m_element->select_all();
        m_control.InvalidateAll();
        return true;
      case GDK_KEY_f:
        show_bar(m_find_bar, m_find_entry);
        return true;
      case GDK_KEY_g:
        show_bar(m_goto_bar, m_goto_entry);
        return true;
      case GDK_KEY_Down:
        m_session->next_attention(/*forward=*/true);
        return true;
      case GDK_KEY_Up:
        m_session->next_attention(/*forward=*/false);
        return true;
      case GDK_KEY_o:
        choose_file();
        return true;
      case GDK_KEY_d:
        toggle_mode(view_mode_t::functions);
        return true;
      case GDK_KEY_e:
        toggle_mode(view_mode_t::snippets);
        return true;
      default:
        return false;  // Ctrl+C, Ctrl+A and the rest go to the focused widget
    }
  }

  bool focus_in_entry() const {
    GtkWidget* focused = gtk_window_get_focus(GTK_WINDOW(m_window));
    return focused == m_find_entry || focused == m_goto_entry;
  }

  // The selected rows (every row when none is), as model rows: in functions mode the view's rows
  // are mapped through the groups, so that a copy holds the lines the user sees.
  void copy_selection() {
    std::vector<unsigned> rows = m_element->get_selection();
    if (rows.empty()) return m_element->copy_to_clipboard();
    auto model = m_element->get_hierarchical_data_model();
    if (model && model->get_model_type() == source_view4::hierarchical_mode_groups)
      for (unsigned& row : rows) row = model->get_flat_row_index(row);
    m_element->copy_to_clipboard(rows);
  }

  void toggle_mode(view_mode_t mode) {
    view_mode_t current = m_session->request().mode;
    reload(current == mode ? view_mode_t::flat : mode, /*reread=*/false);
  }

  // ---- column menu ----
  struct column_toggle_t {
    viewer_window_t* window;
    bool left;
    unsigned column;
  };

  void on_header_menu(int, int, unsigned) {
    if (m_pumping) return;
    GtkWidget* menu = gtk_menu_new();
    add_column_items(menu, /*left=*/true);
    add_column_items(menu, /*left=*/false);
    gtk_widget_show_all(menu);
    gtk_menu_popup_at_pointer(GTK_MENU(menu), nullptr);
  }

  void add_column_items(GtkWidget* menu, bool left) {
    auto grid = left ? m_element->get_left_grid() : m_element->get_right_grid();
    for (unsigned i = 0; i < grid->get_column_count(); ++i) {
      std::string caption = narrow(grid->get_caption(i));
      GtkWidget* item = gtk_check_menu_item_new_with_label(caption.c_str());
      gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), grid->get_column_visible(i));
      auto* toggle = new column_toggle_t{this, left, i};
      g_signal_connect_data(
          item, "toggled", G_CALLBACK(on_column_toggled), toggle,
          [](gpointer data, GClosure*) { delete static_cast<column_toggle_t*>(data); },
          GConnectFlags(0));
      gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    }
  }

  static void on_column_toggled(GtkCheckMenuItem* item, gpointer data) {
    auto* toggle = static_cast<column_toggle_t*>(data);
    auto* element = toggle->window->m_element;
    auto grid = toggle->left ? element->get_left_grid() : element->get_right_grid();
    grid->set_column_visible(toggle->column, gtk_check_menu_item_get_active(item));
  }

  options_t m_options;
  orrinfrw7::CGtkControl m_control;
  viewer_element_t* m_element = nullptr;  // owned by the control's element tree
  std::unique_ptr<session_t> m_session;
  GtkWidget* m_window = nullptr;
  GtkWidget *m_error_bar = nullptr, *m_error_label = nullptr;
  GtkWidget *m_find_bar = nullptr, *m_find_entry = nullptr, *m_find_label = nullptr;
  GtkWidget *m_goto_bar = nullptr, *m_goto_entry = nullptr, *m_goto_label = nullptr;
  GtkWidget* m_progress_bar = nullptr;
  progress_clock_t m_progress_clock{progress_delay()};
  bool m_pumping = false;  // on_load_progress is running the pending events
  std::string m_error_text;
  GFileMonitor* m_monitor = nullptr;
  guint m_reload_timer = 0;
  guint m_report_source = 0;
};

gboolean quit(gpointer) {
  gtk_main_quit();
  return G_SOURCE_REMOVE;
}

}  // namespace

int run_window(int& argc, char**& argv, const options_t& options) {
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "source-view: cannot open the display (use --png OUT for an image)\n");
    return 1;
  }
  if (options.theme == theme_t::dark)
    g_object_set(gtk_settings_get_default(), "gtk-application-prefer-dark-theme", TRUE, nullptr);
  {
    viewer_window_t window(options);
    window.start();
    g_unix_signal_add(SIGTERM, quit, nullptr);
    g_unix_signal_add(SIGINT, quit, nullptr);
    gtk_main();
  }
  return 0;
}

}  // namespace source_view_app
