// Choosing the importer for an input (from its content, or as forced) and filling the model.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "callgrind.h"
#include "source_view4/data_model.h"
#include "view_data.h"

namespace source_view_app {

enum class input_format_t { automatic, source, gcov, gcov_json, tsv, callgrind };

struct load_request_t {
  std::string path;
  std::vector<std::string> more_paths;  // callgrind: further profiles summed with the first
  input_format_t format = input_format_t::automatic;
  view_mode_t mode = view_mode_t::flat;
  std::string file_name;                 // gcov JSON, callgrind: which file of the input
  std::string source_path;               // TSV: the source the table describes
  std::vector<std::string> source_dirs;  // gcov JSON (the first), callgrind: where sources are
  std::vector<std::string> events;       // callgrind: the event columns; empty for all
  // callgrind: the profile once read, so that showing another of its files or mode does not read
  // it again; load_view sets it, a reload clears it.
  std::shared_ptr<const callgrind_profile_t> profile;
  // Called as the input is read, with the bytes read so far and the input's size: (0, size) at
  // the start, then now and then, and (size, size) once it is read. May be empty.
  std::function<void(std::uint64_t done, std::uint64_t total)> progress;
};

// "gcov", "json", "tsv", "callgrind", "source" (and "auto"); false for anything else.
bool parse_format_name(const std::string& name, input_format_t& format);

// The format of the bytes of `path`: gcov JSON, gcov text, callgrind, TSV by content, else by the
// name (extension, or callgrind.out.*), else a plain source.
input_format_t detect_format(const std::string& path, std::string_view bytes);

// Reads the input and fills `model`; throws import_error for bad input. A callgrind profile read
// is kept in request.profile.
view_description_t load_view(load_request_t& request, viewer_model_t& model);

// The profiles of a callgrind request, summed (request.profile when it is set).
std::shared_ptr<const callgrind_profile_t> callgrind_profile_of(const load_request_t& request);

}  // namespace source_view_app
