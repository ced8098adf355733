// The element's text export: caption and row lines of the three grids joined by tabs, rows by
// CR LF, onto the clipboard service of the drawing library.
#include "cell_data/large_pages.h"
#include "orrin7/system.h"
#include "orrinfrw7/selection_model.h"
#include "source_view4/source_view_element.h"

namespace source_view4 {

namespace {

// Appends `piece` after `separator`, the separator only when something came before: empty
// pieces at the start leave no separator behind them, later ones do.
void join(std::wstring& text, const std::wstring& piece, const wchar_t* separator) {
  if (!text.empty()) text += separator;
  text += piece;
}

// Calls `visit` with each model column of the grid in the order its header shows them, hidden
// columns left out.
template <class Visit>
void for_each_shown_column(const source_view_grid_base_t& grid, Visit visit) {
  orrinfrw7::CHeader* header = grid.get_header_element();
  const int shown = header->GetColumnViewModel()->GetCount();
  for (int position = 0; position < shown; ++position) {
    const int column = header->VisibleIndex2ModelIndex(position);
    if (column >= 0) visit(unsigned(column));
  }
}

// Gives the export text room for all `rows` at the average length of the first sample_rows rows,
// on large pages: a million rows are hundreds of megabytes, written once.
constexpr std::size_t sample_rows = 64;

void reserve_export(std::wstring& text, std::size_t rows) {
  text.reserve(text.size() / sample_rows * rows * 11 / 10 + 2);
  large_pages::advise(text.data(), text.capacity() * sizeof(wchar_t));
}

}  // namespace

std::vector<const source_view_grid_base_t*> source_view_element_t::export_grids() const {
  return {left_grid.get(), center_grid.get(), right_grid.get()};
}

std::wstring source_view_element_t::get_header_line_text() const {
  std::wstring line;
  for (const source_view_grid_base_t* grid : export_grids()) {
    auto* captions = const_cast<source_view_grid_base_t*>(grid);
    for_each_shown_column(
        *grid, [&](unsigned int column) { join(line, captions->get_caption(column), L"\t"); });
  }
  return line;
}

// Reads the element's model through the common model interface, so that a host's own model
// class exports as well as a data_model_t.
void source_view_element_t::get_full_line_text(unsigned int row, std::wstring& text) const {
  text.clear();
  for (const source_view_grid_base_t* grid : export_grids()) {
    for_each_shown_column(*grid, [&](unsigned int column) {
      join(text, custom_model->get_text_data(row, grid->get_column_data_id(column)), L"\t");
    });
  }
}

// Lines are written straight into the text, which is given its estimated size once a few rows
// have shown their average length: copying a million rows then moves no text around.
std::wstring source_view_element_t::export_rows(const std::vector<unsigned int>& rows) const {
  std::wstring text;
  if (get_header_visible()) text = get_header_line_text();
  std::wstring line;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    get_full_line_text(rows[i], line);
    join(text, line, L"\r\n");
    if (i + 1 == sample_rows && rows.size() > sample_rows) reserve_export(text, rows.size());
  }
  text += L"\r\n";
  return text;
}

void source_view_element_t::put_on_clipboard(std::wstring&& text) const {
  orrin7::GetCurrentSystem()->GetClipboardService()->TakeText(std::move(text));
}

void source_view_element_t::copy_to_clipboard(const std::vector<unsigned int>& rows) const {
  put_on_clipboard(export_rows(rows));
}

void source_view_element_t::copy_to_clipboard() const { put_on_clipboard(HandleAsString()); }

std::wstring source_view_element_t::HandleAsString() const {
  const unsigned int count = custom_model ? custom_model->get_row_count() : 0;
  std::vector<unsigned int> rows(count);
  for (unsigned int row = 0; row < count; ++row) rows[row] = row;
  return export_rows(rows);
}

bool source_view_element_t::HandleCopyToClipboard() const {
  const std::vector<unsigned int> selected = get_selection();
  if (selected.empty()) {
    put_on_clipboard(HandleAsString());
  } else {
    copy_to_clipboard(selected);
  }
  return true;
}

bool source_view_element_t::IsCopyToClipboardEnabled() const { return true; }

}  // namespace source_view4
