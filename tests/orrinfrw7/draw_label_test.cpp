// DrawLabel on the recording painter: image and text placed by alignment, text shortened at word
// breaks or characters, labels without an image or room, measuring only, the text formatter.
#include <gtest/gtest.h>

#include "orrinfrw7/draw_label.h"
#include "support/recording_painter.h"

namespace {

using orrin7::rectangle;
using strings = std::vector<std::string>;

constexpr int left_middle = orrin7::TA_Left | orrin7::TA_VCenter | orrin7::TA_SingleLine;

class DrawLabelTest : public ::testing::Test {
 protected:
  DrawLabelTest() : images(orrin7::GetCurrentSystem()->CreateImageList(6, 6)) {
    orrin7::bitmap square;
    square.width = square.height = 6;
    square.pixels.assign(36, 0xFF00FF00u);
    images->Add(square);
  }

  // Draws in a box 190 × 20 at x 10 (or `box`) and answers the image and text calls.
  strings draw(const std::wstring& text, int align, int index = 0,
               rectangle<int> box = {10, 0, 200, 20}, const std::wstring& breaks = L" .\n",
               const orrinfrw7::ILabelTextFormatter* formatter = nullptr) {
    recorder.clear();
    used = orrinfrw7::DrawLabel(&recorder, box, text, align, 3, images, index, &layout, breaks,
                                formatter);
    return recorder.calls_starting_with({"DrawBitmap", "DrawString"});
  }

  sv4_test::recording_painter_t recorder;
  orrin7::orrin_ptr<orrin7::IImageList> images;
  orrinfrw7::CLabelLayout layout;
  rectangle<int> used;
};

TEST_F(DrawLabelTest, ImageThenTextPlacedByTheAlignFlags) {
  EXPECT_EQ(draw(L"abc", left_middle),
            (strings{"DrawBitmap(6x6, 10, 7)", "DrawString(19, 0, 40, 20, \"abc\", 0x61, -1)"}));
  EXPECT_EQ(used, rectangle<int>(10, 3, 40, 17));  // text line 3 … 17 holds the image 7 … 13
  EXPECT_EQ(layout.text, rectangle<int>(19, 3, 40, 17));

  EXPECT_EQ(draw(L"abc", orrin7::TA_Right | orrin7::TA_Top),
            (strings{"DrawBitmap(6x6, 170, 0)", "DrawString(179, 0, 200, 20, \"abc\", 0x49, -1)"}));
  EXPECT_EQ(draw(L"abc", orrin7::TA_HCenter | orrin7::TA_Bottom)[0], "DrawBitmap(6x6, 90, 14)");

  // Measuring draws nothing and answers the same rectangle.
  EXPECT_EQ(draw(L"abc", left_middle | orrin7::TA_CalcRect), strings{});
  EXPECT_EQ(used, rectangle<int>(10, 3, 40, 17));
}

TEST_F(DrawLabelTest, TooLongTextIsCutAtAWordBreakOrElseBetweenCharacters) {
  const rectangle<int> box(0, 0, 100, 20);  // room for 14 characters of 7 pixels
  EXPECT_EQ(draw(L"alpha beta gamma", left_middle, -1, box),
            strings{"DrawString(0, 0, 77, 20, \"alpha beta…\", 0x61, -1)"});
  EXPECT_EQ(draw(L"alphabetagammadelta", left_middle, -1, box)[0],
            "DrawString(0, 0, 98, 20, \"alphabetagamm…\", 0x61, -1)");
  EXPECT_EQ(draw(L"alpha beta gamma", left_middle, -1, box, L"")[0],
            "DrawString(0, 0, 98, 20, \"alpha beta ga…\", 0x61, -1)");
  EXPECT_EQ(layout.shown_text, L"alpha beta ga…");
  // Beside the image (6 + 3 pixels) fewer characters fit.
  EXPECT_EQ(draw(L"alphabetagammadelta", left_middle, 0, box)[1],
            "DrawString(9, 0, 100, 20, \"alphabetagam…\", 0x61, -1)");
  // Not even "…" fits: the image alone.
  EXPECT_EQ(draw(L"abc", left_middle, 0, {0, 0, 12, 20}), strings{"DrawBitmap(6x6, 0, 7)"});
  EXPECT_EQ(used.width(), 6);
}

TEST_F(DrawLabelTest, LabelsWithoutAnImageOrWithoutRoom) {
  for (const int index : {-1, 1, 1000}) {
    EXPECT_EQ(draw(L"abc", left_middle, index),
              strings{"DrawString(10, 0, 31, 20, \"abc\", 0x61, -1)"})
        << index;
  }
  // An image wider than the box: nothing at all.
  EXPECT_EQ(draw(L"abc", left_middle, 0, {0, 0, 5, 20}), strings{});
  EXPECT_EQ(used, rectangle<int>(0, 0, 0, 0));

  images = orrin7::orrin_ptr<orrin7::IImageList>();
  EXPECT_EQ(draw(L"abc", left_middle, 0).size(), 1u);
  EXPECT_EQ(draw(L"", left_middle, 0), strings{});
  EXPECT_EQ(used, rectangle<int>(10, 0, 10, 0));
}

TEST_F(DrawLabelTest, FormatterChangesTheTextShown) {
  struct brackets_t : orrinfrw7::ILabelTextFormatter {
    std::wstring FormatLabelText(const std::wstring& text) const override {
      return L"[" + text + L"]";
    }
  } brackets;
  EXPECT_EQ(draw(L"ab", left_middle, 0, {0, 0, 100, 20}, L"", &brackets)[1],
            "DrawString(9, 0, 37, 20, \"[ab]\", 0x61, -1)");
  EXPECT_EQ(used.width(), 37);
}

}  // namespace
