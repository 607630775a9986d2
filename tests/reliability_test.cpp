// Bad input, faults and hostile file names, run against the assembled program.
// Every case checks the exit code, the one message line (naming the file or
// folder that failed) and that no run which lost part of its listing reports
// success.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "abuse_helpers.h"
#include "run_program.h"
#include "support/test_phrases.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;

// One record per listed entry: the name through echoe, the absolute link as
// it stands (percent-encoded), the relative path through echoe, the size and
// the folder flag; the file total at the end.
constexpr char kNamesTemplate[] =
    "<!--#for var=\"tree\"--><!--#if var=\"is_item\"--><e><i><!--#echoe var=\"name\"--></i>"
    "<a href=\"<!--#echo var=\"url\"-->\"></a><p><!--#echoe var=\"rel_path\"--></p>"
    "<s><!--#echo var=\"size\"--></s><f><!--#echo var=\"is_folder\"--></f></e>\n"
    "<!--#endif--><!--#endfor--><t><!--#echo var=\"total_files\"--></t>";

// One listed entry read back from a listing written with kNamesTemplate.
struct listed_entry {
  std::string name_html;
  std::string url;
  std::string rel_path_html;
  std::string size;
  std::string is_folder;
};

std::vector<listed_entry> read_entries(const std::string& listing) {
  std::vector<listed_entry> entries;
  for (const std::string& record : pieces_between(listing, "<e>", "</e>")) {
    listed_entry entry;
    const auto one = [&](const char* open, const char* close) {
      const auto found = pieces_between(record, open, close);
      return found.empty() ? std::string("?missing?") : found.front();
    };
    entry.name_html = one("<i>", "</i>");
    entry.url = one("<a href=\"", "\">");
    entry.rel_path_html = one("<p>", "</p>");
    entry.size = one("<s>", "</s>");
    entry.is_folder = one("<f>", "</f>");
    entries.push_back(entry);
  }
  return entries;
}

// A tree to list, a template, a project file and an output folder, all in one
// temporary folder.
class Listing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(work_.path().empty());
    tree_ = work_.path() + "/tree";
    out_dir_ = work_.path() + "/out";
    fs::create_directories(tree_);
    fs::create_directories(out_dir_);
    set_template(kNamesTemplate);
  }

  void set_template(const std::string& text) { work_.write("template.html", text); }

  // The project keys of a listing of the tree into out/listing.html; `extra`
  // keys come after and win.
  std::vector<std::pair<std::string, std::string>> keys(
      const std::vector<std::pair<std::string, std::string>>& extra = {}) const {
    std::vector<std::pair<std::string, std::string>> all = {
        {"path", tree_},
        {"save", listing_path()},
        {"format_file", work_.path() + "/template.html"},
        {"recursion_depth", "-1"},
        {"subfolders_in_one_file", "1"},
        {"order_files", "1"},
        {"url_escape", "2"},
        {"size_units", "0"},
    };
    all = with_keys(std::move(all), extra);
    return all;
  }

  limited_result run(const std::vector<std::pair<std::string, std::string>>& extra = {},
                     const run_options& options = {}) {
    work_.write("project.txt", project_text(keys(extra)));
    return run_limited({work_.path() + "/project.txt"}, options);
  }

  // Whether the program can list the tree as `options.user` at all (it needs
  // to reach its own folder); a run that cannot is no test of permissions.
  bool runs_as_user(const run_options& options, std::string& why) {
    open_to_everyone();
    const limited_result probe = run({}, options);
    why = "the program cannot run as user " + std::to_string(options.user) + " here (exit " +
          std::to_string(probe.exit_code) + "): " + probe.err;
    fs::remove(listing_path());
    return probe.exit_code == 0;
  }

  std::string listing_path() const { return out_dir_ + "/listing.html"; }
  std::string listing() const { return read_file(listing_path()); }

  // Lets another user read and write everything made so far (for runs as
  // that user).
  void open_to_everyone() const {
    ::chmod(work_.path().c_str(), 0777);
    for (const auto& entry : fs::recursive_directory_iterator(work_.path())) {
      if (entry.is_symlink()) continue;
      ::chmod(entry.path().c_str(), entry.is_directory() ? 0777 : 0666);
    }
  }

  temp_folder work_;
  std::string tree_;
  std::string out_dir_;
};

