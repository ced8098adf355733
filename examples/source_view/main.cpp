// source_view: the source view element showing one of the project's own source files with
// made-up counts, bars, labels, a range, groups or snippets, a found word and the navigation
// strip.
//   source_view [FILE] [--mode flat|groups|snippets] [--find WORD] [--dark]   opens a window
//   source_view [FILE] [...] --png OUT                                         renders a PNG
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "annotated_file.h"
#include "orrinfrw7/gtk_control.h"
#include "orrinfrw7/offscreen_control.h"

namespace {

using source_view_example::mode_t;

constexpr int width = 1100, height = 700;

struct options_t {
  std::string file = SOURCE_VIEW_DEFAULT_FILE;
  std::string png;
  mode_t mode = mode_t::groups;
  std::wstring word = L"color";
  bool dark = false;
};

bool parse_mode(const std::string& name, mode_t& mode) {
  if (name == "flat")
    mode = mode_t::flat;
  else if (name == "groups")
    mode = mode_t::groups;
  else if (name == "snippets")
    mode = mode_t::snippets;
  else
    return false;
  return true;
}

// False (after saying why) when the arguments are not understood.
bool parse(int argc, char** argv, options_t& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--png" && has_value) {
      options.png = argv[++i];
    } else if (arg == "--mode" && has_value) {
      if (!parse_mode(argv[++i], options.mode)) {
        std::fprintf(stderr, "source_view: unknown mode %s\n", argv[i]);
        return false;
      }
    } else if (arg == "--find" && has_value) {
      const std::string word = argv[++i];
      options.word.assign(word.begin(), word.end());
    } else if (arg == "--dark") {
      options.dark = true;
    } else if (!arg.empty() && arg[0] != '-') {
      options.file = arg;
    } else {
      std::fprintf(stderr,
                   "usage: source_view [FILE] [--mode flat|groups|snippets] [--find WORD] "
                   "[--dark] [--png OUT]\n");
      return false;
    }
  }
  return true;
}

// Builds the view in `control` and focuses its first line.
source_view4::source_view_element_t* build(orrinfrw7::COffscreenControl& control,
                                           const options_t& options,
                                           const std::vector<std::wstring>& lines) {
  if (options.dark) {
    orrin7::GetSysPalette().UseDarkColors(true);
    control.SysColorsChanged();
  }
  auto* view = new source_view4::source_view_element_t(control.GetRoot(), {width, height},
                                                       orrinfrw7::AL_Client);
  control.CompleteAttach();
  source_view_example::show(*view, lines, options.mode, options.word);
  view->set_splitter_pos(width - 300);
  view->set_focus_row(0);
  view->set_selection(0, true);
  return view;
}

int render(const options_t& options, const std::vector<std::wstring>& lines) {
  orrinfrw7::COffscreenControl control(width, height);
  build(control, options, lines);
  std::string error;
  if (!control.SavePng(options.png, &error)) {
    std::fprintf(stderr, "source_view: cannot write %s: %s\n", options.png.c_str(), error.c_str());
    return 1;
  }
  std::printf("%s: %zu lines of %s\n", options.png.c_str(), lines.size(), options.file.c_str());
  return 0;
}

gboolean quit(gpointer) {
  gtk_main_quit();
  return G_SOURCE_REMOVE;
}

int open_window(int& argc, char**& argv, const options_t& options,
                const std::vector<std::wstring>& lines) {
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "source_view: cannot open the display (try --png FILE)\n");
    return 1;
  }
  orrinfrw7::CGtkControl control(width, height);
  source_view4::source_view_element_t* view = build(control, options, lines);
  view->get_center_grid()->get_grid_element()->SetFocus();
  control.CreateTopLevelWindow("source_view: " + options.file, /*quitOnClose=*/true);
  g_unix_signal_add(SIGTERM, quit, nullptr);
  g_unix_signal_add(SIGINT, quit, nullptr);
  gtk_main();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  options_t options;
  if (!parse(argc, argv, options)) return 2;
  std::vector<std::wstring> lines;
  std::string error;
  if (!source_view_example::read_lines(options.file, lines, error)) {
    std::fprintf(stderr, "source_view: %s\n", error.c_str());
    return 1;
  }
  if (!options.png.empty()) return render(options, lines);
  return open_window(argc, argv, options, lines);
}
