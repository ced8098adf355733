// Small pieces the cell painters share: reading a cell's value as one alternative, whole pixels
// from painter coordinates, a font set for the span of a drawing step, and the contrast of two
// colours.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// The relative luminance of a colour's RGB channels, 0 (black) to 1 (white): the channels turned
// back from their sRGB curve into light, weighed as the eye sees them.
inline double relative_luminance(const orrin7::_color& c) {
  const auto light = [](std::uint8_t channel) {
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * light(c.red()) + 0.7152 * light(c.green()) + 0.0722 * light(c.blue());
}

// How far text of one colour stands out from a fill of the other: 1 (none) to 21 (black on
// white); 4.5 keeps ordinary text readable.
inline double contrast_ratio(const orrin7::_color& a, const orrin7::_color& b) {
  const double la = relative_luminance(a), lb = relative_luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Of two inks, the one that stands out more from `fill`; `first` when they are equal.
inline orrin7::_color readable_ink(const orrin7::_color& fill, const orrin7::_color& first,
                                   const orrin7::_color& second) {
  return contrast_ratio(second, fill) > contrast_ratio(first, fill) ? second : first;
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
