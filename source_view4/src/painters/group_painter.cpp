// group_painter_t: the button icons, the group colours and font, the header cell.
#include "source_view4/group_painter.h"

#include <cstdio>
#include <string>
#include <vector>

#include "painters/painter_support.h"

namespace source_view4 {
namespace column_painters {

namespace {

constexpr int button_size = 9;
constexpr int plus_icon = 0;
constexpr int minus_icon = 1;

// A 9 × 9 square outline holding a plus or minus, in `ink`; the rest is transparent. The ink is
// the palette's text colour, black in the light palette.
std::vector<std::string> button_icon_xpm(bool plus, const orrin7::_color& ink) {
  char ink_line[16];
  std::snprintf(ink_line, sizeof ink_line, "  c #%02X%02X%02X", unsigned(ink.red()),
                unsigned(ink.green()), unsigned(ink.blue()));
  const std::string bar = plus ? " ### ### " : " ####### ";
  return {"9 9 3 1 0 0", ink_line,    "! c #FFFFFF", "# c None", "         ", " ####### ", bar,
          bar,           " #     # ", bar,           bar,        " ####### ", "         "};
}

orrin7::orrin_ptr<orrin7::IImageList> make_button_images(const orrin7::_color& ink) {
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  if (!SYSPORT_CHECK(system != nullptr)) return {};
  orrin7::orrin_ptr<orrin7::IImageList> images = system->CreateImageList(button_size, button_size);
  if (!images) return images;
  for (const bool plus : {true, false}) {
    images->Add(orrin7::XPMImage(orrin7::XPMBuf(button_icon_xpm(plus, ink))).GetBitmap());
  }
  return images;
}

// Whether two colours have the same red, green and blue (flag and alpha aside).
bool same_rgb(const orrin7::_color& a, const orrin7::_color& b) {
  return ((a.value ^ b.value) & 0x00FFFFFFu) == 0;
}

// The group background (palette entry 3) and its active form, mixed halfway with the selection
// colour.
struct group_colors_t {
  orrin7::_color background;
  orrin7::_color active;
};

group_colors_t palette_group_colors() {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const orrin7::_color group = palette.GetColor(orrin7::PAL_GroupBackground);
  orrin7::_color active = blend_colors(palette.GetColor(orrin7::PAL_SelectionBackground), group);
  active.value |= 0xFF000000u;
  return {group, active};
}

// Moves a slot that still holds what the last update wrote on to the current palette's colour.
void follow(color_slot_t& slot, orrin7::_color& written, const orrin7::_color& now) {
  if (!slot.is_explicit || !(slot.color == written)) return;
  slot.color = now;
  written = now;
}

}  // namespace

group_painter_t::group_painter_t() { group_painter_t::initialize_colors(); }

group_painter_t::group_painter_t(const group_painter_t& other) = default;
group_painter_t& group_painter_t::operator=(const group_painter_t& other) = default;
group_painter_t::~group_painter_t() = default;

void group_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr) || !params.hierarchical_model) return;
  orrin7::rectangle<double> box = get_text_box(params);
  draw_cell_background(params);
  {
    scoped_font_t font(painter, cell_font);
    painter->SetTextColor(text_color.color);
    const std::wstring text =
        grid_or_model_text(params, params.hierarchical_model->get_flat_row_index(params.row));
    if (draw_button) {
      draw_button_icon(params, to_pixel(params.rect.left + control_element_margin),
                       to_pixel(params.rect.top + control_element_margin));
      box.left += control_element_margin + button_size + control_element_margin;
    }
    painter->DrawString(box, text, align, -1);
  }
  draw_cell_lines(params);
}

int group_painter_t::get_group_button_size() { return button_size; }

void group_painter_t::set_draw_button(bool value) { draw_button = value; }
bool group_painter_t::get_draw_button() const { return draw_button; }

orrin7::rectangle<double> group_painter_t::get_group_control_rect(
    const draw_cell_params_t& params) const {
  const double left = params.rect.left + control_element_margin;
  const double top = params.rect.top + control_element_margin;
  return orrin7::rectangle<double>(left, top, left + button_size, top + button_size);
}

// The text painter's step derives the highlighted backgrounds from the background colours as
// they stood before this call sets the group's own: at construction the cell colours, later the
// group colours of the last update, which follow_palette first brings to the current palette.
void group_painter_t::initialize_colors() {
  follow_palette();
  text_painter_t::initialize_colors();
  orrin7::font bold = cell_font;
  bold.style |= orrin7::FS_Bold;
  set_font(bold);
  const group_colors_t colors = palette_group_colors();
  set_background_color(colors.background);
  set_background_active_color(colors.active);
  written_background = colors.background;
  written_background_active = colors.active;
  group_colors_written = true;
}

// Without this step the highlighted backgrounds would be derived from the previous palette's
// group colours and lag one update behind a palette change (light ones under the dark palette).
// Under an unchanged palette it writes the values the slots already hold.
void group_painter_t::follow_palette() {
  const orrin7::_color ink = orrin7::GetSysPalette().GetColor(orrin7::PAL_Text);
  if (!button_images || !same_rgb(ink, button_ink)) {
    button_images = make_button_images(ink);
    button_ink = ink;
  }
  if (!group_colors_written) return;
  const group_colors_t now = palette_group_colors();
  follow(background_color, written_background, now.background);
  follow(background_active_color, written_background_active, now.active);
}

void group_painter_t::draw_button_icon(const draw_cell_params_t& params, int x, int y) const {
  if (!button_images) return;
  const bool collapsed =
      params.hierarchical_model &&
      params.hierarchical_model->get_row_hierarchical_state(params.row) == row_state_collapsed;
  button_images->Draw(params.painter, collapsed ? plus_icon : minus_icon, x, y, 0, 0);
}

}  // namespace column_painters
}  // namespace source_view4
