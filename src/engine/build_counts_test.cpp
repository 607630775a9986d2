#include "engine/build_counts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/project_context.h"

namespace dirscribe {
namespace {

// One step of a build as the counts see it: a progress message, or the file
// total the running build publishes at that moment.
struct step {
  const char* message;  // nullptr: a file count update instead
  int32_t listed_files;
  int64_t folders;  // the counts after the step
  int64_t files;
};

TEST(BuildCounts, FoldersAsReportedAndFilesCarriedOverOutputFiles) {
  const std::vector<step> steps = {
      {"Reading folder: /t", 0, 1, 0},
      {"Reading folder: /t/a", 0, 2, 0},
      {nullptr, 5, 2, 5},
      {"Reading folder: /t/b", 0, 3, 5},
      {nullptr, 8, 3, 8},
      // The next output file restarts the total: the eight files of the
      // finished one stay counted.
      {nullptr, 2, 3, 10},
      // So does the next project's first output file, even when it lists
      // more than the last one did.
      {nullptr, 0, 3, 10},
      {nullptr, 4, 3, 14},
      // A name that differs only by a trailing blank is another folder.
      {"Reading folder: /t/b ", 0, 4, 14},
      {nullptr, 5, 4, 15},
  };
  project_context collection;
  build_counts counts;
  for (size_t i = 0; i < steps.size(); ++i) {
    const step& s = steps[i];
    if (s.message) {
      counts.folder_read(s.message);
    } else {
      collection.listed_files = s.listed_files;
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
