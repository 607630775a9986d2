#include "app/wizard_launch.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/messages.h"

namespace dirscribe {

namespace {

bool set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

}  // namespace

bool display_available() {
  return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

const char* toolkit_version() { return DIRSCRIBE_TOOLKIT_VERSION; }

int hand_over_to_wizard(const std::string& program_dir) {
  const std::string wizard = program_dir + kWizardExecutable;
  char* const argv[] = {const_cast<char*>(wizard.c_str()), nullptr};
  ::execv(wizard.c_str(), argv);
  const int error = errno;
  show_message("The wizard cannot be started: " + wizard + ": " + std::strerror(error));
  return 1;
}

}  // namespace dirscribe
