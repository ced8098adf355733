// source_view_layout_t: the element tree of the source view (three regions of header, cells and
// summary in a scroll box, the splitter before the right region, the navigation strip) and the
// ties that keep rows, columns and selection aligned across the regions.
#pragma once

#include "orrin7/types.h"
#include "orrinfrw7/bevel.h"
#include "orrinfrw7/focus_holder.h"
#include "orrinfrw7/header.h"
#include "orrinfrw7/scroll.h"
#include "orrinfrw7/visual_element.h"
#include "source_view4/export.h"
#include "source_view4/grid_element.h"
#include "source_view4/header_model.h"
#include "source_view4/navigation.h"

namespace source_view4 {

// The layout creates its elements with `new` under itself, so the element tree owns and destroys
// them; the three header models are members and outlive nothing but the headers' use of them
// (a header forgets a model that is destroyed). The composite is one tab stop: tabbing leaves it
// as a whole, and while the focus is inside, every part of it shows the focused look.
//
// Regions, left to right: the left panel (its header, cells and a summary panel holding a bevel
// as high as the other regions' horizontal scroll bars, so that its summary row lines up with
// theirs), the center region and the right region (scroll boxes of their own, scrolling their
// columns), the splitter between center and right, and the navigation strip at the far right.
class SOURCE_VIEW4_EXPORT source_view_layout_t
    : public orrinfrw7::CComplexFocusHolder<orrinfrw7::CVisualElement> {
  using base_t = orrinfrw7::CComplexFocusHolder<orrinfrw7::CVisualElement>;

 public:
  source_view_layout_t(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                       orrinfrw7::Alignment alignment);
  ~source_view_layout_t() override;

  // The scroll box's content: as wide as the three regions together, as high as the tallest.
  orrin7::rectangle<int> get_sbox_rect() const;
  orrinfrw7::CSplitter* get_right_splitter_element() const { return right_splitter; }
  navigation_element_t* get_navigation_element() const { return navigation; }
  // Repaints every row of the six grid elements.
  void invalidate_rows();

  // Narrowing the view takes width from the right region first, so that the center region is
  // never squeezed out.
  void SetPos(const orrin7::rectangle<int>& rect, bool redraw = true) override;
  void AttributeChanged() override;

 protected:
  void HandleChildFocusChanged(orrinfrw7::CVisualElement* from, orrinfrw7::CVisualElement* to,
                               bool focused) override;
  // Narrowing a left column is refused when the left panel would become narrower than 30 px.
  void on_left_header_resizing(orrinfrw7::CHeader* header, orrinfrw7::IHeaderItem* item,
                               int new_size, bool* allow);
  // The source column's width is computed from its text: the center header refuses resizing.
  void on_center_header_resize_start(orrinfrw7::CHeader* header, orrinfrw7::IHeaderItem* item,
                                     bool* allow);
  // The left panel fits its columns exactly.
  void on_left_viewmodel_changed();

  header_model_t left_header_model;
  header_model_t center_header_model;
  header_model_t right_header_model;

  orrinfrw7::CScrollBox* scroll_box = nullptr;
  navigation_element_t* navigation = nullptr;
  orrinfrw7::CVisualElement* left_panel = nullptr;
  orrinfrw7::CHeader* left_header = nullptr;
  grid_element_t* left_cells = nullptr;
  orrinfrw7::CVisualElement* left_summary_panel = nullptr;
  orrinfrw7::CBevel* left_summary_bevel = nullptr;
  grid_element_t* left_summary = nullptr;
  orrinfrw7::CScrollBox* center_region = nullptr;
  orrinfrw7::CHeader* center_header = nullptr;
  grid_element_t* center_cells = nullptr;
  grid_element_t* center_summary = nullptr;
  orrinfrw7::CScrollBox* right_region = nullptr;
  orrinfrw7::CHeader* right_header = nullptr;
  grid_element_t* right_cells = nullptr;
  grid_element_t* right_summary = nullptr;
  orrinfrw7::CSplitter* right_splitter = nullptr;

 private:
  void build_elements();
  void share_models();
  void connect_scrolling();
  void size_summaries();
  // The system's row height: headers, summary rows and scroll bars are multiples of it.
  static int line_height();
};

}  // namespace source_view4
