// The window control under an Xvfb of the tests' own, driven by xdotool and xclip: examples
// shown, scrolled, held and copied from; the palette, clipboard and keys in this process.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "orrin7/system.h"
#include "orrinfrw7/gtk_control.h"
#include "support/child_process.h"

using namespace orrinfrw7;

namespace {

using sv4_test::child_process_t;
using sv4_test::poll_until;
using sv4_test::shell;

// A window's pixels as 0xRRGGBB values, taken from the screen where the window is (nothing covers
// it: the tests run no other window).
struct image_t {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

image_t Capture(const std::string& window) {
  image_t image;
  const std::string geometry = shell("xdotool getwindowgeometry --shell " + window);
  int x = 0, y = 0, width = 0, height = 0;
  if (std::sscanf(geometry.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &width,
                  &height) != 4)
    return image;
  GdkPixbuf* pixbuf =
      gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, width, height);
  if (pixbuf == nullptr) return image;
  image.width = gdk_pixbuf_get_width(pixbuf);
  image.height = gdk_pixbuf_get_height(pixbuf);
  const guchar* data = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf), channels = gdk_pixbuf_get_n_channels(pixbuf);
  for (int row = 0; row < image.height; ++row)
    for (const guchar* p = data + row * stride; p < data + row * stride + image.width * channels;
         p += channels)
      image.pixels.push_back(std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]);
  g_object_unref(pixbuf);
  return image;
}

int Luma(std::uint32_t rgb) {
  return (299 * int(rgb >> 16 & 0xFF) + 587 * int(rgb >> 8 & 0xFF) + 114 * int(rgb & 0xFF)) / 1000;
}

// The most frequent colour of a band, and how many of its pixels contrast with it (text).
struct band_t {
  std::uint32_t background = 0;
  int ink = 0;
};

band_t Band(const image_t& image, int left, int top, int right, int bottom) {
  band_t band;
  if (right > image.width || bottom > image.height) return band;
  std::map<std::uint32_t, int> counts;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (++counts[image.at(x, y)] > counts[band.background]) band.background = image.at(x, y);
  for (const auto& [colour, count] : counts)
    if (std::abs(Luma(colour) - Luma(band.background)) > 90) band.ink += count;
  return band;
}

// The distance the pixels of [left, right) × [top, bottom) moved up between two images; 0 when no
// shift up to 200 explains them.
int ShiftUp(const image_t& before, const image_t& after, int left, int right, int top, int bottom) {
  if (right > std::min(before.width, after.width) || bottom > std::min(before.height, after.height))
    return 0;
  for (int dy = 1; dy <= 200; ++dy) {
    bool same = true;
    for (int y = top; y < bottom - dy && same; y += 3)
      for (int x = left; x < right && same; x += 5) same = after.at(x, y) == before.at(x, y + dy);
    if (same) return dy;
  }
  return 0;
}

// The path of an example program in the build.
std::string Example(const std::string& name) {
  const char* build = std::getenv("SV4_BUILD_DIR");
  return std::string(build ? build : ".") + "/examples/" + name;
}

// The id of the visible window whose name matches `pattern`, once it shows; empty if it does not.
std::string WindowNamed(const std::string& pattern) {
  std::string window;
  if (!poll_until([&] {
        return !(window = shell("xdotool search --onlyvisible --name '" + pattern + "'")).empty();
      }))
    return "";
  return std::to_string(std::stoul(window));
}

struct window_test : ::testing::Test {
  static void SetUpTestSuite() {
    const int display = sv4_test::start_x_server(server, "2000x1400x24");
    if (display < 0) return;
    sv4_test::use_display(display);
    gtk_ready = gtk_init_check(nullptr, nullptr);
  }
  // The display stays open: nothing talks to it after the tests, and closing it would leave
  // Cairo's per-display data behind.
  static void TearDownTestSuite() { server.reset(); }
  void SetUp() override {
    if (!gtk_ready) GTEST_SKIP() << "no X server: Xvfb could not be started";
  }
  static inline std::unique_ptr<child_process_t> server;
  static inline bool gtk_ready = false;
};

