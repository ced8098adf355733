// CBase: the allocation root of framework objects. Elements created with `new` belong to their
// parent element; CBase remembers whether an object was created that way.
#pragma once

#include <cstddef>

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Objects allocated with these operators are marked as heap objects, so that an owner (a parent
// element) deletes only what was created with `new` and merely detaches objects that live
// elsewhere (members of another object, locals).
class CBase {
 public:
  virtual ~CBase();
  CBase(const CBase&) = delete;
  CBase& operator=(const CBase&) = delete;

  static void* operator new(std::size_t size);
  static void operator delete(void* object) noexcept;

  // True when this object was created by CBase::operator new.
  bool IsHeapObject() const { return m_heap; }

 protected:
  CBase();

 private:
  bool m_heap = false;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
