// CCairoPainter: every IPainter operation on a Cairo context, text through the Pango engine.
#include "orrin7/cairo_painter.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "orrin7/system.h"
#include "text_engine.h"

namespace orrin7 {

namespace {

// Coordinates beyond this many pixels are clamped: Cairo's fixed-point paths cannot hold them, and
// nothing that far away is visible anyway.
constexpr double coordinate_limit = 1 << 22;

bool Finite(double v) { return std::isfinite(v); }
bool Finite(const rectangle<double>& r) {
  return Finite(r.left) && Finite(r.top) && Finite(r.right) && Finite(r.bottom);
}
double Clamp(double v) { return std::clamp(v, -coordinate_limit, coordinate_limit); }

// Text is never laid out wider than this many pixels, which keeps widths in Pango units within an
// int however wide the rectangle.
constexpr double widest_text = 1 << 20;

void SetSource(cairo_t* cr, const _color& c) {
  cairo_set_source_rgba(cr, c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0,
                        c.alpha() / 255.0);
}

// Dash patterns of the pen styles, in multiples of the line width.
void SetDashes(cairo_t* cr, int style, double width) {
  if (style == 2) {
    const double dashes[] = {4 * width, 2 * width};
    cairo_set_dash(cr, dashes, 2, 0);
  } else if (style == 3) {
    const double dots[] = {width, width};
    cairo_set_dash(cr, dots, 2, 0);
  } else {
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

text::horizontal_t Horizontal(int align) {
  if (align & TA_HCenter) return text::horizontal_t::centre;
  if (align & TA_Right) return text::horizontal_t::right;
  return text::horizontal_t::left;
}

text::vertical_t Vertical(int align) {
  if (align & TA_VCenter) return text::vertical_t::centre;
  if (align & TA_Bottom) return text::vertical_t::bottom;
  return text::vertical_t::top;
}

// Where a block of `extent` pixels starts in [low, high) by the alignment, on whole pixels.
double AlignedStart(double low, double high, double extent, int where) {
  double start = low;
  if (where == 1) start = low + (high - low - extent) / 2;
  if (where == 2) start = high - extent;
  return std::floor(start + 0.5);
}

std::size_t CharacterCount(const std::wstring& s, int length) {
  if (length < 0) return s.size();
  return std::min(s.size(), std::size_t(length));
}

}  // namespace

// A text laid out in a rectangle. Its box is as wide as the text's advance and as high as its
// lines in the font's line height, whatever fallback faces some characters need, so that pieces
// of one line drawn one after another share their baseline.
struct placed_text_t {
  const text::shaped_text_t* shaped = nullptr;  // null: nothing to draw
  double x = 0.0;                               // top-left of the box, before the origin
  double y = 0.0;
  double width = 0.0;
  double height = 0.0;
  double layout_x = 0.0;  // where the layout's own top-left goes
  double layout_y = 0.0;
};

enum class save_kind_t { paint, clip };

struct CCairoPainter::state_t {
  cairo_t* cr = nullptr;
  pen current_pen;
  brush current_brush;
  font current_font;
  int face = 0;
  _color text_color = _color::rgb(0, 0, 0);
  _color bk_color = _color::rgb(0xFF, 0xFF, 0xFF);
  int bk_mode = BK_Transparent;
  point<double> position;
  point<double> origin;
  int paint_depth = 0;
  std::vector<save_kind_t> saves;  // cairo_save calls not yet restored, innermost last
  text::CTextEngine engine;

  double X(double x) const { return Clamp(x + origin.x); }
  double Y(double y) const { return Clamp(y + origin.y); }

  void Restore() {
    cairo_restore(cr);
    saves.pop_back();
  }

  // Sets the pen on the context; false when the pen draws nothing.
  bool ApplyPen() {
    if (current_pen.style == 0) return false;
    const double width = current_pen.width < 1 ? 1.0 : double(current_pen.width);
    SetSource(cr, current_pen.color);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    SetDashes(cr, current_pen.style, width);
    return true;
  }

  // Lines run through pixel centres, so a line of odd width covers whole pixels.
  double PenOffset() const {
    const int width = current_pen.width < 1 ? 1 : current_pen.width;
    return (width % 2) ? 0.5 : 0.0;
  }

  // Fills the current path with the brush and strokes it with the pen, then clears it.
  void FillAndStroke() {
    if (current_brush.style == 1) {
      SetSource(cr, current_brush.color);
      cairo_fill_preserve(cr);
    }
    if (ApplyPen()) cairo_stroke_preserve(cr);
    cairo_new_path(cr);
  }

  placed_text_t Place(const rectangle<double>& rect, const std::wstring& s, int align, int length,
                      bool clipped);
  void Draw(const placed_text_t& placed, const rectangle<double>* clip);
  void DrawLayout(const placed_text_t& placed);
  void ShowGlyphs(const text::shaped_text_t& shaped);

  std::vector<cairo_glyph_t> glyphs;  // reused by ShowGlyphs
};

// Lays the text out in `rect` by the flags. Only the part of an over-long line that can show is
// shaped: the part the ellipsis width or, for clipped text, the rectangle's width can hold.
placed_text_t CCairoPainter::state_t::Place(const rectangle<double>& rect, const std::wstring& s,
                                            int align, int length, bool clipped) {
  placed_text_t placed;
  if (!Finite(rect)) return placed;
  placed.x = std::floor(rect.left + 0.5);
  placed.y = std::floor(rect.top + 0.5);
  text::layout_request_t request;
  request.face = face;
  request.alignment = Horizontal(align);
  request.single_line = (align & TA_SingleLine) != 0;
  request.ellipsis = (align & TA_EndEllipsis) != 0;
  request.max_width = std::min(rect.right - rect.left, widest_text);
  if (request.ellipsis && request.max_width < 1.0) return placed;
  request.layout_needed = cr == nullptr || cairo_surface_has_show_text_glyphs(cairo_get_target(cr));
  if (request.ellipsis || (clipped && request.alignment == text::horizontal_t::left)) {
    request.cut = text::cut_t::keep_start;
  } else if (clipped && request.alignment == text::horizontal_t::right) {
    request.cut = text::cut_t::keep_end;
  }
  const text::shaped_text_t& shaped = engine.Shape(s.data(), CharacterCount(s, length), request);
  const fontmetrics& metrics = engine.GetFace(face).metrics;
  placed.shaped = &shaped;
  placed.width = shaped.logical.width;
  placed.height = double(metrics.line_height()) * shaped.lines;
  placed.x = AlignedStart(rect.left, rect.right, placed.width, int(request.alignment));
  placed.y = AlignedStart(rect.top, rect.bottom, placed.height, int(Vertical(align)));
  placed.layout_x = placed.x - shaped.logical.x;
  placed.layout_y = placed.y + metrics.ascent - shaped.baseline;
  return placed;
}

// Text whose pixels all lie inside the clip is drawn without one: the ink, and with an opaque
// background the text's box as well.
void CCairoPainter::state_t::Draw(const placed_text_t& placed, const rectangle<double>* clip) {
  if (cr == nullptr || placed.shaped == nullptr) return;
  const text::extent_t& ink = placed.shaped->ink;
  double left = placed.layout_x + ink.x, top = placed.layout_y + ink.y;
  double right = left + ink.width, bottom = top + ink.height;
  if (bk_mode == BK_Opaque && placed.width > 0) {
    left = std::min(left, placed.x);
    top = std::min(top, placed.y);
    right = std::max(right, placed.x + placed.width);
    bottom = std::max(bottom, placed.y + placed.height);
  }
  const bool inside = clip == nullptr || (left >= clip->left && top >= clip->top &&
                                          right <= clip->right && bottom <= clip->bottom);
  if (inside) {
    DrawLayout(placed);
    return;
  }
  if (clip->empty()) return;
  cairo_save(cr);
  cairo_rectangle(cr, X(clip->left), Y(clip->top), clip->width(), clip->height());
  cairo_clip(cr);
  DrawLayout(placed);
  cairo_restore(cr);
}

void CCairoPainter::state_t::DrawLayout(const placed_text_t& placed) {
  if (bk_mode == BK_Opaque && placed.width > 0) {
    SetSource(cr, bk_color);
    cairo_rectangle(cr, X(placed.x), Y(placed.y), placed.width, placed.height);
    cairo_fill(cr);
  }
  SetSource(cr, text_color);
  cairo_move_to(cr, X(placed.layout_x), Y(placed.layout_y));
  // Surfaces that keep text (PDF, SVG) get it from Pango with its characters; on the others the
  // kept glyphs are drawn as the renderer would draw them.
  const bool keeps_text = cairo_surface_has_show_text_glyphs(cairo_get_target(cr));
  if (!placed.shaped->runs_complete || (keeps_text && placed.shaped->layout)) {
    pango_cairo_show_layout(cr, placed.shaped->layout.get());
    return;
  }
  ShowGlyphs(*placed.shaped);
}

// The renderer's arithmetic: the origin is the current point as the context keeps it (on its
// fixed-point grid), and each glyph's position is the run's origin plus its own offset, both
// divided into pixels separately. The context keeps the last run's font afterwards.
void CCairoPainter::state_t::ShowGlyphs(const text::shaped_text_t& shaped) {
  double origin_x = 0.0, origin_y = 0.0;
  cairo_get_current_point(cr, &origin_x, &origin_y);
  for (const text::glyph_run_t& run : shaped.runs) {
    if (run.glyphs.empty()) continue;
    const double base_x = origin_x + double(run.x) / PANGO_SCALE;
    const double base_y = origin_y + double(run.baseline) / PANGO_SCALE;
    glyphs.resize(run.glyphs.size());
    for (std::size_t i = 0; i < run.glyphs.size(); ++i) {
      const text::placed_glyph_t& glyph = run.glyphs[i];
      glyphs[i].index = glyph.index;
      glyphs[i].x = base_x + double(glyph.x) / PANGO_SCALE;
      glyphs[i].y = glyph.y == 0 ? base_y : base_y + double(glyph.y) / PANGO_SCALE;
    }
    cairo_set_scaled_font(cr, run.font);
    cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
  }
}

CCairoPainter::CCairoPainter(cairo_t* context) : m_state(std::make_unique<state_t>()) {
  m_state->cr = context;
  m_state->current_font = GetDefaultGUIFont();
  m_state->face = m_state->engine.FindFace(m_state->current_font);
}

// The context may be gone already, so unbalanced clips are not undone here.
CCairoPainter::~CCairoPainter() = default;

// Clips and paint passes opened on the previous context stay there: that context may already be
// gone, so it is not touched again.
void CCairoPainter::SetContext(cairo_t* context) {
  m_state->cr = context;
  m_state->saves.clear();
}

cairo_t* CCairoPainter::GetContext() const { return m_state->cr; }

// The outermost pass saves the context's state; its end undoes clips left pushed inside it and
// flushes the surface so that its pixels can be read.
void CCairoPainter::BeginPaint(int /*mode*/) {
  if (m_state->paint_depth++ > 0 || m_state->cr == nullptr) return;
  cairo_save(m_state->cr);
  m_state->saves.push_back(save_kind_t::paint);
}

void CCairoPainter::EndPaint() {
  if (m_state->paint_depth == 0) return;
  if (--m_state->paint_depth > 0 || m_state->cr == nullptr) return;
  auto& saves = m_state->saves;
  while (!saves.empty() && saves.back() == save_kind_t::clip) m_state->Restore();
  if (!saves.empty()) m_state->Restore();
  cairo_surface_flush(cairo_get_target(m_state->cr));
}

void CCairoPainter::SetPen(const pen& p) { m_state->current_pen = p; }
pen CCairoPainter::GetPen() const { return m_state->current_pen; }
void CCairoPainter::SetBrush(const brush& b) { m_state->current_brush = b; }
brush CCairoPainter::GetBrush() const { return m_state->current_brush; }

void CCairoPainter::SetFont(const font& f) {
  if (f == m_state->current_font) return;
  m_state->current_font = f;
  m_state->face = m_state->engine.FindFace(f);
}

font CCairoPainter::GetFont() const { return m_state->current_font; }
void CCairoPainter::SetTextColor(const _color& c) { m_state->text_color = c; }
_color CCairoPainter::GetTextColor() const { return m_state->text_color; }
void CCairoPainter::SetBkColor(const _color& c) { m_state->bk_color = c; }
_color CCairoPainter::GetBkColor() const { return m_state->bk_color; }
void CCairoPainter::SetBkMode(int mode) { m_state->bk_mode = mode; }
int CCairoPainter::GetBkMode() const { return m_state->bk_mode; }

void CCairoPainter::FillRect(double left, double top, double right, double bottom) {
  state_t& s = *m_state;
  if (s.cr == nullptr || s.current_brush.style != 1) return;
  if (!Finite(rectangle<double>(left, top, right, bottom))) return;
  if (!(left < right) || !(top < bottom)) return;
  SetSource(s.cr, s.current_brush.color);
  cairo_rectangle(s.cr, s.X(left), s.Y(top), s.X(right) - s.X(left), s.Y(bottom) - s.Y(top));
  cairo_fill(s.cr);
}

void CCairoPainter::MoveTo(double x, double y) {
  if (!Finite(x) || !Finite(y)) return;
  m_state->position = point<double>(x, y);
}

// The line covers both end pixels: it runs between the pixel centres and is extended by half a
// pixel at each end, so that a dotted line starts with a dot on its first pixel. Solid lines along
// an axis are filled as rectangles, which Cairo draws far faster than strokes.
void CCairoPainter::LineTo(double x, double y) {
  state_t& s = *m_state;
  if (!Finite(x) || !Finite(y)) return;
  const point<double> from = s.position;
  s.position = point<double>(x, y);
  if (s.cr == nullptr || !s.ApplyPen()) return;
  const double half = 0.5 * cairo_get_line_width(s.cr);
  const double offset = s.PenOffset();
  if (s.current_pen.style == 1 && (from.x == x || from.y == y)) {
    const double left = s.X(std::min(from.x, x)) + offset - half;
    const double top = s.Y(std::min(from.y, y)) + offset - half;
    cairo_rectangle(s.cr, left, top, s.X(std::max(from.x, x)) + offset + half - left,
                    s.Y(std::max(from.y, y)) + offset + half - top);
    cairo_fill(s.cr);
    return;
  }
  const double dx = x - from.x;
  const double dy = y - from.y;
  const double length = std::hypot(dx, dy);
  const double ex = length > 0 ? dx / length * half : half;
  const double ey = length > 0 ? dy / length * half : 0.0;
  cairo_move_to(s.cr, s.X(from.x) + offset - ex, s.Y(from.y) + offset - ey);
  cairo_line_to(s.cr, s.X(x) + offset + ex, s.Y(y) + offset + ey);
  cairo_set_line_cap(s.cr, CAIRO_LINE_CAP_BUTT);
  cairo_stroke(s.cr);
}

// The outline lies inside [left, right) × [top, bottom); rx and ry are the corner radii.
void CCairoPainter::RoundRect(double left, double top, double right, double bottom, double rx,
                              double ry) {
  state_t& s = *m_state;
  if (s.cr == nullptr || !Finite(rectangle<double>(left, top, right, bottom))) return;
  if (!(left < right) || !(top < bottom) || !Finite(rx) || !Finite(ry)) return;
  const double inset = s.current_pen.style == 0 ? 0.0 : std::max(1, s.current_pen.width) / 2.0;
  const double l = s.X(left) + inset, t = s.Y(top) + inset;
  const double w = std::max(0.0, s.X(right) - s.X(left) - 2 * inset);
  const double h = std::max(0.0, s.Y(bottom) - s.Y(top) - 2 * inset);
  // A rectangle no wider or higher than the pen has no inside: its outline covers all of it, which
  // a stroke along a path of no width would only half cover (or, for a point, not at all).
  if (inset > 0 && (w <= 0 || h <= 0)) {
    s.ApplyPen();
    cairo_rectangle(s.cr, s.X(left), s.Y(top), s.X(right) - s.X(left), s.Y(bottom) - s.Y(top));
    cairo_fill(s.cr);
    return;
  }
  const double radius_x = std::clamp(rx, 0.0, w / 2);
  const double radius_y = std::clamp(ry, 0.0, h / 2);
  cairo_new_path(s.cr);
  if (radius_x <= 0 || radius_y <= 0) {
    cairo_rectangle(s.cr, l, t, w, h);
  } else {
    cairo_save(s.cr);
    cairo_translate(s.cr, l, t);
    cairo_scale(s.cr, radius_x, radius_y);
    const double iw = w / radius_x, ih = h / radius_y;
    cairo_arc(s.cr, iw - 1, 1, 1, -M_PI / 2, 0);
    cairo_arc(s.cr, iw - 1, ih - 1, 1, 0, M_PI / 2);
    cairo_arc(s.cr, 1, ih - 1, 1, M_PI / 2, M_PI);
    cairo_arc(s.cr, 1, 1, 1, M_PI, 3 * M_PI / 2);
    cairo_close_path(s.cr);
    cairo_restore(s.cr);
  }
  s.FillAndStroke();
}

void CCairoPainter::Polygon(const point<double>* points, int count) {
  state_t& s = *m_state;
  if (s.cr == nullptr || points == nullptr || count < 2) return;
  for (int i = 0; i < count; ++i) {
    if (!Finite(points[i].x) || !Finite(points[i].y)) return;
  }
  const double offset = s.PenOffset();
  cairo_new_path(s.cr);
  for (int i = 0; i < count; ++i) {
    cairo_line_to(s.cr, s.X(points[i].x) + offset, s.Y(points[i].y) + offset);
  }
  cairo_close_path(s.cr);
  s.FillAndStroke();
}

void CCairoPainter::DrawBitmap(const bitmap& image, int x, int y) {
  state_t& s = *m_state;
  if (s.cr == nullptr || image.width <= 0 || image.height <= 0) return;
  if (image.pixels.size() != std::size_t(image.width) * std::size_t(image.height)) return;
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, image.width);
  if (stride != image.width * 4) return;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image.pixels.data())),
      CAIRO_FORMAT_ARGB32, image.width, image.height, stride);
  cairo_set_source_surface(s.cr, surface, s.X(x), s.Y(y));
  cairo_rectangle(s.cr, s.X(x), s.Y(y), image.width, image.height);
  cairo_fill(s.cr);
  cairo_surface_destroy(surface);
}

