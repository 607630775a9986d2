// owning_tree<T>: the generic tree behind documents, templates and file trees.
// A node type derives from tree_node<T> (CRTP) and so starts with the links
// parent, next sibling, first child, previous sibling. The tree owns every
// node: a node owns its first child and its next sibling through unique_ptr,
// parent and previous-sibling links only borrow. Destruction never recurses,
// so a chain of a million siblings or a 10,000-level nesting is freed safely.
#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace dirscribe {

template <class T>
class owning_tree;

template <class T>
class tree_node {
 public:
  tree_node() = default;
  tree_node(const tree_node&) = delete;
  tree_node& operator=(const tree_node&) = delete;
  ~tree_node() { release_links(); }

  T* parent() const { return parent_; }
  T* next() const { return next_.get(); }
  T* first_child() const { return first_child_.get(); }
  T* prev() const { return prev_; }
  T* last_child() const {
    T* node = first_child_.get();
    if (!node) return nullptr;
    while (node->next_) node = node->next_.get();
    return node;
  }

  // Next in document order: first child, else next sibling, else the next
  // sibling of the nearest ancestor that has one, else nullptr.
  T* next_in_document_order() const {
    if (first_child_) return first_child_.get();
    return next_skipping_children();
  }
  // Like next_in_document_order but never descends into this node's children.
  T* next_skipping_children() const {
    const tree_node* node = this;
    while (node) {
      if (node->next_) return node->next_.get();
      node = node->parent_;
    }
    return nullptr;
  }

 private:
  friend class owning_tree<T>;

  // Frees the first-child subtree and the following siblings without
  // recursion and without allocating: a tree is often freed while an
  // exception for memory that ran out unwinds, and a destructor that needed
  // memory then would end the program.
  void release_links() {
    release_chain(std::move(first_child_));
    release_chain(std::move(next_));
  }

  // Frees `node`, its children and its following siblings. A node with
  // children is turned so that its first child comes first and the node
  // follows that child, holding the child's siblings as its own children;
  // a node without children is freed and its next sibling taken. Each turn
  // moves one node off a chain of first children, so the whole is linear.
  static void release_chain(std::unique_ptr<T> node) {
    while (node) {
      if (node->first_child_) {
        std::unique_ptr<T> child = std::move(node->first_child_);
        node->first_child_ = std::move(child->next_);
        child->next_ = std::move(node);
        node = std::move(child);
      } else {
        // The old node goes with both links empty: its destructor frees
        // nothing more.
        node = std::move(node->next_);
      }
    }
  }

  T* parent_ = nullptr;
  std::unique_ptr<T> next_;
  std::unique_ptr<T> first_child_;
  T* prev_ = nullptr;
};

template <class T>
class owning_tree {
 public:
  owning_tree() = default;
  owning_tree(const owning_tree&) = delete;
  owning_tree& operator=(const owning_tree&) = delete;
  owning_tree(owning_tree&&) noexcept = default;
  owning_tree& operator=(owning_tree&&) noexcept = default;
  virtual ~owning_tree() = default;

  T* first() const { return first_.get(); }
  bool empty() const { return !first_; }
  // Frees every node.
  void clear() { first_.reset(); }

  // Makes `node` the first top-level node; the old first node follows it.
  T* add_first(std::unique_ptr<T> node) {
    T* raw = node.get();
    raw->parent_ = nullptr;
    raw->prev_ = nullptr;
    raw->next_ = std::move(first_);
    if (raw->next_) raw->next_->prev_ = raw;
    first_ = std::move(node);
    return raw;
  }

  // Appends `node` as the last top-level node.
  T* append_top(std::unique_ptr<T> node) {
    if (!first_) return add_first(std::move(node));
    return append_after(last_sibling(first_.get()), std::move(node));
  }

  // Appends `node` as the last child of `parent` (the last top-level node when
  // parent is nullptr).
  T* append_child(T* parent, std::unique_ptr<T> node) {
    if (!parent) return append_top(std::move(node));
    if (!parent->first_child_) {
      T* raw = node.get();
      raw->parent_ = parent;
      raw->prev_ = nullptr;
      parent->first_child_ = std::move(node);
      return raw;
    }
    return append_after(last_sibling(parent->first_child_.get()), std::move(node));
  }

