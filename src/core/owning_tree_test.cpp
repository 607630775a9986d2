#include "core/owning_tree.h"

#include <gtest/gtest.h>

#include <string>

namespace dirscribe {
namespace {

struct test_node : tree_node<test_node> {
  explicit test_node(std::string n) : name(std::move(n)) {}
  std::string name;
};
using tree = owning_tree<test_node>;

std::unique_ptr<test_node> make(const char* name) { return std::make_unique<test_node>(name); }

// Canonical dump: names in document order with "(" ")" around children;
// also checks that every back link agrees with the forward links.
std::string dump(const tree& t) {
  std::string out;
  for (test_node* n = t.first(); n; n = n->next_in_document_order()) {
    out += n->name;
    if (n->first_child()) {
      EXPECT_EQ(n->first_child()->parent(), n);
      EXPECT_EQ(n->first_child()->prev(), nullptr);
    }
    if (n->next()) {
      EXPECT_EQ(n->next()->prev(), n);
      EXPECT_EQ(n->next()->parent(), n->parent());
    }
    out += n->first_child() ? "(" : (n->next() ? "," : "");
    if (!n->first_child() && !n->next()) {
      for (test_node* p = n->parent(); p; p = p->parent()) {
        out += ")";
        if (p->next()) {
          out += ",";
          break;
        }
      }
    }
  }
  return out;
}

TEST(OwningTree, BuildsAndWalksInDocumentOrder) {
  tree t;
  test_node* a = t.append_top(make("a"));
  test_node* b = t.append_child(a, make("b"));
  t.append_child(a, make("c"));
  t.append_child(b, make("d"));
  t.append_top(make("e"));
  t.add_first(make("z"));
  EXPECT_EQ(dump(t), "z,a(b(d),c),e");
  EXPECT_EQ(a->last_child()->name, "c");
  EXPECT_EQ(b->first_child()->next_skipping_children()->name, "c");
  EXPECT_EQ(b->next_skipping_children()->name, "c");
  EXPECT_EQ(a->last_child()->next_skipping_children()->name, "e");
}

TEST(OwningTree, InsertBeforeCorrectsFirstLinks) {
  tree t;
  test_node* a = t.append_top(make("a"));
  test_node* b = t.append_child(a, make("b"));
  t.insert_before(b, make("x"));
  t.insert_before(a, make("y"));
  t.insert_after(b, make("w"));
  t.append_after_siblings(b, make("v"));
  EXPECT_EQ(dump(t), "y,a(x,b,w,v)");
  EXPECT_EQ(t.first()->name, "y");
  EXPECT_EQ(a->first_child()->name, "x");
}

TEST(OwningTree, DetachAndInsertPutANodeBack) {
  tree t;
  test_node* a = t.append_top(make("a"));
  t.append_child(a, make("b"));
  test_node* c = t.append_child(a, make("c"));
  t.append_child(c, make("c1"));
  t.append_child(a, make("d"));
  test_node* parent = nullptr;
  test_node* next = nullptr;
  auto taken = t.detach(c, &parent, &next);
  EXPECT_EQ(parent, a);
  EXPECT_EQ(next->name, "d");
  EXPECT_EQ(dump(t), "a(b,d)");
  EXPECT_EQ(taken->first_child()->name, "c1");
  t.insert(std::move(taken), parent, next);
  EXPECT_EQ(dump(t), "a(b,c(c1),d)");
  t.remove(a->first_child());
  EXPECT_EQ(dump(t), "a(c(c1),d)");
  t.remove(a);
  EXPECT_TRUE(t.empty());
}

TEST(OwningTree, TakeAndSetChildrenReorders) {
  tree t;
  test_node* a = t.append_top(make("a"));
  for (const char* n : {"3", "1", "2"}) t.append_child(a, make(n));
  auto children = t.take_children(a);
  ASSERT_EQ(children.size(), 3u);
  EXPECT_EQ(a->first_child(), nullptr);
  std::swap(children[0], children[1]);
  t.set_children(a, std::move(children));
  EXPECT_EQ(dump(t), "a(1,3,2)");
  auto top = t.take_children(nullptr);
  t.set_children(nullptr, std::move(top));
  EXPECT_EQ(dump(t), "a(1,3,2)");
}

TEST(OwningTree, FreesDeepAndLongTreesWithoutRecursion) {
  tree t;
  test_node* node = t.append_top(make("root"));
  for (int i = 0; i < 200000; ++i) node = t.append_child(node, make("d"));
  test_node* wide = t.append_top(make("wide"));
  test_node* last = t.append_child(wide, make("s"));
  for (int i = 0; i < 200000; ++i) last = t.insert_after(last, make("s"));
  t.clear();
  EXPECT_TRUE(t.empty());
}

}  // namespace
}  // namespace dirscribe
