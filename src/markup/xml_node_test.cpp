#include "markup/xml_node.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/document_reader.h"

namespace dirscribe {
namespace {

xml_tree read(const std::string& text) {
  xml_tree tree;
  document_options options;
  options.lower_case_names = false;
  const outcome read = parse_text(text, tree, options);
  EXPECT_TRUE(read.ok()) << text << read.message();
  return tree;
}

// The path of a node as its names from the top, for comparing found nodes.
std::string where(const xml_node* node) {
  if (!node) return "none";
  std::string path;
  for (; node; node = node->parent()) {
    int index = 0;
    for (const xml_node* before = node->prev(); before; before = before->prev()) ++index;
    path = "/" + node->name + "#" + std::to_string(index) + path;
  }
  return path;
}

TEST(XmlNodeTest, FindAndTextOf) {
  const xml_tree tree =
      read("<a><b>1</b><b>2</b><e/><n><i/>after</n><w> \n</w><c x='1'/></a><z>top</z>");
  const xml_node* a = tree.first();
  struct find_case {
    std::string path;
    const xml_node* start;
    std::string found;
    int text_result;
    std::string text;
  };
  const find_case cases[] = {
      {"/a/b", nullptr, "/a#0/b#0", 0, "1"},
      {"b", a, "/a#0/b#0", 0, "1"},
      {"/b", a, "none", 1, ""},
      {"a//b", nullptr, "/a#0/b#0", 0, "1"},
      {"a/", nullptr, "/a#0", 0, ""},  // first child of a is an element
      {"", a, "/a#0", 0, ""},
      {"", nullptr, "none", 1, ""},
      {"/", a, "none", 1, ""},
      {"/a/e", nullptr, "/a#0/e#2", 0, ""},
      {"/a/n", nullptr, "/a#0/n#3", 0, ""},
      {"/a/w", nullptr, "/a#0/w#4", 0, " \n"},
      {"/a/c", nullptr, "/a#0/c#5", 0, ""},
      {"/A", nullptr, "none", 1, ""},
      {"/a/b/x", nullptr, "none", 1, ""},
      {"z", nullptr, "/z#1", 0, "top"},
      {"/a/b/", nullptr, "/a#0/b#0", 0, "1"},
  };
  for (const find_case& test : cases) {
    EXPECT_EQ(where(xml_find(tree, test.path, test.start)), test.found) << test.path;
    std::string text = "stale";
    EXPECT_EQ(xml_text_of(tree, test.path, test.start, text), test.text_result) << test.path;
    EXPECT_EQ(text, test.text) << test.path;
  }
  EXPECT_EQ(xml_find(tree, "/a/c", nullptr)->attribute("x")->to_text(), "1");
  EXPECT_EQ(xml_find(tree, "/a/c", nullptr)->attribute("y"), nullptr);
}

TEST(XmlNodeTest, Serialise) {
  const xml_tree tree = read(
      "<?pi x?><r k=\"v\" a='&lt;&#233;'><!--c--><x a=\"1&amp;2\"/>t&amp;<e></e>"
      "<![CDATA[<d>]]><!DOCTYPE q></r>");
  std::vector<std::string> lines = {"stale"};
  xml_serialise(tree, lines);
  const std::vector<std::string> expected = {
      "<?pi x?>",
      "<r a=\"&lt;&#233;\" k=\"v\">",
      "",
      "<x a=\"1&amp;2\" />",
      "t&amp;",
      "<e />",
      "<![CDATA[<d>]]>",
      "<!DOCTYPE q>",
      "</r>",
  };
  EXPECT_EQ(lines, expected);
}

TEST(XmlNodeTest, ElementLine) {
  EXPECT_EQ(xml_element_line("path", tagged_value("<")), "<path>&lt;</path>\r\n");
  EXPECT_EQ(xml_element_line("n", tagged_value(-5)), "<n>-5</n>\r\n");
}

}  // namespace
}  // namespace dirscribe
