// How far a slow import has come: when its progress is worth showing, and the line batch runs
// keep on stderr while it reads.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>

namespace source_view_app {

// Seconds an import runs before its progress shows: SOURCE_VIEW_PROGRESS_DELAY when it holds a
// number of 0 or more (0 shows every import), else 1.
double progress_delay();

// The clock of one import at a time. An import starts at its (0, size) call and ends at its
// (size, size) call; its progress is shown only once it has run longer than the delay.
class progress_clock_t {
 public:
  explicit progress_clock_t(double delay_seconds) : m_delay(delay_seconds) {}

  // The percent (0 to 100) reached at (done, total), or -1 while the import is younger than the
  // delay. An empty input counts as done.
  int update(std::uint64_t done, std::uint64_t total);
  // True at most once per `interval` seconds (and on the first call of an import): how often a
  // display is refreshed.
  bool due(double interval);

 private:
  using clock_t = std::chrono::steady_clock;
  double m_delay;
  clock_t::time_point m_start = clock_t::now();
  clock_t::time_point m_last_refresh;
  bool m_refreshed = false;
};

// Prints the progress of a batch run's import on stderr: on a terminal one line rewritten in
// place with "\r" (about ten times a second), otherwise one line per step of 10 %; a newline ends
// the display once the import is read. Nothing at all for a quick import.
class stderr_progress_t {
 public:
  stderr_progress_t(const std::string& path, double delay_seconds, bool terminal);
  void on_progress(std::uint64_t done, std::uint64_t total);

 private:
  progress_clock_t m_clock;
  std::string m_name;  // the input's file name, without its folder
  bool m_terminal;
  int m_printed = -1;  // the last percent printed; -1 before the first
};

// "reading NAME … P %": what both displays say.
std::string progress_text(const std::string& name, int percent);

// The last part of a path.
std::string base_name_of(const std::string& path);

}  // namespace source_view_app
