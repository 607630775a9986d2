// Names and values that are odd or hostile, through the assembled program:
// messages show control characters escaped and a repeated mistake once.
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

}  // namespace
}  // namespace dirscribe::testing
