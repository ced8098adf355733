// gallery_t: the cells of every painter state, their layout in two panels, and the drawing.
#include "gallery.h"

#include <algorithm>
#include <cmath>

#include "orrin7/system.h"

namespace painter_gallery {

namespace {

using source_view4::cell_value_t;
using source_view4::label_list_t;
using source_view4::range_t;
using source_view4::snippet_item_t;
using source_view4::snippet_t;
using source_view4::column_painters::base_painter_t;
using source_view4::column_painters::draw_cell_params_t;

// Pixels of the layout.
constexpr int margin = 10;
constexpr int title_height = 28;
constexpr int caption_width = 250;
constexpr int cell_width = 280;
constexpr int narrow_cell_width = 110;
constexpr int row_gap = 6;
constexpr int panel_width = margin + caption_width + cell_width + margin;

// Model columns of the flat cells model, one per kind of value.
constexpr unsigned int text_column = 1;
constexpr unsigned int fraction_column = 2;
constexpr unsigned int range_column = 3;
constexpr unsigned int icons_column = 4;
constexpr unsigned int labels_column = 5;

constexpr int caption_align =
    orrin7::TA_Left | orrin7::TA_VCenter | orrin7::TA_SingleLine | orrin7::TA_EndEllipsis;

enum class shape_t { circle, square, triangle };

// An opaque `shape` of one colour on a transparent 12 × 12 image.
orrin7::bitmap make_icon(shape_t shape, std::uint32_t rgb) {
  constexpr int size = 12;
  orrin7::bitmap icon;
  icon.width = icon.height = size;
  icon.pixels.assign(std::size_t(size * size), 0u);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
      bool inside = true;
      if (shape == shape_t::circle) inside = dx * dx + dy * dy <= 30.0;
      if (shape == shape_t::square) inside = x > 0 && y > 0 && x < size - 1 && y < size - 1;
      if (shape == shape_t::triangle) inside = y > 0 && std::abs(dx) <= (y + 1) / 2.0;
      if (inside) icon.pixels[std::size_t(y * size + x)] = 0xFF000000u | rgb;
    }
  }
  return icon;
}

orrin7::orrin_ptr<orrin7::IImageList> make_icons() {
  orrin7::orrin_ptr<orrin7::IImageList> list = orrin7::GetCurrentSystem()->CreateImageList(12, 12);
  list->Add(make_icon(shape_t::circle, 0xD03030));
  list->Add(make_icon(shape_t::square, 0x30A040));
  list->Add(make_icon(shape_t::triangle, 0x3060D0));
  return list;
}

}  // namespace

gallery_t::gallery_t()
    : line_height(orrin7::GetCurrentSystem()->GetMetric(orrin7::SM_LineHeight)),
      cells(new source_view4::data_model_t) {
  const orrin7::orrin_ptr<orrin7::IImageList> icons = make_icons();
  images.set_image_list(icons);
  labels.set_image_list(icons);
  snippet.set_image_list(icons);
  flagged_snippet.set_image_list(icons);
  flagged_snippet.set_additional_flags(1);
  range.set_color_map(
      {orrin7::_color::rgb(0xF2, 0xB1, 0x34), orrin7::_color::rgb(0x7E, 0xC8, 0xE3)});
  group.set_draw_button(true);
  // Snippet rows show their button in the first 15 pixels; their text starts after it.
  snippet.set_margins(15, 1, 2, 1);
  flagged_snippet.set_margins(15, 1, 2, 1);

  add_text_cells();
  add_bar_cells();
  add_range_cells();
  add_image_and_label_cells();
  add_group_cells();
  add_snippet_cells();
  add_summary_cells();
  // Growing the model clears its found text, so the marks come once every row is there.
  cells->set_data(found_text_row, source_view4::found_items_column,
                  source_view4::found_items_t{{int(text_column), 7, 5, false},
                                              {int(text_column), 15, 5, true}});
}

