#include "listing/listing_driver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

#include "engine/dsc_process.h"
#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "listing/output_file.h"
#include "engine/project_collection.h"
#include "files/file_node.h"
#include "files/folder_scanner.h"
#include "files/folder_summary.h"
#include "platform/file_system.h"
#include "services/phrase_ids.h"
#include "services/qxlang.h"
#include "template/qxi2.h"
#include "template/template_evaluator.h"

namespace dirscribe {

namespace {

// Template text is fed to the parser in pieces of this size as it is read.
constexpr size_t kTemplatePiece = 16384;

std::string phrase(const html_list_project& project, int id) {
  const projectCollection* collection = project.run.collection;
  if (!collection || !collection->language) return {};
  return std::string(collection->language->text(id));
}

bool stop_raised(const html_list_project& project) {
  const projectCollection* collection = project.run.collection;
  return collection && collection->stop_flag.load(std::memory_order_relaxed) != 0;
}

// A path that is relative to the program folder unless it is absolute, as
// every data file the program reads.
std::string in_program_folder(const html_list_project& project, const std::string& name) {
  if (name.empty() || name.front() == '/') return name;
  const projectCollection* collection = project.run.collection;
  if (!collection || collection->program_folder.empty()) return name;
  return join_path(collection->program_folder, name);
}

// True when `folder` is a folder the listing can enter (list and reach
// entries of).
bool can_enter(const std::string& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
  return ::access(folder.c_str(), R_OK | X_OK) == 0;
}

// Reads the template file in pieces into `tree`, parsing as it goes, and
// checks that every block is closed. Sets the error text on failure.
int parse_template(html_list_project& project, qxi2_tree& tree) {
  const projectCollection* collection = project.run.collection;
  if (!collection || !collection->language) return result_out_of_memory;
  const std::string& name = project.settings.format_file;
  const std::string path = in_program_folder(project, name);

  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    project.run.error_text = phrase(project, kPhraseCantOpenFile) + name;
    return result_template_not_opened;
  }
  qxiDsc parser(*collection->language, tree);
  std::string piece(kTemplatePiece, '\0');
  int status = 0;
  for (;;) {
    const size_t got = std::fread(piece.data(), 1, piece.size(), file);
    if (got == 0) break;
    status = parser.feed(piece.substr(0, got));
    if (status != 0) break;
  }
  const bool read_failed = std::ferror(file) != 0;
  std::fclose(file);
  if (status == 0 && read_failed) {
    // A template that cannot be read to its end is one that could not be
    // opened for what it holds: say so rather than list half a template.
    project.run.error_text = phrase(project, kPhraseCantOpenFile) + name;
    return result_template_not_opened;
  }
  if (status == 0) {
    status = parser.finish();
    if (status == 2) status = 0;
  }
  if (status != 0) {
    project.run.error_text = phrase(project, kPhraseTemplateError) + parser.error_text(status);
    return status;
  }
  if (const qxi2_node* open = parser.first_unclosed()) {
    constexpr int kBlockNotClosed = 10002;
    project.run.error_text =
        phrase(project, kPhraseTemplateError) + parser.error_text(kBlockNotClosed, open);
    return kBlockNotClosed;
  }
  return result_ok;
}

// Builds the folder summary of `folder` for recursive sizes and empty-folder
// suppression.
int make_summary(html_list_project& project, const std::string& folder, qxfile_tree& summary) {
  const projectCollection* collection = project.run.collection;
  generation_context context;
  if (collection) {
    context.progress = collection->progress;
    context.stop = &collection->stop_flag;
  }
  context.filter = &project.settings.filter;
  context.outputs = &project.run.outputs;
  context.allocation_unit =
      project.run.cluster_size > 0 ? static_cast<uint64_t>(project.run.cluster_size) : 0;
  context.progress_phrase = phrase(project, kPhraseReadingFolder);
  context.scan_failed_phrase = phrase(project, kPhraseCantOpenFolder);

  auto top = std::make_unique<qxfile_node>();
  top->is_folder = true;
  top->name = folder;
  qxfile_node* top_node = summary.append_top(std::move(top));
  const int code = build_summary(folder, context, summary, top_node);
  if (code != 0) {
    project.run.error_text = context.error_text;
    return code;
  }
  if (project.settings.recursive_options & 2) suppress_empty(summary);
  return result_ok;
}

// Remembers the files this project reads, so that no output path, however
// it is spelt, writes over one of them.
void protect_inputs(html_list_project& project) {
  protected_files& inputs = project.run.inputs;
  inputs.clear();
  inputs.add(in_program_folder(project, project.settings.format_file));
  if (const projectCollection* collection = project.run.collection) {
    inputs.add(collection->file_name);
    if (!collection->program_folder.empty()) {
      inputs.add(collection->program_folder + "ext.txt");
      inputs.add(collection->program_folder + "templates.txt");
    }
  }
}

}  // namespace

