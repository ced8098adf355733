// recording_painter_t: an IPainter that draws nothing and writes every call as one line of text;
// text is measured with a fixed advance per character and a fixed line height.
#pragma once

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "orrin7/painter.h"

namespace sv4_test {

// "#rrggbbaa/flag": channels in reading order, then the colour's flag byte.
inline std::string format_color(const orrin7::_color& c) {
  char out[24];
  std::snprintf(out, sizeof out, "#%02x%02x%02x%02x/%d", c.red(), c.green(), c.blue(), c.alpha(),
                int(c.flag));
  return out;
}

// UTF-8 of a wide string, quoted.
inline std::string quote(const std::wstring& text) {
  std::string out = "\"";
  for (const wchar_t w : text) {
    const std::uint32_t c = std::uint32_t(w);
    const int tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;  // continuation bytes
    out += char(tail == 0 ? c : ((0xFFu << (7 - tail)) & 0xFFu) | (c >> (6 * tail)));
    for (int i = tail - 1; i >= 0; --i) out += char(0x80u | ((c >> (6 * i)) & 0x3Fu));
  }
  return out + "\"";
}

inline std::string format_font(const orrin7::font& f) {
  std::ostringstream out;
  out << "font(" << f.family << ", " << f.size << ", " << f.style << ", " << quote(f.face) << ")";
  return out.str();
}

inline std::string hex(int value) {
  char out[16];
  std::snprintf(out, sizeof out, "0x%x", unsigned(value));
  return out;
}

// Records calls in order; the drawing state (pen, brush, font, colours, mode, origin) is kept so
// that queries answer what was set. Every character advances 7 pixels, every line is 11 + 3
// pixels high.
class recording_painter_t : public orrin7::IPainter {
  using color = orrin7::_color;
  using rect = orrin7::rectangle<double>;
  using point = orrin7::point<double>;

 public:
  static constexpr double char_width = 7.0, line_height = 14.0;

  const std::vector<std::string>& calls() const { return m_calls; }
  void clear() { m_calls.clear(); }
  // The calls whose text starts with one of the prefixes (e.g. "DrawString("), in order.
  std::vector<std::string> calls_starting_with(std::initializer_list<std::string> prefixes) const {
    std::vector<std::string> out;
    for (const std::string& call : m_calls) {
      if (std::any_of(prefixes.begin(), prefixes.end(),
                      [&](const std::string& p) { return call.rfind(p, 0) == 0; }))
        out.push_back(call);
    }
    return out;
  }

  void BeginPaint(int mode) override { record("BeginPaint", mode); }
  void EndPaint() override { record("EndPaint"); }
  void SetPen(const orrin7::pen& p) override {
    keep(m_pen, p, "SetPen", format_color(p.color), p.width, p.style);
  }
  orrin7::pen GetPen() const override { return answer(m_pen, "GetPen"); }
  void SetBrush(const orrin7::brush& b) override {
    keep(m_brush, b, "SetBrush", format_color(b.color), b.style);
  }
  orrin7::brush GetBrush() const override { return answer(m_brush, "GetBrush"); }
  void SetFont(const orrin7::font& f) override { keep(m_font, f, "SetFont", format_font(f)); }
  orrin7::font GetFont() const override { return answer(m_font, "GetFont"); }
  void SetTextColor(const color& c) override {
    keep(m_text_color, c, "SetTextColor", format_color(c));
  }
  color GetTextColor() const override { return answer(m_text_color, "GetTextColor"); }
  void SetBkColor(const color& c) override { keep(m_bk_color, c, "SetBkColor", format_color(c)); }
  color GetBkColor() const override { return answer(m_bk_color, "GetBkColor"); }
  void SetBkMode(int mode) override { keep(m_bk_mode, mode, "SetBkMode", mode); }
  int GetBkMode() const override { return answer(m_bk_mode, "GetBkMode"); }
  void SetOrigin(const point& o) override { keep(m_origin, o, "SetOrigin", o.x, o.y); }
  point GetOrigin() const override { return answer(m_origin, "GetOrigin"); }
  void PushClip(const rect& r) override { record("PushClip", r.left, r.top, r.right, r.bottom); }
  void PopClip() override { record("PopClip"); }

