// signal_t (0 to 6 arguments) and subscriber_base_t: synchronous signals whose connections are
// dropped when either end is destroyed.
#pragma once

#include <cstddef>
#include <cstring>
#include <typeinfo>
#include <vector>

#include "sysport/debug.h"
#include "utilkit2/mutex.h"

#pragma GCC visibility push(default)

namespace utilkit2 {
namespace _internal {

class signal_base_t;

// Base of every object whose member operations are connected to signals. It keeps one entry
// per connection made to it, so that its destruction removes those connections; a copy starts
// without connections.
class subscriber_base_t {
 public:
  subscriber_base_t() = default;
  subscriber_base_t(const subscriber_base_t&) {}
  subscriber_base_t& operator=(const subscriber_base_t&) { return *this; }
  virtual ~subscriber_base_t();

 private:
  friend class signal_base_t;
  std::vector<signal_base_t*> m_signals;  // one entry per connection to this subscriber
};

// The part of a signal that does not depend on its argument types: the link back from
// subscribers. A signal is itself a subscriber, so one signal can forward to another.
class signal_base_t : public subscriber_base_t {
 public:
  ~signal_base_t() override;
  // Removes every connection of `subscriber` (only marks them while an emission runs).
  virtual void drop_subscriber(subscriber_base_t* subscriber) = 0;

 protected:
  signal_base_t() = default;
  signal_base_t(const signal_base_t& other) : subscriber_base_t(other) {}
  signal_base_t& operator=(const signal_base_t&) { return *this; }

  void attach(subscriber_base_t* subscriber) { subscriber->m_signals.push_back(this); }
  void detach(subscriber_base_t* subscriber);
  static void report(const char* expression, int line, const char* function);
};

// A member operation pointer stored as bytes, so that connections of any subscriber class can be
// compared and kept in one list.
struct method_bytes_t {
  alignas(void*) unsigned char bytes[2 * sizeof(void*)] = {};
};

// A list of connections (subscriber, member operation) guarded by a recursive mutex. Emitting
// calls the connections in connection order, synchronously, with the mutex held. A connection
// removed during an emission is marked and skipped, and dropped when the outermost emission
// ends; connections added during an emission are called from the next emission on. Destroying
// the signal from inside a handler ends the running emissions without touching freed memory.
template <class... Args>
class signal_t : public signal_base_t {
  static_assert(sizeof...(Args) <= 6, "signal_t takes at most six arguments");

 public:
  signal_t() = default;

  // Copying copies the connections.
  signal_t(const signal_t& other) : signal_base_t(other) { add_missing(other); }

  // Assigning adds the source's connections that this signal lacks and keeps its own. A
  // connection of the source to this very signal is skipped and reported as connect reports it:
  // the signal would forward each emission to itself without end.
  signal_t& operator=(const signal_t& other) {
    if (this != &other) add_missing(other);
    return *this;
  }

  ~signal_t() override {
    m_mutex.acquire();
    int held = 1;
    for (emission_t* e = m_emissions; e != nullptr; e = e->outer, ++held) e->alive = false;
    for (connection_t& c : m_connections)
      if (!c.removed) detach(c.subscriber);
    m_connections.clear();
    while (held-- > 0) m_mutex.release();
  }

  template <class S, class M>
  void connect(S* subscriber, void (M::*method)(Args...)) {
    static_assert(sizeof(method) <= sizeof(method_bytes_t), "unexpected member pointer size");
    subscriber_base_t* subscriberObj = static_cast<subscriber_base_t*>(subscriber);
    if (static_cast<subscriber_base_t*>(this) == subscriberObj) {
      report("static_cast<subscriber_base_t*>(this) != subscriberObj", __LINE__,
             __PRETTY_FUNCTION__);
      return;
    }
    _insert(make_connection(subscriber, method));
  }

  // Forwards every emission of this signal to `other`.
  void connect(signal_t* other) { connect(other, &signal_t::emit); }

  template <class S, class M>
  void disconnect(S* subscriber, void (M::*method)(Args...)) {
    connection_t wanted = make_connection(subscriber, method);
    threading::lock_t lock(m_mutex);
    for (std::size_t i = 0; i < m_connections.size(); ++i) {
      if (m_connections[i].removed || !m_connections[i].same_as(wanted)) continue;
      remove_at(i);
      return;
    }
    report("signal_t::disconnect: attempt to disconnect unknown connection", __LINE__,
           __PRETTY_FUNCTION__);
  }

  void disconnect(signal_t* other) { disconnect(other, &signal_t::emit); }

  // Removes every connection.
  void disconnect_all() {
    threading::lock_t lock(m_mutex);
    for (std::size_t i = m_connections.size(); i-- > 0;)
      if (!m_connections[i].removed) remove_at(i);
  }

  void drop_subscriber(subscriber_base_t* subscriber) override {
    threading::lock_t lock(m_mutex);
    for (std::size_t i = m_connections.size(); i-- > 0;)
      if (!m_connections[i].removed && m_connections[i].subscriber == subscriber) remove_at(i);
  }

