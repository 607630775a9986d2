// A listing project: every choice that defines one listing, kept in a project
// file so the listing can be rebuilt at any time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/link_rules.h"
#include "files/file_filter.h"
#include "markup/xml_node.h"

namespace dirscribe {

// Values of `shell_mode`.
enum shell_mode_value : int32_t {
  shell_mode_system_types = 2,  // type texts from the system's file-type descriptions
};

// Bits of `recursive_options`.
enum recursive_option : int32_t {
  recursive_subtree_sizes = 1,        // folder sizes and counts of whole subtrees
  recursive_leave_out_empty = 2,      // folders whose subtree holds no file are left out
  recursive_folders_after_level = 4,  // a tree loop enters folders after the level
};

// Bits of `show_folders`.
enum show_folders_bit : int32_t {
  show_files_bit = 1,
  show_folders_bit = 2,
};

// The persisted settings; the member initialisers are the defaults of a new
// project (see reset_project for the filter's one exception).
struct project_settings {
  int32_t source = source_local;  // project_source
  std::string ftp_host;
  std::string ftp_login;            // stored and written back; no generation step uses it
  std::string ftp_password;         // stored in plain text; no generation step uses it
  std::string path;                 // the folder to list
  std::string save = "index.html";  // output file name in each listed folder
  int32_t recursion_depth = 0;      // 0 none, -1 unlimited, n levels
  bool subfolders_in_one_file = true;
  int32_t recursive_options = 0;  // recursive_option bits
  file_filter_data filter;
  int32_t order_files = 5;  // 0 scan order; n sorts by key n - 1
  bool sort_order = false;  // true: descending
  bool show_summary = true;
  int32_t show_folders = show_files_bit | show_folders_bit;
  std::string date_format = "%c";
  bool use_date_format = true;
  bool is_local_date = true;
  int32_t size_units = 0;  // -2 readable, -1 automatic, 0 bytes, 1 KB, 2 MB
  int32_t url_escape = 0;  // url_escape_mode (engine/link_rules.h)
  std::string image_dir;
  bool local_image_dir = true;
  int32_t shell_mode = 0;   // shell_mode_system_types: type texts from the system
  std::string format_file;  // the template file
  bool disk_space = false;  // sizes as space taken on disk
  // Written only when set, so files without them read the same everywhere.
  std::string link_base;   // entry links as link_base + path in the listed folder
  std::string output_dir;  // where a relative `save` of one file lands instead of the folder
  // Replace existing files at output paths that Dirscribe did not write
  // (hand-made pages); off, such files are kept and named in a warning.
  bool overwrite = false;
  // The name published pages give the listing in place of the listed
  // folder's own name; empty: the folder's name. Never a path of this machine.
  std::string listing_title;
  // Small pictures of the listed pictures, written beside each page, for
  // styles that show pictures as tiles.
  bool thumbnails = false;
};

// One project of a project file: everything its `project` element holds. A
// build reads it and never changes it; what the build works out lives in a
// listing_run (engine/listing_run.h).
struct html_list_project {
  project_settings settings;
};

// Every persisted field to its default; the filter's files-skip mask becomes
// the default output name so a listing does not list itself.
void reset_project(html_list_project& project);

// Reads the keys found as direct children of `element` (a `project` element
// of `document`). A missing key leaves its field unchanged; an element without
// text gives "" or 0. Numbers read as leading decimal digits ("true" gives 0,
// " 7x" gives 7). When the project gives no files-skip mask, the mask becomes
// the file-name part of its `save`. Never fails.
void read_project(html_list_project& project, const xml_tree& document, const xml_node* element);

// Appends one element line per key, in the file's key order, with the filter
// block in its place; `link_base`, `output_dir`, `overwrite`,
// `listing_title` and `thumbnails` only when they are set.
void write_project(const html_list_project& project, std::vector<std::string>& lines);

// What is wrong with one key of a project element. The reader takes every
// value and ignores unknown keys; these are what it took by accident.
struct project_key_problem {
  enum problem_kind {
    unknown_key,         // the program knows no such key (here)
    filter_key_outside,  // a key of the filter block given outside <filter>
    not_a_number,        // a number field whose text is no number
  };
  problem_kind kind = unknown_key;
  std::string key;         // the element's name
  bool in_filter = false;  // the key stands inside the <filter> block
  std::string value;       // not_a_number: the text as it stands
  int64_t read_as = 0;     // not_a_number: the number the reader makes of it
  std::string suggestion;  // unknown_key: the nearest known key, when one is close
  uint64_t repeats = 0;    // the same problem with the same key met again after this one
};

// Checks the direct children of a `project` element and those of its <filter>
// block, in document order: one problem per kind and key at each level, the
// first met, counting how often it came back.
std::vector<project_key_problem> check_project(const xml_node& element);

// One problem as the user reads it: `unknown key "recursion_dept", did you
// mean "recursion_depth"?`.
std::string describe(const project_key_problem& problem);

}  // namespace dirscribe
