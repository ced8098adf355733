// Rectangle arithmetic the framework's layout, painting and viewers share.
#pragma once

#include <algorithm>

#include "orrin7/types.h"

namespace orrinfrw7 {

// The common part of two rectangles; an empty rectangle (right <= left or bottom <= top) when
// they do not overlap.
template <class T>
orrin7::rectangle<T> Intersect(const orrin7::rectangle<T>& a, const orrin7::rectangle<T>& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

// The smallest rectangle holding both.
template <class T>
orrin7::rectangle<T> Hull(const orrin7::rectangle<T>& a, const orrin7::rectangle<T>& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

template <class T>
orrin7::rectangle<T> Offset(const orrin7::rectangle<T>& r, T dx, T dy) {
  return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// True when `inner` lies wholly inside `outer`.
template <class T>
bool Encloses(const orrin7::rectangle<T>& outer, const orrin7::rectangle<T>& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

}  // namespace orrinfrw7
