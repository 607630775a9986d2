#include "files/folder_scanner.h"

#include <fnmatch.h>

#include <memory>

#include "platform/file_system.h"

namespace dirscribe {

namespace {

void fill_node(file_node& node, const file_status& status) {
  node.is_folder = status.is_folder;
  node.mtime = status.mtime;
  node.ctime = status.ctime;
  node.atime = status.atime;
  node.attributes = status.attributes;
  node.size = status.is_folder ? 0 : status.size;
}

// The last child of `parent`, or the last top-level node for nullptr.
file_node* last_of(const file_tree& tree, const file_node* parent) {
  if (parent) return parent->last_child();
  file_node* node = tree.first();
  while (node && node->next()) node = node->next();
  return node;
}

// The first child of `parent`, or the first top-level node for nullptr.
file_node* first_of(const file_tree& tree, const file_node* parent) {
  return parent ? parent->first_child() : tree.first();
}

// Places `node` directly after `after` or, for nullptr, first in the list.
file_node* place_after(file_tree& tree, file_node* parent, file_node* after,
                       std::unique_ptr<file_node> node) {
  if (after) return tree.insert_after(after, std::move(node));
  if (file_node* first = first_of(tree, parent)) return tree.insert_before(first, std::move(node));
  return tree.append_child(parent, std::move(node));
}

// Removes what a read that failed part way placed after `existing` (the
// last child of `parent` before the read, or nullptr when it had none).
void remove_placed(file_tree& tree, const file_node* parent, const file_node* existing) {
  while (file_node* added = existing ? existing->next() : first_of(tree, parent)) {
    tree.remove(added);
  }
}

}  // namespace

bool scan_folder(const std::string& path, file_tree& tree, file_node* parent,
                 const std::string& pattern) {
  const folder_opening opened = folder_handle::open_path(path);
  return opened.folder && scan_folder(*opened.folder, tree, parent, pattern);
}

bool scan_folder(const folder_handle& folder, file_tree& tree, file_node* parent,
                 const std::string& pattern) {
  if (tree.empty()) parent = nullptr;
  // The entries go straight into the list, each in one step, nothing
  // gathered on the side: new folders after the folders placed before them,
  // new files at the end.
  file_node* const existing = last_of(tree, parent);
  file_node* last_folder = existing;
  file_node* last = existing;
  const bool everything = pattern == "*";
  const bool opened = list_folder(folder, [&](const std::string& name, const file_status& status) {
    if (!everything && fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) != 0) return;
    std::unique_ptr<file_node> node = tree.new_node();
    node->name = name;
    fill_node(*node, status);
    if (status.is_folder) {
      file_node* placed = place_after(tree, parent, last_folder, std::move(node));
      if (last == last_folder) last = placed;
      last_folder = placed;
    } else {
      last = place_after(tree, parent, last, std::move(node));
    }
  });
  // A folder that failed part way leaves the list as it was.
  if (!opened) remove_placed(tree, parent, existing);
  return opened;
}

bool scan_subfolders(const folder_handle& folder, file_tree& tree) {
  file_node* const existing = last_of(tree, nullptr);
  file_node* last = existing;
  const bool opened = list_subfolders(folder, [&](const std::string& name) {
    std::unique_ptr<file_node> node = tree.new_node();
    node->name = name;
    node->is_folder = true;
    last = place_after(tree, nullptr, last, std::move(node));
  });
  if (!opened) remove_placed(tree, nullptr, existing);
  return opened;
}

bool scan_subfolders(const std::string& path, file_tree& tree) {
  const folder_opening opened = folder_handle::open_path(path);
  return opened.folder && scan_subfolders(*opened.folder, tree);
}

bool stat_path(file_node& node, const std::string& path) {
  if (path.empty()) return false;
  std::string lookup = path;
  if (lookup.size() > 1 && lookup.back() == '/') lookup.pop_back();
  file_status status;
  if (!path_status(lookup, status)) return false;
  if (lookup == "/") {
    node.is_folder = true;
    node.name = lookup;
    return true;
  }
  fill_node(node, status);
  node.name = lookup;
  return true;
}

int64_t cluster_size(const std::string& path, uint64_t* free_bytes) {
  return file_system_block_size(path, free_bytes);
}

}  // namespace dirscribe
