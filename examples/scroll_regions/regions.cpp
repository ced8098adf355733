// The scroll_regions view: cell texts, the region grid's drawing, keys, tooltips and copying,
// and the element tree with its scroll connections.
#include "regions.h"

#include <algorithm>
#include <cstdio>

#include "../common/plain_text_cell.h"
#include "orrin7/painter.h"
#include "orrin7/system.h"

namespace scroll_regions {
namespace {

using orrinfrw7::AL_Client;
using orrinfrw7::AL_Right;
using orrinfrw7::AL_Top;

// Model columns of the main region; kPosition is the group over kLine and kOffset.
enum MainColumn : int { kRow, kName, kLine, kOffset, kHex, kPosition };
enum SideColumn : int { kSquare, kBits };

std::wstring Grouped(long long value) {
  std::wstring digits = std::to_wstring(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), 1, L',');
  return digits;
}

// "item " and the row number in letters: a, b, …, z, ba, bb, …
std::wstring Name(int row) {
  std::wstring letters;
  do {
    letters.insert(letters.begin(), wchar_t(L'a' + row % 26));
    row /= 26;
  } while (row > 0);
  return L"item " + letters;
}

std::wstring Hex(int row) {
  wchar_t text[16];
  std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(row) * 2654435761u);
  return text;
}

std::wstring MainText(int row, int column) {
  const int line = row % 997 + 1;
  const long long offset = 48LL * row;
  switch (column) {
    case kRow:
      return Grouped(row + 1LL);
    case kName:
      return Name(row);
    case kLine:
      return std::to_wstring(line);
    case kOffset:
      return Grouped(offset);
    case kHex:
      return Hex(row);
    case kPosition:
      return L"line " + std::to_wstring(line) + L" at " + Grouped(offset);
    default:
      return std::wstring();
  }
}

std::wstring SideText(int row, int column) {
  if (column == kSquare) return Grouped((row + 1LL) * (row + 1LL));
  if (column != kBits) return std::wstring();
  std::wstring bits;
  for (int bit = 11; bit >= 0; --bit) bits += (row >> bit) & 1 ? L'1' : L'0';
  return bits;
}

}  // namespace

// ---- CRegionGrid ----

CRegionGrid::CRegionGrid(orrinfrw7::CVisualElement* parent, orrinfrw7::CHeader* header, int rows,
                         cell_text_t text)
    : CGrid(parent, {0, 0}, AL_Client), m_header(header), m_text(std::move(text)) {
  SetColumnViewModel(header->GetColumnViewModel());
  Rows().SetCount(rows);
}

orrinfrw7::CSimpleDiscreteItemViewModel& CRegionGrid::Rows() {
  return static_cast<orrinfrw7::CSimpleDiscreteItemViewModel&>(*GetRowViewModel());
}

void CRegionGrid::DrawCell(orrin7::IPainter* painter, int row, int rowOffset, int column,
                           int columnOffset, int state, const orrin7::rectangle<double>& rect,
                           int updateType) {
  if (updateType != orrinfrw7::UT_Changed) return;
  const double left = rect.left - columnOffset;
  const double top = rect.top - rowOffset;
  const orrin7::rectangle<double> cell(left, top, left + GetColumnViewModel()->GetItemSize(column),
                                       top + GetRowViewModel()->GetItemSize(row));
  painter->SetFont(GetFont());
  examples::DrawPlainTextCell(painter, rect, cell, state,
                              m_text(row, m_header->VisibleIndex2ModelIndex(column)));
}

bool CRegionGrid::HandleKeyDown(const orrinfrw7::CKeyEvent& event) {
  if (event.modifiers & orrinfrw7::MK_Ctrl) {
    if (event.key == orrinfrw7::KEY_C || event.key == orrinfrw7::KEY_Insert) {
      orrinfrw7::CopyToClipboard(this);
      return true;
    }
    if (event.key == orrinfrw7::KEY_A && Rows().GetCount() > 0) {
      GetRowSelectionModel()->SelectRange(0, Rows().GetCount() - 1, /*selected=*/true);
      return true;
    }
  }
  return CGrid::HandleKeyDown(event);
}

bool CRegionGrid::HandleOnTooltip(orrinfrw7::CTooltipEvent& event) {
  return m_tips && orringrid8::QueryCellTooltip(*m_tips, GetRowViewModel(), GetColumnViewModel(),
                                                GetCentralPart(), event);
}

std::wstring CRegionGrid::Line(int row) const {
  std::wstring line;
  for (int i = 0; i < m_header->GetVisibleCount(); ++i) {
    if (i > 0) line += L'\t';
    line += m_text(row, m_header->VisibleIndex2ModelIndex(i));
  }
  return line;
}

std::wstring CRegionGrid::CaptionLine() const {
  std::wstring line;
  for (int i = 0; i < m_header->GetVisibleCount(); ++i) {
    if (i > 0) line += L'\t';
    line += m_header->GetVisibleItem(i)->GetCaption();
  }
  return line;
}

