// header_model_t and its items: column descriptions, the item tree over them, and the visible
// position lookups the header walks.
#include "source_view4/header_model.h"

#include "sysport/debug.h"

namespace source_view4 {

namespace {

using item_list_t = std::vector<header_model_t::header_item_t>;

bool is_visible(const header_model_t::header_item_t& item) { return item.column().visible; }

int visible_count(const item_list_t& items) {
  int count = 0;
  for (const auto& item : items) count += is_visible(item) ? 1 : 0;
  return count;
}

// The p-th visible item; the first item when there is none such, null for an empty list.
template <class List>
auto visible_at(List& items, int position) -> decltype(&items.front()) {
  if (items.empty()) return nullptr;
  int seen = 0;
  for (auto& item : items) {
    if (!is_visible(item)) continue;
    if (seen == position) return &item;
    ++seen;
  }
  return &items.front();
}

}  // namespace

// ---- header_item_t ----

header_model_t::header_item_t::header_item_t(std::vector<header_column_t>* columns,
                                             unsigned int index, orrinfrw7::IHeaderItem* owner)
    : columns(columns), index(index), owner(owner) {}

header_model_t::header_item_t::header_item_t(const header_item_t& other)
    : orrinfrw7::IHeaderItem(),
      columns(other.columns),
      index(other.index),
      owner(other.owner),
      children(other.children) {
  adopt_children();
}

header_model_t::header_item_t& header_model_t::header_item_t::operator=(
    const header_item_t& other) {
  if (this == &other) return *this;
  columns = other.columns;
  index = other.index;
  owner = other.owner;
  children = other.children;
  adopt_children();
  return *this;
}

header_model_t::header_item_t::~header_item_t() = default;

void header_model_t::header_item_t::adopt_children() {
  for (header_item_t& child : children) child.owner = this;
}

orrinfrw7::IHeaderItem* header_model_t::header_item_t::GetParent() const { return owner; }
orrinfrw7::IHeaderItem* header_model_t::header_item_t::GetOwner() const { return owner; }

int header_model_t::header_item_t::GetVisibleChildCount() const { return visible_count(children); }

orrinfrw7::IHeaderItem* header_model_t::header_item_t::GetVisibleChild(int position) {
  return visible_at(children, position);
}

const orrinfrw7::IHeaderItem* header_model_t::header_item_t::GetVisibleChild(int position) const {
  return visible_at(children, position);
}

header_column_t& header_model_t::header_item_t::column() const { return (*columns)[index]; }

std::wstring header_model_t::header_item_t::GetCaption() const { return column().caption; }
int header_model_t::header_item_t::GetWidth() const { return column().width; }
void header_model_t::header_item_t::SetWidth(int width) { column().width = width; }
int header_model_t::header_item_t::GetImageIndex() const { return column().value_b; }
int header_model_t::header_item_t::GetTextAlign() const { return column().value_c; }
int header_model_t::header_item_t::GetModelIndex() const { return column().model_index; }
int header_model_t::header_item_t::GetUserData() const { return column().value_a; }
std::wstring header_model_t::header_item_t::GetTooltip() const { return column().tooltip; }

void header_model_t::header_item_t::SetExpanded(bool expanded) {
  column().expansion_state = expanded ? orrinfrw7::HE_Expanded : orrinfrw7::HE_Collapsed;
}

int header_model_t::header_item_t::GetExpansionState() const { return column().expansion_state; }

void header_model_t::header_item_t::add_child(unsigned int column_index) {
  if (!SYSPORT_CHECK(column_index < columns->size())) return;
  children.emplace_back(columns, column_index, this);
  adopt_children();
}

void header_model_t::header_item_t::drop_children_from(unsigned int count) {
  for (std::size_t i = children.size(); i-- > 0;) {
    if (children[i].index >= count) {
      children.erase(children.begin() + std::ptrdiff_t(i));
      continue;
    }
    children[i].drop_children_from(count);
  }
}

// ---- header_model_t ----

header_model_t::header_model_t() = default;

header_model_t::header_model_t(const header_model_t& other)
    : orrinfrw7::IHeaderModel(), columns(other.columns), items(other.items) {
  adopt_items();
}

header_model_t& header_model_t::operator=(const header_model_t& other) {
  if (this == &other) return *this;
  columns = other.columns;
  items = other.items;
  adopt_items();
  return *this;
}

header_model_t::~header_model_t() = default;

// Points every item of the tree at this model's descriptions and every top-level item at the
// model as its owner (after a copy, or after the item vector moved).
void header_model_t::adopt_items() {
  struct walker_t {
    std::vector<header_column_t>* columns;
    void operator()(header_item_t& item) const {
      item.columns = columns;
      item.adopt_children();
      for (header_item_t& child : item.children) (*this)(child);
    }
  };
  const walker_t walk{&columns};
  for (header_item_t& item : items) {
    item.owner = this;
    walk(item);
  }
}

int header_model_t::GetVisibleChildCount() const { return visible_count(items); }

orrinfrw7::IHeaderItem* header_model_t::GetVisibleChild(int position) {
  return visible_at(items, position);
}

const orrinfrw7::IHeaderItem* header_model_t::GetVisibleChild(int position) const {
  return visible_at(items, position);
}

unsigned int header_model_t::column_count() const { return unsigned(columns.size()); }

header_column_t* header_model_t::column_at(unsigned int index) {
  return index < columns.size() ? &columns[index] : nullptr;
}

const header_column_t* header_model_t::column_at(unsigned int index) const {
  return index < columns.size() ? &columns[index] : nullptr;
}

void header_model_t::resize_columns(unsigned int n) {
  columns.resize(n);
  items.reserve(n);
  for (std::size_t i = items.size(); i-- > 0;) {
    if (items[i].index >= n) items.erase(items.begin() + std::ptrdiff_t(i));
  }
  for (header_item_t& item : items) item.drop_children_from(n);
  adopt_items();
}

void header_model_t::add_item(unsigned int index) {
  if (!SYSPORT_CHECK(index < columns.size())) return;
  items.emplace_back(&columns, index, this);
  adopt_items();
}

void header_model_t::add_group(unsigned int index, const std::vector<unsigned int>& children) {
  if (!SYSPORT_CHECK(index < columns.size())) return;
  header_item_t group(&columns, index, this);
  for (const unsigned int child : children) group.add_child(child);
  items.push_back(group);
  adopt_items();
}

void header_model_t::clear_items() { items.clear(); }

void header_model_t::notify_changed() { Changed.emit(); }

}  // namespace source_view4
