#include "listing/listing_driver.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "core/byte_string.h"
#include "engine/html_list_project.h"
#include "engine/link_rules.h"
#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "files/file_node.h"
#include "files/file_path.h"
#include "files/folder_record.h"
#include "files/folder_scanner.h"
#include "files/folder_summary.h"
#include "listing/mirror_folder.h"
#include "listing/output_file.h"
#include "listing/thumbnail_writer.h"
#include "platform/file_system.h"
#include "platform/user_data.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"
#include "template/loop_frame.h"
#include "template/template_evaluator.h"
#include "template/template_file.h"
#include "template/template_values.h"

namespace dirscribe {

namespace {

// A folder the project names (`path`, `output_dir`), taken in the project
// file's folder when relative and made lexically normal; never looked for in
// the program folder, so a run cannot list or write the program's own files
// by accident.
std::string project_folder_path(const project_context& collection, const std::string& name) {
  const std::string found = collection.resolve_in_project_folder(name);
  return std::filesystem::path(found).lexically_normal().string();
}

// The name of a template that was not found, with every place tried.
std::string template_not_found_name(const project_context& collection, const std::string& name) {
  // "Can't open file: " and nothing would leave the user guessing.
  if (name.empty()) return "(the project names no template: its format_file is empty)";
  return name_with_places_tried(name, collection.lookup_paths(name));
}

// The name "-" as a `save` of one file: the listing goes to standard output.
bool to_standard_output(const project_settings& settings) {
  return settings.save == "-" && settings.source != source_ftp;
}

// The folder a listing lists, held open when the listing can enter it (list
// and reach its entries); none otherwise.
held_folder enter_folder(const std::string& folder, const held_folder& listed) {
  held_folder held = listed ? listed : folder_handle::open_path(folder).folder;
  if (!held || ::faccessat(held->descriptor(), ".", R_OK | X_OK, 0) != 0) return nullptr;
  return held;
}

// The reason of a failed system call, after the path it failed on.
std::string because(int error) {
  return error != 0 ? std::string(": ") + std::strerror(error) : std::string();
}

// The failure of a page put in place behind the walk, if there was one.
outcome commit_outcome(const listing_run& run, const std::optional<commit_failure>& failure) {
  if (!failure) return {};
  return {result_write_failed,
          run.phrase(kPhraseCantWriteFile) + failure->label + because(failure->error)};
}

// What the summary walk lends from the run.
generation_context summary_context(const listing_run& run) {
  generation_context context;
  context.progress = run.context.progress;
  context.stop = &run.context.stop_flag;
  context.warning = run.context.warning;
  context.filter = &run.filter;
  context.outputs = &run.outputs;
  context.allocation_unit = run.cluster_size > 0 ? static_cast<uint64_t>(run.cluster_size) : 0;
  context.progress_phrase = run.phrase(kPhraseReadingFolder);
  context.scan_failed_phrase = run.phrase(kPhraseCantOpenFolder);
  context.folder_swapped_phrase = run.phrase(kPhraseFolderSwapped);
  return context;
}

// Builds the folder summary of `folder` for subtree sizes and empty-folder
// suppression. The listing reads these folders again and reports them then:
// each folder is reported once.
outcome make_summary(const listing_run& run, const held_folder& listed, const std::string& folder,
                     file_tree& summary) {
  generation_context context = summary_context(run);
  context.progress = nullptr;
  auto top = std::make_unique<file_node>();
  top->is_folder = true;
  top->name = folder;
  file_node* top_node = summary.append_top(std::move(top));
  outcome built = build_summary(listed, folder, context, summary, top_node);
  if (!built.ok()) return built;
  if (run.settings.recursive_options & recursive_leave_out_empty) suppress_empty(summary);
  return {};
}

// Whether the template prints or tests thumbnail_url anywhere: a style that
// shows no thumbnail has none made.
bool shows_thumbnails(const template_tree& tree) {
  for (const template_node* node = tree.first(); node; node = node->next_in_document_order()) {
    if (node->type < node_echo || (node->type > node_echoen && node->type != node_if)) continue;
    const template_variable* variable = template_variable_row(node->index);
    if (variable != nullptr && variable->value == template_values::thumbnail_url) return true;
  }
  return false;
}

// The summary of one output file for the whole tree, recorded in the same
// walk that reads the folders for the listing; `record` stays empty, and
// the caller makes the summary alone, when no scratch file can be made.
outcome make_record(const listing_run& run, const held_folder& listed, const std::string& folder,
                    std::unique_ptr<folder_record>& record) {
  int error = 0;
  std::unique_ptr<scratch_file> scratch = scratch_file::create(error);
  if (!scratch) return {};
  generation_context context = summary_context(run);
  const bool leave_out_empty = (run.settings.recursive_options & recursive_leave_out_empty) != 0;
  return folder_record::build(std::move(scratch), listed, folder, context, leave_out_empty, record);
}

}  // namespace

protected_files files_read_by(const project_context& collection, const std::string& template_path) {
  protected_files inputs;
  inputs.add(template_path);
  inputs.add(collection.file_name);
  if (!collection.program_folder.empty()) {
    inputs.add(collection.program_folder + "ext.txt");
    // The style catalog and the settings are the user's data: protected
    // wherever they are read from.
    const user_data_folders folders = user_data_folders::for_program(collection.program_folder);
    for (const char* name : {"templates.txt", "settings.txt"}) {
      inputs.add(folders.program_folder() + name);
      if (!folders.user_folder().empty()) inputs.add(folders.user_folder() + name);
    }
  }
  return inputs;
}

namespace {

// Why the output file at `path` may not be written; success when it may.
outcome refusal(const listing_run& run, output_open_result result, const std::string& path,
                int error) {
  switch (result) {
    case output_open_result::opened:
    case output_open_result::foreign:
      return {};
    case output_open_result::failed:
      break;
    case output_open_result::symbolic_link:
      return {result_output_not_created, run.phrase(kPhraseOutputIsLink) + path};
    case output_open_result::not_regular_file:
      return {result_output_not_created, run.phrase(kPhraseOutputNotRegular) + path};
    case output_open_result::protected_input:
      return {result_output_not_created, run.phrase(kPhraseOutputIsInput) + path};
  }
  return {result_output_not_created, run.phrase(kPhraseCantWriteFile) + path + because(error)};
}

// The page about to be written in `page_folder` is part of the run's output,
// whatever the masks say, and so is the output_dir.
void note_own_output(listing_run& run, const std::string& page_name,
                     const held_folder& page_folder) {
  run.outputs = own_output{};
  run.outputs.written_folder = run.written_folder;
  if (!page_folder) return;  // standard output: nothing in the tree to leave out
  run.outputs.name = page_name;
  if (run.thumbnails) run.outputs.thumbnail_folder = kThumbnailFolder;
  if (run.settings.subfolders_in_one_file) {
    run.outputs.page_folder = folder_identity::of(*page_folder);
  } else {
    run.outputs.in_every_folder = true;
  }
}

// A mirror folder that could not be made, in the words of its fault.
outcome mirror_failure(const listing_run& run, const outcome& fault) {
  const int id = fault.is(result_mirror_link_in_the_way) ? kPhraseOutputIsLink
                 : fault.is(result_mirror_not_a_folder)  ? kPhraseOutputNotRegular
                                                         : kPhraseCantWriteFile;
  return {result_output_not_created, run.phrase(id) + fault.message()};
}

// The folder the page at `path` goes into, held open: made under output_dir
// as needed (never through a link), else the folder as the user named it.
outcome open_page_folder(const listing_run& run, const std::string& path,
                         held_folder& page_folder) {
  const std::string parent = std::filesystem::path(path).parent_path().string();
  if (!run.output_dir.empty() && path.starts_with(join_path(run.output_dir, ""))) {
    mirror_result made = make_mirror_folder(run.output_dir, parent);
    if (!made.result.ok()) return mirror_failure(run, made.result);
    page_folder = std::move(made.folder);
    return {};
  }
  const folder_opening opened = folder_handle::open_path(parent.empty() ? "." : parent);
  if (!opened.folder) {
    return {result_output_not_created,
            run.phrase(kPhraseCantWriteFile) + path + because(opened.error)};
  }
  page_folder = opened.folder;
  return {};
}

// Clears what one output file counts and finds its size unit label.
void start_output_file(listing_run& run) {
  run.clear_listing_totals();
  run.summary = nullptr;
  run.size_unit_label.clear();
  if (const tagged_value* label =
          run.context.size_unit_names.lookup(std::to_string(run.settings.size_units))) {
    run.size_unit_label = label->to_text();
  }
}

// The listed folder as a build takes it: a relative folder in the project
// file's folder (the build never relies on the current directory), "../x" read as the folder it
// names, and trailing "/" removed. An empty local path names no folder and stays empty, so that the
// first file fails with "can't open folder" instead of listing (and writing index files into) the
// whole file system; "/" itself still lists the root.
std::string listed_folder(const listing_run& run) {
  const project_settings& settings = run.settings;
  std::string folder = settings.path;
  const bool local = settings.source != source_ftp;
  if (local && !folder.empty() && folder.front() != '/') {
    folder = project_folder_path(run.context, folder);
  }
  if (!local || !folder.empty()) folder = normalise_folder_path(folder);
  return folder;
}

}  // namespace

void prepare_run(listing_run& run) {
  const project_settings& settings = run.settings;
  run.folder = listed_folder(run);
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
    run.output_dir = normalise_folder_path(project_folder_path(run.context, settings.output_dir));
  }
  run.mirror =
      !settings.subfolders_in_one_file && !run.output_dir.empty() && settings.source != source_ftp;
  run.written_folder = {};
  run.kept_files = 0;
  run.files_found = 0;
  run.files_passed = 0;
  std::string images = run.context.program_folder + "images";
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

std::string output_path(const listing_run& run, const std::string& folder) {
  const project_settings& settings = run.settings;
  const std::string& save = settings.save;
  if (to_standard_output(settings)) return save;
  if (settings.source == source_ftp || (!save.empty() && save.front() == '/')) return save;
  if (settings.subfolders_in_one_file && !run.output_dir.empty()) {
    return join_path(run.output_dir, save);
  }
  if (run.mirror) return join_path(mirror_folder(run.folder, folder, run.output_dir), save);
  return join_path(folder, save);
}

namespace {

// Where a page goes and what is there now.
struct page_place {
  std::string path;  // as messages name it
  std::string name;  // its name in `folder`
  held_folder folder;
  bool standard_output = false;
  bool keep = false;                    // a file Dirscribe did not write is there and stays
  std::optional<struct stat> replaced;  // the regular file there now, if any
};

// Works out where the page of `folder` goes, holds the folder it goes into
// (`page_folder` when the caller holds it already), and checks what is there
// now; the page is then one of the run's own outputs.
outcome settle_page(listing_run& run, const std::string& folder, const held_folder& page_folder,
                    page_place& page) {
  page.path = output_path(run, folder);
  page.standard_output = to_standard_output(run.settings);
  page.name = std::filesystem::path(page.path).filename().string();
  page.folder = page_folder;
  if (!page.standard_output) {
    if (!page.folder) {
      if (outcome opened = open_page_folder(run, page.path, page.folder); !opened.ok()) {
        return opened;
      }
    }
    const output_open_result checked =
        check_output(*page.folder, page.name, run.inputs, run.settings.overwrite, &page.replaced);
    if (outcome refused = refusal(run, checked, page.path, 0); !refused.ok()) return refused;
    page.keep = checked == output_open_result::foreign;
  }
  note_own_output(run, page.name, page.standard_output ? nullptr : page.folder);
  return {};
}

// The loop frame a page's evaluation starts from. Relative links are
// relative to the page: a page saved away from the folder it lists reaches it
// through the way between the two, so its links work wherever it was saved.
// A page in the folder needs no way at all.
loop_frame page_root_frame(listing_run& run, const std::string& folder, const std::string& path,
                           const held_folder& listed_folder) {
  const project_settings& settings = run.settings;
  loop_frame root = make_root_frame(folder, folder_link(run, folder));
  root.handle = listed_folder;
  if (run.record) root.block = run.record->top_block();
  run.page_image_dir = run.image_dir;
  if (settings.source != source_ftp) {
    const std::string page_folder_path = std::filesystem::path(path).parent_path().string();
    root.page_way = relative_way(page_folder_path, folder, settings.url_escape);
    if (is_relative_link(run.image_dir)) {
      run.page_image_dir =
          relative_way(page_folder_path, run.folder, settings.url_escape) + run.image_dir;
    }
  }
  return root;
}

// A folder of a tree recorded once for all its pages: where its entries lie
// in the record, and its summary (one node, the totals of its subtree).
struct recorded_folder {
  folder_record* record = nullptr;
  record_block block;
  file_tree* totals = nullptr;
};

// The summary a page makes for itself when the project asks for subtree
// sizes: one file for the tree reads every folder once, from the record it
// makes here; a page per folder, or a run that cannot make a record, walks
// the subtree it sums into `summary`.
outcome summarize_page(listing_run& run, const held_folder& listed, const std::string& folder,
                       std::unique_ptr<folder_record>& record,
                       std::unique_ptr<file_tree>& summary) {
  const project_settings& settings = run.settings;
  if (!(settings.recursive_options & (recursive_subtree_sizes | recursive_leave_out_empty))) {
    return {};
  }
  if (settings.subfolders_in_one_file && listed) {
    if (outcome made = make_record(run, listed, folder, record); !made.ok() || record) return made;
  }
  summary = std::make_unique<file_tree>();
  return make_summary(run, listed, folder, *summary);
}

// Writes the page of `folder` as write_listing_file does; with
// `from_record`, the folder's entries and totals come from the record of the
// whole tree instead of a walk of the folder's own.
outcome write_page(listing_run& run, const template_tree& tree, const std::string& folder,
                   std::unique_ptr<file_tree>* summary_out, evaluation_memo* memo,
                   const held_folder& listed, const held_folder& page_folder,
                   const recorded_folder* from_record) {
  const project_settings& settings = run.settings;
  // A page put in place behind the walk failed: the run ends there.
  if (run.commits) {
    if (outcome failed = commit_outcome(run, run.commits->failure()); !failed.ok()) {
      return failed;
    }
  }
  start_output_file(run);
  held_folder listed_folder;
  if (settings.source != source_ftp) {
    // A folder handed in was entered by the caller.
    listed_folder = listed ? listed : enter_folder(folder, nullptr);
    if (!listed_folder) {
      return {result_folder_not_current, run.phrase(kPhraseCantOpenFolder) + folder};
    }
  }

  // Everything about the page is settled before the tree is read: where it
  // goes, and whether what is there now may be replaced.
  page_place page;
  if (outcome settled = settle_page(run, folder, page_folder, page); !settled.ok()) return settled;
  const std::string& path = page.path;

  std::unique_ptr<file_tree> summary;
  std::unique_ptr<folder_record> record;
  if (!from_record) {
    if (outcome made = summarize_page(run, listed_folder, folder, record, summary); !made.ok()) {
      return made;
    }
  }
  if (page.keep) {
    // A page someone made by hand stays; the rest of the listing goes on.
    run.warn(run.phrase(kPhraseKeptForeignFile) + path);
    ++run.kept_files;
    if (summary_out) *summary_out = std::move(summary);
    return {};
  }

  output_file output;
  // A page per folder writes each page into the file an earlier page
  // replaced, where one can serve.
  spare_files* spares = run.commits ? &run.commits->spares() : nullptr;
  const output_open_result opened =
      page.standard_output ? output.open_standard_output()
                           : output.open(page.folder, page.name, page.replaced, spares);
  if (opened != output_open_result::opened) return refusal(run, opened, path, output.error());
  if (from_record) {
    run.summary = from_record->totals;
    run.record = from_record->record;
  } else {
    run.summary = record ? &record->summary() : summary.get();
    run.record = record.get();
  }

  file_node root_entry;
  root_entry.is_folder = true;
  file_node* slot = &root_entry;
  loop_frame root = page_root_frame(run, folder, path, listed_folder);
  if (from_record) root.block = from_record->block;
  file_sink sink(output.get());
  if (run.thumbnails && !page.standard_output) run.thumbnails->begin_page(page.folder, path);
  outcome written = evaluate(tree.first(), nullptr, slot, root, run, sink, memo);
  const int write_error = errno;  // why a write failed, when one did
  if (run.thumbnails) run.thumbnails->end_page(written.ok());
  run.summary = nullptr;
  run.record = nullptr;
  if (summary_out) *summary_out = std::move(summary);
  // A listing is put in place only when complete: a stopped or failed build
  // leaves the listing that was there before.
  if (!written.ok() && !written.is(result_write_failed)) return written;
  if (written.ok() && run.commits && output.close_later(*run.commits, path)) return {};
  if (written.ok() && output.close()) return {};
  return {result_write_failed, run.phrase(kPhraseCantWriteFile) + path +
                                   because(written.ok() ? output.error() : write_error)};
}

}  // namespace

outcome write_listing_file(listing_run& run, const template_tree& tree, const std::string& folder,
                           std::unique_ptr<file_tree>* summary_out, evaluation_memo* memo,
                           const held_folder& listed, const held_folder& page_folder) {
  return write_page(run, tree, folder, summary_out, memo, listed, page_folder, nullptr);
}

namespace {

// Appends to `entries` the subfolders of the page's folder `held` that are no
// links, in enumeration order: as the page's own listing read them, or read
// now (without the status of every file) when the page did not read its
// folder. False when the folder cannot be read.
bool page_subfolders(listing_run& run, const folder_handle& held, file_tree& entries) {
  if (!run.page_subfolders_read) return scan_subfolders(held, entries);
  file_node* last = nullptr;
  for (std::string& name : run.page_subfolders) {
    std::unique_ptr<file_node> node = entries.new_node();
    node->name = std::move(name);
    node->is_folder = true;
    last = last ? entries.insert_after(last, std::move(node)) : entries.append_top(std::move(node));
  }
  run.page_subfolders.clear();
  return true;
}

// The subfolders of the page's folder that get pages of their own, from the
// record when the tree was recorded (with the totals of each), else as the
// page read them; the run's outputs and the folders the filter leaves out are
// not among them. False when they cannot be read.
bool subfolders_of_page(listing_run& run, const folder_handle& held,
                        const recorded_folder* from_record, file_tree& entries,
                        recorded_level& level) {
  if (from_record) {
    if (!from_record->record->read(from_record->block, entries, level)) return false;
  } else {
    if (!page_subfolders(run, held, entries)) return false;
    run.outputs.leave_out(entries, nullptr, held);
  }
  run.filter.apply(entries, nullptr);
  return true;
}

// Writes the pages of the subfolder `entry` of `folder` (held open in
// `held`, its mirror in `mirrored`) and below, `levels` deep; a subfolder
// swapped for a link is skipped with a warning.
outcome write_subfolder_pages(listing_run& run, const template_tree& tree,
                              const std::string& folder, const file_node& entry, int levels,
                              evaluation_memo* memo, const folder_handle& held,
                              const held_folder& mirrored, const recorded_folder* from_record,
                              const recorded_level& level);

outcome write_pages(listing_run& run, const template_tree& tree, const std::string& folder,
                    int levels, evaluation_memo* memo, const held_folder& listed,
                    const held_folder& mirror, const recorded_folder* from_record) {
  // The pages of one walk share what their evaluations learn.
  std::unique_ptr<evaluation_memo> own_memo;
  if (!memo) {
    own_memo = std::make_unique<evaluation_memo>();
    memo = own_memo.get();
  }
  const bool local = run.settings.source != source_ftp;
  const held_folder held = local ? enter_folder(folder, listed) : nullptr;
  if (local && !held) {
    return {result_folder_not_current, run.phrase(kPhraseCantOpenFolder) + folder};
  }
  held_folder mirrored = mirror;
  if (run.mirror && !mirrored) {
    mirror_result made =
        make_mirror_folder(run.output_dir, mirror_folder(run.folder, folder, run.output_dir));
    if (!made.result.ok()) return mirror_failure(run, made.result);
    mirrored = std::move(made.folder);
  }
  // The page goes into the folder itself, reached through its descriptor, or
  // into its mirror.
  const held_folder page_folder = run.mirror ? mirrored : held;
  run.subfolder_pages = local && levels != 0;
  std::unique_ptr<file_tree> summary;
  // The page's own listing of the folder tells its subfolders, when it
  // reads the folder at all.
  run.page_folder_read = held.get();
  run.page_subfolders_read = false;
  outcome written = write_page(run, tree, folder, &summary, memo, held,
                               local ? page_folder : nullptr, from_record);
  run.page_folder_read = nullptr;
  if (!written.ok()) return written;
  if (levels == 0 || !local) return {};

  const outcome stopped{result_stopped, {}};
  if (run.stop_raised()) return stopped;
  file_tree entries(&run.node_pool);
  recorded_level level;
  if (!subfolders_of_page(run, *held, from_record, entries, level)) {
    return {result_folder_not_entered, run.phrase(kPhraseCantOpenFolder) + folder};
  }
  if (run.stop_raised()) return stopped;

  const bool leave_out_empty =
      (run.settings.recursive_options & recursive_leave_out_empty) && summary;
  const file_node* page_summary = summary ? summary->first() : nullptr;
  for (file_node* entry = entries.first(); entry; entry = entry->next()) {
    if (!entry->is_folder) continue;
    if (run.stop_raised()) return stopped;
    // A folder reached through a link is listed where it stands but never
    // entered, so a link cycle cannot make the walk run away.
    if (entry->attributes & attribute_link) continue;
    if (from_record) {
      // Not part of the record's summary: left out as empty.
      if (!entry->summary) continue;
    } else if (leave_out_empty && page_summary) {
      find_summary(*entry, *page_summary);
      if (!entry->summary) continue;
    }
    outcome written = write_subfolder_pages(run, tree, folder, *entry, levels - 1, memo, *held,
                                            mirrored, from_record, level);
    if (!written.ok()) return written;
  }
  return {};
}

outcome write_subfolder_pages(listing_run& run, const template_tree& tree,
                              const std::string& folder, const file_node& entry, int levels,
                              evaluation_memo* memo, const folder_handle& held,
                              const held_folder& mirrored, const recorded_folder* from_record,
                              const recorded_level& level) {
  const std::string child = join_path(folder, entry.name);
  folder_opening opened = held.open_child(entry.name);
  if (opened.fault == folder_fault::symbolic_link) {
    run.warn(run.phrase(kPhraseFolderSwapped) + child);
    return {};
  }
  if (!opened.folder) {
    return {result_folder_not_current, run.phrase(kPhraseCantOpenFolder) + child};
  }
  held_folder child_mirror;
  if (run.mirror) {
    mirror_result made =
        make_mirror_child(mirrored, mirror_folder(run.folder, folder, run.output_dir), entry.name);
    if (!made.result.ok()) return mirror_failure(run, made.result);
    child_mirror = std::move(made.folder);
  }
  file_tree child_totals;
  recorded_folder child_record;
  if (from_record) {
    // The subfolder's page takes its totals from the node its parent read.
    auto totals = std::make_unique<file_node>();
    totals->is_folder = true;
    totals->name = child;
    totals->size = entry.summary->size;
    totals->file_count = entry.summary->file_count;
    totals->folder_count = entry.summary->folder_count;
    child_totals.append_top(std::move(totals));
    child_record = {from_record->record, level.block_of(entry.summary), &child_totals};
  }
  return write_pages(run, tree, child, levels, memo, opened.folder, child_mirror,
                     from_record ? &child_record : nullptr);
}

}  // namespace

outcome write_folder_files(listing_run& run, const template_tree& tree, const std::string& folder,
                           int levels, evaluation_memo* memo, const held_folder& listed,
                           const held_folder& mirror) {
  const project_settings& settings = run.settings;
  if (settings.source == source_ftp ||
      !(settings.recursive_options & (recursive_subtree_sizes | recursive_leave_out_empty))) {
    return write_pages(run, tree, folder, levels, memo, listed, mirror, nullptr);
  }
  // Subtree sizes: the whole tree is walked once, into a record that every
  // page then reads its folder and its totals from, rather than each page
  // walking its own subtree again.
  const held_folder held = enter_folder(folder, listed);
  if (!held) return {result_folder_not_current, run.phrase(kPhraseCantOpenFolder) + folder};
  // The walk leaves the pages out wherever it meets them, as each page's own
  // listing does.
  note_own_output(run, std::filesystem::path(output_path(run, folder)).filename().string(), held);
  std::unique_ptr<folder_record> record;
  if (outcome made = make_record(run, held, folder, record); !made.ok()) return made;
  if (!record) return write_pages(run, tree, folder, levels, memo, held, mirror, nullptr);
  recorded_folder top{record.get(), record->top_block(), &record->summary()};
  return write_pages(run, tree, folder, levels, memo, held, mirror, &top);
}

outcome build_project(const html_list_project& project, const project_context& collection) {
  const project_settings& settings = project.settings;
  if (!collection.language) {
    return {result_no_phrases, "No phrase table is loaded: the listing cannot be built."};
  }
  listing_run run(settings, collection);
  // Every page would land on the same file.
  if (!settings.subfolders_in_one_file && settings.source != source_ftp &&
      settings.save.find('/') != std::string::npos) {
    return {result_output_not_created,
            run.phrase(kPhraseOutputNameHasFolder) + " (" + settings.save + ")"};
  }
  if (!settings.subfolders_in_one_file && to_standard_output(settings)) {
    return {result_output_not_created,
            "Standard output (save \"-\") takes one listing file, not one per folder."};
  }
  prepare_run(run);

  template_tree tree;
  const std::string template_path = collection.resolve(settings.format_file);
  outcome built =
      read_template_file(template_path, template_not_found_name(collection, settings.format_file),
                         *collection.language, tree);
  if (!built.ok()) return built;
  // No output path, however it is spelt, writes over a file the run reads.
  run.inputs = files_read_by(collection, template_path);
  std::unique_ptr<thumbnail_writer> thumbnails;
  if (settings.thumbnails && settings.source != source_ftp && shows_thumbnails(tree)) {
    thumbnails = std::make_unique<thumbnail_writer>(run);
    run.thumbnails = thumbnails.get();
  }
  held_folder mirror;
  if (!run.output_dir.empty() && settings.source != source_ftp) {
    // Made before the walk, so the walk knows it and never enters it, even
    // when it lies inside the listed tree.
    mirror_result made = make_mirror_folder(run.output_dir, run.output_dir);
    if (!made.result.ok()) {
      run.inputs.clear();
      return mirror_failure(run, made.result);
    }
    run.written_folder = folder_identity::of(*made.folder);
    mirror = std::move(made.folder);
  }
  if (settings.subfolders_in_one_file) {
    built = write_listing_file(run, tree, run.folder);
  } else {
    // Each page is renamed into place, and the page it replaces removed,
    // while the walk reads the next folder.
    commit_queue commits;
    run.commits = &commits;
    built = write_folder_files(run, tree, run.folder, settings.recursion_depth, nullptr, nullptr,
                               run.mirror ? mirror : nullptr);
    run.commits = nullptr;
    if (outcome failed = commit_outcome(run, commits.finish()); built.ok()) built = failed;
  }
  if (built.ok() && run.files_found > 0 && run.files_passed == 0) {
    run.warn(run.phrase(kPhraseFilterLeftNoFile) + std::to_string(run.files_found));
  }
  if (built.ok() && run.kept_files > 0) {
    return {result_output_not_created,
            run.phrase(kPhraseFilesKept) + std::to_string(run.kept_files)};
  }
  return built;
}

outcome run_collection(project_context& collection) {
  collection.last_result = {};
  collection.listed_files = 0;
  collection.thumbnails_made = 0;
  outcome built;
  for (const auto& project : collection.projects) {
    built = build_project(*project, collection);
    // What a window shows after a build; written by the building thread only.
    collection.last_result = built;
    if (!built.ok()) break;
  }
  if (collection.finish) collection.finish();
  return built;
}

}  // namespace dirscribe
