// `dirscribe --version` names the libraries the build really used: the
// expected versions come from CMake's own discovery of each library, not from
// the headers the program read them from.
#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

namespace dirscribe::testing {
namespace {

TEST(Version, NamesTheReleaseAndTheLibrariesTheBuildFound) {
  std::string expected;
  for (const char* line : {DIRSCRIBE_PRODUCT_NAME " " DIRSCRIBE_VERSION, "Qt " DIRSCRIBE_QT_VERSION,
                           "zlib " DIRSCRIBE_ZLIB_VERSION, "OpenSSL " DIRSCRIBE_OPENSSL_VERSION}) {
    expected.append(line).append("\n");
  }
  const temp_folder elsewhere;
  for (const std::string& cwd : {std::string(), elsewhere.path()}) {
    const run_result result = run_dirscribe({"--version"}, cwd);
    EXPECT_EQ(result.exit_code, 0) << cwd;
    EXPECT_EQ(result.out, expected) << cwd;
    EXPECT_TRUE(result.err.empty()) << result.err;
  }
}

}  // namespace
}  // namespace dirscribe::testing
