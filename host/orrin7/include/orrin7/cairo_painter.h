// CCairoPainter: IPainter on any Cairo context (image surface for PNG, PDF, SVG, a window).
#pragma once

#include <memory>

#include "orrin7/painter.h"

typedef struct _cairo cairo_t;

#pragma GCC visibility push(default)

namespace orrin7 {

// Draws on a Cairo context that the caller owns and keeps alive while the painter uses it (a null
// context draws nothing). Text is shaped and measured by Pango for 96 dpi with cached font
// descriptions and layouts, so the painter stays on the thread that created it. Coordinates that
// are not numbers make an operation do nothing.
class CCairoPainter : public IPainter {
 public:
  explicit CCairoPainter(cairo_t* context);
  ~CCairoPainter() override;
  CCairoPainter(const CCairoPainter&) = delete;
  CCairoPainter& operator=(const CCairoPainter&) = delete;

  // Draws on another context from now on (the drawing state is kept; clips and a paint pass
  // opened on the previous context are forgotten there, as that context may be gone).
  void SetContext(cairo_t* context);
  cairo_t* GetContext() const;

  void BeginPaint(int mode) override;
  void EndPaint() override;
  void SetPen(const pen& p) override;
  pen GetPen() const override;
  void SetBrush(const brush& b) override;
  brush GetBrush() const override;
  void SetFont(const font& f) override;
  font GetFont() const override;
  void SetTextColor(const _color& c) override;
  _color GetTextColor() const override;
  void SetBkColor(const _color& c) override;
  _color GetBkColor() const override;
  void SetBkMode(int mode) override;
  int GetBkMode() const override;
  void FillRect(double left, double top, double right, double bottom) override;
  void MoveTo(double x, double y) override;
  void LineTo(double x, double y) override;
  void RoundRect(double left, double top, double right, double bottom, double rx,
                 double ry) override;
  void Polygon(const point<double>* points, int count) override;
  void DrawBitmap(const bitmap& image, int x, int y) override;
  size<double> DrawString(const rectangle<double>& rect, const std::wstring& text, int align,
                          int length) override;
  void DrawStringNative(const rectangle<double>& rect, const std::wstring& text,
                        int align) override;
  rectangle<double> GetTextRect(const rectangle<double>& rect, const std::wstring& text, int align,
                                int length) override;
  size<double> GetTextSize(const std::wstring& text, const font* f, int length, bool line_height,
                           bool logical) override;
  fontmetrics GetFontMetrics() override;
  void PushClip(const rectangle<double>& rect) override;
  void PopClip() override;
  void SetOrigin(const point<double>& origin) override;
  point<double> GetOrigin() const override;

 private:
  struct state_t;
  std::unique_ptr<state_t> m_state;
};

}  // namespace orrin7

#pragma GCC visibility pop
