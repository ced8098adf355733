// Shared set-up of the painter tests: the light palette, a small data model, cell parameters, a
// recording painter to draw on and solid image lists told apart by their sizes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orrin7/system.h"
#include "source_view4/base_painter.h"
#include "source_view4/data_model.h"
#include "support/recording_painter.h"
#include "utilkit2/smart_pointer.h"

namespace sv4_test {

// Every painter test starts from the light palette; a test that switches palettes is undone.
class painter_test_t : public ::testing::Test {
 protected:
  using strings = std::vector<std::string>;
  using model_t = utilkit2::smart_pointer_t<source_view4::data_model_t>;

  painter_test_t() { orrin7::GetSysPalette().UseDarkColors(false); }
  ~painter_test_t() override { orrin7::GetSysPalette().UseDarkColors(false); }

  // A model of `rows` rows; `highlighted_row` (if below rows) is highlighted.
  static model_t make_model(unsigned int rows, unsigned int highlighted_row = 0xFFFFFFFF) {
    model_t model(new source_view4::data_model_t);
    model->set_row_count(rows);
    if (highlighted_row < rows) model->set_highlighted(highlighted_row, true);
    return model;
  }

  static source_view4::column_painters::draw_cell_params_t cell(orrin7::IPainter* painter,
                                                                orrin7::rectangle<double> rect,
                                                                unsigned int row = 0xFFFFFFFF,
                                                                unsigned int column = 0xFFFFFFFF,
                                                                const model_t& model = {}) {
    source_view4::column_painters::draw_cell_params_t params;
    params.painter = painter;
    params.rect = rect;
    params.row = row;
    params.column = column;
    params.data_model = model;
    return params;
  }

  // A cell on the recorder of row 0 of a one-row model holding `value` in `column`.
  source_view4::column_painters::draw_cell_params_t holding(
      const source_view4::cell_value_t& value, orrin7::rectangle<double> rect = {0, 0, 200, 20},
      unsigned int column = 1, bool highlighted = false) {
    const model_t model = make_model(1, highlighted ? 0 : 1);
    model->set_data(0, column, value);
    return cell(&recorder, rect, 0, column, model);
  }

  // Draws the cell on the recorder and answers the calls starting with one of the prefixes.
  strings draw(source_view4::column_painters::base_painter_t& painter,
               const source_view4::column_painters::draw_cell_params_t& params,
               std::initializer_list<std::string> prefixes = {""}) {
    recorder.clear();
    painter.on_draw_cell(params);
    return recorder.calls_starting_with(prefixes);
  }

  // Colours as "#rrggbbaa/flag", so that a failed comparison reads well.
  static strings shown(std::initializer_list<orrin7::_color> colors) {
    strings out;
    for (const orrin7::_color& c : colors) out.push_back(format_color(c));
    return out;
  }

  // A list holding one opaque red image of each size, in order.
  static orrin7::orrin_ptr<orrin7::IImageList> solid_images(
      std::initializer_list<orrin7::size<int>> sizes) {
    orrin7::orrin_ptr<orrin7::IImageList> list = orrin7::GetCurrentSystem()->CreateImageList(0, 0);
    for (const orrin7::size<int>& s : sizes) {
      orrin7::bitmap image;
      image.width = s.width;
      image.height = s.height;
      image.pixels.assign(std::size_t(s.width) * std::size_t(s.height), 0xFFFF0000u);
      list->Add(image);
    }
    return list;
  }

  recording_painter_t recorder;
};

}  // namespace sv4_test
