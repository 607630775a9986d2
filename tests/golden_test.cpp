// Golden listings: a fixed tree listed through a template that prints nearly
// every variable, under three projects, compared byte for byte with
// tests/golden/listing-expected.txt. Whatever makes the batch run faster must
// leave this text as it is. Set DIRSCRIBE_UPDATE_GOLDEN=1 to rewrite the file
// after a deliberate change of the output.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"

namespace dirscribe::testing {
namespace {

const std::string kGoldenDir = std::string(DIRSCRIBE_SOURCE_DIR) + "tests/golden/";

struct fixed_file {
  const char* path;
  std::string content;
  time_t mtime;
};

void set_mtime(const std::string& path, time_t mtime) {
  const timespec times[2] = {{mtime, 0}, {mtime, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Files of every kind the listing treats apart: markup characters, UTF-8 and
// invalid bytes in names, upper-case extensions, hidden files, sizes on both
// sides of the unit steps, an HTML title, files the filters drop.
void make_tree(const std::string& root) {
  const std::vector<fixed_file> files = {
      {"a&b <c>.txt", "ampersand", 1704164645},
      {"caf\xC3\xA9.html", "<html><head><title>Caf&eacute; &amp; more</title></head></html>",
       1577836800},
      {"\xE6\x97\xA5\xE6\x9C\xAC.md", "# nihon\n", 1262304000},
      {"UPPER.TXT", std::string(1023, 'u'), 951782400},
      {"space name.bin", std::string(1024, 's'), 951868799},
      {".hidden", "h", 1000000000},
      {"bad\xFF.txt", "bad byte", 1111111111},
      {"index.html", "skipped by the filter", 1200000000},
      {"scratch.tmp", "skipped by the filter", 1200000000},
      {"large.bin", std::string(1048577, 'L'), 1300000000},
      {"noext", "", 1400000000},
      {"sub/inner.txt", std::string(70000, 'i'), 1500000000},
      {"sub/deeper/leaf.MD", "leaf", 1600000000},
      {"sub/deeper/100%.txt", "percent", 1650000000},
      {"Zeta/z.html", "<title>Zeta</title>", 1700000000},
  };
  for (const char* folder : {"sub", "sub/deeper", "Zeta", "empty", "empty/also empty"}) {
    ASSERT_EQ(mkdir((root + "/" + folder).c_str(), 0755), 0) << folder;
  }
  for (const fixed_file& file : files) {
    std::ofstream out(root + "/" + file.path, std::ios::binary);
    out << file.content;
    out.close();
    ASSERT_TRUE(out) << file.path;
    set_mtime(root + "/" + file.path, file.mtime);
  }
  ASSERT_EQ(symlink("sub", (root + "/link to sub").c_str()), 0);
  ASSERT_EQ(symlink("noext", (root + "/link to noext").c_str()), 0);
  // Folders last: creating their entries moved their times.
  const time_t folder_times[] = {1420070400, 1451606400, 1483228800, 1514764800, 1546300800};
  int i = 0;
  for (const char* folder : {"sub/deeper", "sub", "Zeta", "empty/also empty", "empty"}) {
    set_mtime(root + "/" + folder, folder_times[i++]);
  }
}

struct golden_project {
  const char* name;
  const char* settings;
};

// Three projects over the same tree: every URL escape and size unit mode,
// recursive sizes with and without empty folders, several sort keys, both
// sort directions, a depth limit and the subfolders-after-the-level order.
const golden_project kProjects[] = {
    {"escaped-automatic",
     "<recursion_depth>-1</recursion_depth><recursive_options>3</recursive_options>"
     "<url_escape>2</url_escape><size_units>-1</size_units><order_files>1</order_files>"
     "<sort_order>0</sort_order><date_format>%Y-%m-%d %H:%M:%S</date_format>"
     "<filter><str_files_include>*</str_files_include>"
     "<str_files_skip>index.html;*.TMP</str_files_skip></filter>"},
    {"markup-kilobytes",
     "<recursion_depth>-1</recursion_depth><recursive_options>1</recursive_options>"
     "<url_escape>1</url_escape><size_units>1</size_units><order_files>3</order_files>"
     "<sort_order>1</sort_order><date_format>%d.%m.%Y %H:%M</date_format>"
     "<filter><str_files_include>*.txt;*.md;*.html;*.bin</str_files_include>"
     "<str_files_skip>index.html</str_files_skip></filter>"},
    {"plain-bytes",
     "<recursion_depth>1</recursion_depth><recursive_options>4</recursive_options>"
     "<url_escape>0</url_escape><size_units>0</size_units><order_files>5</order_files>"
     "<sort_order>0</sort_order><date_format>%j/%y %I%% %e|%F %T</date_format>"
     "<filter><str_files_include>*</str_files_include>"
     "<str_files_skip>*.tmp;index.html</str_files_skip>"
     "<str_folder_skip>empty</str_folder_skip></filter>"},
};

void replace_every(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// The program takes its locale from the environment; case changes of
// non-ASCII letters depend on it.
class fixed_locale {
 public:
  fixed_locale() {
    const char* old = std::getenv("LC_ALL");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("LC_ALL", "C.UTF-8", 1);
  }
  ~fixed_locale() {
    if (had_) {
      setenv("LC_ALL", old_.c_str(), 1);
    } else {
      unsetenv("LC_ALL");
    }
  }

 private:
  bool had_ = false;
  std::string old_;
};

TEST(GoldenListing, FixedTreeThroughEveryVariable) {
  const fixed_locale locale;
  temp_folder tree;
  temp_folder outputs;
  make_tree(tree.path());
  if (HasFatalFailure()) return;
  std::string listing;
  for (const golden_project& project : kProjects) {
    const std::string output = outputs.path() + "/" + project.name + ".html";
    // An older, longer listing in its place must leave nothing behind.
    outputs.write(std::string(project.name) + ".html",
                  "<meta name=\"generator\" content=\"Dirscribe\">" + std::string(100000, 'G'));
    outputs.write(std::string(project.name) + ".txt",
                  "<project><path>" + tree.path() + "</path><save>" + output + "</save>" +
                      "<format_file>" + kGoldenDir + "listing.html</format_file>" +
                      "<is_local_date>0</is_local_date><use_date_format>1</use_date_format>" +
                      project.settings + "</project>");
    const run_result result = run_dirscribe({outputs.path() + "/" + project.name + ".txt"});
    ASSERT_EQ(result.exit_code, 0) << project.name << ": " << result.out << result.err;
    listing += "==== " + std::string(project.name) + "\n" + read_file(output);
  }
  // The places of the tree and of the program vary from run to run.
  replace_every(listing, tree.path(), "$TREE");
  replace_every(listing, tree.path().substr(tree.path().rfind('/') + 1), "$TREE_NAME");
  replace_every(listing, DIRSCRIBE_PROGRAM_DIR, "$PROGRAM/");

  const std::string expected_path = kGoldenDir + "listing-expected.txt";
  const char* update = std::getenv("DIRSCRIBE_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(expected_path, std::ios::binary) << listing;
    GTEST_SKIP() << "rewrote " << expected_path;
  }
  const std::string expected = read_file(expected_path);
  ASSERT_FALSE(expected.empty()) << expected_path;
  if (listing != expected) {
    size_t at = 0;
    while (at < listing.size() && at < expected.size() && listing[at] == expected[at]) ++at;
    const size_t from = at > 200 ? at - 200 : 0;
    FAIL() << "listing differs from " << expected_path << " at byte " << at << "\nexpected: ..."
           << expected.substr(from, 400) << "\nactual:   ..." << listing.substr(from, 400);
  }
}

// A listing is written only into a regular file: a device at the output path
// is refused before it is opened.
TEST(GoldenListing, ListingIntoADeviceIsRefused) {
  temp_folder tree;
  tree.write("a.txt", "a");
  tree.write("project.txt", "<project><path>" + tree.path() +
                                "</path><save>/dev/null</save><format_file>" + kGoldenDir +
                                "listing.html</format_file></project>");
  const run_result result = run_dirscribe({tree.path() + "/project.txt"});
  EXPECT_EQ(result.exit_code, 1) << result.out << result.err;
  EXPECT_EQ(result.err,
            "Vostra Dirscribe 3.0: Won't write the listing into what is not a regular file: "
            "/dev/null\n");
}

}  // namespace
}  // namespace dirscribe::testing
