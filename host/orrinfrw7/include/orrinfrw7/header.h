// CHeader: the column header over a grid, with the item interfaces its model implements
// (IHeaderItem, IHeaderModel). It draws one or two levels of captions, resizes and moves items by
// dragging, and publishes the widths of its visible columns as a column view model.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "orrin7/painter.h"
#include "orrin7/system.h"
#include "orrin7/types.h"
#include "orrinfrw7/item_view_model.h"
#include "orrinfrw7/visual_element.h"
#include "utilkit2/signal.h"

#pragma GCC visibility push(default)

namespace orrinfrw7 {

// Expansion states of a header item.
enum HeaderExpansion : int {
  HE_None = 0,       // not a group
  HE_Expanded = 1,   // a group showing its children under its caption
  HE_Collapsed = 2,  // a group shown as one column of its own width
};

// One caption of a header: a column, or a group whose visible children are columns. Every
// operation has a default, so that a model overrides only what it stores. Items belong to their
// model; the header only points at them between two changes of the model.
class IHeaderItem {
 public:
  virtual ~IHeaderItem();

  // Whether the user may drag the item to another place among its siblings.
  virtual bool IsMovable() const { return true; }
  // The width a resize drag asks for, corrected by the item (a limit of its own).
  virtual int ClampWidth(int width) const { return width; }
  virtual IHeaderItem* GetParent() const { return nullptr; }
  virtual IHeaderItem* GetOwner() const { return nullptr; }
  // Children whose column is visible, and the p-th of them (0-based).
  virtual int GetVisibleChildCount() const { return 0; }
  virtual IHeaderItem* GetVisibleChild(int /*position*/) { return nullptr; }
  virtual const IHeaderItem* GetVisibleChild(int /*position*/) const { return nullptr; }
  virtual std::wstring GetCaption() const { return std::wstring(); }
  // Pixels; for an expanded group the header uses the sum of its children instead.
  virtual int GetWidth() const { return 0; }
  virtual void SetWidth(int /*width*/) {}
  // Image drawn before the caption, from the header's image list; negative: none.
  virtual int GetImageIndex() const { return -1; }
  // Caption alignment (orrin7 text alignment flags); the default centres it both ways.
  virtual int GetTextAlign() const { return orrin7::TA_HCenter | orrin7::TA_VCenter; }
  // The model column the item stands for (VisibleIndex2ModelIndex answers it); -1: none.
  virtual int GetModelIndex() const { return -1; }
  // A value the model keeps with the item for its own listeners; the header never reads it.
  virtual int GetUserData() const { return 0; }
  // A fixed-width item offers no resize grip.
  virtual bool IsFixedWidth() const { return false; }
  virtual std::wstring GetTooltip() const { return std::wstring(); }
  virtual void SetExpanded(bool /*expanded*/) {}
  // HE_None, HE_Expanded or HE_Collapsed.
  virtual int GetExpansionState() const { return HE_None; }
};

// The root of a header's items: its visible children are the top-level captions. The model
// emits Changed after it changed items, widths, visibility or expansion, and the header reads it
// again; caption and tooltip changes need no signal (they are read at each paint).
class IHeaderModel : public IHeaderItem {
 public:
  ~IHeaderModel() override;

  utilkit2::signal_t<> Changed;
  // Emitted by the destructor, so that headers showing the model forget it.
  utilkit2::signal_t<IHeaderModel*> Destroyed;
};

class CSimpleHeaderItem;

// The items of one level of a simple header model, owned; hidden items are skipped by the
// visible-child queries, as IHeaderItem asks.
class CHeaderItemList {
 public:
  CHeaderItemList();
  ~CHeaderItemList();
  CHeaderItemList(const CHeaderItemList&) = delete;
  CHeaderItemList& operator=(const CHeaderItemList&) = delete;

