// Fuzz target for the grouped and snippet models over a flat model. Public operations on groups
// (declare, forget, rebuild, expand, collapse, copy, assign, change the flat rows) are compared
// with the grouping rules applied to a plain list of rows. Once the input also uses the item
// builder the grouped model inherits (AddItem with any cursor, UpdateRowHierarchy, ExpandById),
// rows may stand apart from their parent's by design, and what is checked from then on is that
// no row designates a discarded item, copies succeed and agree, and every call returns.
#include <map>
#include <optional>

#include "fuzz_support.h"
#include "source_view4/hierarchical_data_model.h"
#include "tree_checker.h"

namespace {

using namespace source_view4;
using model_t = hierarchical_data_model_t;
using flat_pointer_t = utilkit2::smart_pointer_t<data_model_base_t>;
using engine_t = orrinfrw7::IHierarchicalModel;

// One visible row as the rules say it is.
struct ref_row_t {
  unsigned int flat;
  int level;
  engine_t::RowState state;
};

hierarchical_row_state_t view_state(engine_t::RowState state) {
  if (state == engine_t::Collapsed) return row_state_collapsed;
  return state == engine_t::Expanded ? row_state_expanded : row_state_none;
}

// Counts the emissions of a signal.
struct counter_t : utilkit2::subscriber_base_t {
  void on_signal() { ++count; }
  void on_row(unsigned int row) { rows.push_back(row); }
  int count = 0;
  std::vector<unsigned int> rows;
};

class grouped_run_t {
 public:
  explicit grouped_run_t(FuzzedDataProvider& input)
      : m_input(input), m_builder_allowed(input.ConsumeBool()) {
    m_model.hierarchy_updated.connect(&m_updates, &counter_t::on_signal);
    m_snippets.hierarchy_updated.connect(&m_snippet_updates, &counter_t::on_signal);
    m_snippets.row_state_updated.connect(&m_snippet_updates, &counter_t::on_row);
  }

  void step() {
    const unsigned int a = small(), b = small();
    switch (m_input.ConsumeIntegralInRange(0, 9)) {
      case 0:
        SV4_FUZZ_TRACE("create_group(%u, %u)\n", a, b);
        return (void)(m_model.create_group(a, b), m_groups[a] = b);
      case 1:
        SV4_FUZZ_TRACE("clear_hierarchy()\n");
        return (m_model.clear_hierarchy(), m_groups.clear());
      case 2:
        return update();
      case 3:
      case 4:
        return set_state(a, static_cast<hierarchical_row_state_t>(b % 3));
      case 5:
        return set_flat_rows(a);
      case 6:
        return copy();
      case 7:
        return snippets(a, b);
      case 8:
        return snippet_defaults(a, b);
      default:
        return m_builder_allowed ? builder(a, b) : copy();
    }
  }

  void check() {
    SV4_FUZZ_CHECK(m_log.take().empty());
    check_snippets();
    sv4_fuzz::check_rows_are_live(m_model, /*each_once=*/m_checker.has_value());
    for (int row = 0; row < m_model.GetRowCount(); ++row)
      SV4_FUZZ_CHECK(m_model.get_flat_row_index(static_cast<unsigned int>(row)) ==
                     m_model.GetItemByRow(row)->data);
    if (!m_checker) return;
    SV4_FUZZ_CHECK(m_updates.count == m_ref_updates);
    check_rows(m_model);
  }

 private:
  unsigned int small() { return m_input.ConsumeIntegralInRange(0u, 24u); }

  // The view answers of `model` are the reference rows, also just outside the list.
  void check_rows(const model_t& model) {
    SV4_FUZZ_CHECK(model.get_row_count() == m_rows.size());
    model_t& view = const_cast<model_t&>(model);
    for (unsigned int row = 0; row < m_rows.size() + 2; ++row) {
      const bool inside = row < m_rows.size();
      SV4_FUZZ_CHECK(model.get_flat_row_index(row) == (inside ? m_rows[row].flat : no_row));
      SV4_FUZZ_CHECK(model.get_row_hierarchy_level(row) == (inside ? m_rows[row].level : 0));
      SV4_FUZZ_CHECK(view.get_row_hierarchical_state(row) ==
                     (inside ? view_state(m_rows[row].state) : row_state_none));
    }
  }

