// Output safety and links, tried as a hostile tree and a careless user would:
// planted links and FIFOs at output paths, a run pointed at its own inputs,
// names that look like URLs, a listing that would list itself, files that
// cannot be read as regular files, and texts that grow without end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "abuse_helpers.h"
#include "run_program.h"
#include "support/test_phrases.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;
using keys = std::vector<std::pair<std::string, std::string>>;

// One record per entry of the listed folder, with the texts these tests read.
constexpr char kEntryTemplate[] =
    "<!--#for var=\"files\"--><e><n><!--#echoe var=\"name\"--></n>"
    "<r><!--#echoe var=\"rel_url\"--></r><u><!--#echoe var=\"url\"--></u>"
    "<m><!--#echo var=\"md5\"--></m><s><!--#echo var=\"sha1\"--></s>"
    "<t><!--#echo var=\"title\"--></t></e>\n<!--#endfor-->"
    "<!--#for var=\"folders\"--><f><!--#echoe var=\"rel_url\"--></f>\n<!--#endfor-->";

class OutputSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_ = work_.path() + "/tree";
    outside_ = work_.path() + "/outside";
    fs::create_directories(tree_ + "/sub");
    fs::create_directories(outside_);
    work_.write("tree/a.txt", "a");
    work_.write("tree/sub/b.txt", "b");
    work_.write("template.html", kEntryTemplate);
  }

  // Runs one project over the tree; `extra` keys come last and win, and
  // `filter` is put in as it stands.
  limited_result run(const keys& extra, const run_options& options = {},
                     const std::string& filter = "") {
    keys all = {
        {"path", tree_}, {"format_file", work_.path() + "/template.html"}, {"order_files", "1"}};
    all = with_keys(std::move(all), extra);
    std::string text = project_text(all);
    text.insert(text.rfind("</project>"), filter);
    work_.write("project.txt", text);
    return run_limited({work_.path() + "/project.txt"}, options);
  }

  // The texts between `open` and `close` of the listing at `path`.
  static std::vector<std::string> texts(const std::string& path, const std::string& open,
                                        const std::string& close) {
    return pieces_between(read_file(path), open, close);
  }

  temp_folder work_;
  std::string tree_;
  std::string outside_;
};

// Links, FIFOs and devices at an output path are refused, naming the path;
// nothing outside the output files is created or changed, in both modes.
TEST_F(OutputSafety, PlantedLinksAndSpecialFilesAtTheOutputAreRefused) {
  const std::string victim = outside_ + "/victim.txt";
  const std::string created = outside_ + "/created.html";
  work_.write("outside/victim.txt", "precious");
  const struct {
    const char* what;
    std::function<void(const std::string& at)> plant;
    const char* message;
  } cases[] = {
      {"link to a file outside", [&](const std::string& at) { fs::create_symlink(victim, at); },
       english::kOutputIsLink},
      {"dangling link", [&](const std::string& at) { fs::create_symlink(created, at); },
       english::kOutputIsLink},
      {"FIFO", [](const std::string& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0); },
       english::kOutputNotRegular},
      {"folder", [](const std::string& at) { fs::create_directory(at); },
       english::kOutputNotRegular},
  };
  for (const auto& c : cases) {
    for (const bool per_folder : {true, false}) {
      SCOPED_TRACE(std::string(c.what) + (per_folder ? ", one file per folder" : ", one file"));
      const std::string at = tree_ + "/sub/index.html";
      c.plant(at);
      const limited_result result =
          per_folder ? run({{"subfolders_in_one_file", "0"}, {"recursion_depth", "-1"}})
                     : run({{"save", at}});
      EXPECT_FALSE(result.hung);
      EXPECT_EQ(result.exit_code, 1);
      EXPECT_TRUE(is_one_message(result.err, c.message + at)) << result.err;
      EXPECT_EQ(read_file(victim), "precious");
      EXPECT_FALSE(fs::exists(created));
      fs::remove_all(at);
      fs::remove(tree_ + "/index.html");
    }
  }
}

