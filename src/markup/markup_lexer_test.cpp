#include "markup/markup_lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dirscribe {
namespace {

// Records every hook call as one line: "T:" + text run or "M<kind>:" + markup.
class recording_lexer : public markup_lexer {
 public:
  std::string events;
  int stop_at_markup = 0;  // markup hook returns this for the markup "<stop>"

  int text_hook() override {
    if (!token().empty()) events += "T:" + token() + "\n";
    return 0;
  }
  int markup_hook() override {
    events += "M" + std::to_string(kind()) + ":" + token() + "\n";
    if (token() == "<stop>") return stop_at_markup;
    return 0;
  }
};

// The configuration of the document reader: kinds 1, 2, 3, 5, 6 and 11.
void configure_as_reader(markup_lexer& lexer) {
  lexer.enable_kinds(0x437);
  lexer.set_row(kind_start_tag, ">", false, false, false);
  lexer.set_row(kind_end_tag, ">", false, false, false);
  lexer.set_row(kind_empty_element, ">", false, false, false);
  lexer.set_row(kind_comment, "-->", false, false, false);
  lexer.set_row(kind_cdata, "]]>", false, false, false);
}

// The configuration of the HTML title scanner.
void configure_as_title_scanner(markup_lexer& lexer) {
  lexer.enable_kinds(0x205B);
  for (int kind : {kind_start_tag, kind_end_tag, kind_declaration, kind_doctype}) {
    lexer.set_row(kind, ">", false, false, false);
  }
  lexer.set_row(kind_comment, "-->", false, false, false);
  lexer.set_row(kind_directive, "-->", false, false, false);
  lexer.set_size_limit(4194304);
}

// Every kind on, every row ending at ">" without switches.
void configure_all_kinds(markup_lexer& lexer) {
  lexer.enable_kinds(0x7fff);
  for (int kind = 1; kind < markup_lexer::kind_count; ++kind) {
    lexer.set_row(kind, ">", false, false, false);
  }
}

// Feeds `input` in pieces of `piece` bytes (0 = all at once), scanning after
// each, then ends the input. Returns the final scan result.
int feed(markup_lexer& lexer, const std::string& input, size_t piece) {
  if (piece == 0) piece = input.size() + 1;
  for (size_t at = 0; at < input.size(); at += piece) {
    lexer.append_chunk(input.substr(at, piece));
    const int result = lexer.scan();
    if (result != 0) return result;
  }
  lexer.set_end_of_input(true);
  return lexer.scan();
}

TEST(MarkupLexerTest, KindDetection) {
  struct kind_case {
    std::string input;
    std::string events;
  };
  const kind_case cases[] = {
      {"<a>", "M1:<a>\n"},
      {"<_x>", "M1:<_x>\n"},
      {"<:x>", "M1:<:x>\n"},
      {"</a>", "M2:</a>\n"},
      {"<!x>", "M4:<!x>\n"},
      {"<!>", "M4:<!>\n"},
      {"<!-->", "M5:<!-->\n"},
      {"<!-- c -->", "M5:<!-- c -->\n"},
      {"<![CDATA[x]>", "M6:<![CDATA[x]>\n"},
      {"<!DOCTYPE html>", "M7:<!DOCTYPE html>\n"},
      {"<!ELEMENT e>", "M8:<!ELEMENT e>\n"},
      {"<!ATTLIST e>", "M9:<!ATTLIST e>\n"},
      {"<!ENTITY e>", "M10:<!ENTITY e>\n"},
      {"<!ELTITY e>", "M10:<!ELTITY e>\n"},  // candidates are not narrowed
      {"<!ENEMENT e>", "M8:<!ENEMENT e>\n"},
      {"<!EX>", "M4:<!EX>\n"},
      {"<!doctype>", "M4:<!doctype>\n"},  // upper case only
      {"<?pi?>", "M11:<?pi?>\n"},
      {"<%x%>", "M12:<%x%>\n"},
      {"<#x>", "M13:<#x>\n"},
      {"<!--#x>", "M14:<!--#x>\n"},
      {"<!--x>", "M5:<!--x>\n"},
      {"<1>", "M15:<1>\n"},
      {"<>", "M15:<>\n"},
      {"< a>", "M15:< a>\n"},
      {"<<a>", "M15:<<a>\n"},
  };
  for (const kind_case& test : cases) {
    recording_lexer lexer;
    configure_all_kinds(lexer);
    EXPECT_EQ(feed(lexer, test.input, 0), 2) << test.input;
    EXPECT_EQ(lexer.events, test.events) << test.input;
  }
}

TEST(MarkupLexerTest, ReaderConfiguration) {
  struct reader_case {
    std::string input;
    std::string events;
  };
  const reader_case cases[] = {
      {"x<a b='>'>y", "T:x\nM1:<a b='>\nT:'>y\n"},  // rows are not quote-aware
      {"<!-- a > b -->", "M5:<!-- a > b -->\n"},
      {"<![CDATA[<a>]]>", "M6:<![CDATA[<a>]]>\n"},
      {"<!DOCTYPE html><a>", "T:<!DOCTYPE html>\nM1:<a>\n"},  // disabled kind becomes text
      {"<!--#echo-->", "T:<!--#echo-->\n"},
      {"<!>", "M4:<!>\n"},  // ended during detection: reported although disabled
      {"<>", "M15:<>\n"},
      {"<?xml v=\"?>\" ?>", "M11:<?xml v=\"?>\" ?>\n"},  // row 11 keeps its default
      {"<?x '\\'?>' ?>", "M11:<?x '\\'?>' ?>\n"},        // backslash escapes in quotes
      {"a<b", "T:a\nT:<b\n"},  // unfinished markup is delivered as text at the end
      {"<a>b\"c'd\\e</a>", "M1:<a>\nT:b\"c'd\\e\nM2:</a>\n"},
  };
  for (const reader_case& test : cases) {
    recording_lexer lexer;
    configure_as_reader(lexer);
    EXPECT_EQ(feed(lexer, test.input, 0), 2) << test.input;
    EXPECT_EQ(lexer.events, test.events) << test.input;
  }
}

TEST(MarkupLexerTest, NestedMarkupIsReportedInnerFirst) {
  recording_lexer lexer;
  lexer.enable_kinds(1);
  lexer.set_row(kind_start_tag, ">", true, true, false);
  EXPECT_EQ(feed(lexer, "<a x <b y> \">\" z>t", 0), 2);
  EXPECT_EQ(lexer.events, "M1:<b y>\nM1:<a x  \">\" z>\nT:t\n");
  // A nested markup of a disabled kind goes back into the enclosing markup.
  recording_lexer other;
  other.enable_kinds(1);
  other.set_row(kind_start_tag, ">", true, true, false);
  EXPECT_EQ(feed(other, "<a <!x> b>", 0), 2);
  EXPECT_EQ(other.events, "M1:<a <!x>\nT: b>\n");
}

TEST(MarkupLexerTest, KeepTextOffDropsText) {
  recording_lexer lexer;
  lexer.enable_kinds(1 << (kind_directive - 1));
  lexer.set_row(kind_directive, "-->", true, false, true);
  lexer.set_keep_text(false);
  EXPECT_EQ(feed(lexer, "x<b>y<!--#echo var=\"-->\"-->z<!-- c -->", 0), 2);
  EXPECT_EQ(lexer.events, "M14:<!--#echo var=\"-->\"-->\n");
}

TEST(MarkupLexerTest, OneChunkAndOneByteAtATimeAgree) {
  const std::string document =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE x>\r\n<root a=\"1\" b='2'>\n"
      "  <item name=\"x\">text &amp; more</item>\n  <empty/>\n"
      "  <!-- comment > with -- dashes -->\n  <![CDATA[raw <markup> ]] here]]>\n"
      "  <!--#directive--><!><>< x><!-->\n</root>\ntrailing";
  recording_lexer whole;
  configure_as_reader(whole);
  ASSERT_EQ(feed(whole, document, 0), 2);
  for (size_t piece : {1, 2, 3, 7, 64}) {
    recording_lexer pieces;
    configure_as_reader(pieces);
    pieces.set_bulk_reads(piece % 2 == 0);  // byte by byte through next_char, or in runs
    ASSERT_EQ(feed(pieces, document, piece), 2) << piece;
    EXPECT_EQ(pieces.events, whole.events) << piece;
    EXPECT_EQ(pieces.line(), whole.line()) << piece;
    EXPECT_EQ(pieces.column(), whole.column()) << piece;
  }
}

// The way the HTML title scanner feeds the lexer: small chunks, every chunk
// released as soon as it has been read, a size limit far below the input.
TEST(MarkupLexerTest, ReleasingReadChunksKeepsTokensIntact) {
  std::string document = "<html><head><title>A long title";
  for (int i = 0; i < 200; ++i) document += " and more";
  document += "</title><!-- note --></head><body><p>x</p></body></html>";
  recording_lexer whole;
  configure_as_title_scanner(whole);
  ASSERT_EQ(feed(whole, document, 0), 2);

  recording_lexer released;
  configure_as_title_scanner(released);
  released.set_size_limit(64);
  for (size_t at = 0; at < document.size(); at += 16) {
    released.append_chunk(document.substr(at, 16));
    ASSERT_EQ(released.scan(), 0) << at;
    while (released.remove_first_chunk()) {
    }
    EXPECT_EQ(released.queued_bytes(), 0);
  }
  released.set_end_of_input(true);
  EXPECT_EQ(released.scan(), 2);
  EXPECT_EQ(released.events, whole.events);
  EXPECT_NE(whole.events.find("M1:<title>\nT:A long title and more"), std::string::npos);
}

TEST(MarkupLexerTest, LineAndColumnCountBytesOnTheLine) {
  recording_lexer lexer;
  configure_as_reader(lexer);
  lexer.append_chunk("ab\ncd\r\nefg");
  EXPECT_EQ(lexer.scan(), 0);
  EXPECT_EQ(lexer.line(), 3);
  EXPECT_EQ(lexer.column(), 3);
  lexer.append_chunk("\n");
  EXPECT_EQ(lexer.scan(), 0);
  EXPECT_EQ(lexer.line(), 4);
  EXPECT_EQ(lexer.column(), 0);
}

TEST(MarkupLexerTest, SizeLimitCountsQueuedBytes) {
  recording_lexer lexer;
  configure_as_reader(lexer);
  lexer.set_size_limit(10);
  lexer.append_chunk("0123456789");
  EXPECT_EQ(lexer.scan(), 0);
  lexer.append_chunk("x");
  EXPECT_EQ(lexer.scan(), 1);
  // Releasing read chunks brings the queue back under the limit.
  EXPECT_TRUE(lexer.remove_first_chunk());
  EXPECT_EQ(lexer.scan(), 0);
  EXPECT_EQ(lexer.queued_bytes(), 1);
}

TEST(MarkupLexerTest, RemoveFirstChunkOnlyAfterItWasRead) {
  recording_lexer lexer;
  configure_as_reader(lexer);
  EXPECT_FALSE(lexer.remove_first_chunk());
  lexer.append_chunk("<a>");
  EXPECT_FALSE(lexer.remove_first_chunk());
  lexer.append_chunk("te");
  EXPECT_EQ(lexer.scan(), 0);
  EXPECT_EQ(lexer.chunks_read_completely(), 2);
  EXPECT_TRUE(lexer.remove_first_chunk());
  EXPECT_TRUE(lexer.remove_first_chunk());
  EXPECT_FALSE(lexer.remove_first_chunk());
  lexer.append_chunk("xt</a>");
  lexer.set_end_of_input(true);
  EXPECT_EQ(lexer.scan(), 2);
  EXPECT_EQ(lexer.events, "M1:<a>\nT:text\nM2:</a>\n");
}

TEST(MarkupLexerTest, HookResultStopsTheScanAndScanningResumes) {
  recording_lexer lexer;
  configure_as_reader(lexer);
  lexer.stop_at_markup = 7;
  lexer.append_chunk("<a><stop><b>");
  EXPECT_EQ(lexer.scan(), 7);
  EXPECT_EQ(lexer.events, "M1:<a>\nM1:<stop>\n");
  EXPECT_EQ(lexer.scan(), 0);
  EXPECT_EQ(lexer.events, "M1:<a>\nM1:<stop>\nM1:<b>\n");
}

TEST(MarkupLexerTest, EnableKindsIgnoresKindZero) {
  markup_lexer lexer;
  lexer.enable_kinds(0x205B);
  for (int kind : {1, 2, 4, 5, 7, 14}) EXPECT_TRUE(lexer.kind_enabled(kind)) << kind;
  for (int kind : {0, 3, 6, 8, 9, 10, 11, 12, 13, 15})
    EXPECT_FALSE(lexer.kind_enabled(kind)) << kind;
  lexer.set_row(16, "x", true, true, true);  // ignored
  EXPECT_EQ(lexer.row(kind_processing).end_delimiter, "?>");
  EXPECT_EQ(lexer.row(kind_cdata).end_delimiter, "]]>");
}

std::string describe(const markup_attributes& attributes) {
  std::string out = attributes.element_name + "|";
  for (const auto& [name, value] : attributes.map.entries()) {
    out += name + "=" + value.to_text() + ";";
  }
  for (const std::string& item : attributes.list) out += item + ",";
  return out;
}

TEST(MarkupLexerTest, AttributeParser) {
  struct attribute_case {
    std::string text;
    attribute_options options;
    std::string expected;
  };
  const attribute_options map{};
  const attribute_options lower{true, false, false, false};
  const attribute_options name_only{false, true, false, false};
  const attribute_options backslash{false, false, true, false};
  const attribute_options list{false, false, false, true};
  const attribute_case cases[] = {
      {"e v=x/", map, "e|v=x/;"},
      {"e a=\"1\" b='2' c = \"3\"", map, "e|a=1;b=2;c=3;"},
      {"e a b c=1", map, "e|a=;b=;c=1;"},
      {"e a", map, "e|a=;"},
      {"e a=", map, "e|a=;"},
      {"e a=1 a=2", map, "e|a=2;"},
      {"Left Top=\"Ab\"", lower, "left|top=Ab;"},
      {"e \"skip me\" x='y'", map, "e|x=y;"},
      {"e 9a=1 ?/ z", map, "e|a=1;z=;"},
      {"e\ta\r\n=\n'v w'", map, "e|a=v w;"},
      {"x.y-z:w_1 k=v", map, "x.y-z:w_1|k=v;"},
      {"a b=c", name_only, "a|"},
      {"", map, "|"},
      {"echo var=\"a\\\"b\" w='\\\\'", backslash, "echo|var=a\"b;w=\\;"},
      {"echo var=\"a\\\"b\"", map, "echo|b=;var=a\\;"},
      {"e b=2 a=1 b=3", list, "e|b,2,a,1,b,3,"},
  };
  for (const attribute_case& test : cases) {
    markup_attributes out;
    out.element_name = "stale";
    parse_attributes(test.text, test.options, out);
    EXPECT_EQ(describe(out), test.expected) << test.text;
  }
}

}  // namespace
}  // namespace dirscribe
