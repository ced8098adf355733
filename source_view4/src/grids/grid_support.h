// Small helpers the grid sources share.
#pragma once

#include "orrin7/painter.h"

namespace source_view4 {

// A measuring pass on a surface, closed however the scope ends (a painter may throw when a
// model it needs is missing).
class surface_pass_t {
 public:
  explicit surface_pass_t(orrin7::IPainter* surface) : m_surface(surface) {
    m_surface->BeginPaint(3);
  }
  ~surface_pass_t() { m_surface->EndPaint(); }
  surface_pass_t(const surface_pass_t&) = delete;
  surface_pass_t& operator=(const surface_pass_t&) = delete;

 private:
  orrin7::IPainter* m_surface;  // not owned
};

}  // namespace source_view4
