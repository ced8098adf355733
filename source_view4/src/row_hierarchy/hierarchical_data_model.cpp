// The hierarchical data models: the shared base with its flat model link.
#include "source_view4/hierarchical_data_model.h"

namespace source_view4 {

hierarchical_data_model_base_t::hierarchical_data_model_base_t(
    const utilkit2::smart_pointer_t<data_model_base_t>& flat_model)
    : flat_model(flat_model) {}

hierarchical_data_model_base_t::hierarchical_data_model_base_t(
    const hierarchical_data_model_base_t& other) = default;

hierarchical_data_model_base_t& hierarchical_data_model_base_t::operator=(
    const hierarchical_data_model_base_t& other) = default;

hierarchical_data_model_base_t::~hierarchical_data_model_base_t() = default;

void hierarchical_data_model_base_t::set_flat_data_model(
    const utilkit2::smart_pointer_t<data_model_base_t>& model) {
  flat_model = model;
}

utilkit2::smart_pointer_t<data_model_base_t> hierarchical_data_model_base_t::get_flat_data_model()
    const {
  return flat_model;
}

}  // namespace source_view4

namespace source_view4 {

namespace {

hierarchical_row_state_t to_row_state(orrinfrw7::IHierarchicalModel::RowState state) {
  switch (state) {
    case orrinfrw7::IHierarchicalModel::Collapsed:
      return row_state_collapsed;
    case orrinfrw7::IHierarchicalModel::Expanded:
      return row_state_expanded;
    case orrinfrw7::IHierarchicalModel::NoChildren:
      break;
  }
  return row_state_none;
}

}  // namespace

hierarchical_data_model_t::hierarchical_data_model_t(
    const utilkit2::smart_pointer_t<data_model_base_t>& flat_model)
    : hierarchical_data_model_base_t(flat_model) {}

hierarchical_data_model_t::hierarchical_data_model_t(const hierarchical_data_model_t& other) =
    default;

hierarchical_data_model_t& hierarchical_data_model_t::operator=(
    const hierarchical_data_model_t& other) = default;

hierarchical_data_model_t::~hierarchical_data_model_t() = default;

bool hierarchical_data_model_t::create_group(unsigned int first, unsigned int last) {
  groups[first] = last;
  return true;
}

void hierarchical_data_model_t::update_hierarchy() {
  Clear();
  if (flat_model.is_empty()) return;
  try {
    add_items();
  } catch (const utilkit2::null_pointer_error&) {
    // The flat model pointer was emptied while the rows were built (its assertion has reported
    // it); the rows built so far are consistent and stay.
  }
  hierarchy_updated();
}

// One item per flat row, in flat order, asking the flat model for its row count on every pass.
// The groups are visited in key order alongside the rows, so the rebuild is linear.
void hierarchical_data_model_t::add_items() {
  auto group = groups.cbegin();
  unsigned int flat_row = 0;
  while (flat_row < flat_model->get_row_count()) {
    while (group != groups.cend() && group->first < flat_row) ++group;
    if (group == groups.cend() || group->first != flat_row) {
      AddItem(flat_row, /*hasChildren=*/false, GropItem);
      ++flat_row;
      continue;
    }
    flat_row = add_group(flat_row, group->second) + 1;
  }
}

// Adds the header item of a group and its children; answers the last flat row it took.
unsigned int hierarchical_data_model_t::add_group(unsigned int first, unsigned int last) {
  AddItem(first, /*hasChildren=*/true, GropOpenCollapsed);
  unsigned int flat_row = first;
  do {
    ++flat_row;
    AddItem(flat_row, /*hasChildren=*/false, GropItem);
  } while (flat_row < last && flat_row + 1 < flat_model->get_row_count());
  CloseGroup();
  return flat_row;
}

hierarchical_row_state_t hierarchical_data_model_t::get_row_hierarchical_state(
    unsigned int view_row) {
  return to_row_state(GetRowState(static_cast<int>(view_row)));
}

void hierarchical_data_model_t::set_row_hierarchical_state(unsigned int view_row,
                                                           hierarchical_row_state_t state) {
  if (state == row_state_collapsed) OnExpandRow(static_cast<int>(view_row), /*expand=*/false);
  if (state == row_state_expanded) OnExpandRow(static_cast<int>(view_row), /*expand=*/true);
  hierarchy_updated();
}

int hierarchical_data_model_t::get_row_hierarchy_level(unsigned int view_row) const {
  return GetRowLevel(static_cast<int>(view_row));
}

unsigned int hierarchical_data_model_t::get_flat_row_index(unsigned int view_row) const {
  const CHierarchicalItem* item = GetItemByRow(static_cast<int>(view_row));
  return item != nullptr ? item->data : no_row;
}

unsigned int hierarchical_data_model_t::get_row_count() const {
  return static_cast<unsigned int>(GetRowCount());
}

hierarchical_mode_t hierarchical_data_model_t::get_model_type() { return hierarchical_mode_groups; }

void hierarchical_data_model_t::clear_hierarchy() { groups.clear(); }

void hierarchical_data_model_t::set_default_expanded_row(unsigned int /*flat_row*/) {}

void hierarchical_data_model_t::set_default_hierarchical_state(hierarchical_row_state_t /*state*/) {
}

hierarchical_row_state_t hierarchical_data_model_t::get_default_hierarchical_state() {
  return row_state_none;
}

}  // namespace source_view4
