#include "files/file_node.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "files/file_node_pool.h"
#include "platform/natural_collator.h"

namespace dirscribe {

namespace {

unsigned char fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

int sign_of(int64_t value) { return (value > 0) - (value < 0); }

// What orders two names the collation sees as equal: the name order, then
// bytes, so that only equal names tie.
int order_of_tie(std::string_view a, std::string_view b) {
  if (int order = compare_nocase(a, b)) return order;
  return compare_bytes(a, b);
}

// Natural order once the UTF-8 validity of both names is known.
int compare_natural_known(std::string_view a, bool a_valid, std::string_view b, bool b_valid) {
  if (a_valid != b_valid) return a_valid ? -1 : 1;
  if (a_valid) {
    if (int order = natural_collator::of_process().compare(a, b)) return order;
  }
  return order_of_tie(a, b);
}

// Natural order of two entries whose names' validity is known: folders first.
bool naturally_before(const file_node& a, bool a_valid, const file_node& b, bool b_valid) {
  if (a.is_folder != b.is_folder) return a.is_folder;
  return compare_natural_known(a.name, a_valid, b.name, b_valid) < 0;
}

// Below this many entries a list is sorted by insertion, comparing names
// pairwise, with nothing allocated: most folders hold a few dozen entries at
// most, and a collation key costs more to make than a few comparisons.
constexpr size_t kShortList = 48;

void sort_short_list_naturally(std::vector<std::unique_ptr<file_node>>& nodes) {
  std::array<bool, kShortList> valid;
  std::array<file_node*, kShortList> order;
  const size_t count = nodes.size();
  for (size_t i = 0; i < count; ++i) {
    file_node* node = nodes[i].release();
    const bool node_valid = is_valid_utf8(node->name);
    size_t at = i;
    // Stable: an entry moves only past entries that order strictly after it.
    for (; at > 0 && naturally_before(*node, node_valid, *order[at - 1], valid[at - 1]); --at) {
      order[at] = order[at - 1];
      valid[at] = valid[at - 1];
    }
    order[at] = node;
    valid[at] = node_valid;
  }
  for (size_t i = 0; i < count; ++i) nodes[i].reset(order[i]);
}

// A node with what its natural order needs, worked out once for a whole sort:
// whether its name is UTF-8 and, if so, where its collation key lies in the
// sort's key buffer.
struct natural_entry {
  std::unique_ptr<file_node> node;
  uint32_t key_start = 0;
  uint32_t key_length = 0;
  bool valid = false;
};

// Orders `nodes` as sort key 6 does, folders first, stably. A long list makes
// a collation key per name once, into one buffer, so that each of its many
// comparisons is a byte comparison.
void sort_naturally(std::vector<std::unique_ptr<file_node>>& nodes) {
  if (nodes.size() < kShortList) return sort_short_list_naturally(nodes);
  const natural_collator& collator = natural_collator::of_process();
  std::string keys;
  std::vector<natural_entry> entries(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    natural_entry& entry = entries[i];
    entry.valid = is_valid_utf8(nodes[i]->name);
    entry.key_start = static_cast<uint32_t>(keys.size());
    if (entry.valid) collator.append_key(nodes[i]->name, keys);
    entry.key_length = static_cast<uint32_t>(keys.size() - entry.key_start);
    entry.node = std::move(nodes[i]);
  }
  const auto key_of = [&keys](const natural_entry& entry) {
    return std::string_view(keys).substr(entry.key_start, entry.key_length);
  };
  std::stable_sort(entries.begin(), entries.end(),
                   [&key_of](const natural_entry& a, const natural_entry& b) {
                     if (a.node->is_folder != b.node->is_folder) return a.node->is_folder;
                     if (a.valid != b.valid) return a.valid;
                     if (int order = key_of(a).compare(key_of(b))) return order < 0;
                     return order_of_tie(a.node->name, b.node->name) < 0;
                   });
  for (size_t i = 0; i < entries.size(); ++i) nodes[i] = std::move(entries[i].node);
}

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

int compare_natural(std::string_view a, std::string_view b) {
  return compare_natural_known(a, is_valid_utf8(a), b, is_valid_utf8(b));
}

void file_node::reset() {
  name.clear();
  ext.clear();
  is_folder = false;
  size = 0;
  mtime = 0;
  attributes = 0;
  ctime = 0;
  atime = 0;
  short_name.clear();
  summary = nullptr;
  file_count = 0;
  folder_count = 0;
  spare1.clear();
  spare2.clear();
}

file_tree::~file_tree() {
  if (pool_) pool_->give_back(*this);
}

std::unique_ptr<file_node> file_tree::new_node() {
  return pool_ ? pool_->take() : std::make_unique<file_node>();
}

void file_tree::remove(file_node* node) {
  std::unique_ptr<file_node> taken = detach(node);
  if (!pool_) return;
  file_tree removed;
  removed.append_top(std::move(taken));
  pool_->give_back(removed);
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
    case sort_by_natural:
      return compare_natural(a.name, b.name);
    default:
      return 0;
  }
}

void file_tree::sort_list(file_node* parent) {
  std::vector<std::unique_ptr<file_node>> nodes = take_children(parent);
  if (sort_key == sort_by_natural) {
    sort_naturally(nodes);
    set_children(parent, std::move(nodes));
    return;
  }
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
