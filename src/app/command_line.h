// The command line: what the user asked for, read with getopt_long.
//
//   dirscribe [OPTION]... FOLDER       list a folder without a project file
//   dirscribe [-q] [--strict] PROJECT-FILE...   build each project file in turn
//   dirscribe                          open the wizard
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/outcome.h"

namespace dirscribe {

// The exit code of a command line the program cannot make sense of.
inline constexpr int kUsageExitCode = 2;

enum class run_mode { wizard, help, version, list_styles, projects, folder };

// The choices of `dirscribe [OPTION]... FOLDER`. What is not given keeps the
// picked style's preset, or the project defaults under it.
struct listing_options {
  std::string style;                  // a catalog name or a template file; empty: the first style
  std::optional<std::string> output;  // the listing file; "-" standard output
  std::optional<int32_t> depth;       // recursion_depth
  bool per_folder = false;            // one file per folder
  std::optional<std::string> output_dir;
  std::optional<int32_t> sort;             // order_files
  bool reverse = false;                    // sort_order
  std::optional<std::string> include;      // str_files_include
  std::optional<std::string> exclude;      // str_files_skip
  std::optional<std::string> exclude_dir;  // str_folder_skip, besides hidden folders
  bool all = false;                        // hidden entries (a leading ".") are listed too
  bool sizes = false;                      // recursive_options bit 1
  bool hide_empty = false;                 // recursive_options bit 2
  std::optional<std::string> link_base;
  std::optional<std::string> title;  // listing_title
  bool overwrite = false;            // replace files at output paths that Dirscribe did not write
  bool thumbnails = false;           // write thumbnails of the pictures listed
  std::string save_project;          // write this project file instead of listing; empty: list
};

struct command_line {
  run_mode mode = run_mode::wizard;
  std::vector<std::string> projects;  // run_mode::projects: the files as typed, in order
  std::string folder;                 // run_mode::folder: the folder as typed
  listing_options listing;
  bool quiet = false;   // no progress line, no warnings
  bool strict = false;  // warnings about project files are failures
};

// What a bare argument names where the command ran.
enum class argument_kind { nothing, folder, file };

// Reads `args` (the program name excluded) into `line`. A bare argument is a
// FOLDER when `kind_of` says it is one, or names nothing while an option of
// the folder listing is given; otherwise a PROJECT-FILE. --help and
// --version win over everything after them. Fails with kUsageExitCode and the
// text of a usage error: an unknown option, a missing or malformed value,
// folder options without a folder or with a file, more than one folder, a
// folder and project files mixed.
outcome read_command_line(const std::vector<std::string>& args,
                          const std::function<argument_kind(const std::string&)>& kind_of,
                          command_line& line);

// The usage lines, printed after a usage error and at the top of the help.
extern const std::string_view kUsageText;
// The whole of --help: the usage lines, then every option on one line, under
// 80 columns.
std::string help_text();

}  // namespace dirscribe
