#include "platform/replacing_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/commit_queue.h"
#include "platform/output_mark.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

// Writes `text` as the new content of `name` through replacing_file; stops
// before the commit when `commit` is false.
bool write_through(const held_folder& folder, const std::string& name, const std::string& text,
                   bool commit) {
  struct stat status {};
  const bool replaces = look_at_target(*folder, name, status) == target_kind::regular_file;
  replacing_file file;
  if (!file.begin(folder, name, replaces ? &status : nullptr)) return false;
  std::fputs(text.c_str(), file.stream());
  return commit && file.commit(true);
}

TEST(ReplacingFile, ReplacesWholeKeepsPermissionsAndNeverWritesThroughALink) {
  temp_folder dir;
  dir.write("page.html", "old");
  ASSERT_EQ(::chmod(dir.at("page.html").c_str(), 0640), 0);
  ASSERT_EQ(::link(dir.at("page.html").c_str(), dir.at("other-name.html").c_str()), 0);
  const held_folder folder = folder_handle::open_path(dir.path()).folder;
  ASSERT_TRUE(folder);

  // Abandoned part way: the old file as it was, nothing beside it.
  ASSERT_FALSE(write_through(folder, "page.html", "half", false));
  EXPECT_EQ(read_file(dir.at("page.html")), "old");
  EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"page.html", "other-name.html"}));

  ASSERT_TRUE(write_through(folder, "page.html", "new", true));
  EXPECT_EQ(read_file(dir.at("page.html")), "new");
  EXPECT_EQ(read_file(dir.at("other-name.html")), "old") << "written through the hard link";
  EXPECT_EQ(fs::status(dir.at("page.html")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(written_by_dirscribe(folder->descriptor(), "page.html"));
  EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"page.html", "other-name.html"}));
}

TEST(ReplacingFile, ReplaceFileRefusesWhatIsNotARegularFile) {
  temp_folder dir;
  dir.write("target.txt", "kept");
  dir.make_link(dir.at("target.txt"), "link.txt");
  ASSERT_EQ(::mkfifo(dir.at("fifo").c_str(), 0644), 0);
  EXPECT_FALSE(replace_file(dir.at("link.txt"), "x"));
  EXPECT_FALSE(replace_file(dir.at("fifo"), "x"));
  EXPECT_FALSE(replace_file(dir.at("missing/x.txt"), "x"));
  EXPECT_EQ(read_file(dir.at("target.txt")), "kept");
  EXPECT_TRUE(fs::is_symlink(dir.at("link.txt")));
  EXPECT_TRUE(replace_file(dir.at("new.txt"), "made"));
  EXPECT_EQ(read_file(dir.at("new.txt")), "made");
}

