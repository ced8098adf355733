// The column grids of the source view: source_view_grid_base_t (column records, widths, the
// data-model attachment, cell drawing dispatch and pointer handling), the metric grids
// (auxiliary_grid_t) and the source text grid (source_grid_t).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/header.h"
#include "orrinfrw7/item_view_model.h"
#include "orringrid8/tooltip_model.h"
#include "source_view4/base_painter.h"
#include "source_view4/data_model.h"
#include "source_view4/export.h"
#include "source_view4/grid_element.h"
#include "source_view4/group_painter.h"
#include "source_view4/header_model.h"
#include "source_view4/hierarchical_data_model.h"
#include "source_view4/summary_text_painter.h"
#include "source_view4/text_painter.h"
#include "utilkit2/signal.h"
#include "utilkit2/smart_pointer.h"

namespace source_view4 {

class source_view_element_t;

// One column of a grid: who paints its cells and its summary cell, and which model column it
// shows (no_data: none, source_column, snippet_column or a host column id).
struct column_record_t {
  utilkit2::smart_pointer_t<column_painters::base_painter_t> painter;
  utilkit2::smart_pointer_t<column_painters::base_painter_t> summary_painter;
  unsigned int data_id = 0xFFFFFFFF;
};

// Data id of a column that shows nothing: its cells are not drawn at all.
constexpr unsigned int no_data = 0xFFFFFFFF;

// A grid ties together four objects it does not own (the layout that creates them does): a
// column header, the header model feeding it, the grid element showing the rows and the grid
// element showing the summary strip. It keeps one column record per model column (the header
// model holds as many descriptions), reads the data model it shares, optionally through a
// hierarchical model it shares too, and answers the drawing and pointer signals of its two
// elements. Painters and models are shared through smart pointers.
//
// Indexes: operations taking a column take a model column index (a position in the header
// model); the elements report cells by column position on screen (the header's visible order),
// which the grid translates with the header's VisibleIndex2ModelIndex wherever it reads a column
// record, so that a reordered or partly hidden header still addresses the column the user sees.
// Rows the elements report are grid rows: flat rows, or view rows of the hierarchical model.
// Lookups of the flat model that belong to the row on screen (links, their texts, cell flags)
// use the flat row the grid row shows; fitting a width measures the flat rows themselves.
class SOURCE_VIEW4_EXPORT source_view_grid_base_t
    : public utilkit2::_internal::subscriber_base_t,
      public orrinfrw7::CDefaultDiscreteItemViewModel {
 public:
  source_view_grid_base_t(orrinfrw7::CHeader* header, header_model_t* header_model,
                          grid_element_t* cells, grid_element_t* summary);
  source_view_grid_base_t(const source_view_grid_base_t& other);
  source_view_grid_base_t& operator=(const source_view_grid_base_t& other);
  ~source_view_grid_base_t() override;

  // (new state): a group row was expanded or collapsed with its button.
  utilkit2::signal_t<hierarchical_row_state_t> group_state_changed;
  // (has columns): a metric grid rebuilt its column set.
  utilkit2::signal_t<bool> columns_changed;
  // (link id): a click with the first button on a link.
  utilkit2::signal_t<unsigned int> link_clicked;
  // (x, y in control pixels, grid row, data id): a click with button 3 on a cell.
  utilkit2::signal_t<int, int, unsigned int, unsigned int> cell_clicked;
  // (x, y in control pixels, data id): the header asked for a context menu over a column.
  utilkit2::signal_t<int, int, unsigned int> header_context_menu;
  // (x, y in control pixels, grid row, data id): a double click with the first button.
  utilkit2::signal_t<int, int, unsigned int, unsigned int> cell_double_clicked;
  // (from, to): move_column moved a column record.
  utilkit2::signal_t<unsigned int, unsigned int> column_moved;
  // (levels): 1 for a flat header, 2 when column groups exist.
  utilkit2::signal_t<int> header_levels_changed;

  // ---- column model ----
  unsigned int get_column_count() const;
  // Unchecked: column must be below the column count.
  unsigned int get_column_data_id(unsigned int column) const;
  void set_column_painter(unsigned int column,
                          utilkit2::smart_pointer_t<column_painters::base_painter_t> painter);
  utilkit2::smart_pointer_t<column_painters::base_painter_t> get_column_painter(
      unsigned int column);
  void set_column_summary_painter(
      unsigned int column, utilkit2::smart_pointer_t<column_painters::base_painter_t> painter);
  utilkit2::smart_pointer_t<column_painters::base_painter_t> get_column_summary_painter(
      unsigned int column);
  // Empty / false when the column has no header description.
  std::wstring get_caption(unsigned int column);
  bool set_caption(unsigned int column, const std::wstring& caption);
  std::wstring get_header_tooltip(unsigned int column);
  bool set_header_tooltip(unsigned int column, const std::wstring& tooltip);
  // Pixels, as the cells element's column view model holds them.
  int get_column_width(unsigned int column) const;
  // Pixels, or -1 (fit the longest text, and the summary, with a fifth to spare) or -2 (fit
  // every row exactly, the summary with a fifth to spare). Source and snippet columns get half
  // their width again, at most 500 pixels, so that lines longer than the measured one fit.
  void set_column_width(unsigned int column, int width);
  // Moves the record at `from` in front of the record that was at `to` (to the end for the
  // column count).
  void move_column(unsigned int from, unsigned int to);
  void set_link_painter(utilkit2::smart_pointer_t<column_painters::base_painter_t> painter);
  void set_group_painter(utilkit2::smart_pointer_t<column_painters::group_painter_t> painter);
  // Only the last row gets a horizontal grid line (and the line under it closes the rows).
  void enable_ending_grid_hlines(bool enable);
  // Every column but the last gets a vertical grid line.
  void enable_ending_grid_vlines(bool enable);
  // The focus frame of the current row gets its left edge in column 0, its right edge in the
  // last column.
  void set_draw_left_focus_rect(bool draw);
  void set_draw_right_focus_rect(bool draw);
  // Takes the palette colours again in every column's painter and summary painter.
  void update_colors();
  void set_tooltip_model(orringrid8::ITooltipModel* model);

  // ---- elements and sizes ----
  grid_element_t* get_grid_element() const;
  orrinfrw7::CHeader* get_header_element() const;
  grid_element_t* get_summary_element() const { return summary_element; }
  header_model_t* get_header_model() const { return header_model; }
  int get_grid_height() const;
  int get_grid_width() const;
  // Pixels of a grid row: an expanded snippet row is as tall as its snippet, every other row has
  // the default height.
  int get_item_size(int row);
  int get_default_item_size() const;

  utilkit2::smart_pointer_t<data_model_base_t> get_data_model() const { return data_model; }
  utilkit2::smart_pointer_t<hierarchical_data_model_base_t> get_hierarchical_data_model() const {
    return hierarchical_model;
  }

  // ---- drawing dispatch and pointer queries ----
  // The painter of a cell (grid row, model column): the link painter for a cell with a link, the
  // column painter for the snippet column, the group painter for a group row, else the column
  // painter.
  utilkit2::smart_pointer_t<column_painters::base_painter_t> find_cell_painter(unsigned int row,
                                                                               unsigned int column);
  // The link whose text lies under cell-relative (x, y) of the cell at (grid row, column
  // position); no_link when none.
  unsigned int get_link_from_point(int row, int column, int x, int y);

 protected:
  friend class source_view_element_t;

  void set_data_model(utilkit2::smart_pointer_t<data_model_base_t> model);
  virtual void set_hierarchical_data_model(
      utilkit2::smart_pointer_t<hierarchical_data_model_base_t> model, bool show_group_button);

  // Data model and hierarchical model listeners.
  void on_data_model_updated();
  void on_data_updated(unsigned int id, unsigned int row);
  void on_data_summary_updated();
  void on_row_hierarchical_state_updated(unsigned int row);

  // Drawing: (surface, grid row, column position, state word, cell rectangle).
  void on_draw_cell(orrin7::IPainter* surface, unsigned int row, unsigned int visible_column,
                    int state, const orrin7::rectangle<double>& rect);
  void on_draw_summary_cell(orrin7::IPainter* surface, unsigned int row,
                            unsigned int visible_column, int state,
                            const orrin7::rectangle<double>& rect);
  // (grid row, model column, record).
  void on_draw_normal_cell(unsigned int row, unsigned int column,
                           const column_painters::draw_cell_params_t& params);
  void on_draw_hierarchical_cell(unsigned int row, unsigned int column,
                                 const column_painters::draw_cell_params_t& params);

  // Pointer: (grid row, column position, cell-relative x, y, modifiers, button).
  void on_grid_mouse_move(int row, int column, int x, int y, int modifiers,
                          orrin7::MouseButton button);
  void on_grid_mouse_down(int row, int column, int x, int y, int modifiers,
                          orrin7::MouseButton button);
  void on_grid_mouse_click(int row, int column, int x, int y, int modifiers,
                           orrin7::MouseButton button);
  void on_grid_mouse_dblclick(int row, int column, int x, int y, int modifiers,
                              orrin7::MouseButton button);
  void on_grid_cell_mouse_leave(int row, int column);
  // Reordering the records is move_column's, which the host calls: a header drag moves nothing
  // here.
  void on_column_moved(orrinfrw7::CHeader* header, orrinfrw7::IHeaderItem* item, int from, int to);
  void on_header_context_menu(orrinfrw7::CVisualElement* element, int x, int y);
  void on_header_fit_requested(orrinfrw7::CHeader* header, orrinfrw7::IHeaderItem* item);

  // The control's drawing surface behind the cells element; null when there is none.
  orrin7::IPainter* get_surface() const;
  // The model column shown at a column position of the cells element (-1 outside).
  int model_column_at(int visible_column) const;
  // The painter of a cell whose group state is read at `row` and whose link at `flat_row`: the
  // drawing passes a grid row and the flat row it shows, measuring a flat row twice.
  utilkit2::smart_pointer_t<column_painters::base_painter_t> choose_painter(unsigned int row,
                                                                            unsigned int flat_row,
                                                                            unsigned int column);
  // The flat row a grid row shows (itself without a hierarchical model).
  unsigned int flat_row_of(unsigned int row) const;
  int row_line_height() const;

  orrinfrw7::CHeader* header;            // not owned
  header_model_t* header_model;          // not owned
  grid_element_t* cells_element;         // not owned
  grid_element_t* summary_element;       // not owned
  std::vector<column_record_t> columns;  // by model column index
  utilkit2::smart_pointer_t<data_model_base_t> data_model;
  utilkit2::smart_pointer_t<hierarchical_data_model_base_t> hierarchical_model;
  utilkit2::smart_pointer_t<column_painters::base_painter_t> link_painter;
  utilkit2::smart_pointer_t<column_painters::group_painter_t> group_painter;
  bool show_group_button = false;
  bool ending_horizontal_lines = false;
  bool ending_vertical_lines = false;
  bool draw_left_focus_edge = false;
  bool draw_right_focus_edge = false;

 private:
  void connect_elements();
  // The widest content (truncated pixels) among the rows -1 or -2 asks for.
  int fit_longest_text(unsigned int column, column_painters::draw_cell_params_t& params);
  int fit_every_row(unsigned int column, column_painters::draw_cell_params_t& params);
  // Widens `width` to the summary text's width × 1.2 when the column has a summary painter.
  int fit_summary(unsigned int column, column_painters::draw_cell_params_t& params, int width);
  // A record for the cell at (grid row, column position) placed at the origin, reading `row`.
  column_painters::draw_cell_params_t pointer_params(orrin7::IPainter* surface, int row, int column,
                                                     unsigned int record_row) const;
  // Whether cell-relative (x, y) lies inside `r`, both edges included.
  static bool point_in(const orrin7::rectangle<double>& r, int x, int y);
};

// A metric grid (left or right of the source): builds its column set from data ids with
// optional column groups, each new column with a default text painter, a default summary painter
// and the caption "Column<n>" (n counted from 1); the host then replaces painters, captions and
// widths.
class SOURCE_VIEW4_EXPORT auxiliary_grid_t : public source_view_grid_base_t {
 public:
  auxiliary_grid_t(orrinfrw7::CHeader* header, header_model_t* header_model, grid_element_t* cells,
                   grid_element_t* summary);

