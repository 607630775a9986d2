// The command line of the assembled program: every option alone and with
// another, the project file a listing saves, standard output, usage errors,
// failures and the warnings about project files.
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "abuse_helpers.h"
#include "core/byte_string.h"
#include "engine/project_context.h"
#include "platform/user_data.h"
#include "run_program.h"
#include "support/test_phrases.h"
#include "template/template_catalog.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kPrefix[] = "Vostra Dirscribe 3.0: ";

// The usage lines and the hint that follow a usage error's message.
constexpr char kUsageTail[] =
    "Usage: dirscribe [OPTION]... FOLDER\n"
    "  or:  dirscribe [-q] [--strict] PROJECT-FILE...\n"
    "  or:  dirscribe                   (opens the wizard)\n"
    "Try 'dirscribe --help' for more information.\n";

// Each item of the tree with its path, a folder's size (with subtree sizes)
// and its link.
constexpr char kPathsTemplate[] =
    R"(<!--#for var="tree"--><!--#if var="is_item"--><!--#echo var="rel_path"--><!--#if var="is_folder"-->/ <!--#echo var="size"--><!--#endif--> <!--#echo var="rel_url"-->
<!--#endif--><!--#endfor-->)";

// A fixed moment for `now`, so two runs over one tree write the same bytes.
const std::vector<std::string> kFixedNow = {"SOURCE_DATE_EPOCH=1700000000"};

void set_mtime(const std::string& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

class Cli : public ::testing::Test {
 public:
  std::string at(const std::string& relative) const { return dir_.at(relative); }

  // tree/
  //   A.md (5 bytes), b.txt (2), empty/, sub/c.txt (1), sub/deep/d.txt (3)
  // with the folders and the files of the top dated apart, oldest first:
  // empty, b.txt, A.md, sub.
  void SetUp() override {
    dir_.write("tree/A.md", "aaaaa");
    dir_.write("tree/b.txt", "bb");
    dir_.write("tree/sub/c.txt", "c");
    dir_.write("tree/sub/deep/d.txt", "ddd");
    dir_.make_folder("tree/empty");
    dir_.write("paths.html", kPathsTemplate);
    set_mtime(at("tree/b.txt"), 2000);
    set_mtime(at("tree/A.md"), 3000);
    set_mtime(at("tree/sub/c.txt"), 5000);
    set_mtime(at("tree/sub/deep/d.txt"), 6000);
    date_folders();
  }

  // Writing a page into a folder dates it anew: dates them as they were made.
  void date_folders() const {
    set_mtime(at("tree/empty"), 1000);
    set_mtime(at("tree/sub"), 4000);
    set_mtime(at("tree/sub/deep"), 7000);
    set_mtime(at("tree"), 8000);
  }

  // Runs dirscribe in the test folder with a fixed present moment.
  limited_result run(const std::vector<std::string>& args) const {
    run_options options;
    options.environment = kFixedNow;
    options.cwd = dir_.path();
    return run_limited(args, options);
  }

  // The listings named `name` in the folders of the tree, by folder.
  std::map<std::string, std::string> pages(const std::string& name = "index.html") const {
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(at("tree"))) {
      if (entry.path().filename() == name) {
        found[entry.path().parent_path().lexically_relative(at("tree")).string()] =
            read_file(entry.path().string());
      }
    }
    return found;
  }
  void remove_pages(const std::string& name = "index.html") const {
    for (const auto& [folder, content] : pages(name)) fs::remove(at("tree/" + folder + "/" + name));
    date_folders();
  }

  // The names --list-styles prints, in order.
  std::vector<std::string> style_names() const {
    const limited_result styles = run({"--list-styles"});
    EXPECT_EQ(styles.exit_code, 0) << styles.err;
    std::vector<std::string> names;
    for (size_t start = 0; start < styles.out.size();) {
      const size_t end = styles.out.find('\n', start);
      names.push_back(styles.out.substr(start, end - start));
      start = end + 1;
    }
    return names;
  }

  temp_folder dir_;
};

// ---------------------------------------------------------------------------
// Every option alone and with another.

