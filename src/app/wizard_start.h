// The wizard's start: the toolkit, the windows built from the interface
// description, and the window's run. The only code of app/ that links Qt.
#pragma once

#include "app/program_setup.h"
#include "core/outcome.h"

namespace dirscribe {

// True when a window can be shown: a display named by DISPLAY or
// WAYLAND_DISPLAY, or a Qt platform chosen with QT_QPA_PLATFORM.
bool display_available();

// The line printed, instead of a window, when there is no display.
inline constexpr const char* kNeedsDisplay =
    "The wizard needs a display (DISPLAY or WAYLAND_DISPLAY is not set); "
    "to build a listing without one, run: dirscribe FOLDER or dirscribe PROJECT-FILE";

// The version of Qt this build was compiled against, "6.4.2".
const char* toolkit_version();

// Starts the toolkit and, when `started` succeeded, builds the forms from
// `app.ui_tree` and shows the main form until it is closed. A failed start or
// build shows its text in an information box. Returns the exit code: 0 after
// the window closed, 1 on any failure.
// REQUIRES: display_available().
int run_wizard(program_setup& app, const outcome& started);

}  // namespace dirscribe
