#include "files/file_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace dirscribe {
namespace {

// 1970-based seconds of a UTC date and time, computed independently of the
// code under test (timegm).
unix_time utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  struct tm broken {};
  broken.tm_year = year - 1900;
  broken.tm_mon = month - 1;
  broken.tm_mday = day;
  broken.tm_hour = hour;
  broken.tm_min = minute;
  broken.tm_sec = second;
  return timegm(&broken);
}

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : " ") + item;
  return out;
}

std::string kept_names(const file_tree& tree) {
  std::string out;
  for (const file_node* node = tree.first(); node; node = node->next_in_document_order()) {
    out += (out.empty() ? "" : " ") + node->name;
  }
  return out;
}

file_node* add(file_tree& tree, file_node* parent, const std::string& name, bool is_folder = false,
               uint64_t size = 0, unix_time mtime = 0, uint32_t attributes = 0) {
  auto node = std::make_unique<file_node>();
  node->name = name;
  node->is_folder = is_folder;
  node->size = size;
  node->mtime = mtime;
  node->attributes = attributes;
  return tree.append_child(parent, std::move(node));
}

TEST(MaskListTest, CompilesMaskTexts) {
  const struct {
    std::string text;
    std::string trimmed;
    std::string patterns;
  } cases[] = {
      {"*.htm; *.HTML ;*.txt", "*.htm; *.HTML ;*.txt", R"(^.*\.htm$ ^.*\.HTML$ ^.*\.txt$)"},
      {" \t a?c;;b* ;\r\n", "a?c;;b* ;", "^a.?c$ ^b.*$"},
      {" ; ;; ", "; ;;", ""},
      {"", "", ""},
      // The backslash is escaped before anything else adds one, and the dot
      // before the star and question mark add theirs.
      {R"(a\b.c)", R"(a\b.c)", R"(^a\\b\.c$)"},
      {"x+(1)|{2}[3]^$", "x+(1)|{2}[3]^$", R"(^x\+\(1\)\|\{2\}\[3\]\^\$$)"},
  };
  for (const auto& c : cases) {
    mask_list list;
    std::string text = c.text;
    list.compile(text);
    EXPECT_EQ(text, c.trimmed) << "[" << c.text << "]";
    EXPECT_EQ(joined(list.patterns()), c.patterns) << "[" << c.text << "]";
  }
}

TEST(MaskListTest, MatchesWholeNamesIgnoringCase) {
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      {"*.htm; *.HTML ;*.txt", "Index.HTM", true},
      {"*.htm; *.HTML ;*.txt", "index.html", true},
      {"*.htm", "index.htmx", false},
      {"*.htm", "dir/index.htm", true},  // names only ever; a slash is just a byte here
      {"a?c", "ac", true},
      {"a?c", "abc", true},
      {"a?c", "abbc", false},
      {"a.c", "abc", false},
      {R"(a\b.c)", R"(a\b.c)", true},
      {R"(a\b.c)", "ab.c", false},
      {"x+y", "x+y", true},
      {"x+y", "xxy", false},
      {"[ab]", "[ab]", true},
      {"[ab]", "a", false},
      {"", "anything", false},
      {"*", "", true},
  };
  for (const auto& c : cases) {
    mask_list list;
    std::string text = c.mask;
    list.compile(text);
    EXPECT_EQ(list.matches(c.name), c.matches) << c.mask << " on " << c.name;
  }
}

// Cached expressions must answer exactly as compiling each pattern for each
// name would; copies carry working expressions of their own.
TEST(MaskListTest, CachedMatchesCompilingEveryTime) {
  std::string text = "*.txt; a?b ; *[x]* ;(;\\;*.TAR.gz; ?";
  mask_list list;
  list.compile(text);
  const mask_list copy = list;
  mask_list assigned;
  assigned = copy;
  const char* names[] = {"a.txt", "A.TXT", "ab",       "axb", "axxb", "[x]", "x",
                         "(",     "\\",    "f.tar.gz", "",    "q",    "qq",  "\xe9.txt"};
  for (const char* name : names) {
    bool expected = false;
    for (const std::string& pattern : list.patterns()) {
      if (regex_match(pattern, regex_icase | regex_nosub, name) == 0) expected = true;
    }
    EXPECT_EQ(list.matches(name), expected) << name;
    EXPECT_EQ(copy.matches(name), expected) << name;
    EXPECT_EQ(assigned.matches(name), expected) << name;
  }
}