TEST_F(window_test, TheExampleShowsItsRowsScrollsBothRegionsAndCopiesTheCurrentRow) {
  const std::string path = Example("scroll_regions/scroll_regions");
  ASSERT_EQ(access(path.c_str(), X_OK), 0) << path << " is not built";
  shell("xdotool mousemove 1990 1390");  // off the window: no tooltip shows up
  child_process_t example(path + " >/dev/null");
  const std::string window = WindowNamed("^Scroll regions");
  ASSERT_FALSE(window.empty()) << "the window did not appear";
  image_t shot;
  ASSERT_TRUE(poll_until([&] {
    shot = Capture(window);
    return Band(shot, 10, 50, 230, 300).ink > 50;
  })) << "the rows were not painted";

  // The header, in a colour of its own, over the rows of both regions.
  EXPECT_EQ(std::make_pair(shot.width, shot.height), std::make_pair(900, 600));
  const band_t header = Band(shot, 10, 4, 400, 30), rows = Band(shot, 10, 80, 230, 400),
               side_rows = Band(shot, 600, 80, 840, 400);
  EXPECT_NE(header.background, rows.background);
  EXPECT_EQ(side_rows.background, rows.background);
  EXPECT_GT(header.ink, 10);  // the captions "Row", "Name", "Position"
  EXPECT_GT(rows.ink, 200);
  EXPECT_GT(side_rows.ink, 200);

  // A wheel turn over the side region scrolls both by three rows.
  shell("xdotool mousemove --window " + window + " 700 300 click 5");
  image_t after;
  EXPECT_TRUE(poll_until([&] {
    after = Capture(window);
    return ShiftUp(shot, after, 600, 840, 80, 500) > 0;
  })) << "the side region did not scroll";
  const int side = ShiftUp(shot, after, 600, 840, 80, 500);
  EXPECT_EQ(ShiftUp(shot, after, 10, 230, 80, 500), side);
  EXPECT_GE(side, 30);

  // Ctrl+C puts the current row on the desktop clipboard.
  shell("xdotool windowfocus --sync " + window + " key Down Down ctrl+c");
  std::string text;
  EXPECT_TRUE(poll_until([&] { return !(text = shell("xclip -o -selection clipboard")).empty(); }))
      << "nothing reached the clipboard";
  EXPECT_EQ(text, "Row\tName\tLine\tOffset\tHex\n3\titem c\t3\t96\t0x3C6EF362\n");
  EXPECT_EQ(example.stop(), 0) << "the example did not end cleanly";
}

// The source view example in a window: Ctrl+C copies the selected first line, with the caption
// line of the three grids, to the desktop clipboard.
TEST_F(window_test, TheSourceViewCopiesItsSelectionToTheDesktopClipboard) {
  const std::string path = Example("source_view/source_view");
  ASSERT_EQ(access(path.c_str(), X_OK), 0) << path << " is not built";
  const std::string file = std::string(SV4_SOURCE_DIR) + "/host/orrin7/src/palette.cpp";
  shell("xdotool mousemove 1990 1390");
  child_process_t example(path + " --mode flat " + file + " >/dev/null");
  const std::string window = WindowNamed("^source_view: ");
  ASSERT_FALSE(window.empty()) << "the window did not appear";
  ASSERT_TRUE(poll_until([&] { return Band(Capture(window), 60, 30, 600, 300).ink > 50; }))
      << "the rows were not painted";

  shell("xdotool windowfocus --sync " + window + " key ctrl+c");
  std::string text;
  EXPECT_TRUE(poll_until([&] {
    return (text = shell("xclip -o -selection clipboard")).rfind("Count", 0) == 0;
  })) << "the copy did not reach the clipboard: "
      << text;
  const std::string first_line = shell("head -n 1 " + file);
  // The comment line has no count, and empty share, label and block cells after its text.
  EXPECT_EQ(text, "Count\tSource\tShare\tLabels\tBlock\r\n" +
                      first_line.substr(0, first_line.size() - 1) + "\t\t\t\r\n");
  EXPECT_EQ(example.stop(), 0) << "the example did not end cleanly";
}

