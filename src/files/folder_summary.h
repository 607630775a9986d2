// The folder summary: a tree of folders only, each carrying the file and
// folder counts and the total size of its whole filtered subtree. It gives the
// tree_* template variables their values and decides which folders count as
// empty.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "core/outcome.h"
#include "files/file_filter.h"
#include "files/file_node.h"
#include "files/own_output.h"

namespace dirscribe {

// What a generation run lends the summary walk. Nothing here is owned.
struct generation_context {
  // Receives "progress phrase + folder path" before each folder is read; may
  // be empty. Runs on the thread that builds.
  std::function<void(std::string)> progress;
  // Raised (non-zero) by another thread to stop the run; may be nullptr.
  const std::atomic<int>* stop = nullptr;
  // Applied to each folder's entries, one level at a time; nullptr keeps all.
  const file_filter_data* filter = nullptr;
  // The run's own output files, never counted; nullptr counts everything.
  const own_output* outputs = nullptr;
  // Bytes per allocation unit; 0 counts sizes as they are.
  uint64_t allocation_unit = 0;
  // The texts put in front of a folder path: the progress message, and the
  // error text of a folder that cannot be read.
  std::string progress_phrase;
  std::string scan_failed_phrase;
  // Told "folder_swapped_phrase + folder path" for a folder that turned into
  // a symbolic link (or went) while the walk ran; it is left out. May be empty.
  std::function<void(const std::string&)> warning;
  std::string folder_swapped_phrase;

  bool stopped() const { return stop && stop->load(std::memory_order_relaxed) != 0; }
};

// Fills the summary below `folder` (a folder node of `summary`, normally its
// one top-level node) from the held folder `top`, whose path `path` names it
// in messages: every folder of the filtered
// subtree gets a node, ordered by name in byte order, with file_count,
// folder_count and size covering its whole subtree (sizes rounded up to whole
// allocation units when the context gives one). Folders reached through a
// symbolic link are counted but never entered; each subfolder is opened from
// its parent's descriptor, so one swapped for a link during the walk is left
// out with a warning. Depth is unlimited: the walk keeps its own stack.
// Fails with 20001 when the stop flag is seen, or with 20005 and
// scan_failed_phrase + the folder path at the first folder that cannot be
// opened.
outcome build_summary(const held_folder& top, const std::string& path, generation_context& context,
                      file_tree& summary, file_node* folder);
// The same from the folder the user named at `path`.
outcome build_summary(const std::string& path, generation_context& context, file_tree& summary,
                      file_node* folder);

// Removes, below the top node, every folder whose subtree holds no file, and
// takes the folders removed out of the folder counts above them; the top
// node itself stays.
void suppress_empty(file_tree& summary);

// Looks for `listed`'s name among the children of `page_summary` (a summary
// node). When found, links listed.summary to it and copies its size into
// `listed`. Relies on the summary's byte order of names to stop early.
void find_summary(file_node& listed, const file_node& page_summary);

}  // namespace dirscribe
