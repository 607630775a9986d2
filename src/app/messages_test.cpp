// Messages on standard error are one line of plain text.
#include "app/messages.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(PlainText, MessageBoxMarkupBecomesOneLineOfPlainText) {
  const struct {
    const char* text;
    const char* plain;
  } cases[] = {
      {"/t.html: The template can't be read. <b>Error occurred while processing QXI "
       "directive.</b> Line # 3 Col # 0<br>This block is never closed: <!--#for var=\"tree\" -->",
       "/t.html: The template can't be read. Error occurred while processing QXI directive. "
       "Line # 3 Col # 0 This block is never closed: <!--#for var=\"tree\" -->"},
      {"Line # 1 Col # 9<br>", "Line # 1 Col # 9"},
      {"a<br/>b<br />c<i>d</i>", "a b cd"},
      {"Line: 3, column: 5\r\nError: unclosed tag.\r\n", "Line: 3, column: 5 Error: unclosed tag."},
      {"one<br>\r\n two", "one two"},
      {"<br>starts", "starts"},
      // Only the emphasis and breaks of phrases are markup here.
      {"Can't open file: /x/<p>&amp;.txt", "Can't open file: /x/<p>&amp;.txt"},
      {"a <bold> b", "a <bold> b"},
      // The text's own blanks stay, the last one too.
      {"Can't open folder: ", "Can't open folder: "},
      {"two  blanks", "two  blanks"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(plain_text(c.text), c.plain) << c.text;
}

TEST(TerminalSafe, ControlCharactersAreEscapedAndTextStays) {
  const struct {
    std::string text;
    const char* shown;
  } cases[] = {
      {"a\x1b]0;owned\x07"
       "b",
       "a\\e]0;owned\\x07b"},
      {"line\nnext\rback", "line\\nnext\\rback"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"\x01\x1f\x7f", "\\x01\\x1f\\x7f"},
      {"tab\tstays", "tab\tstays"},
      // C1 controls as their UTF-8 bytes; the letters around them stay.
      {"\xC2\x9B"
       "2J\xC2\x85",
       "\\xc2\\x9b2J\\xc2\\x85"},
      {"\xC2\xA0\xC2\x7F\xC3\xA9\xE4\xB8\xAD", "\xC2\xA0\\xc2\\x7f\xC3\xA9\xE4\xB8\xAD"},
      // Bytes that are not UTF-8 are shown as bytes: a lone 0x9B is CSI to a
      // terminal of 8-bit controls.
      {"\xFF\x9B\xC2", "\\xff\\x9b\\xc2"},
      {"caf\xE9 \xE4\xB8", "caf\\xe9 \\xe4\\xb8"},
      {"re=\"\\.txt$\"", "re=\"\\.txt$\""},
  };
  for (const auto& c : cases) EXPECT_EQ(terminal_safe(c.text), c.shown) << c.text;
}

TEST(MessageLine, NamesAreEscapedAndPhraseMarkupIsPlain) {
  // A line break in a quoted name is shown, one of the phrase is a blank.
  EXPECT_EQ(message_line("Can't open file: /a\nb\r\n<br>Error: <b>x\x1b[0m</b>"),
            "Vostra Dirscribe 3.0: Can't open file: /a\\nb\\r\\n Error: x\\e[0m\n");
}

}  // namespace
}  // namespace dirscribe
