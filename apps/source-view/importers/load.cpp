// Input kinds by content first, by file name second, and the importer each one goes through.
#include "load.h"

#include "gcov_json.h"
#include "gcov_text.h"
#include "import_error.h"
#include "input_file.h"
#include "tsv.h"

namespace source_view_app {

namespace {

bool ends_with(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// A header row of tab-separated names, one of them "line".
bool looks_like_tsv(const std::string& bytes) {
  std::string first = bytes.substr(0, bytes.find('\n'));
  if (!first.empty() && first.back() == '\r') first.pop_back();
  if (first.find('\t') == std::string::npos) return false;
  std::string padded = "\t" + first + "\t";
  return padded.find("\tline\t") != std::string::npos;
}

// The input's bytes are not needed once parsed; the model is filled without them.
void release(std::string& bytes) { std::string().swap(bytes); }

}  // namespace

bool parse_format_name(const std::string& name, input_format_t& format) {
  if (name == "auto")
    format = input_format_t::automatic;
  else if (name == "gcov")
    format = input_format_t::gcov;
  else if (name == "json")
    format = input_format_t::gcov_json;
  else if (name == "tsv")
    format = input_format_t::tsv;
  else if (name == "source")
    format = input_format_t::source;
  else
    return false;
  return true;
}

input_format_t detect_format(const std::string& path, const std::string& bytes) {
  if (looks_like_gcov_json(bytes)) return input_format_t::gcov_json;
  if (looks_like_gcov_text(bytes)) return input_format_t::gcov;
  if (looks_like_tsv(bytes)) return input_format_t::tsv;
  if (ends_with(path, ".gcov")) return input_format_t::gcov;
  if (ends_with(path, ".json") || ends_with(path, ".json.gz")) return input_format_t::gcov_json;
  if (ends_with(path, ".tsv")) return input_format_t::tsv;
  return input_format_t::source;
}

view_description_t load_view(const load_request_t& request, source_view4::data_model_t& model) {
  std::string bytes = read_input(request.path);
  input_format_t format = request.format;
  if (format == input_format_t::automatic) format = detect_format(request.path, bytes);
  switch (format) {
    case input_format_t::gcov: {
      file_coverage_t coverage = parse_gcov_text(request.path, bytes);
      release(bytes);
      return fill_coverage_view(coverage, request.mode, model);
    }
    case input_format_t::gcov_json: {
      file_coverage_t coverage =
          parse_gcov_json(request.path, bytes, request.file_name, request.source_dir);
      release(bytes);
      return fill_coverage_view(coverage, request.mode, model);
    }
    case input_format_t::tsv: {
      tsv_table_t table = parse_tsv(request.path, bytes);
      std::vector<std::string> source;
      if (!request.source_path.empty()) source = read_source_lines(request.source_path);
      return fill_table_view(table, source, model);
    }
    case input_format_t::source:
    case input_format_t::automatic:
      break;
  }
  check_not_binary(request.path, bytes);
  view_description_t view = fill_plain_view(read_source_lines(request.path), model);
  view.title = request.path;
  return view;
}

}  // namespace source_view_app
