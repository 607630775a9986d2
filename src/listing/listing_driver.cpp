#include "listing/listing_driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/qxchar.h"
#include "engine/dsc_process.h"
#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "engine/project_collection.h"
#include "files/file_node.h"
#include "files/folder_scanner.h"
#include "files/folder_summary.h"
#include "listing/mirror_folder.h"
#include "listing/output_file.h"
#include "platform/file_system.h"
#include "platform/user_data.h"
#include "services/phrase_ids.h"
#include "services/qxlang.h"
#include "template/template_evaluator.h"
#include "template/template_file.h"

namespace dirscribe {

namespace {

std::string phrase(const html_list_project& project, int id) {
  const projectCollection* collection = project.run.collection;
  if (!collection || !collection->language) return {};
  return std::string(collection->language->text(id));
}

bool stop_raised(const html_list_project& project) {
  const projectCollection* collection = project.run.collection;
  return collection && collection->stop_flag.load(std::memory_order_relaxed) != 0;
}

// A relative name of a project where the collection finds it: in the
// project file's folder, else in the program folder; an absolute name as it
// stands.
std::string resolved(const html_list_project& project, const std::string& name) {
  const projectCollection* collection = project.run.collection;
  if (!collection) return name;
  return collection->resolve(name);
}

// The name of a template that was not found, with every place tried.
std::string template_not_found_name(const html_list_project& project) {
  const std::string& name = project.settings.format_file;
  // "Can't open file: " and nothing would leave the user guessing.
  if (name.empty()) return "(the project names no template: its format_file is empty)";
  const projectCollection* collection = project.run.collection;
  if (!collection) return name;
  return name_with_places_tried(name, collection->lookup_paths(name));
}

// The name "-" as a `save` of one file: the listing goes to standard output.
bool to_standard_output(const project_settings& settings) {
  return settings.save == "-" && settings.source != source_ftp;
}

// True when `folder` is a folder the listing can enter (list and reach
// entries of).
bool can_enter(const std::string& folder) {
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return false;
  return ::access(folder.c_str(), R_OK | X_OK) == 0;
}

// Builds the folder summary of `folder` for subtree sizes and empty-folder
// suppression.
outcome make_summary(html_list_project& project, const std::string& folder, qxfile_tree& summary) {
  const projectCollection* collection = project.run.collection;
  generation_context context;
  if (collection) {
    context.progress = collection->progress;
    context.stop = &collection->stop_flag;
  }
  context.filter = &project.run.filter;
  context.outputs = &project.run.outputs;
  context.allocation_unit =
      project.run.cluster_size > 0 ? static_cast<uint64_t>(project.run.cluster_size) : 0;
  context.progress_phrase = phrase(project, kPhraseReadingFolder);
  context.scan_failed_phrase = phrase(project, kPhraseCantOpenFolder);

  auto top = std::make_unique<qxfile_node>();
  top->is_folder = true;
  top->name = folder;
  qxfile_node* top_node = summary.append_top(std::move(top));
  outcome built = build_summary(folder, context, summary, top_node);
  if (!built.ok()) return built;
  if (project.settings.recursive_options & recursive_leave_out_empty) suppress_empty(summary);
  return {};
}

// Remembers the files this project reads, so that no output path, however
// it is spelt, writes over one of them.
void protect_inputs(html_list_project& project, const std::string& template_path) {
  protected_files& inputs = project.run.inputs;
  inputs.clear();
  inputs.add(template_path);
  if (const projectCollection* collection = project.run.collection) {
    inputs.add(collection->file_name);
    if (!collection->program_folder.empty()) {
      inputs.add(collection->program_folder + "ext.txt");
      // The style catalog and the settings are the user's data: protected
      // wherever they are read from.
      const user_data_folders folders = user_data_folders::for_program(collection->program_folder);
      for (const char* name : {"templates.txt", "settings.txt"}) {
        inputs.add(folders.program_folder() + name);
        if (!folders.user_folder().empty()) inputs.add(folders.user_folder() + name);
      }
    }
  }
}

// Opens the output file at `path`, or says why it may not be written.
outcome open_output(html_list_project& project, const std::string& path, output_file& output) {
  switch (output.open(path, project.run.inputs)) {
    case output_open_result::opened:
      return {};
    case output_open_result::failed:
      return {result_output_not_created,
              phrase(project, kPhraseCantWriteFile) + project.settings.save};
    case output_open_result::symbolic_link:
      return {result_output_not_created, phrase(project, kPhraseOutputIsLink) + path};
    case output_open_result::not_regular_file:
      return {result_output_not_created, phrase(project, kPhraseOutputNotRegular) + path};
    case output_open_result::protected_input:
      return {result_output_not_created, phrase(project, kPhraseOutputIsInput) + path};
  }
  return {result_output_not_created, phrase(project, kPhraseCantWriteFile) + path};
}

// The file just opened is part of the run's output, whatever the masks say.
void note_own_output(project_run& run, const project_settings& settings, const std::string& path,
                     const output_file& output) {
  run.outputs = own_output{};
  if (output.is_standard_output()) return;  // nothing in the tree to leave out
  if (settings.subfolders_in_one_file) {
    run.outputs.name = std::filesystem::path(path).filename().string();
    run.outputs.device = output.device();
    run.outputs.inode = output.inode();
  } else {
    run.outputs.name = settings.save;
    run.outputs.in_every_folder = true;
  }
}

// Clears what one output file counts and finds its size unit label.
void start_output_file(project_run& run, const project_settings& settings) {
  run.clear_listing_totals();
  run.repeat_counter = 0;
  run.summary = nullptr;
  run.size_unit_label.clear();
  if (run.collection) {
    if (const qxval* label =
            run.collection->size_unit_names.lookup(std::to_string(settings.size_units))) {
      run.size_unit_label = label->to_text();
    }
  }
}

// The listed folder as a build takes it: a relative folder in the project
// file's folder or else the program folder (the build never relies on the
// current directory), "../x" read as the folder it names, and
// trailing "/" removed. An empty local path names no folder and stays empty,
// so that the first file fails with "can't open folder" instead of listing
// (and writing index files into) the whole file system; "/" itself still
// lists the root.
std::string listed_folder(const html_list_project& project) {
  const project_settings& settings = project.settings;
  std::string folder = settings.path;
  const bool local = settings.source != source_ftp;
  if (local && !folder.empty() && folder.front() != '/') {
    folder = std::filesystem::path(project.run.collection
                                       ? project.run.collection->resolve_in_project_folder(folder)
                                       : folder)
                 .lexically_normal()
                 .string();
  }
  if (!local || !folder.empty()) folder = normalise_folder_path(folder);
  return folder;
}

// Prepares the run state of a build from the settings, which stay as the
// user set them.
void prepare_run(html_list_project& project) {
  const project_settings& settings = project.settings;
  project_run& run = project.run;
  run.folder = listed_folder(project);
  run.link_base.clear();
  if (!settings.link_base.empty()) {
    std::string base = settings.link_base;
    if (base.back() != '/') base += '/';
    // Typed, like `image_dir`: escaped once under url_escape 1, as the links
    // the rules build are.
    run.link_base = settings.url_escape == url_escape_markup ? html_escape(base) : base;
  }
  run.source_url = run.link_base.empty() ? folder_url(run.folder, settings.url_escape,
                                                      settings.source, settings.ftp_host)
                                         : run.link_base;
  run.output_dir.clear();
  if (!settings.output_dir.empty()) {
    run.output_dir = normalise_folder_path(
        std::filesystem::path(
            project.run.collection
                ? project.run.collection->resolve_in_project_folder(settings.output_dir)
                : settings.output_dir)
            .lexically_normal()
            .string());
  }
  run.mirror =
      !settings.subfolders_in_one_file && !run.output_dir.empty() && settings.source != source_ftp;
  std::string images = run.collection ? run.collection->program_folder + "images" : "images";
  while (!images.empty() && images.back() == '/') images.pop_back();
  // The icons' folder is linked like the listed folder, so a program folder
  // whose path holds "&" or "#" still links under url_escape 1 and 2.
  run.local_image_url = folder_url(images, settings.url_escape, source_local, {});
  std::string image_dir = settings.image_dir;
  while (!image_dir.empty() && image_dir.back() == '/') image_dir.pop_back();
  image_dir += "/";
  // A typed address is printed like the links the rules build: escaped once
  // under url_escape 1.
  run.image_dir = settings.url_escape == url_escape_markup ? html_escape(image_dir) : image_dir;
  run.filter = settings.filter;
  run.filter.prepare_windows();
  run.cluster_size = 0;
  if (settings.disk_space && settings.source == source_local) {
    const int64_t unit = cluster_size(run.folder);
    run.cluster_size = unit > 0 ? unit : 0;
  }
}

}  // namespace

std::string output_path(const html_list_project& project, const std::string& folder) {
  const project_settings& settings = project.settings;
  const std::string& save = settings.save;
  if (to_standard_output(settings)) return save;
  if (settings.source == source_ftp || (!save.empty() && save.front() == '/')) return save;
  if (settings.subfolders_in_one_file && !project.run.output_dir.empty()) {
    return join_path(project.run.output_dir, save);
  }
  if (project.run.mirror) {
    return join_path(mirror_folder(project.run.folder, folder, project.run.output_dir), save);
  }
  return join_path(folder, save);
}

outcome write_listing_file(html_list_project& project, const qxi2_tree& tree,
                           const std::string& folder, std::unique_ptr<qxfile_tree>* summary_out,
                           evaluation_memo* memo) {
  project_run& run = project.run;
  const project_settings& settings = project.settings;
  start_output_file(run, settings);
  if (settings.source != source_ftp && !can_enter(folder)) {
    return {result_folder_not_current, phrase(project, kPhraseCantOpenFolder) + folder};
  }

  const std::string path = output_path(project, folder);
  // Pages under output_dir go into folders made as needed: the mirror of
  // the tree, or the folder a single page is saved in.
  if (!run.output_dir.empty() && !to_standard_output(settings) &&
      path.starts_with(join_path(run.output_dir, ""))) {
    const mirror_result made =
        make_mirror_folder(run.output_dir, std::filesystem::path(path).parent_path().string());
    switch (made.fault) {
      case mirror_fault::none:
        break;
      case mirror_fault::symbolic_link:
        return {result_output_not_created, phrase(project, kPhraseOutputIsLink) + made.path};
      case mirror_fault::not_a_folder:
        return {result_output_not_created, phrase(project, kPhraseOutputNotRegular) + made.path};
      case mirror_fault::failed:
        return {result_output_not_created, phrase(project, kPhraseCantWriteFile) + made.path};
    }
  }
  output_file output;
  if (to_standard_output(settings)) {
    if (output.open_standard_output() != output_open_result::opened) {
      return {result_output_not_created, phrase(project, kPhraseCantWriteFile) + path};
    }
  } else if (outcome opened = open_output(project, path, output); !opened.ok()) {
    return opened;
  }
  note_own_output(run, settings, path, output);

  std::unique_ptr<qxfile_tree> summary;
  if (settings.recursive_options & (recursive_subtree_sizes | recursive_leave_out_empty)) {
    summary = std::make_unique<qxfile_tree>();
    if (outcome made = make_summary(project, folder, *summary); !made.ok()) return made;
    run.summary = summary.get();
  }

  qxfile_node root_entry;
  root_entry.is_folder = true;
  qxfile_node* slot = &root_entry;
  dsc_process root = make_root_process(folder, folder_link(project, folder));
  // Relative links are relative to the page: a page saved away from the
  // folder it lists reaches it through the way between the two, so its links
  // work wherever it was saved. A page in the folder needs no way at all.
  run.page_image_dir = run.image_dir;
  if (settings.source != source_ftp) {
    const std::string page_folder = std::filesystem::path(path).parent_path().string();
    root.page_way = relative_way(page_folder, folder, settings.url_escape);
    if (is_relative_link(run.image_dir)) {
      run.page_image_dir =
          relative_way(page_folder, run.folder, settings.url_escape) + run.image_dir;
    }
  }
  file_sink sink(output.get());
  outcome written = evaluate(tree.first(), nullptr, slot, root, project, sink, memo);
  run.summary = nullptr;
  // Bytes still buffered can fail as they go out: a listing is complete only
  // once the file is closed.
  const bool closed = output.close();
  if (written.is(result_write_failed) ||
      (!closed && (written.ok() || written.is(result_stopped)))) {
    written = {result_write_failed, phrase(project, kPhraseCantWriteFile) + path};
  }
  if (summary_out) *summary_out = std::move(summary);
  return written;
}

outcome write_folder_files(html_list_project& project, const qxi2_tree& tree,
                           const std::string& folder, int levels, evaluation_memo* memo) {
  // The pages of one walk share what their evaluations learn.
  std::unique_ptr<evaluation_memo> own_memo;
  if (!memo) {
    own_memo = std::make_unique<evaluation_memo>();
    memo = own_memo.get();
  }
  std::unique_ptr<qxfile_tree> summary;
  if (outcome written = write_listing_file(project, tree, folder, &summary, memo); !written.ok()) {
    return written;
  }
  if (levels == 0) return {};

  // The walk needs the subfolders only, not the status of every file.
  qxfile_tree entries;
  if (!scan_subfolders(folder, entries)) {
    return {result_folder_not_entered, phrase(project, kPhraseCantOpenFolder) + folder};
  }
  const outcome stopped{result_stopped, {}};
  if (stop_raised(project)) return stopped;
  project.run.filter.apply(entries, nullptr);
  if (stop_raised(project)) return stopped;

  const bool leave_out_empty =
      (project.settings.recursive_options & recursive_leave_out_empty) && summary;
  const qxfile_node* page_summary = summary ? summary->first() : nullptr;
  for (qxfile_node* entry = entries.first(); entry; entry = entry->next()) {
    if (!entry->is_folder) continue;
    if (stop_raised(project)) return stopped;
    // A folder reached through a link is listed where it stands but never
    // entered, so a link cycle cannot make the walk run away.
    if (entry->attributes & attribute_link) continue;
    if (leave_out_empty && page_summary) {
      find_summary(*entry, *page_summary);
      if (!entry->summary) continue;
    }
    const std::string child = join_path(folder, entry->name);
    outcome written = write_folder_files(project, tree, child, levels - 1, memo);
    if (!written.ok()) return written;
  }
  return {};
}

outcome build_project(html_list_project& project) {
  const project_settings& settings = project.settings;
  project_run& run = project.run;
  const projectCollection* collection = run.collection;
  if (!collection || !collection->language) {
    return {result_no_phrases, "No phrase table is loaded: the listing cannot be built."};
  }
  // Every page would land on the same file.
  if (!settings.subfolders_in_one_file && settings.source != source_ftp &&
      settings.save.find('/') != std::string::npos) {
    return {result_output_not_created,
            phrase(project, kPhraseOutputNameHasFolder) + " (" + settings.save + ")"};
  }
  if (!settings.subfolders_in_one_file && to_standard_output(settings)) {
    return {result_output_not_created,
            "Standard output (save \"-\") takes one listing file, not one per folder."};
  }
  prepare_run(project);

  qxi2_tree tree;
  const std::string template_path = resolved(project, settings.format_file);
  outcome built = read_template_file(template_path, template_not_found_name(project),
                                     *collection->language, tree);
  if (!built.ok()) return built;
  protect_inputs(project, template_path);
  built = settings.subfolders_in_one_file
              ? write_listing_file(project, tree, run.folder)
              : write_folder_files(project, tree, run.folder, settings.recursion_depth);
  run.inputs.clear();
  return built;
}

outcome run_collection(projectCollection& collection) {
  collection.last_result = {};
  outcome built;
  for (const auto& project : collection.projects) {
    project->run.collection = &collection;
    built = build_project(*project);
    // What a window shows after a build; written by the building thread only.
    collection.last_result = built;
    if (!built.ok()) break;
  }
  if (collection.finish) collection.finish();
  return built;
}

}  // namespace dirscribe
