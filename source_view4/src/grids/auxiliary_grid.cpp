// auxiliary_grid_t: the metric grids' column sets with column groups, visibility and expansion.
#include <algorithm>
#include <string>

#include "source_view4/source_view_grid.h"
#include "sysport/debug.h"

namespace source_view4 {

namespace {

// Whether column `column` is a member of one of the groups.
bool is_group_member(const std::map<unsigned int, std::vector<unsigned int>>& groups,
                     unsigned int column) {
  return std::any_of(groups.begin(), groups.end(), [column](const auto& group) {
    const std::vector<unsigned int>& members = group.second;
    return std::find(members.begin(), members.end(), column) != members.end();
  });
}

}  // namespace

auxiliary_grid_t::auxiliary_grid_t(orrinfrw7::CHeader* header, header_model_t* header_model,
                                   grid_element_t* cells, grid_element_t* summary)
    : source_view_grid_base_t(header, header_model, cells, summary) {
  set_columns({}, {});
}

void auxiliary_grid_t::give_default_painters(unsigned int column) {
  columns[column].painter.reset(new column_painters::text_painter_t());
  columns[column].summary_painter.reset(new column_painters::summary_text_painter_t());
}

void auxiliary_grid_t::number_captions(unsigned int count) {
  for (unsigned int i = 0; i < count; ++i) set_caption(i, L"Column" + std::to_wstring(i + 1));
}

void auxiliary_grid_t::set_columns(
    const std::vector<unsigned int>& data_ids,
    const std::map<unsigned int, std::vector<unsigned int>>& groups) {
  if (!header_model) {
    ::SYSPORT_2_18::debug::_private::assertion_failed(
        "false", "vcs\\source_view4\\src\\auxiliary_grid", 56,
        "source_view4::auxiliary_grid_t::set_columns");
    return;
  }
  const unsigned int count = unsigned(data_ids.size());
  header_model->clear_items();
  header_model->resize_columns(count);
  columns_changed.emit(count != 0);
  columns.resize(count);
  for (unsigned int i = 0; i < count; ++i) {
    give_default_painters(i);
    columns[i].data_id = data_ids[i];
    header_model->column_at(i)->model_index = int(i);
  }
  number_captions(count);

  int levels = 1;
  for (unsigned int i = 0; i < count; ++i) {
    const auto group = groups.find(i);
    if (group != groups.end()) {
      header_model->add_group(i, group->second);
      header_model->column_at(i)->expansion_state = orrinfrw7::HE_Expanded;
      levels = 2;
    } else if (!is_group_member(groups, i)) {
      header_model->add_item(i);
    }
  }
  header_levels_changed.emit(levels);
  header_model->notify_changed();
}

// Starts from an empty item list, as set_columns does, so that every item the header reads
// stands for a column that exists; each column is a plain top-level item afterwards. Model
// indexes are renumbered so that the header maps each column back to its own record.
void auxiliary_grid_t::set_column_count(unsigned int n) {
  if (!SYSPORT_CHECK(header_model != nullptr)) return;
  header_model->clear_items();
  header_model->resize_columns(n);
  columns_changed.emit(n != 0);
  const unsigned int old_count = unsigned(columns.size());
  columns.resize(n);
  for (unsigned int i = old_count; i < n; ++i) {
    give_default_painters(i);
    columns[i].data_id = no_data;
  }
  if (n > 0) {
    number_captions(n);
    for (unsigned int i = 0; i < n; ++i) {
      header_model->column_at(i)->model_index = int(i);
      header_model->add_item(i);
    }
  }
  header_levels_changed.emit(1);
  header_model->notify_changed();
}

void auxiliary_grid_t::set_column_data_id(unsigned int column, unsigned int data_id) {
  columns[column].data_id = data_id;
}

void auxiliary_grid_t::set_column_visible(unsigned int column, bool visible) {
  header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  if (!description) return;
  description->visible = visible;
  header_model->notify_changed();
}

bool auxiliary_grid_t::get_column_visible(unsigned int column) {
  const header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  return description && description->visible;
}

void auxiliary_grid_t::set_column_expanded(unsigned int column, bool expanded) {
  header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  if (!description) return;
  description->expansion_state = expanded ? orrinfrw7::HE_Expanded : orrinfrw7::HE_Collapsed;
  header_model->notify_changed();
}

bool auxiliary_grid_t::get_column_expanded(unsigned int column) {
  const header_column_t* description = header_model ? header_model->column_at(column) : nullptr;
  return description && description->expansion_state == orrinfrw7::HE_Expanded;
}

}  // namespace source_view4
