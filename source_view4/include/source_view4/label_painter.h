// image_painter_t draws a row of small images, label_painter_t a row of labels (an image followed
// by a text each), both from an image list the client hands to the painter.
#pragma once

#include "orrin7/system.h"
#include "source_view4/base_painter.h"
#include "source_view4/export.h"
#include "source_view4/text_painter.h"

namespace source_view4 {
namespace column_painters {

// Draws a cell's list of image indexes (the std::vector<int> alternative) as images side by side
// from the cell's top-left corner, without margins. Indexes at or above the image count are
// skipped without leaving a gap; what a negative index draws is the image list's matter (the
// system's lists draw nothing for it). Without an image list only background and lines are drawn.
// Shares the image list it is given (counted when the handle owns its list); derives virtually
// from base_painter_t so that the label painter holds one base.
class SOURCE_VIEW4_EXPORT image_painter_t : public virtual base_painter_t {
 public:
  image_painter_t();
  image_painter_t(const image_painter_t& other);
  image_painter_t& operator=(const image_painter_t& other);
  ~image_painter_t() override;

  void on_draw_cell(const draw_cell_params_t& params) override;
  // The cell with room for one square of the cell's height per index.
  orrin7::rectangle<double> get_content_rect(const draw_cell_params_t& params) override;
  // The images side by side (no margins); 0 × 0 without an image list.
  orrin7::size<double> get_content_size(const draw_cell_params_t& params) override;

  void set_image_list(orrin7::orrin_ptr<orrin7::IImageList> list);
  orrin7::orrin_ptr<orrin7::IImageList> get_image_list() const;

 protected:
  // The image's index is below the list's count (false without a list).
  bool has_image(int index) const;
  // Width and height of an image; 0 × 0 without a list.
  orrin7::size<int> image_size(int index) const;

  orrin7::orrin_ptr<orrin7::IImageList> image_list;
};

// Draws a cell's label_list_t: label i is image i followed by text i, for i below both list
// lengths, drawn through the framework's label drawing 4 pixels apart, in the text painter part's
// font, text colour of the row's state and align. A label whose image index is at or above the
// image count is skipped, text and all; without an image list no label is drawn. The measuring
// functions count 7 pixels between labels. Uses the image list of its image painter part.
class SOURCE_VIEW4_EXPORT label_painter_t : public image_painter_t, public text_painter_t {
 public:
  label_painter_t();
  label_painter_t(const label_painter_t& other);
  label_painter_t& operator=(const label_painter_t& other);
  ~label_painter_t() override;

  void on_draw_cell(const draw_cell_params_t& params) override;
  // The measured concatenated texts, with room for a square image of the cell's height and 7
  // pixels per label.
  orrin7::rectangle<double> get_content_rect(const draw_cell_params_t& params) override;
  // When the grid gives a text (or the cell has no column): that text's width plus the margins,
  // and the margins' height. Otherwise the labels' images, texts and spacing with the margins,
  // as high as the tallest image.
  orrin7::size<double> get_content_size(const draw_cell_params_t& params) override;
};

}  // namespace column_painters
}  // namespace source_view4
