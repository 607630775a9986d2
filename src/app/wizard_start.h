// The wizard's start: the toolkit, the windows built from the interface
// description, and the window's run. With wizard_main.cpp, the only code of
// app/ that links Qt, built into the wizard's own executable.
#pragma once

#include "app/program_setup.h"
#include "app/wizard_launch.h"
#include "core/outcome.h"

namespace dirscribe {

// Starts the toolkit and, when `started` succeeded, builds the forms from
// `app.ui_tree` and shows the main form until it is closed. A failed start or
// build shows its text in an information box. Returns the exit code: 0 after
// the window closed, 1 on any failure.
// REQUIRES: display_available().
int run_wizard(program_setup& app, const outcome& started);

}  // namespace dirscribe
