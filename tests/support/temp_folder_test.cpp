#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

TEST(TempFolder, WritesFilesFoldersAndLinks) {
  temp_folder folder;
  ASSERT_FALSE(folder.path().empty());
  EXPECT_TRUE(fs::is_directory(folder.path()));
  EXPECT_EQ(folder.at("a/b.txt"), folder.path() + "/a/b.txt");

  const struct {
    const char* relative;
    std::string content;
  } files[] = {
      {"top.txt", "plain"},
      {"deep/er/still/file.bin", std::string("bytes\r\n\0kept", 12)},
      {"empty", ""},
  };
  for (const auto& file : files) {
    folder.write(file.relative, file.content);
    EXPECT_EQ(read_file(folder.at(file.relative)), file.content) << file.relative;
  }
  folder.write("top.txt", "again");
  EXPECT_EQ(read_file(folder.at("top.txt")), "again");

  folder.make_file("sized/seven", 7);
  EXPECT_EQ(read_file(folder.at("sized/seven")), "xxxxxxx");
  folder.make_folder("made/two");
  EXPECT_TRUE(fs::is_directory(folder.at("made/two")));
  folder.make_link("../top.txt", "made/link");
  EXPECT_EQ(fs::read_symlink(folder.at("made/link")), "../top.txt");
  EXPECT_EQ(read_file(folder.at("made/link")), "again");
  EXPECT_EQ(read_file(folder.at("no-such-file")), "");
}

// The folder goes with everything in it, also folders a test locked.
TEST(TempFolder, RemovalRestoresPermissionsFirst) {
  std::string path;
  {
    temp_folder folder;
    path = folder.path();
    folder.write("locked/inner/file.txt", "x");
    // A link to a folder outside is removed, never followed.
    folder.make_link("/", "locked/to-root");
    ASSERT_EQ(::chmod(folder.at("locked/inner").c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder.at("locked").c_str(), 0), 0);
  }
  EXPECT_FALSE(fs::exists(path)) << path;
}

}  // namespace
}  // namespace dirscribe
