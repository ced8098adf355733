// Choosing the importer for an input (from its content, or as forced) and filling the model.
#pragma once
#include <string>

#include "source_view4/data_model.h"
#include "view_data.h"

namespace source_view_app {

enum class input_format_t { automatic, source, gcov, gcov_json, tsv };

struct load_request_t {
  std::string path;
  input_format_t format = input_format_t::automatic;
  view_mode_t mode = view_mode_t::flat;
  std::string file_name;    // gcov JSON: which file of the document
  std::string source_path;  // TSV: the source the table describes
  std::string source_dir;   // gcov JSON: where the sources are
};

// "gcov", "json", "tsv", "source" (and "auto"); false for anything else.
bool parse_format_name(const std::string& name, input_format_t& format);

// The format of the bytes of `path`: gcov JSON, gcov text, TSV by content, else by the name's
// extension, else a plain source.
input_format_t detect_format(const std::string& path, const std::string& bytes);

// Reads the input and fills `model`; throws import_error for bad input.
view_description_t load_view(const load_request_t& request, source_view4::data_model_t& model);

}  // namespace source_view_app
