// source_view_element_t: the element a host puts in its window: the layout with its three grids,
// the data model they share, the hierarchical modes, rows and selection, keys, and the text
// export to the clipboard.
#pragma once

#include <string>
#include <vector>

#include "orrin7/types.h"
#include "source_view4/base_painter.h"
#include "source_view4/data_model.h"
#include "source_view4/export.h"
#include "source_view4/group_painter.h"
#include "source_view4/hierarchical_data_model.h"
#include "source_view4/source_view_grid.h"
#include "source_view4/source_view_layout.h"
#include "utilkit2/signal.h"
#include "utilkit2/smart_pointer.h"

namespace source_view4 {

// The element owns its three grids, and shares the data model, the hierarchical model and the
// link and group painters with them through smart pointers; the visual elements belong to the
// layout's element tree. Until the element is attached to a control it has no data model: init
// (run by AfterSetControl) creates a data_model_t, the link painter (the text font underlined, in
// opaque blue) and the group painter. Hosts subscribe to the six signals below in one place.
//
// Rows are the rows the grids show: flat rows, or view rows of the hierarchical model in grouped
// and snippet modes. The selection is one set of row ranges shared by the three grids.
class SOURCE_VIEW4_EXPORT source_view_element_t : public source_view_layout_t {
 public:
  source_view_element_t(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                        orrinfrw7::Alignment alignment);
  ~source_view_element_t() override;

  utilkit2::signal_t<unsigned int> link_clicked;
  utilkit2::signal_t<> selection_changed;
  utilkit2::signal_t<unsigned int, unsigned int> column_moved;
  // (x, y in control pixels, row, data id)
  utilkit2::signal_t<int, int, unsigned int, unsigned int> cell_clicked;
  // (x, y in control pixels, data id)
  utilkit2::signal_t<int, int, unsigned int> header_context_menu;
  utilkit2::signal_t<int, int, unsigned int, unsigned int> cell_double_clicked;

  // ---- grids and models ----
  utilkit2::smart_pointer_t<auxiliary_grid_t> get_left_grid();
  utilkit2::smart_pointer_t<auxiliary_grid_t> get_right_grid();
  utilkit2::smart_pointer_t<source_grid_t> get_center_grid();
  // Shares `model` with the grids and the navigation strip, then emits its model_updated.
  void set_custom_data_model(utilkit2::smart_pointer_t<data_model_base_t> model);
  utilkit2::smart_pointer_t<data_model_base_t> get_custom_data_model();
  // The custom model as a data_model_t; empty when it is of another class.
  utilkit2::smart_pointer_t<data_model_t> get_data_model();
  utilkit2::smart_pointer_t<const data_model_t> get_data_model() const;
  utilkit2::smart_pointer_t<hierarchical_data_model_base_t> get_hierarchical_data_model();
  // Flat, groups or snippets. A hierarchical model is made once, for the first of groups or
  // snippets chosen while a data model exists, and kept until flat mode drops it.
  void set_hierarchical_mode(hierarchical_mode_t mode);
  hierarchical_mode_t get_hierarchical_mode() const { return hierarchical_mode; }

  // ---- regions and appearance ----
  void set_navigation_region_visible(bool visible);
  bool get_navigation_region_visible() const;
  void set_summary_region_visible(bool visible);
  bool get_summary_region_visible() const;
  void set_header_visible(bool visible);
  bool get_header_visible() const;
  // Where the right region begins, pixels from the element's left edge.
  void set_splitter_pos(int pos);
  int get_splitter_pos() const;
  void set_empty_area_color(const orrin7::_color& color);
  orrin7::_color get_empty_area_color() const;
  void enable_ending_grid_lines_drawing(bool enable);

  // ---- rows and selection ----
  void set_top_row(unsigned int row);
  unsigned int get_top_row() const;
  void set_center_row(unsigned int row);
  unsigned int get_center_row() const;
  bool is_row_visible(unsigned int row) const;
  void set_focus_row(unsigned int row);
  // no_row when there is no current row.
  unsigned int get_focus_row() const;
  void set_selection(unsigned int row, bool selected);
  void set_selection(const std::vector<unsigned int>& rows, bool selected);
  bool get_selection(unsigned int row) const;
  // The selected rows in ascending order.
  std::vector<unsigned int> get_selection() const;
  void clear_selection();
  // Every row, as one range.
  void select_all();

  // ---- text export ----
  // The rows (model rows, in the order given) as tab-separated lines after the caption line,
  // onto the clipboard.
  void copy_to_clipboard(const std::vector<unsigned int>& rows) const;
  // Every row onto the clipboard.
  void copy_to_clipboard() const;

 protected:
  void on_key_down(orrinfrw7::CVisualElement* element, int modifiers, int key);
  void on_header_levels_changed(int levels);
  void on_calculate_row_height(int& height);
  void on_left_grid_visibility_changed(bool visible);
  void on_right_grid_visibility_changed(bool visible);
  void init();

  // Keys that reach the element itself (while it holds the focus for its parts) get the same
  // shortcuts as keys in its grids.
  bool HandleKeyDown(const orrinfrw7::CKeyEvent& event) override;
  void AfterSetControl() override;
  void SysColorsChanged() override;
  // The layout's sizing, then the headers back to the common height of the deepest header.
  void AttributeChanged() override;

  // ---- text export ----
  std::wstring get_header_line_text() const;
  void get_full_line_text(unsigned int row, std::wstring& text) const;
  std::wstring HandleAsString() const override;
  bool HandleCopyToClipboard() const override;
  bool IsCopyToClipboardEnabled() const override;

 private:
  void wire_grid(source_view_grid_base_t& grid);
  void apply_header_height();
  void on_selection_changed();
  // The rows as text: the caption line when the headers show, then a line per row, then CR LF.
  std::wstring export_rows(const std::vector<unsigned int>& rows) const;
  void put_on_clipboard(std::wstring&& text) const;
  bool cells_have_focus() const;
  orrinfrw7::ISelectionModel* selection() const;
  orrinfrw7::CDefaultDiscreteItemViewModel* rows() const;
  // The grids in export order: left, center, right.
  std::vector<const source_view_grid_base_t*> export_grids() const;
  std::vector<source_view_grid_base_t*> all_grids();

  utilkit2::smart_pointer_t<auxiliary_grid_t> left_grid;
  utilkit2::smart_pointer_t<auxiliary_grid_t> right_grid;
  utilkit2::smart_pointer_t<source_grid_t> center_grid;
  utilkit2::smart_pointer_t<data_model_base_t> custom_model;
  utilkit2::smart_pointer_t<hierarchical_data_model_base_t> hierarchical_model;
  utilkit2::smart_pointer_t<column_painters::base_painter_t> link_painter;
  utilkit2::smart_pointer_t<column_painters::group_painter_t> group_painter;
  int header_levels = 0;
  hierarchical_mode_t hierarchical_mode = hierarchical_mode_none;
  // The selection model the three cells share, kept while connected to it.
  utilkit2::smart_pointer_t<orrinfrw7::ISelectionModel> shared_selection;
};

}  // namespace source_view4
