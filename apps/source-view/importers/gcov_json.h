// Reader of gcov's JSON output (`gcov --json-format`, .gcov.json.gz or plain): every file of the
// document with its functions and line counts; the source text is read from disk.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "coverage.h"
#include "input_file.h"

namespace source_view_app {

struct gcov_json_file_t {
  std::string name;  // as the JSON gives it
  coverage_totals_t totals;
  bool executed = false;  // some line ran
};

struct gcov_json_t {
  std::string input_path;
  std::string working_directory;  // current_working_directory of the run
  std::vector<gcov_json_file_t> files;
};

// The document's files (what --list shows). Throws import_error for text that is not JSON (with
// its line) or a document that does not have gcov's shape (naming the member at fault).
gcov_json_t list_gcov_json(const std::string& path, std::string_view text);

// One file of the document, chosen by name (its path as given, or a suffix of it such as the
// base name); an empty name chooses the first file with executed lines (else the first file).
// The source is read from `source_dir` when given, else relative to the run's working
// directory. Throws import_error for an unknown name, a missing source and lines past its end.
// `observer`, when given, is told how far the reading has got.
file_coverage_t parse_gcov_json(const std::string& path, std::string_view text,
                                const std::string& file_name, const std::string& source_dir,
                                read_observer_t* observer = nullptr);

bool looks_like_gcov_json(std::string_view text);

}  // namespace source_view_app
