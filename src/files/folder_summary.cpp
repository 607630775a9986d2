#include "files/folder_summary.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "files/file_path.h"
#include "files/folder_scanner.h"
#include "platform/file_system.h"

namespace dirscribe {

namespace {

uint64_t size_on_disk(uint64_t size, uint64_t unit) {
  if (unit == 0) return size;
  return (size / unit + (size % unit != 0)) * unit;
}

// Scans one folder into the summary, filters it, counts and sums its files,
// drops them, orders the remaining folders and adds the totals to every
// ancestor.
int summarise_folder(const folder_handle& held, const std::string& path,
                     generation_context& context, file_tree& summary, file_node* folder) {
  if (context.progress) context.progress(context.progress_phrase + path);
  if (!scan_folder(held, summary, folder, "*")) {
    return result_folder_not_entered;
  }
  if (context.stopped()) return result_stopped;
  if (context.outputs) context.outputs->leave_out(summary, folder, held);
  if (context.filter) context.filter->apply(summary, folder);
  if (context.stopped()) return result_stopped;

  uint64_t total = folder->size;
  file_node* child = folder->first_child();
  while (child) {
    file_node* following = child->next();
    if (child->is_folder) {
      ++folder->folder_count;
    } else {
      ++folder->file_count;
      total += size_on_disk(child->size, context.allocation_unit);
      summary.remove(child);
    }
    child = following;
    if (context.stopped()) return result_stopped;
  }
  if (folder->first_child()) {
    summary.sort_key = sort_by_name;
    summary.sort_list(folder);
  }
  if (context.stopped()) return result_stopped;
  for (file_node* ancestor = folder->parent(); ancestor; ancestor = ancestor->parent()) {
    ancestor->size += total;
    ancestor->file_count += folder->file_count;
    ancestor->folder_count += folder->folder_count;
  }
  folder->size = total;
  return 0;
}

}  // namespace

outcome build_summary(const held_folder& top, const std::string& path, generation_context& context,
                      file_tree& summary, file_node* folder) {
  // A folder waiting to be read: its node, its parent (held, so the folder
  // is opened from it by name and a path is never resolved again) and its
  // path, for messages.
  struct waiting {
    file_node* node;
    held_folder parent;
    std::string path;
  };
  // Depth-first, parents before children and siblings in order, exactly as a
  // recursive walk would go, but with an explicit stack.
  std::vector<waiting> pending;
  pending.push_back({folder, nullptr, path});
  bool first = true;
  while (!pending.empty()) {
    waiting next = std::move(pending.back());
    pending.pop_back();
    if (!first && context.stopped()) return {result_stopped, {}};
    held_folder held = top;
    if (!first) {
      folder_opening opened = next.parent->open_child(next.node->name);
      if (opened.fault == folder_fault::symbolic_link) {
        // Swapped for a link since its parent was read: never followed,
        // left out of the counts, and said.
        if (context.warning) context.warning(context.folder_swapped_phrase + next.path);
        summary.remove(next.node);
        continue;
      }
      if (!opened.folder)
        return {result_folder_not_entered, context.scan_failed_phrase + next.path};
      held = std::move(opened.folder);
    }
    first = false;
    const int result = summarise_folder(*held, next.path, context, summary, next.node);
    if (result == result_folder_not_entered) {
      return {result, context.scan_failed_phrase + next.path};
    }
    if (result != 0) return {result, {}};
    const size_t mark = pending.size();
    for (file_node* child = next.node->first_child(); child; child = child->next()) {
      // A folder reached through a symbolic link is listed but never entered,
      // so a link cycle cannot make the walk run away.
      if (child->attributes & attribute_link) continue;
      pending.push_back({child, held, join_path(next.path, child->name)});
    }
    std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
  }
  return {};
}

outcome build_summary(const std::string& path, generation_context& context, file_tree& summary,
                      file_node* folder) {
  const folder_opening opened = folder_handle::open_path(path);
  if (!opened.folder) return {result_folder_not_entered, context.scan_failed_phrase + path};
  return build_summary(opened.folder, path, context, summary, folder);
}

void suppress_empty(file_tree& summary) {
  file_node* top = summary.first();
  if (!top) return;
  file_node* node = top->first_child();
  while (node) {
    if (node->is_folder && node->file_count == 0) {
      // Every folder of its subtree is empty too and goes with it.
      const int32_t removed = 1 + node->folder_count;
      for (file_node* above = node->parent(); above; above = above->parent()) {
        above->folder_count -= removed;
      }
      file_node* following = node->next_skipping_children();
      summary.remove(node);
      node = following;
    } else {
      node = node->next_in_document_order();
    }
  }
}

void find_summary(file_node& listed, const file_node& page_summary) {
  for (file_node* child = page_summary.first_child(); child; child = child->next()) {
    const int order = compare_bytes(listed.name, child->name);
    if (order == 0) {
      listed.summary = child;
      listed.size = child->size;
      return;
    }
    if (order < 0) return;
  }
}

}  // namespace dirscribe
