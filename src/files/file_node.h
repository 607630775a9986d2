// The in-memory model of listed file-system entries: file_node, one entry,
// and file_tree, the tree of them with its sort key and the sibling-list
// orderings the listing uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/byte_string.h"
#include "core/owning_tree.h"

namespace dirscribe {

// Seconds since 1970-01-01 00:00:00 UTC, signed and 64 bits wide (past 2038).
using unix_time = int64_t;

struct file_node : tree_node<file_node> {
  std::string name;  // entry name as the file system lists it (no path)
  std::string ext;   // extension with its dot; filled by the template evaluation
  bool is_folder = false;
  uint64_t size = 0;  // bytes; 0 for folders as scanned, subtree total in a summary
  unix_time mtime = 0;
  uint32_t attributes = 0;  // file_attribute bits (platform/file_system.h)
  unix_time ctime = 0;
  unix_time atime = 0;
  std::string short_name;  // no Linux file system keeps a second name: always empty
  // For a listed folder: its node in the summary tree; borrowed, never owned.
  file_node* summary = nullptr;
  int32_t file_count = 0;    // summary tree only: files in the whole subtree
  int32_t folder_count = 0;  // summary tree only: folders in the whole subtree
  std::string spare1;        // never filled; printed by two template variables
  std::string spare2;

  // The two 32-bit words of `size`, for code that stores them apart.
  uint32_t size_low() const { return static_cast<uint32_t>(size); }
  uint32_t size_high() const { return static_cast<uint32_t>(size >> 32); }
  void set_size_words(uint32_t high, uint32_t low) {
    size = (static_cast<uint64_t>(high) << 32) | low;
  }

  // Every field above back to its default, as in a new node; the texts keep
  // their memory. The links are left alone.
  void reset();
};

// Sort keys of file_tree; any other value orders nothing (folders still
// come first).
enum file_sort_key : int32_t {
  sort_unsorted = -1,
  sort_by_name = 0,  // byte order, case-sensitive
  sort_by_ext = 1,   // byte order, case-sensitive
  sort_by_size = 2,
  sort_by_mtime = 3,
  sort_by_name_nocase = 4,  // a..z folded to A..Z
  sort_by_ext_nocase = 5,
  // As a person reads names: the collation of LC_COLLATE, digit runs as
  // numbers; names that are not UTF-8 after the others; ties by name order.
  sort_by_natural = 6,
};

class file_node_pool;

class file_tree : public owning_tree<file_node> {
 public:
  file_tree() = default;
  // A tree whose nodes, made by new_node, go back to `pool` (borrowed; it
  // must outlive the tree) when the tree goes.
  explicit file_tree(file_node_pool* pool) : pool_(pool) {}
  file_tree(file_tree&&) noexcept = default;
  file_tree& operator=(file_tree&&) noexcept = default;
  ~file_tree() override;

  // A new node for this tree, from its pool when it has one.
  std::unique_ptr<file_node> new_node();
  // Unlinks `node` and its subtree; with a pool they go back to it, else
  // they are freed.
  void remove(file_node* node);

  int32_t sort_key = sort_unsorted;

  // Negative, 0 or positive as `a` orders before, with or after `b`: a folder
  // before a file, then by sort_key.
  int compare(const file_node& a, const file_node& b) const;

  // Orders the child list of `parent` (the top-level list when nullptr) by
  // compare, stably: entries that compare equal keep their order.
  void sort_list(file_node* parent);
  // Sorts the top-level list and every child list.
  void sort_all();
  // Reverses the top-level list and every child list.
  void reverse_all();

 private:
  file_node_pool* pool_ = nullptr;
};

// The extension rule: from the last "." to the end when that dot is not the
// first character; otherwise empty (".config" and "README" have none).
std::string extension_of(std::string_view name);

// The first (length of name - length of ext) characters of the name.
std::string name_without_extension(const file_node& node);

// Case-insensitive order (sort key 4): only a..z are folded to A..Z.
int compare_nocase(std::string_view a, std::string_view b);

// Natural order (sort key 6) with the process's collation: valid UTF-8 names
// by the collation, the others after them; what the collation sees as equal
// ("track 02", "track 2") by compare_nocase, then by bytes, so only equal
// names compare equal.
int compare_natural(std::string_view a, std::string_view b);

}  // namespace dirscribe
