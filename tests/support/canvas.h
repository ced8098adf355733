// A white image surface with a painter on it, optionally scaled as a high-resolution window is,
// read back as plain pixels: for comparing two drawings with each other and finding where ink went.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "orrin7/cairo_painter.h"

namespace orrin7_test {

// The bounding box of inked pixels, right and bottom exclusive; empty when nothing is inked.
struct ink_box_t {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left; }
};

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
  int width() const { return m_width; }
  int height() const { return m_height; }

  // Paints the surface white behind the painter's back, leaving its state alone.
  void clear() {
    cairo_save(m_context);
    cairo_identity_matrix(m_context);
    cairo_reset_clip(m_context);
    cairo_set_operator(m_context, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(m_context, 1, 1, 1);
    cairo_paint(m_context);
    cairo_restore(m_context);
  }

  // Device pixels, row by row, as premultiplied ARGB.
  std::vector<std::uint32_t> pixels() const {
    cairo_surface_flush(m_surface);
    std::vector<std::uint32_t> out(std::size_t(m_width) * std::size_t(m_height));
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    for (int y = 0; y < m_height; ++y)
      std::memcpy(&out[std::size_t(y) * std::size_t(m_width)], data + y * stride,
                  std::size_t(m_width) * 4);
    return out;
  }

  // The inked (not white) pixels of device area [left, right) × [top, bottom).
  ink_box_t ink(int left = 0, int top = 0, int right = INT_MAX, int bottom = INT_MAX) const {
    const std::vector<std::uint32_t> all = pixels();
    ink_box_t box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = std::max(top, 0); y < std::min(bottom, m_height); ++y) {
      for (int x = std::max(left, 0); x < std::min(right, m_width); ++x) {
        if (all[std::size_t(y) * std::size_t(m_width) + std::size_t(x)] == 0xFFFFFFFF) continue;
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
      }
    }
    return box.empty() ? ink_box_t{} : box;
  }

 private:
  int m_width, m_height;
  cairo_surface_t* m_surface;
  cairo_t* m_context;
  orrin7::CCairoPainter m_painter;
};

}  // namespace orrin7_test
