// image_painter_t and label_painter_t on the recording painter: images side by side with skipped
// indexes, labels 4 pixels apart through the label drawing, unequal list lengths, a missing image
// list, and the measurements with their 7-pixel spacing.
#include "source_view4/label_painter.h"
#include "painter_fixture.h"

namespace {

using source_view4::label_list_t;
using source_view4::column_painters::draw_cell_params_t;
using source_view4::column_painters::image_painter_t;
using source_view4::column_painters::label_painter_t;

class ImageAndLabelPainters : public sv4_test::painter_test_t {
 protected:
  ImageAndLabelPainters() {
    images.set_image_list(solid_images({{4, 4}, {6, 6}, {5, 5}}));
    labels.set_image_list(images.get_image_list());
  }

  image_painter_t images;
  label_painter_t labels;
  const label_list_t four_labels{{L"ab", L"cd", L"ef", L"gh"}, {0, 7, 1}};
};

TEST_F(ImageAndLabelPainters, ImagesSitSideBySideAndIndexesOutsideTheListLeaveNoGap) {
  const draw_cell_params_t params = holding(std::vector<int>{0, 5, 1, -1, 2}, {10, 20, 110, 40});
  EXPECT_EQ(
      draw(images, params, {"DrawBitmap"}),
      (strings{"DrawBitmap(4x4, 10, 20)", "DrawBitmap(6x6, 14, 20)", "DrawBitmap(5x5, 20, 20)"}));
  EXPECT_EQ(images.get_content_size(params), orrin7::size<double>(15, 6));
  // Every index counts as a square of the cell's height, whether the list has its image or not.
  EXPECT_EQ(images.get_content_rect(holding(std::vector<int>{0, 5, 1}, {10, 20, 310, 36})),
            orrin7::rectangle<double>(10, 20, 58, 36));
  EXPECT_EQ(images.get_content_rect(holding(std::vector<int>{}, {10, 20, 310, 36})),
            orrin7::rectangle<double>(10, 20, 10, 36));
}

// Label 0 takes 4 + 3 + 14 pixels from x = 2; label 1's image is not in the list. A negative
// index leaves the image to the list, which has none for it: the text alone.
TEST_F(ImageAndLabelPainters, LabelsAreDrawnFourPixelsApartUpToTheShorterList) {
  draw_cell_params_t params = holding(four_labels);
  params.active = true;
  EXPECT_EQ(draw(labels, params, {"DrawBitmap", "DrawString", "SetTextColor"}),
            (strings{"SetTextColor(#ffffffff/1)", "DrawBitmap(4x4, 2, 8)",
                     "DrawString(9, 2, 23, 18, \"ab\", 0x61, -1)", "DrawBitmap(6x6, 27, 7)",
                     "DrawString(36, 2, 50, 18, \"ef\", 0x61, -1)"}));
  EXPECT_EQ(draw(labels, holding(label_list_t{{L"ab"}, {-1}}), {"DrawBitmap", "DrawString"}),
            strings{"DrawString(2, 2, 16, 18, \"ab\", 0x61, -1)"});
}

TEST_F(ImageAndLabelPainters, LabelMeasurementsCountSevenPixelsPerLabel) {
  draw_cell_params_t params = holding(four_labels);
  // Margins 3 × 3, then (4 + 7 + 14) and (6 + 7 + 14); as high as the taller image.
  EXPECT_EQ(labels.get_content_size(params), orrin7::size<double>(55, 6));
  // Room for 3 square images of the cell's height and 3 × 7 pixels beside the measured texts.
  recorder.clear();
  EXPECT_EQ(labels.get_content_rect(params), orrin7::rectangle<double>(2, 3, 139, 17));
  EXPECT_EQ(recorder.calls_starting_with({"GetTextRect"}),
            strings{"GetTextRect(2, 2, 118, 18, \"abcdefgh\", 0x1161, -1)"});
  params.text = L"xyz";
  EXPECT_EQ(labels.get_content_size(params), orrin7::size<double>(24, 3));
}

// Without an image list: the background and the two grid lines, nothing measured.
TEST_F(ImageAndLabelPainters, WithoutImagesOnlyBackgroundAndLinesAndOtherValuesAreRefused) {
  const draw_cell_params_t params = holding(label_list_t{{L"ab"}, {0}});
  label_painter_t bare;
  EXPECT_EQ(draw(bare, params, {"DrawBitmap", "DrawString", "SetFont", "FillRect", "LineTo"}),
            (strings{"FillRect(0, 0, 200, 20)", "LineTo(200, 20)", "LineTo(0, 20)"}));
  EXPECT_EQ(bare.get_content_size(params), orrin7::size<double>(3, 3));
  EXPECT_EQ(image_painter_t().get_content_size(holding(std::vector<int>{0})),
            orrin7::size<double>(0, 0));
  EXPECT_THROW(labels.on_draw_cell(holding(std::vector<int>{0})), boost::bad_get);
  EXPECT_THROW(images.on_draw_cell(holding(label_list_t{})), boost::bad_get);
}

}  // namespace
