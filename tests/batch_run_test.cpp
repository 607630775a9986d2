// Batch builds of the assembled program on temporary folder trees: which
// output files appear, what they hold, and how every failure is reported.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"
#include "support/test_phrases.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kPrefix[] = "Vostra Dirscribe 3.0: ";

// 2024-01-02 03:04:05 UTC, the modification time of every listed file.
constexpr time_t kFileTime = 1704164645;
constexpr char kFileTimeText[] = "2024-01-02 03:04:05";

// The one line the program writes for a failure.
std::string message(const std::string& text) { return kPrefix + text + "\n"; }

// Text as it stands inside an element of a project file.
std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

using keys = std::vector<std::pair<std::string, std::string>>;

// One <project> element with the given keys, and a <filter> block when
// `filter` is not empty.
std::string project(const keys& settings, const keys& filter = {}) {
  std::string out = "<project>\n";
  for (const auto& [key, value] : settings) {
    out += "<" + key + ">" + escaped(value) + "</" + key + ">\n";
  }
  if (!filter.empty()) {
    out += "<filter>\n";
    for (const auto& [key, value] : filter) {
      out += "<" + key + ">" + escaped(value) + "</" + key + ">\n";
    }
    out += "</filter>\n";
  }
  return out + "</project>\n<!-- ******** -->\n";
}

void set_mtime(const std::string& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A tree loop printing the folder start and end passes as brackets around
// each level, and each item with its level, name and (for files) size and
// modification time; then the listing totals.
constexpr char kTreeTemplate[] =
    R"(<!--#for var="tree"--><!--#if var="folder_start"-->[<!--#echo var="rel_path"-->
<!--#else--><!--#if var="folder_end"-->]
<!--#else--><!--#echo var="level"--> <!--#echo var="name"--><!--#if var="is_folder"-->/<!--#else--> <!--#echo var="size"--> <!--#echo var="modified"--><!--#endif-->
<!--#endif--><!--#endif--><!--#endfor-->total <!--#echo var="total_files"--> files, <!--#echo var="total_folders"--> folders
)";

// The name of the listed folder, then the names its tree loop visits.
constexpr char kFolderTemplate[] =
    R"(<!--#echo var="folder_name"-->:<!--#for var="tree"--><!--#if var="is_item"--> <!--#echo var="name"--><!--#endif--><!--#endfor-->
)";

// Every item of the tree by relative path, then the listing totals.
constexpr char kPathsTemplate[] =
    R"(<!--#for var="tree"--><!--#if var="is_item"--><!--#echo var="rel_path"-->
<!--#endif--><!--#endfor-->files <!--#echo var="total_files"-->, folders <!--#echo var="total_folders"-->
)";

class BatchRun : public ::testing::Test {
 public:
  std::string at(const std::string& relative) const { return dir_.path() + "/" + relative; }
  void write(const std::string& relative, const std::string& content) const {
    dir_.write(relative, content);
  }
  void make_folder(const std::string& relative) const { fs::create_directories(at(relative)); }
  // Writes a file whose modification time is kFileTime.
  void write_dated(const std::string& relative, const std::string& content) const {
    write(relative, content);
    set_mtime(at(relative), kFileTime);
  }

  // tree/
  //   B.txt (5 bytes), a.txt (3), empty/, sub/b.txt (2), sub/deep/c.txt (1)
  void make_sample_tree() const {
    write_dated("tree/a.txt", "abc");
    write_dated("tree/B.txt", "hello");
    write_dated("tree/sub/b.txt", "12");
    write_dated("tree/sub/deep/c.txt", "1");
    make_folder("tree/empty");
  }

  // Settings every listing here shares: the template at `template_name` in
  // the test folder, names in byte order, fixed UTC dates.
  keys listing(const std::string& folder, const std::string& template_name) const {
    return {{"path", at(folder)},
            {"format_file", at(template_name)},
            {"order_files", "1"},
            {"is_local_date", "0"},
            {"date_format", "%Y-%m-%d %H:%M:%S"}};
  }

  // Writes `text` as project.txt and builds it.
  run_result build(const std::string& text) const {
    write("project.txt", text);
    return run_dirscribe({at("project.txt")});
  }

  // The content of the output file `name` of every folder below `folder`
  // (the folder itself included, as ""), by relative folder path.
  std::map<std::string, std::string> outputs(const std::string& folder,
                                             const std::string& name = "index.html") const {
    std::map<std::string, std::string> found;
    const fs::path top = at(folder);
    if (fs::exists(top / name)) found[""] = read_file((top / name).string());
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
      // A file seen through a link to a folder is the linked folder's file.
      if (entry.is_directory() && !entry.is_symlink() && fs::exists(entry.path() / name)) {
        found[entry.path().lexically_relative(top).string()] =
            read_file((entry.path() / name).string());
      }
    }
    return found;
  }

  temp_folder dir_;
};

void expect_success(const run_result& result) {
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "");
}

// ---------------------------------------------------------------------------
// One file for the whole tree.

