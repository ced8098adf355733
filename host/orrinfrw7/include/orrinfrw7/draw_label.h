// DrawLabel: one label, an image followed by its text, drawn in a box on one line.
#pragma once

#include <string>

#include "orrin7/painter.h"
#include "orrin7/system.h"
#include "orrin7/types.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Where DrawLabel put the parts of a label, in the painter's coordinates, so that a caller can
// hit-test them or show the whole text in a tooltip when it was shortened.
struct CLabelLayout {
  orrin7::rectangle<int> image;  // empty (no width) when the label has no image
  orrin7::rectangle<int> text;   // empty when no text was drawn
  std::wstring shown_text;       // the text as drawn, ending in "…" when it was shortened
};

// Turns a label's text into the text shown (a translation, a count appended, …) before it is
// measured and drawn.
class ILabelTextFormatter {
 public:
  virtual ~ILabelTextFormatter();
  virtual std::wstring FormatLabelText(const std::wstring& text) const = 0;
};

// Draws image `image_index` of `images` followed, `spacing` pixels further, by `text` in the
// painter's current font and text colour, inside `box`, and answers the rectangle the label took
// (its width is the image's, the spacing and the drawn text's, rounded up to whole pixels).
//
// - The label is placed at the box's left edge, or at its right edge or centre when `align` has
//   TA_Right or TA_HCenter (a label wider than the box stays at the left edge); the image and the
//   text are each placed at the top, bottom or middle of the box by TA_Top, TA_Bottom or
//   TA_VCenter (top without any of them). TA_CalcRect measures only: nothing is drawn.
// - The text is drawn on one line. When it does not fit the box beside the image it is shortened
//   and ends in "…": cut before one of `break_chars` when such a cut leaves some text, otherwise
//   between any two characters; a box too narrow even for "…" shows no text.
// - A label without an image (no image list, or an index outside it, negative ones included) is
//   its text alone; an image wider than the box is not drawn, and neither is the label's text.
// - `layout` (may be null) receives where the parts went; `formatter` (may be null) turns the text
//   into the text shown.
// A null painter is a failed precondition: reported, nothing drawn, an empty rectangle at the
// box's top-left corner answered.
orrin7::rectangle<int> DrawLabel(orrin7::IPainter* painter, const orrin7::rectangle<int>& box,
                                 const std::wstring& text, int align, int spacing,
                                 const orrin7::orrin_ptr<orrin7::IImageList>& images,
                                 int image_index, CLabelLayout* layout,
                                 const std::wstring& break_chars,
                                 const ILabelTextFormatter* formatter);

}  // namespace orrinfrw7

#pragma GCC visibility pop
