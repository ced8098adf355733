// Records the assertion hook's reports for the lifetime of a test scope, instead of printing them.
#pragma once

#include <string>
#include <vector>

#include "sysport/debug.h"

namespace sv4_test {

struct assertion_report_t {
  std::string expression;
  std::string file;
  int line = 0;
  std::string function;
};

// Installs itself as the assertion handler; the previous handler returns when it is destroyed.
// One recorder at a time.
class assertion_recorder_t {
 public:
  assertion_recorder_t() : m_previous(sysport::debug::_private::set_assertion_handler(&record)) {
    current() = this;
  }
  ~assertion_recorder_t() {
    sysport::debug::_private::set_assertion_handler(m_previous);
    current() = nullptr;
  }
  assertion_recorder_t(const assertion_recorder_t&) = delete;
  assertion_recorder_t& operator=(const assertion_recorder_t&) = delete;

  const std::vector<assertion_report_t>& reports() const { return m_reports; }
  std::vector<std::string> expressions() const {
    std::vector<std::string> out;
    for (const auto& r : m_reports) out.push_back(r.expression);
    return out;
  }
  void clear() { m_reports.clear(); }

 private:
  static assertion_recorder_t*& current() {
    static assertion_recorder_t* recorder = nullptr;
    return recorder;
  }
  static void record(const char* expression, const char* file, int line, const char* function) {
    if (current() == nullptr) return;
    current()->m_reports.push_back(
        {expression ? expression : "", file ? file : "", line, function ? function : ""});
  }

  std::vector<assertion_report_t> m_reports;
  sysport::debug::_private::assertion_handler_t m_previous;
};

}  // namespace sv4_test
