#include "platform/spare_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/replacing_file.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

ino_t inode_of(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

mode_t mode_of(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

// Replaces (or makes) `name` in `folder` with `text` through `spares`.
bool replace_through(spare_files& spares, const held_folder& folder, const std::string& name,
                     const std::string& text) {
  struct stat status {};
  const bool replaces = look_at_target(*folder, name, status) == target_kind::regular_file;
  replacing_file file;
  if (!file.begin(folder, name, replaces ? &status : nullptr, &spares)) return false;
  std::fputs(text.c_str(), file.stream());
  return file.commit(true);
}

mode_t new_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

TEST(SpareFiles, EachPageIsWrittenIntoTheFileTheLastOneReplaced) {
  temp_folder dir;
  dir.write("a/page.html", "the old page of a, longer than any new page");
  dir.write("b/page.html", "old b");
  dir.make_folder("c");
  ASSERT_EQ(::chmod(dir.at("a/page.html").c_str(), 0600), 0);
  ASSERT_EQ(::chmod(dir.at("b/page.html").c_str(), 0640), 0);
  const held_folder a = folder_handle::open_path(dir.at("a")).folder;
  const held_folder b = folder_handle::open_path(dir.at("b")).folder;
  const held_folder c = folder_handle::open_path(dir.at("c")).folder;
  ASSERT_TRUE(a && b && c);
  const ino_t old_a = inode_of(dir.at("a/page.html"));
  const ino_t old_b = inode_of(dir.at("b/page.html"));
  {
    spare_files spares;
    ASSERT_TRUE(replace_through(spares, a, "page.html", "new a"));
    EXPECT_EQ(spares.kept(), 1u);
    // b's page goes into a's old file: cut to its own length, with b's
    // permissions, not a's.
    ASSERT_TRUE(replace_through(spares, b, "page.html", "new b"));
    EXPECT_EQ(inode_of(dir.at("b/page.html")), old_a);
    EXPECT_EQ(read_file(dir.at("b/page.html")), "new b");
    EXPECT_EQ(mode_of(dir.at("b/page.html")), 0640u);
    // A new page goes into b's old file with a new file's permissions.
    ASSERT_TRUE(replace_through(spares, c, "page.html", "new c"));
    EXPECT_EQ(inode_of(dir.at("c/page.html")), old_b);
    EXPECT_EQ(read_file(dir.at("c/page.html")), "new c");
    EXPECT_EQ(mode_of(dir.at("c/page.html")), new_file_mode());
    EXPECT_EQ(read_file(dir.at("a/page.html")), "new a");
    EXPECT_EQ(mode_of(dir.at("a/page.html")), 0600u);
  }
  // The last file kept goes with the spares; nothing hidden is left.
  for (const char* folder : {"a", "b", "c"}) {
    EXPECT_EQ(names_in(dir.at(folder)), std::set<std::string>{"page.html"}) << folder;
  }
}

TEST(SpareFiles, AFileThatMeansMoreThanAnOldPageIsNeverWrittenAgain) {
  struct {
    const char* name;
    bool hard_link;       // the old page has a second name elsewhere
    bool user_attribute;  // someone set an attribute of their own on it
  } cases[] = {{"hard link", true, false}, {"attribute of a user", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    temp_folder dir;
    dir.write("a/page.html", "old a");
    dir.write("b/page.html", "old b");
    if (c.hard_link) {
      ASSERT_EQ(::link(dir.at("a/page.html").c_str(), dir.at("saved.html").c_str()), 0);
    }
    if (c.user_attribute &&
        ::setxattr(dir.at("a/page.html").c_str(), "user.note", "mine", 4, 0) != 0) {
      GTEST_SKIP() << "no extended attributes here";
    }
    const held_folder a = folder_handle::open_path(dir.at("a")).folder;
    const held_folder b = folder_handle::open_path(dir.at("b")).folder;
    ASSERT_TRUE(a && b);
    {
      // (The inode number proves nothing here: a file removed may give its
      // number to the next one made.)
      spare_files spares;
      ASSERT_TRUE(replace_through(spares, a, "page.html", "new a"));
      ASSERT_TRUE(replace_through(spares, b, "page.html", "new b"));
      EXPECT_EQ(read_file(dir.at("b/page.html")), "new b");
      char value[8];
      EXPECT_LT(::getxattr(dir.at("b/page.html").c_str(), "user.note", value, sizeof value), 0);
    }
    if (c.hard_link) {
      EXPECT_EQ(read_file(dir.at("saved.html")), "old a");
    }
    EXPECT_EQ(names_in(dir.at("a")), std::set<std::string>{"page.html"});
    EXPECT_EQ(names_in(dir.at("b")), std::set<std::string>{"page.html"});
  }
}

TEST(SpareFiles, ContentHeldUntilTheCommitReachesTheFileWhole) {
  // Sizes around what is held in memory before the file is made.
  for (const size_t size :
       {size_t{0}, size_t{5}, size_t{1} << 18, (size_t{1} << 18) + 1, size_t{3} << 19}) {
    SCOPED_TRACE(size);
    temp_folder dir;
    dir.write("a/page.html", "old a");
    dir.make_folder("b");
    const held_folder a = folder_handle::open_path(dir.at("a")).folder;
    const held_folder b = folder_handle::open_path(dir.at("b")).folder;
    ASSERT_TRUE(a && b);
    std::string text(size, 'x');
    for (size_t i = 0; i < size; i += 997) text[i] = static_cast<char>('a' + i % 26);
    {
      spare_files spares;
      ASSERT_TRUE(replace_through(spares, a, "page.html", text));
      ASSERT_TRUE(replace_through(spares, b, "page.html", text + "b"));
    }
    EXPECT_EQ(read_file(dir.at("a/page.html")), text);
    EXPECT_EQ(read_file(dir.at("b/page.html")), text + "b");
    EXPECT_EQ(names_in(dir.at("a")), std::set<std::string>{"page.html"});
  }
}

TEST(SpareFiles, AFileThatCannotBeMadeAtTheCommitFailsIt) {
  temp_folder dir;
  dir.make_folder("gone");
  const held_folder gone = folder_handle::open_path(dir.at("gone")).folder;
  ASSERT_TRUE(gone);
  spare_files spares;
  replacing_file file;
  ASSERT_TRUE(file.begin(gone, "page.html", nullptr, &spares));
  std::fputs("content", file.stream());
  ASSERT_EQ(::rmdir(dir.at("gone").c_str()), 0);
  EXPECT_FALSE(file.commit(true));
  EXPECT_EQ(errno, ENOENT);
}

}  // namespace
}  // namespace dirscribe
