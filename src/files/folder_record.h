// The record of one walk over a listed tree. Every folder is read once and
// every entry's status once; the entries of each folder go to a scratch file,
// not to memory, with the totals of each subfolder's whole filtered subtree,
// summed as the folders close. A listing that prints subtree sizes then reads
// each folder's entries back from the record instead of from the file
// system: no second walk, and memory holds only the folders between the top
// and the one being read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/outcome.h"
#include "files/file_node.h"
#include "files/folder_summary.h"
#include "platform/folder_handle.h"
#include "platform/scratch_file.h"

namespace dirscribe {

// Where the entries of one recorded folder lie in the record. A folder that
// was not recorded (never entered) has none.
struct record_block {
  uint64_t offset = 0;
  uint32_t length = 0;  // never 0 for a recorded folder
  bool recorded() const { return length != 0; }
};

// The summary nodes of one listed level, which its folder entries borrow as
// their `summary`, and where each of these folders' own entries lie.
class recorded_level {
 public:
  // A node holding a subtree's totals, owned here.
  file_node* add(uint64_t size, int32_t files, int32_t folders, record_block block);
  // The entries of the folder whose summary node is `summary`; none for a
  // node this level did not add.
  record_block block_of(const file_node* summary) const;

 private:
  file_tree nodes_;
  std::unordered_map<const file_node*, record_block> blocks_;
};

class folder_record {
 public:
  folder_record(const folder_record&) = delete;
  folder_record& operator=(const folder_record&) = delete;
  ~folder_record();

  // Walks the tree below the held folder `top` (named `path` in messages)
  // exactly as build_summary does: the context's filter per level, the run's
  // outputs left out, links counted but never entered, each subfolder opened
  // from its parent's descriptor (one swapped for a link is left out with a
  // warning), progress before each folder in the same order, the same
  // failures. With `leave_out_empty`, a folder whose subtree holds no file
  // is not part of the summary and not counted, as suppress_empty leaves it.
  // The record goes to `file`, which it then owns. Fails also with 20004
  // when the file cannot be written; `record` is set only on success.
  static outcome build(std::unique_ptr<scratch_file> file, const held_folder& top,
                       const std::string& path, generation_context& context, bool leave_out_empty,
                       std::unique_ptr<folder_record>& record);

  // The summary of the listed folder itself: one top node with its totals.
  file_tree& summary() { return summary_; }
  // Where the listed folder's own entries lie.
  record_block top_block() const { return top_block_; }

  // Appends the entries recorded at `block` to the top level of `tree` as
  // scan_folder lists them (folders first, then files, each group in
  // enumeration order), the run's outputs already left out. A folder entry
  // that is part of the summary gets its subtree's size and a `summary` node
  // owned by `level`. False when the record cannot be read.
  bool read(record_block block, file_tree& tree, recorded_level& level);

 private:
  folder_record() = default;
  std::unique_ptr<scratch_file> file_;
  file_tree summary_;
  record_block top_block_;
  std::string block_;  // the last block read, kept for its memory
};

}  // namespace dirscribe