  void update() {
    SV4_FUZZ_TRACE("update_hierarchy()\n");
    m_model.update_hierarchy();
    if (m_checker) m_checker->resync();  // a full refresh: the rows start afresh
    m_rows.clear();
    m_children.clear();
    if (m_flat.is_empty()) return;
    ++m_ref_updates;
    const unsigned int count = m_flat->get_row_count();
    for (unsigned int r = 0; r < count; ++r) {
      const auto group = m_groups.find(r);
      if (group == m_groups.end()) {
        m_rows.push_back({r, 0, engine_t::NoChildren});
        continue;
      }
      m_rows.push_back({r, 0, engine_t::Collapsed});
      std::vector<unsigned int>& children = m_children[r];
      unsigned int child = r;
      do children.push_back(++child);
      while (child < group->second && child + 1 < count);
      r = child;
    }
  }

  void set_state(unsigned int row, hierarchical_row_state_t state) {
    SV4_FUZZ_TRACE("set_row_hierarchical_state(%u, %u)\n", row, state);
    m_model.set_row_hierarchical_state(row, state);
    ++m_ref_updates;
    if (row >= m_rows.size() || state == row_state_none) return;
    ref_row_t& record = m_rows[row];
    const auto at = m_rows.begin() + row + 1;
    if (state == row_state_collapsed && record.state != engine_t::Collapsed) {
      auto end = at;
      while (end != m_rows.end() && end->level > record.level) ++end;
      record.state = engine_t::Collapsed;
      m_rows.erase(at, end);
      return;
    }
    if (state != row_state_expanded || record.state == engine_t::Expanded) return;
    record.state = engine_t::Expanded;
    const auto children = m_children.find(record.flat);
    if (record.level != 0 || children == m_children.end()) return;
    std::vector<ref_row_t> added;
    for (unsigned int child : children->second) added.push_back({child, 1, engine_t::NoChildren});
    m_rows.insert(at, added.begin(), added.end());
  }

  // A new row count, or no flat model at all; neither shows before the next rebuild.
  void set_flat_rows(unsigned int count) {
    SV4_FUZZ_TRACE("flat rows %u (24: none)\n", count);
    m_flat.reset();
    if (count != 24) {
      auto* flat = new data_model_t;
      flat->set_row_count(count);
      m_flat.reset(flat);
    }
    m_model.set_flat_data_model(m_flat);
    m_snippets.set_flat_data_model(m_flat);
  }

  // A copy, and an assignment over another model, give the same answers; neither throws.
  void copy() {
    model_t copy(m_model), assigned{flat_pointer_t()};
    assigned.AddItem(7, true, model_t::GropOpenExpanded);
    assigned = m_model;
    for (model_t* other : {&copy, &assigned}) {
      sv4_fuzz::check_rows_are_live(*other, /*each_once=*/m_checker.has_value());
      SV4_FUZZ_CHECK(other->get_row_count() == m_model.get_row_count());
      for (unsigned int row = 0; row < m_model.get_row_count(); ++row)
        SV4_FUZZ_CHECK(
            other->get_flat_row_index(row) == m_model.get_flat_row_index(row) &&
            other->get_row_hierarchy_level(row) == m_model.get_row_hierarchy_level(row) &&
            other->get_row_hierarchical_state(row) == m_model.get_row_hierarchical_state(row));
      other->AddItem(8, false, model_t::GropItem);  // the copy's cursor is its own
    }
  }