// ---------------------------------------------------------------------------
// Trees

class Trees : public Listing {};

TEST_F(Trees, LinkCyclesAndRootLinkAreListedButNeverEntered) {
  fs::create_directories(tree_ + "/a");
  work_.write("tree/a/file.txt", "12345");
  fs::create_directory_symlink(".", tree_ + "/a/self");
  fs::create_directory_symlink("..", tree_ + "/a/up");
  fs::create_directory_symlink("/", tree_ + "/root");
  struct mode {
    const char* what;
    std::vector<std::pair<std::string, std::string>> keys;
    std::string listing;  // the file to read back
    std::set<std::string> paths;
  };
  const std::vector<mode> modes = {
      {"one file", {}, listing_path(), {"a", "a/file.txt", "a/self", "a/up", "root"}},
      // Links are never entered, so their subtrees hold no file: they are
      // empty folders and left out with the rest.
      {"one file, empty folders left out",
       {{"recursive_options", "3"}},
       listing_path(),
       {"a", "a/file.txt"}},
      // a's own file lists a's entries; no file is written through a link.
      {"one file per folder",
       {{"subfolders_in_one_file", "0"}, {"save", "index.html"}},
       tree_ + "/a/index.html",
       {"file.txt", "self", "up"}},
  };
  for (const mode& m : modes) {
    SCOPED_TRACE(m.what);
    const limited_result result = run(m.keys);
    ASSERT_FALSE(result.hung) << "a link cycle made the run endless";
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::set<std::string> paths;
    const std::string text = read_file(m.listing);
    for (const listed_entry& entry : read_entries(text)) paths.insert(entry.rel_path_html);
    EXPECT_EQ(paths, m.paths) << text;
  }
}

TEST_F(Trees, DanglingLinkIsListedAsAnEmptyFile) {
  fs::create_symlink("nowhere/at/all", tree_ + "/gone");
  work_.write("tree/real.txt", "abc");
  const limited_result result = run();
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto entries = read_entries(listing());
  ASSERT_EQ(entries.size(), 2u) << listing();
  EXPECT_EQ(entries[0].name_html, "gone");
  EXPECT_EQ(entries[0].size, "0");
  EXPECT_EQ(entries[0].is_folder, entries[1].is_folder) << "not listed as a file";
  EXPECT_EQ(entries[1].name_html, "real.txt");
  EXPECT_EQ(entries[1].size, "3");
  EXPECT_NE(listing().find("<t>2</t>"), std::string::npos) << listing();
}

// FIFOs, sockets and devices in the tree are listed; reading their content
// for a digest or a title must neither wait for a writer nor fail the run.
TEST_F(Trees, SpecialFilesAreListedWithoutBeingRead) {
  work_.write("tree/plain.txt", "abc");
  ASSERT_EQ(::mkfifo((tree_ + "/pipe.html").c_str(), 0600), 0);
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = tree_ + "/socket.html";
  ASSERT_LT(socket_path.size(), sizeof(address.sun_path));
  socket_path.copy(address.sun_path, socket_path.size());
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
  fs::create_symlink("/dev/null", tree_ + "/null.html");
  fs::create_symlink("/dev/tty", tree_ + "/tty.html");
  set_template(
      "<!--#for var=\"files\"--><!--#echoe var=\"name\"-->|<!--#echo var=\"md5\"-->|"
      "<!--#echo var=\"sha1\"-->|<!--#echoe var=\"title\"-->\n<!--#endfor-->");
  const limited_result result = run();
  ::close(listener);
  ASSERT_FALSE(result.hung) << "a special file was read";
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(listing(),
            "null.html|||\npipe.html|||\nplain.txt|900150983CD24FB0D6963F7D28E17F72|"
            "A9993E364706816ABA3E25717850C26C9CD0D89D|\nsocket.html|||\ntty.html|||\n");
}

