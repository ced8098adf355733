// range_painter_t: brackets that span several consecutive rows, with a coloured, labelled tag on
// the first row.
#pragma once

#include <vector>

#include "source_view4/export.h"
#include "source_view4/text_painter.h"

namespace source_view4 {
namespace column_painters {

// Draws a cell's range_t value: the first row of a range shows a tag (a pentagon pointing right)
// filled with the range's colour and carrying its text, the rows after it a vertical line 8
// pixels inside the right edge, the last row that line turning right at the bottom. The colour
// comes from the colour map by the value's colour index. Owns its colour map and colours.
//
// Drawing keeps one piece of state: the current line colour, which each cell with a valid colour
// index replaces; a cell with an invalid index draws its lines (and a first row its tag) in the
// colour the previous cell left. A painter shared by several columns shares that colour too.
class SOURCE_VIEW4_EXPORT range_painter_t : public text_painter_t {
 public:
  range_painter_t();
  range_painter_t(const range_painter_t& other);
  range_painter_t& operator=(const range_painter_t& other);
  ~range_painter_t() override;

  void on_draw_cell(const draw_cell_params_t& params) override;
  // The text painter's answers with room for the tag's point and line (14 pixels) on the right.
  orrin7::rectangle<double> get_content_rect(const draw_cell_params_t& params) override;
  orrin7::size<double> get_content_size(const draw_cell_params_t& params) override;

  // Colours by colour index of the cell values.
  void set_color_map(const std::vector<orrin7::_color>& colors);
  const std::vector<orrin7::_color>& get_color_map() const;
  // The tag's outline; the palette text colour lightened by half unless set. It carries no
  // explicit mark: update_colors derives it again.
  void set_outline_color(const orrin7::_color& c);
  const orrin7::_color& get_outline_color() const;

 protected:
  // Refreshes the outline and current line colours only; the text and background colours keep
  // the values computed at construction or set explicitly.
  void initialize_colors() override;

  std::vector<orrin7::_color> color_map;
  orrin7::_color outline_color;
  orrin7::_color current_line_color;

 private:
  SOURCE_VIEW4_LOCAL void draw_tag(const draw_cell_params_t& params, orrin7::rectangle<double> box,
                                   const std::wstring& text);
};

}  // namespace column_painters
}  // namespace source_view4
