#include "template/template_evaluator.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "core/byte_string.h"
#include "engine/extension_table.h"
#include "engine/html_list_project.h"
#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "files/file_format.h"
#include "files/file_node.h"
#include "files/folder_summary.h"
#include "markup/document_reader.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "support/test_phrases.h"
#include "template/loop_frame.h"
#include "template/template_parser.h"

namespace dirscribe {
namespace {

// Evaluates real templates, parsed with the English phrases, over real
// folder trees and compares whole outputs.
class TemplateEvaluator : public testing::Test {
 protected:
  void SetUp() override {
    const outcome loaded = load_english_phrases(phrases_);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    collection_.language = &phrases_;
    collection_.numbers = number_format();
    reset_project(project_);
    run_.filter = project_.settings.filter;  // as a build prepares it
    project_.settings.order_files = 1;       // by name, case-sensitive
    project_.settings.is_local_date = false;
    ASSERT_FALSE(folder_.path().empty());
  }

  // Runs `text` over the temporary folder as the driver starts a template.
  std::string run(const std::string& text, int expected_code = 0) {
    return run_in(folder_.path(), text, expected_code);
  }
  std::string run_in(const std::string& path, const std::string& text, int expected_code) {
    template_tree tree;
    template_parser parser(phrases_, tree);
    EXPECT_TRUE(parser.feed(text).ok()) << text;
    const outcome parsed = parser.finish();
    EXPECT_TRUE(parsed.ok()) << text << "\n" << parsed.message();
    run_.clear_listing_totals();
    run_.filter = project_.settings.filter;  // as a build prepares it
    file_node nameless;
    nameless.is_folder = true;
    file_node* slot = &nameless;
    loop_frame root = make_root_frame(path, "file://" + path + "/");
    memory_sink sink;
    const outcome evaluated = evaluate(tree.first(), nullptr, slot, root, run_, sink);
    EXPECT_EQ(evaluated.code(), expected_code) << text;
    last_message_ = evaluated.message();
    return sink.text();
  }

  // a/x.txt, b/c/z.txt, b/y.txt, f1.txt, f2.txt; sizes 1 to 5 bytes.
  void make_tree() {
    folder_.make_folder("a");
    folder_.make_folder("b/c");
    folder_.make_file("a/x.txt", 1);
    folder_.make_file("b/c/z.txt", 2);
    folder_.make_file("b/y.txt", 3);
    folder_.make_file("f1.txt", 4);
    folder_.make_file("f2.txt", 5);
  }

  // Builds the summary tree of the folder as the driver does for bits 1 and 2.
  void make_summary() {
    summary_ = file_tree();
    auto top = std::make_unique<file_node>();
    top->is_folder = true;
    top->name = folder_.path();
    file_node* top_node = summary_.append_top(std::move(top));
    generation_context context;
    ASSERT_TRUE(build_summary(folder_.path(), context, summary_, top_node).ok());
    if (project_.settings.recursive_options & 2) suppress_empty(summary_);
    run_.summary = &summary_;
  }

