// summary_text_painter_t: the cells of a grid's summary (totals) row.
#pragma once

#include "source_view4/export.h"
#include "source_view4/text_painter.h"

namespace source_view4 {
namespace column_painters {

// Draws summary cells like the text painter, on one background for every state that is a little
// darker than the cells' (always derived again from the palette, an explicitly set background
// included), with the separating line on the cell's top edge instead of its bottom edge and no
// focus lines. The text colour still follows the row's state. Shared like every painter.
class SOURCE_VIEW4_EXPORT summary_text_painter_t : public text_painter_t {
 public:
  summary_text_painter_t();
  summary_text_painter_t(const summary_text_painter_t& other);
  summary_text_painter_t& operator=(const summary_text_painter_t& other);
  ~summary_text_painter_t() override;

 protected:
  void draw_cell_lines(const draw_cell_params_t& params) override;
  void draw_cell_background(const draw_cell_params_t& params) override;
  void initialize_colors() override;
};

}  // namespace column_painters
}  // namespace source_view4
