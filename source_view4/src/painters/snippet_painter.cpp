// snippet_painter_t: a snippet row's first line, and the framed list of its entries beneath it.
#include "source_view4/group_painter.h"

#include <algorithm>
#include <cmath>

#include "painters/painter_support.h"

namespace source_view4 {
namespace column_painters {

namespace {

// The frame starts 24 pixels in from the cell's left edge (its tab reaching 9 pixels back) and
// ends 3 pixels before the right and bottom edges; its text keeps 4 pixels from its sides.
constexpr double frame_indent = 24.0;
constexpr double frame_end_margin = 3.0;
constexpr double tab_size = 9.0;
constexpr double text_inset = 4.0;
// Detail lines are indented this far from the entries' text.
constexpr double detail_indent = 30.0;
// Entries and their detail lines: from the left, centred in their line box, on one line.
constexpr int entry_align = orrin7::TA_Left | orrin7::TA_VCenter | orrin7::TA_SingleLine;

struct snippet_colors_t {
  orrin7::_color frame_fill;
  orrin7::_color frame_line;
  orrin7::_color main_text;
  orrin7::_color dim_text;
};

// The frame in the snippet frame colour, its text 70 % of the way to the snippet text colour and
// dimmer text halfway.
snippet_colors_t get_snippet_colors() {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const orrin7::_color frame = palette.GetColor(orrin7::PAL_SnippetFrame);
  const orrin7::_color text = palette.GetColor(orrin7::PAL_SnippetText);
  const auto toward_text = [](std::uint8_t a, std::uint8_t b) {
    return std::uint8_t(int(float(a) + (float(b) - float(a)) * 0.7f) & 0xFF);
  };
  const orrin7::_color main = orrin7::_color::rgb(toward_text(frame.red(), text.red()),
                                                  toward_text(frame.green(), text.green()),
                                                  toward_text(frame.blue(), text.blue()), 0xFF, 0);
  const orrin7::_color half = blend_colors(frame, text);
  return {frame, half, main, half};
}

// A box one row line high that moves down the snippet line by line.
struct line_box_t {
  double top;
  double bottom;
  void next(unsigned int line_height) {
    top += line_height;
    bottom += line_height;
  }
};

// The frame: 24 pixels in from the cell's left edge, one row line below its top, 3 pixels before
// its right and bottom edges.
orrin7::rectangle<double> frame_edges(const draw_cell_params_t& params) {
  const orrin7::rectangle<double>& r = params.rect;
  return orrin7::rectangle<double>(
      std::min(r.left, r.right) + frame_indent, std::min(r.top, r.bottom) + params.line_height,
      std::max(r.left, r.right) - frame_end_margin, std::max(r.top, r.bottom) - frame_end_margin);
}

// A box whose top edge runs on 9 pixels past its left edge and returns to it diagonally 9 pixels
// lower: a tab pointing up and left at the row's line.
void draw_frame(orrin7::IPainter* painter, const orrin7::rectangle<double>& f,
                const snippet_colors_t& colors) {
  painter->SetBrush(orrin7::brush(colors.frame_fill, 1));
  painter->SetPen(orrin7::pen(colors.frame_line, 1, 1));
  const orrin7::point<double> frame[] = {{f.right, f.bottom},
                                         {f.right, f.top},
                                         {f.left - tab_size, f.top},
                                         {f.left, f.top + tab_size},
                                         {f.left, f.bottom}};
  painter->Polygon(frame, 5);
}

// Draws an entry's image (when `images` has it) 2 pixels after x, centred in the line; answers how
// far the entry's text moves right for it.
double draw_entry_image(orrin7::IPainter* painter,
                        const orrin7::orrin_ptr<orrin7::IImageList>& images, int index, double x,
                        const line_box_t& line) {
  if (index < 0 || !images || index >= images->GetImageCount()) return 0.0;
  const orrin7::size<int> image = images->GetImageSize(index);
  const double offset = std::trunc(((line.bottom - line.top) - image.height) * 0.5);
  images->Draw(painter, index, to_pixel(x + 2.0), to_pixel(line.top + offset), 0, 0);
  return image.width + 4.0;
}

}  // namespace

snippet_painter_t::snippet_painter_t() {
  align = orrin7::TA_Left | orrin7::TA_Top | orrin7::TA_SingleLine | orrin7::TA_EndEllipsis;
  snippet_painter_t::initialize_colors();
}

snippet_painter_t::snippet_painter_t(const snippet_painter_t& other) = default;
snippet_painter_t& snippet_painter_t::operator=(const snippet_painter_t& other) = default;
snippet_painter_t::~snippet_painter_t() = default;

void snippet_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr)) return;
  draw_cell_background(params);
  const scoped_font_t font(painter);  // put back after the lines
  // The first row line of the cell holds the row's own button and text.
  draw_cell_params_t header = params;
  header.rect.bottom = params.rect.top - 1 + params.line_height;
  const hierarchical_row_state_t state =
      params.hierarchical_model ? params.hierarchical_model->get_row_hierarchical_state(params.row)
                                : row_state_none;
  if (state != row_state_none) draw_group_button(header);
  draw_text(header);
  if (params.column == snippet_column && state == row_state_expanded) draw_snippet(params);
  draw_cell_lines(params);
}

