// The example's file and data: reading the lines, inventing counts, and filling the view.
#include "annotated_file.h"

#include <glib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "orrin7/system.h"
#include "source_view4/bar_painter.h"
#include "source_view4/label_painter.h"
#include "source_view4/range_painter.h"

namespace source_view_example {

using namespace source_view4;

namespace {

// Model columns of the example's data.
constexpr unsigned int count_column = 1;
constexpr unsigned int share_column = 2;
constexpr unsigned int label_column = 3;
constexpr unsigned int range_column = 4;

constexpr int hot_icon = 0, cold_icon = 1;

std::wstring widen(const std::string& utf8) {
  gchar* valid = g_utf8_make_valid(utf8.c_str(), gssize(utf8.size()));
  glong count = 0;
  gunichar* wide = g_utf8_to_ucs4_fast(valid, -1, &count);
  std::wstring out(wide, wide + count);
  g_free(wide);
  g_free(valid);
  return out;
}

// A made-up execution count: blank and comment lines have none (-1), a few lines never ran.
int count_of(const std::wstring& line, unsigned int row) {
  const auto first = line.find_first_not_of(L" \t");
  if (first == std::wstring::npos || line.compare(first, 2, L"//") == 0) return -1;
  const unsigned int mix = (row * 2654435761u) >> 20;
  if (mix % 9 == 0) return 0;
  return int(1 + mix % 700 + (line.size() % 7) * 150);
}

// The text a painter sees: tabs are four spaces.
std::wstring expanded(const std::wstring& line) {
  std::wstring out;
  for (const wchar_t c : line) out += c == L'\t' ? std::wstring(4, L' ') : std::wstring(1, c);
  return out;
}

found_items_t find_word(const std::wstring& line, const std::wstring& word) {
  found_items_t found;
  if (word.empty()) return found;
  const std::wstring text = expanded(line);
  for (auto at = text.find(word); at != std::wstring::npos; at = text.find(word, at + word.size()))
    found.push_back({int(source_column), int(at), int(word.size()), found.empty()});
  return found;
}

// Blocks that open at the start of a line with "{" at its end and close with "}" at the start
// of a later line: functions, classes, namespaces of a C-like file.
std::vector<std::pair<unsigned int, unsigned int>> top_level_blocks(
    const std::vector<std::wstring>& lines) {
  std::vector<std::pair<unsigned int, unsigned int>> blocks;
  for (unsigned int row = 0; row < lines.size(); ++row) {
    const std::wstring& line = lines[row];
    if (line.empty() || line[0] == L' ' || line[0] == L'\t' || line.back() != L'{') continue;
    for (unsigned int end = row + 1; end < lines.size(); ++end) {
      if (lines[end].empty() || lines[end][0] != L'}') continue;
      blocks.emplace_back(row, end);
      row = end;
      break;
    }
  }
  return blocks;
}

orrin7::bitmap disc(std::uint32_t rgb) {
  orrin7::bitmap icon;
  icon.width = icon.height = 12;
  icon.pixels.assign(144, 0u);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const double dx = x - 5.5, dy = y - 5.5;
      if (dx * dx + dy * dy <= 30.0) icon.pixels[std::size_t(y * 12 + x)] = 0xFF000000u | rgb;
    }
  return icon;
}

orrin7::orrin_ptr<orrin7::IImageList> make_icons() {
  auto list = orrin7::GetCurrentSystem()->CreateImageList(12, 12);
  list->Add(disc(0xD03030));  // hot
  list->Add(disc(0x3060D0));  // cold
  return list;
}

void set_columns(source_view_element_t& view) {
  auto left = view.get_left_grid();
  left->set_columns({count_column}, {});
  left->set_caption(0, L"Count");
  auto counts = new column_painters::text_painter_t();
  counts->set_align(orrin7::TA_Right | orrin7::TA_VCenter | orrin7::TA_SingleLine);
  left->set_column_painter(0, utilkit2::smart_pointer_t<column_painters::base_painter_t>(counts));

  auto right = view.get_right_grid();
  right->set_columns({share_column, label_column, range_column}, {});
  right->set_caption(0, L"Share");
  right->set_caption(1, L"Labels");
  right->set_caption(2, L"Block");
  right->set_column_painter(0, utilkit2::smart_pointer_t<column_painters::base_painter_t>(
                                   new column_painters::bar_painter_t()));
  auto labels = new column_painters::label_painter_t();
  labels->set_image_list(make_icons());
  right->set_column_painter(1, utilkit2::smart_pointer_t<column_painters::base_painter_t>(labels));
  auto range = new column_painters::range_painter_t();
  range->set_color_map({orrin7::_color::rgb(0xF2, 0xB1, 0x34)});
  right->set_column_painter(2, utilkit2::smart_pointer_t<column_painters::base_painter_t>(range));
}

// Every cell of a painter's column holds the kind of value that painter draws (a bar painter
// cannot draw the default int); lines without a count get empty values of that kind.
void set_row(data_model_t& model, unsigned int row, int count, int largest) {
  model.set_data(row, range_column, cell_value_t(range_t{}));
  if (count < 0) {
    model.set_data(row, count_column, cell_value_t(std::wstring()));
    model.set_data(row, share_column, cell_value_t(data_container_t<double>(0.0)));
    model.set_data(row, label_column, cell_value_t(label_list_t{}));
    return;
  }
  model.set_data(row, count_column, cell_value_t(count));
  model.set_data(row, share_column,
                 cell_value_t(data_container_t<double>(double(count) / largest)));
  label_list_t label;
  if (count == 0) label = {{L"never"}, {cold_icon}};
  if (count > largest * 3 / 4) label = {{L"hot"}, {hot_icon}};
  model.set_data(row, label_column, cell_value_t(label));
  if (count == 0) model.set_highlighted(row, true);
}

// A snippet under each hot line: who called it, as two entries with detail lines.
snippet_t snippet_for(const std::wstring& line, int count) {
  snippet_t snippet;
  snippet.text = line;
  snippet.items.push_back({{L"from main: " + std::to_wstring(count / 3)}, L"caller main", 0, 0});
  snippet.items.push_back(
      {{L"from tests: " + std::to_wstring(count - count / 3)}, L"caller run_tests", 1, 0});
  return snippet;
}

}  // namespace

