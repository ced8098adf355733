// The GTK window of source-view: the view with its keys, find and go-to-line bars, error bar,
// modes, column menu and reload on change.
#pragma once
#include "options.h"

namespace source_view_app {

// Opens the window on the options' input and runs until it is closed; answers the exit status.
// Without a display it says so and answers 1.
int run_window(int& argc, char**& argv, const options_t& options);

}  // namespace source_view_app
