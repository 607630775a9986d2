// The mirror of a folder tree that one-page-per-folder listings are written
// into when the listed folders themselves must stay untouched (output_dir).
#pragma once

#include <string>

#include "core/outcome.h"
#include "platform/folder_handle.h"

namespace dirscribe {

// Where the page of `folder` goes: `mirror_root` followed by the path of
// `folder` below `listed_root` ("/srv/share/a/b" under "/srv/share" mirrors
// to "/out/a/b"). REQUIRES: `folder` is `listed_root` or below it; all three
// are absolute and lexically normal.
std::string mirror_folder(const std::string& listed_root, const std::string& folder,
                          const std::string& mirror_root);

// A mirror folder made or found, or what stood in the way of it.
struct mirror_result {
  // Success, or result_mirror_link_in_the_way, result_mirror_not_a_folder or
  // result_mirror_not_made with the path at fault as the message (for
  // result_mirror_not_made followed by ": " and the system's reason), for
  // the caller to put into words.
  outcome result;
  held_folder folder;  // the folder, held open; set on success only
};

// Makes `folder` and the folders above it up to `mirror_root` (made as
// needed too, as the user named it) and holds it open. Below the root each
// folder is made and opened from its parent's descriptor and nothing is
// followed: a symbolic link or anything but a folder in the way is reported
// with its path and nothing is made past it, even when it was put there while
// the chain was made.
mirror_result make_mirror_folder(const std::string& mirror_root, const std::string& folder);

// One step of the same chain: the folder `name` in the held mirror folder
// `parent` (whose path is `parent_path`), made as needed.
mirror_result make_mirror_child(const held_folder& parent, const std::string& parent_path,
                                const std::string& name);

}  // namespace dirscribe