// A folder in the middle of the tree that cannot be read or entered: the run
// fails naming it, never a listing that quietly shows it empty.
TEST_F(Trees, FolderWithoutRightsInsideTheTreeFailsNamingIt) {
  run_options options;
  options.user = unprivileged_user();
  fs::create_directories(tree_ + "/a/locked/inner");
  work_.write("tree/a/locked/inner/deep.txt", "x");
  work_.write("tree/a/locked/shallow.txt", "x");
  work_.write("tree/z.txt", "x");
  std::string why;
  if (!runs_as_user(options, why)) GTEST_SKIP() << why;
  const std::string locked = tree_ + "/a/locked";
  struct mode {
    const char* what;
    mode_t rights;
    std::vector<std::pair<std::string, std::string>> keys;
  };
  const std::vector<mode> modes = {
      {"no rights, one file", 0, {}},
      {"write and enter, no read, one file", 0333, {}},
      {"read, no enter, one file", 0666, {}},
      {"read, no enter, subtree sizes", 0666, {{"recursive_options", "1"}}},
      {"no rights, one file per folder",
       0,
       {{"subfolders_in_one_file", "0"}, {"save", "index.html"}}},
      {"read, no enter, one file per folder",
       0666,
       {{"subfolders_in_one_file", "0"}, {"save", "index.html"}}},
  };
  for (const mode& m : modes) {
    SCOPED_TRACE(m.what);
    ASSERT_EQ(::chmod(locked.c_str(), m.rights), 0);
    const limited_result result = run(m.keys, options);
    ::chmod(locked.c_str(), 0777);
    EXPECT_EQ(result.exit_code, 1) << result.err;
    EXPECT_TRUE(is_one_message(result.err, english::kCantOpenFolder + locked)) << result.err;
  }
}

TEST_F(Trees, TwoHundredLevelsDeep) {
  constexpr int kLevels = 200;
  std::string relative;
  for (int level = 0; level < kLevels; ++level) {
    relative += (level ? "/" : "") + std::string("d") + std::to_string(level);
  }
  fs::create_directories(tree_ + "/" + relative);
  work_.write("tree/" + relative + "/leaf.txt", "leaf");
  work_.write("tree/top.txt", "top");

  const limited_result one = run();
  ASSERT_EQ(one.exit_code, 0) << one.err;
  const auto entries = read_entries(listing());
  ASSERT_EQ(entries.size(), static_cast<size_t>(kLevels + 2));
  std::set<std::string> paths;
  for (const auto& entry : entries) paths.insert(entry.rel_path_html);
  EXPECT_TRUE(paths.count(relative + "/leaf.txt")) << "the deepest file is missing";
  EXPECT_TRUE(paths.count("top.txt"));
  EXPECT_NE(listing().find("<t>2</t>"), std::string::npos);

  const limited_result per_folder = run({{"subfolders_in_one_file", "0"}, {"save", "index.html"}});
  ASSERT_EQ(per_folder.exit_code, 0) << per_folder.err;
  std::string folder = tree_;
  for (int level = 0; level <= kLevels; ++level) {
    ASSERT_TRUE(fs::exists(folder + "/index.html")) << "no listing at level " << level;
    if (level < kLevels) folder += "/d" + std::to_string(level);
  }
  const auto deepest = read_entries(read_file(folder + "/index.html"));
  ASSERT_EQ(deepest.size(), 1u);
  EXPECT_EQ(deepest[0].name_html, "leaf.txt");
}

TEST_F(Trees, HundredThousandEntriesInOneFolder) {
  constexpr int kFiles = 100000;
  ASSERT_TRUE(make_empty_files(tree_, kFiles, "f"));
  set_template(
      "<!--#for var=\"files\"--><!--#echoe var=\"name\"-->\n<!--#endfor-->"
      "<t><!--#echo var=\"total_files\"--></t>");
  const limited_result result = run();
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string text = listing();
  EXPECT_NE(text.find("<t>100000</t>"), std::string::npos) << text.substr(text.size() - 100);
  std::set<std::string> names;
  size_t start = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    names.insert(text.substr(start, end - start));
    start = end + 1;
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(kFiles));
  EXPECT_TRUE(names.count("f0") && names.count("f99999"));
}

// ---------------------------------------------------------------------------
// Hostile names

