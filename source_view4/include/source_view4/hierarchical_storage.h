// Storage behind the row engine and the item tree: a gap array for the visible rows and a chunked
// list whose elements never move once created.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// A growable array kept in one contiguous buffer with a movable gap. Every insertion and removal
// happens at the gap, which first moves there; a run of insertions at consecutive positions (the
// children of an expanded row) therefore costs one move of the gap plus O(1) each, and edits that
// walk down a long list move the gap only by the distance between them. T is a small trivially
// copyable record.
template <class T>
class CGapArray {
 public:
  std::size_t size() const { return m_buffer.size() - GapLength(); }
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
    m_gapEnd = m_buffer.size();
  }

 private:
  std::size_t GapLength() const { return m_gapEnd - m_gapBegin; }
  std::size_t Physical(std::size_t i) const { return i < m_gapBegin ? i : i + GapLength(); }

  void MoveGap(std::size_t position) {
    const auto buffer = m_buffer.begin();
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

  // Doubles the buffer; the new gap is as long as the array.
  void Grow() {
    const std::size_t capacity = std::max<std::size_t>(16, 2 * size());
    const std::size_t tail = m_buffer.size() - m_gapEnd;
    std::vector<T> next(capacity);
    std::copy(m_buffer.begin(), m_buffer.begin() + m_gapBegin, next.begin());
    std::copy(m_buffer.end() - tail, m_buffer.end(), next.end() - tail);
    m_buffer.swap(next);
    m_gapEnd = capacity - tail;
  }

  std::vector<T> m_buffer;
  std::size_t m_gapBegin = 0;  // elements [0, m_gapBegin) come first
  std::size_t m_gapEnd = 0;    // elements [m_gapEnd, buffer end) follow them
};

// A list that owns its elements by value in chunks linked one after another, so that an element
// keeps its address until the list is cleared or destroyed. An empty list allocates nothing;
// chunks grow from 4 elements, doubling up to 1024. Neither copyable nor movable: others point
// into it.
template <class T, class TAllocator = std::allocator<T>>
class CStableList {
  struct alignas(T) alignas(void*) Chunk {
    Chunk* next = nullptr;
    std::size_t used = 0;
    std::size_t capacity = 0;
    std::size_t units = 0;  // Chunk-sized units allocated, the header included

    T* Items() { return reinterpret_cast<T*>(this + 1); }
    const T* Items() const { return reinterpret_cast<const T*>(this + 1); }
  };
  using ChunkAllocator = typename std::allocator_traits<TAllocator>::template rebind_alloc<Chunk>;

 public:
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
  ~CStableList() { clear(); }

  std::size_t size() const { return m_size; }
  bool empty() const { return m_size == 0; }

  iterator begin() { return iterator(m_first, 0); }
  iterator end() { return iterator(nullptr, 0); }
  const_iterator begin() const { return const_iterator(m_first, 0); }
  const_iterator end() const { return const_iterator(nullptr, 0); }

  // Appends a value-initialised element and answers it.
  T& emplace_back() {
    if (m_last == nullptr || m_last->used == m_last->capacity) AddChunk();
    T* element = ::new (static_cast<void*>(m_last->Items() + m_last->used)) T();
    ++m_last->used;
    ++m_size;
    return *element;
  }

  // Destroys every element and releases every chunk.
  void clear() {
    ChunkAllocator allocator;
    for (Chunk* chunk = m_first; chunk != nullptr;) {
      Chunk* next = chunk->next;
      std::destroy_n(chunk->Items(), chunk->used);
      const std::size_t units = chunk->units;
      chunk->~Chunk();
      std::allocator_traits<ChunkAllocator>::deallocate(allocator, chunk, units);
      chunk = next;
    }
    m_first = m_last = nullptr;
    m_size = 0;
  }

 private:
  void AddChunk() {
    const std::size_t capacity =
        m_last == nullptr ? 4 : std::min<std::size_t>(2 * m_last->capacity, 1024);
    const std::size_t units = 1 + (capacity * sizeof(T) + sizeof(Chunk) - 1) / sizeof(Chunk);
    ChunkAllocator allocator;
    Chunk* chunk = std::allocator_traits<ChunkAllocator>::allocate(allocator, units);
    ::new (static_cast<void*>(chunk)) Chunk();
    chunk->capacity = capacity;
    chunk->units = units;
    (m_last == nullptr ? m_first : m_last->next) = chunk;
    m_last = chunk;
  }

  Chunk* m_first = nullptr;
  Chunk* m_last = nullptr;
  std::size_t m_size = 0;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
