// The command line of the assembled program.
#include <gtest/gtest.h>

#include "run_program.h"

namespace dirscribe::testing {
namespace {

TEST(CommandLine, VersionAndHelpExitZero) {
  run_result version = run_dirscribe({"--version"});
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out.rfind("Vostra Dirscribe 3.0.", 0), 0u) << version.out;
  run_result help = run_dirscribe({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("Usage: dirscribe [PROJECT-FILE]"), std::string::npos);
  EXPECT_TRUE(help.err.empty());
}

TEST(CommandLine, RunsFromAnyStartingFolder) {
  temp_folder elsewhere;
  run_result version = run_dirscribe({"--version"}, elsewhere.path());
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out.rfind("Vostra Dirscribe 3.0.", 0), 0u) << version.out;
}

}  // namespace
}  // namespace dirscribe::testing
