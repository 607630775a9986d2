#include "template/template_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "markup/document_reader.h"
#include "services/phrase_table.h"
#include "support/test_phrases.h"

namespace dirscribe {
namespace {

struct parse_report {
  int code = result_ok;  // the first failure's code
  std::string dump;      // the tree
  std::string error;     // the failure's message
};

const phrase_table& test_phrases() {
  static phrase_table* phrases = [] {
    auto* table = new phrase_table;
    EXPECT_TRUE(load_test_phrases(*table, test_template_phrases()).ok());
    return table;
  }();
  return *phrases;
}

// Parses `text` fed in pieces of `piece_size` bytes (0: in one piece).
parse_report parse(std::string_view text, size_t piece_size = 0,
                   template_parser::vocabulary checks = template_parser::vocabulary::checked) {
  template_tree tree;
  template_parser parser(test_phrases(), tree, checks);
  size_t step = piece_size == 0 ? text.size() : piece_size;
  outcome result;
  for (size_t pos = 0; pos < text.size() && result.ok(); pos += step) {
    result = parser.feed(std::string(text.substr(pos, step)));
  }
  if (result.ok()) result = parser.finish();
  return {result.code(), dump_template_tree(tree), result.message()};
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
    parse_report out = parse(c.text);
    EXPECT_EQ(out.code, result_ok) << c.text << "\n" << out.error;
    EXPECT_EQ(out.dump, c.dump) << c.text;
  }
}

struct error_case {
  const char* text;
  int code;
  const char* error;
  const char* dump;  // nullptr: not compared
};

const error_case kErrorCases[] = {
    {"<!--#endif -->", result_directive_without_block, "Line 1 col 14: [no block]", ""},
    {"ab\n<!--#endfor-->", result_directive_without_block, "Line 2 col 14: [no block]",
     "text \"ab\\n\"\n"},
    {"<!--#endrepeat-->", result_directive_without_block, "Line 1 col 17: [no block]", ""},
    {"<!--#for var=files-->\n  <!--#endif-->", result_directive_without_block,
     "Line 2 col 15: [no block]", nullptr},
    {"<!--#if var=odd--><!--#else--><!--#else-->", result_directive_without_block,
     "Line 1 col 42: [no block]", nullptr},
    {"<!--#if var=\"Odd\"-->\nx\n", result_block_not_closed,
     "Line 3 col 0: [open] <!--#if var=\"odd\" -->",
     "if var=\"odd\" index=5 open\n  text \"\\nx\\n\"\n"},
    {"<!--#for var=files--><!--#if var=odd--><!--#else-->", result_block_not_closed,
     "Line 1 col 51: [open] <!--#for var=\"files\" -->", nullptr},
    // The endfor closes the for around the empty elserepeat, which stays open.
    {"<!--#for var=files--><!--#repeat var=2--><!--#elserepeat--><!--#endfor-->",
     result_block_not_closed, "Line 1 col 73: [open] <!--#elserepeat var=\"\" -->", nullptr},
    {"<!--#for var=files--><!--#repeat var=2-->x<!--#endfor-->", result_directive_without_block,
     "Line 1 col 56: [no block]", nullptr},
    {"<!--#echo var=nosuch-->", result_unknown_variable, "Line 1 col 23: [unknown]",
     "echo var=\"nosuch\" index=0\n"},
    {"<!--#echo-->", result_unknown_variable, "Line 1 col 12: [unknown]", nullptr},
    {"<!--#for var=name-->", result_variable_not_permitted, "Line 1 col 20: [not here]", nullptr},
    {"<!--#echo var=files-->", result_variable_not_permitted, "Line 1 col 22: [not here]", nullptr},
    {"<!--#for var=files-->\n<!--#for var=tree-->", result_for_inside_for,
     "Line 2 col 20: [for in for]", nullptr},
    {"<!--#repeat var=2-->", result_repeat_outside_for, "Line 1 col 20: [repeat]", nullptr},
    {"<!--#for var=tree--><!--#repeat var=2-->", result_repeat_in_tree_loop,
     "Line 1 col 40: [repeat]", nullptr},
    // Parsing stops at the first error: nothing after it is read.
    {"<!--#endif-->x<!--#if var=odd-->", result_directive_without_block,
     "Line 1 col 13: [no block]", ""},
};

TEST(TemplateParser, ReportsErrorsWithPosition) {
  for (const error_case& c : kErrorCases) {
    parse_report out = parse(c.text);
    EXPECT_EQ(out.code, c.code) << c.text;
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
    parse_report whole = parse(text);
    for (size_t piece : {1, 2, 3, 5, 7}) {
      parse_report split = parse(text, piece);
      EXPECT_EQ(split.code, whole.code) << piece << ": " << text;
      EXPECT_EQ(split.dump, whole.dump) << piece << ": " << text;
      EXPECT_EQ(split.error, whole.error) << piece << ": " << text;
    }
  }
}

TEST(TemplateParser, DirectiveStraddlesPieces) {
  template_tree tree;
  template_parser parser(test_phrases(), tree);
  for (const char* piece : {"a<!-", "-#ech", "o var=\"na"}) {
    EXPECT_TRUE(parser.feed(piece).ok()) << piece;
  }
  EXPECT_EQ(dump_template_tree(tree), "text \"a\"\n");
  for (const char* piece : {"me\" --", ">b"}) {
    EXPECT_TRUE(parser.feed(piece).ok()) << piece;
  }
  EXPECT_EQ(dump_template_tree(tree), "text \"a\"\necho var=\"name\" index=22\n");
  EXPECT_TRUE(parser.finish().ok());
  EXPECT_EQ(dump_template_tree(tree), "text \"a\"\necho var=\"name\" index=22\ntext \"b\"\n");
}

TEST(TemplateParser, ResultIsStickyAfterFailureAndFinish) {
  template_tree tree;
  template_parser parser(test_phrases(), tree);
  const outcome failed = parser.feed("<!--#endif-->");
  EXPECT_EQ(failed.code(), result_directive_without_block);
  for (const outcome& again : {parser.feed("<!--#echo var=name-->"), parser.finish()}) {
    EXPECT_EQ(again.code(), failed.code());
    EXPECT_EQ(again.message(), failed.message());
  }
  EXPECT_TRUE(tree.empty());

  template_tree done_tree;
  template_parser done(test_phrases(), done_tree);
  EXPECT_TRUE(done.feed("x").ok());
  EXPECT_TRUE(done.finish().ok());
  EXPECT_TRUE(done.finish().ok());
  EXPECT_TRUE(done.feed("y").ok());
  EXPECT_EQ(dump_template_tree(done_tree), "text \"x\"\n");

  // An open block is a failure of finish, and stays one.
  template_tree open_tree;
  template_parser open(test_phrases(), open_tree);
  EXPECT_TRUE(open.feed("<!--#if var=odd-->").ok());
  EXPECT_EQ(open.finish().code(), result_block_not_closed);
  EXPECT_EQ(open.feed("<!--#endif-->").code(), result_block_not_closed);
  EXPECT_EQ(open.finish().code(), result_block_not_closed);
}

TEST(TemplateParser, PlainParserSkipsVocabularyChecks) {
  parse_report out = parse(
      "<!--#for var=Nosuch--><!--#for var=x--><!--#endfor--><!--#endfor-->"
      "<!--#if var=q x=1--><!--#endif--><!--#repeat var=3--><!--#endrepeat-->",
      0, template_parser::vocabulary::unchecked);
  EXPECT_EQ(out.code, result_ok) << out.error;
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
    outcome result;
    for (int64_t fed = 0; fed < template_parser::template_size_limit && result.ok();
         fed += static_cast<int64_t>(piece.size())) {
      result = parser.feed(piece);
    }
    if (result.ok() && extra) result = parser.feed("y");
    if (result.ok()) result = parser.finish();
    EXPECT_EQ(result.code(), extra ? result_template_too_long : result_ok) << extra;
  }
}

// The bundled English language file names every variable as template authors
// are told, and its error phrases compose the documented message.
TEST(TemplateParser, EnglishLanguageFile) {
  xml_tree document;
  document_options options;
  options.lower_case_names = false;
  const outcome read =
      parse_file(DIRSCRIBE_SOURCE_DIR "data/sources/langs-en.xml", document, options);
  ASSERT_TRUE(read.ok()) << read.message();
  phrase_table english;
  ASSERT_TRUE(english.load(document).ok());
  template_tree tree;
  template_parser parser(english, tree);
  for (int row = 0; row < template_variable_count; ++row) {
    EXPECT_EQ(parser.variables().find(english_variable_names()[row]), row)
        << english_variable_names()[row];
  }
  EXPECT_TRUE(parser.feed("<!--#if var=\"ODD\" -->\n").ok());
  const outcome open = parser.finish();
  EXPECT_EQ(open.code(), result_block_not_closed);
  const std::string& text = open.message();
  EXPECT_EQ(text.rfind("<b>Error occurred while processing QXI directive.</b> Line # 2 Col # 0", 0),
            0u)
      << text;
  EXPECT_NE(text.find("<!--#if var=\"odd\" -->"), std::string::npos) << text;
}

}  // namespace
}  // namespace dirscribe