// Text drawn without a clip; with the ellipsis flag it ends with "…" at the rectangle's right
// edge. A rectangle narrower than one pixel leaves no room for text with the ellipsis flag.
size<double> CCairoPainter::DrawString(const rectangle<double>& rect, const std::wstring& text,
                                       int align, int length) {
  const placed_text_t placed = m_state->Place(rect, text, align, length, /*clipped=*/false);
  m_state->Draw(placed, nullptr);
  return size<double>(placed.width, placed.height);
}

void CCairoPainter::DrawStringNative(const rectangle<double>& rect, const std::wstring& text,
                                     int align) {
  if (!Finite(rect) || rect.empty()) return;
  const placed_text_t placed = m_state->Place(rect, text, align, -1, /*clipped=*/true);
  m_state->Draw(placed, &rect);
}

rectangle<double> CCairoPainter::GetTextRect(const rectangle<double>& rect,
                                             const std::wstring& text, int align, int length) {
  const placed_text_t placed = m_state->Place(rect, text, align, length, /*clipped=*/false);
  if (!(align & TA_CalcRect)) m_state->Draw(placed, nullptr);
  if (!Finite(rect)) return rectangle<double>();
  return rectangle<double>(placed.x, placed.y, placed.x + placed.width, placed.y + placed.height);
}

