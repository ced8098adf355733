// The window control's timers under an X server of this test's own (Xvfb): holding the scroll
// bar's down arrow of the scroll_regions example for a second with xdotool scrolls many lines,
// as the arrow repeats on the window's GLib timeouts.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  char buffer[1024];
  for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  if (pipe) pclose(pipe);
  return out;
}

// A program started through the shell, which first prints the process id it keeps.
struct child_t {
  explicit child_t(const std::string& command)
      : out(popen(("echo $$; exec " + command).c_str(), "r")) {
    if (out == nullptr || std::fscanf(out, "%d", &pid) != 1) pid = -1;
  }
  // SIGTERM, then the rest of its standard output.
  std::string Stop() {
    std::string rest;
    if (pid > 0) kill(pid, SIGTERM);
    char buffer[256];
    while (out && std::fgets(buffer, sizeof buffer, out)) rest += buffer;
    if (out) pclose(out);
    out = nullptr;
    pid = -1;
    return rest;
  }
  ~child_t() { Stop(); }
  FILE* out;
  int pid = -1;
};

TEST(window_hold, HoldingTheDownArrowForASecondScrollsMoreThanTenLines) {
  const char* build = std::getenv("SV4_BUILD_DIR");
  const std::string path =
      std::string(build ? build : ".") + "/examples/scroll_regions/scroll_regions";
  ASSERT_EQ(access(path.c_str(), X_OK), 0) << path << " is not built";
  child_t server("Xvfb -displayfd 1 -screen 0 1200x800x24 -nolisten tcp 2>/dev/null");
  int display = -1;
  pollfd ready{server.out ? fileno(server.out) : -1, POLLIN, 0};
  if (server.pid < 0 || poll(&ready, 1, 15000) <= 0 || std::fscanf(server.out, "%d", &display) != 1)
    GTEST_SKIP() << "no X server: Xvfb could not be started";
  const std::string env = "NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory GDK_BACKEND=x11 DISPLAY=:" +
                          std::to_string(display) + " ";
  child_t example("env " + env + path);
  std::string window;
  for (int i = 0; i < 200 && window.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    window = Output(env + "xdotool search --onlyvisible --name '^Scroll regions'");
  }
  ASSERT_FALSE(window.empty()) << "the window did not appear";
  window = std::to_string(std::stoul(window));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // first paint
  // The outer box's down arrow, in the window's bottom-right corner above the horizontal bar.
  Output(env + "xdotool mousemove --window " + window + " 890 589 mousedown 1 sleep 1 mouseup 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::string said = example.Stop();
  int top = 0;
  const std::size_t at = said.find("top row ");
  ASSERT_NE(at, std::string::npos) << said;
  ASSERT_EQ(std::sscanf(said.c_str() + at, "top row %d", &top), 1) << said;
  EXPECT_GT(top - 1, 10);
  EXPECT_LT(top - 1, 60);  // about 30 a second after the first delay, not a runaway
  server.Stop();
}

}  // namespace