  void FillRect(double l, double t, double r, double b) override { record("FillRect", l, t, r, b); }
  void MoveTo(double x, double y) override { record("MoveTo", x, y); }
  void LineTo(double x, double y) override { record("LineTo", x, y); }
  void RoundRect(double l, double t, double r, double b, double rx, double ry) override {
    record("RoundRect", l, t, r, b, rx, ry);
  }
  void Polygon(const point* points, int count) override {
    std::ostringstream out;
    for (int i = 0; i < count; ++i)
      out << (i ? ", " : "") << "(" << points[i].x << ", " << points[i].y << ")";
    record("Polygon", out.str());
  }
  void DrawBitmap(const orrin7::bitmap& image, int x, int y) override {
    record("DrawBitmap", std::to_string(image.width) + "x" + std::to_string(image.height), x, y);
  }
  orrin7::size<double> DrawString(const rect& r, const std::wstring& text, int align,
                                  int length) override {
    record("DrawString", r.left, r.top, r.right, r.bottom, quote(text), hex(align), length);
    return extent(text, length);
  }
  void DrawStringNative(const rect& r, const std::wstring& text, int align) override {
    record("DrawStringNative", r.left, r.top, r.right, r.bottom, quote(text), hex(align));
  }
  // Aligned like the real painter: left, centred or right; top, centred or bottom.
  rect GetTextRect(const rect& r, const std::wstring& text, int align, int length) override {
    record("GetTextRect", r.left, r.top, r.right, r.bottom, quote(text), hex(align), length);
    const orrin7::size<double> e = extent(text, length);
    const double x = align & orrin7::TA_HCenter ? r.left + (r.width() - e.width) / 2
                     : align & orrin7::TA_Right ? r.right - e.width
                                                : r.left;
    const double y = align & orrin7::TA_VCenter  ? r.top + (r.height() - e.height) / 2
                     : align & orrin7::TA_Bottom ? r.bottom - e.height
                                                 : r.top;
    return rect(x, y, x + e.width, y + e.height);
  }
  orrin7::size<double> GetTextSize(const std::wstring& text, const orrin7::font* f, int length,
                                   bool line_height_wanted, bool logical) override {
    record("GetTextSize", quote(text), f ? format_font(*f) : "current", length, line_height_wanted,
           logical);
    return extent(text, length);
  }
  orrin7::fontmetrics GetFontMetrics() override {
    return answer(orrin7::fontmetrics{11, 3, 0}, "GetFontMetrics");
  }

 private:
  static orrin7::size<double> extent(const std::wstring& text, int length) {
    const std::size_t n = length < 0 ? text.size() : std::min(text.size(), std::size_t(length));
    return orrin7::size<double>(double(n) * char_width, line_height);
  }

  template <class T, class... Args>
  void keep(T& slot, const T& value, const char* name, const Args&... args) {
    slot = value;
    record(name, args...);
  }
  template <class T>
  T answer(const T& slot, const char* name) const {
    record(name);
    return slot;
  }
  template <class... Args>
  void record(const char* name, const Args&... args) const {
    std::ostringstream out;
    out << std::boolalpha << name << "(";
    const char* separator = "";
    ((out << separator << args, separator = ", "), ...);
    static_cast<void>(separator);  // calls without arguments
    m_calls.push_back(out.str() + ")");
  }

  mutable std::vector<std::string> m_calls;
  orrin7::pen m_pen;
  orrin7::brush m_brush;
  orrin7::font m_font;
  color m_text_color, m_bk_color;
  int m_bk_mode = 0;
  point m_origin;
};

}  // namespace sv4_test
