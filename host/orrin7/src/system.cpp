// The system object: default fonts, line metrics, image lists and the clipboard service.
#include "orrin7/system.h"

#include "images.h"
#include "text_engine.h"

namespace orrin7 {

namespace {

// A row is a text line plus this many pixels: the cell painters' margins (two above, one below),
// the pixel that keeps text off the grid line, and the grid line, which is the cell's last pixel
// row. With less, the bottom of the line's ink (underscores, descenders) is cut.
constexpr double row_spacing = 5.0;

class CSystem : public ISystem {
 public:
  orrin_ptr<IImageList> CreateImageList(int width, int height) override {
    return orrin_ptr<IImageList>::adopt(new CImageList(width, height));
  }

  font GetAlternativeFont() const override { return font(0, text::default_point_size, 0); }

  int GetLineHeightUnit() const override {
    if (m_line_height == 0) {
      text::CTextEngine engine;
      m_line_height = engine.GetFace(engine.FindFace(GetDefaultGUIFont())).metrics.line_height();
    }
    return m_line_height;
  }

  // Metric 0: the pixel height of a header or row line, and the spacing a row adds to a text
  // line. Other indexes are 0.
  int GetMetric(int index) const override {
    return index == SM_LineHeight ? GetLineHeightUnit() + int(row_spacing) : 0;
  }
  double GetMetricF(int index) const override { return index == SM_LineHeight ? row_spacing : 0.0; }

  IClipboardService* GetClipboardService() override {
    return m_clipboard ? m_clipboard : &m_memory_clipboard;
  }
  void SetClipboardService(IClipboardService* service) override { m_clipboard = service; }

 private:
  mutable int m_line_height = 0;
  CMemoryClipboard m_memory_clipboard;
  IClipboardService* m_clipboard = nullptr;
};

}  // namespace

font GetDefaultGUIFont() { return font(0, 0, 0); }

ISystem* GetCurrentSystem() {
  static CSystem system;
  return &system;
}

}  // namespace orrin7
