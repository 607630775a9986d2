#include "files/folder_scanner.h"

#include <fnmatch.h>

#include <memory>
#include <vector>

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

using node_list = std::vector<std::unique_ptr<file_node>>;

// Places `nodes`, in order, directly after `last` or, when last is nullptr,
// after the existing children of `parent` (the top level for nullptr).
// Returns the last node placed, or `last` when there is none. Only the first
// node walks the sibling list; each further one goes directly after the one
// placed before it, so a huge folder is placed in linear time.
file_node* place_nodes(file_tree& tree, file_node* parent, file_node* last, node_list& nodes) {
  for (auto& node : nodes) {
    last = last ? tree.insert_after(last, std::move(node))
                : tree.append_child(parent, std::move(node));
  }
  return last;
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
  node_list folders;
  node_list files;
  const bool everything = pattern == "*";
  const bool opened = list_folder(folder, [&](const std::string& name, const file_status& status) {
    if (!everything && fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) != 0) return;
    auto node = std::make_unique<file_node>();
    node->name = name;
    fill_node(*node, status);
    (status.is_folder ? folders : files).push_back(std::move(node));
  });
  if (!opened) return false;
  // First the folders, then the files, each group in enumeration order.
  file_node* last = place_nodes(tree, parent, nullptr, folders);
  place_nodes(tree, parent, last, files);
  return true;
}

bool scan_subfolders(const folder_handle& folder, file_tree& tree) {
  node_list folders;
  const bool opened = list_subfolders(folder, [&](const std::string& name) {
    auto node = std::make_unique<file_node>();
    node->name = name;
    node->is_folder = true;
    folders.push_back(std::move(node));
  });
  if (!opened) return false;
  place_nodes(tree, nullptr, nullptr, folders);
  return true;
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