// In a UTF-8 locale the expressions match characters; a name with bytes that
// are not valid UTF-8 must still be taken by the masks, each stray byte
// counting as one character.
TEST(MaskListTest, NamesThatAreNotUtf8MatchInAUtf8Locale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      {"*", "bad\xff\xfename", true},
      {"**", "\xff", true},
      {"*.txt", "caf\xe9.txt", true},
      {"caf?.txt", "caf\xe9.txt", true},
      {"caf?.txt", "caf\xe9\xe9.txt", false},
      {"*.TXT", "r\xc3\xa9sum\xc3\xa9.txt", true},
      {"r?sum?.txt", "r\xc3\xa9sum\xc3\xa9.txt", true},  // a valid character is one
      {"*.doc", "caf\xe9.txt", false},
  };
  for (const auto& c : cases) {
    mask_list list;
    std::string text = c.mask;
    list.compile(text);
    EXPECT_EQ(list.matches(c.name), c.matches) << c.mask << " on " << c.name;
  }
  std::setlocale(LC_ALL, previous.c_str());
}

// A mask holding bytes that are not UTF-8 matches the names holding those
// very bytes, by bytes, with ASCII letters in any case; in the C locale and
// in a UTF-8 one alike, as include and skip masks of files and folders.
TEST(MaskListTest, MasksThatAreNotUtf8MatchTheSameBytes) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const struct {
    const char* mask;
    const char* name;
    bool matches;
  } cases[] = {
      {"secret\xff.txt", "secret\xff.txt", true},
      {"SECRET\xff.TXT", "secret\xff.txt", true},
      {"secret\xff.txt", "secret\xfe.txt", false},
      {"secret\xff.txt", "secret?.txt", false},
      {"secret\xff.txt", "secret\xef\xbf\xbd.txt", false},  // U+FFFD is not the byte
      {"*\xff*", "a\xff\xfe", true},
      {"*\xff*", "abc", false},
      {"caf\xe9.txt;*.doc", "caf\xe9.txt", true},
      {"caf\xe9.txt;*.doc", "x.DOC", true},
      {"caf\xe9.txt", "caf\xc3\xa9.txt", false},  // the byte as typed, not the letter
      {"caf\xc3*", "caf\xc3\xa9.txt", true},      // half a letter is bytes too
      {"?\xff", "\xfe\xff", true},                // "?" takes one byte here
      {"?\xff", "\xc3\xa9\xff", false},
  };
  for (const char* locale : {"C", "C.UTF-8"}) {
    if (!std::setlocale(LC_ALL, locale)) continue;
    for (const auto& c : cases) {
      mask_list list;
      std::string text = c.mask;
      list.compile(text);
      EXPECT_EQ(list.matches(c.name), c.matches) << locale << ": " << c.mask << " on " << c.name;
      EXPECT_EQ(list.matches_by_expression(c.name), c.matches)
          << locale << ": " << c.mask << " on " << c.name;
    }
  }
  std::setlocale(LC_ALL, previous.c_str());
}