// Names no listing may print raw or lose: every byte but "/" (and NUL), alone
// where the file system allows it and between letters; markup, quotes,
// percent and query characters, newlines, invalid UTF-8 and option-like names.
std::set<std::string> hostile_names() {
  std::set<std::string> names;
  for (int value = 1; value < 256; ++value) {
    const char byte = static_cast<char>(value);
    if (byte == '/') continue;
    if (byte != '.') names.insert(std::string(1, byte));
    names.insert("x" + std::string(1, byte) + "y" + std::to_string(value));
  }
  for (const char* name : {"a\nb",
                           "\n",
                           "\r\n",
                           "\"quoted\"",
                           "'single'",
                           "a&b",
                           "&amp;",
                           "&#60;",
                           "<script>",
                           "<!--#echo var=\"name\"-->",
                           "100%",
                           "%2F%00",
                           "#hash",
                           "?query=1&x=2",
                           "-rf",
                           "--help",
                           "...",
                           "..x",
                           " lead and trail ",
                           "\t",
                           "\xff\xfe",
                           "\xc3\x28",
                           "\xed\xa0\x80",
                           "\xc0\xaf",
                           "\xf4\x90\x80\x80",
                           "caf\xc3\xa9",
                           "\xe4\xb8\xad\xe6\x96\x87",
                           "\xf0\x9f\x98\x80 smile",
                           "]]>",
                           "a\\b"}) {
    names.insert(name);
  }
  return names;
}

class HostileNames : public Listing, public ::testing::WithParamInterface<const char*> {};

TEST_P(HostileNames, EveryNameComesOutEscapedAndComplete) {
  const std::set<std::string> names = hostile_names();
  // Files at the top, and one folder with a hostile name holding all of them
  // again, so names also appear inside paths and folder links.
  const std::string nested = "<dir> & \"%20\"\n\xff";
  fs::create_directories(tree_ + "/" + nested);
  std::set<std::string> expected;  // relative paths
  for (const std::string& name : names) {
    for (const std::string& where : {std::string(), nested + "/"}) {
      std::ofstream(tree_ + "/" + where + name) << "x";
      expected.insert(where + name);
    }
  }
  expected.insert(nested);
  ASSERT_EQ(std::distance(fs::directory_iterator(tree_), fs::directory_iterator()),
            static_cast<std::ptrdiff_t>(names.size() + 1));

  run_options options;
  options.environment = {std::string("LC_ALL=") + GetParam()};
  const limited_result result = run({}, options);
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto entries = read_entries(listing());
  EXPECT_EQ(entries.size(), expected.size()) << "names were lost or added";
  std::set<std::string> seen;
  for (const listed_entry& entry : entries) {
    std::vector<uint32_t> name;
    std::vector<uint32_t> rel_path;
    ASSERT_TRUE(decode_html(entry.name_html, name)) << "not escaped: " << entry.name_html;
    ASSERT_TRUE(decode_html(entry.rel_path_html, rel_path))
        << "not escaped: " << entry.rel_path_html;
    std::string url_path;
    ASSERT_TRUE(decode_percent(entry.url, url_path)) << "not escaped: " << entry.url;
    // The link names the entry's full path byte for byte.
    ASSERT_EQ(url_path.rfind("file://" + tree_ + "/", 0), 0u) << url_path;
    std::string relative = url_path.substr(("file://" + tree_ + "/").size());
    if (!relative.empty() && relative.back() == '/') relative.pop_back();
    EXPECT_TRUE(expected.count(relative)) << "a link to an unknown entry: " << entry.url;
    EXPECT_EQ(rel_path, html_characters(relative)) << entry.rel_path_html;
    const std::string base =
        relative.substr(relative.rfind('/') == std::string::npos ? 0 : relative.rfind('/') + 1);
    EXPECT_EQ(name, html_characters(base)) << entry.name_html;
    seen.insert(relative);
  }
  EXPECT_EQ(seen, expected);
}

INSTANTIATE_TEST_SUITE_P(Locales, HostileNames, ::testing::Values("C", "C.UTF-8"));

