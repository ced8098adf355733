// CBase allocation: the most recent allocation is remembered until the first CBase constructed
// inside it claims it.
#include "orrinfrw7/base.h"

#include <new>

namespace orrinfrw7 {
namespace {

// The allocation made by the last CBase::operator new on this thread that no object claimed yet.
// The outermost object's CBase part is constructed before its members, so it claims the block
// and a CBase member of that object does not.
struct pending_allocation_t {
  const char* begin = nullptr;
  std::size_t size = 0;
};
thread_local pending_allocation_t g_pending;

}  // namespace

void* CBase::operator new(std::size_t size) {
  void* block = ::operator new(size);
  g_pending = {static_cast<const char*>(block), size};
  return block;
}

void CBase::operator delete(void* object) noexcept {
  if (object == g_pending.begin) g_pending = {};  // a constructor threw before claiming it
  ::operator delete(object);
}

CBase::CBase() {
  const char* self = reinterpret_cast<const char*>(this);
  if (g_pending.begin == nullptr) return;
  if (self < g_pending.begin || self >= g_pending.begin + g_pending.size) return;
  m_heap = true;
  g_pending = {};
}

CBase::~CBase() = default;

}  // namespace orrinfrw7