void gallery_t::add_text_cells() {
  add_cell(L"text: normal", text, text_column, std::wstring(L"int main(int argc, char** argv)"));
  add_cell(L"text: active", text, text_column, std::wstring(L"selected row"), {true});
  add_cell(L"text: highlighted", text, text_column, std::wstring(L"highlighted row"),
           {false, true});
  add_cell(L"text: active, highlighted", text, text_column, std::wstring(L"both"), {true, true});
  add_cell(L"text: disabled", text, text_column, std::wstring(L"disabled cell"), {false, false, 2});
  add_cell(L"text: emphasised (cell flag 1)", text, text_column, std::wstring(L"emphasised cell"),
           {false, false, 1});
  found_text_row = cells->get_row_count();
  add_cell(L"text: found text, current hit", text, text_column,
           std::wstring(L"return value + value * 2;"));
  add_cell(L"text: too long for the cell", text, text_column,
           std::wstring(L"a line far too long for its cell ends with an ellipsis"));
}

void gallery_t::add_bar_cells() {
  const auto fraction = [](double v) { return source_view4::data_container_t<double>(v); };
  add_cell(L"bar: 0", bar, fraction_column, fraction(0.0));
  add_cell(L"bar: 0.5", bar, fraction_column, fraction(0.5));
  add_cell(L"bar: 1", bar, fraction_column, fraction(1.0));
  add_cell(L"bar: 2.5", bar, fraction_column, fraction(2.5));
  add_cell(L"bar: 0.5, active", bar, fraction_column, fraction(0.5), {true});
  add_cell(L"bar: 0.5, highlighted", bar, fraction_column, fraction(0.5), {false, true});
}

// The pieces of two ranges; the range painter carries its line colour from cell to cell, so the
// cell with a colour index outside the map shows the colour of the one before it.
void gallery_t::add_range_cells() {
  add_cell(L"range: start", range, range_column, range_t{range_t::first_row, L"loop", 0});
  add_cell(L"range: inner", range, range_column, range_t{range_t::inner_row, L"", 0});
  add_cell(L"range: end", range, range_column, range_t{range_t::last_row, L"", 0});
  add_cell(L"range: start, second colour, active", range, range_column,
           range_t{range_t::first_row, L"branch", 1}, {true});
  add_cell(L"range: start, index outside the map", range, range_column,
           range_t{range_t::first_row, L"unmapped", 9});
}

void gallery_t::add_image_and_label_cells() {
  add_cell(L"images: 0 1 2", images, icons_column, std::vector<int>{0, 1, 2});
  add_cell(L"images: 0 5 1 (5 is skipped)", images, icons_column, std::vector<int>{0, 5, 1});
  add_cell(L"images: active", images, icons_column, std::vector<int>{2, 1}, {true});
  const label_list_t list{{L"hot", L"cold", L"ok"}, {0, 2, 1}};
  add_cell(L"labels: normal", labels, labels_column, list);
  add_cell(L"labels: active", labels, labels_column, list, {true});
  add_cell(L"labels: highlighted", labels, labels_column, list, {false, true});
  add_cell(L"labels: disabled", labels, labels_column, list, {false, false, 2});
  add_cell(L"labels: narrow cell (shortened)", labels, labels_column,
           label_list_t{{L"much too long a label"}, {1}}, {}, narrow_cell_width);
}

