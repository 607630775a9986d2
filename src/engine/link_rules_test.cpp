#include "engine/link_rules.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(LinkRules, EscapedNameByMode) {
  struct Case {
    const char* name;
    int mode;
    const char* link;
  } cases[] = {
      {"a b.html", 2, "a%20b.html"},
      {"a&b.html", 1, "a&amp;b.html"},
      {"a&b.html", 0, "a&b.html"},
      {"a&b.html", 7, "a&b.html"},
      {"100% #1?.txt", 2, "100%25%20%231%3F.txt"},
      {"caf\xC3\xA9", 2, "caf%C3%A9"},
      // A browser reads code-point references back as the UTF-8 name; a
      // stray byte keeps its byte reference.
      {"caf\xC3\xA9", 1, "caf&#233;"},
      {"\xE4\xB8\xAD\xC3", 1, "&#20013;&#195;"},
      {"x:y/z\\w", 2, "x%3Ay%2Fz%5Cw"},
      {"keep-._AZaz09", 2, "keep-._AZaz09"},
      {"<\"q\">", 1, "&lt;&quot;q&quot;&gt;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(escaped_name(c.name, c.mode), c.link) << c.name << " mode " << c.mode;
    std::string appended = "base/";
    append_escaped_name(appended, c.name, c.mode);
    EXPECT_EQ(appended, std::string("base/") + c.link) << c.name << " mode " << c.mode;
  }
}

TEST(LinkRules, FolderUrlKeepsPathSeparatorsAndColons) {
  EXPECT_EQ(folder_url("/home/a b", 0, 0, ""), "file:///home/a b/");
  EXPECT_EQ(folder_url("/home/a b", 2, 0, ""), "file:///home/a%20b/");
  EXPECT_EQ(folder_url("/", 2, 0, ""), "file:///");
  EXPECT_EQ(folder_url("/data/x:y/", 2, 0, ""), "file:///data/x:y/");
  EXPECT_EQ(folder_url("/a&b", 1, 0, ""), "file:///a&amp;b/");
  EXPECT_EQ(folder_url("/pub/files", 2, 2, "ftp.example.org"), "ftp://ftp.example.org/pub/files/");
  EXPECT_EQ(folder_url("", 0, 0, ""), "file://");
}

TEST(LinkRules, RelativeLinkNeverStartsWithAScheme) {
  const struct {
    const char* link;
    const char* guarded;
  } cases[] = {
      {"javascript:alert(1)", "./javascript:alert(1)"},
      {"mailto:x", "./mailto:x"},
      {"javascript:x/file.txt", "./javascript:x/file.txt"},
      {"a/b:c", "a/b:c"},  // only the first segment can be read as a scheme
      {"plain.txt", "plain.txt"},
      {"javascript%3Ax", "javascript%3Ax"},
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string link = c.link;
    guard_relative_link(link);
    EXPECT_EQ(link, c.guarded) << c.link;
  }
}

TEST(LinkRules, NormaliseFolderPath) {
  EXPECT_EQ(normalise_folder_path("/srv/share///"), "/srv/share");
  EXPECT_EQ(normalise_folder_path("/"), "/");
  EXPECT_EQ(normalise_folder_path(""), "/");
  EXPECT_EQ(normalise_folder_path("back\\slash\\"), "back\\slash\\");
}

TEST(LinkRules, RelativeWayFromThePageToTheListedFolder) {
  struct Case {
    const char* from;
    const char* to;
    int mode;
    const char* way;
  } cases[] = {
      {"/srv/share", "/srv/share", 2, ""},
      {"/srv/share/", "/srv/share", 2, ""},
      {"/tmp/out", "/srv/share", 2, "../../srv/share/"},
      {"/srv", "/srv/share/a b", 2, "share/a%20b/"},
      {"/srv", "/srv/a&b", 1, "a&amp;b/"},
      {"/srv/share/sub", "/srv/share", 0, "../"},
      {"/", "/srv", 2, "srv/"},
      {"/a/b/../c", "/a/d", 2, "../d/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(relative_way(c.from, c.to, c.mode), c.way) << c.from << " -> " << c.to;
  }
  for (const auto& [link, relative] :
       std::initializer_list<std::pair<const char*, bool>>{{"images/", true},
                                                           {"../icons/", true},
                                                           {"", true},
                                                           {"/usr/share/icons/", false},
                                                           {"https://example.org/icons/", false},
                                                           {"file:///opt/icons/", false},
                                                           {"//cdn.example.org/", false},
                                                           {"dir/a:b/", true}}) {
    EXPECT_EQ(is_relative_link(link), relative) << link;
  }
}

}  // namespace
}  // namespace dirscribe
