// The files a listing run writes, so that a listing never lists its own
// output, whatever masks the filter holds.
#pragma once

#include <sys/types.h>

#include <string>

#include "files/file_node.h"

namespace dirscribe {

struct own_output {
  // The output's file name; empty: nothing is left out.
  std::string name;
  // One file per folder: the file of this name in every listed folder is a
  // page of the run. Otherwise only the one file below.
  bool in_every_folder = false;
  // The one output file, by device and inode, so any path to it is caught.
  dev_t device = 0;
  ino_t inode = 0;

  // Whether `entry`, found in the folder at `folder`, is an output of the run.
  // Only entries of the output's name are looked at closer.
  bool is_output(const std::string& folder, const qxfile_node& entry) const;
  // Removes the run's outputs from the children of `parent` in `tree` (its
  // top level when `parent` is nullptr), the entries of the folder `folder`.
  void leave_out(qxfile_tree& tree, qxfile_node* parent, const std::string& folder) const;
};

}  // namespace dirscribe
