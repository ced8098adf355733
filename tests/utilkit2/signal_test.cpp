// signal_t and subscriber_base_t (order, assertion messages, re-entrancy, copies and lifetime on
// both ends), the assertion hook they report through, and smart_pointer_t.
#include "utilkit2/signal.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/assertion_recorder.h"
#include "utilkit2/smart_pointer.h"

namespace {

using utilkit2::signal_t;
using utilkit2::smart_pointer_t;
using utilkit2::subscriber_base_t;
using log_t = std::vector<std::string>;

// Appends its name to a shared log on every call, then runs an optional action.
struct listener_t : subscriber_base_t {
  listener_t(log_t* log, std::string name) : log(log), name(std::move(name)) {}
  void on_event() {
    log->push_back(name);
    if (action) action();
  }
  void on_other() { log->push_back(name + "'"); }
  void on_value(int value) { log->push_back(name + std::to_string(value)); }

  log_t* log;
  std::string name;
  std::function<void()> action;
};

constexpr auto on_event = &listener_t::on_event;

struct signal_test : ::testing::Test {
  log_t log;
  listener_t a{&log, "a"}, b{&log, "b"}, c{&log, "c"};
  signal_t<> s;
};

TEST_F(signal_test, calls_connections_in_order_with_their_arguments_and_forwards) {
  s.connect(&b, on_event);
  s.connect(&a, on_event);
  s.connect(&a, &listener_t::on_other);
  s();
  signal_t<int> inner, outer;
  outer.connect(&c, &listener_t::on_value);
  inner.connect(&outer);
  inner(7);
  inner.disconnect(&outer);
  inner(8);
  EXPECT_EQ(log, (log_t{"b", "a", "a'", "c7"}));
}

TEST_F(signal_test, reports_duplicate_unknown_and_self_connections_and_changes_nothing) {
  sv4_test::assertion_recorder_t recorder;
  s.connect(&a, on_event);
  s.connect(&a, on_event);
  s.disconnect(&a, &listener_t::on_other);
  s.connect(&s);
  EXPECT_EQ(recorder.expressions(),
            (log_t{"signal_t::_insert: this connection is already exists.",
                   "signal_t::disconnect: attempt to disconnect unknown connection",
                   "static_cast<subscriber_base_t*>(this) != subscriberObj"}));
  s();
  EXPECT_EQ(log, (log_t{"a"}));
}

// b is removed and connected again while its removal is still pending, c is added: neither is
// called by the running emission, both by the next.
TEST_F(signal_test, connections_changed_inside_a_handler_count_from_the_next_emission) {
  sv4_test::assertion_recorder_t recorder;
  bool first = true;
  a.action = [&] {
    if (!std::exchange(first, false)) return;
    s.disconnect(&b, on_event);
    s.connect(&c, on_event);
    s.connect(&b, on_event);
  };
  s.connect(&a, on_event);
  s.connect(&b, on_event);
  s();
  s();
  EXPECT_EQ(log, (log_t{"a", "a", "c", "b"}));
  EXPECT_EQ(s.connection_count(), 3u);
  EXPECT_TRUE(recorder.reports().empty());
}

// a disconnects itself and emits again; the inner emission must not drop a's marked connection,
// or the outer one would skip b.
TEST_F(signal_test, only_the_outermost_emission_drops_removed_connections) {
  a.action = [&] {
    s.disconnect(&a, on_event);
    s();
  };
  for (listener_t* l : {&a, &b, &c}) s.connect(l, on_event);
  s();
  EXPECT_EQ(log, (log_t{"a", "b", "c", "b", "c"}));
  EXPECT_EQ(s.connection_count(), 2u);
}

// The innermost of three emissions destroys the signal: every level stops, b is never called,
// and destroying the subscribers afterwards touches no freed signal (the sanitizer would see it).
TEST_F(signal_test, destroying_the_signal_inside_nested_emissions_ends_every_level) {
  auto doomed = std::make_unique<signal_t<>>();
  a.action = [&] { log.size() < 3 ? (*doomed)() : doomed.reset(); };
  doomed->connect(&a, on_event);
  doomed->connect(&b, on_event);
  (*doomed)();
  EXPECT_EQ(log, (log_t{"a", "a", "a"}));
}

// d, disconnected from one of its two connections to s, is destroyed by a's handler: its other
// connection goes with it, so the emission does not call it.
TEST_F(signal_test, a_subscriber_destroyed_by_a_handler_is_not_called) {
  auto doomed = std::make_unique<listener_t>(&log, "d");
  a.action = [&] { doomed.reset(); };
  s.connect(&a, on_event);
  s.connect(doomed.get(), on_event);
  s.connect(doomed.get(), &listener_t::on_other);
  s.disconnect(doomed.get(), on_event);
  s();
  EXPECT_EQ(log, (log_t{"a"}));
  EXPECT_EQ(s.connection_count(), 1u);
}

TEST_F(signal_test, a_copy_has_the_connections_and_assignment_adds_the_missing_ones) {
  s.connect(&a, on_event);
  s.connect(&b, on_event);
  signal_t<> copy(s), target;
  target.connect(&c, on_event);
  target.connect(&a, on_event);
  target = s;
  copy();
  target();
  EXPECT_EQ(log, (log_t{"a", "b", "c", "a", "b"}));
  // The subscriber tracks the copied connections like its own.
  auto d = std::make_unique<listener_t>(&log, "d");
  s.connect(d.get(), on_event);
  signal_t<> second(s);
  d.reset();
  EXPECT_EQ(second.connection_count(), 2u);
}

// b forwards to a; a = b must not copy that connection into a itself (a would emit to itself
// without end) and reports it as connect does, while the other connections are copied.
TEST_F(signal_test, assignment_skips_and_reports_a_connection_to_the_target) {
  sv4_test::assertion_recorder_t recorder;
  signal_t<int> target, source;
  source.connect(&target);
  source.connect(&c, &listener_t::on_value);
  target = source;
  EXPECT_EQ(recorder.expressions(),
            (log_t{"static_cast<subscriber_base_t*>(this) != subscriberObj"}));
  target(1);
  source(2);
  EXPECT_EQ(log, (log_t{"c1", "c2", "c2"}));
}

// The default handler writes one line per report to stderr (empty fields for null pointers) and
// returns; installing null puts it back, and a recorder receives every field.
TEST(assertion_hook, default_handler_prints_one_line_and_installed_handlers_receive_every_field) {
  using namespace sysport::debug::_private;
  testing::internal::CaptureStderr();
  assertion_failed("x != 0", "file.cpp", 12, "f");
  assertion_failed(nullptr, nullptr, -3, nullptr);
  {
    sv4_test::assertion_recorder_t recorder;
    EXPECT_NE(set_assertion_handler(nullptr), &default_assertion_handler);  // the recorder's
    assertion_failed("y", "g.cpp", 1, "h");  // printed again, not recorded
    EXPECT_TRUE(recorder.reports().empty());
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "assertion failed: x != 0 (file.cpp:12, f)\n"
            "assertion failed:  (:-3, )\n"
            "assertion failed: y (g.cpp:1, h)\n");
  sv4_test::assertion_recorder_t recorder;
  const int line = __LINE__ + 1;
  EXPECT_FALSE(SYSPORT_CHECK(1 + 1 == 3));
  EXPECT_TRUE(SYSPORT_CHECK(1 + 1 == 2));
  ASSERT_EQ(recorder.reports().size(), 1u);
  const sv4_test::assertion_report_t& r = recorder.reports()[0];
  EXPECT_EQ(std::tie(r.expression, r.file, r.line, r.function),
            std::make_tuple(std::string("1 + 1 == 3"), std::string(__FILE__), line,
                            std::string(__func__)));
}

// ---- smart_pointer_t: sharing, conversion, destruction, the empty dereference ----

struct counted_t {
  explicit counted_t(int* deaths) : deaths(deaths) {}
  virtual ~counted_t() { ++*deaths; }
  int* deaths;
};

struct derived_t : counted_t {
  using counted_t::counted_t;
};

TEST(smart_pointer, the_last_owner_deletes_once) {
  int deaths = 0;
  {
    smart_pointer_t<counted_t> sole(new counted_t(&deaths));
    auto& alias = sole;
    sole = alias;  // self-assignment keeps the object
    EXPECT_EQ(deaths, 0);
  }
  EXPECT_EQ(deaths, 1);
  smart_pointer_t<counted_t> a(new counted_t(&deaths));
  {
    smart_pointer_t<counted_t> b = a, c;
    c = b;
    const smart_pointer_t<counted_t> moved = std::move(b);
    EXPECT_TRUE(b.is_empty());  // moving empties the source
    EXPECT_EQ(a.use_count(), 3);
  }
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(a.use_count(), 1);
  a = smart_pointer_t<counted_t>();
  EXPECT_EQ(deaths, 2);
}

TEST(smart_pointer, converted_and_cast_pointers_share_one_count) {
  int deaths = 0;
  const smart_pointer_t<counted_t> plain(new counted_t(&deaths));
  EXPECT_TRUE(plain.dynamic_cast_to<derived_t>().is_empty());
  EXPECT_EQ(plain.use_count(), 1);  // the failed cast owns nothing
  smart_pointer_t<derived_t> derived(new derived_t(&deaths));
  smart_pointer_t<counted_t> base = derived;
  derived.reset();
  smart_pointer_t<derived_t> back = base.dynamic_cast_to<derived_t>();
  base.reset();
  EXPECT_EQ(deaths, 0);
  back.reset();
  EXPECT_EQ(deaths, 1);
}

TEST(smart_pointer, dereferencing_an_empty_pointer_asserts_then_throws) {
  sv4_test::assertion_recorder_t recorder;
  const smart_pointer_t<counted_t> empty;
  EXPECT_THROW((void)empty->deaths, utilkit2::null_pointer_error);
  EXPECT_THROW((void)*empty, std::logic_error);
  EXPECT_EQ(recorder.expressions(), (std::vector<std::string>{"m_ptr != 0", "m_ptr != 0"}));
}

}  // namespace