void snippet_painter_t::set_image_list(orrin7::orrin_ptr<orrin7::IImageList> list) {
  snippet_images = std::move(list);
}
orrin7::orrin_ptr<orrin7::IImageList> snippet_painter_t::get_image_list() const {
  return snippet_images;
}

// The group colours and bold font come from the group painter's construction; only the colours
// move with the palette here, so that the row's line keeps a background of the same palette as
// its text.
void snippet_painter_t::initialize_colors() {
  follow_palette();
  text_painter_t::initialize_colors();
}

// Entries that would start below the cell are left out: they would land on the rows beneath.
void snippet_painter_t::draw_snippet(const draw_cell_params_t& params) {
  if (!SYSPORT_CHECK(params.hierarchical_model) ||
      params.hierarchical_model->get_row_hierarchical_state(params.row) == row_state_none) {
    return;
  }
  const std::optional<snippet_t> value = read_cell_value<snippet_t>(params, snippet_column);
  if (!value) return;
  orrin7::IPainter* painter = params.painter;
  const snippet_colors_t colors = get_snippet_colors();
  const orrin7::rectangle<double> frame = frame_edges(params);
  draw_frame(painter, frame, colors);

  const double x0 = frame.left + text_inset;
  const double text_right = frame.right - text_inset;
  const double cell_bottom = std::max(params.rect.top, params.rect.bottom);
  line_box_t line{frame.top, frame.top + params.line_height - 1};
  const orrin7::font plain = get_snippet_font();
  orrin7::font dim = plain;
  dim.style |= orrin7::FS_Italic;
  painter->SetFont(plain);
  painter->SetTextColor(colors.main_text);

  for (const snippet_item_t& item : value->items) {
    if (line.top >= cell_bottom) break;
    if (additional_flags != 0) {
      const bool matches = (unsigned(additional_flags) & item.flags) != 0;
      painter->SetFont(matches ? plain : dim);
      painter->SetTextColor(matches ? colors.main_text : colors.dim_text);
    }
    const double x = x0 + draw_entry_image(painter, snippet_images, item.image_index, x0, line);
    draw_entry_title(painter, {x, line.top, text_right, line.bottom}, item, entry_align);
    line.next(params.line_height);
    for (const std::wstring& detail : item.lines) {
      if (line.top >= cell_bottom) break;
      painter->DrawString({x0 + detail_indent, line.top, text_right, line.bottom}, detail,
                          entry_align, -1);
      line.next(params.line_height);
    }
  }
}

void snippet_painter_t::draw_entry_title(orrin7::IPainter* painter,
                                         const orrin7::rectangle<double>& box,
                                         const snippet_item_t& item, int align) {
  painter->DrawString(box, item.title, align, -1);
}

void snippet_painter_t::draw_text(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  const orrin7::rectangle<double>& r = params.rect;
  orrin7::rectangle<double> box(r.left + margins.left, r.top + margins.top, r.right - margins.right,
                                r.bottom - margins.bottom);
  if (box.left >= box.right || box.top >= box.bottom) box = r;
  box.bottom -= 1;
  painter->SetFont(cell_font);
  painter->SetTextColor(get_current_text_color(params));
  const std::wstring text = grid_or_model_text(params, params.row);
  std::vector<data_model_found_item_t> items = get_found_items(params);
  if (items.empty()) {
    painter->DrawStringNative(box, text, align);
  } else {
    on_draw_found_text(painter, box, text, align, items, int(params.column));
  }
}

void snippet_painter_t::draw_group_button(const draw_cell_params_t& params) {
  const orrin7::rectangle<double> button = get_group_control_rect(params);
  params.painter->SetBrush(orrin7::brush(background_color.color, 1));
  params.painter->FillRect(button.left, button.top, button.right - 1, button.bottom - 1);
  draw_button_icon(params, to_pixel(button.left), to_pixel(button.top));
}

orrin7::font snippet_painter_t::get_snippet_font() const {
  orrin7::font f = orrin7::GetDefaultGUIFont();
  if (f.size < 1) {
    const orrin7::ISystem* system = orrin7::GetCurrentSystem();
    if (system != nullptr) f = system->GetAlternativeFont();
  }
  f.face.clear();
  f.family = 2;
  return f;
}

int snippet_painter_t::get_line_spacing(int height) const {
  return std::max(int(float(height) * 0.1f), 1);
}

}  // namespace column_painters
}  // namespace source_view4
