#include "listing/mirror_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

TEST(MirrorFolder, PathBelowTheListedRootUnderTheMirrorRoot) {
  struct Case {
    const char* folder;
    const char* mirrored;
  } cases[] = {
      {"/srv/share", "/out"},
      {"/srv/share/a", "/out/a"},
      {"/srv/share/a/b c", "/out/a/b c"},
      {"/srv/share/./a/../b", "/out/b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mirror_folder("/srv/share", c.folder, "/out"), c.mirrored) << c.folder;
  }
}

TEST(MirrorFolder, MadeAsNeededButNeverThroughWhatIsInTheWay) {
  temp_folder dir;
  dir.make_folder("elsewhere");
  dir.write("out/file", "x");
  fs::create_directory_symlink(dir.at("elsewhere"), dir.at("out/link"));
  struct Case {
    const char* folder;
    int code;
    const char* at_fault;
  } cases[] = {
      {"out", result_ok, ""},
      {"out/a/b/c", result_ok, ""},
      {"out/a/b/c", result_ok, ""},  // again: already there
      {"out/link/d", result_mirror_link_in_the_way, "out/link"},
      {"out/link", result_mirror_link_in_the_way, "out/link"},
      {"out/file/d", result_mirror_not_a_folder, "out/file"},
      {"out/file/d/e", result_mirror_not_a_folder, "out/file"},
  };
  for (const auto& c : cases) {
    const mirror_result made = make_mirror_folder(dir.at("out"), dir.at(c.folder));
    EXPECT_EQ(made.result.code(), c.code) << c.folder;
    if (c.code == result_ok) {
      EXPECT_TRUE(fs::is_directory(dir.at(c.folder))) << c.folder;
      EXPECT_NE(made.folder, nullptr) << c.folder;
    } else {
      EXPECT_EQ(made.result.message(), dir.at(c.at_fault)) << c.folder;
      EXPECT_EQ(made.folder, nullptr) << c.folder;
    }
  }
  // A folder the system refuses is named with the system's reason.
  const std::string long_name(300, 'x');
  const mirror_result refused = make_mirror_folder(dir.at("out"), dir.at("out/" + long_name));
  EXPECT_EQ(refused.result.code(), result_mirror_not_made);
  EXPECT_EQ(refused.result.message(), dir.at("out/" + long_name) + ": File name too long");
  const mirror_result no_root =
      make_mirror_folder(dir.at("out/file/root"), dir.at("out/file/root"));
  EXPECT_EQ(no_root.result.message(), dir.at("out/file/root") + ": Not a directory");
  // Nothing was made through the link, and the mirror root itself is made
  // when missing.
  EXPECT_TRUE(fs::is_empty(dir.at("elsewhere")));
  EXPECT_TRUE(make_mirror_folder(dir.at("new/root"), dir.at("new/root/x")).result.ok());
  EXPECT_TRUE(fs::is_directory(dir.at("new/root/x")));
}

}  // namespace
}  // namespace dirscribe
