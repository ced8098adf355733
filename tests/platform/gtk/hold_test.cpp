// The window control's timers under an X server of this test's own (Xvfb): holding the scroll
// bar's down arrow of the scroll_regions example for a second with xdotool scrolls many lines,
// as the arrow repeats on the window's GLib timeouts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "support/child_process.h"

namespace {

using sv4_test::child_process_t;
using sv4_test::shell;

TEST(window_hold, HoldingTheDownArrowForASecondScrollsMoreThanTenLines) {
  const char* build = std::getenv("SV4_BUILD_DIR");
  const std::string path =
      std::string(build ? build : ".") + "/examples/scroll_regions/scroll_regions";
  ASSERT_EQ(access(path.c_str(), X_OK), 0) << path << " is not built";
  std::unique_ptr<child_process_t> server;
  const int display = sv4_test::start_x_server(server, "1200x800x24");
  if (display < 0) GTEST_SKIP() << "no X server: Xvfb could not be started";
  const std::string env = "NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory GDK_BACKEND=x11 DISPLAY=:" +
                          std::to_string(display) + " ";
  child_process_t example("env " + env + path);
  std::string window;
  for (int i = 0; i < 200 && window.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    window = shell(env + "xdotool search --onlyvisible --name '^Scroll regions'");
  }
  ASSERT_FALSE(window.empty()) << "the window did not appear";
  window = std::to_string(std::stoul(window));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // first paint
  // The outer box's down arrow, in the window's bottom-right corner above the horizontal bar.
  shell(env + "xdotool mousemove --window " + window + " 890 589 mousedown 1 sleep 1 mouseup 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::string said;
  example.stop(&said);
  int top = 0;
  const std::size_t at = said.find("top row ");
  ASSERT_NE(at, std::string::npos) << said;
  ASSERT_EQ(std::sscanf(said.c_str() + at, "top row %d", &top), 1) << said;
  EXPECT_GT(top - 1, 10);
  EXPECT_LT(top - 1, 60);  // about 30 a second after the first delay, not a runaway
}

}  // namespace
