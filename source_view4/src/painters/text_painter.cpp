// text_painter_t: cell text, its colour states and the found-text pieces.
#include "source_view4/text_painter.h"

#include <cstdint>

#include "orrin7/system.h"
#include "painters/painter_support.h"
#include "sysport/debug.h"

namespace source_view4 {
namespace column_painters {

namespace {

// Found-text marks: a pale and a strong yellow-green, the strong one for the current hit. They are
// fixed colours meant to sit behind dark text and stay the same in every palette; in the dark
// palette the ink on them changes instead (on_draw_found_text).
const orrin7::_color found_background = orrin7::_color::rgb(0xDA, 0xFF, 0x82);
const orrin7::_color current_found_background = orrin7::_color::rgb(0x7F, 0xD7, 0x04);

// Draws one piece at the left edge of `rect` and moves the edge past it.
void draw_piece(orrin7::IPainter* painter, orrin7::rectangle<double>& rect,
                const std::wstring& piece, int align) {
  rect.left += painter->DrawString(rect, piece, align, -1).width;
}

// Centred or right-aligned text is placed as a whole (when it fits) and then drawn in
// left-aligned pieces.
int place_for_pieces(orrin7::rectangle<double>& rect, double text_width, int align) {
  if (align & orrin7::TA_HCenter) {
    if (text_width < rect.width()) rect.left += (rect.width() - text_width) / 2;
    align &= ~orrin7::TA_HCenter;
  }
  if (align & orrin7::TA_Right) {
    if (text_width < rect.width()) rect.left = rect.right - text_width;
    align &= ~orrin7::TA_Right;
  }
  return align | orrin7::TA_Left;
}

}  // namespace

text_painter_t::text_painter_t() { text_painter_t::initialize_colors(); }

text_painter_t::text_painter_t(const text_painter_t& other) = default;
text_painter_t& text_painter_t::operator=(const text_painter_t& other) = default;
text_painter_t::~text_painter_t() = default;

void text_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr)) return;
  const orrin7::rectangle<double> box = get_text_box(params);
  draw_cell_background(params);
  const orrin7::font saved = painter->GetFont();
  orrin7::font styled = cell_font;
  if (params.cell_flags & 1) styled.style |= orrin7::FS_Bold;
  painter->SetFont(styled);
  painter->SetTextColor(get_current_text_color(params));
  const std::wstring text = get_cell_text(params);
  std::vector<data_model_found_item_t> items = get_found_items(params);
  if (items.empty()) {
    painter->DrawStringNative(box, text, align);
  } else {
    on_draw_found_text(painter, box, text, align, items, int(params.column));
  }
  painter->SetFont(saved);
  draw_cell_lines(params);
}

orrin7::rectangle<double> text_painter_t::get_content_rect(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr)) return get_text_box(params);
  const orrin7::font saved = painter->GetFont();
  painter->SetFont(cell_font);
  const orrin7::rectangle<double> measured = painter->GetTextRect(
      get_text_box(params), get_cell_text(params), align | orrin7::TA_CalcRect, -1);
  painter->SetFont(saved);
  return measured;
}

orrin7::size<double> text_painter_t::get_content_size(const draw_cell_params_t& params) {
  orrin7::size<double> content(0.0, 0.0);
  if (SYSPORT_CHECK(params.painter != nullptr)) {
    content = params.painter->GetTextSize(get_cell_text(params), &cell_font, -1, true, true);
  }
  return orrin7::size<double>(content.width + margins.left + margins.right,
                              content.height + margins.top + margins.bottom);
}

void text_painter_t::on_draw_found_text(orrin7::IPainter* painter, orrin7::rectangle<double> rect,
                                        const std::wstring& text, int align,
                                        std::vector<data_model_found_item_t>& items, int column) {
  if (items.empty() || painter == nullptr) return;
  const orrin7::font current = painter->GetFont();
  const double width = painter->GetTextSize(text, &current, int(text.size()), false, true).width;
  align = place_for_pieces(rect, width, align);
  // In the light palette a found piece keeps the cell's text colour. In the dark palette that
  // colour is light and would vanish on the light marks, so a piece takes whichever of it and the
  // painter's own background colour (dark there) stands out more from its mark.
  const bool dark = orrin7::GetSysPalette().IsDark();
  const orrin7::_color text_ink = dark ? painter->GetTextColor() : orrin7::_color();

  std::int64_t offset = 0;  // characters of `text` drawn so far
  for (const data_model_found_item_t& item : items) {
    if (item.column != column) continue;
    const std::int64_t start = item.start, end = std::int64_t(item.start) + item.length;
    if (start < offset || item.length < 0 || end > std::int64_t(text.size())) continue;
    draw_piece(painter, rect, text.substr(std::size_t(offset), std::size_t(start - offset)), align);
    const int saved_mode = painter->GetBkMode();
    const orrin7::_color saved_color = painter->GetBkColor();
    painter->SetBkMode(orrin7::BK_Opaque);
    const orrin7::_color mark = item.current ? current_found_background : found_background;
    painter->SetBkColor(mark);
    if (dark) painter->SetTextColor(readable_ink(mark, text_ink, background_color.color));
    draw_piece(painter, rect, text.substr(std::size_t(start), std::size_t(item.length)), align);
    if (dark) painter->SetTextColor(text_ink);
    painter->SetBkMode(saved_mode);
    painter->SetBkColor(saved_color);
    offset = end;
  }
  if (offset < std::int64_t(text.size())) {
    draw_piece(painter, rect, text.substr(std::size_t(offset)), align);
  }
}