  // Appends `node` after the last sibling of `sibling`, with the same parent.
  T* append_after_siblings(T* sibling, std::unique_ptr<T> node) {
    return append_after(last_sibling(sibling), std::move(node));
  }

  // Links `node` directly after `sibling`, taking its parent.
  T* insert_after(T* sibling, std::unique_ptr<T> node) {
    T* raw = node.get();
    raw->parent_ = sibling->parent_;
    raw->prev_ = sibling;
    raw->next_ = std::move(sibling->next_);
    if (raw->next_) raw->next_->prev_ = raw;
    sibling->next_ = std::move(node);
    return raw;
  }

  // Links `node` directly in front of `sibling`, taking its parent; the parent's
  // first-child link and the tree's first-node link are corrected.
  T* insert_before(T* sibling, std::unique_ptr<T> node) {
    if (sibling->prev_) return insert_after(sibling->prev_, std::move(node));
    T* raw = node.get();
    T* parent = sibling->parent_;
    std::unique_ptr<T>& owner = parent ? parent->first_child_ : first_;
    raw->parent_ = parent;
    raw->prev_ = nullptr;
    raw->next_ = std::move(owner);
    raw->next_->prev_ = raw;
    owner = std::move(node);
    return raw;
  }

  // before given: insert before it; else parent given: append child; else
  // append at top level. With detach this puts a node back where it was.
  T* insert(std::unique_ptr<T> node, T* parent, T* before) {
    if (before) return insert_before(before, std::move(node));
    return append_child(parent, std::move(node));
  }

  // Unlinks `node` with its subtree and hands it over. `former_parent` and
  // `former_next` (when given) receive where it was.
  std::unique_ptr<T> detach(T* node, T** former_parent = nullptr, T** former_next = nullptr) {
    if (former_parent) *former_parent = node->parent_;
    if (former_next) *former_next = node->next_.get();
    std::unique_ptr<T>& owner = owner_of(node);
    std::unique_ptr<T> taken = std::move(owner);
    owner = std::move(taken->next_);
    if (owner) owner->prev_ = taken->prev_;
    taken->parent_ = nullptr;
    taken->prev_ = nullptr;
    return taken;
  }

  // Unlinks `node` and frees it with its whole subtree.
  void remove(T* node) { detach(node); }

  // Takes the whole child list of `parent` (the top-level list when nullptr) out,
  // in order; the nodes keep their subtrees. Used to reorder sibling lists.
  std::vector<std::unique_ptr<T>> take_children(T* parent) {
    std::vector<std::unique_ptr<T>> nodes;
    // Counted first, so that the list is taken in one allocation.
    size_t count = 0;
    for (T* at = parent ? parent->first_child_.get() : first_.get(); at; at = at->next_.get()) {
      ++count;
    }
    nodes.reserve(count);
    std::unique_ptr<T> node = parent ? std::move(parent->first_child_) : std::move(first_);
    while (node) {
      std::unique_ptr<T> following = std::move(node->next_);
      node->prev_ = nullptr;
      nodes.push_back(std::move(node));
      node = std::move(following);
    }
    return nodes;
  }

  // Makes `nodes` the child list of `parent` (the top-level list when nullptr),
  // in order. REQUIRES: that list is empty (after take_children).
  void set_children(T* parent, std::vector<std::unique_ptr<T>> nodes) {
    std::unique_ptr<T>* owner = parent ? &parent->first_child_ : &first_;
    T* previous = nullptr;
    for (auto& node : nodes) {
      node->parent_ = parent;
      node->prev_ = previous;
      previous = node.get();
      *owner = std::move(node);
      owner = &(*owner)->next_;
    }
  }

 private:
  static T* last_sibling(T* node) {
    while (node->next_) node = node->next_.get();
    return node;
  }

  T* append_after(T* last, std::unique_ptr<T> node) { return insert_after(last, std::move(node)); }

  std::unique_ptr<T>& owner_of(T* node) {
    if (node->prev_) return node->prev_->next_;
    if (node->parent_) return node->parent_->first_child_;
    return first_;
  }

  std::unique_ptr<T> first_;
};

}  // namespace dirscribe
