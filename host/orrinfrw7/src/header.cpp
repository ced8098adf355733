// CHeader: the display tree read from the model, column geometry, hit tests, drawing, and the
// resize and move drags.
#include "orrinfrw7/header.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "orrinfrw7/control.h"
#include "orrinfrw7/widget_colors.h"

namespace orrinfrw7 {
namespace {

constexpr int kGrip = 3;           // pixels either side of a column edge that grab it for resizing
constexpr int kDragThreshold = 4;  // pixels a press travels before it becomes a move
constexpr int kTextMargin = 4;     // pixels between an item's edges and its image or caption

std::vector<IHeaderItem*> VisibleChildren(IHeaderItem* parent) {
  std::vector<IHeaderItem*> out;
  const int count = parent->GetVisibleChildCount();
  for (int p = 0; p < count; ++p)
    if (IHeaderItem* child = parent->GetVisibleChild(p)) out.push_back(child);
  return out;
}

// Model indexes when they tell the siblings apart, their positions otherwise.
std::vector<int> SiblingKeys(const std::vector<IHeaderItem*>& items) {
  std::vector<int> keys;
  std::set<int> seen;
  bool unique = true;
  for (const IHeaderItem* item : items) {
    const int key = item->GetModelIndex();
    unique = unique && key >= 0 && seen.insert(key).second;
    keys.push_back(key);
  }
  if (!unique)
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = static_cast<int>(i);
  return keys;
}

int IndexOf(const std::vector<int>& values, int value) {
  const auto it = std::find(values.begin(), values.end(), value);
  return it == values.end() ? -1 : static_cast<int>(it - values.begin());
}

}  // namespace

IHeaderItem::~IHeaderItem() = default;

IHeaderModel::~IHeaderModel() { Destroyed.emit(this); }

// ---- the simple model ----

CHeaderItemList::CHeaderItemList() = default;
CHeaderItemList::~CHeaderItemList() = default;

CSimpleHeaderItem& CHeaderItemList::Add(const std::wstring& caption, int width, int modelIndex) {
  m_items.push_back(std::make_unique<CSimpleHeaderItem>(caption, width, modelIndex));
  return *m_items.back();
}

void CHeaderItemList::Clear() { m_items.clear(); }

int CHeaderItemList::GetVisibleCount() const {
  return static_cast<int>(std::count_if(m_items.begin(), m_items.end(),
                                        [](const auto& item) { return item->IsVisible(); }));
}

CSimpleHeaderItem* CHeaderItemList::GetVisible(int position) const {
  for (const auto& item : m_items)
    if (item->IsVisible() && position-- == 0) return item.get();
  return m_items.empty() ? nullptr : m_items.front().get();
}

CSimpleHeaderItem::CSimpleHeaderItem(const std::wstring& caption, int width, int modelIndex)
    : m_caption(caption), m_width(width), m_modelIndex(modelIndex) {}

CSimpleHeaderItem& CSimpleHeaderItem::AddChild(const std::wstring& caption, int width,
                                               int modelIndex) {
  return m_children.Add(caption, width, modelIndex);
}

IHeaderItem* CSimpleHeaderItem::GetVisibleChild(int position) {
  return m_children.GetVisible(position);
}

const IHeaderItem* CSimpleHeaderItem::GetVisibleChild(int position) const {
  return m_children.GetVisible(position);
}

void CSimpleHeaderItem::SetExpanded(bool expanded) {
  m_state = expanded ? HE_Expanded : HE_Collapsed;
}

IHeaderItem* CSimpleHeaderModel::GetVisibleChild(int position) {
  return m_items.GetVisible(position);
}

const IHeaderItem* CSimpleHeaderModel::GetVisibleChild(int position) const {
  return m_items.GetVisible(position);
}

CHeader::CHeader(CVisualElement* parent, const orrin7::size<int>& size, Alignment alignment)
    : CVisualElement(parent, size, alignment), m_hScroll(&m_columns) {
  m_columns.Scrolled.connect(this, &CHeader::OnColumnsScrolled);
  m_columns.ModelChanged.connect(this, &CHeader::OnColumnsChanged);
  m_columns.SetViewSize(GetDrawRect().width(), /*keepInside=*/true);
}

// The model may be gone already (it is often destroyed before the element tree): the signal
// connections drop themselves, and nothing here touches the model.
CHeader::~CHeader() = default;

void CHeader::SetModel(IHeaderModel* model) {
  if (model == m_model) return;
  if (m_model) {
    m_model->Changed.drop_subscriber(this);
    m_model->Destroyed.drop_subscriber(this);
  }
  m_model = model;
  if (m_model) {
    m_model->Changed.connect(this, &CHeader::OnModelChanged);
    m_model->Destroyed.connect(this, &CHeader::OnModelDestroyed);
  }
  m_topOrder.clear();
  m_groupOrders.clear();
  Rebuild();
}

void CHeader::SetStyle(int style) {
  m_style = style;
  Invalidate();
}

void CHeader::SetImageList(orrin7::orrin_ptr<orrin7::IImageList> images) {
  m_images = std::move(images);
  Invalidate();
}

void CHeader::OnModelChanged() { Rebuild(); }

void CHeader::OnModelDestroyed(IHeaderModel* model) {
  if (model != m_model) return;
  m_model = nullptr;
  Rebuild();
}

void CHeader::OnColumnsScrolled(int, int, bool*) {
  Invalidate();
  ScrollStateChanged.emit(this);
}

void CHeader::OnColumnsChanged() {
  Invalidate();
  ScrollStateChanged.emit(this);
}

// ---- display tree ----

std::vector<IHeaderItem*> CHeader::Arrange(const std::vector<IHeaderItem*>& items,
                                           std::vector<int>& order, std::vector<int>& keys) {
  const std::vector<int> model_keys = SiblingKeys(items);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (IndexOf(order, model_keys[i]) >= 0) continue;
    // A key seen for the first time goes right after its predecessor in the model.
    const int after = i == 0 ? -1 : IndexOf(order, model_keys[i - 1]);
    order.insert(order.begin() + (after + 1), model_keys[i]);
  }
  std::vector<std::size_t> positions(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) positions[i] = i;
  std::sort(positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) {
    return IndexOf(order, model_keys[a]) < IndexOf(order, model_keys[b]);
  });
  std::vector<IHeaderItem*> out;
  keys.clear();
  for (std::size_t p : positions) {
    out.push_back(items[p]);
    keys.push_back(model_keys[p]);
  }
  return out;
}

