// Fuzz target for signal_t and smart_pointer_t. Signals and listeners in a few slots are
// connected, disconnected, copied, assigned, destroyed and emitted, and a listener's handler may
// destroy a listener or a signal in the middle of an emission; smart pointers are shared, moved,
// converted and reset. A reference keeps the connections as plain lists and the owners as slots.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>

#include "fuzz_support.h"
#include "utilkit2/signal.h"
#include "utilkit2/smart_pointer.h"

namespace {

constexpr int slot_count = 4;
using signal_type = utilkit2::signal_t<int>;
using call_t = std::pair<int, int>;  // (listener * 2 + method, value)

const char* const self_connection = "static_cast<subscriber_base_t*>(this) != subscriberObj";
const char* const duplicate = "signal_t::_insert: this connection is already exists.";
const char* const unknown = "signal_t::disconnect: attempt to disconnect unknown connection";

// Something a handler destroys: a listener (kind 0) or a signal (kind 1) in a slot.
struct victim_t {
  int kind;
  int slot;
};

// One connection as the reference sees it.
struct ref_connection_t {
  int serial;  // tells a connection made again apart from the one removed before it
  bool to_signal;
  int target;  // slot of the listener or signal
  int method;  // 0 or 1 for a listener, 0 for a signal
  bool same(const ref_connection_t& o) const {
    return to_signal == o.to_signal && target == o.target && method == o.method;
  }
};

struct ref_signal_t {
  bool alive = false;
  std::vector<ref_connection_t> connections;
};

class signals_run_t;

struct listener_t : utilkit2::subscriber_base_t {
  listener_t(signals_run_t* run, int slot) : run(run), slot(slot) {}
  void on_a(int value) { called(0, value); }
  void on_b(int value) { called(1, value); }
  // The last thing the handler does: it may destroy this listener.
  void called(int method, int value);

  signals_run_t* run;
  int slot;
};

using method_t = void (listener_t::*)(int);
const method_t methods[] = {&listener_t::on_a, &listener_t::on_b};

class signals_run_t {
 public:
  explicit signals_run_t(FuzzedDataProvider& input) : m_input(input) {}

  void step() {
    switch (m_input.ConsumeIntegralInRange(0, 9)) {
      case 0:
        return connect_listener();
      case 1:
        return connect_signal();
      case 2:
        return disconnect();
      case 3:
        return copy_or_assign();
      case 4:
        return destroy_both(victim());
      case 5:
        return arm();
      case 6:
        return disconnect_all();
      default:
        return emit();
    }
  }

  // Every live signal has exactly the reference's connections.
  void check() {
    SV4_FUZZ_CHECK(m_log.take().empty());
    for (int s = 0; s < slot_count; ++s) {
      if (!m_signals[s]) continue;
      const std::vector<ref_connection_t>& ref = m_ref[s].connections;
      SV4_FUZZ_CHECK(m_signals[s]->connection_count() == ref.size());
      for (int t = 0; t < slot_count; ++t) {
        for (int method = 0; method < 2 && m_listeners[t]; ++method)
          SV4_FUZZ_CHECK(m_signals[s]->is_connected(m_listeners[t].get(), methods[method]) ==
                         has(s, {0, false, t, method}));
        if (m_signals[t])
          SV4_FUZZ_CHECK(m_signals[s]->is_connected(m_signals[t].get(), &signal_type::emit) ==
                         has(s, {0, true, t, 0}));
      }
    }
  }

  void on_called(int slot, int method, int value) {
    m_calls.emplace_back(slot * 2 + method, value);
    if (const std::optional<victim_t> v = std::exchange(m_armed[slot], std::nullopt)) destroy(*v);
  }

 private:
  int slot() { return m_input.ConsumeIntegralInRange(0, slot_count - 1); }
  victim_t victim() { return {m_input.ConsumeIntegralInRange(0, 1), slot()}; }

