// Leaves nothing half made behind when the program is interrupted: the
// temporary files that become outputs are removed on SIGINT, SIGTERM and
// SIGHUP before the signal ends the program as it would have, and a write past
// the file-size limit fails (EFBIG) instead of killing the program, so the
// failure reaches the user as a message.
#pragma once

#include <string_view>

namespace dirscribe {

// Installs the handlers once per process; later calls do nothing. Programs
// that write files call it at start.
void install_interrupt_cleanup();

// A temporary file that is to be removed if the program is interrupted while
// it exists: the file `name` in the folder held by `folder_descriptor`, which
// must stay open while the entry is held. Entries beyond a fixed number are
// not remembered (the file is then merely left behind).
class interrupt_cleanup_entry {
 public:
  interrupt_cleanup_entry(int folder_descriptor, std::string_view name);
  interrupt_cleanup_entry(const interrupt_cleanup_entry&) = delete;
  interrupt_cleanup_entry& operator=(const interrupt_cleanup_entry&) = delete;
  // Forgets the file (it was renamed or removed).
  ~interrupt_cleanup_entry();

 private:
  int slot_ = -1;
};

}  // namespace dirscribe
