// The snippet model: per flat row, whether it carries a snippet and whether the snippet is shown.
#include "source_view4/hierarchical_data_model.h"

namespace source_view4 {

snippets_data_model_t::snippets_data_model_t(
    const utilkit2::smart_pointer_t<data_model_base_t>& flat_model)
    : hierarchical_data_model_base_t(flat_model) {}

snippets_data_model_t::snippets_data_model_t(const snippets_data_model_t& other) = default;

snippets_data_model_t& snippets_data_model_t::operator=(const snippets_data_model_t& other) =
    default;

snippets_data_model_t::~snippets_data_model_t() = default;

bool snippets_data_model_t::create_group(unsigned int row, unsigned int /*unused*/) {
  row_states[row] = row == default_expanded_row ? default_state : row_state_collapsed;
  row_state_updated(row);
  return true;
}

void snippets_data_model_t::update_hierarchy() { hierarchy_updated(); }

hierarchical_row_state_t snippets_data_model_t::get_row_hierarchical_state(unsigned int row) {
  const auto found = row_states.find(row);
  return found == row_states.end() ? row_state_none : found->second;
}

void snippets_data_model_t::set_row_hierarchical_state(unsigned int row,
                                                       hierarchical_row_state_t state) {
  row_states[row] = state;
  row_state_updated(row);
  hierarchy_updated();
}

int snippets_data_model_t::get_row_hierarchy_level(unsigned int /*row*/) const { return 0; }

unsigned int snippets_data_model_t::get_flat_row_index(unsigned int row) const { return row; }

unsigned int snippets_data_model_t::get_row_count() const {
  return flat_model.is_empty() ? 0 : flat_model->get_row_count();
}

hierarchical_mode_t snippets_data_model_t::get_model_type() { return hierarchical_mode_snippets; }

void snippets_data_model_t::clear_hierarchy() { row_states.clear(); }

void snippets_data_model_t::set_default_expanded_row(unsigned int row) {
  default_expanded_row = row;
}

void snippets_data_model_t::set_default_hierarchical_state(hierarchical_row_state_t state) {
  default_state = state;
}

hierarchical_row_state_t snippets_data_model_t::get_default_hierarchical_state() {
  return default_state;
}

}  // namespace source_view4
