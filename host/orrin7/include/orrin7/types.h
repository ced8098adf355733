// Value types of the drawing library: colours, pens, brushes, fonts, font metrics, geometry, the
// counted image handle and mouse buttons.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#pragma GCC visibility push(default)

namespace orrin7 {

// A colour: red in the low byte of `value`, then green, blue and alpha in the high byte
// (0xFF opaque), followed by a one-byte flag. Drawing uses `value` only; the flag travels with the
// colour unchanged (colours taken from or derived from the palette carry 1, colours composed by
// hand 0).
struct _color {
  std::uint32_t value = 0;
  std::uint8_t flag = 1;

  constexpr _color() = default;
  constexpr _color(std::uint32_t value, std::uint8_t flag) : value(value), flag(flag) {}

  static constexpr _color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 0xFF,
                              std::uint8_t flag = 0) {
    return _color(
        std::uint32_t(r) | std::uint32_t(g) << 8 | std::uint32_t(b) << 16 | std::uint32_t(a) << 24,
        flag);
  }

  constexpr std::uint8_t red() const { return std::uint8_t(value); }
  constexpr std::uint8_t green() const { return std::uint8_t(value >> 8); }
  constexpr std::uint8_t blue() const { return std::uint8_t(value >> 16); }
  constexpr std::uint8_t alpha() const { return std::uint8_t(value >> 24); }

  friend constexpr bool operator==(const _color& a, const _color& b) {
    return a.value == b.value && a.flag == b.flag;
  }
  friend constexpr bool operator!=(const _color& a, const _color& b) { return !(a == b); }
};

// A line style: `width` 0 is a one-pixel hairline; `style` 0 draws nothing, 1 a solid line,
// 2 dashes, 3 dots.
struct pen {
  _color color;
  int width = 0;
  int style = 1;

  pen() = default;
  pen(const _color& color, int width, int style) : color(color), width(width), style(style) {}
};

// A fill style: `style` 0 fills nothing, 1 a solid fill.
struct brush {
  _color color;
  int style = 1;

  brush() = default;
  brush(const _color& color, int style) : color(color), style(style) {}
};

// A font: `family` 0 the default user-interface face, 1 sans, 2 monospace, 3 serif (an empty
// `face` lets fontconfig pick a face of that class, and a face that does not exist falls back to
// the class); `size` in points, below 1 meaning "not set" (the default size, 9 points; sizes are
// capped at 1000); `style` bits 1 bold, 2 italic, 4 underline, 8 strike-through.
struct font {
  int family = 0;
  int size = 0;
  int style = 0;
  std::wstring face;

  font() = default;
  font(int family, int size, int style, std::wstring face = std::wstring())
      : family(family), size(size), style(style), face(std::move(face)) {}

  friend bool operator==(const font& a, const font& b) {
    return a.family == b.family && a.size == b.size && a.style == b.style && a.face == b.face;
  }
  friend bool operator!=(const font& a, const font& b) { return !(a == b); }
};

enum FontStyle : int { FS_Bold = 0x1, FS_Italic = 0x2, FS_Underline = 0x4, FS_StrikeOut = 0x8 };

// Vertical metrics of a font in pixels; their sum is the height of one text line.
struct fontmetrics {
  int ascent = 0;
  int descent = 0;
  int leading = 0;

  int line_height() const { return ascent + descent + leading; }
};

template <class T>
struct point {
  T x{};
  T y{};

  point() = default;
  point(T x, T y) : x(x), y(y) {}
  friend bool operator==(const point& a, const point& b) { return a.x == b.x && a.y == b.y; }
  friend bool operator!=(const point& a, const point& b) { return !(a == b); }
};

template <class T>
struct size {
  T width{};
  T height{};

  size() = default;
  size(T width, T height) : width(width), height(height) {}
  friend bool operator==(const size& a, const size& b) {
    return a.width == b.width && a.height == b.height;
  }
  friend bool operator!=(const size& a, const size& b) { return !(a == b); }
};

