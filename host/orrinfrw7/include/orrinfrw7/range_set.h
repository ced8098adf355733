// CRangeSet: a set of non-negative item indexes kept as disjoint ranges, the storage behind
// selections and repaint bookkeeping (selecting ten million rows is one range).
#pragma once

#include <map>
#include <vector>

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Disjoint, non-adjacent inclusive ranges [first, last] of indexes 0 … 0x7FFFFFFF. Adding and
// removing a range and testing an index cost O(log r + k) for r ranges of which k are merged or
// cut; the i-th index in ascending order costs O(log r) once the prefix counts are built (they
// are rebuilt lazily, in O(r), after a change).
class CRangeSet {
 public:
  struct range_t {
    int first;
    int last;
  };

  // Both return how many indexes joined or left the set. Ends may come in either order; negative
  // ends are clipped to 0, and a range wholly below 0 changes nothing.
  long long Add(int from, int to);
  long long Remove(int from, int to);
  void Clear();

  bool Contains(int index) const;
  bool IsEmpty() const { return m_ranges.empty(); }
  long long GetCount() const { return m_count; }
  // The index at position `n` (0-based) in ascending order; -1 when n is outside the set.
  int GetNth(long long n) const;
  // Lowest and highest index; -1 for both when empty.
  int GetFirst() const;
  int GetLast() const;
  // The ranges in ascending order.
  std::vector<range_t> GetRanges() const;

 private:
  static bool Normalize(int& from, int& to);
  void Changed() { m_prefixValid = false; }

  std::map<int, int> m_ranges;  // first -> last
  long long m_count = 0;
  mutable bool m_prefixValid = false;
  mutable std::vector<range_t> m_ordered;   // the ranges in order, for GetNth
  mutable std::vector<long long> m_prefix;  // indexes in the ranges before each one
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
