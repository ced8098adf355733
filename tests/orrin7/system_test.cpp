// Palette, system object, clipboard service, image lists and XPM images (image files are read
// back in the headless control's tests).
#include <gtest/gtest.h>

#include <string>

#include "orrin7/system.h"
#include "support/pixel_probe.h"

namespace {

using namespace orrin7;
using sv4_test::pixel_probe_t;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF);
const _color black = _color::rgb(0, 0, 0);
const _color opaque_black(black.value, 1);

TEST(Palette, LightByDefaultDarkOnRequestUnknownIndexesBlack) {
  IPalette& palette = GetSysPalette();
  ASSERT_FALSE(palette.IsDark());
  const _color light_background = palette.GetColor(PAL_CellBackground);
  EXPECT_EQ(light_background, _color(white.value, 1));
  for (const int index : {int(PAL_Text), 0, -5, 32})
    EXPECT_EQ(palette.GetColor(index), opaque_black);
  palette.UseDarkColors(true);
  EXPECT_LT(palette.GetColor(PAL_CellBackground).red(), 0x40);
  EXPECT_GT(palette.GetColor(PAL_Text).red(), 0xC0);
  palette.SetColor(PAL_Text, _color::rgb(1, 2, 3, 0xFF, 0));  // stored with flag 1
  EXPECT_EQ(palette.GetColor(PAL_Text), _color::rgb(1, 2, 3, 0xFF, 1));
  palette.UseDarkColors(false);
  EXPECT_EQ(palette.GetColor(PAL_CellBackground), light_background);
  EXPECT_EQ(palette.GetColor(PAL_Text), opaque_black);
}

// A row is the default text line plus five pixels: two above the text, one below, one that keeps
// the text off the grid line and the grid line itself, so that the lowest ink of a line drawn two
// pixels into the row (underscores, descenders) stays clear of the last two rows. The alternative
// font is what the default font without a size draws as.
TEST(SystemObject, RowsHoldTheDefaultLineWithItsMarginsAndTheClipboardFallsBackToMemory) {
  ISystem* system = GetCurrentSystem();
  const int row = system->GetMetric(SM_LineHeight);
  EXPECT_EQ(system->GetMetricF(SM_LineHeight), 5.0);
  EXPECT_EQ(system->GetMetric(99), 0);
  EXPECT_EQ(system->GetMetricF(99), 0.0);
  pixel_probe_t probe(120, 3 * row), alternative(120, 3 * row);
  const std::wstring low_ink = L"_gjpqy\u00C5";
  probe.render([&](IPainter& p) {
    p.SetFont(GetDefaultGUIFont());
    EXPECT_EQ(p.GetFontMetrics().line_height(), system->GetLineHeightUnit());
    EXPECT_EQ(row, system->GetLineHeightUnit() + 5);
    p.DrawString({2, double(row + 2), 120, double(2 * row)}, low_ink, TA_SingleLine, -1);
  });
  const auto dark = [](_color c) { return c.red() < 0xF0; };
  EXPECT_GT(probe.count(0, row + 2, 120, 2 * row - 2, dark), 0);
  EXPECT_EQ(probe.count(0, 0, 120, row + 2, dark), 0);
  EXPECT_EQ(probe.count(0, 2 * row - 2, 120, 3 * row, dark), 0);
  alternative.render([&](IPainter& p) {
    p.SetFont(system->GetAlternativeFont());
    p.DrawString({2, double(row + 2), 120, double(2 * row)}, low_ink, TA_SingleLine, -1);
  });
  for (int y = row; y < 2 * row; ++y)
    for (int x = 0; x < 120; x += 2) ASSERT_EQ(probe.pixel(x, y), alternative.pixel(x, y));

  struct recording_service_t : IClipboardService {
    void SetText(const std::wstring& text) override { last = text; }
    std::wstring GetText() const override { return last; }
    std::wstring last;
  } service;
  system->GetClipboardService()->SetText(L"first\tline");
  system->SetClipboardService(&service);
  system->GetClipboardService()->SetText(L"second");
  EXPECT_EQ(service.last, L"second");
  system->SetClipboardService(nullptr);
  EXPECT_EQ(system->GetClipboardService()->GetText(), L"first\tline");
}

TEST(ImageList, TakesImagesOfItsSizeAndDrawsThemThroughThePainter) {
  orrin_ptr<IImageList> list = GetCurrentSystem()->CreateImageList(9, 9);
  // A black square outline with a black plus inside, transparent elsewhere.
  const XPMImage plus(XPMBuf({"9 9 3 1 0 0", "  c #000000", "! c #FFFFFF", "# c None", "         ",
                              " ####### ", " ### ### ", " ### ### ", " #     # ", " ### ### ",
                              " ### ### ", " ####### ", "         "}));
  ASSERT_TRUE(plus.IsValid());
  EXPECT_EQ(list->Add(plus.GetBitmap()), 0);
  EXPECT_EQ(list->Add(XPMImage(XPMBuf({"2 1 1 1", "a c #000000", "aa"})).GetBitmap()), -1);
  EXPECT_EQ(list->GetImageSize(1), size<int>(0, 0));
  pixel_probe_t probe(20, 20);
  probe.render([&](IPainter& p) {
    list->Draw(&p, 0, 5, 6, 0, 0);
    list->Draw(&p, 7, 0, 0, 0, 0);
    list->Draw(&p, -1, 0, 0, 0, 0);
  });
  // Outline corners, the transparent inside, the centre of the plus.
  EXPECT_EQ(probe.mismatches({{5, 6, black}, {13, 14, black}, {7, 8, white}, {9, 10, black}}), "");
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 32 + 9);
  // Counted handles keep the list alive while one of them holds it (sanitizers watch).
  orrin_ptr<IImageList> unowned(list.get(), /*owned=*/false);
  orrin_ptr<IImageList> copy = list;
  list = orrin_ptr<IImageList>();
  EXPECT_EQ(copy->GetImageCount(), 1);
  EXPECT_FALSE(list);
}

TEST(XpmImage, IncompleteOrMalformedTextGivesAnEmptyImage) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"9 9 3 1"},                       // no colours, no rows
      {"2 2 1 1", "a c #000000", "aa"},  // one row short
      {"2 2 1 2", "a", "aaaa", "aaaa"},  // colour line shorter than its key
      {"x y z w", "a c #000000", "aa", "aa"},
      {"100000 1 1 1", "a c #000000", "a"},
      {"3 1 2 1", "a c #FF0000", "b c None", "a"},  // row shorter than the width
  };
  for (const auto& lines : bad) EXPECT_FALSE(XPMImage(XPMBuf(lines)).IsValid()) << lines.size();
  const XPMImage red_dot(XPMBuf({"2 1 2 1", "a c #FF0000", "b c None", "ab"}));
  EXPECT_EQ(red_dot.GetBitmap().pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0}));
}

}  // namespace