std::string output_path(const html_list_project& project, const std::string& folder) {
  const std::string& save = project.settings.save;
  if (project.settings.source == 2 || (!save.empty() && save.front() == '/')) return save;
  return join_path(folder, save);
}

int write_listing_file(html_list_project& project, const qxi2_tree& tree, const std::string& folder,
                       std::unique_ptr<qxfile_tree>* summary_out, evaluation_memo* memo) {
  project_run& run = project.run;
  const project_settings& settings = project.settings;
  run.clear_listing_totals();
  run.repeat_counter = 0;
  run.error_text.clear();
  run.summary = nullptr;
  run.size_unit_label.clear();
  if (run.collection) {
    if (const qxval* label =
            run.collection->size_unit_names.lookup(std::to_string(settings.size_units))) {
      run.size_unit_label = label->to_text();
    }
  }

  if (settings.source != 2 && !can_enter(folder)) {
    run.error_text = phrase(project, kPhraseCantOpenFolder) + folder;
    return result_folder_not_current;
  }

  const std::string path = output_path(project, folder);
  output_file output;
  switch (output.open(path, run.inputs)) {
    case output_open_result::opened:
      break;
    case output_open_result::failed:
      run.error_text = phrase(project, kPhraseCantWriteFile) + settings.save;
      return result_output_not_created;
    case output_open_result::symbolic_link:
      run.error_text = phrase(project, kPhraseOutputIsLink) + path;
      return result_output_not_created;
    case output_open_result::not_regular_file:
      run.error_text = phrase(project, kPhraseOutputNotRegular) + path;
      return result_output_not_created;
    case output_open_result::protected_input:
      run.error_text = phrase(project, kPhraseOutputIsInput) + path;
      return result_output_not_created;
  }
  // The file just opened is part of the run's output, whatever the masks say.
  run.outputs = own_output{};
  if (settings.subfolders_in_one_file) {
    run.outputs.name = std::filesystem::path(path).filename().string();
    run.outputs.device = output.device();
    run.outputs.inode = output.inode();
  } else {
    run.outputs.name = settings.save;
    run.outputs.in_every_folder = true;
  }

  std::unique_ptr<qxfile_tree> summary;
  if (settings.recursive_options & 3) {
    summary = std::make_unique<qxfile_tree>();
    if (int code = make_summary(project, folder, *summary)) return code;
    run.summary = summary.get();
  }

  qxfile_node root_entry;
  root_entry.is_folder = true;
  qxfile_node* slot = &root_entry;
  dsc_process root = make_root_process(
      folder, folder_url(folder, settings.url_escape, settings.source, settings.ftp_host));
  file_sink sink(output.get());
  int code = evaluate(tree.first(), nullptr, slot, root, project, sink, memo);
  run.summary = nullptr;
  if (!output.close() && (code == result_ok || code == result_stopped)) {
    code = result_write_failed;
  }
  if (code == result_write_failed) run.error_text = phrase(project, kPhraseCantWriteFile) + path;
  if (summary_out) *summary_out = std::move(summary);
  return code;
}

