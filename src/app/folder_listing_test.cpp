// The project of a folder named on the command line: the style picked as the
// wizard picks it, then each option over it.
#include "app/folder_listing.h"

#include <gtest/gtest.h>

#include "engine/html_list_project.h"
#include "platform/user_data.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

// The settings the options change, in one line.
std::string dump(const project_settings& s) {
  return "path=" + s.path + " save=" + s.save + " format=" + s.format_file +
         " depth=" + std::to_string(s.recursion_depth) +
         " one-file=" + std::to_string(s.subfolders_in_one_file) +
         " recursive=" + std::to_string(s.recursive_options) +
         " order=" + std::to_string(s.order_files) + " desc=" + std::to_string(s.sort_order) +
         " include=" + s.filter.str_files_include + " skip=" + s.filter.str_files_skip +
         " escape=" + std::to_string(s.url_escape) + " output-dir=" + s.output_dir +
         " link-base=" + s.link_base + (s.overwrite ? " overwrite" : "") +
         (s.thumbnails ? " thumbnails" : "");
}

class FolderListing : public testing::Test {
 protected:
  void SetUp() override {
    folder_.write("program/templates.txt",
                  "<template><file>table.html</file><name>Detailed table</name>"
                  "<project><recursion_depth>-1</recursion_depth><url_escape>2</url_escape>"
                  "<recursive_options>4</recursive_options></project></template>"
                  "<template><file>pages.html</file><name>Pages</name>"
                  "<project><subfolders_in_one_file>0</subfolders_in_one_file></project>"
                  "</template>");
    folder_.write("start/mine.html", "<!--#echo var=\"name\"-->");
  }
  std::string program() const { return folder_.at("program/"); }
  std::string start() const { return folder_.at("start"); }
  outcome make(const listing_options& options, html_list_project& project) const {
    return make_folder_project("music", options, start(), user_data_folders(program(), {}, true),
                               nullptr, project);
  }

  temp_folder folder_;
};

TEST_F(FolderListing, TheStyleComesFirstAndEachOptionChangesItsSetting) {
  const std::string music = start() + "/music";
  const std::string table = program() + "templates/table.html";
  const std::string table_defaults =
      " format=" + table + " depth=-1 one-file=1 recursive=4 order=5 desc=0 include=*";
  const std::string pages = program() + "templates/pages.html";
  const auto with = [](auto change) {
    listing_options options;
    change(options);
    return options;
  };
  const struct {
    const char* what;
    listing_options options;
    std::string expected;
  } cases[] = {
      {"no option: the first style, its preset, index.html in the folder",
       {},
       "path=" + music + " save=index.html" + table_defaults +
           " skip=index.html escape=2 output-dir= link-base="},
      {"a style by name in any case", with([](listing_options& o) { o.style = "pages"; }),
       "path=" + music + " save=index.html format=" + pages +
           " depth=0 one-file=0 recursive=0 order=5 desc=0 include=* skip=index.html escape=0 "
           "output-dir= link-base="},
      {"a template file: the project defaults, sorted naturally",
       with([](listing_options& o) { o.style = "mine.html"; }),
       "path=" + music + " save=index.html format=" + start() +
           "/mine.html depth=0 one-file=1 recursive=0 order=7 desc=0 include=* skip=index.html "
           "escape=0 output-dir= link-base="},
      {"an output where the command ran, its name left out of the listing",
       with([](listing_options& o) { o.output = "../lists/music.html"; }),
       "path=" + music + " save=" + folder_.at("lists/music.html") + table_defaults +
           " skip=music.html escape=2 output-dir= link-base="},
      {"standard output leaves nothing out", with([](listing_options& o) { o.output = "-"; }),
       "path=" + music + " save=-" + table_defaults + " skip= escape=2 output-dir= link-base="},
      {"an output in the output folder stays relative", with([](listing_options& o) {
         o.output = "m.html";
         o.output_dir = "out/";
       }),
       "path=" + music + " save=m.html" + table_defaults +
           " skip=m.html escape=2 output-dir=" + start() + "/out link-base="},
      {"one page per folder keeps the bare name", with([](listing_options& o) {
         o.per_folder = true;
         o.output = "list.html";
         o.depth = 2;
       }),
       "path=" + music + " save=list.html format=" + table +
           " depth=2 one-file=0 recursive=4 order=5 desc=0 include=* skip=list.html escape=2 "
           "output-dir= link-base="},
      {"sorting, filters, sizes, empty folders, links, overwrite, thumbnails",
       with([](listing_options& o) {
         o.sort = 3;
         o.reverse = true;
         o.include = "*.mp3";
         o.exclude = "*.tmp";
         o.sizes = true;
         o.hide_empty = true;
         o.link_base = "https://x.org/m/";
         o.overwrite = true;
         o.thumbnails = true;
       }),
       "path=" + music + " save=index.html format=" + table +
           " depth=-1 one-file=1 recursive=7 order=3 desc=1 include=*.mp3 skip=*.tmp escape=2 "
           "output-dir= link-base=https://x.org/m/ overwrite thumbnails"},
  };
  for (const auto& c : cases) {
    html_list_project project;
    const outcome made = make(c.options, project);
    ASSERT_TRUE(made.ok()) << c.what << ": " << made.message();
    EXPECT_EQ(dump(project.settings), c.expected) << c.what;
  }
}

TEST_F(FolderListing, AStyleThatIsNeitherAStyleNorAFileFails) {
  const struct {
    const char* style;
    std::string message;
  } cases[] = {
      {"Detailed tabel", "No style \"Detailed tabel\" in " + program() +
                             "templates.txt and no template file " + start() +
                             "/Detailed tabel; did you mean \"Detailed table\"? (--list-styles "
                             "names the styles)"},
      {"Gallery", "No style \"Gallery\" in " + program() + "templates.txt and no template file " +
                      start() + "/Gallery (--list-styles names the styles)"},
  };
  for (const auto& c : cases) {
    listing_options options;
    options.style = c.style;
    html_list_project project;
    const outcome made = make(options, project);
    EXPECT_EQ(made.code(), 1) << c.style;
    EXPECT_EQ(made.message(), c.message) << c.style;
  }
}

TEST_F(FolderListing, AMissingCatalogMattersOnlyWhenAStyleIsNeeded) {
  std::remove(folder_.at("program/templates.txt").c_str());
  listing_options options;
  html_list_project project;
  const outcome made = make(options, project);
  EXPECT_EQ(made.code(), 1);
  EXPECT_EQ(made.message(), "Can't open source file: " + program() + "templates.txt");
  options.style = "mine.html";
  EXPECT_TRUE(make(options, project).ok());
  EXPECT_EQ(project.settings.format_file, start() + "/mine.html");
}

}  // namespace
}  // namespace dirscribe
