#include "files/file_node.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace dirscribe {
namespace {

// "name" for files, "name/" for folders, children in brackets.
std::string dump_list(const file_node* node) {
  std::string out;
  for (; node; node = node->next()) {
    if (!out.empty()) out += ' ';
    out += node->name;
    if (node->is_folder) out += '/';
    if (node->first_child()) out += "[" + dump_list(node->first_child()) + "]";
  }
  return out;
}

file_node* add(file_tree& tree, file_node* parent, const std::string& name, bool is_folder = false,
               uint64_t size = 0, unix_time mtime = 0) {
  auto node = std::make_unique<file_node>();
  node->name = name;
  node->ext = extension_of(name);
  node->is_folder = is_folder;
  node->size = size;
  node->mtime = mtime;
  return tree.append_child(parent, std::move(node));
}

// The ordering as first described: nodes taken from the last to the first,
// each put in front of the first node of the growing list that it compares
// less than or equal to, or at its end.
std::vector<const file_node*> insertion_sorted(const file_tree& tree,
                                               std::vector<const file_node*> order) {
  std::list<const file_node*> sorted;
  for (auto node = order.rbegin(); node != order.rend(); ++node) {
    auto place = sorted.begin();
    while (place != sorted.end() && tree.compare(**node, **place) > 0) ++place;
    sorted.insert(place, *node);
  }
  return {sorted.begin(), sorted.end()};
}

std::vector<const file_node*> children_of(const file_tree& tree) {
  std::vector<const file_node*> nodes;
  for (const file_node* node = tree.first(); node; node = node->next()) nodes.push_back(node);
  return nodes;
}

TEST(FileSortTest, OrdersByEachKey) {
  struct Case {
    int key;
    bool descending;
    std::string expected;
  };
  const Case cases[] = {
      {sort_by_name_nocase, false, "ww/ a.txt B.txt C.txt"},
      {sort_by_name, false, "ww/ B.txt C.txt a.txt"},
      {sort_by_name, true, "a.txt C.txt B.txt ww/"},
      {sort_unsorted, false, "ww/ B.txt a.txt C.txt"},
      {sort_unsorted, true, "C.txt a.txt B.txt ww/"},
      {7, false, "ww/ B.txt a.txt C.txt"},
  };
  for (const Case& c : cases) {
    file_tree tree;
    add(tree, nullptr, "B.txt");
    add(tree, nullptr, "a.txt");
    add(tree, nullptr, "ww", true);
    add(tree, nullptr, "C.txt");
    tree.sort_key = c.key;
    tree.sort_all();
    if (c.descending) tree.reverse_all();
    EXPECT_EQ(dump_list(tree.first()), c.expected) << "key " << c.key << " desc " << c.descending;
  }
}

// Under this process's locale (C in tests: the root collation).
TEST(FileSortTest, NaturalKeyReadsNumbersKeepsEveryNameAndPutsBrokenNamesLast) {
  file_tree tree;
  for (const char* name : {"track 10.mp3", "\xff\xfe.bin", "Track 2.mp3", "track 02.mp3",
                           "\xc3(bad", "Édith.txt", "edith.txt", "zz", "a\x01", "a"}) {
    add(tree, nullptr, name);
  }
  add(tree, nullptr, "Music 10", true);
  add(tree, nullptr, "music 9", true);
  tree.sort_key = sort_by_natural;
  tree.sort_all();
  EXPECT_EQ(dump_list(tree.first()),
            "music 9/ Music 10/ a a\x01 edith.txt Édith.txt track 02.mp3 Track 2.mp3 "
            "track 10.mp3 zz \xc3(bad \xff\xfe.bin");
  // The same order from compare, and equal only for equal names.
  EXPECT_LT(compare_natural("track 02", "track 2"), 0);
  EXPECT_LT(compare_natural("zz", "\xc3(bad"), 0);
  EXPECT_EQ(compare_natural("\xc3(bad", "\xc3(bad"), 0);
  EXPECT_NE(compare_natural("\xC3\xA9", "e\xCC\x81"), 0);
}

// Long lists sort by collation keys, short ones pairwise: both give the
// order compare_natural gives.
TEST(FileSortTest, NaturalKeyOrdersLongAndShortListsAlike) {
  const char* parts[] = {"track ", "Track ", "Édith ", "edith ", "b\xc3",
                         "~",      "a_",     "Ω",      "02",     "2"};
  std::mt19937 random(5);
  for (size_t count : {5u, 47u, 48u, 300u}) {
    file_tree tree;
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i) {
      names.push_back(std::string(parts[random() % 10]) + parts[random() % 10] +
                      std::to_string(random() % 40));
      add(tree, nullptr, names.back(), random() % 5 == 0);
    }
    std::vector<std::string> expected;
    for (const file_node* node = tree.first(); node; node = node->next()) {
      expected.push_back(node->name + (node->is_folder ? "/" : ""));
    }
    std::stable_sort(
        expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
          const bool a_folder = a.back() == '/', b_folder = b.back() == '/';
          if (a_folder != b_folder) return a_folder;
          return compare_natural(std::string_view(a).substr(0, a.size() - a_folder),
                                 std::string_view(b).substr(0, b.size() - b_folder)) < 0;
        });
    tree.sort_key = sort_by_natural;
    tree.sort_all();
    std::vector<std::string> sorted;
    for (const file_node* node = tree.first(); node; node = node->next()) {
      sorted.push_back(node->name + (node->is_folder ? "/" : ""));
    }
    EXPECT_EQ(sorted, expected) << count << " entries";
  }
}

