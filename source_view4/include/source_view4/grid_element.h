// grid_element_t: the visual element that shows the cells of one grid (its rows, or the one-row
// summary strip) and reports each cell to draw and each pointer action as a signal; with the
// scroll model that scrolls it in whole rows and the translator that declares every row removed.
#pragma once

#include <string>

#include "orrin7/painter.h"
#include "orrin7/types.h"
#include "orrinfrw7/event_handler.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/viewer.h"
#include "orringrid8/tooltip_model.h"
#include "source_view4/export.h"
#include "utilkit2/signal.h"

namespace source_view4 {

// Scrolls in rows of default height over an item view model measured in pixels: positions and
// the total are counted in default rows of the size model, and the target model's view start is
// moved in pixels. Both models are not owned; the size model stays the one given at
// construction, the target follows the element's row model.
class SOURCE_VIEW4_EXPORT PseudoDiscreteScrollModel : public orrinfrw7::IScrollModel {
 public:
  explicit PseudoDiscreteScrollModel(orrinfrw7::IContinuousItemViewModel* model);

  // Total pixels of the size model / its default row height; without a size model the target's
  // pixels; without either 0.
  int GetTotal() const override;
  void SetPosition(double position) override;
  double GetPosition() const override;
  int GetLineStep() const override;
  std::pair<double, int> GetPageInfo() const override;

  void SetTargetViewModel(orrinfrw7::IContinuousItemViewModel* model) { m_target = model; }
  orrinfrw7::IContinuousItemViewModel* GetTargetViewModel() const { return m_target; }
  orrinfrw7::IContinuousItemViewModel* GetSizeViewModel() const { return m_size; }

 private:
  // The unit in pixels: the size model's default row height (0 without a size model).
  int unit() const;

