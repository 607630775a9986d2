#include "markup/html_title.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

// Serves a fixed head followed by `filler_size` bytes of repeated filler,
// without holding the filler in memory, and counts what was read.
class generated_source : public byte_source {
 public:
  generated_source(std::string head, std::string filler, size_t filler_size)
      : head_(std::move(head)), filler_(std::move(filler)), total_(head_.size() + filler_size) {}

  long read(char* buffer, size_t size) override {
    size_t filled = 0;
    while (filled < size && position_ < total_) {
      buffer[filled++] = byte_at(position_++);
    }
    bytes_read_ += filled;
    ++reads_;
    return static_cast<long>(filled);
  }

  size_t bytes_read() const { return bytes_read_; }
  int reads() const { return reads_; }

 private:
  char byte_at(size_t position) const {
    if (position < head_.size()) return head_[position];
    return filler_[(position - head_.size()) % filler_.size()];
  }

  std::string head_;
  std::string filler_;
  size_t total_;
  size_t position_ = 0;
  size_t bytes_read_ = 0;
  int reads_ = 0;
};

std::string title_of(const std::string& document, int* result = nullptr) {
  generated_source source(document, " ", 0);
  std::string title = "stale";
  const int code = title_of_source(source, title);
  if (result) *result = code;
  return title;
}

TEST(HtmlTitle, TitlesOfDocuments) {
  struct Case {
    const char* what;
    const char* document;
    const char* title;
  } cases[] = {
      {"plain", "<html><head><title>My page</title></head><body></body></html>", "My page"},
      {"upper-case tags", "<HTML><HEAD><TITLE>My page</TITLE></HEAD>", "My page"},
      {"mixed case end tag", "<Title>Mixed</tITLE><p>not this", "Mixed"},
      {"entities kept", "<title>Tom &amp; Jerry &lt;3</title>", "Tom &amp; Jerry &lt;3"},
      {"blanks and line ends kept", "<title>\n  Two\r\n lines  </title>", "\n  Two\r\n lines  "},
      {"doctype and declaration",
       "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><!x>"
       "<title>After doctype</title>",
       "After doctype"},
      {"no title", "<html><head><meta charset=utf-8></head><body><h1>Big</h1></body>", ""},
      {"empty document", "", ""},
      {"first title wins", "<title>One</title><title>Two</title>", "One"},
      {"comment holding a title", "<head><!-- <title>Hidden</title> --><title>Real</title>",
       "Real"},
      {"comment inside the title is dropped", "<title>A<!-- note -->B</title>", "AB"},
      {"directive inside the title is dropped", "<title>A<!--#echo var=\"name\" -->B</title>",
       "AB"},
      {"unknown elements inside the title are dropped", "<title>A<abbr>B</abbr>C</title>", "ABC"},
      {"script before the title",
       "<head><script>if (a<b && c>d) document.write('<title>x');</script>"
       "<title>After script</title>",
       "After script"},
      {"end tag in a script ends script mode", "<script>s = '</div>'; </script><title>T</title>",
       ""},
      {"end tag text in a script string",
       "<script>s = '</span'; x = '</em>'</script><title>T</title>", ""},
      {"end tag of a head element in a script",
       "<script>w('</meta>');</script><title>After</title>", "After"},
      {"style does not end the head", "<style>p { color: red }</style><title>Styled</title>",
       "Styled"},
      {"unclosed title ends at the body", "<title>Never closed\n<body><p>text", "Never closed\n"},
      {"unclosed title ends at the end", "<title>Never closed", "Never closed"},
      {"unfinished markup at the end", "<title>Cut <b", "Cut <b"},
      {"body element before the title", "<p>First</p><title>Late</title>", ""},
      {"end tag of a body element", "</div><title>Late</title>", ""},
      {"empty element in the head", "<br/><title>x</title>", ""},
      {"link and meta", "<link rel=stylesheet href=a.css><meta name=x><title>Meta</title>", "Meta"},
      {"attributes on the title", "<title lang=\"en\" class=x>Attr</title>", "Attr"},
      {"greater-than in a quoted attribute", "<meta content=\"a>b\"><title>Q</title>", "Q"},
  };
  for (const auto& c : cases) {
    int result = -1;
    EXPECT_EQ(title_of(c.document, &result), c.title) << c.what;
    EXPECT_EQ(result, 0) << c.what;
  }
}

TEST(HtmlTitle, TitleAcrossReadBoundaries) {
  // Put the title's start tag, text and end tag across the 2048-byte pieces.
  for (size_t pad : {0u, 2040u, 2043u, 2046u, 2047u, 2050u, 4090u}) {
    const std::string head =
        "<head>" + std::string(pad, ' ') + "<title>" + std::string(3000, 'x') + "</title>";
    generated_source source(head, "<p>", 1 << 20);
    std::string title;
    ASSERT_EQ(title_of_source(source, title), 0) << pad;
    EXPECT_EQ(title, std::string(3000, 'x')) << pad;
  }
}

