// Reader of gcov's text output (.gcov files from `gcov`, `gcov -b -c`, `gcov -H`): counts,
// header lines, functions, branches, calls and per-instantiation sections.
#pragma once
#include <string>
#include <string_view>

#include "coverage.h"
#include "input_file.h"

namespace source_view_app {

// Reads the text of a .gcov file named `path` (the name is used in messages only). The source
// lines are taken from the listing itself. Throws import_error at the first line that is not
// gcov output. `observer`, when given, is told how far the reading has got.
file_coverage_t parse_gcov_text(const std::string& path, std::string_view text,
                                read_observer_t* observer = nullptr);

// True when the text starts the way gcov listings do ("        -:    0:Source:...").
bool looks_like_gcov_text(std::string_view text);

}  // namespace source_view_app