// Output files written into folders with hostile names, one file per folder.
TEST_F(Listing, PerFolderOutputIntoHostileFolders) {
  const std::vector<std::string> folders = {"<x>", "a\nb", "\xff\xfe", "-rf", " sp ", "%41"};
  for (const auto& folder : folders) {
    fs::create_directories(tree_ + "/" + folder);
    std::ofstream(tree_ + "/" + folder + "/in.txt") << "x";
  }
  const limited_result result = run({{"subfolders_in_one_file", "0"}, {"save", "index.html"}});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  for (const auto& folder : folders) {
    const auto entries = read_entries(read_file(tree_ + "/" + folder + "/index.html"));
    ASSERT_EQ(entries.size(), 1u) << folder;
    std::string url_path;
    ASSERT_TRUE(decode_percent(entries[0].url, url_path));
    EXPECT_EQ(url_path, "file://" + tree_ + "/" + folder + "/in.txt");
  }
}

// ---------------------------------------------------------------------------
// Broken data files

// Text padded with blanks to exactly `size` bytes (markup ignores them).
std::string padded(std::string text, size_t size) {
  text.resize(size, ' ');
  return text;
}

std::string nested(const std::string& open, const std::string& inner, const std::string& close,
                   int levels) {
  std::string text;
  for (int i = 0; i < levels; ++i) text += open;
  text += inner;
  for (int i = 0; i < levels; ++i) text += close;
  return text;
}

constexpr size_t kSizeLimit = 16777216;

// The run's outcome for one broken file: the exit code and the message, or
// for a run that succeeds, its warning if any.
struct broken_case {
  const char* what;
  std::string content;
  int exit_code;
  std::string message;  // the whole message text; for a success the warning or empty
};

// The message of a file that is not a project file, naming it and why.
std::string not_a_project(const std::string& file, const std::string& why) {
  return file + ": " + english::kNotAProject + " " + why;
}

class DataFiles : public Listing {
 protected:
  void SetUp() override {
    Listing::SetUp();
    work_.write("tree/a.txt", "abc");
  }
  // Checks `result` against `c`; a failure leaves no listing behind.
  void check(const broken_case& c, const limited_result& result) {
    SCOPED_TRACE(c.what);
    ASSERT_FALSE(result.hung);
    EXPECT_EQ(result.signal, 0) << "crashed";
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err.substr(0, 300);
    if (c.exit_code == 0) {
      EXPECT_EQ(result.err, c.message.empty() ? "" : "Vostra Dirscribe 3.0: " + c.message + "\n");
    } else {
      EXPECT_TRUE(is_one_message(result.err, c.message)) << result.err.substr(0, 300);
      EXPECT_FALSE(fs::exists(listing_path())) << "a failed run left a listing";
    }
    fs::remove(listing_path());
  }
};

