// source-view: shows a source file with its gcov coverage or tab-separated per-line data, in a
// window or, for batch use, as an image or text.
#include <cstdio>
#include <string>

#include "batch.h"
#include "options.h"
#include "window.h"

// Fontconfig links its cached font patterns through offsets that the leak checker cannot follow,
// and GTK keeps type and theme data for the life of the process; neither is a leak of ours.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libgtk-3.so\nleak:libgdk-3.so\n";
}

int main(int argc, char** argv) {
  using namespace source_view_app;
  options_t options;
  std::string error;
  if (!parse_options(argc, argv, options, error)) {
    std::fprintf(stderr, "source-view: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(usage_text(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("source-view %s\n", SOURCE_VIEW_VERSION);
    return 0;
  }
  if (options.batch()) return run_batch(options);
  return run_window(argc, argv, options);
}