void CHeader::Rebuild() {
  m_nodes.clear();
  m_leaves.clear();
  m_leafNode.clear();
  m_levels = 1;
  if (m_model) {
    std::vector<int> keys;
    const std::vector<IHeaderItem*> top = Arrange(VisibleChildren(m_model), m_topOrder, keys);
    for (std::size_t i = 0; i < top.size(); ++i) {
      node_t node;
      node.item = top[i];
      node.key = keys[i];
      node.firstLeaf = static_cast<int>(m_leaves.size());
      if (top[i]->GetExpansionState() == HE_Expanded) {
        node.children = Arrange(VisibleChildren(top[i]), m_groupOrders[node.key], node.childKeys);
      }
      if (!node.children.empty()) m_levels = 2;
      const std::vector<IHeaderItem*> leaves =
          node.children.empty() ? std::vector<IHeaderItem*>{node.item} : node.children;
      for (IHeaderItem* leaf : leaves) {
        m_leaves.push_back(leaf);
        m_leafNode.push_back(static_cast<int>(m_nodes.size()));
      }
      m_nodes.push_back(std::move(node));
    }
  }
  ForgetStaleItems();
  ApplyWidths();
  Invalidate();
}

// All widths in one change, so that a header scrolled to the right stays where it is when the
// columns are rebuilt (setting them one by one passes through smaller totals that pull it back).
void CHeader::ApplyWidths() {
  std::vector<int> widths;
  for (const IHeaderItem* leaf : m_leaves) widths.push_back(std::max(0, leaf->GetWidth()));
  m_columns.SetItemSizes(widths);
}

