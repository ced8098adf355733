// group_painter_t draws the header row of a group of rows with its expand/collapse button;
// snippet_painter_t draws snippet rows: the row's line and, when expanded, the framed snippet
// beneath it.
#pragma once

#include "orrin7/system.h"
#include "source_view4/export.h"
#include "source_view4/text_painter.h"

namespace source_view4 {
namespace column_painters {

// Draws a group header cell of a grouped grid: optionally a 9 × 9 plus (collapsed row) or minus
// (any other row) button 3 pixels in from the top-left corner, then the group's text in the bold
// form of the text font, in the plain text colour, on the group background (palette entry 3; the
// active background is that mixed with the selection colour). It reads the row's state and flat
// row from the cell's hierarchical model and draws nothing at all without one.
//
// Owns its two button icons, drawn in the palette's text colour, in an image list made at
// construction and shared by its copies; an update under a palette with another text colour makes
// new ones. Its font and two background colours are set by every update_colors, and marked
// explicit; the highlighted backgrounds an update derives follow that update's palette.
class SOURCE_VIEW4_EXPORT group_painter_t : public text_painter_t {
 public:
  group_painter_t();
  group_painter_t(const group_painter_t& other);
  group_painter_t& operator=(const group_painter_t& other);
  ~group_painter_t() override;

  void on_draw_cell(const draw_cell_params_t& params) override;

  // Pixels between the cell's top-left corner and the button, and between button and text.
  static constexpr int control_element_margin = 3;
  static int get_group_button_size();

  // Grids that show groups switch the button on; off after construction.
  void set_draw_button(bool value);
  bool get_draw_button() const;
  // Where the button is in the cell (for hit tests), painter coordinates.
  orrin7::rectangle<double> get_group_control_rect(const draw_cell_params_t& params) const;

 protected:
  void initialize_colors() override;
  // Draws the row's icon (plus when collapsed, minus otherwise) with its top-left corner at
  // (x, y); a row without a hierarchical model counts as a plain row.
  void draw_button_icon(const draw_cell_params_t& params, int x, int y) const;

  // Brings what the last update made to the current palette before an update derives colours
  // from it: the button icons, and the two background colours unless a client has set them since.
  void follow_palette();

  orrin7::orrin_ptr<orrin7::IImageList> button_images;  // 0 plus, 1 minus
  bool draw_button = false;

 private:
  // What the last update wrote into the background and background active slots, so that the next
  // one tells them from colours a client set since; and the ink the button icons are drawn in.
  bool group_colors_written = false;
  orrin7::_color written_background;
  orrin7::_color written_background_active;
  orrin7::_color button_ink;
};

// Draws a row of a snippet grid. The cell's first row line (line_height pixels) is drawn like a
// group header (the button when the row is a snippet row, then the text in the painter's font and
// the text colour of the row's state, with found-text marks); when the cell is the snippet column
// and the row is expanded, a frame below that line lists the entries of the row's snippet_t
// value, each an optional image, its text and its indented detail lines, one per row line, in a
// monospace face. With additional flags set, entries sharing a bit with them are drawn in the
// plain face and main colour, the others in italics and a dimmer colour.
//
// Shares its snippet image list (set by the client) and its copies share it too. Its update_colors
// refreshes the text painter's colours, and the group background colours and button icons the
// construction made follow the palette; colours a client set stay, and the font stays bold.
class SOURCE_VIEW4_EXPORT snippet_painter_t : public group_painter_t {
 public:
  snippet_painter_t();
  snippet_painter_t(const snippet_painter_t& other);
  snippet_painter_t& operator=(const snippet_painter_t& other);
  ~snippet_painter_t() override;

  void on_draw_cell(const draw_cell_params_t& params) override;

  // Images for the snippet entries, by their image index.
  virtual void set_image_list(orrin7::orrin_ptr<orrin7::IImageList> list);
  orrin7::orrin_ptr<orrin7::IImageList> get_image_list() const;

 protected:
  void initialize_colors() override;

  // The frame and the entries beneath the first row line; nothing for a plain row.
  void draw_snippet(const draw_cell_params_t& params);
  // Draws an entry's own line in `box` (painter coordinates) by the `align` flags, in the font
  // and text colour already chosen for the entry. A derived painter may draw parts of the line
  // in a look of its own; it leaves the painter's font and text colour as it found them.
  virtual void draw_entry_title(orrin7::IPainter* painter, const orrin7::rectangle<double>& box,
                                const snippet_item_t& item, int align);
  // The cell text in the cell less its margins (or the whole cell when the margins leave no
  // room), one pixel off the bottom.
  void draw_text(const draw_cell_params_t& params);
  // The button of the row in the cell's first row line, on the plain background colour. The
  // caller decides whether the row has one; without a hierarchical model the minus icon is drawn.
  void draw_group_button(const draw_cell_params_t& params);
  // The monospace face the entries are drawn in, at the default font's size.
  orrin7::font get_snippet_font() const;
  // A tenth of a line height, at least 1 pixel.
  int get_line_spacing(int height) const;

  orrin7::orrin_ptr<orrin7::IImageList> snippet_images;
};

}  // namespace column_painters
}  // namespace source_view4
