// A source file shown in a source view element with made-up per-line data: counts, their share
// as bars, labels, a range over the first block, a group per function-like block, snippets, and
// a found word.
#pragma once

#include <string>
#include <vector>

#include "source_view4/source_view_element.h"

namespace source_view_example {

enum class mode_t { flat, groups, snippets };

// Reads `path` (UTF-8, invalid bytes as U+FFFD) into lines; false with `error` set when it
// cannot be read.
bool read_lines(const std::string& path, std::vector<std::wstring>& lines, std::string& error);

// Fills the view's model and columns with `lines` and their data, in `mode`; `word` is marked
// wherever it occurs in the source.
void show(source_view4::source_view_element_t& view, const std::vector<std::wstring>& lines,
          mode_t mode, const std::wstring& word);

}  // namespace source_view_example