std::wstring CRegionGrid::HandleAsString() const {
  const orrinfrw7::ISelectionModel& selection = *GetRowSelectionModel();
  const long long count = std::min<long long>(selection.GetSelectedCount(), kMaxCopiedRows);
  if (count == 0 && selection.GetCurrent() < 0) return std::wstring();
  std::wstring text = CaptionLine() + L'\n';
  if (count == 0) return text + Line(selection.GetCurrent()) + L'\n';
  for (long long n = 0; n < count; ++n) text += Line(selection.GetSelectedItem(n)) + L'\n';
  if (count < selection.GetSelectedCount() && CopyCut) CopyCut(count, selection.GetSelectedCount());
  return text;
}

// ---- CRegionsView ----

std::wstring CRegionsView::CCellTips::GetTooltipText(int row, int column) {
  const orrinfrw7::IHeaderItem* item = m_view.m_mainHeader->GetVisibleItem(column);
  if (item == nullptr) return std::wstring();
  return item->GetCaption() + L": " + MainText(row, item->GetModelIndex());
}

CRegionsView::CRegionsView() {
  m_mainColumns.Add(L"Row", 90, kRow);
  m_mainColumns.Add(L"Name", 150, kName).SetTooltip(L"A name made from the row number");
  orrinfrw7::CSimpleHeaderItem& position = m_mainColumns.Add(L"Position", 170, kPosition);
  position.SetExpansionState(orrinfrw7::HE_Expanded);
  position.AddChild(L"Line", 70, kLine);
  position.AddChild(L"Offset", 100, kOffset);
  m_mainColumns.Add(L"Hex", 110, kHex);
  m_sideColumns.Add(L"Square", 150, kSquare);
  m_sideColumns.Add(L"Bits", 110, kBits);
}

CRegionGrid* CRegionsView::Show(orrinfrw7::CControl& control) {
  Build(control.GetRoot());
  control.CompleteAttach();  // row heights and header heights follow the font from here on
  AlignHeaders();
  m_mainGrid->SetFocus();
  return m_mainGrid;
}

// outer box (vertical bar) ─┬─ side region (right): header over grid, horizontal bar
//                           ├─ splitter (right, beside the side region)
//                           └─ main region (the rest): header over grid, horizontal bar
void CRegionsView::Build(orrinfrw7::CVisualElement* root) {
  auto* outer = new orrinfrw7::CScrollBox(root, {0, 0}, AL_Client);
  auto* side = new orrinfrw7::CScrollBox(outer, {300, 0}, AL_Right);
  auto* splitter = new orrinfrw7::CSplitter(outer, {6, 0}, AL_Right);
  auto* main = new orrinfrw7::CScrollBox(outer, {0, 0}, AL_Client);
  m_sideHeader = new orrinfrw7::CHeader(side, {0, 20}, AL_Top);
  m_sideHeader->SetModel(&m_sideColumns);
  m_sideGrid = new CRegionGrid(side, m_sideHeader, kRows, SideText);
  m_mainHeader = new orrinfrw7::CHeader(main, {0, 20}, AL_Top);
  m_mainHeader->SetModel(&m_mainColumns);
  m_mainGrid = new CRegionGrid(main, m_mainHeader, kRows, MainText);
  m_mainGrid->SetTooltipModel(&m_tips);
  // One selection for both grids; each keeps its own rows, which the outer box keeps together.
  m_sideGrid->SetRowSelectionModel(m_mainGrid->GetRowEventHandler().GetSelectionModel());
  splitter->SetNeighbours(side, main);
  splitter->SetMinimumSizes(80, 120);
  for (auto* region : {main, side}) {
    // Always there, so that both grids end at the same height.
    region->SetScrollBarMode(orrinfrw7::OR_Horizontal, orrinfrw7::SBM_Always);
  }
  main->ConnectElement(m_mainGrid, orrinfrw7::SC_Horizontal, /*driving=*/true);
  main->ConnectElement(m_mainHeader, orrinfrw7::SC_Horizontal);
  side->ConnectElement(m_sideGrid, orrinfrw7::SC_Horizontal, /*driving=*/true);
  side->ConnectElement(m_sideHeader, orrinfrw7::SC_Horizontal);
  outer->ConnectElement(m_mainGrid, orrinfrw7::SC_Vertical, /*driving=*/true);
  outer->ConnectElement(m_sideGrid, orrinfrw7::SC_Vertical);
}

void CRegionsView::AlignHeaders() {
  m_mainHeader->RecalculateHeight();
  m_sideHeader->RecalculateHeight();
  const int height =
      std::max(m_mainHeader->GetRequestedSize().height, m_sideHeader->GetRequestedSize().height);
  m_mainHeader->SetHeight(height);
  m_sideHeader->SetHeight(height);
}

}  // namespace scroll_regions
