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

}  // namespace
}  // namespace dirscribe
