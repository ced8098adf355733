// recording_painter_t: an IPainter that draws nothing and writes every call, with its arguments,
// as one line of text, so that tests compare readable call lists. Text is measured with a fixed
// advance per character and a fixed line height.
#pragma once

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "orrin7/painter.h"

namespace sv4_test {

// "#rrggbbaa/flag": channels in reading order, then the colour's flag byte.
inline std::string format_color(const orrin7::_color& c) {
  static const char digits[] = "0123456789abcdef";
  std::string out = "#";
  for (const std::uint8_t channel : {c.red(), c.green(), c.blue(), c.alpha()}) {
    out += digits[channel >> 4];
    out += digits[channel & 0xF];
  }
  return out + "/" + std::to_string(int(c.flag));
}

// UTF-8 of a wide string (invalid code points become U+FFFD), quoted.
inline std::string quote(const std::wstring& text) {
  std::string out = "\"";
  for (wchar_t w : text) {
    std::uint32_t c = std::uint32_t(w);
    if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) c = 0xFFFD;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out + "\"";
}

inline std::string format_font(const orrin7::font& f) {
  std::ostringstream out;
  out << "font(" << f.family << ", " << f.size << ", " << f.style << ", " << quote(f.face) << ")";
  return out.str();
}

inline std::string hex(int value) {
  std::ostringstream out;
  out << "0x" << std::hex << value;
  return out.str();
}

// Records calls in order; the drawing state (pen, brush, font, colours, mode, origin) is kept so
// that queries answer what was set. Measurements: every character advances `char_width` pixels,
// every line is `ascent + descent` pixels high.
class recording_painter_t : public orrin7::IPainter {
 public:
  static constexpr double char_width = 7.0;
  static constexpr int ascent = 11;
  static constexpr int descent = 3;
  static constexpr double line_height = ascent + descent;

  const std::vector<std::string>& calls() const { return m_calls; }
  void clear() { m_calls.clear(); }
  // The calls whose text starts with one of the prefixes (e.g. "DrawString("), in order.
  std::vector<std::string> calls_starting_with(std::initializer_list<std::string> prefixes) const {
    std::vector<std::string> out;
    for (const std::string& call : m_calls) {
      for (const std::string& prefix : prefixes) {
        if (call.compare(0, prefix.size(), prefix) != 0) continue;
        out.push_back(call);
        break;
      }
    }
    return out;
  }

