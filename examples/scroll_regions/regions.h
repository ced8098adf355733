// The scroll_regions view: a main region (a two-level header over a grid of 1,000,000 rows) and a
// side region beside it whose rows scroll with it, a splitter between them, selection shared by
// both grids, tooltips on the main grid's cells and copying to the clipboard.
#pragma once

#include <functional>
#include <string>

#include "orrinfrw7/bevel.h"
#include "orrinfrw7/control.h"
#include "orrinfrw7/header.h"
#include "orrinfrw7/scroll.h"
#include "orrinfrw7/viewer.h"
#include "orringrid8/tooltip_model.h"

namespace scroll_regions {

using CGrid = orrinfrw7::CGridViewer<orrinfrw7::IContinuousItemViewModel,
                                     orrinfrw7::IContinuousItemViewModel>;

// The text of a cell by row and model column.
using cell_text_t = std::function<std::wstring(int row, int modelColumn)>;

// A grid whose columns are those of a header (widths, order, hidden ones) and whose cells show
// texts from a function. Ctrl+C or Ctrl+Insert copies the selected rows (at most kMaxCopiedRows,
// else the current row) as tab-separated lines after a line of captions, and tells CopyCut when
// the selection had more rows than went on the clipboard; Ctrl+A selects all.
class CRegionGrid : public CGrid {
 public:
  static constexpr int kMaxCopiedRows = 10000;

  CRegionGrid(orrinfrw7::CVisualElement* parent, orrinfrw7::CHeader* header, int rows,
              cell_text_t text);

  orrinfrw7::CSimpleDiscreteItemViewModel& Rows();
  // (rows copied, rows selected): a copy left rows out; the window says so.
  std::function<void(long long, long long)> CopyCut;
  // Not owned; null: no tooltips.
  void SetTooltipModel(orringrid8::ITooltipModel* model) { m_tips = model; }

 protected:
  void DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column, int columnOffset,
                int state, const orrin7::rectangle<double>& rect, int updateType) override;
  bool HandleKeyDown(const orrinfrw7::CKeyEvent& event) override;
  bool HandleOnTooltip(orrinfrw7::CTooltipEvent& event) override;
  bool IsCopyToClipboardEnabled() const override { return true; }
  std::wstring HandleAsString() const override;

 private:
  std::wstring Line(int row) const;
  std::wstring CaptionLine() const;

  orrinfrw7::CHeader* m_header;  // a sibling in the element tree
  cell_text_t m_text;
  orringrid8::ITooltipModel* m_tips = nullptr;
};

// Builds the view under a control's root and keeps the header models and the tooltip model,
// which must outlive the elements: create the view before the control.
class CRegionsView {
 public:
  static constexpr int kRows = 1000000;

  CRegionsView();
  // Creates the elements under the control's root, attaches them, gives both headers the height
  // of the taller one and the main grid the focus; answers the main grid.
  CRegionGrid* Show(orrinfrw7::CControl& control);
  CRegionGrid* GetMainGrid() const { return m_mainGrid; }
  CRegionGrid* GetSideGrid() const { return m_sideGrid; }

 private:
  void Build(orrinfrw7::CVisualElement* root);
  void AlignHeaders();

  // The tip of a main cell: its caption and its whole text, which a narrow column cuts short.
  class CCellTips : public orringrid8::ITooltipModel {
   public:
    explicit CCellTips(const CRegionsView& view) : m_view(view) {}
    std::wstring GetTooltipText(int row, int column) override;

   private:
    const CRegionsView& m_view;
  };

  orrinfrw7::CSimpleHeaderModel m_mainColumns;
  orrinfrw7::CSimpleHeaderModel m_sideColumns;
  CCellTips m_tips{*this};
  orrinfrw7::CHeader* m_mainHeader = nullptr;
  orrinfrw7::CHeader* m_sideHeader = nullptr;
  CRegionGrid* m_mainGrid = nullptr;
  CRegionGrid* m_sideGrid = nullptr;
};

}  // namespace scroll_regions
