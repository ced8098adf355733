// A plain reference for the item tree, filled from the same lazy-children table, whose walk yields
// the rows that must be visible (row hierarchy tests and the item-tree fuzz target).
#pragma once

#include <map>
#include <utility>
#include <vector>

namespace sv4_test {

struct lazy_child_t {
  unsigned int data;
  bool group;
  bool open;  // added Expanded (with AddItemSimple, so without children of its own yet)
};

using rows_t = std::vector<std::pair<unsigned int, int>>;  // (data, level) per row

// What the item tree should be, kept independently: its nodes by their data (unique; the root is
// 0), exactly the items the tree holds.
struct reference_tree_t {
  struct node_t {
    bool group, expanded;
    unsigned int parent;
    std::vector<unsigned int> children;
  };
  std::map<unsigned int, node_t> nodes{{0, {true, true, 0, {}}}};
  const std::map<unsigned int, std::vector<lazy_child_t>>* lazy = nullptr;

  void add(unsigned int parent, unsigned int data, bool group, bool expanded) {
    nodes[data] = {group, expanded, parent, {}};
    nodes[parent].children.push_back(data);
    nodes[parent].group = true;
  }
  bool open(unsigned int n) { return nodes[n].group && nodes[n].expanded; }
  bool visible(unsigned int n) {
    return n == 0 || (open(nodes[n].parent) && visible(nodes[n].parent));
  }
  // The expand walk: lazy children for an empty group, then the same for every open child.
  void fill(unsigned int n) {
    if (nodes[n].group && nodes[n].children.empty()) {
      const auto found = lazy->find(n);
      if (found == lazy->end() || found->second.empty()) return void(nodes[n].group = false);
      for (const lazy_child_t& c : found->second) add(n, c.data, c.group, c.group && c.open);
    }
    for (unsigned int child : nodes[n].children)
      if (open(child)) fill(child);
  }
  void expand(unsigned int n) {
    if (open(n)) return;
    nodes[n].expanded = true;
    if (nodes[n].group) fill(n);
  }
  void discard_children(unsigned int n) {
    for (unsigned int child : nodes[n].children) {
      discard_children(child);
      nodes.erase(child);
    }
    nodes[n].children.clear();
  }
  void update(unsigned int n) {
    const bool was_open = open(n);
    discard_children(n);
    nodes[n].expanded = true;
    if (nodes[n].group) fill(n);
    nodes[n].expanded = was_open;
  }
  void expand_by_id(unsigned int data) {
    if (nodes.count(data) == 0) return;
    for (unsigned int a = nodes[data].parent; a != 0; a = nodes[a].parent) {
      if (!visible(a)) {
        nodes[a].expanded = true;
      } else if (!open(a)) {
        return expand(a);
      }
    }
  }
  void walk(unsigned int n, int depth, rows_t& rows) {
    for (unsigned int child : nodes[n].children) {
      rows.emplace_back(child, depth);
      if (open(child)) walk(child, depth + 1, rows);
    }
  }
};

}  // namespace sv4_test
