#include "platform/file_system.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

// The simple model of an enumeration: the names readdir gives, "." and ".."
// left out, in its order.
std::vector<std::string> readdir_names(const std::string& path) {
  std::vector<std::string> names;
  DIR* folder = opendir(path.c_str());
  if (!folder) return names;
  while (const dirent* entry = readdir(folder)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
      names.push_back(entry->d_name);
    }
  }
  closedir(folder);
  return names;
}

class FileSystem : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    folder_.make_file("plain.txt", 5);
    folder_.make_file(".hidden", 1);
    folder_.make_file("read-only.txt", 2);
    ASSERT_EQ(::chmod(folder_.at("read-only.txt").c_str(), 0444), 0);
    folder_.make_folder("sub");
    folder_.make_folder(".hidden-folder");
    folder_.make_link("sub", "to-sub");
    folder_.make_link("plain.txt", "to-plain");
    folder_.make_link("nothing-here", "dangling");
    ASSERT_EQ(::mkfifo(folder_.at("pipe").c_str(), 0644), 0);
  }

  temp_folder folder_;
};

TEST_F(FileSystem, ListFolderDescribesEveryEntryInReaddirOrder) {
  struct expected {
    bool is_folder;
    uint64_t size;
    uint32_t attributes;
  };
  const std::map<std::string, expected> entries = {
      {"plain.txt", {false, 5, attribute_normal}},
      {".hidden", {false, 1, attribute_hidden}},
      {"read-only.txt", {false, 2, attribute_read_only}},
      {"sub", {true, 0, attribute_folder}},
      {".hidden-folder", {true, 0, attribute_folder | attribute_hidden}},
      {"to-sub", {true, 0, attribute_folder | attribute_link}},
      {"to-plain", {false, 5, attribute_link}},
      {"dangling", {false, 0, attribute_link}},
      {"pipe", {false, 0, attribute_system}},
  };
  std::vector<std::string> names;
  ASSERT_TRUE(list_folder(folder_.path(), [&](const std::string& name, const file_status& status) {
    names.push_back(name);
    const auto found = entries.find(name);
    ASSERT_NE(found, entries.end()) << name;
    EXPECT_EQ(status.is_folder, found->second.is_folder) << name;
    EXPECT_EQ(status.size, found->second.size) << name;
    EXPECT_EQ(status.attributes, found->second.attributes) << name;
  }));
  EXPECT_EQ(names.size(), entries.size());
  EXPECT_EQ(names, readdir_names(folder_.path()));
}

TEST_F(FileSystem, ListSubfoldersGivesTheFoldersThatAreNoLinks) {
  std::vector<std::string> expected;
  for (const std::string& name : readdir_names(folder_.path())) {
    if (name == "sub" || name == ".hidden-folder") expected.push_back(name);
  }
  std::vector<std::string> names;
  ASSERT_TRUE(
      list_subfolders(folder_.path(), [&](const std::string& name) { names.push_back(name); }));
  EXPECT_EQ(names, expected);
}

TEST_F(FileSystem, FoldersThatCannotBeOpenedFail) {
  const std::string paths[] = {folder_.at("absent"), folder_.at("plain.txt"),
                               folder_.at("dangling")};
  for (const std::string& path : paths) {
    int calls = 0;
    EXPECT_FALSE(list_folder(path, [&](const std::string&, const file_status&) { ++calls; }))
        << path;
    EXPECT_FALSE(list_subfolders(path, [&](const std::string&) { ++calls; })) << path;
    EXPECT_EQ(calls, 0) << path;
  }
}

}  // namespace
}  // namespace dirscribe
