// CRangeSelectionModel: range arithmetic for selecting, batching of notifications, and following
// index translators.
#include "orrinfrw7/selection_model.h"

#include <algorithm>
#include <climits>
#include <typeinfo>

namespace orrinfrw7 {
namespace {

// Above this many changed spans a batch reports their hull instead, so that one notification
// does not turn into thousands.
constexpr std::size_t kMaxReportedSpans = 64;

int ClampIndex(long long value) {
  return static_cast<int>(std::clamp<long long>(value, 0, INT_MAX));
}

}  // namespace

ISelectionModel::~ISelectionModel() = default;

void CRangeSelectionModel::SetCurrent(int item) {
  item = std::max(item, -1);
  if (item == m_current) return;
  if (!m_currentPending) {
    m_currentBefore = m_current;
    m_currentPending = true;
  }
  const int old = m_current;
  m_current = item;
  if (old >= 0) m_dirty.Add(old, old);
  if (item >= 0) m_dirty.Add(item, item);
  Flush();
}

void CRangeSelectionModel::SelectRange(int from, int to, bool selected) {
  const long long changed = selected ? m_selected.Add(from, to) : m_selected.Remove(from, to);
  if (changed == 0) return;
  m_dirty.Add(from, to);
  m_selectionChanged = true;
  Flush();
}

void CRangeSelectionModel::ClearSelection() {
  if (m_selected.IsEmpty()) return;
  for (const CRangeSet::range_t& r : m_selected.GetRanges()) m_dirty.Add(r.first, r.last);
  m_selected.Clear();
  m_selectionChanged = true;
  Flush();
}

void CRangeSelectionModel::EndUpdate() {
  if (m_batchDepth == 0) return;
  --m_batchDepth;
  Flush();
}

void CRangeSelectionModel::Flush() {
  if (m_batchDepth > 0) return;
  std::vector<CRangeSet::range_t> spans = m_dirty.GetRanges();
  if (spans.size() > kMaxReportedSpans) spans = {{spans.front().first, spans.back().last}};
  const bool selection_changed = m_selectionChanged;
  const bool current_changed = m_currentPending && m_currentBefore != m_current;
  const int current_before = m_currentBefore;
  m_dirty.Clear();
  m_selectionChanged = false;
  m_currentPending = false;
  for (const CRangeSet::range_t& span : spans) UpdateItems(span.first, span.last);
  if (selection_changed) SelectionChanged.emit();
  if (current_changed) CurrentChanged.emit(current_before, m_current);
}

void CRangeSelectionModel::UpdateModelState(const IIndexTranslator& translator) {
  CSelectionBatch batch(*this);
  for (const CRangeSet::range_t& r : m_selected.GetRanges()) m_dirty.Add(r.first, r.last);
  const long long count_before = m_selected.GetCount();
  const std::vector<CRangeSet::range_t> ranges_before = m_selected.GetRanges();
  if (typeid(translator) == typeid(CAddRemoveTranslator)) {
    TranslateByAddRemove(static_cast<const CAddRemoveTranslator&>(translator));
  } else {
    TranslateItemByItem(translator);
  }
  for (const CRangeSet::range_t& r : m_selected.GetRanges()) m_dirty.Add(r.first, r.last);
  if (m_selected.GetCount() != count_before) {
    m_selectionChanged = true;
  } else {
    const std::vector<CRangeSet::range_t> ranges_after = m_selected.GetRanges();
    m_selectionChanged |= !std::equal(
        ranges_before.begin(), ranges_before.end(), ranges_after.begin(), ranges_after.end(),
        [](const auto& a, const auto& b) { return a.first == b.first && a.last == b.last; });
  }
  if (m_current >= 0) SetCurrent(std::max(translator.TranslateIndex(m_current, nullptr), -1));
}

void CRangeSelectionModel::TranslateByAddRemove(const CAddRemoveTranslator& translator) {
  if (translator.delta == 0) return;
  const long long index = translator.index;
  const long long delta = translator.delta;
  // Items after the change start at `moved_from`; a removal drops index + 1 … index - delta.
  const long long moved_from = delta > 0 ? index + 1 : index + 1 - delta;
  CRangeSet result;
  for (const CRangeSet::range_t& r : m_selected.GetRanges()) {
    if (r.first <= index) result.Add(r.first, ClampIndex(std::min<long long>(r.last, index)));
    const long long first = std::max<long long>(r.first, moved_from);
    if (first <= r.last) result.Add(ClampIndex(first + delta), ClampIndex(r.last + delta));
  }
  m_selected = result;
}

void CRangeSelectionModel::TranslateItemByItem(const IIndexTranslator& translator) {
  CRangeSet result;
  for (const CRangeSet::range_t& r : m_selected.GetRanges()) {
    for (long long item = r.first; item <= r.last; ++item) {
      bool removed = false;
      const int target = translator.TranslateIndex(static_cast<int>(item), &removed);
      if (!removed && target >= 0) result.Add(target, target);
    }
  }
  m_selected = result;
}

}  // namespace orrinfrw7
