// For the tests and tools that drive the wizard's window: waiting for a
// build started with Make, with the window's events handled meanwhile.
#pragma once

#include <QApplication>

#include "ui/main_window.h"

namespace dirscribe {

// Handles events until the window's build has ended and its end has been
// shown (the status, the counts and any box); returns at once when no build
// runs.
inline void wait_for_build(const main_window& window) {
  while (window.busy()) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

}  // namespace dirscribe
