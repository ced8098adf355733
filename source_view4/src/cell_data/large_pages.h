// A hint that a large array of the model be backed by 2 MiB pages where the system offers them.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>

namespace source_view4 {

// Filling a column of millions of rows touches every page of its arrays once, and the page fault
// of each first touch can cost more than the writes into the page; with 2 MiB pages a column takes
// a few hundred faults instead of a quarter million. Only whole large pages inside the array are
// advised, so small arrays and the array's ends keep ordinary pages.
inline void advise_large_pages(const void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t large_page = std::uintptr_t(2) << 20;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + large_page - 1) & ~(large_page - 1);
  const std::uintptr_t last = (start + bytes) & ~(large_page - 1);
  if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace source_view4
