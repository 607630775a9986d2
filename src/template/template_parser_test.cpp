#include "template/template_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/document_reader.h"
#include "services/phrase_table.h"
#include "support/test_phrases.h"

namespace dirscribe {
namespace {

struct parse_outcome {
  int result = 0;     // first nonzero feed result, else finish's result
  std::string dump;   // the tree
  std::string error;  // error text of a failure, or of an open block
};

const phrase_table& test_phrases() {
  static phrase_table* phrases = [] {
    auto* table = new phrase_table;
    EXPECT_EQ(load_test_phrases(*table, test_template_phrases()), 0);
    return table;
  }();
  return *phrases;
}

// Parses `text` with the listing parser, fed in pieces of `piece_size` bytes
// (0: in one piece).
template <class parser>
parse_outcome parse_with(std::string_view text, size_t piece_size) {
  parse_outcome out;
  template_tree tree;
  parser p(test_phrases(), tree);
  size_t step = piece_size == 0 ? text.size() : piece_size;
  for (size_t pos = 0; pos < text.size() && out.result == 0; pos += step) {
    out.result = p.feed(std::string(text.substr(pos, step)));
  }
  if (out.result == 0) out.result = p.finish();
  if (out.result != 2) {
    out.error = p.error_text(out.result);
  } else if (template_node* open = p.first_unclosed()) {
    out.result = parse_unclosed_block;
    out.error = p.error_text(out.result, open);
  }
  out.dump = dump_template_tree(tree);
  return out;
}

parse_outcome parse(std::string_view text, size_t piece_size = 0) {
  return parse_with<template_parser>(text, piece_size);
}

struct tree_case {
  const char* text;
  const char* dump;
};

const tree_case kTreeCases[] = {
    {"", ""},
    {"plain <b>html</b>", "text \"plain \"\ntext \"<b>html\"\ntext \"</b>\"\n"},
    {"a<!--#echo var=\"name\"-->b", "text \"a\"\necho var=\"name\" index=22\ntext \"b\"\n"},
    // Names, attribute names and variables are case-blind.
    {"<!--#ECHO VAR=\"Name\" -->", "echo var=\"name\" index=22\n"},
    {"<!--#EchoN Var='NAME' SIZE=5 -->", "echon var=\"name\" index=22 {size=\"5\" var=\"NAME\"}\n"},
    // Ordinary comments, unknown directives and stray markup stay text.
    {"<!-- note --><!--#include file=\"x\" --><><!><!-->",
     "text \"<!-- note -->\"\ntext \"<!--#include file=\\\"x\\\" -->\"\ntext \"<>\"\n"
     "text \"<!>\"\ntext \"<!-->\"\n"},
    // Blanks of every kind separate; unquoted values run to the next blank.
    {"<!--#if\tvar=odd\r\nre=^a -->x<!--#endif-->",
     "if var=\"odd\" index=5 {re=\"^a\" var=\"odd\"}\n  text \"x\"\nendif var=\"\" index=0\n"},
    // Quotes do not protect the end string: the rest is text.
    {"<!--#echo var=\"name-->b\" -->", "echo var=\"name\" index=22\ntext \"b\\\" -->\"\n"},
    // A backslash inside quotes takes the next character literally.
    {"<!--#if var=\"odd\" re=\"\\\"x\" --><!--#endif -->",
     "if var=\"odd\" index=5 {re=\"\\\"x\" var=\"odd\"}\nendif var=\"\" index=0\n"},
    // "<" inside a directive is an ordinary character.
    {"<!--#if var=odd re=\"<>a<b\" --><!--#endif -->",
     "if var=\"odd\" index=5 {re=\"<>a<b\" var=\"odd\"}\nendif var=\"\" index=0\n"},
    {"<table><!--#for var=files--><tr><!--#repeat var=3--><td><!--#echoe var=name--></td>"
     "<!--#elserepeat--><td></td><!--#endrepeat--></tr><!--#endfor--></table>",
     "text \"<table>\"\nfor var=\"files\" index=0\n  text \"<tr>\"\n  repeat var=\"3\" index=3\n"
     "    text \"<td>\"\n    echoe var=\"name\" index=22\n    text \"</td>\"\n"
     "  elserepeat var=\"\" index=0\n    text \"<td>\"\n    text \"</td>\"\n"
     "  endrepeat var=\"\" index=0\n  text \"</tr>\"\nendfor var=\"\" index=0\n"
     "text \"</table>\"\n"},
    // An unfinished directive at the end is text.
    {"x<!--#echo var=\"name\"", "text \"x\"\ntext \"<!--#echo var=\\\"name\\\"\"\n"},
    {"x<!--#", "text \"x\"\ntext \"<!--#\"\n"},
    {"x<!--", "text \"x\"\ntext \"<!--\"\n"},
    {"x<", "text \"x\"\ntext \"<\"\n"},
    {"<!--#-->", "text \"<!--#-->\"\n"},
};

TEST(TemplateParser, BuildsTrees) {
  for (const tree_case& c : kTreeCases) {
    parse_outcome out = parse(c.text);
    EXPECT_EQ(out.result, 2) << c.text << "\n" << out.error;
    EXPECT_EQ(out.dump, c.dump) << c.text;
  }
}

struct error_case {
  const char* text;
  int result;
  const char* error;
  const char* dump;  // nullptr: not compared
};

const error_case kErrorCases[] = {
    {"<!--#endif -->", 10000, "Line 1 col 14: [no block]", ""},
    {"ab\n<!--#endfor-->", 10000, "Line 2 col 14: [no block]", "text \"ab\\n\"\n"},
    {"<!--#endrepeat-->", 10000, "Line 1 col 17: [no block]", ""},
    {"<!--#for var=files-->\n  <!--#endif-->", 10000, "Line 2 col 15: [no block]", nullptr},
    {"<!--#if var=odd--><!--#else--><!--#else-->", 10000, "Line 1 col 42: [no block]", nullptr},
    {"<!--#if var=\"Odd\"-->\nx\n", 10002, "Line 3 col 0: [open] <!--#if var=\"odd\" -->",
     "if var=\"odd\" index=5 open\n  text \"\\nx\\n\"\n"},
    {"<!--#for var=files--><!--#if var=odd--><!--#else-->", 10002,
     "Line 1 col 51: [open] <!--#for var=\"files\" -->", nullptr},
    // The endfor closes the for around the empty elserepeat, which stays open.
    {"<!--#for var=files--><!--#repeat var=2--><!--#elserepeat--><!--#endfor-->", 10002,
     "Line 1 col 73: [open] <!--#elserepeat var=\"\" -->", nullptr},
    {"<!--#for var=files--><!--#repeat var=2-->x<!--#endfor-->", 10000, "Line 1 col 56: [no block]",
     nullptr},
    {"<!--#echo var=nosuch-->", 10022, "Line 1 col 23: [unknown]", "echo var=\"nosuch\" index=0\n"},
    {"<!--#echo-->", 10022, "Line 1 col 12: [unknown]", nullptr},
    {"<!--#for var=name-->", 10023, "Line 1 col 20: [not here]", nullptr},
    {"<!--#echo var=files-->", 10023, "Line 1 col 22: [not here]", nullptr},
    {"<!--#for var=files-->\n<!--#for var=tree-->", 10024, "Line 2 col 20: [for in for]", nullptr},
    {"<!--#repeat var=2-->", 10025, "Line 1 col 20: [repeat]", nullptr},
    {"<!--#for var=tree--><!--#repeat var=2-->", 10026, "Line 1 col 40: [repeat]", nullptr},
    // Parsing stops at the first error: nothing after it is read.
    {"<!--#endif-->x<!--#if var=odd-->", 10000, "Line 1 col 13: [no block]", ""},
};

TEST(TemplateParser, ReportsErrorsWithPosition) {
  for (const error_case& c : kErrorCases) {
    parse_outcome out = parse(c.text);
    EXPECT_EQ(out.result, c.result) << c.text;
    EXPECT_EQ(out.error, c.error) << c.text;
    if (c.dump) {
      EXPECT_EQ(out.dump, c.dump) << c.text;
    }
  }
}

TEST(TemplateParser, PieceSizeDoesNotChangeTheOutcome) {
  std::vector<std::string> texts;
  for (const tree_case& c : kTreeCases) texts.push_back(c.text);
  for (const error_case& c : kErrorCases) texts.push_back(c.text);
  for (const std::string& text : texts) {
    parse_outcome whole = parse(text);
    for (size_t piece : {1, 2, 3, 5, 7}) {
      parse_outcome split = parse(text, piece);
      EXPECT_EQ(split.result, whole.result) << piece << ": " << text;
      EXPECT_EQ(split.dump, whole.dump) << piece << ": " << text;
      EXPECT_EQ(split.error, whole.error) << piece << ": " << text;
    }
  }
}

TEST(TemplateParser, DirectiveStraddlesPieces) {
  template_tree tree;
  template_parser parser(test_phrases(), tree);
  EXPECT_EQ(parser.feed("a<!-"), 0);
  EXPECT_EQ(parser.feed("-#ech"), 0);
  EXPECT_EQ(parser.feed("o var=\"na"), 0);
  EXPECT_EQ(dump_template_tree(tree), "text \"a\"\n");
  EXPECT_EQ(parser.feed("me\" --"), 0);
  EXPECT_EQ(parser.feed(">b"), 0);
  EXPECT_EQ(dump_template_tree(tree), "text \"a\"\necho var=\"name\" index=22\n");
  EXPECT_EQ(parser.finish(), 2);
  EXPECT_EQ(dump_template_tree(tree), "text \"a\"\necho var=\"name\" index=22\ntext \"b\"\n");
}

TEST(TemplateParser, ResultIsStickyAfterFailureAndFinish) {
  template_tree tree;
  template_parser parser(test_phrases(), tree);
  EXPECT_EQ(parser.feed("<!--#endif-->"), 10000);
  EXPECT_EQ(parser.feed("<!--#echo var=name-->"), 10000);
  EXPECT_EQ(parser.finish(), 10000);
  EXPECT_TRUE(tree.empty());

  template_tree done_tree;
  template_parser done(test_phrases(), done_tree);
  EXPECT_EQ(done.feed("x"), 0);
  EXPECT_EQ(done.finish(), 2);
  EXPECT_EQ(done.finish(), 2);
  EXPECT_EQ(done.feed("y"), 2);
  EXPECT_EQ(dump_template_tree(done_tree), "text \"x\"\n");
}

TEST(TemplateParser, PlainParserSkipsVocabularyChecks) {
  parse_outcome out = parse_with<template_structure_parser>(
      "<!--#for var=Nosuch--><!--#for var=x--><!--#endfor--><!--#endfor-->"
      "<!--#if var=q x=1--><!--#endif--><!--#repeat var=3--><!--#endrepeat-->",
      0);
  EXPECT_EQ(out.result, 2) << out.error;
  EXPECT_EQ(out.dump,
            "for var=\"Nosuch\" index=0\n  for var=\"x\" index=0\n  endfor var=\"\" index=0\n"
            "endfor var=\"\" index=0\nif var=\"q\" index=0 {var=\"q\" x=\"1\"}\n"
            "endif var=\"\" index=0\nrepeat var=\"3\" index=0\nendrepeat var=\"\" index=0\n");
}

TEST(TemplateParser, SizeLimitBoundsTheWholeTemplate) {
  const std::string piece(16384, 'x');
  for (int64_t extra : {0, 1}) {
    template_tree tree;
    template_parser parser(test_phrases(), tree);
    int result = 0;
    for (int64_t fed = 0; fed < template_markup_reader::template_size_limit && result == 0;
         fed += static_cast<int64_t>(piece.size())) {
      result = parser.feed(piece);
    }
    if (result == 0 && extra) result = parser.feed("y");
    if (result == 0) result = parser.finish();
    EXPECT_EQ(result, extra ? 1 : 2) << extra;
  }
}

// The bundled English language file names every variable as template authors
// are told, and its error phrases compose the documented message.
TEST(TemplateParser, EnglishLanguageFile) {
  xml_tree document;
  std::string error;
  document_options options;
  options.lower_case_names = false;
  ASSERT_EQ(parse_file(DIRSCRIBE_SOURCE_DIR "data/sources/langs-en.xml", document, options, error),
            0)
      << error;
  phrase_table english;
  ASSERT_EQ(english.load(document), 0);
  template_tree tree;
  template_parser parser(english, tree);
  for (int row = 0; row < template_variable_count; ++row) {
    EXPECT_EQ(parser.variables().find(english_variable_names()[row]), row)
        << english_variable_names()[row];
  }
  EXPECT_EQ(parser.feed("<!--#if var=\"ODD\" -->\n"), 0);
  EXPECT_EQ(parser.finish(), 2);
  template_node* open = parser.first_unclosed();
  ASSERT_NE(open, nullptr);
  std::string text = parser.error_text(parse_unclosed_block, open);
  EXPECT_EQ(text.rfind("<b>Error occurred while processing QXI directive.</b> Line # 2 Col # 0", 0),
            0u)
      << text;
  EXPECT_NE(text.find("<!--#if var=\"odd\" -->"), std::string::npos) << text;
}

}  // namespace
}  // namespace dirscribe