  phrase_table phrases_;
  project_context collection_;
  html_list_project project_;
  listing_run run_{project_.settings, collection_};  // as a build makes it
  temp_folder folder_;
  file_tree summary_;
  std::string last_message_;  // the message of the last run's outcome
};

// Folder start "(", folder end ")", items "name,".
const char kTreeTemplate[] =
    "<!--#for var=tree--><!--#if var=folder_start-->(<!--#endif-->"
    "<!--#if var=folder_end-->)<!--#endif-->"
    "<!--#if var=is_item--><!--#echo var=name-->,<!--#endif--><!--#endfor-->";

TEST_F(TemplateEvaluator, FilesFoldersAndTreeLoops) {
  make_tree();
  project_.settings.recursion_depth = -1;
  EXPECT_EQ(run("<ul><!--#for var=files--><li><!--#echo var=name--></li><!--#endfor--></ul>"),
            "<ul><li>f1.txt</li><li>f2.txt</li></ul>");
  EXPECT_EQ(run("<!--#for var=folders-->[<!--#echo var=name-->]<!--#endfor-->"), "[a][b]");
  EXPECT_EQ(run(kTreeTemplate), "(a,(x.txt,)b,(c,(z.txt,)y.txt,)f1.txt,f2.txt,)");
}

TEST_F(TemplateEvaluator, EmptyFolderKeepsOnlyTheTreePasses) {
  EXPECT_EQ(run("<!--#for var=files-->x<!--#endfor-->|<!--#for var=folders-->y<!--#endfor-->"),
            "|");
  EXPECT_EQ(run(kTreeTemplate), "()");
}

TEST_F(TemplateEvaluator, TreeOrderDepthAndLevels) {
  make_tree();
  struct Case {
    int depth;
    int options;
    const char* expected;
  } cases[] = {
      {0, 0, "(a,b,f1.txt,f2.txt,)"},
      {1, 0, "(a,(x.txt,)b,(c,y.txt,)f1.txt,f2.txt,)"},
      {-1, 0, "(a,(x.txt,)b,(c,(z.txt,)y.txt,)f1.txt,f2.txt,)"},
      {-1, 4, "(a,b,f1.txt,f2.txt,)(x.txt,)(c,y.txt,)(z.txt,)"},
      {1, 4, "(a,b,f1.txt,f2.txt,)(x.txt,)(c,y.txt,)"},
  };
  for (const Case& c : cases) {
    project_.settings.recursion_depth = c.depth;
    project_.settings.recursive_options = c.options;
    EXPECT_EQ(run(kTreeTemplate), c.expected) << "depth " << c.depth << " options " << c.options;
  }
  // Unlimited depth still counts levels 0, 1, 2.
  project_.settings.recursion_depth = -1;
  project_.settings.recursive_options = 0;
  EXPECT_EQ(run("<!--#for var=tree--><!--#if var=is_item--><!--#echo var=name-->"
                "<!--#echo var=level--> <!--#endif--><!--#endfor-->"),
            "a0 x.txt1 b0 c1 z.txt2 y.txt1 f1.txt0 f2.txt0 ");
  // Not in one file: the loop stays in its folder.
  project_.settings.subfolders_in_one_file = false;
  EXPECT_EQ(run(kTreeTemplate), "(a,b,f1.txt,f2.txt,)");
}

TEST_F(TemplateEvaluator, RowsOddAndTotals) {
  make_tree();
  EXPECT_EQ(run("<!--#for var=files--><!--#echo var=row-->:<!--#echo var=odd--> <!--#endfor-->"
                "<!--#echo var=total_files-->/<!--#echo var=total_folders-->/"
                "<!--#echo var=total_size-->/<!--#echo var=total_rows-->"),
            "0:1 1:0 2/2/9/2");
  project_.settings.recursion_depth = -1;
  EXPECT_EQ(run("<!--#for var=tree--> <!--#endfor--><!--#echo var=total_files-->/"
                "<!--#echo var=total_folders-->/<!--#echo var=total_size-->/"
                "<!--#echo var=total_rows-->"),
            std::string(16, ' ') + "5/3/15/8");  // 8 items and 4 levels of two passes
  // Counts run ahead of the item being printed and cover unselected entries.
  EXPECT_EQ(run("<!--#for var=files--><!--#echo var=level_files-->,<!--#echo var=level_folders-->"
                " <!--#endfor-->"),
            "1,2 2,2 ");
}

TEST_F(TemplateEvaluator, RepeatLaysEntriesSideBySide) {
  for (int i = 1; i <= 7; ++i) folder_.make_file("f" + std::to_string(i), 1);
  folder_.make_folder("sub");
  const std::string cells = "<!--#repeat var=COUNT--><td><!--#echo var=name--></td>";
  struct Case {
    const char* count;
    bool pad;
    const char* expected;
  } cases[] = {
      {"3", true,
       "<tr><td>f1</td><td>f2</td><td>f3</td></tr><tr><td>f4</td><td>f5</td><td>f6</td></tr>"
       "<tr><td>f7</td><td>-</td><td>-</td></tr>|7/1"},
      {"3", false,
       "<tr><td>f1</td><td>f2</td><td>f3</td></tr><tr><td>f4</td><td>f5</td><td>f6</td></tr>"
       "<tr><td>f7</td></tr>|7/1"},
      {"0", true,
       "<tr><td>f1</td><td>f2</td><td>f3</td><td>f4</td><td>f5</td><td>f6</td><td>f7</td></tr>|7/"
       "1"},
  };
  for (const Case& c : cases) {
    std::string text = cells;
    replace_all(text, "COUNT", c.count);
    text = "<!--#for var=files--><tr>" + text + (c.pad ? "<!--#elserepeat--><td>-</td>" : "") +
           "<!--#endrepeat--></tr><!--#endfor-->|<!--#echo var=total_files-->/"
           "<!--#echo var=total_folders-->";
    EXPECT_EQ(run(text), c.expected) << text;
  }
}

TEST_F(TemplateEvaluator, RepeatCountsTheEntriesItPassesOver) {
  folder_.make_file("f1", 1);
  folder_.make_file("f2", 1);
  folder_.make_folder("sub");
  // Descending order puts the folder last: only the repeat walks past it.
  project_.settings.sort_order = true;
  EXPECT_EQ(run("<!--#for var=files--><!--#repeat var=0--><!--#echo var=name-->,"
                "<!--#endrepeat-->|<!--#endfor--><!--#echo var=total_files-->/"
                "<!--#echo var=total_folders-->"),
            "f2,f1,|2/1");
}

TEST_F(TemplateEvaluator, EntriesArePreparedFilteredAndSorted) {
  make_tree();
  folder_.make_file("index.html", 7);  // the default filter skips the output file
  run_.cluster_size = 4;
  EXPECT_EQ(run("<!--#for var=files--><!--#echo var=name-->:<!--#echo var=ext-->:"
                "<!--#echo var=size--> <!--#endfor--><!--#echo var=total_size-->"),
            "f1.txt:.txt:4 f2.txt:.txt:8 12");
  run_.cluster_size = 0;
  project_.settings.sort_order = true;
  EXPECT_EQ(run("<!--#for var=folders--><!--#echo var=name-->,<!--#endfor-->"
                "<!--#for var=files--><!--#echo var=name-->,<!--#endfor-->"),
            "b,a,f2.txt,f1.txt,");
}

TEST_F(TemplateEvaluator, FileSinkWritesThroughStdio) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  file_sink sink(file);
  EXPECT_TRUE(sink.write("abc"));
  EXPECT_TRUE(sink.write(""));
  EXPECT_TRUE(sink.write("de"));
  std::rewind(file);
  char buffer[16] = {};
  EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 5u);
  EXPECT_EQ(std::string(buffer), "abcde");
  std::fclose(file);
}