// Masks without wildcards or with one leading star are matched against ASCII
// names by plain comparison; every answer must be the expression's, in the C
// locale and in a UTF-8 one.
TEST(MaskListTest, LiteralMasksAnswerAsTheirExpressions) {
  const char* masks[] = {"index.html", "*.txt", "*.TXT", "a.b",   "*a.b", "x+y",      "[ab]",
                         "(",          "\\",    "*\\",   "*.",    "*@",   "*[",       "a?b",
                         "*.tar.gz",   "a*b",   "**.c",  "é.txt", "*é",   "A;*.c;b?", "^$",
                         "*{x}",       "*|",    "*`",    "Z"};
  const char* names[] = {"",
                         "index.html",
                         "INDEX.HTML",
                         "index.htm",
                         "xindex.html",
                         "a.txt",
                         ".txt",
                         "txt",
                         "A.TxT",
                         "a\n.txt",
                         "a.b",
                         "aab",
                         "xa.b",
                         "a.b.",
                         "x+y",
                         "xxy",
                         "[ab]",
                         "a",
                         "(",
                         "\\",
                         "a\\",
                         "a.",
                         "a@",
                         "a`",
                         "a[",
                         "a{",
                         "f.TAR.GZ",
                         "ab",
                         "a.c",
                         "b",
                         "bb",
                         "^$",
                         "z",
                         "Z",
                         "x{X}",
                         "a|",
                         "é.txt",
                         "É.TXT",
                         "\xff.txt",
                         "ß.txt",
                         "\xe2\x84\xaa.txt",  // KELVIN SIGN, whose lower case is "k"
                         "k.txt",
                         "A"};
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  for (const char* locale : {"C", "C.UTF-8"}) {
    if (!std::setlocale(LC_ALL, locale)) continue;
    for (const char* mask : masks) {
      mask_list list;
      std::string text = mask;
      list.compile(text);
      for (const char* name : names) {
        EXPECT_EQ(list.matches(name), list.matches_by_expression(name))
            << locale << ": " << mask << " on " << name;
      }
    }
  }
  std::setlocale(LC_ALL, previous.c_str());
}