  template <class S, class M>
  bool is_connected(S* subscriber, void (M::*method)(Args...)) const {
    connection_t wanted = make_connection(subscriber, method);
    threading::lock_t lock(m_mutex);
    for (const connection_t& c : m_connections)
      if (!c.removed && c.same_as(wanted)) return true;
    return false;
  }

  // Number of live connections.
  std::size_t connection_count() const {
    threading::lock_t lock(m_mutex);
    std::size_t count = 0;
    for (const connection_t& c : m_connections) count += c.removed ? 0 : 1;
    return count;
  }

  void emit(Args... args) {
    emission_guard_t guard(*this);
    const std::size_t count = m_connections.size();
    for (std::size_t i = 0; i < count; ++i) {
      const connection_t& c = m_connections[i];
      if (c.removed) continue;
      const invoker_t invoke = c.invoke;
      void* const target = c.target;
      const method_bytes_t method = c.method;
      invoke(target, method, args...);
      if (!guard.frame.alive) return;
    }
  }

  void operator()(Args... args) { emit(args...); }

 private:
  using invoker_t = void (*)(void* target, const method_bytes_t& method, Args... args);

  struct connection_t {
    subscriber_base_t* subscriber;
    void* target;  // the subscriber as the class that declares the member operation
    const std::type_info* type;
    method_bytes_t method;
    invoker_t invoke;
    bool removed;

    bool same_as(const connection_t& other) const {
      return subscriber == other.subscriber && target == other.target && *type == *other.type &&
             std::memcmp(method.bytes, other.method.bytes, sizeof(method.bytes)) == 0;
    }
  };

  // One running emission; the destructor clears `alive` of each.
  struct emission_t {
    bool alive;
    emission_t* outer;
  };

  // Holds the mutex and the emission record for one emission, also when a handler throws.
  struct emission_guard_t {
    explicit emission_guard_t(signal_t& signal) : owner(signal) {
      owner.m_mutex.acquire();
      frame.outer = owner.m_emissions;
      owner.m_emissions = &frame;
    }
    ~emission_guard_t() {
      if (!frame.alive) return;  // the signal is gone, and released its mutex when it went
      owner.m_emissions = frame.outer;
      if (owner.m_emissions == nullptr) owner.purge_removed();
      owner.m_mutex.release();
    }
    emission_guard_t(const emission_guard_t&) = delete;
    emission_guard_t& operator=(const emission_guard_t&) = delete;

    signal_t& owner;
    emission_t frame{true, nullptr};
  };

  template <class S, class M>
  static connection_t make_connection(S* subscriber, void (M::*method)(Args...)) {
    using method_t = void (M::*)(Args...);
    connection_t c{static_cast<subscriber_base_t*>(subscriber),
                   static_cast<M*>(subscriber),
                   &typeid(M),
                   {},
                   [](void* target, const method_bytes_t& bytes, Args... args) {
                     method_t m;
                     std::memcpy(&m, bytes.bytes, sizeof(m));
                     (static_cast<M*>(target)->*m)(args...);
                   },
                   false};
    std::memcpy(c.method.bytes, &method, sizeof(method));
    return c;
  }

  void _insert(const connection_t& connection) {
    threading::lock_t lock(m_mutex);
    for (const connection_t& c : m_connections) {
      if (c.removed || !c.same_as(connection)) continue;
      report("signal_t::_insert: this connection is already exists.", __LINE__,
             __PRETTY_FUNCTION__);
      return;
    }
    m_connections.push_back(connection);
    attach(connection.subscriber);
  }

  void add_missing(const signal_t& other) {
    threading::lock_t lock(other.m_mutex);
    for (const connection_t& c : other.m_connections) {
      if (c.removed || contains(c)) continue;
      if (c.subscriber == static_cast<subscriber_base_t*>(this)) {
        report("static_cast<subscriber_base_t*>(this) != subscriberObj", __LINE__,
               __PRETTY_FUNCTION__);
        continue;
      }
      threading::lock_t own(m_mutex);
      m_connections.push_back(c);
      attach(c.subscriber);
    }
  }

  bool contains(const connection_t& connection) const {
    for (const connection_t& c : m_connections)
      if (!c.removed && c.same_as(connection)) return true;
    return false;
  }

  // Removes connection i now, or marks it when an emission runs (indexes must stay valid).
  void remove_at(std::size_t i) {
    detach(m_connections[i].subscriber);
    if (m_emissions != nullptr) {
      m_connections[i].removed = true;
      return;
    }
    m_connections.erase(m_connections.begin() + static_cast<std::ptrdiff_t>(i));
  }

  void purge_removed() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_connections.size(); ++i)
      if (!m_connections[i].removed) m_connections[kept++] = m_connections[i];
    m_connections.resize(kept);
  }

  mutable threading::mutex_t m_mutex;
  std::vector<connection_t> m_connections;
  emission_t* m_emissions = nullptr;  // innermost running emission
};

}  // namespace _internal

template <class... Args>
using signal_t = _internal::signal_t<Args...>;
using subscriber_base_t = _internal::subscriber_base_t;

}  // namespace utilkit2

#pragma GCC visibility pop
