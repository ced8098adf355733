// Filling the data model from coverage and tables: columns are written whole with the model's
// column setters inside one batch, so a large file costs one model_updated.
#include "view_data.h"

#include <algorithm>
#include <cstdio>

#include "import_error.h"
#include "input_file.h"

namespace source_view_app {

using source_view4::cell_value_t;
using source_view4::data_container_t;
using source_view4::label_list_t;
using source_view4::snippet_item_t;
using source_view4::snippet_t;

namespace {

std::wstring widen_ascii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Rows of the model in functions mode: a group row before each function's first line.
struct row_plan_t {
  std::vector<unsigned> row_lines;  // 0 for a group row
  std::vector<group_spec_t> groups;
  std::vector<std::wstring> group_titles;  // by group
  std::vector<std::uint64_t> group_calls;  // by group
};

// Functions that start on the same line (the instantiations of a template) share one group;
// a function starting inside an earlier group's lines (a nested lambda) gets none.
std::vector<std::vector<const function_record_t*>> group_functions(
    const std::vector<function_record_t>& functions) {
  std::vector<const function_record_t*> sorted;
  for (const function_record_t& f : functions)
    if (f.first_line > 0) sorted.push_back(&f);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](auto* a, auto* b) { return a->first_line < b->first_line; });
  std::vector<std::vector<const function_record_t*>> groups;
  unsigned covered_to = 0;
  for (const function_record_t* f : sorted) {
    if (!groups.empty() && groups.back().front()->first_line == f->first_line) {
      groups.back().push_back(f);
      continue;
    }
    if (f->first_line <= covered_to) continue;
    groups.push_back({f});
    covered_to = std::max(f->first_line, f->last_line);
  }
  return groups;
}

std::wstring group_title(const std::vector<const function_record_t*>& functions) {
  std::uint64_t calls = 0;
  double blocks = 0;
  for (const function_record_t* f : functions) {
    calls += f->calls;
    blocks = std::max(blocks, f->blocks_percent);
  }
  std::string name = functions.front()->name;
  if (functions.size() > 1) name += " (+" + std::to_string(functions.size() - 1) + " more)";
  char tail[96];
  std::snprintf(tail, sizeof tail, "  called %llu, blocks executed %.0f%%",
                static_cast<unsigned long long>(calls), blocks);
  return widen(name + tail);
}

row_plan_t plan_rows(const file_coverage_t& coverage, view_mode_t mode) {
  row_plan_t plan;
  auto line_count = unsigned(coverage.lines.size());
  std::vector<std::vector<const function_record_t*>> groups;
  if (mode == view_mode_t::functions) groups = group_functions(coverage.functions);
  std::size_t next = 0;
  for (unsigned line = 1; line <= line_count; ++line) {
    if (next < groups.size() && groups[next].front()->first_line == line) {
      unsigned last = std::min(std::max(line, groups[next].front()->last_line), line_count);
      auto header = unsigned(plan.row_lines.size());
      plan.groups.push_back({header, header + (last - line + 1)});
      plan.group_titles.push_back(group_title(groups[next]));
      std::uint64_t calls = 0;
      for (const function_record_t* f : groups[next]) calls += f->calls;
      plan.group_calls.push_back(calls);
      plan.row_lines.push_back(0);
      ++next;
    }
    plan.row_lines.push_back(line);
  }
  return plan;
}

std::wstring coverage_summary(const coverage_totals_t& totals) {
  std::string text =
      "lines executed " + format_ratio(totals.lines_executed, totals.lines_executable);
  if (totals.branches_total > 0)
    text += "   branches taken " + format_ratio(totals.branches_taken, totals.branches_total);
  return widen(text);
}

// What filling a coverage view works from: the coverage, its rows, and where each row's line is.
struct coverage_fill_t {
  file_coverage_t& coverage;
  const row_plan_t& plan;
  std::vector<unsigned> group_of;  // per row: the group of a function's row (0 elsewhere)

  std::size_t rows() const { return plan.row_lines.size(); }
  bool is_group(std::size_t r) const { return plan.row_lines[r] == 0; }
  std::size_t index(std::size_t r) const { return plan.row_lines[r] - 1; }
  const line_record_t& record(std::size_t r) const { return coverage.lines[index(r)]; }
};

