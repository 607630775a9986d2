#include "files/file_node.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace dirscribe {

namespace {

unsigned char fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

int sign_of(int64_t value) { return (value > 0) - (value < 0); }

// Applies `visit` to the top-level list and to each child list, parents
// before children, without recursion.
template <class Visit>
void for_each_list(file_tree& tree, Visit visit) {
  visit(static_cast<file_node*>(nullptr));
  for (file_node* node = tree.first(); node; node = node->next_in_document_order()) {
    if (node->first_child()) visit(node);
  }
}

}  // namespace

int compare_nocase(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = fold(static_cast<unsigned char>(a[i]));
    const unsigned char y = fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x - y;
  }
  // A proper prefix sorts first (it ends where the other text still has a
  // byte above the terminator).
  return sign_of(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()));
}

int file_tree::compare(const file_node& a, const file_node& b) const {
  if (a.is_folder != b.is_folder) return a.is_folder ? -1 : 1;
  switch (sort_key) {
    case sort_by_name:
      return compare_bytes(a.name, b.name);
    case sort_by_ext:
      return compare_bytes(a.ext, b.ext);
    case sort_by_size:
      return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    case sort_by_mtime:
      return sign_of(a.mtime - b.mtime);
    case sort_by_name_nocase:
      return compare_nocase(a.name, b.name);
    case sort_by_ext_nocase:
      return compare_nocase(a.ext, b.ext);
    default:
      return 0;
  }
}

void file_tree::sort_list(file_node* parent) {
  std::vector<std::unique_ptr<file_node>> nodes = take_children(parent);
  std::stable_sort(nodes.begin(), nodes.end(),
                   [this](const std::unique_ptr<file_node>& a,
                          const std::unique_ptr<file_node>& b) { return compare(*a, *b) < 0; });
  set_children(parent, std::move(nodes));
}

void file_tree::sort_all() {
  for_each_list(*this, [this](file_node* parent) { sort_list(parent); });
}

void file_tree::reverse_all() {
  for_each_list(*this, [this](file_node* parent) {
    std::vector<std::unique_ptr<file_node>> nodes = take_children(parent);
    std::reverse(nodes.begin(), nodes.end());
    set_children(parent, std::move(nodes));
  });
}

std::string extension_of(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  return std::string(name.substr(dot));
}

std::string name_without_extension(const file_node& node) {
  if (node.ext.size() >= node.name.size()) return {};
  return node.name.substr(0, node.name.size() - node.ext.size());
}

}  // namespace dirscribe
