// image_painter_t and label_painter_t: images side by side, labels through the framework's label
// drawing, and their measurements.
#include "source_view4/label_painter.h"

#include <algorithm>

#include "orrinfrw7/draw_label.h"
#include "painters/painter_support.h"

namespace source_view4 {
namespace column_painters {

namespace {

// Pixels between two labels: as drawn, and as the measuring functions count them.
constexpr double drawn_label_spacing = 4.0;
constexpr double measured_label_spacing = 7.0;
// Pixels between a label's image and its text.
constexpr int image_text_spacing = 3;
// Where a label's text may be cut when it is shortened.
const std::wstring label_break_chars = L" .\n";

std::wstring joined_texts(const label_list_t& labels) {
  std::wstring out;
  for (const std::wstring& text : labels.texts) out += text;
  return out;
}

std::size_t label_count(const label_list_t& labels) {
  return std::min(labels.texts.size(), labels.image_indexes.size());
}

}  // namespace

image_painter_t::image_painter_t() = default;
image_painter_t::image_painter_t(const image_painter_t& other) = default;
image_painter_t& image_painter_t::operator=(const image_painter_t& other) = default;
image_painter_t::~image_painter_t() = default;

void image_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr)) return;
  draw_cell_background(params);
  const std::optional<std::vector<int>> indexes = read_cell_value<std::vector<int>>(params);
  if (indexes && image_list) {
    int x = to_pixel(params.rect.left);
    const int y = to_pixel(params.rect.top);
    for (const int index : *indexes) {
      if (!has_image(index)) continue;
      image_list->Draw(painter, index, x, y, 0, 0);
      x += image_size(index).width;
    }
  }
  draw_cell_lines(params);
}

orrin7::rectangle<double> image_painter_t::get_content_rect(const draw_cell_params_t& params) {
  const std::optional<std::vector<int>> indexes = read_cell_value<std::vector<int>>(params);
  orrin7::rectangle<double> content = params.rect;
  const double count = indexes ? double(indexes->size()) : 0.0;
  content.right = content.left + count * (content.bottom - content.top);
  return content;
}

orrin7::size<double> image_painter_t::get_content_size(const draw_cell_params_t& params) {
  const std::optional<std::vector<int>> indexes = read_cell_value<std::vector<int>>(params);
  orrin7::size<double> content(0.0, 0.0);
  if (!indexes) return content;
  for (const int index : *indexes) {
    if (!has_image(index)) continue;
    const orrin7::size<int> image = image_size(index);
    content.width += image.width;
    content.height = std::max(content.height, double(image.height));
  }
  return content;
}

void image_painter_t::set_image_list(orrin7::orrin_ptr<orrin7::IImageList> list) {
  image_list = std::move(list);
}
orrin7::orrin_ptr<orrin7::IImageList> image_painter_t::get_image_list() const { return image_list; }

bool image_painter_t::has_image(int index) const {
  return image_list && index < image_list->GetImageCount();
}

orrin7::size<int> image_painter_t::image_size(int index) const {
  return image_list ? image_list->GetImageSize(index) : orrin7::size<int>();
}

label_painter_t::label_painter_t() = default;
label_painter_t::label_painter_t(const label_painter_t& other) = default;
label_painter_t& label_painter_t::operator=(const label_painter_t& other) = default;
label_painter_t::~label_painter_t() = default;

void label_painter_t::on_draw_cell(const draw_cell_params_t& params) {
  orrin7::IPainter* painter = params.painter;
  if (!SYSPORT_CHECK(painter != nullptr)) return;
  draw_cell_background(params);
  const std::optional<label_list_t> labels = read_cell_value<label_list_t>(params);
  if (labels && image_list) {
    scoped_font_t font(painter, cell_font);
    painter->SetTextColor(get_current_text_color(params));
    const orrin7::rectangle<double>& r = params.rect;
    double x = r.left + margins.left;
    const int top = to_pixel(r.top + margins.top);
    const int right = to_pixel(r.right - margins.right);
    const int bottom = to_pixel(r.bottom - 1 - margins.bottom);
    for (std::size_t i = 0; i < label_count(*labels); ++i) {
      const int index = labels->image_indexes[i];
      if (!has_image(index)) continue;
      const orrin7::rectangle<int> used = orrinfrw7::DrawLabel(
          painter, orrin7::rectangle<int>(to_pixel(x), top, right, bottom), labels->texts[i], align,
          image_text_spacing, image_list, index, /*layout=*/nullptr, label_break_chars,
          /*formatter=*/nullptr);
      x += used.width() + drawn_label_spacing;
    }
  }
  draw_cell_lines(params);
}

orrin7::rectangle<double> label_painter_t::get_content_rect(const draw_cell_params_t& params) {
  const orrin7::rectangle<double>& r = params.rect;
  if (!SYSPORT_CHECK(params.painter != nullptr)) return r;
  const std::optional<label_list_t> labels = read_cell_value<label_list_t>(params);
  if (!labels) return r;
  const double n = double(labels->image_indexes.size());
  const double images = n * (r.bottom - r.top) + measured_label_spacing * n;
  const orrin7::rectangle<double> box(r.left + margins.left, r.top + margins.top,
                                      r.right - images - margins.right,
                                      r.bottom - 1 - margins.bottom);
  orrin7::rectangle<double> measured;
  {
    scoped_font_t font(params.painter, cell_font);
    measured =
        params.painter->GetTextRect(box, joined_texts(*labels), align | orrin7::TA_CalcRect, -1);
  }
  measured.right += images;
  return measured;
}

orrin7::size<double> label_painter_t::get_content_size(const draw_cell_params_t& params) {
  orrin7::size<double> content(margins.left + margins.right, margins.top + margins.bottom);
  if (!SYSPORT_CHECK(params.painter != nullptr)) return content;
  const auto text_width = [&](const std::wstring& text) {
    return params.painter->GetTextSize(text, &cell_font, -1, true, true).width;
  };
  if (!params.text.empty() || params.column == 0xFFFFFFFF) {
    content.width += text_width(params.text);
    return content;
  }
  const std::optional<label_list_t> labels = read_cell_value<label_list_t>(params);
  if (!labels) return content;
  for (std::size_t i = 0; i < label_count(*labels); ++i) {
    const int index = labels->image_indexes[i];
    if (!has_image(index)) continue;
    const orrin7::size<int> image = image_size(index);
    content.height = std::max(content.height, double(image.height));
    content.width += image.width + measured_label_spacing + text_width(labels->texts[i]);
  }
  return content;
}

}  // namespace column_painters
}  // namespace source_view4