  // The signal in a slot, made when the slot is empty.
  signal_type& live_signal(int s) {
    if (!m_signals[s]) {
      m_signals[s] = std::make_unique<signal_type>();
      m_ref[s] = {true, {}};
    }
    return *m_signals[s];
  }
  listener_t& live_listener(int l) {
    if (!m_listeners[l]) m_listeners[l] = std::make_unique<listener_t>(this, l);
    m_ref_listener[l] = true;
    return *m_listeners[l];
  }

  bool has(int s, const ref_connection_t& c) const {
    for (const ref_connection_t& own : m_ref[s].connections)
      if (own.same(c)) return true;
    return false;
  }

  // Adds c to the reference of s as connect does; answers the report it expects, if any.
  const char* ref_connect(int s, ref_connection_t c) {
    if (c.to_signal && c.target == s) return self_connection;
    if (has(s, c)) return duplicate;
    c.serial = ++m_serial;
    m_ref[s].connections.push_back(c);
    return nullptr;
  }

  void expect_report(const char* report) {
    const std::vector<std::string> reports = m_log.take();
    SV4_FUZZ_CHECK(report == nullptr ? reports.empty()
                                     : reports == std::vector<std::string>{report});
  }

  void connect_listener() {
    const int s = slot(), l = slot(), method = m_input.ConsumeIntegralInRange(0, 1);
    signal_type& signal = live_signal(s);
    signal.connect(&live_listener(l), methods[method]);
    expect_report(ref_connect(s, {0, false, l, method}));
  }

  // Forwarding that would close a loop is left out: emitting would never end, by design.
  void connect_signal() {
    const int s = slot(), t = slot();
    live_signal(s);
    signal_type& target = live_signal(t);
    if (reaches(t, s) && s != t) return;
    m_signals[s]->connect(&target);
    expect_report(ref_connect(s, {0, true, t, 0}));
  }

  void disconnect() {
    const int s = slot(), t = slot();
    const bool to_signal = m_input.ConsumeBool();
    const int method = to_signal ? 0 : m_input.ConsumeIntegralInRange(0, 1);
    signal_type& signal = live_signal(s);
    to_signal ? signal.disconnect(&live_signal(t))
              : signal.disconnect(&live_listener(t), methods[method]);
    std::vector<ref_connection_t>& list = m_ref[s].connections;
    for (auto it = list.begin(); it != list.end(); ++it) {
      if (!it->same({0, to_signal, t, method})) continue;
      list.erase(it);
      return expect_report(nullptr);
    }
    expect_report(unknown);
  }

  void disconnect_all() {
    const int s = slot();
    live_signal(s).disconnect_all();
    m_ref[s].connections.clear();
  }

  // Copies a signal into an empty slot, or assigns one live signal to another; an assignment
  // that would close a loop is left out.
  void copy_or_assign() {
    const int from = slot(), to = slot();
    live_signal(from);
    if (!m_signals[to]) {
      m_signals[to] = std::make_unique<signal_type>(*m_signals[from]);
      m_ref[to] = {true, {}};
      for (ref_connection_t c : m_ref[from].connections) ref_connect(to, c);
      return;
    }
    const std::vector<ref_connection_t> before = m_ref[to].connections;
    const char* report = nullptr;
    const std::vector<ref_connection_t> source = m_ref[from].connections;
    for (const ref_connection_t& c : source)
      if (!has(to, c) && ref_connect(to, c) != nullptr) report = self_connection;
    if (m_ref[to].connections.size() != before.size() && has_loop()) {
      m_ref[to].connections = before;
      return;
    }
    *m_signals[to] = *m_signals[from];
    expect_report(report);
  }

  // Arms a listener: its next call destroys the victim.
  void arm() {
    const int l = slot();
    live_listener(l);
    m_armed[l] = m_ref_armed[l] = victim();
  }

