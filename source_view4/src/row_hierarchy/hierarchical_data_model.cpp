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