// Flat rows 0 … 2 and 3 … 5 form two groups; the second is expanded, so the view rows are the
// first header (collapsed), the second header (expanded) and its members.
void gallery_t::add_group_cells() {
  const flat_model_t flat(new source_view4::data_model_t);
  flat->set_row_count(6);
  const wchar_t* texts[] = {L"parser.cpp (3 functions)", L"parse_line", L"parse_file",
                            L"lexer.cpp (2 functions)",  L"next_token", L"peek"};
  for (unsigned int row = 0; row < 6; ++row)
    flat->set_data(row, text_column, std::wstring(texts[row]));
  flat->set_highlighted(3, true);  // view row 3 once the second group is open
  utilkit2::smart_pointer_t<source_view4::hierarchical_data_model_t> grouped(
      new source_view4::hierarchical_data_model_t(flat));
  grouped->create_group(0, 2);
  grouped->create_group(3, 5);
  grouped->update_hierarchy();
  grouped->set_row_hierarchical_state(1, source_view4::row_state_expanded);
  const view_model_t view(grouped);
  add_view_cell(L"group: collapsed", group, flat, view, 0, text_column);
  add_view_cell(L"group: expanded", group, flat, view, 1, text_column);
  add_view_cell(L"group: member row", group, flat, view, 2, text_column);
  add_view_cell(L"group: member row, highlighted", group, flat, view, 3, text_column);
  add_view_cell(L"group: collapsed, active", group, flat, view, 0, text_column, {true});
}

// Row 0 is an expanded snippet row, row 1 a collapsed one, row 2 a plain row with a search hit.
void gallery_t::add_snippet_cells() {
  const flat_model_t flat(new source_view4::data_model_t);
  flat->set_row_count(3);
  const snippet_t value{
      L"total += weight(item);",
      {snippet_item_t{{L"  return w * 2;", L"called 12 times"}, L"weight(item)", 0, 1},
       snippet_item_t{{L"  return 0;"}, L"weight(empty)", 2, 2}}};
  flat->set_data(0, source_view4::snippet_column, value);
  flat->set_data(1, source_view4::snippet_column, value);
  flat->set_data(2, source_view4::snippet_column, snippet_t{L"weight = 0;", {}});
  flat->set_data(2, source_view4::found_items_column,
                 source_view4::found_items_t{{int(source_view4::snippet_column), 0, 6, true}});
  utilkit2::smart_pointer_t<source_view4::snippets_data_model_t> snippets(
      new source_view4::snippets_data_model_t(flat));
  snippets->create_group(0, 0);
  snippets->create_group(1, 0);
  const view_model_t view(snippets);
  const int lines = 6;  // the row's line, then 2 entries with 3 detail lines
  add_view_cell(L"snippet: collapsed", snippet, flat, view, 1, source_view4::snippet_column);
  add_view_cell(L"snippet: expanded", snippet, flat, view, 0, source_view4::snippet_column, {},
                lines);
  add_view_cell(L"snippet: expanded, additional flags 1", flagged_snippet, flat, view, 0,
                source_view4::snippet_column, {}, lines);
  add_view_cell(L"snippet: plain row, found text", snippet, flat, view, 2,
                source_view4::snippet_column);
  add_view_cell(L"snippet: plain row, active", snippet, flat, view, 2, source_view4::snippet_column,
                {true});
}

void gallery_t::add_summary_cells() {
  add_cell(L"summary: normal", summary, text_column, std::wstring(L"Total 1,024"));
  add_cell(L"summary: active, highlighted", summary, text_column, std::wstring(L"Total 1,024"),
           {true, true});
  add_cell(L"summary: disabled", summary, text_column, std::wstring(L"Total 1,024"),
           {false, false, 2});
}

void gallery_t::add_cell(const std::wstring& caption, base_painter_t& painter, unsigned int column,
                         const cell_value_t& value, cell_state_t state, int width) {
  const unsigned int row = cells->get_row_count();
  cells->set_row_count(row + 1);
  cells->set_data(row, column, value);
  cells->set_highlighted(row, state.highlighted);
  draw_cell_params_t params;
  params.row = row;
  params.column = column;
  params.data_model = cells;
  add_entry(caption, painter, params, state, 1, width);
}

void gallery_t::add_view_cell(const std::wstring& caption, base_painter_t& painter,
                              const flat_model_t& flat, const view_model_t& view,
                              unsigned int view_row, unsigned int column, cell_state_t state,
                              int lines) {
  draw_cell_params_t params;
  params.row = view_row;
  params.column = column;
  params.data_model = flat;
  params.hierarchical_model = view;
  add_entry(caption, painter, params, state, lines, 0);
}

