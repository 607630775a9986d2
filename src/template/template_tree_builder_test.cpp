#include "template/template_tree_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "template/template_test_support.h"

namespace dirscribe {
namespace {

std::string dump_of(const std::vector<std::string>& steps) {
  template_tree tree;
  EXPECT_EQ(build_from_steps(tree, steps), result_ok);
  return dump_template_tree(tree);
}

TEST(TemplateTreeBuilder, BuildsBlockShapes) {
  struct {
    std::vector<std::string> steps;
    const char* dump;
  } cases[] = {
      {{"a", "#echo var=x", "", "b"}, "text \"a\"\necho var=\"x\" index=0\ntext \"b\"\n"},
      {{"#for var=files", "x", "#echo var=name", "#endfor", "y"},
       "for var=\"files\" index=0\n  text \"x\"\n  echo var=\"name\" index=0\n"
       "endfor var=\"\" index=0\ntext \"y\"\n"},
      {{"#if var=a", "t", "#else", "e", "#endif"},
       "if var=\"a\" index=0 {var=\"a\"}\n  text \"t\"\nelse var=\"\" index=0\n  text \"e\"\n"
       "endif var=\"\" index=0\n"},
      // Empty bodies: the opening node itself is the current node.
      {{"#if", "#else", "#endif", "#for", "#endfor"},
       "if var=\"\" index=0 {}\nelse var=\"\" index=0\nendif var=\"\" index=0\n"
       "for var=\"\" index=0\nendfor var=\"\" index=0\n"},
      {{"#for var=files", "#repeat var=3", "<td>", "#elserepeat", "<td/>", "#endrepeat", "#endfor"},
       "for var=\"files\" index=0\n  repeat var=\"3\" index=0\n    text \"<td>\"\n"
       "  elserepeat var=\"\" index=0\n    text \"<td/>\"\n  endrepeat var=\"\" index=0\n"
       "endfor var=\"\" index=0\n"},
      {{"#for var=tree", "#if var=a", "#if var=b", "x", "#endif", "#endif", "#endfor"},
       "for var=\"tree\" index=0\n  if var=\"a\" index=0 {var=\"a\"}\n"
       "    if var=\"b\" index=0 {var=\"b\"}\n      text \"x\"\n    endif var=\"\" index=0\n"
       "  endif var=\"\" index=0\nendfor var=\"\" index=0\n"},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& s : c.steps) joined += s + " | ";
    EXPECT_EQ(dump_of(c.steps), c.dump) << joined;
  }
}

TEST(TemplateTreeBuilder, UnknownNameAndMixedCase) {
  // A mixed-case else is a real else: it is looked up after lower-casing.
  template_tree tree;
  int failed_at = -1;
  EXPECT_EQ(
      build_from_steps(tree, {"#include file=x", "#ECHO var=y", "#ElSe"}, nullptr, &failed_at),
      result_directive_without_block);
  EXPECT_EQ(failed_at, 2);
  EXPECT_EQ(dump_template_tree(tree), "text \"<!--#include file=x-->\"\necho var=\"y\" index=0\n");
}

TEST(TemplateTreeBuilder, KeepsAttributesOnlyWhereTheyMatter) {
  EXPECT_EQ(
      dump_of({"#echon var=a size=3 x=1", "#echo var=a size=3", "#for var=f re=x", "#endfor re=y"}),
      "echon var=\"a\" index=0 {size=\"3\" var=\"a\" x=\"1\"}\necho var=\"a\" index=0\n"
      "for var=\"f\" index=0\nendfor var=\"\" index=0\n");
}

TEST(TemplateTreeBuilder, PairingErrors) {
  struct {
    std::vector<std::string> steps;
    int failed_at;  // -1: no error while building
  } cases[] = {
      {{"#endif"}, 0},
      {{"#endfor"}, 0},
      {{"#endrepeat"}, 0},
      {{"#else"}, 0},
      {{"text", "#elserepeat"}, 1},
      {{"#for", "#endif"}, 1},
      {{"#if", "#endfor"}, 1},
      {{"#if", "#else", "#else"}, 2},
      {{"#if", "a", "#else", "b", "#else"}, 4},
      {{"#if", "#endif", "#endif"}, 2},
      {{"#if", "#endif", "#else"}, 2},
      {{"#for", "#endfor", "#endfor"}, 2},
      {{"#repeat", "#else", "#endrepeat"}, 1},
      {{"#if", "#elserepeat"}, 1},
      {{"#repeat", "#elserepeat", "#endif"}, 2},
      // Only the current node and its parent are looked at: the inner block
      // must be closed first.
      {{"#for", "#if", "x", "#endfor"}, 3},
      {{"#if", "#for", "x", "#endif"}, 3},
      // An empty inner block lets its parent close; the inner block stays open.
      {{"#for", "#if", "#endfor"}, -1},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& s : c.steps) joined += s + " | ";
    template_tree tree;
    int failed_at = -1;
    int result = build_from_steps(tree, c.steps, nullptr, &failed_at);
    EXPECT_EQ(result, c.failed_at < 0 ? result_ok : result_directive_without_block) << joined;
    EXPECT_EQ(failed_at, c.failed_at) << joined;
  }
}

