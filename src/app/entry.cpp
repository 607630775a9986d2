#include "app/entry.h"

#include <sys/stat.h>

#include <clocale>
#include <cstdio>
#include <string_view>

#include "app/app_app.h"
#include "app/batch_run.h"
#include "app/command_line.h"
#include "app/folder_listing.h"
#include "app/messages.h"
#include "app/version_text.h"
#include "app/wizard_start.h"
#include "platform/interrupt_cleanup.h"
#include "platform/process.h"

namespace dirscribe {

namespace {

void print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// A usage error: its text, the usage lines and where to read more, on
// standard error.
int usage_error(std::string_view text) {
  show_message(text);
  std::string help(kUsageText);
  help += "Try 'dirscribe --help' for more information.\n";
  std::fwrite(help.data(), 1, help.size(), stderr);
  std::fflush(stderr);
  return kUsageExitCode;
}

}  // namespace

int run_entry(const std::string& executable, const std::vector<std::string>& args) {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  // An interrupted run leaves no temporary file, and a file-size limit fails
  // a write with a message instead of killing the program.
  install_interrupt_cleanup();
  raise_open_file_limit();

  const std::string start_dir = current_directory();
  // A bare argument that is a folder where the command ran is a folder to
  // list, anything else a project file.
  const auto kind_of = [&](const std::string& name) {
    struct stat status {};
    if (::stat(absolute_in(start_dir, name).c_str(), &status) != 0) return argument_kind::nothing;
    return S_ISDIR(status.st_mode) ? argument_kind::folder : argument_kind::file;
  };
  command_line line;
  if (const outcome read = read_command_line(args, kind_of, line); !read.ok()) {
    return usage_error(read.message());
  }
  if (line.mode == run_mode::help) {
    print(help_text());
    return 0;
  }
  if (line.mode == run_mode::version) {
    print(version_text(toolkit_version()));
    return 0;
  }

  dscApp app;
  app.start_dir = start_dir;
  split_program_path(executable, app.program_dir, app.exe_name);
  // Relative data-file names ("ext.txt" and the like) resolve in the program
  // folder from here on.
  if (!app.program_dir.empty()) change_directory(app.program_dir);
  app.args = args;
  app.interactive = line.mode == run_mode::wizard;

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
  return run_batch(app, line);
}

}  // namespace dirscribe
