#include "files/file_node_pool.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "files/folder_scanner.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

// Every field of a node, links left out.
std::string dump_fields(const file_node& node) {
  return node.name + "|" + node.ext + "|" + std::to_string(node.is_folder) + "|" +
         std::to_string(node.size) + "|" + std::to_string(node.mtime) + "|" +
         std::to_string(node.attributes) + "|" + std::to_string(node.ctime) + "|" +
         std::to_string(node.atime) + "|" + node.short_name + "|" +
         std::to_string(node.summary != nullptr) + "|" + std::to_string(node.file_count) + "|" +
         std::to_string(node.folder_count) + "|" + node.spare1 + "|" + node.spare2;
}

// Every node of `tree` in document order, as "name:fields" lines.
std::string dump_tree(const file_tree& tree) {
  std::string out;
  for (const file_node* node = tree.first(); node; node = node->next_in_document_order()) {
    out += dump_fields(*node) + "\n";
  }
  return out;
}

TEST(FileNodePoolTest, KeptNodesComeBackAsNewOnesWithTheirMemory) {
  file_node_pool pool;
  std::set<const file_node*> given;
  {
    file_tree tree(&pool);
    std::unique_ptr<file_node> node = tree.new_node();
    node->name = std::string(200, 'n');
    node->ext = ".a-long-extension-text";
    node->is_folder = true;
    node->size = node->mtime = node->ctime = node->atime = 7;
    node->attributes = 3;
    node->short_name = node->spare1 = node->spare2 = std::string(40, 's');
    node->summary = node.get();
    node->file_count = node->folder_count = 9;
    given.insert(tree.append_top(std::move(node)));
  }
  ASSERT_EQ(pool.kept(), 1u);
  std::unique_ptr<file_node> again = pool.take();
  EXPECT_EQ(given.count(again.get()), 1u);
  EXPECT_EQ(dump_fields(*again), dump_fields(file_node{}));
  EXPECT_GE(again->name.capacity(), 200u) << "the name keeps its memory for the next one";
  EXPECT_EQ(again->parent(), nullptr);
  EXPECT_EQ(again->next(), nullptr);
  EXPECT_EQ(again->first_child(), nullptr);
  EXPECT_EQ(pool.kept(), 0u);
}

TEST(FileNodePoolTest, TakesBackEveryNodeOfWideAndDeepTrees) {
  file_node_pool pool;
  size_t made = 0;
  {
    file_tree tree(&pool);
    // Three top-level folders with children and grandchildren, then a chain
    // ten thousand levels deep.
    for (int top = 0; top < 3; ++top) {
      file_node* folder = tree.append_top(tree.new_node());
      ++made;
      for (int child = 0; child < 4; ++child) {
        file_node* inner = tree.append_child(folder, tree.new_node());
        ++made;
        for (int grandchild = 0; grandchild < child; ++grandchild, ++made) {
          tree.append_child(inner, tree.new_node());
        }
      }
    }
    file_node* deepest = tree.append_top(tree.new_node());
    ++made;
    for (int level = 0; level < 10000; ++level, ++made) {
      deepest = tree.append_child(deepest, tree.new_node());
    }
  }
  EXPECT_EQ(pool.kept(), made);

  // Nodes come from the pool while it has any, then new ones.
  file_tree plain;
  for (size_t i = 0; i <= made; ++i) plain.append_top(pool.take());
  EXPECT_EQ(pool.kept(), 0u);
}

TEST(FileNodePoolTest, FoldersReadIntoPooledTreesListAsBefore) {
  temp_folder root;
  root.make_folder("a folder with a name longer than the short-text limit");
  root.make_folder("b");
  root.make_file("a file with a name longer than the short-text limit.txt", 5);
  root.make_file("c", 1);
  root.make_folder("small");
  root.make_file("small/x", 2);

  file_tree plain;
  ASSERT_TRUE(scan_folder(root.path(), plain, nullptr));
  const std::string expected = dump_tree(plain);

  file_node_pool pool;
  for (const std::string& folder : {root.path(), root.at("small"), root.path()}) {
    file_tree pooled(&pool);
    ASSERT_TRUE(scan_folder(folder, pooled, nullptr)) << folder;
    if (folder == root.path()) {
      EXPECT_EQ(dump_tree(pooled), expected);
    }
  }
  EXPECT_EQ(pool.kept(), 5u) << "no more nodes than the largest folder needed";
}

}  // namespace
}  // namespace dirscribe