  void destroy_both(victim_t v) {
    destroy(v);
    ref_destroy(v);
  }
  void destroy(victim_t v) {
    if (v.kind == 1) return m_signals[v.slot].reset();
    m_armed[v.slot].reset();
    m_listeners[v.slot].reset();
  }
  void ref_destroy(victim_t v) {
    if (v.kind == 1) m_ref[v.slot] = {};
    if (v.kind == 0) m_ref_armed[v.slot].reset();
    if (v.kind == 0) m_ref_listener[v.slot] = false;
    for (ref_signal_t& signal : m_ref) {
      auto& list = signal.connections;
      for (auto it = list.begin(); it != list.end();)
        it = it->to_signal == (v.kind == 1) && it->target == v.slot ? list.erase(it) : it + 1;
    }
  }

  void emit() {
    const int s = slot();
    const int value = m_input.ConsumeIntegral<int>();
    live_signal(s);
    std::vector<call_t> expected;
    ref_emit(s, value, expected);
    m_calls.clear();
    (*m_signals[s])(value);
    SV4_FUZZ_CHECK(m_calls == expected);
    for (int slot = 0; slot < slot_count; ++slot) {
      SV4_FUZZ_CHECK(static_cast<bool>(m_listeners[slot]) == m_ref_listener[slot]);
      SV4_FUZZ_CHECK(static_cast<bool>(m_signals[slot]) == m_ref[slot].alive);
    }
  }

  // What an emission calls: the connections present when it starts, in order, skipping those
  // removed meanwhile, until its own signal is destroyed.
  void ref_emit(int s, int value, std::vector<call_t>& calls) {
    const std::vector<ref_connection_t> snapshot = m_ref[s].connections;
    for (const ref_connection_t& c : snapshot) {
      if (!m_ref[s].alive) return;
      if (!present(s, c.serial)) continue;
      if (c.to_signal) {
        ref_emit(c.target, value, calls);
      } else {
        calls.emplace_back(c.target * 2 + c.method, value);
        if (const auto v = std::exchange(m_ref_armed[c.target], std::nullopt)) ref_destroy(*v);
      }
    }
  }

  bool present(int s, int serial) const {
    for (const ref_connection_t& c : m_ref[s].connections)
      if (c.serial == serial) return true;
    return false;
  }

  // Signal `from` forwards, directly or not, to signal `to`; a path longer than the slots
  // (a loop on the way) counts as reaching it.
  bool reaches(int from, int to, int depth = 0) const {
    if (from == to || depth > slot_count) return true;
    for (const ref_connection_t& c : m_ref[from].connections)
      if (c.to_signal && reaches(c.target, to, depth + 1)) return true;
    return false;
  }
  bool has_loop() const {
    for (int s = 0; s < slot_count; ++s)
      for (const ref_connection_t& c : m_ref[s].connections)
        if (c.to_signal && reaches(c.target, s)) return true;
    return false;
  }

  FuzzedDataProvider& m_input;
  sv4_fuzz::assertion_log_t m_log;
  ref_signal_t m_ref[slot_count];
  std::optional<victim_t> m_ref_armed[slot_count];
  bool m_ref_listener[slot_count] = {};
  std::optional<victim_t> m_armed[slot_count];
  std::vector<call_t> m_calls;
  int m_serial = 0;
  // Declared last: destroyed first, while the reference and the log still exist.
  std::unique_ptr<listener_t> m_listeners[slot_count];
  std::unique_ptr<signal_type> m_signals[slot_count];
};

void listener_t::called(int method, int value) { run->on_called(slot, method, value); }

}  // namespace

namespace {

// Owners of a few objects, some of a derived class, in base and derived slots; the reference
// knows which object each slot holds.
struct object_t {
  explicit object_t(int id, std::vector<int>* deaths) : id(id), deaths(deaths) {}
  virtual ~object_t() { deaths->push_back(id); }
  int id;
  std::vector<int>* deaths;
};
struct derived_object_t : object_t {
  using object_t::object_t;
};

class pointers_run_t {
 public:
  explicit pointers_run_t(FuzzedDataProvider& input) : m_input(input) {}
  ~pointers_run_t() {
    for (auto& p : m_base) p.reset();
    for (auto& p : m_derived) p.reset();
  }

