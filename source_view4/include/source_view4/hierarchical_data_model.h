// Hierarchical views over the flat data model: the shared row-state and mode enums, the abstract
// hierarchical_data_model_base_t the grids and painters consult, and its grouped and snippet
// models.
#pragma once

#include <map>

#include "source_view4/data_model.h"
#include "source_view4/export.h"
#include "source_view4/hierarchical_model.h"
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

// The item tree the grouped model is built on: one item per view row, carrying its flat row.
using flat_row_tree_t =
    orrinfrw7::CHierarchicalModel<orrinfrw7::IHierarchicalModel, unsigned int, std::allocator>;

// Groups of flat rows shown under header rows. The host declares groups (create_group) and
// rebuilds (update_hierarchy): every group becomes a collapsed header row (the group's first flat
// row) whose children are the following flat rows; other flat rows stay plain rows at level 0.
// The model owns its groups and item tree; it does not watch the flat model, so the host rebuilds
// after the flat rows change (which collapses every group again). Expanding and collapsing go
// through the row engine (ModelChanged with its translator), then hierarchy_updated fires.
class SOURCE_VIEW4_EXPORT hierarchical_data_model_t : public hierarchical_data_model_base_t,
                                                      public flat_row_tree_t {
 public:
  explicit hierarchical_data_model_t(
      const utilkit2::smart_pointer_t<data_model_base_t>& flat_model);
  hierarchical_data_model_t(const hierarchical_data_model_t& other);
  hierarchical_data_model_t& operator=(const hierarchical_data_model_t& other);
  ~hierarchical_data_model_t() override;

  // Declares flat rows first … last as a group headed by `first` (a second call for the same
  // first replaces its last). Shown after the next update_hierarchy. Always true.
  bool create_group(unsigned int first, unsigned int last) override;
  // Rebuilds the rows from the groups and the flat model, every group collapsed. A group always
  // has at least its first + 1 as child (even when last <= first), never reaches past the flat
  // model's last row otherwise, and ignores groups that start inside it. Without a flat model the
  // rows stay empty and nothing fires; if the flat model goes away during the rebuild, the rows
  // built so far stay and hierarchy_updated fires.
  void update_hierarchy() override;
  // Rows outside the list answer row_state_none.
  hierarchical_row_state_t get_row_hierarchical_state(unsigned int view_row) override;
  // Expands or collapses the row (row_state_none changes nothing); fires hierarchy_updated in
  // every case.
  void set_row_hierarchical_state(unsigned int view_row, hierarchical_row_state_t state) override;
  // 0 for headers and plain rows, 1 inside a group, 0 outside the list.
  int get_row_hierarchy_level(unsigned int view_row) const override;
  // The flat row shown at the view row; no_row outside the list.
  unsigned int get_flat_row_index(unsigned int view_row) const override;
  unsigned int get_row_count() const override;
  hierarchical_mode_t get_model_type() override;
  // Forgets the groups; the rows stay until the next update_hierarchy.
  void clear_hierarchy() override;
  // Groups have no default states: these do nothing, the state is always row_state_none.
  void set_default_expanded_row(unsigned int flat_row) override;
  void set_default_hierarchical_state(hierarchical_row_state_t state) override;
  hierarchical_row_state_t get_default_hierarchical_state() override;

 protected:
  std::map<unsigned int, unsigned int> groups;  // first flat row (header) -> last flat row

 private:
  SOURCE_VIEW4_LOCAL void add_items();
  SOURCE_VIEW4_LOCAL unsigned int add_group(unsigned int first, unsigned int last);
};

// Snippet rows: every flat row stays a view row of its own at level 0, and some are marked as
// snippet rows whose snippet is shown (expanded) or hidden (collapsed) beneath the row's line.
// The model keeps only those marks; it has no item tree. States may be stored for rows the flat
// model does not have: they are never asked for.
class SOURCE_VIEW4_EXPORT snippets_data_model_t : public hierarchical_data_model_base_t {
 public:
  explicit snippets_data_model_t(const utilkit2::smart_pointer_t<data_model_base_t>& flat_model);
  snippets_data_model_t(const snippets_data_model_t& other);
  snippets_data_model_t& operator=(const snippets_data_model_t& other);
  ~snippets_data_model_t() override;

  // Marks `row` as a snippet row: in default_state when it is the default expanded row,
  // collapsed otherwise. The second argument is not used. Fires row_state_updated (row).
  bool create_group(unsigned int row, unsigned int unused) override;
  // Fires hierarchy_updated so that the grids refresh.
  void update_hierarchy() override;
  hierarchical_row_state_t get_row_hierarchical_state(unsigned int row) override;
  // Stores the state (row_state_none too), then fires row_state_updated (row) and
  // hierarchy_updated.
  void set_row_hierarchical_state(unsigned int row, hierarchical_row_state_t state) override;
  int get_row_hierarchy_level(unsigned int row) const override;
  unsigned int get_flat_row_index(unsigned int row) const override;
  // The flat model's row count; 0 without one.
  unsigned int get_row_count() const override;
  hierarchical_mode_t get_model_type() override;
  // Forgets every mark, silently.
  void clear_hierarchy() override;
  // The two defaults apply to later create_group calls only.
  void set_default_expanded_row(unsigned int row) override;
  void set_default_hierarchical_state(hierarchical_row_state_t state) override;
  hierarchical_row_state_t get_default_hierarchical_state() override;

 protected:
  std::map<unsigned int, hierarchical_row_state_t> row_states;  // snippet rows by (flat) row
  hierarchical_row_state_t default_state = row_state_expanded;
  unsigned int default_expanded_row = 0;
};

}  // namespace source_view4
