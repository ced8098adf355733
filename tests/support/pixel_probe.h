// Cairo image surfaces with a painter, read back as pixels: canvas_t compares whole drawings and
// finds ink (optionally scaled), pixel_probe_t checks single pixels at computed positions.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "orrin7/cairo_painter.h"
#include "orrin7/types.h"

namespace orrin7_test {

// The bounding box of inked pixels, right and bottom exclusive; empty when nothing is inked.
struct ink_box_t {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left; }
};

// Owns an ARGB surface, a context on it and a CCairoPainter drawing there, for its lifetime.
class canvas_t {
 public:
  // `width` × `height` painter pixels; the surface has `scale` device pixels per painter pixel.
  canvas_t(int width, int height, double scale = 1.0)
      : m_width(int(width * scale)),
        m_height(int(height * scale)),
        m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, m_width, m_height)),
        m_context(cairo_create(m_surface)),
        m_painter(m_context) {
    cairo_scale(m_context, scale, scale);
    clear();
  }
  ~canvas_t() {
    m_painter.SetContext(nullptr);  // the painter outlives the context by a moment
    cairo_destroy(m_context);
    cairo_surface_destroy(m_surface);
  }
  canvas_t(const canvas_t&) = delete;
  canvas_t& operator=(const canvas_t&) = delete;

  orrin7::CCairoPainter& painter() { return m_painter; }
  cairo_t* context() { return m_context; }
  cairo_surface_t* surface() const { return m_surface; }
  int width() const { return m_width; }
  int height() const { return m_height; }

  // Paints the surface in `c` (white) behind the painter's back, leaving its state alone.
  void clear(orrin7::_color c = orrin7::_color::rgb(0xFF, 0xFF, 0xFF)) {
    cairo_save(m_context);
    cairo_identity_matrix(m_context);
    cairo_reset_clip(m_context);
    cairo_set_operator(m_context, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(m_context, c.red() / 255.0, c.green() / 255.0, c.blue() / 255.0,
                          c.alpha() / 255.0);
    cairo_paint(m_context);
    cairo_restore(m_context);
  }

  // Device pixels, row by row, as premultiplied ARGB.
  std::vector<std::uint32_t> pixels() const {
    cairo_surface_flush(m_surface);
    std::vector<std::uint32_t> out;
    for (int y = 0; y < m_height; ++y)
      for (int x = 0; x < m_width; ++x) out.push_back(raw(x, y));
    return out;
  }

  // The inked (not white) pixels of device area [left, right) × [top, bottom).
  ink_box_t ink(int left = 0, int top = 0, int right = INT_MAX, int bottom = INT_MAX) const {
    cairo_surface_flush(m_surface);
    ink_box_t box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y) {
      for (int x = std::max(left, 0); x < std::min(right, m_width); ++x) {
        if (raw(x, y) == 0xFFFFFFFF) continue;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
      }
    }
    return box.empty() ? ink_box_t{} : box;
  }

 protected:
  // Device pixel (x, y) as stored (premultiplied ARGB), once the surface is flushed.
  std::uint32_t raw(int x, int y) const {
    std::uint32_t argb = 0;
    std::memcpy(&argb,
                cairo_image_surface_get_data(m_surface) +
                    y * cairo_image_surface_get_stride(m_surface) + x * 4,
                sizeof argb);
    return argb;
  }

 private:
  int m_width, m_height;
  cairo_surface_t* m_surface;
  cairo_t* m_context;
  orrin7::CCairoPainter m_painter;
};

}  // namespace orrin7_test

namespace sv4_test {

// A canvas of one device pixel per painter pixel that starts filled with `background`.
class pixel_probe_t : public orrin7_test::canvas_t {
 public:
  pixel_probe_t(int width, int height,
                orrin7::_color background = orrin7::_color::rgb(0xFF, 0xFF, 0xFF))
      : canvas_t(width, height) {
    clear(background);
  }

  // Runs `draw` inside one painting pass.
  void render(const std::function<void(orrin7::IPainter&)>& draw) {
    painter().BeginPaint(0);
    draw(painter());
    painter().EndPaint();
  }

  // The colour of pixel (x, y) with straight (not premultiplied) channels and flag 0; transparent
  // black outside the surface.
  orrin7::_color pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return orrin7::_color(0, 0);
    cairo_surface_flush(surface());
    const std::uint32_t argb = raw(x, y), a = argb >> 24;
    const auto straight = [a, argb](std::uint32_t shift) {
      return std::uint8_t(a == 0 ? 0 : (((argb >> shift) & 0xFF) * 255 + a / 2) / a);
    };
    return orrin7::_color::rgb(straight(16), straight(8), straight(0), std::uint8_t(a));
  }

  // Pixels in [left, right) × [top, bottom) for which `test` holds.
  int count(int left, int top, int right, int bottom,
            const std::function<bool(orrin7::_color)>& test) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += test(pixel(x, y)) ? 1 : 0;
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
};

// True when the pixel is darker than mid-grey in every channel: text ink on a light background.
inline bool is_dark(orrin7::_color c) {
  return c.red() < 0x80 && c.green() < 0x80 && c.blue() < 0x80;
}

}  // namespace sv4_test
