// signal_t and subscriber_base_t: order, the three assertion messages, re-entrancy (connect,
// disconnect and destroy from inside a handler), copies, and lifetime on both ends.
#include "utilkit2/signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/assertion_recorder.h"
#include "support/signal_spy.h"

namespace {

using utilkit2::signal_t;
using utilkit2::subscriber_base_t;

// Appends its name to a shared log on every call, and runs an optional action first.
struct listener_t : subscriber_base_t {
  listener_t(std::vector<std::string>* log, std::string name) : log(log), name(std::move(name)) {}
  void on_event() {
    log->push_back(name);
    if (action) action();
  }
  void on_other() { log->push_back(name + "'"); }
  void on_value(int value) { log->push_back(name + std::to_string(value)); }

  std::vector<std::string>* log;
  std::string name;
  std::function<void()> action;
};

TEST(signal, calls_connections_in_connection_order_with_all_arguments) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b");
  signal_t<> s;
  s.connect(&b, &listener_t::on_event);
  s.connect(&a, &listener_t::on_event);
  s.connect(&a, &listener_t::on_other);
  s();
  EXPECT_EQ(log, (std::vector<std::string>{"b", "a", "a'"}));

  signal_t<int, unsigned, char, double, bool, std::string> six;
  auto spy = sv4_test::spy_on(six);
  six(-1, 2u, 'x', 0.5, true, "six");
  ASSERT_EQ(spy.count(), 1u);
  EXPECT_EQ(spy.last(), std::make_tuple(-1, 2u, 'x', 0.5, true, std::string("six")));
}

TEST(signal, reports_duplicate_unknown_and_self_connections_and_changes_nothing) {
  sv4_test::assertion_recorder_t recorder;
  std::vector<std::string> log;
  listener_t a(&log, "a");
  signal_t<> s;
  s.connect(&a, &listener_t::on_event);
  s.connect(&a, &listener_t::on_event);
  s.disconnect(&a, &listener_t::on_other);
  s.connect(&s);
  EXPECT_EQ(
      recorder.expressions(),
      (std::vector<std::string>{"signal_t::_insert: this connection is already exists.",
                                "signal_t::disconnect: attempt to disconnect unknown connection",
                                "static_cast<subscriber_base_t*>(this) != subscriberObj"}));
  s();
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
}

TEST(signal, forwards_to_another_signal) {
  std::vector<std::string> log;
  listener_t a(&log, "a");
  signal_t<int> inner, outer;
  outer.connect(&a, &listener_t::on_value);
  inner.connect(&outer);
  inner(7);
  inner.disconnect(&outer);
  inner(8);
  EXPECT_EQ(log, (std::vector<std::string>{"a7"}));
}

TEST(signal, a_connection_removed_during_an_emission_is_skipped_and_dropped_afterwards) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b"), c(&log, "c");
  signal_t<> s;
  a.action = [&] { s.disconnect(&b, &listener_t::on_event); };
  s.connect(&a, &listener_t::on_event);
  s.connect(&b, &listener_t::on_event);
  s.connect(&c, &listener_t::on_event);
  s();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(s.connection_count(), 2u);
  // b may connect again once it was removed, even while the removal is still pending.
  a.action = [&] { s.connect(&b, &listener_t::on_event); };
  s();
  EXPECT_TRUE(s.is_connected(&b, &listener_t::on_event));
}

TEST(signal, a_connection_added_during_an_emission_is_called_from_the_next_one) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b");
  signal_t<> s;
  a.action = [&] {
    if (!s.is_connected(&b, &listener_t::on_event)) s.connect(&b, &listener_t::on_event);
  };
  s.connect(&a, &listener_t::on_event);
  s();
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  s();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "a", "b"}));
}

TEST(signal, nested_emissions_purge_only_when_the_outermost_ends) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b");
  signal_t<int> s;
  struct recursor_t : subscriber_base_t {
    signal_t<int>* signal;
    listener_t* victim;
    void on_value(int depth) {
      if (depth == 0) return;
      signal->disconnect(victim, &listener_t::on_value);
      (*signal)(depth - 1);
    }
  } recursor;
  recursor.signal = &s;
  recursor.victim = &b;
  s.connect(&recursor, &recursor_t::on_value);
  s.connect(&a, &listener_t::on_value);
  s.connect(&b, &listener_t::on_value);
  s(1);
  EXPECT_EQ(log, (std::vector<std::string>{"a0", "a1"}));
  EXPECT_EQ(s.connection_count(), 2u);
}

