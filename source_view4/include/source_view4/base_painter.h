// The cell painters' common ground: the per-cell parameter record, colour slots, the colour
// arithmetic every painter derives its colours with, and the abstract painter base_painter_t.
#pragma once

#include <cstdint>
#include <string>

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "source_view4/data_model.h"
#include "source_view4/export.h"
#include "source_view4/hierarchical_data_model.h"
#include "utilkit2/smart_pointer.h"

namespace source_view4 {
namespace column_painters {

// Everything a painter needs to draw one cell; a grid fills one record per cell. Copies share the
// two models and copy the text.
struct draw_cell_params_t {
  orrin7::IPainter* painter = nullptr;  // not owned
  bool active = false;                  // the row is drawn selected
  orrin7::rectangle<double> rect;       // the whole cell, painter coordinates
  unsigned int row = 0xFFFFFFFF;        // grid row (view row when hierarchical_model is set)
  unsigned int column = 0xFFFFFFFF;     // model column id, not the visible position
  utilkit2::smart_pointer_t<data_model_base_t> data_model;
  utilkit2::smart_pointer_t<hierarchical_data_model_base_t> hierarchical_model;
  std::wstring text;    // when not empty, text painters draw it instead of the model's text
  int focus_edges = 0;  // focus line edges: 1 left, 2 right, 4 top, 8 bottom
  unsigned int line_height = 0;  // pixels of one row line (the cell may be taller)
  int cell_flags = 0;            // the model's cell flags: 1 emphasised font, 2 disabled colours
};

// A colour that is either derived from the system palette or set explicitly; an explicit colour
// is never overwritten when the palette changes.
struct color_slot_t {
  bool is_explicit = false;
  orrin7::_color color;  // value 0, flag 1 until derived or set

  void set(const orrin7::_color& c) {
    color = c;
    is_explicit = true;
  }
  // Takes a derived colour unless the slot was set explicitly.
  void derive(const orrin7::_color& c) {
    if (!is_explicit) color = c;
  }
};

// A colour in hue (degrees, 0 up to 360), saturation and lightness (both 0 … 1).
struct hsl_t {
  double h = 0.0;
  double s = 0.0;
  double l = 0.0;
};

// Colour arithmetic on 8-bit channels. Results are bit-exact: every grid derives the same colours
// from the same palette.
//
// The midpoint of a and b, per channel (alpha included) in single precision; flag 0.
SOURCE_VIEW4_EXPORT orrin7::_color blend_colors(const orrin7::_color& a, const orrin7::_color& b);
// The product of a and b per colour channel, in single precision like blend_colors (so a product
// that is a whole number stays whole); alpha 0xFF, flag 0.
SOURCE_VIEW4_EXPORT orrin7::_color multiply_colors(const orrin7::_color& a,
                                                   const orrin7::_color& b);
SOURCE_VIEW4_EXPORT hsl_t rgb_to_hsl(const orrin7::_color& c);
SOURCE_VIEW4_EXPORT orrin7::_color hsl_to_rgb(const hsl_t& hsl, std::uint8_t alpha,
                                              std::uint8_t flag);
// Lightness moved `percent` of the way to white, or reduced by `percent` of itself; the colour
// keeps its alpha and gets flag 1 (a palette-derived colour).
SOURCE_VIEW4_EXPORT orrin7::_color lighten_color(const orrin7::_color& c, double percent);
SOURCE_VIEW4_EXPORT orrin7::_color darken_color(const orrin7::_color& c, double percent);

// The abstract cell painter: background, grid lines and focus lines in the colours of the cell's
// state, with the colours derived from the system palette. Held through smart_pointer_t and
// possibly shared by several columns and grids; it owns its colours and margins and nothing else.
// Drawing does not change it, apart from the two line switches a grid sets around a call.
class SOURCE_VIEW4_EXPORT base_painter_t {
 public:
  base_painter_t();
  base_painter_t(const base_painter_t& other);
  base_painter_t& operator=(const base_painter_t& other);
  virtual ~base_painter_t();

  virtual void on_draw_cell(const draw_cell_params_t& params) = 0;
  // The rectangle the cell's content takes; here the whole cell.
  virtual orrin7::rectangle<double> get_content_rect(const draw_cell_params_t& params);
  // The size the content needs (for fitting a column); here 0 × 0.
  virtual orrin7::size<double> get_content_size(const draw_cell_params_t& params);
  virtual void on_mouse_move(int x, int y);

 protected:
  virtual void draw_cell_lines(const draw_cell_params_t& params);
  virtual void draw_cell_background(const draw_cell_params_t& params);
  virtual void initialize_colors();

 public:
  void set_background_color(const orrin7::_color& c);
  orrin7::_color get_background_color() const;
  void set_background_active_color(const orrin7::_color& c);
  orrin7::_color get_background_active_color() const;
  void set_background_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_background_highlighted_color() const;
  void set_background_active_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_background_active_highlighted_color() const;
  void set_grid_lines_color(const orrin7::_color& c);
  orrin7::_color get_grid_lines_color() const;

  void set_draw_horizontal_lines(bool value);
  bool get_draw_horizontal_lines() const;
  void set_draw_vertical_lines(bool value);
  bool get_draw_vertical_lines() const;

  // Margins between the cell's edges and its content, in pixels.
  const orrin7::rectangle<int>& get_margins() const;
  void set_margins(const orrin7::rectangle<int>& margins);
  // Horizontal pair first: (left, right, top, bottom).
  void set_margins(int left, int right, int top, int bottom);

  // Client-defined bits; only the snippet painter reads them.
  void set_additional_flags(int flags);
  int get_additional_flags() const;

  // Derives the colours again from the system palette (after it changed); explicitly set colours
  // stay.
  void update_colors();

 protected:
  // The background colour of the cell's state (highlighted row, active row).
  orrin7::_color get_current_bk_color(const draw_cell_params_t& params) const;
  // The row is highlighted in the data model (false without a model).
  static bool is_highlighted(const draw_cell_params_t& params);
  // Fills the whole cell rectangle with `color`.
  static void fill_cell(const draw_cell_params_t& params, const orrin7::_color& color);
  // Selects the grid-lines pen and draws the right edge when vertical lines are on.
  void draw_right_grid_line(const draw_cell_params_t& params) const;

  int additional_flags = 0;
  bool draw_horizontal_lines = true;
  bool draw_vertical_lines = true;
  color_slot_t background_color;
  color_slot_t background_active_color;
  color_slot_t background_highlighted_color;
  color_slot_t background_active_highlighted_color;
  color_slot_t grid_lines_color;
  orrin7::rectangle<int> margins{2, 2, 1, 1};
};

}  // namespace column_painters
}  // namespace source_view4