// A rectangle by its edges: left and top inclusive, right and bottom exclusive for pixel areas.
template <class T>
struct rectangle {
  T left{};
  T top{};
  T right{};
  T bottom{};

  rectangle() = default;
  rectangle(T left, T top, T right, T bottom)
      : left(left), top(top), right(right), bottom(bottom) {}
  template <class U>
  explicit rectangle(const rectangle<U>& other)
      : left(T(other.left)), top(T(other.top)), right(T(other.right)), bottom(T(other.bottom)) {}

  T width() const { return right - left; }
  T height() const { return bottom - top; }
  bool empty() const { return !(left < right) || !(top < bottom); }
  bool contains(T x, T y) const { return x >= left && x < right && y >= top && y < bottom; }

  friend bool operator==(const rectangle& a, const rectangle& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }
  friend bool operator!=(const rectangle& a, const rectangle& b) { return !(a == b); }
};

// A rectangle in pixels of a surface (control or element), as opposed to a logical one.
template <class T>
struct screen_rectangle : rectangle<T> {
  using rectangle<T>::rectangle;
  screen_rectangle() = default;
  screen_rectangle(const rectangle<T>& r) : rectangle<T>(r) {}  // NOLINT: same edges
};

// A span between two ends; `from` is not necessarily the smaller one.
template <class T>
struct range {
  T from{};
  T to{};

  range() = default;
  range(T from, T to) : from(from), to(to) {}
  T low() const { return from < to ? from : to; }
  T high() const { return from < to ? to : from; }
  T length() const { return high() - low(); }
  friend bool operator==(const range& a, const range& b) {
    return a.from == b.from && a.to == b.to;
  }
  friend bool operator!=(const range& a, const range& b) { return !(a == b); }
};

enum MouseButton : int { MB_None = 0, MB_Left = 1, MB_Middle = 2, MB_Right = 3 };

// Base of the drawing library's reference-counted objects (image lists).
class IRefCounted {
 public:
  virtual void AddRef() = 0;
  virtual void Release() = 0;

 protected:
  virtual ~IRefCounted() = default;
};

// A counted handle to a reference-counted object. When `owned` is set the handle takes a
// reference on assignment and releases it when replaced or destroyed; an unowned handle only
// points.
template <class T>
class orrin_ptr {
 public:
  orrin_ptr() = default;
  orrin_ptr(T* object, bool owned) : m_ptr(object), m_owned(owned) { add_ref(); }
  orrin_ptr(const orrin_ptr& other) : m_ptr(other.m_ptr), m_owned(other.m_owned) { add_ref(); }
  orrin_ptr(orrin_ptr&& other) noexcept
      : m_ptr(std::exchange(other.m_ptr, nullptr)), m_owned(other.m_owned) {}
  ~orrin_ptr() { release(); }

  orrin_ptr& operator=(orrin_ptr other) noexcept {
    std::swap(m_ptr, other.m_ptr);
    std::swap(m_owned, other.m_owned);
    return *this;
  }

  // Takes ownership of a freshly created object whose count already includes this handle.
  static orrin_ptr adopt(T* object) {
    orrin_ptr p;
    p.m_ptr = object;
    p.m_owned = true;
    return p;
  }

  T* get() const { return m_ptr; }
  T* operator->() const { return m_ptr; }
  T& operator*() const { return *m_ptr; }
  explicit operator bool() const { return m_ptr != nullptr; }
  bool owned() const { return m_owned; }

 private:
  void add_ref() {
    if (m_ptr != nullptr && m_owned) m_ptr->AddRef();
  }
  void release() {
    if (m_ptr != nullptr && m_owned) m_ptr->Release();
  }

  T* m_ptr = nullptr;
  bool m_owned = false;
};

}  // namespace orrin7

#pragma GCC visibility pop
