// file_node_pool: the nodes of listed folders, kept for the folders read
// after them. A listing reads one folder after another and frees each
// folder's entries when it is done with them; taking the next folder's nodes
// from the ones freed, names' memory included, lets a long walk read its
// folders without allocating once it has read one as large.
#pragma once

#include <memory>
#include <vector>

#include "files/file_node.h"

namespace dirscribe {

class file_node_pool {
 public:
  file_node_pool() = default;
  file_node_pool(const file_node_pool&) = delete;
  file_node_pool& operator=(const file_node_pool&) = delete;

  // A node as new, unlinked, with every field at its default: a kept one
  // when there is one (its texts keep their memory), else a new one.
  std::unique_ptr<file_node> take();

  // Keeps every node of `tree`, at every level, and leaves the tree empty.
  // The pool never holds more nodes than were alive at once before, so it
  // does not raise the peak memory of a run. When there is no memory to keep
  // a node, the nodes not kept stay in the tree.
  void give_back(file_tree& tree) noexcept;

  size_t kept() const { return kept_.size(); }

 private:
  std::vector<std::unique_ptr<file_node>> kept_;
};

}  // namespace dirscribe