// Items may have been replaced by the model: pointers to items no longer shown are dropped
// without being followed.
void CHeader::ForgetStaleItems() {
  if (m_hover && NodeOf(m_hover) == nullptr && LeafOf(m_hover) < 0) m_hover = nullptr;
  if (m_pressed && NodeOf(m_pressed) == nullptr && LeafOf(m_pressed) < 0) {
    m_pressed = nullptr;
    m_drag = Drag::none;
  }
}

// ---- geometry ----

int CHeader::LevelHeight() const {
  const int height = GetDrawRect().height();
  return m_levels == 2 ? height / 2 : height;
}

orrin7::range<int> CHeader::LeafSpan(int leaf) const {
  const int from = m_columns.GetItemOffset(leaf);
  return {from, from + m_columns.GetItemSize(leaf)};
}

orrin7::range<int> CHeader::SpanOf(const node_t& node) const {
  const int last = node.firstLeaf + std::max<int>(1, static_cast<int>(node.children.size())) - 1;
  return {LeafSpan(node.firstLeaf).from, LeafSpan(last).to};
}

const CHeader::node_t* CHeader::NodeAt(int viewX) const {
  for (const node_t& node : m_nodes) {
    const orrin7::range<int> span = SpanOf(node);
    if (viewX >= span.from && viewX < span.to) return &node;
  }
  return nullptr;
}

// The column whose right edge lies within the grip of viewX; of several (columns of width 0),
// the last, so that a column dragged down to nothing can be pulled open again.
int CHeader::DividerAt(int viewX) const {
  const int count = GetVisibleCount();
  if (count == 0) return -1;
  // Edges only grow along the columns: start at the first one that can be within reach.
  const int before = viewX - kGrip - 1;
  int leaf = before < 0                           ? 0
             : before >= m_columns.GetTotalSize() ? count - 1
                                                  : m_columns.GetItemAt(before);
  int found = -1;
  for (leaf = std::max(leaf, 0); leaf < count; ++leaf) {
    const int edge = m_columns.GetItemOffset(leaf + 1);
    if (edge > viewX + kGrip) break;
    if (edge >= viewX - kGrip) found = leaf;
  }
  return found;
}

int CHeader::LeafOf(const IHeaderItem* item) const {
  const auto it = std::find(m_leaves.begin(), m_leaves.end(), item);
  return it == m_leaves.end() ? -1 : static_cast<int>(it - m_leaves.begin());
}

const CHeader::node_t* CHeader::NodeOf(const IHeaderItem* item) const {
  for (const node_t& node : m_nodes)
    if (node.item == item) return &node;
  return nullptr;
}

std::vector<IHeaderItem*> CHeader::SiblingsOf(const IHeaderItem* item) const {
  if (NodeOf(item)) {
    std::vector<IHeaderItem*> top;
    for (const node_t& node : m_nodes) top.push_back(node.item);
    return top;
  }
  const int leaf = LeafOf(item);
  if (leaf < 0) return {};
  return m_nodes[static_cast<std::size_t>(m_leafNode[static_cast<std::size_t>(leaf)])].children;
}

orrin7::range<int> CHeader::SpanOfItem(const IHeaderItem* item) const {
  if (const node_t* node = NodeOf(item)) return SpanOf(*node);
  const int leaf = LeafOf(item);
  return leaf < 0 ? orrin7::range<int>() : LeafSpan(leaf);
}