TEST_F(Cli, EveryOptionAloneAndWithAnother) {
  const std::string top =
      "empty/  empty/\n"
      "sub/  sub/\n"
      "A.md A.md\n"
      "b.txt b.txt\n";
  const std::string whole =
      "empty/  empty/\n"
      "sub/  sub/\n"
      "sub/deep/  sub/deep/\n"
      "sub/deep/d.txt sub/deep/d.txt\n"
      "sub/c.txt sub/c.txt\n"
      "A.md A.md\n"
      "b.txt b.txt\n";
  const std::string base = "https://files.example.org/pub/";
  // The same lines as a page elsewhere links them: `way` before every link.
  const auto from = [](const std::string& way, const std::string& lines) {
    std::string out;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
      const size_t link = line.rfind(' ') + 1;
      out += line.substr(0, link) + way + line.substr(link) + "\n";
    }
    return out;
  };
  const struct {
    const char* name;
    std::vector<std::string> options;            // after "-s paths.html tree"
    std::map<std::string, std::string> written;  // by path in the test folder; "-": standard output
  } cases[] = {
      {"the template alone", {}, {{"tree/index.html", top}}},
      {"-d -1", {"-d", "-1"}, {{"tree/index.html", whole}}},
      {"--depth 1",
       {"--depth", "1"},
       {{"tree/index.html",
         "empty/  empty/\nsub/  sub/\nsub/deep/  sub/deep/\nsub/c.txt sub/c.txt\nA.md A.md\n"
         "b.txt b.txt\n"}}},
      {"--sort date",
       {"--sort", "date"},
       {{"tree/index.html", "empty/  empty/\nsub/  sub/\nb.txt b.txt\nA.md A.md\n"}}},
      {"--reverse",
       {"--reverse"},
       {{"tree/index.html", "b.txt b.txt\nA.md A.md\nsub/  sub/\nempty/  empty/\n"}}},
      {"--sort date with --reverse",
       {"--sort", "date", "--reverse"},
       {{"tree/index.html", "A.md A.md\nb.txt b.txt\nsub/  sub/\nempty/  empty/\n"}}},
      {"--include",
       {"--include", "*.txt"},
       {{"tree/index.html", "empty/  empty/\nsub/  sub/\nb.txt b.txt\n"}}},
      {"--exclude",
       {"--exclude", "*.TXT"},
       {{"tree/index.html", "empty/  empty/\nsub/  sub/\nA.md A.md\n"}}},
      {"--include with --exclude and -d",
       {"--include", "*.txt", "--exclude", "c*", "-d", "-1"},
       {{"tree/index.html",
         "empty/  empty/\nsub/  sub/\nsub/deep/  sub/deep/\nsub/deep/d.txt sub/deep/d.txt\n"
         "b.txt b.txt\n"}}},
      {"--sizes",
       {"--sizes"},
       {{"tree/index.html", "empty/ 0 empty/\nsub/ 4 sub/\nA.md A.md\nb.txt b.txt\n"}}},
      {"--sizes with --sort size",
       {"--sizes", "--sort", "size"},
       {{"tree/index.html", "empty/ 0 empty/\nsub/ 4 sub/\nb.txt b.txt\nA.md A.md\n"}}},
      {"--hide-empty",
       {"--hide-empty"},
       {{"tree/index.html", "sub/  sub/\nA.md A.md\nb.txt b.txt\n"}}},
      {"--hide-empty with --sizes",
       {"--hide-empty", "--sizes"},
       {{"tree/index.html", "sub/ 4 sub/\nA.md A.md\nb.txt b.txt\n"}}},
      {"--link-base",
       {"--link-base", "https://files.example.org/pub"},
       {{"tree/index.html", "empty/  " + base + "empty/\nsub/  " + base + "sub/\nA.md " + base +
                                "A.md\nb.txt " + base + "b.txt\n"}}},
      {"--per-folder", {"--per-folder"}, {{"tree/index.html", top}}},
      {"--per-folder with -d -1",
       {"--per-folder", "-d", "-1"},
       {{"tree/index.html", top},
        {"tree/empty/index.html", ""},
        {"tree/sub/index.html", "deep/  deep/\nc.txt c.txt\n"},
        {"tree/sub/deep/index.html", "d.txt d.txt\n"}}},
      {"--per-folder with --link-base: links from the listed folder",
       {"--per-folder", "-d", "1", "--link-base", base},
       {{"tree/index.html", "empty/  " + base + "empty/\nsub/  " + base + "sub/\nA.md " + base +
                                "A.md\nb.txt " + base + "b.txt\n"},
        {"tree/empty/index.html", ""},
        {"tree/sub/index.html", "deep/  " + base + "sub/deep/\nc.txt " + base + "sub/c.txt\n"}}},
      {"--per-folder with -o: the name in every folder",
       {"--per-folder", "-d", "1", "-o", "list.html"},
       {{"tree/list.html", top},
        {"tree/empty/list.html", ""},
        {"tree/sub/list.html", "deep/  deep/\nc.txt c.txt\n"}}},
      {"-o: where the command ran, linking into the tree",
       {"-o", "out.html"},
       {{"out.html", from("tree/", top)}}},
      {"--output: a path", {"--output", "lists/../out.html"}, {{"out.html", from("tree/", top)}}},
      {"-o -", {"-o", "-"}, {{"-", top}}},
      {"-o - with -q", {"-o", "-", "-q", "-d", "-1"}, {{"-", whole}}},
      {"--output-dir", {"--output-dir", "lists"}, {{"lists/index.html", from("../tree/", top)}}},
      {"--output-dir with -o",
       {"--output-dir", "lists", "-o", "mine.html"},
       {{"lists/mine.html", from("../tree/", top)}}},
      {"--per-folder with --output-dir: a mirror, links to the tree and into the mirror",
       {"--per-folder", "-d", "1", "--output-dir", "lists"},
       {{"lists/index.html",
         "empty/  empty/\nsub/  sub/\nA.md ../tree/A.md\nb.txt ../tree/b.txt\n"},
        {"lists/empty/index.html", ""},
        {"lists/sub/index.html", "deep/  deep/\nc.txt ../../tree/sub/c.txt\n"}}},
      {"-q", {"-q"}, {{"tree/index.html", top}}},
      {"--strict", {"--strict", "-d", "-1"}, {{"tree/index.html", whole}}},
  };
  dir_.make_folder("lists");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"-s", "paths.html", "tree"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const limited_result result = run(args);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, c.written.contains("-") ? c.written.at("-") : "");
    for (const auto& [path, content] : c.written) {
      if (path == "-") continue;
      EXPECT_EQ(read_file(at(path)), content) << path;
      fs::remove(at(path));
      // The folders a mirror made, once they hold nothing else.
      for (fs::path up = fs::path(at(path)).parent_path();
           up != fs::path(at("lists")) && up.string().starts_with(at("lists"));
           up = up.parent_path()) {
        std::error_code ignored;
        fs::remove(up, ignored);
      }
    }
    // Nothing else was written.
    EXPECT_EQ(pages(), (std::map<std::string, std::string>{}));
    EXPECT_TRUE(fs::is_empty(at("lists")));
    EXPECT_FALSE(fs::exists(at("out.html")));
    date_folders();
  }
}