TEST(HtmlTitle, ReadsOnlyTheHeadOfAHugeFile) {
  const size_t hundred_mb = size_t{100} << 20;
  struct Case {
    const char* what;
    const char* head;
    const char* filler;
    const char* title;
  } cases[] = {
      {"title at the top", "<html><head><title>Huge</title>", "<tr><td>row</td></tr>\n", "Huge"},
      {"no title, early paragraph", "<html><p>", "text text text\n", ""},
      {"unclosed title, early body", "<title>Open<body>", "<div>row</div>\n", "Open"},
  };
  for (const auto& c : cases) {
    generated_source source(c.head, c.filler, hundred_mb);
    std::string title;
    ASSERT_EQ(title_of_source(source, title), 0) << c.what;
    EXPECT_EQ(title, c.title) << c.what;
    EXPECT_EQ(source.reads(), 1) << c.what;
    EXPECT_LE(source.bytes_read(), kTitleReadSize) << c.what;
  }
}

// A title or markup that never ends stops the scan soon after its limit,
// however long the file: a title keeps its first kTitleLimit bytes.
TEST(HtmlTitle, EndlessTitleOrMarkupStopsAtItsLimit) {
  const size_t gigabyte = size_t{1} << 30;
  const size_t slack = 2 * kTitleReadSize;
  struct Case {
    const char* what;
    std::string head;
    std::string filler;
    size_t title_size;
    std::string title_start;
    size_t most_read;
  } cases[] = {
      {"unclosed title", "<title>", "A", kTitleLimit, "AAAA", kTitleLimit + slack},
      {"unclosed title of NULs", "<title>", std::string(1, '\0'), kTitleLimit, std::string(4, '\0'),
       kTitleLimit + slack},
      {"title text between unknown tags", "<title>", "ab<x>", kTitleLimit, "abab",
       3 * kTitleLimit + slack},
      {"endless comment before the title", "<html><!--", "-", 0, "", kLongestToken + slack},
  };
  for (const auto& c : cases) {
    generated_source source(c.head, c.filler, gigabyte);
    std::string title;
    ASSERT_EQ(title_of_source(source, title), 0) << c.what;
    EXPECT_EQ(title.size(), c.title_size) << c.what;
    EXPECT_EQ(title.substr(0, c.title_start.size()), c.title_start) << c.what;
    EXPECT_LE(source.bytes_read(), c.most_read) << c.what;
  }
}

TEST(HtmlTitle, LongHeadIsReleasedAsItIsRead) {
  // Eight megabytes of head text without any body element: twice the
  // scanner's queue limit, which only holds because read pieces are released.
  generated_source source("<html><head>", "<meta name=a content=b>\n", size_t{8} << 20);
  std::string title = "stale";
  EXPECT_EQ(title_of_source(source, title), 0);
  EXPECT_EQ(title, "");
  EXPECT_EQ(source.bytes_read(), (size_t{8} << 20) + 12);
}

TEST(HtmlTitle, ElementTable) {
  struct Case {
    const char* name;
    bool known;
    bool empty;
    bool body;
  } cases[] = {
      {"a", true, false, true},          {"var", true, false, true},
      {"title", true, false, false},     {"script", true, false, false},
      {"style", true, false, false},     {"head", true, false, false},
      {"html", true, false, false},      {"base", true, true, false},
      {"isindex", true, true, false},    {"link", true, true, false},
      {"meta", true, true, false},       {"br", true, true, true},
      {"img", true, true, true},         {"param", true, true, true},
      {"body", true, false, true},       {"abbr", false, false, false},
      {"optgroup", false, false, false}, {"TITLE", false, false, false},
      {"", false, false, false},
  };
  for (const auto& c : cases) {
    const int index = html_title_scanner::element_index(c.name);
    EXPECT_EQ(index >= 0, c.known) << c.name;
    EXPECT_EQ(html_title_scanner::is_empty_element(index), c.empty) << c.name;
    EXPECT_EQ(html_title_scanner::is_body_element(index), c.body) << c.name;
  }
  EXPECT_EQ(html_title_scanner::element_index("a"), 0);
  EXPECT_EQ(html_title_scanner::element_index("var"), 88);
}

TEST(HtmlTitle, Files) {
  temp_folder folder;
  std::string title = "stale";
  EXPECT_EQ(title_of_file(folder.at("no-such-page.html"), title), 1);
  EXPECT_EQ(title, "");

  folder.write("page.html",
               "<!DOCTYPE html>\n<html><head>\n<TITLE>From a file</TITLE>\n</head>\n<body></body>");
  EXPECT_EQ(title_of_file(folder.at("page.html"), title), 0);
  EXPECT_EQ(title, "From a file");

  // A folder opens but cannot be read: no title, no failure.
  EXPECT_EQ(title_of_file(folder.path(), title), 0);
  EXPECT_EQ(title, "");
}

}  // namespace
}  // namespace dirscribe
