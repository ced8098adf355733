// Small pieces the cell painters share: reading a cell's value as one alternative, whole pixels
// from painter coordinates, and a font set for the span of a drawing step.
#pragma once

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "source_view4/base_painter.h"
#include "source_view4/cell_value.h"
#include "sysport/debug.h"

namespace source_view4 {
namespace column_painters {

// The value of the cell's row in model column `column` as alternative T. A value of another
// alternative throws boost::bad_get: grids give a painter only the columns it is made for.
// Without a model the failed precondition is reported and there is no value.
template <class T>
std::optional<T> read_cell_value(const draw_cell_params_t& params, unsigned int column) {
  if (!SYSPORT_CHECK(params.data_model)) return std::nullopt;
  const cell_value_t value = params.data_model->get_data(params.row, column);
  return boost::get<T>(value);
}

// The cell's own value as alternative T, as above.
template <class T>
std::optional<T> read_cell_value(const draw_cell_params_t& params) {
  return read_cell_value<T>(params, params.column);
}

// The grid's text, or, when it gave none, the model's text for `row` (a flat row) in the cell's
// column, whether or not a value is set there.
inline std::wstring grid_or_model_text(const draw_cell_params_t& params, unsigned int row) {
  if (!params.text.empty() || params.column == 0xFFFFFFFF || !params.data_model) {
    return params.text;
  }
  return params.data_model->get_text_data(row, params.column);
}

// A coordinate truncated toward zero to a whole pixel; values that are not numbers give 0 and
// values beyond the int range stop at its ends, so no conversion is undefined.
inline int to_pixel(double value) {
  if (std::isnan(value)) return 0;
  if (value <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (value >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return int(value);
}

// Keeps the painter's font and puts it back when the step ends, also when the step ends by an
// exception (a cell value of the wrong alternative). The second constructor also sets a font.
class scoped_font_t {
 public:
  explicit scoped_font_t(orrin7::IPainter* painter)
      : m_painter(painter), m_saved(painter->GetFont()) {}
  scoped_font_t(orrin7::IPainter* painter, const orrin7::font& font)
      : m_painter(painter), m_saved(painter->GetFont()) {
    m_painter->SetFont(font);
  }
  ~scoped_font_t() { m_painter->SetFont(m_saved); }
  scoped_font_t(const scoped_font_t&) = delete;
  scoped_font_t& operator=(const scoped_font_t&) = delete;

 private:
  orrin7::IPainter* m_painter;
  orrin7::font m_saved;
};

}  // namespace column_painters
}  // namespace source_view4
