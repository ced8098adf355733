// Renders painter calls into a Cairo image surface and reads its pixels back, so that tests can
// check what reaches the screen at computed positions.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>

#include "orrin7/cairo_painter.h"
#include "orrin7/types.h"

namespace sv4_test {

// Owns a width × height ARGB surface, a context on it and a CCairoPainter drawing there, for the
// lifetime of the probe. The surface starts filled with `background`.
class pixel_probe_t {
 public:
  pixel_probe_t(int width, int height,
                orrin7::_color background = orrin7::_color::rgb(0xFF, 0xFF, 0xFF))
      : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
        m_context(cairo_create(m_surface)),
        m_painter(m_context) {
    const orrin7::_color& c = background;
    cairo_save(m_context);
    cairo_set_operator(m_context, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(m_context, c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0,
                          c.alpha() / 255.0);
    cairo_paint(m_context);
    cairo_restore(m_context);
  }
  ~pixel_probe_t() {
    m_painter.SetContext(nullptr);
    cairo_destroy(m_context);
    cairo_surface_destroy(m_surface);
  }
  pixel_probe_t(const pixel_probe_t&) = delete;
  pixel_probe_t& operator=(const pixel_probe_t&) = delete;

  orrin7::IPainter& painter() { return m_painter; }
  int width() const { return cairo_image_surface_get_width(m_surface); }
  int height() const { return cairo_image_surface_get_height(m_surface); }

  // Runs `draw` inside one painting pass.
  void render(const std::function<void(orrin7::IPainter&)>& draw) {
    m_painter.BeginPaint(0);
    draw(m_painter);
    m_painter.EndPaint();
  }

  // The colour of pixel (x, y) with straight (not premultiplied) channels and flag 0; transparent
  // black outside the surface.
  orrin7::_color pixel(int x, int y) const {
    cairo_surface_flush(m_surface);
    if (x < 0 || y < 0 || x >= width() || y >= height()) return orrin7::_color(0, 0);
    const unsigned char* row =
        cairo_image_surface_get_data(m_surface) + y * cairo_image_surface_get_stride(m_surface);
    const std::uint32_t argb = reinterpret_cast<const std::uint32_t*>(row)[x], a = argb >> 24;
    const auto straight = [a, argb](std::uint32_t shift) {
      return std::uint8_t(a == 0 ? 0 : (((argb >> shift) & 0xFF) * 255 + a / 2) / a);
    };
    return orrin7::_color::rgb(straight(16), straight(8), straight(0), std::uint8_t(a));
  }

  // Pixels in [left, right) × [top, bottom) for which `test` holds.
  int count(int left, int top, int right, int bottom,
            const std::function<bool(orrin7::_color)>& test) const {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) n += test(pixel(x, y)) ? 1 : 0;
    }
    return n;
  }

  // Pixels in the area that differ from `c`.
  int count_not(int left, int top, int right, int bottom, orrin7::_color c) const {
    return count(left, top, right, bottom, [c](orrin7::_color p) { return p.value != c.value; });
  }

  struct expected_pixel_t {
    int x, y;
    orrin7::_color color;  // compared by value; the flag does not matter
  };
  // "" when every pixel has its colour, else one "(x, y) is #rrggbbaa" line per pixel that differs.
  std::string mismatches(std::initializer_list<expected_pixel_t> expected) const {
    std::string out;
    for (const expected_pixel_t& e : expected) {
      const orrin7::_color p = pixel(e.x, e.y);
      char line[64];
      std::snprintf(line, sizeof line, "(%d, %d) is #%02x%02x%02x%02x\n", e.x, e.y, p.red(),
                    p.green(), p.blue(), p.alpha());
      if (p.value != e.color.value) out += line;
    }
    return out;
  }

  bool write_png(const std::string& path) const {
    cairo_surface_flush(m_surface);
    return cairo_surface_write_to_png(m_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  }

 private:
  cairo_surface_t* m_surface;
  cairo_t* m_context;
  orrin7::CCairoPainter m_painter;
};

// True when the pixel is darker than mid-grey in every channel: text ink on a light background.
inline bool is_dark(orrin7::_color c) {
  return c.red() < 0x80 && c.green() < 0x80 && c.blue() < 0x80;
}

}  // namespace sv4_test