// The coverage's text is given back block by block as the rows are stored.
void write_source_column(coverage_fill_t& fill, source_view4::data_model_t& model) {
  const auto& lines = fill.plan.row_lines;
  write_column<std::wstring>(
      model, source_view4::source_column, fill.rows(),
      [&](std::size_t r) {
        return fill.is_group(r) ? fill.plan.group_titles[fill.group_of[r]]
                                : widen(fill.coverage.source_lines[fill.index(r)]);
      },
      [&](std::size_t done) {
        std::size_t stored_lines = done < lines.size() ? lines[done] : lines.back();
        fill.coverage.source_lines.release_before(stored_lines == 0 ? 0 : stored_lines - 1);
      });
}

// The coverage's details move to the model, by row, which makes labels and snippets of them when
// they are read. Calls and instantiations are kept for snippets only.
row_details_t take_details(coverage_fill_t& fill, bool snippets) {
  row_details_t details;
  details.branch_starts.resize(fill.rows() + 1);
  if (snippets) details.call_starts.resize(fill.rows() + 1);
  std::uint32_t branches = 0, calls = 0;
  for (std::size_t r = 0; r < fill.rows(); ++r) {
    details.branch_starts[r] = branches;
    if (snippets) details.call_starts[r] = calls;
    if (fill.is_group(r)) continue;
    branches += std::uint32_t(fill.coverage.branches_of(fill.index(r)).size());
    calls += std::uint32_t(fill.coverage.calls_of(fill.index(r)).size());
    if (!snippets) continue;
    auto instances = fill.coverage.instances.find(fill.index(r));
    if (instances != fill.coverage.instances.end())
      details.instances[r] = std::move(instances->second);
  }
  details.branch_starts[fill.rows()] = branches;
  details.branches = std::move(fill.coverage.branches);
  if (!snippets) return details;
  details.call_starts[fill.rows()] = calls;
  details.calls = std::move(fill.coverage.calls);
  details.detail_text = std::move(fill.coverage.detail_text);
  return details;
}

void write_number_columns(const coverage_fill_t& fill, view_mode_t mode,
                          source_view4::data_model_t& model) {
  const auto& lines = fill.plan.row_lines;
  // A function's row shows its mark and its calls, so that its text export keeps every column in
  // place (leading empty cells would leave no tab behind).
  if (mode == view_mode_t::functions) {
    write_column<cell_value_t>(model, line_id, fill.rows(), [&](std::size_t r) -> cell_value_t {
      if (lines[r] == 0) return std::wstring(L"\u0192");
      return int(lines[r]);
    });
  } else {
    write_column<int>(model, line_id, fill.rows(), [&](std::size_t r) { return int(lines[r]); });
  }
  write_column<std::wstring>(model, count_id, fill.rows(), [&](std::size_t r) {
    if (fill.is_group(r)) return std::to_wstring(fill.plan.group_calls[fill.group_of[r]]);
    std::wstring text = widen_ascii(fill.coverage.count_text(fill.index(r)));
    if (fill.record(r).unexecuted_block) text += L'*';
    return text;
  });
  std::uint64_t largest = 0;
  for (const line_record_t& line : fill.coverage.lines) largest = std::max(largest, line.count);
  write_column<data_container_t<double>>(model, hits_id, fill.rows(), [&](std::size_t r) {
    data_container_t<double> hits;
    if (!fill.is_group(r) && largest > 0 && fill.record(r).count > 0)
      hits.value = double(fill.record(r).count) / double(largest);
    return hits;
  });
}

}  // namespace