  // Replaces the column set: column i shows data_ids[i]; a key of `groups` makes that column a
  // group (expanded) whose children are the listed columns, in that order.
  void set_columns(const std::vector<unsigned int>& data_ids,
                   const std::map<unsigned int, std::vector<unsigned int>>& groups);
  // Keeps the first n columns (their painters and data ids), adds new ones showing no data, and
  // makes every column a plain top-level header item again.
  void set_column_count(unsigned int n);
  // Unchecked index; nothing is repainted.
  void set_column_data_id(unsigned int column, unsigned int data_id);
  void set_column_visible(unsigned int column, bool visible);
  bool get_column_visible(unsigned int column);
  void set_column_expanded(unsigned int column, bool expanded);
  bool get_column_expanded(unsigned int column);

 private:
  void give_default_painters(unsigned int column);
  void number_captions(unsigned int count);
};

// The source grid: one column showing each row's source text, or in snippet mode its snippet,
// with a text painter and a snippet painter kept ready for the two (shared by copies).
class SOURCE_VIEW4_EXPORT source_grid_t : public source_view_grid_base_t {
 public:
  source_grid_t(orrinfrw7::CHeader* header, header_model_t* header_model, grid_element_t* cells,
                grid_element_t* summary);
  source_grid_t(const source_grid_t& other);
  source_grid_t& operator=(const source_grid_t& other);
  ~source_grid_t() override;

  // Snippets show the snippet column with the snippet painter; any other mode the source column
  // with the source painter. Nothing is refitted or repainted here.
  void set_hierarchical_mode(hierarchical_mode_t mode);

  utilkit2::smart_pointer_t<column_painters::text_painter_t> get_source_painter() const {
    return source_painter;
  }
  utilkit2::smart_pointer_t<column_painters::snippet_painter_t> get_snippet_painter() const {
    return snippet_painter;
  }

 private:
  utilkit2::smart_pointer_t<column_painters::text_painter_t> source_painter;
  utilkit2::smart_pointer_t<column_painters::snippet_painter_t> snippet_painter;
};

}  // namespace source_view4
