// The project of `dirscribe [OPTION]... FOLDER`: what a folder's listing is
// made of when no project file describes it.
#pragma once

#include <string>

#include "app/command_line.h"
#include "core/outcome.h"

namespace dirscribe {

struct html_list_project;
class phrase_table;
class user_data_folders;

// Makes `project` list `folder` as `options` say. The style is picked as the
// wizard picks it (pick_style): the catalog's first style when none is named;
// a name is looked up in the catalog (templates.txt where `folders` finds
// it); a name that is no style but a file is a template with the project
// defaults. The options then change what they name. Relative names of the
// command line become absolute in `start_dir` (the folder, a template file,
// --output-dir, and --output unless it lies in --output-dir or names the
// page of every folder), so the project means the same wherever it is saved.
// Fails with 1 and a message naming the catalog when the style is neither a
// style nor a file, or with the catalog's failure when the catalog is needed
// and cannot be read. `language` (may be nullptr) gives the catalog's
// messages their phrases.
outcome make_folder_project(const std::string& folder, const listing_options& options,
                            const std::string& start_dir, const user_data_folders& folders,
                            const phrase_table* language, html_list_project& project);

// `name` as an absolute path: as it stands when it starts with "/", else in
// `folder`, with "." and ".." worked out.
std::string absolute_in(const std::string& folder, const std::string& name);

}  // namespace dirscribe
