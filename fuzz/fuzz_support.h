// What every fuzz target shares: reading operations from the input, stopping on a disagreement
// with the reference model, and counting the assertion hook's reports (which the targets provoke
// on purpose) instead of printing them.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sysport/debug.h"

namespace sv4_fuzz {

// Stops the run so that libFuzzer keeps the input; the message names the broken expectation.
[[noreturn]] inline void disagree(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: the model disagrees with its reference: %s\n", file, line, what);
  std::abort();
}

#define SV4_FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : ::sv4_fuzz::disagree(#condition, __FILE__, __LINE__))

// With SV4_FUZZ_TRACE set, each operation is written to stderr as it runs, so that a finding
// reads as the call sequence its regression test repeats.
inline bool tracing() {
  static const bool on = std::getenv("SV4_FUZZ_TRACE") != nullptr;
  return on;
}
#define SV4_FUZZ_TRACE(...) \
  (::sv4_fuzz::tracing() ? (void)std::fprintf(stderr, __VA_ARGS__) : (void)0)

// Records the expressions the assertion hook reports while it lives; one at a time.
class assertion_log_t {
 public:
  assertion_log_t() : m_previous(sysport::debug::_private::set_assertion_handler(&record)) {
    current() = this;
  }
  ~assertion_log_t() {
    sysport::debug::_private::set_assertion_handler(m_previous);
    current() = nullptr;
  }
  assertion_log_t(const assertion_log_t&) = delete;
  assertion_log_t& operator=(const assertion_log_t&) = delete;

  // The reports since the last take, emptied.
  std::vector<std::string> take() {
    std::vector<std::string> reports;
    reports.swap(m_reports);
    return reports;
  }

 private:
  static assertion_log_t*& current() {
    static assertion_log_t* log = nullptr;
    return log;
  }
  static void record(const char* expression, const char*, int, const char*) {
    if (current() != nullptr) current()->m_reports.emplace_back(expression ? expression : "");
  }

  std::vector<std::string> m_reports;
  sysport::debug::_private::assertion_handler_t m_previous;
};

}  // namespace sv4_fuzz
