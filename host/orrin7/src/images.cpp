// Images: XPM text and image files decoded by gdk-pixbuf into bitmaps.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <memory>

#include "images.h"
#include "orrin7/system.h"

namespace orrin7 {

namespace {

// Larger XPM images are refused rather than decoded: the format is meant for small icons.
constexpr int largest_xpm_side = 4096;
constexpr int largest_xpm_colors = 1 << 16;
constexpr int largest_xpm_chars_per_pixel = 8;

struct pixbuf_deleter_t {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};
using pixbuf_ptr_t = std::unique_ptr<GdkPixbuf, pixbuf_deleter_t>;

// Premultiplied ARGB from gdk-pixbuf's straight RGB(A) bytes.
std::uint32_t Premultiplied(const guchar* p, bool has_alpha) {
  const std::uint32_t a = has_alpha ? p[3] : 0xFF;
  const auto scale = [a](guchar c) { return (std::uint32_t(c) * a + 127) / 255; };
  return a << 24 | scale(p[0]) << 16 | scale(p[1]) << 8 | scale(p[2]);
}

bitmap ToBitmap(GdkPixbuf* pixbuf) {
  bitmap out;
  if (gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8) {
    return out;
  }
  const int width = gdk_pixbuf_get_width(pixbuf);
  const int height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const bool has_alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  const guchar* rows = gdk_pixbuf_read_pixels(pixbuf);
  out.width = width;
  out.height = height;
  out.pixels.reserve(std::size_t(width) * std::size_t(height));
  for (int y = 0; y < height; ++y) {
    const guchar* row = rows + std::size_t(y) * std::size_t(stride);
    for (int x = 0; x < width; ++x)
      out.pixels.push_back(Premultiplied(row + x * channels, has_alpha));
  }
  return out;
}

// gdk-pixbuf reads exactly the lines the values line announces and expects every colour line to
// hold its key and every row all its pixels, so text that promises more than it has is refused
// before it gets there.
bool XpmTextIsComplete(const std::vector<std::string>& lines) {
  if (lines.empty()) return false;
  int width = 0, height = 0, colors = 0, chars_per_pixel = 0;
  if (std::sscanf(lines[0].c_str(), "%d %d %d %d", &width, &height, &colors, &chars_per_pixel) !=
      4) {
    return false;
  }
  if (width < 1 || height < 1 || width > largest_xpm_side || height > largest_xpm_side)
    return false;
  if (colors < 1 || colors > largest_xpm_colors) return false;
  if (chars_per_pixel < 1 || chars_per_pixel > largest_xpm_chars_per_pixel) return false;
  if (lines.size() < std::size_t(1 + colors + height)) return false;
  for (int i = 1; i <= colors; ++i) {
    if (lines[std::size_t(i)].size() <= std::size_t(chars_per_pixel)) return false;
  }
  const std::size_t row_length = std::size_t(width) * std::size_t(chars_per_pixel);
  for (int y = 0; y < height; ++y) {
    if (lines[std::size_t(1 + colors + y)].size() < row_length) return false;
  }
  return true;
}

}  // namespace

XPMImage::XPMImage(const XPMBuf& buffer) {
  const std::vector<std::string>& lines = buffer.GetLines();
  if (!XpmTextIsComplete(lines)) return;
  std::vector<const char*> data;
  data.reserve(lines.size());
  for (const std::string& line : lines) data.push_back(line.c_str());
  pixbuf_ptr_t pixbuf(gdk_pixbuf_new_from_xpm_data(data.data()));
  if (pixbuf) m_bitmap = ToBitmap(pixbuf.get());
}

bool LoadImageFile(const std::string& path, bitmap& out, std::string& error) {
  GError* failure = nullptr;
  pixbuf_ptr_t pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &failure));
  if (!pixbuf) {
    error = failure ? failure->message : "the image could not be read";
    if (failure) g_error_free(failure);
    return false;
  }
  out = ToBitmap(pixbuf.get());
  if (out.width > 0 && out.height > 0) return true;
  error = "the image's pixel format is not supported";
  return false;
}

CImageList::CImageList(int width, int height) : m_width(width), m_height(height) {}

void CImageList::AddRef() { ++m_references; }

void CImageList::Release() {
  if (--m_references == 0) delete this;
}

int CImageList::GetImageCount() const { return int(m_images.size()); }

size<int> CImageList::GetImageSize(int i) const {
  if (!Contains(i)) return size<int>();
  const bitmap& image = m_images[std::size_t(i)];
  return size<int>(image.width, image.height);
}

int CImageList::Add(const bitmap& image) {
  if (image.width <= 0 || image.height <= 0) return -1;
  if (image.pixels.size() != std::size_t(image.width) * std::size_t(image.height)) return -1;
  if (m_width > 0 && m_height > 0 && (image.width != m_width || image.height != m_height)) {
    return -1;
  }
  m_images.push_back(image);
  return int(m_images.size() - 1);
}

void CImageList::Draw(IPainter* painter, int i, int x, int y, int /*flags*/, int /*state*/) const {
  if (painter == nullptr || !Contains(i)) return;
  painter->DrawBitmap(m_images[std::size_t(i)], x, y);
}

}  // namespace orrin7
