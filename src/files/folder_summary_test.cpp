#include "files/folder_summary.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

// "name(files,folders,size)" per folder, children in brackets.
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

file_node* start_summary(file_tree& summary, const std::string& name = "root") {
  auto top = std::make_unique<file_node>();
  top->name = name;
  top->is_folder = true;
  return summary.append_top(std::move(top));
}

TEST(BuildSummaryTest, CountsAndSizesWithAndWithoutAllocationUnit) {
  temp_folder root;
  root.make_folder("b/deep");
  root.make_folder("a");
  root.make_folder("c");
  root.make_file("one", 1);
  root.make_file("b/page", 4096);
  root.make_file("b/deep/big", 4097);
  root.make_file("b/deep/empty", 0);
  const struct {
    uint64_t unit;
    std::string expected;
  } cases[] = {
      {0, "root(4,4,8194)[a(0,0,0) b(3,1,8193)[deep(2,0,4097)] c(0,0,0)]"},
      {4096, "root(4,4,16384)[a(0,0,0) b(3,1,12288)[deep(2,0,8192)] c(0,0,0)]"},
  };
  for (const auto& c : cases) {
    file_tree summary;
    generation_context context;
    context.allocation_unit = c.unit;
    std::vector<std::string> progress;
    context.progress = [&progress](std::string text) { progress.push_back(std::move(text)); };
    context.progress_phrase = "Reading ";
    ASSERT_TRUE(build_summary(root.path(), context, summary, start_summary(summary)).ok());
    EXPECT_EQ(dump_summary(summary.first()), c.expected) << "unit " << c.unit;
    EXPECT_EQ(progress,
              (std::vector<std::string>{"Reading " + root.path(), "Reading " + root.at("a"),
                                        "Reading " + root.at("b"), "Reading " + root.at("b/deep"),
                                        "Reading " + root.at("c")}));
  }
}

TEST(BuildSummaryTest, FilterAppliesPerLevel) {
  temp_folder root;
  root.make_folder("keep");
  root.make_folder("skip");
  root.make_file("keep/x.bak", 10);
  root.make_file("keep/x.txt", 20);
  root.make_file("skip/y.txt", 30);
  file_filter_data filter;
  filter.str_files_skip = "*.bak";
  filter.str_folder_skip = "skip";
  filter.compile_masks();
  file_tree summary;
  generation_context context;
  context.filter = &filter;
  ASSERT_TRUE(build_summary(root.path() + "/", context, summary, start_summary(summary)).ok());
  EXPECT_EQ(dump_summary(summary.first()), "root(1,1,20)[keep(1,0,20)]");
}

TEST(BuildSummaryTest, TwoHundredLevelsDeep) {
  temp_folder root;
  std::string relative = "d";
  for (int level = 1; level < 200; ++level) relative += "/d";
  root.make_folder(relative);
  root.make_file(relative + "/leaf", 3);
  file_tree summary;
  generation_context context;
  ASSERT_TRUE(build_summary(root.path(), context, summary, start_summary(summary)).ok());
  const file_node* node = summary.first();
  EXPECT_EQ(node->file_count, 1);
  EXPECT_EQ(node->folder_count, 200);
  EXPECT_EQ(node->size, 3u);
  int depth = 0;
  while (node->first_child()) {
    node = node->first_child();
    ++depth;
  }
  EXPECT_EQ(depth, 200);
  EXPECT_EQ(node->file_count, 1);
}

TEST(BuildSummaryTest, SymbolicLinksAreNeverEntered) {
  temp_folder root;
  root.make_folder("real");
  root.make_file("real/f", 8);
  root.make_link("..", "real/up");     // a cycle back to the root
  root.make_link("real", "alias");     // a second way into real
  root.make_link("gone", "dangling");  // counts as an empty file
  file_tree summary;
  generation_context context;
  ASSERT_TRUE(build_summary(root.path(), context, summary, start_summary(summary)).ok());
  EXPECT_EQ(dump_summary(summary.first()), "root(2,3,8)[alias(0,0,0) real(1,1,8)[up(0,0,0)]]");
}

TEST(BuildSummaryTest, UnreadableFolderEndsTheWalk) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not apply";
  temp_folder root;
  root.make_folder("locked");
  root.make_folder("later");
  ASSERT_EQ(chmod(root.at("locked").c_str(), 0), 0);
  file_tree summary;
  generation_context context;
  context.scan_failed_phrase = "Cannot read ";
  const outcome failed = build_summary(root.path(), context, summary, start_summary(summary));
  EXPECT_EQ(failed.code(), result_folder_not_entered);
  EXPECT_EQ(failed.message(), "Cannot read " + root.at("locked"));
  chmod(root.at("locked").c_str(), 0700);
}

TEST(BuildSummaryTest, StopFlagEndsTheWalk) {
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
  file_tree summary;
  EXPECT_EQ(build_summary(root.path(), context, summary, start_summary(summary)).code(),
            result_stopped);
  EXPECT_EQ(folders_read, 2);
}

// A folder left out is not counted either: the folder counts of the folders
// above it drop by it and its whole subtree.
TEST(SuppressEmptyTest, KeepsPathsToFilesAndCountsOnlyThem) {
  temp_folder root;
  root.make_folder("a/b/c");
  root.make_file("a/b/c/file", 1);
  root.make_folder("a/b/none/deeper");
  root.make_folder("empty/x/y");
  root.make_folder("z");
  file_tree summary;
  generation_context context;
  ASSERT_TRUE(build_summary(root.path(), context, summary, start_summary(summary)).ok());
  suppress_empty(summary);
  EXPECT_EQ(dump_summary(summary.first()), "root(1,3,1)[a(1,2,1)[b(1,1,1)[c(1,0,1)]]]");

  file_tree lonely;
  start_summary(lonely);
  suppress_empty(lonely);
  ASSERT_NE(lonely.first(), nullptr) << "the top node always stays";
}

TEST(FindSummaryTest, LinksByNameInByteOrder) {
  file_tree summary;
  file_node* page = start_summary(summary);
  for (const char* name : {"B", "a", "b"}) {
    auto child = std::make_unique<file_node>();
    child->name = name;
    child->is_folder = true;
    child->size = 100 + static_cast<uint64_t>(name[0]);
    summary.append_child(page, std::move(child));
  }
  const struct {
    const char* name;
    bool found;
  } cases[] = {{"a", true}, {"b", true}, {"B", true}, {"A", false}, {"c", false}, {"", false}};
  for (const auto& c : cases) {
    file_node listed;
    listed.name = c.name;
    find_summary(listed, *page);
    EXPECT_EQ(listed.summary != nullptr, c.found) << c.name;
    if (c.found) {
      EXPECT_EQ(listed.summary->name, c.name);
      EXPECT_EQ(listed.size, listed.summary->size) << c.name;
    }
  }
}

}  // namespace
}  // namespace dirscribe