TEST_F(Cli, AStyleOfTheCatalogIsPickedByNameWithItsPreset) {
  template_catalog catalog;
  ASSERT_TRUE(catalog.load(std::string(DIRSCRIBE_PROGRAM_DIR) + "templates.txt").ok());
  ASSERT_GE(catalog.entries.size(), 2u);
  const style_entry& second = *catalog.entries[1];
  const struct {
    std::vector<std::string> style;  // the options that pick it
    const style_entry* entry;
  } cases[] = {
      {{}, catalog.entries.front().get()},
      {{"--style", second.name}, &second},
      {{"-s", ascii_upper(second.name)}, &second},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry->name);
    std::vector<std::string> args = c.style;
    args.insert(args.end(), {"tree", "--save-project", "p.txt"});
    const limited_result saved = run(args);
    ASSERT_EQ(saved.exit_code, 0) << saved.err;
    EXPECT_EQ(saved.err, "");
    // The wizard's pick of the style, for the same folder.
    project_context expected;
    html_list_project& picked = expected.first_project_creating();
    pick_style(*c.entry, picked, user_data_folders::for_program(DIRSCRIBE_PROGRAM_DIR));
    picked.settings.path = at("tree");
    const std::string p = at("p.txt");
    ASSERT_TRUE(expected.save_file(at("expected.txt")).ok());
    EXPECT_EQ(read_file(p), read_file(at("expected.txt")));
    EXPECT_TRUE(pages().empty()) << "--save-project lists nothing";
  }
}

