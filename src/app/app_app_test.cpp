#include "app/app_app.h"

#include <gtest/gtest.h>

namespace dirscribe {
namespace {

TEST(AppApp, SplitsProgramPathKeepingCase) {
  std::string dir, name;
  split_program_path("/opt/My Tools/Dirscribe", dir, name);
  EXPECT_EQ(dir, "/opt/My Tools/");
  EXPECT_EQ(name, "Dirscribe");
  split_program_path("dirscribe", dir, name);
  EXPECT_EQ(dir, "");
  EXPECT_EQ(name, "");
  split_program_path("/dirscribe", dir, name);
  EXPECT_EQ(dir, "/");
  EXPECT_EQ(name, "dirscribe");
}

TEST(AppApp, StartUpSucceedsInBatchMode) {
  appApp app;
  app.interactive = false;
  EXPECT_TRUE(app.start_up());
  EXPECT_TRUE(app.initialised);
  EXPECT_TRUE(app.message.empty());
}

TEST(AppApp, CompressionLibraryMatchesHeaders) { EXPECT_TRUE(compression_library_ok()); }

}  // namespace
}  // namespace dirscribe
