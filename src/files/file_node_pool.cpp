#include "files/file_node_pool.h"

#include <new>
#include <utility>

namespace dirscribe {

std::unique_ptr<file_node> file_node_pool::take() {
  if (kept_.empty()) return std::make_unique<file_node>();
  std::unique_ptr<file_node> node = std::move(kept_.back());
  kept_.pop_back();
  node->reset();
  return node;
}

void file_node_pool::give_back(file_tree& tree) noexcept try {
  // Leaves first: each node is unlinked alone, without its children, and
  // the walk goes on at its next sibling or, after the last, at its parent,
  // which is then a leaf itself. Every node is visited a bounded number of
  // times, however deep or wide the tree.
  file_node* node = tree.first();
  while (node) {
    if (node->first_child()) {
      node = node->first_child();
      continue;
    }
    file_node* next = node->next();
    file_node* parent = node->parent();
    kept_.push_back(tree.detach(node));
    node = next ? next : (parent ? parent : tree.first());
  }
} catch (const std::bad_alloc&) {
  // No room to keep more: what is left is freed with the tree, which needs
  // no memory to do so.
}

}  // namespace dirscribe