TEST(MoveBackTest, CalendarArithmetic) {
  const struct {
    unix_time now;
    int count;
    int unit;
    unix_time expected;
  } cases[] = {
      {utc(2023, 3, 31, 10, 20, 30), 1, unit_month, utc(2023, 3, 3, 10, 20, 30)},
      {utc(2024, 3, 31, 10, 20, 30), 1, unit_month, utc(2024, 3, 2, 10, 20, 30)},
      {utc(2024, 3, 29, 8), 1, unit_month, utc(2024, 2, 29, 8)},
      {utc(2023, 1, 15), 1, unit_month, utc(2022, 12, 15)},
      {utc(2023, 1, 15), 25, unit_month, utc(2020, 12, 15)},
      {utc(2023, 5, 31), 1, unit_month, utc(2023, 5, 1)},  // April 31 -> May 1
      {utc(2023, 5, 31), -1, unit_month, utc(2023, 7, 1)},
      {utc(1970, 1, 1), 1, unit_month, utc(1969, 12, 1)},
      {utc(2024, 2, 29, 12), 1, unit_year, utc(2024, 2, 29, 12)},  // no Feb 29 in 2023
      {utc(2024, 2, 29, 12), 4, unit_year, utc(2020, 2, 29, 12)},
      {utc(2100, 3, 1), 100, unit_year, utc(2000, 3, 1)},
      {utc(2024, 2, 28, 23, 59, 59), 1, unit_year, utc(2023, 2, 28, 23, 59, 59)},
      {utc(2023, 3, 31), 2, unit_day, utc(2023, 3, 29)},
      {utc(2023, 3, 31), 1, unit_week, utc(2023, 3, 24)},
      {utc(2023, 3, 31), 90, unit_minute, utc(2023, 3, 30, 22, 30)},
      {utc(2023, 3, 31), 3, unit_hour, utc(2023, 3, 30, 21)},
      {utc(2023, 3, 31), 3, 0, utc(2023, 3, 31)},
      {utc(2023, 3, 31), 3, 7, utc(2023, 3, 31)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(move_back(c.now, c.count, c.unit), c.expected)
        << "now " << c.now << " count " << c.count << " unit " << c.unit;
  }
}

TEST(FileFilterTest, PrepareWindows) {
  file_filter_data filter;
  const unix_time now = utc(2024, 2, 29, 6);
  filter.time_filter = time_last;
  filter.last_type = unit_year;
  filter.prepare_windows(now);
  EXPECT_EQ(filter.time_start, now);
  EXPECT_EQ(filter.time_end, now);

  filter.time_filter = time_not_after;
  filter.time_start = 5;
  filter.time_end = 10;
  filter.prepare_windows(now);
  EXPECT_EQ(filter.time_start, std::numeric_limits<unix_time>::min());
  EXPECT_EQ(filter.time_end, 10);

  filter.time_filter = time_not_before;
  filter.prepare_windows(now);
  EXPECT_EQ(filter.time_end, std::numeric_limits<unix_time>::max());

  filter.size_filter = size_not_above;
  filter.size_start = 9;
  filter.size_high_start = 9;
  filter.prepare_windows(now);
  EXPECT_EQ(filter.size_lower_bound(), 0);

  filter.size_filter = size_not_below;
  filter.prepare_windows(now);
  EXPECT_EQ(filter.size_upper_bound(), std::numeric_limits<int64_t>::max());
}

TEST(FileFilterTest, TimeWindowBoundsAreInclusive) {
  file_filter_data filter;
  filter.compile_masks();
  filter.time_filter = time_last;
  filter.last_how_many = 1;
  filter.last_type = unit_month;
  const unix_time now = utc(2023, 3, 31, 12);
  filter.prepare_windows(now);
  const unix_time start = utc(2023, 3, 3, 12);
  const struct {
    unix_time mtime;
    bool kept;
  } cases[] = {{start - 1, false}, {start, true}, {now, true}, {now + 1, false}};
  for (const auto& c : cases) {
    file_node file;
    file.mtime = c.mtime;
    file.name = "f";
    EXPECT_EQ(filter.keeps(file), c.kept) << c.mtime;
  }
}

TEST(FileFilterTest, SizeWindowWith64BitBounds) {
  const uint64_t four_gib = uint64_t{1} << 32;
  const struct {
    int mode;
    uint32_t start_low;
    int32_t start_high;
    uint32_t end_low;
    int32_t end_high;
    uint64_t size;
    bool kept;
  } cases[] = {
      {size_not_below, 1048576, 0, 0, 0, 1048576, true},
      {size_not_below, 1048576, 0, 0, 0, 1048575, false},
      {size_not_below, 1048576, 0, 0, 0, uint64_t{1} << 62, true},
      {size_not_above, 77, 77, 4294967295u, 0, four_gib - 1, true},
      {size_not_above, 77, 77, 4294967295u, 0, four_gib, false},
      {size_not_above, 77, 77, 4294967295u, 0, 0, true},
      {size_between, 0, 1, 5, 1, four_gib - 1, false},
      {size_between, 0, 1, 5, 1, four_gib, true},
      {size_between, 0, 1, 5, 1, four_gib + 5, true},
      {size_between, 0, 1, 5, 1, four_gib + 6, false},
      {size_between, 4294967295u, 0, 4294967295u, 0, 4294967295u, true},
      {size_off, 10, 0, 10, 0, 99, true},
  };
  for (const auto& c : cases) {
    file_filter_data filter;
    filter.compile_masks();
    filter.size_filter = c.mode;
    filter.size_start = c.start_low;
    filter.size_high_start = c.start_high;
    filter.size_end = c.end_low;
    filter.size_high_end = c.end_high;
    filter.prepare_windows(0);
    file_node file;
    file.name = "f";
    file.size = c.size;
    EXPECT_EQ(filter.keeps(file), c.kept) << "mode " << c.mode << " size " << c.size;
  }
}

TEST(FileFilterTest, AttributeModes) {
  const uint32_t hidden = attribute_hidden;
  const uint32_t read_only = attribute_read_only;
  const struct {
    int att_filter;
    uint32_t attrs;
    uint32_t attributes;
    bool kept;
  } cases[] = {
      {0, hidden, hidden, true},  // filter off
      // inclusion, any-of
      {1 | 2, hidden | read_only, hidden, true},
      {1 | 2, hidden | read_only, attribute_normal, false},
      {1 | 2, 0, attribute_normal, false},
      // inclusion, all-of
      {1 | 2 | 4, hidden | read_only, hidden, false},
      {1 | 2 | 4, hidden | read_only, hidden | read_only | attribute_link, true},
      {1 | 2 | 4, 0, attribute_normal, true},
      // exclusion, any-of: "exclude hidden" drops dot-files, keeps the rest
      {1, hidden, hidden, false},
      {1, hidden, hidden | read_only, false},
      {1, hidden, attribute_normal, true},
      {1, hidden, read_only, true},
      {1, 0, hidden, true},
      // exclusion, all-of
      {1 | 4, hidden | read_only, hidden, true},
      {1 | 4, hidden | read_only, hidden | read_only, false},
      {1 | 4, 0, hidden, true},
  };
  for (const auto& c : cases) {
    file_filter_data filter;
    filter.compile_masks();
    filter.att_filter = c.att_filter;
    filter.attrs = c.attrs;
    file_node file;
    file.name = "f";
    file.attributes = c.attributes;
    EXPECT_EQ(filter.keeps(file), c.kept)
        << "att_filter " << c.att_filter << " attrs " << c.attrs << " attributes " << c.attributes;
    // Folders never see the attribute test.
    file.is_folder = true;
    EXPECT_TRUE(filter.keeps(file)) << "folder, att_filter " << c.att_filter;
  }
}

TEST(FileFilterTest, NamesAndFolders) {
  const struct {
    const char* files_include;
    const char* files_skip;
    const char* folder_include;
    const char* folder_skip;
    const char* kept;
  } cases[] = {
      {"*", "", "*", "", "dir sub x.bak page.html"},
      {"*", "*.bak", "*", "", "dir sub page.html"},
      {"", "", "*", "", "dir sub"},
      {"*", "", "", "", "x.bak page.html"},
      {"*", "", "*", "s*", "dir x.bak page.html"},
      {"*.HTML", "", "d*", "", "dir page.html"},
  };
  for (const auto& c : cases) {
    file_tree tree;
    file_node* dir = add(tree, nullptr, "dir", true, 0, 0, attribute_folder);
    add(tree, dir, "sub", true, 0, 0, attribute_folder);
    add(tree, nullptr, "x.bak");
    add(tree, nullptr, "page.html");
    file_filter_data filter;
    filter.str_files_include = c.files_include;
    filter.str_files_skip = c.files_skip;
    filter.str_folder_include = c.folder_include;
    filter.str_folder_skip = c.folder_skip;
    filter.compile_masks();
    const int kept = filter.apply(tree, nullptr);
    EXPECT_EQ(kept_names(tree), c.kept) << c.files_include << "|" << c.files_skip << "|"
                                        << c.folder_include << "|" << c.folder_skip;
    EXPECT_EQ(kept, static_cast<int>(std::count(c.kept, c.kept + std::strlen(c.kept), ' ') +
                                     (*c.kept ? 1 : 0)));
  }
}

TEST(FileFilterTest, OneLevelLeavesDeeperEntries) {
  file_tree tree;
  file_node* top = add(tree, nullptr, "top", true);
  file_node* keep = add(tree, top, "keep", true);
  add(tree, keep, "deep.bak");
  add(tree, top, "a.bak");
  add(tree, top, "b.txt");
  add(tree, top, "c.bak");
  file_filter_data filter;
  filter.str_files_skip = "*.bak";
  filter.compile_masks();
  EXPECT_EQ(filter.apply(tree, top), 2);
  EXPECT_EQ(kept_names(tree), "top keep deep.bak b.txt");
  EXPECT_EQ(filter.apply(tree, nullptr), 3);
  EXPECT_EQ(kept_names(tree), "top keep b.txt");
}

TEST(FileFilterTest, TestsRunInOrderAndEmptyMasksUntilCompiled) {
  file_filter_data filter;
  file_node file;
  file.name = "f";
  EXPECT_FALSE(filter.keeps(file)) << "nothing matches before the masks are compiled";
  filter.compile_masks();
  EXPECT_TRUE(filter.keeps(file));
  filter.str_files_include = "  *.c ; ";
  filter.compile_masks();
  EXPECT_EQ(filter.str_files_include, "*.c ;") << "the stored text is trimmed";
  filter.reset();
  EXPECT_EQ(filter.str_files_include, "*");
  EXPECT_FALSE(filter.keeps(file)) << "reset leaves the compiled lists as they were";
}

}  // namespace
}  // namespace dirscribe
