// project_context: the projects of one project file, with what a run of them
// shares (phrases, extension tables, number format, size unit names) and the
// channels through which a running build reports progress and is stopped.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"
#include "core/value_map.h"
#include "engine/html_list_project.h"
#include "engine/protected_files.h"
#include "files/file_format.h"
#include "platform/mime_database.h"

namespace dirscribe {

class phrase_table;

class project_context {
 public:
  // The most projects one file may hold: enough for any real use, and a
  // bound on what a file of repeated elements can make the reader allocate.
  static constexpr size_t kMaxProjects = 1000;

  // Reads the user's number format once.
  project_context();
  project_context(const project_context&) = delete;
  project_context& operator=(const project_context&) = delete;

  // Deletes the projects, reads `file_name` and appends one project per
  // `project` element with content, in file order (a file of empty project
  // elements loads none). Fails with 20007 and phrase 15 + `shown_name` (the
  // name as the user gave it; `file_name` when empty) when the file cannot be
  // opened, 20008 and `file_name` + ": " + phrase 231 when it is not a
  // readable markup document (then with the reader's line, column and error)
  // or holds no `project` element, and 20008 naming the file and the limit
  // when it holds more than kMaxProjects `project` elements (empty ones
  // count), before any is read. Fills `warnings`.
  outcome load_file(const std::string& file_name, const std::string& shown_name = {});
  // The same for a project file's text held in memory (20008 and phrase 231
  // when it is not a readable markup document or holds no `project` element,
  // 20008 when it holds too many).
  outcome load_text(std::string_view text);

  // Where a relative `format_file` is looked for, in order: the folder of the
  // project file loaded last (when there is one), then the program folder,
  // whose templates a project may name. An absolute name, or one with
  // neither folder known, is the only place.
  std::vector<std::string> lookup_paths(const std::string& name) const;
  // The first of lookup_paths(name) that exists, else the first of them.
  std::string resolve(const std::string& name) const;
  // Where a relative `path` or `output_dir` of a loaded project file is: in
  // that file's folder, whether it exists there or not, and never in the
  // program folder, so that a project beside a tree that lacks "templates"
  // or "images" never lists or writes the program's own files. An absolute
  // name stands as it is. While no project file is loaded (the wizard's
  // untitled project; a folder listed from the command line, which makes
  // its names absolute itself) there is no folder to take it in, and the
  // name resolves as resolve(name) does.
  std::string resolve_in_project_folder(const std::string& name) const;

  // Writes every project, each followed by the separator comment, replacing the
  // file whole or not at all. Fails with 20004 and phrase 232 + `file_name` +
  // why, changing nothing, when the file cannot be written, is a symbolic
  // link or anything but a regular file, or is one of `inputs` (when given).
  outcome save_file(const std::string& file_name, const protected_files* inputs = nullptr) const;

  // The first project or nullptr; the creating form makes a default project
  // when there is none.
  html_list_project* first_project() const;
  html_list_project& first_project_creating();

  // Fills the size unit names from phrases 27 and 28 (when a language is set).
  void fill_size_unit_names();

  std::string program_folder;  // ends in "/"
  std::string file_name;       // the project file last loaded; empty when none
  // Warnings about the projects loaded last, one line each, naming the file,
  // the project's number and the key: unknown keys (with the nearest known
  // key when one is close) and numbers that are no numbers.
  std::vector<std::string> warnings;
  // The moment the listings give as `now`; none: the clock's present moment.
  // A fixed moment makes a listing reproducible byte for byte.
  std::optional<int64_t> fixed_now;
  const phrase_table* language = nullptr;  // borrowed
  number_format numbers;
  value_map size_unit_names;  // size_units as text -> unit label
  value_map kind_type_map;
  value_map extension_type_map;
  value_map kind_icon_map;
  value_map extension_icon_map;
  mutable mime_database mime_types;  // the system's registered types, cached for the run
  std::vector<std::unique_ptr<html_list_project>> projects;
  std::atomic<int> stop_flag{0};  // raised by another thread; builds only read it
  // The files listed so far in the output file being written, as the
  // running build publishes them for progress displays (build_counts).
  // Written by the building thread, which may hold the context as const.
  mutable std::atomic<int32_t> listed_files{0};
  // Thumbnails made so far by the run of this context's builds (not those
  // found made before), for the progress displays; cleared when a run
  // starts, then counted by any thread of its builds.
  mutable std::atomic<int64_t> thumbnails_made{0};
  // The outcome of the last project built; what a window shows after a build.
  outcome last_result;
  // Told the text "phrase 19 + folder" for every folder read; runs on the
  // building thread.
  std::function<void(std::string)> progress;
  // Told each warning of a running build, one line naming the file or folder
  // (a page kept because Dirscribe did not write it, a folder that turned
  // into a link during the run); runs on the building thread. Unset: the
  // warnings go unseen, the build's outcome still says that it fell short.
  std::function<void(const std::string&)> warning;
  // Called once when a run ends, whatever its result.
  std::function<void()> finish;

 private:
  outcome take_projects(const xml_tree& document);
  outcome not_a_project(std::string_view detail = {}) const;
  std::string phrase(int id) const;  // "" without a language
};

// `name` followed by the places tried for it, for a message about a file that
// was not found: "t.html (tried /p/t.html, /prog/t.html)"; `name` alone when
// it was the one place tried.
std::string name_with_places_tried(const std::string& name, const std::vector<std::string>& tried);

// The project file's lines for `projects`, in the written layout.
std::vector<std::string> project_file_lines(
    const std::vector<std::unique_ptr<html_list_project>>& projects);

}  // namespace dirscribe