// The project file, the template, the extension table and the catalog are
// never written over, whatever path names them.
TEST_F(OutputSafety, OutputThatIsAnInputOfTheRunIsRefused) {
  program_copy program;
  run_options options;
  options.program = program.binary();
  const std::vector<std::string> inputs = {
      work_.path() + "/project.txt",
      work_.path() + "/../" + fs::path(work_.path()).filename().string() + "/template.html",
      program.dir() + "ext.txt",
      program.dir() + "templates.txt",
  };
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input);
    const std::string before = read_file(input);
    const limited_result result = run({{"save", input}}, options);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_TRUE(is_one_message(result.err, english::kOutputIsInput + input)) << result.err;
    // The project file is written anew for every run; the others must not change.
    if (input.find("project.txt") == std::string::npos) {
      EXPECT_EQ(read_file(input), before);
    }
  }
}

// One file per folder with a save that names a folder would write every page
// over the same file: refused before anything is written.
TEST_F(OutputSafety, OneFilePerFolderNeedsABareFileName) {
  const std::string saves[] = {outside_ + "/listing.html", "sub/listing.html"};
  for (const std::string& save : saves) {
    SCOPED_TRACE(save);
    const limited_result result = run({{"subfolders_in_one_file", "0"}, {"save", save}});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, std::string("Vostra Dirscribe 3.0: ") + english::kOutputNameHasFolder +
                              " (" + save + ")\n");
    EXPECT_TRUE(fs::is_empty(outside_));
    EXPECT_FALSE(fs::exists(tree_ + "/sub/listing.html"));
  }
}

