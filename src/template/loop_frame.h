// loop_frame: the state of one running for loop, or of one subfolder level of
// a tree loop, while a listing is written. The driver makes the root record of
// each output file; the evaluation derives the records of loops and levels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/folder_record.h"
#include "platform/folder_handle.h"

namespace dirscribe {

struct file_node;
class listing_run;

// Loop modes: the for directive's variable row.
enum loop_mode : int32_t { loop_files = 0, loop_folders = 1, loop_tree = 2 };

struct loop_frame {
  int32_t mode = loop_files;
  int32_t depth_left = 0;  // further subfolder levels a tree loop may descend
  bool is_subfolder_level = false;
  bool odd_row = false;       // true while the first, third... item is evaluated
  bool folder_start = false;  // set during the folder start pass of a tree loop
  bool folder_end = false;    // set during the folder end pass
  bool descends = false;      // the current entry is a folder the loop enters next
  std::string folder;         // file-system path of the folder being listed, for messages
  // The folder being listed, held open: it is read, and its subfolders are
  // opened, through this handle; none until the loop opens it.
  held_folder handle;
  // Where the run's record of the walk keeps this folder's entries; none
  // when the folder is read from the file system.
  record_block block;
  std::string relative_path;  // relative to where the listing began; empty there
  std::string relative_url;   // escaped folder names, each followed by "/"
  // The way from the folder of the page being written to the folder it
  // lists, put before every relative link ("../../srv/share/"); empty for a
  // page inside that folder.
  std::string page_way;
  std::string absolute_url;  // link of the folder, ending with "/"
  // The four counts, cleared together.
  uint64_t total_size = 0;
  int32_t file_count = 0;
  int32_t folder_count = 0;
  int32_t row_index = 0;
  file_node* summary = nullptr;  // this folder's node in the summary tree; borrowed

  void clear_counts() {
    total_size = 0;
    file_count = 0;
    folder_count = 0;
    row_index = 0;
  }
};

// The root record of an output file listing `folder`: mode files, no depth,
// absolute URL `folder_link` (the URL of the listed folder).
loop_frame make_root_frame(std::string folder, std::string folder_link);

// The link of `folder` (the listed folder of `run`, or a folder below it) as
// the entries inside it extend it, ending in "/": with a link base, the base +
// the folder's path below the listed folder, each name escaped by the
// project's `url_escape`; otherwise the folder's own file (or FTP) URL.
// REQUIRES: `run` was prepared for the build.
std::string folder_link(const listing_run& run, std::string_view folder);

// The record of subfolder `name` below `parent`: the same mode, one level less
// to go, the folder, relative path and both URLs extended by the name (escaped
// by `url_escape` in the URLs), and `summary` as its summary node.
loop_frame go_down(const loop_frame& parent, std::string_view name, int url_escape,
                   file_node* summary);

}  // namespace dirscribe
