#include "markup/xml_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/byte_string.h"
#include "markup/document_reader.h"
#include "markup/xml_dump.h"
#include "platform/regex_service.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

document_options names_as_written() {
  document_options options;
  options.lower_case_names = false;
  return options;
}

struct read_case {
  std::string input;
  int result;
  std::string dump;
  std::string error = "";
};

void check_cases(const std::vector<read_case>& cases, const document_options& options) {
  for (const read_case& test : cases) {
    xml_tree tree;
    const outcome read = parse_text(test.input, tree, options);
    EXPECT_EQ(read.code(), test.result) << test.input;
    EXPECT_EQ(xml_dump(tree), test.dump) << test.input;
    EXPECT_EQ(read.message(), test.error) << test.input;
  }
}

TEST(DocumentReaderTest, BuildsTrees) {
  check_cases(
      {
          {"", result_ok, ""},
          {"<a><b/>x</a>", result_ok, "1+a [<a>]\n  3+b [<b/>]\n  18+ [x] [x]\n  2+a [</a>]\n"},
          {"<a></a>", result_ok, "3+a [<a>]\n"},
          {"<r><a>x</a><b/>y</r>z", result_ok,
           "1+r [<r>]\n  1+a [<a>]\n    18+ [x] [x]\n    2+a [</a>]\n  3+b [<b/>]\n"
           "  18+ [y] [y]\n  2+r [</r>]\n18+ [z] [z]\n"},
          {"<r><a><b></b></a></r>", result_ok,
           "1+r [<r>]\n  1+a [<a>]\n    3+b [<b>]\n    2+a [</a>]\n  2+r [</r>]\n"},
          {"<e v=x/>", result_ok, "3+e {v=x/,} [<e v=x/>]\n"},
          {"<a t=\">\">x</a>", result_ok,
           "1+a {t=,} [<a t=\">]\n  18+ [\">x] [\">x]\n  2+a [</a>]\n"},
          {"<!><><!-->", result_ok, "4+ [<!>]\n15+ [<>]\n5+ [<!-->]\n"},
          {"<!-- a > b -->", result_ok, "5+ [<!-- a > b -->]\n"},
          {"<!--#echo-->", result_ok, "18+ [<!--#echo-->] [<!--#echo-->]\n"},
          {"<!DOCTYPE x><r/>", result_ok, "18+ [<!DOCTYPE x>] [<!DOCTYPE x>]\n3+r [<r/>]\n"},
          {"<?xml v=\"1\"?><r/>", result_ok, "11+ [<?xml v=\"1\"?>]\n3+r [<r/>]\n"},
          {"<a><![CDATA[<x>&amp;]]></a>", result_ok,
           "1+a [<a>]\n  18+ [<![CDATA[<x>&amp;]]>] [<x>&amp;]\n  2+a [</a>]\n"},
          {"<a>\n <b/>\n</a>", result_ok,
           "1+a [<a>]\n  18+ [\\x0a ] [\\x0a ]\n  3+b [<b/>]\n  18+ [\\x0a] [\\x0a]\n"
           "  2+a [</a>]\n"},
          {"&#65;&#x41;|&#0065;|&#300;|&nbsp;|&AMP;|&#1a;|&#x;", result_ok,
           "18+ [&#65;&#x41;|&#0065;|&#300;|&nbsp;|&AMP;|&#1a;|&#x;] [AA|!|!|!|!|!|&#x;]\n"},
          {"&#38;lt;&#x26;#65;&amp;amp;", result_ok,
           "18+ [&#38;lt;&#x26;#65;&amp;amp;] [<&#65;&amp;]\n"},
          {"<e a='&lt;&#x3E;' b='&q;'/>", result_ok,
           "3+e {a=<>,b=!,} [<e a='&lt;&#x3E;' b='&q;'/>]\n"},
          {"<Left Top=\"Ab\"/>", result_ok, "3+Left {Top=Ab,} [<Left Top=\"Ab\"/>]\n"},
          {"a<b", result_ok, "18+ [a] [a]\n18+ [<b] [<b]\n"},
          {"x\r\ny", result_ok, "18+ [x\\x0d\\x0ay] [x\\x0d\\x0ay]\n"},
          {"<a></b>", result_document_malformed, "1-a [<a>]\n",
           "Line: 1, column: 7\r\nError: misplaced end tag.\r\n"},
          {"</a>", result_document_malformed, "",
           "Line: 1, column: 4\r\nError: misplaced end tag.\r\n"},
          {"<a>x</a></a>", result_document_malformed, "1+a [<a>]\n  18+ [x] [x]\n  2+a [</a>]\n",
           "Line: 1, column: 12\r\nError: misplaced end tag.\r\n"},
          {"<a><b>x</a>", result_document_malformed, "1-a [<a>]\n  1-b [<b>]\n    18+ [x] [x]\n",
           "Line: 1, column: 11\r\nError: misplaced end tag.\r\n"},
          {"<a>\n<b>\n</c>", result_document_malformed,
           "1-a [<a>]\n  18+ [\\x0a] [\\x0a]\n  1-b [<b>]\n    18+ [\\x0a] [\\x0a]\n",
           "Line: 3, column: 4\r\nError: misplaced end tag.\r\n"},
          {"<a><b></a>", result_document_malformed, "1+a [<a>]\n  1-b [<b>]\n    2+a [</a>]\n",
           "Line: 1, column: 10\r\nError: unclosed tag.\r\n"},
          {"<a>\nx", result_document_malformed, "1-a [<a>]\n  18+ [\\x0ax] [\\x0ax]\n",
           "Line: 2, column: 1\r\nError: unclosed tag.\r\n"},
      },
      names_as_written());
}

