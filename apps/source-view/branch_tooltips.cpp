// The branch column's tooltips, made from the label list of the cell under the pointer.
#include "branch_tooltips.h"

#include "view_data.h"

namespace source_view_app {

namespace {

// What one label says: its image tells the branch's state, its text the count when taken.
std::wstring branch_state(int image, const std::wstring& count) {
  switch (image) {
    case image_taken:
      return L"taken " + count + (count == L"1" ? L" time" : L" times");
    case image_not_taken:
      return L"not taken";
    case image_never_executed:
      return L"never executed";
    default:
      return count;
  }
}

}  // namespace

std::wstring branch_tooltip_text(const source_view4::cell_value_t& value) {
  const auto* labels = boost::get<source_view4::label_list_t>(&value);
  if (!labels) return std::wstring();
  std::size_t n = std::min(labels->texts.size(), labels->image_indexes.size());
  std::wstring text;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) text += L"\n";
    text += L"branch " + std::to_wstring(i) + L": " +
            branch_state(labels->image_indexes[i], labels->texts[i]);
  }
  return text;
}

std::wstring branch_tooltip_model_t::GetTooltipText(int row, int column) {
  orrinfrw7::CHeader* header = m_grid.get_header_element();
  int model_column = header ? header->VisibleIndex2ModelIndex(column) : column;
  auto data = m_grid.get_data_model();
  if (row < 0 || model_column < 0 || unsigned(model_column) >= m_grid.get_column_count() || !data ||
      m_grid.get_column_data_id(unsigned(model_column)) != branches_id)
    return std::wstring();
  // The grid's rows are view rows when a hierarchy is shown; the model holds flat rows.
  unsigned flat_row = unsigned(row);
  if (auto hierarchy = m_grid.get_hierarchical_data_model()) {
    if (flat_row >= hierarchy->get_row_count()) return std::wstring();
    flat_row = hierarchy->get_flat_row_index(flat_row);
  }
  if (flat_row >= data->get_row_count()) return std::wstring();
  return branch_tooltip_text(data->get_data(flat_row, branches_id));
}

}  // namespace source_view_app