// Under url_escape 1 names are escaped once, as code points; a relative link
// whose first segment holds ":" never reads as a scheme, under 0 and 1.
TEST_F(OutputSafety, LinksAreEscapedOnceAndNeverBecomeASchemeLink) {
  work_.write("tree/a&b.txt", "x");
  work_.write("tree/\xC3\xA9.txt", "x");
  work_.write("tree/javascript:alert(document.domain)", "x");
  work_.write("tree/mailto:x/c.txt", "x");
  // In the listed folder, so that the links start with the names themselves.
  const std::string listing = work_.path() + "/tree/listing.html";
  const struct {
    const char* mode;
    std::vector<std::string> file_links;
    std::vector<std::string> folder_links;
  } cases[] = {
      {"0",
       {"a&amp;b.txt", "a.txt", "./javascript:alert(document.domain)", "&#233;.txt"},
       {"./mailto:x/", "sub/"}},
      {"1",
       {"a&amp;b.txt", "a.txt", "./javascript:alert(document.domain)", "&#233;.txt"},
       {"./mailto:x/", "sub/"}},
      {"2",
       {"a%26b.txt", "a.txt", "javascript%3Aalert%28document.domain%29", "%C3%A9.txt"},
       {"mailto%3Ax/", "sub/"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("url_escape ") + c.mode);
    const limited_result result = run({{"save", listing}, {"url_escape", c.mode}});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(texts(listing, "<r>", "</r>"), c.file_links);
    EXPECT_EQ(texts(listing, "<f>", "</f>"), c.folder_links);
    // The absolute link of a name is the folder's link and the same text.
    const std::vector<std::string> absolute = texts(listing, "<u>", "</u>");
    ASSERT_EQ(absolute.size(), 4u);
    EXPECT_NE(absolute[0].find("a" + std::string(c.mode[0] == '2' ? "%26" : "&amp;") + "b.txt"),
              std::string::npos)
        << absolute[0];
  }
}

// Without a skip mask of its own a project leaves out its own output, not
// every index.html; and the output is never listed, whatever the masks.
TEST_F(OutputSafety, TheListingNeverListsItsOwnOutput) {
  // An earlier listing's page (so the per-folder run may replace it).
  work_.write("tree/index.html", "<meta name=\"generator\" content=\"Dirscribe\"><title>p</title>");
  work_.write("tree/sub/index.html", "<meta name=\"generator\" content=\"Dirscribe\">");
  const std::string empty_skip = "<filter><str_files_skip></str_files_skip></filter>\n";
  const keys per_folder = {{"subfolders_in_one_file", "0"}, {"recursion_depth", "-1"}};
  const struct {
    const char* what;
    keys extra;
    std::string filter;
    std::vector<std::string> names;
  } cases[] = {
      {"save listing.html, no filter block",
       {{"save", "listing.html"}},
       "",
       {"a.txt", "index.html"}},
      {"an empty skip mask", {{"save", "listing.html"}}, empty_skip, {"a.txt", "index.html"}},
      {"one file per folder, an empty skip mask", per_folder, empty_skip, {"a.txt"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // The second run finds the first one's output in the tree.
    for (int pass = 0; pass < 2; ++pass) ASSERT_EQ(run(c.extra, {}, c.filter).exit_code, 0);
    const std::string page = tree_ + "/" + (c.extra == per_folder ? "index.html" : "listing.html");
    EXPECT_EQ(texts(page, "<n>", "</n>"), c.names);
    fs::remove(tree_ + "/listing.html");
  }
  // Subtree counts leave the pages out too.
  work_.write(
      "template.html",
      "<!--#for var=\"files\"--><!--#if var=\"row\"--><!--#else--><t><!--#echo "
      "var=\"tree_files\"--></t><!--#endif--><n><!--#echo var=\"name\"--></n><!--#endfor-->");
  keys sizes = per_folder;
  sizes.emplace_back("recursive_options", "1");
  ASSERT_EQ(run(sizes, {}, empty_skip).exit_code, 0);
  EXPECT_EQ(read_file(tree_ + "/index.html"), "<t>2</t><n>a.txt</n>");
  EXPECT_EQ(read_file(tree_ + "/sub/index.html"), "<t>1</t><n>b.txt</n>");
}

// What cannot be read as a regular file has an empty digest and title, and
// the run goes on; a title stops at 4,096 bytes; a long date prints in full.
TEST_F(OutputSafety, UnreadableEntriesLongTitlesAndLongDates) {
  fs::create_symlink(outside_ + "/gone.txt", tree_ + "/dangling");
  work_.write("tree/long.html", "<title>" + std::string(10000, 'A') + "</title>");
  {
    // An unclosed title in a large sparse file must not be read to its end.
    std::ofstream(tree_ + "/sparse.html") << "<title>" << std::string(5000, 'B');
    fs::resize_file(tree_ + "/sparse.html", 256ull << 20);
  }
  const std::string listing = work_.path() + "/listing.html";
  limited_result result = run({{"save", listing}});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::vector<std::string> names = texts(listing, "<n>", "</n>");
  const std::vector<std::string> md5 = texts(listing, "<m>", "</m>");
  const std::vector<std::string> sha1 = texts(listing, "<s>", "</s>");
  const std::vector<std::string> titles = texts(listing, "<t>", "</t>");
  ASSERT_EQ(names, (std::vector<std::string>{"a.txt", "dangling", "long.html", "sparse.html"}));
  EXPECT_EQ(md5[1], "");
  EXPECT_EQ(sha1[1], "");
  EXPECT_EQ(titles[1], "");
  EXPECT_EQ(md5[0], "0CC175B9C0F1B6A831C399E269772661");
  EXPECT_EQ(titles[2], std::string(4096, 'A'));
  EXPECT_EQ(titles[3], std::string(4096, 'B'));

  work_.write("template.html",
              "<!--#for var=\"files\"--><d><!--#echo var=\"modified\"--></d><!--#endfor-->");
  const std::string long_format = std::string(300, '-') + "%Y";
  result = run({{"save", listing}, {"date_format", long_format}, {"is_local_date", "0"}});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  for (const std::string& date : texts(listing, "<d>", "</d>")) {
    EXPECT_EQ(date.size(), 304u) << date;
  }
}

// In the per-folder styles a folder reached through a symbolic link, which
// gets no page of its own, links to the folder itself.
TEST_F(OutputSafety, LinkedFolderInPerFolderStyleLinksToTheFolder) {
  fs::create_directory_symlink(outside_, tree_ + "/elsewhere");
  const std::string style = std::string(DIRSCRIBE_PROGRAM_DIR) + "templates/folder-index.html";
  const limited_result result = run({{"format_file", style},
                                     {"subfolders_in_one_file", "0"},
                                     {"recursion_depth", "-1"},
                                     {"url_escape", "2"}});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string page = read_file(tree_ + "/index.html");
  EXPECT_NE(page.find("href=\"elsewhere/\""), std::string::npos);
  EXPECT_NE(page.find("href=\"sub/index.html\""), std::string::npos);
  EXPECT_FALSE(fs::exists(outside_ + "/index.html"));
}

}  // namespace
}  // namespace dirscribe::testing