TEST(TemplateTreeBuilder, FirstUnclosedNode) {
  struct {
    std::vector<std::string> steps;
    const char* unclosed;  // dump line of the first open node, or "" for none
  } cases[] = {
      {{"a", "#echo var=x", "#for var=f", "#endfor"}, ""},
      {{"a", "#if var=q", "b"}, "if"},
      {{"#if var=q", "#else"}, "else"},  // else closes the if and stays open itself
      {{"#for var=f", "#if", "#endfor"}, "if"},
      {{"#repeat var=2", "#elserepeat", "x"}, "elserepeat"},
      {{"#for var=f", "#repeat var=2", "#endrepeat"}, "for"},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& s : c.steps) joined += s + " | ";
    template_tree tree;
    ASSERT_EQ(build_from_steps(tree, c.steps), result_ok) << joined;
    template_node* open = first_unclosed_block(tree);
    std::string name = open ? directive_info_of(open->type)->name : "";
    EXPECT_EQ(name, c.unclosed) << joined;
  }
}

TEST(TemplateTreeBuilder, ElseMarksIfClosedAndEndifMarksElse) {
  template_tree tree;
  ASSERT_EQ(build_from_steps(tree, {"#if var=q", "#else"}), result_ok);
  EXPECT_EQ(dump_template_tree(tree),
            "if var=\"q\" index=0 {var=\"q\"}\nelse var=\"\" index=0 open\n");
}

TEST(TemplateTreeBuilder, VocabularyCheckRunsAfterPlacementAndStops) {
  template_variables variables;
  variables.build_from_names({"files", "folders", "tree", "odd"});
  // Closing and middle directives are not checked, so an unknown var there
  // passes; the first simple or opening directive with one stops the build.
  template_tree tree;
  int failed_at = -1;
  EXPECT_EQ(build_from_steps(tree,
                             {"#for var=files", "#endfor var=nosuch", "#if var=odd",
                              "#else var=nosuch", "#endif", "#echo var=zz", "x"},
                             &variables, &failed_at),
            result_unknown_variable);
  EXPECT_EQ(failed_at, 5);
  // The refused node stays in the tree; the checked ones were resolved.
  EXPECT_EQ(dump_template_tree(tree),
            "for var=\"files\" index=0\nendfor var=\"nosuch\" index=0\n"
            "if var=\"odd\" index=3\nelse var=\"nosuch\" index=0\n"
            "endif var=\"\" index=0\necho var=\"zz\" index=0\n");
}

TEST(TemplateTreeDump, EscapesText) {
  template_tree tree;
  ASSERT_EQ(build_from_steps(tree, {"a\"b\\c\n\t\x01"}), result_ok);
  EXPECT_EQ(dump_template_tree(tree), "text \"a\\\"b\\\\c\\n\\t\\x01\"\n");
}

}  // namespace
}  // namespace dirscribe