bool read_lines(const std::string& path, std::vector<std::wstring>& lines, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(widen(line));
  }
  return true;
}

void show(source_view_element_t& view, const std::vector<std::wstring>& lines, mode_t mode,
          const std::wstring& word) {
  auto model = view.get_data_model();
  const unsigned int count = unsigned(lines.size());
  std::vector<int> counts(count);
  for (unsigned int row = 0; row < count; ++row) counts[row] = count_of(lines[row], row);
  const int largest = std::max(1, *std::max_element(counts.begin(), counts.end()));
  const auto blocks = top_level_blocks(lines);

  model->begin_update();
  model->set_row_count(count);
  long long total = 0;
  int executed = 0, measured = 0;
  for (unsigned int row = 0; row < count; ++row) {
    model->set_source(row, lines[row]);
    set_row(*model, row, counts[row], largest);
    if (counts[row] >= 0) ++measured;
    if (counts[row] > 0) ++executed, total += counts[row];
    // The strip marks the lines that never ran; in snippet mode every row shows its snippet.
    if (mode == mode_t::snippets) {
      model->set_data(row, snippet_column, cell_value_t(snippet_for(lines[row], counts[row])));
    } else if (counts[row] == 0) {
      model->set_data(row, snippet_column, cell_value_t(snippet_t{lines[row], {}}));
    }
    const found_items_t found = find_word(lines[row], word);
    if (!found.empty()) model->set_data(row, found_items_column, cell_value_t(found));
  }
  if (!blocks.empty()) {
    const auto [first, last] = blocks.front();
    for (unsigned int row = first; row <= last; ++row) {
      const int position = row == first  ? range_t::first_row
                           : row == last ? range_t::last_row
                                         : range_t::inner_row;
      model->set_data(row, range_column, cell_value_t(range_t{position, L"first block", 0}));
    }
  }
  model->set_summary_data(count_column, cell_value_t(int(total)));
  model->set_summary_data(
      source_column,
      cell_value_t(std::to_wstring(executed) + L" of " + std::to_wstring(measured) +
                   L" lines executed (" + std::to_wstring(100 * executed / std::max(1, measured)) +
                   L" %)"));
  model->end_update();

  set_columns(view);
  if (mode == mode_t::groups) {
    view.set_hierarchical_mode(hierarchical_mode_groups);
    auto groups = view.get_hierarchical_data_model();
    for (const auto& block : blocks) groups->create_group(block.first, block.second);
    groups->update_hierarchy();
  } else if (mode == mode_t::snippets) {
    view.set_hierarchical_mode(hierarchical_mode_snippets);
    auto snippets = view.get_hierarchical_data_model();
    for (unsigned int row = 0; row < count; ++row)
      if (counts[row] > largest * 3 / 4) snippets->create_group(row, 0);
    // The first two snippets are open.
    int opened = 0;
    for (unsigned int row = 0; row < count && opened < 2; ++row) {
      if (snippets->get_row_hierarchical_state(row) == row_state_none) continue;
      snippets->set_row_hierarchical_state(row, row_state_expanded);
      ++opened;
    }
  }
  view.get_left_grid()->set_column_width(0, -2);
  view.get_right_grid()->set_column_width(0, 90);
  view.get_right_grid()->set_column_width(1, 70);
  view.get_right_grid()->set_column_width(2, 110);
}

}  // namespace source_view_example
