// IPainter: the drawing surface every element and cell painter draws on, and the focus line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orrin7/types.h"

#pragma GCC visibility push(default)

namespace orrin7 {

// Text alignment and layout flags of the text operations.
enum TextAlign : int {
  TA_Left = 0x1,
  TA_Right = 0x2,
  TA_HCenter = 0x4,
  TA_Top = 0x8,
  TA_Bottom = 0x10,
  TA_VCenter = 0x20,
  TA_SingleLine = 0x40,
  TA_EndEllipsis = 0x100,  // end with "…" when the text does not fit the rectangle's width
  TA_CalcRect = 0x1000,    // measure only: answer the rectangle, draw nothing
};

// Background modes of text drawing.
enum BkMode : int { BK_Transparent = 0, BK_Opaque = 1 };

// An image in memory: `width` × `height` pixels, row by row, each a 32-bit ARGB value with
// premultiplied alpha (alpha in the high byte).
struct bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// A drawing surface. Coordinates are pixels of the surface (after the current origin); a pixel
// (x, y) covers [x, x + 1) × [y, y + 1), lines are drawn through pixel centres. Drawing state
// (pen, brush, font, colours, background mode, origin, clip) belongs to the surface and stays
// until changed.
class IPainter {
 public:
  virtual ~IPainter();

  // Opens a painting pass; passes nest and only the outermost EndPaint closes it. `mode` is
  // informational (3: a measuring pass opened by a cell painter's client).
  virtual void BeginPaint(int mode) = 0;
  virtual void EndPaint() = 0;

  virtual void SetPen(const pen& p) = 0;
  virtual pen GetPen() const = 0;
  virtual void SetBrush(const brush& b) = 0;
  virtual brush GetBrush() const = 0;
  virtual void SetFont(const font& f) = 0;
  virtual font GetFont() const = 0;
  virtual void SetTextColor(const _color& c) = 0;
  virtual _color GetTextColor() const = 0;
  virtual void SetBkColor(const _color& c) = 0;
  virtual _color GetBkColor() const = 0;
  // BK_Opaque fills the background of drawn text with the SetBkColor colour.
  virtual void SetBkMode(int mode) = 0;
  virtual int GetBkMode() const = 0;

  // Fills [left, right) × [top, bottom) with the current brush.
  virtual void FillRect(double left, double top, double right, double bottom) = 0;
  virtual void MoveTo(double x, double y) = 0;
  // A line with the current pen from the current point; the end point becomes the current one.
  // Both end pixels are covered.
  virtual void LineTo(double x, double y) = 0;
  // A rectangle with rounded corners: filled with the brush, outlined with the pen.
  virtual void RoundRect(double left, double top, double right, double bottom, double rx,
                         double ry) = 0;
  // A closed polygon: filled with the brush, outlined with the pen.
  virtual void Polygon(const point<double>* points, int count) = 0;
  virtual void DrawBitmap(const bitmap& image, int x, int y) = 0;

  // Draws `length` characters of `text` (-1: all) in `rect` by the align flags and answers the
  // drawn extent (width and height of the text as laid out). The text is not clipped; with
  // TA_EndEllipsis it is shortened to the rectangle's width, and a rectangle narrower than one
  // pixel then leaves no room for it (nothing drawn, 0 × 0). Without TA_SingleLine, line feeds
  // break lines. A text's height is its number of lines times the font's line height.
  virtual size<double> DrawString(const rectangle<double>& rect, const std::wstring& text,
                                  int align, int length) = 0;
  // Draws the text clipped to `rect` and aligned in it by the flags.
  virtual void DrawStringNative(const rectangle<double>& rect, const std::wstring& text,
                                int align) = 0;
  // The rectangle the text takes when laid out in `rect` by the flags; with TA_CalcRect it only
  // measures, otherwise it also draws.
  virtual rectangle<double> GetTextRect(const rectangle<double>& rect, const std::wstring& text,
                                        int align, int length) = 0;
  // The extent of `length` characters of `text` (-1: all) in font `f` (null: the current font),
  // measured on one line as TA_SingleLine draws it.
  // `line_height`: the height is the font's line height rather than the text's own; `logical`:
  // the width includes trailing spaces and the spacing after the last glyph.
  virtual size<double> GetTextSize(const std::wstring& text, const font* f, int length,
                                   bool line_height, bool logical) = 0;
  // Metrics of the current font.
  virtual fontmetrics GetFontMetrics() = 0;

  // Restricts drawing to `rect` (intersected with the clip in force) until the matching PopClip.
  virtual void PushClip(const rectangle<double>& rect) = 0;
  virtual void PopClip() = 0;
  // Shifts the coordinate origin; elements draw in their own coordinates.
  virtual void SetOrigin(const point<double>& origin) = 0;
  virtual point<double> GetOrigin() const = 0;
};

// A dotted focus line from `from` to `to` (both end pixels covered, first pixel set) in the
// current text colour, which contrasts with the background text is drawn on; one pixel wide, two
// when `thick`. The painter's pen is kept.
void DrawFocusLine(IPainter* painter, const point<double>& from, const point<double>& to,
                   bool thick);

}  // namespace orrin7

#pragma GCC visibility pop
