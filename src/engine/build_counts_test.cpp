#include "engine/build_counts.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/html_list_project.h"
#include "engine/project_context.h"

namespace dirscribe {
namespace {

// One step of a build as the counts see it: a progress message, or the
// listing totals of the collection's two projects at that moment.
struct step {
  const char* message;  // nullptr: a file count update instead
  int32_t first_total;
  int32_t second_total;
  int64_t folders;  // the counts after the step
  int64_t files;
};

TEST(BuildCounts, FoldersOnceAndFilesCarriedOverOutputFiles) {
  const std::vector<step> steps = {
      {"Reading folder: /t", 0, 0, 1, 0},
      // The summary read /t/a; the listing reads it again.
      {"Reading folder: /t/a", 0, 0, 2, 0},
      {"Reading folder: /t/a", 0, 0, 2, 0},
      {nullptr, 5, 0, 2, 5},
      {"Reading folder: /t/b", 0, 0, 3, 5},
      {nullptr, 8, 0, 3, 8},
      // The first project's next output file restarts its total: the eight
      // files of the finished one stay counted.
      {nullptr, 2, 0, 3, 10},
      {nullptr, 2, 4, 3, 14},
      // A name that differs only by a trailing blank is another folder.
      {"Reading folder: /t/b ", 0, 0, 4, 14},
      {nullptr, 3, 4, 4, 15},
  };
  project_context collection;
  collection.projects.push_back(std::make_unique<html_list_project>());
  collection.projects.push_back(std::make_unique<html_list_project>());
  build_counts counts;
  for (size_t i = 0; i < steps.size(); ++i) {
    const step& s = steps[i];
    if (s.message) {
      counts.folder_read(s.message);
    } else {
      collection.projects[0]->run.listing_file_total = s.first_total;
      collection.projects[1]->run.listing_file_total = s.second_total;
      counts.count_files(collection);
    }
    EXPECT_EQ(counts.folders(), s.folders) << "step " << i;
    EXPECT_EQ(counts.files(), s.files) << "step " << i;
  }
  counts.reset();
  EXPECT_EQ(counts.folders(), 0);
  EXPECT_EQ(counts.files(), 0);
  counts.folder_read("Reading folder: /t");
  EXPECT_EQ(counts.folders(), 1);
}

}  // namespace
}  // namespace dirscribe