TEST(DocumentReaderTest, Switches) {
  document_options lower;  // lower-case names, attributes as map
  check_cases({{"<Left Top=\"Ab\"></LEFT>", result_ok, "3+left {top=Ab,} [<Left Top=\"Ab\">]\n"}},
              lower);
  document_options normalise = names_as_written();
  normalise.normalise_line_ends = true;
  check_cases({{"<a>\r\nx\ry\r\r\n</a>", result_ok,
                "1+a [<a>]\n  18+ [\\x0ax\\x0ay\\x0a\\x0a] [\\x0ax\\x0ay\\x0a\\x0a]\n"
                "  2+a [</a>]\n"},
               {"\r\n<a>\r\n</a>", result_ok,
                "18+ [\\x0a] [\\x0a]\n1+a [<a>]\n  18+ [\\x0a] [\\x0a]\n  2+a [</a>]\n"},
               {"\r\n\r</b>", result_document_malformed, "18+ [\\x0a\\x0a] [\\x0a\\x0a]\n",
                "Line: 3, column: 4\r\nError: misplaced end tag.\r\n"}},
              normalise);
  document_options list = names_as_written();
  list.attributes_as_map = false;
  check_cases({{"<e b=\"2\" a=\"1&amp;\" b='3'/>", result_ok,
                "3+e {b,2,a,1&,b,3,} [<e b=\"2\" a=\"1&amp;\" b='3'/>]\n"}},
              list);
  xml_tree tree;
  ASSERT_TRUE(parse_text("<e b=\"2\" a=\"1\" b='3'/>", tree, list).ok());
  EXPECT_EQ(tree.first()->attribute("b")->to_text(), "3");  // the map keeps the last value
}

TEST(DocumentReaderTest, FoldedEntityNames) {
  xml_tree tree;
  xml_reader reader(tree);
  std::string text = "&AMP;&Lt;&nbsp;";
  reader.decode_entities(text);
  EXPECT_EQ(text, "!!!");
  reader.set_entity_names_folded(true);
  text = "&AMP;&Lt;&nbsp;&#X41;";
  reader.decode_entities(text);
  EXPECT_EQ(text, "&<!A");
}

