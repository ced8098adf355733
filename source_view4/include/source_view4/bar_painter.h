// bar_painter_t: draws a fraction held in a cell as a horizontal bar across the cell.
#pragma once

#include "source_view4/base_painter.h"
#include "source_view4/export.h"

namespace source_view4 {
namespace column_painters {

// Draws a cell's data_container_t<double> value (a fraction, e.g. a share of a total) as a bar
// whose length is that fraction of the cell's width, centred in the first row line; no text.
// Values of 1 and above draw a full bar, 0, negative values and NaN none. Owns its colours; shared
// like every painter.
class SOURCE_VIEW4_EXPORT bar_painter_t : public base_painter_t {
 public:
  bar_painter_t();
  bar_painter_t(const bar_painter_t& other);
  bar_painter_t& operator=(const bar_painter_t& other);
  ~bar_painter_t() override;

  void on_draw_cell(const draw_cell_params_t& params) override;
  // The width of "999.9%" in the painter's current font, for every cell alike.
  orrin7::size<double> get_content_size(const draw_cell_params_t& params) override;

  // The bar's fill. Not a palette colour, so it carries no explicit mark: update_colors puts the
  // default back.
  void set_bar_color(const orrin7::_color& c);
  const orrin7::_color& get_bar_color() const;
  // The bar's outline, by the row's state.
  void set_border_color(const orrin7::_color& c);
  orrin7::_color get_border_color() const;
  void set_border_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_border_highlighted_color() const;
  void set_border_active_color(const orrin7::_color& c);
  orrin7::_color get_border_active_color() const;
  void set_border_active_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_border_active_highlighted_color() const;

  static constexpr orrin7::_color default_bar_color = orrin7::_color::rgb(0x33, 0x72, 0xD4);

 protected:
  void initialize_colors() override;

  orrin7::_color bar_color = default_bar_color;
  color_slot_t border_color;
  color_slot_t border_highlighted_color;
  color_slot_t border_active_color;
  color_slot_t border_active_highlighted_color;

 private:
  // The outline pen of the row's state: width 1 for a plain row, a hairline (width 0) for active
  // and highlighted rows.
  SOURCE_VIEW4_LOCAL orrin7::pen get_border_pen(const draw_cell_params_t& params) const;
};

}  // namespace column_painters
}  // namespace source_view4
