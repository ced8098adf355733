// Turns what an importer read into the component's data model and a description of the view:
// the columns of the left and right grids, function groups, snippet rows, rows worth visiting.
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "coverage.h"
#include "source_view4/data_model.h"
#include "tsv.h"

namespace source_view_app {

enum class view_mode_t { flat, functions, snippets };

// Model column ids of the viewer's columns.
enum column_id_t : unsigned {
  line_id = 1,           // the 1-based source line ("\u0192" on function rows)
  count_id = 2,          // gcov's execution count (the calls on function rows)
  branches_id = 3,       // label list: one label per branch
  hits_id = 4,           // the count as a fraction of the file's largest count
  call_cost_id = 5,      // profiles: the inclusive cost of the calls a line makes
  first_metric_id = 10,  // TSV metric i is first_metric_id + i
};

// How a column is drawn.
enum class column_look_t { text_left, text_right, bar, branch_labels };

// Image indexes of the branch labels.
enum branch_image_t : int { image_taken = 0, image_not_taken = 1, image_never_executed = 2 };

struct column_spec_t {
  unsigned data_id = 0;
  std::wstring caption;
  column_look_t look = column_look_t::text_right;
};

// A function's group: `header_row` is the group row, its lines are header_row + 1 … last_row.
struct group_spec_t {
  unsigned header_row = 0;
  unsigned last_row = 0;
};

// Where following a call leads: a file as the input names it, and a 1-based line there.
struct jump_target_t {
  std::string file;
  unsigned line = 0;
};

struct view_description_t {
  static constexpr unsigned no_row = 0xFFFFFFFFu;

  std::string title;     // the file shown
  std::string file_key;  // profiles: the shown file as the profile names it
  std::vector<column_spec_t> left;
  std::vector<column_spec_t> right;
  std::vector<group_spec_t> groups;    // functions mode
  std::vector<unsigned> snippet_rows;  // snippets mode: rows with details
  // 1-based source line of each flat row; 0 for a function's group row.
  std::vector<unsigned> row_lines;
  // Rows Ctrl+Down visits, in order: unexecuted lines for coverage, the hottest rows first for
  // counts data.
  std::vector<unsigned> attention_rows;
  bool attention_in_file_order = true;
  unsigned start_row = no_row;  // where opening goes; the first attention row when no_row
  // Profiles: per flat row that calls, the callees in the order of its snippet entries; a target
  // with an empty file cannot be shown. Enter follows the first that can.
  std::map<unsigned, std::vector<jump_target_t>> row_calls;
  // Snippet entries are links (the calls of a profile): snippet rows start expanded, entries
  // with link_entry set are drawn plain and the others dimmed.
  bool snippet_links = false;
  static constexpr unsigned link_entry =
      1;                 // snippet_item_t::flags of an entry that can be followed
  std::wstring summary;  // the totals line, as the summary row shows it

  // The highest source line the view shows.
  unsigned line_count() const {
    unsigned last = 0;
    for (unsigned line : row_lines) last = line > last ? line : last;
    return last;
  }
};

// Writes one column made by `make(row)` for every row, a few thousand rows at a time, so that the
// values waiting to be stored never weigh much beside the model. `done(rows)` hears when the
// rows before `rows` are stored.
template <class T, class F, class D>
void write_column(source_view4::data_model_t& model, unsigned column, std::size_t rows, F make,
                  D done) {
  constexpr std::size_t rows_at_a_time = 4096;
  std::vector<T> values;
  values.reserve(std::min(rows, rows_at_a_time));
  for (std::size_t from = 0; from < rows; from += rows_at_a_time) {
    values.clear();
    const std::size_t to = std::min(rows, from + rows_at_a_time);
    for (std::size_t r = from; r < to; ++r) values.push_back(make(r));
    model.set_column_data(column, unsigned(from), values.data(), values.size());
    done(to);
  }
}

template <class T, class F>
void write_column(source_view4::data_model_t& model, unsigned column, std::size_t rows, F make) {
  write_column<T>(model, column, rows, make, [](std::size_t) {});
}

class viewer_model_t;

// A model row per source line (plus a group row per function in functions mode), filled in one
// batch. Throws nothing: the coverage has been checked by its importer.
// The coverage's source text is given back as it is stored.
view_description_t fill_coverage_view(file_coverage_t&& coverage, view_mode_t mode,
                                      viewer_model_t& model);

// A model row per source line (as many as the source has, or up to the table's last line without
// a source), the table's values at their lines. Throws import_error naming the table's row when
// it points past the end of the source.
view_description_t fill_table_view(const tsv_table_t& table, const source_text_t& source_lines,
                                   source_view4::data_model_t& model);

// A model row per source line and no metric columns.
view_description_t fill_plain_view(const source_text_t& source_lines,
                                   source_view4::data_model_t& model);

// What the view's model keeps of a coverage, by model row (a function's row has nothing), to make
// the branch labels and the snippets when they are read: the branches, and for snippets the
// calls, the instantiations' counts and gcov's words for them.
struct row_details_t {
  std::vector<branch_record_t> branches;
  std::vector<std::uint32_t> branch_starts;  // row r: [starts[r], starts[r + 1]); one more entry
  std::vector<call_record_t> calls;
  std::vector<std::uint32_t> call_starts;  // as branch_starts; empty when no calls are kept
  std::string detail_text;
  instance_map_t instances;  // by row

  std::size_t rows() const { return branch_starts.empty() ? 0 : branch_starts.size() - 1; }
  record_range_t<branch_record_t> branches_of(unsigned row) const;
  record_range_t<call_record_t> calls_of(unsigned row) const;
  const std::vector<instance_count_t>& instances_of(unsigned row) const {
    return instances_at(instances, row);
  }
  bool has_entries(unsigned row) const;
  // Row `row`'s snippet: `text` with an entry per branch, call and instantiation.
  source_view4::snippet_t snippet(unsigned row, std::wstring text) const;
};

// The view's data model: a data_model_t whose branch labels export as their texts joined by
// spaces ("1496 4", "0 -"), not as the label list's default "{0}1496{0}4". Branch labels and
// snippets are kept as the importer's compact records and made when they are read, which takes a
// fraction of the memory stored label lists and snippets take.
class viewer_model_t : public source_view4::data_model_t {
 public:
  // Column `branch_column` shows each row's branch labels; with `snippets`, the snippet column
  // shows each row's source (as the source column holds it) with its details as entries. The
  // source column is written first. Replaces what those columns held.
  void set_details(unsigned int branch_column, row_details_t details, bool snippets);

  source_view4::cell_value_t get_data(unsigned int row, unsigned int column) const override;
  bool is_data_set(unsigned int row, unsigned int column) const override;
  void clear() override;
  void clear_columns(const std::vector<unsigned int>& columns) override;
  // In snippets mode: whether row `row`'s snippet has entries.
  bool has_snippet_entries(unsigned int row) const;

 protected:
  std::wstring format_data(const source_view4::cell_value_t& value,
                           unsigned int column) const override;

 private:
  bool made_on_reading(unsigned int row, unsigned int column) const;
  void record_longest(unsigned int column);

  static constexpr unsigned int no_branch_column = 0;  // no model column has id 0 here
  unsigned int m_branch_column = no_branch_column;
  bool m_snippets = false;
  row_details_t m_details;
};

// Branch labels: a taken branch shows its count, one not taken "0", one never executed "-".
source_view4::label_list_t branch_labels(record_range_t<branch_record_t> branches);

}  // namespace source_view_app
