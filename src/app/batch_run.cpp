#include "app/batch_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/command_line.h"
#include "app/folder_listing.h"
#include "app/messages.h"
#include "app/program_setup.h"
#include "app/progress_line.h"
#include "engine/build_counts.h"
#include "engine/extension_table.h"
#include "engine/link_rules.h"
#include "engine/project_context.h"
#include "files/file_format.h"
#include "files/file_path.h"
#include "listing/listing_driver.h"
#include "platform/user_data.h"
#include "services/phrase_ids.h"
#include "template/template_catalog.h"

namespace dirscribe {

namespace {

constexpr int kSucceeded = 0;
constexpr int kFailed = 1;

bool is_file(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// Whether any of `paths` names something, a dangling link included; a place
// that cannot be searched may hold it.
bool names_anything(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0) return true;
    if (errno != ENOENT && errno != ENOTDIR) return true;
  }
  return false;
}

std::string phrase(const program_setup& app, int id) {
  return app.lang ? std::string(app.lang->text(id)) : std::string();
}

// The collection of a batch run with its shared tables; false after showing
// why the extension table could not be loaded.
bool prepare_collection(const program_setup& app, const command_line& line,
                        project_context& collection) {
  collection.program_folder = app.program_dir;
  collection.language = app.lang.get();
  collection.fill_size_unit_names();
  // A fixed moment for `now` (the reproducible-builds convention), so that
  // the same tree gives the same listing byte for byte. A value that names
  // no moment must not stop the listing, nor pass unnoticed.
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    collection.fixed_now = source_date_epoch(epoch);
    if (!collection.fixed_now && !line.quiet) {
      show_message(std::string("warning: SOURCE_DATE_EPOCH \"") + epoch +
                   "\" is not a whole number of seconds since 1970 between years 1 and 9999;"
                   " the listings print the present moment");
    }
  }
  const std::string table = app.program_dir + "ext.txt";
  if (const outcome loaded = load_extension_table(table, collection); !loaded.ok()) {
    show_message(phrase(app, kPhraseCantLoadExtensionTable) + " " + loaded.message());
    return false;
  }
  return true;
}

// Builds the projects of `collection`; the exit code.
int build(const program_setup& app, project_context& collection, bool quiet) {
  progress_line progress(!quiet && ::isatty(STDERR_FILENO) == 1);
  build_counts counts;
  collection.progress = [&](std::string message) {
    counts.folder_read(message);
    counts.count_files(collection);
    progress.show(message, counts.folders(), counts.files(),
                  collection.thumbnails_made.load(std::memory_order_relaxed));
  };
  // As the load warnings are printed; the progress line steps aside so the
  // warning starts on a line of its own.
  collection.warning = [&](const std::string& text) {
    if (quiet) return;
    progress.clear();
    show_message("warning: " + text);
  };
  const outcome built = run_collection(collection);
  progress.clear();

  if (built.ok() || built.is(result_stopped)) return kSucceeded;
  std::string message = built.message();
  if (message.empty() && built.is(result_out_of_memory)) message = phrase(app, kPhraseOutOfMemory);
  if (message.empty()) {
    // Every failure names what failed; a code without a text still says
    // that the build failed and how.
    message = "The listing could not be built (result " + std::to_string(built.code()) + ").";
  }
  show_message(message);
  return kFailed;
}

// Loads and builds the project file `typed`; the exit code.
int build_project_file(const program_setup& app, const command_line& line, const std::string& typed,
                       project_context& collection) {
  const std::vector<std::string> tried =
      project_path_candidates(typed, app.start_dir, app.program_dir);
  const std::string path = resolve_project_path(typed, app.start_dir, app.program_dir);
  if (!names_anything(tried)) {
    // Most likely a typo: the places tried would only hide it.
    show_message("No such file or folder: " + typed);
    return kFailed;
  }
  const outcome loaded = collection.load_file(path, name_with_places_tried(typed, tried));
  if (!loaded.ok()) {
    std::string message = loaded.message();
    if (loaded.is(result_project_not_opened) && ::access(path.c_str(), R_OK) != 0) {
      message += std::string(": ") + std::strerror(errno);
    }
    show_message(message);
    return kFailed;
  }
  // A file whose only project elements are empty ("<project/>") loads no
  // project: there is nothing to build, which must not pass for a listing
  // written.
  if (collection.projects.empty()) {
    show_message(path + ": " + phrase(app, kPhraseNotAProject) +
                 " Its project elements are empty.");
    return kFailed;
  }
  for (const std::string& warning : collection.warnings) {
    if (line.strict) {
      show_message(warning);
    } else if (!line.quiet) {
      show_message("warning: " + warning);
    }
  }
  if (line.strict && !collection.warnings.empty()) return kFailed;
  return build(app, collection, line.quiet);
}

