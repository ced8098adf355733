// text_painter_t: draws a cell's text in the font and colour of the cell's state, with found-text
// marks on their own background.
#pragma once

#include <string>
#include <vector>

#include "source_view4/base_painter.h"
#include "source_view4/cell_value.h"
#include "source_view4/export.h"

namespace source_view4 {
namespace column_painters {

// The text painter, and the base of the painters that draw text of their own (group, snippet,
// summary, label, range). Derives virtually from base_painter_t so that a painter combining it
// with another painter holds one base. Owns its font and colours; shared like every painter.
class SOURCE_VIEW4_EXPORT text_painter_t : public virtual base_painter_t {
 public:
  text_painter_t();
  text_painter_t(const text_painter_t& other);
  text_painter_t& operator=(const text_painter_t& other);
  ~text_painter_t() override;

  void on_draw_cell(const draw_cell_params_t& params) override;
  // Where the cell text lands inside the content rectangle (measured in this painter's font).
  orrin7::rectangle<double> get_content_rect(const draw_cell_params_t& params) override;
  // The cell text's size in this painter's font plus the margins.
  orrin7::size<double> get_content_size(const draw_cell_params_t& params) override;

  // Draws `text` in `rect` in pieces, each found range of model column `column` on its own
  // background. `items` of one column are taken in order; an item that starts before the end of
  // the previous one, or reaches past the end of the text, is skipped.
  virtual void on_draw_found_text(orrin7::IPainter* painter, orrin7::rectangle<double> rect,
                                  const std::wstring& text, int align,
                                  std::vector<data_model_found_item_t>& items, int column);

  void set_font(const orrin7::font& f);
  const orrin7::font& get_font() const;

  void set_text_color(const orrin7::_color& c);
  const orrin7::_color& get_text_color() const;
  void set_text_active_color(const orrin7::_color& c);
  orrin7::_color get_text_active_color() const;
  void set_text_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_text_highlighted_color() const;
  void set_text_active_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_text_active_highlighted_color() const;
  void set_text_disabled_color(const orrin7::_color& c);
  const orrin7::_color& get_text_disabled_color() const;
  void set_text_disabled_active_color(const orrin7::_color& c);
  orrin7::_color get_text_disabled_active_color() const;
  void set_text_disabled_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_text_disabled_highlighted_color() const;
  void set_text_disabled_active_highlighted_color(const orrin7::_color& c);
  orrin7::_color get_text_disabled_active_highlighted_color() const;

  // Text flags of orrin7::IPainter; this painter interprets 1 (left), 2 (right) and 4 (centred)
  // itself and passes the rest on.
  void set_align(int value);
  int get_align() const;

 protected:
  void initialize_colors() override;

  // The text colour of the cell's state: highlighted row, disabled cell (flag 2), active row.
  orrin7::_color get_current_text_color(const draw_cell_params_t& params) const;
  // The grid's text, or the model's formatted text when the grid gave none.
  static std::wstring get_cell_text(const draw_cell_params_t& params);
  // The cell without its margins, and one more pixel off the bottom grid line.
  orrin7::rectangle<double> get_text_box(const draw_cell_params_t& params) const;

  bool font_is_explicit = false;
  orrin7::font cell_font;
  color_slot_t text_color;
  color_slot_t text_active_color;
  color_slot_t text_highlighted_color;
  color_slot_t text_active_highlighted_color;
  color_slot_t text_disabled_color;
  color_slot_t text_disabled_active_color;
  color_slot_t text_disabled_highlighted_color;
  color_slot_t text_disabled_active_highlighted_color;
  int align = 0x161;  // left, centred vertically, one line, ellipsis

  // The found-text matches of the cell's row; a row without matches holds another alternative.
  static std::vector<data_model_found_item_t> get_found_items(const draw_cell_params_t& params);
};

}  // namespace column_painters
}  // namespace source_view4