CHeaderHitInfo CHeader::HitTest(int x, int y) const {
  if (!GetDrawRect().contains(x, y)) return {};
  const int view_x = ViewX(x);
  const bool caption_band = m_levels == 2 && y < LevelHeight();
  const int divider = DividerAt(view_x);
  if (divider >= 0) {
    const node_t& owner = m_nodes[static_cast<std::size_t>(m_leafNode[divider])];
    const bool last_of_group =
        owner.children.empty() ||
        divider == owner.firstLeaf + static_cast<int>(owner.children.size()) - 1;
    IHeaderItem* item = m_leaves[static_cast<std::size_t>(divider)];
    if ((!caption_band || last_of_group) && !item->IsFixedWidth()) return {HHT_Divider, item};
  }
  const node_t* node = NodeAt(view_x);
  if (node == nullptr) return {};
  if (node->children.empty() || caption_band) return {HHT_Item, node->item};
  const int leaf = m_columns.GetItemAt(view_x);
  if (leaf < 0) return {};
  return {HHT_Item, m_leaves[static_cast<std::size_t>(leaf)]};
}

void CHeader::RecalculateHeight() {
  const int line = GetTextLineHeight() +
                   static_cast<int>(orrin7::GetCurrentSystem()->GetMetricF(orrin7::SM_LineHeight));
  SetHeight(m_levels * line);
}

IHeaderItem* CHeader::GetVisibleItem(int visibleIndex) const {
  if (visibleIndex < 0 || visibleIndex >= GetVisibleCount()) return nullptr;
  return m_leaves[static_cast<std::size_t>(visibleIndex)];
}

int CHeader::GetVisibleIndex(const IHeaderItem* item) const {
  if (const node_t* node = NodeOf(item)) return node->firstLeaf;
  return LeafOf(item);
}

int CHeader::VisibleIndex2ModelIndex(int visibleIndex) const {
  const IHeaderItem* item = GetVisibleItem(visibleIndex);
  return item ? item->GetModelIndex() : -1;
}

orrin7::rectangle<int> CHeader::GetItemRect(const IHeaderItem* item) const {
  const node_t* node = NodeOf(item);
  const int leaf = LeafOf(item);
  if (node == nullptr && leaf < 0) return {};
  const orrin7::range<int> span = SpanOfItem(item);
  const int start = m_columns.GetViewStart();
  const int height = GetDrawRect().height();
  const bool group_caption = node && !node->children.empty();
  const bool child = node == nullptr;
  return {span.from - start, child ? LevelHeight() : 0, span.to - start,
          group_caption ? LevelHeight() : height};
}

void CHeader::HandleBoundsChanged() {
  CVisualElement::HandleBoundsChanged();
  m_columns.SetViewSize(GetDrawRect().width(), /*keepInside=*/true);
  ScrollStateChanged.emit(this);
}

void CHeader::SysColorsChanged() { Invalidate(); }

// ---- drawing ----

orrin7::_color CHeader::ItemColor(const IHeaderItem* item) const {
  const orrin7::_color base = WidgetColor(WC_Face);
  if (m_style != HS_Buttons) return base;
  if (item == m_pressed && m_drag != Drag::resize) return WidgetColor(WC_FacePressed);
  if (item == m_hover && m_drag == Drag::none) return WidgetColor(WC_FaceHover);
  return base;
}

void CHeader::DrawContent(orrin7::IPainter* painter) {
  const orrin7::rectangle<int> all = GetDrawRect();
  FillBox(painter, WidgetColor(WC_Face), all);
  const int start = m_columns.GetViewStart();
  const int level = LevelHeight();
  for (const node_t& node : m_nodes) {
    const orrin7::range<int> span = SpanOf(node);
    if (span.to - start <= all.left || span.from - start >= all.right) continue;
    if (node.children.empty()) {
      DrawItem(painter, node.item, {span.from - start, 0, span.to - start, all.bottom});
      continue;
    }
    DrawItem(painter, node.item, {span.from - start, 0, span.to - start, level});
    for (std::size_t c = 0; c < node.children.size(); ++c) {
      const orrin7::range<int> leaf = LeafSpan(node.firstLeaf + static_cast<int>(c));
      DrawItem(painter, node.children[c], {leaf.from - start, level, leaf.to - start, all.bottom});
    }
  }
  FillBox(painter, WidgetColor(WC_Line), {all.left, all.bottom - 1, all.right, all.bottom});
  if (m_drag != Drag::move) return;
  DrawDragImage(painter);
  DrawDropMarker(painter);
}

