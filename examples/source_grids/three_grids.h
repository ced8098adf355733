// three_grids_t: a left metric grid, the source grid and a right metric grid built by hand side
// by side under one parent element, over one data model holding a small C program (or generated
// source-like lines) with a cell of every kind. The source_grids example shows it, its test finds
// cells through it and the grid benchmark repaints it.
#pragma once

#include <memory>
#include <string>

#include "orrinfrw7/header.h"
#include "orrinfrw7/visual_element.h"
#include "source_view4/data_model.h"
#include "source_view4/grid_element.h"
#include "source_view4/header_model.h"
#include "source_view4/hierarchical_data_model.h"
#include "source_view4/source_view_grid.h"

namespace source_grids {

// Model columns of the example's data; the source text is in source_view4::source_column.
enum column_id_t : unsigned int {
  line_column = 1,     // int: the line number
  count_column = 2,    // unsigned: how often the line ran (not set for lines that do not run)
  share_column = 3,    // fraction of the hottest line's count, drawn as a bar
  labels_column = 4,   // label list
  address_column = 5,  // 64-bit address of the line's code, in hexadecimal
  icons_column = 6,    // icon list: call, branch, never run
  scope_column = 7,    // range: the loops' brackets
  calls_column = 8,    // text: the function the line calls; a link for the program's own ones
};

// Images of the icon and label columns.
enum icon_t : int { icon_call = 0, icon_branch = 1, icon_cold = 2 };

// Rows of the program's first copy where the view shows one kind of cell. The one group of the
// view is expanded, so every view row shows the flat row of the same number.
struct landmarks_t {
  unsigned int hottest;       // highlighted; full bar, bold count, "hot" label, ranges start
  unsigned int half_share;    // a bar of about half the cell
  unsigned int never_run;     // count 0 with the disabled flag
  unsigned int group;         // the header of the expanded group
  unsigned int link;          // a call of the program's own function: a link
  unsigned int plain_call;    // a call of a library function: plain text
  unsigned int current_find;  // the current found item in the source
  unsigned int current;       // the selected current row (focus frame)
};

// One grid with its four elements: a header over the cells, the summary strip under them. The
// elements belong to the element tree; the header model is the region's own.
struct region_t {
  orrinfrw7::CVisualElement* panel = nullptr;
  orrinfrw7::CHeader* header = nullptr;
  source_view4::grid_element_t* cells = nullptr;
  source_view4::grid_element_t* summary = nullptr;
  std::unique_ptr<source_view4::header_model_t> header_model;
};

// The metric grid and the source grid with their model setters opened: the element that will
// arrange the grids sets the models through its friendship, the example does it through these.
class metric_grid_t : public source_view4::auxiliary_grid_t {
 public:
  using auxiliary_grid_t::auxiliary_grid_t;
  using source_view_grid_base_t::set_data_model;
  using source_view_grid_base_t::set_hierarchical_data_model;
};

class text_grid_t : public source_view4::source_grid_t {
 public:
  using source_grid_t::source_grid_t;
  using source_view_grid_base_t::set_data_model;
  using source_view_grid_base_t::set_hierarchical_data_model;
};

// The frame the source_grids example writes: the control's size in pixels and the first flat
// row it shows.
constexpr int example_width = 1500;
constexpr int example_height = 900;
constexpr unsigned int example_top_row = 9;

struct options_t {
  unsigned int rows = 400;
  // Source-like lines of 20 to 80 characters with tabs instead of the C program's text; every
  // other cell follows the program's lines all the same.
  bool generated_text = false;
  // The group over the program's print function, expanded.
  bool group = true;
};

// Builds the three regions under `parent` (left, right, then the centre taking the rest), the
// grids on them, fills the model and attaches it. The regions share one row view model and one
// selection model (the centre's), so they scroll and select together. The elements belong to
// `parent`'s tree; the object owns the grids, the header models and shares the models. Destroy it
// before or after the control, either way.
class three_grids_t {
 public:
  three_grids_t(orrinfrw7::CVisualElement* parent, const options_t& options);
  ~three_grids_t();
  three_grids_t(const three_grids_t&) = delete;
  three_grids_t& operator=(const three_grids_t&) = delete;

  // Once the control has attached the elements (CControl::CompleteAttach): headers and summary
  // strips as high as a row, the source column fitted to its longest line.
  void fit();

  static landmarks_t landmarks();
  // Lines of the C program; the model repeats them.
  static unsigned int program_lines();
  // The text of a generated source-like line (20 to 80 characters, tabs in front).
  static std::wstring generated_line(unsigned int row);

  const region_t& left() const { return m_left; }
  const region_t& centre() const { return m_centre; }
  const region_t& right() const { return m_right; }
  metric_grid_t& left_grid() { return *m_leftGrid; }
  text_grid_t& centre_grid() { return *m_centreGrid; }
  metric_grid_t& right_grid() { return *m_rightGrid; }
  utilkit2::smart_pointer_t<source_view4::data_model_t> model() const { return m_model; }
  utilkit2::smart_pointer_t<source_view4::hierarchical_data_model_t> groups() const {
    return m_groups;
  }
  // The shared row view model, in pixels.
  orrinfrw7::CSimpleDiscreteItemViewModel& rows() const;

 private:
  void build_regions(orrinfrw7::CVisualElement* parent);
  void configure_left();
  void configure_centre();
  void configure_right();
  void attach_models();

  options_t m_options;
  region_t m_left, m_centre, m_right;
  utilkit2::smart_pointer_t<source_view4::data_model_t> m_model;
  utilkit2::smart_pointer_t<source_view4::hierarchical_data_model_t> m_groups;
  std::unique_ptr<metric_grid_t> m_leftGrid;
  std::unique_ptr<text_grid_t> m_centreGrid;
  std::unique_ptr<metric_grid_t> m_rightGrid;
};

}  // namespace source_grids
