// group_painter_t: the button icons, the group colours and font, the header cell.
#include "source_view4/group_painter.h"

#include <string>
#include <vector>

#include "painters/painter_support.h"

namespace source_view4 {
namespace column_painters {

namespace {

constexpr int button_size = 9;
constexpr int plus_icon = 0;
constexpr int minus_icon = 1;

// A 9 × 9 black square outline holding a black plus or minus; the rest is transparent.
std::vector<std::string> button_icon_xpm(bool plus) {
  const std::string bar = plus ? " ### ### " : " ####### ";
  return {"9 9 3 1 0 0", "  c #000000", "! c #FFFFFF", "# c None", "         ", " ####### ", bar,
          bar,           " #     # ",   bar,           bar,        " ####### ", "         "};
}

orrin7::orrin_ptr<orrin7::IImageList> make_button_images() {
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  if (!SYSPORT_CHECK(system != nullptr)) return {};
  orrin7::orrin_ptr<orrin7::IImageList> images = system->CreateImageList(button_size, button_size);
  if (!images) return images;
  for (const bool plus : {true, false}) {
    images->Add(orrin7::XPMImage(orrin7::XPMBuf(button_icon_xpm(plus))).GetBitmap());
  }
  return images;
}

}  // namespace

group_painter_t::group_painter_t() : button_images(make_button_images()) {
  group_painter_t::initialize_colors();
}

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
// they stood before this call sets the group's own.
void group_painter_t::initialize_colors() {
  text_painter_t::initialize_colors();
  orrin7::font bold = cell_font;
  bold.style |= orrin7::FS_Bold;
  set_font(bold);
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const orrin7::_color group = palette.GetColor(orrin7::PAL_GroupBackground);
  set_background_color(group);
  orrin7::_color active = blend_colors(palette.GetColor(orrin7::PAL_SelectionBackground), group);
  active.value |= 0xFF000000u;
  set_background_active_color(active);
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
