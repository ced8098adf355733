// The system palette: a built-in light set (in force at start-up) and a dark one.
#include <array>

#include "orrin7/system.h"

namespace orrin7 {

namespace {

struct palette_entry_t {
  int index;
  _color color;
};

// The light set: white cells with black text, a pale grey for group rows and the strip, a blue
// selection.
const palette_entry_t light_colors[] = {
    {PAL_CellBackground, _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1)},
    {PAL_Text, _color::rgb(0x00, 0x00, 0x00, 0xFF, 1)},
    {PAL_GroupBackground, _color::rgb(0xF0, 0xF0, 0xF0, 0xFF, 1)},
    {PAL_EmptyArea, _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1)},
    {PAL_Separator, _color::rgb(0xA0, 0xA0, 0xA0, 0xFF, 1)},
    {PAL_SelectionBackground, _color::rgb(0x33, 0x99, 0xFF, 0xFF, 1)},
    {PAL_SelectionText, _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1)},
    {PAL_SnippetFrame, _color::rgb(0xC8, 0xC8, 0xC8, 0xFF, 1)},
    {PAL_SnippetText, _color::rgb(0x40, 0x40, 0x40, 0xFF, 1)},
};

// The dark set: the same roles on a near-black background.
const palette_entry_t dark_colors[] = {
    {PAL_CellBackground, _color::rgb(0x1E, 0x1E, 0x1E, 0xFF, 1)},
    {PAL_Text, _color::rgb(0xD4, 0xD4, 0xD4, 0xFF, 1)},
    {PAL_GroupBackground, _color::rgb(0x2D, 0x2D, 0x30, 0xFF, 1)},
    {PAL_EmptyArea, _color::rgb(0x1E, 0x1E, 0x1E, 0xFF, 1)},
    {PAL_Separator, _color::rgb(0x5A, 0x5A, 0x5E, 0xFF, 1)},
    {PAL_SelectionBackground, _color::rgb(0x26, 0x4F, 0x78, 0xFF, 1)},
    {PAL_SelectionText, _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1)},
    {PAL_SnippetFrame, _color::rgb(0x50, 0x50, 0x50, 0xFF, 1)},
    {PAL_SnippetText, _color::rgb(0xC8, 0xC8, 0xC8, 0xFF, 1)},
};

// Indexes 0 to 31; the ones without a colour of their own are opaque black.
class CPalette : public IPalette {
 public:
  CPalette() { UseDarkColors(false); }

  void GetColor(int index, _color& out) const override {
    out = InRange(index) ? m_colors[std::size_t(index)] : black;
  }

  void SetColor(int index, const _color& color) override {
    if (!InRange(index)) return;
    m_colors[std::size_t(index)] = _color(color.value, 1);
  }

  void UseDarkColors(bool dark) override {
    m_dark = dark;
    m_colors.fill(black);
    for (const palette_entry_t& entry : dark ? dark_colors : light_colors) {
      m_colors[std::size_t(entry.index)] = entry.color;
    }
  }

  bool IsDark() const override { return m_dark; }

 private:
  static constexpr _color black = _color::rgb(0, 0, 0, 0xFF, 1);
  static bool InRange(int index) { return index >= 0 && index < 32; }

  std::array<_color, 32> m_colors;
  bool m_dark = false;
};

}  // namespace

IPalette& GetSysPalette() {
  static CPalette palette;
  return palette;
}

}  // namespace orrin7
