// gallery_t: every cell painter of the component in every state that changes its look, laid out
// as captioned cells in a light and a dark panel.
#pragma once

#include <string>
#include <vector>

#include "orrin7/painter.h"
#include "source_view4/bar_painter.h"
#include "source_view4/data_model.h"
#include "source_view4/group_painter.h"
#include "source_view4/hierarchical_data_model.h"
#include "source_view4/label_painter.h"
#include "source_view4/range_painter.h"
#include "source_view4/summary_text_painter.h"
#include "source_view4/text_painter.h"
#include "utilkit2/smart_pointer.h"

namespace painter_gallery {

// Where one cell of the gallery lies in the image (pixels), and in which panel.
struct cell_place_t {
  std::wstring caption;
  bool dark = false;
  orrin7::rectangle<double> rect;
};

// The state a gallery cell is drawn in.
struct cell_state_t {
  bool active = false;
  bool highlighted = false;
  int cell_flags = 0;  // 1 emphasised, 2 disabled
};

// Owns the painters, the models they draw from and the list of cells; the painters' entries
// point into it, so it is neither copied nor moved. Uses the system palette while it renders.
class gallery_t {
 public:
  gallery_t();
  gallery_t(const gallery_t&) = delete;
  gallery_t& operator=(const gallery_t&) = delete;

  // The size of the whole image: the light panel on the left, the dark one on the right.
  orrin7::size<int> get_image_size() const;
  // Every cell of both panels, in drawing order.
  std::vector<cell_place_t> get_places() const;
  // The colours of the range painter's colour map.
  const std::vector<orrin7::_color>& get_range_colors() const;

  // Draws both panels, switching the system palette and updating the painters' colours for
  // each; the palette is put back as it was.
  void render(orrin7::IPainter& painter);

 private:
  // How a cell is drawn: which painter, and the cell record it gets (without painter and
  // rectangle, which the layout gives).
  struct entry_t {
    std::wstring caption;
    source_view4::column_painters::base_painter_t* painter;
    source_view4::column_painters::draw_cell_params_t params;
    int height;  // pixels
    int width;   // pixels
  };
  using flat_model_t = utilkit2::smart_pointer_t<source_view4::data_model_t>;
  using view_model_t = utilkit2::smart_pointer_t<source_view4::hierarchical_data_model_base_t>;

  void add_text_cells();
  void add_bar_cells();
  void add_range_cells();
  void add_image_and_label_cells();
  void add_group_cells();
  void add_snippet_cells();
  void add_summary_cells();
  // A cell of its own row of the flat cells model, holding `value` in `column`.
  void add_cell(const std::wstring& caption, source_view4::column_painters::base_painter_t& painter,
                unsigned int column, const source_view4::cell_value_t& value,
                cell_state_t state = {}, int width = 0);
  // A cell of a view row of a hierarchical model.
  void add_view_cell(const std::wstring& caption,
                     source_view4::column_painters::base_painter_t& painter,
                     const flat_model_t& flat, const view_model_t& view, unsigned int view_row,
                     unsigned int column, cell_state_t state = {}, int lines = 1);
  void add_entry(const std::wstring& caption,
                 source_view4::column_painters::base_painter_t& painter,
                 source_view4::column_painters::draw_cell_params_t params, cell_state_t state,
                 int lines, int width);

  void update_painter_colors();
  void render_panel(orrin7::IPainter& painter, bool dark);
  double panel_left(bool dark) const;

  int line_height;
  source_view4::column_painters::text_painter_t text;
  source_view4::column_painters::bar_painter_t bar;
  source_view4::column_painters::range_painter_t range;
  source_view4::column_painters::image_painter_t images;
  source_view4::column_painters::label_painter_t labels;
  source_view4::column_painters::group_painter_t group;
  source_view4::column_painters::snippet_painter_t snippet;
  source_view4::column_painters::snippet_painter_t flagged_snippet;
  source_view4::column_painters::summary_text_painter_t summary;
  flat_model_t cells;
  unsigned int found_text_row = 0;
  std::vector<entry_t> entries;
};

}  // namespace painter_gallery
