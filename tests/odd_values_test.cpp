// Names, values and dates that are odd or hostile, through the assembled
// program: messages show control characters escaped and a repeated mistake
// once, dates out of reach print as the nearest date, masks take bytes as
// they are typed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "abuse_helpers.h"
#include "run_program.h"
#include "support/test_phrases.h"

namespace dirscribe::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kPrefix[] = "Vostra Dirscribe 3.0: ";

using keys_t = std::vector<std::pair<std::string, std::string>>;

// Every item of the tree with its modification time, then `now`.
constexpr char kDatesTemplate[] =
    R"(<!--#for var="tree"--><!--#if var="is_item"--><!--#echo var="rel_path"--> <!--#echo var="modified"-->
<!--#endif--><!--#endfor-->now <!--#echo var="now"-->
)";

// What a terminal would act on: C0 but tab and the line's own end, DEL, C1.
bool holds_control(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n' && (i + 1 == text.size() || text.compare(i + 1, 22, kPrefix) == 0)) continue;
    if ((byte < 0x20 && byte != '\t') || byte == 0x7f) return true;
    if (byte == 0xc2 && i + 1 < text.size() &&
        (static_cast<unsigned char>(text[i + 1]) & 0xe0) == 0x80) {
      return true;
    }
  }
  return false;
}