TEST_F(BatchRun, OneFileListsTheWholeTreeToTheChosenDepth) {
  make_sample_tree();
  write("tree.html", kTreeTemplate);
  const std::string deep_item = std::string("2 c.txt 1 ") + kFileTimeText + "\n";
  const struct {
    const char* depth;
    std::string expected;
  } cases[] = {
      {"-1", std::string("[\n"
                         "0 empty/\n"
                         "[empty\n"
                         "]\n"
                         "0 sub/\n"
                         "[sub\n"
                         "1 deep/\n"
                         "[sub/deep\n") +
                 deep_item + "]\n1 b.txt 2 " + kFileTimeText + "\n]\n0 B.txt 5 " + kFileTimeText +
                 "\n0 a.txt 3 " + kFileTimeText +
                 "\n]\n"
                 "total 4 files, 3 folders\n"},
      {"1", std::string("[\n"
                        "0 empty/\n"
                        "[empty\n"
                        "]\n"
                        "0 sub/\n"
                        "[sub\n"
                        "1 deep/\n"
                        "1 b.txt 2 ") +
                kFileTimeText + "\n]\n0 B.txt 5 " + kFileTimeText + "\n0 a.txt 3 " + kFileTimeText +
                "\n]\n"
                "total 3 files, 3 folders\n"},
      {"0", std::string("[\n0 empty/\n0 sub/\n0 B.txt 5 ") + kFileTimeText + "\n0 a.txt 3 " +
                kFileTimeText + "\n]\ntotal 2 files, 2 folders\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("recursion_depth ") + c.depth);
    keys settings = listing("tree", "tree.html");
    settings.push_back({"save", at("out.html")});
    settings.push_back({"recursion_depth", c.depth});
    const run_result result = build(project(settings));
    expect_success(result);
    EXPECT_EQ(read_file(at("out.html")), c.expected);
    // Nothing is written into the listed tree when `save` is a full path.
    EXPECT_TRUE(outputs("tree").empty());
  }
}

TEST_F(BatchRun, RelativeSaveLandsInTheListedFolderAndIsNotListed) {
  make_sample_tree();
  write("tree.html", kPathsTemplate);
  keys settings = listing("tree", "tree.html");
  settings.push_back({"recursion_depth", "-1"});
  expect_success(build(project(settings)));
  // The default output name is also the default file skip mask, so the
  // listing never lists itself.
  EXPECT_EQ(outputs("tree"), (std::map<std::string, std::string>{
                                 {"",
                                  "empty\nsub\nsub/deep\nsub/deep/c.txt\nsub/b.txt\nB.txt\n"
                                  "a.txt\nfiles 4, folders 3\n"}}));
}

// ---------------------------------------------------------------------------
// One file per folder.

TEST_F(BatchRun, OneFilePerFolderCoversTheLevelsAndEachFileListsItsOwnFolder) {
  write("tree/x.txt", "x");
  write("tree/one/y.txt", "y");
  write("tree/one/two/z.txt", "z");
  write("tree/other/w.txt", "w");
  write("folder.html", kFolderTemplate);
  const std::map<std::string, std::string> all = {
      {"", "tree: one other x.txt\n"},
      {"one", "one: two y.txt\n"},
      {"one/two", "two: z.txt\n"},
      {"other", "other: w.txt\n"},
  };
  const struct {
    const char* depth;
    std::vector<std::string> folders;
  } cases[] = {
      {"0", {""}},
      {"1", {"", "one", "other"}},
      {"-1", {"", "one", "one/two", "other"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("recursion_depth ") + c.depth);
    std::map<std::string, std::string> expected;
    for (const auto& folder : c.folders) expected[folder] = all.at(folder);
    keys settings = listing("tree", "folder.html");
    settings.push_back({"subfolders_in_one_file", "0"});
    settings.push_back({"recursion_depth", c.depth});
    expect_success(build(project(settings)));
    EXPECT_EQ(outputs("tree"), expected);
    for (const auto& [folder, content] : outputs("tree")) {
      fs::remove(at("tree/" + folder + (folder.empty() ? "" : "/") + "index.html"));
    }
  }
}

TEST_F(BatchRun, FolderFilterDecidesWhichSubfoldersGetFiles) {
  write("tree/r.txt", "r");
  write("tree/keep/k.txt", "k");
  write("tree/keep/deeper/d.txt", "d");
  write("tree/keep/skipped/s.txt", "s");
  write("tree/skipme/s.txt", "s");
  write("tree/skipme/deeper/d.txt", "d");
  write("folder.html", kFolderTemplate);
  const struct {
    const char* name;
    keys filter;
    std::map<std::string, std::string> expected;
  } cases[] = {
      {"skip mask",
       {{"str_folder_skip", "skip*"}},
       {{"", "tree: keep r.txt\n"},
        {"keep", "keep: deeper k.txt\n"},
        {"keep/deeper", "deeper: d.txt\n"}}},
      {"include mask",
       {{"str_folder_include", "k*;d*"}},
       {{"", "tree: keep r.txt\n"},
        {"keep", "keep: deeper k.txt\n"},
        {"keep/deeper", "deeper: d.txt\n"}}},
      {"everything",
       {{"str_folder_include", "*"}},
       {{"", "tree: keep skipme r.txt\n"},
        {"keep", "keep: deeper skipped k.txt\n"},
        {"keep/deeper", "deeper: d.txt\n"},
        {"keep/skipped", "skipped: s.txt\n"},
        {"skipme", "skipme: deeper s.txt\n"},
        {"skipme/deeper", "deeper: d.txt\n"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    keys settings = listing("tree", "folder.html");
    settings.push_back({"subfolders_in_one_file", "0"});
    settings.push_back({"recursion_depth", "-1"});
    expect_success(build(project(settings, c.filter)));
    const auto found = outputs("tree");
    EXPECT_EQ(found, c.expected);
    for (const auto& [folder, content] : found) {
      fs::remove(at("tree/" + folder + (folder.empty() ? "" : "/") + "index.html"));
    }
  }
}

// ---------------------------------------------------------------------------
// Folder summaries.

TEST_F(BatchRun, RecursiveSizesCoverWholeSubtrees) {
  make_sample_tree();
  write(
      "sizes.html",
      R"(<!--#for var="tree"--><!--#if var="folder_start"-->[<!--#echo var="rel_path"--> <!--#echo var="tree_files"-->f <!--#echo var="tree_folders"-->d <!--#echo var="tree_size"-->
<!--#else--><!--#if var="folder_end"-->]
<!--#else--><!--#echo var="name"-->=<!--#echo var="size"-->
<!--#endif--><!--#endif--><!--#endfor-->)");
  const struct {
    const char* options;
    const char* expected;
  } cases[] = {
      {"1",
       "[ 4f 3d 11\n"
       "empty=0\n[empty 0f 0d 0\n]\n"
       "sub=3\n[sub 2f 1d 3\n"
       "deep=1\n[sub/deep 1f 0d 1\nc.txt=1\n]\n"
       "b.txt=2\n]\n"
       "B.txt=5\na.txt=3\n]\n"},
      // Without the summary a folder has no size and the tree counts are 0.
      {"0",
       "[ 0f 0d 0\n"
       "empty=\n[empty 0f 0d 0\n]\n"
       "sub=\n[sub 0f 0d 0\n"
       "deep=\n[sub/deep 0f 0d 0\nc.txt=1\n]\n"
       "b.txt=2\n]\n"
       "B.txt=5\na.txt=3\n]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("recursive_options ") + c.options);
    keys settings = listing("tree", "sizes.html");
    settings.push_back({"save", at("out.html")});
    settings.push_back({"recursion_depth", "-1"});
    settings.push_back({"recursive_options", c.options});
    expect_success(build(project(settings)));
    EXPECT_EQ(read_file(at("out.html")), c.expected);
  }
}

TEST_F(BatchRun, RecursiveSizesPerFolderCoverEachFoldersOwnSubtree) {
  make_sample_tree();
  write(
      "sizes.html",
      R"(<!--#echo var="folder_name"--> <!--#for var="tree"--><!--#if var="folder_start"--><!--#echo var="tree_files"-->f <!--#echo var="tree_size"--><!--#endif--><!--#endfor-->
)");
  keys settings = listing("tree", "sizes.html");
  settings.push_back({"subfolders_in_one_file", "0"});
  settings.push_back({"recursion_depth", "-1"});
  settings.push_back({"recursive_options", "1"});
  expect_success(build(project(settings)));
  EXPECT_EQ(outputs("tree"), (std::map<std::string, std::string>{{"", "tree 4f 11\n"},
                                                                 {"empty", "empty 0f 0\n"},
                                                                 {"sub", "sub 2f 3\n"},
                                                                 {"sub/deep", "deep 1f 1\n"}}));
}

TEST_F(BatchRun, EmptyFoldersAreLeftOutWhenSuppressed) {
  write("tree/a.txt", "a");
  write("tree/full/f.txt", "f");
  make_folder("tree/full/vacant");
  make_folder("tree/empty");
  make_folder("tree/hollow/inner");
  write("paths.html", kPathsTemplate);
  write("folder.html", kFolderTemplate);

  // One file: left out of the list and of the counts.
  keys one_file = listing("tree", "paths.html");
  one_file.push_back({"save", at("out.html")});
  one_file.push_back({"recursion_depth", "-1"});
  one_file.push_back({"recursive_options", "2"});
  expect_success(build(project(one_file)));
  EXPECT_EQ(read_file(at("out.html")), "full\nfull/f.txt\na.txt\nfiles 2, folders 1\n");

  // One file per folder: no file written into them.
  keys per_folder = listing("tree", "folder.html");
  per_folder.push_back({"subfolders_in_one_file", "0"});
  per_folder.push_back({"recursion_depth", "-1"});
  per_folder.push_back({"recursive_options", "2"});
  expect_success(build(project(per_folder)));
  EXPECT_EQ(outputs("tree"), (std::map<std::string, std::string>{{"", "tree: full a.txt\n"},
                                                                 {"full", "full: f.txt\n"}}));
}

TEST_F(BatchRun, FoldersReachedThroughLinksAreListedButNeverEntered) {
  write("tree/a.txt", "a");
  write("tree/sub/b.txt", "b");
  fs::create_directory_symlink("..", at("tree/sub/back"));  // a cycle
  fs::create_directory_symlink("sub", at("tree/alias"));
  write("paths.html", kPathsTemplate);
  write("folder.html", kFolderTemplate);
  write(
      "counts.html",
      R"(<!--#for var="tree"--><!--#if var="folder_start"--><!--#echo var="tree_files"--> files, <!--#echo var="tree_folders"--> folders
<!--#endif--><!--#endfor-->)");

  keys tree_loop = listing("tree", "paths.html");
  tree_loop.push_back({"save", at("tree.html")});
  tree_loop.push_back({"recursion_depth", "-1"});
  expect_success(build(project(tree_loop)));
  EXPECT_EQ(read_file(at("tree.html")),
            "alias\nsub\nsub/back\nsub/b.txt\na.txt\nfiles 2, folders 3\n");

  keys summary = listing("tree", "counts.html");
  summary.push_back({"save", at("counts.html.out")});
  summary.push_back({"recursive_options", "1"});
  expect_success(build(project(summary)));
  EXPECT_EQ(read_file(at("counts.html.out")), "2 files, 3 folders\n");

  keys per_folder = listing("tree", "folder.html");
  per_folder.push_back({"subfolders_in_one_file", "0"});
  per_folder.push_back({"recursion_depth", "-1"});
  expect_success(build(project(per_folder)));
  // Writing through "alias" would have replaced sub/index.html.
  EXPECT_EQ(outputs("tree"), (std::map<std::string, std::string>{{"", "tree: alias sub a.txt\n"},
                                                                 {"sub", "sub: back b.txt\n"}}));
}

// ---------------------------------------------------------------------------
// Links.

TEST_F(BatchRun, LinksEscapeNamesByUrlEscape) {
  const std::string root = dir_.path();
  if (root.find_first_not_of(
          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-._/") !=
      std::string::npos) {
    GTEST_SKIP() << "temporary folder name needs escaping itself: " << root;
  }
  write("top dir/a b&c/x y&z.txt", "x");
  write(
      "links.html",
      R"(<!--#for var="tree"--><!--#if var="is_item"--><!--#echo var="rel_url"--> <!--#echo var="url"-->
<!--#endif--><!--#endfor-->source <!--#echo var="source_url"-->
)");
  const struct {
    const char* mode;
    std::string expected;
  } cases[] = {
      // The page lies beside the listed folder: its relative links go through
      // the folder's own name, escaped like the rest.
      {"0", "top dir/a b&c/ file://" + root + "/top dir/a b&c/\n" +
                "top dir/a b&c/x y&z.txt file://" + root + "/top dir/a b&c/x y&z.txt\n" +
                "source file://" + root + "/top dir/\n"},
      {"1", "top dir/a b&amp;c/ file://" + root + "/top dir/a b&amp;c/\n" +
                "top dir/a b&amp;c/x y&amp;z.txt file://" + root +
                "/top dir/a b&amp;c/x y&amp;z.txt\n" + "source file://" + root + "/top dir/\n"},
      {"2", "top%20dir/a%20b%26c/ file://" + root + "/top%20dir/a%20b%26c/\n" +
                "top%20dir/a%20b%26c/x%20y%26z.txt file://" + root +
                "/top%20dir/a%20b%26c/x%20y%26z.txt\n" + "source file://" + root + "/top%20dir/\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("url_escape ") + c.mode);
    keys settings = listing("top dir", "links.html");
    settings.push_back({"save", at("out.html")});
    settings.push_back({"recursion_depth", "-1"});
    settings.push_back({"url_escape", c.mode});
    expect_success(build(project(settings)));
    EXPECT_EQ(read_file(at("out.html")), c.expected);
  }
}

TEST_F(BatchRun, PerFolderFilesLinkFromTheirOwnFolder) {
  write("top/a b&c/x y.txt", "x");
  write("links.html",
        R"(<!--#for var="files"--><!--#echo var="rel_url"--> <!--#echo var="url"--><!--#endfor-->
)");
  keys settings = listing("top", "links.html");
  settings.push_back({"subfolders_in_one_file", "0"});
  settings.push_back({"recursion_depth", "-1"});
  settings.push_back({"url_escape", "2"});
  expect_success(build(project(settings)));
  const auto found = outputs("top");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found.at(""), "\n");
  const std::string sub = found.at("a b&c");
  EXPECT_EQ(sub.substr(0, sub.find(' ')), "x%20y.txt");
  EXPECT_TRUE(sub.ends_with("/top/a%20b%26c/x%20y.txt\n")) << sub;
}

// ---------------------------------------------------------------------------
// Failures.

struct failure_expectation {
  std::vector<std::string> args;
  std::string cwd;                  // the starting folder; the test folder when empty
  std::string message;              // the whole of standard error
  std::vector<std::string> absent;  // paths that must not exist afterwards
};

class BatchFailure : public BatchRun {
 public:
  // Writes the project `text` into the test folder and names it.
  failure_expectation with_project(const std::string& text, std::string expected,
                                   std::vector<std::string> absent = {}) {
    write("project.txt", text);
    return {{at("project.txt")}, "", std::move(expected), std::move(absent)};
  }
  // A project listing tree/ with the paths template into `save`.
  std::string tree_project(const keys& extra, const std::string& template_name = "paths.html") {
    keys settings = listing("tree", template_name);
    for (const auto& key : extra) settings.push_back(key);
    return project(settings);
  }
  void SetUp() override {
    write("tree/a.txt", "a");
    write("paths.html", kPathsTemplate);
  }
  // The message of project.txt, which is no project file, and why.
  std::string not_a_project(const std::string& why) const {
    return message(at("project.txt") + ": " + english::kNotAProject + " " + why);
  }
};

struct failure_case {
  const char* name;
  std::function<failure_expectation(BatchFailure& test)> prepare;
};

TEST_F(BatchFailure, EachFailureNamesWhatFailedAndExitsOne) {
  const failure_case cases[] = {
      {"missing template, full path",
       [](BatchFailure& f) {
         return f.with_project(f.tree_project({}, "none.html"),
                               message(english::kCantOpenFile + f.at("none.html")),
                               {f.at("tree/index.html")});
       }},
      {"missing template, named as written with the places tried",
       [](BatchFailure& f) {
         keys settings = {{"path", f.at("tree")}, {"format_file", "templates/none-such.html"}};
         return f.with_project(
             project(settings),
             message(std::string(english::kCantOpenFile) + "templates/none-such.html (tried " +
                     f.at("templates/none-such.html") + ", " + DIRSCRIBE_PROGRAM_DIR +
                     "templates/none-such.html)"),
             {f.at("tree/index.html")});
       }},
      {"no template named at all",
       [](BatchFailure& f) {
         return f.with_project(project({{"path", f.at("tree")}}),
                               message(std::string(english::kCantOpenFile) +
                                       "(the project names no template: its format_file is empty)"),
                               {f.at("tree/index.html")});
       }},
      {"missing source folder",
       [](BatchFailure& f) {
         keys settings = f.listing("nowhere", "paths.html");
         return f.with_project(project(settings),
                               message(english::kCantOpenFolder + f.at("nowhere")),
                               {f.at("nowhere")});
       }},
      {"missing source folder, one file per folder",
       [](BatchFailure& f) {
         keys settings = f.listing("tree/nowhere", "paths.html");
         settings.push_back({"subfolders_in_one_file", "0"});
         settings.push_back({"recursion_depth", "-1"});
         return f.with_project(project(settings),
                               message(english::kCantOpenFolder + f.at("tree/nowhere")),
                               {f.at("tree/index.html")});
       }},
      {"project without a folder",
       [](BatchFailure& f) {
         // Not the root folder: a project that names no folder lists nothing.
         keys settings = {{"format_file", f.at("paths.html")}, {"save", f.at("out.html")}};
         return f.with_project(project(settings), message(english::kCantOpenFolder),
                               {f.at("out.html")});
       }},
      {"listed folder is a file",
       [](BatchFailure& f) {
         keys settings = f.listing("tree/a.txt", "paths.html");
         settings.push_back({"save", f.at("out.html")});
         return f.with_project(project(settings),
                               message(english::kCantOpenFolder + f.at("tree/a.txt")),
                               {f.at("out.html")});
       }},
      {"output folder missing",
       [](BatchFailure& f) {
         return f.with_project(f.tree_project({{"save", "no/such/out.html"}}),
                               message(english::kCantWriteFile + f.at("tree/no/such/out.html") +
                                       ": No such file or directory"),
                               {f.at("tree/no")});
       }},
      {"output is a device",
       [](BatchFailure& f) {
         return f.with_project(f.tree_project({{"save", "/dev/full"}}),
                               message(std::string(english::kOutputNotRegular) + "/dev/full"));
       }},
      {"missing project file, relative name as typed",
       [](BatchFailure&) {
         return failure_expectation{{"./no such/project.txt"},
                                    "",
                                    message("No such file or folder: ./no such/project.txt"),
                                    {}};
       }},
      {"missing project file, bare name as typed",
       [](BatchFailure&) {
         return failure_expectation{{"no-such-project.txt"},
                                    "",
                                    message("No such file or folder: no-such-project.txt"),
                                    {}};
       }},
      {"missing project file, full path",
       [](BatchFailure& f) {
         const std::string name = f.at("absent.txt");
         return failure_expectation{{name}, "", message("No such file or folder: " + name), {}};
       }},
      {"a file that is not a project",
       [](BatchFailure& f) {
         return f.with_project("<html><body><p>listing</p></body></html>\n",
                               f.not_a_project("It holds no <project> element."));
       }},
      {"an empty file",
       [](BatchFailure& f) {
         return f.with_project("", f.not_a_project("It holds no <project> element."));
       }},
      {"only empty project elements",
       [](BatchFailure& f) {
         return f.with_project("<project/>\n", f.not_a_project("Its project elements are empty."));
       }},
      {"a project element never closed",
       [](BatchFailure& f) {
         return f.with_project("<project>\n<path>x</path>\n",
                               f.not_a_project("Line: 3, column: 0 Error: unclosed tag."));
       }},
      {"a misspelt end tag",
       [](BatchFailure& f) {
         return f.with_project("<project>\n<path>x</path>\n</projet>\n",
                               f.not_a_project("Line: 3, column: 9 Error: misplaced end tag."));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    failure_expectation expect = c.prepare(*this);
    const run_result result =
        run_dirscribe(expect.args, expect.cwd.empty() ? dir_.path() : expect.cwd);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, expect.message);
    EXPECT_EQ(result.out, "");
    for (const auto& path : expect.absent) EXPECT_FALSE(fs::exists(path)) << path;
  }
}

TEST_F(BatchFailure, UnclosedBlockFailsBeforeAnyOutputFileIsCreated) {
  write("open.html", "<p>\n<!--#for var=\"tree\"--><!--#IF Var=\"Name\"-->x<!--#endif-->\n");
  for (const char* one_file : {"1", "0"}) {
    SCOPED_TRACE(std::string("subfolders_in_one_file ") + one_file);
    const run_result result =
        build(tree_project({{"subfolders_in_one_file", one_file}}, "open.html"));
    EXPECT_EQ(result.exit_code, 1);
    // The position is the end of the template, after its last line break;
    // standard error gets plain text without the message box's markup.
    EXPECT_EQ(result.err,
              message(english::plain_template_error(
                  at("open.html"), 3, 0, "This block is never closed: <!--#for var=\"tree\" -->")));
    for (const char* markup : {"<b>", "</b>", "<br>"}) {
      EXPECT_EQ(result.err.find(markup), std::string::npos) << markup;
    }
    EXPECT_FALSE(fs::exists(at("tree/index.html")));
  }
}

// A tree of folders that the user "nobody" may read and write, with one
// folder it may not enter or not write into; the build runs as that user when
// the test runs as root, since root enters and writes every folder.
TEST_F(BatchFailure, FolderThatCannotBeEnteredOrWrittenEndsTheBuild) {
  write("tree/open/o.txt", "o");
  write("tree/shut/s.txt", "s");
  make_folder("out");
  for (const char* folder : {"", "tree", "tree/open", "tree/shut", "out"}) {
    fs::permissions(at(folder), fs::perms::all);
  }
  const bool as_root = ::geteuid() == 0;
  constexpr unsigned kNobody = 65534;
  constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::owner_exec |
                                  fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec;
  const struct {
    const char* name;
    fs::perms shut_mode;
    keys settings;
    std::string expected;
  } cases[] = {
      {"tree loop",
       fs::perms::none,
       {{"save", at("out/out.html")}, {"recursion_depth", "-1"}},
       message(english::kCantOpenFolder + at("tree/shut"))},
      {"one file per folder",
       fs::perms::none,
       {{"subfolders_in_one_file", "0"}, {"recursion_depth", "-1"}},
       message(english::kCantOpenFolder + at("tree/shut"))},
      {"folder summary",
       fs::perms::none,
       {{"save", at("out/out.html")}, {"recursive_options", "1"}},
       message(english::kCantOpenFolder + at("tree/shut"))},
      {"one file per folder, read-only folder",
       kReadOnly,
       {{"subfolders_in_one_file", "0"}, {"recursion_depth", "-1"}},
       message(english::kCantWriteFile + at("tree/shut/index.html") + ": Permission denied")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(at("tree/index.html"));
    fs::remove(at("tree/open/index.html"));
    fs::permissions(at("tree/shut"), c.shut_mode);
    write("project.txt", tree_project(c.settings));
    const std::vector<std::string> args = {at("project.txt")};
    const run_result result = as_root ? run_program_as(kNobody, program_path(), args, dir_.path())
                                      : run_dirscribe(args, dir_.path());
    fs::permissions(at("tree/shut"), fs::perms::all);
    if (as_root && result.exit_code == 126) GTEST_SKIP() << "cannot run as an unprivileged user";
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, c.expected);
    EXPECT_FALSE(fs::exists(at("tree/shut/index.html")));
    // The listed folder's own file is written before any subfolder's.
    EXPECT_EQ(fs::exists(at("tree/index.html")), c.settings[0].first == "subfolders_in_one_file");
  }
}

TEST_F(BatchRun, BrokenExtensionTableStopsTheRunBeforeTheProjectIsRead) {
  // A copy of the program folder finds its data files next to its executable.
  const std::string program = at("program");
  fs::copy(DIRSCRIBE_PROGRAM_DIR, program, fs::copy_options::recursive);
  const std::string table = program + "/ext.txt";
  const struct {
    const char* name;
    const char* content;  // nullptr: no ext.txt at all
    std::string why;      // what follows the phrase, naming the table
  } cases[] = {
      {"missing", nullptr, english::kCantOpenFile + table},
      {"not markup", "<ext><extensions><_1 name=\".txt\"></ext",
       table + ": Can't read the extension table: Line: 1, column: 38 Error: unclosed tag."},
      {"no extension list",
       "<ext><types><_1 name=\"other\" icon=\"file.svg\" type=\"File\"/></types></ext>",
       table + ": The extension table has no list of extensions."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(program + "/ext.txt");
    if (c.content) write("program/ext.txt", c.content);
    // The project file does not exist either: the table is checked first.
    const run_result result = run_program(program + "/dirscribe", {"missing.txt"}, dir_.path());
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, message(english::kCantLoadExtensionTable + (" " + c.why)));
  }
}

// ---------------------------------------------------------------------------
// Project files.

TEST_F(BatchRun, FailingProjectStopsTheRunAfterTheOnesBefore) {
  make_sample_tree();
  write("tree.html", kTreeTemplate);
  keys first = listing("tree", "tree.html");
  first.push_back({"save", at("first.html")});
  first.push_back({"recursion_depth", "-1"});
  keys second = listing("tree", "missing.html");
  second.push_back({"save", at("second.html")});
  keys third = listing("tree", "tree.html");
  third.push_back({"save", at("third.html")});
  const run_result result = build(project(first) + project(second) + project(third));
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, message(english::kCantOpenFile + at("missing.html")));

  // The first file is the same as when its project is built alone.
  const std::string first_output = read_file(at("first.html"));
  EXPECT_FALSE(fs::exists(at("second.html")));
  EXPECT_FALSE(fs::exists(at("third.html")));
  fs::remove(at("first.html"));
  expect_success(build(project(first)));
  EXPECT_EQ(read_file(at("first.html")), first_output);
  EXPECT_NE(first_output.find("total 4 files, 3 folders\n"), std::string::npos) << first_output;
}

TEST_F(BatchRun, RelativeProjectNameIsLookedForInTheStartingFolderThenTheProgramFolder) {
  write("tree/a.txt", "a");
  write("paths.html", kPathsTemplate);
  const std::string program = at("program");
  fs::copy(DIRSCRIBE_PROGRAM_DIR, program, fs::copy_options::recursive);
  make_folder("start/sub");
  auto project_saving_to = [&](const std::string& output) {
    keys settings = listing("tree", "paths.html");
    settings.push_back({"save", at(output)});
    return project(settings);
  };
  write("program/listing.txt", project_saving_to("from-program.html"));
  write("program/sub/listing.txt", project_saving_to("from-program-sub.html"));
  write("start/listing.txt", project_saving_to("from-start.html"));
  write("start/sub/listing.txt", project_saving_to("from-start-sub.html"));
  write("start/my dir/my listing.txt", project_saving_to("from-start-blank.html"));
  const std::string binary = program + "/dirscribe";
  const std::string start = at("start");

  const struct {
    const char* typed;
    const char* remove_first;  // a project file removed before the run
    const char* output;
  } cases[] = {
      {"listing.txt", nullptr, "from-start.html"},
      {"sub/listing.txt", nullptr, "from-start-sub.html"},
      {"my dir/my listing.txt", nullptr, "from-start-blank.html"},
      {"listing.txt", "start/listing.txt", "from-program.html"},
      {"sub/listing.txt", "start/sub/listing.txt", "from-program-sub.html"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    if (c.remove_first) fs::remove(at(c.remove_first));
    expect_success(run_program(binary, {c.typed}, start));
    for (const char* output : {"from-start.html", "from-start-sub.html", "from-start-blank.html",
                               "from-program.html", "from-program-sub.html"}) {
      EXPECT_EQ(fs::exists(at(output)), std::string(output) == c.output) << output;
      fs::remove(at(output));
    }
  }
}

TEST_F(BatchRun, RelativeNamesInAProjectResolveInItsFolderAndTemplatesAlsoInTheProgramFolder) {
  const std::string program = at("program");
  fs::copy(DIRSCRIBE_PROGRAM_DIR, program, fs::copy_options::recursive);
  for (const std::string place : {"start", "program"}) {
    write(place + "/mine/paths.html",
          place + " <!--#echo var=\"source_path\"-->\n" + kPathsTemplate);
    write(place + "/tree/" + place + ".txt", "x");
  }
  // `format_file` from the project's folder, else the program folder; `path`
  // from the project's folder only; `save` in the listed folder.
  write("start/listing.txt", project({{"path", "tree/"},
                                      {"format_file", "mine/paths.html"},
                                      {"save", "../list.html"},
                                      {"order_files", "1"}}));
  make_folder("elsewhere");
  const struct {
    const char* removed;         // what the project's folder no longer holds
    const char* template_place;  // where the template resolves
  } cases[] = {
      {nullptr, "start"},
      {"start/mine", "program"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.template_place);
    if (c.removed) fs::remove_all(at(c.removed));
    expect_success(run_program(program + "/dirscribe", {at("start/listing.txt")}, at("elsewhere")));
    EXPECT_EQ(read_file(at("start/list.html")), std::string(c.template_place) + " " +
                                                    at("start/tree") +
                                                    "\nstart.txt\nfiles 1, folders 0\n");
    EXPECT_FALSE(fs::exists(at("program/list.html")));
  }
}

// Every file under `folder`, by its path there, in a stable order.
std::vector<std::string> files_under(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files.push_back(fs::relative(entry.path(), folder).string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A project beside a tree that lacks the folders it names must not find them
// in the program folder, which holds a templates/ and an images/ of its own:
// the run would list the program's icons and replace its bundled style.
TEST_F(BatchRun, FoldersOfAProjectNeverResolveIntoTheProgramFolder) {
  const std::string program = at("program");
  fs::copy(DIRSCRIBE_PROGRAM_DIR, program, fs::copy_options::recursive);
  ASSERT_TRUE(fs::is_directory(program + "/images"));
  const std::vector<std::string> files_before = files_under(program);
  const std::string table_before = read_file(program + "/templates/table.html");
  ASSERT_FALSE(table_before.empty());
  write("start/listing.txt", project({{"path", "images"},
                                      {"output_dir", "templates"},
                                      {"format_file", "templates/table.html"},
                                      {"save", "table.html"}}));
  make_folder("elsewhere");
  const run_result result =
      run_program(program + "/dirscribe", {at("start/listing.txt")}, at("elsewhere"));
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, message(english::kCantOpenFolder + at("start/images")));
  EXPECT_EQ(files_under(program), files_before);
  EXPECT_EQ(read_file(program + "/templates/table.html"), table_before);
}

// A file of 800,000 projects is refused, and whatever allocation fails first
// under a small memory limit, the run ends with one message and status 1,
// never with an abort.
TEST_F(BatchRun, RunningOutOfMemoryEndsTheRunWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  std::string text;
  for (int i = 0; i < 800000; ++i) text += "<project> </project>";
  write("many.txt", text);
  const run_result unlimited = run_dirscribe({at("many.txt")});
  EXPECT_EQ(unlimited.exit_code, 1);
  EXPECT_EQ(
      unlimited.err,
      message(at("many.txt") + ": It holds 800000 projects; a project file holds at most 1000."));
  for (const char* kilobytes : {"120000", "200000", "300000"}) {
    SCOPED_TRACE(kilobytes);
    const run_result limited = run_program(
        "/bin/sh", {"-c", std::string("ulimit -v ") + kilobytes + " && exec \"$0\" \"$@\"",
                    program_path(), at("many.txt")});
    EXPECT_EQ(limited.exit_code, 1) << limited.err;
    EXPECT_TRUE(limited.err.starts_with(kPrefix)) << limited.err;
    EXPECT_EQ(std::count(limited.err.begin(), limited.err.end(), '\n'), 1) << limited.err;
  }
}

TEST_F(BatchRun, ProjectFilesAreBuiltInOrderUntilOneFails) {
  write("tree/a.txt", "a");
  write("paths.html", kPathsTemplate);
  for (const char* name : {"first", "second", "third"}) {
    keys settings = listing("tree", "paths.html");
    settings.push_back({"save", at(std::string(name) + ".html")});
    write(std::string(name) + ".txt", project(settings));
  }
  keys broken = listing("tree", "missing.html");
  broken.push_back({"save", at("broken.html")});
  write("broken.txt", project(broken));
  const struct {
    std::vector<std::string> files;  // the project files, by name in the test folder
    int exit_code;
    std::vector<std::string> written;  // the listings there afterwards
    std::string err;
  } cases[] = {
      {{"first.txt", "second.txt", "third.txt"}, 0, {"first", "second", "third"}, ""},
      {{"third.txt", "first.txt"}, 0, {"first", "third"}, ""},
      {{"first.txt", "broken.txt", "third.txt"},
       1,
       {"first"},
       message(english::kCantOpenFile + at("missing.html"))},
      {{"first.txt", "absent.txt", "second.txt"},
       1,
       {"first"},
       message("No such file or folder: " + at("absent.txt"))},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (const std::string& file : c.files) args.push_back(at(file));
    SCOPED_TRACE(::testing::PrintToString(c.files));
    const run_result result = run_dirscribe(args);
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_EQ(result.err, c.err);
    for (const char* name : {"first", "second", "third", "broken"}) {
      const std::string output = at(std::string(name) + ".html");
      const bool expected = std::find(c.written.begin(), c.written.end(), name) != c.written.end();
      EXPECT_EQ(fs::exists(output), expected) << name;
      if (expected) {
        EXPECT_EQ(read_file(output), "a.txt\nfiles 1, folders 0\n");
      }
      fs::remove(output);
    }
  }
}

TEST_F(BatchRun, TwoRunsOnTheSameTreeWriteTheSameBytes) {
  make_sample_tree();
  write("tree/sub/a b&c.txt", "amp");
  write("all.html",
        R"(<h1><!--#echoe var="source_path"--> <!--#echo var="folder_name"--></h1>
<!--#for var="tree"--><!--#if var="is_item"--><!--#echo var="level"--> <a href="<!--#echoe var="url"-->"><!--#echoe var="name"--></a> <!--#echo var="size"--> <!--#echo var="tree_size"--> <!--#echoe var="type"--> <!--#echo var="icon"--><!--#if var="is_folder"--><!--#else--> <!--#echo var="modified"--><!--#endif-->
<!--#endif--><!--#endfor--><!--#echo var="total_files"--> <!--#echo var="total_size"-->
)");
  for (const char* one_file : {"1", "0"}) {
    SCOPED_TRACE(std::string("subfolders_in_one_file ") + one_file);
    keys settings = listing("tree", "all.html");
    settings.push_back({"subfolders_in_one_file", one_file});
    settings.push_back({"recursion_depth", "-1"});
    settings.push_back({"recursive_options", "1"});
    settings.push_back({"url_escape", "2"});
    expect_success(build(project(settings)));
    const auto first = outputs("tree");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.size(), std::string(one_file) == "1" ? 1u : 4u);
    expect_success(build(project(settings)));
    EXPECT_EQ(outputs("tree"), first);
    EXPECT_NE(first.at("").find("<a href=\"file://"), std::string::npos) << first.at("");
    for (const auto& [folder, content] : first) {
      fs::remove(at("tree/" + folder + (folder.empty() ? "" : "/") + "index.html"));
    }
  }
}

}  // namespace
}  // namespace dirscribe::testing