  void step() {
    const int a = slot(), b = slot();
    switch (m_input.ConsumeIntegralInRange(0, 7)) {
      case 0:
        return make(a, m_input.ConsumeBool());
      case 1:
        return (m_base[b] = m_base[a], set(b, held(a)));
      case 2: {
        utilkit2::smart_pointer_t<object_t> moved(std::move(m_base[a]));
        const int id = held(a);
        set(a, 0);
        m_base[b] = std::move(moved);
        return set(b, id);
      }
      case 3:
        return (m_base[a].reset(), set(a, 0));
      case 4: {
        m_base[a].swap(m_base[b]);
        const int id = held(a);
        set(a, held(b));
        return set(b, id);
      }
      case 5: {
        m_derived[b] = m_base[a].dynamic_cast_to<derived_object_t>();
        m_ref[slot_count + b] = m_is_derived.count(held(a)) != 0 ? held(a) : 0;
        return;
      }
      case 6:
        m_base[a] = m_derived[b].static_cast_to<object_t>();
        return set(a, m_ref[slot_count + b]);
      default:
        return dereference(a);
    }
  }

  // Each object lives exactly while a slot holds it, was deleted once, and every slot counts
  // the owners of its object.
  void check() {
    std::map<int, long> owners;
    for (int id : m_ref)
      if (id != 0) ++owners[id];
    for (int id : m_deaths) SV4_FUZZ_CHECK(owners.count(id) == 0 && m_dead.insert(id).second);
    m_deaths.clear();
    for (int id = 1; id <= m_next_id; ++id)
      SV4_FUZZ_CHECK((owners.count(id) != 0) != (m_dead.count(id) != 0));
    for (int s = 0; s < 2 * slot_count; ++s) {
      const object_t* object = s < slot_count ? m_base[s].get() : m_derived[s - slot_count].get();
      const long count =
          s < slot_count ? m_base[s].use_count() : m_derived[s - slot_count].use_count();
      SV4_FUZZ_CHECK((object == nullptr ? 0 : object->id) == m_ref[s]);
      SV4_FUZZ_CHECK(count == (m_ref[s] == 0 ? 0 : owners[m_ref[s]]));
    }
  }

 private:
  int slot() { return m_input.ConsumeIntegralInRange(0, slot_count - 1); }
  int held(int base_slot) const { return m_ref[base_slot]; }
  void set(int base_slot, int id) { m_ref[base_slot] = id; }

  void make(int s, bool derived) {
    const int id = ++m_next_id;
    if (derived) m_is_derived.insert(id);
    m_base[s].reset(derived ? new derived_object_t(id, &m_deaths) : new object_t(id, &m_deaths));
    set(s, id);
  }

  void dereference(int s) {
    try {
      SV4_FUZZ_CHECK(m_base[s]->id == held(s) && held(s) != 0);
    } catch (const utilkit2::null_pointer_error&) {
      SV4_FUZZ_CHECK(held(s) == 0 && m_log.take() == std::vector<std::string>{"m_ptr != 0"});
    }
  }

  FuzzedDataProvider& m_input;
  sv4_fuzz::assertion_log_t m_log;
  std::vector<int> m_deaths;  // ids deleted since the last check
  std::set<int> m_dead, m_is_derived;
  int m_next_id = 0;
  int m_ref[2 * slot_count] = {};  // the object id each base, then derived, slot holds; 0: none
  utilkit2::smart_pointer_t<object_t> m_base[slot_count];
  utilkit2::smart_pointer_t<derived_object_t> m_derived[slot_count];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    pointers_run_t run(input);
    for (int step = 0; step < 256 && input.remaining_bytes() > 0; ++step) {
      run.step();
      run.check();
    }
    return 0;
  }
  signals_run_t run(input);
  for (int step = 0; step < 256 && input.remaining_bytes() > 0; ++step) {
    run.step();
    run.check();
  }
  return 0;
}
