// CBase allocation: each allocation is remembered until the first CBase constructed inside it
// claims it.
#include "orrinfrw7/base.h"

#include <algorithm>
#include <new>
#include <vector>

namespace orrinfrw7 {
namespace {

// Allocations made by CBase::operator new on this thread that no object has claimed yet. There
// may be several: in `new A(new B(...))` A's block is allocated before B's is, and B is built
// first. The outermost object's CBase part is constructed before its members, so it claims its
// block and a CBase member of that object finds none.
struct pending_allocation_t {
  const char* begin;
  std::size_t size;

  bool contains(const char* p) const { return p >= begin && p < begin + size; }
};
thread_local std::vector<pending_allocation_t> g_pending;

}  // namespace

void* CBase::operator new(std::size_t size) {
  void* block = ::operator new(size);
  g_pending.push_back({static_cast<const char*>(block), size});
  return block;
}

void CBase::operator delete(void* object) noexcept {
  // A constructor (or the evaluation of its arguments) threw before the block was claimed.
  const char* block = static_cast<const char*>(object);
  auto it = std::find_if(g_pending.rbegin(), g_pending.rend(),
                         [block](const pending_allocation_t& p) { return p.begin == block; });
  if (it != g_pending.rend()) g_pending.erase(std::next(it).base());
  ::operator delete(object);
}

CBase::CBase() {
  const char* self = reinterpret_cast<const char*>(this);
  auto it = std::find_if(g_pending.rbegin(), g_pending.rend(),
                         [self](const pending_allocation_t& p) { return p.contains(self); });
  if (it == g_pending.rend()) return;
  m_heap = true;
  g_pending.erase(std::next(it).base());
}

CBase::~CBase() = default;

}  // namespace orrinfrw7