void text_painter_t::set_font(const orrin7::font& f) {
  cell_font = f;
  font_is_explicit = true;
}
const orrin7::font& text_painter_t::get_font() const { return cell_font; }

void text_painter_t::set_text_color(const orrin7::_color& c) { text_color.set(c); }
const orrin7::_color& text_painter_t::get_text_color() const { return text_color.color; }
void text_painter_t::set_text_active_color(const orrin7::_color& c) { text_active_color.set(c); }
orrin7::_color text_painter_t::get_text_active_color() const { return text_active_color.color; }
void text_painter_t::set_text_highlighted_color(const orrin7::_color& c) {
  text_highlighted_color.set(c);
}
orrin7::_color text_painter_t::get_text_highlighted_color() const {
  return text_highlighted_color.color;
}
void text_painter_t::set_text_active_highlighted_color(const orrin7::_color& c) {
  text_active_highlighted_color.set(c);
}
orrin7::_color text_painter_t::get_text_active_highlighted_color() const {
  return text_active_highlighted_color.color;
}
void text_painter_t::set_text_disabled_color(const orrin7::_color& c) {
  text_disabled_color.set(c);
}
const orrin7::_color& text_painter_t::get_text_disabled_color() const {
  return text_disabled_color.color;
}
void text_painter_t::set_text_disabled_active_color(const orrin7::_color& c) {
  text_disabled_active_color.set(c);
}
orrin7::_color text_painter_t::get_text_disabled_active_color() const {
  return text_disabled_active_color.color;
}
void text_painter_t::set_text_disabled_highlighted_color(const orrin7::_color& c) {
  text_disabled_highlighted_color.set(c);
}
orrin7::_color text_painter_t::get_text_disabled_highlighted_color() const {
  return text_disabled_highlighted_color.color;
}
void text_painter_t::set_text_disabled_active_highlighted_color(const orrin7::_color& c) {
  text_disabled_active_highlighted_color.set(c);
}
orrin7::_color text_painter_t::get_text_disabled_active_highlighted_color() const {
  return text_disabled_active_highlighted_color.color;
}

void text_painter_t::set_align(int value) { align = value; }
int text_painter_t::get_align() const { return align; }

void text_painter_t::initialize_colors() {
  base_painter_t::initialize_colors();
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const orrin7::_color text = palette.GetColor(orrin7::PAL_Text);
  const orrin7::_color selected_text = palette.GetColor(orrin7::PAL_SelectionText);
  text_color.derive(text);
  text_highlighted_color.derive(text);
  text_active_color.derive(selected_text);
  text_active_highlighted_color.derive(
      multiply_colors(text_highlighted_color.color, text_active_color.color));
  text_disabled_color.derive(lighten_color(text, 15));
  text_disabled_highlighted_color.derive(lighten_color(text, 15));
  text_disabled_active_color.derive(lighten_color(selected_text, 15));
  text_disabled_active_highlighted_color.derive(
      multiply_colors(text_disabled_highlighted_color.color, text_disabled_active_color.color));
  if (!font_is_explicit) cell_font = orrin7::GetDefaultGUIFont();
}

orrin7::_color text_painter_t::get_current_text_color(const draw_cell_params_t& params) const {
  const bool disabled = (params.cell_flags & 2) != 0;
  const color_slot_t* const table[2][2][2] = {
      // [highlighted][disabled][active]
      {{&text_color, &text_active_color}, {&text_disabled_color, &text_disabled_active_color}},
      {{&text_highlighted_color, &text_active_highlighted_color},
       {&text_disabled_highlighted_color, &text_disabled_active_highlighted_color}},
  };
  return table[is_highlighted(params)][disabled][params.active]->color;
}

std::wstring text_painter_t::get_cell_text(const draw_cell_params_t& params) {
  if (!params.text.empty() || params.column == 0xFFFFFFFF || !params.data_model) return params.text;
  if (!params.data_model->is_data_set(params.row, params.column)) return params.text;
  return params.data_model->get_text_data(params.row, params.column);
}

orrin7::rectangle<double> text_painter_t::get_text_box(const draw_cell_params_t& params) const {
  const orrin7::rectangle<double>& r = params.rect;
  return orrin7::rectangle<double>(r.left + margins.left, r.top + margins.top,
                                   r.right - margins.right, r.bottom - 1 - margins.bottom);
}

// A row without found items holds another alternative (the model's default value): no marks.
std::vector<data_model_found_item_t> text_painter_t::get_found_items(
    const draw_cell_params_t& params) {
  if (!params.data_model) return {};
  const cell_value_t value = params.data_model->get_data(params.row, found_items_column);
  const found_items_t* items = boost::get<found_items_t>(&value);
  return items ? *items : found_items_t();
}

}  // namespace column_painters
}  // namespace source_view4