TEST(signal, destroying_the_signal_inside_a_handler_ends_the_emission) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b");
  auto s = std::make_unique<signal_t<>>();
  a.action = [&] { s.reset(); };
  s->connect(&a, &listener_t::on_event);
  s->connect(&b, &listener_t::on_event);
  (*s)();
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  EXPECT_EQ(s, nullptr);
  // Both subscribers were told: destroying them touches no freed signal.
}

TEST(signal, destroying_the_signal_inside_a_nested_emission_ends_every_level) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b");
  auto s = std::make_unique<signal_t<>>();
  int depth = 0;
  a.action = [&] {
    if (++depth < 3)
      (*s)();
    else
      s.reset();
  };
  s->connect(&a, &listener_t::on_event);
  s->connect(&b, &listener_t::on_event);
  (*s)();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "a", "a"}));
}

TEST(signal, a_subscriber_destroyed_during_an_emission_is_not_called) {
  std::vector<std::string> log;
  auto b = std::make_unique<listener_t>(&log, "b");
  listener_t a(&log, "a");
  signal_t<> s;
  a.action = [&] { b.reset(); };
  s.connect(&a, &listener_t::on_event);
  s.connect(b.get(), &listener_t::on_event);
  s();
  EXPECT_EQ(log, (std::vector<std::string>{"a"}));
  EXPECT_EQ(s.connection_count(), 1u);
}

TEST(signal, a_destroyed_subscriber_drops_its_connections_and_a_destroyed_signal_is_forgotten) {
  std::vector<std::string> log;
  signal_t<> s;
  {
    listener_t a(&log, "a");
    s.connect(&a, &listener_t::on_event);
    s.connect(&a, &listener_t::on_other);
    EXPECT_EQ(s.connection_count(), 2u);
  }
  EXPECT_EQ(s.connection_count(), 0u);
  s();
  EXPECT_TRUE(log.empty());

  listener_t survivor(&log, "s");
  {
    signal_t<> gone;
    gone.connect(&survivor, &listener_t::on_event);
  }
  // The subscriber's destructor runs at the end of the test; under the sanitizer it would report
  // a use of the freed signal if the signal had not removed itself from the subscriber's list.
}

TEST(signal, a_copy_has_the_connections_and_assignment_adds_the_missing_ones) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b"), c(&log, "c");
  signal_t<> original;
  original.connect(&a, &listener_t::on_event);
  original.connect(&b, &listener_t::on_event);
  signal_t<> copy(original);
  copy();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));

  log.clear();
  signal_t<> target;
  target.connect(&c, &listener_t::on_event);
  target.connect(&a, &listener_t::on_event);
  target = original;
  target();
  EXPECT_EQ(log, (std::vector<std::string>{"c", "a", "b"}));

  // Copies are tracked by the subscriber like the original connections.
  auto d = std::make_unique<listener_t>(&log, "d");
  original.connect(d.get(), &listener_t::on_event);
  signal_t<> second(original);
  d.reset();
  EXPECT_EQ(second.connection_count(), 2u);
  EXPECT_EQ(original.connection_count(), 2u);
}

TEST(signal, a_throwing_handler_leaves_the_signal_usable) {
  std::vector<std::string> log;
  listener_t a(&log, "a"), b(&log, "b");
  signal_t<> s;
  a.action = [] { throw std::runtime_error("handler failed"); };
  s.connect(&a, &listener_t::on_event);
  s.connect(&b, &listener_t::on_event);
  EXPECT_THROW(s(), std::runtime_error);
  s.disconnect(&a, &listener_t::on_event);  // erased at once: no emission is running any more
  s();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(s.connection_count(), 1u);
}

TEST(signal, reference_arguments_reach_the_handler) {
  struct height_t : subscriber_base_t {
    void on_query(int& h) { h = 17; }
  } listener;
  signal_t<int&> query;
  query.connect(&listener, &height_t::on_query);
  int h = -1;
  query(h);
  EXPECT_EQ(h, 17);
}

TEST(assertion_hook, default_handler_returns_and_installed_handlers_receive_every_field) {
  sysport::debug::_private::assertion_failed("x != 0", "file.cpp", 12, "f");  // prints, returns
  sv4_test::assertion_recorder_t recorder;
  SYSPORT_CHECK(1 + 1 == 3);
  ASSERT_EQ(recorder.reports().size(), 1u);
  EXPECT_EQ(recorder.reports()[0].expression, "1 + 1 == 3");
  EXPECT_NE(recorder.reports()[0].file.find("signal_test.cpp"), std::string::npos);
  EXPECT_GT(recorder.reports()[0].line, 0);
  EXPECT_FALSE(recorder.reports()[0].function.empty());
}

}  // namespace