// ---------------------------------------------------------------------------
// The project file of a listing, and standard output.

TEST_F(Cli, TheSavedProjectGivesTheSameListingForEveryStyle) {
  const std::vector<std::string> names = style_names();
  template_catalog catalog;
  ASSERT_TRUE(catalog.load(std::string(DIRSCRIBE_PROGRAM_DIR) + "templates.txt").ok());
  ASSERT_EQ(names.size(), catalog.entries.size());
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(names[i], catalog.entries[i]->name);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::vector<std::string> options = {"-s", name, "tree", "--sort", "date"};
    const limited_result direct = run(options);
    ASSERT_EQ(direct.exit_code, 0) << direct.err;
    const auto listed = pages();
    ASSERT_FALSE(listed.empty());
    remove_pages();

    std::vector<std::string> saving = options;
    saving.insert(saving.end(), {"--save-project", "saved.txt"});
    ASSERT_EQ(run(saving).exit_code, 0);
    EXPECT_TRUE(pages().empty());
    const limited_result rerun = run({"saved.txt"});
    ASSERT_EQ(rerun.exit_code, 0) << rerun.err;
    EXPECT_EQ(rerun.err, "");
    EXPECT_EQ(pages(), listed);
    remove_pages();
  }
}

// A page on standard output links as the page in the listed folder would:
// where it is saved is not known.
TEST_F(Cli, StandardOutputHoldsWhatTheFileWould) {
  for (const std::string& name : style_names()) {
    SCOPED_TRACE(name);
    const limited_result to_stdout = run({"-s", name, "tree", "-o", "-"});
    const limited_result to_file = run({"-s", name, "tree"});
    ASSERT_EQ(to_file.exit_code, 0) << to_file.err;
    if (to_stdout.exit_code == 0) {
      EXPECT_EQ(to_stdout.out, read_file(at("tree/index.html")));
      EXPECT_FALSE(to_stdout.out.empty());
    } else {
      // One page per folder cannot share one stream.
      EXPECT_EQ(to_stdout.exit_code, 1);
      EXPECT_EQ(to_stdout.err, std::string(kPrefix) +
                                   "Standard output (save \"-\") takes one listing file, not "
                                   "one per folder.\n");
      EXPECT_EQ(to_stdout.out, "");
    }
    remove_pages("index.html");
  }
}

