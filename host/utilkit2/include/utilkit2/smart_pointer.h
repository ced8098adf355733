// smart_pointer_t: a shared owning pointer with a non-atomic owner count created on the first copy.
#pragma once

#include <stdexcept>
#include <utility>

#include "sysport/debug.h"

#pragma GCC visibility push(default)

namespace utilkit2 {

// Thrown after the assertion hook when an empty smart_pointer_t is dereferenced, so that
// nothing touches the missing object.
class null_pointer_error : public std::logic_error {
 public:
  null_pointer_error();
  ~null_pointer_error() override;
};

// Owns an object together with every copy of itself. A pointer made from a raw pointer is the
// sole owner and has no count; the first copy creates the count, which every further copy
// increases. The object is deleted through its (virtual) destructor when the last owner lets go.
// Counting is not atomic: a pointer and its copies stay on one thread.
template <class T>
class smart_pointer_t {
 public:
  using element_type = T;

  smart_pointer_t() = default;
  explicit smart_pointer_t(T* object) : m_ptr(object) {}

  smart_pointer_t(const smart_pointer_t& other) : m_ptr(other.m_ptr), m_count(other.share()) {}
  smart_pointer_t(smart_pointer_t&& other) noexcept
      : m_ptr(std::exchange(other.m_ptr, nullptr)),
        m_count(std::exchange(other.m_count, nullptr)) {}

  // Conversion from a pointer to a derived class; both share one count.
  template <class U, class = decltype(static_cast<T*>(static_cast<U*>(nullptr)))>
  smart_pointer_t(const smart_pointer_t<U>& other)  // NOLINT: implicit like a raw pointer
      : m_ptr(other.m_ptr), m_count(other.share()) {}

  ~smart_pointer_t() { release(); }

  smart_pointer_t& operator=(const smart_pointer_t& other) {
    if (this != &other) smart_pointer_t(other).swap(*this);
    return *this;
  }
  smart_pointer_t& operator=(smart_pointer_t&& other) noexcept {
    smart_pointer_t(std::move(other)).swap(*this);
    return *this;
  }

  T* operator->() const { return checked(); }
  T& operator*() const { return *checked(); }
  T* get() const { return m_ptr; }
  bool is_empty() const { return m_ptr == nullptr; }
  explicit operator bool() const { return m_ptr != nullptr; }

  // Lets go of the object (deleting it when this was its last owner) and holds `object` instead.
  void reset(T* object = nullptr) { smart_pointer_t(object).swap(*this); }

  // Number of owners: 0 when empty, 1 for a sole owner.
  long use_count() const { return m_ptr == nullptr ? 0 : (m_count ? *m_count : 1); }

  void swap(smart_pointer_t& other) noexcept {
    std::swap(m_ptr, other.m_ptr);
    std::swap(m_count, other.m_count);
  }

  // The same object seen as class U (dynamic_cast): empty when the object is not a U.
  template <class U>
  smart_pointer_t<U> dynamic_cast_to() const {
    U* converted = dynamic_cast<U*>(m_ptr);
    if (converted == nullptr) return smart_pointer_t<U>();
    return smart_pointer_t<U>(converted, share());
  }

  // The same object seen as class U (static_cast): the caller knows the object is a U.
  template <class U>
  smart_pointer_t<U> static_cast_to() const {
    if (m_ptr == nullptr) return smart_pointer_t<U>();
    return smart_pointer_t<U>(static_cast<U*>(m_ptr), share());
  }

 private:
  template <class U>
  friend class smart_pointer_t;

  smart_pointer_t(T* object, long* count) : m_ptr(object), m_count(count) {}

  // Adds one owner and answers the shared count, creating it on the first copy.
  long* share() const {
    if (m_ptr == nullptr) return nullptr;
    if (m_count == nullptr) m_count = new long(1);
    ++*m_count;
    return m_count;
  }

  // g++ 12 cannot see that a shared count stays above zero while another owner holds it, and
  // reports the decrement of a count that a sibling freed on an impossible path (clang has no
  // such warning).
#if !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif
  void release() {
    if (m_ptr == nullptr) return;
    if (m_count != nullptr && --*m_count > 0) return;
    delete m_count;
    delete m_ptr;
  }
#if !defined(__clang__)
#pragma GCC diagnostic pop
#endif

  T* checked() const {
    if (m_ptr != nullptr) return m_ptr;
    ::SYSPORT_2_18::debug::_private::assertion_failed("m_ptr != 0", __FILE__, __LINE__,
                                                      __PRETTY_FUNCTION__);
    throw null_pointer_error();
  }

  T* m_ptr = nullptr;
  mutable long* m_count = nullptr;
};

template <class T, class U>
bool operator==(const smart_pointer_t<T>& a, const smart_pointer_t<U>& b) {
  return a.get() == b.get();
}
template <class T, class U>
bool operator!=(const smart_pointer_t<T>& a, const smart_pointer_t<U>& b) {
  return a.get() != b.get();
}

}  // namespace utilkit2

#pragma GCC visibility pop
