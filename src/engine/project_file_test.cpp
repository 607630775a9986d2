#include <gtest/gtest.h>

#include <sstream>

#include "engine/html_list_project.h"
#include "engine/project_context.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

class ProjectFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.path().empty()); }

  std::string write(const std::string& name, const std::string& content) {
    folder_.write(name, content);
    return folder_.at(name);
  }

  temp_folder folder_;
};

// Every persisted field as one comparable text.
std::string dump(const project_settings& s) {
  std::ostringstream out;
  out << s.source << '|' << s.ftp_host << '|' << s.ftp_login << '|' << s.ftp_password << '|'
      << s.path << '|' << s.save << '|' << s.recursion_depth << '|' << s.subfolders_in_one_file
      << '|' << s.recursive_options << '|' << s.order_files << '|' << s.sort_order << '|'
      << s.show_summary << '|' << s.show_folders << '|' << s.date_format << '|' << s.use_date_format
      << '|' << s.is_local_date << '|' << s.size_units << '|' << s.url_escape << '|' << s.image_dir
      << '|' << s.local_image_dir << '|' << s.shell_mode << '|' << s.format_file << '|'
      << s.disk_space << "|filter:" << s.filter.str_files_include << '|' << s.filter.str_files_skip
      << '|' << s.filter.str_folder_include << '|' << s.filter.str_folder_skip << '|'
      << s.filter.time_filter << '|' << s.filter.time_start << '|' << s.filter.time_end << '|'
      << s.filter.size_filter << '|' << s.filter.size_end << '|' << s.filter.size_high_end << '|'
      << s.filter.att_filter << '|' << s.filter.attrs << '|' << s.link_base << '|' << s.output_dir
      << '|' << s.overwrite << '|' << s.listing_title << '|' << s.thumbnails;
  return out.str();
}

TEST_F(ProjectFile, EmptyProjectLoadsAllDefaults) {
  project_context collection;
  ASSERT_TRUE(collection.load_file(write("p.txt", "<project></project>")).ok());
  ASSERT_EQ(collection.projects.size(), 1u);
  const project_settings& s = collection.projects[0]->settings;
  EXPECT_EQ(s.save, "index.html");
  EXPECT_EQ(s.order_files, 5);
  EXPECT_EQ(s.show_folders, 3);
  EXPECT_EQ(s.date_format, "%c");
  EXPECT_TRUE(s.subfolders_in_one_file);
  EXPECT_EQ(s.filter.str_files_skip, "index.html");
  EXPECT_EQ(s.filter.str_files_include, "*");
}

// Without a skip mask of its own a project leaves out its own output file.
TEST_F(ProjectFile, SkipMaskDefaultsToTheOutputFileName) {
  const struct {
    const char* body;
    const char* skip;
  } cases[] = {
      {"<save>listing.html</save>", "listing.html"},
      {"<save>/srv/www/all.html</save><filter><time_filter>0</time_filter></filter>", "all.html"},
      {"<save>listing.html</save><filter><str_files_skip>*.bak</str_files_skip></filter>", "*.bak"},
      {"<save>listing.html</save><filter><str_files_skip></str_files_skip></filter>", ""},
      {"<filter></filter>", "index.html"},
  };
  for (const auto& c : cases) {
    project_context collection;
    ASSERT_TRUE(collection.load_text(std::string("<project>") + c.body + "</project>").ok())
        << c.body;
    EXPECT_EQ(collection.projects[0]->settings.filter.str_files_skip, c.skip) << c.body;
  }
}

TEST_F(ProjectFile, NumbersAndBooleansReadLeadingDigits) {
  struct Case {
    const char* xml;
    int32_t depth;
    bool one_file;
  } cases[] = {
      {"<recursion_depth>-1</recursion_depth>", -1, true},
      {"<recursion_depth>abc</recursion_depth>", 0, true},
      {"<recursion_depth> 7x</recursion_depth>", 7, true},
      {"<recursion_depth></recursion_depth>", 0, true},
      {"<subfolders_in_one_file>true</subfolders_in_one_file>", 0, false},
      {"<subfolders_in_one_file>2</subfolders_in_one_file>", 0, true},
      {"<recursion_depth>3</recursion_depth><recursion_depth>9</recursion_depth>", 3, true},
  };
  for (const auto& c : cases) {
    project_context collection;
    ASSERT_TRUE(
        collection.load_file(write("p.txt", std::string("<project>") + c.xml + "</project>")).ok())
        << c.xml;
    EXPECT_EQ(collection.projects[0]->settings.recursion_depth, c.depth) << c.xml;
    EXPECT_EQ(collection.projects[0]->settings.subfolders_in_one_file, c.one_file) << c.xml;
  }
}