void CHeader::DrawItem(orrin7::IPainter* painter, const IHeaderItem* item,
                       const orrin7::rectangle<int>& rect) {
  if (rect.empty()) return;
  FillBox(painter, ItemColor(item), rect);
  const orrin7::_color line = WidgetColor(WC_Line);
  FillBox(painter, line, {rect.right - 1, rect.top, rect.right, rect.bottom});
  FillBox(painter, line, {rect.left, rect.bottom - 1, rect.right, rect.bottom});
  const bool pressed = m_style == HS_Buttons && item == m_pressed && m_drag == Drag::press;
  if (pressed) {
    // Sunk in: a shadow along the top and left, and the caption one pixel down and right.
    const orrin7::_color shadow =
        MixForContrast(ItemColor(item), WidgetColor(WC_Text), /*ratio=*/1.6);
    FillBox(painter, shadow, {rect.left, rect.top, rect.right - 1, rect.top + 2});
    FillBox(painter, shadow, {rect.left, rect.top, rect.left + 2, rect.bottom - 1});
  }
  DrawCaption(painter, item, rect, pressed ? 1 : 0);
}

// Image and caption of an item in `rect`, shifted by `shift` pixels. The text is placed in the
// part of the item in view, so that the caption of a wide column or group scrolled half out of
// view stays readable (and centred captions centred where one sees them).
void CHeader::DrawCaption(orrin7::IPainter* painter, const IHeaderItem* item,
                          const orrin7::rectangle<int>& rect, int shift) {
  const orrin7::rectangle<int> all = GetDrawRect();
  const int left = std::max(rect.left, all.left);
  const int right = std::min(rect.right, all.right);
  orrin7::rectangle<double> content(left + kTextMargin + shift, rect.top + shift,
                                    right - kTextMargin + shift, rect.bottom - 1 + shift);
  const int image = item->GetImageIndex();
  if (m_images && image >= 0 && image < m_images->GetImageCount()) {
    const orrin7::size<int> size = m_images->GetImageSize(image);
    m_images->Draw(painter, image, static_cast<int>(content.left),
                   rect.top + shift + (rect.height() - size.height) / 2, 0, 0);
    content.left += size.width + kTextMargin;
  }
  if (content.empty()) return;
  painter->SetFont(GetFont());
  painter->SetTextColor(WidgetColor(WC_Text));
  painter->SetBkMode(orrin7::BK_Transparent);
  painter->DrawStringNative(content, item->GetCaption(),
                            item->GetTextAlign() | orrin7::TA_SingleLine | orrin7::TA_EndEllipsis);
}

// A translucent copy of the dragged caption, following the pointer from where it was grabbed.
void CHeader::DrawDragImage(orrin7::IPainter* painter) {
  const orrin7::rectangle<int> home = GetItemRect(m_pressed);
  if (home.empty()) return;
  const int dx = m_dragX - m_pressX;
  const orrin7::rectangle<int> rect(home.left + dx, home.top, home.right + dx, home.bottom);
  const orrin7::_color face = WidgetColor(WC_FacePressed);
  FillBox(painter, orrin7::_color::rgb(face.red(), face.green(), face.blue(), 0xB0, 1), rect);
  const orrin7::_color accent = WidgetColor(WC_Accent);
  FillBox(painter, accent, {rect.left, rect.top, rect.right, rect.top + 1});
  FillBox(painter, accent, {rect.left, rect.bottom - 1, rect.right, rect.bottom});
  DrawCaption(painter, m_pressed, rect, 0);
}