// The reader compiles its two expressions once per document; the result must
// be that of the service's substitute, which compiles them per text.
TEST(DocumentReaderTest, DecodingMatchesTheServiceModel) {
  const std::string texts[] = {
      "",
      "plain",
      "&",
      "&;",
      "&amp;",
      "a&lt;b&gt;c",
      "&#65;&#x41;&#0065;&#300;&#255;&#256;",
      "&#x;&#xfff;&#xff;&#12",
      "&amp;&#38;amp;",
      "&:x;&_y.z-1;&1a;&a b;",
      "&#x26;lt;&#38;#65;",
      std::string("&#0;x\0&amp;", 12),
      "&&&amp;;;&quot&quot;&apos;",
  };
  for (bool folded : {false, true}) {
    xml_tree tree;
    xml_reader reader(tree);
    reader.set_entity_names_folded(folded);
    for (const std::string& text : texts) {
      std::string model = text;
      regex_substitute(
          model, folded,
          [](std::string_view inner, std::string& out) {
            if (inner.size() > 3) return false;
            int value = 0;
            if (!inner.empty() && (inner[0] == 'x' || inner[0] == 'X')) {
              value =
                  static_cast<int>(std::strtol(std::string(inner.substr(1)).c_str(), nullptr, 16));
            } else {
              if (inner.find_first_not_of("0123456789") != std::string_view::npos) return false;
              value = std::atoi(std::string(inner).c_str());
              if (value > 255) return false;
            }
            out.assign(1, static_cast<char>(value));
            return true;
          },
          "&#x?[0-9a-fA-F]+;", 2, 1, "!");
      regex_substitute(
          model, folded,
          [&](std::string_view name, std::string& out) {
            const tagged_value* value =
                reader.entities().lookup(folded ? ascii_lower(name) : std::string(name));
            if (!value) return false;
            out = value->to_text();
            return true;
          },
          "&[a-zA-Z_:][a-zA-Z_:0-9\\.\\-]*;", 1, 1, "!");
      std::string decoded = text;
      reader.decode_entities(decoded);
      EXPECT_EQ(decoded, model) << text << " folded " << folded;
    }
  }
}

// Feeds `input` through a xml_reader in pieces of `piece` bytes.
std::string read_in_pieces(const std::string& input, size_t piece, bool normalise, int& result) {
  xml_tree tree;
  xml_reader reader(tree);
  reader.set_normalise_line_ends(normalise);
  result = 0;
  for (size_t at = 0; at < input.size() && result == 0; at += piece) {
    reader.append_chunk(input.substr(at, piece));
    result = reader.scan();
  }
  if (result == 0) {
    reader.set_end_of_input(true);
    result = reader.scan();
  }
  return xml_dump(tree) + reader.error_text(result);
}

TEST(DocumentReaderTest, ChunkBoundariesDoNotMatter) {
  const std::string documents[] = {
      "<?xml version=\"1.0\"?>\r\n<!DOCTYPE p>\r\n<project name=\"a&amp;b\" x='&#65;'>\r\n"
      "  <path>C:\\dir &lt;1&gt;</path>\r\r\n  <empty/><e></e>\n"
      "  <!-- a > comment --><![CDATA[ <raw> ]] ]]><!--#dir--><!><>< x>\r\n</project>\r\n",
      "<a><b>text</a>\r\n",
      "<a>x</b>",
      "<r>&#x41;&amp;&#999;&unknown;<e a=\"&lt;\"/></r><",
  };
  for (const std::string& document : documents) {
    for (bool normalise : {false, true}) {
      int whole_result = 0;
      const std::string whole = read_in_pieces(document, document.size(), normalise, whole_result);
      for (size_t piece : {1, 2, 5, 16}) {
        int result = 0;
        EXPECT_EQ(read_in_pieces(document, piece, normalise, result), whole)
            << document << " piece " << piece;
        EXPECT_EQ(result, whole_result) << document;
      }
    }
  }
}