TEST_F(TemplateEvaluator, EchoCuttingEscapingAndCase) {
  folder_.make_file("abcdefgh", 1);
  folder_.make_file("abc", 1);
  folder_.make_file("a&b<c&d", 1);
  EXPECT_EQ(run("<!--#for var=files--><!--#echon var=name size=5-->|<!--#echoen var=name size=3-->|"
                "<!--#echoe var=name-->|<!--#echou var=name-->|<!--#echol var=name--> "
                "<!--#endfor-->"),
            "a&b<c...|a&amp;b...|a&amp;b&lt;c&amp;d|A&B<C&D|a&b<c&d "
            "abc|abc|abc|ABC|abc "
            "abcde...|abc...|abcdefgh|ABCDEFGH|abcdefgh ");
}

TEST(CutText, CountsCharactersNotBytes) {
  struct Case {
    const char* text;
    int size;
    const char* expected;
  } cases[] = {
      {"abcdefgh", 5, "abcde..."},
      {"abc", 5, "abc"},
      {"abcde", 5, "abcde"},
      {"abc", 0, "..."},
      {"abc", -1, "abc"},
      {"\xC3\xA4\xC3\xB6\xC3\xBC", 2, "\xC3\xA4\xC3\xB6..."},
      {"\xFF\xFEz", 2, "\xFF\xFE..."},
      {"\xE2\x82", 1, "\xE2..."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cut_text(c.text, c.size), c.expected) << c.text << " size " << c.size;
  }
  EXPECT_EQ(change_case("ab\xFF"
                        "c",
                        true),
            "AB\xFF"
            "C");
  EXPECT_EQ(change_case("AB\xC3"
                        "C",
                        false),
            "ab\xC3"
            "c");
}

