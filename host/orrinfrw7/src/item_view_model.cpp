// Item view models: uniform and per-item sizes, the size treap, the pixel scroll model and the
// pixel helpers.
#include "orrinfrw7/item_view_model.h"

#include <algorithm>
#include <climits>

#include "sysport/debug.h"

namespace orrinfrw7 {

IContinuousItemViewModel::~IContinuousItemViewModel() = default;
IScrollModel::~IScrollModel() = default;

// ---- CSimpleDiscreteItemViewModel ----

CSimpleDiscreteItemViewModel::CSimpleDiscreteItemViewModel(int defaultItemSize)
    : m_defaultSize(std::max(defaultItemSize, 0)) {}

int CSimpleDiscreteItemViewModel::Saturate(long long value) {
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int CSimpleDiscreteItemViewModel::GetItemSize(int index) const {
  return index >= 0 && index < m_count ? m_defaultSize : 0;
}

int CSimpleDiscreteItemViewModel::GetItemOffset(int index) const {
  return Saturate(static_cast<long long>(std::clamp(index, 0, m_count)) * m_defaultSize);
}

int CSimpleDiscreteItemViewModel::GetItemAt(int offset) const {
  if (offset < 0 || offset >= GetTotalSize()) return -1;
  return offset / m_defaultSize;  // a non-zero total implies a non-zero size
}

int CSimpleDiscreteItemViewModel::GetTotalSize() const { return GetItemOffset(m_count); }

bool CSimpleDiscreteItemViewModel::SetViewStart(int start) { return ApplyViewStart(start); }

bool CSimpleDiscreteItemViewModel::ApplyViewStart(int start) {
  const int limit = std::max(0, GetTotalSize() - m_viewSize);
  start = std::clamp(start, 0, limit);
  if (start == m_viewStart) return false;
  const int old = m_viewStart;
  m_viewStart = start;
  bool handled = false;
  Scrolled.emit(old, start, &handled);
  return handled;
}

void CSimpleDiscreteItemViewModel::SetViewSize(int size, bool keepInside) {
  m_viewSize = std::max(size, 0);
  if (keepInside) ApplyViewStart(m_viewStart);
}

void CSimpleDiscreteItemViewModel::SetCount(int count) {
  if (!SYSPORT_CHECK(count >= 0)) count = 0;
  if (count == m_count) return;
  m_count = count;
  GeometryChanged();
}

void CSimpleDiscreteItemViewModel::SetDefaultItemSize(int size) {
  if (!SYSPORT_CHECK(size >= 0)) size = 0;
  if (size == m_defaultSize) return;
  m_defaultSize = size;
  GeometryChanged();
}

void CSimpleDiscreteItemViewModel::SetFlags(int flags) {
  if (flags == m_flags) return;
  m_flags = flags;
  ModelChanged.emit();
}

void CSimpleDiscreteItemViewModel::SetStartItem(int index) { SetViewStart(GetItemOffset(index)); }

void CSimpleDiscreteItemViewModel::GeometryChanged() {
  ModelChanged.emit();
  ApplyViewStart(m_viewStart);
}

std::pair<int, int> CSimpleDiscreteItemViewModel::GetViewAnchor() const {
  const int item = GetItemAt(m_viewStart);
  if (item < 0) return {-1, 0};
  return {item, m_viewStart - GetItemOffset(item)};
}

void CSimpleDiscreteItemViewModel::RestoreViewAnchor(std::pair<int, int> anchor,
                                                     const IIndexTranslator& translator) {
  if (anchor.first < 0) return;
  bool removed = false;
  const int item = translator.TranslateIndex(anchor.first, &removed);
  const int within = removed ? 0 : std::min(anchor.second, std::max(GetItemSize(item) - 1, 0));
  ApplyViewStart(Saturate(static_cast<long long>(GetItemOffset(item)) + within));
}

void CSimpleDiscreteItemViewModel::UpdateModelState(const IIndexTranslator& translator) {
  const std::pair<int, int> anchor = GetViewAnchor();
  ModelChanged.emit();
  RestoreViewAnchor(anchor, translator);
}

// ---- CItemSizeTree ----

int CItemSizeTree::NewNode(int index, int size) {
  // xorshift32: priorities only need to look random to keep the treap balanced.
  m_seed ^= m_seed << 13;
  m_seed ^= m_seed >> 17;
  m_seed ^= m_seed << 5;
  const node_t node{index, size, m_seed, -1, -1, 1, size};
  if (!m_free.empty()) {
    const int slot = m_free.back();
    m_free.pop_back();
    m_nodes[slot] = node;
    return slot;
  }
  m_nodes.push_back(node);
  return static_cast<int>(m_nodes.size()) - 1;
}

void CItemSizeTree::Pull(int node) {
  node_t& n = m_nodes[node];
  n.count = 1 + Count(n.left) + Count(n.right);
  n.sum = n.size + Sum(n.left) + Sum(n.right);
}

void CItemSizeTree::Split(int node, int index, int& left, int& right) {
  if (node < 0) {
    left = right = -1;
    return;
  }
  if (m_nodes[node].index < index) {
    int rest_left = -1;
    Split(m_nodes[node].right, index, rest_left, right);
    m_nodes[node].right = rest_left;
    left = node;
  } else {
    int rest_right = -1;
    Split(m_nodes[node].left, index, left, rest_right);
    m_nodes[node].left = rest_right;
    right = node;
  }
  Pull(node);
}

int CItemSizeTree::Merge(int left, int right) {
  if (left < 0) return right;
  if (right < 0) return left;
  if (m_nodes[left].priority > m_nodes[right].priority) {
    m_nodes[left].right = Merge(m_nodes[left].right, right);
    Pull(left);
    return left;
  }
  m_nodes[right].left = Merge(left, m_nodes[right].left);
  Pull(right);
  return right;
}

void CItemSizeTree::Release(int node) {
  if (node < 0) return;
  Release(m_nodes[node].left);
  Release(m_nodes[node].right);
  m_free.push_back(node);
}

bool CItemSizeTree::Find(int index, int& size) const {
  int node = m_root;
  while (node >= 0) {
    const node_t& n = m_nodes[node];
    if (n.index == index) {
      size = n.size;
      return true;
    }
    node = index < n.index ? n.left : n.right;
  }
  return false;
}

void CItemSizeTree::Set(int index, int size) {
  int left = -1, middle = -1, right = -1;
  Split(m_root, index, left, right);
  Split(right, index + 1, middle, right);
  if (middle < 0) {
    middle = NewNode(index, size);
  } else {
    m_nodes[middle].size = size;
    Pull(middle);
  }
  m_root = Merge(Merge(left, middle), right);
}

void CItemSizeTree::Erase(int index) {
  int left = -1, middle = -1, right = -1;
  Split(m_root, index, left, right);
  Split(right, index + 1, middle, right);
  Release(middle);
  m_root = Merge(left, right);
}

void CItemSizeTree::EraseFrom(int index) {
  int left = -1, right = -1;
  Split(m_root, index, left, right);
  Release(right);
  m_root = left;
}

void CItemSizeTree::Clear() {
  m_nodes.clear();
  m_free.clear();
  m_root = -1;
}

int CItemSizeTree::GetSize() const { return Count(m_root); }

void CItemSizeTree::CountBefore(int index, int& count, long long& sum) const {
  count = 0;
  sum = 0;
  int node = m_root;
  while (node >= 0) {
    const node_t& n = m_nodes[node];
    if (n.index < index) {
      count += Count(n.left) + 1;
      sum += Sum(n.left) + n.size;
      node = n.right;
    } else {
      node = n.left;
    }
  }
}

int CItemSizeTree::ItemAt(long long offset, int defaultSize, int count) const {
  long long before_count = 0;  // own-size items left of the current subtree
  long long before_sum = 0;
  int upper = count;  // lowest own-size index known to lie after the answer
  int node = m_root;
  while (node >= 0) {
    const node_t& n = m_nodes[node];
    const long long count_left = before_count + Count(n.left);
    const long long sum_left = before_sum + Sum(n.left);
    const long long start = (n.index - count_left) * defaultSize + sum_left;
    if (offset < start) {
      upper = n.index;
      node = n.left;
      continue;
    }
    if (offset < start + n.size) return n.index;
    before_count = count_left + 1;
    before_sum = sum_left + n.size;
    node = n.right;
  }
  // `offset` lies in a run of default-size items that follows `before_count` own-size ones.
  if (defaultSize <= 0) return std::min(upper, count - 1);
  const long long item = before_count + (offset - before_sum) / defaultSize;
  return static_cast<int>(std::min<long long>(item, upper - 1));
}

void CItemSizeTree::Collect(int node, std::vector<std::pair<int, int>>& out) const {
  if (node < 0) return;
  Collect(m_nodes[node].left, out);
  out.emplace_back(m_nodes[node].index, m_nodes[node].size);
  Collect(m_nodes[node].right, out);
}

std::vector<std::pair<int, int>> CItemSizeTree::GetItems() const {
  std::vector<std::pair<int, int>> out;
  out.reserve(static_cast<std::size_t>(GetSize()));
  Collect(m_root, out);
  return out;
}

int CItemSizeTree::Build(const std::vector<std::pair<int, int>>& items, int begin, int end) {
  if (begin >= end) return -1;
  const int middle = begin + (end - begin) / 2;
  const int node = NewNode(items[middle].first, items[middle].second);
  // A balanced build keeps the heap order when every parent outranks its children.
  const int left = Build(items, begin, middle);
  const int right = Build(items, middle + 1, end);
  m_nodes[node].left = left;
  m_nodes[node].right = right;
  const auto above = [this](int child) {
    return child < 0 ? 0u : m_nodes[child].priority + (m_nodes[child].priority < UINT32_MAX);
  };
  m_nodes[node].priority = std::max({m_nodes[node].priority, above(left), above(right)});
  Pull(node);
  return node;
}

void CItemSizeTree::Assign(const std::vector<std::pair<int, int>>& items) {
  Clear();
  m_nodes.reserve(items.size());
  m_root = Build(items, 0, static_cast<int>(items.size()));
}

// ---- CDefaultDiscreteItemViewModel ----

CDefaultDiscreteItemViewModel::CDefaultDiscreteItemViewModel(int defaultItemSize)
    : CSimpleDiscreteItemViewModel(defaultItemSize) {}

int CDefaultDiscreteItemViewModel::GetItemSize(int index) const {
  if (index < 0 || index >= m_count) return 0;
  int size = 0;
  return m_sizes.Find(index, size) ? size : m_defaultSize;
}

long long CDefaultDiscreteItemViewModel::Offset(int index) const {
  index = std::clamp(index, 0, m_count);
  int own = 0;
  long long own_sum = 0;
  m_sizes.CountBefore(index, own, own_sum);
  return static_cast<long long>(index - own) * m_defaultSize + own_sum;
}

int CDefaultDiscreteItemViewModel::GetItemOffset(int index) const {
  return Saturate(Offset(index));
}

int CDefaultDiscreteItemViewModel::GetTotalSize() const { return Saturate(Offset(m_count)); }

int CDefaultDiscreteItemViewModel::GetItemAt(int offset) const {
  if (offset < 0 || offset >= GetTotalSize()) return -1;
  return m_sizes.ItemAt(offset, m_defaultSize, m_count);
}

void CDefaultDiscreteItemViewModel::SetCount(int count) {
  if (!SYSPORT_CHECK(count >= 0)) count = 0;
  if (count < m_count) m_sizes.EraseFrom(count);
  CSimpleDiscreteItemViewModel::SetCount(count);
}

void CDefaultDiscreteItemViewModel::SetItemSize(int index, int size) {
  if (!SYSPORT_CHECK(size >= 0)) size = 0;
  if (index < 0 || index >= m_count || GetItemSize(index) == size) return;
  if (size == m_defaultSize) {
    m_sizes.Erase(index);
  } else {
    m_sizes.Set(index, size);
  }
  GeometryChanged();
}

void CDefaultDiscreteItemViewModel::ResetItemSizes() {
  if (m_sizes.GetSize() == 0) return;
  m_sizes.Clear();
  GeometryChanged();
}

void CDefaultDiscreteItemViewModel::SetItemSizes(const std::vector<int>& sizes) {
  std::vector<std::pair<int, int>> own;
  for (std::size_t i = 0; i < sizes.size(); ++i)
    if (sizes[i] != m_defaultSize) own.emplace_back(static_cast<int>(i), std::max(sizes[i], 0));
  m_sizes.Assign(own);
  m_count = static_cast<int>(sizes.size());
  GeometryChanged();
}

void CDefaultDiscreteItemViewModel::UpdateModelState(const IIndexTranslator& translator) {
  const std::pair<int, int> anchor = GetViewAnchor();
  std::vector<std::pair<int, int>> moved;
  for (const auto& [index, size] : m_sizes.GetItems()) {
    bool removed = false;
    const int target = translator.TranslateIndex(index, &removed);
    if (!removed && target >= 0 && target < m_count) moved.emplace_back(target, size);
  }
  // Later entries win when two items land on one index.
  std::stable_sort(moved.begin(), moved.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::pair<int, int>> unique;
  for (const auto& entry : moved) {
    if (!unique.empty() && unique.back().first == entry.first) {
      unique.back() = entry;
    } else {
      unique.push_back(entry);
    }
  }
  m_sizes.Assign(unique);
  ModelChanged.emit();
  RestoreViewAnchor(anchor, translator);
}

// ---- CPixelScrollModel ----

int CPixelScrollModel::GetTotal() const { return m_model ? m_model->GetTotalSize() : 0; }

void CPixelScrollModel::SetPosition(double position) {
  if (m_model == nullptr || !(position == position)) return;
  m_model->SetViewStart(static_cast<int>(std::clamp(position, 0.0, double(INT_MAX))));
}

double CPixelScrollModel::GetPosition() const { return m_model ? m_model->GetViewStart() : 0.0; }

int CPixelScrollModel::GetLineStep() const {
  const int size = m_model ? m_model->GetDefaultItemSize() : 0;
  return size > 0 ? size : IScrollModel::GetLineStep();
}

// ---- Utils ----

namespace Utils {

int HitTest(const IContinuousItemViewModel* model, int pos) {
  if (model == nullptr || pos < 0) return -1;
  const long long offset = static_cast<long long>(model->GetViewStart()) + pos;
  if (offset > INT_MAX) return -1;
  return model->GetItemAt(static_cast<int>(offset));
}

orrin7::range<int> GetItemIndexRangeEx(const IContinuousItemViewModel* model, int first, int last) {
  if (model == nullptr) return {0, 0};
  if (first > last) std::swap(first, last);
  const int count = model->GetCount();
  const int start = model->GetViewStart();
  const int from = model->GetItemOffset(std::clamp(first, 0, count)) - start;
  const int to = model->GetItemOffset(std::clamp(last + 1, 0, count)) - start;
  return {from, std::max(from, to)};
}

orrin7::range<int> GetItemIndexRange(const IContinuousItemViewModel* model, int index) {
  return GetItemIndexRangeEx(model, index, index);
}

orrin7::range<int> GetVisibleIndexRange(const IContinuousItemViewModel* model) {
  if (model == nullptr || model->GetViewSize() <= 0) return {-1, -1};
  const int first = HitTest(model, 0);
  if (first < 0) return {-1, -1};
  int last = HitTest(model, model->GetViewSize() - 1);
  if (last < 0) last = model->GetCount() - 1;
  return {first, last};
}

orrin7::range<int> GetWholeIndexRange(const IContinuousItemViewModel* model) {
  const orrin7::range<int> visible = GetVisibleIndexRange(model);
  if (visible.from < 0) return visible;
  int first = visible.from;
  int last = visible.to;
  if (GetItemIndexRange(model, first).from < 0) ++first;
  if (GetItemIndexRange(model, last).to > model->GetViewSize()) --last;
  if (first > last) return {-1, -1};
  return {first, last};
}

}  // namespace Utils

}  // namespace orrinfrw7