view_description_t fill_coverage_view(file_coverage_t&& coverage, view_mode_t mode,
                                      viewer_model_t& model) {
  row_plan_t plan = plan_rows(coverage, mode);
  coverage_fill_t fill{coverage, plan, std::vector<unsigned>(plan.row_lines.size(), 0)};
  // Group rows in order: the n-th row whose line is 0 is group n.
  for (std::size_t r = 0, g = 0; r < fill.rows(); ++r)
    if (fill.is_group(r)) fill.group_of[r] = unsigned(g++);

  view_description_t view;
  for (std::size_t r = 0; r < fill.rows(); ++r)
    if (!fill.is_group(r) && fill.record(r).executable && fill.record(r).count == 0)
      view.attention_rows.push_back(unsigned(r));
  const coverage_totals_t totals = count_totals(coverage);

  std::vector<function_record_t>().swap(coverage.functions);  // the plan has what it needs

  model.begin_update();
  model.set_row_count(unsigned(fill.rows()));
  // The source text goes to the model first, given back as it is stored, so that the text is
  // never held twice.
  write_source_column(fill, model);
  write_number_columns(fill, mode, model);
  for (unsigned row : view.attention_rows) model.set_highlighted(row, true);
  // A line with a block that never ran shows its count emphasised (and with gcov's "*").
  for (std::size_t r = 0; r < fill.rows(); ++r)
    if (!fill.is_group(r) && fill.record(r).unexecuted_block)
      model.set_cell_flags(unsigned(r), count_id, 1);
  // The center grid shows the snippet column in this mode.
  const bool snippets = mode == view_mode_t::snippets;
  model.set_details(branches_id, take_details(fill, snippets), snippets);
  for (std::size_t r = 0; snippets && r < fill.rows(); ++r)
    if (model.has_snippet_entries(unsigned(r))) view.snippet_rows.push_back(unsigned(r));
  view.summary = coverage_summary(totals);
  // The count column stays as narrow as its counts: the lines' ratio is in the source's summary.
  if (totals.branches_total > 0)
    model.set_summary_data(branches_id,
                           widen(format_ratio(totals.branches_taken, totals.branches_total)));
  model.set_summary_data(source_view4::source_column, view.summary);
  model.set_summary_data(source_view4::snippet_column, view.summary);
  model.end_update();

  // The rows are filled: the plan's tables become the view's.
  view.row_lines = std::move(plan.row_lines);
  view.groups = std::move(plan.groups);
  view.title = coverage.source_name.empty() ? coverage.input_path : coverage.source_name;
  view.left = {{line_id, L"Line", column_look_t::text_right},
               {count_id, L"Count", column_look_t::text_right}};
  view.right = {{branches_id, L"Branches", column_look_t::branch_labels},
                {hits_id, L"Hits", column_look_t::bar}};
  return view;
}

namespace {

// The text a metric shows; numbers keep the form they were written in.
cell_value_t metric_value(const tsv_column_t& column, const tsv_value_t& value) {
  if (!value.present) return std::wstring();
  switch (column.kind) {
    case tsv_kind_t::hex:
      return data_container_t<std::uint64_t>(value.hex);
    case tsv_kind_t::fraction:
      return data_container_t<double>(value.number);
    default:
      return widen(value.text);
  }
}

cell_value_t metric_total(const tsv_column_t& column) {
  std::int64_t integer = 0;
  double number = 0;
  std::uint64_t hex = 0;
  for (const tsv_value_t& v : column.values) {
    if (!v.present) continue;
    integer += v.integer;
    number += v.number;
    hex += v.hex;
  }
  char text[64];
  switch (column.kind) {
    case tsv_kind_t::integer:
      return std::to_wstring(integer);
    case tsv_kind_t::decimal:
      std::snprintf(text, sizeof text, "%.6g", number);
      return widen(text);
    case tsv_kind_t::hex:
      return data_container_t<std::uint64_t>(hex);
    case tsv_kind_t::fraction:
      return data_container_t<double>(number);
    case tsv_kind_t::text:
      break;
  }
  return std::wstring();
}

// Rows Ctrl+Down visits in counts data: by the first numeric column, largest first.
std::vector<unsigned> hottest_rows(const tsv_table_t& table) {
  for (const tsv_column_t& column : table.columns) {
    if (column.kind == tsv_kind_t::text) continue;
    std::vector<std::pair<double, unsigned>> order;
    for (std::size_t i = 0; i < table.lines.size(); ++i) {
      const tsv_value_t& v = column.values[i];
      if (!v.present) continue;
      double key = column.kind == tsv_kind_t::integer ? double(v.integer)
                   : column.kind == tsv_kind_t::hex   ? double(v.hex)
                                                      : v.number;
      order.emplace_back(-key, table.lines[i] - 1);
    }
    std::stable_sort(order.begin(), order.end());
    std::vector<unsigned> rows;
    for (auto& entry : order) rows.push_back(entry.second);
    return rows;
  }
  return {};
}

}  // namespace

