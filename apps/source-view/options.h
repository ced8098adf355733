// The command line of source-view: what to open, how to show it, and which batch output to make.
#pragma once
#include <string>

#include "load.h"

namespace source_view_app {

enum class theme_t { light, dark };

struct options_t {
  load_request_t load;
  std::string png, pdf, svg;  // batch image outputs
  bool text = false;          // --text: the view's tab-separated export to stdout
  bool list = false;          // --list: the files of a gcov JSON document or a profile
  int width = 1200, height = 800;
  unsigned line = 0;  // --line: 1-based line to centre; 0 for the first unexecuted line
  std::string find;
  theme_t theme = theme_t::light;
  bool help = false;
  bool version = false;

  bool batch() const { return text || list || !png.empty() || !pdf.empty() || !svg.empty(); }
};

// Reads argv; on a mistake answers false with `error` set (one line, no program name).
bool parse_options(int argc, char** argv, options_t& options, std::string& error);

// The --help text.
const char* usage_text();

}  // namespace source_view_app