TEST(FileSortTest, TiesKeepOrderAndSwapWhenDescending) {
  file_tree tree;
  add(tree, nullptr, "first", false, 10);
  add(tree, nullptr, "big", false, 20);
  add(tree, nullptr, "second", false, 10);
  add(tree, nullptr, "noext");
  add(tree, nullptr, "x.a");
  tree.sort_key = sort_by_size;
  tree.sort_all();
  EXPECT_EQ(dump_list(tree.first()), "noext x.a first second big");
  tree.reverse_all();
  EXPECT_EQ(dump_list(tree.first()), "big second first x.a noext");
  // An empty extension sorts first under both extension keys.
  for (int key : {sort_by_ext, sort_by_ext_nocase}) {
    tree.sort_key = key;
    tree.sort_all();
    EXPECT_EQ(tree.first()->ext, "") << key;
    EXPECT_EQ(tree.first()->next()->ext, "") << key;
  }
}

TEST(FileSortTest, SortAllReachesEveryLevelAndKeepsLinks) {
  file_tree tree;
  file_node* top = add(tree, nullptr, "top", true);
  add(tree, top, "z");
  file_node* inner = add(tree, top, "inner", true);
  add(tree, inner, "b");
  add(tree, inner, "a");
  add(tree, top, "m", true);
  tree.sort_key = sort_by_name;
  tree.sort_all();
  EXPECT_EQ(dump_list(tree.first()), "top/[inner/[a b] m/ z]");
  tree.reverse_all();
  EXPECT_EQ(dump_list(tree.first()), "top/[z m/ inner/[b a]]");
  // prev and parent links agree with the new order.
  for (const file_node* node = tree.first(); node; node = node->next_in_document_order()) {
    if (node->next()) {
      EXPECT_EQ(node->next()->prev(), node) << node->name;
    }
    for (const file_node* child = node->first_child(); child; child = child->next()) {
      EXPECT_EQ(child->parent(), node) << child->name;
    }
  }
}

// The stable sort must give exactly the described insertion sort's order, for
// every key, on random lists full of ties.
TEST(FileSortTest, MatchesDescribedInsertionSort) {
  std::mt19937 random(20261208);
  const std::vector<std::string> names = {"a", "A",   "b",   "B",   "ab", "aB", "Ab",
                                          "",  "a.x", "a.X", "b.x", ".x", "_",  "\xe9"};
  for (int round = 0; round < 300; ++round) {
    file_tree tree;
    tree.sort_key = static_cast<int>(random() % 8) - 1;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
      file_node* node = add(tree, nullptr, names[random() % names.size()], random() % 4 == 0,
                            random() % 3, static_cast<unix_time>(random() % 3) - 1);
      node->size += (random() % 2) * (uint64_t{1} << 32);
      node->spare1 = std::to_string(i);  // identity for the failure message
    }
    const std::vector<const file_node*> expected = insertion_sorted(tree, children_of(tree));
    tree.sort_list(nullptr);
    const std::vector<const file_node*> actual = children_of(tree);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
      ASSERT_EQ(actual[i], expected[i])
          << "round " << round << " key " << tree.sort_key << " position " << i;
    }
  }
}

TEST(FileSortTest, CompareRules) {
  file_tree tree;
  file_node a;
  file_node b;
  tree.sort_key = sort_by_size;
  a.size = uint64_t{1} << 32;
  b.size = 4294967295u;
  EXPECT_GT(tree.compare(a, b), 0) << "high word decides first";
  tree.sort_key = sort_by_mtime;
  a.mtime = -2147483648LL;
  b.mtime = 2147483647LL;
  EXPECT_LT(tree.compare(a, b), 0) << "no overflow on far-apart times";
  tree.sort_key = sort_by_name_nocase;
  a.name = "abc";
  b.name = "ABCd";
  EXPECT_LT(tree.compare(a, b), 0);
  a.name = "_";  // 0x5F sorts after the folded letters
  b.name = "z";
  EXPECT_GT(tree.compare(a, b), 0);
  tree.sort_key = sort_by_name;
  EXPECT_LT(tree.compare(a, b), 0);
  a.name = "\xe9";  // bytes compare unsigned
  EXPECT_GT(tree.compare(a, b), 0);
}

TEST(FileNodeTest, ExtensionRule) {
  const struct {
    const char* name;
    const char* ext;
    const char* base;
  } cases[] = {{".config", "", ".config"}, {"archive.tar.gz", ".gz", "archive.tar"},
               {"README", "", "README"},   {"a.", ".", "a"},
               {"..x", ".x", "."},         {"", "", ""}};
  for (const auto& c : cases) {
    file_node node;
    node.name = c.name;
    node.ext = extension_of(node.name);
    EXPECT_EQ(node.ext, c.ext) << c.name;
    EXPECT_EQ(name_without_extension(node), c.base) << c.name;
  }
}

TEST(FileNodeTest, SizeWords) {
  file_node node;
  node.set_size_words(2, 4294967295u);
  EXPECT_EQ(node.size, 3 * (uint64_t{1} << 32) - 1);
  EXPECT_EQ(node.size_high(), 2u);
  EXPECT_EQ(node.size_low(), 4294967295u);
}

}  // namespace
}  // namespace dirscribe
