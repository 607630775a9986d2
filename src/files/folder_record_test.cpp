#include "files/folder_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "files/folder_scanner.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

// "name(files,folders,size)" per summary node, children in brackets in byte
// order of their names: the form both the summary tree and the record give.
std::string dump_summary(const file_node* node) {
  std::string out;
  for (; node; node = node->next()) {
    if (!out.empty()) out += ' ';
    out += node->name + "(" + std::to_string(node->file_count) + "," +
           std::to_string(node->folder_count) + "," + std::to_string(node->size) + ")";
    if (node->first_child()) out += "[" + dump_summary(node->first_child()) + "]";
  }
  return out;
}

// The same dump of the record, read back folder by folder from `block`,
// with each folder's entries (as read back) checked against a fresh scan.
std::string dump_record(folder_record& record, record_block block, const std::string& path,
                        const std::string& name, const file_node& totals) {
  std::string out = name + "(" + std::to_string(totals.file_count) + "," +
                    std::to_string(totals.folder_count) + "," + std::to_string(totals.size) + ")";
  if (!block.recorded()) return out;
  file_tree entries;
  recorded_level level;
  EXPECT_TRUE(record.read(block, entries, level)) << path;
  file_tree scanned;
  EXPECT_TRUE(scan_folder(path, scanned, nullptr));
  std::string read_back;
  std::string fresh;
  for (const file_node* e = entries.first(); e; e = e->next()) {
    read_back += e->name + (e->is_folder ? "/" : "") + std::to_string(e->attributes) + " ";
  }
  for (const file_node* e = scanned.first(); e; e = e->next()) {
    fresh += e->name + (e->is_folder ? "/" : "") + std::to_string(e->attributes) + " ";
  }
  EXPECT_EQ(read_back, fresh) << path;

  std::vector<const file_node*> present;
  for (const file_node* e = entries.first(); e; e = e->next()) {
    if (e->summary) present.push_back(e);
  }
  std::sort(present.begin(), present.end(), [](const file_node* a, const file_node* b) {
    return compare_bytes(a->name, b->name) < 0;
  });
  std::string children;
  for (const file_node* e : present) {
    if (!children.empty()) children += ' ';
    EXPECT_EQ(e->size, e->summary->size) << e->name;
    children +=
        dump_record(record, level.block_of(e->summary), path + "/" + e->name, e->name, *e->summary);
  }
  if (!children.empty()) out += "[" + children + "]";
  return out;
}

// A tree with what the counts must get right: nested and empty folders,
// links to folders (one a cycle), a dangling link, files of odd sizes.
void make_tree(const temp_folder& root) {
  root.make_folder("b/deep/deeper");
  root.make_folder("a");
  root.make_folder("empty/x/y");
  root.make_folder("skip/inner");
  root.make_folder("c/only-empty");
  root.make_file("one", 1);
  root.make_file("b/page.txt", 4096);
  root.make_file("b/deep/big.bak", 4097);
  root.make_file("b/deep/deeper/zero", 0);
  root.make_file("skip/inner/hidden.txt", 30);
  root.make_file("c/note.txt", 5);
  root.make_link("..", "b/up");
  root.make_link("b", "alias");
  root.make_link("gone", "dangling");
}

// The record sums exactly what the summary tree (the simple model: a walk of
// its own, then suppress_empty) sums, for each setting that changes a count,
// and lists every folder's entries as a scan would.
TEST(FolderRecordTest, SameTotalsAsTheSummaryTree) {
  temp_folder root;
  make_tree(root);
  file_filter_data skipping;
  skipping.str_folder_skip = "skip";
  skipping.str_files_skip = "*.bak";
  skipping.compile_masks();
  const struct {
    uint64_t unit;
    const file_filter_data* filter;
    bool leave_out_empty;
  } cases[] = {
      {0, nullptr, false},   {0, nullptr, true},   {4096, nullptr, false},
      {0, &skipping, false}, {0, &skipping, true}, {512, &skipping, true},
  };
  for (const auto& c : cases) {
    const std::string label = "unit " + std::to_string(c.unit) + (c.filter ? " filtered" : "") +
                              (c.leave_out_empty ? " leaving out empty" : "");
    std::vector<std::string> model_progress;
    std::vector<std::string> record_progress;
    generation_context context;
    context.allocation_unit = c.unit;
    context.filter = c.filter;
    context.progress_phrase = "Reading ";

    context.progress = [&](std::string text) { model_progress.push_back(std::move(text)); };
    file_tree summary;
    auto top = std::make_unique<file_node>();
    top->name = "root";
    top->is_folder = true;
    file_node* top_node = summary.append_top(std::move(top));
    ASSERT_TRUE(build_summary(root.path(), context, summary, top_node).ok()) << label;
    if (c.leave_out_empty) suppress_empty(summary);

    context.progress = [&](std::string text) { record_progress.push_back(std::move(text)); };
    int error = 0;
    std::unique_ptr<folder_record> record;
    ASSERT_TRUE(folder_record::build(scratch_file::create(error),
                                     folder_handle::open_path(root.path()).folder, root.path(),
                                     context, c.leave_out_empty, record)
                    .ok())
        << label;
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(
        dump_record(*record, record->top_block(), root.path(), "root", *record->summary().first()),
        dump_summary(summary.first()))
        << label;
    EXPECT_EQ(record_progress, model_progress) << label;
  }
}

TEST(FolderRecordTest, FailuresAreTheSummaryWalks) {
  temp_folder root;
  root.make_folder("a");
  root.make_folder("b");
  std::atomic<int> stop{0};
  int folders_read = 0;
  generation_context context;
  context.stop = &stop;
  context.progress = [&](std::string) {
    if (++folders_read == 2) stop = 1;
  };
  int error = 0;
  std::unique_ptr<folder_record> record;
  const outcome stopped = folder_record::build(scratch_file::create(error),
                                               folder_handle::open_path(root.path()).folder,
                                               root.path(), context, false, record);
  EXPECT_EQ(stopped.code(), result_stopped);
  EXPECT_EQ(folders_read, 2);
  EXPECT_EQ(record, nullptr);
}

TEST(FolderRecordTest, BlocksThatDoNotFitAreRefused) {
  temp_folder root;
  root.make_file("f", 3);
  generation_context context;
  int error = 0;
  std::unique_ptr<folder_record> record;
  ASSERT_TRUE(folder_record::build(scratch_file::create(error),
                                   folder_handle::open_path(root.path()).folder, root.path(),
                                   context, false, record)
                  .ok());
  const record_block top = record->top_block();
  const record_block wrong[] = {
      {}, {top.offset, top.length - 1}, {top.offset + 1, top.length}, {top.offset, top.length + 1}};
  for (const record_block& block : wrong) {
    file_tree entries;
    recorded_level level;
    EXPECT_FALSE(record->read(block, entries, level)) << block.offset << "+" << block.length;
  }
}

}  // namespace
}  // namespace dirscribe
