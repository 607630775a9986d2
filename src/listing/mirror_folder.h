// The mirror of a folder tree that one-page-per-folder listings are written
// into when the listed folders themselves must stay untouched (output_dir).
#pragma once

#include <string>

namespace dirscribe {

// Where the page of `folder` goes: `mirror_root` followed by the path of
// `folder` below `listed_root` ("/srv/share/a/b" under "/srv/share" mirrors
// to "/out/a/b"). REQUIRES: `folder` is `listed_root` or below it; all three
// are absolute and lexically normal.
std::string mirror_folder(const std::string& listed_root, const std::string& folder,
                          const std::string& mirror_root);

// What stood in the way of a mirror folder.
enum class mirror_fault {
  none,
  symbolic_link,  // a symbolic link where a folder of the mirror goes
  not_a_folder,   // a file, FIFO, socket or device there
  failed,         // the system refused to make the folder (errno says why)
};

struct mirror_result {
  mirror_fault fault = mirror_fault::none;
  std::string path;  // the path at fault
};

// Makes `folder` and the folders above it up to `mirror_root` (made as
// needed too, as the user named it). Below the root nothing is followed: a
// symbolic link or anything but a folder in the way is reported with its
// path and nothing is made past it.
mirror_result make_mirror_folder(const std::string& mirror_root, const std::string& folder);

}  // namespace dirscribe