TEST_F(Cli, TheSavedProjectKeepsThePublishingKeys) {
  const limited_result saved = run(
      {"-s", "paths.html", "tree", "--link-base", "https://x.org/", "-o", "a.html", "--output-dir",
       "lists", "--overwrite", "--title", "My <music>", "--thumbnails", "--save-project", "p.txt"});
  ASSERT_EQ(saved.exit_code, 0) << saved.err;
  const std::string text = read_file(at("p.txt"));
  EXPECT_NE(text.find("<listing_title>My &lt;music&gt;</listing_title>\r\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("<overwrite>1</overwrite>\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("<thumbnails>1</thumbnails>\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("<link_base>https://x.org/</link_base>\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("<output_dir>" + at("lists") + "</output_dir>\r\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("<save>a.html</save>\r\n"), std::string::npos) << text;
  dir_.make_folder("lists");
  ASSERT_EQ(run({"p.txt"}).exit_code, 0);
  EXPECT_EQ(read_file(at("lists/a.html")),
            "empty/  https://x.org/empty/\nsub/  https://x.org/sub/\nA.md https://x.org/A.md\n"
            "b.txt https://x.org/b.txt\n");
}

// ---------------------------------------------------------------------------
// Help, version, usage errors and failures.

TEST_F(Cli, HelpListsEveryOptionUnder80ColumnsAndVersionNamesTheProgram) {
  const limited_result help = run({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_TRUE(help.out.starts_with("Usage: dirscribe [OPTION]... FOLDER\n")) << help.out;
  for (size_t start = 0; start < help.out.size();) {
    const size_t end = help.out.find('\n', start);
    EXPECT_LT(end - start, 80u) << help.out.substr(start, end - start);
    start = end + 1;
  }
  // Each option and what it does share one line.
  for (const char* option :
       {"--style",       "--output",    "--depth",     "--per-folder", "--output-dir",
        "--sort",        "--reverse",   "--include",   "--exclude",    "--sizes",
        "--hide-empty",  "--link-base", "--overwrite", "--thumbnails", "--save-project",
        "--list-styles", "--strict",    "--quiet",     "--help",       "--version"}) {
    const size_t at = help.out.find(std::string(option) + " ");
    ASSERT_NE(at, std::string::npos) << option;
    const std::string line = help.out.substr(at, help.out.find('\n', at) - at);
    const size_t gap = line.find("  ");
    ASSERT_NE(gap, std::string::npos) << line;
    EXPECT_GT(line.size() - line.find_first_not_of(' ', gap), 10u) << line;
  }
  EXPECT_EQ(run({"-h"}).out, help.out);
  // One place prints the version: the program's title.
  const limited_result version = run({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out.rfind("Vostra Dirscribe 3.0.", 0), 0u) << version.out;
}

TEST_F(Cli, UsageErrorsExitTwoWithTheUsageLines) {
  dir_.write("p.txt", "<project></project>");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"--style"}, "the option --style needs a value"},
      {{"tree", "--output-dir", ""}, "the option --output-dir needs a value"},
      {{"tree", "--save-project", ""}, "the option --save-project needs a value"},
      {{"tree", "-d", "many"}, "the option -d needs a number of levels, -1 for all: \"many\""},
      {{"tree", "--sort", "nmae"},
       "unknown sort key \"nmae\", did you mean \"name\"? (keys: natural, none, name, name-case, "
       "ext, "
       "ext-case, size, date)"},
      {{"tree", "p.txt"}, "a FOLDER and project files cannot be mixed"},
      {{"tree", "tree/sub"}, "only one FOLDER can be listed at a time"},
      {{"-o", "x.html", "p.txt"}, "the option -o lists a FOLDER, but p.txt is a file"},
      {{"--per-folder"}, "the option --per-folder needs a FOLDER"},
      {{"--list-styles", "tree"}, "--list-styles takes no other argument"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const limited_result result = run(c.args);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(result.err, std::string(kPrefix) + c.message + "\n" + kUsageTail);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_TRUE(pages().empty());
}

TEST_F(Cli, EachFailureExitsOneWithAMessageNamingTheFile) {
  dir_.write("broken.html",
             "<p><!--#for var=\"files\"-->\n<!--#echo var=\"nmae\"--><!--#endfor-->");
  // A link where the mirror needs a folder of its own.
  dir_.make_folder("mirror");
  fs::create_directory_symlink(at("tree/sub"), at("mirror/sub"));
  dir_.write("strict.txt", project_text({{"path", at("tree")},
                                         {"format_file", at("paths.html")},
                                         {"recursion_dept", "-1"}}));
  const std::string program(DIRSCRIBE_PROGRAM_DIR);
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"nowhere", "-d", "1"}, english::kCantOpenFolder + at("nowhere")},
      {{"-s", "Detailed tabel", "tree"},
       "No style \"Detailed tabel\" in " + program + "templates.txt and no template file " +
           at("Detailed tabel") +
           "; did you mean \"Detailed table\"? (--list-styles names the "
           "styles)"},
      {{"missing.txt"}, "No such file or folder: missing.txt"},
      {{"tree/Sbu"}, "No such file or folder: tree/Sbu"},
      {{"tree/b.txt/x"}, "No such file or folder: tree/b.txt/x"},
      {{"-s", "broken.html", "tree"},
       english::plain_template_error(at("broken.html"), 2, 23, english::kUnknownVariable)},
      {{"-s", "paths.html", "tree", "--per-folder", "-d", "1", "--output-dir", "mirror"},
       std::string(english::kOutputIsLink) + at("mirror/sub")},
      {{"-s", "paths.html", "tree", "-o", "no/such/x.html"},
       std::string(english::kCantWriteFile) + at("no/such/x.html") + ": No such file or directory"},
      {{"tree", "--save-project", "no/such/p.txt"},
       "Can't save file: " + at("no/such/p.txt") + ": No such file or directory"},
      {{"--strict", "strict.txt"},
       at("strict.txt") +
           ": project 1: unknown key \"recursion_dept\", did you mean \"recursion_depth\"?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const limited_result result = run(c.args);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.err, kPrefix + c.message + "\n");
    EXPECT_EQ(result.out, "");
    for (const char* markup : {"<b>", "</b>", "<br>"}) {
      EXPECT_EQ(result.err.find(markup), std::string::npos) << markup;
    }
  }
  EXPECT_TRUE(pages().empty());
}

// ---------------------------------------------------------------------------
// Warnings about project files.

TEST_F(Cli, AMisspeltKeyIsNamedWithTheKeyItMeantAndTheRunGoesOn) {
  const std::string file = at("p.txt");
  const std::string warning = std::string(kPrefix) + "warning: " + file +
                              ": project 1: unknown key \"recursion_dept\", did you mean "
                              "\"recursion_depth\"?\n";
  dir_.write("p.txt", project_text({{"path", at("tree")},
                                    {"format_file", at("paths.html")},
                                    {"save", at("out.html")},
                                    {"recursion_dept", "-1"}}));
  const struct {
    std::vector<std::string> options;
    int exit_code;
    std::string err;
    bool listed;
  } cases[] = {
      {{}, 0, warning, true},
      {{"-q"}, 0, "", true},
      {{"--strict"},
       1,
       std::string(kPrefix) + file +
           ": project 1: unknown key \"recursion_dept\", did you mean \"recursion_depth\"?\n",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    std::vector<std::string> args = c.options;
    args.push_back("p.txt");
    const limited_result result = run(args);
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_EQ(result.err, c.err);
    // The key was ignored: the top level only, linked from beside the tree.
    EXPECT_EQ(
        read_file(at("out.html")),
        c.listed ? "empty/  tree/empty/\nsub/  tree/sub/\nA.md tree/A.md\nb.txt tree/b.txt\n" : "");
    fs::remove(at("out.html"));
  }
}

// A filter that leaves out every file the run found gives an empty listing
// that looks like success: the run says so, and still writes it.
TEST_F(Cli, AFilterThatLeavesNoFileSaysSo) {
  const std::string warning = std::string(kPrefix) +
                              "warning: The filter leaves out every file, so the listing lists "
                              "none. Files found: 4\n";
  const struct {
    std::vector<std::string> options;
    std::string err;
  } cases[] = {
      {{"--include", "*.none"}, warning},
      {{"--include", "*.none", "-q"}, ""},
      {{"--include", "*.md"}, ""},
      {{"--exclude-dir", "*", "--include", "*.none"},
       warning.substr(0, warning.size() - 2) + "2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    std::vector<std::string> args = {"-s", "paths.html", "tree", "-d", "-1", "-o", "-"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const limited_result result = run(args);
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.err, c.err);
  }
}

// ---------------------------------------------------------------------------
// What a quick listing publishes.

// Names as people read them: every bundled style sorts so by default, and
// --sort natural follows the locale the program runs in.
TEST_F(Cli, NamesSortAsPeopleReadThemInEveryStyleAndLocale) {
  fs::remove_all(at("tree"));
  for (const char* name :
       {"track 10.mp3", "Track 2.mp3", "track 1.mp3", "Zebra.txt", "\xC3\x96ster.txt", "Edith.txt",
        "\xC3\x89"
        "dith Piaf.txt",
        "\xff.bin"}) {
    dir_.write(std::string("tree/") + name, "x");
  }
  // de_DE and en_US use the root collation as C.UTF-8 does; what matters
  // is that a real locale name reaches the collator intact. A space orders
  // before a dot, so "Édith Piaf" comes before "Edith.txt".
  const std::string expected =
      "\xC3\x89"
      "dith Piaf.txt Edith.txt \xC3\x96ster.txt track 1.mp3 Track 2.mp3 track 10.mp3 "
      "Zebra.txt \xff.bin ";
  dir_.write("names.html", R"(<!--#for var="files"--><!--#echo var="name"--> <!--#endfor-->)");
  for (const char* locale : {"C.UTF-8", "de_DE.UTF-8", "en_US.UTF-8"}) {
    SCOPED_TRACE(locale);
    run_options options;
    options.environment = {std::string("LC_ALL=") + locale};
    options.cwd = dir_.path();
    const limited_result listed =
        run_limited({"-s", "names.html", "tree", "--sort", "natural", "-o", "-"}, options);
    EXPECT_EQ(listed.exit_code, 0) << listed.err;
    EXPECT_EQ(listed.out, expected);
  }
  for (const std::string& style : style_names()) {
    SCOPED_TRACE(style);
    ASSERT_EQ(run({"-s", style, "tree", "-o", "page.html"}).exit_code, 0);
    const std::string page = read_file(at("page.html"));
    const size_t one = page.find("track 1.mp3"), two = page.find("Track 2.mp3"),
                 ten = page.find("track 10.mp3");
    ASSERT_NE(ten, std::string::npos);
    EXPECT_LT(one, two);
    EXPECT_LT(two, ten);
  }
}

TEST_F(Cli, HiddenEntriesStayOutUnlessAskedAndFoldersCanBeLeftOut) {
  dir_.write("tree/.env", "SECRET=1");
  dir_.write("tree/.htaccess", "deny");
  dir_.write("tree/.git/HEAD", "ref");
  dir_.write("tree/sub/.hg/store", "x");
  dir_.write("tree/node_modules/m.js", "m");
  const std::string node_modules =
      "node_modules/  node_modules/\nnode_modules/m.js node_modules/m.js\n";
  const std::string hidden_top = ".git/  .git/\n.git/HEAD .git/HEAD\n";
  const std::string files = "A.md A.md\nb.txt b.txt\n";
  const struct {
    const char* name;
    std::vector<std::string> options;  // after the folder
    std::string listed;                // two levels: the top and its folders' entries
  } cases[] = {
      {"by default",
       {},
       "empty/  empty/\n" + node_modules +
           "sub/  sub/\nsub/deep/  sub/deep/\nsub/c.txt sub/c.txt\n" + files},
      {"-a",
       {"-a"},
       hidden_top + "empty/  empty/\n" + node_modules +
           "sub/  sub/\nsub/.hg/  sub/.hg/\nsub/deep/  sub/deep/\nsub/c.txt sub/c.txt\n.env .env\n"
           ".htaccess .htaccess\n" +
           files},
      {"--exclude-dir",
       {"--exclude-dir", "NODE_modules;deep"},
       "empty/  empty/\nsub/  sub/\nsub/c.txt sub/c.txt\n" + files},
      {"--exclude-dir with --all",
       {"--exclude-dir", "node_modules", "--all"},
       hidden_top +
           "empty/  empty/\nsub/  sub/\nsub/.hg/  sub/.hg/\nsub/deep/  sub/deep/\nsub/c.txt "
           "sub/c.txt\n.env .env\n.htaccess .htaccess\n" +
           files},
      {"--include does not bring them back",
       {"--include", ".*;*.md"},
       "empty/  empty/\nnode_modules/  node_modules/\nsub/  sub/\nsub/deep/  sub/deep/\nA.md "
       "A.md\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"-s", "paths.html", "tree", "-d", "1", "-o", "-"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const limited_result direct = run(args);
    EXPECT_EQ(direct.exit_code, 0) << direct.err;
    EXPECT_EQ(direct.out, c.listed);
    // The saved project says the same, in its filter.
    args.insert(args.end(), {"--save-project", "p.txt"});
    ASSERT_EQ(run(args).exit_code, 0);
    const limited_result rerun = run({"p.txt"});
    EXPECT_EQ(rerun.exit_code, 0) << rerun.err;
    EXPECT_EQ(rerun.out, c.listed);
  }

  // Every bundled style leaves them out, and -a lets them in.
  for (const std::string& name : style_names()) {
    SCOPED_TRACE(name);
    for (const bool all : {false, true}) {
      std::vector<std::string> args = {"-s", name, "tree", "-o", "-"};
      if (all) args.push_back("-a");
      const limited_result result = run(args);
      if (result.exit_code != 0) break;  // styles of one page per folder
      for (const char* secret : {".env", ".htaccess", ".git"}) {
        EXPECT_EQ(result.out.find(secret) != std::string::npos, all) << secret;
      }
    }
  }

  // A project file that sets no filter of its own lists what it finds.
  dir_.write(
      "own.txt",
      project_text({{"path", at("tree")}, {"format_file", at("paths.html")}, {"save", "-"}}));
  const limited_result own = run({"own.txt"});
  EXPECT_EQ(own.exit_code, 0) << own.err;
  EXPECT_NE(own.out.find(".env .env\n"), std::string::npos) << own.out;
}

}  // namespace
}  // namespace dirscribe::testing