// A bar where the dragged item would land.
void CHeader::DrawDropMarker(orrin7::IPainter* painter) {
  const std::vector<IHeaderItem*> siblings = SiblingsOf(m_pressed);
  if (m_moveTarget < 0 || siblings.empty()) return;
  const bool at_end = m_moveTarget >= static_cast<int>(siblings.size());
  const orrin7::range<int> span =
      SpanOfItem(siblings[static_cast<std::size_t>(at_end ? siblings.size() - 1 : m_moveTarget)]);
  const int x = (at_end ? span.to : span.from) - m_columns.GetViewStart();
  const orrin7::rectangle<int> rect = GetItemRect(m_pressed);
  const int half = kDropMarkerWidth / 2;
  FillBox(painter, WidgetColor(WC_Accent),
          {x - half, rect.top, x - half + kDropMarkerWidth, rect.bottom});
}

// ---- pointer ----

bool CHeader::HandleMouseDown(const CMouseEvent& event) {
  if (event.button == orrin7::MB_Right) {
    ContextMenu.emit(this, event.x, event.y);
    return true;
  }
  if (event.button != orrin7::MB_Left) return false;
  const CHeaderHitInfo hit = HitTest(event.x, event.y);
  if (hit.kind == HHT_Divider) {
    BeginResize(hit.item, event.x);
    return true;
  }
  if (hit.kind != HHT_Item) return false;
  m_pressed = hit.item;
  m_pressX = event.x;
  m_drag = Drag::press;
  Invalidate();
  return true;
}

void CHeader::BeginResize(IHeaderItem* item, int x) {
  bool allow = true;
  ItemResizeStart.emit(this, item, &allow);
  if (!allow || LeafOf(item) < 0) return;
  m_pressed = item;
  m_pressX = x;
  m_startWidth = m_columns.GetItemSize(LeafOf(item));
  m_drag = Drag::resize;
}

void CHeader::ResizeTo(int x) {
  IHeaderItem* item = m_pressed;
  const int width = std::max(0, item->ClampWidth(std::max(0, m_startWidth + x - m_pressX)));
  if (width == m_columns.GetItemSize(LeafOf(item))) return;
  bool allow = true;
  ItemResizing.emit(this, item, width, &allow);
  // A listener may have made the model change its items.
  const int leaf = LeafOf(item);
  if (!allow || leaf < 0 || m_pressed != item) return;
  item->SetWidth(width);
  m_columns.SetItemSize(leaf, width);
}

bool CHeader::HandleMouseMove(const CMouseEvent& event) {
  if (m_drag == Drag::resize) {
    ResizeTo(event.x);
    return true;
  }
  if (m_drag == Drag::press && std::abs(event.x - m_pressX) > kDragThreshold &&
      m_style == HS_Buttons && m_pressed->IsMovable()) {
    m_drag = Drag::move;
  }
  if (m_drag == Drag::move) {
    m_dragX = event.x;
    m_moveTarget = MoveTarget(ViewX(event.x));
    UpdateEdgeScroll();
    Invalidate();
    return true;
  }
  if (m_drag == Drag::press) return true;
  const CHeaderHitInfo hit = HitTest(event.x, event.y);
  SetCursor(hit.kind == HHT_Divider ? CR_SizeWE : CR_Arrow);
  SetHover(hit.kind == HHT_Item ? hit.item : nullptr);
  return true;
}

bool CHeader::HandleMouseUp(const CMouseEvent& event) {
  if (event.button != orrin7::MB_Left || m_drag == Drag::none) return false;
  const Drag drag = m_drag;
  IHeaderItem* item = m_pressed;
  StopEdgeScroll();
  m_drag = Drag::none;
  m_pressed = nullptr;
  Invalidate();
  if (drag == Drag::move) {
    CommitMove(item);
  } else if (drag == Drag::press && HitTest(event.x, event.y).item == item) {
    ItemClicked.emit(this, item);
  }
  return true;
}

