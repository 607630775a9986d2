#include "files/folder_record.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "files/file_path.h"
#include "files/folder_scanner.h"
#include "platform/file_system.h"

namespace dirscribe {

namespace {

// One entry as the record keeps it, followed by its name and, for a folder,
// by a folder_tail. Read and written with memcpy: the record never leaves
// the process that wrote it.
struct entry_head {
  uint64_t size;
  int64_t mtime;
  int64_t ctime;
  int64_t atime;
  uint32_t attributes;
  uint32_t name_length;
  uint8_t is_folder;
};

// What a folder entry adds: its part of the summary, filled in when the
// folder's subtree has been walked.
struct folder_tail {
  uint64_t size;
  int32_t files;
  int32_t folders;
  uint64_t block_offset;
  uint32_t block_length;
  uint8_t present;  // part of the summary
};

uint64_t size_on_disk(uint64_t size, uint64_t unit) {
  if (unit == 0) return size;
  return (size / unit + (size % unit != 0)) * unit;
}

template <class plain>
void put(std::string& out, const plain& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <class plain>
plain take(const std::string& in, size_t& at) {
  plain value;
  std::memcpy(&value, in.data() + at, sizeof value);
  at += sizeof value;
  return value;
}

// A folder whose subtree is still being walked.
struct open_folder {
  held_folder held;
  std::string path;
  std::string block;  // its entries, recorded
  uint32_t entries = 0;
  // The subfolders to enter, in byte order of their names, each with where
  // its folder_tail lies in `block`.
  std::vector<std::pair<std::string, size_t>> children;
  size_t next = 0;
  size_t tail_in_parent = 0;
  // The totals so far: its own kept files, then each subfolder's as it closes.
  uint64_t size = 0;
  int32_t files = 0;
  int32_t folders = 0;
};

// Records `node` in `folder`'s block; returns where its folder_tail lies
// (0 for a file, which has none).
size_t record_entry(open_folder& folder, const file_node& node, bool present) {
  entry_head head;
  std::memset(&head, 0, sizeof head);
  head.size = node.size;
  head.mtime = node.mtime;
  head.ctime = node.ctime;
  head.atime = node.atime;
  head.attributes = node.attributes;
  head.name_length = static_cast<uint32_t>(node.name.size());
  head.is_folder = node.is_folder;
  put(folder.block, head);
  folder.block += node.name;
  ++folder.entries;
  if (!node.is_folder) return 0;
  const size_t tail_at = folder.block.size();
  folder_tail tail;
  std::memset(&tail, 0, sizeof tail);
  tail.present = present;
  put(folder.block, tail);
  return tail_at;
}

// What reading one folder into the walk does.
class record_walk {
 public:
  record_walk(generation_context& context, bool leave_out_empty, scratch_file& file)
      : context_(context), leave_out_empty_(leave_out_empty), file_(file) {}

  // Reads the folder `folder` (held, named by its path) and records its
  // entries: files kept by the filter are counted at once, kept folders
  // that are no links become the children to enter.
  int read(open_folder& folder) {
    if (context_.progress) context_.progress(context_.progress_phrase + folder.path);
    entries_.clear();
    if (!scan_folder(*folder.held, entries_, nullptr, "*")) return result_folder_not_entered;
    if (context_.stopped()) return result_stopped;
    if (context_.outputs) context_.outputs->leave_out(entries_, nullptr, *folder.held);
    folder.block.assign(sizeof(uint32_t), '\0');  // the count, known at the end
    for (const file_node* node = entries_.first(); node; node = node->next()) {
      const bool kept = !context_.filter || context_.filter->keeps(*node);
      const bool link = (node->attributes & attribute_link) != 0;
      // A link to a folder is counted but never entered: part of the summary
      // with nothing in it, unless empty folders are left out.
      const size_t tail_at = record_entry(folder, *node, kept && link && !leave_out_empty_);
      if (!kept) continue;
      if (!node->is_folder) {
        ++folder.files;
        folder.size += size_on_disk(node->size, context_.allocation_unit);
      } else if (!link) {
        ++folder.folders;
        folder.children.emplace_back(node->name, tail_at);
      } else if (!leave_out_empty_) {
        ++folder.folders;
      }
    }
    std::sort(folder.children.begin(), folder.children.end(),
              [](const auto& a, const auto& b) { return compare_bytes(a.first, b.first) < 0; });
    std::memcpy(folder.block.data(), &folder.entries, sizeof folder.entries);
    return context_.stopped() ? result_stopped : 0;
  }

  // Appends the block of `folder`, whose subtree is done, to the record.
  bool write(const open_folder& folder, record_block& block) {
    block.offset = file_.size();
    block.length = static_cast<uint32_t>(folder.block.size());
    return file_.append(folder.block);
  }

 private:
  generation_context& context_;
  const bool leave_out_empty_;
  scratch_file& file_;
  file_tree entries_;  // the folder being read, reused
};

// Adds the closed subfolder `child` to its parent's totals and its tail.
void close_into(open_folder& parent, const open_folder& child, record_block block,
                bool leave_out_empty) {
  folder_tail tail;
  std::memcpy(&tail, parent.block.data() + child.tail_in_parent, sizeof tail);
  tail.size = child.size;
  tail.files = child.files;
  tail.folders = child.folders;
  tail.block_offset = block.offset;
  tail.block_length = block.length;
  tail.present = !(leave_out_empty && child.files == 0);
  std::memcpy(parent.block.data() + child.tail_in_parent, &tail, sizeof tail);
  parent.files += child.files;
  parent.size += child.size;
  // The subfolder was counted once when its parent was read; now it brings
  // its own folders, or goes with them when it holds no file to show.
  if (tail.present) {
    parent.folders += child.folders;
  } else {
    --parent.folders;
  }
}

}  // namespace

file_node* recorded_level::add(uint64_t size, int32_t files, int32_t folders, record_block block) {
  auto node = std::make_unique<file_node>();
  node->is_folder = true;
  node->size = size;
  node->file_count = files;
  node->folder_count = folders;
  file_node* added = nodes_.add_first(std::move(node));
  blocks_.emplace(added, block);
  return added;
}

record_block recorded_level::block_of(const file_node* summary) const {
  const auto found = blocks_.find(summary);
  return found == blocks_.end() ? record_block{} : found->second;
}

folder_record::~folder_record() = default;

outcome folder_record::build(std::unique_ptr<scratch_file> file, const held_folder& top,
                             const std::string& path, generation_context& context,
                             bool leave_out_empty, std::unique_ptr<folder_record>& record) {
  record_walk walk(context, leave_out_empty, *file);
  // Depth-first with its own stack, parents before children, as a
  // recursive walk would go.
  std::vector<open_folder> open;
  open.emplace_back();
  open.back().held = top;
  open.back().path = path;
  if (const int result = walk.read(open.back())) {
    return {result, result == result_folder_not_entered ? context.scan_failed_phrase + path : ""};
  }
  record_block block;
  while (!open.empty()) {
    open_folder& folder = open.back();
    if (folder.next < folder.children.size()) {
      if (context.stopped()) return {result_stopped, {}};
      const auto& [name, tail_at] = folder.children[folder.next++];
      const std::string child_path = join_path(folder.path, name);
      folder_opening opened = folder.held->open_child(name);
      if (opened.fault == folder_fault::symbolic_link) {
        // Swapped for a link since its parent was read: never followed,
        // and said; it stays counted but is no part of the summary.
        if (context.warning) context.warning(context.folder_swapped_phrase + child_path);
        continue;
      }
      if (!opened.folder)
        return {result_folder_not_entered, context.scan_failed_phrase + child_path};
      open_folder child;
      child.held = std::move(opened.folder);
      child.path = child_path;
      child.tail_in_parent = tail_at;
      open.push_back(std::move(child));  // `folder` is no longer valid here
      if (const int result = walk.read(open.back())) {
        return {result,
                result == result_folder_not_entered ? context.scan_failed_phrase + child_path : ""};
      }
      continue;
    }
    if (!walk.write(folder, block)) {
      return {result_write_failed,
              "Cannot write the scratch file of the walk: " + std::string(std::strerror(errno))};
    }
    if (open.size() == 1) break;
    close_into(open[open.size() - 2], folder, block, leave_out_empty);
    open.pop_back();
  }
  std::unique_ptr<folder_record> made(new folder_record);
  const open_folder& listed = open.front();
  auto top_node = std::make_unique<file_node>();
  top_node->is_folder = true;
  top_node->name = path;
  top_node->size = listed.size;
  top_node->file_count = listed.files;
  top_node->folder_count = listed.folders;
  made->summary_.append_top(std::move(top_node));
  made->top_block_ = block;
  made->file_ = std::move(file);
  record = std::move(made);
  return {};
}

bool folder_record::read(record_block block, file_tree& tree, recorded_level& level) {
  if (!block.recorded() || !file_->read(block.offset, block.length, block_)) return false;
  size_t at = 0;
  const auto left = [&] { return block_.size() - at; };
  if (left() < sizeof(uint32_t)) return false;
  const auto count = take<uint32_t>(block_, at);
  file_node* last = tree.first() ? tree.first() : nullptr;
  while (last && last->next()) last = last->next();
  for (uint32_t i = 0; i < count; ++i) {
    if (left() < sizeof(entry_head)) return false;
    const auto head = take<entry_head>(block_, at);
    if (left() < head.name_length) return false;
    std::unique_ptr<file_node> node = tree.new_node();
    node->name.assign(block_, at, head.name_length);
    at += head.name_length;
    node->is_folder = head.is_folder != 0;
    node->size = head.size;
    node->mtime = head.mtime;
    node->ctime = head.ctime;
    node->atime = head.atime;
    node->attributes = head.attributes;
    if (node->is_folder) {
      if (left() < sizeof(folder_tail)) return false;
      const auto tail = take<folder_tail>(block_, at);
      if (tail.present) {
        node->size = tail.size;
        node->summary =
            level.add(tail.size, tail.files, tail.folders, {tail.block_offset, tail.block_length});
      }
    }
    last = last ? tree.insert_after(last, std::move(node)) : tree.append_top(std::move(node));
  }
  return at == block_.size();
}

}  // namespace dirscribe
