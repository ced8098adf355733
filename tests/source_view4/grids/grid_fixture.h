// Shared set-up of the grid tests: a headless control with header, cells and summary elements fed
// by one header model; painters that log the cells they draw; a hierarchy laid out by hand.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "orrinfrw7/offscreen_control.h"
#include "source_view4/source_view_grid.h"
#include "support/signal_spy.h"

namespace grids_test {

using namespace source_view4;
using column_painters::draw_cell_params_t;
using strings = std::vector<std::string>;
template <class T>
using ptr = utilkit2::smart_pointer_t<T>;

// One cell a logging painter drew, with the painter's switches at that moment.
struct drawn_t {
  std::string painter;
  draw_cell_params_t params;
  bool hlines, vlines, button;
  int margin_left;
  // "name row column 'text' f<cell flags> e<focus edges>"
  std::string brief() const {
    const draw_cell_params_t& p = params;
    return painter + " " + std::to_string(p.row) + " " + std::to_string(p.column) + " '" +
           std::string(p.text.begin(), p.text.end()) + "' f" + std::to_string(p.cell_flags) + " e" +
           std::to_string(p.focus_edges);
  }
};
using log_t = std::vector<drawn_t>;

// Draws nothing; its "text" lies at (2, 2) - (30, 12) of every cell; widths are per row, or
// text_width for a record carrying text (a summary); pointer moves are kept as x * 1000 + y.
template <class Base>
struct logging_t : Base {
  logging_t(std::string name, log_t* log) : name(std::move(name)), log(log) {}
  void on_draw_cell(const draw_cell_params_t& p) override {
    bool button = false;
    if constexpr (std::is_base_of_v<column_painters::group_painter_t, Base>)
      button = this->get_draw_button();
    log->push_back({name, p, this->get_draw_horizontal_lines(), this->get_draw_vertical_lines(),
                    button, this->get_margins().left});
  }
  orrin7::rectangle<double> get_content_rect(const draw_cell_params_t&) override {
    return {2, 2, 30, 12};
  }
  orrin7::size<double> get_content_size(const draw_cell_params_t& p) override {
    const auto w = widths.find(p.row);
    return {!p.text.empty() ? text_width : w == widths.end() ? 0.0 : w->second, 10};
  }
  void on_mouse_move(int x, int y) override { moves.push_back(x * 1000 + y); }

  std::string name;
  log_t* log;
  std::map<unsigned int, double> widths;
  double text_width = 0;
  std::vector<int> moves;
};
using logging_painter_t = logging_t<column_painters::base_painter_t>;

struct view_row_t {
  hierarchical_row_state_t state;
  int level;
  unsigned int flat;
};

// View rows exactly as listed; state changes are stored and reported.
struct fake_hierarchy_t : hierarchical_data_model_base_t {
  fake_hierarchy_t(ptr<data_model_t> flat, hierarchical_mode_t mode, std::vector<view_row_t> rows)
      : hierarchical_data_model_base_t(flat), rows(std::move(rows)), mode(mode) {}
  bool create_group(unsigned int, unsigned int) override { return false; }
  void update_hierarchy() override {}
  hierarchical_row_state_t get_row_hierarchical_state(unsigned int r) override {
    return r < rows.size() ? rows[r].state : row_state_none;
  }
  void set_row_hierarchical_state(unsigned int r, hierarchical_row_state_t s) override {
    rows[r].state = s;
    row_state_updated.emit(r);
  }
  int get_row_hierarchy_level(unsigned int r) const override {
    return r < rows.size() ? rows[r].level : 0;
  }
  unsigned int get_flat_row_index(unsigned int r) const override { return rows[r].flat; }
  unsigned int get_row_count() const override { return unsigned(rows.size()); }
  hierarchical_mode_t get_model_type() override { return mode; }
  void clear_hierarchy() override {}
  void set_default_expanded_row(unsigned int) override {}
  void set_default_hierarchical_state(hierarchical_row_state_t s) override { default_state = s; }
  hierarchical_row_state_t get_default_hierarchical_state() override { return default_state; }

  std::vector<view_row_t> rows;
  hierarchical_mode_t mode;
  hierarchical_row_state_t default_state = row_state_collapsed;
};

// The grid's protected attachment and handlers, opened for the tests.
template <class Grid>
struct open_grid_t : Grid {
  using Grid::Grid;
  using Grid::on_draw_cell;
  using Grid::set_data_model;
  using Grid::set_hierarchical_data_model;
};

// 400 × 300 control: header (20 px) on top, one-row summary strip (20 px) at the bottom, cells
// between; rows 20 pixels high.
template <class Grid>
class grid_fixture_t : public ::testing::Test {
 protected:
  grid_fixture_t() {
    header = new orrinfrw7::CHeader(control.GetRoot(), {0, 20}, orrinfrw7::AL_Top);
    summary = new grid_element_t(control.GetRoot(), {0, 20}, orrinfrw7::AL_Bottom);
    cells = new grid_element_t(control.GetRoot(), {0, 0}, orrinfrw7::AL_Client);
    header->SetModel(&header_model);
    cells->SetColumnViewModel(header->GetColumnViewModel());
    summary->SetColumnViewModel(header->GetColumnViewModel());
    control.CompleteAttach();
    rows().SetDefaultItemSize(20);
    sized(summary->GetRowViewModel()).SetDefaultItemSize(20);
    sized(summary->GetRowViewModel()).SetCount(1);
    grid = std::make_unique<open_grid_t<Grid>>(header, &header_model, cells, summary);
    grid->set_data_model(model);
    control.Paint();
  }
  static orrinfrw7::CDefaultDiscreteItemViewModel& sized(orrinfrw7::IContinuousItemViewModel* m) {
    return dynamic_cast<orrinfrw7::CDefaultDiscreteItemViewModel&>(*m);
  }
  orrinfrw7::CDefaultDiscreteItemViewModel& rows() { return sized(cells->GetRowViewModel()); }
  // Control pixel of cell-relative (x, y) in the cell at (row, column position).
  orrin7::point<int> at(int row, int column, int x, int y) {
    return cells->Cell2ControlCoord({x, y}, row, column);
  }
  ptr<logging_painter_t> logger(const std::string& name) {
    return ptr<logging_painter_t>(new logging_painter_t(name, &log));
  }
  ptr<logging_painter_t> log_column(unsigned int c, const std::string& name) {
    const ptr<logging_painter_t> p = logger(name);
    grid->set_column_painter(c, p);
    return p;
  }
  // Repaints both elements and answers the logged cells, briefly.
  strings painted() {
    log.clear();
    cells->Update(orrinfrw7::UK_Redraw);
    summary->Update(orrinfrw7::UK_Redraw);
    control.Paint();
    strings out;
    for (const drawn_t& d : log) out.push_back(d.brief());
    return out;
  }

  header_model_t header_model;  // outlives the control and its header
  orrinfrw7::COffscreenControl control{400, 300};
  orrinfrw7::CHeader* header;
  grid_element_t* summary;
  grid_element_t* cells;
  ptr<data_model_t> model{new data_model_t};
  log_t log;
  std::unique_ptr<open_grid_t<Grid>> grid;
};

}  // namespace grids_test