void gallery_t::add_entry(const std::wstring& caption, base_painter_t& painter,
                          draw_cell_params_t params, cell_state_t state, int lines, int width) {
  params.active = state.active;
  params.cell_flags = state.cell_flags;
  params.line_height = unsigned(line_height);
  // Cells taller than one line end 4 pixels lower, so that the snippet frame keeps its margin.
  const int height = lines * line_height + (lines > 1 ? 4 : 0);
  entries.push_back({caption, &painter, params, height, width > 0 ? width : cell_width});
}

orrin7::size<int> gallery_t::get_image_size() const {
  int height = margin + title_height;
  for (const entry_t& entry : entries) height += entry.height + row_gap;
  return orrin7::size<int>(2 * panel_width, height + margin);
}

std::vector<cell_place_t> gallery_t::get_places() const {
  std::vector<cell_place_t> places;
  for (const bool dark : {false, true}) {
    const double left = panel_left(dark) + margin + caption_width;
    double top = margin + title_height;
    for (const entry_t& entry : entries) {
      places.push_back({entry.caption, dark, {left, top, left + entry.width, top + entry.height}});
      top += entry.height + row_gap;
    }
  }
  return places;
}

const std::vector<orrin7::_color>& gallery_t::get_range_colors() const {
  return range.get_color_map();
}

void gallery_t::render(orrin7::IPainter& painter) {
  orrin7::IPalette& palette = orrin7::GetSysPalette();
  const bool was_dark = palette.IsDark();
  painter.BeginPaint(0);
  for (const bool dark : {false, true}) {
    palette.UseDarkColors(dark);
    update_painter_colors();
    render_panel(painter, dark);
  }
  painter.EndPaint();
  palette.UseDarkColors(was_dark);
  update_painter_colors();
}

// A range painter's update refreshes only its outline and line colours: its text and background
// colours keep what the palette gave when it was made. A host that switches palettes makes its
// range painters anew, and so does the gallery, keeping the colour map.
void gallery_t::update_painter_colors() {
  for (base_painter_t* painter : std::initializer_list<base_painter_t*>{
           &text, &bar, &images, &labels, &group, &snippet, &flagged_snippet, &summary}) {
    painter->update_colors();
  }
  const std::vector<orrin7::_color> range_colors = range.get_color_map();
  range = source_view4::column_painters::range_painter_t();
  range.set_color_map(range_colors);
}

// The panel's background is the palette's empty area, its captions in the palette's text colour.
void gallery_t::render_panel(orrin7::IPainter& painter, bool dark) {
  const orrin7::IPalette& palette = orrin7::GetSysPalette();
  const double left = panel_left(dark);
  const orrin7::size<int> size = get_image_size();
  painter.SetBrush(orrin7::brush(palette.GetColor(orrin7::PAL_EmptyArea), 1));
  painter.FillRect(left, 0, left + panel_width, size.height);
  painter.SetTextColor(palette.GetColor(orrin7::PAL_Text));
  painter.SetFont(orrin7::font(0, 12, orrin7::FS_Bold));
  painter.DrawString(
      {left + margin, double(margin), left + panel_width - margin, double(margin + title_height)},
      dark ? L"Dark palette" : L"Light palette", caption_align, -1);
  std::vector<cell_place_t> places = get_places();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const entry_t& entry = entries[i];
    const orrin7::rectangle<double> cell = places[(dark ? entries.size() : 0) + i].rect;
    painter.SetFont(orrin7::GetDefaultGUIFont());
    painter.SetTextColor(palette.GetColor(orrin7::PAL_Text));
    painter.DrawString({left + margin, cell.top, cell.left - margin, cell.top + line_height},
                       entry.caption, caption_align, -1);
    draw_cell_params_t params = entry.params;
    params.painter = &painter;
    params.rect = cell;
    entry.painter->on_draw_cell(params);
  }
}

double gallery_t::panel_left(bool dark) const { return dark ? panel_width : 0; }

}  // namespace painter_gallery
