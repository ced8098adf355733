// The window control under an X server of the tests' own: the scroll_regions example opens its
// window with the header over the rows (also at twice the scale), a wheel turn sent with xdotool
// scrolls both regions, Ctrl+C puts the selected row on the desktop clipboard; in this process,
// the palette follows the GTK theme, the clipboard service carries any text, and GDK keys map to
// the codes elements use.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "orrin7/system.h"
#include "orrinfrw7/gtk_control.h"
#include "x_session.h"

using namespace orrinfrw7;
using gtk_test::PollUntil;
using gtk_test::process_t;
using gtk_test::RunCommand;

namespace {

// A window's pixels as 0xRRGGBB values.
struct image_t {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// The screen's pixels where the window is (nothing covers it: the tests run no other window).
image_t Capture(unsigned long window) {
  image_t image;
  std::string geometry;
  if (!RunCommand("xdotool getwindowgeometry --shell " + std::to_string(window), &geometry))
    return image;
  std::map<std::string, int> values;
  std::istringstream lines(geometry);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos)
      values[line.substr(0, equals)] = std::atoi(line.c_str() + equals + 1);
  }
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), values["X"],
                                                 values["Y"], values["WIDTH"], values["HEIGHT"]);
  if (pixbuf == nullptr) return image;
  image.width = gdk_pixbuf_get_width(pixbuf);
  image.height = gdk_pixbuf_get_height(pixbuf);
  const guchar* data = gdk_pixbuf_get_pixels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const guchar* p = data + y * stride + x * channels;
      image.pixels.push_back(std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]);
    }
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
  if (right > image.width || bottom > image.height) return band_t();
  std::map<std::uint32_t, int> counts;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) ++counts[image.at(x, y)];
  band_t band;
  band.background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                      return a.second < b.second;
                    })->first;
  for (const auto& [colour, count] : counts)
    if (std::abs(Luma(colour) - Luma(band.background)) > 90) band.ink += count;
  return band;
}

// The distance pixels in [left, right) moved up between two images; 0 when no shift up to 200
// explains them.
int ShiftUp(const image_t& before, const image_t& after, int left, int right, int top, int bottom) {
  for (const image_t* image : {&before, &after})
    if (right > image->width || bottom > image->height) return 0;
  for (int dy = 1; dy <= 200; ++dy) {
    bool same = true;
    for (int y = top; y < bottom - dy && same; y += 3)
      for (int x = left; x < right && same; x += 5) same = after.at(x, y) == before.at(x, y + dy);
    if (same) return dy;
  }
  return 0;
}

struct window_test : ::testing::Test {
  static void SetUpTestSuite() {
    session = new gtk_test::x_session_t;
    if (!session->Display().empty()) gtk_ready = gtk_init_check(nullptr, nullptr);
  }
  // The display stays open: nothing talks to it after the tests, and closing it would leave
  // Cairo's per-display data behind.
  static void TearDownTestSuite() { delete session; }
  void SetUp() override {
    if (!gtk_ready) {
      GTEST_SKIP() << "no X server: Xvfb could not be started and DISPLAY names none";
    }
  }

  // Starts the example and waits until its window shows the header and rows.
  void OpenExample() {
    const char* build = std::getenv("SV4_BUILD_DIR");
    const std::string path =
        std::string(build ? build : ".") + "/examples/scroll_regions/scroll_regions";
    ASSERT_EQ(access(path.c_str(), X_OK), 0) << path << " is not built";
    RunCommand("xdotool mousemove 1990 1390");  // off the window: no tooltip shows up
    example.reset(new process_t({path}));
    std::string found;
    ASSERT_TRUE(PollUntil([&] {
      return RunCommand("xdotool search --onlyvisible --name '^Scroll regions' 2>/dev/null",
                        &found) &&
             !found.empty();
    })) << "the window did not appear";
    window = std::stoul(found);
    ASSERT_TRUE(PollUntil([&] {
      shot = Capture(window);
      return shot.width > 0 && Band(shot, 10, 50, 230, 300).ink > 50;
    })) << "the rows were not painted";
  }
  void TearDown() override {
    if (example) {
      EXPECT_EQ(example->Stop(), 0) << "the example did not end cleanly";
    }
  }
  std::string Xdotool(const std::string& arguments) {
    std::string out;
    EXPECT_TRUE(RunCommand("xdotool " + arguments, &out)) << arguments;
    return out;
  }

  static gtk_test::x_session_t* session;
  static bool gtk_ready;
  std::unique_ptr<process_t> example;
  unsigned long window = 0;
  image_t shot;
};

gtk_test::x_session_t* window_test::session = nullptr;
bool window_test::gtk_ready = false;

TEST_F(window_test, TheExampleShowsItsHeaderOverTheRows) {
  ASSERT_NO_FATAL_FAILURE(OpenExample());
  EXPECT_EQ(shot.width, 900);
  EXPECT_EQ(shot.height, 600);
  const band_t header = Band(shot, 10, 4, 400, 30);
  const band_t rows = Band(shot, 10, 80, 230, 400);
  const band_t side_rows = Band(shot, 600, 80, 840, 400);
  EXPECT_NE(header.background, rows.background);
  EXPECT_GT(header.ink, 10);  // the captions "Row", "Name", "Position"
  EXPECT_GT(rows.ink, 200);
  EXPECT_GT(side_rows.ink, 200);
  EXPECT_EQ(side_rows.background, rows.background);
}

