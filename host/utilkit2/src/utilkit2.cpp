// Out-of-line parts of the utilities: the null-pointer error and the subscriber bookkeeping.
#include "utilkit2/signal.h"
#include "utilkit2/smart_pointer.h"

#include <algorithm>

namespace utilkit2 {

null_pointer_error::null_pointer_error() : std::logic_error("m_ptr != 0") {}
null_pointer_error::~null_pointer_error() = default;

namespace _internal {

subscriber_base_t::~subscriber_base_t() {
  // drop_subscriber removes this signal's entries from m_signals, so the loop ends.
  while (!m_signals.empty()) m_signals.back()->drop_subscriber(this);
}

signal_base_t::~signal_base_t() = default;

void signal_base_t::detach(subscriber_base_t* subscriber) {
  std::vector<signal_base_t*>& list = subscriber->m_signals;
  auto it = std::find(list.rbegin(), list.rend(), this);
  if (it != list.rend()) list.erase(std::next(it).base());
}

void signal_base_t::report(const char* expression, int line, const char* function) {
  ::SYSPORT_2_18::debug::_private::assertion_failed(expression, "utilkit2/signal.h", line,
                                                    function);
}

}  // namespace _internal
}  // namespace utilkit2
