// Storage behind the row engine and the item tree: a gap array for the visible rows and a chunked
// list whose elements never move once created.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// A growable array kept in one contiguous buffer with a movable gap. Every insertion and removal
// happens at the gap, which first moves there; a run of insertions at consecutive positions (the
// children of an expanded row) therefore costs one move of the gap plus O(1) each, and edits that
// walk down a long list move the gap only by the distance between them. T is a small trivially
// copyable record; the gap is left uninitialised.
template <class T>
class CGapArray {
 public:
  CGapArray() = default;
  CGapArray(const CGapArray& other) { *this = other; }
  CGapArray& operator=(const CGapArray& other) {
    if (this == &other) return *this;
    Allocate(other.size());
    m_gapBegin = other.size();
    for (std::size_t i = 0; i < m_gapBegin; ++i) m_buffer[i] = other[i];
    return *this;
  }

  std::size_t size() const { return m_capacity - GapLength(); }
  bool empty() const { return size() == 0; }

  T& operator[](std::size_t i) { return m_buffer[Physical(i)]; }
  const T& operator[](std::size_t i) const { return m_buffer[Physical(i)]; }

  // Inserts before `position` (0 … size()).
  void insert(std::size_t position, const T& value) {
    MoveGap(position);
    if (m_gapBegin == m_gapEnd) Grow();
    m_buffer[m_gapBegin++] = value;
  }

  // Removes `count` elements from `position` on (position + count ≤ size()); the gap absorbs
  // them from whichever side is nearer.
  void erase(std::size_t position, std::size_t count) {
    if (m_gapBegin >= position + count) {
      MoveGap(position + count);
      m_gapBegin -= count;
      return;
    }
    MoveGap(position);
    m_gapEnd += count;
  }

  // Empties the array and keeps its buffer.
  void clear() {
    m_gapBegin = 0;
    m_gapEnd = m_capacity;
  }

 private:
  std::size_t GapLength() const { return m_gapEnd - m_gapBegin; }
  std::size_t Physical(std::size_t i) const { return i < m_gapBegin ? i : i + GapLength(); }

  void MoveGap(std::size_t position) {
    T* const buffer = m_buffer.get();
    if (position < m_gapBegin) {
      std::copy_backward(buffer + position, buffer + m_gapBegin, buffer + m_gapEnd);
      m_gapEnd -= m_gapBegin - position;
      m_gapBegin = position;
    } else if (position > m_gapBegin) {
      const std::size_t moved = position - m_gapBegin;
      std::copy(buffer + m_gapEnd, buffer + m_gapEnd + moved, buffer + m_gapBegin);
      m_gapBegin += moved;
      m_gapEnd += moved;
    }
  }

  // An empty buffer for `count` elements (at least 16), gap at the end.
  void Allocate(std::size_t count) {
    m_capacity = std::max<std::size_t>(16, count);
    m_buffer.reset(new T[m_capacity]);
    m_gapBegin = 0;
    m_gapEnd = m_capacity;
  }

  // Doubles the buffer; the new gap is as long as the array.
  void Grow() {
    std::unique_ptr<T[]> old = std::move(m_buffer);
    const std::size_t oldCapacity = m_capacity, head = m_gapBegin, tail = m_capacity - m_gapEnd;
    Allocate(2 * size());
    std::copy(old.get(), old.get() + head, m_buffer.get());
    std::copy(old.get() + oldCapacity - tail, old.get() + oldCapacity,
              m_buffer.get() + m_capacity - tail);
    m_gapBegin = head;
    m_gapEnd = m_capacity - tail;
  }

  std::unique_ptr<T[]> m_buffer;
  std::size_t m_capacity = 0;
  std::size_t m_gapBegin = 0;  // elements [0, m_gapBegin) come first
  std::size_t m_gapEnd = 0;    // elements [m_gapEnd, m_capacity) follow them
};

// One chunk of a CStableList: a header followed by room for `capacity` elements.
template <class T>
struct alignas(T) alignas(void*) CStableChunk {
  CStableChunk* next = nullptr;
  std::uint32_t used = 0;
  std::uint32_t capacity = 0;

