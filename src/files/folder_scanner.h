// Reading the file system into a file_tree: one held folder at a time,
// and the allocation unit used to count sizes as space taken on disk. Paths
// are used as given (joined explicitly by the caller); the process's current
// directory is neither read nor changed.
#pragma once

#include <cstdint>
#include <string>

#include "files/file_node.h"
#include "platform/folder_handle.h"

namespace dirscribe {

// Lists the folder `folder` into `tree`: one node per entry ("." and ".."
// excluded), appended after the existing children of `parent` (the top level
// when parent is nullptr or the tree is empty): first the new folders in
// enumeration order, then the new files in enumeration order. Hidden and
// system entries are kept (the filter decides). `pattern` "*" lists
// everything; any other pattern keeps the names fnmatch accepts. Never
// recurses. Returns false, with the tree unchanged, when the folder cannot be
// opened.
bool scan_folder(const folder_handle& folder, file_tree& tree, file_node* parent,
                 const std::string& pattern = "*");
// The same for the folder the user named at `path`.
bool scan_folder(const std::string& path, file_tree& tree, file_node* parent,
                 const std::string& pattern = "*");

// Appends to the top level of `tree` one node per subfolder of `folder` that
// is not a link, in enumeration order: the folders scan_folder lists without
// attribute_link, with their names and is_folder only (no times, no other
// attributes), read without the status of every file. False, with the tree
// unchanged, when the folder cannot be opened.
bool scan_subfolders(const folder_handle& folder, file_tree& tree);
bool scan_subfolders(const std::string& path, file_tree& tree);

// Fills `node` from the single path `path` (one trailing "/" ignored); `name`
// becomes the path itself. The root "/" is a folder without times. False when
// the path is empty or nothing exists there.
bool stat_path(file_node& node, const std::string& path);

// Bytes per allocation unit of the file system holding `path`, or -1.
// `free_bytes`, when given, receives the free space available to the user.
int64_t cluster_size(const std::string& path, uint64_t* free_bytes = nullptr);

}  // namespace dirscribe
