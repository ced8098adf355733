// CRangeSet: merging and cutting of index ranges.
#include "orrinfrw7/range_set.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace orrinfrw7 {

bool CRangeSet::Normalize(int& from, int& to) {
  if (from > to) std::swap(from, to);
  if (to < 0) return false;
  from = std::max(from, 0);
  return true;
}

long long CRangeSet::Add(int from, int to) {
  if (!Normalize(from, to)) return 0;
  const long long before = m_count;
  long long first = from;
  long long last = to;
  // Swallow every range that overlaps or touches [first, last].
  auto it = m_ranges.upper_bound(from);
  if (it != m_ranges.begin()) {
    auto prev = std::prev(it);
    if (static_cast<long long>(prev->second) + 1 >= first) it = prev;
  }
  while (it != m_ranges.end() && static_cast<long long>(it->first) <= last + 1) {
    first = std::min<long long>(first, it->first);
    last = std::max<long long>(last, it->second);
    m_count -= static_cast<long long>(it->second) - it->first + 1;
    it = m_ranges.erase(it);
  }
  m_ranges.emplace(static_cast<int>(first), static_cast<int>(last));
  m_count += last - first + 1;
  Changed();
  return m_count - before;
}

long long CRangeSet::Remove(int from, int to) {
  if (!Normalize(from, to) || m_ranges.empty()) return 0;
  const long long before = m_count;
  auto it = m_ranges.upper_bound(from);
  if (it != m_ranges.begin() && std::prev(it)->second >= from) it = std::prev(it);
  while (it != m_ranges.end() && it->first <= to) {
    const int first = it->first;
    const int last = it->second;
    m_count -= static_cast<long long>(last) - first + 1;
    it = m_ranges.erase(it);
    if (first < from) {
      m_ranges.emplace(first, from - 1);
      m_count += static_cast<long long>(from) - first;
    }
    if (last > to) {
      it = m_ranges.emplace(to + 1, last).first;
      m_count += static_cast<long long>(last) - to;
      break;
    }
  }
  if (m_count != before) Changed();
  return before - m_count;
}

void CRangeSet::Clear() {
  m_ranges.clear();
  m_count = 0;
  Changed();
}

bool CRangeSet::Contains(int index) const {
  auto it = m_ranges.upper_bound(index);
  if (it == m_ranges.begin()) return false;
  return std::prev(it)->second >= index;
}

int CRangeSet::GetNth(long long n) const {
  if (n < 0 || n >= m_count) return -1;
  if (!m_prefixValid) {
    m_ordered = GetRanges();
    m_prefix.assign(m_ordered.size(), 0);
    long long sum = 0;
    for (std::size_t i = 0; i < m_ordered.size(); ++i) {
      m_prefix[i] = sum;
      sum += static_cast<long long>(m_ordered[i].last) - m_ordered[i].first + 1;
    }
    m_prefixValid = true;
  }
  const auto at = std::upper_bound(m_prefix.begin(), m_prefix.end(), n) - 1;
  const std::size_t i = static_cast<std::size_t>(at - m_prefix.begin());
  return static_cast<int>(m_ordered[i].first + (n - *at));
}

int CRangeSet::GetFirst() const { return m_ranges.empty() ? -1 : m_ranges.begin()->first; }

int CRangeSet::GetLast() const { return m_ranges.empty() ? -1 : m_ranges.rbegin()->second; }

std::vector<CRangeSet::range_t> CRangeSet::GetRanges() const {
  std::vector<range_t> out;
  out.reserve(m_ranges.size());
  for (const auto& [first, last] : m_ranges) out.push_back({first, last});
  return out;
}

}  // namespace orrinfrw7
