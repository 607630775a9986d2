#include "files/folder_scanner.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

std::vector<std::string> names_under(const file_tree& tree, const file_node* parent) {
  std::vector<std::string> names;
  for (const file_node* node = parent ? parent->first_child() : tree.first(); node;
       node = node->next()) {
    names.push_back(node->name);
  }
  return names;
}

// The names readdir gives, in its order.
std::vector<std::string> readdir_order(const std::string& path) {
  std::vector<std::string> names;
  DIR* folder = opendir(path.c_str());
  while (const dirent* entry = readdir(folder)) names.push_back(entry->d_name);
  closedir(folder);
  return names;
}

TEST(ScanFolderTest, FoldersFirstThenFilesEachInEnumerationOrder) {
  temp_folder root;
  for (const char* name : {"b", "a", "m", "k"}) root.make_folder(name);
  for (const char* name : {"z.txt", "y.txt", ".hidden", "c"}) root.make_file(name, 3);
  file_tree tree;
  ASSERT_TRUE(scan_folder(root.path(), tree, nullptr));

  std::vector<std::string> expected_folders;
  std::vector<std::string> expected_files;
  for (const std::string& name : readdir_order(root.path())) {
    if (name == "." || name == "..") continue;
    const bool folder = name.size() == 1 && name != "c";
    (folder ? expected_folders : expected_files).push_back(name);
  }
  std::vector<std::string> expected = expected_folders;
  expected.insert(expected.end(), expected_files.begin(), expected_files.end());
  EXPECT_EQ(names_under(tree, nullptr), expected);

  for (const file_node* node = tree.first(); node; node = node->next()) {
    EXPECT_EQ(node->parent(), nullptr) << node->name;
    EXPECT_EQ(node->is_folder, (node->attributes & attribute_folder) != 0) << node->name;
    EXPECT_EQ(node->size, node->is_folder ? 0u : 3u) << node->name;
    EXPECT_TRUE(node->ext.empty()) << "the scanner leaves ext to the template evaluation";
    EXPECT_TRUE(node->short_name.empty());
    EXPECT_GT(node->mtime, 0) << node->name;
  }
  const file_node* hidden = tree.first();
  while (hidden && hidden->name != ".hidden") hidden = hidden->next();
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(hidden->attributes & attribute_hidden, attribute_hidden);
}

TEST(ScanFolderTest, AppendsAfterExistingChildrenAndSetsParent) {
  temp_folder root;
  for (const char* name : {"d1", "d2", "d3"}) root.make_folder(name);
  for (const char* name : {"f1", "f2", "f3"}) root.make_file(name, 1);
  std::vector<std::string> folders;
  std::vector<std::string> files;
  for (const std::string& name : readdir_order(root.path())) {
    if (name[0] != '.') (name[0] == 'd' ? folders : files).push_back(name);
  }
  // Under a parent that has a child, and at a top level that has two nodes.
  for (const bool under_parent : {true, false}) {
    file_tree tree;
    auto top = std::make_unique<file_node>();
    top->name = "top";
    top->is_folder = true;
    file_node* parent = tree.append_top(std::move(top));
    auto old = std::make_unique<file_node>();
    old->name = "old";
    if (under_parent) {
      tree.append_child(parent, std::move(old));
    } else {
      tree.append_top(std::move(old));
    }
    file_node* into = under_parent ? parent : nullptr;

    ASSERT_TRUE(scan_folder(root.path(), tree, into));
    std::vector<std::string> expected =
        under_parent ? std::vector<std::string>{"old"} : std::vector<std::string>{"top", "old"};
    expected.insert(expected.end(), folders.begin(), folders.end());
    expected.insert(expected.end(), files.begin(), files.end());
    EXPECT_EQ(names_under(tree, into), expected) << under_parent;
    for (const file_node* node = into ? into->first_child() : tree.first(); node;
         node = node->next()) {
      EXPECT_EQ(node->parent(), into) << node->name;
      if (node->next()) {
        EXPECT_EQ(node->next()->prev(), node) << node->name;
      }
    }
  }
}

TEST(ScanFolderTest, ParentIgnoredWhenTreeIsEmpty) {
  temp_folder root;
  root.make_file("only", 0);
  file_tree tree;
  file_node stray;
  ASSERT_TRUE(scan_folder(root.path(), tree, &stray));
  EXPECT_EQ(names_under(tree, nullptr), (std::vector<std::string>{"only"}));
  EXPECT_EQ(stray.first_child(), nullptr);
}

TEST(ScanFolderTest, MissingFolderFailsAndLeavesTreeAlone) {
  temp_folder root;
  root.make_file("f", 0);
  file_tree tree;
  ASSERT_TRUE(scan_folder(root.path(), tree, nullptr));
  EXPECT_FALSE(scan_folder(root.at("nothing"), tree, nullptr));
  EXPECT_FALSE(scan_folder(root.at("f"), tree, nullptr)) << "a file is not a folder";
  EXPECT_EQ(names_under(tree, nullptr), (std::vector<std::string>{"f"}));
}

TEST(ScanFolderTest, DoesNotTouchTheCurrentDirectory) {
  temp_folder root;
  root.make_folder("sub");
  const std::string before = current_directory();
  file_tree tree;
  ASSERT_TRUE(scan_folder(root.at("sub"), tree, nullptr));
  EXPECT_EQ(current_directory(), before);
}

