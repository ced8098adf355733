// The progress of slow imports: the delay before it shows, the clock of an import, and the
// stderr display of batch runs.
#include "progress.h"

#include <cstdio>
#include <cstdlib>

namespace source_view_app {

double progress_delay() {
  const char* text = std::getenv("SOURCE_VIEW_PROGRESS_DELAY");
  if (!text || !*text) return 1;
  char* end = nullptr;
  double seconds = std::strtod(text, &end);
  return *end == '\0' && seconds >= 0 ? seconds : 1;
}

int progress_clock_t::update(std::uint64_t done, std::uint64_t total) {
  if (done == 0) {
    m_start = clock_t::now();
    m_refreshed = false;
  }
  std::chrono::duration<double> age = clock_t::now() - m_start;
  if (age.count() < m_delay) return -1;
  if (done >= total) return 100;
  // done < total here, so the quotient stays below 100 and the product cannot overflow for any
  // input that fits in memory.
  return int(done * 100 / total);
}

bool progress_clock_t::due(double interval) {
  clock_t::time_point now = clock_t::now();
  if (m_refreshed && std::chrono::duration<double>(now - m_last_refresh).count() < interval)
    return false;
  m_refreshed = true;
  m_last_refresh = now;
  return true;
}

stderr_progress_t::stderr_progress_t(const std::string& path, double delay_seconds, bool terminal)
    : m_clock(delay_seconds), m_name(base_name_of(path)), m_terminal(terminal) {}

void stderr_progress_t::on_progress(std::uint64_t done, std::uint64_t total) {
  if (done == 0) m_printed = -1;
  int percent = m_clock.update(done, total);
  if (percent < 0) return;
  bool finished = percent == 100;
  // An import that became slow only at its very end has nothing left to report, and one that
  // ended is not ended twice.
  if (finished && (m_printed < 0 || m_printed == 100)) return;
  int shown = m_terminal ? percent : percent / 10 * 10;
  if (m_terminal && !finished && !m_clock.due(0.1)) return;
  if (!m_terminal && shown <= m_printed) return;
  std::string text = progress_text(m_name, shown);
  std::fprintf(stderr, m_terminal ? "\rsource-view: %s" : "source-view: %s\n", text.c_str());
  if (finished && m_terminal) std::fputc('\n', stderr);
  m_printed = shown;
  std::fflush(stderr);
}

std::string progress_text(const std::string& name, int percent) {
  return "reading " + name + " \u2026 " + std::to_string(percent) + " %";
}

std::string base_name_of(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace source_view_app
