// The system services of the drawing library: palette, default fonts, image lists, XPM images,
// metrics and the clipboard service.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "orrin7/painter.h"
#include "orrin7/types.h"

#pragma GCC visibility push(default)

namespace orrin7 {

// Palette indexes the component uses.
enum PaletteIndex : int {
  PAL_CellBackground = 1,
  PAL_Text = 2,
  PAL_GroupBackground = 3,  // group header and navigation strip background
  PAL_EmptyArea = 6,
  PAL_Separator = 7,  // separators and frames
  PAL_SelectionBackground = 9,
  PAL_SelectionText = 10,
  PAL_SnippetFrame = 11,
  PAL_SnippetText = 12,
};

// The system colours by index (0 to 31). A light palette is in force at start-up.
class IPalette {
 public:
  virtual ~IPalette();
  // Fills `out` with the colour of `index` (flag byte 1); an unknown index gives opaque black.
  virtual void GetColor(int index, _color& out) const = 0;
  _color GetColor(int index) const {
    _color c;
    GetColor(index, c);
    return c;
  }
  // Stores the colour's value (the flag becomes 1); an index outside 0 … 31 is ignored.
  virtual void SetColor(int index, const _color& color) = 0;
  // Replaces every colour by the built-in light or dark set.
  virtual void UseDarkColors(bool dark) = 0;
  virtual bool IsDark() const = 0;
};

IPalette& GetSysPalette();

// The default user-interface font: family 0, size not set, no style bits.
font GetDefaultGUIFont();

// A list of images of one size, drawn by index. Reference-counted (orrin_ptr).
class IImageList : public IRefCounted {
 public:
  virtual int GetImageCount() const = 0;
  // Width and height of image i; 0 × 0 for an index outside the list.
  virtual size<int> GetImageSize(int i) const = 0;
  // Adds an image and answers its index; -1 (nothing added) for an empty image, pixels that do
  // not match its size, or a size other than the list's.
  virtual int Add(const bitmap& image) = 0;
  // Draws image i with its top-left corner at (x, y); an index outside the list draws nothing.
  // `flags` and `state` are reserved (0).
  virtual void Draw(IPainter* painter, int i, int x, int y, int flags, int state) const = 0;
};

// The text of an XPM image: its lines in order (values line, colour lines, pixel rows).
class XPMBuf {
 public:
  explicit XPMBuf(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
  const std::vector<std::string>& GetLines() const { return m_lines; }

 private:
  std::vector<std::string> m_lines;
};

// An image decoded from XPM text by gdk-pixbuf; invalid or incomplete text (fewer lines or shorter
// rows than the values line announces, more than 4096 pixels a side) gives an empty (0 × 0) image.
class XPMImage {
 public:
  explicit XPMImage(const XPMBuf& buffer);
  const bitmap& GetBitmap() const { return m_bitmap; }
  bool IsValid() const { return m_bitmap.width > 0 && m_bitmap.height > 0; }

 private:
  bitmap m_bitmap;
};

// Reads an image file (PNG, XPM, anything gdk-pixbuf reads); false with `error` set on failure.
bool LoadImageFile(const std::string& path, bitmap& out, std::string& error);

// Receives text for the clipboard. The system object starts with one that keeps the last text in
// memory; a window control replaces it with the desktop clipboard.
class IClipboardService {
 public:
  virtual ~IClipboardService();
  virtual void SetText(const std::wstring& text) = 0;
  // Hands over a text the caller no longer needs: a service that keeps the text moves it in
  // instead of copying, which counts when a copy of a million rows is hundreds of megabytes.
  virtual void TakeText(std::wstring&& text) { SetText(text); }
  virtual std::wstring GetText() const = 0;
};

// Keeps the last text in memory: the system object's clipboard until a window control puts the
// desktop's in its place, and the headless control's own.
class CMemoryClipboard : public IClipboardService {
 public:
  void SetText(const std::wstring& text) override { m_text = text; }
  void TakeText(std::wstring&& text) override { m_text = std::move(text); }
  std::wstring GetText() const override { return m_text; }

 private:
  std::wstring m_text;
};

// Metric indexes of ISystem.
enum SystemMetric : int {
  SM_LineHeight = 0,  // GetMetric: header and row line height in pixels (a default text line plus
                      // the spacing); GetMetricF: that spacing, 5 pixels: the cell margins (2
                      // above, 1 below), the pixel that keeps text off the grid line and the
                      // grid line (the cell's last pixel row)
};

class ISystem {
 public:
  virtual ~ISystem();
  // An empty image list for images of `width` × `height` pixels (0 × 0: any size).
  virtual orrin_ptr<IImageList> CreateImageList(int width, int height) = 0;
  // The font used when the default font has no size of its own.
  virtual font GetAlternativeFont() const = 0;
  // Pixels of one line-height unit (the height of a default text line).
  virtual int GetLineHeightUnit() const = 0;
  virtual int GetMetric(int index) const = 0;
  virtual double GetMetricF(int index) const = 0;
  virtual IClipboardService* GetClipboardService() = 0;
  // Installs a clipboard service (not owned; null restores the in-memory one).
  virtual void SetClipboardService(IClipboardService* service) = 0;
};

ISystem* GetCurrentSystem();

}  // namespace orrin7

#pragma GCC visibility pop
