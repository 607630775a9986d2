#include "core/byte_string.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(ByteString, CompareOrdersBytesUnsignedThenByLength) {
  EXPECT_GT(compare_bytes("abc", "ab"), 0);
  EXPECT_LT(compare_bytes("", "a"), 0);
  EXPECT_EQ(compare_bytes("", ""), 0);
  EXPECT_EQ(compare_bytes("same", "same"), 0);
  EXPECT_LT(compare_bytes("B", "a"), 0);
  // Bytes >= 128 sort after ASCII (unsigned comparison).
  EXPECT_GT(compare_bytes("\xE9", "z"), 0);
  EXPECT_LT(compare_bytes(std::string("a\0b", 3), std::string("a\0c", 3)), 0);
}

TEST(ByteString, MarkupEscapeIsByteExact) {
  EXPECT_EQ(markup_escape("<>&\""), "&lt;&gt;&amp;&quot;");
  EXPECT_EQ(markup_escape("\xE9"), "&#233;");
  EXPECT_EQ(markup_escape("it's"), "it's");
  EXPECT_EQ(markup_escape("caf\xC3\xA9"), "caf&#195;&#169;");
  EXPECT_EQ(markup_escape("&amp;"), "&amp;amp;");
  EXPECT_EQ(markup_escape("line\r\nbreak\ttab"), "line\r\nbreak\ttab");
}

TEST(ByteString, Utf8ValidityAndRepair) {
  const struct {
    const char* text;
    bool valid;
    const char* repaired;
  } cases[] = {
      {"plain", true, "plain"},
      {"r\xc3\xa9sum\xc3\xa9", true, "r\xc3\xa9sum\xc3\xa9"},
      {"\xf0\x9f\x8e\x89", true, "\xf0\x9f\x8e\x89"},
      {"caf\xe9", false, "caf?"},
      {"\xc3", false, "?"},                 // cut short
      {"\xc0\xaf", false, "??"},            // overlong "/"
      {"\xed\xa0\x80", false, "???"},       // surrogate
      {"\xf4\x90\x80\x80", false, "????"},  // above U+10FFFF
      {"a\xff\xfe"
       "b",
       false, "a??b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_valid_utf8(c.text), c.valid) << c.text;
    EXPECT_EQ(replace_invalid_utf8(c.text, '?'), c.repaired) << c.text;
  }
}

TEST(ByteString, HtmlEscapeTurnsUtf8IntoCodePoints) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"<>&\"'", "&lt;&gt;&amp;&quot;'"},
      {"caf\xC3\xA9", "caf&#233;"},
      {"\xE4\xB8\xAD", "&#20013;"},
      {"\xF0\x9F\x8E\x89", "&#127881;"},
      {"\xE9", "&#233;"},                      // a lone Latin-1 byte
      {"\xC3", "&#195;"},                      // truncated sequence
      {"\xC0\xAF", "&#192;&#175;"},            // overlong form
      {"\xED\xA0\x80", "&#237;&#160;&#128;"},  // surrogate
      {"a\xE4\xB8z", "a&#228;&#184;z"},        // broken in the middle
      {"plain", "plain"},
      {"", ""},
      {"a<b>c", "a&lt;b&gt;c"},
      {"&&x\xC3\xA9y\xE9", "&amp;&amp;x&#233;y&#233;"},
      {"\x01\x7F", "\x01\x7F"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(html_escape(c.in), c.out) << c.in;
    std::string appended = "<kept>";
    append_html_escape(appended, c.in);
    EXPECT_EQ(appended, "<kept>" + c.out) << c.in;
  }
}

// Escapes byte by byte, as the escape is described.
std::string html_escape_model(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 128) {
      if (c == '<' || c == '>' || c == '&' || c == '"') {
        out += html_escape(std::string(1, static_cast<char>(c)));
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    // The longest prefix of 1 to 4 bytes that is one valid UTF-8 character,
    // else the lone byte.
    size_t length = 1;
    for (size_t n = 2; n <= 4 && i + n <= text.size(); ++n) {
      if (is_valid_utf8(text.substr(i, n)) && !is_valid_utf8(text.substr(i, n - 1))) length = n;
    }
    out += html_escape(std::string(text.substr(i, length)));
    i += length;
  }
  return out;
}

TEST(ByteString, HtmlEscapeOfLongTextsAgreesWithByteByByte) {
  // Every special byte at every place of texts of many lengths, so that each
  // falls at every offset of the steps over many bytes and of the tail.
  const std::string specials[] = {"<",    ">",   "&", "\"", "\xC3\xA9", "\xE9", "\xF0\x9F\x8E\x89",
                                  "\x7F", "\x80"};
  for (size_t length = 0; length <= 40; ++length) {
    const std::string plain(length, 'n');
    EXPECT_EQ(html_escape(plain), plain);
    for (size_t at = 0; at <= length; ++at) {
      for (const std::string& special : specials) {
        const std::string text = plain.substr(0, at) + special + plain.substr(at);
        EXPECT_EQ(html_escape(text), html_escape_model(text))
            << length << " " << at << " " << special;
      }
    }
  }
}

TEST(ByteString, ReplaceAllIsLeftToRightNonOverlapping) {
  std::string text = "aaaa";
  EXPECT_EQ(replace_all(text, "aa", "b"), 2);
  EXPECT_EQ(text, "bb");
  text = "1 234 567";
  replace_all(text, " ", "");
  EXPECT_EQ(text, "1234567");
  text = "x";
  EXPECT_EQ(replace_all(text, "", "y"), 0);
  EXPECT_EQ(text, "x");
}

TEST(ByteString, ReadTokenHonoursQuotes) {
  const std::string text = "  one \"two three\" 'four'five";
  size_t pos = 0;
  EXPECT_EQ(read_token(text, pos), "one");
  EXPECT_EQ(read_token(text, pos), "two three");
  EXPECT_EQ(read_token(text, pos), "four");
  EXPECT_EQ(read_token(text, pos), "five");
  EXPECT_EQ(read_token(text, pos), "");
}

TEST(ByteString, TextToIntReadsLeadingDigitsAndWraps) {
  struct Case {
    const char* in;
    int32_t out;
  } cases[] = {{"-1", -1},         {"abc", 0},         {" 7x", 7},
               {"true", 0},        {"+12", 12},        {"", 0},
               {"\t\n-0042", -42}, {"4294967295", -1}, {"2147483648", -2147483647 - 1},
               {"- 5", 0}};
  for (const auto& c : cases) EXPECT_EQ(text_to_int(c.in), c.out) << c.in;
}

TEST(ByteString, RealToText) {
  EXPECT_EQ(real_to_text(1e-11), "0");
  EXPECT_EQ(real_to_text(2e18), "0");
  EXPECT_EQ(real_to_text(123456.5), "123456.5");
  EXPECT_EQ(real_to_text(0.125), "0.125");
  EXPECT_EQ(real_to_text(2.5), "2.5");
  EXPECT_EQ(real_to_text(3.0), "3");
  EXPECT_EQ(real_to_text(-7.25), "-7.25");
  EXPECT_DOUBLE_EQ(text_to_real("  2.5kg"), 2.5);
  EXPECT_DOUBLE_EQ(text_to_real("x"), 0);
}

}  // namespace
}  // namespace dirscribe
