// Command-line parsing for source-view: "--name value" and "--name=value", one input path.
#include "options.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace source_view_app {

namespace {

bool parse_size(const std::string& text, int& width, int& height) {
  char* end = nullptr;
  long w = std::strtol(text.c_str(), &end, 10);
  if (end == text.c_str() || *end != 'x') return false;
  char* rest = nullptr;
  long h = std::strtol(end + 1, &rest, 10);
  if (rest == end + 1 || *rest != '\0' || w < 100 || h < 100 || w > 16384 || h > 16384)
    return false;
  width = int(w);
  height = int(h);
  return true;
}

bool parse_line(const std::string& text, unsigned& line) {
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value == 0 || value > 0x7FFFFFFF || text[0] == '-')
    return false;
  line = unsigned(value);
  return true;
}

bool parse_mode(const std::string& text, view_mode_t& mode) {
  if (text == "flat")
    mode = view_mode_t::flat;
  else if (text == "functions")
    mode = view_mode_t::functions;
  else if (text == "snippets")
    mode = view_mode_t::snippets;
  else
    return false;
  return true;
}

// The non-empty pieces of `text` between `separator`s.
std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t end; start <= text.size(); start = end + 1) {
    end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    if (end > start) pieces.push_back(text.substr(start, end - start));
  }
  return pieces;
}

// Applies "--name value"; false with `error` set for an unknown name or a bad value.
bool apply(const std::string& name, const std::string& value, options_t& o, std::string& error) {
  auto bad = [&](const char* what) {
    error = "--" + name + ": " + what + " (got '" + value + "')";
    return false;
  };
  if (name == "png")
    o.png = value;
  else if (name == "pdf")
    o.pdf = value;
  else if (name == "svg")
    o.svg = value;
  else if (name == "size") {
    if (!parse_size(value, o.width, o.height)) return bad("expected WxH, 100 to 16384 each");
  } else if (name == "line") {
    if (!parse_line(value, o.line)) return bad("expected a line number from 1");
  } else if (name == "find")
    o.find = value;
  else if (name == "theme") {
    if (value != "light" && value != "dark") return bad("expected light or dark");
    o.theme = value == "dark" ? theme_t::dark : theme_t::light;
  } else if (name == "mode") {
    if (!parse_mode(value, o.load.mode)) return bad("expected flat, functions or snippets");
  } else if (name == "format") {
    if (!parse_format_name(value, o.load.format))
      return bad("expected auto, gcov, json, tsv, callgrind or source");
  } else if (name == "file")
    o.load.file_name = value;
  else if (name == "source")
    o.load.source_path = value;
  else if (name == "source-dir") {
    // Repeated, or several joined by colons as in a search path.
    for (const std::string& dir : split(value, ':')) o.load.source_dirs.push_back(dir);
  } else if (name == "events") {
    o.load.events = split(value, ',');
    if (o.load.events.empty()) return bad("expected event names such as Ir,Dr");
  } else {
    error = "unknown option --" + name + " (see --help)";
    return false;
  }
  return true;
}

bool is_flag(const std::string& name, options_t& o) {
  if (name == "text") return o.text = true;
  if (name == "list") return o.list = true;
  if (name == "help") return o.help = true;
  if (name == "version") return o.version = true;
  return false;
}

}  // namespace

bool parse_options(int argc, char** argv, options_t& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h") arg = "--help";
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      // Several inputs are profiles to sum; the importer refuses them for other kinds.
      if (!o.load.path.empty())
        o.load.more_paths.push_back(arg);
      else
        o.load.path = arg;
      continue;
    }
    std::string name = arg.substr(2), value;
    std::size_t eq = name.find('=');
    bool inline_value = eq != std::string::npos;
    if (inline_value) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    if (!inline_value && is_flag(name, o)) continue;
    if (!inline_value) {
      if (i + 1 >= argc) {
        error = "--" + name + " needs a value (see --help)";
        return false;
      }
      value = argv[++i];
    }
    if (!apply(name, value, o, error)) return false;
  }
  if (o.load.path.empty() && !o.help && !o.version) {
    error = "no input file (see --help)";
    return false;
  }
  return true;
}

const char* usage_text() {
  return R"(usage: source-view [OPTIONS] FILE [PROFILE...]

Shows a source file with per-line data: gcov coverage (text .gcov, or JSON from
gcov --json-format, gzip-compressed or plain), valgrind callgrind profiles,
tab-separated data (.tsv), or a plain source. The kind of FILE is found from its
content. Several callgrind profiles given together are summed.

Input:
  --format auto|gcov|json|tsv|callgrind|source   read FILE as this kind
  --file NAME          gcov JSON, callgrind: the file to show (default: the first
                       file with executed lines; the costliest file of a profile)
  --list               gcov JSON: print every file with its line and branch
                       coverage; callgrind: every file with its self cost per
                       event, costliest first; then exit
  --source PATH        TSV: the source file the table describes
  --source-dir DIR     gcov JSON, callgrind: read sources from DIR (repeat it,
                       or join folders with ':'); a profile's sources are looked
                       for at their own path first
  --events E1,E2       callgrind: the event columns, in this order (default:
                       every event of the profile)

View:
  --mode flat|functions|snippets   flat lines, lines grouped per function, or
                       each line's branch, call and instantiation details (the
                       functions each line calls, for a profile)
  --line N             centre line N (default: the first unexecuted line; the
                       costliest line of a profile)
  --find TEXT          mark every match of TEXT in the source
  --theme light|dark   colours of the view

Batch output (no display needed):
  --png OUT, --pdf OUT, --svg OUT   render the view into OUT and exit
  --size WxH           size of the rendered view in pixels (default 1200x800)
  --text               print the view as tab-separated text (caption line and
                       every row) and exit

  --help               this text
  --version            the program's version

Window keys: Ctrl+F find (F3 / Shift+F3 next and previous match), Ctrl+G go to
line, Ctrl+Down / Ctrl+Up next and previous unexecuted line (hottest line for
counts data; next and previous of the top 1 % of lines for a profile), Enter or
a click on a callee follows the call, Alt+Left goes back, Ctrl+O open, F5
reload, Ctrl+C copy, Ctrl+A select all, Ctrl+D functions mode, Ctrl+E snippets
mode (again: flat), Escape closes a bar.
Right-click a column header to show or hide columns.

An input that takes over a second to read shows its progress (on stderr in batch
runs); the environment variable SOURCE_VIEW_PROGRESS_DELAY=SECONDS changes that.
)";
}

}  // namespace source_view_app
