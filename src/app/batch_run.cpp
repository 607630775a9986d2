#include "app/batch_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "app/app_app.h"
#include "app/messages.h"
#include "app/progress_line.h"
#include "engine/extension_table.h"
#include "engine/link_rules.h"
#include "engine/project_collection.h"
#include "files/stored_field.h"
#include "listing/listing_driver.h"
#include "services/phrase_ids.h"

namespace dirscribe {

namespace {

bool is_file(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

std::string phrase(const appApp& app, int id) {
  return app.lang ? std::string(app.lang->text(id)) : std::string();
}

// Files listed so far across the output files of a run: the projects' listing
// totals restart with every output file, so the counts of finished files are
// carried in `done`.
class file_counter {
 public:
  explicit file_counter(const projectCollection& collection) : collection_(collection) {}
  int64_t count() {
    int64_t current = 0;
    for (const auto& project : collection_.projects) current += project->run.listing_file_total;
    if (current < last_) done_ += last_;
    last_ = current;
    return done_ + current;
  }

 private:
  const projectCollection& collection_;
  int64_t last_ = 0;
  int64_t done_ = 0;
};

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

std::string resolve_project_path(const std::string& name, const std::string& start_dir,
                                 const std::string& program_dir) {
  const std::vector<std::string> candidates = project_path_candidates(name, start_dir, program_dir);
  for (const std::string& candidate : candidates) {
    if (is_file(candidate)) return candidate;
  }
  return candidates.back();
}

int run_batch(appApp& app) {
  projectCollection collection;
  collection.program_folder = app.program_dir;
  collection.language = app.lang.get();
  collection.fill_size_unit_names();
  // A fixed moment for `now` (the reproducible-builds convention), so that
  // the same tree gives the same listing byte for byte.
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && is_stored_number(epoch)) {
    collection.fixed_now = stored_int64(epoch);
  }

  const std::string table = app.program_dir + "ext.txt";
  if (const outcome loaded = load_extension_table(table, collection); !loaded.ok()) {
    show_message(phrase(app, kPhraseCantLoadExtensionTable) + " " + loaded.message());
    return 1;
  }

  const std::string& typed = app.args.empty() ? std::string() : app.args.front();
  const std::vector<std::string> tried =
      project_path_candidates(typed, app.start_dir, app.program_dir);
  const std::string path = resolve_project_path(typed, app.start_dir, app.program_dir);
  const outcome loaded = collection.load_file(path, name_with_places_tried(typed, tried));
  if (!loaded.ok()) {
    show_message(loaded.message());
    return 1;
  }
  // A file whose only project elements are empty ("<project/>") loads no
  // project: there is nothing to build, which must not pass for a listing
  // written.
  if (collection.projects.empty()) {
    show_message(path + ": " + phrase(app, kPhraseNotAProject) +
                 " Its project elements are empty.");
    return 1;
  }
  for (const std::string& warning : collection.warnings) show_message("warning: " + warning);

  progress_line progress(::isatty(STDERR_FILENO) == 1);
  file_counter files(collection);
  collection.progress = [&](std::string message) { progress.folder_read(message, files.count()); };
  const outcome built = run_collection(collection);
  progress.clear();

  if (built.ok() || built.is(result_stopped)) return 0;
  std::string message = built.message();
  if (message.empty() && built.is(result_out_of_memory)) message = phrase(app, kPhraseOutOfMemory);
  if (message.empty()) {
    // Every failure names what failed; a code without a text still says
    // that the build failed and how.
    message = "The listing could not be built (result " + std::to_string(built.code()) + ").";
  }
  show_message(message);
  return 1;
}

}  // namespace dirscribe
