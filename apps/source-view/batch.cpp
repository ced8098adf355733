// Batch runs: the element lives in the headless control, which renders it to files; --text and
// --list print to stdout.
#include "batch.h"

#include <cstdio>
#include <iostream>

#include <unistd.h>

#include "callgrind_view.h"
#include "gcov_json.h"
#include "import_error.h"
#include "input_file.h"
#include "orrin7/system.h"
#include "orrinfrw7/offscreen_control.h"
#include "progress.h"
#include "session.h"

namespace source_view_app {

namespace {

// Each file of the summed profiles with its self cost per event, the costliest first.
int list_profile_files(const load_request_t& request) {
  auto profile = callgrind_profile_of(request);
  std::vector<std::size_t> events = choose_events(*profile, request.events, request.path);
  for (const callgrind_file_cost_t& file : callgrind_file_costs(*profile, events)) {
    std::string line = file.name;
    for (std::size_t k = 0; k < events.size(); ++k)
      line += "\t" + profile->events[events[k]] + " " + std::to_string(file.costs[k]);
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

int list_files(const options_t& options) {
  const std::string& path = options.load.path;
  std::string bytes = read_input(path);
  input_format_t format = options.load.format;
  if (format == input_format_t::automatic) format = detect_format(path, bytes);
  if (format == input_format_t::callgrind) return list_profile_files(options.load);
  gcov_json_t doc = list_gcov_json(path, bytes);
  for (const gcov_json_file_t& file : doc.files) {
    std::string line = file.name + "\tlines " +
                       format_ratio(file.totals.lines_executed, file.totals.lines_executable) +
                       "\tbranches " +
                       format_ratio(file.totals.branches_taken, file.totals.branches_total);
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

// The export's lines end in CR LF (the clipboard's convention); a terminal wants LF.
void print_text(const std::wstring& text) {
  std::string out = narrow(text);
  std::size_t kept = 0;  // the CR of each CR LF is dropped in place
  for (std::size_t i = 0; i < out.size(); ++i)
    if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) out[kept++] = out[i];
  std::fwrite(out.data(), 1, kept, stdout);
}

bool save(orrinfrw7::COffscreenControl& control, const options_t& options) {
  struct output_t {
    const std::string& path;
    bool (orrinfrw7::COffscreenControl::*write)(const std::string&, std::string*);
  };
  const output_t outputs[] = {{options.png, &orrinfrw7::COffscreenControl::SavePng},
                              {options.pdf, &orrinfrw7::COffscreenControl::SavePdf},
                              {options.svg, &orrinfrw7::COffscreenControl::SaveSvg}};
  for (const output_t& output : outputs) {
    if (output.path.empty()) continue;
    std::string error;
    if (!(control.*output.write)(output.path, &error)) {
      std::fprintf(stderr, "source-view: cannot write %s: %s\n", output.path.c_str(),
                   error.c_str());
      return false;
    }
    std::fprintf(stderr, "source-view: wrote %s\n", output.path.c_str());
  }
  return true;
}

}  // namespace

void place_view(session_t& session, int width, const options_t& options) {
  (void)width;
  if (!options.find.empty()) session.find(widen(options.find));
  if (options.line != 0 || options.find.empty() || session.match_count() == 0)
    session.go_to_start(options.line);
}

int run_batch(const options_t& options) {
  try {
    if (options.list) return list_files(options);
    orrin7::GetSysPalette().UseDarkColors(options.theme == theme_t::dark);
    orrinfrw7::COffscreenControl control(options.width, options.height);
    auto* element = new viewer_element_t(control.GetRoot(), {options.width, options.height},
                                         orrinfrw7::AL_Client);
    control.CompleteAttach();
    control.SysColorsChanged();
    stderr_progress_t progress(options.load.path, progress_delay(), isatty(STDERR_FILENO) != 0);
    session_t session(*element);
    load_request_t request = options.load;
    request.progress = [&progress](std::uint64_t done, std::uint64_t total) {
      progress.on_progress(done, total);
    };
    session.open(request);
    if (session.view().line_count() < options.line)
      throw import_error(options.load.path, 0,
                         "--line " + std::to_string(options.line) + " is past the end (" +
                             std::to_string(session.view().line_count()) + " lines)");
    place_view(session, options.width, options);
    if (options.text) print_text(element->export_text());
    return save(control, options) ? 0 : 1;
  } catch (const import_error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

}  // namespace source_view_app
