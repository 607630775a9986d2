#include "services/program_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

std::string lines(const std::vector<std::string>& elements) {
  std::string text;
  for (const std::string& element : elements) text += element + "\r\n";
  return text;
}

// One comparable line for every field.
std::string dump(const program_settings& settings) {
  std::string out = std::to_string(settings.left) + "," + std::to_string(settings.top) + "," +
                    std::to_string(settings.width) + "," + std::to_string(settings.height) + " [";
  for (const std::string& project : settings.recent_projects) out += project + "|";
  return out + "] " + settings.last_folder;
}

TEST(ProgramSettings, ReadsWhatTheFileHolds) {
  struct row {
    std::string file;
    bool read;
    std::string settings;  // dump() afterwards, starting from the values 9,9,9,9 [old|] old
  };
  const std::vector<row> rows = {
      {lines({"<left>-8</left>", "<top>20</top>", "<width>640</width>", "<height>480</height>",
              "<lastProjects>/a.txt</lastProjects>", "<lastDir>/home</lastDir>"}),
       true, "-8,20,640,480 [/a.txt|] /home"},
      {lines({"<lastProjects>1</lastProjects>", "<lastProjects>2</lastProjects>",
              "<lastProjects>3</lastProjects>", "<other>x</other>",
              "<lastProjects>4</lastProjects>", "<lastProjects>5</lastProjects>",
              "<lastProjects>6</lastProjects>", "<lastProjects>7</lastProjects>"}),
       true, "9,9,9,9 [1|2|3|4|5|] "},  // the first five; lastDir missing gives empty
      {lines({"<lastProjects>/p.txt</lastProjects>", "<lastProjects></lastProjects>",
              "<lastProjects>/p.txt</lastProjects>"}),
       true, "9,9,9,9 [/p.txt|/p.txt|] "},  // a duplicate reads twice; no text is skipped
      {lines({"<left></left>", "<top>x</top>", "<lastDir>/a &amp;b; c</lastDir>"}), true,
       "0,0,9,9 [] /a &b; c"},
      {lines({"<lastDir>/fish & chips</lastDir>"}), true, "9,9,9,9 [] /fish & chips"},
      {lines({"<left>1</left>", "<left><left>2</left></left>"}), false, "9,9,9,9 [old|] old"},
      {std::string(16 * 1024 * 1024 + 1, ' '), false, "9,9,9,9 [old|] old"},
      {"<a>" + std::string(1, '<'), false, "9,9,9,9 [old|] old"},
  };
  temp_folder folder;
  for (const row& r : rows) {
    folder.write("settings.txt", r.file);
    program_settings settings{9, 9, 9, 9, {"old"}, "old"};
    EXPECT_EQ(settings.read(folder.at("settings.txt")), r.read) << r.file.substr(0, 200);
    EXPECT_EQ(dump(settings), r.settings) << r.file.substr(0, 200);
  }
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "<left>";
  folder.write("settings.txt", deep);
  program_settings settings;
  EXPECT_FALSE(settings.read(folder.at("settings.txt")));
  EXPECT_FALSE(settings.read(folder.at("missing.txt")));
  EXPECT_EQ(dump(settings), "0,0,0,0 [] ");
}

TEST(ProgramSettings, WritesExactLinesThatReadBackUnchanged) {
  program_settings settings{-8,    30, 800, 600, {"/p/a & b.txt", "/p/&amp;.txt", "/p/<x>.txt"},
                            "/p/é"};
  EXPECT_EQ(settings_file_text(settings),
            lines({"<left>-8</left>", "<top>30</top>", "<width>800</width>", "<height>600</height>",
                   "<lastProjects>/p/a &amp; b.txt</lastProjects>",
                   "<lastProjects>/p/&amp;amp;.txt</lastProjects>",
                   "<lastProjects>/p/&lt;x&gt;.txt</lastProjects>",
                   "<lastDir>/p/&#195;&#169;</lastDir>"}));
  temp_folder folder;
  ASSERT_TRUE(settings.write(folder.at("settings.txt")).ok());
  program_settings read;
  ASSERT_TRUE(read.read(folder.at("settings.txt")));
  EXPECT_EQ(dump(read), dump(settings));

  const outcome failed = settings.write(folder.at("no/such/settings.txt"));
  EXPECT_EQ(failed.code(), result_write_failed);
  EXPECT_EQ(failed.message(), folder.at("no/such/settings.txt") + ": No such file or directory");
}

TEST(ProgramSettings, RememberKeepsFiveDistinctMostRecentFirst) {
  struct row {
    std::vector<std::string> before;
    std::string remembered;
    std::vector<std::string> after;
  };
  const std::vector<row> rows = {
      {{}, "/a", {"/a"}},
      {{"/a", "/b"}, "", {"/a", "/b"}},
      {{"/a", "/b", "/c"}, "/c", {"/c", "/a", "/b"}},
      {{"/a", "/a", "/b"}, "/c", {"/c", "/a", "/b"}},  // a read duplicate goes now
      {{"/1", "/2", "/3", "/4", "/5"}, "/6", {"/6", "/1", "/2", "/3", "/4"}},
      {{"/A"}, "/a", {"/a", "/A"}},  // paths compare byte for byte
  };
  for (const row& r : rows) {
    program_settings settings;
    settings.recent_projects = r.before;
    settings.remember_project(r.remembered);
    EXPECT_EQ(settings.recent_projects, r.after) << r.remembered;
  }
}

}  // namespace
}  // namespace dirscribe