TEST_F(ProjectFile, AwkwardValuesRoundTrip) {
  project_context collection;
  html_list_project& first = collection.first_project_creating();
  first.settings.path = "/srv/a&b <c> \"d\" 'e' \xFC\xC3\xA9";
  first.settings.ftp_password = "p&ss;word&amp;";
  first.settings.save = "";
  first.settings.recursion_depth = -1;
  first.settings.size_units = -1;
  first.settings.subfolders_in_one_file = false;
  first.settings.date_format = "%Y-%m-%d\r\n%H";
  first.settings.filter.str_files_skip = "*.bak; <x>";
  first.settings.filter.size_filter = 1;
  first.settings.filter.size_end = 4294967295u;
  first.settings.filter.size_high_end = -1;
  first.settings.filter.time_filter = 1;
  first.settings.filter.time_start = -5;
  auto second = std::make_unique<html_list_project>();
  reset_project(*second);
  second->settings.path = "/second";
  second->settings.url_escape = 2;
  collection.projects.push_back(std::move(second));

  const std::string file = folder_.at("round.txt");
  ASSERT_TRUE(collection.save_file(file).ok());
  const std::string text = read_file(file);
  EXPECT_NE(
      text.find("<path>/srv/a&amp;b &lt;c&gt; &quot;d&quot; 'e' &#252;&#195;&#169;</path>\r\n"),
      std::string::npos);
  EXPECT_EQ(text.find("<project>\r\n<source>0</source>\r\n"), 0u);
  EXPECT_NE(text.find("</project>\r\n<!-- ******** -->\r\n<project>\r\n"), std::string::npos);
  EXPECT_TRUE(text.ends_with("</disk_space>\r\n</project>\r\n<!-- ******** -->\r\n"));
  EXPECT_NE(text.find("<recursive_options>0</recursive_options>\r\n<filter>\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("</filter>\r\n<order_files>5</order_files>\r\n"), std::string::npos);

  project_context loaded;
  ASSERT_TRUE(loaded.load_file(file).ok());
  ASSERT_EQ(loaded.projects.size(), 2u);
  EXPECT_EQ(dump(loaded.projects[0]->settings), dump(collection.projects[0]->settings));
  EXPECT_EQ(dump(loaded.projects[1]->settings), dump(collection.projects[1]->settings));
}

TEST_F(ProjectFile, LoadFailuresAndSkippedElements) {
  project_context collection;
  EXPECT_EQ(collection.load_file(folder_.at("missing.txt")).code(), 20007);
  EXPECT_EQ(collection.load_file(write("bad.txt", "<project><path>x</project>")).code(), 20008);
  EXPECT_EQ(collection.load_file(write("none.txt", "<other></other>")).code(), 20008);
  EXPECT_EQ(collection.load_file(write("empty.txt", "")).code(), 20008);
  ASSERT_TRUE(collection
                  .load_file(write("mixed.txt",
                                   "<project/>\r\n<!-- c -->\r\n<other/>\r\n"
                                   "<project><path>/one</path></project>\r\n"))
                  .ok());
  ASSERT_EQ(collection.projects.size(), 1u);
  EXPECT_EQ(collection.projects[0]->settings.path, "/one");
  EXPECT_EQ(collection.save_file(folder_.at("no/such/folder/p.txt")).code(), 20004);
  EXPECT_EQ(collection.save_file("/dev/full").code(), 20004);
}

TEST_F(ProjectFile, AFileHoldsAtMostAThousandProjects) {
  const std::string full = "<project> </project>\r\n";
  const struct {
    size_t with_content;
    size_t empty;   // "<project/>" elements, which load nothing but count
    size_t loaded;  // 0: the load fails
  } cases[] = {
      {1000, 0, 1000}, {999, 1, 999}, {1001, 0, 0}, {1000, 1, 0}, {1, 5000, 0},
  };
  for (const auto& c : cases) {
    std::string text;
    for (size_t i = 0; i < c.empty; ++i) text += "<project/>\r\n";
    for (size_t i = 0; i < c.with_content; ++i) text += full;
    const std::string file = write("many.txt", text);
    project_context collection;
    const outcome loaded = collection.load_file(file);
    const std::string name = std::to_string(c.with_content) + "+" + std::to_string(c.empty);
    EXPECT_EQ(collection.projects.size(), c.loaded) << name;
    if (c.loaded > 0) {
      EXPECT_TRUE(loaded.ok()) << name << ": " << loaded.message();
      continue;
    }
    EXPECT_EQ(loaded.code(), result_project_not_readable) << name;
    EXPECT_EQ(loaded.message(), file + ": It holds " + std::to_string(c.with_content + c.empty) +
                                    " projects; a project file holds at most 1000.")
        << name;
  }
}

TEST_F(ProjectFile, WarnsAboutValuesTheReaderTakesByAccident) {
  const struct {
    const char* body;                   // the project elements of the file
    std::vector<std::string> warnings;  // after "<file>: "
  } cases[] = {
      {"<project><path>/x</path><recursion_depth>-1</recursion_depth></project>", {}},
      {"<project><recursion_dept>-1</recursion_dept></project>",
       {"project 1: unknown key \"recursion_dept\", did you mean \"recursion_depth\"?"}},
      {"<project><colour>red</colour><Save>x.html</Save></project>",
       {"project 1: unknown key \"colour\""}},  // names are read in any case
      {"<project><str_files_skip>*.tmp</str_files_skip></project>",
       {"project 1: key \"str_files_skip\" belongs inside <filter> and is ignored here"}},
      {"<project><filter><str_file_skip>*.tmp</str_file_skip><save>x</save></filter></project>",
       {"project 1: unknown key \"str_file_skip\" in <filter>, did you mean \"str_files_skip\"?",
        "project 1: unknown key \"save\" in <filter>"}},
      {"<project><recursion_depth>all</recursion_depth><subfolders_in_one_file>true"
       "</subfolders_in_one_file><order_files> 7x</order_files><sort_order> 1 </sort_order>"
       "<path>12abc</path><size_units></size_units></project>",
       {"project 1: \"recursion_depth\" holds \"all\", not a number; read as 0",
        "project 1: \"subfolders_in_one_file\" holds \"true\", not a number; read as 0",
        "project 1: \"order_files\" holds \" 7x\", not a number; read as 7",
        "project 1: \"size_units\" holds \"\", not a number; read as 0"}},
      {"<project><filter><time_start>yesterday</time_start></filter></project>",
       {"project 1: \"time_start\" in <filter> holds \"yesterday\", not a number; read as 0"}},
      {"<project></project><project/><project><sav>x</sav></project>",
       {"project 2: unknown key \"sav\", did you mean \"save\"?"}},
      // One warning per key and file, however often it comes back, in
      // any project of the file; the same name at another level is another key.
      {"<project><sav>a</sav><sav>b</sav><size_units>x</size_units><filter><sav>c</sav>"
       "</filter></project><project><sav>d</sav><size_units>y</size_units></project>",
       {"project 1: unknown key \"sav\", did you mean \"save\"? (repeated 2 more times)",
        "project 1: \"size_units\" holds \"x\", not a number; read as 0 (repeated 1 more time)",
        "project 1: unknown key \"sav\" in <filter>"}},
  };
  for (const auto& c : cases) {
    project_context collection;
    const std::string file = write("p.txt", c.body);
    ASSERT_TRUE(collection.load_file(file).ok()) << c.body;
    std::vector<std::string> expected;
    for (const std::string& warning : c.warnings) expected.push_back(file + ": " + warning);
    EXPECT_EQ(collection.warnings, expected) << c.body;
  }
}

TEST_F(ProjectFile, PublishingKeysAreWrittenOnlyWhenSet) {
  const auto lines_of = [](const html_list_project& project) {
    std::vector<std::string> lines;
    write_project(project, lines);
    std::string text;
    for (const std::string& line : lines) text += line;
    return text;
  };
  html_list_project project;
  reset_project(project);
  const std::string plain = lines_of(project);
  EXPECT_EQ(plain.find("link_base"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("output_dir"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("overwrite"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("listing_title"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("thumbnails"), std::string::npos) << plain;

  project.settings.link_base = "https://x.org/a&b/";
  project.settings.output_dir = "../out";
  project.settings.overwrite = true;
  project.settings.listing_title = "Tom & Jerry's <files>";
  project.settings.thumbnails = true;
  const std::string set = lines_of(project);
  EXPECT_TRUE(
      set.ends_with("<disk_space>0</disk_space>\r\n"
                    "<link_base>https://x.org/a&amp;b/</link_base>\r\n"
                    "<output_dir>../out</output_dir>\r\n"
                    "<overwrite>1</overwrite>\r\n"
                    "<listing_title>Tom &amp; Jerry's &lt;files&gt;</listing_title>\r\n"
                    "<thumbnails>1</thumbnails>\r\n"))
      << set;
  project_context collection;
  ASSERT_TRUE(collection.load_file(write("p.txt", "<project>" + set + "</project>")).ok());
  EXPECT_EQ(dump(collection.projects.at(0)->settings), dump(project.settings));
  EXPECT_TRUE(collection.warnings.empty());
}

TEST_F(ProjectFile, RelativeNamesAreLookedForBesideTheFileThenInTheProgramFolder) {
  project_context collection;
  collection.program_folder = folder_.at("program/");
  folder_.write("program/templates/t.html", "t");
  folder_.write("program/both.html", "p");
  folder_.write("projects/both.html", "b");
  const std::string file = write("projects/p.txt", "<project></project>");
  const struct {
    const char* name;
    std::vector<std::string> places;
    std::string resolved;
  } cases[] = {
      {"templates/t.html",
       {folder_.at("projects/templates/t.html"), folder_.at("program/templates/t.html")},
       folder_.at("program/templates/t.html")},
      {"both.html",
       {folder_.at("projects/both.html"), folder_.at("program/both.html")},
       folder_.at("projects/both.html")},
      // Found nowhere: the place beside the project file.
      {"none.html",
       {folder_.at("projects/none.html"), folder_.at("program/none.html")},
       folder_.at("projects/none.html")},
      {"/abs/x.html", {"/abs/x.html"}, "/abs/x.html"},
  };
  ASSERT_TRUE(collection.load_file(file).ok());
  for (const auto& c : cases) {
    EXPECT_EQ(collection.lookup_paths(c.name), c.places) << c.name;
    EXPECT_EQ(collection.resolve(c.name), c.resolved) << c.name;
  }
  // Without a project file only the program folder is known.
  ASSERT_TRUE(collection.load_text("<project></project>").ok());
  EXPECT_EQ(collection.lookup_paths("x.html"),
            std::vector<std::string>{folder_.at("program/x.html")});
  EXPECT_EQ(name_with_places_tried("x.html", collection.lookup_paths("x.html")),
            "x.html (tried " + folder_.at("program/x.html") + ")");
  EXPECT_EQ(name_with_places_tried("/abs/x.html", {"/abs/x.html"}), "/abs/x.html");
}

// The listed folder and output_dir stay beside the project even where only
// the program folder holds the name: a run never lists or writes the
// program's own files by accident.
TEST_F(ProjectFile, FoldersOfAProjectResolveOnlyBesideIt) {
  project_context collection;
  collection.program_folder = folder_.at("program/");
  folder_.write("program/templates/table.html", "t");
  folder_.write("program/images/file.svg", "i");
  folder_.write("projects/tree/a.txt", "a");
  const std::string file = write("projects/p.txt", "<project></project>");
  // Without a project file only the program folder is known, as for resolve.
  const struct {
    const char* name;
    std::string with_file;     // with projects/p.txt loaded
    std::string without_file;  // with no project file loaded
  } cases[] = {
      {"templates", folder_.at("projects/templates"), folder_.at("program/templates")},
      {"images", folder_.at("projects/images"), folder_.at("program/images")},
      {"tree", folder_.at("projects/tree"), folder_.at("program/tree")},
      {"../up", folder_.at("projects/../up"), folder_.at("program/../up")},
      {"/srv/www", "/srv/www", "/srv/www"},
      {"", "", ""},
  };
  ASSERT_TRUE(collection.load_file(file).ok());
  for (const auto& c : cases) {
    EXPECT_EQ(collection.resolve_in_project_folder(c.name), c.with_file) << c.name;
  }
  ASSERT_TRUE(collection.load_text("<project></project>").ok());
  for (const auto& c : cases) {
    EXPECT_EQ(collection.resolve_in_project_folder(c.name), c.without_file) << c.name;
  }
}

}  // namespace
}  // namespace dirscribe
