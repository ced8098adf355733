// scroll_regions: a header over a grid of 1,000,000 rows in a scroll box, a second region beside
// it scrolling vertically with it and a splitter between them, in a GTK window or as an image.
//   scroll_regions              opens the window (closing it ends the program)
//   scroll_regions --png FILE   renders the view, scrolled to the middle rows, into FILE
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "orrinfrw7/gtk_control.h"
#include "orrinfrw7/offscreen_control.h"
#include "regions.h"

namespace {

constexpr int kWidth = 900;
constexpr int kHeight = 600;
constexpr int kMinWidth = 560;  // the side region and its splitter, and room for two columns
constexpr int kMinHeight = 240;

int RenderPng(const std::string& path) {
  scroll_regions::CRegionsView view;
  orrinfrw7::COffscreenControl control(kWidth, kHeight);
  scroll_regions::CRegionGrid* grid = view.Show(control);
  // The middle rows, a few of them selected; the side region follows.
  const int middle = scroll_regions::CRegionsView::kRows / 2;
  grid->Rows().SetStartItem(middle - 10);
  orrinfrw7::ISelectionModel& selection = *grid->GetRowSelectionModel();
  {
    orrinfrw7::CSelectionBatch batch(selection);
    selection.SelectRange(middle - 2, middle, /*selected=*/true);
    selection.SetCurrent(middle);
  }
  std::string error;
  if (!control.SavePng(path, &error)) {
    std::fprintf(stderr, "scroll_regions: cannot write %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  const auto top = [](scroll_regions::CRegionGrid* g) {
    return g->Rows().GetItemAt(g->Rows().GetViewStart()) + 1;
  };
  std::printf("%s: %d rows, top row %d in the main region and %d beside it\n", path.c_str(),
              grid->Rows().GetCount(), top(grid), top(view.GetSideGrid()));
  return 0;
}

gboolean Quit(gpointer) {
  gtk_main_quit();
  return G_SOURCE_REMOVE;
}

int OpenWindow(int& argc, char**& argv) {
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "scroll_regions: cannot open the display (try --png FILE)\n");
    return 1;
  }
  scroll_regions::CRegionsView view;
  orrinfrw7::CGtkControl control(kWidth, kHeight);
  scroll_regions::CRegionGrid* grid = view.Show(control);
  grid->GetRowSelectionModel()->SelectItem(0, /*selected=*/true);
  grid->GetRowSelectionModel()->SetCurrent(0);
  GtkWidget* window =
      control.CreateTopLevelWindow("Scroll regions: 1,000,000 rows", /*quitOnClose=*/true);
  // Below this size the main region would be squeezed to nothing beside the side region.
  GdkGeometry hints{};
  hints.min_width = kMinWidth;
  hints.min_height = kMinHeight;
  gtk_window_set_geometry_hints(GTK_WINDOW(window), nullptr, &hints, GDK_HINT_MIN_SIZE);
  // A copy cut at the limit says so in the title, so that nobody pastes a part for the whole.
  grid->CopyCut = [window](long long copied, long long selected) {
    const std::string title = "Scroll regions: copied the first " + std::to_string(copied) +
                              " of " + std::to_string(selected) + " selected rows";
    gtk_window_set_title(GTK_WINDOW(window), title.c_str());
  };
  g_unix_signal_add(SIGTERM, Quit, nullptr);
  g_unix_signal_add(SIGINT, Quit, nullptr);
  gtk_main();
  // Where the window was left, for the tests that drive it.
  std::printf("top row %d\n", grid->Rows().GetItemAt(grid->Rows().GetViewStart()) + 1);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--png") == 0) return RenderPng(argv[2]);
  if (argc != 1) {
    std::fprintf(stderr, "usage: scroll_regions [--png FILE]\n");
    return 2;
  }
  return OpenWindow(argc, argv);
}
