// DrawLabel: places a label's image and text in a box, shortening the text to fit.
#include "orrinfrw7/draw_label.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "orrinfrw7/geometry.h"
#include "sysport/debug.h"

namespace orrinfrw7 {

ILabelTextFormatter::~ILabelTextFormatter() = default;

namespace {

const std::wstring ellipsis = L"\u2026";
constexpr int vertical_flags = orrin7::TA_Top | orrin7::TA_Bottom | orrin7::TA_VCenter;

double TextWidth(orrin7::IPainter* painter, const std::wstring& text) {
  if (text.empty()) return 0.0;
  return painter->GetTextSize(text, nullptr, -1, /*line_height=*/true, /*logical=*/true).width;
}

// The last index in [0, count) for which `fits` holds, when it holds for the first few indexes
// and for none after them (longer text is never narrower); -1 when it holds for none.
template <class Fits>
long LastFitting(long count, const Fits& fits) {
  long low = 0, high = count;
  while (low < high) {
    const long middle = low + (high - low) / 2;
    if (fits(middle)) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low - 1;
}

// Lengths of the prefixes of `text` that end before a break character, without the break
// characters they end in; ascending, without repeats, none empty.
std::vector<std::size_t> WordCuts(const std::wstring& text, const std::wstring& break_chars) {
  std::vector<std::size_t> cuts;
  const auto is_break = [&break_chars](wchar_t c) {
    return break_chars.find(c) != std::wstring::npos;
  };
  for (std::size_t p = 1; p < text.size(); ++p) {
    if (!is_break(text[p])) continue;
    std::size_t length = p;
    while (length > 0 && is_break(text[length - 1])) --length;
    if (length > 0 && (cuts.empty() || cuts.back() != length)) cuts.push_back(length);
  }
  return cuts;
}

// `text` shortened so that it and "…" fit `available` pixels: at a word cut when one fits,
// otherwise after as many characters as fit; empty when not even "…" fits.
std::wstring ShortenedText(orrin7::IPainter* painter, const std::wstring& text, double available,
                           const std::wstring& break_chars) {
  if (TextWidth(painter, ellipsis) > available) return std::wstring();
  const auto fits = [&](std::size_t length) {
    return TextWidth(painter, text.substr(0, length) + ellipsis) <= available;
  };
  const std::vector<std::size_t> cuts = WordCuts(text, break_chars);
  const long word = LastFitting(long(cuts.size()), [&](long i) { return fits(cuts[i]); });
  if (word >= 0) return text.substr(0, cuts[std::size_t(word)]) + ellipsis;
  const long length = LastFitting(long(text.size()), [&](long n) { return fits(std::size_t(n)); });
  return text.substr(0, std::size_t(std::max(0L, length))) + ellipsis;
}

// The top of something `height` pixels high placed in `box` by the vertical align flags.
int PlaceVertically(const orrin7::rectangle<int>& box, int height, int align) {
  if (align & orrin7::TA_VCenter) return box.top + (box.height() - height) / 2;
  if (align & orrin7::TA_Bottom) return box.bottom - height;
  return box.top;
}

// The left edge of something `width` pixels wide placed in `box` by the horizontal align flags;
// what is wider than the box starts at its left edge.
int PlaceHorizontally(const orrin7::rectangle<int>& box, int width, int align) {
  if (width >= box.width()) return box.left;
  if (align & orrin7::TA_HCenter) return box.left + (box.width() - width) / 2;
  if (align & orrin7::TA_Right) return box.right - width;
  return box.left;
}

// A label's parts placed in its box, and the rectangle they take together.
struct CPlacedLabel {
  CLabelLayout parts;
  orrin7::rectangle<int> used;
};

// Places an image of `image` size (none when empty) and `text`, `gap` pixels apart, in `box`; the
// text is shortened to the room the image leaves.
CPlacedLabel PlaceLabel(orrin7::IPainter* painter, const orrin7::rectangle<int>& box,
                        std::wstring text, int align, int gap, const orrin7::size<int>& image,
                        const std::wstring& break_chars) {
  const double available = double(box.width()) - image.width - gap;
  if (TextWidth(painter, text) > available) {
    text = ShortenedText(painter, text, available, break_chars);
  }
  const int text_width = text.empty() ? 0 : int(std::ceil(TextWidth(painter, text)));
  const int width = image.width + (text.empty() ? 0 : gap + text_width);
  const int left = PlaceHorizontally(box, width, align);

  CPlacedLabel placed;
  orrin7::rectangle<int>& image_rect = placed.parts.image;
  const int image_top = PlaceVertically(box, image.height, align);
  image_rect =
      orrin7::rectangle<int>(left, image_top, left + image.width, image_top + image.height);
  placed.used = image.width > 0 ? image_rect : orrin7::rectangle<int>(left, box.top, left, box.top);
  placed.parts.text = orrin7::rectangle<int>(image_rect.right, box.top, image_rect.right, box.top);
  if (!text.empty()) {
    const int line_height = int(std::ceil(
        painter->GetTextSize(text, nullptr, -1, /*line_height=*/true, /*logical=*/true).height));
    const int text_left = image_rect.right + gap;
    const int top = PlaceVertically(box, line_height, align);
    placed.parts.text =
        orrin7::rectangle<int>(text_left, top, text_left + text_width, top + line_height);
    placed.used = image.width > 0 ? Hull(placed.used, placed.parts.text) : placed.parts.text;
  }
  placed.parts.shown_text = std::move(text);
  return placed;
}

}  // namespace

orrin7::rectangle<int> DrawLabel(orrin7::IPainter* painter, const orrin7::rectangle<int>& box,
                                 const std::wstring& text, int align, int spacing,
                                 const orrin7::orrin_ptr<orrin7::IImageList>& images,
                                 int image_index, CLabelLayout* layout,
                                 const std::wstring& break_chars,
                                 const ILabelTextFormatter* formatter) {
  const orrin7::rectangle<int> nothing(box.left, box.top, box.left, box.top);
  if (layout != nullptr) *layout = CLabelLayout{nothing, nothing, std::wstring()};
  if (!SYSPORT_CHECK(painter != nullptr)) return nothing;

  const bool has_image = images && image_index >= 0 && image_index < images->GetImageCount();
  const orrin7::size<int> image =
      has_image ? images->GetImageSize(image_index) : orrin7::size<int>();
  if (image.width > box.width()) return nothing;
  const CPlacedLabel placed =
      PlaceLabel(painter, box, formatter != nullptr ? formatter->FormatLabelText(text) : text,
                 align, has_image ? std::max(0, spacing) : 0, image, break_chars);

  if (!(align & orrin7::TA_CalcRect)) {
    const CLabelLayout& parts = placed.parts;
    if (has_image) images->Draw(painter, image_index, parts.image.left, parts.image.top, 0, 0);
    if (!parts.shown_text.empty()) {
      const int text_align = (align & vertical_flags) | orrin7::TA_Left | orrin7::TA_SingleLine;
      painter->DrawString(
          orrin7::rectangle<double>(parts.text.left, box.top, parts.text.right, box.bottom),
          parts.shown_text, text_align, -1);
    }
  }
  if (layout != nullptr) *layout = placed.parts;
  return placed.used;
}

}  // namespace orrinfrw7