  // Appends an item and answers it; it lives until Clear or the list's end.
  CSimpleHeaderItem& Add(const std::wstring& caption, int width, int modelIndex);
  void Clear();
  int GetCount() const { return static_cast<int>(m_items.size()); }
  CSimpleHeaderItem& operator[](int index) const { return *m_items[std::size_t(index)]; }
  int GetVisibleCount() const;
  // The p-th visible item; the first item when there is none such (null for an empty list).
  CSimpleHeaderItem* GetVisible(int position) const;

 private:
  std::vector<std::unique_ptr<CSimpleHeaderItem>> m_items;
};

// A ready-made header item whose settings are plain values; groups hold their children.
// Changing settings does not tell the header: call the model's NotifyChanged afterwards.
class CSimpleHeaderItem : public IHeaderItem {
 public:
  CSimpleHeaderItem(const std::wstring& caption, int width, int modelIndex);

  CHeaderItemList& Children() { return m_children; }
  // A group's child, owned by the item.
  CSimpleHeaderItem& AddChild(const std::wstring& caption, int width, int modelIndex);

  void SetCaption(const std::wstring& caption) { m_caption = caption; }
  void SetTooltip(const std::wstring& tooltip) { m_tooltip = tooltip; }
  void SetVisible(bool visible) { m_visible = visible; }
  bool IsVisible() const { return m_visible; }
  void SetFixedWidth(bool fixed) { m_fixed = fixed; }
  void SetModelIndex(int index) { m_modelIndex = index; }
  // Makes the item a group (expanded or collapsed); HE_None makes it a plain column again.
  void SetExpansionState(int state) { m_state = state; }

  int GetVisibleChildCount() const override { return m_children.GetVisibleCount(); }
  IHeaderItem* GetVisibleChild(int position) override;
  const IHeaderItem* GetVisibleChild(int position) const override;
  std::wstring GetCaption() const override { return m_caption; }
  int GetWidth() const override { return m_width; }
  void SetWidth(int width) override { m_width = width; }
  int GetModelIndex() const override { return m_modelIndex; }
  bool IsFixedWidth() const override { return m_fixed; }
  std::wstring GetTooltip() const override { return m_tooltip; }
  void SetExpanded(bool expanded) override;
  int GetExpansionState() const override { return m_state; }

 private:
  std::wstring m_caption;
  std::wstring m_tooltip;
  int m_width;
  int m_modelIndex;
  bool m_visible = true;
  bool m_fixed = false;
  int m_state = HE_None;
  CHeaderItemList m_children;
};

// A ready-made header model: a list of top-level items.
class CSimpleHeaderModel : public IHeaderModel {
 public:
  CHeaderItemList& Items() { return m_items; }
  CSimpleHeaderItem& Add(const std::wstring& caption, int width, int modelIndex) {
    return m_items.Add(caption, width, modelIndex);
  }
  // Tells the headers showing the model to read it again.
  void NotifyChanged() { Changed.emit(); }

  int GetVisibleChildCount() const override { return m_items.GetVisibleCount(); }
  IHeaderItem* GetVisibleChild(int position) override;
  const IHeaderItem* GetVisibleChild(int position) const override;

 private:
  CHeaderItemList m_items;
};

// What lies at a point of the header.
enum HeaderHitKind : int {
  HHT_Nowhere = 0,  // outside the items (also the empty area after the last column)
  HHT_Item = 1,     // over an item's caption
  HHT_Divider = 2,  // over the resize grip at a column's right edge; the item is that column
};

struct CHeaderHitInfo {
  int kind = HHT_Nowhere;
  IHeaderItem* item = nullptr;
};

// Header styles (SetStyle).
enum HeaderStyle : int {
  HS_Flat = 0,     // flat captions without hover or pressed looks; items cannot be moved
  HS_Buttons = 1,  // captions react to hover and presses, and can be dragged to another place
};

// Shows the items of a model it does not own (SetModel; the model may be destroyed first).
// Columns are the visible leaves in display order: the children of expanded groups, the other
// top-level items themselves; hidden items take no space. The header keeps its own display order
// of siblings, remembered by model index across changes of the model (also for items hidden in
// between), and moves never change the model. Column widths live in the header's column view
// model, which grid viewers below the header share (CGridViewer::SetColumnViewModel); its view
// start is the horizontal scroll of the header.
//
// Pointer: dragging a column's right edge resizes it (ItemResizeStart may refuse the whole drag,
// ItemResizing each new width; both flags start true and false refuses); with HS_Buttons a press
// and release is a click and dragging a caption beyond a few pixels moves it among its siblings
// (ItemMoved): a translucent copy of the caption follows the pointer, an accent bar shows where
// it lands, and held near an edge of the header the drag scrolls the header. A double click on a
// column's right edge asks for the column to fit its content (ItemFitRequested); the right button
// asks for a context menu.
class CHeader : public CVisualElement, public utilkit2::subscriber_base_t {
 public:
  CHeader(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment);
  ~CHeader() override;