// The text is measured on one line, as TA_SingleLine draws it, without keeping a layout for it:
// measuring a column measures every row once, so a cached layout would only push out the ones
// repaints need.
size<double> CCairoPainter::GetTextSize(const std::wstring& text, const font* f, int length,
                                        bool line_height, bool logical) {
  state_t& s = *m_state;
  const int face = f ? s.engine.FindFace(*f) : s.face;
  const text::measured_text_t measured =
      s.engine.Measure(text.data(), CharacterCount(text, length), face, /*ink=*/!logical);
  const double width =
      logical ? measured.logical.width
              : std::max(0.0, measured.ink.x + measured.ink.width - measured.logical.x);
  const double height =
      line_height ? double(s.engine.GetFace(face).metrics.line_height()) : measured.logical.height;
  return size<double>(width, height);
}

fontmetrics CCairoPainter::GetFontMetrics() {
  return m_state->engine.GetFace(m_state->face).metrics;
}

// A clip rectangle that is empty or not a number clips everything until it is popped.
void CCairoPainter::PushClip(const rectangle<double>& rect) {
  state_t& s = *m_state;
  if (s.cr == nullptr) return;
  cairo_save(s.cr);
  s.saves.push_back(save_kind_t::clip);
  if (Finite(rect) && !rect.empty()) {
    cairo_rectangle(s.cr, s.X(rect.left), s.Y(rect.top), s.X(rect.right) - s.X(rect.left),
                    s.Y(rect.bottom) - s.Y(rect.top));
  } else {
    cairo_rectangle(s.cr, 0, 0, 0, 0);
  }
  cairo_clip(s.cr);
}

// A pop without a matching push is ignored.
void CCairoPainter::PopClip() {
  state_t& s = *m_state;
  if (s.cr == nullptr || s.saves.empty() || s.saves.back() != save_kind_t::clip) return;
  s.Restore();
}

void CCairoPainter::SetOrigin(const point<double>& origin) {
  if (!Finite(origin.x) || !Finite(origin.y)) return;
  m_state->origin = origin;
}

point<double> CCairoPainter::GetOrigin() const { return m_state->origin; }

}  // namespace orrin7