TEST_F(TemplateEvaluator, IfWithAndWithoutPattern) {
  folder_.make_file("alpha", 1);
  folder_.make_file("Beta", 1);
  folder_.make_file("12abc", 1);
  EXPECT_EQ(run("<!--#for var=files--><!--#echo var=name-->:"
                "<!--#if var=name re=\"^A\"-->A<!--#else-->-<!--#endif-->"
                "<!--#if var=name re=\"(\"-->bad<!--#endif-->"
                "<!--#if var=name-->N<!--#else-->-<!--#endif--> <!--#endfor-->"),
            "12abc:-N Beta:-- alpha:A- ");
}

TEST_F(TemplateEvaluator, SuppressedEmptyFoldersAreLeftOut) {
  make_tree();
  folder_.make_folder("empty");
  folder_.make_folder("hollow/deeper");
  project_.settings.recursion_depth = -1;
  project_.settings.recursive_options = 2;
  make_summary();
  EXPECT_EQ(run(kTreeTemplate), "(a,(x.txt,)b,(c,(z.txt,)y.txt,)f1.txt,f2.txt,)");
  EXPECT_EQ(run("<!--#for var=folders--><!--#echo var=name-->,<!--#endfor-->"
                "<!--#echo var=total_folders-->"),
            "a,b,2");
  project_.settings.recursive_options = 0;
  run_.summary = nullptr;
  EXPECT_EQ(run("<!--#for var=folders--><!--#echo var=name-->,<!--#endfor-->"),
            "a,b,empty,hollow,");
}

TEST_F(TemplateEvaluator, FilesOnlyTreeStillDescends) {
  make_tree();
  project_.settings.recursion_depth = -1;
  project_.settings.show_folders = 1;
  EXPECT_EQ(run(kTreeTemplate), "((x.txt,)((z.txt,)y.txt,)f1.txt,f2.txt,)");
  project_.settings.recursive_options = 4;
  EXPECT_EQ(run(kTreeTemplate), "(f1.txt,f2.txt,)(x.txt,)(y.txt,)(z.txt,)");
}

TEST_F(TemplateEvaluator, LinkedFoldersAreListedButNotEntered) {
  make_tree();
  folder_.make_link(folder_.path(), "b/loop");
  project_.settings.recursion_depth = -1;
  EXPECT_EQ(run(kTreeTemplate), "(a,(x.txt,)b,(c,(z.txt,)loop,y.txt,)f1.txt,f2.txt,)");
}

TEST_F(TemplateEvaluator, StopFlagEndsTheRun) {
  make_tree();
  collection_.stop_flag = 1;
  EXPECT_EQ(run("A<!--#echo var=name-->B", result_stopped), "A");
  collection_.stop_flag = 0;
  // Raised while the walk reads its second folder: the item in progress ends
  // the run.
  int folders_read = 0;
  collection_.progress = [&](std::string) {
    if (++folders_read == 2) collection_.stop_flag = 1;
  };
  project_.settings.recursion_depth = -1;
  EXPECT_EQ(run(kTreeTemplate, result_stopped), "(a,");
  collection_.progress = nullptr;
  collection_.stop_flag = 0;
}