// Holding the outer box's down arrow (the window's bottom-right corner, above the horizontal bar)
// for a second scrolls about 30 lines a second after the first delay, not a runaway.
TEST_F(window_test, HoldingTheDownArrowForASecondScrollsMoreThanTenLines) {
  const std::string path = Example("scroll_regions/scroll_regions");
  ASSERT_EQ(access(path.c_str(), X_OK), 0) << path << " is not built";
  child_process_t example(path);
  const std::string window = WindowNamed("^Scroll regions");
  ASSERT_FALSE(window.empty()) << "the window did not appear";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // first paint
  shell("xdotool mousemove --window " + window + " 890 589 mousedown 1 sleep 1 mouseup 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::string said;
  example.stop(&said);
  int top = 0;
  const std::size_t at = said.find("top row ");
  ASSERT_NE(at, std::string::npos) << said;
  ASSERT_EQ(std::sscanf(said.c_str() + at, "top row %d", &top), 1) << said;
  EXPECT_GT(top - 1, 10);
  EXPECT_LT(top - 1, 60);
}

// ---- in this process ----

// Handles what GTK has pending; true, to be used inside conditions.
bool Pump() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  return true;
}

TEST_F(window_test, ThePaletteFollowsTheThemeAndTheElementsAreTold) {
  struct colour_probe_t : CVisualElement {
    using CVisualElement::CVisualElement;
    void SysColorsChanged() override { ++changes; }
    int changes = 0;
  };
  CGtkControl control(200, 100);
  auto* probe = new colour_probe_t(control.GetRoot(), {0, 0}, AL_Client);
  control.CreateTopLevelWindow("palette", /*quitOnClose=*/false);
  Pump();
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  EXPECT_FALSE(palette.IsDark());
  for (const bool dark : {true, false}) {
    const int told = probe->changes;
    g_object_set(gtk_settings_get_default(), "gtk-application-prefer-dark-theme", dark, nullptr);
    EXPECT_TRUE(poll_until([&] {
      return Pump() && palette.IsDark() == dark && probe->changes > told;
    })) << dark;
    EXPECT_EQ(Luma(palette.GetColor(orrin7::PAL_CellBackground).value & 0xFFFFFF) < 100, dark);
  }
}

TEST_F(window_test, TheClipboardServiceIsTheDesktopClipboardWhileTheControlLives) {
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  orrin7::IClipboardService* before = system->GetClipboardService();
  {
    CGtkControl control(50, 50);
    orrin7::IClipboardService* service = system->GetClipboardService();
    EXPECT_NE(service, before);
    service->SetText(std::wstring(L"Zeile\t\u00e4\u2713\U0001F600\n") + wchar_t(0xD800));
    EXPECT_EQ(service->GetText(), L"Zeile\t\u00e4\u2713\U0001F600\n\uFFFD");
  }
  EXPECT_EQ(system->GetClipboardService(), before);
}

TEST(gtk_keys, GdkKeysBecomeTheCodesElementsUse) {
  std::vector<int> codes;
  for (const guint keyval :
       {GDK_KEY_c, GDK_KEY_C, GDK_KEY_z, GDK_KEY_7, GDK_KEY_F5, GDK_KEY_KP_Insert,
        GDK_KEY_Page_Down, GDK_KEY_KP_Page_Up, GDK_KEY_End, GDK_KEY_KP_Down, GDK_KEY_ISO_Left_Tab,
        GDK_KEY_Shift_L, GDK_KEY_eacute})
    codes.push_back(KeyCodeFromGdkKeyval(keyval));
  EXPECT_EQ(codes, (std::vector<int>{KEY_C, KEY_C, 0x5A, 0x37, 0x74, KEY_Insert, KEY_PageDown,
                                     KEY_PageUp, KEY_End, KEY_Down, KEY_Tab, 0, 0}));
  EXPECT_EQ(ModifiersFromGdkState(GDK_CONTROL_MASK), 0x200);
  EXPECT_EQ(ModifiersFromGdkState(GDK_SHIFT_MASK | GDK_MOD1_MASK | GDK_LOCK_MASK),
            MK_Shift | MK_Alt);
}

}  // namespace