// Lists the folder of the command line, or writes its project file.
int list_folder(const program_setup& app, const command_line& line, project_context& collection) {
  html_list_project& project = collection.first_project_creating();
  const user_data_folders folders = user_data_folders::for_program(app.program_dir);
  const outcome made = make_folder_project(line.folder, line.listing, app.start_dir, folders,
                                           app.lang.get(), project);
  if (!made.ok()) {
    show_message(made.message());
    return kFailed;
  }
  if (!line.listing.save_project.empty()) {
    // The project file is an output like a listing: never written over a
    // file the listing reads (the style's template among them).
    const protected_files inputs =
        files_read_by(collection, collection.resolve(project.settings.format_file));
    const outcome saved =
        collection.save_file(absolute_in(app.start_dir, line.listing.save_project), &inputs);
    if (!saved.ok()) show_message(saved.message());
    return saved.ok() ? kSucceeded : kFailed;
  }
  return build(app, collection, line.quiet);
}

// Prints the catalog's style names, one a line, on standard output.
int list_styles(const program_setup& app) {
  const user_data_folders folders = user_data_folders::for_program(app.program_dir);
  template_catalog catalog;
  catalog.language = app.lang.get();
  if (const outcome loaded = catalog.load(folders.read_path("templates.txt")); !loaded.ok()) {
    show_message(loaded.message());
    return kFailed;
  }
  std::string names;
  for (const auto& entry : catalog.entries) names += entry->name + "\n";
  std::fwrite(names.data(), 1, names.size(), stdout);
  return std::fflush(stdout) == 0 ? kSucceeded : kFailed;
}

}  // namespace

std::vector<std::string> project_path_candidates(const std::string& name,
                                                 const std::string& start_dir,
                                                 const std::string& program_dir) {
  if (name.empty() || name.front() == '/') return {name};
  std::vector<std::string> candidates;
  if (!start_dir.empty()) candidates.push_back(join_path(start_dir, name));
  const std::string in_program = program_dir + name;
  if (candidates.empty() || candidates.front() != in_program) candidates.push_back(in_program);
  return candidates;
}

std::optional<int64_t> source_date_epoch(std::string_view text) {
  int64_t moment = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, moment);
  if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
  if (moment < kFirstPrintableMoment || moment > kLastPrintableMoment) return std::nullopt;
  return moment;
}

std::string resolve_project_path(const std::string& name, const std::string& start_dir,
                                 const std::string& program_dir) {
  const std::vector<std::string> candidates = project_path_candidates(name, start_dir, program_dir);
  for (const std::string& candidate : candidates) {
    if (is_file(candidate)) return candidate;
  }
  return candidates.back();
}

int run_batch(program_setup& app, const command_line& line) {
  if (line.mode == run_mode::list_styles) return list_styles(app);
  project_context collection;
  if (line.mode == run_mode::folder && !line.listing.save_project.empty()) {
    // Writing the project file builds nothing: no table is needed.
    collection.program_folder = app.program_dir;
    collection.language = app.lang.get();
    return list_folder(app, line, collection);
  }
  if (!prepare_collection(app, line, collection)) return kFailed;
  if (line.mode == run_mode::folder) return list_folder(app, line, collection);
  for (const std::string& typed : line.projects) {
    if (const int code = build_project_file(app, line, typed, collection); code != kSucceeded) {
      return code;
    }
  }
  return kSucceeded;
}

}  // namespace dirscribe
