// Hierarchical views over the flat data model: the shared row-state and mode enums, the abstract
// hierarchical_data_model_base_t the grids and painters consult, and its grouped and snippet
// models.
#pragma once

#include "source_view4/data_model.h"
#include "source_view4/export.h"
#include "utilkit2/signal.h"
#include "utilkit2/smart_pointer.h"

namespace source_view4 {

// State of a visible row as grids and painters see it; any state but none draws a button.
enum hierarchical_row_state_t : unsigned int {
  row_state_none = 0,       // a plain row: no button
  row_state_expanded = 1,   // group open, snippet shown
  row_state_collapsed = 2,  // group closed, snippet hidden
};

// Kind of hierarchical model a grid shows.
enum hierarchical_mode_t : unsigned int {
  hierarchical_mode_none = 0,      // flat rows, no hierarchical model
  hierarchical_mode_groups = 1,    // hierarchical_data_model_t
  hierarchical_mode_snippets = 2,  // snippets_data_model_t
};

// A view of a flat model as visible rows (view rows) that the grids map to flat rows. It shares
// the flat model through a smart pointer (which may be empty) and owns nothing else of the grids.
// hierarchy_updated asks listeners for a full refresh, row_state_updated (view row) for that row
// alone. Being a subscriber, the connections it makes end when it is destroyed.
class SOURCE_VIEW4_EXPORT hierarchical_data_model_base_t
    : public utilkit2::_internal::subscriber_base_t {
 public:
  explicit hierarchical_data_model_base_t(
      const utilkit2::smart_pointer_t<data_model_base_t>& flat_model);
  // Copies share the flat model and copy the connections of both signals.
  hierarchical_data_model_base_t(const hierarchical_data_model_base_t& other);
  hierarchical_data_model_base_t& operator=(const hierarchical_data_model_base_t& other);
  ~hierarchical_data_model_base_t() override;

  virtual bool create_group(unsigned int first, unsigned int last) = 0;
  virtual void update_hierarchy() = 0;
  virtual hierarchical_row_state_t get_row_hierarchical_state(unsigned int view_row) = 0;
  virtual void set_row_hierarchical_state(unsigned int view_row,
                                          hierarchical_row_state_t state) = 0;
  virtual int get_row_hierarchy_level(unsigned int view_row) const = 0;
  virtual unsigned int get_flat_row_index(unsigned int view_row) const = 0;
  virtual unsigned int get_row_count() const = 0;  // view rows
  virtual hierarchical_mode_t get_model_type() = 0;
  virtual void clear_hierarchy() = 0;
  virtual void set_default_expanded_row(unsigned int flat_row) = 0;
  virtual void set_default_hierarchical_state(hierarchical_row_state_t state) = 0;
  virtual hierarchical_row_state_t get_default_hierarchical_state() = 0;

  // Replaces the flat model, letting go of the old one.
  void set_flat_data_model(const utilkit2::smart_pointer_t<data_model_base_t>& model);
  utilkit2::smart_pointer_t<data_model_base_t> get_flat_data_model() const;

  utilkit2::signal_t<> hierarchy_updated;              // every view row may have changed
  utilkit2::signal_t<unsigned int> row_state_updated;  // (view row) changed its state

 protected:
  utilkit2::smart_pointer_t<data_model_base_t> flat_model;
};

}  // namespace source_view4
