#include "app/entry.h"

#include <sys/stat.h>

#include <clocale>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "app/batch_run.h"
#include "app/command_line.h"
#include "app/folder_listing.h"
#include "app/messages.h"
#include "app/program_setup.h"
#include "app/version_text.h"
#include "app/wizard_launch.h"
#include "platform/interrupt_cleanup.h"
#include "platform/process.h"
#include "services/phrase_ids.h"

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

// What the entry prints when memory runs out: the language file's phrase
// once the phrases are read, its English text before. Kept ready, so that
// nothing needs looking up when there may be no memory to look it up with.
std::string& out_of_memory_text() {
  static std::string text = "Out of memory.";
  return text;
}

void take_out_of_memory_phrase(const program_setup& app) {
  if (!app.lang) return;
  if (const std::string_view phrase = app.lang->text(kPhraseOutOfMemory); !phrase.empty()) {
    out_of_memory_text() = phrase;
  }
}

int run(const std::string& executable, const std::vector<std::string>& args) {
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

  program_setup app;
  app.start_dir = start_dir;
  split_program_path(executable, app.program_dir, app.exe_name);
  app.args = args;
  app.interactive = line.mode == run_mode::wizard;

  if (app.interactive) {
    if (!display_available()) {
      show_message(kNeedsDisplay);
      return 1;
    }
    // The window starts in an executable of its own, so a listing never
    // loads the toolkit.
    return hand_over_to_wizard(app.program_dir);
  }
  // The batch run's relative data-file names ("ext.txt" and the like)
  // resolve in the program folder from here on. The wizard stays where it was
  // started: it names every file of the program folder in full.
  if (!app.program_dir.empty()) change_directory(app.program_dir);
  if (const outcome started = app.start_up(); !started.ok()) {
    if (!started.message().empty()) show_message(started.message());
    return 1;
  }
  take_out_of_memory_phrase(app);
  return run_batch(app, line);
}

}  // namespace

int run_entry(const std::string& executable, const std::vector<std::string>& args) {
  // The engine reports its failures in outcomes, but the standard library
  // throws when an allocation fails or a size overflows; such a run still
  // ends with one message and the failure status, never with an abort.
  try {
    return run(executable, args);
  } catch (const std::bad_alloc&) {
    show_message(out_of_memory_text());
  } catch (const std::exception& error) {
    show_message(std::string("Unexpected failure: ") + error.what());
  }
  return 1;
}

}  // namespace dirscribe
