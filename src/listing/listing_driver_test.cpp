// The driver under faults that need a hook inside a run: folders removed
// while the tree is listed and a template deleted after it was parsed. The
// progress callback runs before each folder is read, so it can change the
// tree at a chosen moment.
#include "listing/listing_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/build_counts.h"
#include "engine/html_list_project.h"
#include "engine/listing_run.h"
#include "engine/project_context.h"
#include "services/phrase_table.h"
#include "support/temp_folder.h"
#include "support/test_phrases.h"

namespace dirscribe {
namespace {

namespace fs = std::filesystem;

// Every listed entry as its relative path on a line of its own.
constexpr char kPathsTemplate[] =
    "<!--#for var=\"tree\"--><!--#if var=\"is_item\"--><!--#echo var=\"rel_path\"-->\n"
    "<!--#endif--><!--#endfor-->";

class DriverFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    const outcome loaded = load_english_phrases(language_);
    ASSERT_TRUE(loaded.ok()) << loaded.message();
    tree_ = folder_.at("tree");
    make_tree();
    write_template(kPathsTemplate);
  }

  // a, b, c each with a file and a subfolder holding another.
  void make_tree() {
    for (const char* name : {"a", "b", "c"}) {
      folder_.make_folder(std::string("tree/") + name + "/inner");
      folder_.make_file(std::string("tree/") + name + "/file.txt", 3);
      folder_.make_file(std::string("tree/") + name + "/inner/deep.txt", 4);
    }
  }

  void write_template(const std::string& text) { folder_.write("template.html", text); }

  // Runs one project over the tree; `on_folder` gets each folder the run is
  // about to read.
  int run(std::function<void(const std::string&)> on_folder, bool one_file,
          int32_t recursive_options = 0) {
    project_context collection;
    collection.language = &language_;
    collection.program_folder = folder_.path() + "/";
    collection.fill_size_unit_names();
    auto project = std::make_unique<html_list_project>();
    reset_project(*project);
    project_settings& settings = project->settings;
    settings.path = tree_;
    settings.format_file = folder_.at("template.html");
    settings.recursion_depth = -1;
    settings.subfolders_in_one_file = one_file;
    settings.recursive_options = recursive_options;
    settings.order_files = 1;
    settings.save = one_file ? folder_.at("listing.html") : "index.html";
    collection.projects.push_back(std::move(project));
    collection.progress = [&](std::string message) {
      ASSERT_EQ(message.rfind(english::kReadingFolder, 0), 0u) << message;
      const std::string folder = message.substr(std::string(english::kReadingFolder).size());
      read_.push_back(folder);
      if (on_folder) on_folder(folder);
    };
    const outcome built = run_collection(collection);
    error_text_ = built.message();
    EXPECT_EQ(collection.last_result.code(), built.code());
    return built.code();
  }

  temp_folder folder_;
  phrase_table language_;
  std::string tree_;
  std::vector<std::string> read_;  // folders reported, in order
  std::string error_text_;
};

// A folder removed after its parent was read, before the walk reaches it: the
// run fails naming it rather than finishing a listing that lacks it.
TEST_F(DriverFaults, FolderRemovedWhileListingFailsNamingIt) {
  struct mode {
    const char* what;
    bool one_file;
    int32_t recursive_options;
    int code;
  };
  const std::vector<mode> modes = {
      {"tree loop in one file", true, 0, 20005},
      {"subtree sizes in one file", true, 1, 20005},
      {"one file per folder", false, 0, 20002},
      // The tree is walked once for its sizes before any page is written.
      {"subtree sizes, one file per folder", false, 1, 20005},
  };
  for (const mode& m : modes) {
    SCOPED_TRACE(m.what);
    make_tree();
    // When the walk reports its first subfolder of the top, the others are
    // still to come (in whatever order the walk takes them): remove one.
    std::string doomed;
    read_.clear();
    const int code = run(
        [&](const std::string& folder) {
          if (!doomed.empty() || fs::path(folder).parent_path() != tree_) return;
          doomed = tree_ + (folder == tree_ + "/c" ? "/a" : "/c");
          fs::remove_all(doomed);
        },
        m.one_file, m.recursive_options);
    EXPECT_EQ(code, m.code);
    EXPECT_EQ(error_text_, english::kCantOpenFolder + doomed);
    // Every run stops at the missing folder: nothing after it in the walk's
    // order (by name) was read.
    ASSERT_FALSE(read_.empty());
    for (const std::string& folder : read_) {
      EXPECT_LT(folder, doomed) << "the run went on past the missing folder";
    }
  }
}

// A folder removed after its parent's entries were read, while the walk is
// inside an earlier sibling: the same failure, one level down.
TEST_F(DriverFaults, SubfolderRemovedInsideAFolderBeingListed) {
  folder_.make_folder("tree/b/later");
  folder_.make_file("tree/b/later/x.txt", 1);
  const std::string doomed = tree_ + "/b/later";
  const int code = run(
      [&](const std::string& folder) {
        if (folder == tree_ + "/b/inner") fs::remove_all(doomed);
      },
      true);
  EXPECT_EQ(code, 20005);
  EXPECT_EQ(error_text_, english::kCantOpenFolder + doomed);
}

