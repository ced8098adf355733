// Shared set-up of the painter tests: a light palette, a small data model and cell parameters.
#pragma once

#include <gtest/gtest.h>

#include "orrin7/system.h"
#include "source_view4/base_painter.h"
#include "source_view4/data_model.h"
#include "utilkit2/smart_pointer.h"

namespace sv4_test {

// Every painter test starts from the light palette; a test that switches palettes is undone.
class painter_test_t : public ::testing::Test {
 protected:
  painter_test_t() { orrin7::GetSysPalette().UseDarkColors(false); }
  ~painter_test_t() override { orrin7::GetSysPalette().UseDarkColors(false); }

  // A model of `rows` rows; `highlighted_row` (if below rows) is highlighted.
  static utilkit2::smart_pointer_t<source_view4::data_model_t> make_model(
      unsigned int rows, unsigned int highlighted_row = 0xFFFFFFFF) {
    utilkit2::smart_pointer_t<source_view4::data_model_t> model(new source_view4::data_model_t);
    model->set_row_count(rows);
    if (highlighted_row < rows) model->set_highlighted(highlighted_row, true);
    return model;
  }

  static source_view4::column_painters::draw_cell_params_t cell(
      orrin7::IPainter* painter, orrin7::rectangle<double> rect, unsigned int row = 0xFFFFFFFF,
      unsigned int column = 0xFFFFFFFF,
      const utilkit2::smart_pointer_t<source_view4::data_model_t>& model = {}) {
    source_view4::column_painters::draw_cell_params_t params;
    params.painter = painter;
    params.rect = rect;
    params.row = row;
    params.column = column;
    params.data_model = model;
    return params;
  }
};

}  // namespace sv4_test