TEST(DocumentReaderTest, SizeLimit) {
  std::string text(xml_size_limit, 'x');
  xml_tree tree;
  const outcome read = parse_text(text, tree, names_as_written());
  EXPECT_TRUE(read.ok()) << read.message();
  text.push_back('x');
  xml_tree over;
  const outcome too_long = parse_text(text, over, names_as_written());
  EXPECT_EQ(too_long.code(), result_document_malformed);
  EXPECT_EQ(too_long.message(), "Line: 1, column: 16777216\r\nError: size exceeded.\r\n");
}

TEST(DocumentReaderTest, DeepNestingUsesNoRecursion) {
  constexpr int kDepth = 10000;
  std::string document;
  for (int i = 0; i < kDepth; ++i) document += "<a>x";
  std::string open = document;
  for (int i = 0; i < kDepth; ++i) document += "</a>";
  {
    xml_tree tree;
    const outcome read = parse_text(document, tree, names_as_written());
    ASSERT_TRUE(read.ok()) << read.message();
    std::vector<std::string> lines;
    xml_serialise(tree, lines);
    EXPECT_EQ(lines.size(), 3u * kDepth);
    EXPECT_EQ(xml_dump(tree).size() > 0, true);
    std::string path;
    for (int i = 0; i < kDepth; ++i) path += "/a";
    std::string text;
    EXPECT_EQ(xml_text_of(tree, path, nullptr, text), 0);
    EXPECT_EQ(text, "x");
  }
  xml_tree unclosed;
  const outcome read = parse_text(open, unclosed, names_as_written());
  EXPECT_EQ(read.code(), result_document_malformed);
  EXPECT_EQ(read.message(), "Line: 1, column: 40000\r\nError: unclosed tag.\r\n");
}

void record_progress(int percent, void* context) {
  static_cast<std::vector<int>*>(context)->push_back(percent);
}

TEST(DocumentReaderTest, ParseFile) {
  temp_folder folder;
  const std::string file = folder.at("doc.txt");
  std::string content = "<r>";
  content += std::string(40000 - 7, 'y');
  content += "</r>";
  ASSERT_EQ(content.size(), 40000u);
  folder.write("doc.txt", content);

  std::vector<int> progress;
  document_options options;
  options.progress = record_progress;
  options.progress_context = &progress;
  xml_tree tree;
  const outcome read = parse_file(file, tree, options);
  EXPECT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(progress, (std::vector<int>{40, 81, 100, 100}));
  std::string text;
  EXPECT_EQ(xml_text_of(tree, "/r", nullptr, text), 0);
  EXPECT_EQ(text.size(), 40000u - 7);

  xml_tree missing;
  const std::string absent = folder.at("absent.txt");
  const outcome absent_read = parse_file(absent, missing, options);
  EXPECT_EQ(absent_read.code(), result_document_not_opened);
  EXPECT_EQ(absent_read.message(), "Can't open source file: " + absent);
  // A folder opens but cannot be read: that is no empty document.
  const outcome folder_read = parse_file(folder.path(), missing, options);
  EXPECT_EQ(folder_read.code(), result_document_not_opened);
  EXPECT_EQ(folder_read.message(), "Can't open source file: " + folder.path());
}

TEST(DocumentReaderTest, ErrorTextFitsOnOneLine) {
  const struct {
    const char* document;
    const char* expected;
  } cases[] = {
      {"<project>\n<path>x</path>\n</projet>", "Line: 3, column: 9 Error: misplaced end tag."},
      {"<a>\r\n<b", "Line: 2, column: 2 Error: unclosed tag."},
  };
  for (const auto& c : cases) {
    xml_tree tree;
    const outcome read = parse_text(c.document, tree, document_options{});
    ASSERT_EQ(read.code(), result_document_malformed) << c.document;
    EXPECT_EQ(error_text_line(read.message()), c.expected) << c.document;
  }
  EXPECT_EQ(error_text_line(""), "");
}

}  // namespace
}  // namespace dirscribe
