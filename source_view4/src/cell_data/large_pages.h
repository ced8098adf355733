// Large arrays of the model on 2 MiB pages where the system offers them: an allocation helper
// for raw blocks and an allocator for the model's column vectors.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace source_view4 {

// Filling a column of millions of rows touches every page of its arrays once, and the page fault
// of each first touch can cost more than the writes into the page; with 2 MiB pages a column takes
// a few hundred faults instead of a quarter million. A block of at least one large page is
// aligned to and rounded up to whole large pages, so that every byte of it can be on one; smaller
// blocks come from the ordinary heap, where the round-up would cost more than it saves.
namespace large_pages {

constexpr std::size_t page = std::size_t(2) << 20;

inline bool is_large(std::size_t bytes) { return bytes >= page; }

inline void* allocate(std::size_t bytes) {
  if (!is_large(bytes)) return ::operator new(bytes);
  const std::size_t rounded = (bytes + page - 1) & ~(page - 1);
  void* block = std::aligned_alloc(page, rounded);
  if (block == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  madvise(block, rounded, MADV_HUGEPAGE);
#endif
  return block;
}

// Asks for large pages under the whole large pages inside a block allocated elsewhere.
inline void advise(const void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + page - 1) & ~(page - 1);
  const std::uintptr_t last = (start + bytes) & ~(page - 1);
  if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

// `bytes` must be what the block was allocated with.
inline void release(void* block, std::size_t bytes) {
  if (is_large(bytes)) {
    std::free(block);
    return;
  }
  ::operator delete(block);
}

}  // namespace large_pages

// The allocator of the model's column vectors.
template <class T>
struct large_page_allocator {
  using value_type = T;
  large_page_allocator() = default;
  template <class U>
  large_page_allocator(const large_page_allocator<U>&) {}
  T* allocate(std::size_t count) {
    return static_cast<T*>(large_pages::allocate(count * sizeof(T)));
  }
  void deallocate(T* block, std::size_t count) { large_pages::release(block, count * sizeof(T)); }
  // A column's rows are written before they are read (its bitmap of set cells says which), so
  // growing its array leaves the new elements unwritten instead of zeroing them first.
  template <class U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const large_page_allocator<U>&) const {
    return true;
  }
  template <class U>
  bool operator!=(const large_page_allocator<U>&) const {
    return false;
  }
};

}  // namespace source_view4
