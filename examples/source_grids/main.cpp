// source_grids: the left metric grid, the source grid and the right metric grid of a source view,
// built by hand side by side in the headless control over a word-counting C program repeated to
// some hundreds of lines, scrolled to its loop, saved as a PNG image.
//   source_grids [output.png [rows]]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "orrinfrw7/offscreen_control.h"
#include "three_grids.h"

// Fontconfig links its cached font patterns through offsets that the leak checker cannot follow;
// those caches live as long as the process and are no leak of ours.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "source_grids.png";
  source_grids::options_t options;
  if (argc > 2) options.rows = unsigned(std::strtoul(argv[2], nullptr, 10));

  orrinfrw7::COffscreenControl control(source_grids::example_width, source_grids::example_height);
  source_grids::three_grids_t grids(control.GetRoot(), options);
  control.CompleteAttach();  // row and header heights follow the fonts from here on
  grids.fit();

  // The loop of the first copy at the top; two rows selected, the lower one current, in a
  // focused grid: its frame runs across the three grids.
  const source_grids::landmarks_t marks = source_grids::three_grids_t::landmarks();
  orrinfrw7::CSimpleDiscreteItemViewModel& rows = grids.rows();
  rows.SetViewStart(rows.GetItemOffset(int(source_grids::example_top_row)));
  grids.centre().cells->SetFocus();
  orrinfrw7::ISelectionModel& selection = *grids.centre().cells->GetRowSelectionModel();
  if (marks.current < options.rows) {
    orrinfrw7::CSelectionBatch batch(selection);
    selection.SelectRange(int(marks.current) - 1, int(marks.current), /*selected=*/true);
    selection.SetCurrent(int(marks.current));
  }

  std::string error;
  if (!control.SavePng(path, &error)) {
    std::fprintf(stderr, "source_grids: cannot write %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  // A painter that failed (a cell value of another kind than its column's) loses its event
  // quietly in the control; the example counts that as failing.
  if (control.GetFailureCount() > 0) {
    std::fprintf(stderr, "source_grids: %d failed events, the last: %s\n",
                 control.GetFailureCount(), control.GetLastFailure().c_str());
    return 1;
  }
  std::printf("%s: %d rows, top row %d\n", path.c_str(), rows.GetCount(),
              rows.GetItemAt(rows.GetViewStart()) + 1);
  return 0;
}
