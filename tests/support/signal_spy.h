// A signal spy: connects to a signal of any argument types and records every emission as a
// tuple of its arguments, in order.
#pragma once

#include <tuple>
#include <type_traits>
#include <vector>

#include "utilkit2/signal.h"

namespace sv4_test {

template <class... Args>
class signal_spy_t : public utilkit2::subscriber_base_t {
 public:
  using record_t = std::tuple<std::decay_t<Args>...>;

  explicit signal_spy_t(utilkit2::signal_t<Args...>& signal) {
    signal.connect(this, &signal_spy_t::on_emit);
  }
  signal_spy_t(const signal_spy_t&) = delete;
  signal_spy_t& operator=(const signal_spy_t&) = delete;

  std::size_t count() const { return m_records.size(); }
  const std::vector<record_t>& records() const { return m_records; }
  const record_t& last() const { return m_records.back(); }
  void clear() { m_records.clear(); }

 private:
  void on_emit(Args... args) { m_records.emplace_back(args...); }

  std::vector<record_t> m_records;
};

// Deduces the argument types: auto spy = spy_on(model.data_updated);
template <class... Args>
signal_spy_t<Args...> spy_on(utilkit2::signal_t<Args...>& signal) {
  return signal_spy_t<Args...>(signal);
}

}  // namespace sv4_test
