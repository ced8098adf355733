// header_model_t: the column descriptions of a grid and the tree of header items (plain columns
// and column groups) that a framework header reads through IHeaderModel and IHeaderItem.
#pragma once

#include <string>
#include <vector>

#include "orrinfrw7/header.h"
#include "source_view4/export.h"

namespace source_view4 {

// One column of a grid as its header shows it, by model column index.
struct header_column_t {
  std::wstring caption;
  std::wstring tooltip;
  int value_a = 0;          // handed to the header as the item's user data
  int expansion_state = 0;  // 0 not a group, 1 expanded, 2 collapsed
  int value_b = -1;         // handed to the header as the item's image index
  int value_c = 36;         // handed to the header as the caption alignment
  int width = 40;           // pixels
  int model_index = 0;      // the model column this description stands for
  bool visible = true;      // whether the column takes part in the header's visible items
};

// The model owns its column descriptions (by model column index) and its top-level items; a
// group item owns its children. Items find their description by index in the model's vector, so
// that resizing the descriptions never leaves an item pointing at freed memory; resize_columns
// drops the items (and children) whose column it removes, and an item for a column the model
// does not have is reported to the assertion hook and not added. The header only points at
// items between two notify_changed calls.
class SOURCE_VIEW4_EXPORT header_model_t : public orrinfrw7::IHeaderModel {
 public:
  class SOURCE_VIEW4_EXPORT header_item_t : public orrinfrw7::IHeaderItem {
   public:
    // `columns` and `owner` are not owned: the model's descriptions and the item's parent (the
    // model for a top-level item, the group item for a child).
    header_item_t(std::vector<header_column_t>* columns, unsigned int index,
                  orrinfrw7::IHeaderItem* owner);
    // Copies the children too, each copied child owned by the copy.
    header_item_t(const header_item_t& other);
    header_item_t& operator=(const header_item_t& other);
    ~header_item_t() override;

    orrinfrw7::IHeaderItem* GetParent() const override;
    orrinfrw7::IHeaderItem* GetOwner() const override;
    int GetVisibleChildCount() const override;
    orrinfrw7::IHeaderItem* GetVisibleChild(int position) override;
    const orrinfrw7::IHeaderItem* GetVisibleChild(int position) const override;
    std::wstring GetCaption() const override;
    int GetWidth() const override;
    void SetWidth(int width) override;
    int GetImageIndex() const override;
    int GetTextAlign() const override;
    int GetModelIndex() const override;
    int GetUserData() const override;
    std::wstring GetTooltip() const override;
    void SetExpanded(bool expanded) override;
    int GetExpansionState() const override;

    // The model column index of the item's description.
    unsigned int get_column_index() const { return index; }
    header_column_t& column() const;
    std::vector<header_item_t>& get_children() { return children; }
    const std::vector<header_item_t>& get_children() const { return children; }
    void add_child(unsigned int column_index);

   private:
    friend class header_model_t;
    // Drops children whose description is gone (index at or past `count`), recursively.
    void drop_children_from(unsigned int count);
    void adopt_children();

    std::vector<header_column_t>* columns;  // not owned
    unsigned int index;
    orrinfrw7::IHeaderItem* owner;  // not owned
    std::vector<header_item_t> children;
  };

  header_model_t();
  // Copies the descriptions and the items; the copy's items refer to the copy's descriptions.
  header_model_t(const header_model_t& other);
  header_model_t& operator=(const header_model_t& other);
  ~header_model_t() override;

  orrinfrw7::IHeaderItem* GetParent() const override { return nullptr; }
  orrinfrw7::IHeaderItem* GetOwner() const override { return nullptr; }
  int GetVisibleChildCount() const override;
  orrinfrw7::IHeaderItem* GetVisibleChild(int position) override;
  const orrinfrw7::IHeaderItem* GetVisibleChild(int position) const override;

  unsigned int column_count() const;
  // Null when index >= column_count().
  header_column_t* column_at(unsigned int index);
  const header_column_t* column_at(unsigned int index) const;
  // New descriptions take the defaults; removed ones take the items that show them along.
  void resize_columns(unsigned int n);
  void add_item(unsigned int index);
  void add_group(unsigned int index, const std::vector<unsigned int>& children);
  void clear_items();
  // Tells the headers showing the model to read it again.
  void notify_changed();

  const std::vector<header_item_t>& get_items() const { return items; }

 private:
  void adopt_items();

  std::vector<header_column_t> columns;
  std::vector<header_item_t> items;
};

}  // namespace source_view4