TEST_F(DataFiles, BrokenProjectFiles) {
  const std::string good = project_text(keys());
  const std::string head = "<project>\n<path>" + tree_ + "</path>\n<save>" + listing_path() +
                           "</save>\n<format_file>" + work_.path() +
                           "/template.html</format_file>\n";
  const std::string file = work_.path() + "/project.txt";
  const std::string no_project = "It holds no <project> element.";
  const std::vector<broken_case> cases = {
      {"empty", "", 1, not_a_project(file, no_project)},
      {"truncated mid-element", good.substr(0, good.find("<format_file>") + 20), 1,
       not_a_project(file, "Line: 4, column: 20 Error: unclosed tag.")},
      {"truncated after a whole element", good.substr(0, good.find("<format_file>")), 1,
       not_a_project(file, "Line: 4, column: 0 Error: unclosed tag.")},
      {"16 MB plus one byte", padded(good, kSizeLimit + 1), 1,
       not_a_project(file, "Line: 11, column: 16776853 Error: size exceeded.")},
      {"exactly 16 MB", padded(good, kSizeLimit), 0, ""},
      {"NUL bytes only", std::string(4096, '\0'), 1, not_a_project(file, no_project)},
      {"10,000 levels deep around the project", nested("<a>", good, "</a>", 10000), 1,
       not_a_project(file, no_project)},
      {"10,000 levels deep inside the project",
       head + nested("<filter>", "", "</filter>", 1) + nested("<x>", "", "</x>", 10000) +
           "</project>",
       0, "warning: " + file + ": project 1: unknown key \"x\""},
      {"10,000 elements left open after the project", good + nested("<x>", "", "", 10000), 1,
       not_a_project(file, "Line: 11, column: 30000 Error: unclosed tag.")},
      // Unknown entities and references the reader refuses read as "!", so
      // the folder named is one that does not exist: the run says which.
      {"unknown entity in the folder",
       "<project><path>" + tree_ + "&bogus;</path><save>" + listing_path() +
           "</save><format_file>" + work_.path() + "/template.html</format_file></project>",
       1, english::kCantOpenFolder + tree_ + "!"},
      {"numeric references above 255 in the folder",
       "<project><path>" + tree_ + "&#300;&#20013;&#99999999999;</path><save>" + listing_path() +
           "</save><format_file>" + work_.path() + "/template.html</format_file></project>",
       1, english::kCantOpenFolder + tree_ + "!!!"},
  };
  for (const broken_case& c : cases) {
    work_.write("project.txt", c.content);
    check(c, run_limited({work_.path() + "/project.txt"}));
  }
  // An endless project file is read up to the size limit, no further.
  const limited_result endless = run_limited({"/dev/zero"});
  EXPECT_FALSE(endless.hung);
  EXPECT_EQ(endless.exit_code, 1);
  EXPECT_TRUE(is_one_message(
      endless.err, not_a_project("/dev/zero", "Line: 1, column: 16777216 Error: size exceeded.")))
      << endless.err;
  // A project file that does not exist is named as typed.
  const limited_result missing = run_limited({"no such project.txt"}, {});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_TRUE(is_one_message(missing.err, "No such file or folder: no such project.txt"))
      << missing.err;
}

TEST_F(DataFiles, BrokenExtensionTables) {
  const program_copy program;
  const std::string table = read_file(program.dir() + "ext.txt");
  ASSERT_FALSE(table.empty());
  std::string odd_types = table;
  const size_t text_file = odd_types.find("\"Text file\"");
  ASSERT_NE(text_file, std::string::npos);
  odd_types.replace(text_file, 11, "\"&bogus; &#300; &#20013; file\"");
  // Each failure names the table, and a markup error where it lies.
  const auto failed = [&](const std::string& why) {
    return std::string(english::kCantLoadExtensionTable) + " " + program.dir() + "ext.txt: " + why;
  };
  const std::string unreadable = "Can't read the extension table: ";
  const std::string no_list = "The extension table has no list of extensions.";
  const std::vector<broken_case> cases = {
      {"empty", "", 1, failed(no_list)},
      {"truncated mid-element", table.substr(0, table.find("icon=", table.find("<_1")) + 8), 1,
       failed(unreadable + "Line: 9, column: 42 Error: unclosed tag.")},
      {"cut in half", table.substr(0, table.size() / 2), 1,
       failed(unreadable + "Line: 410, column: 46 Error: unclosed tag.")},
      {"16 MB plus one byte", padded(table, kSizeLimit + 1), 1,
       failed(unreadable + "Line: 812, column: 16710657 Error: size exceeded.")},
      {"exactly 16 MB", padded(table, kSizeLimit), 0, ""},
      {"NUL bytes only", std::string(5000, '\0'), 1, failed(no_list)},
      {"10,000 levels deep",
       "<ext><extensions>" + nested("<a>", "", "", 10000) + "</extensions><types></types></ext>", 1,
       failed(unreadable + "Line: 1, column: 30030 Error: misplaced end tag.")},
      {"no extension list", "<ext><types></types></ext>", 1, failed(no_list)},
      {"unknown entities and references above 255", odd_types, 0, ""},
  };
  set_template(
      "<!--#for var=\"files\"--><!--#echoe var=\"name\"-->:<!--#echoe var=\"type\"-->"
      "<!--#endfor-->");
  work_.write("project.txt", project_text(keys()));
  for (const broken_case& c : cases) {
    {
      std::ofstream out(program.dir() + "ext.txt", std::ios::binary | std::ios::trunc);
      out << c.content;
    }
    run_options options;
    options.program = program.binary();
    const limited_result result = run_limited({work_.path() + "/project.txt"}, options);
    if (std::string(c.what).rfind("unknown", 0) == 0) {
      EXPECT_EQ(listing(), "a.txt:! ! ! file");
    }
    check(c, result);
  }

  // An endless table is read up to the size limit, no further.
  fs::remove(program.dir() + "ext.txt");
  fs::create_symlink("/dev/zero", program.dir() + "ext.txt");
  run_options endless_options;
  endless_options.program = program.binary();
  const limited_result endless = run_limited({work_.path() + "/project.txt"}, endless_options);
  EXPECT_FALSE(endless.hung);
  EXPECT_EQ(endless.exit_code, 1);
  EXPECT_TRUE(is_one_message(endless.err, failed(unreadable + "Line: 1, column: 16777216 Error: "
                                                              "size exceeded.")))
      << endless.err;
}

