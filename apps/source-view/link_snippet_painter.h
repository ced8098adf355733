// The snippet painter of a profile's calls: the name of a callee that can be followed is drawn
// as a link, blue and underlined like the element's own links.
#pragma once
#include <string>
#include <utility>

#include "source_view4/group_painter.h"

namespace source_view_app {

// Where the callee's name lies in a call entry's title ("→ name   N calls   cost"): [first,
// second) as character offsets; (0, 0) for a title of another form.
std::pair<std::size_t, std::size_t> callee_name_span(const std::wstring& title);

// Draws snippets like the component's snippet painter it is copied from (font, margins, images,
// additional flags); in entries carrying view_description_t::link_entry the callee's name takes
// the link look. Shared through smart_pointer_t like every painter.
class link_snippet_painter_t : public source_view4::column_painters::snippet_painter_t {
 public:
  explicit link_snippet_painter_t(const snippet_painter_t& look);

  // The element's link look: its text colour, and its font's underline.
  static orrin7::_color link_color() { return orrin7::_color::rgb(0, 0, 255); }

 protected:
  void draw_entry_title(orrin7::IPainter* painter, const orrin7::rectangle<double>& box,
                        const source_view4::snippet_item_t& item, int align) override;
};

}  // namespace source_view_app