TEST_F(window_test, AWheelTurnOverOneRegionScrollsBoth) {
  ASSERT_NO_FATAL_FAILURE(OpenExample());
  const image_t before = shot;
  Xdotool("mousemove --window " + std::to_string(window) + " 700 300 click 5");
  image_t after;
  ASSERT_TRUE(PollUntil([&] {
    after = Capture(window);
    return ShiftUp(before, after, 600, 840, 80, 500) > 0;
  })) << "the side region did not scroll";
  const int side = ShiftUp(before, after, 600, 840, 80, 500);
  const int main = ShiftUp(before, after, 10, 230, 80, 500);
  EXPECT_EQ(main, side);
  EXPECT_GE(side, 30);  // three rows
}

TEST_F(window_test, CtrlCPutsTheCurrentRowOnTheDesktopClipboard) {
  ASSERT_NO_FATAL_FAILURE(OpenExample());
  Xdotool("windowfocus --sync " + std::to_string(window));
  Xdotool("key Down Down ctrl+c");
  std::string text;
  ASSERT_TRUE(PollUntil([&] {
    return RunCommand("xclip -o -selection clipboard 2>/dev/null", &text) && !text.empty();
  })) << "nothing reached the clipboard";
  EXPECT_EQ(text, "Row\tName\tLine\tOffset\tHex\n3\titem c\t3\t96\t0x3C6EF362\n");
}

TEST_F(window_test, AtTwiceTheScaleTheWindowHasTwiceThePixels) {
  setenv("GDK_SCALE", "2", 1);
  OpenExample();
  unsetenv("GDK_SCALE");
  if (HasFatalFailure()) return;
  EXPECT_EQ(shot.width, 1800);
  EXPECT_EQ(shot.height, 1200);
  EXPECT_GT(Band(shot, 20, 8, 800, 60).ink, 40);
}

// ---- in this process ----

// Counts the palette changes it is told about.
struct colour_probe_t : CVisualElement {
  using CVisualElement::CVisualElement;
  int changes = 0;

 protected:
  void SysColorsChanged() override { ++changes; }
};

void Pump() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

TEST_F(window_test, ThePaletteFollowsTheThemeAndTheElementsAreTold) {
  CGtkControl control(200, 100);
  auto* probe = new colour_probe_t(control.GetRoot(), {0, 0}, AL_Client);
  control.CreateTopLevelWindow("palette", /*quitOnClose=*/false);
  Pump();
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  EXPECT_FALSE(palette.IsDark());
  const int before = probe->changes;
  GtkSettings* settings = gtk_settings_get_default();
  g_object_set(settings, "gtk-application-prefer-dark-theme", TRUE, nullptr);
  EXPECT_TRUE(PollUntil([&] {
    Pump();
    return palette.IsDark();
  }));
  EXPECT_GT(probe->changes, before);
  EXPECT_LT(Luma(palette.GetColor(orrin7::PAL_CellBackground).value & 0xFFFFFF), 100);
  g_object_set(settings, "gtk-application-prefer-dark-theme", FALSE, nullptr);
  EXPECT_TRUE(PollUntil([&] {
    Pump();
    return !palette.IsDark();
  }));
}

TEST_F(window_test, TheClipboardServiceIsTheDesktopClipboardWhileTheControlLives) {
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  orrin7::IClipboardService* before = system->GetClipboardService();
  {
    CGtkControl control(50, 50);
    orrin7::IClipboardService* service = system->GetClipboardService();
    EXPECT_NE(service, before);
    service->SetText(std::wstring(L"Zeile\t\u00e4\u2713\n") + wchar_t(0xD800));
    EXPECT_EQ(service->GetText(), L"Zeile\t\u00e4\u2713\n\uFFFD");
    // Another program asks for the text while this one serves it.
    const std::string file = testing::TempDir() + "clipboard.txt";
    process_t reader({"sh", "-c", "xclip -o -selection clipboard > '" + file + "'"});
    EXPECT_TRUE(PollUntil([&] {
      Pump();
      return !reader.Running();
    }));
    std::ifstream in(file);
    std::stringstream read;
    read << in.rdbuf();
    EXPECT_EQ(read.str(), "Zeile\t\xC3\xA4\xE2\x9C\x93\n\xEF\xBF\xBD");
  }
  EXPECT_EQ(system->GetClipboardService(), before);
}

TEST(gtk_keys, GdkKeysBecomeTheCodesElementsUse) {
  const std::pair<guint, int> keys[] = {
      {GDK_KEY_c, KEY_C},
      {GDK_KEY_C, KEY_C},
      {GDK_KEY_a, KEY_A},
      {GDK_KEY_z, 0x5A},
      {GDK_KEY_7, 0x37},
      {GDK_KEY_F5, 0x74},
      {GDK_KEY_Insert, KEY_Insert},
      {GDK_KEY_KP_Insert, KEY_Insert},
      {GDK_KEY_Page_Down, KEY_PageDown},
      {GDK_KEY_KP_Page_Up, KEY_PageUp},
      {GDK_KEY_Home, KEY_Home},
      {GDK_KEY_End, KEY_End},
      {GDK_KEY_Left, KEY_Left},
      {GDK_KEY_KP_Down, KEY_Down},
      {GDK_KEY_ISO_Left_Tab, KEY_Tab},
      {GDK_KEY_Shift_L, 0},
      {GDK_KEY_eacute, 0},
  };
  for (const auto& [keyval, code] : keys) EXPECT_EQ(KeyCodeFromGdkKeyval(keyval), code) << keyval;
  EXPECT_EQ(ModifiersFromGdkState(GDK_CONTROL_MASK), 0x200);
  EXPECT_EQ(ModifiersFromGdkState(GDK_SHIFT_MASK | GDK_MOD1_MASK | GDK_LOCK_MASK),
            MK_Shift | MK_Alt);
}

}  // namespace
