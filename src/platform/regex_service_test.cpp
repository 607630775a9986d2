#include "platform/regex_service.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace dirscribe {
namespace {

TEST(RegexService, WildcardToExpression) {
  struct Case {
    const char* mask;
    const char* expression;
  } cases[] = {
      {"*.txt", "^.*\\.txt$"},
      {"a?c", "^a.?c$"},
      {"file(1).htm", "^file\\(1\\)\\.htm$"},
      {"a\\b", "^a\\\\b$"},
      {"x|y+{2}^$[z]", "^x\\|y\\+\\{2\\}\\^\\$\\[z\\]$"},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string mask = c.mask;
    wildcard_to_expression(mask);
    EXPECT_EQ(mask, c.expression) << c.mask;
  }
}

TEST(RegexService, ConvertedMasksMatchNames) {
  struct Case {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      {"a?c", "ac", true},
      {"a?c", "abc", true},
      {"a?c", "abbc", false},
      {"*.htm", "Index.HTM", true},
      {"*.htm", "index.html", false},
      {"file(1).htm", "file(1).htm", true},
      {"a\\b", "a\\b", true},
      {"*", "", true},
      {"[x]", "[X]", true},
  };
  for (const auto& c : cases) {
    std::string expression = c.mask;
    wildcard_to_expression(expression);
    EXPECT_EQ(regex_match(expression, regex_icase, c.name) == 0, c.matches)
        << c.mask << " vs " << c.name;
  }
}

// File names may hold bytes that are not text in a UTF-8 locale; masks and
// conditions must still see them (an expression compiled for the locale alone
// never matches them, so "*" would drop the file).
TEST(RegexService, UnicodeLocaleMatchesNamesThatAreNotText) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale here";
  struct Case {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      {"*",
       "a\xff"
       "b",
       true},
      {"*", "\xed\xa0\x80", true},      // an encoded surrogate
      {"*.txt", "\xc3\x28.TXT", true},  // a broken sequence
      {"?", "\xc3\xa9", true},          // valid text: one character
      {"?", "\xff\xfe", false},         // two bytes that are not text
      {"\xff*", "\xff\xfe.txt", true},  // the mask is not text either
      {"*.htm", "\xff.html", false},
  };
  for (const auto& c : cases) {
    std::string expression = c.mask;
    wildcard_to_expression(expression);
    EXPECT_EQ(regex_match(expression, regex_icase, c.name) == 0, c.matches)
        << c.mask << " vs " << c.name;
  }
  std::vector<std::string> captures;
  EXPECT_EQ(regex_match("x(.+)z", regex_default, "x\xff\xfez", &captures), 0);
  ASSERT_EQ(captures.size(), 2u);
  EXPECT_EQ(captures[1], "\xff\xfe");
  // Valid text still matches per character and without regard to case.
  EXPECT_EQ(regex_match("^\xc3\x89$", regex_icase, "\xc3\xa9"), 0);
  std::setlocale(LC_ALL, previous.c_str());
}

TEST(RegexService, PlainPatternsAnswerAsTheExpressionWould) {
  // Each plain pattern is answered without regexec; the same pattern with
  // its letters in a group is not plain and goes through regexec.
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* patterns[] = {"^1$", "00$", "^ab", "jpg", "Jp9", "^$", "1$2"};
  const std::string subjects[] = {"1",
                                  "10",
                                  "100",
                                  "ab",
                                  "AB",
                                  "xaby",
                                  "x.JPG",
                                  "photo.jpg1",
                                  "",
                                  "jp9 \xc3\xa9",
                                  "\xff"
                                  "00",
                                  std::string("a\0jpg", 5)};
  for (const char* locale : {"C", "C.UTF-8"}) {
    if (!std::setlocale(LC_ALL, locale)) continue;
    for (const int flags : {int{regex_nosub}, regex_icase | regex_nosub}) {
      for (const std::string pattern : patterns) {
        std::string grouped = pattern;
        const size_t start = grouped.starts_with('^') ? 1 : 0;
        const size_t end = grouped.ends_with('$') ? grouped.size() - 1 : grouped.size();
        grouped = grouped.substr(0, start) + "(" + grouped.substr(start, end - start) + ")" +
                  grouped.substr(end);
        const compiled_regex plain(pattern, flags);
        const compiled_regex expression(grouped, flags);
        for (const std::string& subject : subjects) {
          EXPECT_EQ(plain.matches(subject), expression.matches(subject))
              << locale << " flags " << flags << ": " << pattern << " vs " << subject;
        }
      }
    }
  }
  std::setlocale(LC_ALL, previous.c_str());
}

