// Input kinds by content first, by file name second, and the importer each one goes through.
#include "load.h"

#include <sys/stat.h>

#include <algorithm>

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
bool looks_like_tsv(std::string_view bytes) {
  std::string_view first = bytes.substr(0, bytes.find('\n'));
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  if (first.find('\t') == std::string_view::npos) return false;
  std::string padded = "\t" + std::string(first) + "\t";
  return padded.find("\tline\t") != std::string::npos;
}

// The input being read: its pages are given back behind the reader, and the request's progress
// callback hears how far it has got.
class reading_t final : public read_observer_t {
 public:
  explicit reading_t(const load_request_t& request)
      : m_request(request), m_bytes(request.path), m_size(m_bytes.text().size()) {
    report(0);
  }
  ~reading_t() { report(m_size); }
  reading_t(const reading_t&) = delete;
  reading_t& operator=(const reading_t&) = delete;

  std::string_view text() const { return m_bytes.text(); }
  void reached(std::size_t offset) override {
    m_bytes.release_before(offset);
    report(offset);
  }

 private:
  void report(std::uint64_t done) const {
    if (m_request.progress) m_request.progress(done, m_size);
  }

  const load_request_t& m_request;
  input_bytes_t m_bytes;
  std::uint64_t m_size;
};

// Progress over the profiles of a callgrind request, all of them together, against the sum of
// their sizes on disk.
class profiles_progress_t final : public read_observer_t {
 public:
  profiles_progress_t(const load_request_t& request, const std::vector<std::string>& paths)
      : m_request(request) {
    for (const std::string& path : paths) {
      struct stat info {};
      if (stat(path.c_str(), &info) == 0) m_total += std::uint64_t(info.st_size);
    }
  }
  void reached(std::size_t offset) override {
    if (m_request.progress) m_request.progress(std::min<std::uint64_t>(offset, m_total), m_total);
  }

 private:
  const load_request_t& m_request;
  std::uint64_t m_total = 0;
};

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

input_format_t detect_format(const std::string& path, std::string_view bytes) {
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
  profiles_progress_t progress(request, paths);
  return std::make_shared<const callgrind_profile_t>(read_callgrind(paths, &progress));
}

view_description_t load_view(load_request_t& request, viewer_model_t& model) {
  input_format_t format = request.format;
  // A profile already read needs neither its bytes nor a look at them.
  if (request.profile && format == input_format_t::callgrind) return load_callgrind(request, model);
  reading_t input(request);
  if (format == input_format_t::automatic) format = detect_format(request.path, input.text());
  if (format != input_format_t::callgrind && !request.more_paths.empty())
    throw import_error(request.more_paths.front(), 0,
                       "only callgrind profiles are summed; other inputs come one at a time");
  switch (format) {
    case input_format_t::callgrind:
      return load_callgrind(request, model);
    case input_format_t::gcov:
      return fill_coverage_view(parse_gcov_text(request.path, input.text(), &input), request.mode,
                                model);
    case input_format_t::gcov_json: {
      std::string dir = request.source_dirs.empty() ? std::string() : request.source_dirs.front();
      return fill_coverage_view(
          parse_gcov_json(request.path, input.text(), request.file_name, dir, &input), request.mode,
          model);
    }
    case input_format_t::tsv: {
      tsv_table_t table = parse_tsv(request.path, input.text(), &input);
      source_text_t source;
      if (!request.source_path.empty()) source = read_source_lines(request.source_path);
      return fill_table_view(table, source, model);
    }
    case input_format_t::source:
    case input_format_t::automatic:
      break;
  }
  check_not_binary(request.path, input.text());
  view_description_t view = fill_plain_view(source_lines_of(input.text(), &input), model);
  view.title = request.path;
  return view;
}

}  // namespace source_view_app
