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
  std::vector<const function_record_t*> row_function;
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

label_list_t branch_labels(const line_record_t& line) {
  label_list_t labels;
  for (const branch_record_t& branch : line.branches) {
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

snippet_t line_snippet(const line_record_t& line, const std::string& source) {
  snippet_t snippet;
  snippet.text = widen(source);
  for (std::size_t i = 0; i < line.branches.size(); ++i) {
    const branch_record_t& b = line.branches[i];
    int image = b.state == branch_record_t::state_t::taken       ? image_taken
                : b.state == branch_record_t::state_t::not_taken ? image_not_taken
                                                                 : image_never_executed;
    snippet.items.push_back({{}, L"branch " + std::to_wstring(i) + L" " + widen(b.text), image, 0});
  }
  for (std::size_t i = 0; i < line.calls.size(); ++i)
    snippet.items.push_back({{},
                             L"call " + std::to_wstring(i) + L" " + widen(line.calls[i].text),
                             line.calls[i].executed ? image_taken : image_never_executed,
                             0});
  for (const instance_count_t& instance : line.instances) {
    std::wstring count = instance.executable ? widen(instance.count_text) : L"-";
    snippet.items.push_back({{},
                             widen(instance.function) + L": " + count,
                             instance.count > 0 ? image_taken : image_not_taken,
                             0});
  }
  return snippet;
}

bool has_details(const line_record_t& line) {
  return !line.branches.empty() || !line.calls.empty() || !line.instances.empty();
}

std::wstring count_text(const line_record_t& line) {
  if (!line.executable) return std::wstring();
  std::wstring text = widen_ascii(line.count_text);
  if (line.unexecuted_block) text += L'*';
  return text;
}

std::wstring coverage_summary(const file_coverage_t& coverage) {
  coverage_totals_t totals = count_totals(coverage);
  std::string text =
      "lines executed " + format_ratio(totals.lines_executed, totals.lines_executable);
  if (totals.branches_total > 0)
    text += "   branches taken " + format_ratio(totals.branches_taken, totals.branches_total);
  return widen(text);
}

void write_sources(source_view4::data_model_t& model, const std::vector<std::wstring>& sources) {
  model.set_column_data(source_view4::source_column, 0, sources.data(), sources.size());
}

}  // namespace

view_description_t fill_coverage_view(const file_coverage_t& coverage, view_mode_t mode,
                                      source_view4::data_model_t& model) {
  row_plan_t plan = plan_rows(coverage, mode);
  const std::vector<unsigned>& lines = plan.row_lines;
  std::size_t rows = lines.size();
  std::uint64_t largest = 0;
  for (const line_record_t& line : coverage.lines) largest = std::max(largest, line.count);
  // Group rows in order: the n-th row whose line is 0 is group n.
  std::vector<unsigned> group_of(rows, 0);
  for (std::size_t r = 0, g = 0; r < rows; ++r)
    if (lines[r] == 0) group_of[r] = unsigned(g++);
  auto record = [&](std::size_t r) -> const line_record_t& { return coverage.lines[lines[r] - 1]; };

  view_description_t view;
  view.row_lines = lines;
  for (std::size_t r = 0; r < rows; ++r)
    if (lines[r] != 0 && record(r).executable && record(r).count == 0)
      view.attention_rows.push_back(unsigned(r));

  model.begin_update();
  model.set_row_count(unsigned(rows));
  write_column<std::wstring>(model, source_view4::source_column, rows, [&](std::size_t r) {
    return lines[r] == 0 ? plan.group_titles[group_of[r]]
                         : widen(coverage.source_lines[lines[r] - 1]);
  });
  // A function's row shows its mark and its calls, so that its text export keeps every column in
  // place (leading empty cells would leave no tab behind).
  if (mode == view_mode_t::functions) {
    write_column<cell_value_t>(model, line_id, rows, [&](std::size_t r) -> cell_value_t {
      if (lines[r] == 0) return std::wstring(L"\u0192");
      return int(lines[r]);
    });
  } else {
    write_column<int>(model, line_id, rows, [&](std::size_t r) { return int(lines[r]); });
  }
  write_column<std::wstring>(model, count_id, rows, [&](std::size_t r) {
    return lines[r] == 0 ? std::to_wstring(plan.group_calls[group_of[r]]) : count_text(record(r));
  });
  write_column<data_container_t<double>>(model, hits_id, rows, [&](std::size_t r) {
    data_container_t<double> hits;
    if (lines[r] != 0 && largest > 0 && record(r).count > 0)
      hits.value = double(record(r).count) / double(largest);
    return hits;
  });
  // Branch labels only where a line has branches; an empty list elsewhere.
  write_column<cell_value_t>(model, branches_id, rows, [&](std::size_t r) -> cell_value_t {
    if (lines[r] == 0 || record(r).branches.empty()) return label_list_t();
    return branch_labels(record(r));
  });
  for (unsigned row : view.attention_rows) model.set_highlighted(row, true);
  // A line with a block that never ran shows its count emphasised (and with gcov's "*").
  for (std::size_t r = 0; r < rows; ++r)
    if (plan.row_lines[r] != 0 && coverage.lines[plan.row_lines[r] - 1].unexecuted_block)
      model.set_cell_flags(unsigned(r), count_id, 1);
  if (mode == view_mode_t::snippets) {
    // The center grid shows the snippet column in this mode: every row gets its line as a
    // snippet, with the line's details as entries where it has any.
    write_column<cell_value_t>(model, source_view4::snippet_column, rows, [&](std::size_t r) {
      const std::string& source = coverage.source_lines[lines[r] - 1];
      if (!has_details(record(r))) return cell_value_t(snippet_t{widen(source), {}});
      view.snippet_rows.push_back(unsigned(r));
      return cell_value_t(line_snippet(record(r), source));
    });
  }
  view.summary = coverage_summary(coverage);
  coverage_totals_t totals = count_totals(coverage);
  // The count column stays as narrow as its counts: the lines' ratio is in the source's summary.
  if (totals.branches_total > 0)
    model.set_summary_data(branches_id,
                           widen(format_ratio(totals.branches_taken, totals.branches_total)));
  model.set_summary_data(source_view4::source_column, view.summary);
  model.set_summary_data(source_view4::snippet_column, view.summary);
  model.end_update();

  view.groups = plan.groups;
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

view_description_t fill_table_view(const tsv_table_t& table,
                                   const std::vector<std::string>& source_lines,
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
  std::vector<std::wstring> sources(rows);
  for (std::size_t r = 0; r < source_lines.size(); ++r) sources[r] = widen(source_lines[r]);
  write_sources(model, sources);
  std::vector<int> numbers(rows);
  for (std::size_t r = 0; r < rows; ++r) numbers[r] = int(r + 1);
  model.set_column_data(line_id, 0, numbers.data(), rows);
  view.left.push_back({line_id, L"Line", column_look_t::text_right});
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    const tsv_column_t& column = table.columns[c];
    auto id = unsigned(first_metric_id + c);
    std::vector<cell_value_t> values(rows, cell_value_t(std::wstring()));
    for (std::size_t i = 0; i < table.lines.size(); ++i)
      values[table.lines[i] - 1] = metric_value(column, column.values[i]);
    model.set_column_data(id, 0, values.data(), rows);
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

view_description_t fill_plain_view(const std::vector<std::string>& source_lines,
                                   source_view4::data_model_t& model) {
  tsv_table_t empty;
  view_description_t view = fill_table_view(empty, source_lines, model);
  return view;
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
