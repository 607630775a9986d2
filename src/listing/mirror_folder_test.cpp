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
    mirror_fault fault;
    const char* at_fault;
  } cases[] = {
      {"out", mirror_fault::none, ""},
      {"out/a/b/c", mirror_fault::none, ""},
      {"out/a/b/c", mirror_fault::none, ""},  // again: already there
      {"out/link/d", mirror_fault::symbolic_link, "out/link"},
      {"out/link", mirror_fault::symbolic_link, "out/link"},
      {"out/file/d", mirror_fault::not_a_folder, "out/file"},
  };
  for (const auto& c : cases) {
    const mirror_result made = make_mirror_folder(dir.at("out"), dir.at(c.folder));
    EXPECT_EQ(made.fault, c.fault) << c.folder;
    if (c.fault == mirror_fault::none) {
      EXPECT_TRUE(fs::is_directory(dir.at(c.folder))) << c.folder;
    } else {
      EXPECT_EQ(made.path, dir.at(c.at_fault)) << c.folder;
    }
  }
  // Nothing was made through the link, and the mirror root itself is made
  // when missing.
  EXPECT_TRUE(fs::is_empty(dir.at("elsewhere")));
  EXPECT_EQ(make_mirror_folder(dir.at("new/root"), dir.at("new/root/x")).fault, mirror_fault::none);
  EXPECT_TRUE(fs::is_directory(dir.at("new/root/x")));
}

}  // namespace
}  // namespace dirscribe