  void BeginPaint(int mode) override { record("BeginPaint", mode); }
  void EndPaint() override { record("EndPaint"); }
  void SetPen(const orrin7::pen& p) override {
    m_pen = p;
    record("SetPen", format_color(p.color), p.width, p.style);
  }
  orrin7::pen GetPen() const override {
    record("GetPen");
    return m_pen;
  }
  void SetBrush(const orrin7::brush& b) override {
    m_brush = b;
    record("SetBrush", format_color(b.color), b.style);
  }
  orrin7::brush GetBrush() const override {
    record("GetBrush");
    return m_brush;
  }
  void SetFont(const orrin7::font& f) override {
    m_font = f;
    record("SetFont", format_font(f));
  }
  orrin7::font GetFont() const override {
    record("GetFont");
    return m_font;
  }
  void SetTextColor(const orrin7::_color& c) override {
    m_text_color = c;
    record("SetTextColor", format_color(c));
  }
  orrin7::_color GetTextColor() const override {
    record("GetTextColor");
    return m_text_color;
  }
  void SetBkColor(const orrin7::_color& c) override {
    m_bk_color = c;
    record("SetBkColor", format_color(c));
  }
  orrin7::_color GetBkColor() const override {
    record("GetBkColor");
    return m_bk_color;
  }
  void SetBkMode(int mode) override {
    m_bk_mode = mode;
    record("SetBkMode", mode);
  }
  int GetBkMode() const override {
    record("GetBkMode");
    return m_bk_mode;
  }
  void FillRect(double left, double top, double right, double bottom) override {
    record("FillRect", left, top, right, bottom);
  }
  void MoveTo(double x, double y) override { record("MoveTo", x, y); }
  void LineTo(double x, double y) override { record("LineTo", x, y); }
  void RoundRect(double left, double top, double right, double bottom, double rx,
                 double ry) override {
    record("RoundRect", left, top, right, bottom, rx, ry);
  }
  void Polygon(const orrin7::point<double>* points, int count) override {
    std::ostringstream out;
    for (int i = 0; i < count; ++i)
      out << (i ? ", " : "") << "(" << points[i].x << ", " << points[i].y << ")";
    record("Polygon", out.str());
  }
  void DrawBitmap(const orrin7::bitmap& image, int x, int y) override {
    record("DrawBitmap", std::to_string(image.width) + "x" + std::to_string(image.height), x, y);
  }
  orrin7::size<double> DrawString(const orrin7::rectangle<double>& rect, const std::wstring& text,
                                  int align, int length) override {
    record("DrawString", rect.left, rect.top, rect.right, rect.bottom, quote(text), hex(align),
           length);
    return laid_out(rect, text, align, length);
  }
  void DrawStringNative(const orrin7::rectangle<double>& rect, const std::wstring& text,
                        int align) override {
    record("DrawStringNative", rect.left, rect.top, rect.right, rect.bottom, quote(text),
           hex(align));
  }
  // Aligned like the real painter: left, centred or right; top, centred or bottom.
  orrin7::rectangle<double> GetTextRect(const orrin7::rectangle<double>& rect,
                                        const std::wstring& text, int align, int length) override {
    record("GetTextRect", rect.left, rect.top, rect.right, rect.bottom, quote(text), hex(align),
           length);
    const orrin7::size<double> extent = laid_out(rect, text, align, length);
    double x = rect.left, y = rect.top;
    if (align & orrin7::TA_HCenter) {
      x += (rect.width() - extent.width) / 2;
    } else if (align & orrin7::TA_Right) {
      x = rect.right - extent.width;
    }
    if (align & orrin7::TA_VCenter) {
      y += (rect.height() - extent.height) / 2;
    } else if (align & orrin7::TA_Bottom) {
      y = rect.bottom - extent.height;
    }
    return orrin7::rectangle<double>(x, y, x + extent.width, y + extent.height);
  }
  orrin7::size<double> GetTextSize(const std::wstring& text, const orrin7::font* f, int length,
                                   bool line_height_wanted, bool logical) override {
    record("GetTextSize", quote(text), f ? format_font(*f) : std::string("current"), length,
           line_height_wanted, logical);
    std::size_t n = characters(text, length);
    if (!logical) {
      while (n > 0 && text[n - 1] == L' ') --n;
    }
    return orrin7::size<double>(double(n) * char_width, line_height);
  }
  orrin7::fontmetrics GetFontMetrics() override {
    record("GetFontMetrics");
    return orrin7::fontmetrics{ascent, descent, 0};
  }
  void PushClip(const orrin7::rectangle<double>& rect) override {
    record("PushClip", rect.left, rect.top, rect.right, rect.bottom);
  }
  void PopClip() override { record("PopClip"); }
  void SetOrigin(const orrin7::point<double>& origin) override {
    m_origin = origin;
    record("SetOrigin", origin.x, origin.y);
  }
  orrin7::point<double> GetOrigin() const override {
    record("GetOrigin");
    return m_origin;
  }

 private:
  static std::size_t characters(const std::wstring& text, int length) {
    return length < 0 || std::size_t(length) > text.size() ? text.size() : std::size_t(length);
  }

  // The extent as drawn: the ellipsis flag limits the width to the rectangle's.
  static orrin7::size<double> laid_out(const orrin7::rectangle<double>& rect,
                                       const std::wstring& text, int align, int length) {
    double width = double(characters(text, length)) * char_width;
    if ((align & orrin7::TA_EndEllipsis) && width > rect.width()) {
      width = rect.width() > 0 ? rect.width() : 0.0;
    }
    return orrin7::size<double>(width, line_height);
  }

  template <class... Args>
  void record(const char* name, const Args&... args) const {
    std::ostringstream out;
    out << std::boolalpha << name << "(";
    const char* separator = "";
    ((out << separator << args, separator = ", "), ...);
    static_cast<void>(separator);  // calls without arguments
    out << ")";
    m_calls.push_back(out.str());
  }

  mutable std::vector<std::string> m_calls;
  orrin7::pen m_pen;
  orrin7::brush m_brush;
  orrin7::font m_font;
  orrin7::_color m_text_color;
  orrin7::_color m_bk_color;
  int m_bk_mode = 0;
  orrin7::point<double> m_origin;
};

}  // namespace sv4_test
