// The wizard's executable: the window over the same engine the batch run
// uses. `dirscribe` without arguments hands over to it (app/wizard_launch).
#include <clocale>
#include <exception>
#include <new>
#include <string>

#include "app/messages.h"
#include "app/program_setup.h"
#include "app/wizard_launch.h"
#include "app/wizard_start.h"
#include "platform/interrupt_cleanup.h"
#include "platform/process.h"
#include "services/phrase_ids.h"

namespace {

int run(const std::string& executable, std::string& out_of_memory) {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  dirscribe::install_interrupt_cleanup();
  dirscribe::raise_open_file_limit();
  if (!dirscribe::display_available()) {
    dirscribe::show_message(dirscribe::kNeedsDisplay);
    return 1;
  }
  dirscribe::program_setup app;
  app.start_dir = dirscribe::current_directory();
  dirscribe::split_program_path(executable, app.program_dir, app.exe_name);
  app.interactive = true;
  const dirscribe::outcome started = app.start_up();
  if (app.lang) {
    const std::string_view phrase = app.lang->text(dirscribe::kPhraseOutOfMemory);
    if (!phrase.empty()) out_of_memory = phrase;
  }
  return dirscribe::run_wizard(app, started);
}

}  // namespace

int main(int argc, char** argv) {
  std::string executable = dirscribe::executable_path();
  if (executable.empty() && argc > 0) executable = argv[0];
  // As in the batch run: whatever the standard library throws ends the run
  // with one message and the failure status, never with an abort.
  std::string out_of_memory = "Out of memory.";
  try {
    return run(executable, out_of_memory);
  } catch (const std::bad_alloc&) {
    dirscribe::show_message(out_of_memory);
  } catch (const std::exception& error) {
    dirscribe::show_message(std::string("Unexpected failure: ") + error.what());
  }
  return 1;
}