  void* Slot(std::size_t i) { return reinterpret_cast<unsigned char*>(this + 1) + i * sizeof(T); }
  T* Items() { return std::launder(reinterpret_cast<T*>(this + 1)); }
  const T* Items() const { return std::launder(reinterpret_cast<const T*>(this + 1)); }
};

// The memory behind the CStableLists of one owner. Chunks are carved from large blocks; a list
// that is cleared gives its chunks back to a free list per size, and the blocks are released
// only when the pool is destroyed, so that rebuilding a tree reuses the memory of the last one
// instead of returning it to the system and faulting it back in. A list's newest chunk that is
// the last one carved may grow in place, so elements appended in one run fill it exactly.
template <class T, class TAllocator = std::allocator<T>>
class CChunkPool {
 public:
  using Chunk = CStableChunk<T>;

  CChunkPool() = default;
  CChunkPool(const CChunkPool&) = delete;
  CChunkPool& operator=(const CChunkPool&) = delete;
  ~CChunkPool() {
    BlockAllocator allocator;
    for (const auto& [block, units] : m_blocks)
      std::allocator_traits<BlockAllocator>::deallocate(allocator, block, units);
  }

  // A chunk with room for at least `wanted` elements (4, 8, … 1024): the smallest one given
  // back that is large enough, else a new one.
  Chunk* Take(std::uint32_t wanted) {
    std::size_t sizeClass = SizeClass(wanted);
    while (sizeClass < classCount && m_free[sizeClass] == nullptr) ++sizeClass;
    Chunk* chunk = nullptr;
    if (sizeClass < classCount) {
      chunk = m_free[sizeClass];
      m_free[sizeClass] = chunk->next;
    } else {
      sizeClass = SizeClass(wanted);
      chunk = ::new (static_cast<void*>(Carve(UnitsFor(ClassCapacity(sizeClass))))) Chunk();
    }
    chunk->next = nullptr;
    chunk->used = 0;
    chunk->capacity = ClassCapacity(sizeClass);
    return chunk;
  }

  // Takes back every chunk at once (their lists are abandoned, their elements destroyed or
  // trivially destructible): carving starts again at the first block.
  void Reset() {
    m_block = 0;
    m_top = 0;
    m_lastCarved = nullptr;
    std::fill(std::begin(m_free), std::end(m_free), nullptr);
  }

  // Adds room for one element to `chunk` when it is the last chunk carved; false otherwise.
  bool TryGrow(Chunk* chunk) {
    if (chunk != m_lastCarved || UnitsFor(chunk->capacity + 1) > m_lastUnits + Room()) return false;
    const std::size_t extra = UnitsFor(chunk->capacity + 1) - m_lastUnits;
    m_top += extra;
    m_lastUnits += extra;
    ++chunk->capacity;
    return true;
  }

  // Takes back a chunk whose elements are destroyed; it serves the largest size class it fits.
  void Give(Chunk* chunk) {
    std::size_t sizeClass = SizeClass(chunk->capacity);
    if (ClassCapacity(sizeClass) > chunk->capacity) --sizeClass;
    if (chunk == m_lastCarved) m_lastCarved = nullptr;
    chunk->next = m_free[sizeClass];
    m_free[sizeClass] = chunk;
  }

 private:
  using BlockAllocator = typename std::allocator_traits<TAllocator>::template rebind_alloc<Chunk>;
  static constexpr std::size_t classCount = 9;        // capacities 4 … 1024
  static constexpr std::size_t blockUnits = 1 << 14;  // 256 KiB blocks with 16-byte units

  static std::uint32_t ClassCapacity(std::size_t sizeClass) { return 4u << sizeClass; }
  static std::size_t SizeClass(std::uint32_t wanted) {
    std::size_t sizeClass = 0;
    while (sizeClass + 1 < classCount && ClassCapacity(sizeClass) < wanted) ++sizeClass;
    return sizeClass;
  }
  // Chunk-sized units for a header and `capacity` elements.
  static std::size_t UnitsFor(std::size_t capacity) {
    return 1 + (capacity * sizeof(T) + sizeof(Chunk) - 1) / sizeof(Chunk);
  }
  std::size_t Room() const { return m_blocks.empty() ? 0 : m_blocks[m_block].second - m_top; }

