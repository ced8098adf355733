// DrawFocusLine: the dotted line that marks the focused row.
#include "orrin7/painter.h"

namespace orrin7 {

// Drawn in the current text colour, which contrasts with the background the text sits on; a
// thick line is two pixels wide. The painter's pen is restored afterwards.
void DrawFocusLine(IPainter* painter, const point<double>& from, const point<double>& to,
                   bool thick) {
  if (painter == nullptr) return;
  const pen saved = painter->GetPen();
  painter->SetPen(pen(painter->GetTextColor(), thick ? 2 : 0, 3));
  painter->MoveTo(from.x, from.y);
  painter->LineTo(to.x, to.y);
  painter->SetPen(saved);
}

}  // namespace orrin7