// A folder removed before the walk lists its parent is simply not there: the
// listing is complete for the tree as it then stands.
TEST_F(DriverFaults, FolderRemovedBeforeItsParentIsReadIsNotListed) {
  const int code = run(
      [&](const std::string& folder) {
        if (folder == tree_) fs::remove_all(tree_ + "/c");
      },
      true);
  ASSERT_EQ(code, 0) << error_text_;
  const std::string listing = read_file(folder_.at("listing.html"));
  EXPECT_EQ(listing,
            "a\na/inner\na/inner/deep.txt\na/file.txt\n"
            "b\nb/inner\nb/inner/deep.txt\nb/file.txt\n");
}

// The template is read once per project: deleting it after the first folder
// changes nothing, in either output mode.
TEST_F(DriverFaults, TemplateDeletedAfterParsingStillListsEverything) {
  const std::string template_path = folder_.at("template.html");
  const auto remove_template = [&](const std::string&) { fs::remove(template_path); };

  ASSERT_EQ(run(remove_template, true), 0) << error_text_;
  EXPECT_FALSE(fs::exists(template_path));
  const std::string listing = read_file(folder_.at("listing.html"));
  EXPECT_EQ(listing,
            "a\na/inner\na/inner/deep.txt\na/file.txt\n"
            "b\nb/inner\nb/inner/deep.txt\nb/file.txt\n"
            "c\nc/inner\nc/inner/deep.txt\nc/file.txt\n");

  write_template(kPathsTemplate);
  ASSERT_EQ(run(remove_template, false), 0) << error_text_;
  EXPECT_EQ(read_file(tree_ + "/index.html"), "a\nb\nc\n");
  for (const char* name : {"a", "b", "c"}) {
    EXPECT_EQ(read_file(tree_ + "/" + name + "/index.html"), "inner\nfile.txt\n") << name;
    EXPECT_EQ(read_file(tree_ + "/" + name + "/inner/index.html"), "deep.txt\n") << name;
  }
}

// Each folder is reported once, whatever reads it, so the progress display
// counts folders without remembering them: a run with subtree sizes reports
// what its walk records and reads it back silently, and a summary made apart
// from the listing reports nothing (the progress line once said 19 folders
// of a tree of 11).
TEST_F(DriverFaults, ProgressReportsEveryFolderOnce) {
  struct mode {
    const char* what;
    bool one_file;
    int32_t recursive_options;
  };
  const std::vector<mode> modes = {
      {"tree loop in one file", true, 0},
      {"subtree sizes in one file", true, 1},
      {"empty folders left out in one file", true, 6},
      {"one file per folder", false, 0},
      {"subtree sizes, one file per folder", false, 1},
  };
  // The top, a, b, c and their three inner folders.
  constexpr int64_t kFolders = 7;
  for (const mode& m : modes) {
    SCOPED_TRACE(m.what);
    read_.clear();
    ASSERT_EQ(run(nullptr, m.one_file, m.recursive_options), 0) << error_text_;
    build_counts counts;
    for (const std::string& folder : read_) counts.folder_read(english::kReadingFolder + folder);
    EXPECT_EQ(counts.folders(), kFolders);
    std::vector<std::string> distinct = read_;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_EQ(distinct.size(), read_.size());
  }
}

// A build works out what it needs in a run of its own and leaves the settings
// as the user set them, so a project saved after a build writes the same keys.
TEST_F(DriverFaults, BuildLeavesTheSettingsAsSet) {
  project_context collection;
  collection.language = &language_;
  collection.program_folder = folder_.path() + "/";
  html_list_project& project = collection.first_project_creating();
  project_settings& settings = project.settings;
  settings.path = "tree/";  // relative to the program folder, with a trailing "/"
  settings.format_file = "template.html";
  settings.image_dir = "icons";
  settings.save = folder_.at("listing.html");
  settings.filter.time_filter = time_last;
  settings.filter.size_filter = size_not_below;
  const project_settings before = settings;
  ASSERT_TRUE(run_collection(collection).ok());
  std::vector<std::string> saved_before, saved_after;
  write_project(html_list_project{before}, saved_before);
  write_project(project, saved_after);
  EXPECT_EQ(saved_after, saved_before);
  // What the build worked out from them, it worked out in a run of its own.
  listing_run run(project.settings, collection);
  prepare_run(run);
  EXPECT_EQ(run.folder, tree_);
  EXPECT_EQ(run.image_dir, "icons/");
  EXPECT_EQ(run.filter.size_end, 4294967295u);

  // Without phrases a build cannot name what fails, and says so.
  collection.language = nullptr;
  const outcome built = run_collection(collection);
  EXPECT_EQ(built.code(), result_no_phrases);
  EXPECT_FALSE(built.message().empty());
}

}  // namespace
}  // namespace dirscribe
