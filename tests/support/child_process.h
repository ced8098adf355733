// What the window tests share: programs started through the shell (an X server, an example, the
// viewer) and stopped again, shell commands whose output they read, a wait for a condition.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace sv4_test {

// Waits until `done` holds, checking every 50 ms, for at most `seconds`.
inline bool poll_until(const std::function<bool()>& done, double seconds = 20) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The standard output of a shell command (its complaints are not shown).
inline std::string shell(const std::string& command) {
  std::string out;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  char buffer[4096];
  for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  if (pipe) pclose(pipe);
  return out;
}

// A program started through the shell, which first prints the process id it keeps; `out` reads
// the rest of its standard output, unbuffered so that poll() on it tells whether more came.
// Stopped when the object goes.
struct child_process_t {
  explicit child_process_t(const std::string& command)
      : out(popen(("echo $$; exec " + command).c_str(), "r")) {
    if (out == nullptr || setvbuf(out, nullptr, _IONBF, 0) != 0 ||
        std::fscanf(out, "%d", &pid) != 1)
      pid = -1;
    if (pid > 0) fgetc(out);  // the end of the id's line
  }
  ~child_process_t() { stop(); }
  child_process_t(const child_process_t&) = delete;
  child_process_t& operator=(const child_process_t&) = delete;

  // SIGTERM, then the exit code; -1 when it ended by a signal or did not end within 30 seconds
  // (it is killed then). What it wrote and nobody read goes to `rest` when given.
  int stop(std::string* rest = nullptr) {
    int status = -1;
    if (pid > 0 && kill(pid, SIGTERM) == 0 &&
        !poll_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 30))
      kill(pid, SIGKILL);
    char buffer[256];
    while (rest && out && std::fgets(buffer, sizeof buffer, out)) *rest += buffer;
    if (out) pclose(out);
    out = nullptr;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The next line the program writes, waiting up to 10 s; empty when none came.
  std::string line() {
    std::string text;
    pollfd ready{fileno(out), POLLIN, 0};
    while (poll(&ready, 1, 10000) > 0) {
      const int c = fgetc(out);
      if (c == EOF || c == '\n') break;
      text.push_back(char(c));
    }
    return text;
  }

  FILE* out;
  int pid = -1;
};

// Starts an X server (Xvfb) with a screen of `screen` ("1600x1000x24") on the display number it
// picks; answers that number, or -1 when none came up within 15 seconds.
inline int start_x_server(std::unique_ptr<child_process_t>& server, const std::string& screen) {
  server = std::make_unique<child_process_t>("Xvfb -displayfd 1 -screen 0 " + screen +
                                             " -nolisten tcp -noreset 2>/dev/null");
  int display = -1;
  pollfd ready{server->out ? fileno(server->out) : -1, POLLIN, 0};
  if (server->pid < 0 || poll(&ready, 1, 15000) <= 0 ||
      std::fscanf(server->out, "%d", &display) != 1)
    return -1;
  return display;
}

// Makes `display` the one of this process and of the programs it starts, with GTK kept off the
// accessibility bus and the settings daemon, on its default light theme whatever the desktop
// prefers.
inline void use_display(int display) {
  setenv("NO_AT_BRIDGE", "1", 1);
  setenv("GSETTINGS_BACKEND", "memory", 1);
  setenv("GDK_BACKEND", "x11", 1);
  unsetenv("GTK_THEME");
  setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
}

}  // namespace sv4_test
