// A recursive mutex: the thread that holds it may acquire it again (a signal handler may
// emit, connect or disconnect on the signal that called it).
#pragma once

#include <mutex>

#pragma GCC visibility push(default)

namespace utilkit2 {
namespace threading {

class mutex_t {
 public:
  mutex_t() = default;
  mutex_t(const mutex_t&) = delete;
  mutex_t& operator=(const mutex_t&) = delete;

  void acquire() { m_mutex.lock(); }
  void release() { m_mutex.unlock(); }

 private:
  std::recursive_mutex m_mutex;
};

// Holds a mutex for the lifetime of a scope.
class lock_t {
 public:
  explicit lock_t(mutex_t& mutex) : m_mutex(mutex) { m_mutex.acquire(); }
  ~lock_t() { m_mutex.release(); }
  lock_t(const lock_t&) = delete;
  lock_t& operator=(const lock_t&) = delete;

 private:
  mutex_t& m_mutex;
};

}  // namespace threading
}  // namespace utilkit2

#pragma GCC visibility pop