view_description_t fill_table_view(const tsv_table_t& table, const source_text_t& source_lines,
                                   source_view4::data_model_t& model) {
  std::size_t rows = source_lines.size();
  if (source_lines.empty())
    for (unsigned line : table.lines) rows = std::max<std::size_t>(rows, line);
  for (std::size_t i = 0; i < table.lines.size(); ++i)
    if (table.lines[i] > rows)
      throw import_error(table.input_path, table.input_rows[i],
                         "line " + std::to_string(table.lines[i]) +
                             " is past the end of the source (" + std::to_string(rows) + " lines)");

  view_description_t view;
  model.begin_update();
  model.set_row_count(unsigned(rows));
  write_column<std::wstring>(model, source_view4::source_column, rows, [&](std::size_t r) {
    return r < source_lines.size() ? widen(source_lines[r]) : std::wstring();
  });
  write_column<int>(model, line_id, rows, [](std::size_t r) { return int(r + 1); });
  view.left.push_back({line_id, L"Line", column_look_t::text_right});
  constexpr std::uint32_t no_entry = 0xFFFFFFFFu;
  std::vector<std::uint32_t> entry_of_row(rows, no_entry);
  for (std::size_t i = 0; i < table.lines.size(); ++i)
    entry_of_row[table.lines[i] - 1] = std::uint32_t(i);
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    const tsv_column_t& column = table.columns[c];
    auto id = unsigned(first_metric_id + c);
    write_column<cell_value_t>(model, id, rows, [&](std::size_t r) {
      if (entry_of_row[r] == no_entry) return cell_value_t(std::wstring());
      return metric_value(column, column.values[entry_of_row[r]]);
    });
    model.set_summary_data(id, metric_total(column));
    column_look_t look = column.kind == tsv_kind_t::fraction ? column_look_t::bar
                         : column.kind == tsv_kind_t::text   ? column_look_t::text_left
                                                             : column_look_t::text_right;
    view.left.push_back({id, widen(column.name), look});
  }
  model.end_update();
  view.row_lines.resize(rows);
  for (std::size_t r = 0; r < rows; ++r) view.row_lines[r] = unsigned(r + 1);
  view.attention_rows = hottest_rows(table);
  view.attention_in_file_order = false;
  view.title = table.input_path;
  return view;
}

view_description_t fill_plain_view(const source_text_t& source_lines,
                                   source_view4::data_model_t& model) {
  return fill_table_view(tsv_table_t(), source_lines, model);
}

label_list_t branch_labels(record_range_t<branch_record_t> branches) {
  label_list_t labels;
  for (const branch_record_t& branch : branches) {
    using state = branch_record_t::state_t;
    switch (branch.state) {
      case state::taken:
        labels.texts.push_back(std::to_wstring(branch.count));
        labels.image_indexes.push_back(image_taken);
        break;
      case state::not_taken:
        labels.texts.push_back(L"0");
        labels.image_indexes.push_back(image_not_taken);
        break;
      case state::never_executed:
        labels.texts.push_back(L"-");
        labels.image_indexes.push_back(image_never_executed);
        break;
    }
  }
  return labels;
}

record_range_t<branch_record_t> row_details_t::branches_of(unsigned row) const {
  const branch_record_t* first = branches.data();
  return {first + branch_starts[row], first + branch_starts[row + 1]};
}

record_range_t<call_record_t> row_details_t::calls_of(unsigned row) const {
  const call_record_t* first = calls.data();
  if (call_starts.empty()) return {first, first};
  return {first + call_starts[row], first + call_starts[row + 1]};
}

bool row_details_t::has_entries(unsigned row) const {
  return !branches_of(row).empty() || !calls_of(row).empty() || instances.count(row);
}