  // Carves from the current block, moving on to the next kept block or a new one when full.
  Chunk* Carve(std::size_t units) {
    while (units > Room()) {
      m_top = 0;
      if (m_block + 1 < m_blocks.size()) {
        ++m_block;
        continue;
      }
      const std::size_t size = std::max(units, blockUnits);
      BlockAllocator allocator;
      m_blocks.emplace_back(std::allocator_traits<BlockAllocator>::allocate(allocator, size), size);
      m_block = m_blocks.size() - 1;
    }
    m_lastCarved = m_blocks[m_block].first + m_top;
    m_lastUnits = units;
    m_top += units;
    return m_lastCarved;
  }

  std::vector<std::pair<Chunk*, std::size_t>> m_blocks;  // every block, with its units
  std::size_t m_block = 0;                               // the block being carved
  std::size_t m_top = 0;                                 // its units already carved
  Chunk* m_lastCarved = nullptr;   // the chunk that ends at m_top, while it is in use
  std::size_t m_lastUnits = 0;     // its units
  Chunk* m_free[classCount] = {};  // chunks given back, by size class
};

// A list that owns its elements by value in chunks linked one after another, so that an element
// keeps its address until the list is cleared. Its memory comes from a CChunkPool the caller
// passes in (an empty list holds none); destroying the list releases nothing, so the owner clears
// it first when its elements need destroying. Neither copyable nor movable: others point into it.
template <class T, class TAllocator = std::allocator<T>>
class CStableList {
  using Chunk = CStableChunk<T>;

 public:
  using Pool = CChunkPool<T, TAllocator>;

  template <class Element, class ChunkPointer>
  class Iterator {
   public:
    Iterator(ChunkPointer chunk, std::size_t index) : m_chunk(chunk), m_index(index) {}
    Element& operator*() const { return m_chunk->Items()[m_index]; }
    Element* operator->() const { return &**this; }
    Iterator& operator++() {
      if (++m_index < m_chunk->used) return *this;
      m_chunk = m_chunk->next;
      m_index = 0;
      return *this;
    }
    bool operator==(const Iterator& other) const {
      return m_chunk == other.m_chunk && m_index == other.m_index;
    }
    bool operator!=(const Iterator& other) const { return !(*this == other); }

   private:
    ChunkPointer m_chunk;
    std::size_t m_index;
  };
  using iterator = Iterator<T, Chunk*>;
  using const_iterator = Iterator<const T, const Chunk*>;

  CStableList() = default;
  CStableList(const CStableList&) = delete;
  CStableList& operator=(const CStableList&) = delete;

  bool empty() const { return m_first == nullptr; }
  std::size_t size() const {
    std::size_t count = 0;
    for (const Chunk* chunk = m_first; chunk != nullptr; chunk = chunk->next) count += chunk->used;
    return count;
  }

  iterator begin() { return iterator(m_first, 0); }
  iterator end() { return iterator(nullptr, 0); }
  const_iterator begin() const { return const_iterator(m_first, 0); }
  const_iterator end() const { return const_iterator(nullptr, 0); }

  // Appends a value-initialised element and answers it. Chunks double from 4 up to 1024.
  T& emplace_back(Pool& pool) {
    if (m_last == nullptr || (m_last->used == m_last->capacity && !pool.TryGrow(m_last))) {
      Chunk* chunk = pool.Take(m_last == nullptr ? 4 : 2 * m_last->capacity);
      (m_last == nullptr ? m_first : m_last->next) = chunk;
      m_last = chunk;
    }
    T* element = ::new (m_last->Slot(m_last->used)) T();
    ++m_last->used;
    return *element;
  }

  // Forgets the chunks without destroying the elements: only before the pool is reset, for
  // elements whose destructors do nothing.
  void abandon() { m_first = m_last = nullptr; }

  // Destroys every element and gives the chunks back to `pool`.
  void clear(Pool& pool) {
    for (Chunk* chunk = m_first; chunk != nullptr;) {
      Chunk* next = chunk->next;
      std::destroy_n(chunk->Items(), chunk->used);
      pool.Give(chunk);
      chunk = next;
    }
    m_first = m_last = nullptr;
  }

 private:
  Chunk* m_first = nullptr;
  Chunk* m_last = nullptr;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
