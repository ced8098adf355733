// The word-counting C program and its run counts, the cells each of its lines gets, generated
// source-like lines, and the icon images.
#include "program_model.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <vector>

#include "three_grids.h"

namespace source_grids {

namespace {

using source_view4::cell_value_t;
using source_view4::data_container_t;
using source_view4::data_model_found_item_t;
using source_view4::found_items_t;
using source_view4::label_list_t;
using source_view4::range_t;

// A run over three readable files of 4096 bytes, 700 words and 120 lines in all.
const program_line_t program[] = {
    {L"/* wc.c: counts the lines, words and bytes of the files it is given */", -1, nullptr, false},
    {L"#include <ctype.h>", -1, nullptr, false},
    {L"#include <stdio.h>", -1, nullptr, false},
    {L"", -1, nullptr, false},
    {L"struct counts {", -1, nullptr, false},
    {L"\tlong lines;", -1, nullptr, false},
    {L"\tlong words;", -1, nullptr, false},
    {L"\tlong bytes;", -1, nullptr, false},
    {L"};", -1, nullptr, false},
    {L"", -1, nullptr, false},
    {L"static void count_stream(FILE *in, struct counts *c)", 3, nullptr, false},
    {L"{", -1, nullptr, false},
    {L"\tint ch, in_word = 0;", 3, nullptr, false},
    {L"", -1, nullptr, false},
    {L"\twhile ((ch = getc(in)) != EOF) {", 4099, L"getc", false},
    {L"\t\tc->bytes++;", 4096, nullptr, false},
    {L"\t\tif (ch == '\\n')", 4096, nullptr, false},
    {L"\t\t\tc->lines++;", 120, nullptr, false},
    {L"\t\tif (isspace(ch)) {", 4096, L"isspace", false},
    {L"\t\t\tin_word = 0;", 2050, nullptr, false},
    {L"\t\t} else if (!in_word) {", 2046, nullptr, false},
    {L"\t\t\tin_word = 1;", 700, nullptr, false},
    {L"\t\t\tc->words++;", 700, nullptr, false},
    {L"\t\t}", -1, nullptr, false},
    {L"\t}", -1, nullptr, false},
    {L"}", 3, nullptr, false},
    {L"", -1, nullptr, false},
    {L"static void print_counts(const struct counts *c, const char *name)", 4, nullptr, false},
    {L"{", -1, nullptr, false},
    {L"\tprintf(\"%7ld %7ld %7ld %s\\n\", c->lines, c->words, c->bytes, name);", 4, L"printf",
     false},
    {L"}", 4, nullptr, false},
    {L"", -1, nullptr, false},
    {L"int main(int argc, char **argv)", 1, nullptr, false},
    {L"{", -1, nullptr, false},
    {L"\tstruct counts total = {0, 0, 0};", 1, nullptr, false},
    {L"\tint i;", -1, nullptr, false},
    {L"", -1, nullptr, false},
    {L"\tfor (i = 1; i < argc; i++) {", 4, nullptr, false},
    {L"\t\tstruct counts c = {0, 0, 0};", 3, nullptr, false},
    {L"\t\tFILE *in = fopen(argv[i], \"r\");", 3, L"fopen", false},
    {L"\t\tif (!in) {", 3, nullptr, false},
    {L"\t\t\tperror(argv[i]);", 0, L"perror", false},
    {L"\t\t\tcontinue;", 0, nullptr, false},
    {L"\t\t}", -1, nullptr, false},
    {L"\t\tcount_stream(in, &c);", 3, L"count_stream", true},
    {L"\t\tfclose(in);", 3, L"fclose", false},
    {L"\t\tprint_counts(&c, argv[i]);", 3, L"print_counts", true},
    {L"\t\ttotal.lines += c.lines;", 3, nullptr, false},
    {L"\t\ttotal.words += c.words;", 3, nullptr, false},
    {L"\t\ttotal.bytes += c.bytes;", 3, nullptr, false},
    {L"\t}", -1, nullptr, false},
    {L"\tif (argc > 2)", 1, nullptr, false},
    {L"\t\tprint_counts(&total, \"total\");", 1, L"print_counts", true},
    {L"\treturn 0;", 1, nullptr, false},
    {L"}", -1, nullptr, false},
};
constexpr unsigned int line_count = sizeof program / sizeof program[0];
constexpr int hottest_count = 4099;

// Lines of the program that brackets span: (first, last, text, colour index).
struct bracket_t {
  unsigned int first, last;
  const wchar_t* text;
  int color;
};
const bracket_t brackets[] = {{14, 24, L"while", 0}, {37, 50, L"for", 1}};

// The print function, shown as a group under its first line.
constexpr unsigned int group_first = 27, group_last = 30;

// The word the search found, and the row of its current hit.
const wchar_t* const found_word = L"in_word";
constexpr unsigned int current_hit_row = 20;

// Where a program line lies in the view of the program's first copy.
landmarks_t make_landmarks() {
  landmarks_t marks;
  marks.hottest = 14;
  marks.half_share = 19;
  marks.never_run = 41;
  marks.group = group_first;
  marks.link = 44;
  marks.plain_call = 45;
  marks.current_find = current_hit_row;
  marks.current = 22;
  return marks;
}

bool is_branch(const std::wstring& text) {
  return text.find(L"if (") != std::wstring::npos || text.find(L"while (") != std::wstring::npos ||
         text.find(L"for (") != std::wstring::npos;
}

std::vector<int> icons_of(const program_line_t& line) {
  std::vector<int> icons;
  if (is_branch(line.text)) icons.push_back(icon_branch);
  if (line.call) icons.push_back(icon_call);
  if (line.count == 0) icons.push_back(icon_cold);
  return icons;
}

// Labels of the lines that stand out: the hot loop, input and output, the error path.
label_list_t labels_of(const program_line_t& line) {
  label_list_t labels;
  if (line.count >= 4096) {
    labels.texts = {L"hot"};
    labels.image_indexes = {icon_call};
  } else if (line.call &&
             (std::wcscmp(line.call, L"fopen") == 0 || std::wcscmp(line.call, L"fclose") == 0)) {
    labels.texts = {L"io"};
    labels.image_indexes = {icon_cold};
  } else if (line.count == 0) {
    labels.texts = {L"cold", L"error"};
    labels.image_indexes = {icon_branch, icon_call};
  }
  return labels;
}

// The bracket piece of program line `index`; false (and no piece) where no bracket spans it.
bool bracket_piece(unsigned int index, range_t& piece) {
  for (const bracket_t& bracket : brackets) {
    if (index < bracket.first || index > bracket.last) continue;
    piece.position = index == bracket.first  ? range_t::first_row
                     : index == bracket.last ? range_t::last_row
                                             : range_t::inner_row;
    piece.text = bracket.text;
    piece.color_index = bracket.color;
    return true;
  }
  return false;
}

// A cheap, well mixed number of a row, so that generated lines differ from row to row.
std::uint32_t mix(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

// Everything a row shows besides its source text. The bar, icon, label and bracket painters read
// their own kind of value and nothing else, so those columns hold one in every row, empty where
// there is nothing to show. Links get the row as their id, so that no free id is searched for.
void fill_row(source_view4::data_model_t& model, unsigned int row) {
  const program_line_t& line = program[row % line_count];
  model.set_data(row, line_column, int(row + 1));
  range_t piece;
  bracket_piece(row % line_count, piece);
  model.set_data(row, scope_column, piece);
  model.set_data(row, icons_column, icons_of(line));
  model.set_data(row, labels_column, labels_of(line));
  const double share = line.count > 0 ? double(line.count) / hottest_count : 0.0;
  model.set_data(row, share_column, data_container_t<double>(share));
  if (line.count < 0) return;

  const unsigned int count = unsigned(line.count);
  model.set_data(row, count_column, count);
  model.set_data(row, address_column,
                 data_container_t<std::uint64_t>(0x555555554000ull + 0x14ull * row));
  if (count == 0) model.set_cell_flags(row, count_column, 2);     // disabled: never ran
  if (count >= 4096) model.set_cell_flags(row, count_column, 1);  // bold: the hot loop
  if (!line.call) return;
  model.set_data(row, calls_column, std::wstring(line.call));
  if (line.own_call) model.set_link(row, calls_column, row);
}

// Found items of every hit of the search word in the first copy's source text (tabs expanded,
// as the source column shows it).
void fill_found_items(source_view4::data_model_t& model) {
  const unsigned int rows = std::min(model.get_row_count(), line_count);
  const int length = int(std::wcslen(found_word));
  for (unsigned int row = 0; row < rows; ++row) {
    const std::wstring text = model.get_text_data(row, source_view4::source_column);
    found_items_t items;
    for (std::size_t at = text.find(found_word); at != std::wstring::npos;
         at = text.find(found_word, at + std::size_t(length))) {
      items.push_back({int(source_view4::source_column), int(at), length,
                       row == current_hit_row && items.empty()});
    }
    if (!items.empty()) model.set_data(row, source_view4::found_items_column, items);
  }
}

void fill_summary(source_view4::data_model_t& model, unsigned int rows) {
  unsigned long long total = 0, calls = 0, executable = 0, never = 0;
  for (unsigned int i = 0; i < line_count; ++i) {
    const unsigned long long copies = rows / line_count + (i < rows % line_count ? 1 : 0);
    if (program[i].count >= 0) {
      total += copies * unsigned(program[i].count);
      executable += copies;
    }
    if (program[i].count == 0) never += copies;
    if (program[i].call) calls += copies;
  }
  model.set_summary_data(line_column, rows);
  model.set_summary_data(count_column, unsigned(std::min(total, 0xFFFFFFFFull)));
  model.set_summary_data(share_column, data_container_t<double>(1.0));
  model.set_summary_data(calls_column, std::to_wstring(calls) + L" calls");
  model.set_summary_data(source_view4::source_column,
                         L"wc.c, " + std::to_wstring(rows) + L" lines: " +
                             std::to_wstring(executable) + L" with code, " +
                             std::to_wstring(never) + L" never run");
}

}  // namespace

unsigned int program_line_count() { return line_count; }
const program_line_t& program_line(unsigned int index) { return program[index % line_count]; }
landmarks_t program_landmarks() { return make_landmarks(); }

void fill_program_model(source_view4::data_model_t& model, const options_t& options) {
  model.begin_update();
  model.clear();
  model.set_row_count(options.rows);
  for (unsigned int row = 0; row < options.rows; ++row) {
    model.set_source(row, options.generated_text ? generated_line(row)
                                                 : std::wstring(program[row % line_count].text));
    fill_row(model, row);
  }
  if (!options.generated_text) fill_found_items(model);
  const unsigned int hottest = make_landmarks().hottest;
  if (hottest < options.rows) model.set_highlighted(hottest, true);
  fill_summary(model, options.rows);
  model.end_update();
}

std::wstring generated_line(unsigned int row) {
  static const wchar_t* const words[] = {
      L"count",  L"=",      L"buffer[i]", L"+",     L"1;",    L"if",      L"(value",    L"!=",
      L"NULL)",  L"total",  L"+=",        L"size;", L"while", L"(next)",  L"return",    L"result;",
      L"struct", L"node",   L"*next",     L"->",    L"left",  L"right",   L"for",       L"(i",
      L"<",      L"limit;", L"i++)",      L"{",     L"}",     L"printf(", L"\"%d\\n\"", L"x);"};
  constexpr unsigned int word_count = sizeof words / sizeof words[0];
  std::uint32_t seed = mix(row * 2654435761u + 12345u);
  const std::size_t target = 20 + seed % 61;  // 20 … 80 characters
  std::wstring line(std::size_t(mix(seed) % 4), L'\t');
  while (line.size() < target) {
    seed = mix(seed + 1);
    if (line.size() > 0 && line.back() != L'\t') line += L' ';
    line += words[seed % word_count];
  }
  line.resize(target);
  return line;
}

orrin7::orrin_ptr<orrin7::IImageList> make_icons() {
  constexpr int size = 12;
  const auto icon = [](int shape, std::uint32_t rgb) {
    orrin7::bitmap image;
    image.width = image.height = size;
    image.pixels.assign(std::size_t(size * size), 0u);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const double dx = x + 0.5 - size / 2.0, dy = y + 0.5 - size / 2.0;
        const bool inside = shape == icon_call     ? dx * dx + dy * dy <= 25.0
                            : shape == icon_branch ? x > 1 && y > 1 && x < size - 2 && y < size - 2
                                                   : y > 0 && std::abs(dx) <= (y + 1) / 2.0;
        if (inside) image.pixels[std::size_t(y * size + x)] = 0xFF000000u | rgb;
      }
    }
    return image;
  };
  orrin7::orrin_ptr<orrin7::IImageList> list =
      orrin7::GetCurrentSystem()->CreateImageList(size, size);
  list->Add(icon(icon_call, 0xD03030));
  list->Add(icon(icon_branch, 0x30A040));
  list->Add(icon(icon_cold, 0x3060D0));
  return list;
}

}  // namespace source_grids