// Sets TZ for the life of the object and puts the previous zone back.
class zone_for_test {
 public:
  explicit zone_for_test(const char* zone) {
    const char* saved = std::getenv("TZ");
    had_zone_ = saved != nullptr;
    if (saved) saved_ = saved;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~zone_for_test() {
    if (had_zone_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  zone_for_test(const zone_for_test&) = delete;
  zone_for_test& operator=(const zone_for_test&) = delete;

 private:
  bool had_zone_ = false;
  std::string saved_;
};

// Each date of a listing is shifted by the offset in force at its own moment:
// a summer file by two hours and a winter file by one in the same run, also
// on either side of both switches and for two dates of one entry.
TEST_F(TemplateEvaluator, LocalDatesUseTheOffsetOfTheirMoment) {
  struct stat info;
  const bool has_zoneinfo = stat("/usr/share/zoneinfo/Europe/Berlin", &info) == 0;
  const zone_for_test zone(has_zoneinfo ? "Europe/Berlin" : "CET-1CEST,M3.5.0,M10.5.0/3");
  struct Case {
    const char* name;
    time_t modified;
    time_t accessed;
    const char* local_modified;
    const char* local_accessed;
    const char* utc_modified;
  } cases[] = {
      // 2024-01-15 12:00 UTC, read 2024-07-15 12:00 UTC.
      {"1_winter", 1705320000, 1721044800, "2024-01-15 13:00:00", "2024-07-15 14:00:00",
       "2024-01-15 12:00:00"},
      {"2_summer", 1721044800, 1705320000, "2024-07-15 14:00:00", "2024-01-15 13:00:00",
       "2024-07-15 12:00:00"},
      // One second before and at the spring switch (2024-03-31 01:00 UTC).
      {"3_spring_before", 1711846799, 1711846799, "2024-03-31 01:59:59", "2024-03-31 01:59:59",
       "2024-03-31 00:59:59"},
      {"4_spring_at", 1711846800, 1711846800, "2024-03-31 03:00:00", "2024-03-31 03:00:00",
       "2024-03-31 01:00:00"},
      // One second before and at the autumn switch (2024-10-27 01:00 UTC).
      {"5_autumn_before", 1729990799, 1729990799, "2024-10-27 02:59:59", "2024-10-27 02:59:59",
       "2024-10-27 00:59:59"},
      {"6_autumn_at", 1729990800, 1729990800, "2024-10-27 02:00:00", "2024-10-27 02:00:00",
       "2024-10-27 01:00:00"},
  };
  std::string local;
  std::string utc;
  for (const Case& c : cases) {
    folder_.make_file(c.name, 1);
    const timespec times[2] = {{c.accessed, 0}, {c.modified, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, folder_.at(c.name).c_str(), times, 0), 0) << c.name;
    local += std::string(c.name) + "=" + c.local_modified + "/" + c.local_accessed + ";";
    utc += std::string(c.name) + "=" + c.utc_modified + ";";
  }
  project_.settings.use_date_format = true;
  project_.settings.date_format = "%Y-%m-%d %H:%M:%S";
  project_.settings.is_local_date = true;
  EXPECT_EQ(run("<!--#for var=files--><!--#echo var=name-->=<!--#echo var=modified-->/"
                "<!--#echo var=accessed-->;<!--#endfor-->"),
            local)
      << "zone " << (has_zoneinfo ? "Europe/Berlin" : "POSIX rule");
  project_.settings.is_local_date = false;
  EXPECT_EQ(run("<!--#for var=files--><!--#echo var=name-->=<!--#echo var=modified-->;"
                "<!--#endfor-->"),
            utc);
}

// Type texts and icons are kept per extension; each must be what the lookup
// gives for that entry, whatever the case of the extension.
TEST_F(TemplateEvaluator, TypesAndIconsAsTheLookupGivesThem) {
  collection_.extension_type_map.set(std::string(".txt"), tagged_value("Text"));
  collection_.kind_type_map.set(std::string("folder"), tagged_value("Dir"));
  collection_.kind_type_map.set(std::string("other"), tagged_value("Other"));
  collection_.extension_icon_map.set(std::string(".txt"), tagged_value("text.svg"));
  collection_.kind_icon_map.set(std::string("folder"), tagged_value("folder.svg"));
  const char* files[] = {"a.txt", "B.TXT", "c.TxT", "d", "e.md", "f.", ".g", "h.txt.md"};
  const char* folders[] = {"k.txt", "m"};
  for (const char* name : files) folder_.make_file(name, 1);
  for (const char* name : folders) folder_.make_folder(name);
  std::string expected;
  for (int pass = 0; pass < 2; ++pass) {  // folders first, in name order, then files
    std::vector<std::string> names;
    for (const char* name : pass == 0
                                ? std::vector<const char*>(std::begin(folders), std::end(folders))
                                : std::vector<const char*>(std::begin(files), std::end(files))) {
      names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      file_node entry;
      entry.name = name;
      entry.is_folder = pass == 0;
      if (!entry.is_folder) entry.ext = extension_of(name);
      const std::string icon = entry_icon(entry, collection_).to_text();
      expected += name + ":" + entry_type_text(entry, collection_, project_.settings.shell_mode) +
                  ":" + icon + ":" + (icon.find(".svg") != std::string::npos ? "svg" : "-") + " ";
    }
  }
  // Twice over, so that the second pass is answered from what was kept.
  const std::string row =
      "<!--#echo var=name-->:<!--#echo var=type-->:<!--#echo var=icon-->:"
      "<!--#if var=icon re=\"[.]SVG$\"-->svg<!--#else-->-<!--#endif--> ";
  const std::string loop =
      "<!--#for var=tree--><!--#if var=is_item-->" + row + "<!--#endif--><!--#endfor-->";
  EXPECT_EQ(run(loop + loop), expected + expected);
}

// Evaluations of one template sharing a memo, as the pages of a per-folder
// walk do, write what fresh evaluations write.
TEST_F(TemplateEvaluator, SharedMemoWritesWhatFreshEvaluationsWrite) {
  collection_.extension_type_map.set(std::string(".txt"), tagged_value("Text"));
  collection_.kind_icon_map.set(std::string("other"), tagged_value("other.svg"));
  folder_.make_folder("one");
  folder_.make_folder("two");
  for (const char* name : {"one/a.txt", "one/b.md", "one/c", "two/a.TXT", "two/d.md", "two/e.x"}) {
    folder_.make_file(name, 2);
  }
  project_.settings.is_local_date = true;
  template_tree tree;
  template_parser parser(phrases_, tree);
  ASSERT_TRUE(parser
                  .feed("<!--#for var=files--><!--#echo var=name-->:<!--#echo var=type-->:"
                        "<!--#echo var=icon-->:<!--#if var=ext re=\"x$\"-->X<!--#endif-->:"
                        "<!--#echo var=created--> <!--#endfor-->")
                  .ok());
  ASSERT_TRUE(parser.finish().ok());
  const auto evaluate_in = [&](const std::string& path, evaluation_memo* memo) {
    file_node nameless;
    nameless.is_folder = true;
    file_node* slot = &nameless;
    loop_frame root = make_root_frame(path, "file://" + path + "/");
    memory_sink sink;
    EXPECT_TRUE(evaluate(tree.first(), nullptr, slot, root, run_, sink, memo).ok()) << path;
    return sink.text();
  };
  evaluation_memo memo;
  for (const char* folder : {"one", "two", "one"}) {
    const std::string path = folder_.at(folder);
    EXPECT_EQ(evaluate_in(path, &memo), evaluate_in(path, nullptr)) << folder;
  }
  const std::string two = evaluate_in(folder_.at("two"), &memo);
  EXPECT_NE(two.find("a.TXT:Text:"), std::string::npos) << two;
  EXPECT_NE(two.find(":other.svg:X:"), std::string::npos) << two;
}

// An if pattern keeps its answers for the first subjects only; beyond them
// every subject is still tested.
TEST_F(TemplateEvaluator, PatternAnswersBeyondThoseKept) {
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "f" + std::to_string(1000 + i) + (i % 3 == 0 ? ".t" : ".x");
    folder_.make_file(name, 1);
    expected += name + (i % 3 == 0 || (1000 + i) % 10 == 7 ? "+" : "-");
  }
  // Names are all different; extensions repeat.
  EXPECT_EQ(run("<!--#for var=files--><!--#echo var=name-->"
                "<!--#if var=ext re=\"^[.]T$\"-->+<!--#else--><!--#if var=name re=\"7[.]\"-->+"
                "<!--#else-->-<!--#endif--><!--#endif--><!--#endfor-->"),
            expected);
}

// The output is handed on in pieces; a long listing arrives whole.
TEST_F(TemplateEvaluator, LongOutputArrivesWhole) {
  const std::string block(70000, 'z');
  folder_.make_file("a<b", 1);
  folder_.make_file("c", 1);
  EXPECT_EQ(run(block + "<!--#for var=files-->" + block + "<!--#echoe var=name-->" +
                "<!--#endfor-->" + block),
            block + block + "a&lt;b" + block + "c" + block);
}

TEST_F(TemplateEvaluator, FailuresAreReported) {
  const std::string missing = folder_.at("missing");
  EXPECT_EQ(run_in(missing, "x<!--#for var=files-->y<!--#endfor-->z", result_folder_not_entered),
            "x");
  EXPECT_EQ(last_message_, std::string(phrases_.text(20)) + missing);

  class full_sink : public output_sink {
   public:
    bool write(std::string_view) override { return false; }
  } sink;
  template_tree tree;
  template_parser parser(phrases_, tree);
  ASSERT_TRUE(parser.feed("text").ok());
  ASSERT_TRUE(parser.finish().ok());
  file_node nameless;
  file_node* slot = &nameless;
  loop_frame root = make_root_frame(folder_.path(), "file:///");
  EXPECT_EQ(evaluate(tree.first(), nullptr, slot, root, run_, sink).code(), result_write_failed);
}

// A block that closes the template ends the walk there: the branch not taken
// stays silent and the one taken prints once.
TEST_F(TemplateEvaluator, BlockClosingTheTemplate) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"A<!--#if var=sort_descending-->X<!--#endif-->", "A"},
      {"A<!--#if var=show_files-->X<!--#endif-->", "AX"},
      {"A<!--#if var=sort_descending-->X<!--#else-->Y<!--#endif-->", "AY"},
      {"A<!--#if var=show_files-->X<!--#else-->Y<!--#endif-->", "AX"},
      {"<!--#if var=show_files--><!--#if var=sort_descending-->X<!--#endif-->Z<!--#endif-->", "Z"},
      {"<!--#if var=show_files-->A<!--#if var=show_files-->X<!--#endif--><!--#endif-->", "AX"},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.text), c.expected) << c.text;
}

