// Where a batch run finds its project file, and the progress line's text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/batch_run.h"
#include "app/progress_line.h"

namespace dirscribe {
namespace {

class ProjectPath : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dirscribe-batch-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    start_ = root_ + "/start";
    program_ = root_ + "/program/";
    ASSERT_EQ(std::system(("mkdir -p '" + start_ + "/sub' '" + program_ + "'").c_str()), 0);
  }
  void TearDown() override { std::system(("rm -rf '" + root_ + "'").c_str()); }
  void touch(const std::string& path) { std::ofstream(path) << "x"; }

  std::string root_, start_, program_;
};

TEST_F(ProjectPath, StartFolderFirstThenProgramFolder) {
  touch(start_ + "/here.txt");
  touch(program_ + "here.txt");
  touch(program_ + "only-there.txt");
  EXPECT_EQ(resolve_project_path("here.txt", start_, program_), start_ + "/here.txt");
  EXPECT_EQ(resolve_project_path("only-there.txt", start_, program_), program_ + "only-there.txt");
  // Nowhere: the program folder's name, so the failure names the file as typed.
  EXPECT_EQ(resolve_project_path("missing.txt", start_, program_), program_ + "missing.txt");
  EXPECT_EQ(resolve_project_path("/abs/p.txt", start_, program_), "/abs/p.txt");
  // A folder of that name is not a project file.
  EXPECT_EQ(resolve_project_path("sub", start_, program_), program_ + "sub");
  EXPECT_EQ(resolve_project_path("here.txt", start_ + "/", program_), start_ + "/here.txt");
}

TEST(SourceDateEpoch, OnlyWholeSecondsThatAListingCanPrintFixTheMoment) {
  const struct {
    const char* text;
    std::optional<int64_t> moment;
  } cases[] = {
      {"1700000000", 1700000000},
      {"0", 0},
      {"-1", -1},
      {"253402300799", 253402300799},  // 9999-12-31 23:59:59
      {"-62135596800", -62135596800},  // 0001-01-01 00:00:00
      {"253402300800", std::nullopt},  // year 10000
      {"-62135596801", std::nullopt},
      {"99999999999999999", std::nullopt},
      {"99999999999999999999999", std::nullopt},  // beyond 64 bits
      {"", std::nullopt},
      {" 1700000000", std::nullopt},
      {"1700000000 ", std::nullopt},
      {"+1700000000", std::nullopt},
      {"1700000000.5", std::nullopt},
      {"17e8", std::nullopt},
      {"now", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(source_date_epoch(c.text), c.moment) << c.text;
}

TEST(ProgressText, CountsSayOneFolderAndOneFile) {
  const struct {
    int64_t folders, files, thumbnails;
    const char* line;
  } cases[] = {
      {0, 0, 0, "0 folders, 0 files | x"},
      {1, 1, 0, "1 folder, 1 file | x"},
      {1, 2, 0, "1 folder, 2 files | x"},
      {2, 1, 0, "2 folders, 1 file | x"},
      {11, 101, 0, "11 folders, 101 files | x"},
      {1, 2, 1, "1 folder, 2 files, 1 thumbnail | x"},
      {1, 2, 40, "1 folder, 2 files, 40 thumbnails | x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(progress_text("x", c.folders, c.files, 80, c.thumbnails), c.line)
        << c.folders << " " << c.files << " " << c.thumbnails;
  }
}

TEST(ProgressText, CountsStayVisibleAndLongPathsKeepTheirEnd) {
  EXPECT_EQ(progress_text("Reading folder: /a/b", 3, 12, 80),
            "3 folders, 12 files | Reading folder: /a/b");
  const std::string deep = "Reading folder: /" + std::string(100, 'x') + "/last";
  const std::string line = progress_text(deep, 1, 2, 40);
  EXPECT_EQ(line.size(), 39u) << line;
  EXPECT_EQ(line.rfind("1 folder, 2 files | ...", 0), 0u) << line;
  EXPECT_TRUE(line.ends_with("/last")) << line;
  // Control bytes of odd names never reach the terminal.
  EXPECT_EQ(progress_text("a\nb\x1b", 0, 0, 80), "0 folders, 0 files | a\\nb\\e");
  // A cut never splits a UTF-8 character.
  const std::string accents = "Reading folder: " + std::string(40, 'a') + "\xC3\xA9\xC3\xA9";
  const std::string cut = progress_text(accents, 0, 0, 30);
  EXPECT_NE(static_cast<unsigned char>(cut[cut.find("...") + 3]) & 0xC0, 0x80);
  // Too narrow for any path: only the counts, cut to the width.
  EXPECT_EQ(progress_text("x", 10, 10, 10), "10 folder");
}

}  // namespace
}  // namespace dirscribe
