// The navigation strip beside the grids: navigation_element_t maps every row of the view onto
// its height, marks rows that carry a snippet and frames the part the grids show;
// navigation_simple_painter_t paints one row's band.
#pragma once

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/visual_element.h"
#include "source_view4/base_painter.h"
#include "source_view4/data_model.h"
#include "source_view4/export.h"
#include "utilkit2/signal.h"
#include "utilkit2/smart_pointer.h"

namespace source_view4 {

class source_view_layout_t;

namespace column_painters {

// Paints a band in the strip's background colour (palette entry 3), or in the marker colour
// (0, 204, 255) when the row's cell of the params' column is set. No text and no lines.
class SOURCE_VIEW4_EXPORT navigation_simple_painter_t : public base_painter_t {
 public:
  navigation_simple_painter_t();
  void on_draw_cell(const draw_cell_params_t& params) override;

  static constexpr orrin7::_color marker_color() { return orrin7::_color::rgb(0, 204, 255); }

 protected:
  void initialize_colors() override;
};

}  // namespace column_painters

// The strip reads the grids' row view model (not owned) for the row count and the visible
// window, and shares the flat data model and its band painter through smart pointers. It
// repaints when the rows scroll or change size, on model_updated, and on data_updated of the
// snippet column.
class SOURCE_VIEW4_EXPORT navigation_element_t : public orrinfrw7::CVisualElement,
                                                 public utilkit2::_internal::subscriber_base_t {
 public:
  navigation_element_t(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                       orrinfrw7::Alignment alignment);
  ~navigation_element_t() override;

  void set_data_model(utilkit2::smart_pointer_t<data_model_base_t> model);
  utilkit2::smart_pointer_t<data_model_base_t> get_data_model() const { return data_model; }
  void set_band_painter(utilkit2::smart_pointer_t<column_painters::base_painter_t> painter) {
    band_painter = std::move(painter);
  }
  utilkit2::smart_pointer_t<column_painters::base_painter_t> get_band_painter() const {
    return band_painter;
  }
  orrinfrw7::IContinuousItemViewModel* get_view_model() const { return view_model; }

  orrin7::_color get_background_color() const { return background_color; }
  orrin7::_color get_window_color() const { return window_color; }
  orrin7::_color get_frame_color() const { return frame_color; }

  void on_scroll(int old_start, int new_start, bool* handled);
  void on_data_model_updated();
  void on_data_updated(unsigned int column, unsigned int row);

 protected:
  friend class source_view_layout_t;

  void set_view_model(orrinfrw7::IContinuousItemViewModel* model);
  // Paints the band of `row` in `rect` (element pixels) with the band painter.
  void draw_item(orrin7::IPainter* painter, unsigned int row,
                 const orrin7::rectangle<double>& rect);
  void initialize_colors();
  void DrawContent(orrin7::IPainter* painter) override;
  void SysColorsChanged() override;

  orrinfrw7::IContinuousItemViewModel* view_model = nullptr;  // not owned
  utilkit2::smart_pointer_t<column_painters::base_painter_t> band_painter;
  utilkit2::smart_pointer_t<data_model_base_t> data_model;
  orrin7::_color background_color;
  orrin7::_color window_color;
  orrin7::_color frame_color;

 private:
  void redraw();
  void on_rows_changed();
  void fill(orrin7::IPainter* painter, const orrin7::_color& color, double left, double top,
            double right, double bottom);
};

}  // namespace source_view4
