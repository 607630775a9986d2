#include "app/entry.h"

#include <clocale>
#include <cstdio>
#include <string_view>

#include "app/app_app.h"
#include "app/batch_run.h"
#include "app/messages.h"
#include "app/version_text.h"
#include "app/wizard_start.h"
#include "platform/process.h"

namespace dirscribe {

namespace {

constexpr std::string_view kUsage =
    "Usage: dirscribe [PROJECT-FILE]\n"
    "\n"
    "Writes HTML listings of folder trees.\n"
    "\n"
    "  dirscribe project.txt   build the listings of every project in the file\n"
    "  dirscribe               open the wizard\n"
    "  dirscribe --help        show this text\n"
    "  dirscribe --version     show the version\n"
    "\n"
    "Exit status: 0 on success, 1 on any failure; failures are described on\n"
    "standard error.\n";

void print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int run_entry(const std::string& executable, const std::vector<std::string>& args) {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");

  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    print(kUsage);
    return 0;
  }
  if (!args.empty() && args[0] == "--version") {
    print(version_text(toolkit_version()));
    return 0;
  }

  dscApp app;
  app.start_dir = current_directory();
  split_program_path(executable, app.program_dir, app.exe_name);
  // Relative data-file names ("ext.txt" and the like) resolve in the program
  // folder from here on.
  if (!app.program_dir.empty()) change_directory(app.program_dir);
  app.args = args;
  app.interactive = args.empty();

  if (app.interactive) {
    if (!display_available()) {
      show_message(kNeedsDisplay);
      return 1;
    }
    return run_wizard(app, app.start_up());
  }
  if (const outcome started = app.start_up(); !started.ok()) {
    if (!started.message().empty()) show_message(started.message());
    return 1;
  }
  return run_batch(app);
}

}  // namespace dirscribe