void CHeader::HandleMouseLeave() { SetHover(nullptr); }

bool CHeader::HandleMouseDoubleClick(const CMouseEvent& event) {
  if (event.button != orrin7::MB_Left) return false;
  const CHeaderHitInfo hit = HitTest(event.x, event.y);
  if (hit.kind != HHT_Divider) return false;
  ItemFitRequested.emit(this, hit.item);
  return true;
}

void CHeader::UpdateEdgeScroll() {
  const int width = GetDrawRect().width();
  const bool near_edge = m_dragX < kEdgeScrollZone || m_dragX >= width - kEdgeScrollZone;
  if (!near_edge) {
    StopEdgeScroll();
    return;
  }
  if (m_edgeTimer != 0 || GetControl() == nullptr) return;
  m_edgeTimer = GetControl()->StartTimer(this, kEdgeScrollMs, kEdgeScrollMs, [this] {
    if (m_drag != Drag::move) return StopEdgeScroll();
    const int step = m_dragX < kEdgeScrollZone ? -kEdgeScrollStep : kEdgeScrollStep;
    m_columns.SetViewStart(m_columns.GetViewStart() + step);
    m_moveTarget = MoveTarget(ViewX(m_dragX));
    Invalidate();
  });
}

void CHeader::StopEdgeScroll() {
  if (m_edgeTimer != 0 && GetControl()) GetControl()->StopTimer(m_edgeTimer);
  m_edgeTimer = 0;
}

void CHeader::SetHover(IHeaderItem* item) {
  if (item == m_hover) return;
  m_hover = item;
  if (m_style == HS_Buttons) Invalidate();
}

// The sibling in front of whose middle the pointer is; the sibling count past the last one.
int CHeader::MoveTarget(int viewX) const {
  const std::vector<IHeaderItem*> siblings = SiblingsOf(m_pressed);
  for (std::size_t i = 0; i < siblings.size(); ++i) {
    const orrin7::range<int> span = SpanOfItem(siblings[i]);
    if (viewX < (span.from + span.to) / 2) return static_cast<int>(i);
  }
  return static_cast<int>(siblings.size());
}

void CHeader::CommitMove(IHeaderItem* item) {
  const std::vector<IHeaderItem*> siblings = SiblingsOf(item);
  const int from =
      static_cast<int>(std::find(siblings.begin(), siblings.end(), item) - siblings.begin());
  const int to = m_moveTarget;
  m_moveTarget = -1;
  const int count = static_cast<int>(siblings.size());
  if (to < 0 || to > count || to == from || to == from + 1) return;
  // The keys of the level, in display order, and the order list they live in.
  const node_t* node = NodeOf(item);
  const node_t* group =
      node ? nullptr : &m_nodes[static_cast<std::size_t>(m_leafNode[LeafOf(item)])];
  std::vector<int> keys;
  if (node) {
    for (const node_t& n : m_nodes) keys.push_back(n.key);
  } else {
    keys = group->childKeys;
  }
  std::vector<int>& order = node ? m_topOrder : m_groupOrders[group->key];
  const int moved = keys[static_cast<std::size_t>(from)];
  order.erase(order.begin() + IndexOf(order, moved));
  const int anchor = IndexOf(order, keys[static_cast<std::size_t>(std::min(to, count - 1))]);
  order.insert(order.begin() + (to < count ? anchor : anchor + 1), moved);
  Rebuild();
  ItemMoved.emit(this, item, from, to);
}

bool CHeader::HandleOnTooltip(CTooltipEvent& event) {
  const CHeaderHitInfo hit = HitTest(event.x, event.y);
  if (hit.kind != HHT_Item) return false;
  event.text = hit.item->GetTooltip();
  if (event.text.empty()) return false;
  event.rect = GetItemRect(hit.item);
  return true;
}

}  // namespace orrinfrw7