TEST(ScanFolderTest, UnreadableFolderFails) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not apply";
  temp_folder root;
  root.make_folder("locked");
  root.make_file("locked/inside", 1);
  ASSERT_EQ(chmod(root.at("locked").c_str(), 0), 0);
  file_tree tree;
  EXPECT_FALSE(scan_folder(root.at("locked"), tree, nullptr));
  EXPECT_TRUE(tree.empty());
  // Listed from its parent it is an ordinary, read-only folder.
  ASSERT_TRUE(scan_folder(root.path(), tree, nullptr));
  ASSERT_NE(tree.first(), nullptr);
  EXPECT_EQ(tree.first()->attributes, attribute_folder | attribute_read_only);
  chmod(root.at("locked").c_str(), 0700);
}

TEST(ScanFolderTest, SymbolicLinksDescribeTheirTargets) {
  temp_folder root;
  root.make_folder("dir");
  root.make_file("data", 5);
  root.make_link("data", "to_data");
  root.make_link("dir", "to_dir");
  root.make_link("missing", "dangling");
  root.make_link(".", "loop");
  file_tree tree;
  ASSERT_TRUE(scan_folder(root.path(), tree, nullptr));
  struct Expected {
    const char* name;
    bool is_folder;
    uint64_t size;
    uint32_t attributes;
  } expected[] = {
      {"dir", true, 0, attribute_folder},
      {"data", false, 5, attribute_normal},
      {"to_data", false, 5, attribute_link},
      {"to_dir", true, 0, attribute_folder | attribute_link},
      {"dangling", false, 0, attribute_link},
      {"loop", true, 0, attribute_folder | attribute_link},
  };
  for (const Expected& e : expected) {
    const file_node* node = tree.first();
    while (node && node->name != e.name) node = node->next();
    ASSERT_NE(node, nullptr) << e.name;
    EXPECT_EQ(node->is_folder, e.is_folder) << e.name;
    EXPECT_EQ(node->size, e.size) << e.name;
    EXPECT_EQ(node->attributes, e.attributes) << e.name;
  }
}

TEST(ScanFolderTest, ReadOnlyAndSystemBits) {
  temp_folder root;
  root.make_file("ro", 1);
  ASSERT_EQ(chmod(root.at("ro").c_str(), 0444), 0);
  ASSERT_EQ(mkfifo(root.at("pipe").c_str(), 0600), 0);
  file_tree tree;
  ASSERT_TRUE(scan_folder(root.path(), tree, nullptr));
  for (const file_node* node = tree.first(); node; node = node->next()) {
    const uint32_t expected = node->name == "ro" ? attribute_read_only : attribute_system;
    EXPECT_EQ(node->attributes, expected) << node->name;
    EXPECT_FALSE(node->is_folder) << node->name;
  }
}

// The subfolders read from entry types must be exactly the folders a full
// scan gives without the link bit, in the same order.
TEST(ScanSubfoldersTest, TheFoldersOfAFullScanThatAreNotLinks) {
  temp_folder root;
  for (const char* name : {"b", "a", ".hidden", "z z", "deep", "x.txt"}) root.make_folder(name);
  root.make_folder("deep/inner");
  for (const char* name : {"f1", "dir.d", ".f"}) root.make_file(name, 3);
  root.make_link("a", "to_a");
  root.make_link("f1", "to_f1");
  root.make_link("missing", "dangling");
  root.make_link(".", "loop");
  ASSERT_EQ(mkfifo(root.at("pipe").c_str(), 0600), 0);
  for (const std::string& path : {root.path(), root.at("deep"), root.at("deep/inner")}) {
    file_tree full;
    ASSERT_TRUE(scan_folder(path, full, nullptr));
    std::vector<std::string> expected;
    for (const file_node* node = full.first(); node; node = node->next()) {
      if (node->is_folder && !(node->attributes & attribute_link)) expected.push_back(node->name);
    }
    file_tree folders;
    ASSERT_TRUE(scan_subfolders(path, folders)) << path;
    EXPECT_EQ(names_under(folders, nullptr), expected) << path;
    for (const file_node* node = folders.first(); node; node = node->next()) {
      EXPECT_TRUE(node->is_folder) << node->name;
    }
  }
  file_tree untouched;
  EXPECT_FALSE(scan_subfolders(root.at("missing"), untouched));
  EXPECT_FALSE(scan_subfolders(root.at("f1"), untouched));
  EXPECT_EQ(untouched.first(), nullptr);
}

TEST(StatPathTest, SinglePaths) {
  temp_folder root;
  root.make_folder("dir");
  root.make_file("dir/file.txt", 7);
  file_node file;
  ASSERT_TRUE(stat_path(file, root.at("dir/file.txt")));
  EXPECT_EQ(file.name, root.at("dir/file.txt")) << "name is the whole path";
  EXPECT_EQ(file.size, 7u);
  EXPECT_FALSE(file.is_folder);

  file_node folder;
  ASSERT_TRUE(stat_path(folder, root.at("dir/")));
  EXPECT_EQ(folder.name, root.at("dir")) << "one trailing slash is dropped";
  EXPECT_TRUE(folder.is_folder);
  EXPECT_GT(folder.mtime, 0);

  file_node top;
  ASSERT_TRUE(stat_path(top, "/"));
  EXPECT_TRUE(top.is_folder);
  EXPECT_EQ(top.name, "/");
  EXPECT_EQ(top.mtime, 0) << "the root is a folder without times";

  file_node none;
  EXPECT_FALSE(stat_path(none, ""));
  EXPECT_FALSE(stat_path(none, root.at("dir/missing")));
}

TEST(ClusterSizeTest, ReportsBlockSizeOrFailure) {
  temp_folder root;
  uint64_t free_bytes = 0;
  const int64_t unit = cluster_size(root.path(), &free_bytes);
  EXPECT_GT(unit, 0);
  EXPECT_EQ(unit & (unit - 1), 0) << "a block size is a power of two: " << unit;
  EXPECT_EQ(cluster_size(root.at("missing")), -1);
}

}  // namespace
}  // namespace dirscribe