  void SetModel(IHeaderModel* model);
  IHeaderModel* GetModel() const { return m_model; }
  // HS_Flat or HS_Buttons (the default).
  void SetStyle(int style);
  int GetStyle() const { return m_style; }
  void SetImageList(orrin7::orrin_ptr<orrin7::IImageList> images);

  // (x, y) in element pixels.
  CHeaderHitInfo HitTest(int x, int y) const;
  // Makes the header as high as its levels: levels × (text line height + the system's row
  // spacing), the height of a grid row in the same font.
  void RecalculateHeight();
  // 2 when an expanded group with visible children is shown, else 1.
  int GetLevelCount() const { return m_levels; }

  // Visible columns, numbered in display order.
  int GetVisibleCount() const { return static_cast<int>(m_leaves.size()); }
  IHeaderItem* GetVisibleItem(int visibleIndex) const;
  // The column position of an item (an expanded group: its first child); -1 when not shown.
  int GetVisibleIndex(const IHeaderItem* item) const;
  // The model index of the item in column `visibleIndex`; -1 outside the columns.
  int VisibleIndex2ModelIndex(int visibleIndex) const;
  // Where an item is drawn, element pixels; empty when it is not shown.
  orrin7::rectangle<int> GetItemRect(const IHeaderItem* item) const;

  // Item sizes are the widths of the visible columns; owned by the header.
  CDefaultDiscreteItemViewModel* GetColumnViewModel() { return &m_columns; }
  IScrollModel* GetHScrollModel() override { return &m_hScroll; }

  // (header, item, new width, allow).
  utilkit2::signal_t<CHeader*, IHeaderItem*, int, bool*> ItemResizing;
  // (header, item, allow): a resize drag begins.
  utilkit2::signal_t<CHeader*, IHeaderItem*, bool*> ItemResizeStart;
  // (header, item, from, to): positions among the item's visible siblings before the move; the
  // item now stands in front of the sibling that was at `to` (at the end when `to` is their
  // count).
  utilkit2::signal_t<CHeader*, IHeaderItem*, int, int> ItemMoved;
  // (element, x, y): the right button was pressed at (x, y), pixels of the element.
  utilkit2::signal_t<CVisualElement*, int, int> ContextMenu;
  utilkit2::signal_t<CHeader*, IHeaderItem*> ItemClicked;
  // (header, column): the user double-clicked the column's right edge, asking for its width to
  // fit its content; the header changes nothing itself.
  utilkit2::signal_t<CHeader*, IHeaderItem*> ItemFitRequested;

  // Pixels of the accent bar that marks where a dragged caption lands.
  static constexpr int kDropMarkerWidth = 3;
  // A caption drag this close to an edge of the header scrolls it, kEdgeScrollStep pixels every
  // kEdgeScrollMs.
  static constexpr int kEdgeScrollZone = 16;
  static constexpr int kEdgeScrollStep = 12;
  static constexpr int kEdgeScrollMs = 30;

 protected:
  void DrawContent(orrin7::IPainter* painter) override;
  bool HandleMouseDown(const CMouseEvent& event) override;
  bool HandleMouseUp(const CMouseEvent& event) override;
  bool HandleMouseMove(const CMouseEvent& event) override;
  bool HandleMouseDoubleClick(const CMouseEvent& event) override;
  void HandleMouseLeave() override;
  bool HandleOnTooltip(CTooltipEvent& event) override;
  void HandleBoundsChanged() override;
  void SysColorsChanged() override;

