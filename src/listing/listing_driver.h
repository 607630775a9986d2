// The listing generation driver: turns the projects of a collection into HTML
// files. For each project it prepares the paths and link bases, parses the
// template once, prepares the filter, and writes one output file for the whole
// tree or one per folder, each evaluated with a fresh generation state.
//
// The driver never changes the process's current directory: the listed folder
// and the output file are reached by explicit paths, so a build may run on a
// worker thread while the rest of the program goes on.
#pragma once

#include <memory>
#include <string>

#include "core/outcome.h"
#include "engine/protected_files.h"
#include "platform/folder_handle.h"
#include "template/template_node.h"

namespace dirscribe {

class listing_run;
class project_context;
struct html_list_project;
class file_tree;
struct evaluation_memo;

// Builds every project of `collection` in order. The first failing project
// ends the run and later projects are not started. Keeps the outcome of the
// last project built in the collection's last_result and calls the finish
// callback (when set) whatever the outcome. Returns that outcome (success
// when there is no project).
outcome run_collection(project_context& collection);

// Builds one project of `collection`, which must have a phrase table (20012
// otherwise). The project is read, never changed: what the build works out
// (the folder as it resolves, the filter's windows, the totals) lives in a
// listing_run of its own for as long as the build lasts. Fails with the code
// and message of the first failing step.
outcome build_project(const html_list_project& project, const project_context& collection);

// Works out what a build of `run`'s settings needs before it writes anything:
// the listed folder and output_dir as they resolve, link bases, the image
// folder's links, the filter's concrete windows, the cluster size.
void prepare_run(listing_run& run);

// Writes the output file of `folder` (listing its whole tree when the project
// lists everything in one file) from the parsed `tree`. When `summary_out` is
// given and the project asks for recursive sizes, it receives the folder
// summary the listing used (the caller may need it to tell empty subfolders).
// `memo`, when given, is shared by the evaluations of `tree` in this run.
// `listed`, when given, is `folder` held open; `page_folder` the folder the
// page goes into, held open (both are opened by path when not given). The
// page is written whole or not at all; a file Dirscribe did not write in its
// place is kept (unless the project overwrites), named in a warning and
// counted in the run's kept_files, and the call succeeds.
// REQUIRES: `run` was prepared by prepare_run.
outcome write_listing_file(listing_run& run, const template_tree& tree, const std::string& folder,
                           std::unique_ptr<file_tree>* summary_out = nullptr,
                           evaluation_memo* memo = nullptr, const held_folder& listed = nullptr,
                           const held_folder& page_folder = nullptr);

// Writes the output file of `folder` and, while `levels` is not 0, those of
// its subfolders that pass the folder filter, one level less each time (-1
// covers the whole tree). Each subfolder is opened from its parent's
// descriptor, as is its mirror folder under output_dir: folders reached
// through symbolic links are never entered, and one that turned into a link
// during the walk is skipped with a warning. With recursive_options bit 2,
// folders whose subtree holds no file get no output file. `listed` and
// `mirror`, when given, hold `folder` and its mirror folder open.
outcome write_folder_files(listing_run& run, const template_tree& tree, const std::string& folder,
                           int levels, evaluation_memo* memo = nullptr,
                           const held_folder& listed = nullptr,
                           const held_folder& mirror = nullptr);

// The files a build of a project of `collection` reads: the template at
// `template_path`, the project file, the extension table, the style catalog
// and the settings wherever they are read from. No output may be written over
// one of them.
protected_files files_read_by(const project_context& collection, const std::string& template_path);

// The full path of the output file of `folder`: `save` itself when it is an
// absolute path, or "-" (standard output, one file only), or when the project
// lists FTP links, whose folders are not local; otherwise `save` inside the
// run's resolved `output_dir` when one file is written and it is set, else
// inside `folder` (or its mirror under output_dir, one page per folder).
std::string output_path(const listing_run& run, const std::string& folder);

}  // namespace dirscribe