TEST(RegexService, MatchWithCaptures) {
  std::vector<std::string> captures;
  EXPECT_EQ(regex_match("a(b)?c", regex_default, "ac", &captures), 0);
  ASSERT_EQ(captures.size(), 2u);
  EXPECT_EQ(captures[0], "ac");
  EXPECT_EQ(captures[1], "");
  EXPECT_EQ(regex_match("x(y+)z", regex_default, "--xyyz--", &captures), 0);
  ASSERT_EQ(captures.size(), 2u);
  EXPECT_EQ(captures[0], "xyyz");
  EXPECT_EQ(captures[1], "yy");
  EXPECT_NE(regex_match("q", regex_default, "abc", &captures), 0);
  EXPECT_TRUE(captures.empty());
  EXPECT_EQ(regex_match("^A", regex_icase, "alpha"), 0);
  EXPECT_NE(regex_match("^A", regex_default, "alpha"), 0);
  // A pattern that does not compile reports regcomp's code.
  EXPECT_EQ(regex_match("a(", regex_default, "a("), REG_EPAREN);
}

TEST(RegexService, SubjectsMayHoldNulBytes) {
  const std::string subject("ab\0cd", 5);
  EXPECT_EQ(regex_match("cd$", regex_default, subject), 0);
  std::string replaced = subject;
  regex_replace_all("c", regex_default, replaced, "X");
  EXPECT_EQ(replaced, std::string("ab\0Xd", 5));
}

TEST(RegexService, SplitMaskLists) {
  std::vector<std::string> pieces;
  regex_split(" *; *", regex_default, "*.htm ; *.html;*.txt", pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"*.htm", "*.html", "*.txt"}));
  regex_split(" *; *", regex_default, "", pieces);
  EXPECT_TRUE(pieces.empty());
  regex_split(" *; *", regex_default, "a;;b;", pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"a", "", "b", ""}));
  regex_split(" *; *", regex_default, "nothing", pieces);
  EXPECT_EQ(pieces, (std::vector<std::string>{"nothing"}));
  regex_split("(", regex_default, "a(b", pieces);
  EXPECT_TRUE(pieces.empty());
}

TEST(RegexService, ReplaceAllIsLiteralAndStopsAtEmptyMatch) {
  std::string number = "1 234 567";
  regex_replace_all(" ", regex_default, number, "");
  EXPECT_EQ(number, "1234567");
  std::string text = "a.b.c";
  regex_replace_all("\\.", regex_default, text, "\\1&");
  EXPECT_EQ(text, "a\\1&b\\1&c");
  // A pattern that matches the empty string stops at its first empty match.
  text = "abc";
  regex_replace_all("x*", regex_default, text, "-");
  EXPECT_EQ(text, "abc");
  text = "unchanged";
  regex_replace_all("(", regex_default, text, "-");
  EXPECT_EQ(text, "unchanged");
}

TEST(RegexService, SubstituteThroughCallbackWithFallback) {
  std::string text = "&#65;&#x41;&#300;&amp;";
  regex_substitute(
      text, false,
      [](std::string_view inner, std::string& out) {
        if (inner == "65" || inner == "x41") {
          out = "A";
          return true;
        }
        return false;
      },
      "&#x?[0-9a-fA-F]+;", 2, 1, "!");
  EXPECT_EQ(text, "AA!&amp;");
}

TEST(RegexService, Trim) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{" \t\r\n ", ""}, {"  a b  ", "a b"}, {"x", "x"}, {"", ""}, {"\na\n", "a"}};
  for (const auto& c : cases) {
    std::string text = c.in;
    trim(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

}  // namespace
}  // namespace dirscribe
