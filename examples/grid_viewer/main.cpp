// grid_viewer: a grid of 1,000,000 rows × 5 columns of plain text in the headless control,
// scrolled to the middle with a few rows selected, saved as a PNG image.
//   grid_viewer [output.png]
#include <cstdio>
#include <string>

#include "orrinfrw7/offscreen_control.h"
#include "text_grid.h"

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "grid_viewer.png";
  constexpr int kRows = 1000000;
  orrinfrw7::COffscreenControl control(900, 600);
  auto* grid = new grid_viewer::CTextGridViewer(control.GetRoot(), {900, 600}, orrinfrw7::AL_Client,
                                                kRows, 5, 170);
  control.CompleteAttach();  // the row height follows the font once the grid has its control
  grid->SetFocus();

  // The middle row at the middle of the view.
  auto& rows = grid->Rows();
  rows.SetViewStart(rows.GetItemOffset(kRows / 2) - rows.GetViewSize() / 2);
  orrinfrw7::ISelectionModel& selection = *grid->GetRowSelectionModel();
  {
    orrinfrw7::CSelectionBatch batch(selection);
    selection.SelectRange(kRows / 2 - 2, kRows / 2, /*selected=*/true);
    selection.SelectItem(kRows / 2 + 3, /*selected=*/true);
    selection.SetCurrent(kRows / 2);
  }

  std::string error;
  if (!control.SavePng(path, &error)) {
    std::fprintf(stderr, "grid_viewer: cannot write %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  std::printf("%s: %d rows, top row %d, %lld selected\n", path.c_str(), rows.GetCount(),
              rows.GetItemAt(rows.GetViewStart()) + 1, selection.GetSelectedCount());
  return 0;
}
