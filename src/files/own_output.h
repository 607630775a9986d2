// The files a listing run writes, so that a listing never lists its own
// output, whatever masks the filter holds, and the folder the run writes its
// pages into, so that the walk never enters what it is writing.
#pragma once

#include <sys/types.h>

#include <string>

#include "files/file_node.h"
#include "platform/folder_handle.h"

namespace dirscribe {

// A folder known by device and inode, so any path to it is caught.
struct folder_identity {
  dev_t device = 0;
  ino_t inode = 0;
  bool known = false;

  static folder_identity of(const folder_handle& folder);
  bool operator==(const folder_identity&) const = default;
};

struct own_output {
  // The output's file name; empty: no file is left out.
  std::string name;
  // One file per folder: the file of this name in every listed folder is a
  // page of the run. Otherwise only the one in `page_folder`.
  bool in_every_folder = false;
  folder_identity page_folder;
  // The folder the pages go to (an output_dir), never listed nor entered
  // when it lies inside the listed tree; unknown: none.
  folder_identity written_folder;
  // The folder beside each page that holds the page's thumbnails (in every
  // folder or in `page_folder`, as the page); empty: the run makes none.
  std::string thumbnail_folder;

  // Whether `entry`, found in `folder`, is an output of the run (or a
  // temporary file of one, also one an interrupted run left), the folder
  // the pages are written to, or a thumbnails folder beside a page.
  bool is_output(const folder_handle& folder, const file_node& entry) const;
  // Removes the run's outputs from the children of `parent` in `tree` (its
  // top level when `parent` is nullptr), the entries of `folder`.
  void leave_out(file_tree& tree, file_node* parent, const folder_handle& folder) const;
};

}  // namespace dirscribe
