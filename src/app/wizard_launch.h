// Handing the wizard to its own executable. A listing never loads the
// toolkit: its fifty libraries alone took three quarters of a batch run's
// memory. The window runs in `dirscribe-wizard`, which lies beside this
// executable in the program folder and links Qt; this file does not.
#pragma once

#include <string>

namespace dirscribe {

// True when a window can be shown: a display named by DISPLAY or
// WAYLAND_DISPLAY, or a Qt platform chosen with QT_QPA_PLATFORM.
bool display_available();

// The line printed, instead of a window, when there is no display.
inline constexpr const char* kNeedsDisplay =
    "The wizard needs a display (DISPLAY or WAYLAND_DISPLAY is not set); "
    "to build a listing without one, run: dirscribe FOLDER or dirscribe PROJECT-FILE";

// The wizard's executable, in the program folder.
inline constexpr const char* kWizardExecutable = "dirscribe-wizard";

// The version of Qt the wizard was built against, "6.4.2", taken from the
// build's configuration.
const char* toolkit_version();

// Replaces this process with the wizard executable of `program_dir` (ending
// in "/"), which starts as `dirscribe` without arguments would. Returns only
// when that fails: after a message naming the executable and the reason, 1.
int hand_over_to_wizard(const std::string& program_dir);

}  // namespace dirscribe