  // The builder operations the grouped model inherits; from the first one on, rows are checked
  // for what must hold whatever the cursor did.
  void builder(unsigned int a, unsigned int b) {
    m_checker.reset();
    static const model_t::GropMode modes[] = {model_t::GropItem, model_t::GropOpenExpanded,
                                              model_t::GropOpenCollapsed, model_t::GropLastItem};
    const int row = static_cast<int>(a) - 1;
    const int operation = m_input.ConsumeIntegralInRange(0, 6);
    SV4_FUZZ_TRACE("builder operation %d, a %u b %u\n", operation, a, b);
    switch (operation) {
      case 0:
        return m_model.AddItem(100 + a, (b & 4) != 0, modes[b % 4]);
      case 1:
        return m_model.AddItemSimple(100 + a, (b & 4) != 0, modes[b % 4]);
      case 2:
        return m_model.CloseGroup();
      case 3:
        return m_model.SetCurItem(row);
      case 4:
        return m_model.UpdateRowHierarchy(row);
      case 5:
        return m_model.ExpandById(b);
      default:
        return m_model.ExpandCurrent(row, b % 2 == 0);
    }
  }

  void snippets(unsigned int row, unsigned int what) {
    if (what % 3 == 0) {
      m_snippets.clear_hierarchy();
      return m_snippet_states.clear();
    }
    if (what % 3 == 1) {
      m_snippets.create_group(row, what);
      m_snippet_states[row] = row == m_default_row ? m_default_state : row_state_collapsed;
      return m_snippet_rows.push_back(row);
    }
    const auto state = static_cast<hierarchical_row_state_t>(what % 4 % 3);
    m_snippets.set_row_hierarchical_state(row, state);
    m_snippet_states[row] = state;
    m_snippet_rows.push_back(row);
    ++m_snippet_hierarchy;
  }
  void snippet_defaults(unsigned int row, unsigned int state) {
    m_snippets.set_default_expanded_row(m_default_row = row);
    m_default_state = static_cast<hierarchical_row_state_t>(state % 3);
    m_snippets.set_default_hierarchical_state(m_default_state);
    if (state % 5 == 0) {
      m_snippets.update_hierarchy();
      ++m_snippet_hierarchy;
    }
  }
  void check_snippets() {
    SV4_FUZZ_CHECK(m_snippet_updates.rows == m_snippet_rows);
    SV4_FUZZ_CHECK(m_snippet_updates.count == m_snippet_hierarchy);
    SV4_FUZZ_CHECK(m_snippets.get_default_hierarchical_state() == m_default_state);
    SV4_FUZZ_CHECK(m_snippets.get_row_count() == (m_flat.is_empty() ? 0 : m_flat->get_row_count()));
    for (unsigned int row = 0; row < 26; ++row) {
      const auto found = m_snippet_states.find(row);
      SV4_FUZZ_CHECK(m_snippets.get_row_hierarchical_state(row) ==
                     (found == m_snippet_states.end() ? row_state_none : found->second));
      SV4_FUZZ_CHECK(m_snippets.get_flat_row_index(row) == row &&
                     m_snippets.get_row_hierarchy_level(row) == 0);
    }
  }

  FuzzedDataProvider& m_input;
  const bool m_builder_allowed;  // else the grouped model is compared with the rules throughout
  sv4_fuzz::assertion_log_t m_log;
  counter_t m_updates, m_snippet_updates;
  flat_pointer_t m_flat{new data_model_t};
  model_t m_model{m_flat};
  snippets_data_model_t m_snippets{m_flat};
  std::optional<sv4_fuzz::tree_checker_t<model_t>> m_checker{std::in_place, m_model};
  // The reference of the grouped model, while only its own operations were used.
  std::map<unsigned int, unsigned int> m_groups;
  std::vector<ref_row_t> m_rows;
  std::map<unsigned int, std::vector<unsigned int>> m_children;  // header -> its flat rows
  int m_ref_updates = 0;
  // The reference of the snippet model.
  std::map<unsigned int, hierarchical_row_state_t> m_snippet_states;
  std::vector<unsigned int> m_snippet_rows;  // every row_state_updated, in order
  int m_snippet_hierarchy = 0;
  unsigned int m_default_row = 0;
  hierarchical_row_state_t m_default_state = row_state_expanded;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  grouped_run_t run(input);
  for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
    run.step();
    run.check();
  }
  return 0;
}