 private:
  // A shown top-level item and, for an expanded group, its shown children in display order.
  // Keys identify siblings across rebuilds (see Arrange).
  struct node_t {
    IHeaderItem* item = nullptr;
    int key = 0;
    int firstLeaf = 0;  // its first column
    std::vector<IHeaderItem*> children;
    std::vector<int> childKeys;
  };
  enum class Drag { none, press, move, resize };

  void OnModelChanged();
  void OnModelDestroyed(IHeaderModel* model);
  void OnColumnsScrolled(int oldStart, int newStart, bool* handled);
  void OnColumnsChanged();
  // Reads the model again into the display tree, the columns and their widths.
  void Rebuild();
  void ApplyWidths();
  void ForgetStaleItems();

  // Puts shown siblings (in model order) into display order by `order`, the keys of the level in
  // display order (also of siblings not shown now), and adds the keys it lacks; `keys` gets the
  // keys of the result.
  static std::vector<IHeaderItem*> Arrange(const std::vector<IHeaderItem*>& items,
                                           std::vector<int>& order, std::vector<int>& keys);

  // Geometry in view pixels (x) and element pixels (y).
  int LevelHeight() const;
  orrin7::range<int> SpanOf(const node_t& node) const;
  orrin7::range<int> LeafSpan(int leaf) const;
  int ViewX(int x) const { return x + m_columns.GetViewStart(); }
  const node_t* NodeAt(int viewX) const;
  int DividerAt(int viewX) const;
  int LeafOf(const IHeaderItem* item) const;
  const node_t* NodeOf(const IHeaderItem* item) const;
  // The item's siblings in display order, and their spans.
  std::vector<IHeaderItem*> SiblingsOf(const IHeaderItem* item) const;
  orrin7::range<int> SpanOfItem(const IHeaderItem* item) const;
  int MoveTarget(int viewX) const;

  void BeginResize(IHeaderItem* item, int x);
  void ResizeTo(int x);
  // Moves the item to the target the drag last showed.
  void CommitMove(IHeaderItem* item);
  void SetHover(IHeaderItem* item);

  void DrawItem(orrin7::IPainter* painter, const IHeaderItem* item,
                const orrin7::rectangle<int>& rect);
  void DrawDropMarker(orrin7::IPainter* painter);
  void DrawDragImage(orrin7::IPainter* painter);
  void DrawCaption(orrin7::IPainter* painter, const IHeaderItem* item,
                   const orrin7::rectangle<int>& rect, int shift);
  // Scrolls while a caption drag is held near an edge; stops elsewhere.
  void UpdateEdgeScroll();
  void StopEdgeScroll();
  orrin7::_color ItemColor(const IHeaderItem* item) const;

  IHeaderModel* m_model = nullptr;  // not owned
  int m_style = HS_Buttons;
  orrin7::orrin_ptr<orrin7::IImageList> m_images;

  std::vector<node_t> m_nodes;         // shown top-level items in display order
  std::vector<IHeaderItem*> m_leaves;  // columns in display order
  std::vector<int> m_leafNode;         // per column, the index of its node
  int m_levels = 1;
  std::vector<int> m_topOrder;
  std::map<int, std::vector<int>> m_groupOrders;  // by the group's key

  CDefaultDiscreteItemViewModel m_columns;
  CPixelScrollModel m_hScroll;

  IHeaderItem* m_hover = nullptr;
  IHeaderItem* m_pressed = nullptr;  // the item a press or drag began on
  Drag m_drag = Drag::none;
  int m_pressX = 0;
  int m_startWidth = 0;
  int m_moveTarget = -1;
  int m_dragX = 0;  // element pixels of the pointer during a caption drag
  int m_edgeTimer = 0;
};

}  // namespace orrinfrw7

#pragma GCC visibility pop
