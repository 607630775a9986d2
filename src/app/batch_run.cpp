#include "app/batch_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/app_app.h"
#include "app/messages.h"
#include "app/progress_line.h"
#include "engine/build_counts.h"
#include "engine/extension_table.h"
#include "engine/project_collection.h"
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

}  // namespace

std::string resolve_project_path(const std::string& name, const std::string& start_dir,
                                 const std::string& program_dir) {
  if (name.empty() || name.front() == '/') return name;
  if (!start_dir.empty()) {
    std::string here = start_dir;
    if (here.back() != '/') here += '/';
    here += name;
    if (is_file(here)) return here;
  }
  return program_dir + name;
}

int run_batch(appApp& app) {
  projectCollection collection;
  collection.program_folder = app.program_dir;
  collection.language = app.lang.get();
  collection.fill_size_unit_names();

  if (!load_extension_table(app.program_dir + "ext.txt", collection).ok()) {
    show_message(phrase(app, kPhraseCantLoadExtensionTable));
    return 1;
  }

  const std::string& typed = app.args.empty() ? std::string() : app.args.front();
  const outcome loaded =
      collection.load_file(resolve_project_path(typed, app.start_dir, app.program_dir), typed);
  if (!loaded.ok()) {
    show_message(loaded.message());
    return 1;
  }
  // A file whose only project elements are empty ("<project/>") loads no
  // project: there is nothing to build, which must not pass for a listing
  // written.
  if (collection.projects.empty()) {
    show_message(phrase(app, kPhraseNotAProject));
    return 1;
  }

  progress_line progress(::isatty(STDERR_FILENO) == 1);
  build_counts counts;
  collection.progress = [&](std::string message) {
    counts.folder_read(message);
    counts.count_files(collection);
    progress.show(message, counts.folders(), counts.files());
  };
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