TEST(ReplacingFile, TemporaryNamesOfAnOutput) {
  struct {
    const char* name;
    bool temporary;
  } cases[] = {
      {".index.html.dirscribe-a1b2c3", true},   {"index.html.dirscribe-a1b2c3", false},
      {".index.html.dirscribe-a1b2", false},    {".other.html.dirscribe-a1b2c3", false},
      {".index.html.dirscribe-a1b2c3x", false}, {"index.html", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(is_temporary_of(c.name, "index.html"), c.temporary) << c.name;
}

// A file begun in `folder` with `text` written, ready to be handed over.
std::unique_ptr<replacing_file> begun(const held_folder& folder, const std::string& name,
                                      const std::string& text) {
  auto file = std::make_unique<replacing_file>();
  EXPECT_TRUE(file->begin(folder, name, nullptr));
  std::fputs(text.c_str(), file->stream());
  return file;
}

TEST(CommitQueue, PutsFilesInPlaceInOrderAndNothingAfterTheFirstFailure) {
  temp_folder dir;
  const held_folder folder = folder_handle::open_path(dir.path()).folder;
  ASSERT_TRUE(folder);
  {
    commit_queue commits(2);  // fewer places than files: handing over waits
    for (int i = 0; i < 6; ++i) {
      const std::string name = "page" + std::to_string(i % 3) + ".html";
      commits.push(begun(folder, name, "run " + std::to_string(i)), true, name);
    }
    EXPECT_FALSE(commits.finish());
  }
  // The later of two files for one name is the one that stays.
  for (int i = 0; i < 3; ++i) {
    const std::string name = "page" + std::to_string(i) + ".html";
    EXPECT_EQ(read_file(dir.at(name)), "run " + std::to_string(i + 3));
    EXPECT_TRUE(written_by_dirscribe(folder->descriptor(), name));
  }

  // A file renamed onto a folder fails; what is handed over after it is
  // abandoned, and no temporary stays.
  dir.make_folder("blocked.html/inside");
  commit_queue commits;
  commits.push(begun(folder, "blocked.html", "x"), true, "first");
  commits.push(begun(folder, "after.html", "y"), true, "second");
  const std::optional<commit_failure> failed = commits.finish();
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->label, "first");
  EXPECT_NE(failed->error, 0);
  EXPECT_EQ(names_in(dir.path()),
            (std::set<std::string>{"page0.html", "page1.html", "page2.html", "blocked.html"}));
}

TEST(OutputMark, TellsPagesDirscribeWroteFromOthers) {
  temp_folder dir;
  dir.write("bundled.html", "<html><head><META NAME=\"generator\" CONTENT=\"Dirscribe\">");
  dir.write("hand-made.html", "<h1>mine</h1>");
  dir.write("late-meta.html",
            std::string(5000, ' ') + "<meta name=\"generator\" content=\"Dirscribe\">");
  dir.write("empty.html", "");
  dir.make_link(dir.at("bundled.html"), "link.html");
  const held_folder folder = folder_handle::open_path(dir.path()).folder;
  ASSERT_TRUE(folder);
  EXPECT_TRUE(written_by_dirscribe(folder->descriptor(), "bundled.html"));
  for (const char* other :
       {"hand-made.html", "late-meta.html", "empty.html", "link.html", "none"}) {
    EXPECT_FALSE(written_by_dirscribe(folder->descriptor(), other)) << other;
  }
  // The mark itself changes no byte.
  const int descriptor = ::openat(folder->descriptor(), "hand-made.html", O_RDWR);
  ASSERT_GE(descriptor, 0);
  mark_as_written(descriptor);
  ::close(descriptor);
  EXPECT_TRUE(written_by_dirscribe(folder->descriptor(), "hand-made.html"));
  EXPECT_EQ(read_file(dir.at("hand-made.html")), "<h1>mine</h1>");
  // A link to a marked page is no page of ours: the mark is never read
  // through it.
  dir.make_link(dir.at("hand-made.html"), "link-to-marked.html");
  EXPECT_FALSE(written_by_dirscribe(folder->descriptor(), "link-to-marked.html"));
}

TEST(FolderHandle, OpensSubfoldersButNeverThroughALink) {
  temp_folder dir;
  dir.make_folder("sub");
  dir.write("file.txt", "x");
  dir.make_link(dir.at("sub"), "link");
  const held_folder folder = folder_handle::open_path(dir.path()).folder;
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->open_child("sub").fault, folder_fault::none);
  EXPECT_EQ(folder->open_child("link").fault, folder_fault::symbolic_link);
  EXPECT_EQ(folder->open_child("file.txt").fault, folder_fault::not_a_folder);
  EXPECT_EQ(folder->open_child("missing").fault, folder_fault::failed);
  EXPECT_EQ(folder->make_child("link").fault, folder_fault::symbolic_link);
  EXPECT_TRUE(fs::is_empty(dir.at("sub")));
  const folder_opening made = folder->make_child("new");
  ASSERT_EQ(made.fault, folder_fault::none);
  EXPECT_TRUE(fs::is_directory(dir.at("new")));
  // The top is followed as the user named it.
  EXPECT_TRUE(folder_handle::open_path(dir.at("link")).folder);
}

}  // namespace
}  // namespace dirscribe