TEST_F(DataFiles, BrokenTemplates) {
  const std::string ifs =
      nested("<!--#if var=\"odd\"-->", "<!--#echoe var=\"name\"-->", "<!--#endif-->", 10000);
  // Each failure names the template with the line and column, in plain text.
  const std::string path = work_.path() + "/template.html";
  const std::vector<broken_case> cases = {
      {"empty", "", 0, ""},
      {"truncated mid-directive", "<!--#for var=\"files\"--><!--#echoe var=\"na", 1,
       english::plain_template_error(path, 1, 41,
                                     "This block is never closed: <!--#for var=\"files\" -->")},
      {"16 MB plus one byte", std::string(kSizeLimit + 1, 'x'), 1,
       english::plain_template_error(path, 1, 16777216, "")},
      {"exactly 16 MB", std::string(kSizeLimit, 'x'), 0, ""},
      {"NUL bytes only", std::string(5000, '\0'), 0, ""},
      {"10,000 levels deep", "<!--#for var=\"files\"-->" + ifs + "<!--#endfor-->", 0, ""},
      {"100,000 ifs deep",
       "<!--#for var=\"files\"-->" +
           nested("<!--#if var=\"odd\"-->", "<!--#echoe var=\"name\"-->", "<!--#endif-->", 100000) +
           "<!--#endfor-->",
       0, ""},
      {"100,000 repeats deep",
       "<!--#for var=\"files\"-->" +
           nested("<!--#repeat var=\"1\"-->", "<!--#echoe var=\"name\"-->", "<!--#endrepeat-->",
                  100000) +
           "<!--#endfor-->",
       0, ""},
      {"10,000 levels never closed", nested("<!--#if var=\"odd\"-->", "", "", 10000), 1,
       english::plain_template_error(path, 1, 200000,
                                     "This block is never closed: <!--#if var=\"odd\" -->")},
      {"unknown entities and references above 255 in the text", "&bogus; &#300; &#20013;", 0, ""},
      {"unknown variable", "<!--#echo var=\"&bogus;\"-->", 1,
       english::plain_template_error(path, 1, 26, english::kUnknownVariable)},
  };
  work_.write("project.txt", project_text(keys()));
  for (const broken_case& c : cases) {
    set_template(c.content);
    const limited_result result = run_limited({work_.path() + "/project.txt"});
    if (c.exit_code == 0) {
      // Text is copied as it stands, whatever bytes it holds.
      const std::string expected = c.content.rfind("<!--#", 0) == 0 ? "a.txt" : c.content;
      EXPECT_TRUE(listing() == expected) << c.what;
    }
    check(c, result);
  }
  // An endless template is read up to the size limit, no further.
  fs::remove(work_.path() + "/template.html");
  fs::create_symlink("/dev/zero", work_.path() + "/template.html");
  const limited_result endless = run_limited({work_.path() + "/project.txt"});
  EXPECT_FALSE(endless.hung);
  EXPECT_EQ(endless.exit_code, 1);
  EXPECT_TRUE(is_one_message(endless.err, english::plain_template_error(path, 1, 16777216, "")))
      << endless.err.substr(0, 300);
  EXPECT_FALSE(fs::exists(listing_path()));

  fs::remove(work_.path() + "/template.html");
  const limited_result missing = run_limited({work_.path() + "/project.txt"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_TRUE(is_one_message(missing.err, english::kCantOpenFile + work_.path() + "/template.html"))
      << missing.err;
}

// ---------------------------------------------------------------------------
// Faults while writing

class Faults : public Listing {
 protected:
  void SetUp() override {
    Listing::SetUp();
    work_.write("tree/a.txt", "abc");
  }
};

TEST_F(Faults, OutputThatCannotBeWrittenFailsNamingIt) {
  const struct {
    std::string save;
    std::string message;
    std::string reason;
  } outputs[] = {
      {"/dev/full", english::kOutputNotRegular, ""},  // never opened
      {"/proc/no-such-folder/listing.html", english::kCantWriteFile,
       ": No such file or directory"},  // cannot be created, even by root
      {"/sys/listing.html", english::kCantWriteFile, ": Permission denied"},
      {out_dir_, english::kOutputNotRegular, ""},  // a folder
  };
  for (const auto& output : outputs) {
    SCOPED_TRACE(output.save);
    const limited_result result = run({{"save", output.save}});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_TRUE(is_one_message(result.err, output.message + output.save + output.reason))
        << result.err;
  }
}

// A listing that runs out of room part way (the file size limit stands in for
// a full disk): the run fails naming the file, in either output mode.
TEST_F(Faults, OutputCutShortPartWayFails) {
  run_options options;
  // A listing that fits in the output buffer fails when the buffer is written
  // out on closing.
  options.file_size_limit = 100;
  limited_result small = run({}, options);
  EXPECT_EQ(small.exit_code, 1);
  const std::string too_large = ": File too large";
  EXPECT_TRUE(is_one_message(small.err, english::kCantWriteFile + listing_path() + too_large))
      << small.err;

  ASSERT_TRUE(make_empty_files(tree_, 3000, "some-file-with-a-longer-name-"));
  options.file_size_limit = 100000;
  // The older listing stays as it was, byte for byte, and nothing of the
  // failed run is left beside it.
  const std::string older =
      "<meta name=\"generator\" content=\"Dirscribe\">" + std::string(90000, '\x01');
  std::ofstream(listing_path(), std::ios::binary) << older;
  limited_result result = run({}, options);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(is_one_message(result.err, english::kCantWriteFile + listing_path() + too_large))
      << result.err;
  EXPECT_EQ(read_file(listing_path()), older);
  EXPECT_EQ(std::distance(fs::directory_iterator(out_dir_), fs::directory_iterator()), 1);

  result = run({{"subfolders_in_one_file", "0"}, {"save", "index.html"}}, options);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(
      is_one_message(result.err, english::kCantWriteFile + tree_ + "/index.html" + too_large))
      << result.err;
}

TEST_F(Faults, ReadOnlyOutputFolderFailsNamingTheFile) {
  run_options options;
  options.user = unprivileged_user();
  fs::create_directories(tree_ + "/sub");
  work_.write("tree/sub/b.txt", "b");
  std::string why;
  if (!runs_as_user(options, why)) GTEST_SKIP() << why;
  ASSERT_EQ(::chmod(out_dir_.c_str(), 0555), 0);
  limited_result result = run({}, options);
  EXPECT_EQ(result.exit_code, 1);
  const std::string denied = ": Permission denied";
  EXPECT_TRUE(is_one_message(result.err, english::kCantWriteFile + listing_path() + denied))
      << result.err;

  // One file per folder: the listed folder takes its file, a read-only
  // subfolder cannot; the run fails instead of skipping it.
  ASSERT_EQ(::chmod((tree_ + "/sub").c_str(), 0555), 0);
  result = run({{"subfolders_in_one_file", "0"}, {"save", "index.html"}}, options);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(
      is_one_message(result.err, english::kCantWriteFile + tree_ + "/sub/index.html" + denied))
      << result.err;
  EXPECT_TRUE(fs::exists(tree_ + "/index.html"));
  EXPECT_FALSE(fs::exists(tree_ + "/sub/index.html"));
}

}  // namespace
}  // namespace dirscribe::testing
