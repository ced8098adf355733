// Call entries with their callee's name drawn as a link.
#include "link_snippet_painter.h"

#include "view_data.h"

namespace source_view_app {

std::pair<std::size_t, std::size_t> callee_name_span(const std::wstring& title) {
  const std::wstring arrow = L"\u2192 ";
  if (title.compare(0, arrow.size(), arrow) != 0) return {0, 0};
  // The name runs to the three spaces before the call count (a name has single spaces at most).
  std::size_t end = title.find(L"   ", arrow.size());
  if (end == std::wstring::npos) end = title.size();
  return {arrow.size(), end};
}

// The base painter is virtual: it is copied here too, or it would start from its defaults.
link_snippet_painter_t::link_snippet_painter_t(const snippet_painter_t& look)
    : base_painter_t(look), snippet_painter_t(look) {}

void link_snippet_painter_t::draw_entry_title(orrin7::IPainter* painter,
                                              const orrin7::rectangle<double>& box,
                                              const source_view4::snippet_item_t& item, int align) {
  std::pair<std::size_t, std::size_t> name = callee_name_span(item.title);
  if ((item.flags & view_description_t::link_entry) == 0 || name.first == name.second)
    return snippet_painter_t::draw_entry_title(painter, box, item, align);
  const orrin7::font plain = painter->GetFont();
  const orrin7::_color ink = painter->GetTextColor();
  orrin7::rectangle<double> rest = box;
  // Each piece starts where the one before ends, spaces included.
  auto draw = [&](const std::wstring& piece) {
    painter->DrawString(rest, piece, align, -1);
    rest.left += painter->GetTextSize(piece, nullptr, -1, true, true).width;
  };
  draw(item.title.substr(0, name.first));
  orrin7::font underlined = plain;
  underlined.style |= orrin7::FS_Underline;
  painter->SetFont(underlined);
  painter->SetTextColor(link_color());
  draw(item.title.substr(name.first, name.second - name.first));
  painter->SetFont(plain);
  painter->SetTextColor(ink);
  draw(item.title.substr(name.second));
}

}  // namespace source_view_app
