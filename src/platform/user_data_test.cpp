#include "platform/user_data.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/replacing_file.h"
#include "support/temp_folder.h"

namespace dirscribe {
namespace {

TEST(UserConfigFolder, FollowsTheXdgRules) {
  struct row {
    const char* xdg;
    const char* home;
    std::string folder;
  };
  const std::vector<row> rows = {
      {nullptr, "/home/ann", "/home/ann/.config/dirscribe/"},
      {"", "/home/ann", "/home/ann/.config/dirscribe/"},
      {"relative/config", "/home/ann", "/home/ann/.config/dirscribe/"},  // ignored
      {"/srv/config", "/home/ann", "/srv/config/dirscribe/"},
      {"/srv/config/", "/home/ann/", "/srv/config/dirscribe/"},
      {nullptr, nullptr, ""},
      {nullptr, "home", ""},
  };
  for (const row& r : rows) {
    EXPECT_EQ(user_config_folder(r.xdg, r.home), r.folder)
        << (r.xdg ? r.xdg : "(unset)") << " " << (r.home ? r.home : "(unset)");
  }
}

TEST(UserDataFolders, ReadTheUsersCopyFirstOnlyWhenTheProgramFolderIsReadOnly) {
  temp_folder program;
  temp_folder user;
  program.write("settings.txt", "program");
  program.write("templates.txt", "program");
  user.write("settings.txt", "user");

  const user_data_folders writable(program.path(), user.path(), true);
  EXPECT_EQ(writable.write_folder(), program.path() + "/");
  EXPECT_EQ(writable.read_path("settings.txt"), program.at("settings.txt"));
  EXPECT_EQ(writable.write_path("templates.txt"), program.at("templates.txt"));

  const user_data_folders installed(program.path(), user.path(), false);
  EXPECT_EQ(installed.write_folder(), user.path() + "/");
  EXPECT_EQ(installed.read_path("settings.txt"), user.at("settings.txt"));
  EXPECT_EQ(installed.read_path("templates.txt"), program.at("templates.txt"));  // no own copy yet
  EXPECT_EQ(installed.write_path("templates/a.html"), user.at("templates/a.html"));

  // Without a user folder there is nowhere else to write.
  const user_data_folders homeless(program.path(), "", false);
  EXPECT_EQ(homeless.write_folder(), program.path() + "/");
}

TEST(UserDataFolders, MakesTheUsersFolderPrivate) {
  temp_folder root;
  const user_data_folders installed(root.at("program"), root.at("config/dirscribe"), false);
  ASSERT_TRUE(installed.make_write_folder("templates"));
  struct stat status {};
  ASSERT_EQ(::stat(root.at("config/dirscribe/templates").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  EXPECT_TRUE(installed.make_write_folder("templates"));  // already there
  root.write("config/dirscribe/file", "x");
  EXPECT_FALSE(installed.make_write_folder("file"));  // a file in the way
}

// The exit code of `check` run in a child process as the user nobody.
int as_nobody(const std::function<bool()>& check) {
  const pid_t child = ::fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

TEST(UserDataFolders, AFolderTheUserCannotWriteSendsTheirDataToTheirOwnFolder) {
  temp_folder program;
  temp_folder home;
  ASSERT_EQ(::chmod(home.path().c_str(), 0777), 0);
  program.write("templates.txt", "program catalog");
  ASSERT_EQ(::chmod(program.path().c_str(), 0755), 0);
  // Permissions bind root only through another user; without root, the
  // folder is made read-only for this user instead.
  const bool root = ::geteuid() == 0;
  if (!root) {
    ASSERT_EQ(::chmod(program.path().c_str(), 0555), 0);
  }
  const auto check = [&] {
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    const user_data_folders folders = user_data_folders::for_program(program.path());
    if (folders.program_writable() || folders.user_folder() != home.path() + "/dirscribe/") {
      return false;
    }
    // First start: the catalog comes from the program; what is saved goes
    // to the user's folder.
    if (folders.read_path("templates.txt") != program.at("templates.txt")) return false;
    if (!folders.make_write_folder() ||
        !replace_file(folders.write_path("templates.txt"), "user catalog") ||
        !replace_file(folders.write_path("settings.txt"), "settings")) {
      return false;
    }
    // Second start reads them back from there.
    const user_data_folders again = user_data_folders::for_program(program.path());
    return again.read_path("templates.txt") == home.path() + "/dirscribe/templates.txt" &&
           read_file(again.read_path("settings.txt")) == "settings";
  };
  const int result = root ? as_nobody(check) : (check() ? 0 : 1);
  if (!root) ::chmod(program.path().c_str(), 0755);
  if (result == 2) GTEST_SKIP() << "could not switch to the user nobody";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(read_file(program.at("templates.txt")), "program catalog");
}

TEST(ReplaceFile, WholeOrNotAtAll) {
  temp_folder folder;
  const std::string path = folder.at("a.txt");
  ASSERT_TRUE(replace_file(path, "first"));
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(replace_file(path, "second"));
  EXPECT_EQ(read_file(path), "second");
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);  // the file's permissions stay
  EXPECT_FALSE(replace_file(folder.at("missing/a.txt"), "x"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

}  // namespace
}  // namespace dirscribe
