// Input kinds by content first, by file name second, and the importer each one goes through.
#include "load.h"

#include "callgrind_view.h"
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

// The profile (read once, then kept in the request) and the view of one of its files.
view_description_t load_callgrind(load_request_t& request, source_view4::data_model_t& model) {
  request.format = input_format_t::callgrind;
  request.profile = callgrind_profile_of(request);
  callgrind_view_request_t view_request;
  view_request.input = request.path;
  view_request.file_name = request.file_name;
  view_request.events = request.events;
  view_request.source_dirs = request.source_dirs;
  std::size_t slash = request.path.rfind('/');
  view_request.profile_dir = slash == std::string::npos ? "." : request.path.substr(0, slash);
  view_request.mode = request.mode;
  return fill_callgrind_view(*request.profile, view_request, model);
}

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
  else if (name == "callgrind")
    format = input_format_t::callgrind;
  else if (name == "source")
    format = input_format_t::source;
  else
    return false;
  return true;
}

input_format_t detect_format(const std::string& path, const std::string& bytes) {
  if (looks_like_gcov_json(bytes)) return input_format_t::gcov_json;
  if (looks_like_gcov_text(bytes)) return input_format_t::gcov;
  if (looks_like_callgrind(bytes)) return input_format_t::callgrind;
  if (looks_like_tsv(bytes)) return input_format_t::tsv;
  if (ends_with(path, ".gcov")) return input_format_t::gcov;
  if (ends_with(path, ".json") || ends_with(path, ".json.gz")) return input_format_t::gcov_json;
  if (ends_with(path, ".tsv")) return input_format_t::tsv;
  if (path.substr(path.rfind('/') + 1).rfind("callgrind.out", 0) == 0)
    return input_format_t::callgrind;
  return input_format_t::source;
}

std::shared_ptr<const callgrind_profile_t> callgrind_profile_of(const load_request_t& request) {
  if (request.profile) return request.profile;
  std::vector<std::string> paths{request.path};
  paths.insert(paths.end(), request.more_paths.begin(), request.more_paths.end());
  return std::make_shared<const callgrind_profile_t>(read_callgrind(paths));
}

namespace {

void report_progress(const load_request_t& request, std::uint64_t done, std::uint64_t total) {
  if (request.progress) request.progress(done, total);
}

view_description_t load_bytes(load_request_t& request, input_format_t format, std::string& bytes,
                              source_view4::data_model_t& model) {
  if (format == input_format_t::automatic) format = detect_format(request.path, bytes);
  if (format != input_format_t::callgrind && !request.more_paths.empty())
    throw import_error(request.more_paths.front(), 0,
                       "only callgrind profiles are summed; other inputs come one at a time");
  switch (format) {
    case input_format_t::callgrind:
      release(bytes);
      return load_callgrind(request, model);
    case input_format_t::gcov: {
      file_coverage_t coverage = parse_gcov_text(request.path, bytes);
      release(bytes);
      return fill_coverage_view(coverage, request.mode, model);
    }
    case input_format_t::gcov_json: {
      std::string dir = request.source_dirs.empty() ? std::string() : request.source_dirs.front();
      file_coverage_t coverage = parse_gcov_json(request.path, bytes, request.file_name, dir);
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

}  // namespace

view_description_t load_view(load_request_t& request, source_view4::data_model_t& model) {
  input_format_t format = request.format;
  std::string bytes;
  // A profile already read needs neither its bytes nor a look at them.
  if (!request.profile || format != input_format_t::callgrind) bytes = read_input(request.path);
  const std::uint64_t size = bytes.size();
  report_progress(request, 0, size);
  view_description_t view = load_bytes(request, format, bytes, model);
  report_progress(request, size, size);
  return view;
}

}  // namespace source_view_app