snippet_t row_details_t::snippet(unsigned row, std::wstring text) const {
  snippet_t snippet;
  snippet.text = std::move(text);
  auto words = [&](detail_text_t place) { return widen(words_at(detail_text, place)); };
  record_range_t<branch_record_t> row_branches = branches_of(row);
  for (std::size_t i = 0; i < row_branches.size(); ++i) {
    const branch_record_t& b = row_branches[i];
    int image = b.state == branch_record_t::state_t::taken       ? image_taken
                : b.state == branch_record_t::state_t::not_taken ? image_not_taken
                                                                 : image_never_executed;
    snippet.items.push_back({{}, L"branch " + std::to_wstring(i) + L" " + words(b.text), image, 0});
  }
  record_range_t<call_record_t> row_calls = calls_of(row);
  for (std::size_t i = 0; i < row_calls.size(); ++i)
    snippet.items.push_back({{},
                             L"call " + std::to_wstring(i) + L" " + words(row_calls[i].text),
                             row_calls[i].executed ? image_taken : image_never_executed,
                             0});
  for (const instance_count_t& instance : instances_of(row)) {
    std::wstring count = instance.executable ? widen(instance.count_text) : L"-";
    snippet.items.push_back({{},
                             widen(instance.function) + L": " + count,
                             instance.count > 0 ? image_taken : image_not_taken,
                             0});
  }
  return snippet;
}

void viewer_model_t::set_details(unsigned int branch_column, row_details_t details, bool snippets) {
  clear_columns({branch_column, source_view4::snippet_column});
  m_branch_column = branch_column;
  m_snippets = snippets;
  m_details = std::move(details);
  record_longest(branch_column);
  if (snippets) record_longest(source_view4::snippet_column);
  notify_data_updated(branch_column, source_view4::all_rows);
}

// The longest text of a column made on reading, as the grids fit the column to it.
void viewer_model_t::record_longest(unsigned int column) {
  longest_text_t longest;
  for (unsigned row = 0; row < m_details.rows() && row < get_row_count(); ++row) {
    auto length = unsigned(get_text_data(row, column).size());
    if (length > longest.length) longest = {row, length};
  }
  longest_text[column] = longest;
}

bool viewer_model_t::has_snippet_entries(unsigned int row) const {
  return m_snippets && row < m_details.rows() && m_details.has_entries(row);
}

bool viewer_model_t::made_on_reading(unsigned int row, unsigned int column) const {
  bool made = column == m_branch_column || (m_snippets && column == source_view4::snippet_column);
  return made && row < m_details.rows() && row < get_row_count();
}

// Every row of the branch column holds a label list, empty where the line has no branches; every
// row of the snippet column a snippet, without entries where the line has no details.
cell_value_t viewer_model_t::get_data(unsigned int row, unsigned int column) const {
  if (!made_on_reading(row, column)) return data_model_t::get_data(row, column);
  if (column == m_branch_column) return branch_labels(m_details.branches_of(row));
  cell_value_t source = data_model_t::get_data(row, source_view4::source_column);
  const std::wstring* text = boost::get<std::wstring>(&source);
  return m_details.snippet(row, text ? *text : std::wstring());
}

bool viewer_model_t::is_data_set(unsigned int row, unsigned int column) const {
  return made_on_reading(row, column) || data_model_t::is_data_set(row, column);
}

void viewer_model_t::clear() {
  clear_columns({m_branch_column, source_view4::snippet_column});
  data_model_t::clear();
}

void viewer_model_t::clear_columns(const std::vector<unsigned int>& columns) {
  auto listed = [&](unsigned int column) {
    return std::find(columns.begin(), columns.end(), column) != columns.end();
  };
  if (listed(m_branch_column)) m_branch_column = no_branch_column;
  if (listed(source_view4::snippet_column)) m_snippets = false;
  if (m_branch_column == no_branch_column && !m_snippets) m_details = row_details_t();
  data_model_t::clear_columns(columns);
}

std::wstring viewer_model_t::format_data(const cell_value_t& value, unsigned int column) const {
  const label_list_t* labels = boost::get<label_list_t>(&value);
  if (!labels) return data_model_t::format_data(value, column);
  std::wstring text;
  std::size_t n = std::min(labels->texts.size(), labels->image_indexes.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (i) text += L' ';
    text += labels->texts[i];
  }
  return text;
}

}  // namespace source_view_app
