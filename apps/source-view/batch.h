// The batch outputs of source-view: --list, --text and --png/--pdf/--svg, without a display.
#pragma once
#include "options.h"

namespace source_view_app {

// Runs the batch outputs the options ask for; answers the exit status (0, or 1 after a message
// on stderr).
int run_batch(const options_t& options);

// The column widths, splitter and start row of a fresh view of `width` pixels.
class session_t;
void place_view(session_t& session, int width, const options_t& options);

}  // namespace source_view_app