  orrinfrw7::IContinuousItemViewModel* m_target;  // not owned
  orrinfrw7::IContinuousItemViewModel* m_size;    // not owned
};

// Declares every former item removed: handed to UpdateModelState when a grid's rows all go away.
class SOURCE_VIEW4_EXPORT RemoveTranslator : public orrinfrw7::IIndexTranslator {
 public:
  int TranslateIndex(int index, bool* removed) const override;
};

// The cells of one grid. It knows neither columns nor values nor painters: for every cell it
// must paint it emits cell_drawing, which its grid answers; pointer activity over the cells comes
// out of the signals of its cell event handler. Rows and columns come from pixel-measured item
// view models (the row model is usually shared by the three grids of a view, the column model is
// the header's). The element owns its cell event handler and scroll model; the tooltip model and
// the view models are not owned.
class SOURCE_VIEW4_EXPORT grid_element_t
    : public orrinfrw7::CGridViewer<orrinfrw7::IContinuousItemViewModel,
                                    orrinfrw7::IContinuousItemViewModel> {
  using base_t = orrinfrw7::CGridViewer<orrinfrw7::IContinuousItemViewModel,
                                        orrinfrw7::IContinuousItemViewModel>;

 public:
  using RemoveTranslator = source_view4::RemoveTranslator;
  using PseudoDiscreteScrollModel = source_view4::PseudoDiscreteScrollModel;
  using cell_event_handler_t = orrinfrw7::CCellEventHandler<orrinfrw7::IContinuousItemViewModel,
                                                            orrinfrw7::IContinuousItemViewModel>;

  grid_element_t(orrinfrw7::CVisualElement* parent, const orrin7::size<int>& size,
                 orrinfrw7::Alignment alignment);
  ~grid_element_t() override;

  // (surface, row, column position, state word, cell rectangle in element pixels). The rectangle
  // is the whole cell even when part of it is scrolled out of view; bit 0 of the state word is
  // set for a selected row (orrinfrw7::CellState).
  utilkit2::signal_t<orrin7::IPainter*, unsigned int, unsigned int, int,
                     const orrin7::rectangle<double>&>
      cell_drawing;
  // (height): set it to 0 or more to choose the text line height of the rows; -1 on entry.
  utilkit2::signal_t<int&> row_height_query;

  // Its signals report the pointer over the cells: (row, column position, x and y relative to
  // the cell, modifiers, button), and "pointer left a cell" (row, column) before the events of
  // the next cell.
  cell_event_handler_t& get_cell_event_handler() { return m_cells; }

  // The cell's own size at the origin: (0, 0, column width, row height).
  orrin7::screen_rectangle<int> GetCellVirtualRect(int row, int column) const;
  // `p` relative to the cell's top-left pixel, in control pixels.
  orrin7::point<int> Cell2ControlCoord(const orrin7::point<int>& p, int row, int column) const;

  // Colours set here stay when the palette changes; the others follow palette entries 6 (empty
  // area, also the element's background) and 7 (separator).
  orrin7::_color GetEmptyAreaColor() const { return m_emptyAreaColor; }
  void SetEmptyAreaColor(const orrin7::_color& color);
  orrin7::_color GetSeparatorColor() const { return m_separatorColor; }
  void SetSeparatorColor(const orrin7::_color& color);
  // Lines that close the cells against the empty areas below and to the right.
  void DrawEmptyAreaSeparator(bool draw) { m_drawSeparator = draw; }
  bool IsEmptyAreaSeparatorDrawn() const { return m_drawSeparator; }

  // The cells paint their rows across the whole width (a summary strip whose text runs past its
  // column): the area right of the last column is left to them.
  void set_cells_cover_rows(bool cover) { m_cellsCoverRows = cover; }
  // Paint every visible cell in each pass, not only the changed ones.
  void set_redraw_allways(bool redraw) { m_redrawAlways = redraw; }
  // Not owned; null: no tooltips.
  void set_tooltip_model(orringrid8::ITooltipModel* model) { m_tooltips = model; }
  orringrid8::ITooltipModel* get_tooltip_model() const { return m_tooltips; }

  // The element has the focus, or holds it on behalf of an ancestor.
  bool is_element_focused() const;
  // Repaints every row.
  void invalidate_rows();
  // Takes the palette colours again (those the host did not set).
  void update_colors();

  // The element's vertical scroll model (the one a scroll box drives).
  PseudoDiscreteScrollModel& get_scroll_model() { return m_scroll; }

  int CalculateDefaultRowHeight() override;
  void SetRowViewModel(orrinfrw7::IContinuousItemViewModel* model) override;

  // The row and column models the element was made with (its own).
  orrinfrw7::IContinuousItemViewModel* get_initial_row_view_model() const { return m_initialRows; }
  orrinfrw7::IContinuousItemViewModel* get_initial_column_view_model() const {
    return m_initialColumns;
  }

 protected:
  void DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column, int columnOffset,
                int state, const orrin7::rectangle<double>& rect, int updateType) override;
  void DrawRowEmptyArea(orrin7::IPainter* painter, const orrin7::rectangle<double>& rect) override;
  void DrawColumnEmptyArea(orrin7::IPainter* painter,
                           const orrin7::rectangle<double>& rect) override;
  void DrawContent(orrin7::IPainter* painter) override;
  void SysColorsChanged() override;
  bool HandleOnTooltip(orrinfrw7::CTooltipEvent& event) override;
  void HandleControlChangeFocus(bool focused) override;
  void RowViewModelChanged(orrinfrw7::IContinuousItemViewModel* model) override;
  void ColumnViewModelChanged(orrinfrw7::IContinuousItemViewModel* model) override;

 private:
  void fill(orrin7::IPainter* painter, const orrin7::rectangle<double>& rect) const;
  void draw_separator(orrin7::IPainter* painter, double x1, double y1, double x2, double y2) const;
  // Keeps the own row model's default row height equal to the shown model's.
  void follow_row_height();
  // The cell's pixels in the element: (left, top) of its row and column.
  orrin7::point<int> cell_origin(int row, int column) const;

  cell_event_handler_t m_cells;
  orrinfrw7::IContinuousItemViewModel* m_initialRows;     // not owned
  orrinfrw7::IContinuousItemViewModel* m_initialColumns;  // not owned
  orrinfrw7::IContinuousItemViewModel* m_rows;            // the row model in force, not owned
  orrinfrw7::IContinuousItemViewModel* m_columns;         // the column model in force, not owned
  bool m_emptyAreaColorSet = false;
  orrin7::_color m_emptyAreaColor;
  bool m_separatorColorSet = false;
  orrin7::_color m_separatorColor;
  bool m_drawSeparator = false;
  bool m_redrawAlways = false;
  bool m_cellsCoverRows = false;
  PseudoDiscreteScrollModel m_scroll;
  orringrid8::ITooltipModel* m_tooltips = nullptr;  // not owned
};

}  // namespace source_view4
