// Palette, system object, clipboard service, image lists and XPM images.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "orrin7/system.h"
#include "support/output_path.h"
#include "support/pixel_probe.h"

namespace {

using orrin7::_color;
using sv4_test::pixel_probe_t;

const _color white = _color::rgb(0xFF, 0xFF, 0xFF);
const _color black = _color::rgb(0, 0, 0);

// The 9 × 9 plus icon: a black square outline with a black plus inside, transparent elsewhere.
orrin7::XPMBuf plus_icon() {
  return orrin7::XPMBuf({"9 9 3 1 0 0", "  c #000000", "! c #FFFFFF", "# c None", "         ",
                         " ####### ", " ### ### ", " ### ### ", " #     # ", " ### ### ",
                         " ### ### ", " ####### ", "         "});
}

TEST(Palette, LightByDefaultDarkOnRequestUnknownIndexesBlack) {
  orrin7::IPalette& palette = orrin7::GetSysPalette();
  ASSERT_FALSE(palette.IsDark());
  const _color light_background = palette.GetColor(orrin7::PAL_CellBackground);
  EXPECT_EQ(light_background, _color::rgb(0xFF, 0xFF, 0xFF, 0xFF, 1));
  EXPECT_EQ(palette.GetColor(orrin7::PAL_Text), _color::rgb(0, 0, 0, 0xFF, 1));
  EXPECT_EQ(palette.GetColor(0), _color::rgb(0, 0, 0, 0xFF, 1));
  EXPECT_EQ(palette.GetColor(-5), _color::rgb(0, 0, 0, 0xFF, 1));
  palette.UseDarkColors(true);
  EXPECT_TRUE(palette.IsDark());
  const _color dark_background = palette.GetColor(orrin7::PAL_CellBackground);
  const _color dark_text = palette.GetColor(orrin7::PAL_Text);
  EXPECT_LT(dark_background.red(), 0x40);
  EXPECT_GT(dark_text.red(), 0xC0);
  palette.SetColor(orrin7::PAL_Text, _color::rgb(1, 2, 3, 0xFF, 0));
  EXPECT_EQ(palette.GetColor(orrin7::PAL_Text), _color::rgb(1, 2, 3, 0xFF, 1));
  palette.UseDarkColors(false);
  EXPECT_EQ(palette.GetColor(orrin7::PAL_CellBackground), light_background);
  EXPECT_EQ(palette.GetColor(orrin7::PAL_Text), _color::rgb(0, 0, 0, 0xFF, 1));
}

TEST(SystemObject, FontsAndMetricsFitTogether) {
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  EXPECT_EQ(orrin7::GetDefaultGUIFont(), orrin7::font(0, 0, 0));
  EXPECT_GE(system->GetAlternativeFont().size, 1);
  pixel_probe_t probe(4, 4);
  probe.painter().SetFont(orrin7::GetDefaultGUIFont());
  const int line = probe.painter().GetFontMetrics().line_height();
  EXPECT_EQ(system->GetLineHeightUnit(), line);
  EXPECT_EQ(system->GetMetric(orrin7::SM_LineHeight), line + int(system->GetMetricF(0)));
  EXPECT_GT(system->GetMetricF(orrin7::SM_LineHeight), 0.0);
  EXPECT_EQ(system->GetMetric(99), 0);
}

TEST(SystemObject, ClipboardKeepsTextUntilAServiceReplacesIt) {
  struct recording_service_t : orrin7::IClipboardService {
    void SetText(const std::wstring& text) override { last = text; }
    std::wstring GetText() const override { return last; }
    std::wstring last;
  } service;
  orrin7::ISystem* system = orrin7::GetCurrentSystem();
  system->GetClipboardService()->SetText(L"first\tline");
  EXPECT_EQ(system->GetClipboardService()->GetText(), L"first\tline");
  system->SetClipboardService(&service);
  system->GetClipboardService()->SetText(L"second");
  EXPECT_EQ(service.last, L"second");
  system->SetClipboardService(nullptr);
  EXPECT_EQ(system->GetClipboardService()->GetText(), L"first\tline");
}

TEST(ImageList, AddsImagesOfItsSizeAndDrawsThemThroughThePainter) {
  orrin7::orrin_ptr<orrin7::IImageList> list = orrin7::GetCurrentSystem()->CreateImageList(9, 9);
  ASSERT_TRUE(list);
  const orrin7::XPMImage plus(plus_icon());
  ASSERT_TRUE(plus.IsValid());
  EXPECT_EQ(list->Add(plus.GetBitmap()), 0);
  orrin7::bitmap wrong_size;
  wrong_size.width = wrong_size.height = 2;
  wrong_size.pixels.assign(4, 0xFF000000);
  EXPECT_EQ(list->Add(wrong_size), -1);
  EXPECT_EQ(list->GetImageCount(), 1);
  EXPECT_EQ(list->GetImageSize(0), orrin7::size<int>(9, 9));
  EXPECT_EQ(list->GetImageSize(1), orrin7::size<int>(0, 0));
  pixel_probe_t probe(20, 20);
  probe.render([&](orrin7::IPainter& p) {
    list->Draw(&p, 0, 5, 6, 0, 0);
    list->Draw(&p, 7, 0, 0, 0, 0);
    list->Draw(&p, -1, 0, 0, 0, 0);
  });
  // Outline corners, the transparent inside, the centre of the plus.
  EXPECT_EQ(probe.mismatches({{5, 6, black}, {13, 14, black}, {7, 8, white}, {9, 10, black}}), "");
  EXPECT_EQ(probe.count_not(0, 0, 20, 20, white), 32 + 9);
}

TEST(ImageList, CountedHandlesKeepTheListAlive) {
  orrin7::orrin_ptr<orrin7::IImageList> first = orrin7::GetCurrentSystem()->CreateImageList(0, 0);
  orrin7::orrin_ptr<orrin7::IImageList> unowned(first.get(), /*owned=*/false);
  {
    orrin7::orrin_ptr<orrin7::IImageList> copy = first;
    first = orrin7::orrin_ptr<orrin7::IImageList>();
    EXPECT_EQ(copy->GetImageCount(), 0);  // still alive through the copy (sanitizers watch)
  }
  EXPECT_FALSE(first);
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
  for (const auto& lines : bad) {
    EXPECT_FALSE(orrin7::XPMImage(orrin7::XPMBuf(lines)).IsValid()) << lines.size();
  }
  const orrin7::XPMImage red_dot(orrin7::XPMBuf({"2 1 2 1", "a c #FF0000", "b c None", "ab"}));
  ASSERT_TRUE(red_dot.IsValid());
  EXPECT_EQ(red_dot.GetBitmap().pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0}));
}

TEST(ImageFile, LoadsWhatWasWrittenAndReportsMissingFiles) {
  pixel_probe_t probe(3, 2, _color::rgb(0x10, 0x20, 0x30));
  const std::string path = sv4_test::output_path("orrin7_image_file_test.png");
  ASSERT_TRUE(probe.write_png(path));
  orrin7::bitmap image;
  std::string error;
  ASSERT_TRUE(orrin7::LoadImageFile(path, image, error)) << error;
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels[0], 0xFF102030u);
  EXPECT_FALSE(orrin7::LoadImageFile(path + ".missing", image, error));
  EXPECT_FALSE(error.empty());
  std::remove(path.c_str());
}

}  // namespace
