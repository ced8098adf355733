// range_painter_t: the tag of a range's first row, the line of its inner rows, the corner of its
// last row.
#include "source_view4/range_painter.h"

#include <cmath>

#include "orrin7/system.h"
#include "painters/painter_support.h"

namespace source_view4 {
namespace column_painters {

namespace {

// The tag's point and the line hang this far inside the cell's right edge.
constexpr double line_inset = 8.0;
// Room the tag takes beside the text: its point (11 pixels on the right) and 3 on the left.
constexpr double tag_room = 14.0;

orrin7::_color derived_outline_color() {
  return lighten_color(orrin7::GetSysPalette().GetColor(orrin7::PAL_Text), 50);
}

}  // namespace

range_painter_t::range_painter_t() { range_painter_t::initialize_colors(); }

range_painter_t::range_painter_t(const range_painter_t& other) = default;
range_painter_t& range_painter_t::operator=(const range_painter_t& other) = default;
range_painter_t::~range_painter_t() = default;

// The range shapes go over the grid lines, so that the line of one row meets the next row's.
void range_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr)) return;
  const orrin7::rectangle<double> box = get_text_box(params);
  draw_cell_background(params);
  draw_cell_lines(params);
  scoped_font_t font(painter, cell_font);
  painter->SetTextColor(text_color.color);
  const std::optional<range_t> value = read_cell_value<range_t>(params);
  if (!value) return;
  const int index = value->color_index;
  if (index >= 0 && std::size_t(index) < color_map.size()) {
    current_line_color = color_map[std::size_t(index)];
  }
  const orrin7::rectangle<double>& r = params.rect;
  const double x = r.right - line_inset;
  switch (value->position) {
    case range_t::first_row:
      draw_tag(params, box, value->text);
      break;
    case range_t::inner_row:
      painter->SetPen(orrin7::pen(current_line_color, 2, 1));
      painter->MoveTo(x, r.top);
      painter->LineTo(x, r.bottom);
      break;
    case range_t::last_row:
      painter->SetPen(orrin7::pen(current_line_color, 2, 1));
      painter->MoveTo(x, r.top);
      painter->LineTo(x, r.bottom);
      painter->LineTo(r.right - 1, r.bottom);
      break;
    default:
      break;
  }
}

// The text moves right until it ends 11 pixels before the cell's right edge, and the tag starts
// where the text starts; text too wide for the room keeps its place and the tag then starts at
// the cell's left edge. The tag is filled with the current line colour: the range's colour, or,
// for a colour index outside the map, the colour its lines are drawn in.
void range_painter_t::draw_tag(const draw_cell_params_t& params, orrin7::rectangle<double> box,
                               const std::wstring& text) {
  orrin7::IPainter* painter = params.painter;
  const orrin7::rectangle<double>& r = params.rect;
  box.left += 3.0;
  box.right -= 11.0;
  const orrin7::rectangle<double> measured =
      painter->GetTextRect(box, text, align | orrin7::TA_CalcRect, -1);
  const double free_width = box.width() - measured.width();
  const double d = free_width > 0.0 ? std::trunc(free_width) : 0.0;

  // The joint to the next row's line.
  painter->SetPen(orrin7::pen(current_line_color, 2, 1));
  painter->MoveTo(r.right - line_inset, r.bottom - 1);
  painter->LineTo(r.right - line_inset, r.bottom);

  const orrin7::brush saved_brush = painter->GetBrush();
  painter->SetPen(orrin7::pen(outline_color, 1, 1));
  painter->SetBrush(orrin7::brush(current_line_color, 1));
  const orrin7::point<double> tag[] = {
      {r.left + 1 + d, r.top + 1},
      {r.right - line_inset, r.top + 1},
      {r.right - 1, r.top + 1 + (r.bottom - r.top - 2) * 0.5},
      {r.right - line_inset, r.bottom - 1},
      {r.left + 1 + d, r.bottom - 1},
  };
  painter->Polygon(tag, 5);
  painter->SetBrush(saved_brush);

  box.left += d;
  // The text lies on the tag. In the light palette it keeps the text colour; the colour map is the
  // client's and may hold light colours, on which the dark palette's light text would vanish, so
  // there the text takes whichever of the text and background colours stands out more from the tag.
  if (orrin7::GetSysPalette().IsDark()) {
    painter->SetTextColor(
        readable_ink(current_line_color, text_color.color, background_color.color));
  }
  painter->DrawStringNative(box, text, align);
}

orrin7::rectangle<double> range_painter_t::get_content_rect(const draw_cell_params_t& params) {
  orrin7::rectangle<double> content = text_painter_t::get_content_rect(params);
  content.right += tag_room;
  return content;
}

orrin7::size<double> range_painter_t::get_content_size(const draw_cell_params_t& params) {
  orrin7::size<double> content = text_painter_t::get_content_size(params);
  content.width += tag_room;
  return content;
}

void range_painter_t::set_color_map(const std::vector<orrin7::_color>& colors) {
  color_map = colors;
}
const std::vector<orrin7::_color>& range_painter_t::get_color_map() const { return color_map; }
void range_painter_t::set_outline_color(const orrin7::_color& c) { outline_color = c; }
const orrin7::_color& range_painter_t::get_outline_color() const { return outline_color; }

void range_painter_t::initialize_colors() {
  outline_color = derived_outline_color();
  current_line_color = outline_color;
}

}  // namespace column_painters
}  // namespace source_view4