// A repeat inside a repeat shares the list: once the inner one has used it
// up, the outer one ends its pass there and pads what is left of its row.
TEST_F(TemplateEvaluator, NestedRepeatsShareTheList) {
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) folder_.make_file(name, 1);
  EXPECT_EQ(run("<!--#for var=files--><!--#repeat var=2--><!--#repeat var=0-->"
                "<!--#echo var=name-->,<!--#endrepeat-->;<!--#endrepeat-->|<!--#endfor-->"),
            "a.txt,b.txt,c.txt,d.txt,e.txt,;|");
  EXPECT_EQ(run("<!--#for var=files--><!--#repeat var=3--><!--#repeat var=3--><!--#repeat var=3-->"
                "<!--#echo var=name--><!--#endrepeat--><!--#endrepeat--><!--#elserepeat-->_"
                "<!--#endrepeat-->|<!--#endfor-->"),
            "a.txtb.txtc.txtd.txte.txt|");
}

// Nesting depth is bounded by the template size only: deep blocks are walked
// without using the call stack, outside and inside a loop.
TEST_F(TemplateEvaluator, DeeplyNestedBlocks) {
  constexpr int kDepth = 200000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<!--#if var=show_files-->";
  text += "x";
  for (int i = 0; i < kDepth; ++i) text += "<!--#endif-->";
  text += "|<!--#for var=files-->";
  for (int i = 0; i < kDepth; ++i) text += i % 2 ? "<!--#if var=odd-->" : "<!--#if var=is_item-->";
  text += "<!--#echo var=name-->";
  for (int i = 0; i < kDepth; ++i) text += "<!--#endif-->";
  text += "<!--#endfor-->";
  folder_.make_file("a.txt", 1);
  folder_.make_file("b.txt", 1);
  EXPECT_EQ(run(text), "x|a.txt");

  // Repeats as deep: the innermost prints each entry, the others move the
  // shared slot on until the list is used up.
  constexpr int kRepeats = 100000;
  text = "<!--#for var=files-->";
  for (int i = 0; i < kRepeats; ++i) text += "<!--#repeat var=1-->";
  text += "<!--#echo var=name-->";
  for (int i = 0; i < kRepeats; ++i) text += "<!--#endrepeat-->";
  text += "|<!--#endfor-->";
  EXPECT_EQ(run(text), "a.txtb.txt|");
}

}  // namespace
}  // namespace dirscribe
