// An X server of the tests' own (Xvfb), child processes started in it, command output, and
// polling with a deadline: what the window tests need around the program they drive.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace gtk_test {

// Waits until `done` holds, checking every 50 ms, for at most `seconds`.
inline bool PollUntil(const std::function<bool()>& done, double seconds = 20) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// A child process; killed (SIGKILL) when the object goes and it still runs.
class process_t {
 public:
  // Starts `argv` (looked up in PATH); `fd_to_3` becomes the child's descriptor 3 when >= 0.
  explicit process_t(const std::vector<std::string>& argv, int fd_to_3 = -1) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (fd_to_3 >= 0) posix_spawn_file_actions_adddup2(&actions, fd_to_3, 3);
    if (posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~process_t() {
    if (m_pid <= 0 || m_exited) return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  process_t(const process_t&) = delete;
  process_t& operator=(const process_t&) = delete;

  bool Started() const { return m_pid > 0; }
  bool Running() {
    if (m_pid <= 0 || m_exited) return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid) return true;
    m_exited = true;
    m_status = status;
    return false;
  }
  // Sends `signal` and waits for the end; the exit code, or -1 when it did not end in time or
  // ended by a signal.
  int Stop(int signal = SIGTERM, double seconds = 30) {
    if (m_pid <= 0) return -1;
    if (!m_exited) kill(m_pid, signal);
    if (!PollUntil([&] { return !Running(); }, seconds)) return -1;
    return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
  }

 private:
  pid_t m_pid = -1;
  bool m_exited = false;
  int m_status = 0;
};

// The standard output of a shell command, and whether it succeeded.
inline bool RunCommand(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return false;
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = out;
  return status == 0;
}

// An Xvfb of its own, on the display number it picks (-displayfd), made the DISPLAY of this
// process and of the programs it starts. Without Xvfb, an X server already named by DISPLAY
// serves. Also keeps GTK off the accessibility bus and the settings daemon, on its default theme.
class x_session_t {
 public:
  x_session_t() {
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("GDK_BACKEND", "x11", 1);
    unsetenv("GTK_THEME");  // the default theme, light, whatever the desktop prefers
    int fds[2];
    if (pipe(fds) != 0) return;
    m_server.reset(new process_t(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "2000x1400x24", "-nolisten", "tcp", "-noreset"},
        fds[1]));
    close(fds[1]);
    const std::string number = ReadLine(fds[0], 15);
    close(fds[0]);
    if (!number.empty() && m_server->Started()) {
      m_display = ":" + number;
      setenv("DISPLAY", m_display.c_str(), 1);
      return;
    }
    m_server.reset();
    const char* existing = std::getenv("DISPLAY");
    if (existing && *existing && RunCommand("xdpyinfo >/dev/null 2>&1 || xdotool getmouselocation"))
      m_display = existing;
  }

  // Empty when no X server could be started or found.
  const std::string& Display() const { return m_display; }

 private:
  static std::string ReadLine(int fd, int seconds) {
    std::string line;
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, seconds * 1000) > 0) {
      char c = 0;
      if (read(fd, &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    return line;
  }

  std::unique_ptr<process_t> m_server;
  std::string m_display;
};

}  // namespace gtk_test
