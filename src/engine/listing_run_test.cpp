#include "engine/listing_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/html_list_project.h"
#include "engine/project_context.h"

namespace dirscribe {
namespace {

// A run reaches the context's channels only through itself, and without
// phrases or channels it stays quiet instead of failing.
TEST(ListingRun, ReachesTheChannelsOfItsContext) {
  project_context context;
  project_settings settings;
  listing_run run(settings, context);
  EXPECT_EQ(run.phrase(19), "");
  EXPECT_FALSE(run.stop_raised());
  run.warn("unheard");
  run.report_progress("unheard");

  std::vector<std::string> heard;
  context.warning = [&](const std::string& text) { heard.push_back("warning " + text); };
  context.progress = [&](std::string text) { heard.push_back("progress " + text); };
  run.warn("kept /t/index.html");
  run.report_progress("/t/a");
  EXPECT_EQ(heard, (std::vector<std::string>{"warning kept /t/index.html", "progress /t/a"}));
  context.stop_flag = 1;
  EXPECT_TRUE(run.stop_raised());
}

TEST(ListingRun, PublishesTheFileTotalOfTheOutputFile) {
  project_context context;
  project_settings settings;
  listing_run run(settings, context);
  run.listing_file_total = 7;
  run.listing_folder_total = 2;
  run.listing_row_total = 9;
  run.listing_total_size = 100;
  // Counted but not yet published: the displays see the total once the
  // loop that counted it is done.
  EXPECT_EQ(context.listed_files.load(), 0);
  run.publish_file_total();
  EXPECT_EQ(context.listed_files.load(), 7);
  run.clear_listing_totals();
  EXPECT_EQ(run.listing_file_total, 0);
  EXPECT_EQ(run.listing_folder_total, 0);
  EXPECT_EQ(run.listing_row_total, 0);
  EXPECT_EQ(run.listing_total_size, 0u);
  EXPECT_EQ(context.listed_files.load(), 0);
}

}  // namespace
}  // namespace dirscribe