int write_folder_files(html_list_project& project, const qxi2_tree& tree, const std::string& folder,
                       int levels, evaluation_memo* memo) {
  // The pages of one walk share what their evaluations learn.
  std::unique_ptr<evaluation_memo> own_memo;
  if (!memo) {
    own_memo = std::make_unique<evaluation_memo>();
    memo = own_memo.get();
  }
  std::unique_ptr<qxfile_tree> summary;
  if (int code = write_listing_file(project, tree, folder, &summary, memo)) return code;
  if (levels == 0) return result_ok;

  // The walk needs the subfolders only, not the status of every file.
  qxfile_tree entries;
  if (!scan_subfolders(folder, entries)) {
    project.run.error_text = phrase(project, kPhraseCantOpenFolder) + folder;
    return result_folder_not_entered;
  }
  if (stop_raised(project)) return result_stopped;
  project.settings.filter.apply(entries, nullptr);
  if (stop_raised(project)) return result_stopped;

  const bool leave_out_empty = (project.settings.recursive_options & 2) && summary;
  const qxfile_node* page_summary = summary ? summary->first() : nullptr;
  for (qxfile_node* entry = entries.first(); entry; entry = entry->next()) {
    if (!entry->is_folder) continue;
    if (stop_raised(project)) return result_stopped;
    // A folder reached through a link is listed where it stands but never
    // entered, so a link cycle cannot make the walk run away.
    if (entry->attributes & attribute_link) continue;
    if (leave_out_empty && page_summary) {
      find_summary(*entry, *page_summary);
      if (!entry->summary) continue;
    }
    const std::string child = join_path(folder, entry->name);
    if (int code = write_folder_files(project, tree, child, levels - 1, memo)) return code;
  }
  return result_ok;
}

int build_project(html_list_project& project) {
  project_settings& settings = project.settings;
  project_run& run = project.run;
  run.error_text.clear();

  // A relative folder is taken in the program folder, where every relative
  // name of a build resolves; the build never relies on the current directory.
  if (settings.source != 2 && !settings.path.empty() && settings.path.front() != '/') {
    // "../x" from the program folder reads better in links as the folder it
    // names.
    settings.path = std::filesystem::path(in_program_folder(project, settings.path))
                        .lexically_normal()
                        .string();
  }
  // An empty local `path` names no folder: it stays empty, so that writing the
  // first file fails with "can't open folder" instead of listing (and writing
  // index files into) the whole file system from the root. "/" itself still
  // lists the root.
  if (settings.source == 2 || !settings.path.empty()) {
    settings.path = normalise_folder_path(settings.path);
  }
  run.source_url =
      folder_url(settings.path, settings.url_escape, settings.source, settings.ftp_host);
  std::string images = run.collection ? run.collection->program_folder + "images" : "images";
  while (!images.empty() && images.back() == '/') images.pop_back();
  // The icons' folder is linked like the listed folder, so a program folder
  // whose path holds "&" or "#" still links under url_escape 1 and 2.
  run.local_image_url = folder_url(images, settings.url_escape, 0, {});
  while (!settings.image_dir.empty() && settings.image_dir.back() == '/') {
    settings.image_dir.pop_back();
  }
  settings.image_dir += "/";

  // Every page would land on the same file.
  if (!settings.subfolders_in_one_file && settings.source != 2 &&
      settings.save.find('/') != std::string::npos) {
    run.error_text = phrase(project, kPhraseOutputNameHasFolder) + " (" + settings.save + ")";
    return result_output_not_created;
  }

  int code = result_ok;
  {
    qxi2_tree tree;
    code = parse_template(project, tree);
    if (code == result_ok) {
      protect_inputs(project);
      settings.filter.prepare_windows();
      run.cluster_size = 0;
      if (settings.disk_space && settings.source == 0) {
        const int64_t unit = cluster_size(settings.path);
        run.cluster_size = unit > 0 ? unit : 0;
      }
      code = settings.subfolders_in_one_file
                 ? write_listing_file(project, tree, settings.path)
                 : write_folder_files(project, tree, settings.path, settings.recursion_depth);
      run.inputs.clear();
    }
  }
  return code;
}

int run_collection(projectCollection& collection) {
  collection.error_text.clear();
  collection.last_result = result_ok;
  int code = result_ok;
  for (const auto& project : collection.projects) {
    project->run.collection = &collection;
    code = build_project(*project);
    // What a window shows after a build; written by the building thread only.
    collection.last_result = code;
    if (code != result_ok) {
      collection.error_text = project->run.error_text;
      collection.last_result = code;
      break;
    }
  }
  if (collection.finish) collection.finish();
  return code;
}

}  // namespace dirscribe