bool set_mtime(const std::string& path, int64_t seconds) {
  const struct timespec times[2] = {{static_cast<time_t>(seconds), 0},
                                    {static_cast<time_t>(seconds), 0}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

int64_t stored_mtime(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_mtim.tv_sec : 0;
}

// `t` as "%Y-%m-%d %H:%M:%S" in UTC, as the listing prints it: a moment
// beyond years 1 to 9999 as the nearer end.
std::string utc_text(int64_t t) {
  const time_t moment = static_cast<time_t>(std::clamp<int64_t>(t, -62135596800, 253402300799));
  struct tm broken {};
  gmtime_r(&moment, &broken);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &broken);
  return text;
}

class OddValues : public ::testing::Test {
 public:
  std::string at(const std::string& relative) const { return dir_.at(relative); }

  // The settings of a listing of `folder` with kDatesTemplate, dates in UTC.
  keys_t listing(const std::string& folder) const {
    return {{"path", folder},
            {"format_file", at("dates.html")},
            {"save", at("out.html")},
            {"recursion_depth", "-1"},
            {"order_files", "1"},
            {"is_local_date", "0"},
            {"date_format", "%Y-%m-%d %H:%M:%S"}};
  }

  limited_result run(const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {}) const {
    run_options options;
    options.cwd = dir_.path();
    options.environment = environment;
    return run_limited(args, options);
  }

  limited_result run_project(const std::string& text,
                             const std::vector<std::string>& environment = {}) const {
    dir_.write("p.txt", text);
    return run({at("p.txt")}, environment);
  }

  void SetUp() override { dir_.write("dates.html", kDatesTemplate); }

  temp_folder dir_;
};

// ---------------------------------------------------------------------------
// Messages

TEST_F(OddValues, ControlCharactersInMessagesAreEscaped) {
  const std::string odd =
      "a\x1b]0;owned\x07z\r\n\xc2\x9b"
      "2J";
  const std::string shown = "a\\e]0;owned\\x07z\\r\\n\\xc2\\x9b2J";
  dir_.write("tree/x.txt", "x");
  dir_.write("tree/" + odd + "/index.html", "<p>made by hand</p>");
  // A line end inside a value is the reader's to normalise: the value holds
  // the others.
  dir_.write("value.txt", "<project><path>" + at("tree") + "</path><format_file>" +
                              at("dates.html") + "</format_file><save>" + at("out.html") +
                              "</save><size_units>\x1b[2J\x07\xc2\x85\x7f</size_units></project>");
  const struct {
    const char* what;
    std::vector<std::string> args;
    int exit_code;
    std::string err;  // empty: checked by what it holds
  } cases[] = {
      {"a project value",
       {"value.txt"},
       0,
       kPrefix + std::string("warning: ") + at("value.txt") +
           ": project 1: \"size_units\" holds \"" +
           "\\e[2J\\x07\\xc2\\x85\\x7f\", not a number; read as 0\n"},
      {"a listed folder that is missing",
       {"-d", "1", odd},
       1,
       kPrefix + std::string(english::kCantOpenFolder) + at(shown) + "\n"},
      {"an output path",
       {"tree", "-s", at("dates.html"), "-o", odd + "/out.html"},
       1,
       kPrefix + std::string(english::kCantWriteFile) + at(shown + "/out.html") +
           ": No such file or directory\n"},
      {"a project file name",
       {odd + ".txt"},
       1,
       kPrefix + ("No such file or folder: " + shown) + ".txt\n"},
      {"a name in the tree", {"tree", "-s", at("dates.html"), "--per-folder", "-d", "1"}, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const limited_result result = run(c.args);
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
    EXPECT_FALSE(holds_control(result.err)) << result.err;
    if (!c.err.empty()) {
      EXPECT_EQ(result.err, c.err);
    } else {
      EXPECT_NE(result.err.find(at("tree/" + shown + "/index.html")), std::string::npos)
          << result.err;
    }
  }
}

TEST_F(OddValues, AMistakeRepeatedAMillionTimesIsOneWarning) {
  std::string text = "<project><path>" + at("tree") + "</path><format_file>" + at("dates.html") +
                     "</format_file><save>" + at("out.html") + "</save>";
  // 9 MB: well inside the 16 MiB a project file may hold.
  text.reserve(text.size() + 1000000 * 9);
  for (int i = 0; i < 1000000; ++i) text += "<colour/>";
  for (int i = 0; i < 3; ++i) text += "<sort_order>desc</sort_order>";
  dir_.write("tree/x.txt", "x");
  const limited_result result = run_project(text + "</project>");
  EXPECT_FALSE(result.hung);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  const std::string file = at("p.txt");
  EXPECT_EQ(result.err, kPrefix + ("warning: " + file) +
                            ": project 1: unknown key \"colour\" (repeated 999,999 more times)\n" +
                            kPrefix + "warning: " + file +
                            ": project 1: \"sort_order\" holds \"desc\", not a number; read as 0 "
                            "(repeated 2 more times)\n");
}

// ---------------------------------------------------------------------------
// Dates

// Files dated beyond what a date can print, and before year 1, print as the
// nearest printable date; the listing is written. Where the file system
// cuts such dates itself (ext4 stops in 2446) the stored date is printed.
TEST_F(OddValues, DatesOutOfReachPrintAsTheNearestDate) {
  // tmpfs keeps every 64-bit time; the test folder's file system may not.
  std::string base = dir_.path();
  char shm[] = "/dev/shm/dirscribe-dates-XXXXXX";
  const bool on_shm = ::mkdtemp(shm) != nullptr;
  if (on_shm) base = shm;
  const int64_t moments[] = {67767976233532800, 67767976233532799,  253402300800, 253402300799,
                             -62135596801,      -67767976233532799, INT64_MAX / 2};
  std::string expected;
  int number = 0;
  for (const int64_t moment : moments) {
    const std::string name = "f" + std::to_string(++number);
    const std::string path = base + "/tree/" + name;
    fs::create_directories(base + "/tree");
    dir_.write("scratch", "x");
    fs::copy_file(at("scratch"), path, fs::copy_options::overwrite_existing);
    if (!set_mtime(path, moment)) {
      fs::remove(path);
      continue;
    }
    expected += name + " " + utc_text(stored_mtime(path)) + "\n";
  }
  const limited_result result =
      run_project(project_text(listing(base + "/tree")), {"SOURCE_DATE_EPOCH=253402300799"});
  if (on_shm) fs::remove_all(shm);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(read_file(at("out.html")), expected + "now 9999-12-31 23:59:59\n");
}

// SOURCE_DATE_EPOCH that names no printable moment is ignored with a warning
// naming it, and the listing prints the present moment.
TEST_F(OddValues, ASourceDateEpochOutOfRangeIsIgnoredWithAWarning) {
  dir_.write("tree/x.txt", "x");
  ASSERT_TRUE(set_mtime(at("tree/x.txt"), 0));
  const struct {
    const char* value;
    bool fixed;
  } cases[] = {
      {"0", true}, {"99999999999999999", false}, {"-62135596801", false}, {"1700000000x", false},
      {"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const time_t before = std::time(nullptr);
    const limited_result result = run_project(project_text(listing(at("tree"))),
                                              {std::string("SOURCE_DATE_EPOCH=") + c.value});
    const time_t after = std::time(nullptr);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, c.fixed
                              ? ""
                              : kPrefix + ("warning: SOURCE_DATE_EPOCH \"" + std::string(c.value)) +
                                    "\" is not a whole number of seconds since 1970 between "
                                    "years 1 and 9999; the listings print the present "
                                    "moment\n");
    const std::string page = read_file(at("out.html"));
    const std::string now = page.substr(page.find("now ") + 4);
    if (c.fixed) {
      EXPECT_EQ(now, utc_text(0) + "\n");
    } else {
      EXPECT_TRUE(now == utc_text(before) + "\n" || now == utc_text(after) + "\n") << now;
    }
  }
}

// With local dates on, a folder's date is shifted as a file's is.
TEST_F(OddValues, FolderDatesFollowTheLocalDateRuleAsFileDatesDo) {
  dir_.write("tree/sub/x.txt", "x");
  ASSERT_TRUE(set_mtime(at("tree/sub/x.txt"), 2000));
  ASSERT_TRUE(set_mtime(at("tree/sub"), 8000));
  for (const char* local : {"0", "1"}) {
    SCOPED_TRACE(local);
    const limited_result result =
        run_project(project_text(with_keys(listing(at("tree")), {{"is_local_date", local}})),
                    {"TZ=EST5", "SOURCE_DATE_EPOCH=0"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    const int64_t shift = std::string(local) == "1" ? -5 * 3600 : 0;
    EXPECT_EQ(read_file(at("out.html")), "sub " + utc_text(8000 + shift) + "\nsub/x.txt " +
                                             utc_text(2000 + shift) + "\nnow " + utc_text(shift) +
                                             "\n");
  }
}

// ---------------------------------------------------------------------------
// Masks

// A mask holding bytes that are not UTF-8 takes the names holding those
// bytes, files and folders, to include and to skip; UTF-8 masks and ASCII
// case folding work as they always did.
TEST_F(OddValues, MasksThatAreNotUtf8MatchTheSameBytes) {
  dir_.write("tree/secret\xff.txt", "s");
  dir_.write("tree/Secret.txt", "s");
  dir_.write("tree/caf\xc3\xa9.txt", "c");
  dir_.write("tree/priv\xfe/in.txt", "i");
  dir_.write("tree/pub/in.txt", "i");
  const std::string secret = "secret\xff.txt", cafe = "caf\xc3\xa9.txt", priv = "priv\xfe/";
  const struct {
    keys_t filter;
    std::set<std::string> listed;
  } cases[] = {
      {{{"str_files_skip", "secret\xff.txt"}},
       {"Secret.txt", cafe, priv, priv + "in.txt", "pub/", "pub/in.txt"}},
      {{{"str_files_skip", "SECRET\xff.TXT;*.TXT"}}, {priv, "pub/"}},
      {{{"str_files_include", "*\xff*"}}, {priv, "pub/", secret}},
      {{{"str_files_include", "CAF\xc3\x89.TXT"}}, {cafe, priv, "pub/"}},
      {{{"str_folder_skip", "priv\xfe"}}, {"Secret.txt", cafe, secret, "pub/", "pub/in.txt"}},
      {{{"str_folder_include", "PRIV\xfe"}, {"str_files_include", "in.txt"}},
       {priv, priv + "in.txt"}},
  };
  // The lines of a listing, in any order.
  const auto listed = [&] {
    std::set<std::string> lines;
    std::istringstream page(read_file(at("out.html")));
    for (std::string line; std::getline(page, line);) lines.insert(line);
    return lines;
  };
  dir_.write(
      "paths.html",
      R"(<!--#for var="tree"--><!--#if var="is_item"--><!--#echo var="rel_path"--><!--#if var="is_folder"-->/<!--#endif-->
<!--#endif--><!--#endfor-->)");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter.front().second);
    keys_t settings =
        with_keys(listing(at("tree")), {{"format_file", at("paths.html")}, {"order_files", "5"}});
    std::string text = project_text(settings);
    std::string block = "<filter>\n";
    for (const auto& [key, value] : c.filter) {
      block += "<" + key + ">" + project_escape(value) + "</" + key + ">\n";
    }
    text.insert(text.rfind("</project>"), block + "</filter>\n");
    const limited_result result = run_project(text, {"LC_ALL=C.UTF-8"});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(listed(), c.listed);
  }
  // The same from the command line, as typed in a shell.
  const limited_result typed = run({"--exclude", "secret\xff.txt", "-s", at("paths.html"), "-o",
                                    at("out.html"), "-d", "-1", at("tree")},
                                   {"LC_ALL=C.UTF-8"});
  EXPECT_EQ(typed.exit_code, 0) << typed.err;
  EXPECT_EQ(listed(), std::set<std::string>(
                          {"Secret.txt", cafe, priv, priv + "in.txt", "pub/", "pub/in.txt"}));
}

}  // namespace
}  // namespace dirscribe::testing
